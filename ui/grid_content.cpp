// The grid's content: cells and their items, check boxes, selection, sorting and editing.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/grid_ctrl.h"

namespace torvane {

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    return IsValid(row, col) ? rows_[row].cells[col].get() : nullptr;
}

bool CGridCtrl::SetCell(int row, int col, std::unique_ptr<CGridCellBase> cell,
                        bool keepProperties) {
    if (!IsValid(row, col) || !cell) return false;
    if (editingCell_ == CCellID{row, col}) EndEditing(true);
    if (keepProperties) cell->CopyPropertiesFrom(*rows_[row].cells[col]);
    cell->SetGrid(this);
    rows_[row].cells[col] = std::move(cell);
    RedrawCell(row, col);
    return true;
}

bool CGridCtrl::SetCellType(int row, int col, const CellFactory& factory) {
    if (!factory) return false;
    return SetCell(row, col, factory(), true);
}

bool CGridCtrl::SetItem(const GridItem& item) {
    CGridCellBase* cell = GetCell(item.row, item.col);
    if (cell == nullptr) return false;
    if (item.mask & GridItem::Text) cell->SetText(item.text);
    if (item.mask & GridItem::Data) cell->SetData(item.data);
    if (item.mask & GridItem::Format) cell->SetFormat(item.format);
    if (item.mask & GridItem::State) cell->SetState(item.state);
    if (item.mask & GridItem::Font) cell->SetFont(item.font);
    if (item.mask & GridItem::TextColor) cell->SetTextClr(item.textColor);
    RedrawCell(item.row, item.col);
    return true;
}

bool CGridCtrl::SetItemText(int row, int col, const QString& text) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetText(text);
    RedrawCell(row, col);
    return true;
}

QString CGridCtrl::GetItemText(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : QString();
}

bool CGridCtrl::SetRowKey(int row, const QString& key) {
    if (row < 0 || row >= GetRowCount()) return false;
    rows_[row].key = key;
    return true;
}

QString CGridCtrl::GetRowKey(int row) const {
    return row >= 0 && row < GetRowCount() ? rows_[row].key : QString();
}

bool CGridCtrl::SetItemData(int row, int col, GridItemData data) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetData(data);
    return true;
}

GridItemData CGridCtrl::GetItemData(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetData() : 0;
}

bool CGridCtrl::SetItemFormat(int row, int col, int format) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetFormat(format);
    RedrawCell(row, col);
    return true;
}

int CGridCtrl::GetItemFormat(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetFormat() : kDefaultCellFormat;
}

bool CGridCtrl::SetItemState(int row, int col, unsigned state) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetState(state);
    RedrawCell(row, col);
    return true;
}

unsigned CGridCtrl::GetItemState(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetState() : 0;
}

bool CGridCtrl::SetItemFont(int row, int col, const QFont& font) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetFont(font);
    RedrawCell(row, col);
    return true;
}

bool CGridCtrl::SetItemFgColour(int row, int col, const QColor& color) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetTextClr(color);
    RedrawCell(row, col);
    return true;
}

bool CGridCtrl::SetItemBkColour(int row, int col, const QColor& color) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr) return false;
    cell->SetBackClr(color);
    RedrawCell(row, col);
    return true;
}

bool CGridCtrl::SetCheck(int row, int col, bool checked) {
    auto* cell = GetCellAs<CGridCellCheck>(row, col);
    if (cell == nullptr) return false;
    cell->SetCheck(checked);
    return true;
}

bool CGridCtrl::GetCheck(int row, int col) const {
    const auto* cell = GetCellAs<CGridCellCheck>(row, col);
    return cell != nullptr && cell->GetCheck();
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol) {
    SetSelectedRange(CCellRange{minRow, minCol, maxRow, maxCol});
}

void CGridCtrl::SetSelectedRange(const CCellRange& range) {
    auto mark = [this](const CCellRange& r, bool on) {
        if (!r.IsValid()) return;
        for (int row = r.minRow; row <= r.maxRow; ++row) {
            for (int col = r.minCol; col <= r.maxCol; ++col) {
                if (CGridCellBase* cell = GetCell(row, col)) {
                    const unsigned state = cell->GetState();
                    cell->SetState(on ? state | GVIS_SELECTED : state & ~GVIS_SELECTED);
                }
            }
        }
    };
    mark(selection_, false);
    selection_ = range.IsValid() ? range : CCellRange{};
    mark(selection_, true);
    viewport()->update();
}

