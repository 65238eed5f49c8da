#include "tests/delivery/test_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace torvane::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ =
        std::filesystem::temp_directory_path() / ("torvane-delivery-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(counter.fetch_add(1)));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> RecordingSink::Texts() const {
    std::vector<std::string> texts;
    for (const auto& [kind, text] : shown) texts.push_back(text);
    return texts;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace torvane::test
