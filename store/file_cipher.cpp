#include "store/file_cipher.h"

#include <errno.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>

#include "common/temp_folder.h"
#include "store/device_files.h"

namespace torvane {
namespace {

// Whole blocks, and small enough to stay in the cache from the read to the write.
constexpr std::size_t kPieceBytes = 256 * 1024;
static_assert(kPieceBytes % 8 == 0);

using BufferTransform = void (*)(std::span<std::uint8_t> bytes, const TeaKey& key);

std::size_t PaddedSize(std::size_t size) {
    return (size + 7) / 8 * 8;
}

// Zero-pads `size` bytes at `data` to whole blocks (the room is there) and transforms them; the
// padded size.
std::size_t TransformPadded(char* data, std::size_t size, BufferTransform transform,
                            const TeaKey& key) {
    const std::size_t padded = PaddedSize(size);
    std::memset(data + size, 0, padded - size);
    transform({reinterpret_cast<std::uint8_t*>(data), padded}, key);
    return padded;
}

// Reads until `size` bytes are in or the file ends; the count read, nothing on an error.
std::optional<std::size_t> ReadUpTo(int fd, char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// The rest of `source`, padded and transformed piece by piece, into `writer`.
bool TransformFile(const std::string& src, const std::string& dst, BufferTransform transform,
                   std::string_view keyText) {
    const FileHandle source = FileHandle::OpenForReading(src);
    SafeFileWriter writer(dst);
    if (!source.IsOpen() || !writer.Open()) return false;
    const TeaKey key = DeriveFileKey(keyText);
    const auto piece = std::make_unique<char[]>(kPieceBytes);
    for (;;) {
        const std::optional<std::size_t> got = ReadUpTo(source.get(), piece.get(), kPieceBytes);
        if (!got) return false;
        if (*got > 0 &&
            !writer.Write(piece.get(), TransformPadded(piece.get(), *got, transform, key)))
            return false;
        if (*got < kPieceBytes) return writer.Commit();
    }
}

}  // namespace

Md5Digest ComputeMd5(std::string_view data) {
    Md5Digest digest{};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    unsigned int length = 0;
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), data.data(), data.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
        return Md5Digest{};
    }
    return digest;
}

TeaKey DeriveFileKey(std::string_view key) {
    return TeaKeyFromBytes(ComputeMd5(key));
}

bool WriteEncipheredFile(const std::string& path, std::string_view plain, std::string_view key) {
    SafeFileWriter writer(path);
    if (!writer.Open()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    const auto piece = std::make_unique<char[]>(kPieceBytes);
    for (std::string_view rest = plain; !rest.empty();) {
        const std::string_view part = rest.substr(0, kPieceBytes);
        rest.remove_prefix(part.size());
        std::memcpy(piece.get(), part.data(), part.size());
        const std::size_t padded =
            TransformPadded(piece.get(), part.size(), EncipherBlocks, teaKey);
        if (!writer.Write(piece.get(), padded)) return false;
    }
    return writer.Commit();
}

bool WriteEncipheredFileInPlace(const std::string& path, std::string& plain, std::string_view key) {
    SafeFileWriter writer(path);
    if (!writer.Open()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    plain.resize(PaddedSize(plain.size()), '\0');
    // Piece by piece, each written while it is still in the cache.
    for (std::size_t at = 0; at < plain.size(); at += kPieceBytes) {
        const std::size_t size = std::min(kPieceBytes, plain.size() - at);
        EncipherBlocks({reinterpret_cast<std::uint8_t*>(&plain[at]), size}, teaKey);
        if (!writer.Write(&plain[at], size)) return false;
    }
    return writer.Commit();
}

bool ReadEncipheredPieces(const std::string& path,
                          const std::function<bool(std::string_view piece)>& take,
                          std::string_view key) {
    const FileHandle file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    const auto piece = std::make_unique<char[]>(kPieceBytes);
    for (;;) {
        const std::optional<std::size_t> got = ReadUpTo(file.get(), piece.get(), kPieceBytes);
        if (!got) return false;
        const std::size_t padded = TransformPadded(piece.get(), *got, DecipherBlocks, teaKey);
        if (padded > 0 && !take({piece.get(), padded})) return true;
        if (*got < kPieceBytes) return true;
    }
}

bool ReadEncipheredFile(const std::string& path, std::string& plain, std::string_view key) {
    std::string bytes;
    if (struct stat info{}; ::stat(path.c_str(), &info) == 0 && info.st_size > 0)
        bytes.reserve(PaddedSize(static_cast<std::size_t>(info.st_size)));
    const bool read = ReadEncipheredPieces(
        path,
        [&](std::string_view piece) {
            bytes.append(piece);
            return true;
        },
        key);
    if (read) plain = std::move(bytes);
    return read;
}

bool ReadEncipheredText(const std::string& path, std::string& text, std::string_view key) {
    std::string bytes;
    if (!ReadEncipheredFile(path, bytes, key)) return false;
    const auto nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    text = std::move(bytes);
    return true;
}

bool EncipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile(src, dst, EncipherBlocks, key);
}

bool DecipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile(src, dst, DecipherBlocks, key);
}

std::string MakeCipherTempPath() {
    const std::string folder = GetTempFolder();
    if (folder.empty()) return {};
    static std::atomic<unsigned> counter{0};
    return folder + "/Enc" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".TMP";
}

}  // namespace torvane
