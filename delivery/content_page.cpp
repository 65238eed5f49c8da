#include "delivery/content_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/outcome_telling.h"
#include "common/messages.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "delivery/diy_actions.h"
#include "delivery/download_dialog.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "ui/app_font.h"
#include "ui/desktop_look.h"
#include "ui/my_grid.h"
#include "ui/off_thread_wait.h"
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

void CSendContents::Reload(bool clear, bool keepTab) {
    // A card put in or pulled while the service answers asks for another reload: it runs once
    // the answer is in, as last asked, and shows the card as it is then.
    if (fetchingList_) {
        waitingReload_ = WaitingReload{clear, keepTab};
        return;
    }
    ContentPageState::AccountList list;
    if (!clear) {
        fetchingList_ = true;
        if (!WaitOffWindowThread(this, [&list, session = session_] {
                list = ContentPageState::FetchAccountList(session);
            }))
            return;  // the window closed meanwhile
        fetchingList_ = false;
    }
    ShowReload(state_.Reload(std::move(list), host_.currentCard ? host_.currentCard() : nullptr,
                             clear, keepTab));
    if (waitingReload_) {
        const WaitingReload next = *std::exchange(waitingReload_, std::nullopt);
        Reload(next.clear, next.keepTab);
    }
}

void CSendContents::ShowReload(const ContentPageState::ReloadEnd& end) {
    if (end.tellTooLong) Say(MessageKind::Error, kMsgServiceListTooLong);
    if (end.storageChanged) update(StorageBarRect());
    if (!end.showTab) {
        FillLists();
        return;
    }
    SelectTab(state_.Tab());
    update();
}

void CSendContents::ResetForRemovedDevice() {
    state_.ForgetCard();
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
    if (state_.RefreshStorage()) update(StorageBarRect());
}

QRect CSendContents::StorageBarRect() const {
    const int barWidth = width() - 300;
    return QRect((width() - barWidth) / 2, height() - 50, barWidth, 20);
}

const ContentRecord* CSendContents::RecordOf(const CMyGrid& list, int row) const {
    return state_.RecordOf(ListOf(list), list.GetRowKey(row).toStdString());
}

ContentList CSendContents::ListOf(const CMyGrid& list) const {
    return &list == deviceList_ ? ContentList::Device : ContentList::Catalogue;
}

// ---- Tabs ---------------------------------------------------------------------------------

void CSendContents::SelectTab(ContentTab tab) {
    state_.SelectTab(tab);
    for (int i = 0; i < kContentTabCount; ++i) tabs_[i]->SetState(kContentTabs[i] == tab ? 1 : 0);
    const int group = SubTabGroupOf(tab);
    for (int i = 0; i < 6; ++i) {
        subTabs_[i]->SetHidden(i / 2 != group);
        const bool series = i % 2 == 0;
        subTabs_[i]->SetState(group >= 0 && i / 2 == group && series == state_.SeriesSelected(tab));
    }
    const bool book = state_.ShowsSearch();
    catalogueSearch_->setVisible(book);
    deviceSearch_->setVisible(book);
    catalogueSearchButton_->SetHidden(!book);
    deviceSearchButton_->SetHidden(!book);
    const bool diy = state_.ShowsDiy();
    for (CImgButton* slot : slots_) slot->SetHidden(!diy);
    transfer_->SetHidden(diy);
    delete_->SetHidden(diy);
    PlaceListsForTab();
    FillLists();
    update();
}

void CSendContents::PlaceListsForTab() {
    const bool diy = state_.ShowsDiy();
    catalogueList_->setVisible(!diy);
    catalogueAll_->setVisible(!diy);
    cataloguePager_->SetHidden(diy || state_.ShowsAll(ContentList::Catalogue));
    deviceList_->setGeometry(diy ? kDiyListRect : kDeviceListRect);
    devicePager_->SetRect(diy ? kDiyPagerRect : kDevicePagerRect);
    devicePager_->SetHidden(state_.ShowsAll(ContentList::Device));
    deviceList_->SetEditable(diy);
}

void CSendContents::FillLists() {
    state_.BeginFill();
    FillCatalogueList();
    FillDeviceList();
}

