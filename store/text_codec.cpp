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
    // an invalid or unconvertible sequence; `in` then starts at that sequence.
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
            std::snprintf(reference, sizeof reference, "&#%u;",
                          static_cast<unsigned>(DecodeUtf8(utf8.substr(0, length))));
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
    while (!converter.Convert(cp949, out)) {
        // An ASCII byte never starts a bad sequence, so skipping one byte always makes progress.
        out += "\xEF\xBF\xBD";
        cp949.remove_prefix(1);
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
