#include "update/update_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <functional>

#include "common/messages.h"
#include "store/device_clock.h"
#include "ui/app_font.h"
#include "ui/desktop_look.h"
#include "ui/grid_ctrl.h"
#include "ui/list_grid.h"
#include "ui/off_thread_wait.h"
#include "ui/picture_ids.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "update/kept_recordings.h"

namespace torvane {
namespace {

UpdateTab TabOfId(unsigned tabId) {
    switch (tabId) {
        case CUpdateSystem::kTabUpdateId:
            return UpdateTab::Update;
        case CUpdateSystem::kTabResetId:
            return UpdateTab::Reset;
        default:
            return UpdateTab::Care;
    }
}

QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The pictures always drawn, with their places; the reset notice only under the reset tab.
struct PagePicture {
    int id;
    QRect place;
};
const PagePicture kPictures[] = {
    {pic::kUpdateTitle, {1, 1, 166, 23}},        {pic::kUpdateSubtitle, {4, 23, 266, 25}},
    {pic::kUpdateBoxTop, {11, 116, 631, 15}},    {pic::kUpdateBoxMiddle, {11, 131, 631, 110}},
    {pic::kUpdateBoxBottom, {11, 227, 631, 15}},
};
const QRect kResetNoticePlace(11, 290, 149, 26);
const QRect kKeepRecordingsPlace(172, 292, 330, 22);
const QPoint kCareViewPlace(10, 254);

void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + QFontMetrics(painter.font()).ascent(), text);
}

// The system's file dialogs, in the user's documents; a backup is offered a dated name and always
// carries the extension the file manager opens with Torvane.
std::string ChooseArchiveWithDialog(QWidget* parent, bool forSaving) {
    const QString folder = BackupsFolder();
    const QString filter = ToQString(kLabelBackupFiles);
    if (!forSaving) {
        return QFileDialog::getOpenFileName(parent, ToQString(kLabelOpenBackup), folder, filter)
            .toStdString();
    }
    const QString suggested =
        folder + "/" + ToQString(SuggestedBackupName(DeviceDateNow().substr(0, 10)));
    return BackupArchivePath(
        QFileDialog::getSaveFileName(parent, ToQString(kLabelSaveBackup), suggested, filter)
            .toStdString());
}

}  // namespace

CUpdateSystem::CUpdateSystem(QWidget* parent, const ServiceSession& session, IMessageSink& messages,
                             std::unique_ptr<IJobRunner> runner,
                             std::function<std::string(bool forSaving)> chooseArchive)
    : UpdatePageBase(parent), session_(session), messages_(messages), runner_(std::move(runner)) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    for (const PagePicture& picture : kPictures) pictures_.push_back(LoadPicture(picture.id));
    pictures_.push_back(LoadPicture(pic::kResetNotice));

    tabUpdate_ = std::make_unique<CImgButton>(this, kTabUpdateId, 0, 5, 62, 139, 94);
    tabUpdate_->LoadFromResources(pic::kUpdateTabUpdateOff, pic::kUpdateTabUpdateOn, QString());
    tabReset_ = std::make_unique<CImgButton>(this, kTabResetId, 0, 139, 62, 270, 94);
    tabReset_->LoadFromResources(pic::kUpdateTabResetOff, pic::kUpdateTabResetOn, QString());
    tabCare_ = std::make_unique<CImgButton>(this, kTabCareId, 0, 270, 62, 401, 94);
    tabCare_->LoadFromResources(pic::kUpdateTabCareOff, pic::kUpdateTabCareOn, QString());
    installUpdate_ = std::make_unique<CImgButton>(this, kInstallId, 0, 250, 457, 473, 532);
    installUpdate_->LoadFromResources(pic::kInstallUpdate, pic::kInstallUpdate, QString());
    installReset_ = std::make_unique<CImgButton>(this, kInstallId, 0, 250, 457, 473, 532);
    installReset_->LoadFromResources(pic::kInstallReset, pic::kInstallReset, QString());

    // A click anywhere on a package's row is the tick of that row; a click on the box itself is
    // told by the box (the grid's buttonClicked), which has flipped it already.
    grid_ = new CGridCtrl(this);
    connect(grid_, &CGridCtrl::rowClicked, this, [this](int row, int column) {
        if (column != kTickColumn) Tick(row);
    });
    connect(grid_, &CGridCtrl::buttonClicked, this, [this](int row, int column, int) {
        if (column == kTickColumn) Tick(row);
    });
    grid_->Create(Edges(10, 316, 641, 417), this, kGridId);
    grid_->setFrameShape(QFrame::Box);
    grid_->setFocusPolicy(Qt::TabFocus);
    grid_->SetEditable(false);
    SetUpGrid();
    tabUpdate_->SetState(1);

    // A parent who resets the player rarely means to lose the recordings made for the child.
    keepRecordings_ = new QCheckBox(ToQString(kLabelKeepRecordings), this);
    keepRecordings_->setGeometry(kKeepRecordingsPlace);
    keepRecordings_->setFont(AppFont(9, false));
    keepRecordings_->setChecked(state_.KeepRecordings());
    connect(keepRecordings_, &QCheckBox::toggled, this,
            [this](bool keep) { state_.SetKeepRecordings(keep); });

    CCardCareView::Host care;
    care.card = [this] { return TargetCard(); };
    care.chooseArchive = chooseArchive ? std::move(chooseArchive) : [this](bool forSaving) {
        return ChooseArchiveWithDialog(this, forSaving);
    };
    care.cardChanged = [this] { CardChanged(); };
    careView_ = new CCardCareView(this, *runner_, messages_, std::move(care));
    careView_->move(kCareViewPlace);
    ShowTabWidgets();

    DriveChooser()->setGeometry(199, 149, 363 - 199, 22);
    DriveChooser()->setAccessibleName(ToQString(kLabelRemovableDrive));
}

