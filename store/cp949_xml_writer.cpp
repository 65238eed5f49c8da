#include "store/cp949_xml_writer.h"

#include <charconv>

#include "store/device_files.h"

namespace torvane {

void Cp949XmlWriter::Text(std::string_view utf8) {
    if (IsAscii(utf8)) {
        AppendEscapedXmlText(utf8, out_);
        return;
    }
    escaped_.clear();
    AppendEscapedXmlText(utf8, escaped_);
    encoder_.Append(escaped_, out_);
}

void Cp949XmlWriter::Element(std::string_view tag, std::string_view utf8) {
    Open(tag);
    Text(utf8);
    Close(tag);
}

void Cp949XmlWriter::Element(std::string_view tag, long long number) {
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    Open(tag);
    out_.append(digits, end);
    Close(tag);
}

void Cp949XmlWriter::Open(std::string_view tag) {
    out_ += '<';
    out_ += tag;
    out_ += '>';
}

void Cp949XmlWriter::Close(std::string_view tag) {
    out_ += "</";
    out_ += tag;
    out_ += '>';
}

}  // namespace torvane
