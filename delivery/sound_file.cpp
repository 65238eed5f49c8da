#include "delivery/sound_file.h"

#include <array>
#include <fstream>

namespace torvane {
namespace {

constexpr std::size_t kHeadSize = 12;

bool IsWave(std::string_view head) {
    return head.size() >= 12 && head.substr(0, 4) == "RIFF" && head.substr(8, 4) == "WAVE";
}

// An MPEG audio frame header: eleven sync bits, then a version, layer, bit rate and sampling
// rate that are not the reserved values, so that a text that happens to start with 0xFF does
// not pass.
bool IsMpegFrame(std::string_view head) {
    if (head.size() < 3) return false;
    const auto b1 = static_cast<unsigned char>(head[1]);
    const auto b2 = static_cast<unsigned char>(head[2]);
    const bool sync = static_cast<unsigned char>(head[0]) == 0xFF && (b1 & 0xE0) == 0xE0;
    const unsigned version = (b1 >> 3) & 0x03;
    const unsigned layer = (b1 >> 1) & 0x03;
    const unsigned bitRate = b2 >> 4;
    const unsigned samplingRate = (b2 >> 2) & 0x03;
    return sync && version != 1 && layer != 0 && bitRate != 0x0F && samplingRate != 3;
}

}  // namespace

SoundFileVerdict JudgeSoundHead(std::string_view head) {
    if (head.empty()) return SoundFileVerdict::Empty;
    if (head.starts_with("ID3") || IsMpegFrame(head) || IsWave(head))
        return SoundFileVerdict::Sound;
    return SoundFileVerdict::NotSound;
}

SoundFileVerdict JudgeSoundFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return SoundFileVerdict::Unreadable;
    std::array<char, kHeadSize> head{};
    file.read(head.data(), head.size());
    if (file.bad()) return SoundFileVerdict::Unreadable;
    return JudgeSoundHead(std::string_view(head.data(), static_cast<std::size_t>(file.gcount())));
}

}  // namespace torvane
