#include "store/file_cipher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "common/temp_folder.h"
#include "store/device_files.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// The test suite of RFC 1321.
TEST(Md5, MatchesTheRfcTestSuite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : cases) EXPECT_EQ(test::Md5Hex(input), digest) << input;
}

TEST(FileKey, ReadsTheDigestAsLittleEndianWords) {
    // MD5("abc") = 90 01 50 98 | 3c d2 4f b0 | d6 96 3f 7d | 28 e1 7f 72
    const TeaKey expected = {0x98500190u, 0xB04FD23Cu, 0x7D3F96D6u, 0x727FE128u};
    EXPECT_EQ(DeriveFileKey("abc"), expected);
}

struct TeaVector {
    TeaKey key;
    std::uint32_t plain[2];
    std::uint32_t cipher[2];
};

// Published TEA test values (32 cycles).
const TeaVector kTeaVectors[] = {
    {{0, 0, 0, 0}, {0, 0}, {0x41EA3A0Au, 0x94BAA940u}},
    {{0, 0, 0, 0}, {0x01020304u, 0x05060708u}, {0x6A2F9CF3u, 0xFCCF3C55u}},
    {{0x01234567u, 0x12345678u, 0x23456789u, 0x3456789Au}, {0, 0}, {0x34E943B0u, 0x900F5DCBu}},
    {{0x01234567u, 0x12345678u, 0x23456789u, 0x3456789Au},
     {0x01020304u, 0x05060708u},
     {0x773DC179u, 0x878A81C0u}},
};

TEST(TeaBlock, ReproducesPublishedValuesBothWays) {
    for (const TeaVector& v : kTeaVectors) {
        std::uint32_t block[2] = {v.plain[0], v.plain[1]};
        TeaEncipherBlock(block, v.key);
        EXPECT_EQ(block[0], v.cipher[0]);
        EXPECT_EQ(block[1], v.cipher[1]);
        TeaDecipherBlock(block, v.key);
        EXPECT_EQ(block[0], v.plain[0]);
        EXPECT_EQ(block[1], v.plain[1]);
    }
}

