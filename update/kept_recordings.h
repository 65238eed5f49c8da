// Keeping the parent's recordings through a reset: a reset package wipes the card, and the DIY
// recordings with their names and dates, the child's name voice and the selected child exist
// nowhere else. They are copied off the card before the wipe and put back once the package is in
// place, the recordings through the DIY database's own save so that Diy.dat and rec.tbl are
// written exactly as for any assign.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "delivery/download_job.h"
#include "store/device_files.h"
#include "store/diy_xml.h"
#include "store/status.h"

namespace torvane {

// Given to a reset job as its keeper: kept just before the wipe, put back just after it, both on
// the engine's thread.
class KeptRecordings final : public IWipeKeeper {
  public:
    KeptRecordings();
    KeptRecordings(const KeptRecordings&) = delete;
    KeptRecordings& operator=(const KeptRecordings&) = delete;

    // Copies the recordings of every slot in use, the name voice of each language folder and the
    // selected child of the card at `root` into a private scratch folder. Only reads the card.
    // Fails when the DIY database cannot be read or a file cannot be copied: the reset must then
    // not go on.
    Status Keep(const std::string& root);

    // Puts everything back onto the card (the package's databases loaded and saved
    // again). A slot the package's DIY database already uses is given to the kept recording, and
    // `notes` gets a sentence saying so for each.
    Status PutBack(const CardAnchor& card, std::vector<std::string>& notes) const;

    // IWipeKeeper: Keep, and PutBack with its notes and a sentence of what came back.
    Status BeforeWipe(const std::string& root) override { return Keep(root); }
    Status AfterWipe(const CardAnchor& card, IMessageSink& messages) override;

    std::size_t recordingCount() const { return recordings_.size(); }
    bool hasNameVoice() const { return !voices_.empty(); }
    int selectedChild() const { return selectedChild_; }

  private:
    struct Recording {
        long card = 0;
        int slot = 0;  // 0 to 3
        DiySlot fields;
        std::string kept;  // the copy in the scratch folder
    };

    ScratchFolder scratch_;
    std::vector<Recording> recordings_;
    std::map<std::string, std::string> voices_;  // language folder -> the copy
    int selectedChild_ = 0;
};

}  // namespace torvane
