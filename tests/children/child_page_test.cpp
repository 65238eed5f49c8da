// The child name page against the local content service and a card folder: add, delete,
// request, apply and release as the user presses them, and what the card holds afterwards.
#include "children/child_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "children/child_window.h"
#include "children/name_voice.h"
#include "common/messages.h"
#include "store/card.h"
#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "tests/support/demo_session.h"
#include "tests/support/fake_media_engine.h"
#include "tests/support/files.h"
#include "tests/support/recording_sink.h"
#include "tools/demo_service/demo_service.h"
#include "tools/demo_service/fault_plan.h"
#include "ui/child_info_cell.h"
#include "ui/grid_ctrl.h"

namespace torvane {

class ChildPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<demo::DemoService> service_;
    ServiceSession session_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<torvane::Card> card_;
    test::RecordingSink sink_;
    std::unique_ptr<CManagerPrivate> page_;
    QStringList playerLog_;
    test::FakeMediaEngine::Script playerScript_;

    std::string Card() const { return dir_->path().toStdString() + "/card"; }

    // A fresh service (requested voices ready at once), a fresh card and the page over both.
    void Start(demo::FaultPlan faults = {}, int extraChildren = 0) {
        page_.reset();
        demo::DemoSettings settings;
        settings.voiceDelayMs = 0;
        settings.extraChildren = extraChildren;
        service_ = std::make_unique<demo::DemoService>(demo::DemoService::DefaultDataDir(),
                                                       std::move(faults), settings);
        QVERIFY2(service_->Start(0), service_->Error().c_str());
        session_ = test::DemoSession(*service_);
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(CreateEmptyDevice(Card(), "1.0", "larkspin"));
        card_ = std::make_shared<torvane::Card>(Card());
        QVERIFY(card_->LoadDatabase().ok());
        sink_.Clear();
        page_ = std::make_unique<CManagerPrivate>(
            nullptr, session_, sink_,
            std::make_unique<test::FakeMediaEngine>(&playerScript_, &playerLog_));
        DeviceHeader header;
        header.drive = Card();
        header.card = card_;
        header.systemVersion = "1.0";
        page_->SetDeviceHeader(header);
        page_->ReloadChildren();
    }

    // The first grid row of a child, -1 when it is not shown.
    int RowOf(int childNo) const {
        for (int row = 0; row < page_->Grid()->GetRowCount(); row += 2) {
            const ChildInfo* child = page_->ChildOfRow(row);
            if (child != nullptr && child->childNo == childNo) return row;
        }
        return -1;
    }
    int StateOf(int childNo) const {
        const int row = RowOf(childNo);
        if (row < 0) return -2;
        return page_->Grid()->Cell(row + 1, 0)->infoState;
    }
    // Presses a command of a child's rows and waits for an apply or release to end.
    void Press(int childNo, int command) {
        const int row = RowOf(childNo);
        QVERIFY(row >= 0);
        page_->RunCommand(command == CManagerPrivate::kDeleteCommand ? row : row + 1, command);
    }
    void PressAndWait(int childNo, int command) {
        QSignalSpy finished(page_.get(), &CManagerPrivate::cardWorkFinished);
        Press(childNo, command);
        QVERIFY(page_->Busy());
        QVERIFY(finished.wait(20000));
    }
    int RequestsTo(std::string_view path) const {
        int count = 0;
        for (const auto& request : service_->Requests())
            if (request.target.starts_with(path)) ++count;
        return count;
    }
    std::string Voice() const { return test::ReadFile(Card() + "/ck1/ko/00000003.qvx"); }
    int SelectedOnCard() const {
        CDefaultXML card(Card());
        return card.Load().ok() ? card.selectedChildNo() : -1;
    }
    void Type(const QString& family, const QString& given) {
        page_->AddWindow()->FamilyNameEdit()->setText(family);
        page_->AddWindow()->GivenNameEdit()->setText(given);
    }

  private Q_SLOTS:
    void cleanup() {
        page_.reset();
        service_.reset();
    }

