// Whether a file the parent chose as a DIY recording is one the device can play: an MP3 or a WAV
// by what its first bytes hold, whatever its name says. A text file named "song.mp3" on a DIY
// card plays nothing, and the slot looks filled.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

enum class SoundFileVerdict {
    Sound,       // an MP3 (an ID3 tag or an MPEG audio frame) or a WAV (RIFF....WAVE)
    Empty,       // no byte at all
    NotSound,    // something else
    Unreadable,  // cannot be opened: the copy reports it as any other copy that fails
};

// The verdict on the first bytes of a file.
SoundFileVerdict JudgeSoundHead(std::string_view head);

// The verdict on a file of the computer.
SoundFileVerdict JudgeSoundFile(const std::string& path);

}  // namespace torvane
