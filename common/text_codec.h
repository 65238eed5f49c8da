// The one place where text changes encoding. Torvane keeps text in UTF-8; the device's database
// files and the content service speak CP949, the Korean code page (a superset of EUC-KR with the
// extra syllables of Unified Hangul Code).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace torvane {

// CP949 bytes to UTF-8. A byte sequence that is not valid CP949 becomes U+FFFD, so a damaged
// name still shows instead of failing a whole list.
std::string Cp949ToUtf8(std::string_view cp949);

class IconvConverter;

// Cp949ToUtf8 piece by piece with one iconv descriptor for all, for a document decoded while it
// is read. Each piece must end between two characters, as any piece whose last byte is ASCII does
// (a CP949 lead byte never is).
class Cp949Decoder {
  public:
    Cp949Decoder();
    ~Cp949Decoder();
    Cp949Decoder(const Cp949Decoder&) = delete;
    Cp949Decoder& operator=(const Cp949Decoder&) = delete;

    // Appends the piece, decoded, to `utf8`.
    void Append(std::string_view cp949, std::string& utf8);

  private:
    std::unique_ptr<IconvConverter> converter_;
};

// Utf8ToCp949Xml piece by piece with one iconv descriptor for all, for a document written in
// CP949 as it is put together. Each piece must hold whole characters.
class Cp949XmlEncoder {
  public:
    Cp949XmlEncoder();
    ~Cp949XmlEncoder();
    Cp949XmlEncoder(const Cp949XmlEncoder&) = delete;
    Cp949XmlEncoder& operator=(const Cp949XmlEncoder&) = delete;

    // Appends the piece, encoded, to `cp949`.
    void Append(std::string_view utf8, std::string& cp949);

  private:
    std::unique_ptr<IconvConverter> converter_;
};

// UTF-8 to CP949. A character that CP949 cannot hold (or invalid UTF-8) becomes '?'. Use this where
// the other side cannot take anything else, such as a form value sent to the service.
std::string Utf8ToCp949(std::string_view utf8);

// UTF-8 to CP949 for XML text: a character that CP949 cannot hold becomes a numeric character
// reference ("&#12345;"), so it survives a round trip through the device's database files.
std::string Utf8ToCp949Xml(std::string_view utf8);

// The two conversions of the device's databases with every byte through iconv, without the
// shortcut that copies ASCII runs as they are: the reference the shortcut is held to.
std::string Cp949ToUtf8WithoutShortcut(std::string_view cp949);
std::string Utf8ToCp949XmlWithoutShortcut(std::string_view utf8);

// True when every byte is 7-bit ASCII.
bool IsAscii(std::string_view text);

// Whether the text holds a control character: a byte below 0x20 (tab and line feed included) or
// DEL. UTF-8 and CP949 sequences never hold one.
bool HasControlCharacter(std::string_view text);

// The text with every control character a blank. A name written into an XML attribute must: the
// attribute reads a tab or line feed back as a blank, and the rest make the file unreadable.
std::string ControlCharactersAsBlanks(std::string_view text);

// ASCII letters lowered; other bytes (CP949 lead and trail bytes, UTF-8 sequences) unchanged.
std::string ToLowerAscii(std::string_view text);

}  // namespace torvane
