#include "children/child_page.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "base/outcome_telling.h"
#include "children/child_rules.h"
#include "children/child_window.h"
#include "children/name_voice.h"
#include "common/messages.h"
#include "delivery/content_actions.h"
#include "service/http_client.h"
#include "store/card.h"
#include "ui/app_font.h"
#include "ui/child_info_cell.h"
#include "ui/grid_ctrl.h"
#include "ui/my_grid.h"
#include "ui/off_thread_wait.h"
#include "ui/picture_ids.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"

namespace torvane {
namespace {

const QColor kRowBack(0xEF, 0xF3, 0xE9);
const QColor kLabelInk(0x47, 0x75, 0x00);
constexpr int kFirstRowHeight = 40;
constexpr int kSecondRowHeight = 23;
constexpr int kColumnWidths[] = {50, 120, 50, 90, 70, 110};

// The pictures of the page, in drawing order, with their places.
struct PagePicture {
    int id;
    QRect place;
};
const PagePicture kPictures[] = {
    {pic::kChildTitle, {1, 1, 141, 23}},          {pic::kChildDeviceHeading, {17, 54, 103, 30}},
    {pic::kChildListHeading, {17, 289, 67, 30}},  {pic::kBoxTop, {16, 81, 631, 17}},
    {pic::kBoxMiddle, {16, 98, 631, 165}},        {pic::kBoxBottom, {16, 246, 631, 17}},
    {pic::kChildCountsPanel, {40, 189, 585, 56}}, {pic::kBoxTop, {16, 317, 631, 17}},
    {pic::kBoxMiddle, {16, 334, 631, 280}},       {pic::kBoxBottom, {16, 600, 631, 17}},
};

QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

QFont LabelFont() {
    QFont font = AppFont(9, true);
    return font;
}

// Text drawn with its top-left corner at (x, y), as the page's layout gives it.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + QFontMetrics(painter.font()).ascent(), text);
}

}  // namespace

CManagerPrivate::CManagerPrivate(QWidget* parent, const ServiceSession& session,
                                 IMessageSink& messages, std::unique_ptr<IMediaEngine> engine)
    : ChildPageBase(parent), session_(session), messages_(messages), engine_(std::move(engine)) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    for (const PagePicture& picture : kPictures) pictures_.push_back(LoadPicture(picture.id));

    addButton_ = std::make_unique<CImgButton>(this, kAddButtonId, 0, 516, 278, 643, 310);
    addButton_->LoadFromResources(pic::kChildAdd, pic::kChildAdd, QString());

    driveList_ = new QComboBox(this);
    SetControlId(driveList_, kDriveListId);
    driveList_->setObjectName("DriveList");
    driveList_->setAccessibleName(ToQString(kLabelRemovableDrive));
    driveList_->setGeometry(134, 101, 298 - 134, 22);

    grid_ = new CMyGrid(this);
    grid_->Create(Edges(32, 330, 635, 519), this, kGridId);
    grid_->SetTextBkColor(kRowBack);
    grid_->SetFixedRowCount(0);
    grid_->SetEditable(false);
    connect(grid_, &CGridCtrl::buttonClicked, this, [this](int row, int column, int button) {
        RunCommand(row, column == kDeleteColumn ? kDeleteCommand : button);
    });

    addWindow_ = new CChildWnd(this);
    connect(addWindow_, &CChildWnd::addClicked, this, &CManagerPrivate::AddChildFromWindow);
    connect(addWindow_, &CChildWnd::cancelClicked, addWindow_, &QWidget::hide);
}

CManagerPrivate::~CManagerPrivate() {
    if (cardWork_.joinable()) cardWork_.join();
}

void CManagerPrivate::ClearDeviceHeader() {
    driveList_->clear();
    driveList_->setCurrentText(QString());
    state_.ForgetCard();
    update();
}

void CManagerPrivate::SetDeviceHeader(const DeviceHeader& header) {
    state_.ShowCard(header.drive, header.systemVersion, header.firmwareVersion, header.card);
    driveList_->clear();
    driveList_->addItem(ToQString(header.drive));
    driveList_->setCurrentIndex(0);
    update();
}

