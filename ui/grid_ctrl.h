#pragma once

// The list grid: rows of cells under fixed header rows, drawn by the cells themselves, with
// merged header cells, per-cell classes, sorting by a compare function and in-place editing.

#include <QAbstractScrollArea>
#include <functional>
#include <memory>
#include <vector>

#include "ui/grid_cell.h"

class QLineEdit;

namespace torvane {

struct CCellID {
    int row = -1;
    int col = -1;
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID&) const = default;
};

struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    bool IsValid() const {
        return minRow >= 0 && minCol >= 0 && maxRow >= minRow && maxCol >= minCol;
    }
    bool Contains(int row, int col) const {
        return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
    }
    bool operator==(const CCellRange&) const = default;
};

enum GridLines { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

// Sorting compares two cells of the sorted column; negative, zero or positive.
using GridCompare =
    std::function<int(const CGridCellBase& a, const CGridCellBase& b, GridItemData data)>;

// What SetItem sets; `mask` picks the fields.
struct GridItem {
    enum Mask : unsigned { Text = 1, Data = 2, Format = 4, State = 8, Font = 16, TextColor = 32 };
    unsigned mask = Text;
    int row = 0;
    int col = 0;
    QString text;
    GridItemData data = 0;
    int format = kDefaultCellFormat;
    unsigned state = 0;
    QFont font;
    QColor textColor;
};

class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT

  public:
    using CellFactory = std::function<std::unique_ptr<CGridCellBase>()>;

    static constexpr int kDefaultColumnWidth = 64;
    static constexpr int kDefaultRowHeight = 24;

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid in `parent` at `rect` with a control id.
    bool Create(const QRect& rect, QWidget* parent, int id);
    int Id() const { return id_; }

    // Shape.
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    int GetRowCount() const { return static_cast<int>(rows_.size()); }
    int GetColumnCount() const { return columnCount_; }
    void SetFixedRowCount(int rows) {
        fixedRows_ = std::max(0, rows);
        Relayout();
    }
    int GetFixedRowCount() const { return fixedRows_; }
    bool SetColumnWidth(int col, int width);
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    int GetRowHeight(int row) const;
    void SetDefaultRowHeight(int height) { defaultRowHeight_ = height; }
    // The last column takes the width that the others leave in the view.
    void ExpandLastColumn();
    void SetGridLines(int lines) {
        gridLines_ = lines;
        viewport()->update();
    }
    void SetListMode(bool on) { listMode_ = on; }
    bool GetListMode() const { return listMode_; }
    void EnableSelection(bool on);
    bool IsSelectable() const { return selectionEnabled_; }
    void SetTextBkColor(const QColor& color) {
        textBkColor_ = color;
        viewport()->update();
    }
    QColor GetTextBkColor() const { return textBkColor_; }
    void SetFixedBkColor(const QColor& color) {
        fixedBkColor_ = color;
        viewport()->update();
    }
    QColor GetFixedBkColor() const { return fixedBkColor_; }
    void SetFixedTextColor(const QColor& color) {
        fixedTextColor_ = color;
        viewport()->update();
    }
    QColor GetFixedTextColor() const { return fixedTextColor_; }
    // One cell drawn over the whole range (a header spanning several columns); clicks anywhere
    // in it go to its top-left cell.
    bool MergeCells(const CCellRange& range);
    // The merged range holding the cell, or the cell alone.
    CCellRange GetMergedRange(int row, int col) const;
    // Removes every row, column, merge and selection, and the fixed rows: a refill sets them anew.
    void DeleteAllItems();

    // Content.
    bool SetItem(const GridItem& item);
    bool SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    // What the row shows (a content number, a DIY card's number): the page finds its record by
    // this key, so the row stays true to its content whatever the page does to its lists.
    // Rows without a key (the filler rows under a short list) show nothing.
    bool SetRowKey(int row, const QString& key);
    QString GetRowKey(int row) const;
    bool SetItemData(int row, int col, GridItemData data);
    GridItemData GetItemData(int row, int col) const;
    bool SetItemFormat(int row, int col, int format);
    int GetItemFormat(int row, int col) const;
    bool SetItemState(int row, int col, unsigned state);
    unsigned GetItemState(int row, int col) const;
    bool SetItemFont(int row, int col, const QFont& font);
    bool SetItemFgColour(int row, int col, const QColor& color);
    bool SetItemBkColour(int row, int col, const QColor& color);

