#pragma once

// Draws a grid's cells (text, check boxes, picture buttons, the child info cell) from the grid's
// model, and edits a cell's text in place with a frameless line edit.

#include <QStyledItemDelegate>

namespace torvane {

class CGridCtrl;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    explicit GridDelegate(CGridCtrl& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // A picture button's tooltip is its accessible name: the words its picture shows.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  private:
    CGridCtrl& grid_;
};

}  // namespace torvane
