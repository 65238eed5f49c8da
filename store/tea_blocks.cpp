#include "store/tea_blocks.h"

#include <bit>
#include <cstddef>
#include <cstring>

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
void RunOneByOne(std::uint8_t* data, std::size_t blocks, const TeaKey& key) {
    for (std::size_t at = 0; at < blocks * 8; at += 8) {
        std::uint32_t v[2] = {LoadLittleEndian(&data[at]), LoadLittleEndian(&data[at + 4])};
        Transform(v, key);
        StoreLittleEndian(v[0], &data[at]);
        StoreLittleEndian(v[1], &data[at + 4]);
    }
}

// One 32-bit word per block: four in the 128-bit registers every x86-64 processor has (and most
// others), eight in an AVX2 register.
using Lanes4 = std::uint32_t __attribute__((vector_size(16)));
using Lanes8 = std::uint32_t __attribute__((vector_size(32)));

// Blocks are y0 z0 y1 z1 ... in memory (little-endian words, which the vector code requires of
// the host): two registers' worth of blocks split into their y words and their z words, and
// joined again.
// (By reference: an AVX2 register passed by value outside AVX2 code would change the ABI.)
[[gnu::always_inline]] inline void Split(const Lanes4& front, const Lanes4& back, Lanes4& y,
                                         Lanes4& z) {
    y = __builtin_shufflevector(front, back, 0, 2, 4, 6);
    z = __builtin_shufflevector(front, back, 1, 3, 5, 7);
}
[[gnu::always_inline]] inline void Join(const Lanes4& y, const Lanes4& z, Lanes4& front,
                                        Lanes4& back) {
    front = __builtin_shufflevector(y, z, 0, 4, 1, 5);
    back = __builtin_shufflevector(y, z, 2, 6, 3, 7);
}
[[gnu::always_inline]] inline void Split(const Lanes8& front, const Lanes8& back, Lanes8& y,
                                         Lanes8& z) {
    y = __builtin_shufflevector(front, back, 0, 2, 4, 6, 8, 10, 12, 14);
    z = __builtin_shufflevector(front, back, 1, 3, 5, 7, 9, 11, 13, 15);
}
[[gnu::always_inline]] inline void Join(const Lanes8& y, const Lanes8& z, Lanes8& front,
                                        Lanes8& back) {
    front = __builtin_shufflevector(y, z, 0, 8, 1, 9, 2, 10, 3, 11);
    back = __builtin_shufflevector(y, z, 4, 12, 5, 13, 6, 14, 7, 15);
}

// The y and z words of Groups registers' worth of consecutive blocks. Each round waits on the one
// before, so independent groups fill the vector unit while one waits; as many as the target's
// registers hold.
template <typename Lanes, std::size_t Groups>
struct Step {
    static constexpr std::size_t kBlocks = Groups * sizeof(Lanes) / sizeof(std::uint32_t);
    Lanes y[Groups];
    Lanes z[Groups];

    [[gnu::always_inline]] void Load(const std::uint8_t* data) {
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g) {
            Lanes front, back;
            std::memcpy(&front, data + g * 2 * sizeof(Lanes), sizeof(Lanes));
            std::memcpy(&back, data + (g * 2 + 1) * sizeof(Lanes), sizeof(Lanes));
            Split(front, back, y[g], z[g]);
        }
    }

    [[gnu::always_inline]] void Store(std::uint8_t* data) const {
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g) {
            Lanes front, back;
            Join(y[g], z[g], front, back);
            std::memcpy(data + g * 2 * sizeof(Lanes), &front, sizeof(Lanes));
            std::memcpy(data + (g * 2 + 1) * sizeof(Lanes), &back, sizeof(Lanes));
        }
    }
};

// The same rounds as TeaEncipherBlock and TeaDecipherBlock, on every lane at once.
template <typename Lanes, std::size_t Groups>
[[gnu::always_inline]] inline void EncipherStep(Step<Lanes, Groups>& s, const TeaKey& k) {
    std::uint32_t sum = 0;
    for (int i = 0; i < kCycles; ++i) {
        sum += kDelta;
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g)
            s.y[g] += ((s.z[g] << 4) + k[0]) ^ (s.z[g] + sum) ^ ((s.z[g] >> 5) + k[1]);
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g)
            s.z[g] += ((s.y[g] << 4) + k[2]) ^ (s.y[g] + sum) ^ ((s.y[g] >> 5) + k[3]);
    }
}

