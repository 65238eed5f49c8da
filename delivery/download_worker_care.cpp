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
    JobOutcome outcome{.status = Status::Ok()};
    Update([](JobProgress& p) { p = JobProgress{}; });
    if (job.card == nullptr) {
        outcome.status = Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
        return outcome;
    }
    Card& card = *job.card;
    // Care says why it stopped on the dialog's status line too.
    const auto failed = [&](Status why) {
        SetStatus(why.message());
        outcome.status = std::move(why);
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
            ThreadedJobRunner threaded(session_, downloads, freeSpace_, &control_.cancel,
                                       job_.timing);
            threaded.WorkUnder(cardLock_);
            // What the contents installed again ended with is heard with the repair's end.
            SentenceKeepingRunner runner(threaded);
            CareReport report =
                CheckAndRepair(card, repair, catalogue ? &*catalogue : nullptr, &runner);
            if (repair && !report.problems.empty()) {
                outcome.cardChanged = true;
                observer_.OnStorageChanged();
            }
            const std::string said = report.Summary();
            if (job.report != nullptr) *job.report = std::move(report);
            Status end = Status::Ok();
            for (const Message& heard : runner.Said()) end.AddNote(heard);
            return Finish(std::move(outcome), said, std::move(end));
        }
        case Action::Backup: {
            SetStatus(std::string(kMsgBackingUpCard));
            const Result<BackupManifest> written =
                BackupCard(card, job.archive, job.everything, &control_.cancel, bytes);
            if (control_.cancel.load()) return Finish(std::move(outcome), {});
            if (!written.ok()) return failed(written.status());
            const Message said = Say(MessageId::BackupWritten, written.value().files.size(),
                                     written.value().TotalBytes(), job.archive);
            return Finish(std::move(outcome), MessageText(said), Status::Done(said));
        }
        case Action::PlanRestore: {
            SetStatus(std::string(kMsgCheckingBackup));
            Result<RestorePlan> planned = PlanRestore(card, job.archive, {job.force, &freeSpace_});
            if (control_.cancel.load()) return Finish(std::move(outcome), {});
            if (!planned.ok()) return failed(planned.status());
            if (job.plan != nullptr) *job.plan = std::move(planned.value());
            return Finish(std::move(outcome), {});
        }
        case Action::Restore: {
            if (job.plan == nullptr)
                return failed(Status::Failure(OutcomeKind::Failed, Say(MessageId::JobFailed)));
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
            if (!restored.ok()) return failed(restored.status());
            observer_.OnStorageChanged();
            return Finish(std::move(outcome), kMsgRestoreDone,
                          Status::Done(Say(MessageId::RestoreDone)));
        }
    }
    return outcome;
}

}  // namespace torvane