CUpdateSystem::~CUpdateSystem() = default;

void CUpdateSystem::SetUpGrid() {
    const ListColumn columns[] = {{kLabelPackageVersion, 100},
                                  {kLabelPackageDescription, 300},
                                  {kLabelPackageDate, 190},
                                  {"", 30}};
    ResetAsList(*grid_, columns);
}

unsigned CUpdateSystem::CurrentTab() const {
    switch (state_.Tab()) {
        case UpdateTab::Update:
            return kTabUpdateId;
        case UpdateTab::Reset:
            return kTabResetId;
        case UpdateTab::Care:
            break;
    }
    return kTabCareId;
}

void CUpdateSystem::FillGrid() {
    state_.Tick(0);
    SetUpGrid();
    const std::vector<UpdateFile>& files = state_.Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const int row = grid_->GetRowCount();
        grid_->SetRowCount(row + 1);
        grid_->SetItemText(row, 0, ToQString(files[i].version));
        grid_->SetItemText(row, 1, ToQString(files[i].description));
        grid_->SetRowKey(row, QString::number(i));
        grid_->SetItemText(row, 2, ToQString(files[i].registeredDate));
        grid_->SetCheckCell(row, kTickColumn);
        for (int col = 1; col < 4; ++col) grid_->SetItemFgColour(row, col, Qt::black);
    }
    grid_->viewport()->update();
}

int CUpdateSystem::PositionOfRow(int row) const {
    // The row keeps its package's place in the tab's list.
    bool listed = false;
    const int index = row > 0 ? grid_->GetRowKey(row).toInt(&listed) : -1;
    return listed ? index + 1 : 0;
}

void CUpdateSystem::Tick(int row) {
    state_.Tick(PositionOfRow(row));
    ShowTick();
}

void CUpdateSystem::ShowTick() {
    const int ticked = state_.Ticked();
    for (int r = 1; r < grid_->GetRowCount(); ++r)
        grid_->SetCheck(r, kTickColumn, ticked > 0 && PositionOfRow(r) == ticked);
    grid_->viewport()->update();
}

int CUpdateSystem::TickedRow() const {
    const int ticked = state_.Ticked();
    for (int r = 1; r < grid_->GetRowCount() && ticked > 0; ++r)
        if (PositionOfRow(r) == ticked) return r;
    return 0;
}

CImgButton* CUpdateSystem::TabButton(unsigned tabId) const {
    switch (tabId) {
        case kTabUpdateId:
            return tabUpdate_.get();
        case kTabResetId:
            return tabReset_.get();
        default:
            return tabCare_.get();
    }
}

void CUpdateSystem::ChooseTab(unsigned tabId) {
    if (state_.ChooseTab(TabOfId(tabId))) {
        for (const unsigned tab : {kTabUpdateId, kTabResetId, kTabCareId})
            TabButton(tab)->SetState(tab == tabId ? 1 : 0);
        FillGrid();
        ShowTabWidgets();
    }
    update();
}

void CUpdateSystem::ShowTabWidgets() {
    grid_->setVisible(state_.ShowsPackages());
    keepRecordings_->setVisible(state_.ShowsKeepRecordings());
    careView_->setVisible(state_.ShowsCare());
}

