// The card through the disk service: a stand-in udisks2 (a python3-dbusmock template of the
// tests) on the test's own bus, standing for the system bus. Cards come and go through its
// signals, are named by label and size, are mounted when chosen and ejected safely, from the
// window and from torvane-cli.
#include <QApplication>
#include <QComboBox>
#include <QDBusInterface>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "base/udisks2_volumes.h"
#include "common/messages.h"
#include "shell/udisks2_watch.h"
#include "tests/shell/window_fixture.h"
#include "tests/support/private_bus.h"
#include "tests/support/program_run.h"

namespace torvane {

class UDisks2Test : public QObject, private test::WindowFixture {
    Q_OBJECT

    std::unique_ptr<test::PrivateBus> bus_;
    int cards_ = 0;

    // A card in a reader: its folder stands for its file system once "mounted".
    QString PlugIn(const QString& name, const QString& label, quint64 size, bool mounted,
                   bool holdsDatabase = true) {
        const QString folder = MakeCard(name, holdsDatabase);
        QDBusInterface mock(
            QStringLiteral("org.freedesktop.UDisks2"), QStringLiteral("/org/freedesktop/UDisks2"),
            QStringLiteral("org.freedesktop.UDisks2.Mock"), QDBusConnection::systemBus());
        const QDBusMessage reply = mock.call(QStringLiteral("AddCard"), name, label,
                                             QVariant::fromValue(size), folder, mounted);
        if (reply.type() == QDBusMessage::ErrorMessage) qWarning() << reply.errorMessage();
        ++cards_;
        return folder;
    }
    void PullOut(const QString& name) {
        QDBusInterface mock(
            QStringLiteral("org.freedesktop.UDisks2"), QStringLiteral("/org/freedesktop/UDisks2"),
            QStringLiteral("org.freedesktop.UDisks2.Mock"), QDBusConnection::systemBus());
        mock.call(QStringLiteral("RemoveCard"), name);
    }
    static QStringList ChooserNames(CTorvaneDlg& window) {
        QStringList names;
        QComboBox* chooser = window.UpdatePage()->DriveChooser();
        for (int i = 0; i < chooser->count(); ++i) names << chooser->itemText(i);
        return names;
    }

  private Q_SLOTS:
    void initTestCase() {
        bus_ = std::make_unique<test::PrivateBus>();
        QVERIFY(bus_->Running());
        bus_->ServeAsSystemBus();
        QVERIFY(bus_->StartMock(QStringLiteral(TORVANE_UDISKS2_STANDIN),
                                QStringLiteral("org.freedesktop.UDisks2")));
    }
    void init() { Reset(); }
    void cleanup() {
        window_.reset();
        for (const char* name : {"sdb", "sdc", "sdd"}) PullOut(QString::fromLatin1(name));
    }
    void cleanupTestCase() { bus_.reset(); }

    void cardsComeAndGoThroughTheServicesSignals() {
        UDisks2Watch watch;
        QVERIFY(watch.Watching());
        QSignalSpy changes(&watch, &UDisks2Watch::volumesChanged);
        PlugIn("sdb", "LARKSPIN", 3965190144, true);
        QTRY_VERIFY(changes.count() >= 1);
        const int afterPlugging = changes.count();
        PullOut("sdb");
        QTRY_VERIFY(changes.count() > afterPlugging);
    }

    void windowNamesTheCardAndChoosesItAtOnce() {
        const QString card = PlugIn("sdb", "LARKSPIN", 3965190144, true);
        PlugIn("sdc", "", 1000000000, false, false);  // an unlabelled stick, not mounted
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), card);
        QCOMPARE(ChooserNames(window), (QStringList{"LARKSPIN (4.0 GB)", "1.0 GB 볼륨"}));
        QComboBox* chooser = window.UpdatePage()->DriveChooser();
        QCOMPARE(chooser->itemData(0, Qt::ToolTipRole).toString(), card);  // the path stays
        QVERIFY(!window.EjectButton()->isHidden());
        QCOMPARE(window.EjectButton()->toolTip(),
                 QString::fromUtf8(kLabelEjectCard.data(), kLabelEjectCard.size()));