void CManagerPrivate::SetUpColumns() {
    grid_->SetColumnCount(7);
    for (int col = 0; col < 6; ++col) grid_->SetColumnWidth(col, kColumnWidths[col]);
}

std::optional<ChildrenList> CManagerPrivate::FetchOffWindowThread() {
    // The rows shown stay as they are until the new list is in.
    ChildrenList fetched;
    if (!WaitOffWindowThread(
            this, [&fetched, session = session_] { fetched = FetchChildrenList(session); }))
        return std::nullopt;
    return fetched;
}

void CManagerPrivate::ReloadChildren() {
    if (!state_.BeginReload()) return;
    std::optional<ChildrenList> fetched;
    do {
        fetched = FetchOffWindowThread();
        if (!fetched) return;  // the page was closed meanwhile
    } while (state_.FetchAgain());
    grid_->DeleteAllItems();
    // A list that cannot be fetched shows as an empty grid; one longer than any family's is
    // refused.
    if (state_.TakeList(std::move(*fetched), std::chrono::steady_clock::now()))
        messages_.Show(MessageKind::Error, kMsgServiceListTooLong);
    const std::vector<ChildInfo>& children = state_.Children();
    for (const ChildInfo& child : children) AddChildRows(child);
    grid_->viewport()->update();
}

void CManagerPrivate::AddChildRows(const ChildInfo& child) {
    if (grid_->GetColumnCount() == 0) SetUpColumns();
    const int first = grid_->GetRowCount();
    grid_->SetRowCount(first + 2);
    grid_->SetRowHeight(first, kFirstRowHeight);
    grid_->SetRowHeight(first + 1, kSecondRowHeight);

    const QString texts[] = {
        ToQString(kLabelChildName),     ToQString(ChildFullName(child)),
        ToQString(kLabelChildSex),      ToQString(child.IsBoy() ? kLabelBoy : kLabelGirl),
        ToQString(kLabelChildBirthday), ToQString(BirthDateText(child.birthday))};
    for (int col = 0; col < 6; ++col) {
        grid_->SetItemText(first, col, texts[col]);
        grid_->SetItemBkColour(first, col, kRowBack);
        const bool label = col % 2 == 0;
        grid_->SetItemFgColour(first, col, label ? kLabelInk : QColor(Qt::black));
        if (label) grid_->SetItemFont(first, col, LabelFont());
    }

    auto deleteButton = std::make_shared<CImgButton>(nullptr, pic::kChildDelete, 0, 0, 0, 41, 23);
    deleteButton->LoadFromResources(pic::kChildDelete, pic::kChildDelete, QString());
    grid_->SetCentredButton(first, kDeleteColumn, std::move(deleteButton));
    grid_->SetItemBkColour(first, kDeleteColumn, kRowBack);

    grid_->SpanRow(first + 1);
    const NameVoiceCell state = state_.VoiceCellOf(child);
    grid_->SetChildInfo(first + 1, 0, static_cast<int>(state), ToQString(NameVoiceCellText(state)));
}

void CManagerPrivate::ToggleAddWindow() {
    addButton_->SetState(1);
    addButton_->Repaint();
    if (addWindow_->isVisible()) {
        addWindow_->hide();
    } else {
        addWindow_->show();
        addWindow_->raise();
        addWindow_->FamilyNameEdit()->setFocus();
    }
    addButton_->SetState(0);
    addButton_->Repaint();
}

void CManagerPrivate::AddChildFromWindow() {
    // The duplicate check looks at the children still shown: a deleted child's name is free.
    const std::vector<std::string> shown = state_.ShownNames();
    NewChild child;
    child.familyName = addWindow_->FamilyNameEdit()->text().toStdString();
    child.givenName = addWindow_->GivenNameEdit()->text().toStdString();
    child.sex = addWindow_->IsBoy() ? ChildSex::Boy : ChildSex::Girl;
    child.birthday = addWindow_->Birthday();
    Status outcome = Status::Ok();
    if (!WaitOffWindowThread(
            this, [&, session = session_] { outcome = AddChild(child, shown, session); }))
        return;
    TellOutcome(messages_, outcome);
    const bool added = outcome.ok();
    // The add window stays open for the next child.
    if (added) ReloadChildren();
}

