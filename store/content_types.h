// The content types the device knows, the shelves the program files them on and the device folder
// each type's sounds live in.
#pragma once

#include <array>
#include <optional>
#include <string_view>

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
    Shelf::Language,   Shelf::Music, Shelf::Story,           Shelf::BookSeries, Shelf::Book,
    Shelf::Game,       Shelf::CardSeries, Shelf::Card, Shelf::ExcellentSeries, Shelf::Excellent};

// The shelves in the order the device's database lists them; the game shelf is not stored.
inline constexpr std::array<Shelf, 9> kStoredShelves = {
    Shelf::Language,   Shelf::Music, Shelf::Story,           Shelf::BookSeries, Shelf::Book,
    Shelf::CardSeries, Shelf::Card,  Shelf::ExcellentSeries, Shelf::Excellent};

// The key that names a shelf in the command line's JSON ("language", "bookSeries", ...).
std::string_view ShelfKey(Shelf shelf);

// The shelf for a type name and sub group; nothing for a type name the device does not know.
std::optional<Shelf> ShelfFor(std::string_view mainGroup, std::string_view subGroup);

// The shelf for a content number read from the device's database, by its first letter.
std::optional<Shelf> ShelfForContentNo(std::string_view contentNo, std::string_view subGroup);

// The device folder of a type ("ck2" for "language"); nothing for "game" and unknown types,
// which have no folder of their own.
std::optional<std::string_view> FolderForType(std::string_view mainGroup);

}  // namespace torvane