    void listShowsEachChildInTwoRowsWithTheStateOfItsVoice() {
        Start();
        QCOMPARE(page_->Grid()->GetRowCount(), 6);
        QCOMPARE(page_->Grid()->GetItemText(RowOf(101), 1), QStringLiteral("김하늘"));
        QCOMPARE(page_->Grid()->GetItemText(RowOf(101), 3), QStringLiteral("남"));
        QCOMPARE(page_->Grid()->GetItemText(RowOf(101), 5), QStringLiteral("2019년 03월 07일"));
        QCOMPARE(StateOf(101), 1);
        QCOMPARE(StateOf(102), 0);
        // Every picture button says what it shows.
        QCOMPARE(page_->Grid()->CellButton(RowOf(101) + 1, 0, 0)->AccessibleName(),
                 QStringLiteral("적용"));
        QCOMPARE(page_->AddButton()->AccessibleName(), QStringLiteral("아이 추가하기"));
        QCOMPARE(page_->AddWindow()->AddButton()->AccessibleName(), QStringLiteral("추가"));
        // The add window's buttons are drawn whole inside its panel.
        for (const CImgButton* button :
             {page_->AddWindow()->AddButton(), page_->AddWindow()->CancelButton()})
            QVERIFY(page_->AddWindow()->rect().contains(button->Rect()));
    }

    // A list longer than any family's is refused with a sentence, said once however often the
    // page reloads; a list at the bound is shown whole.
    // "단말기 정보" counts what the card holds now, not what the account bought.
    void theHeaderCountsTheCardsContents() {
        Start();
        QCOMPARE(page_->ShownCounts().music, 0);
        ContentRecord song;
        song.contentNo = "M0001";
        song.title = "곰 세 마리";
        song.mainGroup = "music";
        song.subGroup = "single";
        QVERIFY(card_->database().AddContent(song));
        QCOMPARE(page_->ShownCounts().music, 1);
        QCOMPARE(page_->ShownCounts().language, 0);
        page_->ClearDeviceHeader();
        QCOMPARE(page_->ShownCounts().music, 0);
    }

    void aChildrenListPastItsBoundIsRefusedAndOneAtItIsShown() {
        Start();
        const int demoChildren = static_cast<int>(page_->Children().size());
        Start({}, static_cast<int>(kMaxChildren) - demoChildren);
        QCOMPARE(page_->Children().size(), kMaxChildren);
        QCOMPARE(page_->Grid()->GetRowCount(), 2 * static_cast<int>(kMaxChildren));
        QVERIFY(sink_.Texts().empty());

        Start({}, static_cast<int>(kMaxChildren) - demoChildren + 1);
        QVERIFY(page_->Children().empty());
        QCOMPARE(page_->Grid()->GetRowCount(), 0);
        page_->ReloadChildren();
        QCOMPARE(sink_.Texts(), std::vector<std::string>{std::string(kMsgServiceListTooLong)});
    }

    // The list is fetched and read off the window's thread: the window keeps answering while a
    // slow service sends it, and the rows come when it is in.
    void theWindowKeepsAnsweringWhileTheListComes() {
        Start();
        const std::size_t shown = page_->Children().size();
        Start({.pathPrefix = "/torvane/pc_childrenList",
               .body = demo::BodyFault::Slow,
               .slowChunkBytes = 64,
               .slowDelayMs = 20});
        int ticks = 0;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start();
        page_->ReloadChildren();
        QVERIFY2(ticks > 5, std::to_string(ticks).c_str());
        QCOMPARE(page_->Children().size(), shown);
    }

