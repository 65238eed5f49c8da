#include "store/xml_push.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "store/text_codec.h"

namespace torvane {

void ParseDeviceDocument(std::string_view cp949Document, xmlSAXHandler& handler, void* userData) {
    const auto nul = cp949Document.find('\0');
    if (nul != std::string_view::npos) cp949Document = cp949Document.substr(0, nul);
    const std::string utf8 = Cp949ToUtf8(cp949Document);
    xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&handler, userData, nullptr, 0, nullptr);
    if (context == nullptr) return;
    xmlCtxtUseOptions(context, XML_PARSE_IGNORE_ENC | XML_PARSE_NONET);
    xmlParseChunk(context, utf8.data(), static_cast<int>(utf8.size()), 0);
    xmlParseChunk(context, nullptr, 0, 1);
    xmlFreeParserCtxt(context);
}

xmlSAXHandler MakeSaxHandler() {
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    return handler;
}

std::string FormatXmlError(const char* format, va_list args) {
    char message[1024];
    std::vsnprintf(message, sizeof message, format, args);
    return message;
}

}  // namespace torvane
