#include "service/login_dialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QUrl>
#include <cstdio>

#include "common/messages.h"
#include "common/temp_folder.h"
#include "service/endpoints.h"
#include "service/login.h"
#include "service/session.h"
#include "store/device_files.h"
#include "ui/app_font.h"
#include "ui/desktop_look.h"
#include "ui/picture_ids.h"
#include "ui/picture_keyboard.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"

namespace torvane {
namespace {

constexpr int kWidth = 582;
constexpr int kHeight = 423;
constexpr int kBannerTop = 325;

// Pictures of the window, off and on.
constexpr struct {
    unsigned id;
    int left, top, right, bottom;
    int offPicture, onPicture;
} kButtons[] = {
    {CLoginDlg::kSignInButtonId, 361, 112, 442, 160, pic::kLoginSignInOff, pic::kLoginSignInOn},
    {CLoginDlg::kHomepageButtonId, 435, 20, 552, 67, pic::kLoginHomepageOff, pic::kLoginHomepageOn},
    {CLoginDlg::kFindAccountButtonId, 152, 239, 294, 267, pic::kLoginFindAccountOff,
     pic::kLoginFindAccountOn},
    // The two pills stand apart: the join pill starts a few pixels after the find pill ends.
    {CLoginDlg::kJoinButtonId, 298, 239, 435, 267, pic::kLoginJoinOff, pic::kLoginJoinOn},
};

}  // namespace

CLoginDlg::CLoginDlg(ServiceSession& session, ISettings& settings, IMessageSink& messages,
                     QWidget* parent)
    : QDialog(parent),
      session_(session),
      settings_(settings),
      messages_(messages),
      idEdit_(new QLineEdit(this)),
      passwordEdit_(new QLineEdit(this)),
      rememberId_(new QCheckBox(ToQString(kLabelRememberId), this)),
      rememberPassword_(new QCheckBox(ToQString(kLabelRememberPassword), this)) {
    setWindowTitle(ToQString(kLabelSignIn));
    UseArtworkPalette(*this);
    setFixedSize(kWidth, kHeight);
    background_ = LoadPicture(pic::kLoginBackground);
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const auto& b = kButtons[i];
        buttons_[i] = std::make_unique<CImgButton>(this, b.id, 0, b.left, b.top, b.right, b.bottom);
        buttons_[i]->LoadFromResources(b.offPicture, b.onPicture, QString());
    }

    idEdit_->setObjectName("1001");
    idEdit_->setGeometry(200, 112, 155, 22);
    passwordEdit_->setObjectName("1002");
    passwordEdit_->setGeometry(200, 138, 155, 22);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    rememberId_->setObjectName("1003");
    rememberId_->setGeometry(200, 186, 100, 22);
    rememberPassword_->setObjectName("1004");
    rememberPassword_->setGeometry(300, 186, 110, 22);
    for (QWidget* box :
         {static_cast<QWidget*>(rememberId_), static_cast<QWidget*>(rememberPassword_)})
        box->setFont(AppFont(9));
    connect(rememberId_, &QCheckBox::clicked, this,
            [this](bool ticked) { rememberPassword_->setEnabled(ticked); });

    const SavedSignIn saved = LoadSavedSignIn(settings_);
    rememberId_->setChecked(saved.rememberId);
    rememberPassword_->setChecked(saved.rememberPassword);
    if (!saved.id.empty()) idEdit_->setText(QString::fromStdString(saved.id));
    if (!saved.password.empty()) passwordEdit_->setText(QString::fromStdString(saved.password));

    // After the boxes in the tab order: the sign-in button, then the service's links.
    keyboard_ = new PictureKeyboard(
        *this,
        [this] {
            return std::vector<CImgButton*>{Button(kSignInButtonId), Button(kHomepageButtonId),
                                            Button(kFindAccountButtonId), Button(kJoinButtonId)};
        },
        [this](CImgButton& picture) { Press(picture.Id()); });
    setTabOrder(idEdit_, passwordEdit_);
    setTabOrder(passwordEdit_, rememberId_);
    setTabOrder(rememberId_, rememberPassword_);

