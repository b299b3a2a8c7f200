#include "core/forms/grid_layout.h"

#include <algorithm>
#include <cstddef>

namespace korvane {

GridLayout GridLayout::Sized(int rows, int columns, int fixedRows, int fixedColumns) {
  GridLayout layout;
  layout.rows = std::max(rows, 0);
  layout.columns = std::max(columns, 0);
  layout.fixedRows = std::clamp(fixedRows, 0, layout.rows);
  layout.fixedColumns = std::clamp(fixedColumns, 0, layout.columns);
  layout.cells.resize(static_cast<std::size_t>(layout.rows) * static_cast<std::size_t>(layout.columns));
  layout.rowHeights.assign(static_cast<std::size_t>(layout.rows), 0);
  layout.columnWidths.assign(static_cast<std::size_t>(layout.columns), 0);
  return layout;
}

bool GridLayout::Contains(int row, int column) const {
  return row >= 0 && row < rows && column >= 0 && column < columns;
}

GridCell& GridLayout::At(int row, int column) {
  return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
               static_cast<std::size_t>(column)];
}

const GridCell& GridLayout::At(int row, int column) const {
  return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
               static_cast<std::size_t>(column)];
}

std::string GridLayout::TextAt(int row, int column) const {
  return Contains(row, column) ? At(row, column).text : std::string();
}

}  // namespace korvane
