// Checking a card: what would leave the device silent or waste its space, found without changing
// a byte. A card pulled out during an install, filled up, or written by an older program can hold
// tables that point at missing files, contents whose files are short, DIY slots without their
// recording, or leftovers of interrupted writes; the check names each one and where it is, and
// the repair mends what can be mended without guessing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "delivery/download_job.h"
#include "store/card.h"

namespace torvane {

enum class CardProblemKind {
    UnreadableDatabase,     // Default.dat
    UnreadableDiyDatabase,  // Diy.dat
    UnreadableRecTable,     // ck9/rec.tbl
    MissingContentFile,     // an installed content's file is not on the card
    ShortContentFile,       // shorter than the catalogue says
    EmptyContentFile,       // nothing in it
    StaleFolderTables,      // a kind's rfid.tbl/sw.tbl differ from the files in its folder
    StaleGameTable,         // ck6/rfid.tbl differs from the game selection
    StaleDiyCardTable,      // ck4/rfid.tbl or sw.tbl differ from the DIY content
    MissingRecording,       // a DIY slot names a file that is not there
    UnlistedRecording,      // a recording no slot names
    NameVoiceIncomplete,    // the selected child's voice missing in a language folder (that file)
    NameVoiceWithoutChild,  // a name voice with no selected child
    Leftover,               // a temporary file of an interrupted write
};

struct CardProblem {
    CardProblemKind kind;
    std::string where;      // the file or folder, relative to the card's root
    std::string contentNo;  // the content concerned, when one is
    bool operator==(const CardProblem&) const = default;
};

// Catalogue sizes of the account's files by content number and file name (device name, lower
// case ".qvx"), when signed in.
using CatalogueSizes = std::map<std::string, std::map<std::string, std::uint64_t>>;

// Reads the card and lists its problems; an empty list is a sound card. Loads the card's
// databases into `card` (their files are only read). `sizes` may be null.
std::vector<CardProblem> CheckCard(Card& card, const CatalogueSizes* sizes);

// What a repair did about one problem.
struct RepairStep {
    CardProblem problem;
    bool mended = false;  // false: left as it was (not mendable without guessing, or it failed)
};

// Mends what can be mended without guessing, in this order: removes the leftovers of interrupted
// writes, drops DIY slots whose recording is gone, downloads again the missing, empty or short
// files of installed contents (when `catalogue` is given: the account's records, run through
// `runner` like any install), and rebuilds the tables. Files the card's databases do not account
// for are never deleted. `problems` is what CheckCard found on the same card.
std::vector<RepairStep> RepairCard(Card& card, const std::vector<CardProblem>& problems,
                                   const std::vector<ContentRecord>* catalogue, IJobRunner* runner);

// Whether the temporary at `relative` (".~name.XXXXXX") may be the only copy left of a recording
// or a name voice: one whose own file is not there, after a card pulled while a reset put the
// recordings back or while a recording was assigned. Only the parent can tell; no check, repair
// or restore ever deletes it.
bool MayBeOnlyCopy(const Card& card, const std::string& relative);

// A plain Korean sentence for a problem's kind.
std::string_view CardProblemSentence(CardProblemKind kind);

// A short name for a problem's kind, for scripts ("missing-content-file").
std::string_view CardProblemKey(CardProblemKind kind);

}  // namespace torvane
