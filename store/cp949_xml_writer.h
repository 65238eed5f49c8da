// Writes an XML document for the device straight in CP949 into one growing buffer: the markup is
// ASCII, which CP949 shares byte for byte, and each value is escaped and encoded as it is
// appended, so a 30 MB database is never built in UTF-8 and converted as a whole. The bytes are
// those of the whole UTF-8 document passed through Utf8ToCp949Xml.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/text_codec.h"

namespace torvane {

class Cp949XmlWriter {
  public:
    explicit Cp949XmlWriter(std::size_t expectedSize) { out_.reserve(expectedSize); }

    // Markup as it is: ASCII only.
    void Markup(std::string_view ascii) { out_ += ascii; }
    // Text, escaped and encoded.
    void Text(std::string_view utf8);
    // <tag>text</tag>
    void Element(std::string_view tag, std::string_view utf8);
    void Element(std::string_view tag, long long number);

    // The document; the writer is empty afterwards.
    std::string Take() { return std::move(out_); }

  private:
    void Open(std::string_view tag);
    void Close(std::string_view tag);

    std::string out_;
    std::string escaped_;
    Cp949XmlEncoder encoder_;
};

}  // namespace torvane
