#include "ui/grid_ctrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <functional>

#include "ui/grid_delegate.h"
#include "ui/grid_model.h"
#include "ui/image_widgets.h"

namespace torvane {

namespace {

// Text order, with the rows that carry no key (the filler rows) below the others whichever way
// the rows are sorted.
class FillerLastSort final : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const bool leftFiller = left.data(GridModel::kKeyRole).toString().isEmpty();
        const bool rightFiller = right.data(GridModel::kKeyRole).toString().isEmpty();
        if (leftFiller != rightFiller)
            return sortOrder() == Qt::AscendingOrder ? rightFiller : leftFiller;
        return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
    }
};

// The heading row: drawn by the grid like its rows and clicked without moving or resizing
// columns.
class GridHeader final : public QHeaderView {
  public:
    explicit GridHeader(CGridCtrl& grid) : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {
        setSectionsClickable(false);
        setSectionsMovable(false);
        setHighlightSections(false);
        setMinimumSectionSize(0);
        setDefaultSectionSize(CGridCtrl::kDefaultColumnWidth);
        setSectionResizeMode(QHeaderView::Fixed);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(viewport());
        painter.fillRect(viewport()->rect(), grid_.Colours().back);
        painter.setFont(grid_.font());
        for (int column = 0; column < count(); ++column) {
            const QRect rect(sectionViewportPosition(column), 0, sectionSize(column), height());
            if (!rect.isEmpty()) grid_.PaintHeading(painter, rect, column);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ =
            event->button() == Qt::LeftButton ? logicalIndexAt(event->position().toPoint()) : -1;
    }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const int column = logicalIndexAt(event->position().toPoint());
        const bool same = column >= 0 && column == pressed_;
        pressed_ = -1;
        if (same) grid_.OnHeadingClick(column);
    }

  private:
    CGridCtrl& grid_;
    int pressed_ = -1;
};

}  // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : QTableView(parent) {
    model_ = new GridModel(this);
    sorted_ = new FillerLastSort(this);
    sorted_->setDynamicSortFilter(false);
    sorted_->setSourceModel(model_);
    setModel(sorted_);
    setHorizontalHeader(new GridHeader(*this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setItemDelegate(new GridDelegate(*this));
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setWordWrap(false);
    ApplyColours();
    connect(model_, &GridModel::textEdited, this, [this](int sourceRow, int column) {
        const int row = sorted_->mapFromSource(model_->index(sourceRow, column)).row();
        if (row < 0) return;
        QMetaObject::invokeMethod(
            this, [this, row, column] { Q_EMIT cellEdited(fixedRows_ + row, column); },
            Qt::QueuedConnection);
    });
}

CGridCtrl::~CGridCtrl() = default;

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int id) {
    if (parent != nullptr && parent != parentWidget()) setParent(parent);
    setGeometry(rect);
    id_ = id;
    show();
    return true;
}

// ---- Rows -----------------------------------------------------------------------------------

int CGridCtrl::SourceRow(int row) const {
    const QModelIndex index = ViewIndex(row, 0);
    return index.isValid() ? sorted_->mapToSource(index).row() : -1;
}

int CGridCtrl::ViewRow(int row) const {
    const int view = row - fixedRows_;
    return row >= fixedRows_ && view < sorted_->rowCount() ? view : -1;
}

QModelIndex CGridCtrl::ViewIndex(int row, int column) const {
    const int view = ViewRow(row);
    return view < 0 ? QModelIndex() : sorted_->index(view, column);
}

void CGridCtrl::SetRowCount(int rows) {
    EndEditing(true);
    model_->SetRowCount(std::max(0, rows - fixedRows_));
}

void CGridCtrl::SetColumnCount(int columns) {
    EndEditing(true);
    model_->SetColumnCount(columns);
}

int CGridCtrl::GetRowCount() const {
    return fixedRows_ + model_->rowCount();
}

int CGridCtrl::GetColumnCount() const {
    return model_->columnCount();
}

void CGridCtrl::SetFixedRowCount(int rows) {
    rows = std::clamp(rows, 0, 1);
    if (rows == fixedRows_) return;
    // The first row becomes the heading with its cells and its height.
    if (rows == 1) {
        if (model_->rowCount() > 0) {
            for (int column = 0; column < GetColumnCount(); ++column)
                *model_->Heading(column) = *model_->Cell(0, column);
            horizontalHeader()->setFixedHeight(rowHeight(0));
            model_->removeRow(0);
        } else {
            horizontalHeader()->setFixedHeight(verticalHeader()->defaultSectionSize());
        }
    }
    fixedRows_ = rows;
    horizontalHeader()->setVisible(rows == 1);
    viewport()->update();
}

bool CGridCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= GetColumnCount() || width < 0) return false;
    setColumnWidth(column, width);
    return true;
}

