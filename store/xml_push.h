// Runs libxml2's SAX2 push parser over one of the device's database documents. The files declare
// "euc-kr" but hold CP949 (which has syllables EUC-KR lacks), so the bytes are decoded here as
// CP949 and the parser is told to ignore the declared encoding.
#pragma once

#include <libxml/parser.h>

#include <string>
#include <string_view>

namespace torvane {

// Feeds the document (up to its first NUL) as one chunk, then the terminating call. The handler's
// callbacks receive `userData`. Errors arrive through the handler's error callback.
void ParseDeviceDocument(std::string_view cp949Document, xmlSAXHandler& handler, void* userData);

// A SAX2 handler with nothing set but the SAX2 mark, ready for the four callbacks.
xmlSAXHandler MakeSaxHandler();

// The formatted message of libxml2's error callback, at most 1023 characters.
std::string FormatXmlError(const char* format, va_list args);

}  // namespace torvane
