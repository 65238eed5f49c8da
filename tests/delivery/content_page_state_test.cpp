// The content page's state without a window: tab changes, pages with and without "전체보기", the
// book search, the DIY slot and rows, grey rows, what a click leads to, and a card that leaves.
#include "delivery/content_page_state.h"

#include <gtest/gtest.h>

#include "service/session.h"
#include "store/diy_xml.h"
#include "tests/support/device_fixture.h"

namespace torvane {
namespace {

using List = ContentList;
using Click = ContentPageState::Click;

class ContentPageStateTest : public test::ServiceFixture {
  protected:
    // The page after the card was attached: the account's list and the card's database read.
    void Attach() {
        const ContentPageState::ReloadEnd end = state.Reload(session, card, false, false);
        ASSERT_TRUE(end.showTab);
        ASSERT_TRUE(state.DatabaseLoaded());
        state.SelectTab(state.Tab());
        state.BeginFill();
    }
    // A catalogue content put on the card, as a finished install leaves it.
    void PutOnCard(const ContentRecord& record) {
        ASSERT_TRUE(database.AddContent(record));
        ASSERT_TRUE(database.Save().ok());
    }
    const ContentRecord& FirstOffered(Shelf shelf) const {
        const auto& offered = catalogue->Contents(shelf);
        EXPECT_FALSE(offered.empty()) << "the demo account owns contents of every kind";
        return offered.front();
    }

