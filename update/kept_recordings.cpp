#include "update/kept_recordings.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>

#include "common/messages.h"
#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/device_clock.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr std::string_view kManifest = "manifest.json";
constexpr std::string_view kOwner = ".owner";

bool IsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

Status NotKept() {
    return Status::Failure(OutcomeKind::Failed, Say(MessageId::RecordingsNotKept));
}
Status NotPutBack() {
    return Status::Failure(OutcomeKind::Failed, Say(MessageId::RecordingsNotPutBack));
}

// Locks the keep in `folder` for this program; nothing when another program holds it.
FileHandle LockOwner(const std::string& folder) {
    FileHandle owner(::open((folder + "/" + std::string(kOwner)).c_str(),
                            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!owner.IsOpen() || ::flock(owner.get(), LOCK_EX | LOCK_NB) != 0) return FileHandle();
    return owner;
}

// The card's folder name (a mount point's label), as a plain name for the keep's folder.
std::string CardName(const std::string& root) {
    std::string name = fs::path(root).filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) {
            return !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_');
        },
        '_');
    return name.empty() ? "card" : name;
}

std::optional<json> ReadManifest(const std::string& folder) {
    std::string text;
    if (!ReadWholeTextFile(folder + "/" + std::string(kManifest), text)) return std::nullopt;
    try {
        json manifest = json::parse(text);
        if (manifest.is_object()) return manifest;
    } catch (const json::exception&) {
    }
    return std::nullopt;
}

}  // namespace

std::string DefaultKeptFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/')
        return std::string(data) + "/torvane/kept";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return std::string(home) + "/.local/share/torvane/kept";
    return {};
}

std::vector<WaitingPutBack> WaitingPutBacks(const std::string& keptFolder) {
    std::vector<WaitingPutBack> waiting;
    std::error_code ec;
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(keptFolder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_symlink(ec) && it->is_directory(ec)) folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) {
        const FileHandle owner = LockOwner(folder.string());
        if (!owner.IsOpen()) continue;  // another program keeps or puts back right now
        const std::optional<json> manifest = ReadManifest(folder.string());
        if (!manifest) {
            // Killed while it copied, before the manifest and so before the wipe.
            fs::remove_all(folder, ec);
            continue;
        }
        WaitingPutBack put;
        put.folder = folder.string();
        put.card = manifest->value("card", std::string());
        const json recordings = manifest->value("recordings", json::array());
        put.recordings = recordings.is_array() ? recordings.size() : 0;
        const json voices = manifest->value("voices", json::object());
        put.nameVoice = voices.is_object() && !voices.empty();
        waiting.push_back(std::move(put));
    }
    return waiting;
}

KeptRecordings::KeptRecordings(std::string keptFolder) : keptFolder_(std::move(keptFolder)) {}

KeptRecordings::~KeptRecordings() {
    if (!wiped_) RemoveCopies();
}

std::unique_ptr<KeptRecordings> KeptRecordings::Resume(const std::string& folder) {
    auto kept = std::make_unique<KeptRecordings>(fs::path(folder).parent_path().string());
    kept->owner_ = LockOwner(folder);
    if (!kept->owner_.IsOpen()) return nullptr;
    kept->folder_ = folder;
    kept->wiped_ = true;  // whatever happens, the copies stay until they are back
    if (!kept->LoadManifest()) return nullptr;
    return kept;
}

void KeptRecordings::RemoveCopies() {
    if (folder_.empty()) return;
    std::error_code ec;
    fs::remove_all(folder_, ec);
    folder_.clear();
    owner_ = FileHandle();
}

bool KeptRecordings::SaveManifest() const {
    json recordings = json::array();
    for (const Recording& recording : recordings_) {
        recordings.push_back({{"card", recording.card},
                              {"slot", recording.slot},
                              {"name", recording.fields.name},
                              {"date", recording.fields.date},
                              {"file", recording.fields.file},
                              {"kept", recording.kept}});
    }
    json manifest = {{"card", cardRoot_},
                     {"selectedChild", selectedChild_},
                     {"recordings", recordings},
                     {"voices", voices_}};
    try {
        return WriteFileSafely(folder_ + "/" + std::string(kManifest), manifest.dump(2) + "\n");
    } catch (const json::exception&) {  // a name that is not UTF-8
        return false;
    }
}

bool KeptRecordings::LoadManifest() {
    const std::optional<json> manifest = ReadManifest(folder_);
    if (!manifest) return false;
    try {
        cardRoot_ = manifest->value("card", std::string());
        selectedChild_ = manifest->value("selectedChild", 0);
        for (const json& entry : manifest->at("recordings")) {
            Recording recording;
            recording.card = entry.at("card").get<long>();
            recording.slot = entry.at("slot").get<int>();
            recording.fields = {entry.at("name").get<std::string>(),
                                entry.at("date").get<std::string>(),
                                entry.at("file").get<std::string>()};
            recording.kept = entry.at("kept").get<std::string>();
            if (recording.slot < 0 || recording.slot >= kDiySlotCount ||
                !IsPlainComponent(recording.fields.file) || !IsPlainComponent(recording.kept))
                return false;
            recordings_.push_back(std::move(recording));
        }
        for (const auto& [language, kept] : manifest->at("voices").items()) {
            const std::string name = kept.get<std::string>();
            if (!IsPlainComponent(name)) return false;
            voices_.emplace(language, name);
        }
    } catch (const json::exception&) {
        return false;
    }
    return true;
}

