#include "gui/widgets/grid/grid_header.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTableView>

namespace korvane::gui::grid_detail {
namespace {

void PaintFixedCell(QPainter& painter, const QRect& rect, const Cell& cell, const QPalette& palette) {
  painter.fillRect(rect, cell.background.isValid() ? cell.background : palette.color(QPalette::Button));
  painter.setPen(kGridLineColour);
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.setPen(cell.foreground.isValid() ? cell.foreground : palette.color(QPalette::ButtonText));
  const QRect textRect = rect.adjusted(3, 1, -3, -1);
  // A header wider than its column keeps its beginning ("L1(mm" rather
  // than "1(mm").
  Qt::Alignment alignment = cell.alignment;
  if (painter.fontMetrics().boundingRect(QRect(), 0, cell.text).width() > textRect.width()) {
    alignment = Qt::AlignLeft;
  }
  painter.drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter), cell.text);
}

}  // namespace

void PaintFixedArea(QPainter& painter, const CGridCtrl& grid, const GridModel& model, int rowBegin,
                    int rowEnd, int columnBegin, int columnEnd, const CellRect& rectOf, const QRect& clip,
                    const QPalette& palette) {
  for (int r = rowBegin; r < rowEnd; ++r) {
    for (int c = columnBegin; c < columnEnd; ++c) {
      const GridCellPos origin = grid.mergeOrigin(r, c);
      if (origin.row != r || origin.column != c) continue;
      QRect rect = rectOf(r, c);
      // The merge covering the cell ends where its last cell ends.
      int lastRow = r;
      int lastColumn = c;
      for (int rr = r; rr < rowEnd && grid.mergeOrigin(rr, c) == origin; ++rr) lastRow = rr;
      for (int cc = c; cc < columnEnd && grid.mergeOrigin(r, cc) == origin; ++cc) lastColumn = cc;
      if (lastRow != r || lastColumn != c) rect = rect.united(rectOf(lastRow, lastColumn));
      if (!rect.intersects(clip)) continue;
      PaintFixedCell(painter, rect, model.cell(r, c), palette);
    }
  }
}

void GridHeader::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(grid_->tableView()->font());
  const GridModel& model = *grid_->model_;
  if (orientation() == Qt::Horizontal) {
    PaintFixedArea(
        painter, *grid_, model, 0, model.fixedRows, model.fixedColumns, model.columns,
        [this](int row, int column) {
          int top = 0;
          for (int r = 0; r < row; ++r) top += grid_->rowHeight(r);
          const int section = column - grid_->fixedColumnCount();
          return QRect(sectionViewportPosition(section), top, sectionSize(section), grid_->rowHeight(row));
        },
        event->rect(), grid_->palette());
  } else {
    PaintFixedArea(
        painter, *grid_, model, model.fixedRows, model.rows, 0, model.fixedColumns,
        [this](int row, int column) {
          int left = 0;
          for (int c = 0; c < column; ++c) left += grid_->columnWidth(c);
          const int section = row - grid_->fixedRowCount();
          return QRect(left, sectionViewportPosition(section), grid_->columnWidth(column),
                       sectionSize(section));
        },
        event->rect(), grid_->palette());
  }
}

}  // namespace korvane::gui::grid_detail
