// Whole files in and out, for setting up a card and reading back what a command left on it.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace torvane::test {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Writes the bytes, replacing the file and making its parent folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// Every file below a folder (relative path to bytes): a card before and after a command.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& top);

}  // namespace torvane::test
