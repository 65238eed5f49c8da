#include "store/file_cipher.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "store/device_files.h"

namespace torvane {
namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9u;
constexpr std::uint32_t kDecipherSum = 0xC6EF3720u;  // 32 * kDelta, wrapped
constexpr int kCycles = 32;

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

// Pads to whole blocks with zero bytes and transforms in place.
template <BlockFunction Transform>
void TransformPadded(std::string& bytes, std::string_view keyText) {
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    TransformBlocks<Transform>(std::span(data, bytes.size()), DeriveFileKey(keyText));
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

bool WriteEncipheredFile(const std::string& path, std::string_view plain, std::string_view key) {
    std::string bytes(plain);
    TransformPadded<TeaEncipherBlock>(bytes, key);
    return WriteFileSafely(path, bytes);
}

bool ReadEncipheredFile(const std::string& path, std::string& plain, std::string_view key) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    TransformPadded<TeaDecipherBlock>(bytes, key);
    plain = std::move(bytes);
    return true;
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
    std::string plain;
    return ReadWholeFile(src, plain) && WriteEncipheredFile(dst, plain, key);
}

bool DecipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    std::string plain;
    return ReadEncipheredFile(src, plain, key) && WriteFileSafely(dst, plain);
}

std::string MakeCipherTempPath() {
    const std::string folder = GetTempFolder();
    if (folder.empty()) return {};
    static std::atomic<unsigned> counter{0};
    return folder + "/Enc" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".TMP";
}

}  // namespace torvane
