#include "base/settings.h"

#include <charconv>

namespace torvane {

int MemorySettings::GetInt(std::string_view key, int fallback) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return fallback;
    int value = fallback;
    const std::string& text = found->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

std::string MemorySettings::GetString(std::string_view key, std::string_view fallback) const {
    const auto found = values_.find(key);
    return found == values_.end() ? std::string(fallback) : found->second;
}

void MemorySettings::SetInt(std::string_view key, int value) {
    values_[std::string(key)] = std::to_string(value);
}

void MemorySettings::SetString(std::string_view key, std::string_view value) {
    values_[std::string(key)] = std::string(value);
}

SavedSignIn LoadSavedSignIn(const ISettings& settings) {
    SavedSignIn saved;
    saved.rememberId = settings.GetInt(kRememberIdKey, 0) == 1;
    saved.rememberPassword = settings.GetInt(kRememberPasswordKey, 0) == 1;
    saved.id = settings.GetString(kSavedIdKey, "");
    if (saved.rememberPassword) saved.password = settings.GetString(kSavedPasswordKey, "");
    return saved;
}

}  // namespace torvane