    // Cells.
    bool IsValid(int row, int col) const;
    bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    CGridCellBase* GetCell(int row, int col) const;
    template <class T>
    T* GetCellAs(int row, int col) const {
        return dynamic_cast<T*>(GetCell(row, col));
    }
    // Replaces the cell; the new cell keeps the old one's properties only when asked.
    bool SetCell(int row, int col, std::unique_ptr<CGridCellBase> cell,
                 bool keepProperties = false);
    // Puts a fresh cell of class T in place, keeping the text, value, state and format.
    template <class T>
    bool SetCellType(int row, int col) {
        return SetCellType(row, col, [] { return std::make_unique<T>(); });
    }
    bool SetCellType(int row, int col, const CellFactory& factory);
    // Check cells (false when the cell has no box).
    bool SetCheck(int row, int col, bool checked);
    bool GetCheck(int row, int col) const;

    // Selection.
    CCellRange GetSelectedCellRange() const { return selection_; }
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol);
    void SetSelectedRange(const CCellRange& range);
    // Selects the cell (its row in list mode) as a click would.
    virtual void OnSelecting(const CCellID& cell);
    void SetFixedRowSelection(bool on) { fixedRowSelection_ = on; }
    bool GetFixedRowSelection() const { return fixedRowSelection_; }

    // Sorting.
    void SetHeaderSort(bool on) { headerSort_ = on; }
    bool GetHeaderSort() const { return headerSort_; }
    void SetCompareFunction(GridCompare compare) { compare_ = std::move(compare); }
    // The compare function in use: the one set, else text order.
    GridCompare GetCompareFunction() const;
    int GetSortColumn() const { return sortColumn_; }
    bool GetSortAscending() const { return sortAscending_; }
    void SetSortColumn(int col) { sortColumn_ = col; }
    void SetSortAscending(bool ascending) { sortAscending_ = ascending; }
    // Sorts the rows under the header by a column and remembers it as the sorted column.
    bool SortItems(int col, bool ascending, GridItemData data = 0);
    // Quick sort of rows low..high (high -1: the last row) swapping whole rows with their heights.
    virtual bool SortItems(const GridCompare& compare, int col, bool ascending, GridItemData data,
                           int low, int high);
    static int CompareText(const CGridCellBase& a, const CGridCellBase& b, GridItemData data);

    // Editing.
    void SetEditable(bool on) { editable_ = on; }
    bool IsEditable() const { return editable_; }
    // Opens the in-place editor on an editable cell; false when the cell may not be edited.
    bool EditCell(int row, int col);
    // Ends in-place editing, keeping the typed text unless cancelled.
    void EndEditing(bool cancel = false);
    QLineEdit* Editor() const { return editor_; }

    // Geometry (viewport coordinates).
    QRect CellRect(int row, int col) const;
    CCellID CellAt(const QPoint& point) const;
    // Scrolls the rows under the header back to the first.
    void ScrollToTop();

    // Queues the report of a click on a cell's picture button (see `buttonClicked`).
    void ReportButtonClick(int row, int column, int button);
    // The cell that the current click is being delivered to.
    CCellID GetClickedCell() const { return clickedCell_; }
    // Delivers a click at a viewport point as the mouse would (press and release).
    void ClickAt(const QPoint& point);
    void RedrawCell(int row, int col);

  Q_SIGNALS:
    // A click on a picture button of cell (row, column), delivered from the event loop so that
    // the receiver may rebuild the grid; `button` is the button's place in the cell (0 for cells
    // with one button).
    void buttonClicked(int row, int column, int button);
    // In-place editing ended with a new text.
    void cellEdited(int row, int col);

  protected:
    // A click on a header-row cell: sorts by its column when header sorting is on, else selects.
    virtual void OnFixedRowClick(const CCellID& cell);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Row {
        int height;
        std::vector<std::unique_ptr<CGridCellBase>> cells;
        QString key;
    };

    std::unique_ptr<CGridCellBase> NewCell();
    void Relayout();
    void PruneRanges();
    int RowTop(int row) const;  // viewport y of a row's top
    int ColumnLeft(int col) const;
    int FixedHeight() const;
    int ScrollableHeight() const;
    void DrawCell(QPainter& painter, int row, int col, int top);

    int id_ = 0;
    int columnCount_ = 0;
    int fixedRows_ = 0;
    int defaultRowHeight_ = kDefaultRowHeight;
    std::vector<int> columnWidths_;
    std::vector<Row> rows_;
    std::vector<CCellRange> merged_;
    int gridLines_ = GVL_BOTH;
    bool listMode_ = false;
    bool selectionEnabled_ = true;
    bool fixedRowSelection_ = false;
    bool headerSort_ = false;
    bool editable_ = true;
    QColor textBkColor_ = Qt::white;
    QColor fixedBkColor_ = QColor(0xE8, 0xE4, 0xDE);
    QColor fixedTextColor_ = Qt::black;
    CCellRange selection_;
    GridCompare compare_;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    CCellID pressedCell_;
    CCellID clickedCell_;
    CCellID editingCell_;
    QLineEdit* editor_ = nullptr;
};

}  // namespace torvane
