// The child name page's state without a window: rows two a child, deletions, reloads asked for
// while one runs, the too-long list told once, and what the end of an apply or release leads to.
#include "children/child_page_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "common/messages.h"
#include "store/card.h"
#include "store/device_setup.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

using namespace std::chrono_literals;

ChildInfo Child(int no, const char* family, const char* given) {
    ChildInfo child;
    child.childNo = no;
    child.familyName = family;
    child.firstName = given;
    return child;
}

ChildrenList ListOf(std::vector<ChildInfo> children) {
    ChildrenList list;
    list.items = std::move(children);
    return list;
}

TEST(ChildPageState, EachChildHasTwoRowsAndADeletedChildNeitherRowNorName) {
    ChildPageState state;
    state.TakeList(ListOf({Child(1, "김", "하늘"), Child(2, "이", "바다"), Child(3, "박", "별")}),
                   {});
    const struct {
        int row;
        int childNo;  // 0: no child
    } rows[] = {{-1, 0}, {0, 1}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 0}};
    for (const auto& r : rows) {
        const ChildInfo* child = state.ChildOfRow(r.row);
        EXPECT_EQ(child != nullptr ? child->childNo : 0, r.childNo) << "row " << r.row;
    }

    state.MarkDeleted(3);  // the second row of the second child
    EXPECT_EQ(state.ChildOfRow(2), nullptr);
    EXPECT_EQ(state.ChildOfRow(3), nullptr);
    EXPECT_EQ(state.ChildOfRow(4)->childNo, 3) << "the rows after it keep their children";
    EXPECT_EQ(state.ShownNames(), (std::vector<std::string>{"김하늘", "박별"}));

    // A reload shows every child the service lists again; a failed one shows none.
    state.TakeList(ListOf({Child(2, "이", "바다")}), {});
    EXPECT_EQ(state.ChildOfRow(0)->childNo, 2);
    ChildrenList failed = ListOf({Child(4, "최", "솔")});
    failed.status = Status::Failure("the service did not answer");
    state.TakeList(std::move(failed), {});
    EXPECT_TRUE(state.Children().empty());
    EXPECT_EQ(state.ChildOfRow(0), nullptr);
}

TEST(ChildPageState, AReloadAskedForDuringOneFetchesOnceMoreAndTooLongIsToldOnce) {
    ChildPageState state;
    ASSERT_TRUE(state.BeginReload());
    EXPECT_FALSE(state.BeginReload()) << "an apply ended during the fetch";
    EXPECT_FALSE(state.BeginReload());
    EXPECT_TRUE(state.FetchAgain());
    EXPECT_FALSE(state.FetchAgain()) << "once, however often it was asked";

    ChildrenList tooLong;
    tooLong.tooLong = true;
    tooLong.status = Status::Failure("too long");
    EXPECT_TRUE(state.TakeList(tooLong, {}));
    ASSERT_TRUE(state.BeginReload()) << "the reload has ended";
    EXPECT_FALSE(state.TakeList(tooLong, {})) << "told already";
    EXPECT_FALSE(state.TakeList(ListOf({}), {}));
    EXPECT_TRUE(state.TakeList(tooLong, {})) << "too long again after a good list";
}

TEST(ChildPageState, AReturnToTheWindowReloadsAnOldListUnlessTheCardIsWorkedOn) {
    ChildPageState state;
    const auto loaded = ChildPageState::Clock::time_point{} + 1h;
    state.TakeList(ListOf({}), loaded);
    EXPECT_FALSE(state.ReloadOnReturn(loaded + 59s));
    EXPECT_TRUE(state.ReloadOnReturn(loaded + 60s));
    state.BeginCardWork(std::nullopt);
    EXPECT_FALSE(state.ReloadOnReturn(loaded + 1h));
}

TEST(ChildPageState, ApplyAndReleaseNeedACardAndRunOneAtATime) {
    ChildPageState state;
    EXPECT_EQ(state.CanStartCardWork(), ChildPageState::CardWorkStart::NoDevice);
    state.ShowCard("/media/card", "1.0", "2.0.5", nullptr);
    EXPECT_EQ(state.CanStartCardWork(), ChildPageState::CardWorkStart::Start);
    state.BeginCardWork(Child(7, "김", "하늘"));
    EXPECT_EQ(state.CanStartCardWork(), ChildPageState::CardWorkStart::Ignore);
    EXPECT_TRUE(state.Busy());
    state.StopCardWork();
    EXPECT_EQ(state.CanStartCardWork(), ChildPageState::CardWorkStart::Start);
    state.ForgetCard();
    EXPECT_EQ(state.CanStartCardWork(), ChildPageState::CardWorkStart::NoDevice);
    EXPECT_EQ(state.Database(), nullptr);
}

TEST(ChildPageState, TheEndOfACardsWorkSaysWhatWentWrongAndWhomTheCardCalls) {
    const struct {
        bool apply, present, placed;
        std::optional<std::string_view> message;
        std::optional<int> selectChild;
        bool reload;
    } cases[] = {
        {true, true, true, std::nullopt, 7, true},
        {true, true, false, kMsgNameVoiceNotDownloaded, std::nullopt, true},
        {false, true, true, std::nullopt, 0, true},
        {false, true, false, kMsgNameVoiceNotRemoved, 0, true},
        {true, false, true, kMsgCardRemovedDuringJob, std::nullopt, false},
        {false, false, false, kMsgCardRemovedDuringJob, std::nullopt, false},
    };
    for (const auto& c : cases) {
        ChildPageState state;
        state.BeginCardWork(c.apply ? std::optional<ChildInfo>(Child(7, "김", "하늘"))
                                    : std::nullopt);
        const ChildPageState::CardWorkEnd end = state.EndCardWork(c.present, c.placed);
        const std::string which = std::string(c.apply ? "apply" : "release") +
                                  (c.present ? "" : " pulled") + (c.placed ? " placed" : "");
        EXPECT_EQ(end.message, c.message) << which;
        EXPECT_EQ(end.selectChild, c.selectChild) << which;
        EXPECT_EQ(end.reload, c.reload) << which;
        EXPECT_TRUE(state.Busy()) << which << ": busy while the parent is told";
    }
}

TEST(ChildPageState, CountsAndVoiceCellsAreTheShownCardsOwn) {
    test::TempFolder root;
    ASSERT_TRUE(CreateEmptyDevice(root.str() + "/card", "1.0", "larkspin"));
    auto card = std::make_shared<Card>(root.str() + "/card");
    ASSERT_TRUE(card->LoadDatabase().ok());
    ContentRecord song;
    song.contentNo = "M0001";
    song.mainGroup = "music";
    song.subGroup = "single";
    ASSERT_TRUE(card->database().AddContent(song));
    card->database().setSelectedChildNo(7);

    ChildInfo child = Child(7, "김", "하늘");
    child.nameFiles.push_back({"larkspin", "exist", "", 0});
    ChildPageState state;
    EXPECT_EQ(state.Counts().music, 0);
    EXPECT_EQ(state.VoiceCellOf(child), NameVoiceCell::Ready);
    EXPECT_EQ(state.DatabaseToChange(), nullptr);
    state.ShowCard(card->root(), "1.0", "", card);
    EXPECT_EQ(state.DatabaseToChange(), &card->database());
    EXPECT_EQ(state.Counts().music, 1);
    EXPECT_EQ(state.VoiceCellOf(child), NameVoiceCell::Applied);
    state.ForgetCard();
    EXPECT_EQ(state.Counts().music, 0) << "nothing of a card that left is read";
}

}  // namespace
}  // namespace torvane
