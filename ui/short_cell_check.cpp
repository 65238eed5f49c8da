#include "ui/short_cell_check.h"

namespace torvane {

bool CShortCellCheck::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return false;
    enabled_ = enabled;
    RepaintCell();
    return true;
}

void CShortCellCheck::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
    DrawBox(painter, enabled_);
}

}  // namespace torvane