    bannerTimer_.setSingleShot(true);
    bannerTimer_.setInterval(100);
    connect(&bannerTimer_, &QTimer::timeout, this, &CLoginDlg::ShowBanner);
    bannerTimer_.start();
}

CLoginDlg::~CLoginDlg() = default;

CImgButton* CLoginDlg::Button(unsigned id) const {
    for (const auto& button : buttons_)
        if (button->Id() == id) return button.get();
    return nullptr;
}

void CLoginDlg::ShowBanner() {
    bannerTimer_.stop();
    banners_ = FetchBanners(session_);
    if (!banners_.ok() || banners_.items.empty()) return;
    const auto count = static_cast<quint32>(banners_.items.size());
    const quint32 index = (QRandomGenerator::global()->bounded(count) + 1) % count;
    const std::string& fileUrl = banners_.items[index].fileUrl;
    const std::string name = BannerFileName(fileUrl);
    const std::string folder = GetTempFolder();
    if (name.empty() || folder.empty()) return;
    const std::string path = folder + "/" + name;

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    const Status fetched = DownloadToFile(session_, fileUrl, file, nullptr, nullptr, false);
    std::fclose(file);
    if (!fetched.ok()) return;
    banner_ = QPixmap(QString::fromStdString(path));
    bannerImagePath_ = path;
    update();
}

void CLoginDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(0, 0, kWidth, kHeight), background_);
    Button(kSignInButtonId)->Draw(painter);
    Button(kHomepageButtonId)->Draw(painter);
    Button(kFindAccountButtonId)->Draw(painter);
    Button(kJoinButtonId)->Draw(painter);
    if (!banner_.isNull())
        painter.drawPixmap(QRect(0, kBannerTop, width(), height() - kBannerTop), banner_);
    keyboard_->PaintFocus(painter);
}

void CLoginDlg::ClickAt(const QPoint& point) {
    for (const unsigned id :
         {kSignInButtonId, kHomepageButtonId, kFindAccountButtonId, kJoinButtonId}) {
        if (Button(id)->HitTest(point.x(), point.y()) == nullptr) continue;
        Press(id);
        return;
    }
}

void CLoginDlg::Press(unsigned id) {
    switch (id) {
        case kSignInButtonId:
            SignIn();
            break;
        case kHomepageButtonId:
            OpenInBrowser(session_.baseUrl);
            break;
        case kFindAccountButtonId:
            OpenInBrowser(FindAccountPageUrl(session_.baseUrl));
            break;
        case kJoinButtonId:
            OpenInBrowser(JoinPageUrl(session_.baseUrl));
            break;
    }
}

void CLoginDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) ClickAt(event->position().toPoint());
}

void CLoginDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            SignIn();
            return;
        case Qt::Key_Escape:
            reject();  // as the window's close button: the program ends without signing in
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CLoginDlg::OpenInBrowser(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address).trimmed()));
}

void CLoginDlg::SignIn() {
    LoginRequest request;
    request.userId = idEdit_->text().toStdString();
    request.password = passwordEdit_->text().toStdString();
    request.rememberId = rememberId_->isChecked();
    request.rememberPassword = rememberPassword_->isChecked();
    const LoginOutcome outcome = torvane::SignIn(request, session_);
    if (!outcome.ok()) {
        // The sentence alone, as the sign-in always said it: its reason means nothing to a parent.
        messages_.Show(MessageKind::Plain, MessageText(outcome.status.said()));
        return;
    }
    settings_.SetInt(kRememberIdKey, outcome.saved.ckId);
    settings_.SetInt(kRememberPasswordKey, outcome.saved.ckPass);
    settings_.SetString(kSavedIdKey, outcome.saved.id);
    settings_.SetString(kSavedPasswordKey, outcome.saved.pass);
    done(kSignedIn);
}

}  // namespace torvane
