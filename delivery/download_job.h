// One long job on the card: what to do (DownloadJob), what the engine reports while it runs
// (IJobObserver) and how it ended (JobOutcome). The desktop app's download dialog runs a job on
// its worker thread and turns the reports into queued signals; torvane-cli prints them.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "common/status.h"
#include "store/card_anchor.h"
#include "store/card_lock.h"
#include "store/content_record.h"

namespace torvane {

class Card;
struct CareReport;
struct RestorePlan;

// Waits the engine makes so that the user sees a full bar before the next step; the command line
// and the tests need none of them.
struct JobTiming {
    std::chrono::milliseconds betweenContents{500};
    std::chrono::milliseconds atEnd{300};
    std::chrono::milliseconds pausePoll{500};
    // How long the job waits for another writer of its card before it refuses.
    std::chrono::milliseconds cardLockWait = kCardLockWait;
    static JobTiming Immediate() {
        JobTiming timing;
        timing.betweenContents = timing.atEnd = std::chrono::milliseconds(0);
        timing.pausePoll = std::chrono::milliseconds(20);
        return timing;
    }
};

// Every job holds the card it works on: a card pulled or swapped while the job runs stays alive
// for the job, which then stops before its next write instead of writing anywhere.

// Bought contents from the service onto the card, in job order, recorded in the card's database.
struct ContentInstallJob {
    std::vector<ContentRecord> contents;
    std::shared_ptr<Card> card;
};

// A system package from the service (saved name, address, size) and the card it is unpacked on
// (any removable drive: a blank card has no database yet).
struct SystemPackage {
    FileRecord package;
    std::shared_ptr<Card> card;
};
// Unpacked over the card, keeping the card's content database.
struct UpdatePackageJob : SystemPackage {};
// What a reset carries through its wipe (the parent's recordings), told on the engine's thread.
class IWipeKeeper {
  public:
    virtual ~IWipeKeeper() = default;
    // Just before the card at `root` is wiped, once the package is known to open; a failure
    // stops the job with the card untouched.
    virtual Status BeforeWipe(const std::string& root) = 0;
    // The wipe begins: from here on what was kept exists nowhere else until it is put back.
    virtual void WipeStarting() {}
    // Once the card was wiped, whether the package went on whole or stopped half-way; what the
    // user must hear is the outcome's sentence and notes, told with the job's end. Nothing is put
    // back once the card is not the one wiped.
    virtual Status AfterWipe(const CardAnchor& card) = 0;
};
// Unpacked onto a wiped card; `keeper` (may be null) keeps what exists nowhere else.
struct ResetPackageJob : SystemPackage {
    IWipeKeeper* keeper = nullptr;
};

// The user's recordings into a DIY card's slots: the card's position (1 for card 92100001), the
// first slot (0 to 3), and the card whose DIY database records them.
struct DiyFilesJob {
    std::vector<std::string> sources;
    int cardPosition = 0;
    int firstSlot = 0;
    std::shared_ptr<Card> card;
};

// One file copied (a DIY slot saved to the computer).
struct SingleCopyJob {
    std::string source;
    std::string destination;
};

// Care of the card: a check with or without its repair (signed in, the card is compared
// with the account's catalogue and missing files come again), a backup to `archive` or a restore
// from it. A check and a repair leave what they found in `report`.
struct CardCareJob {
    // PlanRestore reads and checks the backup into `plan` and writes nothing; Restore writes the
    // plan the user confirmed.
    enum class Action { Check, Repair, Backup, Restore, PlanRestore };
    Action action = Action::Check;
    std::shared_ptr<Card> card;
    std::string archive;
    bool everything = false;  // a backup of every file of the card
    bool force = false;       // a restore onto a card of another sound type
    CareReport* report = nullptr;
    RestorePlan* plan = nullptr;
};

using JobKind = std::variant<ContentInstallJob, UpdatePackageJob, ResetPackageJob, DiyFilesJob,
                             SingleCopyJob, CardCareJob>;

struct DownloadJob {
    DownloadJob() = default;
    explicit DownloadJob(JobKind what, JobTiming waits = {}, std::string staging = {})
        : kind(std::move(what)), timing(waits), stagingFolder(std::move(staging)) {}

