// The card's life in the real window: the app's own pages and download dialog over the local
// content service, a card folder that the parent pulls (the folder is moved away) while a slowly
// served install runs, and a card attached with games chosen. Judged on the card's bytes.
#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "common/messages.h"
#include "delivery/card_check.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "delivery/content_page.h"
#include "delivery/download_dialog.h"
#include "delivery/job_runner.h"
#include "shell/main_window.h"
#include "store/card.h"
#include "store/device_setup.h"
#include "tests/support/demo_session.h"
#include "tests/support/fake_media_engine.h"
#include "tests/support/files.h"
#include "tests/support/fixed_drives.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"
#include "tools/demo_service/demo_service.h"
#include "ui/app_font.h"
#include "ui/my_grid.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

class NoProgress final : public IJobObserver {
  public:
    void OnProgress(const JobProgress&) override {}
};

bool Said(const test::RecordingSink& sink, std::string_view text) {
    return std::find(sink.said.begin(), sink.said.end(), text) != sink.said.end();
}

bool AnyFileNamed(const fs::path& top, std::string_view part) {
    for (const auto& entry : fs::recursive_directory_iterator(top))
        if (entry.path().filename().string().find(part) != std::string::npos) return true;
    return false;
}

void ClickAt(QWidget* widget, QPoint point) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QCoreApplication::processEvents();
}

}  // namespace

class CardLifetimeTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<demo::DemoService> service_;
    ServiceSession session_;
    std::unique_ptr<test::TempFolder> dir_;
    test::RecordingSink sink_{true};
    test::FixedDrives drives_;
    std::unique_ptr<CTorvaneDlg> window_;

    std::string CardPath() const { return dir_->path() / "card"; }

    // The window with its own pages, the card attached and shown on the content page.
    CSendContents& OpenWindowOnTheCard() {
        MainWindowSetup setup;
        setup.messages = &sink_;
        setup.drives = &drives_;
        setup.engine = std::make_unique<test::FakeMediaEngine>();
        setup.tempFolder = dir_->path() / "temp";
        setup.programFolder = dir_->path() / "temp";
        fs::create_directories(setup.tempFolder);
        setup.session = session_;
        setup.signIn = [](ServiceSession&) { return SignInResult{200, {}}; };
        window_ = std::make_unique<CTorvaneDlg>(std::move(setup));
        [&] { QVERIFY(window_->Create()); }();
        drives_.drives = {CardPath()};
        window_->PollDrives();
        auto& page = static_cast<CSendContents&>(*window_->ContentPage());
        [&] { QTRY_VERIFY(page.CurrentCardShown() != nullptr && page.Catalogue() != nullptr); }();
        page.show();
        return page;
    }

    void ClickTab(CSendContents& page, ContentTab tab) {
        ClickAt(&page, page.Widget(CSendContents::kTabIds[static_cast<int>(tab)])->Rect().center());
    }

  private Q_SLOTS:
    void initTestCase() {
        InstallAppFont();
        demo::FaultPlan slow;  // the sound files trickle in, as over a poor connection
        slow.pathPrefix = "/torvane/files/";
        slow.body = demo::BodyFault::Slow;
        slow.slowChunkBytes = 512;
        slow.slowDelayMs = 20;
        service_ = std::make_unique<demo::DemoService>(demo::DemoService::DefaultDataDir(), slow);
        QVERIFY2(service_->Start(0), service_->Error().c_str());
        session_ = test::DemoSession(*service_);
    }
    void init() {
        dir_ = std::make_unique<test::TempFolder>();
        QVERIFY(CreateEmptyDevice(CardPath(), "1.0", "larkspin"));
        sink_ = test::RecordingSink(true);
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    // The parent pulls the card while the dialog downloads: the job stops, the dialog closes with
    // the sentence that says so, the window lets the card go only afterwards, and nothing is
    // written where the card was. Put back, the card agrees with itself.
    void aCardPulledDuringAnInstallGetsNothingAndComesBackWhole() {
        CSendContents& page = OpenWindowOnTheCard();
        const std::string before = test::ReadFile(fs::path(CardPath()) / "Default.dat");
        ClickTab(page, ContentTab::Music);
        CMyGrid& catalogue = *page.CatalogueList();
        ClickAt(catalogue.viewport(), catalogue.CellRect(1, 0).center());
        ClickAt(catalogue.viewport(), catalogue.CellRect(2, 0).center());

        const fs::path away = dir_->path() / "pulled";
        bool pulled = false;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<CDownloadDlg*>(QApplication::activeModalWidget());
            if (pulled || dialog == nullptr || dialog->Shown().overallDone == 0) return;
            pulled = true;
            fs::rename(CardPath(), away);
            drives_.drives.clear();
            window_->PollDrives();
        });
        watch.start();
        ClickAt(&page, page.Widget(CSendContents::kTransferId)->Rect().center());
        watch.stop();

        QVERIFY(pulled);
        QVERIFY(Said(sink_, kMsgCardRemovedDuringJob));
        QVERIFY(!Said(sink_, kMsgDownloadDone));
        QVERIFY(!fs::exists(CardPath()));  // no folder made where the card was
        QTRY_VERIFY(page.CurrentCardShown() == nullptr);
        QCOMPARE(test::ReadFile(away / "Default.dat"), before);
        QVERIFY(!AnyFileNamed(away, ".qvx"));

        fs::rename(away, CardPath());
        window_->PollDrives();
        drives_.drives = {CardPath()};
        window_->PollDrives();
        QTRY_VERIFY(page.CurrentCardShown() != nullptr);
        const auto back = std::make_shared<Card>(CardPath());
        QCOMPARE(CheckCard(*back, nullptr).size(), std::size_t{0});
    }

    // A card attached with games chosen: the DIY radio clicked first of all changes the DIY
    // table and leaves the game table as the chosen games make it.
    void aDiyRadioRightAfterAttachLeavesTheGameTable() {
        {
            const auto card = std::make_shared<Card>(CardPath());
            QVERIFY(card->LoadDatabase().ok());
            NoProgress progress;
            StatvfsFreeSpace space;
            ThreadedJobRunner runner(session_, progress, space, nullptr, JobTiming::Immediate());
            ContentCatalogue catalogue;
            QVERIFY(catalogue.FetchCatalogue(session_).ok());
            const std::vector<ContentRecord>& languages = catalogue.Contents(Shelf::Language);
            QVERIFY(languages.size() >= 2);
            QVERIFY(TransferContents(languages, false, *card, runner).AllInstalled());
            QCOMPARE(
                AddToGameSelection({card->database().Contents(Shelf::Language)[0]}, *card).added,
                1);
        }
        const std::string gameTable = test::ReadFile(fs::path(CardPath()) / "ck6/rfid.tbl");
        CSendContents& page = OpenWindowOnTheCard();
        CMyGrid& device = *page.DeviceList();
        QVERIFY(device.CellButton(2, 3, 0) != nullptr);
        ClickAt(device.viewport(), device.CellRect(2, 3).center());
        QVERIFY(Said(sink_, kMsgDiyChanged));
        QCOMPARE(test::ReadFile(fs::path(CardPath()) / "ck6/rfid.tbl"), gameTable);
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::CardLifetimeTest)
#include "card_lifetime_test.moc"
