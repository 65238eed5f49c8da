#include "ui/my_grid.h"

namespace torvane {

void CMyGrid::OnHeadingClick(int column) {
    if (column == 1 || column == 2) {
        CGridCtrl::OnHeadingClick(column);
        return;
    }
    if (column == 0 && GetFixedRowCount() == 1 && SetCheck(0, 0, !GetCheck(0, 0)))
        ReportButtonClick(0, 0, 0);
}

}  // namespace torvane
