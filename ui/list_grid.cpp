#include "ui/list_grid.h"

#include "ui/grid_ctrl.h"
#include "ui/qt_text.h"

namespace torvane {

void ResetAsList(CGridCtrl& grid, std::span<const ListColumn> columns) {
    grid.DeleteAllItems();
    grid.SetTextBkColor(Qt::white);
    grid.SetFixedBkColor(QColor(0xA3, 0xA3, 0xA3));
    grid.SetFixedTextColor(Qt::white);
    grid.SetRowCount(1);
    grid.SetColumnCount(static_cast<int>(columns.size()));
    grid.SetFixedRowCount(1);
    for (std::size_t col = 0; col < columns.size(); ++col) {
        grid.SetItemText(0, static_cast<int>(col), ToQString(columns[col].heading));
        grid.SetColumnWidth(static_cast<int>(col), columns[col].width);
    }
    grid.ExpandLastColumn();
}

}  // namespace torvane
