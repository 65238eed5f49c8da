// The main window over time: the card coming and going (simulated cards in TORVANE_DRIVES), the
// player clock, the mouse and keys, and a second start of the program.
#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

#include "shell/single_instance.h"
#include "tests/shell/window_fixture.h"
#include "ui/left_menu.h"
#include "ui/web_view.h"

namespace torvane {

class WindowEventsTest : public QObject, private test::WindowFixture {
    Q_OBJECT

  private Q_SLOTS:
    void init() { Reset(); }
    void cleanup() { window_.reset(); }

    void simulatedCardComesAndGoes() {
        const QString card = MakeCard("card", true);
        const QString stick = MakeCard("stick", false);
        qputenv("TORVANE_DRIVES", (stick + ":" + card).toUtf8());
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        QComboBox* chooser = window.UpdatePage()->DriveChooser();

        window.PollDrives();  // present at start: chosen silently
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), card);
        QTRY_COMPARE(Content()->calls, QStringList{"load"});
        QCOMPARE(Child()->calls, QStringList{"header:" + card});
        QCOMPARE(chooser->count(), 2);
        QCOMPARE(chooser->currentText(), card);
        QVERIFY(test::Said(sink_).isEmpty());
        QCOMPARE(window.CurrentPage(), window.WebView());

        QVERIFY(QDir(card).removeRecursively());  // pulled out
        window.PollDrives();
        QCOMPARE(window.Detector().CardRoot(), std::string());
        QTRY_COMPARE(test::Said(sink_),
                     QStringList{card + " 디바이스가 시스템에서 분리되었습니다."});
        QCOMPARE(Content()->calls.last(), QString("reset"));
        QCOMPARE(Child()->calls.last(), QString("clear"));
        QCOMPARE(window.CurrentPage(), window.UpdatePage());
        QCOMPARE(chooser->count(), 2);  // the device's entry leaves one poll later
        window.PollDrives();
        QCOMPARE(chooser->count(), 1);

        MakeCard("card", true);  // inserted again: announced this time
        window.PollDrives();
        QTRY_COMPARE(test::Said(sink_).size(), 2);
        QCOMPARE(test::Said(sink_).last(), card + " 디바이스가 시스템에서 장착되었습니다.");
        QCOMPARE(Content()->calls.last(), QString("load"));
    }

    void choosingAnotherCardByHandSwitchesWithoutRemovalMessage() {
        const QString first = MakeCard("first", true);
        const QString second = MakeCard("second", true);
        qputenv("TORVANE_DRIVES", (first + ":" + second).toUtf8());
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        QTRY_COMPARE(Content()->calls, QStringList{"load"});

        Q_EMIT window.UpdatePage()->DriveChooser()->activated(1);
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), second);
        QTRY_COMPARE(test::Said(sink_),
                     QStringList{second + " 디바이스가 시스템에서 장착되었습니다."});
        QCOMPARE(Content()->calls, (QStringList{"load", "reset", "load"}));
        QCOMPARE(Child()->calls.last(), "header:" + second);
    }

    void failedFirmwareListPostponesTheChoice() {
        const QString card = MakeCard("card", true);
        qputenv("TORVANE_DRIVES", card.toUtf8());
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        auto* update = static_cast<RecordingUpdatePage*>(window.UpdatePage());
        update->requestSucceeds = false;
        window.PollDrives();
        QCOMPARE(update->calls, QStringList{"request"});
        QCOMPARE(window.Detector().CardRoot(), std::string());
    }

    void playerClockFollowsThePlayState() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        CPlayer* player = window.TopMenu()->Player();
        window.OnPlayStarted();
        QVERIFY(window.PlayerClockRunning());
        window.OnPlayPaused();
        QVERIFY(!window.PlayerClockRunning());
        window.OnPlayStarted();
        player->SetTitle("song");
        player->SetTimeText("00:03 / 01:00");
        window.OnPlayStopped();
        QVERIFY(!window.PlayerClockRunning());
        QCOMPARE(player->Title(), QString());
        QCOMPARE(player->TimeText(), QString("00:00 / 00:00"));
    }

    void mouseHoversAndClicksAndKeysAreSwallowed() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseMove(&window, QPoint(100, 120));
        QTRY_VERIFY(window.Hovered() == window.ContentButton());
        QCOMPARE(window.ContentButton()->State(), 1);
        QTest::mouseMove(&window, QPoint(100, 215));
        QTRY_VERIFY(window.Hovered() == window.UpdateButton());
        QCOMPARE(window.ContentButton()->State(), 0);
        QTest::mouseMove(&window, QPoint(600, 40));  // the bar's empty part
        QTRY_VERIFY(window.Hovered() == nullptr);

        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(100, 215));
        QCOMPARE(window.CurrentPage(), window.UpdatePage());
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(100, 288));  // first category
        QVERIFY(window.LeftMenu()->Categories()[0]->IsOpen());

        QTest::keyClick(&window, Qt::Key_Escape);
        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(window.isVisible());

        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(926, 39));  // close
        QTRY_VERIFY(!window.isVisible());
    }

    void barDragsTheWindowAndTheKnobSetsTheVolume() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto send = [&window](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, window.mapToGlobal(at),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &event);
        };

        // The bar's empty part moves the window; a button of the bar does not.
        const QPoint start = window.pos();
        send(QEvent::MouseButtonPress, {600, 40}, Qt::LeftButton);
        send(QEvent::MouseMove, {650, 60}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {650, 60}, Qt::NoButton);
        QCOMPARE(window.pos() - start, QPoint(50, 20));
        const QPoint moved = window.pos();
        send(QEvent::MouseButtonPress, {789, 39}, Qt::LeftButton);
        send(QEvent::MouseMove, {820, 60}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {820, 60}, Qt::NoButton);
        QCOMPARE(window.pos(), moved);

        // The volume knob follows the mouse while the button is held.
        CPlayer* player = window.TopMenu()->Player();
        player->SetHidden(false);
        CImgButton* knob = player->Child(MainWindowId::PlayerVolumeKnob);
        const int left = knob->Left();
        const QPoint grab(left + 5, 60);
        send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
        send(QEvent::MouseMove, grab + QPoint(10, 0), Qt::LeftButton);
        send(QEvent::MouseMove, grab + QPoint(20, 0), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, grab + QPoint(20, 0), Qt::NoButton);
        QCOMPARE(knob->Left(), left + 20);
        QCOMPARE(player->Engine()->Engine().Volume(), (left + 20 - 383) * 100 / 89);
    }

    void secondStartReachesTheFirst() {
        const QString name =
            QStringLiteral("TorvaneEx-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(first.Acquire());
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        SingleInstance second(name);
        QVERIFY(!second.Acquire());
        QVERIFY(second.NotifyRunningInstance());
        QTRY_COMPARE(activations.size(), 1);

        // Opened from the file manager, a backup goes to the running window.
        QSignalSpy restores(&first, &SingleInstance::restoreRequested);
        const QString backup = QStringLiteral("/home/부모/카드 백업.tvbackup");
        QVERIFY(second.NotifyRunningInstance(backup));
        QTRY_COMPARE(restores.size(), 1);
        QCOMPARE(restores.at(0).at(0).toString(), backup);
        QCOMPARE(activations.size(), 2);
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::WindowEventsTest)
#include "window_events_test.moc"