        // A third card arrives: the service's signal lists it before any poll would.
        PlugIn("sdd", "SECOND", 2000000000, true);
        QTRY_COMPARE(chooser->count(), 3);
    }

    void anUnmountedCardIsMountedWhenChosen() {
        const QString card = PlugIn("sdc", "MOMCARD", 2000000000, false);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        QCOMPARE(window.Detector().CardRoot(), std::string());  // nothing to read yet
        QCOMPARE(ChooserNames(window), QStringList{"MOMCARD (2.0 GB)"});
        window.ChooseEntry(0);
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), card);
        QTRY_COMPARE(Content()->calls, QStringList{"load"});
    }

    void ejectPowersTheCardOffAndTheOtherCardIsChosen() {
        const QString first = PlugIn("sdb", "LARKSPIN", 3965190144, true);
        const QString second = PlugIn("sdd", "SECOND", 2000000000, true);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), first);
        QTRY_COMPARE(Content()->calls, QStringList{"load"});

        window.EjectCard();
        QCOMPARE(test::Said(sink_).last(),
                 QString::fromUtf8(kMsgCardMayBePulled.data(), kMsgCardMayBePulled.size()));
        QCOMPARE(QString::fromStdString(window.Detector().CardRoot()), second);
        QTRY_VERIFY(!ChooserNames(window).contains("LARKSPIN (4.0 GB)"));
        // No "분리되었습니다" for a card the parent took out safely.
        QTRY_COMPARE(Content()->calls.count("load"), 2);
        for (const QString& said : test::Said(sink_)) QVERIFY(!said.contains("분리"));
    }

    void ejectIsRefusedWhileAJobsDialogStandsOverTheWindow() {
        PlugIn("sdb", "LARKSPIN", 3965190144, true);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        QDialog job(&window);  // a job's dialog is modal while it writes to the card
        job.setModal(true);
        job.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &job);
        window.EjectCard();
        QCOMPARE(test::Said(sink_).last(), QString::fromUtf8(kMsgEjectRefusedDuringJob.data(),
                                                             kMsgEjectRefusedDuringJob.size()));
        QCOMPARE(ChooserNames(window), QStringList{"LARKSPIN (4.0 GB)"});  // still mounted
    }

    // After a job wrote to the card, the offer comes once the job's dialog has closed; a "no"
    // leaves the card where it is, a "yes" takes it out as the button would.
    void aJobThatWroteOffersToTakeTheCardOutAfterItsDialog() {
        PlugIn("sdb", "LARKSPIN", 3965190144, true);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        const QString offer =
            QString::fromUtf8(kMsgOfferEjectAfterJob.data(), kMsgOfferEjectAfterJob.size());
        for (const bool yes : {false, true}) {
            sink_.Clear();
            sink_.answers = {yes};
            auto job = std::make_unique<QDialog>(&window);
            job->setModal(true);
            job->show();
            QTRY_VERIFY(QApplication::activeModalWidget() == job.get());
            window.OfferEjectAfterWrite();
            QTest::qWait(300);
            QVERIFY(!test::Said(sink_).contains(offer));  // not over the job's dialog
            job.reset();
            QTRY_VERIFY(test::Said(sink_).contains(offer));
            if (!yes) QCOMPARE(ChooserNames(window), QStringList{"LARKSPIN (4.0 GB)"});
        }
        QTRY_VERIFY(!ChooserNames(window).contains("LARKSPIN (4.0 GB)"));
        QCOMPARE(test::Said(sink_).last(),
                 QString::fromUtf8(kMsgCardMayBePulled.data(), kMsgCardMayBePulled.size()));
    }

    void aBusyCardIsNotPoweredOff() {
        PlugIn("sdb", "LARKSPIN", 3965190144, true);
        QDBusInterface(QStringLiteral("org.freedesktop.UDisks2"),
                       QStringLiteral("/org/freedesktop/UDisks2"),
                       QStringLiteral("org.freedesktop.UDisks2.Mock"), QDBusConnection::systemBus())
            .call(QStringLiteral("SetBusy"), QStringLiteral("sdb"), true);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.PollDrives();
        window.EjectCard();
        QVERIFY(test::Said(sink_).last().contains("Target is busy"));
        QCOMPARE(ChooserNames(window), QStringList{"LARKSPIN (4.0 GB)"});  // still there
    }

    void commandLineListsAndEjects() {
        const QString card = PlugIn("sdb", "LARKSPIN", 3965190144, true);
        PlugIn("sdc", "", 1000000000, false, false);
        const std::vector<std::string> env = {"DBUS_SYSTEM_BUS_ADDRESS=" +
                                              bus_->Address().toStdString()};
        const auto list = test::RunProgram({TORVANE_CLI, "device", "list"}, {}, env);
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(QString::fromStdString(list.out),
                 "LARKSPIN (4.0 GB)\t" + card +
                     "\t(player's card)\n1.0 GB 볼륨\t/dev/sdc1\t(not mounted)\n");

        const auto eject =
            test::RunProgram({TORVANE_CLI, "device", "eject", card.toStdString()}, {}, env);
        QCOMPARE(eject.exitCode, 0);
        QCOMPARE(eject.out, std::string(kMsgCardMayBePulled) + "\n");
        const auto again = test::RunProgram({TORVANE_CLI, "device", "list", "--json"}, {}, env);
        QVERIFY(again.out.find("LARKSPIN") == std::string::npos);

        const auto unknown =
            test::RunProgram({TORVANE_CLI, "device", "eject", "/nowhere"}, {}, env);
        QCOMPARE(unknown.exitCode, 6);
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::UDisks2Test)
#include "udisks2_test.moc"
