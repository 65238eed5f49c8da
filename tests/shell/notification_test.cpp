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

JobOutcome Outcome(Status status) {
    return JobOutcome{.status = std::move(status)};
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
        const Status done = Status::Ok();
        const Status leftOut = Status::Failure(OutcomeKind::ServiceFailed, Message{});
        const Status cancelled = Status::Failure(OutcomeKind::Cancelled, Message{});
        const Status cardLeft =
            Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
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
            {ContentInstallJob{}, Outcome(done), kNoticeInstallEnded, kNoticeJobDone},
            // A file went missing: the install went through its contents but one is left out.
            {ContentInstallJob{}, Outcome(leftOut), kNoticeInstallEnded, kNoticeJobPartly},
            {ContentInstallJob{},
             Outcome(Status::Failure(OutcomeKind::CardFull, Say(MessageId::NotEnoughSpace))),
             kNoticeInstallEnded, kNoticeJobFailed},
            // A package is one thing: one that did not arrive failed.
            {UpdatePackageJob{}, Outcome(leftOut), kNoticeUpdateEnded, kNoticeJobFailed},
            {ContentInstallJob{}, Outcome(cardLeft), kNoticeInstallEnded, kNoticeJobFailed},
            {ResetPackageJob{}, Outcome(Status::Done(Say(MessageId::InsertCard))),
             kNoticeUpdateEnded, kNoticeJobDone},
            {backup, Outcome(done), kNoticeBackupEnded, kNoticeJobDone},
            {restore, Outcome(Status::Failure(OutcomeKind::Failed, Say(MessageId::BackupDamaged))),
             kNoticeRestoreEnded, kNoticeJobFailed},
            {restore, Outcome(cancelled), {}, {}},   // the parent stopped it himself
            {CardCareJob{}, Outcome(done), {}, {}},  // a check is quick
            {DiyFilesJob{}, Outcome(done), {}, {}},
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
