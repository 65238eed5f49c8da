#include "base/menu_address.h"

namespace torvane {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

}  // namespace

std::string FormatMenuAddress(std::string_view address, std::string_view userId) {
    // The identifier goes in first and may itself contain "#38;"; it is removed there as well,
    // as it always was.
    std::string text(address);
    ReplaceAll(text, "%s", userId);
    ReplaceAll(text, "#38;", "");
    return text;
}

}  // namespace torvane
