#include "ui/grid_model.h"

#include <QStringList>

#include "ui/image_widgets.h"

namespace torvane {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

bool GridModel::IsValid(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 && column < columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const GridCell* cell = Cell(index.row(), index.column());
    if (cell == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cell->text;
        case Qt::TextAlignmentRole:
            return cell->format;
        case Qt::CheckStateRole:
            if (cell->kind != CellKind::Check) return {};
            return cell->checked ? Qt::Checked : Qt::Unchecked;
        case Qt::AccessibleTextRole: {
            // The picture buttons are drawn, not widgets: a screen reader learns them from the
            // cell, after its text.
            QStringList parts;
            if (!cell->text.isEmpty()) parts << cell->text;
            for (const auto& button : cell->buttons)
                if (button != nullptr && !button->AccessibleName().isEmpty())
                    parts << button->AccessibleName();
            return parts.join(QStringLiteral(", "));
        }
        case kKeyRole:
            return rows_[static_cast<std::size_t>(index.row())].key;
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const GridCell* heading = orientation == Qt::Horizontal ? Heading(section) : nullptr;
    if (heading == nullptr || role != Qt::DisplayRole) return {};
    return heading->text;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    const GridCell* cell = Cell(index.row(), index.column());
    if (cell == nullptr) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (cell->editable) flags |= Qt::ItemIsEditable;
    return flags;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    GridCell* cell = Cell(index.row(), index.column());
    if (cell == nullptr || role != Qt::EditRole || !cell->editable) return false;
    const QString text = value.toString();
    if (text == cell->text) return false;
    cell->text = text;
    Q_EMIT dataChanged(index, index);
    Q_EMIT textEdited(index.row(), index.column());
    return true;
}

bool GridModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) return false;
    beginRemoveRows({}, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    return true;
}

void GridModel::Reset(int columns) {
    beginResetModel();
    columns_ = std::max(0, columns);
    headings_.assign(static_cast<std::size_t>(columns_), GridCell{});
    rows_.clear();
    endResetModel();
}

void GridModel::SetColumnCount(int columns) {
    columns = std::max(0, columns);
    if (columns == columns_) return;
    beginResetModel();
    columns_ = columns;
    headings_.resize(static_cast<std::size_t>(columns));
    for (Row& row : rows_) row.cells.resize(static_cast<std::size_t>(columns));
    endResetModel();
}

void GridModel::SetRowCount(int rows) {
    const int old = rowCount();
    rows = std::max(0, rows);
    if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        rows_.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    } else if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        rows_.resize(static_cast<std::size_t>(rows),
                     Row{QString(), std::vector<GridCell>(static_cast<std::size_t>(columns_))});
        endInsertRows();
    }
}

GridCell* GridModel::Cell(int row, int column) {
    return IsValid(row, column)
               ? &rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)]
               : nullptr;
}

const GridCell* GridModel::Cell(int row, int column) const {
    return const_cast<GridModel*>(this)->Cell(row, column);
}

GridCell* GridModel::Heading(int column) {
    return column >= 0 && column < columns_ ? &headings_[static_cast<std::size_t>(column)]
                                            : nullptr;
}

const GridCell* GridModel::Heading(int column) const {
    return const_cast<GridModel*>(this)->Heading(column);
}

void GridModel::CellChanged(int row, int column) {
    if (!IsValid(row, column)) return;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed);
}

void GridModel::HeadingChanged(int column) {
    if (column >= 0 && column < columns_) Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

bool GridModel::SetKey(int row, const QString& key) {
    if (row < 0 || row >= rowCount()) return false;
    rows_[static_cast<std::size_t>(row)].key = key;
    return true;
}

QString GridModel::Key(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].key : QString();
}

}  // namespace torvane
