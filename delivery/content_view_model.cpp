#include "delivery/content_view_model.h"

#include <sys/statvfs.h>

#include <algorithm>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/catalogue.h"
#include "store/default_xml.h"
#include "store/diy_xml.h"

namespace torvane {
namespace {

bool HasContentNo(const std::vector<ContentRecord>& shelf, std::string_view contentNo) {
    return std::any_of(shelf.begin(), shelf.end(),
                       [&](const ContentRecord& r) { return r.contentNo == contentNo; });
}

}  // namespace

int SubTabGroupOf(ContentTab tab) {
    switch (tab) {
        case ContentTab::Book:
            return 0;
        case ContentTab::Card:
            return 1;
        case ContentTab::Excellent:
            return 2;
        default:
            return -1;
    }
}

std::optional<Shelf> ShelfOfTab(ContentTab tab, bool series) {
    switch (tab) {
        case ContentTab::Language:
            return Shelf::Language;
        case ContentTab::Music:
            return Shelf::Music;
        case ContentTab::Story:
            return Shelf::Story;
        case ContentTab::Book:
            return series ? Shelf::BookSeries : Shelf::Book;
        case ContentTab::Card:
            return series ? Shelf::CardSeries : Shelf::Card;
        case ContentTab::Excellent:
            return series ? Shelf::ExcellentSeries : Shelf::Excellent;
        case ContentTab::Game:
            return Shelf::Game;
        case ContentTab::Diy:
            break;
    }
    return std::nullopt;
}

bool IsPlayableTab(ContentTab tab) {
    return tab == ContentTab::Music || tab == ContentTab::Story || tab == ContentTab::Diy;
}

PageRows RowsOfPage(int count, int page, int pageSize, bool showAll) {
    PageRows rows;
    count = std::max(count, 0);
    if (showAll) {
        rows.shown = rows.built = count;
        return rows;
    }
    rows.first = std::max(page, 0) * pageSize;
    rows.shown = std::clamp(count - rows.first, 0, pageSize);
    rows.built = pageSize;
    return rows;
}

int PreviousPageGroup(int page) {
    const int group = (page + 1 + 9) / 10;  // 1-based group of the page
    return std::max(0, 10 * (group - 2));
}

int NextPageGroup(int page) {
    const int group = (page + 1 + 9) / 10;
    return 10 * group;
}

std::string ShownDate(std::string_view date) {
    if (date.empty()) return "-";
    constexpr std::size_t kDay = 10;  // "YYYY-MM-DD"
    const bool stamp = date.size() > kDay && date[kDay] == 'T' && date[4] == '-' && date[7] == '-';
    return std::string(stamp ? date.substr(0, kDay) : date);
}

bool IsInstalled(const CDefaultXML& database, Shelf shelf, const ContentRecord& record) {
    return HasContentNo(database.Contents(shelf), record.contentNo);
}

bool IsDeviceRowEnabled(const ContentCatalogue& catalogue, Shelf shelf,
                        const ContentRecord& record) {
    if (shelf != Shelf::Language && shelf != Shelf::Music && shelf != Shelf::Story) return true;
    return HasContentNo(catalogue.Contents(shelf), record.contentNo);
}

void RebuildGameLists(ContentCatalogue& catalogue, CDefaultXML& database) {
    std::vector<ContentRecord>& offered = catalogue.MutableContents(Shelf::Game);
    offered.clear();
    const std::vector<ContentRecord>& installed = database.Contents(Shelf::Language);
    for (const ContentRecord& owned : catalogue.Contents(Shelf::Language)) {
        auto found = std::find_if(installed.begin(), installed.end(), [&](const ContentRecord& r) {
            return r.contentNo == owned.contentNo;
        });
        if (found != installed.end()) offered.push_back(*found);
    }
    database.Contents(Shelf::Game).clear();
    for (const std::string& chosen : database.gameContentList()) {
        if (chosen.empty() || chosen.front() != 'L') continue;
        auto found = std::find_if(installed.begin(), installed.end(),
                                  [&](const ContentRecord& r) { return r.contentNo == chosen; });
        if (found != installed.end()) database.Contents(Shelf::Game).push_back(*found);
    }
}

std::vector<int> SearchTitles(const std::vector<ContentRecord>& records, std::string_view text) {
    std::vector<int> found;
    if (text.empty()) return found;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].title.find(text) != std::string::npos) found.push_back(static_cast<int>(i));
    }
    return found;
}

const DiySlot& SlotOfRecord(const DiyRecord& record, int slot) {
    return record.slots[static_cast<std::size_t>(std::clamp(slot, 1, kDiySlotCount) - 1)];
}

std::string DiySlotTitle(const DiySlot& slot) {
    return slot.name.empty() ? slot.file : slot.name;
}

std::string_view DiyExportFilter(std::string_view fileName) {
    const bool mp3 = ToLowerAscii(fileName).find(".mp3") != std::string::npos;
    return mp3 ? "mp3 (*.mp3)" : "wav (*.wav)";
}

StorageNumbers StorageFromBytes(std::uint64_t userFree, std::uint64_t total,
                                std::uint64_t totalFree) {
    // Whole MiB in 32 bits, then GB, as the bar has always shown them.
    const auto gb = [](std::uint64_t bytes) {
        return static_cast<float>(static_cast<std::uint32_t>(bytes >> 20)) * (1.0f / 1024.0f);
    };
    return StorageNumbers{gb(userFree), gb(total), gb(totalFree)};
}

StorageNumbers ReadStorage(const std::string& root) {
    struct statvfs info {};
    if (root.empty() || statvfs(root.c_str(), &info) != 0) return {};
    const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    return StorageFromBytes(std::uint64_t{info.f_bavail} * unit,
                            std::uint64_t{info.f_blocks} * unit,
                            std::uint64_t{info.f_bfree} * unit);
}

bool StorageChanged(const StorageNumbers& before, const StorageNumbers& after) {
    return before != after;
}

StorageBar StorageBarOf(const StorageNumbers& numbers, int width) {
    StorageBar bar;
    // A card that reports no size has nothing to divide by: an empty bar without numbers.
    if (!(numbers.total > 0) || width <= 0) return bar;
    const float used = std::clamp(numbers.total - numbers.totalFree, 0.0f, numbers.total);
    bar.usedWidth = static_cast<int>(static_cast<float>(width) * used / numbers.total);
    bar.text = StorageBarText(used, numbers.totalFree);
    return bar;
}

}  // namespace torvane
