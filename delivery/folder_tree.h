// Folder work of the install engine: making the folders above a file once per job and copying a
// staged tree onto the card (each file through the store's crash-safe copy).
#pragma once

#include <atomic>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "store/device_files.h"

namespace torvane {

// The entry of `folder` whose name equals `name` without regard to ASCII case (the card's FAT
// file system does not tell "Default.dat" from "default.dat"); empty when there is none.
std::string FindEntryIgnoringCase(const std::string& folder, std::string_view name);

class FolderTree {
  public:
    // `cancel` (may be null) stops a copy walk early.
    explicit FolderTree(const std::atomic<bool>* cancel = nullptr) : cancel_(cancel) {}

    // Creates every missing folder above `filePath`, remembering what it made so that the many
    // files of one content do not create the same folders again. Failures are left to the write
    // that follows.
    void MakeParentDirectories(const std::string& filePath);
    void ForgetCreatedFolders() { createdFolders_.clear(); }
    // A folder never created, nor anything above it: the card's root. A card pulled during a
    // job leaves an empty mount point (or nothing) there, and the job must fail, not write to
    // the computer's own disk.
    void NeverCreate(std::string folder) { boundary_ = std::move(folder); }
    const std::set<std::string>& CreatedFolderCache() const { return createdFolders_; }

    // Copies every file below `source` (names beginning with "." are skipped) to the same place
    // below `destination`, replacing files there; a file that cannot be copied whole keeps its
    // previous version on the card. Goes on after a failed copy; false when any copy failed, when
    // `source` is missing, or when cancelled.
    bool CopyFolderTree(const std::string& source, const std::string& destination);

  private:
    const std::atomic<bool>* cancel_;
    std::set<std::string> createdFolders_;
    std::string boundary_;
};

}  // namespace torvane
