// Runs a job on the engine's worker thread and waits for it: the runner of torvane-cli and of
// the tests. The desktop app runs jobs in its download dialog instead.
#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include "delivery/download_job.h"
#include "service/session.h"

namespace torvane {

class ThreadedJobRunner final : public IJobRunner {
  public:
    // `interrupt` (may be null) is watched while the job runs; once set, the job is cancelled as
    // the dialog's cancel button does. `timing` replaces the job's own waits when given.
    ThreadedJobRunner(const ServiceSession& session, IJobObserver& observer,
                      const IFreeSpace& freeSpace, const std::atomic<bool>* interrupt = nullptr,
                      std::optional<JobTiming> timing = std::nullopt)
        : session_(session),
          observer_(observer),
          freeSpace_(freeSpace),
          interrupt_(interrupt),
          timing_(timing) {}

    JobOutcome Run(DownloadJob job) override;
    // The card's writer lock the caller holds around the jobs it runs here (a repair installing
    // contents again, a command that changed the card first): its jobs work under it instead of
    // waiting for it.
    void WorkUnder(std::shared_ptr<CardLock> lock) { lock_ = std::move(lock); }

  private:
    const ServiceSession& session_;
    IJobObserver& observer_;
    const IFreeSpace& freeSpace_;
    const std::atomic<bool>* interrupt_;
    std::optional<JobTiming> timing_;
    std::shared_ptr<CardLock> lock_;
};

// Runs each job through another runner and keeps every sentence the jobs ended with (each one's
// sentence, then its notes), for work that runs jobs inside it, such as a repair installing
// contents again: the user hears them with that work's own end.
class SentenceKeepingRunner final : public IJobRunner {
  public:
    explicit SentenceKeepingRunner(IJobRunner& inner) : inner_(inner) {}
    JobOutcome Run(DownloadJob job) override;
    const std::vector<Message>& Said() const { return said_; }

  private:
    IJobRunner& inner_;
    std::vector<Message> said_;
};

// An observer that ignores every report.
class NullJobObserver final : public IJobObserver {
  public:
    void OnProgress(const JobProgress&) override {}
};

}  // namespace torvane
