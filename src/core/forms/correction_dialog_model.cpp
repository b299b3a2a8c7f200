#include "core/forms/correction_dialog_model.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <string>

#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"
#include "core/standards/standards.h"

namespace korvane {

namespace {

constexpr int kHeaderHeight = 22;
constexpr int kRowHeight = 20;
constexpr int kLabelWidth = 48;
constexpr int kValueWidth = 56;

constexpr std::array<std::string_view, kCarbonBands> kDepthLabels = {"0.0;0.5;1.0", "1.5;2.0"};
constexpr std::array<std::array<std::string_view, kCarbonStrengthBands>, kCarbonBands> kStrengthBands = {
    {{"<=40.0", "45.0", "50.0", "55.0～60.0"}, {"<=30.0", "35.0", "40.0～60.0", ""}}};

constexpr std::array<std::string_view, kAngleColumns> kAngleHeaders = {"+90", "+60", "+45", "+30",
                                                                       "-30", "-45", "-60", "-90"};

// Carbonation table: grid rows of each depth band's strength bands and
// values, and how many values of each band the lookup uses.
constexpr std::array<int, kCarbonBands> kCarbonUsedValues = {4, 3};
constexpr int kCarbonFirstValueColumn = 2;
int CarbonStrengthRow(int band) { return 1 + 2 * band; }
int CarbonValueRow(int band) { return 2 + 2 * band; }

// Rebound value R of a row of a 7-row or 31-row table.
int TableRowRebound(const CorrectionTableInfo& info, int row) {
  return info.firstRebound + info.reboundStep * row;
}

GridLayout AngleLayout(const CorrectionTableInfo& info) {
  const int rows = info.rows;
  GridLayout layout = GridLayout::Sized(rows + 3, kAngleColumns + 1, 3, 1);
  layout.At(0, 0).text = " R";
  layout.merges.push_back(GridMerge{0, 0, 3, 1});
  layout.At(0, 1).text = "检测角度";
  layout.merges.push_back(GridMerge{0, 1, 1, kAngleColumns});
  layout.At(1, 1).text = "回弹仪向上";
  layout.merges.push_back(GridMerge{1, 1, 1, 4});
  layout.At(1, 5).text = "回弹仪向下";
  layout.merges.push_back(GridMerge{1, 5, 1, 4});
  for (int k = 0; k < kAngleColumns; ++k)
    layout.At(2, k + 1).text = kAngleHeaders[static_cast<std::size_t>(k)];
  for (int r = 0; r < rows; ++r) layout.At(r + 3, 0).text = FormatInt(TableRowRebound(info, r), 3);
  for (int r = 0; r < layout.rows; ++r) {
    layout.rowHeights[static_cast<std::size_t>(r)] = r < 3 ? kHeaderHeight : kRowHeight;
  }
  layout.columnWidths.assign(static_cast<std::size_t>(layout.columns), kValueWidth);
  layout.columnWidths[0] = kLabelWidth;
  return layout;
}

GridLayout SurfaceLayout(const CorrectionTableInfo& info) {
  const int rows = info.rows;
  GridLayout layout = GridLayout::Sized(rows + 1, 3, 1, 1);
  layout.At(0, 0).text = "测试面";
  layout.At(0, 1).text = "顶面";
  layout.At(0, 2).text = "底面";
  for (int r = 0; r < rows; ++r) layout.At(r + 1, 0).text = FormatInt(TableRowRebound(info, r), 3);
  layout.rowHeights.assign(static_cast<std::size_t>(layout.rows), kRowHeight);
  layout.rowHeights[0] = kHeaderHeight;
  layout.columnWidths.assign(static_cast<std::size_t>(layout.columns), 72);
  return layout;
}

GridLayout CarbonLayout() {
  GridLayout layout =
      GridLayout::Sized(1 + 2 * kCarbonBands, kCarbonFirstValueColumn + kCarbonStrengthBands, 1, 2);
  layout.At(0, 0).text = "碳化深度值";
  layout.merges.push_back(GridMerge{0, 0, 1, 2});
  layout.At(0, kCarbonFirstValueColumn).text = "抗压强度值（MPa）";
  layout.merges.push_back(GridMerge{0, kCarbonFirstValueColumn, 1, kCarbonStrengthBands});
  for (int band = 0; band < kCarbonBands; ++band) {
    const auto b = static_cast<std::size_t>(band);
    layout.At(CarbonStrengthRow(band), 0).text = kDepthLabels[b];
    layout.merges.push_back(GridMerge{CarbonStrengthRow(band), 0, 2, 1});
    layout.At(CarbonStrengthRow(band), 1).text = "fcui(MPa)";
    layout.At(CarbonValueRow(band), 1).text = " K(MPa)";
    for (int k = 0; k < kCarbonStrengthBands; ++k) {
      GridCell& strength = layout.At(CarbonStrengthRow(band), kCarbonFirstValueColumn + k);
      strength.text = kStrengthBands[b][static_cast<std::size_t>(k)];
      strength.background = kLabelGrey;
      if (k >= kCarbonUsedValues[b])
        layout.At(CarbonValueRow(band), kCarbonFirstValueColumn + k).background = kLabelGrey;
    }
  }
  layout.rowHeights.assign(static_cast<std::size_t>(layout.rows), kRowHeight);
  layout.rowHeights[0] = kHeaderHeight;
  layout.columnWidths = {90, 72, 80, 80, 80, 96};
  return layout;
}

}  // namespace

std::string_view CorrectionDialogTitle(CorrectionDialogKind kind) {
  switch (kind) {
    case CorrectionDialogKind::Angle: return kTitleAngleDialog;
    case CorrectionDialogKind::Surface: return kTitleSurfaceDialog;
    case CorrectionDialogKind::Carbon: break;
  }
  return kTitleCarbonDialog;
}

bool CarbonationTableOffered(const CKorvaneDoc& doc) {
  return doc.HasFile() && Traits(doc.standard).pumpedOffered;
}

std::vector<CorrectionValueCell> CorrectionValueCells(CorrectionTable table) {
  const CorrectionTableInfo& info = InfoOf(table);
  std::vector<CorrectionValueCell> cells;
  switch (info.kind) {
    case CorrectionTableKind::Angle:
    case CorrectionTableKind::Surface: {
      // Values below the header rows, right of the R column.
      const int headerRows = info.kind == CorrectionTableKind::Angle ? 3 : 1;
      for (int r = 0; r < info.rows; ++r) {
        for (int k = 0; k < info.columns; ++k) cells.push_back({r + headerRows, k + 1, r, k});
      }
      break;
    }
    case CorrectionTableKind::Carbon:
      for (int band = 0; band < info.rows; ++band) {
        for (int k = 0; k < kCarbonUsedValues[static_cast<std::size_t>(band)]; ++k) {
          cells.push_back({CarbonValueRow(band), kCarbonFirstValueColumn + k, band, k});
        }
      }
      break;
  }
  return cells;
}

GridLayout CorrectionTableLayout(std::optional<CorrectionTable> table, const CorrectionTables& tables) {
  if (!table) return {};
  const CorrectionTableInfo& info = InfoOf(*table);
  GridLayout layout;
  switch (info.kind) {
    case CorrectionTableKind::Angle: layout = AngleLayout(info); break;
    case CorrectionTableKind::Surface: layout = SurfaceLayout(info); break;
    case CorrectionTableKind::Carbon: layout = CarbonLayout(); break;
  }
  for (const CorrectionValueCell& at : CorrectionValueCells(*table)) {
    GridCell& cell = layout.At(at.row, at.column);
    cell.text = FormatFixed(TableCell(tables, *table, at.tableRow, at.tableColumn), 1);
    cell.editable = true;
  }
  return layout;
}

std::string CorrectionCellName(CorrectionTable table, int tableRow, int tableColumn) {
  const CorrectionTableInfo& info = InfoOf(table);
  const auto at = [](const auto& labels, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < labels.size()
               ? std::string(labels[static_cast<std::size_t>(i)])
               : std::string("?");
  };
  switch (info.kind) {
    case CorrectionTableKind::Angle:
      return "R=" + std::to_string(TableRowRebound(info, tableRow)) + "、检测角度" +
             at(kAngleHeaders, tableColumn);
    case CorrectionTableKind::Surface:
      return "R=" + std::to_string(TableRowRebound(info, tableRow)) + "、" +
             (tableColumn == 0 ? "顶面" : "底面");
    case CorrectionTableKind::Carbon: break;
  }
  const std::string strength = tableRow >= 0 && tableRow < kCarbonBands
                                   ? at(kStrengthBands[static_cast<std::size_t>(tableRow)], tableColumn)
                                   : std::string("?");
  return "碳化深度" + at(kDepthLabels, tableRow) + "、抗压强度" + strength;
}

std::string CorrectionCellMessage(CorrectionTable table, int tableRow, int tableColumn) {
  return CorrectionCellName(table, tableRow, tableColumn) + "：" +
         RangeMessage(RangeOf(TypedField::Correction));
}

CellTables CorrectionTablesFromCells(CorrectionTable table, const CorrectionTables& base,
                                     const CellTextReader& cellText) {
  CellTables result{base, {}, -1, -1};
  if (!cellText) return result;
  for (const CorrectionValueCell& at : CorrectionValueCells(table)) {
    float& value = TableCell(result.tables, table, at.tableRow, at.tableColumn);
    const std::string text = cellText(at.row, at.column);
    // A cell left as shown keeps the stored value: "%.1f" does not give
    // back every stored float (the derived fine tables).
    if (text == FormatFixed(value, 1)) continue;
    const TypedNumber typed = ReadTypedNumber(text, TypedField::Correction);
    if (!typed.value) {
      return CellTables{base, CorrectionCellMessage(table, at.tableRow, at.tableColumn), at.row, at.column};
    }
    value = *typed.value;
  }
  return result;
}

std::optional<std::string> CorrectionCellShownText(std::string_view typed) {
  const TypedNumber number = ReadTypedNumber(typed, TypedField::Correction);
  if (!number.value) return std::nullopt;
  const std::string shown = FormatFixed(*number.value, 1);
  const TypedNumber back = ReadTypedNumber(shown, TypedField::Correction);
  return back.value == number.value ? shown : std::string(typed);
}

CorrectionDialogModel::CorrectionDialogModel(CorrectionDialogKind kind, const CKorvaneDoc& doc)
    : kind_(kind),
      table_(TableReadBy(kind, doc.standard)),
      current_(doc.tables),
      layout_(CorrectionTableLayout(table_, current_)) {}

CellEntry CorrectionDialogModel::EnterCell(int row, int column, std::string_view typed) {
  if (!table_ || row < 0 || column < 0 || row >= layout_.rows || column >= layout_.columns) return {};
  GridCell& cell = layout_.At(row, column);
  for (const CorrectionValueCell& at : CorrectionValueCells(*table_)) {
    if (at.row != row || at.column != column) continue;
    if (std::optional<std::string> shown = CorrectionCellShownText(typed)) {
      cell.text = std::move(*shown);
      return {cell.text, {}};
    }
    return {cell.text, CorrectionCellMessage(*table_, at.tableRow, at.tableColumn)};
  }
  return {cell.text, {}};  // a label: nothing to take
}

CellTables CorrectionDialogModel::Accept(const CellTextReader& cellText) const {
  if (!table_) return CellTables{current_, {}, -1, -1};
  return CorrectionTablesFromCells(*table_, current_, cellText);
}

}  // namespace korvane
