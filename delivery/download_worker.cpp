// The worker's frame and the content mode: each content is staged whole below the staging folder,
// then copied onto the card in one walk, its folder's card tables rebuilt and the database saved.
#include "delivery/download_worker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <future>
#include <numeric>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/my_zip.h"
#include "store/card_write_batch.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

constexpr std::size_t kStagingWriteBuffer = std::size_t{1} << 20;

std::uint64_t ContentBytes(const ContentRecord& content) {
    std::uint64_t sum = 0;
    for (const FileRecord& file : content.files) sum += static_cast<std::uint32_t>(file.size);
    return sum;
}

// Why the card's database could not keep a content of the catalogue; empty when it can. A number
// whose first letter files it on no shelf would vanish at the next load and leave its files
// undeletable; a file named with a leading "." is passed over by the copy; a file named like a
// card table or database would be copied over it.
std::string WhyNotInstallable(const ContentRecord& content) {
    if (!ShelfForContentNo(content.contentNo, content.subGroup))
        return "its number files it on no shelf";
    for (const FileRecord& file : content.files) {
        const std::string name = ToLowerAscii(DeviceFileName(file.name));
        if (!name.empty() && name.front() == '.')
            return "a file name begins with \".\": " + file.name;
        for (const std::string_view reserved :
             {"rfid.tbl", "sw.tbl", "rec.tbl", "default.dat", "diy.dat", "info.dat"})
            if (name == reserved) return "a file is named like a card table: " + file.name;
    }
    return {};
}

std::shared_ptr<Card> CardOf(const JobKind& kind) {
    return std::visit(
        [](const auto& job) -> std::shared_ptr<Card> {
            if constexpr (requires { job.card; })
                return job.card;
            else
                return nullptr;
        },
        kind);
}

}  // namespace

