#include "ui/grid_delegate.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>

#include "ui/grid_ctrl.h"
#include "ui/image_widgets.h"

namespace torvane {

GridDelegate::GridDelegate(CGridCtrl& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const GridCell* cell = grid_.Cell(grid_.GetFixedRowCount() + index.row(), index.column());
    if (cell != nullptr) PaintCell(*painter, *cell, option.rect, grid_.Colours(), false);
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const GridCell* cell = grid_.Cell(grid_.GetFixedRowCount() + index.row(), index.column());
    if (cell != nullptr && cell->font) editor->setFont(*cell->font);
    return editor;
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(1, 1, -1, -1));
}

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index) {
    const GridCell* cell = grid_.Cell(grid_.GetFixedRowCount() + index.row(), index.column());
    if (event->type() != QEvent::ToolTip || cell == nullptr)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    for (int i = 0; i < GridCell::kButtons; ++i) {
        if (!ButtonRect(*cell, i, option.rect).contains(event->pos())) continue;
        QToolTip::showText(event->globalPos(),
                           cell->buttons[static_cast<std::size_t>(i)]->AccessibleName(), view);
        return true;
    }
    QToolTip::hideText();
    return true;
}

}  // namespace torvane
