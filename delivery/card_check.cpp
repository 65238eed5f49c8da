#include "delivery/card_check.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <system_error>
#include <unordered_map>

#include "common/messages.h"
#include "store/card_paths.h"
#include "store/content_types.h"
#include "store/device_files.h"
#include "store/file_cipher.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

class Checker {
  public:
    Checker(Card& card, const CatalogueSizes* sizes) : card_(card), sizes_(sizes) {}

    std::vector<CardProblem> Run() {
        Walk(card_.root(), {});
        if (!card_.LoadDatabase().ok()) {
            Add(CardProblemKind::UnreadableDatabase, card_paths::kDatabase);
        } else {
            CheckContentFiles();
            CheckFolderTables();
            CheckTable(card_paths::kGameTable, card_.database().GameTableLines(),
                       CardProblemKind::StaleGameTable);
            const auto diyLines = card_.database().DiyContentTableLines();
            CheckTable(card_paths::kDiyContentTable, diyLines, CardProblemKind::StaleDiyCardTable);
            CheckTable(card_paths::kDiyContentSwTable, diyLines,
                       CardProblemKind::StaleDiyCardTable);
            CheckNameVoice();
        }
        CheckRecordings();
        return std::move(problems_);
    }

  private:
    void Add(CardProblemKind kind, std::string_view where, std::string contentNo = {}) {
        problems_.push_back(CardProblem{kind, std::string(where), std::move(contentNo)});
    }

    bool Exists(const std::string& relative) const {
        std::error_code error;
        return fs::is_regular_file(card_.Path(relative), error);
    }

