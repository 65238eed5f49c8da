#pragma once

// What one cell of a grid shows, as a value the grid's model keeps, and how a cell is drawn and
// where its parts (check box, picture buttons) stand inside it. The delegate draws rows with
// these functions and the header draws its cells with them, so both look alike; the grid finds
// a click's target with the same placements the drawing used.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "ui/child_info_cell.h"

class QPainter;

namespace torvane {

class CImgButton;

// Plain cells are left-aligned and vertically centred; any combination of Qt::Alignment flags.
inline constexpr int kDefaultCellFormat = Qt::AlignLeft | Qt::AlignVCenter;

enum class CellKind {
    Text,
    // A check box, centred (the cells here have no text beside it); a disabled box is drawn
    // inactive and ignores clicks.
    Check,
    // Up to four picture buttons side by side (see ButtonPlaces).
    Buttons,
    // One picture button centred in the cell.
    Button,
    // The child name page's second row: the name voice's state and its next step's buttons.
    ChildInfo,
};

struct GridCell {
    static constexpr int kButtons = 4;

    CellKind kind = CellKind::Text;
    QString text;
    int format = kDefaultCellFormat;
    bool editable = false;
    // Invalid colours mean "the grid's colours".
    QColor ink;
    QColor back;
    std::optional<QFont> font;
    bool checked = false;
    bool enabled = true;
    // Buttons: index 0..3, a null one leaves its place empty; Button and ChildInfo: index 0 (and
    // 1 for the child's listen button). Shared so that rows copy cheaply; the page may change a
    // button's state (a radio) and have the grid redraw it.
    std::array<std::shared_ptr<CImgButton>, kButtons> buttons;
    int infoState = CChildInfoCell::kBlank;
};

// The grid's own colours, for cells that leave theirs unset.
struct GridColours {
    QColor back = Qt::white;
    QColor fixedBack = QColor(0xE8, 0xE4, 0xDE);
    QColor fixedInk = Qt::black;
};

// The line drawn under every row.
inline const QColor kGridLine(0xD8, 0xD0, 0xC6);

// Draws `cell` in `rect` with the line under it; `fixed` for a header cell.
void PaintCell(QPainter& painter, const GridCell& cell, const QRect& rect,
               const GridColours& colours, bool fixed);

// Where the check box of a check cell stands in `rect`.
QRect CheckBoxRect(const QRect& rect);

// Where button `index` of the cell stands in `rect`; empty when the cell does not show it. A
// Buttons cell shows all four at +10, +79 (second), +33 (third) and +56 (fourth); else first and
// second at +10 and +33; else the first alone centred or the second alone at +33; buttons keep
// their size and are centred vertically.
QRect ButtonRect(const GridCell& cell, int index, const QRect& rect);

// What a click at `point` inside `rect` means: the button index (or, for a check cell, 0 when the
// box was hit; for the child info cell, its command), or nothing.
std::optional<int> CellHit(const GridCell& cell, const QRect& rect, const QPoint& point);

}  // namespace torvane
