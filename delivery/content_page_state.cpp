#include "delivery/content_page_state.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "delivery/catalogue.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "store/diy_xml.h"

namespace torvane {
namespace {

const ContentRecord* FindContent(const std::vector<ContentRecord>& records,
                                 std::string_view contentNo) {
    if (contentNo.empty()) return nullptr;
    const auto found = std::find_if(records.begin(), records.end(), [&](const ContentRecord& r) {
        return r.contentNo == contentNo;
    });
    return found == records.end() ? nullptr : &*found;
}

}  // namespace

ContentPageState::ContentPageState() = default;
ContentPageState::~ContentPageState() = default;

// ---- The card and the account's list ------------------------------------------------------

void ContentPageState::FollowCard(std::shared_ptr<Card> current) {
    if (current == card_) return;
    card_ = std::move(current);
    databaseLoaded_ = false;
    diyLoaded_ = false;
}

void ContentPageState::ForgetCard() {
    if (catalogue_) catalogue_->ClearCatalogue();
    catalogue_.reset();
    card_.reset();
    databaseLoaded_ = false;
    diyLoaded_ = false;
    storage_ = StorageNumbers{};
}

std::string ContentPageState::DeviceSystemVersion() const {
    return card_ && databaseLoaded_ ? card_->database().systemVersion() : std::string();
}

ContentPageState::AccountList ContentPageState::FetchAccountList(const ServiceSession& session) {
    AccountList list;
    auto catalogue = std::make_unique<ContentCatalogue>();
    if (catalogue->FetchCatalogue(session).ok())
        list.catalogue = std::move(catalogue);
    else
        list.tooLong = catalogue->RefusedAsTooLong();
    return list;
}

ContentPageState::ReloadEnd ContentPageState::Reload(const ServiceSession& session,
                                                     std::shared_ptr<Card> current, bool clear,
                                                     bool keepTab) {
    return Reload(clear ? AccountList{} : FetchAccountList(session), std::move(current), clear,
                  keepTab);
}

ContentPageState::ReloadEnd ContentPageState::Reload(AccountList list,
                                                     std::shared_ptr<Card> current, bool clear,
                                                     bool keepTab) {
    ReloadEnd end;
    FollowCard(std::move(current));
    if (clear) {
        if (!catalogue_) catalogue_ = std::make_unique<ContentCatalogue>();
        catalogue_->ClearCatalogue();
    } else if (!list.catalogue) {
        end.tellTooLong = list.tooLong;
        catalogue_.reset();
        return end;
    } else {
        catalogue_ = std::move(list.catalogue);
    }
    end.storageChanged = RefreshStorage();
    if (clear) {
        if (card_) card_->database().Clear();
        databaseLoaded_ = false;
    } else {
        if (!card_) {
            catalogue_.reset();
            return end;
        }
        // A card without a readable info.dat keeps the text shown before.
        if (auto info = card_->ReadFirmwareInfo()) infoText_ = std::move(*info);
        databaseLoaded_ = card_->LoadDatabase().ok();
        seenReloads_ = card_->Reloads();
        if (!databaseLoaded_) {
            catalogue_.reset();
            return end;
        }
    }
    if (!keepTab) {
        if (clear) return end;
        tab_ = ContentTab::Language;
    }
    end.showTab = true;
    return end;
}

bool ContentPageState::EnsureDiy() {
    if (!card_ || !databaseLoaded_) return false;
    if (!diyLoaded_) {
        // A DIY database that cannot be read leaves fewer records than the device has cards,
        // and the DIY tab then stays closed: its records say what the read did.
        static_cast<void>(card_->LoadDiy());
        diyLoaded_ = true;
    }
    return card_->diy().records().size() >= static_cast<std::size_t>(kDiyCardCount);
}

bool ContentPageState::TakeCardReload() {
    if (!card_ || card_->Reloads() == seenReloads_) return false;
    seenReloads_ = card_->Reloads();
    if (catalogue_) torvane::RebuildGameLists(*catalogue_, card_->database());
    return true;
}

void ContentPageState::RebuildGameLists() {
    if (catalogue_ && card_ && databaseLoaded_)
        torvane::RebuildGameLists(*catalogue_, card_->database());
}

bool ContentPageState::RefreshStorage() {
    const StorageNumbers now = card_ ? ReadStorage(card_->root()) : StorageNumbers{};
    if (!StorageChanged(storage_, now)) return false;
    storage_ = now;
    return true;
}

// ---- Tabs, slot and pages -----------------------------------------------------------------

void ContentPageState::SelectTab(ContentTab tab) {
    tab_ = tab;
    page_ = {0, 0};
}

void ContentPageState::ChooseSeries(int group, bool series) {
    if (group < 0 || group >= static_cast<int>(series_.size())) return;
    series_[static_cast<std::size_t>(group)] = series;
}

bool ContentPageState::SeriesSelected(ContentTab tab) const {
    const int group = SubTabGroupOf(tab);
    return group >= 0 && series_[static_cast<std::size_t>(group)];
}

bool ContentPageState::ChooseSlot(int slot) {
    if (slot == slot_ || slot < 1 || slot > 4) return false;
    slot_ = slot;
    return true;
}

void ContentPageState::ShowAll(ContentList list, bool all) {
    showAll_[Index(list)] = all;
    page_[Index(list)] = 0;
}

int ContentPageState::PageSize(ContentList list) const {
    return list == ContentList::Device && tab_ == ContentTab::Diy ? kDiyPageSize : kContentPageSize;
}

PageRows ContentPageState::Rows(ContentList list, int count) const {
    return RowsOfPage(count, Page(list), PageSize(list), ShowsAll(list));
}

void ContentPageState::TurnPageGroup(ContentList list, bool forward, int lastPage) {
    int& page = page_[Index(list)];
    page = forward ? std::min(NextPageGroup(page), lastPage) : PreviousPageGroup(page);
}

void ContentPageState::RewindDeviceList() {
    if (tab_ != ContentTab::Diy) page_[Index(ContentList::Device)] = 0;
}

// ---- Rows ---------------------------------------------------------------------------------

void ContentPageState::BeginFill() {
    searching_ = false;
    if (tab_ == ContentTab::Game) RebuildGameLists();
}

const std::vector<ContentRecord>* ContentPageState::Records(ContentList list) const {
    const std::optional<Shelf> shelf = CurrentShelf();
    if (!catalogue_ || !databaseLoaded_ || !shelf) return nullptr;
    return list == ContentList::Device ? &card_->database().Contents(*shelf)
                                       : &catalogue_->Contents(*shelf);
}

const ContentRecord* ContentPageState::RecordOf(ContentList list,
                                                std::string_view contentNo) const {
    const std::optional<Shelf> shelf = CurrentShelf();
    if (!shelf || !databaseLoaded_) return nullptr;
    if (list == ContentList::Device)
        return FindContent(card_->database().Contents(*shelf), contentNo);
    return catalogue_ ? FindContent(catalogue_->Contents(*shelf), contentNo) : nullptr;
}

std::optional<std::vector<int>> ContentPageState::Search(ContentList list, std::string_view text) {
    const std::vector<ContentRecord>* records = ShowsSearch() ? Records(list) : nullptr;
    if (text.empty() || records == nullptr) return std::nullopt;
    searching_ = true;
    return SearchTitles(*records, text);
}

bool ContentPageState::CatalogueRowEnabled(const ContentRecord& record) const {
    const std::optional<Shelf> shelf = CurrentShelf();
    return !(shelf && databaseLoaded_ && IsInstalled(card_->database(), *shelf, record));
}

bool ContentPageState::DeviceRowEnabled(const ContentRecord& record) const {
    const std::optional<Shelf> shelf = CurrentShelf();
    return !shelf || !catalogue_ || IsDeviceRowEnabled(*catalogue_, *shelf, record);
}

bool ContentPageState::IsDiyChoice(const ContentRecord& record) const {
    return card_ && record.contentNo == card_->database().selectedDiyContentNo();
}

std::optional<int> ContentPageState::DiyPositionOf(std::string_view key) {
    int position = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), position);
    if (key.empty() || error != std::errc() || end != key.data() + key.size()) return std::nullopt;
    if (!EnsureDiy() || position < 1 || position > static_cast<int>(card_->diy().records().size()))
        return std::nullopt;
    return position;
}

// ---- Clicks -------------------------------------------------------------------------------

ContentPageState::Click ContentPageState::ClickOf(ContentList list, int row, int column, int button,
                                                  bool enabled) const {
    if (row == 0 && column == 0) return Click::TickAll;
    if (row < 1 || column != 3) return Click::None;
    if (list == ContentList::Catalogue) {
        if (!databaseLoaded_) return Click::None;
        if (button == 0) return enabled ? Click::Transfer : Click::None;
        return button == 1 ? Click::Play : Click::None;
    }
    if (tab_ == ContentTab::Diy) {
        constexpr Click kDiyButtons[] = {Click::DiyAssign, Click::DiyPlay, Click::DiyExport,
                                         Click::DiyDelete};
        return button >= 0 && button < 4 ? kDiyButtons[button] : Click::None;
    }
    if (tab_ != ContentTab::Language || !databaseLoaded_ || !enabled) return Click::None;
    return Click::ChooseDiy;
}

}  // namespace torvane
