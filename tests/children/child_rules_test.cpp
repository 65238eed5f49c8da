// The child name page's rules: the add window's checks and texts, the row's texts and name voice
// state, and add, delete, request and apply against the local content service and a card.
#include "children/child_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "children/name_voice.h"
#include "common/messages.h"
#include "delivery/catalogue.h"
#include "store/card_paths.h"
#include "tests/support/device_fixture.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

TEST(ChildRowTextsTest, BirthdayIsZeroPaddedAndTheBirthDateNeedsTenCharacters) {
    const struct {
        const char *year, *month, *day, *text;
    } birthdays[] = {{"2010", "3", "7", "2010-03-07"},
                     {"2019", "12", "31", "2019-12-31"},
                     {"2015", "10", "1", "2015-10-01"},
                     {"987", "1", "1", "0987-01-01"}};
    for (const auto& b : birthdays)
        EXPECT_EQ(BirthdayText(b.year, b.month, b.day), b.text) << b.text;

    EXPECT_EQ(BirthDateText("2019-03-07"), "2019년 03월 07일");
    EXPECT_EQ(BirthDateText("2019-3-7"), "");
    EXPECT_EQ(BirthDateText(""), "");
}

TEST(ChildRowTextsTest, AddChecksRunInOrderDuplicateGivenNameFamilyName) {
    const std::vector<std::string> registered = {"김하늘", "이똠이"};
    const struct {
        const char *family, *given;
        std::optional<MessageId> refusal;
    } cases[] = {
        {"김", "하늘", MessageId::ChildNameTaken},
        {"", "", MessageId::EnterChildGivenName},  // the given name comes before the family name
        {"김", "", MessageId::EnterChildGivenName},
        {"", "하늘", MessageId::EnterChildFamilyName},
        {"박", "하늘", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckNewChild(c.family, c.given, registered), c.refusal)
            << c.family << "/" << c.given;
    // A deleted child's emptied name is no name: empty boxes ask for the given name.
    EXPECT_EQ(CheckNewChild("", "", {"김하늘"}), MessageId::EnterChildGivenName);
}

TEST(ChildRowTextsTest, CellStateFollowsTheFirstNameFileAndTheCardsSelectedChild) {
    auto child = [](int no, std::vector<std::string> statuses) {
        ChildInfo info;
        info.childNo = no;
        for (std::string& status : statuses) info.nameFiles.push_back({"larkspin", status, "", 0});
        return info;
    };
    CDefaultXML database;
    database.setSelectedChildNo(7);
    const struct {
        ChildInfo child;
        const CDefaultXML* database;
        NameVoiceCell state;
    } cases[] = {
        {child(1, {"none"}), &database, NameVoiceCell::NoVoice},
        {child(1, {"exist"}), &database, NameVoiceCell::Ready},
        {child(1, {"requested", "exist"}), &database, NameVoiceCell::Requested},
        {child(1, {"broken", "exist"}), &database, NameVoiceCell::Blank},
        {child(1, {}), &database, NameVoiceCell::Blank},
        {child(7, {"none"}), &database, NameVoiceCell::Applied},  // the card's child first
        {child(7, {"exist"}), nullptr, NameVoiceCell::Ready},
    };
    for (const auto& c : cases) EXPECT_EQ(NameVoiceCellOf(c.child, c.database), c.state);

    // A child the service numbered 0 is not "the card calls no child".
    database.setSelectedChildNo(0);
    EXPECT_EQ(NameVoiceCellOf(child(0, {"exist"}), &database), NameVoiceCell::Ready);
    EXPECT_EQ(NameVoiceCellText(NameVoiceCell::Requested), kCellNameVoiceRequested);
    EXPECT_EQ(NameVoiceCellText(NameVoiceCell::Blank), "");
}

// A fresh service for every test: the tests add and delete the demo account's children.
class ChildRulesTest : public test::ServiceFixture {
  protected:
    static void Restart(demo::FaultPlan faults = {}) {
        TearDownTestSuite();
        StartService(std::move(faults));
    }
    void SetUp() override {
        Restart();
        CardFixture::SetUp();
    }
    static std::vector<ChildInfo> Children() {
        const ChildrenList list = FetchChildrenList(session);
        EXPECT_TRUE(list.ok()) << list.status.message();
        return list.items;
    }
    static ChildInfo Child(int childNo) {
        for (const ChildInfo& child : Children())
            if (child.childNo == childNo) return child;
        ADD_FAILURE() << "no child " << childNo;
        return {};
    }
    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const ChildInfo& child : Children()) names.push_back(ChildFullName(child));
        return names;
    }
    static int RequestsTo(std::string_view path) {
        int count = 0;
        for (const auto& request : service->Requests())
            if (request.target.starts_with(path)) ++count;
        return count;
    }
    std::string CardVoice() const { return ReadFile(Card() / "ck1/ko/00000003.qvx"); }
};

TEST_F(ChildRulesTest, AddSendsThePaddedBirthdayAndSaysSoOnlyForANewName) {
    const NewChild duplicate{"김", "하늘", ChildSex::Boy, "2019-03-07"};
    const Status refused = AddChild(duplicate, Names(), session);
    EXPECT_EQ(refused.kind(), OutcomeKind::Refused);
    EXPECT_EQ(refused.said(), Say(MessageId::ChildNameTaken));
    EXPECT_EQ(RequestsTo("/torvane/pc_childrenInsert.asp"), 0);

    sink.Clear();
    const NewChild child{"최", "별", ChildSex::Girl, BirthdayText("2021", "4", "9")};
    const Status added = AddChild(child, Names(), session);
    EXPECT_EQ(added.said(), Say(MessageId::ChildAdded, "최", "별"));
    EXPECT_EQ(added.message(), "아이 이름(최별)이 추가되었습니다.");
    bool found = false;
    for (const ChildInfo& registered : Children()) {
        if (ChildFullName(registered) != "최별") continue;
        found = true;
        EXPECT_EQ(registered.birthday, "2021-04-09");
        EXPECT_FALSE(registered.IsBoy());
    }
    EXPECT_TRUE(found);
}

