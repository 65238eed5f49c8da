// The address a shop menu entry opens: the signed-in identifier in place of "%s", and every
// "#38;" removed so that an ampersand written as "&#38;" in the menu definition becomes a plain
// "&". Nothing else of the address is touched: its "%20"-style escapes stay as written.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

std::string FormatMenuAddress(std::string_view address, std::string_view userId);

}  // namespace torvane