template <typename Lanes, std::size_t Groups>
[[gnu::always_inline]] inline void DecipherStep(Step<Lanes, Groups>& s, const TeaKey& k) {
    std::uint32_t sum = kDecipherSum;
    for (int i = 0; i < kCycles; ++i) {
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g)
            s.z[g] -= ((s.y[g] << 4) + k[2]) ^ (s.y[g] + sum) ^ ((s.y[g] >> 5) + k[3]);
#pragma GCC unroll 8
        for (std::size_t g = 0; g < Groups; ++g)
            s.y[g] -= ((s.z[g] << 4) + k[0]) ^ (s.z[g] + sum) ^ ((s.z[g] >> 5) + k[1]);
        sum -= kDelta;
    }
}

// Whole steps through the lanes; the count of blocks done (fewer than a step are left).
template <bool Encipher, typename Lanes, std::size_t Groups>
[[gnu::always_inline]] inline std::size_t RunSteps(std::uint8_t* data, std::size_t blocks,
                                                   const TeaKey& key) {
    using Blocks = Step<Lanes, Groups>;
    std::size_t done = 0;
    for (; done + Blocks::kBlocks <= blocks; done += Blocks::kBlocks) {
        Blocks step;
        step.Load(data + done * 8);
        if constexpr (Encipher)
            EncipherStep(step, key);
        else
            DecipherStep(step, key);
        step.Store(data + done * 8);
    }
    return done;
}

template <bool Encipher>
std::size_t RunPortable(std::uint8_t* data, std::size_t blocks, const TeaKey& key) {
    return RunSteps<Encipher, Lanes4, 4>(data, blocks, key);
}

#if defined(__x86_64__) || defined(__i386__)
#define TORVANE_TEA_AVX2 1
template <bool Encipher>
__attribute__((target("avx2"))) std::size_t RunAvx2(std::uint8_t* data, std::size_t blocks,
                                                    const TeaKey& key) {
    const std::size_t done = RunSteps<Encipher, Lanes8, 4>(data, blocks, key);
    // The upper halves of the AVX registers cleaned: SSE code that runs while they are dirty (the
    // portable lanes, much of the program) is slowed down, and the compiler left them dirty.
    __builtin_ia32_vzeroupper();
    return done;
}
#endif

template <bool Encipher>
void Run(TeaLanes lanes, std::span<std::uint8_t> bytes, const TeaKey& key) {
    std::uint8_t* data = bytes.data();
    const std::size_t blocks = bytes.size() / 8;
    std::size_t done = 0;
    switch (CanRun(lanes) ? lanes : TeaLanes::OneByOne) {
#ifdef TORVANE_TEA_AVX2
        case TeaLanes::Avx2:
            done = RunAvx2<Encipher>(data, blocks, key);
            break;
#endif
        case TeaLanes::Portable:
            done = RunPortable<Encipher>(data, blocks, key);
            break;
        default:
            break;
    }
    // The last few blocks, or all of them, one by one.
    if constexpr (Encipher)
        RunOneByOne<TeaEncipherBlock>(data + done * 8, blocks - done, key);
    else
        RunOneByOne<TeaDecipherBlock>(data + done * 8, blocks - done, key);
}

}  // namespace

TeaKey TeaKeyFromBytes(std::span<const std::uint8_t, 16> bytes) {
    return {LoadLittleEndian(&bytes[0]), LoadLittleEndian(&bytes[4]), LoadLittleEndian(&bytes[8]),
            LoadLittleEndian(&bytes[12])};
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

bool CanRun(TeaLanes lanes) {
    // The lanes load words straight from memory, which only a little-endian host reads as the
    // device wrote them.
    constexpr bool kLittleEndian = std::endian::native == std::endian::little;
    switch (lanes) {
        case TeaLanes::OneByOne:
            return true;
        case TeaLanes::Portable:
            return kLittleEndian;
        case TeaLanes::Avx2:
#ifdef TORVANE_TEA_AVX2
            return kLittleEndian && __builtin_cpu_supports("avx2");
#else
            return false;
#endif
    }
    return false;
}

TeaLanes FastestTeaLanes() {
    static const TeaLanes fastest = CanRun(TeaLanes::Avx2)       ? TeaLanes::Avx2
                                    : CanRun(TeaLanes::Portable) ? TeaLanes::Portable
                                                                 : TeaLanes::OneByOne;
    return fastest;
}

void EncipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key) {
    Run<true>(FastestTeaLanes(), bytes, key);
}

void DecipherBlocks(std::span<std::uint8_t> bytes, const TeaKey& key) {
    Run<false>(FastestTeaLanes(), bytes, key);
}

void EncipherBlocks(TeaLanes lanes, std::span<std::uint8_t> bytes, const TeaKey& key) {
    Run<true>(lanes, bytes, key);
}

void DecipherBlocks(TeaLanes lanes, std::span<std::uint8_t> bytes, const TeaKey& key) {
    Run<false>(lanes, bytes, key);
}

}  // namespace torvane
