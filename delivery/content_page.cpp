#include "delivery/content_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "base/messages.h"
#include "base/outcome_telling.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "delivery/diy_actions.h"
#include "delivery/download_dialog.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "ui/app_font.h"
#include "ui/desktop_look.h"
#include "ui/my_grid.h"
#include "ui/picture_ids.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"

namespace torvane {
namespace {

constexpr int kRowHeight = 30;
constexpr unsigned kRadioButtonId = 20009;
const QColor kGrey(128, 128, 128);
const QRect kCatalogueListRect(1, 142, 351, 331);
const QRect kDeviceListRect(443, 142, 258, 331);
const QRect kDiyListRect(1, 142, 702, 331);
const QRect kCataloguePagerRect(1, 480, 351, 21);
const QRect kDevicePagerRect(443, 480, 258, 21);
const QRect kDiyPagerRect(221, 480, 257, 21);

struct TabPictures {
    int off;
    int on;
    int left;
    int right;
};
constexpr TabPictures kTabPictures[kContentTabCount] = {
    {pic::kTabLanguageOff, pic::kTabLanguageOn, 1, 89},
    {pic::kTabSongsOff, pic::kTabSongsOn, 90, 178},
    {pic::kTabStoriesOff, pic::kTabStoriesOn, 180, 268},
    {pic::kTabBooksOff, pic::kTabBooksOn, 270, 358},
    {pic::kTabCardsOff, pic::kTabCardsOn, 359, 447},
    {pic::kTabExcellentOff, pic::kTabExcellentOn, 447, 535},
    {pic::kTabDiyOff, pic::kTabDiyOn, 536, 624},
    {pic::kTabGameOff, pic::kTabGameOn, 625, 713},
};
constexpr int kSubTabPictures[6][2] = {
    {pic::kSubTabBookSeriesOff, pic::kSubTabBookSeriesOn},
    {pic::kSubTabBookSingleOff, pic::kSubTabBookSingleOn},
    {pic::kSubTabCardSeriesOff, pic::kSubTabCardSeriesOn},
    {pic::kSubTabCardSingleOff, pic::kSubTabCardSingleOn},
    {pic::kSubTabExcellentSeriesOff, pic::kSubTabExcellentSeriesOn},
    {pic::kSubTabExcellentSingleOff, pic::kSubTabExcellentSingleOn},
};
constexpr int kSlotPictures[4][2] = {{pic::kDiySlot1Off, pic::kDiySlot1On},
                                     {pic::kDiySlot2Off, pic::kDiySlot2On},
                                     {pic::kDiySlot3Off, pic::kDiySlot3On},
                                     {pic::kDiySlot4Off, pic::kDiySlot4On}};

// A picture button of a list cell; its id is the row, as the page learns the row from it.
std::shared_ptr<CImgButton> CellButton(int row, int off, int on) {
    auto button =
        std::make_shared<CImgButton>(nullptr, static_cast<unsigned>(row), 0, 0, 0, 22, 22);
    button->LoadFromResources(off, on, QString());
    return button;
}

// The record that a row shows, found by the content number the row keeps: the lists' records
// are rebuilt under the rows (a game list after a reload, a shelf after a delete), so a row
// never holds on to a record itself. Null for a filler row or a content that is gone.
const ContentRecord* FindRecord(const std::vector<ContentRecord>& records, const QString& key) {
    if (key.isEmpty()) return nullptr;
    const std::string contentNo = key.toStdString();
    const auto found = std::find_if(records.begin(), records.end(), [&](const ContentRecord& r) {
        return r.contentNo == contentNo;
    });
    return found == records.end() ? nullptr : &*found;
}

}  // namespace

CSendContents::CSendContents(QWidget* parent, const ServiceSession& session, IMessageSink& messages,
                             ContentPageHost host)
    : ContentPageBase(parent), session_(session), messages_(messages), host_(std::move(host)) {
    setFixedSize(711, 641);
    CreateWidgets();
    SelectTab(ContentTab::Language);
}

CSendContents::~CSendContents() = default;

void CSendContents::CreateWidgets() {
    const auto add = [this](unsigned id, const QRect& rect, int off, int on) {
        auto button = std::make_unique<CImgButton>(this, id, 0, rect);
        button->LoadFromResources(off, on, QString());
        pictures_.push_back(std::move(button));
        return pictures_.back().get();
    };
    for (int i = 0; i < kContentTabCount; ++i) {
        const TabPictures& p = kTabPictures[i];
        tabs_[i] = add(kTabIds[i], QRect(p.left, 54, p.right - p.left, 32), p.off, p.on);
    }
    for (int i = 0; i < 6; ++i) {
        const QRect place = i % 2 == 0 ? QRect(1, 89, 88, 32) : QRect(97, 89, 88, 32);
        subTabs_[i] =
            add(kSubTabIds[i / 2][i % 2], place, kSubTabPictures[i][0], kSubTabPictures[i][1]);
        subTabs_[i]->SetHidden(true);
    }
    for (int i = 0; i < 4; ++i) {
        slots_[i] = add(kSlotIds[i], QRect(535 + 21 * i, 122, 20, 20), kSlotPictures[i][0],
                        kSlotPictures[i][1]);
        slots_[i]->SetHidden(true);
    }
    slots_[0]->SetState(1);
    transfer_ = add(kTransferId, QRect(370, 220, 60, 60), pic::kTransferOff, pic::kTransferOn);
    delete_ = add(kDeleteId, QRect(370, 297, 60, 60), pic::kDeleteOff, pic::kDeleteOn);
    catalogueSearchButton_ =
        add(kCatalogueSearchId, QRect(295, 505, 35, 25), pic::kSearchOwned, pic::kSearchOwned);
    deviceSearchButton_ =
        add(kDeviceSearchId, QRect(645, 505, 40, 25), pic::kSearchDevice, pic::kSearchDevice);
    catalogueSearchButton_->SetHidden(true);
    deviceSearchButton_->SetHidden(true);

    cataloguePager_ = std::make_unique<CPageGroup>(this, kCataloguePagerId, 0, 1, 480, 352, 501);
    devicePager_ = std::make_unique<CPageGroup>(this, kDevicePagerId, 0, 443, 480, 701, 501);
    cataloguePager_->SetPages(0, 0, kContentPageSize, 0);
    devicePager_->SetPages(0, 0, kContentPageSize, 0);

    const auto makeList = [this](int id, const QRect& rect) {
        auto* list = new CMyGrid(this);
        list->Create(rect, this, id);
        list->setObjectName(id == kCatalogueListId ? "CatalogueList" : "DeviceList");
        list->SetFixedBkColor(QColor(163, 163, 163));
        list->SetFixedTextColor(Qt::white);
        list->SetTextBkColor(Qt::white);
        list->SetHeaderSort(true);
        list->SetEditable(false);
        list->SetDefaultRowHeight(kRowHeight);
        return list;
    };
    catalogueList_ = makeList(kCatalogueListId, kCatalogueListRect);
    deviceList_ = makeList(kDeviceListId, kDeviceListRect);
    connect(catalogueList_, &CGridCtrl::buttonClicked, this,
            [this](int row, int column, int button) { OnCatalogueClick(row, column, button); });
    connect(deviceList_, &CGridCtrl::buttonClicked, this,
            [this](int row, int column, int button) { OnDeviceClick(row, column, button); });
    connect(deviceList_, &CGridCtrl::cellEdited, this,
            [this](int row, int column) { OnDeviceEdited(row, column); });

    const auto makeBox = [this](int id, int left) {
        auto* box = new QCheckBox(this);
        SetControlId(box, id);
        box->setGeometry(left, 127, 14, 14);
        box->setAccessibleName(ToQString(kLabelShowAll));
        return box;
    };
    catalogueAll_ = makeBox(103, 280);
    deviceAll_ = makeBox(104, 629);
    catalogueAll_->setObjectName("CatalogueShowAll");
    deviceAll_->setObjectName("DeviceShowAll");
    connect(catalogueAll_, &QCheckBox::toggled, this, [this] { OnShowAll(false); });
    connect(deviceAll_, &QCheckBox::toggled, this, [this] { OnShowAll(true); });

    const auto makeEdit = [this](int id, const QRect& rect) {
        auto* edit = new QLineEdit(this);
        SetControlId(edit, id);
        edit->setGeometry(rect);
        edit->hide();
        return edit;
    };
    catalogueSearch_ = makeEdit(118, QRect(30, 507, 260, 23));
    deviceSearch_ = makeEdit(117, QRect(460, 507, 180, 23));
    catalogueSearch_->setObjectName("CatalogueSearch");
    deviceSearch_->setObjectName("DeviceSearch");
}

// ---- Card and account ---------------------------------------------------------------------

void CSendContents::FollowCurrentCard() {
    std::shared_ptr<Card> current = host_.currentCard ? host_.currentCard() : nullptr;
    if (current == card_) return;
    // Another card: its own database and its own recordings, never the last card's.
    card_ = std::move(current);
    databaseLoaded_ = false;
    diyLoaded_ = false;
}

bool CSendContents::EnsureDiy() {
    if (!card_ || !databaseLoaded_) return false;
    if (!diyLoaded_) {
        card_->LoadDiy();
        diyLoaded_ = true;
    }
    return card_->diy().records().size() >= static_cast<std::size_t>(kDiyCardCount);
}

std::shared_ptr<Card> CSendContents::LoadedCard() const {
    return databaseLoaded_ ? card_ : nullptr;
}

std::string CSendContents::DeviceSystemVersion() const {
    return card_ && databaseLoaded_ ? card_->database().systemVersion() : std::string();
}

void CSendContents::Reload(bool clear, bool keepTab) {
    FollowCurrentCard();
    if (!catalogue_) catalogue_ = std::make_unique<ContentCatalogue>();
    if (clear) {
        catalogue_->ClearCatalogue();
    } else if (!catalogue_->FetchCatalogue(session_).ok()) {
        if (catalogue_->RefusedAsTooLong()) Say(MessageKind::Error, kMsgServiceListTooLong);
        catalogue_.reset();
        FillLists();
        return;
    }
    RefreshStorage();
    if (clear) {
        if (card_) card_->database().Clear();
        databaseLoaded_ = false;
    } else {
        if (!card_) {
            catalogue_.reset();
            FillLists();
            return;
        }
        // A card without a readable info.dat keeps the text shown before.
        if (auto info = card_->ReadFirmwareInfo()) infoText_ = std::move(*info);
        databaseLoaded_ = card_->LoadDatabase();
        seenReloads_ = card_->Reloads();
        if (!databaseLoaded_) {
            catalogue_.reset();
            FillLists();
            return;
        }
    }
    if (!keepTab) {
        if (clear) {
            FillLists();
            return;
        }
        tab_ = ContentTab::Language;
    }
    SelectTab(tab_);
    update();
}

void CSendContents::ResetForRemovedDevice() {
    if (catalogue_) catalogue_->ClearCatalogue();
    catalogue_.reset();
    card_.reset();
    databaseLoaded_ = false;
    diyLoaded_ = false;
    storage_ = StorageNumbers{};
    FillLists();
    update();
}

void CSendContents::LoadForAttachedDevice() {
    Reload(false, false);
}

void CSendContents::Refresh() {
    Reload(true, true);
    Reload(false, true);
}

void CSendContents::RefreshStorage() {
    const StorageNumbers now = card_ ? ReadStorage(card_->root()) : StorageNumbers{};
    if (!StorageChanged(storage_, now)) return;
    storage_ = now;
    update(StorageBarRect());
}

QRect CSendContents::StorageBarRect() const {
    const int barWidth = width() - 300;
    return QRect((width() - barWidth) / 2, height() - 50, barWidth, 20);
}

const ContentRecord* CSendContents::RecordOf(const CMyGrid& list, int row) const {
    const std::optional<Shelf> shelf = CurrentShelf();
    if (!shelf || !databaseLoaded_) return nullptr;
    if (&list == deviceList_)
        return FindRecord(card_->database().Contents(*shelf), list.GetRowKey(row));
    if (!catalogue_) return nullptr;
    return FindRecord(catalogue_->Contents(*shelf), list.GetRowKey(row));
}

// ---- Tabs ---------------------------------------------------------------------------------

bool CSendContents::SeriesSelected(ContentTab tab) const {
    const int group = SubTabGroupOf(tab);
    return group >= 0 && series_[static_cast<std::size_t>(group)];
}

std::optional<Shelf> CSendContents::CurrentShelf() const {
    return ShelfOfTab(tab_, SeriesSelected(tab_));
}

void CSendContents::SelectTab(ContentTab tab) {
    tab_ = tab;
    for (int i = 0; i < kContentTabCount; ++i) tabs_[i]->SetState(kContentTabs[i] == tab ? 1 : 0);
    const int group = SubTabGroupOf(tab);
    for (int i = 0; i < 6; ++i) {
        subTabs_[i]->SetHidden(i / 2 != group);
        const bool series = i % 2 == 0;
        subTabs_[i]->SetState(group >= 0 && i / 2 == group && series == SeriesSelected(tab));
    }
    const bool book = tab == ContentTab::Book;
    catalogueSearch_->setVisible(book);
    deviceSearch_->setVisible(book);
    catalogueSearchButton_->SetHidden(!book);
    deviceSearchButton_->SetHidden(!book);
    const bool diy = tab == ContentTab::Diy;
    for (CImgButton* slot : slots_) slot->SetHidden(!diy);
    transfer_->SetHidden(diy);
    delete_->SetHidden(diy);
    PlaceListsForTab();
    cataloguePage_ = devicePage_ = 0;
    FillLists();
    update();
}

void CSendContents::PlaceListsForTab() {
    const bool diy = tab_ == ContentTab::Diy;
    catalogueList_->setVisible(!diy);
    catalogueAll_->setVisible(!diy);
    cataloguePager_->SetHidden(diy || catalogueAll_->isChecked());
    deviceList_->setGeometry(diy ? kDiyListRect : kDeviceListRect);
    devicePager_->SetRect(diy ? kDiyPagerRect : kDevicePagerRect);
    devicePager_->SetHidden(deviceAll_->isChecked());
    deviceList_->SetEditable(diy);
}

void CSendContents::FillLists() {
    searching_ = false;
    if (tab_ == ContentTab::Game && catalogue_ && databaseLoaded_)
        RebuildGameLists(*catalogue_, card_->database());
    FillCatalogueList();
    FillDeviceList();
}

// ---- Lists --------------------------------------------------------------------------------

void CSendContents::SetCatalogueColumns() {
    CMyGrid& list = *catalogueList_;
    list.DeleteAllItems();
    const bool game = tab_ == ContentTab::Game;
    list.SetColumnCount(game ? 3 : 4);
    list.SetRowCount(1);
    list.SetFixedRowCount(1);
    list.SetRowHeight(0, kRowHeight);
    const int widths[] = {30, 180, game ? 50 : 80, 50};
    const std::string_view titles[] = {"", kLabelTitleColumn, kLabelDownloadColumn,
                                       kLabelFunctionColumn};
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        list.SetColumnWidth(c, widths[c]);
        list.SetItemText(0, c, ToQString(titles[c]));
        list.SetItemFont(0, c, AppFont(8, true));
    }
    list.SetCheckCell(0, 0);
}

