// Keeping the parent's recordings through a reset: a reset package wipes the card, and the DIY
// recordings with their names and dates, the child's name voice and the selected child exist
// nowhere else. They are copied off the card before the wipe and put back once the package is in
// place, the recordings through the DIY database's own save so that Diy.dat and rec.tbl are
// written exactly as for any assign.
//
// The copies live in the user's data folder, "kept/<card>-<date time>/" with a manifest of what
// goes back where, not in the temporary folder: a run killed or a card pulled between the wipe
// and the end of the put-back leaves them there, and the next start of the app or a repair of
// the card offers to put them back. They are removed only once the put-back is whole, or when the
// card was never wiped.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/status.h"
#include "delivery/download_job.h"
#include "store/device_files.h"
#include "store/diy_xml.h"

namespace torvane {

// "$XDG_DATA_HOME/torvane/kept" (else "~/.local/share/torvane/kept"); empty without a home.
std::string DefaultKeptFolder();

// Copies a reset kept that were never put back whole, below `keptFolder`, oldest first. Folders
// of runs that ended (or were killed) before their wipe are removed on the way: nothing on their
// card was lost. A keep another running program still holds is left out.
struct WaitingPutBack {
    std::string folder;
    std::string card;  // the card's root when it was kept
    std::size_t recordings = 0;
    bool nameVoice = false;
};
std::vector<WaitingPutBack> WaitingPutBacks(const std::string& keptFolder = DefaultKeptFolder());

// Given to a reset job as its keeper: kept just before the wipe, put back just after it, both on
// the engine's thread.
class KeptRecordings final : public IWipeKeeper {
  public:
    explicit KeptRecordings(std::string keptFolder = DefaultKeptFolder());
    // Removes the copies unless the card was wiped and they are not yet back on it.
    ~KeptRecordings() override;
    KeptRecordings(const KeptRecordings&) = delete;
    KeptRecordings& operator=(const KeptRecordings&) = delete;

    // Takes over the copies of a keep in `folder` (one of WaitingPutBacks), to put them back.
    // Nothing when its manifest cannot be read or another program holds it.
    static std::unique_ptr<KeptRecordings> Resume(const std::string& folder);

    // Copies the recordings of every slot in use, the name voice of each language folder and the
    // selected child of the card at `root` into a folder of its own below the kept folder, with
    // the manifest last. Only reads the card. Fails when the DIY database cannot be read or a
    // file cannot be copied: the reset must then not go on.
    Status Keep(const std::string& root);

    // Puts everything back onto the card (the package's databases loaded and saved
    // again). A slot the package's DIY database already uses is given to the kept recording, and
    // `notes` gets a sentence saying so for each.
    Status PutBack(const CardAnchor& card, std::vector<Message>& notes) const;

    // IWipeKeeper: Keep; the manifest marked wiped; PutBack, then the copies removed. Done with
    // what came back (RecordingsPutBack or RecordingsAndNameVoicePutBack, nothing when nothing
    // was kept), or failed naming the folder that still holds the copies (RecordingsWaitIn);
    // either way followed by a note for each package slot a kept recording took.
    Status BeforeWipe(const std::string& root) override { return Keep(root); }
    void WipeStarting() override;
    Status AfterWipe(const CardAnchor& card) override;

    std::size_t recordingCount() const { return recordings_.size(); }
    bool hasNameVoice() const { return !voices_.empty(); }
    int selectedChild() const { return selectedChild_; }
    // Where the copies are; empty before Keep.
    const std::string& folder() const { return folder_; }

  private:
    struct Recording {
        long card = 0;
        int slot = 0;  // 0 to 3
        DiySlot fields;
        std::string kept;  // the copy's name in the folder
    };

    bool SaveManifest() const;
    bool LoadManifest();
    void RemoveCopies();

    std::string keptFolder_;
    std::string folder_;
    FileHandle owner_;  // locked while this program holds the copies
    std::string cardRoot_;
    bool wiped_ = false;
    std::vector<Recording> recordings_;
    std::map<std::string, std::string> voices_;  // language folder -> the copy's name
    int selectedChild_ = 0;
};

}  // namespace torvane