TEST(TeaBlock, BuffersUseLittleEndianWordsYFirst) {
    const TeaKey key = {0, 0, 0, 0};
    std::uint8_t bytes[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    EncipherBlocks(bytes, key);
    // y = 0x41EA3A0A, z = 0x94BAA940, each stored low byte first.
    const std::uint8_t expected[8] = {0x0A, 0x3A, 0xEA, 0x41, 0x40, 0xA9, 0xBA, 0x94};
    EXPECT_TRUE(std::equal(std::begin(bytes), std::end(bytes), std::begin(expected)));
}

struct LengthCase {
    std::size_t plain;
    std::size_t enciphered;
};

class CipherFileLength : public ::testing::TestWithParam<LengthCase> {};

// Lengths around the 8-byte block and around the file loop's 64 KiB and 256 KiB pieces.
INSTANTIATE_TEST_SUITE_P(Lengths, CipherFileLength,
                         ::testing::Values(LengthCase{0, 0}, LengthCase{13, 16}, LengthCase{16, 16},
                                           LengthCase{65536, 65536}, LengthCase{65541, 65544},
                                           LengthCase{3 * 65536 + 7, 3 * 65536 + 8},
                                           LengthCase{262143, 262144}, LengthCase{262144, 262144},
                                           LengthCase{262145, 262152}));

TEST_P(CipherFileLength, PadsWithZerosAndDeciphersBack) {
    TempFolder folder;
    std::string plain(GetParam().plain, '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>('a' + i % 23);
    WriteFile(folder / "plain", plain);

    ASSERT_TRUE(EncipherFile(folder / "plain", folder / "enc"));
    const std::string enciphered = ReadFile(folder / "enc");
    EXPECT_EQ(enciphered.size(), GetParam().enciphered);

    // The file loop must give exactly what the block function gives over the padded bytes.
    std::string padded = plain + std::string(GetParam().enciphered - plain.size(), '\0');
    EncipherBlocks({reinterpret_cast<std::uint8_t*>(padded.data()), padded.size()},
                   DeriveFileKey(kFileCipherKey));
    EXPECT_TRUE(enciphered == padded);

    ASSERT_TRUE(DecipherFile(folder / "enc", folder / "back"));
    EXPECT_TRUE(ReadFile(folder / "back") ==
                plain + std::string(GetParam().enciphered - plain.size(), '\0'));
}

std::string RandomBytes(std::size_t size, std::mt19937& random) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

// The file format written out block by block with the published one-block function: zero
// padding, then little-endian words, y first.
std::string ReferenceTransform(std::string bytes, bool encipher, const TeaKey& key) {
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
        std::uint32_t v[2] = {Word(bytes, at), Word(bytes, at + 4)};
        encipher ? TeaEncipherBlock(v, key) : TeaDecipherBlock(v, key);
        for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<char>(v[i / 4] >> (i % 4 * 8));
    }
    return bytes;
}

std::span<std::uint8_t> AsBlocks(std::string& bytes) {
    return {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()};
}

// Every way of running blocks side by side against the one-block reference, both ways, over
// every count of blocks around the lanes' 16-block step, on random bytes.
TEST(TeaLanes, MatchTheOneBlockReference) {
    std::mt19937 random(8);
    const TeaKey key = DeriveFileKey(kFileCipherKey);
    EXPECT_TRUE(CanRun(FastestTeaLanes()));
    for (const TeaLanes lanes : {TeaLanes::OneByOne, TeaLanes::Portable, TeaLanes::Avx2}) {
        if (!CanRun(lanes)) continue;
        for (std::size_t blocks = 0; blocks <= 70; ++blocks) {
            const std::string plain = RandomBytes(blocks * 8, random);
            std::string bytes = plain;
            EncipherBlocks(lanes, AsBlocks(bytes), key);
            ASSERT_TRUE(bytes == ReferenceTransform(plain, true, key))
                << "lanes " << static_cast<int>(lanes) << ", " << blocks << " blocks";
            const std::string enciphered = bytes;
            DecipherBlocks(lanes, AsBlocks(bytes), key);
            ASSERT_TRUE(bytes == plain) << "lanes " << static_cast<int>(lanes) << ", " << blocks;
            DecipherBlocks(lanes, AsBlocks(bytes = plain), key);
            ASSERT_TRUE(bytes == ReferenceTransform(plain, false, key))
                << "lanes " << static_cast<int>(lanes) << ", " << blocks << " blocks";
        }
    }
}

// Every file function against the reference over files of every length and padding from none
// to 70 bytes and across the file loop's piece, both ways.
TEST(CipherFile, EveryLengthMatchesTheReferenceBothWays) {
    TempFolder folder;
    std::mt19937 random(70);
    const TeaKey key = DeriveFileKey(kFileCipherKey);
    std::vector<std::size_t> lengths;
    for (std::size_t length = 0; length <= 70; ++length) lengths.push_back(length);
    for (std::size_t length = 262140; length <= 262153; ++length) lengths.push_back(length);
    // Past the three 256 KiB pieces the file functions turn round, ending on and off a piece.
    lengths.insert(lengths.end(), {4 * 262144, 7 * 262144 + 1, 9 * 262144 - 3});
    for (const std::size_t length : lengths) {
        const std::string plain = RandomBytes(length, random);
        const std::string enciphered = ReferenceTransform(plain, true, key);
        const std::string deciphered = ReferenceTransform(plain, false, key);
        WriteFile(folder / "plain", plain);

        ASSERT_TRUE(EncipherFile(folder / "plain", folder / "enc"));
        ASSERT_TRUE(ReadFile(folder / "enc") == enciphered) << length << " bytes";
        ASSERT_TRUE(WriteEncipheredFile(folder / "written", plain));
        ASSERT_TRUE(ReadFile(folder / "written") == enciphered) << length << " bytes";
        std::string inPlace = plain;
        ASSERT_TRUE(WriteEncipheredFileInPlace(folder / "in-place", inPlace));
        ASSERT_TRUE(ReadFile(folder / "in-place") == enciphered) << length << " bytes";
        ASSERT_TRUE(DecipherFile(folder / "plain", folder / "dec"));
        ASSERT_TRUE(ReadFile(folder / "dec") == deciphered) << length << " bytes";
        std::string read;
        ASSERT_TRUE(ReadEncipheredFile(folder / "plain", read));
        ASSERT_TRUE(read == deciphered) << length << " bytes";
    }
}

TEST(CipherFile, IsCodebookWithoutSalt) {
    TempFolder folder;
    WriteFile(folder / "plain", "ABCDEFGHxxxxxxxxABCDEFGH");
    ASSERT_TRUE(EncipherFile(folder / "plain", folder / "one"));
    ASSERT_TRUE(EncipherFile(folder / "plain", folder / "two"));
    const std::string one = ReadFile(folder / "one");
    EXPECT_EQ(one, ReadFile(folder / "two"));
    EXPECT_EQ(one.substr(0, 8), one.substr(16, 8));
    EXPECT_NE(one.substr(0, 8), one.substr(8, 8));
}

TEST(CipherFile, AnotherKeyDeciphersToGarbageWithoutFailing) {
    TempFolder folder;
    const std::string plain = "<?xml version=\"1.0\"?>";
    WriteFile(folder / "plain", plain);
    ASSERT_TRUE(EncipherFile(folder / "plain", folder / "enc"));
    ASSERT_TRUE(DecipherFile(folder / "enc", folder / "back", "otherpassword12"));
    EXPECT_EQ(ReadFile(folder / "back").size(), 24u);
    EXPECT_NE(ReadFile(folder / "back").substr(0, plain.size()), plain);
}

TEST(CipherFile, MissingSourceCreatesNothing) {
    TempFolder folder;
    EXPECT_FALSE(EncipherFile(folder / "missing", folder / "enc"));
    EXPECT_FALSE(DecipherFile(folder / "missing", folder / "plain"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(CipherFile, UnwritableDestinationFails) {
    TempFolder folder;
    WriteFile(folder / "plain", "data");
    EXPECT_FALSE(EncipherFile(folder / "plain", folder / "no-such-folder/enc"));
}

// A card that fills up while the database is written: the previous file must stay whole.
TEST(CipherFile, FullMediumKeepsThePreviousDestinationWhole) {
    TempFolder folder;
    WriteFile(folder / "dst", "previous contents");
    // Several pieces, so that the card refuses while later pieces are still on their way.
    WriteFile(folder / "plain", std::string(5 * 256 * 1024, 'x'));

    {
        test::FileSizeLimit full(100 * 1024);
        EXPECT_FALSE(EncipherFile(folder / "plain", folder / "dst"));
    }
    EXPECT_EQ(ReadFile(folder / "dst"), "previous contents");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, 2u) << "the temporary file must not stay behind";
}

TEST(CipherTempPath, LiesInThePrivateFolderAndDiffersPerCall) {
    const std::string first = MakeCipherTempPath();
    const std::string second = MakeCipherTempPath();
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::path(first).parent_path().string(), GetTempFolder());
}

}  // namespace
}  // namespace torvane
