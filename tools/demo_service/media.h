// Sounds and pictures the service makes at start instead of keeping binary files in the source
// tree: short tones as WAV data (players tell the format from the bytes, so they are served under
// the ".mp3" names of the catalogue) and banner and thumbnail pictures as BMP.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace torvane::demo {

inline constexpr int kSampleRate = 16000;  // mono, 16-bit

// A playable WAV: a tone of `hz` for `durationMs`, faded in and out so it does not click.
std::string MakeToneWav(int hz, int durationMs);

// The 44-byte header of a mono 16-bit WAV file whose total size is `fileSize` bytes.
std::string WavHeader(std::uint64_t fileSize);

// The samples of one period of a tone whose period is a whole number of samples.
std::string TonePeriod(int hz);

// A 24-bit BMP picture: `background` crossed by diagonal stripes of `stripe`.
std::string MakeStripedBmp(int width, int height, const std::array<int, 3>& background,
                           const std::array<int, 3>& stripe);

}  // namespace torvane::demo
