// The cipher that guards the files the device reads: Default.dat, Diy.dat and every rfid.tbl and
// sw.tbl. TEA (32 cycles, store/tea_blocks.h) in electronic-codebook mode over 8-byte
// little-endian blocks, keyed by the MD5 digest of one program-wide pass phrase. The device
// deciphers with the same numbers, so every detail here is part of its file format: no header,
// no length, a last partial block padded with zero bytes. Files are run in pieces small enough to
// stay in the processor's cache between the read, the cipher and the write.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "store/tea_blocks.h"

namespace torvane {

// The pass phrase every device file is enciphered with.
inline constexpr std::string_view kFileCipherKey = "quillharbor5823";

using Md5Digest = std::array<std::uint8_t, 16>;

// MD5 of the bytes (OpenSSL's EVP interface).
Md5Digest ComputeMd5(std::string_view data);

// The file key: the MD5 digest of the pass phrase, read as four little-endian words.
TeaKey DeriveFileKey(std::string_view key);

// The one way the store writes a device file in its enciphered form: `plain`, padded with zero
// bytes to whole blocks, enciphered and written through SafeFileWriter, so a failure leaves the
// previous file whole. The plain bytes never touch the card.
bool WriteEncipheredFile(const std::string& path, std::string_view plain,
                         std::string_view key = kFileCipherKey);
// The same, enciphering `plain` where it lies (it is left padded and enciphered): a large
// database is not copied on its way to the card.
bool WriteEncipheredFileInPlace(const std::string& path, std::string& plain,
                                std::string_view key = kFileCipherKey);
// The reverse, in memory: the deciphered bytes keep the 0 to 7 zero bytes of padding (a file
// whose length is not whole blocks is read as if padded). False when the file cannot be read.
bool ReadEncipheredFile(const std::string& path, std::string& plain,
                        std::string_view key = kFileCipherKey);
// ReadEncipheredFile piece by piece: each piece (whole blocks, the last one padded) is handed to
// `take` as soon as it is deciphered, so a large database is parsed while it is read and never
// held whole. A `take` that returns false ends the read early, which is not a failure. False
// when the file cannot be read.
bool ReadEncipheredPieces(const std::string& path,
                          const std::function<bool(std::string_view piece)>& take,
                          std::string_view key = kFileCipherKey);
// ReadEncipheredFile cut at the first NUL: the database text without its padding.
bool ReadEncipheredText(const std::string& path, std::string& text,
                        std::string_view key = kFileCipherKey);

// File to file, for the command line's cipher tools: the plain file `src` enciphered at `dst`,
// and the reverse (keeping the padding). A failure leaves the previous `dst` whole. The reads and
// writes run on a thread of their own beside the cipher, so a file goes about as fast as the
// same bytes in memory.
bool EncipherFile(const std::string& src, const std::string& dst,
                  std::string_view key = kFileCipherKey);
bool DecipherFile(const std::string& src, const std::string& dst,
                  std::string_view key = kFileCipherKey);

// A fresh path in the private temporary folder for a deciphered copy of a device file; empty when
// that folder cannot be had. Each call gives a new name, so two readers never share a file.
std::string MakeCipherTempPath();

}  // namespace torvane
