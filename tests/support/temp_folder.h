// A private scratch folder below the system's temporary folder, removed with everything in it.
// Tests use it for cards, downloads and files from the computer alike.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace torvane::test {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // The path of `relative` below the folder, as text (nothing is created).
    std::string operator/(std::string_view relative) const;
    // A sub-folder, created on demand.
    std::string Folder(const std::string& name) const;
    // Writes a file below the folder, making its parent folders.
    void WriteFile(const std::string& relative, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace torvane::test
