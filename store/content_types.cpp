#include "store/content_types.h"

namespace torvane {
namespace {

constexpr bool IsSeries(std::string_view subGroup) { return subGroup == "series"; }

}  // namespace

std::string_view ShelfKey(Shelf shelf) {
    switch (shelf) {
        case Shelf::Language: return "language";
        case Shelf::Music: return "music";
        case Shelf::Story: return "story";
        case Shelf::BookSeries: return "bookSeries";
        case Shelf::Book: return "book";
        case Shelf::Game: return "game";
        case Shelf::CardSeries: return "cardSeries";
        case Shelf::Card: return "card";
        case Shelf::ExcellentSeries: return "excellentSeries";
        case Shelf::Excellent: return "excellent";
    }
    return {};
}

std::optional<Shelf> ShelfFor(std::string_view mainGroup, std::string_view subGroup) {
    const bool series = IsSeries(subGroup);
    if (mainGroup == "language") return Shelf::Language;
    if (mainGroup == "music") return Shelf::Music;
    if (mainGroup == "story") return Shelf::Story;
    if (mainGroup == "game") return Shelf::Game;
    if (mainGroup == "book") return series ? Shelf::BookSeries : Shelf::Book;
    if (mainGroup == "card") return series ? Shelf::CardSeries : Shelf::Card;
    if (mainGroup == "excellent") return series ? Shelf::ExcellentSeries : Shelf::Excellent;
    return std::nullopt;
}

std::optional<Shelf> ShelfForContentNo(std::string_view contentNo, std::string_view subGroup) {
    if (contentNo.empty()) return std::nullopt;
    const bool series = IsSeries(subGroup);
    switch (contentNo.front()) {
        case 'L': return Shelf::Language;
        case 'M': return Shelf::Music;
        case 'S': return Shelf::Story;
        case 'G': return Shelf::Game;
        case 'B': return series ? Shelf::BookSeries : Shelf::Book;
        case 'C': return series ? Shelf::CardSeries : Shelf::Card;
        case 'E': return series ? Shelf::ExcellentSeries : Shelf::Excellent;
        default: return std::nullopt;
    }
}

std::optional<std::string_view> FolderForType(std::string_view mainGroup) {
    if (mainGroup == "language") return "ck2";
    if (mainGroup == "music") return "ck7";
    if (mainGroup == "story") return "ck8";
    if (mainGroup == "book") return "ck3";
    if (mainGroup == "card") return "ck10";
    if (mainGroup == "excellent") return "ck11";
    return std::nullopt;
}

}  // namespace torvane
