#pragma once

// The list grid: a table view over a GridModel, drawn by GridDelegate, with the heading row in a
// header that stays put while the rows scroll. Rows are counted as the pages see them: with a
// heading row, row 0 is the heading and the model's rows are 1, 2, ...; after a sort, row n is
// the row shown n-th. A row is known by its key (GetRowKey), never by its place.

#include <QTableView>
#include <array>
#include <functional>
#include <memory>

#include "ui/grid_cell.h"

class QLineEdit;
class QSortFilterProxyModel;

namespace torvane {

class CImgButton;
class GridModel;

class CGridCtrl : public QTableView {
    Q_OBJECT

  public:
    static constexpr int kDefaultColumnWidth = 64;
    static constexpr int kDefaultRowHeight = 24;
    using Buttons = std::array<std::shared_ptr<CImgButton>, GridCell::kButtons>;

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid in `parent` at `rect` with a control id.
    bool Create(const QRect& rect, QWidget* parent, int id);
    int Id() const { return id_; }

    // Shape.
    void SetRowCount(int rows);
    void SetColumnCount(int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    // 0 or 1: whether row 0 is the heading.
    void SetFixedRowCount(int rows);
    int GetFixedRowCount() const { return fixedRows_; }
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // A height of 0 hides the row.
    bool SetRowHeight(int row, int height);
    int GetRowHeight(int row) const;
    void SetDefaultRowHeight(int height);
    // The last column takes the width that the others leave in the view; it never narrows.
    void ExpandLastColumn();
    void SetTextBkColor(const QColor& color);
    void SetFixedBkColor(const QColor& color);
    void SetFixedTextColor(const QColor& color);
    const GridColours& Colours() const { return colours_; }
    // One cell, the row's first, drawn over the whole row.
    bool SpanRow(int row);
    // Removes every row, column and span, and the heading: a refill sets them anew.
    void DeleteAllItems();

    // Content.
    bool IsValid(int row, int column) const;
    const GridCell* Cell(int row, int column) const;
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetRowKey(int row, const QString& key);
    QString GetRowKey(int row) const;
    bool SetItemFormat(int row, int column, int format);
    // Whether a double click opens the cell's text for editing (when the grid is editable).
    bool SetItemEditable(int row, int column, bool editable);
    bool SetItemFont(int row, int column, const QFont& font);
    bool SetItemFgColour(int row, int column, const QColor& color);
    bool SetItemBkColour(int row, int column, const QColor& color);

    // Check cells: a click on the box flips it and is reported as buttonClicked(row, column, 0).
    bool SetCheckCell(int row, int column);
    bool SetCheck(int row, int column, bool checked);
    bool GetCheck(int row, int column) const;
    bool SetCheckEnabled(int row, int column, bool enabled);
    bool IsCheckEnabled(int row, int column) const;
    // Picture buttons: up to four side by side, or one centred.
    bool SetButtons(int row, int column, Buttons buttons);
    bool SetCentredButton(int row, int column, std::shared_ptr<CImgButton> button);
    // The child name page's info cell in its state.
    bool SetChildInfo(int row, int column, int state, const QString& text);
    CImgButton* CellButton(int row, int column, int index) const;
    // Where the button stands now, in the coordinates of CellRect; empty when not shown.
    QRect ButtonRect(int row, int column, int index) const;
    void RedrawCell(int row, int column);

    // The cell's rectangle: a heading's in the header, a row's in the viewport.
    QRect CellRect(int row, int column) const;
    // The widget that shows the row: the header for the heading, else the viewport.
    QWidget* Surface(int row) const;
    void ScrollToTop();

    // Sorting: a click on a heading sorts by its column when header sorting is on. Rows without a
    // key (the filler rows) stay below the others whichever way the rows are sorted.
    void SetHeaderSort(bool on) { headerSort_ = on; }
    bool GetHeaderSort() const { return headerSort_; }
    int GetSortColumn() const { return sortColumn_; }
    bool GetSortAscending() const { return sortAscending_; }
    bool SortItems(int column, bool ascending);

    // Editing.
    void SetEditable(bool on) { editable_ = on; }
    bool IsEditable() const { return editable_; }
    // Opens the in-place editor on an editable cell; false when the cell may not be edited.
    bool EditCell(int row, int column);
    // Ends in-place editing, keeping the typed text unless cancelled.
    void EndEditing(bool cancel = false);
    QLineEdit* Editor() const;

    // Draws heading `column` in `rect` (the header's own painting).
    void PaintHeading(QPainter& painter, const QRect& rect, int column) const;
    // A click on heading `column`: sorts by it when header sorting is on.
    virtual void OnHeadingClick(int column);

  Q_SIGNALS:
    // A click on a check box or a picture button of cell (row, column), delivered from the event
    // loop so that the receiver may rebuild the grid; `button` is the button's place in the cell
    // (0 for a check box or a single button; a command for the child info cell).
    void buttonClicked(int row, int column, int button);
    // A click anywhere on a row's cell, before what the cell itself does with it.
    void rowClicked(int row, int column);
    // In-place editing ended with a new text.
    void cellEdited(int row, int column);

  protected:
    // Queues the report of a click on a cell's box or button.
    void ReportButtonClick(int row, int column, int button);
    GridCell* MutableCell(int row, int column);
    void CellChanged(int row, int column);
    // Changes one cell and tells the views; false when there is no such cell.
    bool ChangeCell(int row, int column, const std::function<void(GridCell&)>& change);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    // The model's row and the view's row of a grid row; -1 for the heading or none.
    int SourceRow(int row) const;
    // The cell when it is a check cell, else null.
    const GridCell* CheckCell(int row, int column) const;
    int ViewRow(int row) const;
    QModelIndex ViewIndex(int row, int column) const;
    void ApplyColours();

    int id_ = 0;
    int fixedRows_ = 0;
    GridModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    GridColours colours_;
    bool headerSort_ = false;
    bool editable_ = true;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    QPersistentModelIndex pressed_;
    QPersistentModelIndex editing_;
};

}  // namespace torvane
