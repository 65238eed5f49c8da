#include "delivery/job_runner.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "delivery/download_worker.h"

namespace torvane {
namespace {

// Hands the reports on and wakes the waiting thread when the job has ended.
class EndWatcher final : public IJobObserver {
  public:
    explicit EndWatcher(IJobObserver& next) : next_(next) {}
    void OnProgress(const JobProgress& progress) override { next_.OnProgress(progress); }
    void OnStorageChanged() override { next_.OnStorageChanged(); }
    void OnFinished(const JobOutcome& outcome) override {
        next_.OnFinished(outcome);
        std::lock_guard lock(mutex_);
        ended_ = true;
        condition_.notify_all();
    }
    // True once ended; waits at most `step`.
    bool WaitEnded(std::chrono::milliseconds step) {
        std::unique_lock lock(mutex_);
        return condition_.wait_for(lock, step, [this] { return ended_; });
    }

  private:
    IJobObserver& next_;
    std::mutex mutex_;
    std::condition_variable condition_;
    bool ended_ = false;
};

}  // namespace

JobOutcome ThreadedJobRunner::Run(DownloadJob job) {
    if (timing_) job.timing = *timing_;
    if (job.cardLock == nullptr) job.cardLock = lock_;
    EndWatcher watcher(observer_);
    DownloadWorker worker(std::move(job), session_, watcher, freeSpace_);
    worker.Start();
    while (!watcher.WaitEnded(std::chrono::milliseconds(50))) {
        if (interrupt_ != nullptr && interrupt_->load() && !worker.Cancelled()) worker.Cancel();
    }
    worker.Wait();
    return worker.Outcome();
}

JobOutcome SentenceKeepingRunner::Run(DownloadJob job) {
    JobOutcome outcome = inner_.Run(std::move(job));
    if (outcome.status.id() != MessageId::None) said_.push_back(outcome.status.said());
    for (const Message& note : outcome.status.notes()) said_.push_back(note);
    return outcome;
}

}  // namespace torvane
