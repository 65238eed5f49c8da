#include "tools/demo_service/media.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace torvane::demo {
namespace {

void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void PutSample(std::string& out, double value) {
    const auto sample = static_cast<std::int16_t>(std::lround(value * 12000.0));
    PutLe(out, static_cast<std::uint16_t>(sample), 2);
}

}  // namespace

std::string WavHeader(std::uint64_t fileSize) {
    const std::uint64_t dataSize = fileSize > 44 ? fileSize - 44 : 0;
    std::string h;
    h += "RIFF";
    PutLe(h, std::min<std::uint64_t>(dataSize + 36, 0xFFFFFFFFu), 4);
    h += "WAVEfmt ";
    PutLe(h, 16, 4);  // fmt chunk size
    PutLe(h, 1, 2);   // PCM
    PutLe(h, 1, 2);   // mono
    PutLe(h, kSampleRate, 4);
    PutLe(h, kSampleRate * 2, 4);  // bytes per second
    PutLe(h, 2, 2);                // block align
    PutLe(h, 16, 2);               // bits per sample
    h += "data";
    PutLe(h, std::min<std::uint64_t>(dataSize, 0xFFFFFFFFu), 4);
    return h;
}

std::string TonePeriod(int hz) {
    const int samples = std::max(2, kSampleRate / std::max(1, hz));
    std::string out;
    for (int i = 0; i < samples; ++i) {
        PutSample(out, std::sin(2.0 * std::numbers::pi * i / samples));
    }
    return out;
}

std::string MakeToneWav(int hz, int durationMs) {
    const int samples = kSampleRate * durationMs / 1000;
    const int fade = std::min(samples / 4, kSampleRate / 50);
    std::string data;
    data.reserve(static_cast<std::size_t>(samples) * 2);
    for (int i = 0; i < samples; ++i) {
        double gain = 1.0;
        if (fade > 0) {
            gain = std::min(
                {1.0, static_cast<double>(i) / fade, static_cast<double>(samples - 1 - i) / fade});
        }
        PutSample(data, gain * std::sin(2.0 * std::numbers::pi * hz * i / kSampleRate));
    }
    return WavHeader(44 + data.size()) + data;
}

std::string MakeStripedBmp(int width, int height, const std::array<int, 3>& background,
                           const std::array<int, 3>& stripe) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int imageBytes = rowBytes * height;
    std::string out;
    out += "BM";
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);  // offset of the pixels
    PutLe(out, 40, 4);  // BITMAPINFOHEADER
    PutLe(out, static_cast<std::uint32_t>(width), 4);
    PutLe(out, static_cast<std::uint32_t>(height), 4);
    PutLe(out, 1, 2);   // planes
    PutLe(out, 24, 2);  // bits per pixel
    PutLe(out, 0, 4);   // no compression
    PutLe(out, static_cast<std::uint32_t>(imageBytes), 4);
    PutLe(out, 2835, 4);  // 72 dots per inch
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const auto& c = ((x + y) / 12) % 3 == 0 ? stripe : background;
            row.push_back(static_cast<char>(c[2]));  // BMP stores blue, green, red
            row.push_back(static_cast<char>(c[1]));
            row.push_back(static_cast<char>(c[0]));
        }
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        out += row;
    }
    return out;
}

}  // namespace torvane::demo