Status KeptRecordings::Keep(const std::string& root) {
    RemoveCopies();
    recordings_.clear();
    voices_.clear();
    selectedChild_ = 0;
    wiped_ = false;
    cardRoot_ = root;
    WaitingPutBacks(keptFolder_);  // clears the copies of runs killed before their wipe
    std::error_code ec;
    if (keptFolder_.empty()) return NotKept();
    fs::create_directories(keptFolder_, ec);
    const std::string base = keptFolder_ + "/" + CardName(root) + "-" + DeviceDateNow();
    std::string folder = base;
    for (int n = 2; ::mkdir(folder.c_str(), 0700) != 0; ++n) {
        if (errno != EEXIST || n > 99) return NotKept();
        folder = base + "-" + std::to_string(n);
    }
    folder_ = folder;
    owner_ = LockOwner(folder_);
    if (!owner_.IsOpen()) return NotKept();
    // A damaged Diy.dat would lose the names and dates: better no reset than a silent loss.
    CDiyXML diy(root);
    if (!diy.Load().ok()) return NotKept();
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
            recording.kept = "re" + std::to_string(i) + "_" + std::to_string(slot);
            if (!CopyFileSafely(source, folder_ + "/" + recording.kept)) return NotKept();
            recordings_.push_back(std::move(recording));
        }
    }
    for (const std::string_view language : card_paths::kNameVoiceLanguages) {
        const std::string source = card_paths::NameVoiceFolder(root, language) + "/" +
                                   std::string(card_paths::kNameVoiceFile);
        if (!IsFile(source)) continue;
        const std::string kept = "voice_" + std::string(language);
        if (!CopyFileSafely(source, folder_ + "/" + kept)) return NotKept();
        voices_.emplace(language, kept);
    }
    CDefaultXML database(root);
    if (database.Load().ok()) selectedChild_ = database.selectedChildNo();
    // The manifest last: a folder without one is a keep cut off before the wipe.
    return SaveManifest() ? Status::Ok() : NotKept();
}

Status KeptRecordings::PutBack(const CardAnchor& card, std::vector<Message>& notes) const {
    const std::string& root = card.root();
    if (!card.Present()) return NotPutBack();
    bool whole = true;
    if (!recordings_.empty()) {
        // The package's DIY database, or empty cards when it brings none (or one that cannot be
        // read: the kept recordings are what matters).
        CDiyXML diy(root);
        if (!diy.Load().ok()) diy.StartEmpty();
        for (const Recording& recording : recordings_) {
            DiyRecord* record = diy.RecordForCard(recording.card);
            if (record == nullptr) continue;
            DiySlot& slot = record->slots[static_cast<std::size_t>(recording.slot)];
            if (slot.InUse() && slot != recording.fields)
                notes.push_back(Say(MessageId::RecordingReplacedPackageSlot, recording.card,
                                    recording.slot + 1, slot.name));
            const std::string folder = card_paths::RecordingSlotFolder(root, recording.slot + 1);
            if (!card.MakeFolders(folder) ||
                !CopyFileSafely(folder_ + "/" + recording.kept,
                                folder + "/" + recording.fields.file)) {
                whole = false;
                continue;
            }
            slot = recording.fields;
        }
        whole = diy.SaveDiyFile().ok() && diy.SaveRecTable().ok() && whole;
    }
    if (!voices_.empty()) {
        for (const std::string_view language : card_paths::kNameVoiceLanguages) {
            // A language folder that had lost its copy gets the voice of another: the device
            // calls the child by the same recording in every language.
            const auto own = voices_.find(std::string(language));
            const std::string kept =
                folder_ + "/" + (own != voices_.end() ? own->second : voices_.begin()->second);
            const std::string folder = card_paths::NameVoiceFolder(root, language);
            whole = card.MakeFolders(folder) &&
                    CopyFileSafely(kept, folder + "/" + std::string(card_paths::kNameVoiceFile)) &&
                    whole;
        }
    }
    if (selectedChild_ != 0) {
        CDefaultXML database(root);
        if (database.Load().ok()) {
            database.setSelectedChildNo(selectedChild_);
            whole = database.Save().ok() && whole;
        } else {
            whole = false;
        }
    }
    return whole ? Status::Ok() : NotPutBack();
}

void KeptRecordings::WipeStarting() {
    wiped_ = true;
}

Status KeptRecordings::AfterWipe(const CardAnchor& card) {
    wiped_ = true;
    std::vector<Message> notes;
    const Status put = PutBack(card, notes);
    Status said = put.ok() ? Status::Ok()
                           : Status::Failure(put.kind(), Say(MessageId::RecordingsWaitIn, folder_));
    if (put.ok() && (recordingCount() > 0 || hasNameVoice())) {
        said = Status::Done(Say(hasNameVoice() ? MessageId::RecordingsAndNameVoicePutBack
                                               : MessageId::RecordingsPutBack,
                                recordingCount()));
    }
    for (Message& note : notes) said.AddNote(std::move(note));
    if (put.ok()) RemoveCopies();  // whole on the card again
    return said;
}

}  // namespace torvane
