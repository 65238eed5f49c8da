// What the store's tests share: a private folder per test that stands in for the card.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "store/file_cipher.h"

namespace torvane::testing {

// A fresh folder below the temporary directory, removed with the object.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ =
            (std::filesystem::temp_directory_path() /
             ("torvane-store-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
                .string();
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view relative) const {
        return path_ + "/" + std::string(relative);
    }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The plain bytes of an enciphered device file (with its zero padding).
inline std::string DecipherToBytes(const std::string& path) {
    const std::string plain = path + ".plain";
    if (!DecipherFile(path, plain)) return "<not deciphered>";
    std::string bytes = ReadBytes(plain);
    std::filesystem::remove(plain);
    return bytes;
}

// Enciphers plain bytes into a device file.
inline void EncipherBytes(const std::string& path, std::string_view plain) {
    const std::string staging = path + ".plain";
    WriteBytes(staging, plain);
    EncipherFile(staging, path);
    std::filesystem::remove(staging);
}

// Drops the cipher's zero padding.
inline std::string WithoutPadding(std::string bytes) {
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

// Makes the medium "full" for this process: writes past `bytes` fail (EFBIG) for the object's
// lifetime, as they would on a card that fills up.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

// A card folder for the test's lifetime; databases made for it read and write there.
class DeviceFolder : public TempFolder {};

}  // namespace torvane::testing
