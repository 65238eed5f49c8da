#include "ui/grid_cell.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/app_font.h"
#include "ui/image_widgets.h"

namespace torvane {

namespace {

constexpr int kTextMargin = 3;
constexpr int kBoxSize = 13;

// Horizontal offsets from the cell's left edge of the buttons of a multi-button cell.
constexpr int kPlace1 = 10;
constexpr int kPlace2 = 33;
constexpr int kPlace3 = 56;
constexpr int kPlace4 = 79;

QRect PlacedAt(const CImgButton& button, int left, const QRect& cell) {
    return QRect(left, cell.top() + (cell.height() - button.Height()) / 2, button.Width(),
                 button.Height());
}

QRect Centred(const CImgButton& button, const QRect& cell) {
    return PlacedAt(button, cell.left() + (cell.width() - button.Width()) / 2, cell);
}

void DrawText(QPainter& painter, const GridCell& cell, const QRect& rect, const QColor& ink) {
    if (cell.text.isEmpty()) return;
    painter.save();
    if (cell.font) painter.setFont(*cell.font);
    painter.setPen(ink);
    painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                     cell.format | Qt::TextSingleLine, cell.text);
    painter.restore();
}

void DrawBox(QPainter& painter, const QRect& box, bool checked, bool enabled) {
    if (box.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor frame = enabled ? QColor(0x8A, 0x6A, 0x52) : QColor(0xB9, 0xAE, 0xA4);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(enabled ? QColor(Qt::white) : QColor(0xF0, 0xEC, 0xE8));
    painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
        tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.74);
        tick.lineTo(box.left() + box.width() * 0.80, box.top() + box.height() * 0.28);
        painter.setPen(QPen(enabled ? QColor(0xE0, 0x85, 0x1B) : frame, 2, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    painter.restore();
}

void DrawChildInfo(QPainter& painter, const GridCell& cell, const QRect& rect) {
    painter.fillRect(rect, Qt::white);
    painter.save();
    painter.setFont(AppFontWeight(9, 600));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    painter.drawText(rect.left() + 2, rect.top() + 3 + metrics.ascent(), cell.text);
    painter.restore();
}

int InfoLeft(int state, int index) {
    if (state == 0) return 320;
    return index == 0 ? 260 : 310;
}

}  // namespace

QRect CheckBoxRect(const QRect& rect) {
    const int size = std::min(kBoxSize, std::max(rect.height() - 2, 0));
    return QRect(rect.left() + (rect.width() - size) / 2, rect.top() + (rect.height() - size) / 2,
                 size, size);
}

QRect ButtonRect(const GridCell& cell, int index, const QRect& rect) {
    if (index < 0 || index >= GridCell::kButtons || !cell.buttons[index]) return {};
    const CImgButton& button = *cell.buttons[index];
    const auto& all = cell.buttons;
    const int left = rect.left();
    switch (cell.kind) {
        case CellKind::Button:
            return index == 0 ? Centred(button, rect) : QRect();
        case CellKind::ChildInfo:
            return QRect(left + InfoLeft(cell.infoState, index), rect.top(), button.Width(),
                         button.Height());
        case CellKind::Buttons:
            break;
        default:
            return {};
    }
    if (all[3]) {
        // With all four, the second button (play) moves to the last place.
        static constexpr int kPlaces[] = {kPlace1, kPlace4, kPlace2, kPlace3};
        return PlacedAt(button, left + kPlaces[index], rect);
    }
    if (all[0] && all[1])
        return index <= 1 ? PlacedAt(button, left + (index == 0 ? kPlace1 : kPlace2), rect)
                          : QRect();
    if (all[0]) return index == 0 ? Centred(button, rect) : QRect();
    return index == 1 ? PlacedAt(button, left + kPlace2, rect) : QRect();
}

std::optional<int> CellHit(const GridCell& cell, const QRect& rect, const QPoint& point) {
    if (!rect.contains(point)) return std::nullopt;
    if (cell.kind == CellKind::Check) {
        if (cell.enabled && CheckBoxRect(rect).contains(point)) return 0;
        return std::nullopt;
    }
    for (int i = 0; i < GridCell::kButtons; ++i) {
        if (!ButtonRect(cell, i, rect).contains(point) || cell.buttons[i]->IsHidden()) continue;
        if (cell.kind != CellKind::ChildInfo) return i;
        if (i == 1) return CChildInfoCell::kListen;
        return cell.infoState == 0   ? CChildInfoCell::kRequest
               : cell.infoState == 1 ? CChildInfoCell::kApply
                                     : CChildInfoCell::kRelease;
    }
    return std::nullopt;
}

void PaintCell(QPainter& painter, const GridCell& cell, const QRect& rect,
               const GridColours& colours, bool fixed) {
    QColor back = cell.back;
    if (!back.isValid()) back = fixed ? colours.fixedBack : colours.back;
    painter.fillRect(rect, back);
    QColor ink = cell.ink;
    if (!ink.isValid()) ink = fixed ? colours.fixedInk : QColor(Qt::black);
    switch (cell.kind) {
        case CellKind::ChildInfo:
            DrawChildInfo(painter, cell, rect);
            break;
        case CellKind::Check:
            DrawText(painter, cell, rect, ink);
            DrawBox(painter, CheckBoxRect(rect), cell.checked, cell.enabled);
            break;
        default:
            DrawText(painter, cell, rect, ink);
            break;
    }
    for (int i = 0; i < GridCell::kButtons; ++i) {
        const QRect place = ButtonRect(cell, i, rect);
        if (!place.isEmpty()) cell.buttons[i]->DrawIn(painter, place);
    }
    painter.save();
    painter.setPen(kGridLine);
    const int y = rect.bottom();
    painter.drawLine(rect.left(), y, rect.right(), y);
    painter.restore();
}

}  // namespace torvane
