#include "base/window_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace torvane {
namespace {

std::filesystem::path WindowFilePath(const std::string& folder) {
    return std::filesystem::path(folder) / kWindowFileName;
}

}  // namespace

void WriteWindowFile(const std::string& folder, std::uint32_t windowId) {
    if (folder.empty()) return;
    std::ofstream out(WindowFilePath(folder), std::ios::binary | std::ios::trunc);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(windowId), static_cast<unsigned char>(windowId >> 8),
        static_cast<unsigned char>(windowId >> 16), static_cast<unsigned char>(windowId >> 24)};
    out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::uint32_t ReadWindowFile(const std::string& folder) {
    if (folder.empty()) return 0;
    std::ifstream in(WindowFilePath(folder), std::ios::binary);
    unsigned char bytes[4] = {};
    if (!in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return 0;
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void DeleteWindowFile(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::remove(WindowFilePath(folder), error);
}

}  // namespace torvane
