#include "tests/update/background_job_runner.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <thread>

#include "base/outcome_telling.h"
#include "delivery/job_runner.h"

namespace torvane {
namespace {

// Passes the engine's reports to the window's thread as queued signals.
class QueuedProgress final : public IJobObserver {
  public:
    explicit QueuedProgress(BackgroundJobRunner& runner) : runner_(runner) {}
    void OnProgress(const JobProgress& progress) override {
        const QString status = QString::fromStdString(progress.status);
        const int percent = progress.OverallPercent();
        BackgroundJobRunner* runner = &runner_;
        QMetaObject::invokeMethod(
            runner, [runner, status, percent] { Q_EMIT runner->progressed(status, percent); },
            Qt::QueuedConnection);
    }

  private:
    BackgroundJobRunner& runner_;
};

}  // namespace

BackgroundJobRunner::BackgroundJobRunner(const ServiceSession& session, IMessageSink& messages,
                                         QObject* parent)
    : QObject(parent), session_(session), messages_(messages) {}

JobOutcome BackgroundJobRunner::Run(DownloadJob job) {
    running_ = true;
    QueuedProgress progress(*this);
    StatvfsFreeSpace freeSpace;
    ThreadedJobRunner engine(session_, progress, freeSpace);
    JobOutcome outcome;
    QEventLoop loop;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    std::thread worker([&] {
        outcome = engine.Run(std::move(job));
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QApplication::restoreOverrideCursor();
    // Reports queued after the end are dropped with the loop; the last one was the end anyway.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    running_ = false;
    // What the job says at its end, as the download dialog tells it once the job has ended.
    TellOutcome(messages_, outcome.status);
    return outcome;
}

}  // namespace torvane
