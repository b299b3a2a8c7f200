// Pane sizes of the main window's fixed splitters (the user cannot drag them).
#pragma once

namespace korvane {

// Two columns: the right one is e = min(rightWidth, width / 3) wide and
// collapses to 0 when e is below `rightMinimum`; the left one takes the rest.
// A negative width gives 0 and 0.
struct ColumnSplit {
  int left = 0;
  int right = 0;
};
ColumnSplit FixedColumnSplit(int width, int rightWidth, int rightMinimum = 100);

// Two rows: the top one trunc(2 * height / 3), the bottom one height / 3.
struct RowSplit {
  int top = 0;
  int bottom = 0;
};
RowSplit FixedRowSplit(int height);

}  // namespace korvane
