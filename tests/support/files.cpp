#include "tests/support/files.h"

#include <fstream>
#include <sstream>

namespace torvane::test {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, std::string> Snapshot(const fs::path& top) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), top).string()] = ReadFile(entry.path());
        }
    }
    return files;
}

}  // namespace torvane::test
