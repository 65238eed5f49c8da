// One writer at a time on a card. Every program that changes a card (the desktop app for each
// job and page action, each torvane-cli command that writes, a backup for its whole read) holds
// this lock meanwhile; a second writer waits a short while and then gives up without touching the
// card, instead of saving a database read before the first writer's work over it.
//
// The lock is the kernel's flock on a small file kept off the card, in the user's runtime folder
// ($XDG_RUNTIME_DIR, else the private temporary folder), named from the card's identity: the
// root's canonical path and the device id of its file system. Off the card because the device
// reads every byte of it and the card's own file system (vfat, exFAT through FUSE) may not
// support locks at all; flock on a local file because the kernel drops it when its holder dies,
// even by SIGKILL, so a killed run never leaves a stale lock behind. Each CardLock opens the file
// anew, so two jobs on one card in the same process exclude each other too.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace torvane {

// How long a second writer waits for the first before it refuses.
inline constexpr std::chrono::milliseconds kCardLockWait{3000};

class CardLock {
  public:
    // Takes the lock of the card at `root`, waiting at most `wait`; null when another holder kept
    // it all that time. When no lock file can be made at all (no runtime or temporary folder),
    // the lock is given without excluding anyone: the user's work is not refused for a missing
    // folder of this computer's.
    static std::shared_ptr<CardLock> Take(const std::string& root, std::chrono::milliseconds wait);
    // The lock file standing for the card at `root`; empty when no folder for it can be made.
    static std::string LockFilePath(const std::string& root);

    ~CardLock();
    CardLock(const CardLock&) = delete;
    CardLock& operator=(const CardLock&) = delete;

  private:
    explicit CardLock(int descriptor) : descriptor_(descriptor) {}
    int descriptor_;
};

}  // namespace torvane
