#include "core/app/frame_layout.h"

#include <algorithm>

namespace korvane {

ColumnSplit FixedColumnSplit(int width, int rightWidth, int rightMinimum) {
  if (width <= 0) return {};
  int right = std::min(rightWidth, width / 3);
  if (right < rightMinimum) right = 0;
  right = std::max(right, 0);
  return {width - right, right};
}

RowSplit FixedRowSplit(int height) {
  if (height <= 0) return {};
  return {height * 2 / 3, height / 3};
}

}  // namespace korvane