std::optional<std::uint64_t> StatvfsFreeSpace::FreeBytes(const std::string& folder) const {
    struct statvfs info {};
    if (folder.empty() || ::statvfs(folder.c_str(), &info) != 0 || info.f_blocks == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

DownloadWorker::DownloadWorker(DownloadJob job, const ServiceSession& session,
                               IJobObserver& observer, const IFreeSpace& freeSpace)
    : job_(std::move(job)),
      card_(CardOf(job_.kind)),
      session_(session),
      observer_(observer),
      freeSpace_(freeSpace),
      folders_(&control_.cancel) {}

DownloadWorker::~DownloadWorker() {
    Cancel();
    Wait();
}

void DownloadWorker::Start() {
    thread_ = std::thread([this] { Run(); });
}

void DownloadWorker::Wait() {
    if (thread_.joinable()) thread_.join();
}

void DownloadWorker::Cancel() {
    control_.cancel.store(true);
    control_.pause.store(false);
    std::lock_guard lock(mutex_);
    if (extractor_ != nullptr) extractor_->Stop();
}

JobOutcome DownloadWorker::Outcome() const {
    std::lock_guard lock(mutex_);
    return outcome_;
}

JobProgress DownloadWorker::Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

void DownloadWorker::OnProgress(std::int32_t count) {
    // A download for a card that was pulled is not worth finishing.
    if (card_ != nullptr && card_->Removed()) control_.cancel.store(true);
    const auto bytes = static_cast<std::uint64_t>(std::max(count, 0));
    Update([bytes](JobProgress& p) {
        p.overallDone += bytes;
        p.itemDone += bytes;
    });
}

JobOutcome DownloadWorker::Run() {
    JobOutcome outcome;
    // One writer at a time: a second job or program on this card waits, then refuses untouched;
    // a backup holds the card still for its whole read.
    cardLock_ = job_.cardLock;
    if (card_ != nullptr && cardLock_ == nullptr) cardLock_ = card_->Lock(job_.timing.cardLockWait);
    if (card_ != nullptr && cardLock_ == nullptr) {
        outcome.status = Status::Failure(OutcomeKind::Refused, Say(MessageId::CardBusy));
        SetStatus(std::string(kMsgCardBusy));
    } else {
        outcome = std::visit([this](auto& job) { return RunJob(job); }, job_.kind);
        outcome = AfterCardLeft(std::move(outcome));
    }
    cardLock_.reset();
    scratch_.reset();
    {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
    }
    observer_.OnFinished(outcome);
    return outcome;
}

std::string DownloadWorker::StagingFolder() {
    if (!job_.stagingFolder.empty()) return job_.stagingFolder;
    if (!scratch_) scratch_.emplace("job");
    return scratch_->path();
}

void DownloadWorker::WaitWhilePaused() const {
    while (control_.pause.load() && !control_.cancel.load()) {
        std::this_thread::sleep_for(job_.timing.pausePoll);
    }
}

DownloadWorker::FileResult DownloadWorker::DownloadFile(
    const std::string& url, const std::string& path, bool addOne,
    std::optional<std::uint64_t> expectedBytes) {
    // A new file of the job's own: never one that is there already, never through a symlink.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) ::close(fd);
        return FileResult::CannotOpen;
    }
    // Large writes: the service's chunks are small next to the sound files.
    std::setvbuf(file, nullptr, _IOFBF, kStagingWriteBuffer);
    WaitWhilePaused();
    HttpLimits limits;
    limits.pausePoll = job_.timing.pausePoll;
    limits.expectedBytes = expectedBytes;
    // A download the cancel flag stopped is told by the flag, which the caller reads itself.
    const Status got = DownloadToFile(session_, url, file, this, &control_, addOne, limits);
    const bool downloaded = got.ok() || got.kind() == OutcomeKind::Cancelled;
    const bool closed = std::fclose(file) == 0;
    // A file that did not arrive whole must never reach the card.
    if (!downloaded || !closed) {
        std::remove(path.c_str());
        return FileResult::Failed;
    }
    return FileResult::Arrived;
}

void DownloadWorker::LeftOut(JobOutcome& outcome, OutcomeKind kind, std::optional<Message> said) {
    EndWith(outcome, Status::Failure(kind, Message{}));
    if (said) outcome.status.AddNote(std::move(*said));
}

void DownloadWorker::EndWith(JobOutcome& outcome, Status end) {
    if (outcome.status.id() != MessageId::None) end.AddNote(outcome.status.said());
    for (const Message& note : outcome.status.notes()) end.AddNote(note);
    outcome.status = std::move(end);
}

JobOutcome DownloadWorker::AfterCardLeft(JobOutcome outcome) {
    if (outcome.status.ok() || card_ == nullptr || (!card_->Removed() && card_->Present()))
        return outcome;
    EndWith(outcome,
            Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob)));
    SetStatus(std::string(kMsgCardRemovedDuringJob));
    return outcome;
}

JobOutcome DownloadWorker::Finish(JobOutcome outcome, std::string_view finalStatus, Status end) {
    if (control_.cancel.load()) {
        EndWith(outcome, Status::Failure(OutcomeKind::Cancelled, Message{}));
        return outcome;
    }
    // The last sentence follows the outcome: a job that left something out did not complete.
    const bool whole = outcome.status.ok();
    Update([&](JobProgress& p) {
        p.status = whole ? finalStatus : kMsgJobFailed;
        p.subject.clear();
        p.finished = true;
        p.overallDone = p.overallTotal;
        p.itemDone = p.itemTotal;
    });
    std::this_thread::sleep_for(job_.timing.atEnd);
    if (whole) outcome.status = std::move(end);
    return outcome;
}

