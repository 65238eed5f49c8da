#include "store/file_cipher.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

#include "store/device_files.h"

namespace torvane {
namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9u;
constexpr std::uint32_t kDecipherSum = 0xC6EF3720u;  // 32 * kDelta, wrapped
constexpr int kCycles = 32;
// Big enough that the file loop costs little more than the block function itself.
constexpr std::size_t kChunkSize = 64 * 1024;

std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreLittleEndian(std::uint32_t value, std::uint8_t* p) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

using BlockFunction = void (*)(std::uint32_t v[2], const TeaKey& key);

template <BlockFunction Transform>
void TransformBlocks(std::span<std::uint8_t> bytes, const TeaKey& key) {
    for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
        std::uint32_t v[2] = {LoadLittleEndian(&bytes[at]), LoadLittleEndian(&bytes[at + 4])};
        Transform(v, key);
        StoreLittleEndian(v[0], &bytes[at]);
        StoreLittleEndian(v[1], &bytes[at + 4]);
    }
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Reads until `size` bytes or the end of the file; -1 on a read error.
ssize_t ReadFully(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ::read(fd, data + total, size - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

// Streams the source through a buffer in whole blocks; a short last block is padded with zeros.
template <BlockFunction Transform>
bool TransformFile(const std::string& src, const std::string& dst, std::string_view keyText) {
    FileDescriptor in(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return false;
    SafeFileWriter out(dst);
    if (!out.Open()) return false;
    const TeaKey key = DeriveFileKey(keyText);
    std::vector<std::uint8_t> buffer(kChunkSize);
    for (;;) {
        const ssize_t n = ReadFully(in.get(), buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        std::size_t length = static_cast<std::size_t>(n);
        const std::size_t padded = (length + 7) / 8 * 8;
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(length),
                  buffer.begin() + static_cast<std::ptrdiff_t>(padded), 0);
        TransformBlocks<Transform>(std::span(buffer.data(), padded), key);
        if (!out.Write(buffer.data(), padded)) return false;
        if (length < buffer.size()) break;
    }
    return out.Commit();
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
    const Md5Digest digest = ComputeMd5(key);
    return {LoadLittleEndian(&digest[0]), LoadLittleEndian(&digest[4]),
            LoadLittleEndian(&digest[8]), LoadLittleEndian(&digest[12])};
}

void TeaEncipherBlock(std::uint32_t v[2], const TeaKey& k) {
    std::uint32_t y = v[0], z = v[1], sum = 0;
    for (int i = 0; i < kCycles; ++i) {
        sum += kDelta;
        y += ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
        z += ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
    }
    v[0] = y;
    v[1] = z;
}

void TeaDecipherBlock(std::uint32_t v[2], const TeaKey& k) {
    std::uint32_t y = v[0], z = v[1], sum = kDecipherSum;
    for (int i = 0; i < kCycles; ++i) {
        z -= ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
        y -= ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
        sum -= kDelta;
    }
    v[0] = y;
    v[1] = z;
}

void EncipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key) {
    TransformBlocks<TeaEncipherBlock>(bytes, key);
}

void DecipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key) {
    TransformBlocks<TeaDecipherBlock>(bytes, key);
}

bool EncipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile<TeaEncipherBlock>(src, dst, key);
}

bool DecipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile<TeaDecipherBlock>(src, dst, key);
}

std::string MakeCipherTempPath() {
    const std::string folder = GetTempFolder();
    if (folder.empty()) return {};
    static std::atomic<unsigned> counter{0};
    return folder + "/Enc" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".TMP";
}

}  // namespace torvane