void CSendContents::SetDeviceColumns() {
    CMyGrid& list = *deviceList_;
    list.DeleteAllItems();
    std::vector<std::pair<std::string_view, int>> columns;
    if (tab_ == ContentTab::Diy) {
        columns = {{"", 0},
                   {kLabelNumberColumn, 38},
                   {kLabelTitleColumn, 420},
                   {kLabelFunctionColumn, 110},
                   {kLabelDownloadColumn, 60}};
    } else if (tab_ == ContentTab::Language) {
        columns = {
            {"", 30}, {kLabelTitleColumn, 110}, {kLabelDownloadColumn, 85}, {kLabelDiyColumn, 30}};
    } else {
        columns = {{"", 30}, {kLabelTitleColumn, 120}, {kLabelDownloadColumn, 75}};
    }
    list.SetColumnCount(static_cast<int>(columns.size()));
    list.SetRowCount(1);
    list.SetFixedRowCount(1);
    list.SetRowHeight(0, kRowHeight);
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        list.SetColumnWidth(c, columns[c].second);
        list.SetItemText(0, c, ToQString(columns[c].first));
        list.SetItemFont(0, c, AppFont(8, true));
    }
    list.SetCheckCell(0, 0);
}

void CSendContents::AddFillerRows(CMyGrid& list, int from, int to, int columns) {
    if (to > list.GetRowCount() - 1) list.SetRowCount(to + 1);
    for (int row = from; row <= to; ++row) {
        list.SetRowHeight(row, kRowHeight);
        for (int c = 0; c < columns; ++c) {
            list.SetItemText(row, c, QString());
        }
    }
}

