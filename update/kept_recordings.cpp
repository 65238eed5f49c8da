#include "update/kept_recordings.h"

#include <filesystem>
#include <system_error>

#include "base/messages.h"
#include "store/card_paths.h"
#include "store/default_xml.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

Status NotKept() {
    return Status::Failure(std::string(kMsgRecordingsNotKept));
}
Status NotPutBack() {
    return Status::Failure(std::string(kMsgRecordingsNotPutBack));
}

}  // namespace

KeptRecordings::KeptRecordings() : scratch_("keep-recordings") {}

Status KeptRecordings::Keep(const std::string& root) {
    recordings_.clear();
    voices_.clear();
    selectedChild_ = 0;
    if (scratch_.path().empty()) return NotKept();
    // A damaged Diy.dat would lose the names and dates: better no reset than a silent loss.
    CDiyXML diy(root);
    if (!diy.Load()) return NotKept();
    for (std::size_t i = 0; i < diy.records().size(); ++i) {
        for (int slot = 0; slot < kDiySlotCount; ++slot) {
            const DiySlot& fields = diy.records()[i].slots[static_cast<std::size_t>(slot)];
            if (!fields.InUse() || !IsPlainComponent(fields.file)) continue;
            const std::string source =
                card_paths::RecordingSlotFolder(root, slot + 1) + "/" + fields.file;
            if (!IsFile(source)) continue;  // nothing to keep; the check reports the slot
            Recording recording;
            recording.card = kFirstDiyCard + static_cast<long>(i);
            recording.slot = slot;
            recording.fields = fields;
            recording.kept =
                scratch_.path() + "/re" + std::to_string(i) + "_" + std::to_string(slot);
            if (!CopyFileSafely(source, recording.kept)) return NotKept();
            recordings_.push_back(std::move(recording));
        }
    }
    for (const std::string_view language : card_paths::kNameVoiceLanguages) {
        const std::string source = card_paths::NameVoiceFolder(root, language) + "/" +
                                   std::string(card_paths::kNameVoiceFile);
        if (!IsFile(source)) continue;
        const std::string kept = scratch_.path() + "/voice_" + std::string(language);
        if (!CopyFileSafely(source, kept)) return NotKept();
        voices_.emplace(language, kept);
    }
    CDefaultXML database(root);
    if (database.Load()) selectedChild_ = database.selectedChildNo();
    return Status::Ok();
}

Status KeptRecordings::PutBack(const CardAnchor& card, std::vector<std::string>& notes) const {
    const std::string& root = card.root();
    if (!card.Present()) return NotPutBack();
    bool whole = true;
    if (!recordings_.empty()) {
        // The package's DIY database, or empty cards when it brings none (or one that cannot be
        // read: the kept recordings are what matters).
        CDiyXML diy(root);
        if (!diy.Load()) diy.StartEmpty();
        for (const Recording& recording : recordings_) {
            DiyRecord* record = diy.RecordForCard(recording.card);
            if (record == nullptr) continue;
            DiySlot& slot = record->slots[static_cast<std::size_t>(recording.slot)];
            if (slot.InUse() && slot != recording.fields)
                notes.push_back(
                    RecordingReplacedPackageSlot(recording.card, recording.slot + 1, slot.name));
            const std::string folder = card_paths::RecordingSlotFolder(root, recording.slot + 1);
            if (!card.MakeFolders(folder) ||
                !CopyFileSafely(recording.kept, folder + "/" + recording.fields.file)) {
                whole = false;
                continue;
            }
            slot = recording.fields;
        }
        whole = diy.SaveDiyFile() && diy.SaveRecTable() && whole;
    }
    if (!voices_.empty()) {
        for (const std::string_view language : card_paths::kNameVoiceLanguages) {
            // A language folder that had lost its copy gets the voice of another: the device
            // calls the child by the same recording in every language.
            const auto own = voices_.find(std::string(language));
            const std::string& kept = own != voices_.end() ? own->second : voices_.begin()->second;
            const std::string folder = card_paths::NameVoiceFolder(root, language);
            whole = card.MakeFolders(folder) &&
                    CopyFileSafely(kept, folder + "/" + std::string(card_paths::kNameVoiceFile)) &&
                    whole;
        }
    }
    if (selectedChild_ != 0) {
        CDefaultXML database(root);
        if (database.Load()) {
            database.setSelectedChildNo(selectedChild_);
            whole = database.Save() && whole;
        } else {
            whole = false;
        }
    }
    return whole ? Status::Ok() : NotPutBack();
}

Status KeptRecordings::AfterWipe(const CardAnchor& card, IMessageSink& messages) {
    std::vector<std::string> notes;
    const Status put = PutBack(card, notes);
    for (const std::string& note : notes) messages.Show(MessageKind::Information, note);
    if (!put.ok()) {
        messages.Show(MessageKind::Error, put.message());
    } else if (recordingCount() > 0 || hasNameVoice()) {
        messages.Show(MessageKind::Information,
                      RecordingsPutBack(recordingCount(), hasNameVoice()));
    }
    return put;
}

}  // namespace torvane
