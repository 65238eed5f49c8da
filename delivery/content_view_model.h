// The content page's decisions, without a window: which shelf a tab shows, which rows a page
// holds, which rows are grey, the game lists, the title searches, the DIY rows and the storage
// bar. The desktop page asks these and only draws; tests drive them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class CDefaultXML;
class ContentCatalogue;
struct DiyRecord;
struct DiySlot;

// The kind tabs in the order they stand on the page.
enum class ContentTab { Language, Music, Story, Book, Card, Excellent, Diy, Game };
inline constexpr int kContentTabCount = 8;
inline constexpr ContentTab kContentTabs[kContentTabCount] = {
    ContentTab::Language, ContentTab::Music,     ContentTab::Story, ContentTab::Book,
    ContentTab::Card,     ContentTab::Excellent, ContentTab::Diy,   ContentTab::Game};

// Which pair of sub-tabs (series first, singles second) a tab has: 0 book, 1 card, 2 excellent;
// -1 on the tabs without sub-tabs.
int SubTabGroupOf(ContentTab tab);
// The shelf a tab shows; `series` picks the series shelf on the tabs with sub-tabs. Nothing on
// the DIY tab, which lists the DIY cards instead.
std::optional<Shelf> ShelfOfTab(ContentTab tab, bool series);
// The tabs whose sounds the main window's player may play.
bool IsPlayableTab(ContentTab tab);

// Rows per list page: ten contents, fifty DIY cards.
inline constexpr int kContentPageSize = 10;
inline constexpr int kDiyPageSize = 50;

// The rows of one page of a list.
struct PageRows {
    int first = 0;  // index of the first record shown
    int shown = 0;  // records shown
    int built = 0;  // rows built below the header: records plus filler rows
};
// Page `page` of `count` records; with `showAll` every record and no filler row.
PageRows RowsOfPage(int count, int page, int pageSize, bool showAll);
// The first page of the group of ten pages before, respectively after, the page's group.
int PreviousPageGroup(int page);
int NextPageGroup(int page);

// A catalogue row is grey when its content is already on the tab's shelf of the card.
bool IsInstalled(const CDefaultXML& database, Shelf shelf, const ContentRecord& record);

// What a list's "다운로드" column shows of a date: the day ("2026-12-11") of the stamp the card
// writes ("2026-12-11T03-50-07"), which the column holds whole on every tab; another text as it
// is; "-" for none.
std::string ShownDate(std::string_view date);
// A device row on the language, song and story tabs is usable only when the account owns it;
// every other tab's device rows are usable.
bool IsDeviceRowEnabled(const ContentCatalogue& catalogue, Shelf shelf,
                        const ContentRecord& record);

// Entering the game tab: the catalogue's game shelf offers the installed language contents the
// account owns (in catalogue order), the card's game shelf shows the chosen ones.
void RebuildGameLists(ContentCatalogue& catalogue, CDefaultXML& database);

// Indices of the records whose title holds `text`, in shelf order; nothing for an empty text.
std::vector<int> SearchTitles(const std::vector<ContentRecord>& records, std::string_view text);

// Slot 1 to 4 of a DIY record.
const DiySlot& SlotOfRecord(const DiyRecord& record, int slot);
// The title of a slot: its name, else its file name.
std::string DiySlotTitle(const DiySlot& slot);
// The save dialog's filter for a slot's file: an MP3 stays an MP3, anything else is offered as
// the WAV the recorder writes.
std::string_view DiyExportFilter(std::string_view fileName);

// The card's space in GB, as the storage bar shows it.
struct StorageNumbers {
    float userFree = 0;
    float total = 0;
    float totalFree = 0;
    bool operator==(const StorageNumbers&) const = default;
};
// statvfs of the card's root; all zero when it cannot be read.
StorageNumbers ReadStorage(const std::string& root);
StorageNumbers StorageFromBytes(std::uint64_t userFree, std::uint64_t total,
                                std::uint64_t totalFree);
// Whether a refresh must repaint the bar.
bool StorageChanged(const StorageNumbers& before, const StorageNumbers& after);

// The bar drawn from the numbers: the used part's width in a bar of `width` pixels, and its text.
// A card that reports no size (or no card) gives an empty bar without numbers.
struct StorageBar {
    int usedWidth = 0;
    std::string text;  // empty: no numbers
};
StorageBar StorageBarOf(const StorageNumbers& numbers, int width);

}  // namespace torvane
