// The one text converter: any bytes either way, never past the input; CP949 decoded is UTF-8;
// a UTF-8 name written as XML text for the card reads back in the device's document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text_codec.h"
#include "common/xml_sax.h"
#include "store/device_files.h"

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && lead < 0xC2) return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

class NullReader final : public torvane::ISaxReader {
  public:
    void OnStart(std::string_view, const torvane::SaxAttributes&) override {}
    void OnEnd(std::string_view) override {}
    void OnText(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = torvane::Cp949ToUtf8(bytes);
    if (!IsUtf8(utf8)) std::abort();
    // The shortcut for ASCII runs changes nothing that iconv alone would give.
    if (utf8 != torvane::Cp949ToUtf8WithoutShortcut(bytes)) std::abort();
    if (torvane::Utf8ToCp949Xml(bytes) != torvane::Utf8ToCp949XmlWithoutShortcut(bytes))
        std::abort();
    (void)torvane::Utf8ToCp949(bytes);
    // Any name, written the way the card's documents write it, keeps the document readable.
    const std::string document = torvane::Utf8ToCp949Xml(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<d><r n=\"" + torvane::EscapeXmlText(bytes) +
        "\">" + torvane::EscapeXmlText(bytes) + "</r></d>");
    NullReader reader;
    if (bytes.find('\0') == std::string_view::npos &&
        !torvane::ParseDeviceDocument(document, reader).ok())
        std::abort();
    return 0;
}
