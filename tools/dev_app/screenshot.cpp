#include "tools/dev_app/screenshot.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "base/outcome_telling.h"
#include "children/child_page.h"
#include "children/child_window.h"
#include "common/messages.h"
#include "delivery/card_care.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "delivery/content_page.h"
#include "delivery/download_dialog.h"
#include "delivery/job_runner.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "shell/help_dialog.h"
#include "shell/main_window.h"
#include "store/card.h"
#include "store/device_files.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
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

// The content page on a demo card holding the first content of every kind the account owns: one
// picture per kind tab, the DIY tab with a recording, and the download dialog half-way under the
// sign-in's banner.
bool SaveContentPictures(const QString& folder, const ServiceSession& session,
                         IMessageSink& messages, const std::string& bannerImagePath) {
    ScratchFolder scratch("screenshot");
    if (scratch.path().empty()) return false;
    const std::string root = scratch.path() + "/card";
    if (!CreateEmptyDevice(root, "1.0", "larkspin")) return false;
    auto card = std::make_shared<Card>(root);
    if (!card->LoadDatabase().ok()) return false;
    ContentCatalogue catalogue;
    std::vector<ContentRecord> firsts;
    if (catalogue.FetchCatalogue(session).ok()) {
        for (Shelf shelf : kStoredShelves)
            if (!catalogue.Contents(shelf).empty()) firsts.push_back(catalogue.Contents(shelf)[0]);
    }
    NullJobObserver observer;
    StatvfsFreeSpace freeSpace;
    ThreadedJobRunner runner(session, observer, freeSpace, nullptr, JobTiming::Immediate());
    TellOutcome(messages, TransferContents(firsts, false, *card, runner).status);
    if (card->LoadDiy().ok() && !card->diy().records().empty()) {
        DiySlot& slot = card->diy().records()[0].slots[0];
        slot = DiySlot{"우리 아기 노래", "2024-05-05T10-00-00", "song.mp3"};
        if (!card->diy().SaveDiyFile().ok()) return false;
    }

    ContentPageHost host;
    host.currentCard = [card] { return card; };
    CSendContents page(nullptr, session, messages, std::move(host));
    page.show();
    page.LoadForAttachedDevice();
    bool ok = true;
    const char* names[kContentTabCount] = {"language", "music",     "story", "book",
                                           "card",     "excellent", "diy",   "game"};
    for (int i = 0; i < kContentTabCount; ++i) {
        page.ClickWidget(CSendContents::kTabIds[i]);
        Wait(50);
        ok = Save(page, folder + "/content-" + names[i] + ".png") && ok;
    }

    CDownloadDlg dialog(DownloadJob{}, session, messages);
    dialog.ShowBanner(bannerImagePath);
    JobProgress progress;
    progress.overallTotal = 4 * 1048576;
    progress.overallDone = 2 * 1048576;
    progress.itemTotal = 1048576;
    progress.itemDone = 512 * 1024;
    progress.status = "'곰 세 마리" + std::string(kMsgDownloadingSuffix);
    dialog.ShowProgress(progress);
    ok = Save(dialog, folder + "/download.png") && ok;

    // A backup of the card care tab in the same dialog.
    CDownloadDlg backup(DownloadJob(CardCareJob{}), session, messages);
    backup.ShowBanner(bannerImagePath);
    progress.overallTotal = progress.itemTotal = 2 * 3 * 1048576;
    progress.overallDone = progress.itemDone = 4 * 1048576;
    progress.status = std::string(kMsgBackingUpCard);
    backup.ShowProgress(progress);
    ok = Save(backup, folder + "/download-backup.png") && ok;
    return ok;
}

