// The end of a long job told to the desktop: which jobs are announced and in what words, and the
// notification as a notification service on the session bus receives it (python3-dbusmock's
// notification daemon on the test's own bus).
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QtTest>
#include <memory>

#include "common/messages.h"
#include "delivery/job_end_notice.h"
#include "tests/support/private_bus.h"
#include "ui/desktop_notification.h"

namespace torvane {
namespace {

JobOutcome Outcome(JobOutcome::Result result, std::string lastError = {}) {
    JobOutcome outcome;
    outcome.result = result;
    outcome.lastError = std::move(lastError);
    return outcome;
}

// The arguments of every Notify call the stand-in received.
QList<QVariantList> NotifyCalls() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetMethodCalls"));
    call << QStringLiteral("Notify");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    QList<QVariantList> calls;
    if (reply.type() != QDBusMessage::ReplyMessage) return calls;
    const auto list = reply.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> time;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant argument;
            list >> argument;
            arguments << argument.variant();
        }
        list.endArray();
        list.endStructure();
        calls << arguments;
    }
    list.endArray();
    return calls;
}

}  // namespace

class NotificationTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::PrivateBus> bus_;

  private Q_SLOTS:
    void initTestCase() {
        bus_ = std::make_unique<test::PrivateBus>();
        QVERIFY(bus_->Running());
        QVERIFY(bus_->StartMock(QStringLiteral("notification_daemon"),
                                QStringLiteral("org.freedesktop.Notifications")));
    }
    void cleanupTestCase() { bus_.reset(); }

    void wordsForEachEnding() {
        using R = JobOutcome::Result;
        CardCareJob backup;
        backup.action = CardCareJob::Action::Backup;
        CardCareJob restore;
        restore.action = CardCareJob::Action::Restore;
        const struct {
            JobKind kind;
            JobOutcome outcome;
            std::string_view summary;  // empty: no notification
            std::string_view body;
        } cases[] = {
            {ContentInstallJob{}, Outcome(R::Completed), kNoticeInstallEnded, kNoticeJobDone},
            {ContentInstallJob{}, Outcome(R::Completed, "a file went missing"), kNoticeInstallEnded,
             kNoticeJobPartly},
            {UpdatePackageJob{}, Outcome(R::Stopped), kNoticeUpdateEnded, kNoticeJobFailed},
            {ContentInstallJob{}, Outcome(R::CardRemoved), kNoticeInstallEnded, kNoticeJobFailed},
            {ResetPackageJob{}, Outcome(R::Completed), kNoticeUpdateEnded, kNoticeJobDone},
            {backup, Outcome(R::Completed), kNoticeBackupEnded, kNoticeJobDone},
            {restore, Outcome(R::Stopped), kNoticeRestoreEnded, kNoticeJobFailed},
            {restore, Outcome(R::Cancelled), {}, {}},        // the parent stopped it himself
            {CardCareJob{}, Outcome(R::Completed), {}, {}},  // a check is quick
            {DiyFilesJob{}, Outcome(R::Completed), {}, {}},
        };
        for (const auto& c : cases) {
            const auto notice = NoticeOfJobEnd(AnnouncedJobOf(c.kind), c.outcome);
            QCOMPARE(notice.has_value(), !c.summary.empty());
            if (!notice) continue;
            QCOMPARE(notice->summary, std::string(c.summary));
            QCOMPARE(notice->body, std::string(c.body));
        }
    }

    void theDesktopReceivesTheNotification() {
        QVERIFY(ProgramInBackground());  // no window of the test has the keyboard
        QVERIFY(NotifyDesktop(QStringLiteral("카드 백업이 끝났습니다"),
                              QStringLiteral("모두 마쳤습니다.")));
        QTRY_COMPARE(NotifyCalls().size(), 1);
        const QVariantList call = NotifyCalls().first();
        QCOMPARE(call.size(), 8);
        QCOMPARE(call[0].toString(), QStringLiteral("Torvane"));
        QCOMPARE(call[3].toString(), QStringLiteral("카드 백업이 끝났습니다"));
        QCOMPARE(call[4].toString(), QStringLiteral("모두 마쳤습니다."));
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::NotificationTest)
#include "notification_test.moc"
