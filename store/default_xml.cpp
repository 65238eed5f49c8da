// The model operations of the content database: shelves, the game selection, adding and removing
// installed contents.
#include "store/default_xml.h"

#include <algorithm>
#include <set>

#include "common/text_codec.h"
#include "store/device_clock.h"

namespace torvane {
namespace {

bool FlagIsYes(std::string_view flag) {
    return !flag.empty() && flag.front() == 'Y';
}

// The status an installed content gets from the catalogue's default flag.
void SetInstalledStatus(ContentRecord& record) {
    const ContentKind* kind = FindKind(record.mainGroup);
    if (kind != nullptr) record.status = FlagIsYes(record.status) ? kind->defaultStatus : "";
}

}  // namespace

void CDefaultXML::Clear() {
    for (auto& shelf : shelves_) shelf.clear();
    diyList_.clear();
    gameContentList_.clear();
}

bool CDefaultXML::FindContent(std::string_view subGroup, std::string_view typeName,
                              std::string_view contentNo) const {
    const auto shelf = ShelfFor(typeName, subGroup);
    if (!shelf) return false;
    const auto& contents = Contents(*shelf);
    return std::any_of(contents.begin(), contents.end(),
                       [&](const ContentRecord& c) { return c.contentNo == contentNo; });
}

bool CDefaultXML::AddContent(const ContentRecord& catalogueRecord) {
    const auto shelf = ShelfFor(catalogueRecord.mainGroup, catalogueRecord.subGroup);
    if (!shelf) return false;
    if (FindContent(catalogueRecord.subGroup, catalogueRecord.mainGroup, catalogueRecord.contentNo))
        return false;
    ContentRecord installed = catalogueRecord;
    installed.date = DeviceDateNow();
    SetInstalledStatus(installed);
    for (FileRecord& file : installed.files) file.name = DeviceFileName(file.name);
    Contents(*shelf).push_back(std::move(installed));
    return true;
}

void CDefaultXML::RemoveContents(Shelf shelf, const std::vector<ContentRecord>& records) {
    std::set<std::string, std::less<>> numbers;
    for (const ContentRecord& record : records) numbers.insert(record.contentNo);
    std::erase_if(Contents(shelf),
                  [&](const ContentRecord& c) { return numbers.contains(c.contentNo); });
}

bool CDefaultXML::AddGameSelection(const ContentRecord& record) {
    if (FindContent("", "game", record.contentNo)) return false;
    gameContentList_.push_back(record.contentNo);
    Contents(Shelf::Game).push_back(record);
    if (RebuildGameTable() && Save().ok()) return true;
    // The card did not take it: the model goes back to what the card holds.
    RemoveGameSelection(record.contentNo, false);
    return false;
}

bool CDefaultXML::RemoveGameSelection(std::string_view contentNo, bool rebuild) {
    if (auto it = std::find(gameContentList_.begin(), gameContentList_.end(), contentNo);
        it != gameContentList_.end())
        gameContentList_.erase(it);
    auto& game = Contents(Shelf::Game);
    if (auto it = std::find_if(game.begin(), game.end(),
                               [&](const ContentRecord& c) { return c.contentNo == contentNo; });
        it != game.end())
        game.erase(it);
    if (rebuild) return RebuildGameTable() && Save().ok();
    return true;
}

void CDefaultXML::FillGameShelfFromSelection() {
    auto& game = Contents(Shelf::Game);
    game.clear();
    for (const std::string& number : gameContentList_) {
        for (const Shelf shelf : kStoredShelves) {
            const auto& contents = Contents(shelf);
            const auto it =
                std::find_if(contents.begin(), contents.end(),
                             [&](const ContentRecord& c) { return c.contentNo == number; });
            if (it != contents.end()) {
                game.push_back(*it);
                break;
            }
        }
    }
}

}  // namespace torvane
