#include "ui/grid_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace torvane {

CGridCtrl::CGridCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(kDefaultRowHeight);
}

CGridCtrl::~CGridCtrl() = default;

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int id) {
    if (parent != nullptr && parent != parentWidget()) setParent(parent);
    setGeometry(rect);
    id_ = id;
    show();
    Relayout();
    return true;
}

std::unique_ptr<CGridCellBase> CGridCtrl::NewCell() {
    auto cell = std::make_unique<CGridCell>();
    cell->SetGrid(this);
    return cell;
}

bool CGridCtrl::SetRowCount(int rows) {
    if (rows < 0) return false;
    EndEditing(true);
    const int old = GetRowCount();
    if (rows < old) {
        rows_.resize(rows);
        PruneRanges();
    } else {
        for (int r = old; r < rows; ++r) {
            Row row{defaultRowHeight_, {}, {}};
            for (int c = 0; c < columnCount_; ++c) row.cells.push_back(NewCell());
            rows_.push_back(std::move(row));
        }
    }
    Relayout();
    return true;
}

bool CGridCtrl::SetColumnCount(int cols) {
    if (cols < 0) return false;
    EndEditing(true);
    if (cols < columnCount_) {
        columnCount_ = cols;
        PruneRanges();
    }
    columnCount_ = cols;
    columnWidths_.resize(cols, kDefaultColumnWidth);
    for (Row& row : rows_) {
        if (static_cast<int>(row.cells.size()) > cols) {
            row.cells.resize(cols);
        } else {
            while (static_cast<int>(row.cells.size()) < cols) row.cells.push_back(NewCell());
        }
    }
    Relayout();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= columnCount_ || width < 0) return false;
    columnWidths_[col] = width;
    viewport()->update();
    return true;
}

int CGridCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < columnCount_ ? columnWidths_[col] : 0;
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= GetRowCount() || height < 0) return false;
    rows_[row].height = height;
    Relayout();
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    return row >= 0 && row < GetRowCount() ? rows_[row].height : 0;
}

void CGridCtrl::ExpandLastColumn() {
    if (columnCount_ == 0) return;
    int used = 0;
    for (int w : columnWidths_) used += w;
    const int spare = viewport()->width() - used;
    if (spare > 0) columnWidths_.back() += spare;
    viewport()->update();
}

void CGridCtrl::EnableSelection(bool on) {
    selectionEnabled_ = on;
    if (!on) SetSelectedRange(CCellRange{});
}

bool CGridCtrl::MergeCells(const CCellRange& range) {
    if (!range.IsValid() || !IsValid(range.maxRow, range.maxCol)) return false;
    for (const CCellRange& other : merged_) {
        const bool apart = range.maxRow < other.minRow || range.minRow > other.maxRow ||
                           range.maxCol < other.minCol || range.minCol > other.maxCol;
        if (!apart) return false;
    }
    merged_.push_back(range);
    viewport()->update();
    return true;
}

CCellRange CGridCtrl::GetMergedRange(int row, int col) const {
    for (const CCellRange& range : merged_) {
        if (range.Contains(row, col)) return range;
    }
    return CCellRange{row, col, row, col};
}

void CGridCtrl::DeleteAllItems() {
    EndEditing(true);
    rows_.clear();
    columnCount_ = 0;
    fixedRows_ = 0;
    columnWidths_.clear();
    merged_.clear();
    selection_ = CCellRange{};
    pressedCell_ = clickedCell_ = CCellID{};
    Relayout();
}

bool CGridCtrl::IsValid(int row, int col) const {
    return row >= 0 && row < GetRowCount() && col >= 0 && col < columnCount_;
}

int CGridCtrl::FixedHeight() const {
    int height = 0;
    for (int r = 0; r < std::min(fixedRows_, GetRowCount()); ++r) height += rows_[r].height;
    return height;
}

int CGridCtrl::ScrollableHeight() const {
    int height = 0;
    for (int r = fixedRows_; r < GetRowCount(); ++r) height += rows_[r].height;
    return height;
}

int CGridCtrl::RowTop(int row) const {
    int y = 0;
    if (row >= fixedRows_) y = FixedHeight() - verticalScrollBar()->value();
    for (int r = row >= fixedRows_ ? fixedRows_ : 0; r < row; ++r) y += rows_[r].height;
    return y;
}

int CGridCtrl::ColumnLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c) x += columnWidths_[c];
    return x;
}

QRect CGridCtrl::CellRect(int row, int col) const {
    if (!IsValid(row, col)) return {};
    const CCellRange range = GetMergedRange(row, col);
    int width = 0;
    for (int c = range.minCol; c <= range.maxCol; ++c) width += columnWidths_[c];
    int height = 0;
    for (int r = range.minRow; r <= range.maxRow; ++r) height += rows_[r].height;
    return QRect(ColumnLeft(range.minCol), RowTop(range.minRow), width, height);
}

