#include "common/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace torvane {

// Owns one iconv conversion descriptor for the length of a conversion.
class IconvConverter {
  public:
    IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (Valid()) iconv_close(cd_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of `in` as it can, appending to `out`. Returns false when it stopped at
    // an invalid or unconvertible sequence; `in` then starts where iconv stopped, which is
    // either that sequence or, when iconv swallowed the bad sequence before saying so, the byte
    // after it (glibc does so for some CP949 pairs, such as A2 E8).
    bool Convert(std::string_view& in, std::string& out) {
        char buffer[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            size_t srcLeft = in.size();
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

  private:
    iconv_t cd_;
};

namespace {

// Length of the UTF-8 sequence that starts with `lead`; 1 for a stray byte.
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    return 1;
}

// Decodes the code point of a complete UTF-8 sequence; 0xFFFD when it is not one.
char32_t DecodeUtf8(std::string_view seq) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(seq[i]); };
    for (size_t i = 1; i < seq.size(); ++i)
        if ((b(i) & 0xC0) != 0x80) return 0xFFFD;
    switch (seq.size()) {
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        case 4:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                   (b(3) & 0x3F);
        default:
            return 0xFFFD;
    }
}

// DecodeUtf8, refusing what UTF-8 forbids: overlong forms, surrogates, beyond U+10FFFF.
char32_t DecodeStrictUtf8(std::string_view seq) {
    if (seq.empty() || seq.size() != Utf8SequenceLength(static_cast<unsigned char>(seq[0])))
        return 0xFFFD;
    const char32_t c = DecodeUtf8(seq);
    const char32_t smallest = seq.size() == 2 ? 0x80 : seq.size() == 3 ? 0x800 : 0x10000;
    if (c == 0xFFFD || c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    return c;
}

// Whether the one CP949 character at the start of `cp949` (one byte, or a lead byte and the
// byte after it) is valid on its own.
// CP949 keeps no state between characters, so the caller's converter can probe.
bool ConvertsAlone(IconvConverter& converter, std::string_view cp949) {
    const auto lead = static_cast<unsigned char>(cp949.front());
    const std::size_t length = lead >= 0x81 && lead <= 0xFE && cp949.size() >= 2 ? 2 : 1;
    std::string_view character = cp949.substr(0, length);
    std::string ignored;
    return converter.Convert(character, ignored) && character.empty();
}

// Whether XML 1.0 lets a document hold the code point, as text or as a character reference.
bool IsXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

enum class Unconvertible { Question, CharacterReference };

// Appends the UTF-8 run, converted, to `out`.
void AppendFromUtf8(IconvConverter& converter, std::string_view utf8, Unconvertible policy,
                    std::string& out) {
    while (!converter.Convert(utf8, out)) {
        // Skip the whole bad character, but never a byte that starts the next one.
        const size_t expected = std::min(Utf8SequenceLength(utf8[0]), utf8.size());
        size_t length = 1;
        while (length < expected && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
            ++length;
        if (policy == Unconvertible::CharacterReference) {
            char reference[16];
            // A reference to a code point XML forbids (a surrogate, U+FFFE) would make the
            // whole file unreadable: such a character becomes U+FFFD.
            char32_t c = DecodeStrictUtf8(utf8.substr(0, length));
            if (!IsXmlCharacter(c)) c = 0xFFFD;
            std::snprintf(reference, sizeof reference, "&#%u;", static_cast<unsigned>(c));
            out += reference;
        } else {
            out += '?';
        }
        utf8.remove_prefix(length);
    }
}

// Appends the CP949 run, converted, to `out`.
void AppendFromCp949(IconvConverter& converter, std::string_view cp949, std::string& out) {
    const char* lastStop = nullptr;
    while (!converter.Convert(cp949, out)) {
        out += "\xEF\xBF\xBD";
        // Skip only what iconv did not take already: when the character where it stopped
        // converts on its own, the bad sequence lay before it and is gone. Skipping a byte more
        // would drop a "<" of the document, or step past the end of the input.
        if (cp949.empty()) break;
        const bool stoppedHereBefore = cp949.data() == lastStop;
        lastStop = cp949.data();
        if (stoppedHereBefore || !ConvertsAlone(converter, cp949)) cp949.remove_prefix(1);
    }
}

// The length of the ASCII bytes `text` starts with, eight bytes at a time.
std::size_t AsciiPrefixLength(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t length = 0;
    for (std::uint64_t word = 0; length + sizeof word <= text.size(); length += sizeof word) {
        std::memcpy(&word, text.data() + length, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) ++length;
    return length;
}

// The device's databases are nearly all ASCII (tags, numbers, dates), which CP949 and UTF-8 share
// byte for byte, so only the runs around other bytes go through `appendRun`. A run ends after the
// first ASCII byte that follows its last other byte: a CP949 trail byte may be ASCII, but a lead
// byte never is, and UTF-8 never puts ASCII inside a character, so every cut lies between two
// characters and each run converts as it would within the whole text.
template <typename AppendRun>
void AppendByAsciiRuns(std::string_view text, std::string& out, AppendRun appendRun) {
    while (!text.empty()) {
        const std::size_t ascii = AsciiPrefixLength(text);
        out.append(text.data(), ascii);
        text.remove_prefix(ascii);
        if (text.empty()) break;
        std::size_t end = 0;
        while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) ++end;
        if (end < text.size()) ++end;
        appendRun(text.substr(0, end), out);
        text.remove_prefix(end);
    }
}

std::string FromUtf8(std::string_view utf8, Unconvertible policy) {
    IconvConverter converter("CP949", "UTF-8");
    if (!converter.Valid()) return {};
    std::string out;
    out.reserve(utf8.size());
    AppendByAsciiRuns(utf8, out, [&](std::string_view run, std::string& cp949) {
        AppendFromUtf8(converter, run, policy, cp949);
    });
    return out;
}

}  // namespace

Cp949Decoder::Cp949Decoder() : converter_(std::make_unique<IconvConverter>("UTF-8", "CP949")) {}

Cp949Decoder::~Cp949Decoder() = default;

void Cp949Decoder::Append(std::string_view cp949, std::string& utf8) {
    if (!converter_->Valid()) return;
    AppendByAsciiRuns(cp949, utf8, [&](std::string_view run, std::string& out) {
        AppendFromCp949(*converter_, run, out);
    });
}

std::string Cp949ToUtf8(std::string_view cp949) {
    std::string utf8;
    utf8.reserve(cp949.size() * 3 / 2);
    Cp949Decoder().Append(cp949, utf8);
    return utf8;
}

std::string Cp949ToUtf8WithoutShortcut(std::string_view cp949) {
    std::string out;
    IconvConverter converter("UTF-8", "CP949");
    if (converter.Valid()) AppendFromCp949(converter, cp949, out);
    return out;
}

std::string Utf8ToCp949XmlWithoutShortcut(std::string_view utf8) {
    std::string out;
    IconvConverter converter("CP949", "UTF-8");
    if (converter.Valid()) AppendFromUtf8(converter, utf8, Unconvertible::CharacterReference, out);
    return out;
}

std::string Utf8ToCp949(std::string_view utf8) {
    return FromUtf8(utf8, Unconvertible::Question);
}

Cp949XmlEncoder::Cp949XmlEncoder()
    : converter_(std::make_unique<IconvConverter>("CP949", "UTF-8")) {}

Cp949XmlEncoder::~Cp949XmlEncoder() = default;

void Cp949XmlEncoder::Append(std::string_view utf8, std::string& cp949) {
    if (!converter_->Valid()) return;
    AppendByAsciiRuns(utf8, cp949, [&](std::string_view run, std::string& out) {
        AppendFromUtf8(*converter_, run, Unconvertible::CharacterReference, out);
    });
}

std::string Utf8ToCp949Xml(std::string_view utf8) {
    return FromUtf8(utf8, Unconvertible::CharacterReference);
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

namespace {
bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}
}  // namespace

bool HasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (IsControlCharacter(c)) return true;
    return false;
}

std::string ControlCharactersAsBlanks(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (IsControlCharacter(c)) c = ' ';
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace torvane
