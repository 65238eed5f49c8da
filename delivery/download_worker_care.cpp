// The worker's card care mode: a check, a repair, a backup or a restore of the card, run on the
// engine's thread so that the window stays alive on a slow or large card.
#include "common/messages.h"
#include "delivery/card_backup.h"
#include "delivery/card_care.h"
#include "delivery/download_worker.h"
#include "delivery/job_runner.h"

namespace torvane {
namespace {

// Hands a repair's downloads on to the care job's own observer; the care job alone finishes.
class RepairDownloads final : public IJobObserver {
  public:
    explicit RepairDownloads(IJobObserver& next) : next_(next) {}
    void OnProgress(const JobProgress& progress) override { next_.OnProgress(progress); }
    void OnStorageChanged() override { next_.OnStorageChanged(); }

  private:
    IJobObserver& next_;
};

// The account's catalogue when signed in; without it (or when it cannot be read) the card is
// checked on its own.
std::optional<SignedInCatalogue> CatalogueIfSignedIn(const ServiceSession& session) {
    if (session.userId.empty()) return std::nullopt;
    ContentCatalogue catalogue;
    if (!catalogue.FetchCatalogue(session).ok()) return std::nullopt;
    return CatalogueForCare(catalogue);
}

}  // namespace

JobOutcome DownloadWorker::RunJob(const CardCareJob& job) {
    using Action = CardCareJob::Action;
    JobOutcome outcome;
    Update([](JobProgress& p) { p = JobProgress{}; });
    if (job.card == nullptr) {
        outcome.Fail(OutcomeKind::CardUnreadable, "[Error] no card");
        return outcome;
    }
    Card& card = *job.card;
    const auto failed = [&](const std::string& why) {
        outcome.lastError = why;
        SetStatus(why);
        messages_.Show(MessageKind::Error, why);
        return outcome;
    };
    const CareProgress bytes = [this](std::uint64_t done, std::uint64_t total) {
        Update([&](JobProgress& p) {
            p.overallDone = p.itemDone = done;
            p.overallTotal = p.itemTotal = total;
        });
    };

    switch (job.action) {
        case Action::Check:
        case Action::Repair: {
            const bool repair = job.action == Action::Repair;
            SetStatus(std::string(repair ? kMsgRepairingCard : kMsgCheckingCard));
            const std::optional<SignedInCatalogue> catalogue = CatalogueIfSignedIn(session_);
            RepairDownloads downloads(observer_);
            ThreadedJobRunner runner(session_, downloads, messages_, freeSpace_, &control_.cancel,
                                     job_.timing);
            runner.WorkUnder(cardLock_);
            CareReport report =
                CheckAndRepair(card, repair, catalogue ? &*catalogue : nullptr, &runner);
            if (repair && !report.problems.empty()) {
                outcome.cardChanged = true;
                observer_.OnStorageChanged();
            }
            const std::string said = report.Summary();
            if (job.report != nullptr) *job.report = std::move(report);
            return Finish(std::move(outcome), said);
        }
        case Action::Backup: {
            SetStatus(std::string(kMsgBackingUpCard));
            const Result<BackupManifest> written =
                BackupCard(card, job.archive, job.everything, &control_.cancel, bytes);
            if (control_.cancel.load()) return Finish(std::move(outcome), {});
            if (!written.ok()) return failed(written.message());
            const std::string said = BackupWritten(written.value().files.size(),
                                                   written.value().TotalBytes(), job.archive);
            outcome = Finish(std::move(outcome), said);
            messages_.Show(MessageKind::Information, said);
            return outcome;
        }
        case Action::PlanRestore: {
            SetStatus(std::string(kMsgCheckingBackup));
            Result<RestorePlan> planned = PlanRestore(card, job.archive, {job.force, &freeSpace_});
            if (control_.cancel.load()) return Finish(std::move(outcome), {});
            if (!planned.ok()) {
                outcome.failureKind = planned.kind();
                return failed(planned.message());
            }
            if (job.plan != nullptr) *job.plan = std::move(planned.value());
            return Finish(std::move(outcome), {});
        }
        case Action::Restore: {
            if (job.plan == nullptr) return failed(std::string(kMsgJobFailed));
            SetStatus(std::string(kMsgRestoringCard));
            bool writing = false;
            const CareProgress written = [&](std::uint64_t done, std::uint64_t total) {
                writing = true;
                bytes(done, total);
            };
            const Result<BackupManifest> restored =
                RestoreCard(card, *job.plan, &control_.cancel, written);
            outcome.cardChanged = writing;
            if (control_.cancel.load()) return Finish(std::move(outcome), {});
            if (!restored.ok()) {
                outcome.failureKind = restored.kind();
                return failed(restored.message());
            }
            observer_.OnStorageChanged();
            outcome = Finish(std::move(outcome), kMsgRestoreDone);
            messages_.Show(MessageKind::Information, kMsgRestoreDone);
            return outcome;
        }
    }
    return outcome;
}

}  // namespace torvane
