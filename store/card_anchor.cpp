#include "store/card_anchor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <utility>

#include "store/card_paths.h"

namespace torvane {

CardAnchor::CardAnchor(std::string root) : root_(std::move(root)) {
    if (!root_.empty()) rootStamp_ = Stamp(root_, true);
}

std::optional<CardAnchor::FileStamp> CardAnchor::Stamp(const std::string& path, bool folder) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    if (folder != S_ISDIR(info.st_mode)) return std::nullopt;
    FileStamp stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    if (!folder) {
        stamp.size = info.st_size;
        stamp.modifiedNs =
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    }
    return stamp;
}

bool CardAnchor::RootUnchangedLocked() const {
    if (removed_.load() || root_.empty()) return false;
    const auto now = Stamp(root_, true);
    if (!now) return false;
    // A card whose root was not there when it was handed out is taken as it is found first.
    if (!rootStamp_) rootStamp_ = now;
    return now == rootStamp_;
}

bool CardAnchor::PresentLocked() const {
    if (!RootUnchangedLocked()) return false;
    if (!databaseKnown_) return true;
    return Stamp(card_paths::Below(root_, card_paths::kDatabase), false) == database_;
}

bool CardAnchor::Present() const {
    std::lock_guard lock(mutex_);
    return PresentLocked();
}

void CardAnchor::NoteDatabaseFile() {
    std::lock_guard lock(mutex_);
    // The card read now is the card: a root that was not there when the anchor was made is
    // taken as it was when its database was read, never as whatever stands there later.
    if (!rootStamp_) rootStamp_ = Stamp(root_, true);
    database_ = Stamp(card_paths::Below(root_, card_paths::kDatabase), false);
    databaseKnown_ = true;
}

void CardAnchor::ForgetDatabaseFile() {
    std::lock_guard lock(mutex_);
    databaseKnown_ = false;
    database_.reset();
    diyKnown_ = false;
    diyFile_.reset();
    recTable_.reset();
}

void CardAnchor::NoteDiyFiles() {
    std::lock_guard lock(mutex_);
    diyFile_ = Stamp(card_paths::Below(root_, card_paths::kDiyDatabase), false);
    recTable_ = Stamp(card_paths::Below(root_, card_paths::kRecordingTable), false);
    diyKnown_ = true;
}

bool CardAnchor::DiyFilesAsNotedLocked() const {
    return !diyKnown_ ||
           (Stamp(card_paths::Below(root_, card_paths::kDiyDatabase), false) == diyFile_ &&
            Stamp(card_paths::Below(root_, card_paths::kRecordingTable), false) == recTable_);
}

bool CardAnchor::DiyFilesAsNoted() const {
    std::lock_guard lock(mutex_);
    return DiyFilesAsNotedLocked();
}

CardAnchor::Changes CardAnchor::ChangedElsewhere() const {
    std::lock_guard lock(mutex_);
    Changes changes;
    if (!RootUnchangedLocked()) return changes;
    changes.database = databaseKnown_ &&
                       Stamp(card_paths::Below(root_, card_paths::kDatabase), false) != database_;
    changes.diy = !DiyFilesAsNotedLocked();
    return changes;
}

bool CardAnchor::MakeFolders(const std::string& folder) const {
    std::lock_guard lock(mutex_);
    const std::string prefix = root_ + "/";
    if (root_.empty() || folder.compare(0, prefix.size(), prefix) != 0) return false;
    if (!PresentLocked()) return false;
    // One level at a time below the root: the root itself is never made, so a card that went
    // between the check and here leaves the mkdir failing instead of writing the computer's disk.
    for (std::size_t at = prefix.size(); at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string level = folder.substr(0, at);
        if (level.size() < prefix.size() || level.back() == '/') continue;
        if (::mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CardAnchor::RemoveFile(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const std::string prefix = root_ + "/";
    if (root_.empty() || path.compare(0, prefix.size(), prefix) != 0 || !PresentLocked())
        return false;
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace torvane
