// The install engine: runs one DownloadJob on a worker thread, reporting progress and the end of
// the job through an observer. It says nothing to the user while it runs: what the user must hear
// is the outcome's sentence and notes, told by the front end once the job has ended. The user
// interface thread may cancel or pause it at any time; destroying the worker cancels it, stops an
// extraction and waits for the thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "delivery/download_job.h"
#include "delivery/folder_tree.h"
#include "delivery/staged_arrivals.h"
#include "service/http_client.h"
#include "service/session.h"
#include "store/card.h"
#include "store/device_files.h"

namespace torvane {

class CMyZip;

class DownloadWorker final : public IFileProgressEvent {
  public:
    // The job's files come from `session`'s service; the worker keeps its own copy, so a sign-in
    // on the user interface thread never changes a download under way. The worker tells the user
    // nothing: what its job ended with is the outcome it reports.
    DownloadWorker(DownloadJob job, const ServiceSession& session, IJobObserver& observer,
                   const IFreeSpace& freeSpace);
    ~DownloadWorker() override;
    DownloadWorker(const DownloadWorker&) = delete;
    DownloadWorker& operator=(const DownloadWorker&) = delete;

    // Starts the job on its own thread; Wait joins it.
    void Start();
    void Wait();
    // Runs the job on the calling thread and returns how it ended (also told to OnFinished).
    JobOutcome Run();

    void Cancel();
    void SetPaused(bool paused) { control_.pause.store(paused); }
    bool Cancelled() const { return control_.cancel.load(); }
    JobOutcome Outcome() const;
    JobProgress Progress() const;

    // Adds a chunk to both done counts (downloads and copies report through it).
    void OnProgress(std::int32_t count) override;

  private:
    JobOutcome RunJob(ContentInstallJob& job);
    JobOutcome RunJob(const UpdatePackageJob& job) { return RunPackage(job, false, nullptr); }
    JobOutcome RunJob(const ResetPackageJob& job) { return RunPackage(job, true, job.keeper); }
    JobOutcome RunJob(DiyFilesJob& job);
    JobOutcome RunJob(const SingleCopyJob& job);
    JobOutcome RunJob(const CardCareJob& job);
    JobOutcome RunPackage(const SystemPackage& job, bool reset, IWipeKeeper* keeper);

    // One content's files downloaded into a staging folder of its own.
    struct StagedContent {
        int filesStaged = 0;  // -1 when the content was refused before anything was written
        bool goOn = true;     // false when the job must not go on after this content
        // Set when the content was left out: of what kind, and what the user hears of it.
        std::optional<OutcomeKind> leftOut;
        std::optional<Message> said;
    };
    // Stages one content, telling `arrivals` of each file; runs beside the copy of the content
    // before it.
    StagedContent StageContent(const ContentRecord& content, const std::string& staging,
                               StagedArrivals& arrivals);
    // Copies each file of a content into `batch` as soon as it is staged; stops at the first
    // file that did not arrive. False when a copy failed or the card left.
    bool CopyAsStaged(const ContentRecord& content, const std::string& staging,
                      StagedArrivals& arrivals, const CardAnchor& card, CardWriteBatch& batch,
                      const std::function<void()>& whenDownloaded);
    // Names the files of one whole staged content on the card and records it; false when the
    // job must stop.
    bool InstallStagedContent(const ContentRecord& content, CardWriteBatch& batch, Card& card,
                              JobOutcome& outcome);
    enum class FileResult { Arrived, CannotOpen, Failed };
    // Downloads into a new file at `path`; a file that did not arrive whole is deleted.
    FileResult DownloadFile(const std::string& url, const std::string& path, bool addOne,
                            std::optional<std::uint64_t> expectedBytes = std::nullopt);
    void WaitWhilePaused() const;
    // The job's own staging folder: the one the job names, else a fresh one of this job's own
    // below the private temporary folder, made on first use and removed when the job ends.
    std::string StagingFolder();
    // The end of a job that ran through: cancelled, or its last status line shown and, when
    // nothing was left out, `end` as its outcome.
    JobOutcome Finish(JobOutcome outcome, std::string_view finalStatus, Status end = Status::Ok());
    // A job that could not end whole because its card left is reported as such, once.
    JobOutcome AfterCardLeft(JobOutcome outcome);
    // The job left something out, of `kind`; it goes on, and ends failed with what it said.
    static void LeftOut(JobOutcome& outcome, OutcomeKind kind,
                        std::optional<Message> said = std::nullopt);
    // `end` as the job's outcome, followed by everything the job said before it.
    static void EndWith(JobOutcome& outcome, Status end);

    // The download ahead and the copy both report: one at a time, each snapshot in order.
    template <typename Change>
    void Update(Change change) {
        std::lock_guard reporting(reportMutex_);
        JobProgress snapshot;
        {
            std::lock_guard lock(mutex_);
            change(progress_);
            snapshot = progress_;
        }
        observer_.OnProgress(snapshot);
    }
    void SetStatus(std::string status) {
        Update([&](JobProgress& p) {
            p.status = std::move(status);
            p.subject.clear();
        });
    }
    // A status sentence about one content: the dialog's one line holds both, the terminal a line
    // for each.
    void SetStatusAbout(std::string_view sentence, const std::string& subject) {
        Update([&](JobProgress& p) {
            p.status = std::string(sentence) + subject;
            p.subject = subject;
        });
    }

    DownloadJob job_;
    // The card the job works on, held for the whole job (null for a copy to the computer).
    const std::shared_ptr<Card> card_;
    // The card's writer lock, held by the worker's thread from the job's start to its end.
    std::shared_ptr<CardLock> cardLock_;
    const ServiceSession session_;
    IJobObserver& observer_;
    const IFreeSpace& freeSpace_;
    DownloadControl control_;
    // Set when a copy failed: the content downloading ahead stops after its current file.
    std::atomic<bool> stopAhead_{false};
    FolderTree folders_;
    std::mutex reportMutex_;
    mutable std::mutex mutex_;
    std::optional<ScratchFolder> scratch_;
    JobProgress progress_;
    JobOutcome outcome_;
    CMyZip* extractor_ = nullptr;  // guarded by mutex_, so that Cancel can stop it
    std::thread thread_;
};

}  // namespace torvane
