// One memory card of the device, as it was opened: its root folder, its content database and its
// DIY database, and the fixed places the device reads. A job, an action or a page works on the
// card it was handed and holds it (std::shared_ptr) for as long as it works: whatever card
// detection finds later, this one's databases are read from and written to its own root only,
// and once the card is pulled or replaced nothing is written anywhere.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/card_anchor.h"
#include "store/card_lock.h"
#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/diy_xml.h"

namespace torvane {

// Made with std::make_shared: a job started from code that was handed the card by reference
// holds it through shared_from_this.
class Card : public std::enable_shared_from_this<Card> {
  public:
    explicit Card(std::string root);
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    const std::string& root() const { return anchor_->root(); }
    CDefaultXML& database() { return database_; }
    const CDefaultXML& database() const { return database_; }
    CDiyXML& diy() { return diy_; }
    const CDiyXML& diy() const { return diy_; }
    const CardAnchor& anchor() const { return *anchor_; }

    // Reads Default.dat into the database and puts the chosen games on the game shelf;
    // CardUnreadable, naming the file and the parser's complaint, when it cannot.
    Status LoadDatabase() { return database_.Load(); }
    // Reads Diy.dat and rec.tbl into the DIY database; fails as LoadDatabase does.
    Status LoadDiy() { return diy_.Load(); }
    // The whole of the firmware's "info.dat" at the root, as the pages show it; nothing when it
    // cannot be read.
    std::optional<std::string> ReadFirmwareInfo() const;

    // The one way to change the card: takes its writer lock (see CardLock), waiting at most
    // `wait`, and reads again the databases another program changed meanwhile, so that nothing
    // read before its work is saved over it. Null when the card stayed busy; the caller then
    // changes nothing. Hold the lock until the change is written whole.
    std::shared_ptr<CardLock> Lock(std::chrono::milliseconds wait = kCardLockWait);
    // How many times Lock read the databases again: a page that shows them refills when it grew.
    std::uint64_t Reloads() const { return reloads_.load(); }

    // The drive detection saw the card leave: every job and page holding it stops writing.
    void MarkRemoved() { anchor_->MarkRemoved(); }
    bool Removed() const { return anchor_->Removed(); }
    // Still the card that was opened (see CardAnchor::Present).
    bool Present() const { return anchor_->Present(); }
    // Makes a folder below the root, and the folders between; never the root, never on a card
    // that is not present.
    bool MakeFolders(const std::string& folder) const { return anchor_->MakeFolders(folder); }
    // Removes a file below the root, never on a card that is not present.
    bool RemoveFile(const std::string& path) const { return anchor_->RemoveFile(path); }
    // Someone wrote Default.dat on purpose (a restore, a reset's package): the card is taken as
    // it is now, and its databases must be read again before they are saved.
    void AcceptDatabaseFile() { anchor_->ForgetDatabaseFile(); }

    // `relative` below the root ("ck6/rfid.tbl").
    std::string Path(std::string_view relative) const {
        return card_paths::Below(root(), relative);
    }
    // A content kind's folder ("ck2").
    std::string Folder(std::string_view folder) const { return Path(folder); }
    // The name voice folder of one language ("ck1/kor").
    std::string NameVoiceFolder(std::string_view language) const {
        return card_paths::NameVoiceFolder(root(), language);
    }
    // A recording slot's folder, 1 to 4 ("ck9/re1").
    std::string RecordingSlotFolder(int slot) const {
        return card_paths::RecordingSlotFolder(root(), slot);
    }

  private:
    std::shared_ptr<CardAnchor> anchor_;
    CDefaultXML database_;
    CDiyXML diy_;
    std::atomic<std::uint64_t> reloads_{0};
};

}  // namespace torvane
