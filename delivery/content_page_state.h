// The content page's state without a window: the card shown and what of it is loaded, the
// account's list, the tab with its series or singles choice, the DIY slot, each list's page and
// "전체보기" choice, whether a search is shown, the storage numbers, and what each click leads to.
// The desktop page draws this state and forwards its clicks; tests drive it directly.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/content_view_model.h"

namespace torvane {

class Card;
class ContentCatalogue;
class ServiceSession;

// The two lists of the page: what the account owns, and what is on the card (the DIY cards on
// the DIY tab).
enum class ContentList { Catalogue, Device };

class ContentPageState {
  public:
    ContentPageState();
    ~ContentPageState();
    ContentPageState(const ContentPageState&) = delete;
    ContentPageState& operator=(const ContentPageState&) = delete;

    // ---- The card and the account's list
    // The card the device detection has chosen now. Another card than shown is taken with
    // nothing of it loaded: its own database and its own recordings, never the last card's.
    void FollowCard(std::shared_ptr<Card> current);
    // The card was taken out: nothing of it is read or written after it left.
    void ForgetCard();
    const std::shared_ptr<Card>& ShownCard() const { return card_; }
    bool DatabaseLoaded() const { return databaseLoaded_; }
    // The card whose database the page shows; null while none is loaded.
    std::shared_ptr<Card> LoadedCard() const { return databaseLoaded_ ? card_ : nullptr; }
    std::string DeviceSystemVersion() const;
    const std::string& FirmwareText() const { return infoText_; }
    ContentCatalogue* Catalogue() const { return catalogue_.get(); }

    // What a reload leads to.
    struct ReloadEnd {
        bool tellTooLong = false;     // the service's list was refused as too long
        bool storageChanged = false;  // the storage bar must be drawn again
        bool showTab = false;         // the tab is shown afresh (its pages back to the first);
                                      // false: the lists are only filled again
    };
    // The account's list as the service gives it now. Fetching it waits on the network, so the
    // page fetches it off the window's thread and hands it to Reload.
    struct AccountList {
        std::unique_ptr<ContentCatalogue> catalogue;  // null when it could not be fetched
        bool tooLong = false;                         // refused as longer than any account's list
    };
    static AccountList FetchAccountList(const ServiceSession& session);
    // Shows `list` and reads the card's database again (`clear`: empties both instead; `list` is
    // then not looked at), following `current`; keeps the tab when `keepTab` is set, else goes
    // back to the language tab.
    ReloadEnd Reload(AccountList list, std::shared_ptr<Card> current, bool clear, bool keepTab);
    // Both in one, where nothing else waits for the service meanwhile.
    ReloadEnd Reload(const ServiceSession& session, std::shared_ptr<Card> current, bool clear,
                     bool keepTab);
    // Loads the DIY database of the card shown when it is not loaded yet; true when it holds
    // every DIY card.
    bool EnsureDiy();
    // Another program changed the card's databases and they were read again when the card was
    // locked: true once per change, with the game lists built again from the card as it is now.
    bool TakeCardReload();
    // The game lists from the catalogue and the card's language shelf, when both are there.
    void RebuildGameLists();

    // ---- Storage
    const StorageNumbers& Storage() const { return storage_; }
    // Rereads the card's free space; true when the bar must be drawn again.
    bool RefreshStorage();

    // ---- Tabs
    ContentTab Tab() const { return tab_; }
    // Shows `tab` from the first page of both lists.
    void SelectTab(ContentTab tab);
    // The series (`series`) or singles sub-tab of the book, card or excellent tab.
    void ChooseSeries(int group, bool series);
    // Whether the tab's series sub-tab is chosen; false on the tabs without sub-tabs.
    bool SeriesSelected(ContentTab tab) const;
    std::optional<Shelf> CurrentShelf() const { return ShelfOfTab(tab_, SeriesSelected(tab_)); }
    bool ShowsSearch() const { return tab_ == ContentTab::Book; }
    bool ShowsDiy() const { return tab_ == ContentTab::Diy; }

