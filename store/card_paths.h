// The fixed places on a card, relative to its root: the databases, the tables the device reads
// and the folders of the name voice and the DIY recordings. The content kinds' folders are in
// the kinds table (store/content_types.h).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_codec.h"

namespace torvane::card_paths {

inline constexpr std::string_view kDatabase = "Default.dat";
inline constexpr std::string_view kDiyDatabase = "Diy.dat";
inline constexpr std::string_view kFirmwareInfo = "info.dat";  // the firmware's version, as text
inline constexpr std::string_view kNameVoiceFolder = "ck1";    // one folder per language below
inline constexpr std::string_view kDiyContentFolder = "ck4";   // the chosen DIY content's table
inline constexpr std::string_view kDiyContentTable = "ck4/rfid.tbl";
inline constexpr std::string_view kDiyContentSwTable = "ck4/sw.tbl";  // the same bytes again
inline constexpr std::string_view kGameFolder = "ck6";                // the game selection's table
inline constexpr std::string_view kGameTable = "ck6/rfid.tbl";
inline constexpr std::string_view kRecordingFolder = "ck9";  // rec.tbl and the slots re1..re4
inline constexpr std::string_view kRecordingTable = "ck9/rec.tbl";

// `relative` below `root`.
inline std::string Below(std::string_view root, std::string_view relative) {
    std::string path(root);
    path += '/';
    path += relative;
    return path;
}

// A recording slot's folder, 1 to 4, relative to the root ("ck9/re1").
inline std::string RecordingSlot(int slot) {
    return std::string(kRecordingFolder) + "/re" + std::to_string(slot);
}

// The same folder below `root`.
inline std::string RecordingSlotFolder(std::string_view root, int slot) {
    return Below(root, RecordingSlot(slot));
}

// The name voice folder of one language ("ck1/ko").
inline std::string NameVoiceFolder(std::string_view root, std::string_view language) {
    return Below(root, kNameVoiceFolder) + "/" + std::string(language);
}

// The device calls the selected child by the same recording kept once per language folder.
inline constexpr std::string_view kNameVoiceFile = "00000003.qvx";
inline constexpr std::array<std::string_view, 4> kNameVoiceLanguages = {"en", "ko", "ja", "ch"};

// The name voice of one language, relative to the root ("ck1/ja/00000003.qvx").
inline std::string NameVoiceFile(std::string_view language) {
    return std::string(kNameVoiceFolder) + "/" + std::string(language) + "/" +
           std::string(kNameVoiceFile);
}

// The four places of the name voice.
inline std::vector<std::string> NameVoiceFiles(std::string_view root) {
    std::vector<std::string> paths;
    for (const std::string_view language : kNameVoiceLanguages)
        paths.push_back(Below(root, NameVoiceFile(language)));
    return paths;
}

// The name the card's FAT file system stores for a path ("/" separated): it ignores ASCII letter
// case and drops the dots and blanks at the end of every part, so "rec.wav", "REC.WAV" and
// "rec.wav. " are one file on the card. A part of dots and blanks only is left empty.
inline std::string FatName(std::string_view path) {
    std::string name;
    std::size_t start = 0;
    while (true) {
        const auto slash = path.find('/', start);
        std::string_view part = path.substr(start, slash - start);
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
        name += ToLowerAscii(part);
        if (slash == std::string_view::npos) return name;
        name += '/';
        start = slash + 1;
    }
}

// What only this card holds, relative to the root: its databases, the recording table, the
// parent's recordings (a folder, ending in "/") and the name voice. A package that updates the
// card never replaces them: the service's copies are blank, and the card's cannot be downloaded
// again.
inline std::vector<std::string> OwnedByTheCard() {
    std::vector<std::string> paths = {std::string(kDatabase), std::string(kDiyDatabase),
                                      std::string(kRecordingTable)};
    for (int slot = 1; slot <= 4; ++slot) paths.push_back(RecordingSlot(slot) + "/");
    for (const std::string_view language : kNameVoiceLanguages)
        paths.push_back(NameVoiceFile(language));
    return paths;
}

}  // namespace torvane::card_paths
