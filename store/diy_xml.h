// The DIY database: the user's own recordings for the 1500 DIY cards, four slots per card.
// "Diy.dat" (device root, enciphered) keeps each slot's name and date; "ck9/rec.tbl" (plain) is
// what the device reads to find each card's files, and the authority for which file is in which
// slot. It belongs to one card: loads and saves go to the root it was made for.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/status.h"
#include "store/card_anchor.h"

namespace torvane {

inline constexpr long kFirstDiyCard = 92100001;
inline constexpr int kDiyCardCount = 1500;
inline constexpr int kDiySlotCount = 4;

struct DiySlot {
    std::string name;  // display name (UTF-8)
    std::string date;  // "YYYY-MM-DDThh-mm-ss"; the slot is in use exactly when this is not empty
    std::string file;  // the sound file's name in ck9/re1 .. ck9/re4

    bool InUse() const { return !date.empty(); }
    bool operator==(const DiySlot&) const = default;
};

struct DiyRecord {
    std::array<DiySlot, kDiySlotCount> slots;

    bool operator==(const DiyRecord&) const = default;
};

class CDiyXML {
  public:
    // A database with no card: Load and the Saves fail.
    CDiyXML() = default;
    // A database made for the card at `root` (a new card, a test): it may be saved unread.
    explicit CDiyXML(std::string root);
    // The DIY database of an opened card: saved only once it was read, and only while the card
    // is the one opened.
    explicit CDiyXML(std::shared_ptr<CardAnchor> card) : card_(std::move(card)) {}

    // The card root this database is read from and written to.
    const std::string& root() const;
    // The card this database belongs to; null for a database with no card.
    const CardAnchor* card() const { return card_.get(); }
    // Whether the Saves may write: the card is there and the database was read from it.
    bool Saveable() const {
        return readOrNew_ && card_ != nullptr && card_->Present() && card_->DiyFilesAsNoted();
    }

    // Rebuilds the records from Diy.dat (1500 empty ones when there is none) and merges rec.tbl.
    // CardUnreadable without a device root (nothing changed), when Diy.dat is there but cannot be
    // read, or when it is damaged; the sentence names the file and why.
    Status Load();
    // 1500 empty cards, to be saved as the card's first DIY database (one that was missing or
    // could not be read and is written anew on purpose).
    void StartEmpty();
    // Writes Diy.dat, enciphered. CardUnreadable or Refused when not Saveable (see SaveAllowed),
    // CardFull when the card did not take it.
    Status SaveDiyFile();
    // Writes ck9/rec.tbl: one line per card, then the other lines kept from the file. Fails as
    // SaveDiyFile does.
    Status SaveRecTable();

    const std::vector<DiyRecord>& records() const { return records_; }
    std::vector<DiyRecord>& records() { return records_; }
    // The record of a card number; nullptr outside 92100001..92101500 or beyond the records.
    DiyRecord* RecordForCard(long cardNo);
    const DiyRecord* RecordForCard(long cardNo) const;
    // rec.tbl lines that are not DIY lines, in file order.
    const std::vector<std::string>& otherTableLines() const { return otherLines_; }

    // What Load does once the files are read: the records from a plain Diy.dat document (CP949
    // bytes; nothing: the card has none), always 1500 of them, merged with rec.tbl's bytes.
    // CardUnreadable, with the parser's words, when Diy.dat's document is damaged.
    Status ReadDocuments(std::optional<std::string_view> diyDocument, std::string_view recTable);

    // The plain Diy.dat document (CP949 bytes) and the rec.tbl bytes as the Saves write them.
    std::string SerializeDiyDocument() const;
    std::string SerializeRecTable() const;

  private:
    friend class DiyXmlReader;

    Status ParseDiyDocument(std::string_view document);
    // Writes one of the two files through `write` once the database may be saved (see
    // SaveAllowed), and notes the files as this program wrote them.
    Status SaveWith(const std::function<bool()>& write);
    void MergeRecTable(const std::string& text);

    std::shared_ptr<CardAnchor> card_;
    bool readOrNew_ = false;
    std::vector<DiyRecord> records_;
    std::vector<std::string> otherLines_;
};

}  // namespace torvane