void CSendContents::SetRowEnabled(CMyGrid& list, int row, bool enabled) {
    if (!enabled) list.SetCheck(row, 0, false);
    list.SetCheckEnabled(row, 0, enabled);
    const QColor colour = enabled ? QColor(Qt::black) : kGrey;
    for (int c = 1; c < std::min(3, list.GetColumnCount()); ++c)
        list.SetItemFgColour(row, c, colour);
}

void CSendContents::BuildCatalogueRow(int row, const ContentRecord& record) {
    CMyGrid& list = *catalogueList_;
    list.SetRowHeight(row, kRowHeight);
    list.SetCheckCell(row, 0);
    list.SetItemText(row, 1, ToQString(record.title));
    list.SetRowKey(row, ToQString(record.contentNo));
    list.SetItemText(row, 2, ToQString(ShownDate(record.date)));
    list.SetItemFormat(row, 2, Qt::AlignCenter);
    if (tab_ != ContentTab::Game) {
        CGridCtrl::Buttons buttons{CellButton(row, pic::kCellDownloadOff, pic::kCellDownloadOn)};
        if (tab_ == ContentTab::Music || tab_ == ContentTab::Story)
            buttons[1] = CellButton(row, pic::kCellPlayOff, pic::kCellPlayOn);
        list.SetButtons(row, 3, std::move(buttons));
    }
    const std::optional<Shelf> shelf = CurrentShelf();
    SetRowEnabled(list, row,
                  !(shelf && databaseLoaded_ && IsInstalled(card_->database(), *shelf, record)));
}

