#include "store/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace torvane {
namespace {

// Owns one iconv conversion descriptor for the length of a conversion.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

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
bool ConvertsAlone(Converter& converter, std::string_view cp949) {
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

std::string FromUtf8(std::string_view utf8, Unconvertible policy) {
    std::string out;
    out.reserve(utf8.size());
    Converter converter("CP949", "UTF-8");
    if (!converter.Valid()) return out;
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
    return out;
}

}  // namespace

std::string Cp949ToUtf8(std::string_view cp949) {
    std::string out;
    out.reserve(cp949.size() * 3 / 2);
    Converter converter("UTF-8", "CP949");
    if (!converter.Valid()) return out;
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
    return out;
}

std::string Utf8ToCp949(std::string_view utf8) {
    return FromUtf8(utf8, Unconvertible::Question);
}

std::string Utf8ToCp949Xml(std::string_view utf8) {
    return FromUtf8(utf8, Unconvertible::CharacterReference);
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace torvane