int CGridCtrl::GetColumnWidth(int column) const {
    return column >= 0 && column < GetColumnCount() ? columnWidth(column) : 0;
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (height < 0) return false;
    if (row >= 0 && row < fixedRows_) {
        horizontalHeader()->setFixedHeight(height);
        return true;
    }
    const int view = ViewRow(row);
    if (view < 0) return false;
    setRowHidden(view, height == 0);
    if (height > 0) setRowHeight(view, height);
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    if (row >= 0 && row < fixedRows_) return horizontalHeader()->height();
    const int view = ViewRow(row);
    if (view < 0 || isRowHidden(view)) return 0;
    return rowHeight(view);
}

void CGridCtrl::SetDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
}

void CGridCtrl::ExpandLastColumn() {
    const int columns = GetColumnCount();
    if (columns == 0) return;
    int used = 0;
    for (int column = 0; column < columns; ++column) used += columnWidth(column);
    const int spare = viewport()->width() - used;
    if (spare > 0) setColumnWidth(columns - 1, columnWidth(columns - 1) + spare);
}

void CGridCtrl::ApplyColours() {
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, colours_.back);
    viewport()->setPalette(palette);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void CGridCtrl::SetTextBkColor(const QColor& color) {
    colours_.back = color;
    ApplyColours();
}

void CGridCtrl::SetFixedBkColor(const QColor& color) {
    colours_.fixedBack = color;
    ApplyColours();
}

void CGridCtrl::SetFixedTextColor(const QColor& color) {
    colours_.fixedInk = color;
    ApplyColours();
}

bool CGridCtrl::SpanRow(int row) {
    const int view = ViewRow(row);
    if (view < 0 || GetColumnCount() < 2) return false;
    setSpan(view, 0, 1, GetColumnCount());
    return true;
}

void CGridCtrl::DeleteAllItems() {
    EndEditing(true);
    clearSpans();
    sorted_->sort(-1);
    model_->Reset(0);
    fixedRows_ = 0;
    horizontalHeader()->hide();
    pressed_ = QPersistentModelIndex();
}

// ---- Cells ----------------------------------------------------------------------------------

bool CGridCtrl::IsValid(int row, int column) const {
    return Cell(row, column) != nullptr;
}

GridCell* CGridCtrl::MutableCell(int row, int column) {
    if (row >= 0 && row < fixedRows_) return model_->Heading(column);
    return model_->Cell(SourceRow(row), column);
}

const GridCell* CGridCtrl::Cell(int row, int column) const {
    return const_cast<CGridCtrl*>(this)->MutableCell(row, column);
}

void CGridCtrl::CellChanged(int row, int column) {
    if (row >= 0 && row < fixedRows_) {
        horizontalHeader()->viewport()->update();
        return;
    }
    model_->CellChanged(SourceRow(row), column);
}

void CGridCtrl::RedrawCell(int row, int column) {
    CellChanged(row, column);
}

bool CGridCtrl::ChangeCell(int row, int column, const std::function<void(GridCell&)>& change) {
    GridCell* cell = MutableCell(row, column);
    if (cell == nullptr) return false;
    change(*cell);
    CellChanged(row, column);
    return true;
}

bool CGridCtrl::SetItemText(int row, int column, const QString& text) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.text = text; });
}

QString CGridCtrl::GetItemText(int row, int column) const {
    const GridCell* cell = Cell(row, column);
    return cell != nullptr ? cell->text : QString();
}

bool CGridCtrl::SetRowKey(int row, const QString& key) {
    return model_->SetKey(SourceRow(row), key);
}

QString CGridCtrl::GetRowKey(int row) const {
    return model_->Key(SourceRow(row));
}

bool CGridCtrl::SetItemFormat(int row, int column, int format) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.format = format; });
}

bool CGridCtrl::SetItemEditable(int row, int column, bool editable) {
    return ChangeCell(row, column,
                      [&](GridCell& cell) { cell.editable = editable && row >= fixedRows_; });
}

bool CGridCtrl::SetItemFont(int row, int column, const QFont& font) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.font = font; });
}

bool CGridCtrl::SetItemFgColour(int row, int column, const QColor& color) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.ink = color; });
}

bool CGridCtrl::SetItemBkColour(int row, int column, const QColor& color) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.back = color; });
}

bool CGridCtrl::SetCheckCell(int row, int column) {
    return ChangeCell(row, column, [&](GridCell& cell) { cell.kind = CellKind::Check; });
}

const GridCell* CGridCtrl::CheckCell(int row, int column) const {
    const GridCell* cell = Cell(row, column);
    return cell != nullptr && cell->kind == CellKind::Check ? cell : nullptr;
}

bool CGridCtrl::SetCheck(int row, int column, bool checked) {
    return CheckCell(row, column) != nullptr &&
           ChangeCell(row, column, [&](GridCell& cell) { cell.checked = checked; });
}

bool CGridCtrl::GetCheck(int row, int column) const {
    const GridCell* cell = CheckCell(row, column);
    return cell != nullptr && cell->checked;
}

bool CGridCtrl::SetCheckEnabled(int row, int column, bool enabled) {
    return CheckCell(row, column) != nullptr &&
           ChangeCell(row, column, [&](GridCell& cell) { cell.enabled = enabled; });
}

