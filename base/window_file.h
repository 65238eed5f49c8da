// "tmp.dat" in the private temporary folder holds the main window's id as 4 bytes, little-endian,
// so that a second start can name the window of the first.
#pragma once

#include <cstdint>
#include <string>

namespace torvane {

inline constexpr const char* kWindowFileName = "tmp.dat";

// Failures are ignored: the file only helps a second start.
void WriteWindowFile(const std::string& folder, std::uint32_t windowId);
// 0 when the file is missing or shorter than 4 bytes.
std::uint32_t ReadWindowFile(const std::string& folder);
void DeleteWindowFile(const std::string& folder);

}  // namespace torvane
