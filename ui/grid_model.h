#pragma once

// The rows of a grid: a table model whose rows carry their cells and a key. The key is what the
// page knows the row by (a content number, a DIY card's number, a child's or a package's place
// in its list); rows without a key are the empty filler rows under a short list. The heading
// cells are the model's header data.

#include <QAbstractTableModel>
#include <vector>

#include "ui/grid_cell.h"

namespace torvane {

class GridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The row's key, for a sort proxy and for the view's users.
    static constexpr int kKeyRole = Qt::UserRole + 1;

    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // Every row, cell and heading goes; then `columns` empty headings.
    void Reset(int columns);
    void SetColumnCount(int columns);
    void SetRowCount(int rows);

    // Null when out of range.
    GridCell* Cell(int row, int column);
    const GridCell* Cell(int row, int column) const;
    GridCell* Heading(int column);
    const GridCell* Heading(int column) const;
    // Tells the views that the cell changed.
    void CellChanged(int row, int column);
    void HeadingChanged(int column);

    bool SetKey(int row, const QString& key);
    QString Key(int row) const;

  Q_SIGNALS:
    // The user typed a new text into an editable cell.
    void textEdited(int row, int column);

  private:
    struct Row {
        QString key;
        std::vector<GridCell> cells;
    };

    bool IsValid(int row, int column) const;

    int columns_ = 0;
    std::vector<GridCell> headings_;
    std::vector<Row> rows_;
};

}  // namespace torvane
