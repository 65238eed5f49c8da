// The device's content database, "Default.dat" in the device root: which contents are installed
// on which shelf, with their files, plus the device-wide settings (sound type, the child whose
// name the device speaks, the DIY content and the game selection). The model in memory is the
// truth; Save rewrites the whole file from it. It belongs to one card: every load, save and table
// it writes goes to the root it was made for, whatever card is current by then.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/status.h"
#include "store/card_anchor.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class CDefaultXML {
  public:
    // A model with no card: Load, Save and the tables fail.
    CDefaultXML() = default;
    // A database made for the card at `root` (a new card, a test): it may be saved without a
    // load.
    explicit CDefaultXML(std::string root);
    // The database of an opened card: never saved before it was read, so that a card whose
    // database was not loaded (or could not be) never gets one that holds only the latest change.
    explicit CDefaultXML(std::shared_ptr<CardAnchor> card) : card_(std::move(card)) {}
    virtual ~CDefaultXML() = default;
    CDefaultXML(const CDefaultXML&) = default;
    CDefaultXML& operator=(const CDefaultXML&) = default;

    // The card root this database is read from and written to.
    const std::string& root() const;
    // The card this database belongs to; null for a model with no card.
    const CardAnchor* card() const { return card_.get(); }
    // Whether the card is still the one read (see CardAnchor::Present); false without a card.
    bool OnItsCard() const { return card_ != nullptr && card_->Present(); }
    // Whether Save may write: the card is there and the database was read from it (or made new).
    bool Saveable() const { return readOrNew_ && OnItsCard(); }

    // Replaces the model by what Default.dat holds and puts the chosen games on the game shelf.
    // CardUnreadable without a device root (model left as it was), when the file cannot be
    // deciphered or read (model empty), or when the parser reported an error (model holds what
    // was read before it; the sentence names the file and the parser's reason).
    Status Load();
    // Writes the whole model, enciphered, as Default.dat. Sorts the number lists and the shelves
    // in place. The previous Default.dat stays whole when it fails: CardUnreadable when the card
    // is not the one read (pulled, replaced, or its database changed by someone else), Refused
    // when a card's database was never read, CardFull when the card did not take the file.
    Status Save();
    // Empties the ten shelves, the DIY card list and the game selection. Keeps the system version,
    // sound type, selected child and selected DIY content.
    void Clear();

    // True when the shelf chosen by type name and sub group holds that content number.
    bool FindContent(std::string_view subGroup, std::string_view typeName,
                     std::string_view contentNo) const;
    // Files a copy of a catalogue record as installed now: status from the catalogue flag, file
    // names lower-cased with ".mp3" made ".qvx". False when already there or the type is unknown.
    // The caller saves.
    bool AddContent(const ContentRecord& catalogueRecord);
    // Removes from the shelf every record with the number of one of `records`.
    void RemoveContents(Shelf shelf, const std::vector<ContentRecord>& records);
    // Adds a content to the game selection, rebuilds the game table and saves. False when the
    // number is already selected, or when the card did not take the table or the database (the
    // model is then left as it was).
    bool AddGameSelection(const ContentRecord& record);
    // Removes the first selection entry and game shelf record with that number; with `rebuild`,
    // rebuilds the game table and saves, and is false when the card did not take them.
    bool RemoveGameSelection(std::string_view contentNo, bool rebuild);
    // Makes a content the DIY content: writes the ck4 table, remembers the choice, saves, and lets
    // it take the previous DIY content's place in the game selection. False when the card did not
    // take a table or the database.
    bool SelectDiyContent(const ContentRecord& record);
    // Writes ck6's rfid.tbl from the game shelf. Does not save.
    bool RebuildGameTable();
    // The lines of the game table (ck6) and of the DIY content's table (ck4) as they are written
    // now from the model, CP949, in the tables' order.
    std::vector<std::string> GameTableLines() const;
    std::vector<std::string> DiyContentTableLines() const;
    // Writes ck4's rfid.tbl and sw.tbl from the DIY content as it stands. Does not save.
    bool RebuildDiyContentTable() const;

    // The game shelf is not stored: it becomes a copy of every selected content found on its
    // own shelf, in selection order. Load does it; so may a model built in memory.
    void FillGameShelfFromSelection();

    const std::vector<ContentRecord>& Contents(Shelf shelf) const {
        return shelves_[static_cast<std::size_t>(shelf)];
    }
    std::vector<ContentRecord>& Contents(Shelf shelf) {
        return shelves_[static_cast<std::size_t>(shelf)];
    }

    const std::string& systemVersion() const { return systemVersion_; }
    void setSystemVersion(std::string value) { systemVersion_ = std::move(value); }
    const std::string& soundType() const { return soundType_; }
    void setSoundType(std::string value) { soundType_ = std::move(value); }
    int selectedChildNo() const { return selectedChildNo_; }
    void setSelectedChildNo(int value) { selectedChildNo_ = value; }
    const std::string& selectedDiyContentNo() const { return selectedDiyContentNo_; }
    void setSelectedDiyContentNo(std::string value) { selectedDiyContentNo_ = std::move(value); }
    // Base names of the DIY content's files.
    const std::vector<std::string>& diyList() const { return diyList_; }
    std::vector<std::string>& diyList() { return diyList_; }
    // Content numbers of the game selection.
    const std::vector<std::string>& gameContentList() const { return gameContentList_; }
    std::vector<std::string>& gameContentList() { return gameContentList_; }

    // The plain document Save writes (CP949 bytes), sorting the lists as Save does.
    std::string SerializeDocument();
    // Fills the model from a plain document (CP949 bytes, parsing stops at a NUL) as Load does
    // after deciphering. CardUnreadable, with the parser's words, when it reported an error.
    Status ParseDocument(std::string_view document);

  private:
    friend class DefaultXmlReader;

    std::shared_ptr<CardAnchor> card_;
    bool readOrNew_ = false;
    std::array<std::vector<ContentRecord>, kShelfCount> shelves_;
    std::vector<std::string> diyList_;
    std::vector<std::string> gameContentList_;
    std::string systemVersion_;
    std::string soundType_;
    int selectedChildNo_ = 0;
    std::string selectedDiyContentNo_;
};

}  // namespace torvane