TEST_F(ChildRulesTest, DeletingTheCardsChildTakesItsVoiceOffTheCardAnotherChildKeepsIt) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const std::string voice = CardVoice();

    EXPECT_TRUE(DeleteChildWithVoice(Child(102), &database, session).ok());
    EXPECT_EQ(CardVoice(), voice);
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);

    sink.Clear();
    const Status deleted = DeleteChildWithVoice(Child(101), &database, session);
    EXPECT_EQ(deleted.message(), "아이 이름(김하늘)이 삭제되었습니다.");
    EXPECT_TRUE(deleted.notes().empty());
    for (const std::string& path : card_paths::NameVoiceFiles(Card().string()))
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(Reloaded().selectedChildNo(), 0);
    for (const ChildInfo& child : Children()) EXPECT_NE(child.childNo, 101);
}

TEST_F(ChildRulesTest, ARefusedDeleteOrRequestIsToldAsAFailureAndChangesNothing) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const ChildInfo child = Child(101);
    const ChildInfo unvoiced = Child(102);
    const std::string voice = CardVoice();
    Restart({.pathPrefix = "/torvane/pc_children", .status = 500});
    session.cookie = service->OpenSession("demo");

    const Status notDeleted = DeleteChildWithVoice(child, &database, session);
    const Status notRequested = RequestChildVoice(unvoiced, session);
    EXPECT_EQ(notDeleted.kind(), OutcomeKind::ServiceFailed);
    EXPECT_EQ(notDeleted.message(),
              "아이 이름(김하늘)이 삭제되지 않았습니다. 잠시 후 다시 시도해 주세요.");
    EXPECT_EQ(notRequested.kind(), OutcomeKind::ServiceFailed);
    EXPECT_EQ(notRequested.said(), Say(MessageId::NameVoiceRequestFailed));
    EXPECT_EQ(CardVoice(), voice);
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);
}

TEST_F(ChildRulesTest, AVoiceThatCannotBeDownloadedLeavesTheCardAsItWas) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const std::string voice = CardVoice();
    const std::string before = ReadFile(Card() / "Default.dat");

    ChildInfo other = Child(102);
    other.nameFiles = {
        NameFile{"larkspin", "exist", service->BaseUrl() + "/torvane/voice/x.mp3", 10}};
    const Status applied = ApplyNameVoice(other, database, session);
    EXPECT_EQ(applied.kind(), OutcomeKind::ServiceFailed);
    EXPECT_EQ(applied.said(), Say(MessageId::NameVoiceNotDownloaded));
    EXPECT_EQ(CardVoice(), voice);
    EXPECT_EQ(ReadFile(Card() / "Default.dat"), before);
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);
}

// A child the service listed with a number it wrote badly is shown but never acted on: a delete
// or request sent with a number made up for it could reach another child.
TEST_F(ChildRulesTest, AChildWithABadNumberIsRefusedWithASentenceAndNothingIsSent) {
    ChildInfo child = Child(101);
    child.childNo = 0;
    child.numberValid = false;
    EXPECT_EQ(NameVoiceCellOf(child, &database), NameVoiceCell::Blank);
    const int sentBefore = RequestsTo("/torvane/pc_children");
    const std::pair<const char*, std::function<Status()>> actions[] = {
        {"delete", [&] { return DeleteChildWithVoice(child, &database, session); }},
        {"request", [&] { return RequestChildVoice(child, session); }},
        {"apply", [&] { return RequireChildNumber(child); }},
    };
    for (const auto& [name, action] : actions) {
        const Status refused = action();
        EXPECT_EQ(refused.kind(), OutcomeKind::Refused) << name;
        EXPECT_EQ(refused.said(), Say(MessageId::ChildNumberInvalid)) << name;
    }
    EXPECT_EQ(RequestsTo("/torvane/pc_children"), sentBefore);
    // The CLI's apply goes straight to the card: it refuses too, and the card gets no voice.
    const Status applied = ApplyNameVoice(child, database, session);
    EXPECT_EQ(applied.kind(), OutcomeKind::Refused);
    EXPECT_EQ(applied.said(), Say(MessageId::ChildNumberInvalid));
    for (const std::string& path : card_paths::NameVoiceFiles(Card().string()))
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(Reloaded().selectedChildNo(), 0);
}

// The header counts what the card holds, not what the account bought: books with their series.
TEST_F(ChildRulesTest, HeaderCountsTheCardsContentsWithBooksAndTheirSeries) {
    for (const char* no : {"L0001", "M0001", "B0001", "B0002"})
        ASSERT_TRUE(database.AddContent(Content(no))) << no;

    const ContentCounts counts = CountCardContents(database);

    EXPECT_EQ(counts.language, 1);
    EXPECT_EQ(counts.music, 1);
    EXPECT_EQ(counts.story, 0);
    EXPECT_EQ(counts.books, 2);
    EXPECT_GT(catalogue->Count(Shelf::Music), 1u) << "the account owns more than the card holds";
}

}  // namespace
}  // namespace torvane
