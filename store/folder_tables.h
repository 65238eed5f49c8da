// The card tables the device looks a card up in: identifier, "^^", file name, "^^", "/" and the
// folder, each line ended by CR LF, enciphered. Tables are always rebuilt whole, never edited.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/card_anchor.h"
#include "store/content_record.h"

namespace torvane {

// Rebuilds rfid.tbl and sw.tbl of a type's folder (ck2, ck7, ck8, ck3, ck10, ck11 below `root`)
// from the sound files present anywhere below it. False for a type without a folder of its own,
// or when a table cannot be written.
bool RebuildFolderTables(std::string_view typeName, const std::string& root);
// The same on an opened card: nothing is written once the card is not the one opened.
bool RebuildFolderTables(std::string_view typeName, const CardAnchor& card);

// The DIY card a file answers to: "901001" and the base name's leading number modulo 100.
std::string DiyCardNumber(std::string_view baseName);

// The distinct base names (name up to its last ".") of a content's files, ascending.
std::vector<std::string> DistinctBaseNames(const ContentRecord& record);

// A table's plain text: each line followed by CR LF.
std::string TableText(const std::vector<std::string>& lines);

// The lines a type's folder tables hold when rebuilt now from the files below the folder, in the
// tables' order. Nothing for a type without a folder of its own. Reads only.
std::optional<std::vector<std::string>> FolderTableLines(std::string_view typeName,
                                                         const std::string& root);

// Writes table lines (each followed by CR LF), enciphered, as the table at `finalPath`. False when
// it could not be written; the previous table then stays whole.
bool WriteEncipheredTable(const std::vector<std::string>& lines, const std::string& finalPath);

}  // namespace torvane
