#include "gui/widgets/grid/grid_header.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTableView>
#include <algorithm>

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
      const GridRange block = grid.mergeBlock(r, c);
      // A merge is painted once, from the first of its cells in the range
      // (it may begin above or left of the range painted).
      if (r != std::max(block.firstRow, rowBegin) || c != std::max(block.firstColumn, columnBegin)) continue;
      QRect rect = rectOf(block.firstRow, block.firstColumn);
      if (block.lastRow != block.firstRow || block.lastColumn != block.firstColumn) {
        rect = rect.united(rectOf(block.lastRow, block.lastColumn));
      }
      if (!rect.intersects(clip)) continue;
      PaintFixedCell(painter, rect, model.cell(block.firstRow, block.firstColumn), palette);
    }
  }
}

void GridHeader::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(grid_->tableView()->font());
  const GridModel& model = *grid_->model_;
  // Only the sections the exposed rectangle crosses are painted: a grid of
  // thousands of rows shows a few dozen.
  const QRect clip = event->rect();
  const bool horizontal = orientation() == Qt::Horizontal;
  int first = logicalIndexAt(horizontal ? clip.left() : clip.top());
  int last = logicalIndexAt(horizontal ? clip.right() : clip.bottom());
  if (first < 0) first = 0;
  if (last < 0) last = count() - 1;
  if (horizontal) {
    PaintFixedArea(
        painter, *grid_, model, 0, model.fixedRows, model.fixedColumns + first, model.fixedColumns + last + 1,
        [this](int row, int column) {
          int top = 0;
          for (int r = 0; r < row; ++r) top += grid_->rowHeight(r);
          const int section = column - grid_->fixedColumnCount();
          return QRect(sectionViewportPosition(section), top, sectionSize(section), grid_->rowHeight(row));
        },
        clip, grid_->palette());
  } else {
    PaintFixedArea(
        painter, *grid_, model, model.fixedRows + first, model.fixedRows + last + 1, 0, model.fixedColumns,
        [this](int row, int column) {
          int left = 0;
          for (int c = 0; c < column; ++c) left += grid_->columnWidth(c);
          const int section = row - grid_->fixedRowCount();
          return QRect(left, sectionViewportPosition(section), grid_->columnWidth(column),
                       sectionSize(section));
        },
        clip, grid_->palette());
  }
}

}  // namespace korvane::gui::grid_detail