void CManagerPrivate::RunCommand(int row, int command) {
    switch (command) {
        case kDeleteCommand:
            Delete(row);
            return;
        case CChildInfoCell::kRequest:
            Request(row);
            return;
        case CChildInfoCell::kApply:
        case CChildInfoCell::kRelease: {
            switch (state_.CanStartCardWork()) {
                case ChildPageState::CardWorkStart::Ignore:
                    return;
                case ChildPageState::CardWorkStart::NoDevice:
                    messages_.Show(MessageKind::Information, kMsgNoDevice);
                    return;
                case ChildPageState::CardWorkStart::Start:
                    break;
            }
            const ChildInfo* child = ChildOfRow(row);
            if (command == CChildInfoCell::kApply && child == nullptr) return;
            if (command == CChildInfoCell::kApply) {
                if (const Status valid = RequireChildNumber(*child); !valid.ok()) {
                    TellOutcome(messages_, valid);
                    return;
                }
            }
            StartCardWork(command == CChildInfoCell::kApply ? child : nullptr);
            return;
        }
        case CChildInfoCell::kListen:
            Listen(row);
            return;
        default:
            return;
    }
}

void CManagerPrivate::Delete(int row) {
    const ChildInfo* child = ChildOfRow(row);
    if (child == nullptr) return;
    const int first = ChildPageState::FirstRowOf(row);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CDefaultXML* database = state_.DatabaseToChange();
    std::shared_ptr<CardLock> lock;
    if (database != nullptr) {
        auto locked = LockCardForAction(*state_.ShownCard());
        if (!locked.ok()) {
            QApplication::restoreOverrideCursor();
            TellOutcome(messages_, locked.status());
            return;
        }
        lock = std::move(locked.value());
    }
    const Status outcome = DeleteChildWithVoice(*child, database, session_);
    QApplication::restoreOverrideCursor();
    TellOutcome(messages_, outcome);
    if (!outcome.ok()) return;
    // The rows stay, invisible, until the next reload.
    state_.MarkDeleted(row);
    grid_->SetItemText(first, 1, QString());
    grid_->SetRowHeight(first, 0);
    grid_->SetRowHeight(first + 1, 0);
    grid_->viewport()->update();
}

void CManagerPrivate::Request(int row) {
    const ChildInfo* child = ChildOfRow(row);
    if (child == nullptr) return;
    Status outcome = Status::Ok();
    if (!WaitOffWindowThread(this, [&outcome, asked = *child, session = session_] {
            outcome = RequestChildVoice(asked, session);
        }))
        return;
    TellOutcome(messages_, outcome);
    if (!outcome.ok()) return;
    const int second = ChildPageState::FirstRowOf(row) + 1;
    grid_->SetChildInfo(second, 0, static_cast<int>(NameVoiceCell::Requested),
                        ToQString(NameVoiceCellText(NameVoiceCell::Requested)));
}

void CManagerPrivate::StartCardWork(const ChildInfo* child) {
    const std::optional<ChildInfo> apply =
        child != nullptr ? std::optional<ChildInfo>(*child) : std::nullopt;
    state_.BeginCardWork(apply);
    if (cardWork_.joinable()) cardWork_.join();
    // The download and the copies run off the window's thread on the card the click was made
    // for, held until the work ends; its database, which the content page reads on this thread,
    // is written back here, to that card only, whatever card is shown by then.
    const std::shared_ptr<Card> card = state_.ShownCard();
    if (const Status chosen = RequireCard(card.get()); !chosen.ok()) {
        state_.StopCardWork();
        TellOutcome(messages_, chosen);
        return;
    }
    auto locked = LockCardForAction(*card);
    if (!locked.ok()) {
        state_.StopCardWork();
        TellOutcome(messages_, locked.status());
        return;
    }
    cardWorkLock_ = std::move(locked.value());
    cardWork_ = std::thread([this, card, apply, session = session_] {
        const bool placed = apply ? PlaceNameVoice(*apply, card->anchor(), session).ok()
                                  : DeleteNameVoiceFiles(card->anchor()).ok();
        QMetaObject::invokeMethod(
            this, [this, card, placed] { FinishCardWork(card, placed); }, Qt::QueuedConnection);
    });
}

