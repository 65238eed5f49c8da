#pragma once

// Cells of the list grid. A cell keeps its text, a pointer-sized item value, state flags, a text
// format and colours; subclasses draw themselves and react to clicks.

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

class QPainter;

namespace torvane {

class CGridCtrl;

using GridItemData = std::uintptr_t;

// Cell state flags.
enum GridItemState : unsigned {
    GVIS_FOCUSED = 0x0001,
    GVIS_SELECTED = 0x0002,
    GVIS_READONLY = 0x0004,
    GVIS_FIXED = 0x0008,
};

// Text formats: any combination of Qt::Alignment flags. Plain cells are left-aligned and
// vertically centred.
inline constexpr int kDefaultCellFormat = Qt::AlignLeft | Qt::AlignVCenter;

class CGridCellBase {
  public:
    CGridCellBase() = default;
    virtual ~CGridCellBase() = default;
    CGridCellBase(const CGridCellBase&) = delete;
    CGridCellBase& operator=(const CGridCellBase&) = delete;

    // Copies text, item value, state, format, colours and font (what a cell keeps when the grid
    // replaces it by a cell of another class).
    void CopyPropertiesFrom(const CGridCellBase& other);

    // Draws the cell in `rect` (the grid's viewport coordinates) and remembers the rectangle.
    virtual void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true);
    // A click at `point`, relative to the cell's top-left corner.
    virtual void OnClick(const QPoint& point);
    // Whether the user may edit the text in place.
    virtual bool IsEditable() const { return !(state_ & GVIS_READONLY); }

    CGridCtrl* Grid() const { return grid_; }
    void SetGrid(CGridCtrl* grid) { grid_ = grid; }

    const QString& GetText() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    GridItemData GetData() const { return data_; }
    void SetData(GridItemData data) { data_ = data; }
    unsigned GetState() const { return state_; }
    void SetState(unsigned state) { state_ = state; }
    int GetFormat() const { return format_; }
    void SetFormat(int format) { format_ = format; }
    // An invalid colour means "the grid's colour".
    QColor GetTextClr() const { return textColor_; }
    void SetTextClr(const QColor& color) { textColor_ = color; }
    QColor GetBackClr() const { return backColor_; }
    void SetBackClr(const QColor& color) { backColor_ = color; }
    const std::optional<QFont>& GetFont() const { return font_; }
    void SetFont(const QFont& font) { font_ = font; }

    // The rectangle the cell was last drawn in (empty before its first drawing).
    const QRect& LastRect() const { return lastRect_; }
    void SetLastRect(const QRect& rect) { lastRect_ = rect; }

  protected:
    // Background, text and nothing else: the grid's ordinary drawing of a cell.
    void DrawPlain(QPainter& painter, int row, int col, const QRect& rect, bool erase);
    // Asks the grid to redraw the remembered rectangle.
    void RepaintCell() const;

    CGridCtrl* grid_ = nullptr;
    QString text_;
    GridItemData data_ = 0;
    unsigned state_ = 0;
    int format_ = kDefaultCellFormat;
    QColor textColor_;
    QColor backColor_;
    std::optional<QFont> font_;
    QRect lastRect_;
};

// A plain text cell.
class CGridCell : public CGridCellBase {};

// A cell with a check box, left in the cell (centred when the cell has no text).
class CGridCellCheck : public CGridCell {
  public:
    static constexpr int kBoxSize = 13;

    bool SetCheck(bool checked);
    bool GetCheck() const { return checked_; }

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    // Toggles when the point falls on the box.
    void OnClick(const QPoint& point) override;
    bool IsEditable() const override { return false; }

    // The box's place inside the last drawn rectangle (viewport coordinates).
    QRect GetCheckPlacement() const;

  protected:
    void DrawBox(QPainter& painter, bool enabled) const;

    bool checked_ = false;
};

}  // namespace torvane
