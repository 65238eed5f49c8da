// Every test process stages its downloads in a temporary folder of its own, so that tests
// running side by side never share the engine's staging folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path mine =
        fs::temp_directory_path() / ("torvane-delivery-run-" + std::to_string(::getpid()));
    fs::create_directories(mine);
    ::setenv("TMPDIR", mine.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    fs::remove_all(mine, ec);
    return result;
}
