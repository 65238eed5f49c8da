// What tells the card that was opened from whatever stands at its path later. A parent may pull
// the card in the middle of a job, put it back, put another card in, or (on a computer that mounts
// cards at fixed folders) find a new folder made at the same path, whose inode ext4 reuses at
// once. The anchor remembers the root folder's device and inode, Default.dat as this program last
// read or wrote it, and the drive detection's word that the card left. Every save of a database or
// a table and every folder made on the card asks it first, so that no card ever gets another
// card's database and no folder is ever made where a card was.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace torvane {

class CardAnchor {
  public:
    // Takes the root folder's identity now, when the folder is there.
    explicit CardAnchor(std::string root);
    CardAnchor(const CardAnchor&) = delete;
    CardAnchor& operator=(const CardAnchor&) = delete;

    const std::string& root() const { return root_; }

    // The drive detection saw the card leave; from now on the card is never written again.
    void MarkRemoved() { removed_.store(true); }
    bool Removed() const { return removed_.load(); }

    // Whether the card opened is still the one at the root: not seen leaving, the same root
    // folder, and Default.dat as this program last read or wrote it (or still absent).
    bool Present() const;
    // Remembers Default.dat as it is now, after this program read or wrote it.
    void NoteDatabaseFile();
    // Forgets what Default.dat, Diy.dat and rec.tbl were, so that the next check takes the card as
    // it is: for a card whose databases someone else just wrote on purpose (a restore, a
    // package's own database).
    void ForgetDatabaseFile();
    // Remembers Diy.dat and rec.tbl as they are now, after this program read or wrote them.
    void NoteDiyFiles();
    // Diy.dat and rec.tbl as this program last read or wrote them (or never read): another
    // program's recording is never saved over with an old copy.
    bool DiyFilesAsNoted() const;

    // Which databases another program changed since this one read or wrote them, on the card
    // that was opened (never on one pulled or replaced at its root).
    struct Changes {
        bool database = false;
        bool diy = false;
    };
    Changes ChangedElsewhere() const;

    // Makes `folder` (an absolute path below the root) and every missing folder between it and
    // the root; never the root itself and nothing while the card is not present. False when the
    // folder is not below the root, the card is not present, or a folder could not be made.
    bool MakeFolders(const std::string& folder) const;
    // Removes a file (an absolute path below the root) while the card is present. True when the
    // file is gone (or was never there); false when the card is not present or it stayed.
    bool RemoveFile(const std::string& path) const;

  private:
    struct FileStamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static std::optional<FileStamp> Stamp(const std::string& path, bool folder);
    bool PresentLocked() const;
    bool RootUnchangedLocked() const;
    bool DiyFilesAsNotedLocked() const;

    const std::string root_;
    std::atomic<bool> removed_{false};
    mutable std::mutex mutex_;
    mutable std::optional<FileStamp> rootStamp_;  // device and inode only
    bool databaseKnown_ = false;
    std::optional<FileStamp> database_;
    bool diyKnown_ = false;
    std::optional<FileStamp> diyFile_;
    std::optional<FileStamp> recTable_;
};

}  // namespace torvane
