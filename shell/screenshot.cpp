#include "shell/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "base/messages.h"
#include "children/child_page.h"
#include "children/child_window.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "shell/main_window.h"
#include "store/device_files.h"
#include "store/device_setup.h"
#include "ui/web_view.h"
#include "update/update_page.h"

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

// The child name page over a demo card, the add window open; the update page under both tabs.
bool SavePages(CTorvaneDlg& window, const QString& folder) {
    bool ok = true;
    // A card of its own in the private temporary folder, so that the header shows one.
    const std::string card = GetTempFolder() + "/screenshot-card";
    CreateEmptyDevice(card, "1.0", "larkspin");
    window.DispatchClick(MainWindowId::ChildNamesEntry);
    if (auto* page = dynamic_cast<CManagerPrivate*>(window.ChildPage())) {
        DeviceHeader header;
        header.drive = card;
        header.systemVersion = "1.0";
        header.firmwareVersion = "2.0.5";
        header.counts = {2, 2, 2, 2};
        page->SetDeviceHeader(header);
        page->ReloadChildren();
        if (!page->AddWindow()->isVisible()) page->ToggleAddWindow();
        Wait(200);
        ok = Save(window, folder + "/children.png") && ok;
    }
    window.DispatchClick(MainWindowId::UpdateButton);
    if (auto* page = dynamic_cast<CUpdateSystem*>(window.UpdatePage())) {
        if (!page->HasFirmwareList()) page->RequestFirmwareList();
        page->SetDeviceVersions("1.0", "2.0.5");
        page->ChooseTab(CUpdateSystem::kTabUpdateId);
        page->Tick(1);
        Wait(200);
        ok = Save(window, folder + "/update.png") && ok;
        page->ChooseTab(CUpdateSystem::kTabResetId);
        Wait(200);
        ok = Save(window, folder + "/update-reset.png") && ok;
    }
    std::error_code error;
    std::filesystem::remove_all(card, error);
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
    ok = SavePages(window, folder) && ok;
    return ok ? 0 : 1;
}

}  // namespace torvane
