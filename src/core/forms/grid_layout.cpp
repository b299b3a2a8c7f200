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

void GridMergeIndex::Reset(int rows, int columns, int fixedRows, int fixedColumns) {
  rows_ = std::max(rows, 0);
  columns_ = std::max(columns, 0);
  fixedRows_ = fixedRows;
  fixedColumns_ = fixedColumns;
  merges_.clear();
  owner_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_), -1);
}

bool GridMergeIndex::Add(const GridMerge& m) {
  if (m.row < 0 || m.column < 0 || m.rowSpan < 1 || m.columnSpan < 1 || m.rowSpan > rows_ - m.row ||
      m.columnSpan > columns_ - m.column) {
    return false;
  }
  const int lastRow = m.row + m.rowSpan - 1;
  const int lastColumn = m.column + m.columnSpan - 1;
  const auto sameSide = [](int first, int last, int fixed) { return (first < fixed) == (last < fixed); };
  if (!sameSide(m.row, lastRow, fixedRows_) || !sameSide(m.column, lastColumn, fixedColumns_)) return false;
  const auto at = [this](int row, int column) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
  };
  for (int r = m.row; r <= lastRow; ++r) {
    for (int c = m.column; c <= lastColumn; ++c) {
      if (owner_[at(r, c)] >= 0) return false;
    }
  }
  if (m.rowSpan == 1 && m.columnSpan == 1) return true;
  const int id = static_cast<int>(merges_.size());
  merges_.push_back(m);
  for (int r = m.row; r <= lastRow; ++r) {
    for (int c = m.column; c <= lastColumn; ++c) owner_[at(r, c)] = id;
  }
  return true;
}

const GridMerge* GridMergeIndex::Covering(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return nullptr;
  const int id = owner_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                        static_cast<std::size_t>(column)];
  return id >= 0 ? &merges_[static_cast<std::size_t>(id)] : nullptr;
}

}  // namespace korvane
