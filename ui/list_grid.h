// The look of the update page's lists (the packages, a check's findings): a grey heading row
// in white letters over white rows.
#pragma once

#include <span>
#include <string_view>

namespace torvane {

class CGridCtrl;

struct ListColumn {
    std::string_view heading;
    int width;
};

// Empties `grid` down to its heading row of `columns`; the last column takes the rest.
void ResetAsList(CGridCtrl& grid, std::span<const ListColumn> columns);

}  // namespace torvane
