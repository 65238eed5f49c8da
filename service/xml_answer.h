// The service's XML answers are all read the same way: the whole text, without its leading white
// space, goes through the program's one SAX layer (common/xml_sax.h); a reader collects element
// texts by state, and the answer is good when the parser reported no error.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/status.h"
#include "common/xml_sax.h"

namespace torvane {

// Parses `answer` with `reader`. Fails with the parser's first error.
Status ParseXmlAnswer(std::string_view answer, ISaxReader& reader);

// The number at the start of a decimal text, the way C's atoi reads it: leading blanks, an
// optional sign, digits; 0 without digits; clamped to the 32-bit range.
std::int32_t LeadingInt32(std::string_view text);

// A positive decimal number in the 32-bit range, written as digits alone (blanks around them are
// allowed); nothing for any other text, so that "abc" never reads as 0 and 99999999999 never as
// the largest number.
std::optional<std::int32_t> PositiveInt32(std::string_view text);

// The text without its leading white space.
std::string_view TrimLeadingSpace(std::string_view text);

}  // namespace torvane