void CManagerPrivate::FinishCardWork(const std::shared_ptr<Card>& card, bool placed) {
    if (cardWork_.joinable()) cardWork_.join();
    const std::shared_ptr<CardLock> lock = std::move(cardWorkLock_);
    const ChildPageState::CardWorkEnd end = state_.EndCardWork(card->Present(), placed);
    if (end.message) messages_.Show(end.kind, *end.message);
    // The voice went on (or came off) but a database the card did not take still names the child
    // it named: the parent hears it rather than a silence that reads as done.
    if (end.selectChild)
        if (const Status selected = SelectNameVoiceChild(*end.selectChild, card->database());
            !selected.ok())
            TellOutcome(messages_, selected);
    state_.StopCardWork();
    if (end.reload) ReloadChildren();
    Q_EMIT cardWorkFinished();
}

void CManagerPrivate::Listen(int row) {
    const ChildInfo* child = ChildOfRow(row);
    if (child == nullptr) return;
    const NameFile* voice = FirstReadyVoice(*child);
    if (voice == nullptr) return;
    if (!player_) {
        std::unique_ptr<IMediaEngine> engine = engine_ ? std::move(engine_) : CreateQtMediaEngine();
        player_ = std::make_unique<CWmpPlayer>(nullptr, std::move(engine));
        player_->Initialise();
    }
    player_->Play(ToQString(UrlEncodeText(voice->url)));
}

void CManagerPrivate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (std::size_t i = 0; i < pictures_.size(); ++i)
        painter.drawPixmap(kPictures[i].place, pictures_[i]);
    addButton_->Draw(painter);

    painter.setPen(Qt::black);
    painter.setFont(AppFont(8, true));
    const struct {
        std::string_view text;
        int x, y;
    } labels[] = {{kLabelRemovableDrive, 40, 105},  {kLabelSystemVersion, 40, 137},
                  {kLabelFirmwareVersion, 40, 160}, {kLabelCountLanguage, 78, 199},
                  {kLabelCountStories, 296, 199},   {kLabelCountSongs, 78, 224},
                  {kLabelCountBooks, 296, 224}};
    for (const auto& label : labels) DrawTextAt(painter, label.x, label.y, ToQString(label.text));
    painter.setFont(AppFont(8, false));
    if (!state_.SystemVersion().empty())
        DrawTextAt(painter, 132, 137, ToQString(state_.SystemVersion()));
    if (!state_.FirmwareVersion().empty())
        DrawTextAt(painter, 132, 160, ToQString(state_.FirmwareVersion()));
    const ContentCounts counts = ShownCounts();
    DrawTextAt(painter, 129, 199, QString::number(counts.language));
    DrawTextAt(painter, 345, 199, QString::number(counts.story));
    DrawTextAt(painter, 129, 224, QString::number(counts.music));
    DrawTextAt(painter, 345, 224, QString::number(counts.books));
}

void CManagerPrivate::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (addButton_->HitTest(at.x(), at.y()) != nullptr) ToggleAddWindow();
}

void CManagerPrivate::changeEvent(QEvent* event) {
    ChildPageBase::changeEvent(event);
    // Back from another program (the parent may have used the service's web site): show the
    // children as they are now, unless an apply is still running. A list read a moment ago is
    // still the service's, so switching windows back and forth does not ask again each time.
    if (event->type() == QEvent::ActivationChange && isVisible() && isActiveWindow() &&
        state_.ReloadOnReturn(std::chrono::steady_clock::now()))
        ReloadChildren();
}

}  // namespace torvane
