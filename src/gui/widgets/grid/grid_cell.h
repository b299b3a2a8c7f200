// The grid control's parts (CGridCtrl, grid_ctrl.h): what they share — a
// cell as the model holds it, the grid's colours and the conversions from
// the GUI-free layouts (core/forms/grid_layout.h).
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <Qt>
#include <cmath>
#include <optional>

#include "core/forms/grid_layout.h"

namespace korvane::gui::grid_detail {

// Grid lines, body and headers alike.
inline const QColor kGridLineColour(192, 192, 192);
// Share of the highlight colour over a selected cell's own background, so
// that marked cells stay recognisable while selected.
inline constexpr double kSelectionBlend = 0.45;
inline constexpr int kChoicesRole = Qt::UserRole + 1;

inline QColor ToQColor(const std::optional<Rgb>& rgb) {
  return rgb ? QColor(rgb->red, rgb->green, rgb->blue) : QColor();
}

inline Qt::Alignment ToAlignment(CellAlign align) {
  switch (align) {
    case CellAlign::Left: return Qt::AlignLeft;
    case CellAlign::Right: return Qt::AlignRight;
    case CellAlign::Center: break;
  }
  return Qt::AlignHCenter;
}

inline QColor Blend(const QColor& base, const QColor& over, double share) {
  const auto mix = [share](int a, int b) {
    return static_cast<int>(std::lround(a * (1.0 - share) + b * share));
  };
  return QColor(mix(base.red(), over.red()), mix(base.green(), over.green()), mix(base.blue(), over.blue()));
}

struct Cell {
  QString text;
  bool editable = false;
  QStringList choices;
  QColor background;
  QColor foreground;
  Qt::Alignment alignment = Qt::AlignHCenter;

  bool operator==(const Cell& other) const {
    return text == other.text && editable == other.editable && choices == other.choices &&
           background == other.background && foreground == other.foreground && alignment == other.alignment;
  }
};

}  // namespace korvane::gui::grid_detail