    JobKind kind;
    JobTiming timing;
    // Where contents and packages are staged before they go to the card; empty: a fresh folder
    // of the job's own in the user's private temporary folder, removed when the job ends.
    std::string stagingFolder;
    // The card's writer lock when the caller already holds it for work around the job; empty:
    // the job takes it itself, and holds it from its first read of the card to its end.
    std::shared_ptr<CardLock> cardLock;
};

// Byte counts in the content and package modes, file counts in the DIY and copy modes.
struct JobProgress {
    std::uint64_t overallTotal = 0;
    std::uint64_t overallDone = 0;
    std::uint64_t itemTotal = 0;
    std::uint64_t itemDone = 0;
    std::string status;
    // The content the status sentence is about, at its end ("…복사합니다." and the title); empty
    // when the sentence is about nothing in particular.
    std::string subject;
    // The job's last report: its status is the job's end sentence, which a front end that words
    // the outcome itself leaves out.
    bool finished = false;

    // The status without its subject.
    std::string_view Sentence() const {
        return std::string_view(status).substr(0, status.size() - subject.size());
    }
    int OverallPercent() const { return Percent(overallDone, overallTotal); }
    int ItemPercent() const { return Percent(itemDone, itemTotal); }
    static int Percent(std::uint64_t done, std::uint64_t total) {
        return total == 0 ? 0 : static_cast<int>(done * 100 / total);
    }
};

// How a job ended, in the one outcome type every step of the core reports with. Done when the job
// ran whole, with the sentence the parent reads then when there is one (an update's "restart and
// put the card back", a backup's size). A failure that names its sentence stopped the job and says
// why (no room, the card left or was busy, a package that does not open); a failure without one
// ran to its end but left something out, and its notes say what where the parent must hear it (a
// content the card's database cannot keep). Cancelled when the user stopped it; refused without a
// sentence when it never ran. The engine says none of this while it runs: each front end tells it
// once the job has ended.
struct JobOutcome {
    Status status = Status::Failure(OutcomeKind::Refused, Message{});
    // Content: the numbers added to the card's database, in job order.
    std::vector<std::string> addedContentNos{};
    // Something was written to the card (the window then reads it again).
    bool cardChanged = false;

    // The job went through everything it was given, whether or not each part arrived: done, or
    // failed without a reason of its own.
    bool Completed() const {
        const OutcomeKind kind = status.kind();
        return status.ok() || (kind != OutcomeKind::Cancelled && kind != OutcomeKind::Refused &&
                               status.id() == MessageId::None);
    }
};

// Told from the engine's thread; implementations hand the reports on to their own thread.
class IJobObserver {
  public:
    virtual ~IJobObserver() = default;
    virtual void OnProgress(const JobProgress& progress) = 0;
    // The card's content changed: the page recounts its free space.
    virtual void OnStorageChanged() {}
    virtual void OnFinished(const JobOutcome& outcome) { (void)outcome; }
};

// Free space of the file system holding a folder. Tests replace it.
class IFreeSpace {
  public:
    virtual ~IFreeSpace() = default;
    // Nothing when the file system does not tell.
    virtual std::optional<std::uint64_t> FreeBytes(const std::string& folder) const = 0;
};

// statvfs of the folder: the bytes an unprivileged user may still write; nothing when the file
// system reports no size at all.
class StatvfsFreeSpace final : public IFreeSpace {
  public:
    std::optional<std::uint64_t> FreeBytes(const std::string& folder) const override;
};

// Runs a job to its end: the desktop app shows its download dialog, torvane-cli a progress line,
// tests run it at once. The rules of the pages' actions build jobs and hand them to a runner.
class IJobRunner {
  public:
    virtual ~IJobRunner() = default;
    virtual JobOutcome Run(DownloadJob job) = 0;
};

}  // namespace torvane