JobOutcome DownloadWorker::RunJob(ContentInstallJob& job) {
    JobOutcome outcome{.status = Status::Ok()};
    // Everything goes to the card the job was given, even if another card has been chosen since
    // the job started; once that card leaves, nothing more is written anywhere.
    const std::shared_ptr<Card> card = job.card;
    if (card == nullptr || card->root().empty()) {
        outcome.status = Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
        return outcome;
    }
    const std::string staging = StagingFolder();
    if (staging.empty()) {
        outcome.status = Status::Failure(OutcomeKind::Failed, Message{});
        return outcome;
    }
    std::uint64_t totalBytes = 0;
    for (const ContentRecord& content : job.contents) totalBytes += ContentBytes(content);
    Update([&](JobProgress& p) {
        p = JobProgress{};
        p.overallTotal = totalBytes;
    });

    // A file system that cannot tell its free space (some FUSE drivers) is not checked; a card
    // that fills up then fails the copy instead.
    const std::uint64_t neededKb = totalBytes / 1024;
    const auto freeBytes = freeSpace_.FreeBytes(card->root());
    if (freeBytes && *freeBytes / 1024 <= neededKb) {
        outcome.status = Status::Failure(OutcomeKind::CardFull, Say(MessageId::NotEnoughSpace));
        return outcome;
    }

    // Two staging folders: the next content downloads into one while the content before it is
    // copied from the other onto the card, so the network and the card each wait only for
    // themselves. Never more than one content is downloaded ahead, and the contents reach the
    // card and its database in the job's order.
    const std::string slots[2] = {staging + "/0", staging + "/1"};
    for (const std::string& slot : slots) ::mkdir(slot.c_str(), 0700);
    StagedArrivals arrivals[2];
    stopAhead_.store(false);
    const auto stage = [this, &job, &slots, &arrivals](std::size_t index) {
        arrivals[index % 2].Restart();
        return std::async(std::launch::async, [this, &job, &slots, &arrivals, index] {
            StagedArrivals& told = arrivals[index % 2];
            // However the download ends, the copy waiting for its files is let go.
            const std::unique_ptr<StagedArrivals, void (*)(StagedArrivals*)> ended(
                &told, [](StagedArrivals* a) { a->Ended(); });
            return StageContent(job.contents[index], slots[index % 2], told);
        });
    };
    std::future<StagedContent> ahead;
    if (!job.contents.empty()) ahead = stage(0);
    for (std::size_t i = 0; i < job.contents.size(); ++i) {
        const ContentRecord& content = job.contents[i];
        // The content's files go to the card as they arrive; the next content starts downloading
        // as soon as this one's download ended.
        std::optional<StagedContent> staged;
        // A cancel before the content's download ended leaves it out; one after it lets its copy
        // end whole and recorded (a content half on the card would hold files no record lets
        // anyone delete).
        bool cancelled = false;
        const auto downloaded = [&] {
            if (staged) return;
            staged = ahead.get();
            cancelled = control_.cancel.load();
            if (staged->goOn && i + 1 < job.contents.size() && !cancelled) ahead = stage(i + 1);
        };
        CardWriteBatch batch;
        const bool copied =
            CopyAsStaged(content, slots[i % 2], arrivals[i % 2], card->anchor(), batch, downloaded);
        if (!copied) stopAhead_.store(true);
        downloaded();
        if (staged->leftOut) LeftOut(outcome, *staged->leftOut, staged->said);
        if (cancelled) break;
        if (!copied) {
            outcome.cardChanged = true;  // its folders may have been made
            LeftOut(outcome, card->Present() ? OutcomeKind::CardFull : OutcomeKind::CardUnreadable);
            break;
        }
        // Only a content all of whose files arrived goes to the card and into its database:
        // a content recorded with a missing file would be skipped by the retry as installed.
        const bool whole = staged->filesStaged == static_cast<int>(content.files.size());
        const bool installed = !whole || InstallStagedContent(content, batch, *card, outcome);
        batch.Discard();
        EmptyFolderTree(slots[i % 2]);
        if (!installed || control_.cancel.load() || !staged->goOn) break;
        Update([](JobProgress& p) { p.itemDone = p.itemTotal; });
        std::this_thread::sleep_for(job_.timing.betweenContents);
    }
    // A content still downloading ahead of a stop is thrown away whole.
    if (ahead.valid()) {
        stopAhead_.store(true);
        ahead.wait();
    }
    EmptyFolderTree(staging);
    if (control_.cancel.load()) return Finish(std::move(outcome), {});
    observer_.OnStorageChanged();
    return Finish(std::move(outcome), kMsgDownloadDone);
}

