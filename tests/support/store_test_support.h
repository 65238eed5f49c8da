// What the store's tests add to the shared helpers: enciphered files in plain bytes, and a card
// that fills up.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>

#include "store/file_cipher.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace torvane::test {

// The plain bytes of an enciphered device file (with its zero padding).
inline std::string DecipherToBytes(const std::string& path) {
    const std::string plain = path + ".plain";
    if (!DecipherFile(path, plain)) return "<not deciphered>";
    std::string bytes = ReadFile(plain);
    std::filesystem::remove(plain);
    return bytes;
}

// Enciphers plain bytes into a device file.
inline void EncipherBytes(const std::string& path, std::string_view plain) {
    const std::string staging = path + ".plain";
    WriteFile(staging, plain);
    EncipherFile(staging, path);
    std::filesystem::remove(staging);
}

// The MD5 digest of the bytes in lowercase hexadecimal.
inline std::string Md5Hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const auto byte : ComputeMd5(bytes)) {
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
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

}  // namespace torvane::test
