#include "store/folder_tables.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/default_xml.h"
#include "store/device_clock.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

using test::DecipherToBytes;
using test::ReadFile;
using test::TempFolder;
using test::WithoutPadding;
using test::WriteFile;

TEST(FolderTables, ListEveryNumberedSoundFileOnceInOrder) {
    TempFolder card;
    for (const char* file : {"ck2/00000003.qvx", "ck2/00000001.qvx", "ck2/ko/1/00000002.qvx",
                             "ck2/Intro.qvx", "ck2/1.a.qvx", "ck2/123", "ck2/rfid.tbl"})
        WriteFile(card / file, "x");
    std::filesystem::create_directories(card / "ck2/9.dir");

    ASSERT_TRUE(RebuildFolderTables("language", card.path()));
    const std::string expected =
        "00000001^^00000001.qvx^^/ck2\r\n"
        "00000002^^00000002.qvx^^/ck2\r\n"
        "00000003^^00000003.qvx^^/ck2\r\n"
        "1^^1.a.qvx^^/ck2\r\n";
    const std::string rfid = DecipherToBytes(card / "ck2/rfid.tbl");
    EXPECT_EQ(WithoutPadding(rfid), expected);
    EXPECT_EQ(DecipherToBytes(card / "ck2/sw.tbl"), rfid);
    EXPECT_FALSE(std::filesystem::exists(card / "ck2/_rfid.tbl"));
    EXPECT_FALSE(std::filesystem::exists(card / "ck2/_sw.tbl"));
}

TEST(FolderTables, SameFileNameInTwoLanguageFoldersGivesOneLine) {
    TempFolder card;
    WriteFile(card / "ck11/ko/1/00000005.qvx", "x");
    WriteFile(card / "ck11/en/1/00000005.qvx", "x");
    ASSERT_TRUE(RebuildFolderTables("excellent", card.path()));
    EXPECT_EQ(WithoutPadding(DecipherToBytes(card / "ck11/rfid.tbl")),
              "00000005^^00000005.qvx^^/ck11\r\n");
}

TEST(FolderTables, EmptyOrMissingFolderGivesEmptyTables) {
    TempFolder card;
    ASSERT_TRUE(RebuildFolderTables("music", card.path()));
    EXPECT_EQ(ReadFile(card / "ck7/rfid.tbl"), "");
    EXPECT_EQ(ReadFile(card / "ck7/sw.tbl"), "");
}

TEST(FolderTables, TypesWithoutAFolderAreRefused) {
    TempFolder card;
    EXPECT_FALSE(RebuildFolderTables("game", card.path()));
    EXPECT_FALSE(RebuildFolderTables("video", card.path()));
    EXPECT_TRUE(std::filesystem::is_empty(card.path()));
}

TEST(DiyCardNumber, TakesTheLeadingNumberModuloAHundred) {
    const std::pair<const char*, const char*> cases[] = {
        {"00000007", "90100107"}, {"00000107", "90100107"}, {"00000199", "90100199"},
        {"12ab", "90100112"},     {"abc", "90100100"},      {"", "90100100"},
    };
    for (const auto& [base, card] : cases) EXPECT_EQ(DiyCardNumber(base), card) << base;
}

ContentRecord GameContent(std::string number, std::vector<std::string> files) {
    ContentRecord content;
    content.contentNo = std::move(number);
    content.mainGroup = "language";
    for (auto& name : files) {
        FileRecord file;
        file.name = std::move(name);
        content.files.push_back(std::move(file));
    }
    return content;
}

class DeviceTables : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* folder : {"ck4", "ck6"})
            std::filesystem::create_directories(device / folder);
    }
    std::string Table(const char* path) { return WithoutPadding(DecipherToBytes(device / path)); }

    TempFolder device;
    ScopedDeviceDate date{"2024-03-05T14-07-09"};
};

TEST_F(DeviceTables, GameTableAnswersDiyCardsOnlyForTheDiyContent) {
    CDefaultXML model{device.path()};
    model.setSelectedDiyContentNo("L2");
    model.Contents(Shelf::Game) = {
        GameContent("L1", {"00000010.qvx", "00000010.mp3", "00000002.qvx"}),
        GameContent("L2", {"00000007.qvx"}), GameContent("L3", {"00000002.qvx"})};
    ASSERT_TRUE(model.RebuildGameTable());
    EXPECT_EQ(Table("ck6/rfid.tbl"),
              "00000002^^00000002.qvx^^/ck2\r\n"
              "00000002^^00000002.qvx^^/ck2\r\n"
              "00000010^^00000010.qvx^^/ck2\r\n"
              "90100107^^00000007.qvx^^/ck2\r\n");
    EXPECT_FALSE(std::filesystem::exists(device / "ck6/sw.tbl"));
    EXPECT_FALSE(std::filesystem::exists(device / "ck6/_rfid.tbl"));
}