    // ---- DIY slot, 1 to 4
    int Slot() const { return slot_; }
    // True when the slot shown changes.
    bool ChooseSlot(int slot);

    // ---- Pages
    int Page(ContentList list) const { return page_[Index(list)]; }
    bool ShowsAll(ContentList list) const { return showAll_[Index(list)]; }
    // "전체보기" shows every row from the first.
    void ShowAll(ContentList list, bool all);
    int PageSize(ContentList list) const;
    // The rows of the list's page for `count` records.
    PageRows Rows(ContentList list, int count) const;
    void GoToPage(ContentList list, int page) { page_[Index(list)] = page; }
    // The first page of the group of ten before or after, never past the last page.
    void TurnPageGroup(ContentList list, bool forward, int lastPage);
    // The device list is filled again after a change: the DIY tab stays on its page, a content
    // tab goes back to the first.
    void RewindDeviceList();

    // ---- Rows
    // Whether a search's rows are shown instead of a page.
    bool Searching() const { return searching_; }
    // The lists are filled afresh: no search shown, and the game lists follow the card.
    void BeginFill();
    // The records a list pages through; null when it shows only filler rows.
    const std::vector<ContentRecord>* Records(ContentList list) const;
    // The record of the content number a row keeps; null for a filler row or a content gone.
    const ContentRecord* RecordOf(ContentList list, std::string_view contentNo) const;
    // The rows a title search finds in the book tab's list; nothing when there is no search to
    // run (another tab, no text, nothing loaded). Found rows stay usable like any other.
    std::optional<std::vector<int>> Search(ContentList list, std::string_view text);
    // A catalogue row is usable unless its content is on the card's shelf already.
    bool CatalogueRowEnabled(const ContentRecord& record) const;
    // A device row is grey when the account does not own what the language, song or story tab
    // shows.
    bool DeviceRowEnabled(const ContentRecord& record) const;
    // Whether the language content is the one the DIY button plays.
    bool IsDiyChoice(const ContentRecord& record) const;
    // The buttons of a catalogue row: download on every tab but the game tab, play on the song
    // and story tabs; the DIY choice's radio on the device rows of the language tab.
    bool CatalogueRowsHaveDownload() const { return tab_ != ContentTab::Game; }
    bool CatalogueRowsHavePlay() const {
        return tab_ == ContentTab::Music || tab_ == ContentTab::Story;
    }
    bool DeviceRowsHaveDiyRadio() const { return tab_ == ContentTab::Language; }
    // The DIY card (1 to 1500) a DIY row's key names; nothing for a filler row or no DIY
    // database.
    std::optional<int> DiyPositionOf(std::string_view key);

    // ---- Clicks in the lists
    enum class Click {
        None,
        TickAll,    // the header's tick: every usable row follows it
        Transfer,   // a catalogue row's download button
        Play,       // a catalogue row's play button
        ChooseDiy,  // a language row's radio on the card
        DiyAssign,  // a DIY row's buttons: sounds onto the slot,
        DiyPlay,    // its sound played,
        DiyExport,  // saved to the computer,
        DiyDelete,  // taken off the card
    };
    // What a click on a cell button leads to; `enabled`: the row's tick is usable.
    Click ClickOf(ContentList list, int row, int column, int button, bool enabled) const;

  private:
    static std::size_t Index(ContentList list) { return list == ContentList::Device ? 1 : 0; }

    std::shared_ptr<Card> card_;
    bool databaseLoaded_ = false;
    bool diyLoaded_ = false;
    std::uint64_t seenReloads_ = 0;
    std::unique_ptr<ContentCatalogue> catalogue_;
    std::string infoText_;
    StorageNumbers storage_;

    ContentTab tab_ = ContentTab::Language;
    std::array<bool, 3> series_ = {true, true, true};  // book, card, excellent
    int slot_ = 1;
    std::array<int, 2> page_ = {0, 0};
    std::array<bool, 2> showAll_ = {false, false};
    bool searching_ = false;
};

}  // namespace torvane