    void addChecksInOrderAndSendsThePaddedBirthday() {
        Start();
        page_->ToggleAddWindow();
        QVERIFY(page_->AddWindow()->isVisibleTo(page_.get()));
        Type(QStringLiteral("김"), QStringLiteral("하늘"));
        page_->AddChildFromWindow();
        Type(QString(), QString());
        page_->AddChildFromWindow();
        Type(QString(), QStringLiteral("별"));
        page_->AddChildFromWindow();
        QCOMPARE(sink_.Texts(), (std::vector<std::string>{std::string(kMsgChildNameTaken),
                                                          std::string(kMsgEnterChildGivenName),
                                                          std::string(kMsgEnterChildFamilyName)}));
        QCOMPARE(RequestsTo("/torvane/pc_childrenInsert.asp"), 0);

        sink_.Clear();
        Type(QStringLiteral("최"), QStringLiteral("별"));
        page_->AddWindow()->SexList()->setCurrentIndex(1);
        page_->AddWindow()->MonthList()->setCurrentText(QStringLiteral("3"));
        page_->AddWindow()->DayList()->setCurrentText(QStringLiteral("7"));
        const QString year = page_->AddWindow()->YearList()->currentText();
        page_->AddChildFromWindow();
        QCOMPARE(sink_.Texts(), std::vector<std::string>{"아이 이름(최별)이 추가되었습니다."});
        QCOMPARE(page_->Grid()->GetRowCount(), 8);
        QVERIFY(page_->AddWindow()->isVisibleTo(page_.get()));
        bool found = false;
        for (const ChildInfo& child : page_->Children()) {
            if (child.familyName != "최") continue;
            found = true;
            QCOMPARE(QString::fromStdString(child.birthday), year + "-03-07");
            QVERIFY(!child.IsBoy());
        }
        QVERIFY(found);
    }

    void deleteHidesTheRowsAndTakesTheCardsVoice() {
        Start();
        PressAndWait(101, CChildInfoCell::kApply);
        QVERIFY(!Voice().empty());
        const int row = RowOf(101);
        sink_.Clear();
        Press(101, CManagerPrivate::kDeleteCommand);
        QCOMPARE(sink_.Texts(), std::vector<std::string>{"아이 이름(김하늘)이 삭제되었습니다."});
        QCOMPARE(page_->Grid()->GetRowHeight(row), 0);
        QCOMPARE(page_->Grid()->GetRowHeight(row + 1), 0);
        for (const std::string& path : card_paths::NameVoiceFiles(Card()))
            QVERIFY2(!std::filesystem::exists(path), path.c_str());
        QCOMPARE(SelectedOnCard(), 0);
        page_->ReloadChildren();
        QCOMPARE(RowOf(101), -1);
    }

    void aFailedDeleteOrRequestKeepsTheRows() {
        Start({.pathPrefix = "/torvane/pc_childrenDelete", .status = 500});
        const int row = RowOf(102);
        Press(102, CManagerPrivate::kDeleteCommand);
        QCOMPARE(sink_.Texts().size(), std::size_t{1});
        QVERIFY(sink_.Texts()[0].find("삭제되지 않았습니다") != std::string::npos);
        QCOMPARE(page_->Grid()->GetRowHeight(row), 40);
        QCOMPARE(page_->Grid()->GetItemText(row, 1), QStringLiteral("이똠이"));

        Start({.pathPrefix = "/torvane/pc_childrenRequest", .status = 500});
        Press(102, CChildInfoCell::kRequest);
        QCOMPARE(sink_.Texts(), std::vector<std::string>{std::string(kMsgNameVoiceRequestFailed)});
        QCOMPARE(StateOf(102), 0);
    }

    void requestShowsTheRequestedStateAtOnce() {
        Start();
        Press(102, CChildInfoCell::kRequest);
        QCOMPARE(StateOf(102), 3);
        QVERIFY(sink_.Texts().empty());
        QCOMPARE(RequestsTo("/torvane/pc_childrenRequest.asp"), 1);
    }

    void applyPressedTwiceRunsOnceOffTheWindowsThread() {
        Start();
        QSignalSpy finished(page_.get(), &CManagerPrivate::cardWorkFinished);
        Press(101, CChildInfoCell::kApply);
        Press(101, CChildInfoCell::kApply);
        Press(101, CChildInfoCell::kRelease);
        QVERIFY(page_->Busy());
        QVERIFY(finished.wait(20000));
        QTest::qWait(200);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(RequestsTo("/torvane/voice/"), 1);
        QCOMPARE(SelectedOnCard(), 101);
        QCOMPARE(StateOf(101), 2);
    }

