#include "shell/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <iostream>

#include "base/messages.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "shell/main_window.h"
#include "ui/web_view.h"

namespace torvane {
namespace {

// Nobody is there to click message boxes: the sentences go to the terminal.
class TerminalSink final : public IMessageSink {
  public:
    void Show(MessageKind, std::string_view text) override { std::cerr << text << '\n'; }
    bool Ask(MessageKind, std::string_view question) override {
        std::cerr << question << kCliAnsweredNo << "\n";
        return false;
    }
};

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget& widget, const QString& path) {
    const bool ok = widget.grab().save(path);
    std::cerr << (ok ? "wrote " : "could not write ") << path.toStdString() << '\n';
    return ok;
}

}  // namespace

int TakeScreenshots(const QString& folder, const ServiceSession& session, ISettings& settings,
                    const StartOptions& options) {
    QDir().mkpath(folder);
    TerminalSink messages;

    ServiceSession signedIn = session;
    CLoginDlg dialog(signedIn, settings, messages);
    if (options.demoAccount) {
        dialog.IdEdit()->setText(kDemoUserId);
        dialog.PasswordEdit()->setText(kDemoPassword);
    }
    dialog.ShowBanner();
    bool ok = Save(dialog, folder + "/login.png");
    if (!dialog.IdEdit()->text().isEmpty()) dialog.SignIn();

    MainWindowSetup setup;
    setup.messages = &messages;
    setup.programFolder = QCoreApplication::applicationDirPath().toStdString();
    setup.session = signedIn;
    // The window is shown whether the sign-in worked or not; it deletes the banner when it closes.
    setup.signIn = [&dialog](ServiceSession&) {
        return SignInResult{CTorvaneDlg::kSignedIn, dialog.BannerImagePath()};
    };
    CTorvaneDlg window(std::move(setup));
    window.Create();
    window.show();               // the web view draws only while shown
    window.DispatchClick(1000);  // the first menu category open
    if (CWebView* web = window.WebView()) {
        QEventLoop loop;
        QObject::connect(web, &CWebView::loadFinished, &loop, [&loop](bool loaded) {
            if (!loaded) std::cerr << "the home page did not load\n";
            loop.quit();
        });
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        loop.exec();
        Wait(1500);  // the notice frame loads after the page
    }
    ok = Save(window, folder + "/main.png") && ok;
    return ok ? 0 : 1;
}

}  // namespace torvane
