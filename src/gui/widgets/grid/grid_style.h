// The grid control's style: its grid-line colour.
#pragma once

#include <QProxyStyle>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui::grid_detail {

class GridStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_Table_GridLineColor) return static_cast<int>(kGridLineColour.rgba());
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace korvane::gui::grid_detail
