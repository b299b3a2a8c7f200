#include "gui/widgets/grid/grid_corner.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTableView>

#include "gui/widgets/grid/grid_header.h"

namespace korvane::gui::grid_detail {

void GridCorner::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setFont(grid_->tableView()->font());
  const GridModel& model = *grid_->model_;
  PaintFixedArea(
      painter, *grid_, model, 0, model.fixedRows, 0, model.fixedColumns,
      [this](int row, int column) {
        int top = 0;
        for (int r = 0; r < row; ++r) top += grid_->rowHeight(r);
        int left = 0;
        for (int c = 0; c < column; ++c) left += grid_->columnWidth(c);
        return QRect(left, top, grid_->columnWidth(column), grid_->rowHeight(row));
      },
      event->rect(), grid_->palette());
}

}  // namespace korvane::gui::grid_detail
