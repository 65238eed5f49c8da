#include "ui/grid_cell.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/grid_ctrl.h"

namespace torvane {

namespace {
constexpr int kTextMargin = 3;
}

void CGridCellBase::CopyPropertiesFrom(const CGridCellBase& other) {
    text_ = other.text_;
    data_ = other.data_;
    state_ = other.state_;
    format_ = other.format_;
    textColor_ = other.textColor_;
    backColor_ = other.backColor_;
    font_ = other.font_;
}

void CGridCellBase::DrawPlain(QPainter& painter, int row, int, const QRect& rect, bool erase) {
    lastRect_ = rect;
    const bool fixed = grid_ != nullptr && row < grid_->GetFixedRowCount();
    const bool selected = (state_ & GVIS_SELECTED) && grid_ != nullptr && grid_->IsSelectable();
    if (erase) {
        QColor back = backColor_;
        if (!back.isValid()) {
            back = grid_ == nullptr ? QColor(Qt::white)
                   : fixed          ? grid_->GetFixedBkColor()
                                    : grid_->GetTextBkColor();
        }
        if (selected && !fixed) back = QColor(0xFF, 0xE2, 0xC2);
        painter.fillRect(rect, back);
    }
    if (text_.isEmpty()) return;
    QColor ink = textColor_;
    if (!ink.isValid()) ink = fixed && grid_ != nullptr ? grid_->GetFixedTextColor() : Qt::black;
    painter.save();
    if (font_) painter.setFont(*font_);
    painter.setPen(ink);
    painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0), format_ | Qt::TextSingleLine,
                     text_);
    painter.restore();
}

void CGridCellBase::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
}

void CGridCellBase::OnClick(const QPoint&) {}

void CGridCellBase::RepaintCell() const {
    if (grid_ != nullptr && !lastRect_.isEmpty()) grid_->viewport()->update(lastRect_);
}

bool CGridCellCheck::SetCheck(bool checked) {
    const bool previous = checked_;
    checked_ = checked;
    RepaintCell();
    return previous;
}

QRect CGridCellCheck::GetCheckPlacement() const {
    const QRect& rect = lastRect_;
    const int size = std::min(kBoxSize, std::max(rect.height() - 2, 0));
    const int top = rect.top() + (rect.height() - size) / 2;
    const int left =
        text_.isEmpty() ? rect.left() + (rect.width() - size) / 2 : rect.left() + kTextMargin + 1;
    return QRect(left, top, size, size);
}

void CGridCellCheck::DrawBox(QPainter& painter, bool enabled) const {
    const QRect box = GetCheckPlacement();
    if (box.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor frame = enabled ? QColor(0x8A, 0x6A, 0x52) : QColor(0xB9, 0xAE, 0xA4);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(enabled ? QColor(Qt::white) : QColor(0xF0, 0xEC, 0xE8));
    painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    if (checked_) {
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

void CGridCellCheck::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    // The text stands right of the box.
    const QString text = text_;
    text_.clear();
    DrawPlain(painter, row, col, rect, erase);
    text_ = text;
    if (!text_.isEmpty()) {
        const QRect textRect = rect.adjusted(kTextMargin + kBoxSize + 6, 0, 0, 0);
        painter.save();
        if (font_) painter.setFont(*font_);
        painter.setPen(textColor_.isValid() ? textColor_ : QColor(Qt::black));
        painter.drawText(textRect, format_ | Qt::TextSingleLine, text_);
        painter.restore();
    }
    DrawBox(painter, true);
}

void CGridCellCheck::OnClick(const QPoint& point) {
    if (!GetCheckPlacement().contains(point + lastRect_.topLeft())) return;
    checked_ = !checked_;
    RepaintCell();
}

}  // namespace torvane
