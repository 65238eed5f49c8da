// The tables the content database drives: the game table (ck6) and the DIY content table (ck4).
#include <algorithm>
#include <cctype>

#include "common/text_codec.h"
#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

// The game and DIY tables point at the language folder, where the files of every game content
// lie.
std::string LanguageFolderLine(const std::string& identifier, const std::string& baseName) {
    return identifier + "^^" + baseName + ".qvx^^/ck2";
}

void RemoveLineBreaks(std::string& line) {
    for (auto at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
        line.erase(at, 2);
}

bool OnShelf(const std::vector<ContentRecord>& shelf, std::string_view contentNo) {
    return std::any_of(shelf.begin(), shelf.end(),
                       [&](const ContentRecord& c) { return c.contentNo == contentNo; });
}

// The DIY content's lines: its files whose names start with a digit, each under its DIY card.
std::vector<std::string> DiyContentLines(const std::vector<std::string>& bases,
                                         std::vector<std::string>* usedBases) {
    std::vector<std::string> lines;
    for (const std::string& base : bases) {
        if (base.empty() || !std::isdigit(static_cast<unsigned char>(base.front()))) continue;
        lines.push_back(Utf8ToCp949(LanguageFolderLine(DiyCardNumber(base), base)));
        if (usedBases != nullptr) usedBases->push_back(base);
    }
    return lines;
}

}  // namespace

std::vector<std::string> CDefaultXML::GameTableLines() const {
    std::vector<std::string> lines;
    for (const ContentRecord& record : Contents(Shelf::Game)) {
        const bool isDiyContent = record.contentNo == selectedDiyContentNo_;
        for (const std::string& base : DistinctBaseNames(record)) {
            std::string line = LanguageFolderLine(isDiyContent ? DiyCardNumber(base) : base, base);
            RemoveLineBreaks(line);
            lines.push_back(Utf8ToCp949(line));
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> CDefaultXML::DiyContentTableLines() const {
    for (const ContentRecord& record : Contents(Shelf::Language)) {
        if (record.contentNo == selectedDiyContentNo_)
            return DiyContentLines(DistinctBaseNames(record), nullptr);
    }
    return {};
}

bool CDefaultXML::RebuildDiyContentTable() const {
    // The tables follow the database: written only where it may be saved.
    if (!Saveable()) return false;
    const auto lines = DiyContentTableLines();
    return WriteEncipheredTable(lines, card_paths::Below(root(), card_paths::kDiyContentTable)) &&
           WriteEncipheredTable(lines, card_paths::Below(root(), card_paths::kDiyContentSwTable));
}

bool CDefaultXML::RebuildGameTable() {
    if (!Saveable()) return false;
    return WriteEncipheredTable(GameTableLines(),
                                card_paths::Below(root(), card_paths::kGameTable));
}

bool CDefaultXML::SelectDiyContent(const ContentRecord& chosen) {
    // A copy: the caller may pass a record that lives on one of this model's shelves.
    const ContentRecord record = chosen;
    const std::string oldNo = selectedDiyContentNo_;
    const std::string newNo = record.contentNo;
    const std::vector<std::string> bases = DistinctBaseNames(record);
    if (!Saveable()) return false;
    diyList_.clear();

    const std::vector<std::string> lines = DiyContentLines(bases, &diyList_);
    const std::string folder = card_paths::Below(root(), card_paths::kDiyContentFolder);
    if (!WriteEncipheredTable(lines, folder + "/rfid.tbl")) return false;
    // The device reads the DIY cards from either table; both hold the same bytes.
    if (!CopyFileSafely(folder + "/rfid.tbl", folder + "/sw.tbl")) return false;

    selectedDiyContentNo_ = newNo;
    if (!Save().ok()) return false;

    const auto& game = Contents(Shelf::Game);
    if (oldNo == newNo || game.empty() || !OnShelf(game, oldNo) || OnShelf(game, newNo)) {
        return RebuildGameTable();
    }
    // The new DIY content takes the previous one's place in the game selection.
    RemoveGameSelection(oldNo, false);
    gameContentList_.push_back(newNo);
    Contents(Shelf::Game).push_back(record);
    return RebuildGameTable() && Save().ok();
}

}  // namespace torvane