void CSendContents::BuildDeviceRow(int row, const ContentRecord& record) {
    CMyGrid& list = *deviceList_;
    list.SetRowHeight(row, kRowHeight);
    list.SetCheckCell(row, 0);
    list.SetItemText(row, 1, ToQString(record.title));
    list.SetRowKey(row, ToQString(record.contentNo));
    list.SetItemText(row, 2, ToQString(ShownDate(record.date)));
    list.SetItemFormat(row, 2, Qt::AlignCenter);
    const std::optional<Shelf> shelf = CurrentShelf();
    const bool enabled = !shelf || !catalogue_ || IsDeviceRowEnabled(*catalogue_, *shelf, record);
    if (tab_ == ContentTab::Language) {
        auto button = std::make_shared<CImgButton>(nullptr, kRadioButtonId, 0, 0, 0, 13, 13);
        button->LoadFourFromResources(pic::kRadioOff, pic::kRadioOn, pic::kRadioNotOwnedOff,
                                      pic::kRadioNotOwnedOn, QString());
        button->SetAccessibleName(ToQString(kLabelDiyColumn));
        button->SetFirstSet(enabled);
        button->SetState(card_ && record.contentNo == card_->database().selectedDiyContentNo());
        list.SetCentredButton(row, 3, std::move(button));
    }
    SetRowEnabled(list, row, enabled);
}

void CSendContents::BuildDiyRow(int row, int position, const DiyRecord& record) {
    CMyGrid& list = *deviceList_;
    list.SetRowHeight(row, kRowHeight);
    list.SetCheckCell(row, 0);
    char number[16];
    std::snprintf(number, sizeof number, "%04d", position);
    list.SetItemText(row, 1, QString::fromLatin1(number));
    list.SetRowKey(row, QString::number(position));
    const DiySlot& slot = SlotOfRecord(record, slot_);
    list.SetItemText(row, 2, ToQString(DiySlotTitle(slot)));
    list.SetItemText(row, 4, slot.date.empty() ? QString() : ToQString(ShownDate(slot.date)));
    list.SetItemFormat(row, 4, Qt::AlignCenter);
    list.SetItemEditable(row, 2, slot.InUse());
    CGridCtrl::Buttons buttons{CellButton(row, pic::kCellDownloadOff, pic::kCellDownloadOn)};
    if (slot.InUse()) {
        buttons[1] = CellButton(row, pic::kCellPlayOff, pic::kCellPlayOn);
        buttons[2] = CellButton(row, pic::kCellSaveOff, pic::kCellSaveOn);
        buttons[3] = CellButton(row, pic::kCellDeleteOff, pic::kCellDeleteOn);
    }
    list.SetButtons(row, 3, std::move(buttons));
}

