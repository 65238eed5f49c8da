// Unpacks the service's system packages (ZIP archives) onto the card. Card tables ("*.tbl") in a
// package are appended to the tables already on the card, because the device reads every line of
// a table and a package only brings the lines of its own cards; every other file is replaced.
// Each entry is written under a temporary name and renamed when whole.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/status.h"
#include "store/card_anchor.h"
#include "store/card_paths.h"

struct zip;

namespace torvane {

class CMyZip {
  public:
    // Called after each step of an entry with the entry's size and the bytes written so far;
    // false abandons the entry (the previous file of that name stays on the card).
    using StepHook = std::function<bool(std::uint64_t entryTotal, std::uint64_t written)>;

    CMyZip() = default;
    ~CMyZip();
    CMyZip(const CMyZip&) = delete;
    CMyZip& operator=(const CMyZip&) = delete;

    // Done when the archive is open. A file that is no archive fails with "cdirNotFound failed"
    // and the note "Open failed" (a download cut short: opening the same file again cannot help),
    // any other with "Open failed".
    Status OpenArchive(const std::string& path);
    // Extracts every entry below the destination folder, moving `bufferSize` bytes per step.
    // Done when every entry was written whole; stops at the first failure ("Extract failed"), or
    // Cancelled when the stop flag is set.
    Status ExtractAll(const std::string& destination, std::size_t bufferSize);
    void CloseArchive();

    bool IsOpen() const { return archive_ != nullptr; }
    // Set from another thread: the entry being written finishes, no further entry starts.
    void Stop() { stop_.store(true); }
    bool Stopped() const { return stop_.load(); }
    void SetStepHook(StepHook hook) { stepHook_ = std::move(hook); }
    // An entry at this path below the destination ("ck9/rec.tbl"), or anywhere below this folder
    // when the path ends in "/" ("ck9/re1/"), is left out: the card's own file stays. Paths are
    // compared as the card's FAT compares names: without regard to ASCII case, and without the
    // dots and blanks at the end of a name, which FAT drops.
    void LeaveOut(std::string path) { leftOut_.push_back(card_paths::FatName(path)); }
    // The file entries the last ExtractAll left out, as the archive names them.
    const std::vector<std::string>& LeftOutEntries() const { return leftOutEntries_; }
    // The destination is this card (null: a folder of the computer): no entry is written and no
    // folder made once the card is not the one opened.
    void WriteOnto(const CardAnchor* card) { card_ = card; }

  private:
    enum class EntryResult { Written, EndedEarly, Failed };
    EntryResult ExtractEntry(std::int64_t index, const std::string& destination,
                             std::size_t bufferSize);
    bool MakeFolders(const std::string& folder) const;
    bool DestinationPresent() const { return card_ == nullptr || card_->Present(); }
    bool IsLeftOut(const std::string& relative) const;

    zip* archive_ = nullptr;
    std::string path_;
    std::string password_;
    std::atomic<bool> stop_{false};
    StepHook stepHook_;
    std::vector<std::string> leftOut_;
    std::vector<std::string> leftOutEntries_;
    const CardAnchor* card_ = nullptr;
};

// The entry name as a path below the destination, or empty when the name is absolute, climbs
// with "..", names a drive, or is otherwise not a plain relative path.
std::string SafeEntryPath(const std::string& entryName);

}  // namespace torvane