    ContentPageState state;
};

TEST_F(ContentPageStateTest, ATabShowsItsShelfFromTheFirstPageAndKeepsEachSubTabChoice) {
    Attach();
    state.ChooseSeries(0, false);  // book: singles
    state.ChooseSeries(2, false);  // excellent: singles
    const struct {
        ContentTab tab;
        std::optional<Shelf> shelf;
        bool search, diy;
        int devicePageSize;
    } tabs[] = {
        {ContentTab::Language, Shelf::Language, false, false, kContentPageSize},
        {ContentTab::Music, Shelf::Music, false, false, kContentPageSize},
        {ContentTab::Story, Shelf::Story, false, false, kContentPageSize},
        {ContentTab::Book, Shelf::Book, true, false, kContentPageSize},
        {ContentTab::Card, Shelf::CardSeries, false, false, kContentPageSize},
        {ContentTab::Excellent, Shelf::Excellent, false, false, kContentPageSize},
        {ContentTab::Diy, std::nullopt, false, true, kDiyPageSize},
        {ContentTab::Game, Shelf::Game, false, false, kContentPageSize},
    };
    for (const auto& t : tabs) {
        state.GoToPage(List::Catalogue, 3);
        state.GoToPage(List::Device, 2);
        state.SelectTab(t.tab);
        const int which = static_cast<int>(t.tab);
        EXPECT_EQ(state.CurrentShelf(), t.shelf) << which;
        EXPECT_EQ(state.ShowsSearch(), t.search) << which;
        EXPECT_EQ(state.ShowsDiy(), t.diy) << which;
        EXPECT_EQ(state.Page(List::Catalogue), 0) << which;
        EXPECT_EQ(state.Page(List::Device), 0) << which;
        EXPECT_EQ(state.PageSize(List::Device), t.devicePageSize) << which;
        EXPECT_EQ(state.PageSize(List::Catalogue), kContentPageSize) << which;
        EXPECT_EQ(state.Records(List::Catalogue) != nullptr, t.shelf.has_value()) << which;
    }
    state.ChooseSeries(0, true);
    state.SelectTab(ContentTab::Book);
    EXPECT_EQ(state.CurrentShelf(), Shelf::BookSeries);
    state.ChooseSeries(7, false);  // no such group: nothing changes
    EXPECT_EQ(state.CurrentShelf(), Shelf::BookSeries);
}

TEST_F(ContentPageStateTest, PagesGoByTenContentsOrFiftyDiyCardsAndShowAllStartsFromTheTop) {
    const struct {
        ContentTab tab;
        List list;
        int count, page;
        bool all;
        PageRows rows;
    } cases[] = {
        {ContentTab::Music, List::Catalogue, 25, 2, false, {20, 5, 10}},
        {ContentTab::Music, List::Device, 25, 1, false, {10, 10, 10}},
        {ContentTab::Music, List::Catalogue, 25, 2, true, {0, 25, 25}},
        {ContentTab::Music, List::Device, 0, 0, false, {0, 0, 10}},
        {ContentTab::Diy, List::Device, kDiyCardCount, 29, false, {1450, 50, 50}},
        {ContentTab::Diy, List::Device, kDiyCardCount, 29, true, {0, kDiyCardCount, 1500}},
        {ContentTab::Diy, List::Catalogue, 25, 1, false, {10, 10, 10}},
    };
    for (const auto& c : cases) {
        state.SelectTab(c.tab);
        state.ShowAll(c.list, c.all);
        if (!c.all) state.GoToPage(c.list, c.page);
        const PageRows rows = state.Rows(c.list, c.count);
        const std::string what = std::to_string(static_cast<int>(c.tab)) + "/" +
                                 std::to_string(static_cast<int>(c.list)) + "/" +
                                 std::to_string(c.count) + "/" + std::to_string(c.page);
        EXPECT_EQ(rows.first, c.rows.first) << what;
        EXPECT_EQ(rows.shown, c.rows.shown) << what;
        EXPECT_EQ(rows.built, c.rows.built) << what;
        state.GoToPage(c.list, 4);
        state.ShowAll(c.list, !c.all);
        EXPECT_EQ(state.Page(c.list), 0) << what << ": a change of 전체보기 starts at the top";
        state.ShowAll(c.list, false);
    }
}

TEST_F(ContentPageStateTest, PageGroupsStopAtTheEndsAndOnlyTheDiyListKeepsItsPageOnARefill) {
    const struct {
        int page;
        bool forward;
        int lastPage, expected;
    } turns[] = {
        {3, true, 40, 10},  {13, true, 40, 20},  {13, true, 15, 15},
        {13, false, 40, 0}, {25, false, 40, 10}, {4, false, 40, 0},
    };
    for (const auto& t : turns) {
        state.GoToPage(List::Catalogue, t.page);
        state.TurnPageGroup(List::Catalogue, t.forward, t.lastPage);
        EXPECT_EQ(state.Page(List::Catalogue), t.expected)
            << t.page << (t.forward ? " forward" : " back");
    }
    state.SelectTab(ContentTab::Diy);
    state.GoToPage(List::Device, 7);
    state.RewindDeviceList();
    EXPECT_EQ(state.Page(List::Device), 7) << "a DIY change stays on the DIY card's page";
    state.SelectTab(ContentTab::Music);
    state.GoToPage(List::Device, 7);
    state.RewindDeviceList();
    EXPECT_EQ(state.Page(List::Device), 0);
}

TEST_F(ContentPageStateTest, TheBookSearchFindsTitlesOnTheWholeShelfUntilTheListsAreFilledAgain) {
    Attach();
    state.ChooseSeries(0, false);
    const ContentRecord& book = FirstOffered(Shelf::Book);
    PutOnCard(book);
    ASSERT_TRUE(state.Reload(session, card, false, true).showTab);
    const std::string part = book.title.substr(0, book.title.size() / 2 + 1);
    const struct {
        ContentTab tab;
        List list;
        std::string text;
        bool runs;
    } searches[] = {
        {ContentTab::Book, List::Catalogue, part, true},
        {ContentTab::Book, List::Device, book.title, true},
        {ContentTab::Book, List::Catalogue, "", false},
        {ContentTab::Music, List::Catalogue, part, false},
        {ContentTab::Diy, List::Device, part, false},
    };
    for (const auto& s : searches) {
        state.SelectTab(s.tab);
        state.BeginFill();
        const auto found = state.Search(s.list, s.text);
        EXPECT_EQ(found.has_value(), s.runs) << s.text;
        EXPECT_EQ(state.Searching(), s.runs) << s.text;
        if (!found) continue;
        ASSERT_FALSE(found->empty()) << s.text;
        const ContentRecord& hit =
            state.Records(s.list)->at(static_cast<std::size_t>(found->front()));
        EXPECT_NE(hit.title.find(s.text), std::string::npos);
        state.BeginFill();
        EXPECT_FALSE(state.Searching()) << "a refill shows a page again";
    }
}

TEST_F(ContentPageStateTest, TheDiySlotAndTheRowsKeysNameOnlyRealSlotsAndCards) {
    EXPECT_EQ(state.Slot(), 1);
    const struct {
        int slot;
        bool changes;
        int shown;
    } slots[] = {{1, false, 1}, {3, true, 3},  {3, false, 3},
                 {0, false, 3}, {5, false, 3}, {4, true, 4}};
    for (const auto& s : slots) {
        EXPECT_EQ(state.ChooseSlot(s.slot), s.changes) << s.slot;
        EXPECT_EQ(state.Slot(), s.shown) << s.slot;
    }
    EXPECT_EQ(state.DiyPositionOf("1"), std::nullopt) << "no card: no DIY database";
    Attach();
    ASSERT_TRUE(state.EnsureDiy());
    const struct {
        const char* key;
        std::optional<int> position;
    } keys[] = {{"1", 1},
                {"1500", 1500},
                {"0", std::nullopt},
                {"", std::nullopt},
                {"1501", std::nullopt},
                {"12a", std::nullopt},
                {"-3", std::nullopt}};
    for (const auto& k : keys) EXPECT_EQ(state.DiyPositionOf(k.key), k.position) << k.key;
}

TEST_F(ContentPageStateTest, RowsAreGreyForContentsOnTheCardOrNotOwned) {
    const ContentRecord& language = FirstOffered(Shelf::Language);
    const ContentRecord& book = FirstOffered(Shelf::BookSeries);
    PutOnCard(language);
    PutOnCard(book);
    ContentRecord foreign = FirstOffered(Shelf::Music);
    foreign.contentNo = "M-not-owned";
    PutOnCard(foreign);
    Attach();
    const ContentRecord* const notInstalled = catalogue->Contents(Shelf::Language).size() > 1
                                                  ? &catalogue->Contents(Shelf::Language)[1]
                                                  : nullptr;
    ASSERT_NE(notInstalled, nullptr);
    const struct {
        ContentTab tab;
        const ContentRecord* record;
        bool catalogueRow, deviceRow;
    } rows[] = {
        {ContentTab::Language, &language, false, true},
        {ContentTab::Language, notInstalled, true, true},
        {ContentTab::Music, &foreign, false, false},  // on the card but not the account's
        {ContentTab::Book, &book, false, true},       // books need no ownership on the card
    };
    for (const auto& r : rows) {
        state.SelectTab(r.tab);
        EXPECT_EQ(state.CatalogueRowEnabled(*r.record), r.catalogueRow) << r.record->contentNo;
        EXPECT_EQ(state.DeviceRowEnabled(*r.record), r.deviceRow) << r.record->contentNo;
    }
    state.SelectTab(ContentTab::Music);
    EXPECT_NE(state.RecordOf(List::Device, "M-not-owned"), nullptr);
    EXPECT_EQ(state.RecordOf(List::Catalogue, "M-not-owned"), nullptr);
    EXPECT_EQ(state.RecordOf(List::Device, ""), nullptr) << "a filler row";
}

TEST_F(ContentPageStateTest, AClickLeadsToItsActionOnlyWhereTheRowAllowsIt) {
    const struct {
        ContentTab tab;
        bool loaded;
        List list;
        int row, column, button;
        bool enabled;
        Click click;
    } clicks[] = {
        {ContentTab::Music, false, List::Catalogue, 0, 0, 0, true, Click::TickAll},
        {ContentTab::Music, true, List::Catalogue, 2, 3, 0, true, Click::Transfer},
        {ContentTab::Music, true, List::Catalogue, 2, 3, 0, false, Click::None},
        {ContentTab::Music, true, List::Catalogue, 2, 3, 1, false, Click::Play},
        {ContentTab::Music, false, List::Catalogue, 2, 3, 0, true, Click::None},
        {ContentTab::Music, true, List::Catalogue, 2, 1, 0, true, Click::None},
        {ContentTab::Language, true, List::Device, 0, 0, 0, true, Click::TickAll},
        {ContentTab::Language, true, List::Device, 1, 3, 0, true, Click::ChooseDiy},
        {ContentTab::Language, true, List::Device, 1, 3, 0, false, Click::None},
        {ContentTab::Music, true, List::Device, 1, 3, 0, true, Click::None},
        {ContentTab::Diy, true, List::Device, 4, 3, 0, true, Click::DiyAssign},
        {ContentTab::Diy, true, List::Device, 4, 3, 1, true, Click::DiyPlay},
        {ContentTab::Diy, true, List::Device, 4, 3, 2, true, Click::DiyExport},
        {ContentTab::Diy, true, List::Device, 4, 3, 3, true, Click::DiyDelete},
        {ContentTab::Diy, true, List::Device, 4, 2, 0, true, Click::None},
    };
    ContentPageState attached;
    ASSERT_TRUE(attached.Reload(session, card, false, false).showTab);
    for (const auto& c : clicks) {
        ContentPageState& s = c.loaded ? attached : state;
        s.SelectTab(c.tab);
        EXPECT_EQ(s.ClickOf(c.list, c.row, c.column, c.button, c.enabled), c.click)
            << static_cast<int>(c.tab) << " row " << c.row << " column " << c.column << " button "
            << c.button;
    }
}

TEST_F(ContentPageStateTest, ACardThatLeavesTakesItsDatabaseListsAndNumbersWithIt) {
    Attach();
    state.SelectTab(ContentTab::Music);
    ASSERT_NE(state.LoadedCard(), nullptr);
    EXPECT_EQ(state.DeviceSystemVersion(), "1.0");

    // Another card chosen: nothing of the last card's database stands for it.
    auto other = std::make_shared<torvane::Card>((dir.path() / "other").string());
    state.FollowCard(other);
    EXPECT_EQ(state.ShownCard(), other);
    EXPECT_EQ(state.LoadedCard(), nullptr);
    EXPECT_EQ(state.Records(List::Device), nullptr);
    EXPECT_FALSE(state.EnsureDiy());

    state.FollowCard(card);
    ASSERT_TRUE(state.Reload(session, card, false, true).showTab);
    EXPECT_EQ(state.Tab(), ContentTab::Music) << "kept";
    state.FollowCard(card);
    EXPECT_NE(state.LoadedCard(), nullptr) << "the same card keeps what was read";

    state.ForgetCard();
    EXPECT_EQ(state.ShownCard(), nullptr);
    EXPECT_EQ(state.Catalogue(), nullptr);
    EXPECT_EQ(state.Storage(), StorageNumbers{});
    EXPECT_EQ(state.DeviceSystemVersion(), "");
    EXPECT_EQ(state.Records(List::Catalogue), nullptr);
    const ContentPageState::ReloadEnd none = state.Reload(session, nullptr, false, true);
    EXPECT_FALSE(none.showTab) << "no card: only empty lists";
    EXPECT_EQ(state.Catalogue(), nullptr);
}

TEST_F(ContentPageStateTest, AReloadThatClearsShowsNothingAndAFailedFetchKeepsNoStaleList) {
    Attach();
    state.SelectTab(ContentTab::Game);
    const ContentPageState::ReloadEnd cleared = state.Reload(session, card, true, true);
    EXPECT_TRUE(cleared.showTab) << "the tab stays, empty";
    EXPECT_FALSE(state.DatabaseLoaded());
    EXPECT_FALSE(state.Reload(session, card, true, false).showTab);

    ASSERT_TRUE(state.Reload(session, card, false, true).showTab);
    EXPECT_EQ(state.Tab(), ContentTab::Game);
    // The service cannot be reached: the account's list is dropped, the card's stays read.
    const ContentPageState::ReloadEnd failed = state.Reload(ServiceSession{}, card, false, true);
    EXPECT_FALSE(failed.showTab);
    EXPECT_FALSE(failed.tellTooLong);
    EXPECT_EQ(state.Catalogue(), nullptr);
    EXPECT_EQ(state.Records(List::Catalogue), nullptr);
    state.RebuildGameLists();  // after a delete on the game tab, with no list to rebuild from
    state.BeginFill();
    EXPECT_FALSE(state.TakeCardReload()) << "nothing changed the card";
}

TEST(DiyExportFilter, AnMp3IsSavedAsAnMp3AndEveryOtherRecordingAsAWav) {
    const struct {
        const char* file;
        std::string_view filter;
    } files[] = {
        {"song.mp3", "mp3 (*.mp3)"},    {"SONG.MP3", "mp3 (*.mp3)"}, {"노래.Mp3", "mp3 (*.mp3)"},
        {"voice.wav", "wav (*.wav)"},   {"voice", "wav (*.wav)"},    {"", "wav (*.wav)"},
        {"mp3.wav.mp3", "mp3 (*.mp3)"},
    };
    for (const auto& f : files) EXPECT_EQ(DiyExportFilter(f.file), f.filter) << f.file;
}

}  // namespace
}  // namespace torvane
