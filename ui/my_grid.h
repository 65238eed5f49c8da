#pragma once

// The grid of the content page and the child name page: heading clicks sort the title and date
// columns (columns 1 and 2) and flip the select-all box of column 0, which is then reported as
// the grid's buttonClicked(0, 0, 0) like any other box.

#include "ui/grid_ctrl.h"

namespace torvane {

class CMyGrid : public CGridCtrl {
    Q_OBJECT

  public:
    using CGridCtrl::CGridCtrl;

    void OnHeadingClick(int column) override;
};

}  // namespace torvane
