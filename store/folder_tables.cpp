#include "store/folder_tables.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "common/text_codec.h"
#include "store/content_types.h"
#include "store/device_files.h"
#include "store/file_cipher.h"

namespace torvane {
namespace fs = std::filesystem;
namespace {

bool StartsWithDigit(std::string_view text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text.front()));
}

// Every sound file below `folder`, sub-folders included. Folders that cannot be listed are passed
// over, and symlinked folders are not followed, so a loop on the card cannot hang the walk.
void CollectTableLines(const fs::path& folder, std::string_view folderPart,
                       std::set<std::string>& lines) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return;
    for (const fs::directory_entry& entry : it) {
        std::error_code entryError;
        const fs::file_status status = entry.symlink_status(entryError);
        if (entryError) continue;
        if (fs::is_directory(status)) {
            CollectTableLines(entry.path(), folderPart, lines);
            continue;
        }
        if (!entry.is_regular_file(entryError)) continue;
        const std::string name = entry.path().filename().string();
        // The card identifier is the name up to its first dot; a name without one has none.
        const auto dot = name.find('.');
        if (!StartsWithDigit(name) || dot == std::string::npos) continue;
        const std::string deviceName = IsAscii(name) ? name : Utf8ToCp949(name);
        const auto deviceDot = deviceName.find('.');
        std::string line = deviceName.substr(0, deviceDot);
        line += "^^";
        line += deviceName;
        line += "^^";
        line += folderPart;
        lines.insert(std::move(line));
    }
}

}  // namespace

std::string DiyCardNumber(std::string_view baseName) {
    const std::string text(baseName);
    const long number = std::strtol(text.c_str(), nullptr, 10);
    char card[32];
    std::snprintf(card, sizeof card, "901001%02ld", number % 100);
    return card;
}

std::vector<std::string> DistinctBaseNames(const ContentRecord& record) {
    std::set<std::string> names;
    for (const FileRecord& file : record.files) {
        const auto dot = file.name.find_last_of('.');
        names.insert(dot == std::string::npos ? file.name : file.name.substr(0, dot));
    }
    return {names.begin(), names.end()};
}

std::string TableText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool WriteEncipheredTable(const std::vector<std::string>& lines, const std::string& finalPath) {
    return WriteEncipheredFile(finalPath, TableText(lines));
}

std::optional<std::vector<std::string>> FolderTableLines(std::string_view typeName,
                                                         const std::string& root) {
    const auto folderName = FolderForType(typeName);
    if (!folderName || root.empty()) return std::nullopt;
    const std::string folderPart = "/" + std::string(*folderName);
    std::set<std::string> unique;
    CollectTableLines(root + folderPart, folderPart, unique);
    return std::vector<std::string>(unique.begin(), unique.end());
}

bool RebuildFolderTables(std::string_view typeName, const std::string& root) {
    return RebuildFolderTables(typeName, CardAnchor(root));
}

bool RebuildFolderTables(std::string_view typeName, const CardAnchor& card) {
    // Types without a folder of their own (the game) have no folder tables; writing tables into
    // the card's root instead would only leave files the device does not look for.
    const auto folderName = FolderForType(typeName);
    const std::string& root = card.root();
    if (!folderName || root.empty()) return false;
    const std::string folder = root + "/" + std::string(*folderName);
    // A missing folder gives empty tables, so the device finds no stale ones.
    if (!card.MakeFolders(folder)) return false;

    const auto lines = FolderTableLines(typeName, root);
    return lines && card.Present() && WriteEncipheredTable(*lines, folder + "/rfid.tbl") &&
           WriteEncipheredTable(*lines, folder + "/sw.tbl");
}

}  // namespace torvane