// ---- Lists --------------------------------------------------------------------------------

void CSendContents::SetCatalogueColumns() {
    CMyGrid& list = *catalogueList_;
    list.DeleteAllItems();
    const bool game = !state_.CatalogueRowsHaveDownload();
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
    if (state_.Tab() == ContentTab::Diy) {
        columns = {{"", 0},
                   {kLabelNumberColumn, 38},
                   {kLabelTitleColumn, 420},
                   {kLabelFunctionColumn, 110},
                   {kLabelDownloadColumn, 60}};
    } else if (state_.Tab() == ContentTab::Language) {
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
    if (state_.CatalogueRowsHaveDownload()) {
        CGridCtrl::Buttons buttons{CellButton(row, pic::kCellDownloadOff, pic::kCellDownloadOn)};
        if (state_.CatalogueRowsHavePlay())
            buttons[1] = CellButton(row, pic::kCellPlayOff, pic::kCellPlayOn);
        list.SetButtons(row, 3, std::move(buttons));
    }
    SetRowEnabled(list, row, state_.CatalogueRowEnabled(record));
}

void CSendContents::BuildDeviceRow(int row, const ContentRecord& record) {
    CMyGrid& list = *deviceList_;
    list.SetRowHeight(row, kRowHeight);
    list.SetCheckCell(row, 0);
    list.SetItemText(row, 1, ToQString(record.title));
    list.SetRowKey(row, ToQString(record.contentNo));
    list.SetItemText(row, 2, ToQString(ShownDate(record.date)));
    list.SetItemFormat(row, 2, Qt::AlignCenter);
    const bool enabled = state_.DeviceRowEnabled(record);
    if (state_.DeviceRowsHaveDiyRadio()) {
        auto button = std::make_shared<CImgButton>(nullptr, kRadioButtonId, 0, 0, 0, 13, 13);
        button->LoadFourFromResources(pic::kRadioOff, pic::kRadioOn, pic::kRadioNotOwnedOff,
                                      pic::kRadioNotOwnedOn, QString());
        button->SetAccessibleName(ToQString(kLabelDiyColumn));
        button->SetFirstSet(enabled);
        button->SetState(state_.IsDiyChoice(record));
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
    const DiySlot& slot = SlotOfRecord(record, state_.Slot());
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
    const std::vector<ContentRecord>* const records = state_.Records(ContentList::Catalogue);
    if (records == nullptr) {
        AddFillerRows(list, 1, kContentPageSize, list.GetColumnCount());
        cataloguePager_->SetPages(0, 0, kContentPageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const int count = static_cast<int>(records->size());
    const PageRows rows = state_.Rows(ContentList::Catalogue, count);
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) BuildCatalogueRow(r, (*records)[rows.first + r - 1]);
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    const int page = state_.Page(ContentList::Catalogue);
    cataloguePager_->SetPages(count, page / 10 * 10, kContentPageSize, page % 10);
    if (state_.ShowsAll(ContentList::Catalogue)) list.SetColumnWidth(list.GetColumnCount() - 1, 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::FillDeviceList() {
    SetDeviceColumns();
    CMyGrid& list = *deviceList_;
    if (state_.ShowsDiy()) {
        FillDiyList();
        return;
    }
    const int pageSize = state_.PageSize(ContentList::Device);
    const std::vector<ContentRecord>* const records = state_.Records(ContentList::Device);
    if (records == nullptr) {
        AddFillerRows(list, 1, pageSize, list.GetColumnCount());
        devicePager_->SetPages(0, 0, pageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const int count = static_cast<int>(records->size());
    const PageRows rows = state_.Rows(ContentList::Device, count);
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) BuildDeviceRow(r, (*records)[rows.first + r - 1]);
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    const int page = state_.Page(ContentList::Device);
    devicePager_->SetPages(count, page / 10 * 10, pageSize, page % 10);
    if (state_.ShowsAll(ContentList::Device)) list.SetColumnWidth(list.GetColumnCount() - 1, 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::FillDiyList() {
    CMyGrid& list = *deviceList_;
    if (!state_.EnsureDiy()) {
        AddFillerRows(list, 1, kContentPageSize, list.GetColumnCount());
        devicePager_->SetPages(0, 0, kDiyPageSize, 0);
        list.ExpandLastColumn();
        return;
    }
    const std::vector<DiyRecord>& records = state_.ShownCard()->diy().records();
    const int count = kDiyCardCount;
    const PageRows rows = state_.Rows(ContentList::Device, count);
    list.SetRowCount(rows.built + 1);
    for (int r = 1; r <= rows.shown; ++r) {
        const int position = rows.first + r;
        BuildDiyRow(r, position, records[static_cast<std::size_t>(position - 1)]);
    }
    AddFillerRows(list, rows.shown + 1, rows.built, list.GetColumnCount());
    const int page = state_.Page(ContentList::Device);
    devicePager_->SetPages(count, page / 10 * 10, kDiyPageSize, page % 10);
    list.ExpandLastColumn();
    list.ScrollToTop();
}

void CSendContents::RefillDeviceList() {
    state_.RewindDeviceList();
    FillDeviceList();
}

void CSendContents::RecheckCatalogueRows() {
    CMyGrid& list = *catalogueList_;
    for (int row = 1; row < list.GetRowCount() && !list.GetRowKey(row).isEmpty(); ++row) {
        // A content that left the offered list (a game list rebuilt) cannot be sent any more.
        const ContentRecord* record = RecordOf(list, row);
        SetRowEnabled(list, row, record != nullptr && state_.CatalogueRowEnabled(*record));
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
    const ContentList which = device ? ContentList::Device : ContentList::Catalogue;
    state_.ShowAll(which, (device ? deviceAll_ : catalogueAll_)->isChecked());
    (device ? devicePager_ : cataloguePager_)->SetHidden(state_.ShowsAll(which));
    if (device) {
        FillDeviceList();
    } else {
        FillCatalogueList();
    }
    update();
}

void CSendContents::OnSearch(bool device) {
    const ContentList which = device ? ContentList::Device : ContentList::Catalogue;
    const std::string text = (device ? deviceSearch_ : catalogueSearch_)->text().toStdString();
    // Both searches cover the whole shelf and keep each found record on its row, so found
    // contents can be ticked, transferred and deleted like any other.
    const std::optional<std::vector<int>> hits = state_.Search(which, text);
    if (!hits) return;
    const std::vector<int>& found = *hits;
    const std::vector<ContentRecord>& records = *state_.Records(which);
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
    const CPageGroup& pager = device ? *devicePager_ : *cataloguePager_;
    const ContentList list = device ? ContentList::Device : ContentList::Catalogue;
    if (hit.Id() == CPageGroup::kPreviousId || hit.Id() == CPageGroup::kNextId) {
        state_.TurnPageGroup(list, hit.Id() == CPageGroup::kNextId, pager.LastPage());
    } else {
        state_.GoToPage(list, static_cast<int>(hit.Id()));
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
            state_.ChooseSeries(group, k == 0);
            SelectTab(state_.Tab());
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
    if (!state_.DatabaseLoaded() || !state_.Catalogue()) {
        Say(MessageKind::Information, kMsgNothingSelected);
        return;
    }
    const std::vector<ContentRecord> ticked = Ticked(*catalogueList_);
    if (state_.Tab() == ContentTab::Game) {
        // Both lists show the new selection before the sentence is read over them.
        if (const auto lock = LockCard()) {
            const GameSelectionOutcome outcome = AddToGameSelection(ticked, *state_.ShownCard());
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
    const TransferOutcome outcome = TransferContents(ticked, false, *state_.ShownCard(), *this);
    if (outcome.sent > 0) RecheckCatalogueRows();
    TellOutcome(messages_, outcome.status);
    if (!outcome.job.addedContentNos.empty()) RefillDeviceList();
    RefreshStorage();
    RefillIfReloaded();
}

std::shared_ptr<CardLock> CSendContents::LockCard() {
    auto lock = LockCardForAction(*state_.ShownCard(),
                                  host_.timing ? host_.timing->cardLockWait : kCardLockWait);
    if (!lock.ok()) {
        TellOutcome(messages_, lock.status());
        return nullptr;
    }
    return std::move(lock.value());
}

bool CSendContents::RefillIfReloaded() {
    if (!state_.TakeCardReload()) return false;
    RefillDeviceList();
    RecheckCatalogueRows();
    RefreshStorage();
    return true;
}

void CSendContents::OnDelete() {
    const std::optional<Shelf> shelf = state_.CurrentShelf();
    if (!state_.DatabaseLoaded() || !shelf) {
        Say(MessageKind::Information, kMsgNothingSelected);
        return;
    }
    const std::vector<ContentRecord> ticked = Ticked(*deviceList_);
    const auto lock = LockCard();
    if (!lock) return;
    RefillIfReloaded();
    const Status deleted = DeleteContents(*shelf, ticked, *state_.ShownCard());
    TellOutcome(messages_, deleted);
    // The lists are filled again whatever happened: a delete the card did not take has put the
    // database back as it was, and the rows must show that, not the records they held.
    const bool changed = deleted.ok();
    if (changed && state_.Tab() == ContentTab::Game) state_.RebuildGameLists();
    if (changed) RefreshStorage();
    RefillDeviceList();
    RecheckCatalogueRows();
}

void CSendContents::OnCatalogueClick(int row, int column, int button) {
    const ContentRecord* record = RecordOf(*catalogueList_, row);
    switch (state_.ClickOf(ContentList::Catalogue, row, column, button,
                           catalogueList_->IsCheckEnabled(row, 0))) {
        case ContentPageState::Click::TickAll:
            SelectAll(*catalogueList_);
            return;
        case ContentPageState::Click::Transfer: {
            if (record == nullptr) return;
            const ContentRecord chosen = *record;
            const TransferOutcome outcome =
                TransferContents({chosen}, false, *state_.ShownCard(), *this);
            RecheckCatalogueRows();
            TellOutcome(messages_, outcome.status);
            if (!outcome.job.addedContentNos.empty()) RefillDeviceList();
            RefreshStorage();
            RefillIfReloaded();
            return;
        }
        case ContentPageState::Click::Play:
            if (record != nullptr && !record->files.empty() && host_.play)
                host_.play(record->files.front().fileUrl);
            return;
        default:
            return;
    }
}

void CSendContents::OnDeviceClick(int row, int column, int button) {
    const ContentPageState::Click click = state_.ClickOf(ContentList::Device, row, column, button,
                                                         deviceList_->IsCheckEnabled(row, 0));
    if (click == ContentPageState::Click::TickAll) {
        SelectAll(*deviceList_);
        return;
    }
    if (state_.ShowsDiy()) {
        if (click != ContentPageState::Click::None) OnDiyButton(row, click);
        return;
    }
    if (click != ContentPageState::Click::ChooseDiy ||
        deviceList_->CellButton(row, 3, 0) == nullptr)
        return;
    const ContentRecord* record = RecordOf(*deviceList_, row);
    if (record == nullptr) return;
    const ContentRecord chosen = *record;
    const auto lock = LockCard();
    if (!lock) return;
    const std::shared_ptr<Card>& card = state_.ShownCard();
    if (RefillIfReloaded()) {
        // Another program changed the card: the choice is made on the card as it is now.
        const auto& language = card->database().Contents(Shelf::Language);
        if (std::none_of(language.begin(), language.end(),
                         [&](const ContentRecord& on) { return on.contentNo == chosen.contentNo; }))
            return;
    }
    // The radios follow the database's choice before "DIY를 변경하였습니다" is read over them.
    const auto redrawRadios = [this, &card] {
        const QString chosenNo = ToQString(card->database().selectedDiyContentNo());
        for (int r = 1; r < deviceList_->GetRowCount(); ++r) {
            if (CImgButton* radio = deviceList_->CellButton(r, 3, 0))
                radio->SetState(deviceList_->GetRowKey(r) == chosenNo);
        }
        deviceList_->viewport()->repaint();
    };
    const Status chose = ChooseDiyContent(chosen, *card);
    if (chose.ok()) redrawRadios();
    TellOutcome(messages_, chose);
    // The database was put back as it was: its rows are read again.
    if (!chose.ok()) RefillDeviceList();
}

void CSendContents::OnSlotButton(int slot) {
    const int before = state_.Slot();
    if (!state_.ChooseSlot(slot)) return;
    slots_[static_cast<std::size_t>(before - 1)]->SetState(0);
    slots_[static_cast<std::size_t>(slot - 1)]->SetState(1);
    RefillDeviceList();
    update();
}

void CSendContents::OnDiyButton(int row, ContentPageState::Click click) {
    // The row keeps its DIY card's number; the records are looked up afresh for each click.
    const std::optional<int> found =
        state_.DiyPositionOf(deviceList_->GetRowKey(row).toStdString());
    if (!found) return;
    const int position = *found;
    const int slot = state_.Slot();
    // Held across the file dialogs: a card pulled while one is open stays alive for this click,
    // which then writes nothing.
    const std::shared_ptr<Card> card = state_.ShownCard();
    CDiyXML& diy = card->diy();
    const auto stillThere = [&] {
        if (state_.ShownCard() == card && card->Present()) return true;
        Say(MessageKind::Exclamation, kMsgCardRemovedDuringJob);
        return false;
    };
    switch (click) {
        case ContentPageState::Click::DiyAssign: {
            const QStringList chosen = host_.chooseSounds ? host_.chooseSounds(this)
                                                          : QFileDialog::getOpenFileNames(
                                                                this, QString(), RecordingsFolder(),
                                                                ToQString(kDiyOpenFilter));
            if (chosen.isEmpty() || !stillThere()) return;
            std::vector<std::string> files;
            for (const QString& file : chosen) files.push_back(file.toStdString());
            TellOutcome(messages_, AssignDiyFiles(*card, position, slot, files, *this).status);
            RefreshStorage();
            RefillDeviceList();
            RefillIfReloaded();
            return;
        }
        case ContentPageState::Click::DiyPlay: {
            const std::string path = DiySlotPath(diy, position, slot);
            if (!path.empty() && host_.play) host_.play(path);
            return;
        }
        case ContentPageState::Click::DiyExport: {
            const std::string name =
                SlotOfRecord(diy.records()[static_cast<std::size_t>(position - 1)], slot).file;
            const QString filter = ToQString(DiyExportFilter(name));
            const QString chosen =
                host_.chooseSavePath
                    ? host_.chooseSavePath(this, ToQString(name), filter)
                    : QFileDialog::getSaveFileName(
                          this, QString(), RecordingsFolder() + "/" + ToQString(name), filter);
            if (chosen.isEmpty() || !stillThere()) return;
            TellOutcome(messages_,
                        ExportDiySlot(diy, position, slot, chosen.toStdString(), *this).status);
            return;
        }
        case ContentPageState::Click::DiyDelete: {
            // The parent's own recording cannot be downloaded again: one misclick must not lose it.
            if (const auto question = DeleteDiySlotQuestion(diy, position, slot);
                question && !messages_.Ask(MessageKind::Exclamation, *question))
                return;
            if (!stillThere()) return;
            const auto lock = LockCard();
            if (lock) TellOutcome(messages_, DeleteDiySlot(diy, position, slot));
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
    if (!state_.ShowsDiy() || column != 2) return;
    const std::optional<int> position =
        state_.DiyPositionOf(deviceList_->GetRowKey(row).toStdString());
    if (!position) return;
    const std::string name = deviceList_->GetItemText(row, column).toStdString();
    // The record may be read again under the lock: only its position is kept.
    if (const auto lock = LockCard())
        RenameDiySlot(state_.ShownCard()->diy(), *position, state_.Slot(), name);
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
    if (catalogueAll_->isVisible() || !state_.ShowsDiy())
        painter.drawText(QPoint(298, labelBase), ToQString(kLabelShowAll));
    painter.drawText(QPoint(647, labelBase), ToQString(kLabelShowAll));

    const QRect bar = StorageBarRect();
    const StorageBar shown = StorageBarOf(state_.Storage(), bar.width());
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
