// The sign-in window opened before the main window: identifier and password, two boxes that
// remember them, buttons to sign in and to open the service's pages in the browser, and a banner
// from the service. It ends with 200 once the service accepted the account.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <string>

#include "base/message_sink.h"
#include "base/settings.h"
#include "service/banners.h"
#include "service/session.h"
#include "ui/image_widgets.h"

class QCheckBox;
class QLineEdit;

namespace torvane {

class PictureKeyboard;

class CLoginDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSignedIn = 200;
    static constexpr unsigned kSignInButtonId = 100;
    static constexpr unsigned kHomepageButtonId = 101;
    static constexpr unsigned kFindAccountButtonId = 102;
    static constexpr unsigned kJoinButtonId = 103;

    // Signs in on `session` (which must outlive the dialog): its address is where the banners,
    // the sign-in and the browser pages come from.
    CLoginDlg(ServiceSession& session, ISettings& settings, IMessageSink& messages,
              QWidget* parent = nullptr);
    ~CLoginDlg() override;

    // One sign-in attempt with what the boxes hold; ends the dialog with 200 on success.
    void SignIn();
    // Fetches the banner list and shows one of its pictures (the first tick of the banner timer).
    void ShowBanner();
    // A click at a point of the window, as the mouse would give it.
    void ClickAt(const QPoint& point);

    QLineEdit* IdEdit() const { return idEdit_; }
    QLineEdit* PasswordEdit() const { return passwordEdit_; }
    QCheckBox* RememberIdBox() const { return rememberId_; }
    QCheckBox* RememberPasswordBox() const { return rememberPassword_; }
    const QPixmap& Banner() const { return banner_; }
    // The banner picture fetched for the window, kept for the download window; whoever runs the
    // sign-in deletes it when the program ends. Empty while there is none.
    const std::string& BannerImagePath() const { return bannerImagePath_; }
    CImgButton* Button(unsigned id) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // What the button with this id does, clicked or pressed from the keyboard.
    void Press(unsigned id);
    void OpenInBrowser(const std::string& address);

    ServiceSession& session_;
    ISettings& settings_;
    IMessageSink& messages_;
    QPixmap background_;
    std::unique_ptr<CImgButton> buttons_[4];
    PictureKeyboard* keyboard_ = nullptr;  // owned by the dialog as its child object
    QLineEdit* idEdit_;
    QLineEdit* passwordEdit_;
    QCheckBox* rememberId_;
    QCheckBox* rememberPassword_;
    QTimer bannerTimer_;
    BannerList banners_;
    QPixmap banner_;
    std::string bannerImagePath_;
};

}  // namespace torvane