bool CGridCtrl::IsCheckEnabled(int row, int column) const {
    const GridCell* cell = CheckCell(row, column);
    return cell != nullptr && cell->enabled;
}

bool CGridCtrl::SetButtons(int row, int column, Buttons buttons) {
    return ChangeCell(row, column, [&](GridCell& cell) {
        cell.kind = CellKind::Buttons;
        cell.buttons = std::move(buttons);
    });
}

bool CGridCtrl::SetCentredButton(int row, int column, std::shared_ptr<CImgButton> button) {
    return ChangeCell(row, column, [&](GridCell& cell) {
        cell.kind = CellKind::Button;
        cell.buttons = {std::move(button)};
    });
}

bool CGridCtrl::SetChildInfo(int row, int column, int state, const QString& text) {
    return ChangeCell(row, column,
                      [&](GridCell& cell) { torvane::SetChildInfo(cell, state, text); });
}

CImgButton* CGridCtrl::CellButton(int row, int column, int index) const {
    const GridCell* cell = Cell(row, column);
    if (cell == nullptr || index < 0 || index >= GridCell::kButtons) return nullptr;
    return cell->buttons[static_cast<std::size_t>(index)].get();
}

QRect CGridCtrl::ButtonRect(int row, int column, int index) const {
    const GridCell* cell = Cell(row, column);
    return cell != nullptr ? torvane::ButtonRect(*cell, index, CellRect(row, column)) : QRect();
}

// ---- Geometry -------------------------------------------------------------------------------

QRect CGridCtrl::CellRect(int row, int column) const {
    if (!IsValid(row, column)) return {};
    if (row < fixedRows_)
        return QRect(columnViewportPosition(column), 0, columnWidth(column),
                     horizontalHeader()->height());
    return visualRect(ViewIndex(row, column));
}

QWidget* CGridCtrl::Surface(int row) const {
    return row < fixedRows_ ? horizontalHeader()->viewport() : viewport();
}

void CGridCtrl::ScrollToTop() {
    verticalScrollBar()->setValue(0);
}

void CGridCtrl::PaintHeading(QPainter& painter, const QRect& rect, int column) const {
    if (const GridCell* heading = model_->Heading(column))
        PaintCell(painter, *heading, rect, colours_, true);
}

void CGridCtrl::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(viewport());
        painter.fillRect(viewport()->rect(), colours_.back);
    }
    QTableView::paintEvent(event);
}

// ---- Sorting --------------------------------------------------------------------------------

bool CGridCtrl::SortItems(int column, bool ascending) {
    if (column < 0 || column >= GetColumnCount()) return false;
    EndEditing(true);
    sortColumn_ = column;
    sortAscending_ = ascending;
    sorted_->sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    return true;
}

void CGridCtrl::OnHeadingClick(int column) {
    if (!headerSort_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SortItems(column, !(column == sortColumn_ && sortAscending_));
    QApplication::restoreOverrideCursor();
}

// ---- Clicks and editing ---------------------------------------------------------------------

void CGridCtrl::ReportButtonClick(int row, int column, int button) {
    QMetaObject::invokeMethod(
        this, [this, row, column, button] { Q_EMIT buttonClicked(row, column, button); },
        Qt::QueuedConnection);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    pressed_ =
        event->button() == Qt::LeftButton ? indexAt(event->position().toPoint()) : QModelIndex();
    if (Editor() != nullptr) EndEditing(false);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent*) {}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    const bool same = index.isValid() && index == QModelIndex(pressed_);
    pressed_ = QPersistentModelIndex();
    if (!same) return;
    const int row = fixedRows_ + index.row();
    const int column = index.column();
    Q_EMIT rowClicked(row, column);
    const GridCell* cell = Cell(row, column);
    if (cell == nullptr) return;
    const std::optional<int> hit = CellHit(*cell, visualRect(index), point);
    if (!hit) return;
    if (cell->kind == CellKind::Check) SetCheck(row, column, !cell->checked);
    ReportButtonClick(row, column, *hit);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) EditCell(fixedRows_ + index.row(), index.column());
}

bool CGridCtrl::EditCell(int row, int column) {
    const GridCell* cell = Cell(row, column);
    if (cell == nullptr || row < fixedRows_ || !editable_ || !cell->editable) return false;
    EndEditing(false);
    editing_ = ViewIndex(row, column);
    edit(editing_);
    if (QLineEdit* editor = Editor()) {
        editor->selectAll();
        editor->setFocus();
    }
    return Editor() != nullptr;
}

QLineEdit* CGridCtrl::Editor() const {
    return editing_.isValid() ? qobject_cast<QLineEdit*>(indexWidget(editing_)) : nullptr;
}

void CGridCtrl::EndEditing(bool cancel) {
    QLineEdit* editor = Editor();
    if (editor == nullptr) return;
    if (!cancel) commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

}  // namespace torvane
