// The grid control's model: every cell, fixed ones included.
#pragma once

#include <QAbstractTableModel>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui::grid_detail {

// All cells of the grid, fixed ones included; the item view sees only the
// body (rows from fixedRows, columns from fixedColumns).
class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rows = 0;
  int columns = 0;
  int fixedRows = 0;
  int fixedColumns = 0;
  std::vector<Cell> cells;
  bool modified = false;

  bool contains(int row, int column) const {
    return row >= 0 && row < rows && column >= 0 && column < columns;
  }
  Cell& cell(int row, int column) {
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                 static_cast<std::size_t>(column)];
  }
  const Cell& cell(int row, int column) const {
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                 static_cast<std::size_t>(column)];
  }
  const Cell& cellOf(const QModelIndex& index) const {
    return cell(index.row() + fixedRows, index.column() + fixedColumns);
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows - fixedRows;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : columns - fixedColumns;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const Cell& c = cellOf(index);
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: return c.text;
      case Qt::BackgroundRole: return c.background.isValid() ? QVariant(QBrush(c.background)) : QVariant();
      case Qt::ForegroundRole: return c.foreground.isValid() ? QVariant(QBrush(c.foreground)) : QVariant();
      case Qt::TextAlignmentRole: return static_cast<int>(c.alignment | Qt::AlignVCenter);
      case kChoicesRole: return c.choices;
      default: break;
    }
    return {};
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    const Cell& c = cellOf(index);
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c.editable || !c.choices.isEmpty()) f |= Qt::ItemIsEditable;
    return f;
  }

  // An edit stores its text only when it differs.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || role != Qt::EditRole) return false;
    Cell& c = cell(index.row() + fixedRows, index.column() + fixedColumns);
    const QString text = value.toString();
    if (text != c.text) {
      c.text = text;
      modified = true;
      emit dataChanged(index, index);
    }
    return true;
  }

  void reshape(int newRows, int newColumns, int newFixedRows, int newFixedColumns) {
    beginResetModel();
    std::vector<Cell> kept(static_cast<std::size_t>(newRows) * static_cast<std::size_t>(newColumns));
    for (int r = 0; r < std::min(rows, newRows); ++r) {
      for (int c = 0; c < std::min(columns, newColumns); ++c) {
        kept[static_cast<std::size_t>(r) * static_cast<std::size_t>(newColumns) +
             static_cast<std::size_t>(c)] = std::move(cell(r, c));
      }
    }
    cells = std::move(kept);
    rows = newRows;
    columns = newColumns;
    fixedRows = newFixedRows;
    fixedColumns = newFixedColumns;
    endResetModel();
  }

  void bodyCellChanged(int row, int column) {
    if (row < fixedRows || column < fixedColumns) return;
    const QModelIndex i = index(row - fixedRows, column - fixedColumns);
    emit dataChanged(i, i);
  }

  // Body rows firstRow … lastRow (grid rows) changed: only they are drawn
  // again.
  void bodyRowsChanged(int firstRow, int lastRow) {
    const int first = std::max(firstRow - fixedRows, 0);
    const int last = std::min(lastRow - fixedRows, rowCount() - 1);
    if (first <= last && columnCount() > 0) emit dataChanged(index(first, 0), index(last, columnCount() - 1));
  }
};

}  // namespace korvane::gui::grid_detail
