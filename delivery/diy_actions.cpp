#include "delivery/diy_actions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/folder_tree.h"
#include "delivery/sound_file.h"
#include "store/card.h"
#include "store/card_paths.h"
#include "store/diy_xml.h"

namespace torvane {
namespace {

const DiySlot* SlotOf(const CDiyXML& diy, int position, int slot) {
    if (!DiyCardPosition(position) || slot < 1 || slot > kDiySlotCount) return nullptr;
    const DiyRecord* record = diy.RecordForCard(kFirstDiyCard - 1 + position);
    return record == nullptr ? nullptr : &record->slots[static_cast<std::size_t>(slot - 1)];
}

DiySlot* SlotOf(CDiyXML& diy, int position, int slot) {
    return const_cast<DiySlot*>(SlotOf(static_cast<const CDiyXML&>(diy), position, slot));
}

// The end of a DIY job: a recording that did not reach its place (or the computer) leaves the job
// completed with the reason, and the parent must not read "done" over it.
ActionJobOutcome EndOf(JobOutcome job) {
    ActionJobOutcome outcome{.job = std::move(job)};
    const Status& end = outcome.job.status;
    if (end.ok())
        outcome.status = Status::Done(Say(MessageId::DownloadDone));
    else if (outcome.job.Completed())
        outcome.status = Status::Failure(end.kind(), Say(MessageId::JobFailed));
    else
        outcome.status = Status::Failure(end.kind(), Message{});
    return outcome;
}

Status NotWritten() {
    return Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && ToLowerAscii(text.substr(text.size() - end.size())) == end;
}

}  // namespace

std::optional<int> DiyCardPosition(long cardOrPosition) {
    if (cardOrPosition >= 1 && cardOrPosition <= kDiyCardCount) {
        return static_cast<int>(cardOrPosition);
    }
    if (cardOrPosition >= kFirstDiyCard && cardOrPosition < kFirstDiyCard + kDiyCardCount) {
        return static_cast<int>(cardOrPosition - kFirstDiyCard + 1);
    }
    return std::nullopt;
}

std::string DiySlotPath(const CDiyXML& diy, int position, int slot) {
    const DiySlot* entry = SlotOf(diy, position, slot);
    const std::string& root = diy.root();
    if (entry == nullptr || root.empty() || !IsPlainComponent(entry->file)) return {};
    return card_paths::RecordingSlotFolder(root, slot) + "/" + entry->file;
}

ActionJobOutcome AssignDiyFiles(Card& card, int position, int slot,
                                const std::vector<std::string>& files, IJobRunner& runner) {
    if (files.empty() || !DiyCardPosition(position) || slot < 1 || slot > kDiySlotCount) {
        return {.job = {}, .status = Status::Failure(OutcomeKind::Refused, Message{})};
    }
    // Only what the device can play becomes a recording; one wrong choice among the files that
    // fit stops the whole assignment before anything is copied.
    const auto fitting = std::min(files.size(), static_cast<std::size_t>(kDiySlotCount - slot + 1));
    for (std::size_t i = 0; i < fitting; ++i) {
        const std::string& file = files[i];
        const SoundFileVerdict verdict = JudgeSoundFile(file);
        if (verdict == SoundFileVerdict::Empty || verdict == SoundFileVerdict::NotSound) {
            const MessageId why = verdict == SoundFileVerdict::Empty ? MessageId::SoundFileEmpty
                                                                     : MessageId::NotASoundFile;
            return {.job = {}, .status = Status::Failure(OutcomeKind::Refused, Say(why, file))};
        }
    }
    DiyFilesJob job{.sources = files,
                    .cardPosition = position,
                    .firstSlot = slot - 1,
                    .card = card.weak_from_this().lock()};
    return EndOf(runner.Run(DownloadJob(std::move(job))));
}

std::string DiyExportDestination(const std::string& slotFileName, const std::string& chosenPath) {
    const std::string extension =
        ToLowerAscii(slotFileName).find(".mp3") != std::string::npos ? ".mp3" : ".wav";
    // "a.MP3" chosen for an mp3 recording already has its extension.
    return EndsWith(ToLowerAscii(chosenPath), extension) ? chosenPath : chosenPath + extension;
}

ActionJobOutcome ExportDiySlot(const CDiyXML& diy, int position, int slot,
                               const std::string& chosenPath, IJobRunner& runner) {
    const std::string source = DiySlotPath(diy, position, slot);
    if (source.empty() || chosenPath.empty())
        return {.job = {}, .status = Status::Failure(OutcomeKind::Refused, Message{})};
    SingleCopyJob job{
        .source = source,
        .destination = DiyExportDestination(SlotOf(diy, position, slot)->file, chosenPath)};
    return EndOf(runner.Run(DownloadJob(std::move(job))));
}

std::optional<std::string> DeleteDiySlotQuestion(const CDiyXML& diy, int position, int slot) {
    const DiySlot* entry = SlotOf(diy, position, slot);
    if (entry == nullptr || !entry->InUse()) return std::nullopt;
    return DeleteRecordingQuestion(position, slot, entry->name.empty() ? entry->file : entry->name);
}

Status DeleteDiySlot(CDiyXML& diy, int position, int slot) {
    DiySlot* entry = SlotOf(diy, position, slot);
    if (entry == nullptr) return Status::Failure(OutcomeKind::UnknownItem, Message{});
    // Nothing is deleted from a card whose database cannot be written back.
    if (!diy.Saveable()) return NotWritten();
    // A file already gone is no reason to keep the slot; a file that stayed keeps it, so that the
    // slot and its recording are never parted.
    const std::string path = DiySlotPath(diy, position, slot);
    if (!path.empty() && !diy.card()->RemoveFile(path)) return NotWritten();
    // The slot is emptied in memory only as far as the card took it: a Diy.dat that was not
    // written still lists the slot, and so must the database the page shows and saves next.
    const DiySlot removed = *entry;
    *entry = DiySlot{};
    if (!diy.SaveDiyFile().ok()) {
        *entry = removed;
        return NotWritten();
    }
    if (!diy.SaveRecTable().ok()) return NotWritten();
    return Status::Done(Say(MessageId::Deleted));
}

bool RenameDiySlot(CDiyXML& diy, int position, int slot, const std::string& name) {
    DiySlot* entry = SlotOf(diy, position, slot);
    if (entry == nullptr || !entry->InUse()) return false;
    entry->name = ControlCharactersAsBlanks(name);
    return diy.SaveDiyFile().ok();
}

}  // namespace torvane
