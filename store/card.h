// One memory card of the device, as it was opened: its root folder, its content database and its
// DIY database, and the fixed places the device reads. A job, an action or a page works on the
// card it was handed; whatever card detection finds later, this one's databases are read from
// and written to its own root only.
#pragma once

#include <string>
#include <string_view>

#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/diy_xml.h"

namespace torvane {

class Card {
  public:
    explicit Card(std::string root);

    const std::string& root() const { return root_; }
    CDefaultXML& database() { return database_; }
    const CDefaultXML& database() const { return database_; }
    CDiyXML& diy() { return diy_; }
    const CDiyXML& diy() const { return diy_; }

    // Reads Default.dat into the database; the parser's complaint, if any, is the database's
    // lastError(). Front ends open a card through OpenCardDatabase, which says why it failed.
    bool LoadDatabase() { return database_.Load(); }
    // Reads Diy.dat and rec.tbl into the DIY database.
    bool LoadDiy() { return diy_.Load(); }

    // `relative` below the root ("ck6/rfid.tbl").
    std::string Path(std::string_view relative) const { return card_paths::Below(root_, relative); }
    // A content kind's folder ("ck2").
    std::string Folder(std::string_view folder) const { return Path(folder); }
    // The name voice folder of one language ("ck1/kor").
    std::string NameVoiceFolder(std::string_view language) const {
        return card_paths::NameVoiceFolder(root_, language);
    }
    // A recording slot's folder, 1 to 4 ("ck9/re1").
    std::string RecordingSlotFolder(int slot) const {
        return card_paths::RecordingSlotFolder(root_, slot);
    }

  private:
    std::string root_;
    CDefaultXML database_;
    CDiyXML diy_;
};

}  // namespace torvane
