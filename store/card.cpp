#include "store/card.h"

#include <utility>

namespace torvane {

Card::Card(std::string root) : root_(std::move(root)), database_(root_), diy_(root_) {}

std::string Card::Path(std::string_view relative) const {
    std::string path = root_;
    path += '/';
    path += relative;
    return path;
}

std::string Card::NameVoiceFolder(std::string_view language) const {
    return Path(card_paths::kNameVoiceFolder) + "/" + std::string(language);
}

std::string Card::RecordingSlotFolder(int slot) const {
    return Path(card_paths::kRecordingFolder) + "/re" + std::to_string(slot);
}

}  // namespace torvane