void CSendContents::FillCatalogueList() {
    SetCatalogueColumns();
    CMyGrid& list = *catalogueList_;
    const std::optional<Shelf> shelf = CurrentShelf();
    const bool showAll = catalogueAll_->isChecked();
    if (!catalogue_ || !databaseLoaded_ || !shelf || tab_ == ContentTab::Diy) {
        AddFillerRows(list, 1, kContentPageSize, list.GetColumnCount());
        cataloguePager_->SetPages(0, 0, kContentPageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const std::vector<ContentRecord>& records = catalogue_->Contents(*shelf);
    const int count = static_cast<int>(records.size());
    const PageRows rows = RowsOfPage(count, cataloguePage_, kContentPageSize, showAll);
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) BuildCatalogueRow(r, records[rows.first + r - 1]);
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    cataloguePager_->SetPages(count, cataloguePage_ / 10 * 10, kContentPageSize,
                              cataloguePage_ % 10);
    if (showAll) list.SetColumnWidth(list.GetColumnCount() - 1, 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::FillDeviceList() {
    SetDeviceColumns();
    CMyGrid& list = *deviceList_;
    const bool showAll = deviceAll_->isChecked();
    const int pageSize = tab_ == ContentTab::Diy ? kDiyPageSize : kContentPageSize;
    if (tab_ == ContentTab::Diy) {
        FillDiyList();
        return;
    }
    const std::optional<Shelf> shelf = CurrentShelf();
    if (!catalogue_ || !databaseLoaded_ || !shelf) {
        AddFillerRows(list, 1, pageSize, list.GetColumnCount());
        devicePager_->SetPages(0, 0, pageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const std::vector<ContentRecord>& records = card_->database().Contents(*shelf);
    const int count = static_cast<int>(records.size());
    const PageRows rows = RowsOfPage(count, devicePage_, pageSize, showAll);
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) BuildDeviceRow(r, records[rows.first + r - 1]);
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    devicePager_->SetPages(count, devicePage_ / 10 * 10, pageSize, devicePage_ % 10);
    if (showAll) list.SetColumnWidth(list.GetColumnCount() - 1, 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::FillDiyList() {
    CMyGrid& list = *deviceList_;
    if (!EnsureDiy()) {
        AddFillerRows(list, 1, kContentPageSize, list.GetColumnCount());
        devicePager_->SetPages(0, 0, kDiyPageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const std::vector<DiyRecord>& records = card_->diy().records();
    const int count = kDiyCardCount;
    const PageRows rows = RowsOfPage(count, devicePage_, kDiyPageSize, deviceAll_->isChecked());
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) {
        const int position = rows.first + r;
        BuildDiyRow(r, position, records[static_cast<std::size_t>(position - 1)]);
    }
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    devicePager_->SetPages(count, devicePage_ / 10 * 10, kDiyPageSize, devicePage_ % 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::RefillDeviceList() {
    // The DIY tab stays on its page; content tabs go back to the first.
    if (tab_ != ContentTab::Diy) devicePage_ = 0;
    FillDeviceList();
}

void CSendContents::RecheckCatalogueRows() {
    const std::optional<Shelf> shelf = CurrentShelf();
    CMyGrid& list = *catalogueList_;
    for (int row = 1; row < list.GetRowCount() && !list.GetRowKey(row).isEmpty(); ++row) {
        // A content that left the offered list (a game list rebuilt) cannot be sent any more.
        const ContentRecord* record = RecordOf(list, row);
        SetRowEnabled(list, row,
                      record != nullptr && !(shelf && databaseLoaded_ &&
                                             IsInstalled(card_->database(), *shelf, *record)));
    }
    list.viewport()->update();
}

std::vector<ContentRecord> CSendContents::Ticked(const CMyGrid& list) const {
    std::vector<ContentRecord> ticked;
    for (int row = 1; row < list.GetRowCount() && !list.GetRowKey(row).isEmpty(); ++row) {
        const ContentRecord* record = RecordOf(list, row);
        if (record == nullptr) continue;
        if (list.IsCheckEnabled(row, 0) && list.GetCheck(row, 0)) ticked.push_back(*record);
    }
    return ticked;
}

void CSendContents::SelectAll(CMyGrid& list) {
    const bool on = list.GetCheck(0, 0);
    for (int row = 1; row < list.GetRowCount(); ++row) {
        if (list.GetRowKey(row).isEmpty()) continue;
        if (list.IsCheckEnabled(row, 0)) list.SetCheck(row, 0, on);
    }
    list.viewport()->update();
}

void CSendContents::OnShowAll(bool device) {
    (device ? devicePager_ : cataloguePager_)
        ->SetHidden((device ? deviceAll_ : catalogueAll_)->isChecked());
    if (device) {
        devicePage_ = 0;
        FillDeviceList();
    } else {
        cataloguePage_ = 0;
        FillCatalogueList();
    }
    update();
}

void CSendContents::OnSearch(bool device) {
    if (tab_ != ContentTab::Book) return;
    const std::string text = (device ? deviceSearch_ : catalogueSearch_)->text().toStdString();
    const std::optional<Shelf> shelf = CurrentShelf();
    if (text.empty() || !shelf || !catalogue_ || !databaseLoaded_) return;
    // Both searches cover the whole shelf and keep each found record on its row, so found
    // contents can be ticked, transferred and deleted like any other.
    const std::vector<ContentRecord>& records =
        device ? card_->database().Contents(*shelf) : catalogue_->Contents(*shelf);
    const std::vector<int> found = SearchTitles(records, text);
    if (device) {
        SetDeviceColumns();
    } else {
        SetCatalogueColumns();
    }
    CMyGrid& list = device ? *deviceList_ : *catalogueList_;
    list.SetRowCount(static_cast<int>(found.size()) + 1);
    for (int r = 1; r <= static_cast<int>(found.size()); ++r) {
        if (device) {
            BuildDeviceRow(r, records[found[r - 1]]);
        } else {
            BuildCatalogueRow(r, records[found[r - 1]]);
        }
    }
    (device ? devicePager_ : cataloguePager_)->SetPages(0, 0, kContentPageSize, 0);
    list.ExpandLastColumn();
    searching_ = true;
    update();
}

// ---- Clicks -------------------------------------------------------------------------------

CImgButton* CSendContents::Widget(unsigned id) const {
    for (const auto& widget : pictures_) {
        if (widget->Id() == id) return widget.get();
    }
    return nullptr;
}

void CSendContents::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    for (CPageGroup* pager : {cataloguePager_.get(), devicePager_.get()}) {
        if (CImgButton* hit = pager->HitTest(p.x(), p.y())) {
            OnPagerClick(pager == devicePager_.get(), *hit);
            return;
        }
    }
    for (const auto& widget : pictures_) {
        if (widget->HitTest(p.x(), p.y()) != nullptr) {
            ClickWidget(widget->Id());
            return;
        }
    }
}

void CSendContents::OnPagerClick(bool device, CImgButton& hit) {
    CPageGroup& pager = device ? *devicePager_ : *cataloguePager_;
    int& page = device ? devicePage_ : cataloguePage_;
    if (hit.Id() == CPageGroup::kPreviousId) {
        page = PreviousPageGroup(page);
    } else if (hit.Id() == CPageGroup::kNextId) {
        page = std::min(NextPageGroup(page), pager.LastPage());
    } else {
        page = static_cast<int>(hit.Id());
    }
    if (device) {
        FillDeviceList();
    } else {
        FillCatalogueList();
    }
    update();
}

void CSendContents::ClickWidget(unsigned id) {
    for (int i = 0; i < kContentTabCount; ++i) {
        if (id == kTabIds[i]) {
            SelectTab(kContentTabs[i]);
            return;
        }
    }
    for (int group = 0; group < 3; ++group) {
        for (int k = 0; k < 2; ++k) {
            if (id != kSubTabIds[group][k]) continue;
            series_[static_cast<std::size_t>(group)] = k == 0;
            SelectTab(tab_);
            return;
        }
    }
    for (int slot = 1; slot <= 4; ++slot) {
        if (id == kSlotIds[slot - 1]) {
            OnSlotButton(slot);
            return;
        }
    }
    switch (id) {
        case kTransferId:
            OnTransfer();
            return;
        case kDeleteId:
            OnDelete();
            return;
        case kCatalogueSearchId:
            OnSearch(false);
            return;
        case kDeviceSearchId:
            OnSearch(true);
            return;
        default:
            return;
    }
}

JobOutcome CSendContents::Run(DownloadJob job) {
    if (host_.timing) job.timing = *host_.timing;
    CDownloadDlg dialog(std::move(job), session_, messages_, this, host_.freeSpace);
    dialog.ShowBanner(host_.bannerImagePath);
    dialog.setObjectName(QStringLiteral("DownloadDialog"));
    connect(&dialog, &CDownloadDlg::storageChanged, this, [this] { RefreshStorage(); });
    dialog.exec();
    if (dialog.Outcome().cardChanged && host_.cardWritten) host_.cardWritten();
    return dialog.Outcome();
}

void CSendContents::OnTransfer() {
    if (!databaseLoaded_ || !catalogue_) {
        Say(MessageKind::Information, kMsgNothingSelected);
        return;
    }
    const std::vector<ContentRecord> ticked = Ticked(*catalogueList_);
    if (tab_ == ContentTab::Game) {
        // Both lists show the new selection before the sentence is read over them.
        if (const auto lock = LockCard()) {
            const GameSelectionOutcome outcome = AddToGameSelection(ticked, *card_);
            if (!ticked.empty()) {
                RefillDeviceList();
                RecheckCatalogueRows();
            }
            TellOutcome(messages_, outcome.status);
        }
        RefillIfReloaded();
        return;
    }
    // The new contents' rows turn grey before the sentence, and the device list shows them
    // after it.
    const TransferOutcome outcome = TransferContents(ticked, false, *card_, *this);
    if (outcome.sent > 0) RecheckCatalogueRows();
    TellOutcome(messages_, outcome.status);
    if (!outcome.job.addedContentNos.empty()) RefillDeviceList();
    RefreshStorage();
    RefillIfReloaded();
}

std::shared_ptr<CardLock> CSendContents::LockCard() {
    auto lock =
        LockCardForAction(*card_, host_.timing ? host_.timing->cardLockWait : kCardLockWait);
    if (!lock.ok()) {
        TellOutcome(messages_, lock.status());
        return nullptr;
    }
    return std::move(lock.value());
}

void CSendContents::RefillIfReloaded() {
    if (!card_ || card_->Reloads() == seenReloads_) return;
    seenReloads_ = card_->Reloads();
    if (catalogue_) RebuildGameLists(*catalogue_, card_->database());
    RefillDeviceList();
    RecheckCatalogueRows();
    RefreshStorage();
}

void CSendContents::OnDelete() {
    const std::optional<Shelf> shelf = CurrentShelf();
    if (!databaseLoaded_ || !shelf) {
        Say(MessageKind::Information, kMsgNothingSelected);
        return;
    }
    const std::vector<ContentRecord> ticked = Ticked(*deviceList_);
    const auto lock = LockCard();
    if (!lock) return;
    RefillIfReloaded();
    const Status deleted = DeleteContents(*shelf, ticked, *card_);
    TellOutcome(messages_, deleted);
    // The lists are filled again whatever happened: a delete the card did not take has put the
    // database back as it was, and the rows must show that, not the records they held.
    const bool changed = deleted.ok();
    if (changed && tab_ == ContentTab::Game) RebuildGameLists(*catalogue_, card_->database());
    if (changed) RefreshStorage();
    RefillDeviceList();
    RecheckCatalogueRows();
}

void CSendContents::OnCatalogueClick(int row, int column, int button) {
    if (row == 0 && column == 0) {
        SelectAll(*catalogueList_);
        return;
    }
    if (column != 3 || !databaseLoaded_) return;
    const ContentRecord* record = RecordOf(*catalogueList_, row);
    if (record == nullptr) return;
    if (button == 0) {
        if (!catalogueList_->IsCheckEnabled(row, 0)) return;  // already on the card
        const ContentRecord chosen = *record;
        const TransferOutcome outcome = TransferContents({chosen}, false, *card_, *this);
        RecheckCatalogueRows();
        TellOutcome(messages_, outcome.status);
        if (!outcome.job.addedContentNos.empty()) RefillDeviceList();
        RefreshStorage();
        RefillIfReloaded();
    } else if (button == 1 && !record->files.empty() && host_.play) {
        host_.play(record->files.front().fileUrl);
    }
}

void CSendContents::OnDeviceClick(int row, int column, int button) {
    if (row == 0 && column == 0) {
        SelectAll(*deviceList_);
        return;
    }
    if (tab_ == ContentTab::Diy) {
        if (column == 3) OnDiyButton(row, button);
        return;
    }
    if (tab_ != ContentTab::Language || column != 3 || !databaseLoaded_) return;
    if (deviceList_->CellButton(row, 3, 0) == nullptr) return;
    const ContentRecord* record = RecordOf(*deviceList_, row);
    if (record == nullptr || !deviceList_->IsCheckEnabled(row, 0)) return;
    const ContentRecord chosen = *record;
    const auto lock = LockCard();
    if (!lock) return;
    if (card_->Reloads() != seenReloads_) {
        // Another program changed the card: the choice is made on the card as it is now.
        RefillIfReloaded();
        const auto& language = card_->database().Contents(Shelf::Language);
        if (std::none_of(language.begin(), language.end(),
                         [&](const ContentRecord& on) { return on.contentNo == chosen.contentNo; }))
            return;
    }
    // The radios follow the database's choice before "DIY를 변경하였습니다" is read over them.
    const auto redrawRadios = [this] {
        const QString chosenNo = ToQString(card_->database().selectedDiyContentNo());
        for (int r = 1; r < deviceList_->GetRowCount(); ++r) {
            if (CImgButton* radio = deviceList_->CellButton(r, 3, 0))
                radio->SetState(deviceList_->GetRowKey(r) == chosenNo);
        }
        deviceList_->viewport()->repaint();
    };
    const Status chose = ChooseDiyContent(chosen, *card_);
    if (chose.ok()) redrawRadios();
    TellOutcome(messages_, chose);
    // The database was put back as it was: its rows are read again.
    if (!chose.ok()) RefillDeviceList();
}

void CSendContents::OnSlotButton(int slot) {
    if (slot == slot_) return;
    slots_[static_cast<std::size_t>(slot_ - 1)]->SetState(0);
    slots_[static_cast<std::size_t>(slot - 1)]->SetState(1);
    slot_ = slot;
    RefillDeviceList();
    update();
}

void CSendContents::OnDiyButton(int row, int button) {
    if (!EnsureDiy()) return;
    // The row keeps its DIY card's number; the records are looked up afresh for each click.
    const int position = deviceList_->GetRowKey(row).toInt();
    if (position < 1 || position > static_cast<int>(card_->diy().records().size())) return;
    // Held across the file dialogs: a card pulled while one is open stays alive for this click,
    // which then writes nothing.
    const std::shared_ptr<Card> card = card_;
    CDiyXML& diy = card->diy();
    const auto stillThere = [&] {
        if (card_ == card && card->Present()) return true;
        Say(MessageKind::Exclamation, kMsgCardRemovedDuringJob);
        return false;
    };
    switch (button) {
        case 0: {
            const QStringList chosen = host_.chooseSounds ? host_.chooseSounds(this)
                                                          : QFileDialog::getOpenFileNames(
                                                                this, QString(), RecordingsFolder(),
                                                                ToQString(kDiyOpenFilter));
            if (chosen.isEmpty() || !stillThere()) return;
            std::vector<std::string> files;
            for (const QString& file : chosen) files.push_back(file.toStdString());
            TellOutcome(messages_, AssignDiyFiles(*card, position, slot_, files, *this).status);
            RefreshStorage();
            RefillDeviceList();
            RefillIfReloaded();
            return;
        }
        case 1: {
            const std::string path = DiySlotPath(diy, position, slot_);
            if (!path.empty() && host_.play) host_.play(path);
            return;
        }
        case 2: {
            const std::string name =
                SlotOfRecord(diy.records()[static_cast<std::size_t>(position - 1)], slot_).file;
            const bool mp3 = QString::fromStdString(name).contains(".mp3", Qt::CaseInsensitive);
            const QString filter =
                mp3 ? QStringLiteral("mp3 (*.mp3)") : QStringLiteral("wav (*.wav)");
            const QString chosen =
                host_.chooseSavePath
                    ? host_.chooseSavePath(this, ToQString(name), filter)
                    : QFileDialog::getSaveFileName(
                          this, QString(), RecordingsFolder() + "/" + ToQString(name), filter);
            if (chosen.isEmpty() || !stillThere()) return;
            TellOutcome(messages_,
                        ExportDiySlot(diy, position, slot_, chosen.toStdString(), *this).status);
            return;
        }
        case 3: {
            // The parent's own recording cannot be downloaded again: one misclick must not lose it.
            if (const auto question = DeleteDiySlotQuestion(diy, position, slot_);
                question && !messages_.Ask(MessageKind::Exclamation, *question))
                return;
            if (!stillThere()) return;
            const auto lock = LockCard();
            if (lock) TellOutcome(messages_, DeleteDiySlot(diy, position, slot_));
            RefreshStorage();
            RefillDeviceList();
            RefillIfReloaded();
            return;
        }
        default:
            return;
    }
}

void CSendContents::OnDeviceEdited(int row, int column) {
    if (tab_ != ContentTab::Diy || column != 2 || !EnsureDiy()) return;
    const int position = deviceList_->GetRowKey(row).toInt();
    if (position < 1) return;
    const std::string name = deviceList_->GetItemText(row, column).toStdString();
    // The record may be read again under the lock: only its position is kept.
    if (const auto lock = LockCard()) RenameDiySlot(card_->diy(), position, slot_, name);
    RefillIfReloaded();
}

// ---- Painting -----------------------------------------------------------------------------

void CSendContents::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(1, 1, 115, 23), LoadPicture(pic::kContentTitle));
    painter.drawPixmap(QRect(4, 23, 305, 25), LoadPicture(pic::kContentSubtitle));
    // Both headings stand on every tab: over the DIY list "보유 컨텐츠 내역" names the recordings.
    painter.drawPixmap(QRect(4, 120, 114, 22), LoadPicture(pic::kContentOwnedHeading));
    painter.drawPixmap(QRect(447, 120, 79, 22), LoadPicture(pic::kContentDeviceHeading));
    for (const auto& widget : pictures_) widget->Draw(painter);
    cataloguePager_->Draw(painter);
    devicePager_->Draw(painter);

    painter.setFont(AppFontWeight(8, 100));
    painter.setPen(Qt::red);
    painter.drawText(QPoint(1, 535 + painter.fontMetrics().ascent()), ToQString(kContentPageNote));
    painter.setPen(Qt::black);
    const int labelBase = 129 + painter.fontMetrics().ascent();
    if (catalogueAll_->isVisible() || tab_ != ContentTab::Diy)
        painter.drawText(QPoint(298, labelBase), ToQString(kLabelShowAll));
    painter.drawText(QPoint(647, labelBase), ToQString(kLabelShowAll));

    const QRect bar = StorageBarRect();
    const StorageBar shown = StorageBarOf(storage_, bar.width());
    painter.fillRect(bar, QColor(0x1E, 0x5A, 0xC8));
    if (shown.usedWidth > 0)
        painter.fillRect(QRect(bar.left(), bar.top(), shown.usedWidth, bar.height()),
                         QColor(0xD0, 0x21, 0x21));
    if (!shown.text.empty()) {
        painter.setPen(Qt::white);
        painter.drawText(QRect(bar.left() + 20, bar.top(), bar.width() - 20, bar.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, ToQString(shown.text));
    }
}

}  // namespace torvane