// A card pulled out half-way, a table lost, a recording deleted: what a parent may find.
void BreakCardByHand(const std::string& card) {
    WriteFileSafely(card + "/ck7/.~rfid.tbl.Ab12Cd", "half a table");
    std::remove((card + "/ck6/rfid.tbl").c_str());
    CDiyXML diy(card);
    if (diy.Load().ok() && !diy.records().empty()) {
        diy.records().front().slots[0] = {"아빠 목소리", "2026-12-10T09-00-00", "dad.mp3"};
        // A recording the scratch card did not take is one finding fewer in the picture.
        if (diy.SaveDiyFile().ok()) static_cast<void>(diy.SaveRecTable());
    }
    std::filesystem::create_directories(card + "/ck9/re2");
    WriteFileSafely(card + "/ck9/re2/stray.mp3", "nobody's recording");
}

// The child name page over a demo card, the add window open; the update page under its three
// tabs.
bool SavePages(CTorvaneDlg& window, const QString& folder) {
    bool ok = true;
    // A card of its own in the private temporary folder, so that the header shows one.
    ScratchFolder scratch("screenshot");
    const std::string card = scratch.path() + "/card";
    CreateEmptyDevice(card, "1.0", "larkspin");
    window.DispatchClick(MainWindowId::ChildNamesEntry);
    if (auto* page = dynamic_cast<CManagerPrivate*>(window.ChildPage())) {
        DeviceHeader header;
        header.drive = card;
        header.systemVersion = "1.0";
        header.firmwareVersion = "2.0.5";
        // The counts under "단말기 정보" are the card's: a few contents in its database.
        header.card = std::make_shared<Card>(card);
        if (header.card->LoadDatabase().ok()) {
            const struct {
                const char *no, *group, *sub;
            } contents[] = {{"L0001", "language", ""},
                            {"M0001", "music", "single"},
                            {"M0002", "music", "single"},
                            {"S0001", "story", "single"},
                            {"B0001", "book", "series"}};
            for (const auto& content : contents) {
                ContentRecord record;
                record.contentNo = content.no;
                record.mainGroup = content.group;
                record.subGroup = content.sub;
                header.card->database().AddContent(record);
            }
        }
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
        // The card care tab with what a check finds on a card a parent broke by hand.
        page->ChooseTab(CUpdateSystem::kTabCareId);
        BreakCardByHand(card);
        const auto broken = std::make_shared<Card>(card);
        page->CareView()->ShowReport(CheckAndRepair(*broken, false, nullptr, nullptr));
        Wait(200);
        ok = Save(window, folder + "/update-care.png") && ok;
    }
    return ok;
}

}  // namespace

QPalette DarkDesktopPalette() {
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x24, 0x24, 0x24));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
    return dark;
}

namespace {

// A dark desktop theme, as it reaches the program: a dark application palette. The pages drawn on
// the artwork keep their own light colours; the help, a plain dialog, follows the desktop.
bool SaveUnderDarkTheme(CTorvaneDlg& window, const ServiceSession& session, ISettings& settings,
                        const QString& folder) {
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(DarkDesktopPalette());
    TerminalSink messages;
    ServiceSession signIn = session;
    CLoginDlg dialog(signIn, settings, messages);
    bool ok = Save(dialog, folder + "/login-dark.png");
    if (auto* page = dynamic_cast<CUpdateSystem*>(window.UpdatePage()))
        page->ChooseTab(CUpdateSystem::kTabResetId);
    Wait(100);
    ok = Save(window, folder + "/update-reset-dark.png") && ok;
    window.ShowHelp();
    Wait(100);
    ok = Save(*window.Help(), folder + "/help-dark.png") && ok;
    QApplication::setPalette(desktop);
    return ok;
}

}  // namespace

int TakeScreenshots(const QString& folder, const ServiceSession& session, ISettings& settings,
                    const std::function<void(CLoginDlg&)>& prepareSignIn) {
    QDir().mkpath(folder);
    TerminalSink messages;

    ServiceSession signedIn = session;
    CLoginDlg dialog(signedIn, settings, messages);
    if (prepareSignIn) prepareSignIn(dialog);
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
    ok = SaveContentPictures(folder, window.Session(), messages, window.BannerImagePath()) && ok;
    ok = SavePages(window, folder) && ok;
    ok = SaveUnderDarkTheme(window, session, settings, folder) && ok;
    return ok ? 0 : 1;
}

}  // namespace torvane
