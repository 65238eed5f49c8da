#pragma once

// The check box of the update page's list: it does not tick itself. A click on its row reaches
// the page, which ticks exactly one row, so that at most one package is chosen at a time.

#include "ui/grid_cell.h"

namespace torvane {

class CShortCellCheck : public CGridCellCheck {
  public:
    // A disabled box is drawn grey.
    bool IsEnabled() const { return enabled_; }
    // Answers whether the flag changed; repaints when it did.
    bool SetEnabled(bool enabled);

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    // The page decides the tick (see CGridCtrl::OnSelecting of its grid).
    void OnClick(const QPoint&) override {}

  private:
    bool enabled_ = true;
};

}  // namespace torvane
