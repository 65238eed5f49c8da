// The worker's package, DIY and copy modes.
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/download_worker.h"
#include "delivery/my_zip.h"
#include "store/card_paths.h"
#include "store/device_clock.h"
#include "store/device_files.h"
#include "store/diy_xml.h"

namespace fs = std::filesystem;

namespace torvane {
namespace {

// Whether a name can go into rec.tbl and onto the card as it is: ASCII letters, digits, "-" and
// "_", a dot after the first character, and characters CP949 holds; never rec.tbl's separators
// ("|", "^", line breaks), a blank (a slot of one blank is an empty slot) or bytes that are not
// UTF-8.
bool IsSafeDeviceName(std::string_view utf8) {
    if (utf8.empty() || utf8.front() == '.') return false;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && !std::isalnum(byte) && c != '-' && c != '_' && c != '.') return false;
    }
    const std::string cp949 = Utf8ToCp949(utf8);
    return cp949.find('?') == std::string::npos && Cp949ToUtf8(cp949) == utf8;
}

// The card's name for a recording: its base name when it is safe and the device can show it (at
// most 8 bytes in the device's code page), else the card's number; then the source's extension
// when it is safe too. The file is copied and recorded under this one name.
std::string DiyDeviceName(const std::string& base, const std::string& extension, long cardNo) {
    std::string name =
        IsSafeDeviceName(base) && Utf8ToCp949(base).size() <= 8 ? base : std::to_string(cardNo);
    if (!extension.empty() && IsSafeDeviceName(extension)) name += "." + extension;
    return name;
}

// Whether the card's root holds its database, under either spelling: the card's FAT file system
// does not tell "Default.dat" from "default.dat".
bool HoldsDatabase(const std::string& root) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root, error)) {
        if (card_paths::FatName(entry.path().filename().string()) ==
                card_paths::FatName(card_paths::kDatabase) &&
            entry.is_regular_file(error))
            return true;
    }
    return false;
}

}  // namespace

JobOutcome DownloadWorker::RunPackage(const SystemPackage& job, bool reset, IWipeKeeper* keeper) {
    JobOutcome outcome{.status = Status::Ok()};
    const auto size = static_cast<std::uint64_t>(static_cast<std::uint32_t>(job.package.size));
    Update([size](JobProgress& p) {
        p = JobProgress{};
        p.overallTotal = p.itemTotal = size;
    });
    const std::string temp = StagingFolder();
    const std::shared_ptr<Card> card = job.card;
    if (card == nullptr || card->root().empty() || temp.empty() ||
        !IsPlainComponent(job.package.savedName)) {
        outcome.status = Status::Failure(OutcomeKind::Failed, Message{});
        return outcome;
    }
    const std::string local = temp + "/" + job.package.savedName;
    const FileResult fetched = DownloadFile(job.package.fileUrl, local, false);
    if (fetched != FileResult::Arrived) {
        // A package the service did not hand over whole is the service's failure; one the
        // computer could not save is not.
        outcome.status = Status::Failure(
            fetched == FileResult::Failed ? OutcomeKind::ServiceFailed : OutcomeKind::Failed,
            Message{});
        return outcome;
    }
    if (control_.cancel.load()) {
        std::remove(local.c_str());
        return Finish(std::move(outcome), {});
    }

    CMyZip zip;
    // A reset writes the package's own database on purpose: from here the card is told from
    // another by its root alone, and it must be read again before its database is saved.
    if (reset) card->AcceptDatabaseFile();
    zip.WriteOnto(&card->anchor());
    // An update package brings a blank database (and may bring a reset's blank recording table):
    // what only this card holds is never unpacked over, so that an update can neither empty the
    // database nor leave the parent's recordings without the table that plays them. A card
    // without a database is not taken for the device at all: there the package's own is put.
    const bool keepsDatabase = !reset && HoldsDatabase(card->root());
    if (!reset && !keepsDatabase) card->AcceptDatabaseFile();
    if (!reset)
        for (std::string& owned : card_paths::OwnedByTheCard())
            if (keepsDatabase || owned != card_paths::kDatabase) zip.LeaveOut(std::move(owned));
    {
        std::lock_guard lock(mutex_);
        extractor_ = &zip;
        if (control_.cancel.load()) zip.Stop();
    }
    // The card is wiped only once the package is known to be a readable archive, and only once
    // what the reset keeps is safe off the card. A package that does not open ends the job: the
    // same file opened again would not open either.
    Status unpacked = zip.OpenArchive(local);
    if (unpacked.ok() && reset && keeper != nullptr) {
        SetStatus(std::string(kMsgKeepingRecordings));
        if (Status kept = keeper->BeforeWipe(card->root()); !kept.ok()) {
            zip.CloseArchive();
            unpacked = std::move(kept);
        }
    }
    // Nothing is wiped or unpacked on a card that left while the package downloaded.
    if (unpacked.ok() && !card->Present()) {
        zip.CloseArchive();
        unpacked = Status::Failure(OutcomeKind::CardUnreadable, Message{});
    }
    const bool opened = unpacked.ok();
    const bool wiped = opened && reset;
    outcome.cardChanged = opened;
    if (opened) {
        if (wiped && keeper != nullptr) keeper->WipeStarting();
        if (wiped) EmptyFolderTree(card->root());
        Update([](JobProgress& p) {
            p.status = kMsgResetting;
            p.overallDone = p.overallTotal;
            p.itemDone = p.itemTotal / 2;
        });
        unpacked = zip.ExtractAll(card->root(), reset ? 2 : 1);
        zip.CloseArchive();
        if (!zip.LeftOutEntries().empty()) {
            std::string kept(kMsgUpdateKeptCardFiles);
            for (std::size_t i = 0; i < zip.LeftOutEntries().size(); ++i)
                kept += (i > 0 ? ", " : "") + zip.LeftOutEntries()[i];
            SetStatus(std::move(kept));
        }
    }
    {
        std::lock_guard lock(mutex_);
        extractor_ = nullptr;
    }
    std::remove(local.c_str());
    // Put back whenever the wipe happened, even when the unpacking stopped half-way; what the
    // put-back says follows why the unpacking stopped, and a put-back that failed is what the
    // parent must read first.
    Status putBack = Status::Ok();
    if (wiped && keeper != nullptr) {
        SetStatus(std::string(kMsgPuttingBackRecordings));
        putBack = keeper->AfterWipe(card->anchor());
    }
    if (control_.cancel.load()) {
        EndWith(outcome, std::move(putBack));
        return Finish(std::move(outcome), {});
    }
    if (!putBack.ok() || !unpacked.ok()) {
        const bool putBackFailed = !putBack.ok();
        Status first = putBackFailed ? std::move(putBack) : std::move(unpacked);
        outcome.status = putBackFailed ? std::move(unpacked) : std::move(putBack);
        EndWith(outcome, std::move(first));
        return outcome;
    }
    // An update ends with the device's own sentence; a reset with what came back, then where
    // the card goes next.
    Status end = Status::Done(Say(MessageId::UpdateDone));
    if (reset) {
        end = std::move(putBack);
        if (end.id() == MessageId::None && end.notes().empty())
            end = Status::Done(Say(MessageId::InsertCard));
        else
            end.AddNote(Say(MessageId::InsertCard));
    }
    return Finish(std::move(outcome), kMsgDownloadDone, std::move(end));
}

