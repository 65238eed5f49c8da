#pragma once

// The program's own grid and its picture-button cells. A click on a cell's button reaches the
// page as the grid's `buttonClicked` signal with the cell and the button's place in it.

#include <array>
#include <memory>

#include "ui/grid_ctrl.h"
#include "ui/image_widgets.h"

namespace torvane {

// One picture button centred in the cell.
class CImgCellBtn : public CGridCell {
  public:
    // The cell owns the button; it is drawn in the grid's viewport.
    void SetButton(std::unique_ptr<CImgButton> button);
    CImgButton* Button() const { return button_.get(); }

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    // Notifies the grid's owner when the point falls on the button.
    void OnClick(const QPoint& point) override;
    bool IsEditable() const override { return false; }

    // Centres the button in the cell's rectangle.
    void PlaceButton(const QRect& rect);

  private:
    std::unique_ptr<CImgButton> button_;
};

// The radio of the DIY content on the language tab: one centred picture button like CImgCellBtn,
// a class of its own so that the page recognises the radio column by the cell.
class CRadioCellBtn : public CImgCellBtn {};

// A check cell that can be disabled: a disabled box is drawn inactive and ignores clicks. A click
// that toggles the box is reported as the grid's `buttonClicked` with button 0, so the page learns
// of ticks (and of the select-all box in the header) as of any other cell click.
class CShortCellCheck : public CGridCellCheck {
  public:
    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    void OnClick(const QPoint& point) override;

  private:
    bool enabled_ = true;
};

// Up to four picture buttons side by side, each reporting its index.
class CDoubleImgCellBtn : public CGridCell {
  public:
    static constexpr int kButtons = 4;

    // index 0..3; a null button leaves that place empty.
    void SetButton(int index, std::unique_ptr<CImgButton> button);
    CImgButton* Button(int index) const;

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    void OnClick(const QPoint& point) override;
    bool IsEditable() const override { return false; }

    // Places the buttons in the cell's rectangle: all four at +10, +79 (second), +33 (third)
    // and +56 (fourth); else first and second at +10 and +33; else the first alone centred or
    // the second alone at +33. Buttons keep their size and are centred vertically.
    void PlaceButtons(const QRect& rect);
    // Whether the button at `index` is drawn and clickable in the current arrangement.
    bool IsShown(int index) const;

  private:
    std::array<std::unique_ptr<CImgButton>, kButtons> buttons_;
};

// The grid of the content page: header clicks sort the title and date columns and toggle the
// select-all box of column 0, and sorting leaves the empty filler rows at the bottom.
class CMyGrid : public CGridCtrl {
    Q_OBJECT

  public:
    using CGridCtrl::CGridCtrl;
    using CGridCtrl::SortItems;

    bool SortItems(const GridCompare& compare, int col, bool ascending, GridItemData data, int low,
                   int high) override;
    // The last row that sorting with high -1 covers.
    int LastSortableRow() const;

  protected:
    void OnFixedRowClick(const CCellID& cell) override;
};

}  // namespace torvane