CCellID CGridCtrl::CellAt(const QPoint& point) const {
    if (point.x() < 0 || point.y() < 0) return {};
    int col = -1;
    for (int c = 0, x = 0; c < columnCount_; ++c) {
        x += columnWidths_[c];
        if (point.x() < x) {
            col = c;
            break;
        }
    }
    if (col < 0) return {};
    const int fixedHeight = FixedHeight();
    const bool inFixed = point.y() < fixedHeight;
    int y = inFixed ? 0 : fixedHeight - verticalScrollBar()->value();
    for (int r = inFixed ? 0 : fixedRows_; r < (inFixed ? fixedRows_ : GetRowCount()); ++r) {
        y += rows_[r].height;
        if (point.y() < y) {
            const CCellRange range = GetMergedRange(r, col);
            return CCellID{range.minRow, range.minCol};
        }
    }
    return {};
}

void CGridCtrl::PruneRanges() {
    // Merges and the selection that reach past the grid's new shape go.
    const auto fits = [this](const CCellRange& r) { return IsValid(r.maxRow, r.maxCol); };
    merged_.erase(std::remove_if(merged_.begin(), merged_.end(),
                                 [&](const CCellRange& r) { return !fits(r); }),
                  merged_.end());
    if (selection_.IsValid() && !fits(selection_)) SetSelectedRange(CCellRange{});
}

void CGridCtrl::Relayout() {
    const int visible = std::max(0, viewport()->height() - FixedHeight());
    verticalScrollBar()->setRange(0, std::max(0, ScrollableHeight() - visible));
    verticalScrollBar()->setPageStep(std::max(1, visible));
    viewport()->update();
}

void CGridCtrl::ScrollToTop() {
    verticalScrollBar()->setValue(0);
}

void CGridCtrl::RedrawCell(int row, int col) {
    if (IsValid(row, col)) viewport()->update(CellRect(row, col));
}

void CGridCtrl::ReportButtonClick(int row, int column, int button) {
    QMetaObject::invokeMethod(
        this, [this, row, column, button] { Q_EMIT buttonClicked(row, column, button); },
        Qt::QueuedConnection);
}

void CGridCtrl::DrawCell(QPainter& painter, int row, int col, int top) {
    const CCellRange range = GetMergedRange(row, col);
    if (range.minRow != row || range.minCol != col) return;  // drawn by its merged range
    const bool merged = range.maxRow != row || range.maxCol != col;
    const QRect rect = merged ? CellRect(row, col)
                              : QRect(ColumnLeft(col), top, columnWidths_[col], rows_[row].height);
    if (rect.isEmpty()) return;
    rows_[row].cells[col]->Draw(painter, row, col, rect, true);
}

void CGridCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), textBkColor_);
    const int fixedRows = std::min(fixedRows_, GetRowCount());
    const int fixedHeight = FixedHeight();
    const int width = ColumnLeft(columnCount_);
    const QColor line(0xD8, 0xD0, 0xC6);
    // Rows are walked with a running top, so long lists ("show all") paint in one pass.
    auto drawRows = [&](int first, int last, int top) {
        for (int r = first; r < last; top += rows_[r].height, ++r) {
            if (top + rows_[r].height <= 0) continue;
            if (top >= viewport()->height()) break;
            for (int c = 0; c < columnCount_; ++c) DrawCell(painter, r, c, top);
            painter.setPen(line);
            if (gridLines_ & GVL_HORZ) {
                const int y = top + rows_[r].height - 1;
                painter.drawLine(0, y, width - 1, y);
            }
            if (gridLines_ & GVL_VERT) {
                for (int c = 1, x = 0; c <= columnCount_; ++c) {
                    x += columnWidths_[c - 1];
                    painter.drawLine(x - 1, top, x - 1, top + rows_[r].height - 1);
                }
            }
        }
    };
    painter.save();
    painter.setClipRect(QRect(0, fixedHeight, viewport()->width(), viewport()->height()));
    drawRows(fixedRows, GetRowCount(), fixedHeight - verticalScrollBar()->value());
    painter.restore();
    drawRows(0, fixedRows, 0);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressedCell_ = CellAt(event->position().toPoint());
    QAbstractScrollArea::mousePressEvent(event);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const CCellID cell = CellAt(point);
    const bool same = cell.IsValid() && cell == pressedCell_;
    pressedCell_ = CCellID{};
    if (same) ClickAt(point);
}

void CGridCtrl::ClickAt(const QPoint& point) {
    const CCellID cell = CellAt(point);
    if (!cell.IsValid()) return;
    EndEditing(false);
    clickedCell_ = cell;
    if (cell.row < fixedRows_) {
        OnFixedRowClick(cell);
    } else {
        OnSelecting(cell);
        CGridCellBase* target = GetCell(cell.row, cell.col);
        // The cell finds its parts from where it stands now, even before it was first painted.
        const QRect rect = CellRect(cell.row, cell.col);
        target->SetLastRect(rect);
        target->OnClick(point - rect.topLeft());
    }
    clickedCell_ = CCellID{};
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const CCellID cell = CellAt(event->position().toPoint());
    if (cell.IsValid()) EditCell(cell.row, cell.col);
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void CGridCtrl::scrollContentsBy(int, int) {
    EndEditing(false);
    viewport()->update();
}

}  // namespace torvane