    // The parent shows another card while the voice downloads: the child is written to the card
    // the apply started on, never to the one shown when it ends.
    void anApplyWritesToTheCardItStartedOn() {
        Start({.pathPrefix = "/torvane/voice/", .body = demo::BodyFault::Slow});
        const std::string other = dir_->path().toStdString() + "/other";
        QVERIFY(CreateEmptyDevice(other, "1.0", "larkspin"));
        const std::string otherBefore = test::ReadFile(other + "/Default.dat");
        const auto otherCard = std::make_shared<torvane::Card>(other);
        QVERIFY(otherCard->LoadDatabase().ok());
        QSignalSpy finished(page_.get(), &CManagerPrivate::cardWorkFinished);
        Press(101, CChildInfoCell::kApply);
        DeviceHeader header;
        header.drive = other;
        header.card = otherCard;
        page_->SetDeviceHeader(header);
        QVERIFY(finished.wait(20000));
        QCOMPARE(SelectedOnCard(), 101);
        QCOMPARE(test::ReadFile(other + "/Default.dat"), otherBefore);
        QVERIFY(!std::filesystem::exists(other + "/ck1/ko/00000003.qvx"));
    }

    // The card pulled while the voice downloads: nothing is written where it was, the page lets
    // it go, and the parent hears why nothing was applied.
    void aCardPulledDuringAnApplyGetsNothing() {
        Start({.pathPrefix = "/torvane/voice/", .body = demo::BodyFault::Slow});
        const std::string away = dir_->path().toStdString() + "/pulled";
        const std::string before = test::ReadFile(Card() + "/Default.dat");
        QSignalSpy finished(page_.get(), &CManagerPrivate::cardWorkFinished);
        Press(101, CChildInfoCell::kApply);
        std::filesystem::rename(Card(), away);
        card_->MarkRemoved();  // as the drive detection does
        page_->ClearDeviceHeader();
        QVERIFY(finished.wait(20000));
        QVERIFY(!std::filesystem::exists(Card()));
        QCOMPARE(test::ReadFile(away + "/Default.dat"), before);
        QVERIFY(!std::filesystem::exists(away + "/ck1/ko/00000003.qvx"));
        QCOMPARE(sink_.Texts(), std::vector<std::string>{std::string(kMsgCardRemovedDuringJob)});
        QCOMPARE(card_.use_count(), 1L);  // neither the page nor its work keeps the card
    }

    void applyingAnotherChildReplacesTheVoice() {
        Start();
        PressAndWait(101, CChildInfoCell::kApply);
        const std::string first = Voice();
        Press(102, CChildInfoCell::kRequest);
        page_->ReloadChildren();
        QCOMPARE(StateOf(102), 1);
        PressAndWait(102, CChildInfoCell::kApply);
        QVERIFY(Voice() != first);
        for (const std::string& path : card_paths::NameVoiceFiles(Card()))
            QCOMPARE(test::ReadFile(path), Voice());
        QCOMPARE(SelectedOnCard(), 102);
        QCOMPARE(StateOf(101), 1);
        QCOMPARE(StateOf(102), 2);
    }

    void aVoiceThatFailsToDownloadChangesNothing() {
        Start({.pathPrefix = "/torvane/voice/", .status = 500});
        const auto before = test::Snapshot(Card());
        PressAndWait(101, CChildInfoCell::kApply);
        QCOMPARE(sink_.Texts(), std::vector<std::string>{std::string(kMsgNameVoiceNotDownloaded)});
        QCOMPARE(test::Snapshot(Card()), before);
        QCOMPARE(StateOf(101), 1);
    }

    void releaseTakesTheVoiceOffAndListenPlaysTheServicesVoice() {
        Start();
        PressAndWait(101, CChildInfoCell::kApply);
        Press(101, CChildInfoCell::kListen);
        QCOMPARE(playerLog_.size(), 1);
        QVERIFY(playerLog_[0].contains("/torvane/voice/"));
        PressAndWait(101, CChildInfoCell::kRelease);
        for (const std::string& path : card_paths::NameVoiceFiles(Card()))
            QVERIFY2(!std::filesystem::exists(path), path.c_str());
        QCOMPARE(SelectedOnCard(), 0);
        QCOMPARE(StateOf(101), 1);
    }

    void withoutACardApplyAndReleaseAreRefused() {
        Start();
        page_->ClearDeviceHeader();
        Press(101, CChildInfoCell::kApply);
        Press(101, CChildInfoCell::kRelease);
        QVERIFY(!page_->Busy());
        QCOMPARE(sink_.Texts(),
                 (std::vector<std::string>{std::string(kMsgNoDevice), std::string(kMsgNoDevice)}));
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::ChildPageTest)
#include "child_page_test.moc"
