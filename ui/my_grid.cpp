#include "ui/my_grid.h"

#include <QApplication>
#include <QPainter>

namespace torvane {

namespace {

// Horizontal offsets from the cell's left edge of the buttons of a multi-button cell.
constexpr int kPlace1 = 10;
constexpr int kPlace2 = 33;
constexpr int kPlace3 = 56;
constexpr int kPlace4 = 79;

void PlaceAt(CImgButton& button, int left, const QRect& cell) {
    button.MoveTo(left, cell.top() + (cell.height() - button.Height()) / 2);
}

void Centre(CImgButton& button, const QRect& cell) {
    button.MoveTo(cell.left() + (cell.width() - button.Width()) / 2,
                  cell.top() + (cell.height() - button.Height()) / 2);
}

}  // namespace

// ---- CImgCellBtn ----

void CImgCellBtn::SetButton(std::unique_ptr<CImgButton> button) {
    button_ = std::move(button);
    if (button_ && grid_ != nullptr) button_->SetParent(grid_->viewport());
}

void CImgCellBtn::PlaceButton(const QRect& rect) {
    lastRect_ = rect;
    if (button_) Centre(*button_, rect);
}

void CImgCellBtn::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
    PlaceButton(rect);
    if (button_) button_->Draw(painter);
}

void CImgCellBtn::OnClick(const QPoint& point) {
    const QPoint absolute = point + lastRect_.topLeft();
    if (!button_ || !lastRect_.contains(absolute)) return;
    PlaceButton(lastRect_);
    if (!button_->HitTest(absolute.x(), absolute.y())) return;
    RepaintCell();
    if (grid_ != nullptr) {
        const CCellID cell = grid_->GetClickedCell();
        grid_->ReportButtonClick(cell.row, cell.col, 0);
    }
}

// ---- CDoubleImgCellBtn ----

void CDoubleImgCellBtn::SetButton(int index, std::unique_ptr<CImgButton> button) {
    if (index < 0 || index >= kButtons) return;
    buttons_[index] = std::move(button);
    if (buttons_[index] && grid_ != nullptr) buttons_[index]->SetParent(grid_->viewport());
}

CImgButton* CDoubleImgCellBtn::Button(int index) const {
    return index >= 0 && index < kButtons ? buttons_[index].get() : nullptr;
}

bool CDoubleImgCellBtn::IsShown(int index) const {
    if (!Button(index)) return false;
    if (buttons_[3]) return true;
    if (buttons_[0] && buttons_[1]) return index <= 1;
    if (buttons_[0]) return index == 0;
    return index == 1;
}

void CDoubleImgCellBtn::PlaceButtons(const QRect& rect) {
    lastRect_ = rect;
    const int left = rect.left();
    if (buttons_[3]) {
        // With all four, the second button (play) moves to the last place.
        if (buttons_[0]) PlaceAt(*buttons_[0], left + kPlace1, rect);
        if (buttons_[2]) PlaceAt(*buttons_[2], left + kPlace2, rect);
        PlaceAt(*buttons_[3], left + kPlace3, rect);
        if (buttons_[1]) PlaceAt(*buttons_[1], left + kPlace4, rect);
    } else if (buttons_[0] && buttons_[1]) {
        PlaceAt(*buttons_[0], left + kPlace1, rect);
        PlaceAt(*buttons_[1], left + kPlace2, rect);
    } else if (buttons_[0]) {
        Centre(*buttons_[0], rect);
    } else if (buttons_[1]) {
        PlaceAt(*buttons_[1], left + kPlace2, rect);
    }
}

void CDoubleImgCellBtn::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
    PlaceButtons(rect);
    for (int i = 0; i < kButtons; ++i) {
        if (IsShown(i)) buttons_[i]->Draw(painter);
    }
}

void CDoubleImgCellBtn::OnClick(const QPoint& point) {
    const QPoint absolute = point + lastRect_.topLeft();
    if (!lastRect_.contains(absolute)) return;
    PlaceButtons(lastRect_);
    // A button that the arrangement leaves out is not drawn, so it cannot be clicked either.
    for (int i = 0; i < kButtons; ++i) {
        if (!IsShown(i) || !buttons_[i]->HitTest(absolute.x(), absolute.y())) continue;
        RepaintCell();
        if (grid_ != nullptr) {
            const CCellID cell = grid_->GetClickedCell();
            grid_->ReportButtonClick(cell.row, cell.col, i);
        }
        return;
    }
}

// ---- CShortCellCheck ----

void CShortCellCheck::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
    DrawBox(painter, enabled_);
}

void CShortCellCheck::OnClick(const QPoint& point) {
    if (!enabled_) return;
    if (!GetCheckPlacement().contains(point + lastRect_.topLeft())) return;
    checked_ = !checked_;
    RepaintCell();
    if (grid_ != nullptr) {
        const CCellID cell = grid_->GetClickedCell();
        grid_->ReportButtonClick(cell.row, cell.col, 0);
    }
}

// ---- CMyGrid ----

int CMyGrid::LastSortableRow() const {
    const int rows = GetRowCount();
    if (rows >= 12) return rows - 1;
    // Pages fill short lists up to ten rows with rows that carry no record; they stay below.
    for (int row = 1; row < rows; ++row) {
        if (GetRowKey(row).isEmpty()) return row - 1;
    }
    return rows - 1;
}

bool CMyGrid::SortItems(const GridCompare& compare, int col, bool ascending, GridItemData data,
                        int low, int high) {
    if (col >= GetColumnCount()) return false;
    if (high == -1) high = LastSortableRow();
    if (low >= high) return false;
    return CGridCtrl::SortItems(compare, col, ascending, data, low, high);
}

void CMyGrid::OnFixedRowClick(const CCellID& cell) {
    if (!IsValid(cell)) return;
    if (cell.col == 1 || cell.col == 2) {
        if (GetHeaderSort()) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const bool ascending = !(cell.col == GetSortColumn() && GetSortAscending());
            SortItems(cell.col, ascending);
            viewport()->update();
            QApplication::restoreOverrideCursor();
        }
        if (GetFixedRowSelection()) OnSelecting(cell);
        return;
    }
    if (cell.row == 0 && cell.col == 0) {
        // The select-all box: a click just inside the box toggles it like a click on it.
        if (auto* check = GetCellAs<CGridCellCheck>(0, 0)) {
            const QRect rect = CellRect(0, 0);
            check->SetLastRect(rect);
            const QPoint inside = check->GetCheckPlacement().topLeft() + QPoint(1, 1);
            check->OnClick(inside - rect.topLeft());
        }
    }
}

}  // namespace torvane