bool DownloadWorker::CopyAsStaged(const ContentRecord& content, const std::string& staging,
                                  StagedArrivals& arrivals, const CardAnchor& card,
                                  CardWriteBatch& batch,
                                  const std::function<void()>& whenDownloaded) {
    FolderTree copy;
    for (std::size_t k = 0; k < content.files.size() && arrivals.WaitFor(k); ++k) {
        const auto relative = ContentFilePath(content, content.files[k]);
        if (!relative || !copy.CopyFileInto(batch, staging + "/" + *relative,
                                            card.root() + "/" + *relative, card))
            return false;
        if (arrivals.HasEnded()) whenDownloaded();
    }
    return true;
}

bool DownloadWorker::InstallStagedContent(const ContentRecord& content, CardWriteBatch& batch,
                                          Card& card, JobOutcome& outcome) {
    if (!card.Present()) {
        LeftOut(outcome, OutcomeKind::CardUnreadable);
        return false;
    }
    SetStatusAbout(kMsgCopyingToDevice, content.title);
    Update([](JobProgress& p) { p.itemDone = 0; });
    outcome.cardChanged = true;
    // The files, the folder's tables or the database the card did not take.
    if (!batch.Commit() || !RebuildFolderTables(content.mainGroup, card.anchor())) {
        LeftOut(outcome, OutcomeKind::CardFull);
        return false;
    }
    CDefaultXML& database = card.database();
    if (database.AddContent(content)) {
        if (!database.Save().ok()) {
            LeftOut(outcome, OutcomeKind::CardFull);
            return false;
        }
        outcome.addedContentNos.push_back(content.contentNo);
    }
    return true;
}

// Downloads the files of one content into its staging folder.
DownloadWorker::StagedContent DownloadWorker::StageContent(const ContentRecord& content,
                                                           const std::string& staging,
                                                           StagedArrivals& arrivals) {
    StagedContent staged;
    SetStatus("'" + content.title + std::string(kMsgDownloadingSuffix));
    const std::uint64_t bytes = ContentBytes(content);
    Update([bytes](JobProgress& p) {
        p.itemTotal = bytes;
        p.itemDone = 0;
    });
    // Contents the card's database cannot keep are refused before anything is downloaded.
    if (const std::string why = WhyNotInstallable(content); !why.empty()) {
        staged.leftOut = OutcomeKind::Failed;
        staged.said = Say(MessageId::ContentNotInstallable, content.contentNo, why);
        staged.filesStaged = -1;
        return staged;
    }
    std::vector<std::string> paths;
    for (const FileRecord& file : content.files) {
        // A file is staged where it will lie on the card.
        auto relative = ContentFilePath(content, file);
        if (!relative) {
            staged.leftOut = OutcomeKind::Failed;
            staged.filesStaged = -1;
            return staged;
        }
        paths.push_back(staging + "/" + *relative);
    }
    // The staging folder's own tree: the copy beside it keeps the job's.
    FolderTree folders(&control_.cancel);
    for (std::size_t i = 0; i < content.files.size(); ++i) {
        if (control_.cancel.load() || stopAhead_.load()) {
            staged.goOn = false;
            return staged;
        }
        const FileRecord& file = content.files[i];
        folders.MakeParentDirectories(paths[i]);
        const auto listed = file.size > 0 ? std::optional<std::uint64_t>(file.size) : std::nullopt;
        const FileResult result = DownloadFile(file.fileUrl, paths[i], true, listed);
        if (result != FileResult::Arrived) {
            // A file the service did not hand over whole is the service's failure; one the
            // computer could not save is not.
            staged.leftOut =
                result == FileResult::CannotOpen ? OutcomeKind::Failed : OutcomeKind::ServiceFailed;
            staged.goOn = false;
            return staged;
        }
        if (control_.cancel.load()) {
            staged.goOn = false;
            return staged;
        }
        ++staged.filesStaged;
        arrivals.Arrived();
    }
    return staged;
}

}  // namespace torvane
