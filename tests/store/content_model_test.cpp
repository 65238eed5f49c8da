#include <gtest/gtest.h>

#include "store/default_xml.h"
#include "store/device_clock.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

ContentRecord Catalogue(std::string number, std::string type, std::string flag,
                        std::string subGroup = "") {
    ContentRecord content;
    content.contentNo = std::move(number);
    content.mainGroup = std::move(type);
    content.subGroup = std::move(subGroup);
    content.status = std::move(flag);
    content.date = "2030-12-31";  // the catalogue's end date
    return content;
}

struct StatusCase {
    const char* type;
    const char* flag;
    const char* status;
    Shelf shelf;
};

class AddContentStatus : public ::testing::TestWithParam<StatusCase> {};

INSTANTIATE_TEST_SUITE_P(Flags, AddContentStatus,
                         ::testing::Values(StatusCase{"language", "Y", "default", Shelf::Language},
                                           StatusCase{"language", "N", "", Shelf::Language},
                                           StatusCase{"music", "Yes", "enable", Shelf::Music},
                                           StatusCase{"story", "N", "", Shelf::Story},
                                           StatusCase{"game", "Y", "enable", Shelf::Game},
                                           StatusCase{"card", "y", "", Shelf::Card},
                                           StatusCase{"excellent", "Y", "enable",
                                                      Shelf::Excellent}));

TEST_P(AddContentStatus, FilesACopyWithStatusAndInstallDate) {
    ScopedDeviceDate date("2024-03-05T14-07-09");
    CDefaultXML model;
    const ContentRecord catalogue = Catalogue("X1", GetParam().type, GetParam().flag);
    ASSERT_TRUE(model.AddContent(catalogue));
    ASSERT_EQ(model.Contents(GetParam().shelf).size(), 1u);
    const ContentRecord& installed = model.Contents(GetParam().shelf)[0];
    EXPECT_EQ(installed.status, GetParam().status);
    EXPECT_EQ(installed.date, "2024-03-05T14-07-09");
    EXPECT_EQ(catalogue.status, GetParam().flag) << "the caller's record stays as it was";
}

TEST(AddContent, MakesDeviceFileNamesAndRefusesASecondCopy) {
    CDefaultXML model;
    ContentRecord catalogue = Catalogue("B1", "book", "Y", "series");
    catalogue.files.resize(3);
    catalogue.files[0].name = "00000012.MP3";
    catalogue.files[1].name = "Intro.mp3.Mp3";
    catalogue.files[2].name = "00000013.qvx";
    ASSERT_TRUE(model.AddContent(catalogue));
    EXPECT_FALSE(model.AddContent(catalogue));
    ASSERT_EQ(model.Contents(Shelf::BookSeries).size(), 1u);
    EXPECT_TRUE(model.Contents(Shelf::Book).empty());
    const auto& files = model.Contents(Shelf::BookSeries)[0].files;
    EXPECT_EQ(files[0].name, "00000012.qvx");
    EXPECT_EQ(files[1].name, "intro.qvx.qvx");
    EXPECT_EQ(files[2].name, "00000013.qvx");
    EXPECT_TRUE(model.FindContent("series", "book", "B1"));
    EXPECT_FALSE(model.FindContent("", "book", "B1"));
}

TEST(AddContent, RefusesATypeTheDeviceDoesNotKnow) {
    CDefaultXML model;
    EXPECT_FALSE(model.AddContent(Catalogue("Q1", "video", "Y")));
    EXPECT_FALSE(model.FindContent("", "video", "Q1"));
}

TEST(RemoveContents, TouchesOnlyTheChosenShelf) {
    CDefaultXML model;
    model.Contents(Shelf::Excellent) = {Catalogue("E1", "excellent", ""),
                                        Catalogue("E2", "excellent", ""),
                                        Catalogue("E1", "excellent", "")};
    model.Contents(Shelf::Card) = {Catalogue("E1", "card", "")};
    model.RemoveContents(Shelf::Excellent, {Catalogue("E1", "excellent", "")});
    ASSERT_EQ(model.Contents(Shelf::Excellent).size(), 1u);
    EXPECT_EQ(model.Contents(Shelf::Excellent)[0].contentNo, "E2");
    EXPECT_EQ(model.Contents(Shelf::Card).size(), 1u);
    model.RemoveContents(Shelf::Excellent, {Catalogue("E9", "excellent", "")});
    EXPECT_EQ(model.Contents(Shelf::Excellent).size(), 1u);
}

TEST(GameSelection, RemovesOnlyTheFirstOccurrence) {
    CDefaultXML model;
    model.gameContentList() = {"L1", "L2", "L1"};
    model.Contents(Shelf::Game) = {Catalogue("L1", "language", ""),
                                   Catalogue("L1", "language", "")};
    EXPECT_TRUE(model.RemoveGameSelection("L1", false));
    EXPECT_EQ(model.gameContentList(), (std::vector<std::string>{"L2", "L1"}));
    EXPECT_EQ(model.Contents(Shelf::Game).size(), 1u);
    EXPECT_TRUE(model.RemoveGameSelection("L9", false));
    EXPECT_EQ(model.gameContentList().size(), 2u);
}

TEST(Clear, EmptiesShelvesAndListsButKeepsDeviceSettings) {
    CDefaultXML model;
    model.setSystemVersion("1");
    model.setSelectedChildNo(4);
    model.setSelectedDiyContentNo("L1");
    for (const Shelf shelf : kAllShelves) model.Contents(shelf).push_back(Catalogue("L1", "", ""));
    model.diyList() = {"1"};
    model.gameContentList() = {"L1"};
    model.Clear();
    for (const Shelf shelf : kAllShelves) EXPECT_TRUE(model.Contents(shelf).empty());
    EXPECT_TRUE(model.diyList().empty());
    EXPECT_TRUE(model.gameContentList().empty());
    EXPECT_EQ(model.systemVersion(), "1");
    EXPECT_EQ(model.selectedChildNo(), 4);
    EXPECT_EQ(model.selectedDiyContentNo(), "L1");
}

}  // namespace
}  // namespace torvane
