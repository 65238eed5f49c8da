#include "tests/support/temp_folder.h"

#include <stdlib.h>

#include <stdexcept>

#include "tests/support/files.h"

namespace torvane::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "torvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no temporary folder could be made below " +
                                 fs::temp_directory_path().string());
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    // A test may have taken the write permission away to stand for a read-only card.
    std::error_code error;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

std::string TempFolder::operator/(std::string_view relative) const {
    return path_.string() + "/" + std::string(relative);
}

std::string TempFolder::Folder(const std::string& name) const {
    fs::create_directories(path_ / name);
    return (path_ / name).string();
}

void TempFolder::WriteFile(const std::string& relative, std::string_view bytes) const {
    test::WriteFile(path_ / relative, bytes);
}

}  // namespace torvane::test
