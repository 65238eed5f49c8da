#include "store/content_types.h"

#include "common/text_codec.h"
#include "store/device_files.h"

namespace torvane {

const ContentKind* FindKind(std::string_view name) {
    for (const ContentKind& kind : kContentKinds) {
        if (kind.name == name) return &kind;
    }
    return nullptr;
}

const ContentKind& KindOfShelf(Shelf shelf) {
    for (const ContentKind& kind : kContentKinds) {
        if (kind.shelf == shelf || kind.seriesShelf == shelf) return kind;
    }
    return kContentKinds.front();  // every shelf has its kind; not reached
}

Shelf ShelfOf(const ContentKind& kind, std::string_view subGroup) {
    return subGroup == "series" && kind.seriesShelf ? *kind.seriesShelf : kind.shelf;
}

std::string_view ShelfKey(Shelf shelf) {
    switch (shelf) {
        case Shelf::Language:
            return "language";
        case Shelf::Music:
            return "music";
        case Shelf::Story:
            return "story";
        case Shelf::BookSeries:
            return "bookSeries";
        case Shelf::Book:
            return "book";
        case Shelf::Game:
            return "game";
        case Shelf::CardSeries:
            return "cardSeries";
        case Shelf::Card:
            return "card";
        case Shelf::ExcellentSeries:
            return "excellentSeries";
        case Shelf::Excellent:
            return "excellent";
    }
    return {};
}

std::optional<Shelf> ShelfFor(std::string_view mainGroup, std::string_view subGroup) {
    const ContentKind* kind = FindKind(mainGroup);
    if (kind == nullptr) return std::nullopt;
    return ShelfOf(*kind, subGroup);
}

std::optional<Shelf> ShelfForContentNo(std::string_view contentNo, std::string_view subGroup) {
    if (contentNo.empty()) return std::nullopt;
    for (const ContentKind& kind : kContentKinds) {
        if (kind.numberLetter == contentNo.front()) return ShelfOf(kind, subGroup);
    }
    return std::nullopt;
}

std::optional<std::string_view> FolderForType(std::string_view mainGroup) {
    const ContentKind* kind = FindKind(mainGroup);
    if (kind == nullptr || kind->folder.empty()) return std::nullopt;
    return kind->folder;
}

std::string DeviceFileName(std::string_view catalogueName) {
    std::string name = ToLowerAscii(catalogueName);
    constexpr std::string_view kMp3 = ".mp3";
    constexpr std::string_view kQvx = ".qvx";
    for (auto at = name.find(kMp3); at != std::string::npos; at = name.find(kMp3, at + kQvx.size()))
        name.replace(at, kMp3.size(), kQvx);
    return name;
}

std::optional<std::string> ContentFilePath(const ContentRecord& content, const FileRecord& file) {
    const ContentKind* kind = FindKind(content.mainGroup);
    if (kind == nullptr || kind->folder.empty() || !IsPlainComponent(file.name))
        return std::nullopt;
    std::string path(kind->folder);
    if (kind->filesByLanguage) {
        if (!IsPlainComponent(file.language) || !IsPlainComponent(file.folderType))
            return std::nullopt;
        path += "/" + file.language + "/" + file.folderType;
    }
    return DeviceFileName(path + "/" + file.name);
}

}  // namespace torvane
