// The content types the device knows, the shelves the program files them on and the device folder
// each type's sounds live in.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "store/content_record.h"

namespace torvane {

// The ten shelves, in the order the program keeps them.
enum class Shelf {
    Language,
    Music,
    Story,
    BookSeries,
    Book,
    Game,
    CardSeries,
    Card,
    ExcellentSeries,
    Excellent,
};
inline constexpr std::size_t kShelfCount = 10;

inline constexpr std::array<Shelf, kShelfCount> kAllShelves = {
    Shelf::Language, Shelf::Music,      Shelf::Story, Shelf::BookSeries,      Shelf::Book,
    Shelf::Game,     Shelf::CardSeries, Shelf::Card,  Shelf::ExcellentSeries, Shelf::Excellent};

// The shelves in the order the device's database lists them; the game shelf is not stored.
inline constexpr std::array<Shelf, 9> kStoredShelves = {
    Shelf::Language,   Shelf::Music, Shelf::Story,           Shelf::BookSeries, Shelf::Book,
    Shelf::CardSeries, Shelf::Card,  Shelf::ExcellentSeries, Shelf::Excellent};

// A kind of content the device knows, with everything the program decides by kind: the type
// name the service and the database use, the letter its content numbers start with, the shelves
// it is filed on, its folder on the card, how its files are laid out there and the status word
// an installed content gets when the catalogue marks it as a default.
struct ContentKind {
    std::string_view name;             // "language"
    char numberLetter;                 // 'L'
    Shelf shelf;                       // the shelf of single contents
    std::optional<Shelf> seriesShelf;  // the shelf of series, for kinds sold as series too
    std::string_view folder;           // its folder on the card; empty for games, which have none
    bool filesByLanguage;              // files sit below "<language>/<folder type>" in the folder
    std::string_view defaultStatus;    // status of a content installed as a default
};

inline constexpr std::array<ContentKind, 7> kContentKinds = {{
    {"language", 'L', Shelf::Language, std::nullopt, "ck2", true, "default"},
    {"music", 'M', Shelf::Music, std::nullopt, "ck7", false, "enable"},
    {"story", 'S', Shelf::Story, std::nullopt, "ck8", false, "enable"},
    {"book", 'B', Shelf::Book, Shelf::BookSeries, "ck3", true, "enable"},
    {"game", 'G', Shelf::Game, std::nullopt, "", false, "enable"},
    {"card", 'C', Shelf::Card, Shelf::CardSeries, "ck10", true, "enable"},
    {"excellent", 'E', Shelf::Excellent, Shelf::ExcellentSeries, "ck11", true, "enable"},
}};

// The kind of a type name; nullptr for a type the device does not know.
const ContentKind* FindKind(std::string_view name);
// The kind filed on a shelf.
const ContentKind& KindOfShelf(Shelf shelf);
// The shelf of a kind for a sub group: "series" files books, cards and excellents on their
// series shelf.
Shelf ShelfOf(const ContentKind& kind, std::string_view subGroup);

// The key that names a shelf in the command line's JSON ("language", "bookSeries", ...).
std::string_view ShelfKey(Shelf shelf);

// The shelf for a type name and sub group; nothing for a type name the device does not know.
std::optional<Shelf> ShelfFor(std::string_view mainGroup, std::string_view subGroup);

// The shelf for a content number read from the device's database, by its first letter.
std::optional<Shelf> ShelfForContentNo(std::string_view contentNo, std::string_view subGroup);

// The device folder of a type ("ck2" for "language"); nothing for "game" and unknown types,
// which have no folder of their own.
std::optional<std::string_view> FolderForType(std::string_view mainGroup);

// The name a sound file has on the card: lower case, with ".qvx" for every ".mp3".
std::string DeviceFileName(std::string_view catalogueName);

// Where a content's file lies on the card, relative to its root: the kind's folder, then for
// kinds filed by language the language and folder type, then the file's device name; all lower
// case. Nothing for a kind without a folder and for names that are not plain path components
// (they could point anywhere).
std::optional<std::string> ContentFilePath(const ContentRecord& content, const FileRecord& file);

}  // namespace torvane