void CUpdateSystem::OfferRestore(const std::string& archive) {
    ChooseTab(kTabCareId);
    careView_->Restore(archive);
}

bool CUpdateSystem::RequestFirmwareList() {
    UpdateFileList list;
    Status fetched = Status::Ok();
    if (!WaitOffWindowThread(this, [&list, &fetched, session = session_] {
            fetched = list.FetchUpdateFiles(session);
        }))
        return false;  // the window closed meanwhile
    if (!fetched.ok()) {
        if (list.RefusedAsTooLong()) messages_.Show(MessageKind::Error, kMsgServiceListTooLong);
        state_.SetList(std::nullopt);
        FillGrid();
        return false;
    }
    SetList(std::move(list));
    return true;
}

void CUpdateSystem::SetList(UpdateFileList list) {
    state_.SetList(std::move(list));
    FillGrid();
}

void CUpdateSystem::SetDeviceVersions(const std::string& contentVersion,
                                      const std::string& firmwareVersion) {
    state_.SetVersions(contentVersion, firmwareVersion);
    update();
}

void CUpdateSystem::Install() {
    if (!state_.TakesInstallClick()) return;
    CImgButton* button = InstallButton();
    button->SetState(1);
    button->Repaint();
    // The package is copied so that the list may change under a running job.
    if (const std::optional<UpdateFile> file = state_.TickedPackage()) {
        std::shared_ptr<Card> card = TargetCard();
        if (card == nullptr) {
            messages_.Show(MessageKind::Information, kMsgNoDevice);
        } else {
            state_.SetInstalling(true);
            std::optional<KeptRecordings> kept;
            if (state_.InstallKeepsRecordings()) kept.emplace();
            const PackageKind kind = CurrentKind();
            // A reset names the card it wipes; answered No, nothing runs and nothing changes.
            const auto question = PackageConfirmation(kind, *card, kept.has_value());
            if (question && !messages_.Ask(MessageKind::Exclamation, *question))
                lastOutcome_ =
                    JobOutcome{.status = Status::Failure(OutcomeKind::Cancelled, Message{})};
            else
                lastOutcome_ = InstallConfirmedPackage(*file, kind, std::move(card), *runner_,
                                                       kept ? &*kept : nullptr);
            state_.SetInstalling(false);
            // The window reads the card again only when the job wrote to it: not after a
            // refused question or a package that never arrived.
            if (lastOutcome_->cardChanged) CardChanged();
        }
    }
    button->SetState(0);
    update();
}

void CUpdateSystem::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (std::size_t i = 0; i < std::size(kPictures); ++i)
        painter.drawPixmap(kPictures[i].place, pictures_[i]);
    for (const unsigned tab : {kTabUpdateId, kTabResetId, kTabCareId})
        TabButton(tab)->Draw(painter);
    if (state_.Tab() == UpdateTab::Update) {
        installUpdate_->Draw(painter);
    } else if (state_.Tab() == UpdateTab::Reset) {
        painter.drawPixmap(kResetNoticePlace, pictures_.back());
        installReset_->Draw(painter);
    }
    DrawBoxLines(painter);
}

void CUpdateSystem::DrawBoxLines(QPainter& painter) const {
    painter.setPen(Qt::black);
    painter.setFont(AppFont(8, true));
    DrawTextAt(painter, 106, 153, ToQString(kLabelRemovableDrive));
    if (state_.ShowsCare()) {
        DrawTextAt(painter, 106, 182, ToQString(kLabelCardState));
        DrawTextAt(painter, 195, 182, ToQString(careView_->Summary()));
        painter.setPen(QColor(0x8A, 0x6A, 0x52));
        painter.setFont(AppFont(8, false));
        DrawTextAt(painter, 106, 208, ToQString(kLabelCareIntro));
        return;
    }
    DrawTextAt(painter, 106, 182, ToQString(state_.VersionLabel()));
    const std::string& version = state_.ShownVersion();
    if (!version.empty()) DrawTextAt(painter, 195, 182, ToQString(version));
}

void CUpdateSystem::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    for (const unsigned tab : {kTabUpdateId, kTabResetId, kTabCareId}) {
        if (TabButton(tab)->HitTest(at.x(), at.y()) != nullptr) {
            ChooseTab(tab);
            return;
        }
    }
    if (state_.ShowsPackages() && InstallButton()->HitTest(at.x(), at.y()) != nullptr) Install();
}

}  // namespace torvane