TEST_F(DeviceTables, DiyContentTableHasOneLinePerFileAndAnIdenticalCopy) {
    CDefaultXML model{device.path()};
    model.diyList() = {"old"};
    model.SelectDiyContent(GameContent("L5", {"00000107.qvx", "00000007.qvx", "readme.txt"}));
    EXPECT_EQ(Table("ck4/rfid.tbl"),
              "90100107^^00000007.qvx^^/ck2\r\n"
              "90100107^^00000107.qvx^^/ck2\r\n");
    EXPECT_EQ(ReadFile(device / "ck4/sw.tbl"), ReadFile(device / "ck4/rfid.tbl"));
    EXPECT_EQ(model.diyList(), (std::vector<std::string>{"00000007", "00000107"}));
    EXPECT_EQ(model.selectedDiyContentNo(), "L5");

    CDefaultXML saved{device.path()};
    ASSERT_TRUE(saved.Load().ok());
    EXPECT_EQ(saved.selectedDiyContentNo(), "L5");
    EXPECT_EQ(saved.diyList(), model.diyList());
}

TEST_F(DeviceTables, DiyContentTakesThePreviousOnesPlaceInTheGame) {
    CDefaultXML model{device.path()};
    const ContentRecord first = GameContent("L1", {"00000001.qvx"});
    const ContentRecord second = GameContent("L2", {"00000002.qvx"});
    model.SelectDiyContent(first);
    ASSERT_TRUE(model.AddGameSelection(first));
    ASSERT_TRUE(model.AddGameSelection(GameContent("L3", {"00000003.qvx"})));
    EXPECT_EQ(Table("ck6/rfid.tbl"),
              "00000003^^00000003.qvx^^/ck2\r\n90100101^^00000001.qvx^^/ck2\r\n");

    // Choosing the same content again changes nothing in the selection.
    model.SelectDiyContent(first);
    EXPECT_EQ(model.gameContentList(), (std::vector<std::string>{"L1", "L3"}));

    model.SelectDiyContent(second);
    EXPECT_EQ(model.gameContentList(), (std::vector<std::string>{"L2", "L3"}));
    EXPECT_EQ(Table("ck6/rfid.tbl"),
              "00000003^^00000003.qvx^^/ck2\r\n90100102^^00000002.qvx^^/ck2\r\n");
    CDefaultXML saved{device.path()};
    ASSERT_TRUE(saved.Load().ok());
    EXPECT_EQ(saved.gameContentList(), (std::vector<std::string>{"L2", "L3"}));
    EXPECT_EQ(saved.selectedDiyContentNo(), "L2");
}

TEST_F(DeviceTables, GameSelectionIsSavedAndItsTableFollows) {
    CDefaultXML model{device.path()};
    ASSERT_TRUE(model.AddGameSelection(GameContent("L1", {"00000001.qvx"})));
    EXPECT_FALSE(model.AddGameSelection(GameContent("L1", {"00000001.qvx"})));
    EXPECT_EQ(Table("ck6/rfid.tbl"), "00000001^^00000001.qvx^^/ck2\r\n");
    model.RemoveGameSelection("L1", true);
    EXPECT_EQ(ReadFile(device / "ck6/rfid.tbl"), "");
    CDefaultXML saved{device.path()};
    ASSERT_TRUE(saved.Load().ok());
    EXPECT_TRUE(saved.gameContentList().empty());
}

TEST_F(DeviceTables, WithoutItsFolderTheDiyChoiceIsNotMade) {
    std::filesystem::remove_all(device / "ck4");
    CDefaultXML model{device.path()};
    model.setSelectedDiyContentNo("L1");
    model.SelectDiyContent(GameContent("L2", {"00000002.qvx"}));
    EXPECT_EQ(model.selectedDiyContentNo(), "L1");
    EXPECT_FALSE(std::filesystem::exists(device / "Default.dat"));
}

}  // namespace
}  // namespace torvane
