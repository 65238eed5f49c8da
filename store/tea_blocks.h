// TEA (32 cycles) over 8-byte blocks, the cipher of every file the device reads. The blocks are
// independent (codebook mode), so a buffer's blocks run side by side in the lanes of the vector
// unit: a 30 MB database or a folder table deciphers in a fraction of the time one block after
// another takes. The one-block functions are the reference every faster way is held to.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace torvane {

// The four TEA key words k0..k3.
using TeaKey = std::array<std::uint32_t, 4>;

// A key as the device reads it from 16 bytes: four little-endian words.
TeaKey TeaKeyFromBytes(std::span<const std::uint8_t, 16> bytes);

// One block in place: v[0] is y (bytes 0-3), v[1] is z (bytes 4-7).
void TeaEncipherBlock(std::uint32_t v[2], const TeaKey& key);
void TeaDecipherBlock(std::uint32_t v[2], const TeaKey& key);

// How a buffer's blocks are run: one after another; eight side by side in vector code every
// x86-64 processor (and any other the compiler targets) runs; or eight in the 32-bit lanes of
// one AVX2 register, four registers at a time.
enum class TeaLanes { OneByOne, Portable, Avx2 };

// Whether this processor can run blocks that way.
bool CanRun(TeaLanes lanes);
// The fastest way this processor can run, chosen once.
TeaLanes FastestTeaLanes();

// Whole 8-byte little-endian blocks of a buffer in place; bytes.size() must be a multiple of 8.
// Every way gives the same bytes; without `lanes`, the fastest.
void EncipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key);
void DecipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key);
void EncipherBlocks(TeaLanes lanes, std::span<std::uint8_t> bytes, const TeaKey& key);
void DecipherBlocks(TeaLanes lanes, std::span<std::uint8_t> bytes, const TeaKey& key);

}  // namespace torvane
