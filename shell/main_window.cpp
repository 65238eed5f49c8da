#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSvgRenderer>
#include <QWindow>
#include <filesystem>

#include "base/home_page_file.h"
#include "base/udisks2_volumes.h"
#include "base/window_file.h"
#include "common/temp_folder.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "shell/default_pages.h"
#include "shell/help_dialog.h"
#include "shell/udisks2_watch.h"
#include "shell/xml_resources.h"
#include "store/device_files.h"
#include "ui/desktop_look.h"
#include "ui/left_menu.h"
#include "ui/picture_ids.h"
#include "ui/picture_keyboard.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "ui/service_scheme.h"
#include "ui/web_view.h"

namespace torvane {
namespace {

// The pages' rectangle, inside the frame pictures.
const QRect kPageRect(221, 100, 932 - 221, 741 - 100);
// At the foot of the left column, under the menu.
const QRect kEjectButtonRect(14, 722, 174, 28);

// The menu and the home page name the service's host as {ServiceUrl}.
std::string WithServiceHost(std::string text, const std::string& serviceUrl) {
    std::string host = serviceUrl;
    while (!host.empty() && host.back() == '/') host.pop_back();
    for (size_t at = text.find("{ServiceUrl}"); at != std::string::npos;
         at = text.find("{ServiceUrl}", at + host.size()))
        text.replace(at, 12, host);
    return text;
}

// The knobs are dragged, not clicked.
bool IsPlayerKnob(unsigned id) {
    return id == IdOf(MainWindowId::PlayerVolumeKnob) ||
           id == IdOf(MainWindowId::PlayerPositionKnob);
}

// The sound button shows the sound's state in its on-picture, so hovering must not light it.
bool IsPlayerControlWithoutHover(unsigned id) {
    return id == IdOf(MainWindowId::PlayerSound) || IsPlayerKnob(id);
}

}  // namespace

CTorvaneDlg::CTorvaneDlg(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), setup_(std::move(setup)) {
    setWindowTitle(QStringLiteral("Torvane"));
    setWindowIcon(QIcon(PicturePath(pic::kAppIcon)));
    UseArtworkPalette(*this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFixedSize(kWidth, kHeight);
    if (setup_.drives == nullptr) {
        // The disk service names the cards and tells at once when one comes or goes; the mount
        // table serves where it does not run.
        ownVolumes_ = std::make_unique<UDisks2Volumes>();
        auto lister = std::make_unique<VolumeDriveLister>(*ownVolumes_);
        volumeLister_ = lister.get();
        ownLister_ = std::move(lister);
        setup_.drives = ownLister_.get();
        connect(new UDisks2Watch(this), &UDisks2Watch::volumesChanged, this, [this] {
            if (pollTimer_.isActive()) detector_->Poll();
        });
    }
    // A maker the setup leaves empty is the app's own page.
    const PageFactory defaults = DefaultPages(*this);
    if (!setup_.pages.content) setup_.pages.content = defaults.content;
    if (!setup_.pages.update) setup_.pages.update = defaults.update;
    if (!setup_.pages.child) setup_.pages.child = defaults.child;
    if (setup_.tempFolder.empty()) setup_.tempFolder = GetTempFolder();
    detector_ =
        std::make_unique<DriveDetector>(*setup_.drives, static_cast<IDriveDetectionHost&>(*this));

    pollTimer_.setInterval(1000);
    connect(&pollTimer_, &QTimer::timeout, this, [this] { detector_->Poll(); });
    removedTimer_.setSingleShot(true);
    removedTimer_.setInterval(100);
    connect(&removedTimer_, &QTimer::timeout, this, &CTorvaneDlg::OnDeviceRemoved);
    attachedTimer_.setSingleShot(true);
    attachedTimer_.setInterval(100);
    connect(&attachedTimer_, &QTimer::timeout, this, &CTorvaneDlg::OnDeviceAttached);
    ejectOfferTimer_.setSingleShot(true);
    ejectOfferTimer_.setInterval(100);
    connect(&ejectOfferTimer_, &QTimer::timeout, this, &CTorvaneDlg::AskToEject);
    playerClock_.setInterval(1000);
    connect(&playerClock_, &QTimer::timeout, this, &CTorvaneDlg::OnPlayerClock);
}

CTorvaneDlg::~CTorvaneDlg() {
    ShutDown();
}

bool CTorvaneDlg::Create() {
    if (setup_.signIn) {
        SignInResult signedIn = setup_.signIn(setup_.session);
        bannerImagePath_ = std::move(signedIn.bannerImagePath);
        if (signedIn.code != kSignedIn) return false;
    }
    signedIn_ = true;
    move(0, 0);
    if (!CreateWidgets()) return true;
    if (!CreatePages()) return true;
    if (!BuildHomePage()) return true;
    pollTimer_.start();
    return true;
}

bool CTorvaneDlg::CreateWidgets() {
    topMenu_ = std::make_unique<CTopMenu>(this, IdOf(MainWindowId::TopBar), 0, 1, 0, 956, 75, this,
                                          std::move(setup_.engine));
    topMenu_->LoadFromResources(pic::kTopBar, 0, QString());
    leftMenu_ =
        std::make_unique<CLeftWebMenu>(this, IdOf(MainWindowId::LeftMenu), 0, 2, 260, 201, 761);
    leftMenu_->SetDefinition(WithServiceHost(LoadXmlResource(kMenuDefinitionResource).value_or(""),
                                             setup_.session.baseUrl));
    leftMenu_->LoadFromResources(CLeftWebMenu::kPictureBase, 0, QString());
    contentButton_ =
        std::make_unique<CImgButton>(this, IdOf(MainWindowId::ContentButton), 0, 2, 80, 202, 170);
    contentButton_->LoadFromResources(pic::kContentButtonOff, pic::kContentButtonOn, QString());
    updateButton_ =
        std::make_unique<CImgButton>(this, IdOf(MainWindowId::UpdateButton), 0, 2, 170, 202, 260);
    updateButton_->LoadFromResources(pic::kUpdateButtonOff, pic::kUpdateButtonOn, QString());

    frameLeft_ = LoadPicture(pic::kFrameLeft);
    frameTop_ = LoadPicture(pic::kFrameTop);
    frameRight_ = LoadPicture(pic::kFrameRight);
    frameBottom_ = LoadPicture(pic::kFrameBottom);

    keyboard_ = new PictureKeyboard(
        *this, [this] { return KeyboardChain(); },
        [this](CImgButton& picture) { DispatchClick(picture.Id()); });
    // Ctrl+Q as on every desktop (the platform's Quit key may be none, as on Windows).
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &CTorvaneDlg::ShowHelp);
    return true;
}

void CTorvaneDlg::ShowHelp() {
    if (help_ == nullptr) help_ = new HelpDialog(setup_.session.baseUrl, this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

std::vector<CImgButton*> CTorvaneDlg::KeyboardChain() const {
    // As the window reads: the bar's buttons and the player left to right, then the left column
    // top to bottom with the open category's entries; the page's own widgets follow.
    std::vector<CImgButton*> chain;
    for (int i = 0; i < 5; ++i) chain.push_back(topMenu_->Button(i));
    for (MainWindowId id :
         {MainWindowId::PlayerPrevious, MainWindowId::PlayerPlay, MainWindowId::PlayerStop,
          MainWindowId::PlayerNext, MainWindowId::PlayerSound})
        chain.push_back(topMenu_->Player()->Child(id));
    chain.push_back(contentButton_.get());
    chain.push_back(updateButton_.get());
    for (const auto& category : leftMenu_->Categories()) {
        chain.push_back(category.get());
        if (!category->IsOpen()) continue;
        for (const auto& entry : category->Entries()) chain.push_back(entry.get());
    }
    return chain;
}

bool CTorvaneDlg::CreatePages() {
    // The web view lies underneath and is never hidden; the pages are raised over it.
    webView_ = new CWebView(this);
    SetControlId(webView_, kWebViewId);
    webView_->setGeometry(kPageRect);
    webView_->show();
    current_ = webView_;

    contentPage_ = setup_.pages.content(this, setup_.session);
    updatePage_ = setup_.pages.update(this, setup_.session);
    childPage_ = setup_.pages.child(this, setup_.session);
    const struct {
        QWidget* page;
        const char* name;
        int id;
    } pages[] = {{contentPage_, "SendContents", kContentPageId},
                 {updatePage_, "UpdateSystemView", kUpdatePageId},
                 {childPage_, "ManagerPrivate", kChildPageId}};
    for (const auto& page : pages) {
        if (page.page == nullptr) return false;
        page.page->setObjectName(page.name);
        SetControlId(page.page, page.id);
        page.page->setGeometry(kPageRect);
        page.page->hide();
    }
    connect(updatePage_->DriveChooser(), &QComboBox::activated, this, &CTorvaneDlg::ChooseEntry);
    ejectButton_ = new QPushButton(ToQString(kLabelEjectCard), this);
    ejectButton_->setGeometry(kEjectButtonRect);
    ejectButton_->setToolTip(ToQString(kLabelEjectCard));
    // In the colours of the column's picture buttons.
    ejectButton_->setStyleSheet(QStringLiteral(
        "QPushButton { background: #FFF6E8; color: #7A4A12; border: 2px solid #F2C98F;"
        " border-radius: 8px; font-weight: bold; }"
        "QPushButton:hover, QPushButton:focus { border-color: #F39A2B; }"
        "QPushButton:pressed { background: #FCE3C0; }"));
    ejectButton_->hide();
    connect(ejectButton_, &QPushButton::clicked, this, &CTorvaneDlg::EjectCard);
    updatePage_->SetCardChangedHandler([this] { ReloadCard(); });
    updatePage_->SetTargetCardSource([this] { return detector_->SelectedDriveCard(); });
    return true;
}

bool CTorvaneDlg::BuildHomePage() {
    // The notices frame comes through the app, which reads the service's EUC-KR as CP949.
    InstallServiceScheme(setup_.session, this);
    const std::string page = FillHomeTemplate(
        LoadXmlResource(kHomeTemplateResource).value_or(""), kProgramVersion,
        WebViewAddress(setup_.session.baseUrl, setup_.session.baseUrl).toStdString());
    if (!WriteHomePage(setup_.tempFolder, setup_.programFolder, page)) return false;
    WriteHomePictureIfMissing();
    homeAddress_ = QString::fromStdString(torvane::HomeAddress(setup_.tempFolder));
    webView_->Navigate(homeAddress_);
    return true;
}

void CTorvaneDlg::WriteHomePictureIfMissing() {
    // Without a picture shipped beside the program, the one drawn in the resources serves.
    const QString path = QString::fromStdString(setup_.tempFolder) + "/" + kHomePictureFileName;
    if (QFile::exists(path)) return;
    QSvgRenderer renderer(QStringLiteral(":/pictures/HomeBG.svg"));
    if (!renderer.isValid()) return;
    QImage image(renderer.defaultSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.save(path, "JPG", 92);
}

void CTorvaneDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xFF, 0xFB, 0xF2));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (CImgButton* widget : {static_cast<CImgButton*>(topMenu_.get()), contentButton_.get(),
                               updateButton_.get(), static_cast<CImgButton*>(leftMenu_.get())})
        if (widget != nullptr) widget->Draw(painter);
    painter.drawPixmap(QRect(201, 80, 755, 20), frameTop_);
    painter.drawPixmap(QRect(201, 100, 20, 641), frameLeft_);
    painter.drawPixmap(QRect(934, 100, 23, 641), frameRight_);
    painter.drawPixmap(QRect(201, 741, 755, 20), frameBottom_);
    if (keyboard_ != nullptr) keyboard_->PaintFocus(painter);
}

void CTorvaneDlg::UpdateHover(const QPoint& point) {
    if (!topMenu_) return;
    const int x = point.x(), y = point.y();
    if (CImgButton* hit = topMenu_->HitTest(x, y)) {
        if (hit == topMenu_.get()) {
            hover_.Clear();
        } else if (!IsPlayerControlWithoutHover(hit->Id())) {
            hover_.SetHovered(hit);
        }
        return;
    }
    for (CImgButton* button : {contentButton_.get(), updateButton_.get()}) {
        if (button->HitTest(x, y) != nullptr) {
            hover_.SetHovered(button);
            return;
        }
    }
    hover_.Clear();
}

void CTorvaneDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !topMenu_) return;
    const QPoint point = event->position().toPoint();
    CImgButton* hit = topMenu_->HitTest(point.x(), point.y());
    if (hit != nullptr && IsPlayerKnob(hit->Id())) {
        lastMouse_ = point;
        dragging_ = true;
        draggingVolume_ = hit->Id() == IdOf(MainWindowId::PlayerVolumeKnob);
    } else if (hit == topMenu_.get()) {
        // The bar's empty part moves the window, as a caption would.
        const bool systemMove = windowHandle() != nullptr && windowHandle()->startSystemMove();
        movingWindow_ = !systemMove;
        windowGrab_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
}

void CTorvaneDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (movingWindow_) {
        move(event->globalPosition().toPoint() - windowGrab_);
        return;
    }
    if (dragging_ && draggingVolume_) {
        topMenu_->Player()->DragVolume(static_cast<double>(point.x() - lastMouse_.x()));
        lastMouse_ = point;
    }
    if (event->buttons() == Qt::NoButton) UpdateHover(point);
}

void CTorvaneDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const bool wasMoving = movingWindow_;
    movingWindow_ = false;
    if (!wasMoving && topMenu_) {
        CImgButton* hit = topMenu_->HitTest(point.x(), point.y());
        if (hit == nullptr) hit = leftMenu_->HitTest(point.x(), point.y());
        if (hit == nullptr) hit = contentButton_->HitTest(point.x(), point.y());
        if (hit == nullptr) hit = updateButton_->HitTest(point.x(), point.y());
        if (hit != nullptr) DispatchClick(hit->Id());
    }
    dragging_ = false;
    draggingVolume_ = false;
}

void CTorvaneDlg::leaveEvent(QEvent*) {
    hover_.Clear();
}

void CTorvaneDlg::keyPressEvent(QKeyEvent* event) {
    // Neither Escape nor Return may end the main window.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CTorvaneDlg::closeEvent(QCloseEvent* event) {
    ShutDown();
    event->accept();
}

void CTorvaneDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    WriteShownWindowId();
}

bool CTorvaneDlg::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WinIdChange && isVisible()) WriteShownWindowId();
    return handled;
}

bool CTorvaneDlg::eventFilter(QObject* watched, QEvent* event) {
    // The native surface may be made anew under the same window (the desktop does so when the
    // web view needs another kind of surface); the new one has a new id.
    if (watched == watchedWindow_ && event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceCreated)
        QMetaObject::invokeMethod(this, &CTorvaneDlg::WriteShownWindowId, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void CTorvaneDlg::WriteShownWindowId() {
    QWindow* window = windowHandle();
    if (!signedIn_ || shutDown_ || window == nullptr) return;
    if (window != watchedWindow_) {
        if (watchedWindow_) watchedWindow_->removeEventFilter(this);
        watchedWindow_ = window;
        window->installEventFilter(this);
    }
    if (window->handle() == nullptr) return;
    WriteWindowFile(setup_.tempFolder, static_cast<std::uint32_t>(window->winId()));
}

void CTorvaneDlg::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (!bannerImagePath_.empty()) {
        std::error_code error;
        std::filesystem::remove(bannerImagePath_, error);
    }
    playerClock_.stop();
    pollTimer_.stop();
    removedTimer_.stop();
    attachedTimer_.stop();
    ejectOfferTimer_.stop();
    hover_.Forget(hover_.Hovered());
    DeleteWindowFile(setup_.tempFolder);
}

void CTorvaneDlg::OnPlayStopped() {
    if (!playerClock_.isActive()) return;
    playerClock_.stop();
    CPlayer* player = topMenu_->Player();
    player->ResetDisplay();
    player->Repaint();
}

void CTorvaneDlg::OnPlayStarted() {
    if (!playerClock_.isActive()) playerClock_.start();
}

void CTorvaneDlg::OnPlayPaused() {
    playerClock_.stop();
}

void CTorvaneDlg::OnPlayerClock() {
    CPlayer* player = topMenu_->Player();
    player->UpdateFromEngine();
    player->Repaint();
}

void CTorvaneDlg::Say(MessageKind kind, std::string_view text) {
    setup_.messages->Show(kind, text);
}

}  // namespace torvane
