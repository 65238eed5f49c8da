// Many files written to the card and made durable together. Waiting for the card after each file
// (a flush of its cache and of the file system's journal each time) held an install of a
// content's many files far below the card's own rate: a batch writes the files without waiting,
// waits for their bytes beside the writing, on a thread of its own, and names them only when all
// of them are on the card.
// The guarantee is the single writer's: each file is written under a temporary name beside its
// final one, its bytes are on the card before it takes that name, and a failure before the
// renames replaces nothing and leaves no temporary behind.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store/device_files.h"

namespace torvane {

class CardWriteBatch {
  public:
    CardWriteBatch() = default;
    ~CardWriteBatch();  // discards every temporary not yet renamed
    CardWriteBatch(const CardWriteBatch&) = delete;
    CardWriteBatch& operator=(const CardWriteBatch&) = delete;

    // Takes an open writer holding all its bytes: its temporary is closed and its bytes are
    // waited for beside the next writes. False (and its temporary gone) when the close failed.
    bool Add(std::unique_ptr<SafeFileWriter> writer);
    // CopyFileSafely inside the batch: the bytes of `src` as a temporary for `dst`. A file copied
    // onto itself needs nothing and is not added.
    bool Copy(const std::string& src, const std::string& dst,
              CopyPath path = CopyPath::KernelFirst);

    // Waits until every temporary's bytes are on the card, then gives each its final name in the
    // order added, then makes the renames durable once per folder. False when a file could not
    // be synced (nothing is renamed and no temporary is left) or renamed (the files renamed
    // before it stay, whole; the rest are discarded).
    bool Commit();
    // Drops every temporary not yet renamed; the final files are left as they were.
    void Discard();

    std::size_t size() const { return writers_.size(); }

  private:
    // Syncs the added temporaries one after another until the batch is closed.
    void SyncInOrder();
    // Syncs what is left (nothing when `dropping`) and ends the syncing thread; false when a sync
    // failed.
    bool FinishSyncing(bool dropping);

    std::vector<std::unique_ptr<SafeFileWriter>> writers_;
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<SafeFileWriter*> unsynced_;  // guarded by mutex_
    bool closed_ = false;                   // guarded by mutex_
    bool syncFailed_ = false;               // guarded by mutex_
    std::thread syncer_;
};

}  // namespace torvane