void CGridCtrl::OnSelecting(const CCellID& cell) {
    if (!selectionEnabled_ || !IsValid(cell)) return;
    if (listMode_) {
        SetSelectedRange(cell.row, 0, cell.row, columnCount_ - 1);
    } else {
        SetSelectedRange(cell.row, cell.col, cell.row, cell.col);
    }
}

int CGridCtrl::CompareText(const CGridCellBase& a, const CGridCellBase& b, GridItemData) {
    return QString::localeAwareCompare(a.GetText(), b.GetText());
}

GridCompare CGridCtrl::GetCompareFunction() const {
    return compare_ ? compare_ : GridCompare(&CGridCtrl::CompareText);
}

bool CGridCtrl::SortItems(int col, bool ascending, GridItemData data) {
    sortColumn_ = col;
    sortAscending_ = ascending;
    EndEditing(true);
    const bool sorted = SortItems(GetCompareFunction(), col, ascending, data, fixedRows_, -1);
    viewport()->update();
    return sorted;
}

bool CGridCtrl::SortItems(const GridCompare& compare, int col, bool ascending, GridItemData data,
                          int low, int high) {
    if (col < 0 || col >= columnCount_) return false;
    if (high == -1) high = GetRowCount() - 1;
    if (low < 0 || high >= GetRowCount()) return false;
    int lo = low;
    int hi = high;
    if (hi <= lo) return false;
    // The pivot is a cell, not a row: it travels with its row when rows are swapped.
    const CGridCellBase* pivot = GetCell((lo + hi) / 2, col);
    auto cmp = [&](int row, const CGridCellBase* other) {
        return compare(*GetCell(row, col), *other, data);
    };
    while (lo <= hi) {
        if (ascending) {
            while (lo < high && cmp(lo, pivot) < 0) ++lo;
            while (hi > low && cmp(hi, pivot) > 0) --hi;
        } else {
            while (lo < high && cmp(lo, pivot) > 0) ++lo;
            while (hi > low && cmp(hi, pivot) < 0) --hi;
        }
        if (lo <= hi) {
            if (cmp(lo, GetCell(hi, col)) != 0) std::swap(rows_[lo], rows_[hi]);
            ++lo;
            --hi;
        }
    }
    if (low < hi) SortItems(compare, col, ascending, data, low, hi);
    if (lo < high) SortItems(compare, col, ascending, data, lo, high);
    return true;
}

void CGridCtrl::OnFixedRowClick(const CCellID& cell) {
    if (!IsValid(cell)) return;
    if (headerSort_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ascending = !(cell.col == sortColumn_ && sortAscending_);
        SortItems(cell.col, ascending);
        QApplication::restoreOverrideCursor();
    } else if (fixedRowSelection_) {
        OnSelecting(cell);
    }
}

bool CGridCtrl::EditCell(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell == nullptr || row < fixedRows_ || !editable_ || !cell->IsEditable()) return false;
    EndEditing(false);
    editingCell_ = CCellID{row, col};
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    if (cell->GetFont()) editor_->setFont(*cell->GetFont());
    editor_->setGeometry(CellRect(row, col).adjusted(1, 1, -1, -1));
    editor_->setText(cell->GetText());
    editor_->selectAll();
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus();
    return true;
}

void CGridCtrl::EndEditing(bool cancel) {
    if (editor_ == nullptr) return;
    QLineEdit* editor = editor_;
    const CCellID cell = editingCell_;
    editor_ = nullptr;  // before hiding: losing the focus comes back here
    editingCell_ = CCellID{};
    const QString text = editor->text();
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    if (cancel || !IsValid(cell) || text == GetItemText(cell.row, cell.col)) return;
    SetItemText(cell.row, cell.col, text);
    Q_EMIT cellEdited(cell.row, cell.col);
}

bool CGridCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                EndEditing(false);
                return true;
            }
            if (key == Qt::Key_Escape) {
                EndEditing(true);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            EndEditing(false);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

}  // namespace torvane