    // Walks the whole card once: the temporary names of the store's writer (".~name.XXXXXX")
    // and the plain staging files an older program left beside the databases and tables are
    // leftovers; every other regular file's size is kept for the content check. One question per
    // file: through a slow reader of the card's FAT, each question about a file costs.
    void Walk(const std::string& folder, const std::string& relative) {
        static const std::set<std::string> kStagingNames = {"_Default.dat", "_Diy.dat", "_rfid.tbl",
                                                            "_sw.tbl"};
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
        if (!dir) return;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat info {};
            if (::fstatat(::dirfd(dir.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            const std::string path = relative.empty() ? name : relative + "/" + name;
            if (S_ISDIR(info.st_mode)) {
                Walk(folder + "/" + name, path);
            } else if (name.rfind(".~", 0) == 0 || kStagingNames.contains(name)) {
                Add(CardProblemKind::Leftover, path);
            } else if (S_ISREG(info.st_mode)) {
                walkedSizes_.emplace(path, static_cast<std::uint64_t>(info.st_size));
            }
        }
    }

    // The size of a file below the card's root, from the walk when it saw the file under this
    // very name (a FAT card also answers to other cases of it).
    std::optional<std::uint64_t> FileSize(const std::string& relative) const {
        if (const auto walked = walkedSizes_.find(relative); walked != walkedSizes_.end())
            return walked->second;
        std::error_code error;
        const auto size = fs::file_size(card_.Path(relative), error);
        return error ? std::nullopt : std::optional<std::uint64_t>(size);
    }

    void CheckContentFiles() {
        for (const Shelf shelf : kStoredShelves) {
            for (const ContentRecord& content : card_.database().Contents(shelf)) {
                for (const FileRecord& file : content.files) CheckContentFile(content, file);
            }
        }
    }

    void CheckContentFile(const ContentRecord& content, const FileRecord& file) {
        const auto relative = ContentFilePath(content, file);
        if (!relative) return;  // a name that could point anywhere was never written
        const auto size = FileSize(*relative);
        if (!size) {
            Add(CardProblemKind::MissingContentFile, *relative, content.contentNo);
        } else if (*size == 0) {
            Add(CardProblemKind::EmptyContentFile, *relative, content.contentNo);
        } else if (const auto expected = CatalogueSize(content.contentNo, file);
                   expected && *size < *expected) {
            Add(CardProblemKind::ShortContentFile, *relative, content.contentNo);
        }
    }

    std::optional<std::uint64_t> CatalogueSize(const std::string& contentNo,
                                               const FileRecord& file) const {
        if (sizes_ == nullptr) return std::nullopt;
        const auto content = sizes_->find(contentNo);
        if (content == sizes_->end()) return std::nullopt;
        const auto found = content->second.find(DeviceFileName(file.name));
        if (found == content->second.end()) return std::nullopt;
        return found->second;
    }

    void CheckFolderTables() {
        for (const ContentKind& kind : kContentKinds) {
            if (kind.folder.empty()) continue;
            const auto lines = FolderTableLines(kind.name, card_.root());
            if (!lines) continue;
            const std::string folder(kind.folder);
            const bool rfid = TableHolds(folder + "/rfid.tbl", *lines);
            const bool sw = TableHolds(folder + "/sw.tbl", *lines);
            if (!rfid || !sw) Add(CardProblemKind::StaleFolderTables, folder);
        }
    }

    void CheckTable(std::string_view table, const std::vector<std::string>& lines,
                    CardProblemKind kind) {
        if (!TableHolds(std::string(table), lines)) Add(kind, table);
    }

    bool TableHolds(const std::string& relative, const std::vector<std::string>& lines) const {
        std::string text;
        return ReadEncipheredText(card_.Path(relative), text) && text == TableText(lines);
    }

    // The selected child's voice belongs in every language folder: each one missing is named,
    // so the parent knows which language the device will not call the child in.
    void CheckNameVoice() {
        std::vector<std::string> missing;
        for (const std::string_view language : card_paths::kNameVoiceLanguages) {
            const std::string relative = card_paths::NameVoiceFile(language);
            if (!Exists(relative)) missing.push_back(relative);
        }
        const bool childSelected = card_.database().selectedChildNo() != 0;
        if (childSelected) {
            for (const std::string& relative : missing)
                Add(CardProblemKind::NameVoiceIncomplete, relative);
        } else if (missing.size() < card_paths::kNameVoiceLanguages.size()) {
            Add(CardProblemKind::NameVoiceWithoutChild, card_paths::kNameVoiceFolder);
        }
    }

    void CheckRecordings() {
        // A table that is there and cannot be read (a folder in its place, no permission) is
        // reported; a card that never had one has nothing to read.
        std::string table;
        std::error_code error;
        if (fs::symlink_status(card_.Path(card_paths::kRecordingTable), error).type() !=
                fs::file_type::not_found &&
            (!Exists(std::string(card_paths::kRecordingTable)) ||
             !ReadWholeFile(card_.Path(card_paths::kRecordingTable), table))) {
            Add(CardProblemKind::UnreadableRecTable, card_paths::kRecordingTable);
        }
        if (!card_.LoadDiy().ok()) {
            Add(CardProblemKind::UnreadableDiyDatabase, card_paths::kDiyDatabase);
            return;
        }
        std::array<std::set<std::string>, kDiySlotCount> named;
        for (const DiyRecord& record : card_.diy().records()) {
            for (int slot = 0; slot < kDiySlotCount; ++slot) {
                const DiySlot& entry = record.slots[static_cast<std::size_t>(slot)];
                if (!entry.InUse() || entry.file.empty()) continue;
                named[static_cast<std::size_t>(slot)].insert(entry.file);
                const std::string relative = card_paths::RecordingSlot(slot + 1) + "/" + entry.file;
                if (!Exists(relative)) Add(CardProblemKind::MissingRecording, relative);
            }
        }
        for (int slot = 0; slot < kDiySlotCount; ++slot) {
            std::error_code error;
            for (fs::directory_iterator it(card_.RecordingSlotFolder(slot + 1), error), end;
                 !error && it != end; it.increment(error)) {
                const std::string name = it->path().filename().string();
                std::error_code entryError;
                if (!it->is_regular_file(entryError) || name.rfind(".~", 0) == 0) continue;
                if (!named[static_cast<std::size_t>(slot)].contains(name))
                    Add(CardProblemKind::UnlistedRecording,
                        card_paths::RecordingSlot(slot + 1) + "/" + name);
            }
        }
    }

    Card& card_;
    const CatalogueSizes* sizes_;
    std::vector<CardProblem> problems_;
    std::unordered_map<std::string, std::uint64_t> walkedSizes_;
};

bool IsContentFileProblem(CardProblemKind kind) {
    return kind == CardProblemKind::MissingContentFile ||
           kind == CardProblemKind::EmptyContentFile || kind == CardProblemKind::ShortContentFile;
}

bool RemoveLeftover(const Card& card, const std::string& relative) {
    return !MayBeOnlyCopy(card, relative) && card.RemoveFile(card.Path(relative));
}

// Drops the slots whose recording is gone and saves the DIY database once.
bool DropMissingRecordings(Card& card, const std::vector<CardProblem>& problems) {
    std::set<std::string> missing;
    for (const CardProblem& problem : problems)
        if (problem.kind == CardProblemKind::MissingRecording) missing.insert(problem.where);
    bool changed = false;
    for (DiyRecord& record : card.diy().records()) {
        for (int slot = 0; slot < kDiySlotCount; ++slot) {
            DiySlot& entry = record.slots[static_cast<std::size_t>(slot)];
            if (!entry.InUse() ||
                !missing.contains(card_paths::RecordingSlot(slot + 1) + "/" + entry.file))
                continue;
            entry = DiySlot{};
            changed = true;
        }
    }
    return !changed || (card.diy().SaveDiyFile().ok() && card.diy().SaveRecTable().ok());
}

// Installs again, through the runner, every content with a missing, empty or short file.
bool DownloadAgain(Card& card, const std::vector<CardProblem>& problems,
                   const std::vector<ContentRecord>& catalogue, IJobRunner& runner) {
    std::set<std::string> wanted;
    for (const CardProblem& problem : problems)
        if (IsContentFileProblem(problem.kind)) wanted.insert(problem.contentNo);
    ContentInstallJob job;
    job.card = card.weak_from_this().lock();
    for (const ContentRecord& record : catalogue)
        if (wanted.contains(record.contentNo)) job.contents.push_back(record);
    if (job.contents.size() != wanted.size()) return false;  // not all in the account's catalogue
    const JobOutcome outcome = runner.Run(DownloadJob(std::move(job)));
    return outcome.status.ok();
}

}  // namespace

bool MayBeOnlyCopy(const Card& card, const std::string& relative) {
    const std::string_view top = std::string_view(relative).substr(0, relative.find('/'));
    if (top != card_paths::kRecordingFolder && top != card_paths::kNameVoiceFolder) return false;
    const fs::path path(card.Path(relative));
    const std::string name = path.filename().string();
    const auto suffix = name.rfind('.');
    if (name.rfind(".~", 0) != 0 || suffix == std::string::npos || suffix <= 2) return false;
    std::error_code ec;
    return !fs::exists(path.parent_path() / name.substr(2, suffix - 2), ec);
}

std::vector<RepairStep> RepairCard(Card& card, const std::vector<CardProblem>& problems,
                                   const std::vector<ContentRecord>* catalogue,
                                   IJobRunner* runner) {
    std::vector<RepairStep> steps;
    const auto has = [&problems](auto predicate) {
        return std::any_of(problems.begin(), problems.end(), predicate);
    };
    const bool databaseRead =
        !has([](const CardProblem& p) { return p.kind == CardProblemKind::UnreadableDatabase; });
    const bool diyRead =
        !has([](const CardProblem& p) { return p.kind == CardProblemKind::UnreadableDiyDatabase; });
    const bool recordingsDropped = diyRead && DropMissingRecordings(card, problems);
    const bool filesWrong = has([](const CardProblem& p) { return IsContentFileProblem(p.kind); });
    const bool downloaded = filesWrong && databaseRead && catalogue != nullptr &&
                            runner != nullptr && DownloadAgain(card, problems, *catalogue, *runner);
    for (const CardProblem& problem : problems) {
        RepairStep step{problem, false};
        switch (problem.kind) {
            case CardProblemKind::Leftover:
                step.mended = RemoveLeftover(card, problem.where);
                break;
            case CardProblemKind::MissingRecording:
                step.mended = recordingsDropped;
                break;
            case CardProblemKind::MissingContentFile:
            case CardProblemKind::EmptyContentFile:
            case CardProblemKind::ShortContentFile:
                step.mended = downloaded;
                break;
            case CardProblemKind::StaleFolderTables:
                for (const ContentKind& kind : kContentKinds) {
                    if (!kind.folder.empty() && kind.folder == problem.where)
                        step.mended = RebuildFolderTables(kind.name, card.anchor());
                }
                break;
            case CardProblemKind::StaleGameTable:
                step.mended = databaseRead && card.database().RebuildGameTable();
                break;
            case CardProblemKind::StaleDiyCardTable:
                step.mended = databaseRead && card.database().RebuildDiyContentTable();
                break;
            default:
                break;  // not mendable without guessing: reported, never deleted
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::vector<CardProblem> CheckCard(Card& card, const CatalogueSizes* sizes) {
    return Checker(card, sizes).Run();
}

std::string_view CardProblemSentence(CardProblemKind kind) {
    switch (kind) {
        case CardProblemKind::UnreadableDatabase:
            return kMsgCardDatabaseUnreadable;
        case CardProblemKind::UnreadableDiyDatabase:
            return kMsgCardDiyDatabaseUnreadable;
        case CardProblemKind::UnreadableRecTable:
            return kMsgCardRecTableUnreadable;
        case CardProblemKind::MissingContentFile:
            return kMsgCardContentFileMissing;
        case CardProblemKind::ShortContentFile:
            return kMsgCardContentFileShort;
        case CardProblemKind::EmptyContentFile:
            return kMsgCardContentFileEmpty;
        case CardProblemKind::StaleFolderTables:
            return kMsgCardFolderTablesStale;
        case CardProblemKind::StaleGameTable:
            return kMsgCardGameTableStale;
        case CardProblemKind::StaleDiyCardTable:
            return kMsgCardDiyTableStale;
        case CardProblemKind::MissingRecording:
            return kMsgCardRecordingMissing;
        case CardProblemKind::UnlistedRecording:
            return kMsgCardRecordingUnlisted;
        case CardProblemKind::NameVoiceIncomplete:
            return kMsgCardNameVoiceIncomplete;
        case CardProblemKind::NameVoiceWithoutChild:
            return kMsgCardNameVoiceWithoutChild;
        case CardProblemKind::Leftover:
            return kMsgCardLeftover;
    }
    return {};
}

std::string_view CardProblemKey(CardProblemKind kind) {
    switch (kind) {
        case CardProblemKind::UnreadableDatabase:
            return "unreadable-database";
        case CardProblemKind::UnreadableDiyDatabase:
            return "unreadable-diy-database";
        case CardProblemKind::UnreadableRecTable:
            return "unreadable-rec-table";
        case CardProblemKind::MissingContentFile:
            return "missing-content-file";
        case CardProblemKind::ShortContentFile:
            return "short-content-file";
        case CardProblemKind::EmptyContentFile:
            return "empty-content-file";
        case CardProblemKind::StaleFolderTables:
            return "stale-folder-tables";
        case CardProblemKind::StaleGameTable:
            return "stale-game-table";
        case CardProblemKind::StaleDiyCardTable:
            return "stale-diy-card-table";
        case CardProblemKind::MissingRecording:
            return "missing-recording";
        case CardProblemKind::UnlistedRecording:
            return "unlisted-recording";
        case CardProblemKind::NameVoiceIncomplete:
            return "name-voice-incomplete";
        case CardProblemKind::NameVoiceWithoutChild:
            return "name-voice-without-child";
        case CardProblemKind::Leftover:
            return "leftover";
    }
    return {};
}

}  // namespace torvane