JobOutcome DownloadWorker::RunJob(DiyFilesJob& job) {
    JobOutcome outcome{.status = Status::Ok()};
    const std::shared_ptr<Card> card = job.card;
    const int position = job.cardPosition;
    const int first = job.firstSlot;
    if (card == nullptr || card->root().empty() || position < 1 || position > kDiyCardCount ||
        first < 0 || first >= kDiySlotCount ||
        card->diy().records().size() < static_cast<std::size_t>(position)) {
        outcome.status = Status::Failure(OutcomeKind::Failed, Message{});
        return outcome;
    }
    const std::size_t count =
        std::min(job.sources.size(), static_cast<std::size_t>(kDiySlotCount - first));
    Update([count](JobProgress& p) {
        p = JobProgress{};
        p.overallTotal = count + 1;
        p.itemTotal = 1;
    });
    CDiyXML& diy = card->diy();
    for (int k = 1; k <= kDiySlotCount; ++k) card->MakeFolders(card->RecordingSlotFolder(k));
    const std::string date = DeviceDateNow();
    const long cardNo = kFirstDiyCard - 1 + position;
    auto& records = diy.records();
    for (std::size_t j = 0; j < count && !control_.cancel.load(); ++j) {
        // A card pulled between two recordings gets nothing more, not even its database.
        if (!card->Present()) {
            LeftOut(outcome, OutcomeKind::CardUnreadable);
            return outcome;
        }
        Update([j](JobProgress& p) { p.itemDone = j; });
        const int slot = first + static_cast<int>(j);
        const std::string folder = card->RecordingSlotFolder(slot + 1) + "/";
        const std::string fileName = fs::path(job.sources[j]).filename().string();
        const auto dot = fileName.rfind('.');
        const std::string base = fileName.substr(0, dot);
        const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot + 1);
        std::string deviceName = DiyDeviceName(base, extension, cardNo);
        // Another card's recording under the same name in this slot's folder would be replaced
        // and both cards would play one file: this card's number keeps the name its own.
        for (std::size_t other = 0; other < records.size(); ++other) {
            const DiySlot& taken = records[other].slots[static_cast<std::size_t>(slot)];
            if (other + 1 != static_cast<std::size_t>(position) && taken.InUse() &&
                ToLowerAscii(taken.file) == ToLowerAscii(deviceName)) {
                deviceName = std::to_string(cardNo) + (extension.empty() ? "" : "." + extension);
                break;
            }
        }
        SetStatus(base + std::string(kMsgCopyingSuffix));
        outcome.cardChanged = true;
        if (!CopyFileSafely(job.sources[j], folder + deviceName)) {
            LeftOut(outcome, OutcomeKind::CardFull);
            continue;
        }
        records[static_cast<std::size_t>(position - 1)].slots[static_cast<std::size_t>(slot)] =
            DiySlot{base, date, deviceName};
        OnProgress(1);
    }
    SetStatus(std::string(kMsgWritingInfoFiles));
    if (!diy.SaveDiyFile().ok() || !diy.SaveRecTable().ok()) {
        LeftOut(outcome, OutcomeKind::CardFull);
        return outcome;
    }
    OnProgress(1);
    return Finish(std::move(outcome), kMsgApplied);
}

JobOutcome DownloadWorker::RunJob(const SingleCopyJob& job) {
    JobOutcome outcome{.status = Status::Ok()};
    Update([](JobProgress& p) {
        p = JobProgress{};
        p.overallTotal = p.itemTotal = 1;
    });
    folders_.ForgetCreatedFolders();
    SetStatus(job.destination + std::string(kMsgCopyingSuffix));
    folders_.MakeParentDirectories(job.destination);
    if (job.source.empty() || job.destination.empty() ||
        !CopyFileSafely(job.source, job.destination)) {
        outcome.status = Status::Failure(OutcomeKind::Failed, Message{});
        return outcome;
    }
    OnProgress(1);
    return Finish(std::move(outcome), kMsgCopied);
}

}  // namespace torvane
