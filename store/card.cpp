#include "store/card.h"

#include <utility>

namespace torvane {
namespace {

// The parser's message ends with a line break; the sentence goes on one line.
std::string WithReason(std::string sentence, std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    if (!reason.empty()) sentence += ": " + reason;
    return sentence;
}

}  // namespace

Card::Card(std::string root) : root_(std::move(root)), database_(root_), diy_(root_) {}

bool Card::LoadDatabase(std::string& error) {
    if (database_.Load()) return true;
    error = WithReason("cannot read the device database " + Path(card_paths::kDatabase),
                       database_.lastError());
    return false;
}

bool Card::LoadDiy(std::string& error) {
    if (diy_.Load()) return true;
    error = WithReason("cannot read the DIY database " + Path(card_paths::kDiyDatabase),
                       diy_.lastError());
    return false;
}

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
