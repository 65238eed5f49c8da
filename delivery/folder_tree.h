// Folder work of the install engine: making the folders above a staged file once per job, and
// copying a staged tree onto the card (its files through one batch of the store's crash-safe
// writes, each folder made through the card, which never makes one where a card was).
#pragma once

#include <atomic>
#include <set>
#include <string>

#include "store/card_anchor.h"
#include "store/card_write_batch.h"

namespace torvane {

class FolderTree {
  public:
    // `cancel` (may be null) stops a copy walk early.
    explicit FolderTree(const std::atomic<bool>* cancel = nullptr) : cancel_(cancel) {}

    // Creates every missing folder above `filePath` in the computer's staging folder,
    // remembering what it made so that the many files of one content do not create the same
    // folders again. Failures are left to the write that follows.
    void MakeParentDirectories(const std::string& filePath);
    void ForgetCreatedFolders() { createdFolders_.clear(); }

    // Copies every file below `source` (names beginning with "." are skipped) to the same place
    // below the card's root, replacing files there; a file that cannot be copied whole keeps its
    // previous version on the card. The files are written first and take their names together
    // once all their bytes are on the card. Goes on after a failed copy; false when any copy
    // failed or when `source` is missing. Cancelled, or with the card no longer present, it
    // stops at once and replaces nothing.
    bool CopyFolderTree(const std::string& source, const CardAnchor& card);

    // One staged file, `from`, into `batch` as the card's file `to`, its folder made on the card
    // first (once per job). False when the card is no longer present or the copy failed.
    bool CopyFileInto(CardWriteBatch& batch, const std::string& from, const std::string& to,
                      const CardAnchor& card);

  private:
    bool CopyBelow(const std::string& source, const std::string& destination,
                   const CardAnchor& card, CardWriteBatch& batch);
    bool Stopped(const CardAnchor& card) const;

    const std::atomic<bool>* cancel_;
    std::set<std::string> createdFolders_;
};

}  // namespace torvane
