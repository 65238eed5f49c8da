// Text resources the program carries: the left menu's definition (152) and the home page's
// template (279).
#pragma once

#include <optional>
#include <string>

namespace torvane {

inline constexpr int kMenuDefinitionResource = 152;
inline constexpr int kHomeTemplateResource = 279;

// The resource's bytes unchanged; nothing when it is missing or empty.
std::optional<std::string> LoadXmlResource(int id);

}  // namespace torvane
