// The update page against the local content service and a card folder: the list under both tabs,
// one tick at a time, and installs through the worker-thread runner (an update keeps the card's
// database; a reset is asked first).
#include "update/update_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "common/messages.h"
#include "shell/dialog_job_runner.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/support/demo_session.h"
#include "tests/support/files.h"
#include "tests/support/recording_sink.h"
#include "tests/update/background_job_runner.h"
#include "tools/demo_service/demo_service.h"
#include "ui/grid_ctrl.h"

namespace torvane {

class UpdatePageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<demo::DemoService> service_;
    ServiceSession session_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<test::RecordingSink> sink_;
    std::unique_ptr<CUpdateSystem> page_;
    std::string chosenArchive_;  // what the file dialog answers
    int cardChanges_ = 0;

    std::string Card() const { return dir_->path().toStdString() + "/card"; }
    std::string Archive() const { return dir_->path().toStdString() + "/card.tvbackup"; }

    // The page with its list fetched, a card with a file of the parent's own, chosen as drive.
    void Start(bool answerYes = false) {
        page_.reset();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(CreateEmptyDevice(Card(), "1.0", "larkspin"));
        test::WriteFile(Card() + "/ck9/re1/mine.mp3", "the parent's own recording");
        sink_ = std::make_unique<test::RecordingSink>(answerYes);
        chosenArchive_ = Archive();
        cardChanges_ = 0;
        page_ = std::make_unique<CUpdateSystem>(
            nullptr, session_, *sink_, std::make_unique<BackgroundJobRunner>(session_, *sink_),
            [this](bool) { return chosenArchive_; });
        page_->SetCardChangedHandler([this] { ++cardChanges_; });
        QVERIFY(!page_->HasFirmwareList());
        QVERIFY(page_->RequestFirmwareList());
        page_->DriveChooser()->addItem(QString::fromStdString(Card()));
        page_->DriveChooser()->setCurrentIndex(0);
        page_->show();
    }
    // Clicks as the parent does: on a package's tick box, then on the install button.
    void ClickTickBox(int row) {
        CGridCtrl* grid = page_->Grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->CellRect(row, CUpdateSystem::kTickColumn).center());
        QCoreApplication::processEvents();
    }
    void ClickInstall() {
        QTest::mouseClick(page_.get(), Qt::LeftButton, {}, page_->InstallButton()->Rect().center());
    }
    // The parent's recording registered on DIY card 1, slot 1.
    void RegisterRecording() {
        CDiyXML diy(Card());
        QVERIFY(diy.Load().ok());
        diy.RecordForCard(kFirstDiyCard)->slots[0] = {"내 목소리", "2026-12-10T09-00-00",
                                                      "mine.mp3"};
        QVERIFY(diy.SaveDiyFile().ok() && diy.SaveRecTable().ok());
    }
    QStringList Versions() const {
        QStringList rows;
        for (int row = 1; row < page_->Grid()->GetRowCount(); ++row)
            rows << page_->Grid()->GetItemText(row, 1);
        return rows;
    }

  private Q_SLOTS:
    void initTestCase() {
        service_ = std::make_unique<demo::DemoService>();
        QVERIFY2(service_->Start(0), service_->Error().c_str());
        session_ = test::DemoSession(*service_);
    }
    void cleanup() { page_.reset(); }

    void bothTabsListEveryPackageAndTheTickGoesWithTheTab() {
        Start();
        CGridCtrl* grid = page_->Grid();
        QCOMPARE(grid->GetItemText(0, 0), QStringLiteral("버전"));
        const QStringList underUpdate = Versions();
        QCOMPARE(underUpdate.size(), 2);
        QCOMPARE(page_->TabButton(CUpdateSystem::kTabUpdateId)->State(), 1);

        ClickTickBox(1);
        QCOMPARE(page_->TickedRow(), 1);
        ClickTickBox(1);  // the box of the ticked package keeps its tick
        QCOMPARE(page_->TickedRow(), 1);
        ClickTickBox(2);
        QCOMPARE(page_->TickedRow(), 2);
        QVERIFY(!grid->GetCheck(1, CUpdateSystem::kTickColumn));
        // A click anywhere on a row ticks that row.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, 1).center());
        QCoreApplication::processEvents();
        QCOMPARE(page_->TickedRow(), 1);
        QVERIFY(!grid->GetCheck(2, CUpdateSystem::kTickColumn));

        page_->ChooseTab(CUpdateSystem::kTabResetId);
        QCOMPARE(page_->CurrentKind(), PackageKind::Reset);
        QCOMPARE(page_->TabButton(CUpdateSystem::kTabResetId)->State(), 1);
        QCOMPARE(page_->TabButton(CUpdateSystem::kTabUpdateId)->State(), 0);
        QCOMPARE(Versions(), underUpdate);
        QCOMPARE(page_->TickedRow(), 0);
        QCOMPARE(page_->InstallButton()->AccessibleName(), QStringLiteral("초기화 설치"));
    }

    void installWithoutATickDoesNothing() {
        Start();
        const auto before = test::Snapshot(Card());
        page_->Install();
        QVERIFY(!page_->LastOutcome());
        QCOMPARE(test::Snapshot(Card()), before);
    }

    void anUpdateKeepsTheCardsDatabaseAndRecordings() {
        Start();
        const std::string database = test::ReadFile(Card() + "/Default.dat");
        ClickTickBox(1);
        ClickInstall();
        QVERIFY(page_->LastOutcome() && page_->LastOutcome()->Completed());
        QCOMPARE(cardChanges_, 1);
        QCOMPARE(test::ReadFile(Card() + "/Default.dat"), database);
        QCOMPARE(test::ReadFile(Card() + "/ck9/re1/mine.mp3"),
                 std::string("the parent's own recording"));
        QVERIFY(test::ReadFile(Card() + "/info.dat").find("2.1.0") != std::string::npos);
        QVERIFY(sink_->asked.empty());
        QCOMPARE(sink_->Texts().back(), std::string(kMsgUpdateDone));
    }

    // Through the window's own download dialog: the update's completion sentence is read once,
    // and the status line said what an update does while it unpacks.
    void anUpdateThroughTheDialogSaysItsSentenceOnce() {
        Start();
        page_ = std::make_unique<CUpdateSystem>(
            nullptr, session_, *sink_, std::make_unique<DialogJobRunner>(session_, *sink_, nullptr),
            [this](bool) { return chosenArchive_; });
        QVERIFY(page_->RequestFirmwareList());
        page_->DriveChooser()->addItem(QString::fromStdString(Card()));
        page_->DriveChooser()->setCurrentIndex(0);
        page_->show();
        ClickTickBox(1);
        ClickInstall();
        QVERIFY(page_->LastOutcome() && page_->LastOutcome()->Completed());
        QCOMPARE(std::count(sink_->said.begin(), sink_->said.end(), std::string(kMsgUpdateDone)),
                 1);
    }

    void aResetIsAskedFirstAndRefusedChangesNothing() {
        Start(false);
        const auto before = test::Snapshot(Card());
        page_->ChooseTab(CUpdateSystem::kTabResetId);
        page_->Tick(2);
        page_->Install();
        QCOMPARE(sink_->asked.size(), std::size_t{1});
        QCOMPARE(sink_->asked[0].second, ResetQuestion(Card(), true));
        QCOMPARE(page_->LastOutcome()->status.kind(), OutcomeKind::Cancelled);
        QCOMPARE(test::Snapshot(Card()), before);
        QCOMPARE(cardChanges_, 0);  // nothing written: the window does not read the card again
    }

    // The package goes to the drive the detection selected, whatever the chooser's text says.
    void aPackageGoesToTheSelectedDrive() {
        Start();
        const std::string selected = dir_->path().toStdString() + "/selected";
        QVERIFY(CreateEmptyDevice(selected, "1.0", "larkspin"));
        page_->SetTargetCardSource(
            [selected] { return std::make_shared<torvane::Card>(selected); });
        const auto before = test::Snapshot(Card());
        ClickTickBox(1);
        ClickInstall();
        QVERIFY(page_->LastOutcome() && page_->LastOutcome()->Completed());
        QVERIFY(test::ReadFile(selected + "/info.dat").find("2.1.0") != std::string::npos);
        QCOMPARE(test::Snapshot(Card()), before);
    }

    void anAcceptedResetLeavesTheCardAsThePackageMadeIt() {
        Start(true);
        page_->ChooseTab(CUpdateSystem::kTabResetId);
        page_->Tick(2);
        page_->Install();
        QVERIFY(page_->LastOutcome() && page_->LastOutcome()->Completed());
        QVERIFY(!std::filesystem::exists(Card() + "/ck9/re1/mine.mp3"));
        CDefaultXML fresh(Card());
        QVERIFY(fresh.Load().ok());
        QCOMPARE(fresh.systemVersion(), std::string("1.4"));
    }

    void aResetKeepsTheRecordingsUnlessTheParentUnticksIt() {
        for (const bool keep : {true, false}) {
            Start(true);
            RegisterRecording();
            page_->ChooseTab(CUpdateSystem::kTabResetId);
            QVERIFY(page_->KeepRecordingsBox()->isVisibleTo(page_.get()));
            QVERIFY(page_->KeepRecordingsBox()->isChecked());
            page_->KeepRecordingsBox()->setChecked(keep);
            page_->Tick(2);
            page_->Install();
            QVERIFY(page_->LastOutcome() && page_->LastOutcome()->Completed());
            QCOMPARE(sink_->asked[0].second, ResetQuestion(Card(), keep));
            QCOMPARE(std::filesystem::exists(Card() + "/ck9/re1/mine.mp3"), keep);
            CDiyXML diy(Card());
            QVERIFY(diy.Load().ok());
            QCOMPARE(diy.RecordForCard(kFirstDiyCard)->slots[0].InUse(), keep);
            QCOMPARE(cardChanges_, 1);
        }
    }

    // The card care tab: a check that changes nothing, a repair, a backup and its restore, each
    // through the page's job runner; the window is told whenever the card was written.
    void theCareTabChecksRepairsBacksUpAndRestores() {
        Start(true);
        RegisterRecording();
        page_->ChooseTab(CUpdateSystem::kTabCareId);
        CCardCareView* care = page_->CareView();
        QVERIFY(care->isVisibleTo(page_.get()));
        QVERIFY(!page_->Grid()->isVisibleTo(page_.get()));
        QCOMPARE(care->Summary(), std::string(kMsgCardNotChecked));
        QCOMPARE(care->Button(CCardCareView::kRestoreId)->AccessibleName(),
                 QStringLiteral("백업 복원하기"));

        test::WriteFile(Card() + "/ck9/re2/stray.mp3", "nobody's");  // reported, never deleted
        test::WriteFile(Card() + "/ck7/.~rfid.tbl.Ab12Cd", "half a table");
        const auto broken = test::Snapshot(Card());
        care->Check();
        QVERIFY(care->Report());
        QCOMPARE(care->Report()->problems.size(), std::size_t{2});
        QCOMPARE(care->Findings()->GetRowCount(), 3);
        QCOMPARE(care->Findings()->GetItemText(1, 1).toStdString(),
                 std::string(CardProblemSentence(care->Report()->problems[0].kind)));
        QCOMPARE(care->Summary(), CardProblemsFound(2));
        QCOMPARE(test::Snapshot(Card()), broken);
        QCOMPARE(cardChanges_, 0);

        care->Repair();
        QVERIFY(care->Report()->repairs);
        QCOMPARE(care->Findings()->GetItemText(1, 2).toStdString(), std::string(kLabelMended));
        QVERIFY(!std::filesystem::exists(Card() + "/ck7/.~rfid.tbl.Ab12Cd"));
        QVERIFY(std::filesystem::exists(Card() + "/ck9/re2/stray.mp3"));
        QCOMPARE(cardChanges_, 1);

        care->Backup();
        QVERIFY(care->LastOutcome()->Completed());
        QVERIFY(std::filesystem::exists(Archive()));
        std::filesystem::remove(Card() + "/ck9/re1/mine.mp3");
        const std::size_t askedBefore = sink_->asked.size();
        page_->OfferRestore(Archive());
        // Asked once by the page itself, between the plan and the restore.
        QCOMPARE(sink_->asked.size(), askedBefore + 1);
        QCOMPARE(sink_->asked.back().first, MessageKind::Exclamation);
        QVERIFY(care->LastOutcome()->Completed());
        QCOMPARE(test::ReadFile(Card() + "/ck9/re1/mine.mp3"),
                 std::string("the parent's own recording"));
        QVERIFY2(!care->Report(), "the card is no longer as last checked");
        QCOMPARE(cardChanges_, 2);
        QCOMPARE(sink_->Texts().back(), std::string(kMsgRestoreDone));
    }

    void careWithoutACardOrAFileRunsNothing() {
        Start();
        page_->ChooseTab(CUpdateSystem::kTabCareId);
        CCardCareView* care = page_->CareView();
        chosenArchive_.clear();  // the parent closed the file dialog
        care->Backup();
        care->Restore();
        QVERIFY(!care->LastOutcome());
        page_->DriveChooser()->clear();
        care->Check();
        QVERIFY(!care->LastOutcome());
        QCOMPARE(sink_->Texts().back(), std::string(kMsgNoDevice));
    }

    void versionsFollowTheTab() {
        Start();
        page_->SetDeviceVersions("1.0", "2.0.5");
        QCOMPARE(page_->ContentVersion(), std::string("1.0"));
        QCOMPARE(page_->FirmwareVersion(), std::string("2.0.5"));
        page_->SetDeviceVersions({}, {});
        QVERIFY(page_->ContentVersion().empty());
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::UpdatePageTest)
#include "update_page_test.moc"
