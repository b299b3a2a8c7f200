// The grid control's fixed rows or columns, painted from its cells.
#pragma once

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

#include <functional>
#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid_ctrl.h"

#include "gui/widgets/grid/grid_model.h"

namespace korvane::gui::grid_detail {

// The fixed rows (horizontal) or fixed columns (vertical), painted by the
// grid from its cells; section sizes are the body's column widths / row
// heights.
class GridHeader : public QHeaderView {
 public:
  GridHeader(Qt::Orientation orientation, CGridCtrl* grid, QWidget* parent)
      : QHeaderView(orientation, parent), grid_(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultSectionSize(orientation == Qt::Horizontal ? CGridCtrl::kDefaultColumnWidth
                                                        : CGridCtrl::kDefaultRowHeight);
  }

  QSize sizeHint() const override {
    QSize size = QHeaderView::sizeHint();
    if (orientation() == Qt::Horizontal) {
      size.setHeight(grid_->fixedRowsHeight());
    } else {
      size.setWidth(grid_->fixedColumnsWidth());
    }
    return size;
  }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override {
    if (orientation() == Qt::Vertical && event->button() == Qt::LeftButton) {
      const int section = logicalIndexAt(event->position().toPoint().y());
      if (section >= 0) grid_->onFixedRowHeaderPressed(section + grid_->fixedRowCount());
    }
  }
  void mouseMoveEvent(QMouseEvent*) override {}
  void mouseReleaseEvent(QMouseEvent*) override {}
  void mouseDoubleClickEvent(QMouseEvent*) override {}

 private:
  CGridCtrl* grid_;
};

// Paints the cells of rows [rowBegin, rowEnd) × columns [columnBegin,
// columnEnd) of the fixed area (rectOf: a cell's rectangle in the widget
// painted); a merge is painted once over its whole block, also when it
// begins before the range.
using CellRect = std::function<QRect(int row, int column)>;
void PaintFixedArea(QPainter& painter, const CGridCtrl& grid, const GridModel& model, int rowBegin,
                    int rowEnd, int columnBegin, int columnEnd, const CellRect& rectOf, const QRect& clip,
                    const QPalette& palette);

}  // namespace korvane::gui::grid_detail
