// The grid control's top-left corner of fixed cells.
#pragma once

#include <QWidget>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui::grid_detail {

// The fixed cells above the fixed columns (top-left corner).
class GridCorner : public QWidget {
 public:
  GridCorner(CGridCtrl* grid, QWidget* parent) : QWidget(parent), grid_(grid) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CGridCtrl* grid_;
};

}  // namespace korvane::gui::grid_detail
