#include "core/forms/correction_dialog_model.h"

#include <array>
#include <cmath>
#include <cstddef>

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

constexpr std::array<std::string_view, kAngleColumns> kAngleHeaders = {"+90", "+60", "+45", "+30",
                                                                       "-30", "-45", "-60", "-90"};

// Carbonation table: grid rows of each depth band's strength bands and
// values, and how many values of each band the lookup uses.
constexpr int kCarbonBands = 2;
constexpr std::array<int, kCarbonBands> kCarbonUsedValues = {4, 3};
constexpr int kCarbonFirstValueColumn = 2;
int CarbonStrengthRow(int band) { return 1 + 2 * band; }
int CarbonValueRow(int band) { return 2 + 2 * band; }

int TableRows(CorrectionTableId table) {
  switch (table) {
    case CorrectionTableId::Angle:
    case CorrectionTableId::Surface: return kCoarseRows;
    case CorrectionTableId::FineAngle:
    case CorrectionTableId::FineSurface: return kFineRows;
    case CorrectionTableId::Carbon: return kCarbonBands;
    case CorrectionTableId::None: break;
  }
  return 0;
}

// Rebound value R of a row of a 7-row or 31-row table.
int TableRowRebound(CorrectionTableId table, int row) {
  const bool coarse = table == CorrectionTableId::Angle || table == CorrectionTableId::Surface;
  return 20 + (coarse ? 5 : 1) * row;
}

// The cell of `table` at (row, column), for const and non-const tables.
template <class Tables>
auto& TableValue(Tables& tables, CorrectionTableId table, int row, int column) {
  const auto r = static_cast<std::size_t>(row);
  const auto c = static_cast<std::size_t>(column);
  switch (table) {
    case CorrectionTableId::Angle: return tables.angle[r][c];
    case CorrectionTableId::FineAngle: return tables.fineAngle[r][c];
    case CorrectionTableId::Surface: return tables.surface[r][c];
    case CorrectionTableId::FineSurface: return tables.fineSurface[r][c];
    case CorrectionTableId::Carbon:
    case CorrectionTableId::None: break;
  }
  return tables.carbon[r][c];
}

GridLayout AngleLayout(CorrectionTableId table) {
  const int rows = TableRows(table);
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
  for (int r = 0; r < rows; ++r) layout.At(r + 3, 0).text = FormatInt(TableRowRebound(table, r), 3);
  for (int r = 0; r < layout.rows; ++r) {
    layout.rowHeights[static_cast<std::size_t>(r)] = r < 3 ? kHeaderHeight : kRowHeight;
  }
  layout.columnWidths.assign(static_cast<std::size_t>(layout.columns), kValueWidth);
  layout.columnWidths[0] = kLabelWidth;
  return layout;
}

GridLayout SurfaceLayout(CorrectionTableId table) {
  const int rows = TableRows(table);
  GridLayout layout = GridLayout::Sized(rows + 1, 3, 1, 1);
  layout.At(0, 0).text = "测试面";
  layout.At(0, 1).text = "顶面";
  layout.At(0, 2).text = "底面";
  for (int r = 0; r < rows; ++r) layout.At(r + 1, 0).text = FormatInt(TableRowRebound(table, r), 3);
  layout.rowHeights.assign(static_cast<std::size_t>(layout.rows), kRowHeight);
  layout.rowHeights[0] = kHeaderHeight;
  layout.columnWidths.assign(static_cast<std::size_t>(layout.columns), 72);
  return layout;
}

GridLayout CarbonLayout() {
  static constexpr std::array<std::string_view, kCarbonBands> kDepthLabels = {"0.0;0.5;1.0", "1.5;2.0"};
  static constexpr std::array<std::array<std::string_view, 4>, kCarbonBands> kStrengthBands = {
      {{"<=40.0", "45.0", "50.0", "55.0～60.0"}, {"<=30.0", "35.0", "40.0～60.0", ""}}};
  GridLayout layout = GridLayout::Sized(1 + 2 * kCarbonBands, kCarbonFirstValueColumn + 4, 1, 2);
  layout.At(0, 0).text = "碳化深度值";
  layout.merges.push_back(GridMerge{0, 0, 1, 2});
  layout.At(0, kCarbonFirstValueColumn).text = "抗压强度值（MPa）";
  layout.merges.push_back(GridMerge{0, kCarbonFirstValueColumn, 1, 4});
  for (int band = 0; band < kCarbonBands; ++band) {
    const auto b = static_cast<std::size_t>(band);
    layout.At(CarbonStrengthRow(band), 0).text = kDepthLabels[b];
    layout.merges.push_back(GridMerge{CarbonStrengthRow(band), 0, 2, 1});
    layout.At(CarbonStrengthRow(band), 1).text = "fcui(MPa)";
    layout.At(CarbonValueRow(band), 1).text = " K(MPa)";
    for (int k = 0; k < 4; ++k) {
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

std::optional<CorrectionTable> EditedTable(CorrectionTableId table) {
  switch (table) {
    case CorrectionTableId::Angle: return CorrectionTable::Angle;
    case CorrectionTableId::FineAngle: return CorrectionTable::FineAngle;
    case CorrectionTableId::Surface: return CorrectionTable::Surface;
    case CorrectionTableId::FineSurface: return CorrectionTable::FineSurface;
    case CorrectionTableId::Carbon: return CorrectionTable::Carbon;
    case CorrectionTableId::None: break;
  }
  return std::nullopt;
}

bool CarbonationTableOffered(const CKorvaneDoc& doc) {
  return doc.HasFile() && Traits(doc.standard).pumpedOffered;
}

CorrectionTableId CorrectionTableOf(CorrectionDialogKind kind, Standard standard) {
  const StandardTraits& traits = Traits(standard);
  const bool fine = traits.tables == TableFamily::Fine;
  switch (kind) {
    case CorrectionDialogKind::Angle: return fine ? CorrectionTableId::FineAngle : CorrectionTableId::Angle;
    case CorrectionDialogKind::Surface:
      return fine ? CorrectionTableId::FineSurface : CorrectionTableId::Surface;
    case CorrectionDialogKind::Carbon: break;
  }
  // Only TB10426-2004 corrects pumped concrete by the carbonation table.
  return traits.strength == StrengthRule::EtaThenCarbon ? CorrectionTableId::Carbon : CorrectionTableId::None;
}

std::vector<CorrectionValueCell> CorrectionValueCells(CorrectionTableId table) {
  std::vector<CorrectionValueCell> cells;
  switch (table) {
    case CorrectionTableId::Angle:
    case CorrectionTableId::FineAngle:
      for (int r = 0; r < TableRows(table); ++r) {
        for (int k = 0; k < kAngleColumns; ++k) cells.push_back({r + 3, k + 1, r, k});
      }
      break;
    case CorrectionTableId::Surface:
    case CorrectionTableId::FineSurface:
      for (int r = 0; r < TableRows(table); ++r) {
        for (int k = 0; k < 2; ++k) cells.push_back({r + 1, k + 1, r, k});
      }
      break;
    case CorrectionTableId::Carbon:
      for (int band = 0; band < kCarbonBands; ++band) {
        for (int k = 0; k < kCarbonUsedValues[static_cast<std::size_t>(band)]; ++k) {
          cells.push_back({CarbonValueRow(band), kCarbonFirstValueColumn + k, band, k});
        }
      }
      break;
    case CorrectionTableId::None: break;
  }
  return cells;
}

GridLayout CorrectionTableLayout(CorrectionTableId table, const CorrectionTables& tables) {
  GridLayout layout;
  switch (table) {
    case CorrectionTableId::Angle:
    case CorrectionTableId::FineAngle: layout = AngleLayout(table); break;
    case CorrectionTableId::Surface:
    case CorrectionTableId::FineSurface: layout = SurfaceLayout(table); break;
    case CorrectionTableId::Carbon: layout = CarbonLayout(); break;
    case CorrectionTableId::None: return layout;
  }
  for (const CorrectionValueCell& at : CorrectionValueCells(table)) {
    GridCell& cell = layout.At(at.row, at.column);
    cell.text = FormatFixed(TableValue(tables, table, at.tableRow, at.tableColumn), 1);
    cell.editable = true;
  }
  return layout;
}

CellTables CorrectionTablesFromCells(CorrectionTableId table, const CorrectionTables& base,
                                     const CellTextReader& cellText) {
  CellTables result{base, {}, -1, -1};
  if (!cellText) return result;
  for (const CorrectionValueCell& at : CorrectionValueCells(table)) {
    float& value = TableValue(result.tables, table, at.tableRow, at.tableColumn);
    const std::string text = cellText(at.row, at.column);
    // A cell left as shown keeps the stored value: "%.1f" does not give
    // back every stored float (the derived fine tables).
    if (text == FormatFixed(value, 1)) continue;
    const TypedNumber typed = ReadTypedNumber(text, TypedField::Correction);
    if (!typed.value) return CellTables{base, typed.message, at.row, at.column};
    value = *typed.value;
  }
  return result;
}

std::string CorrectionCellShownText(std::string_view typed) {
  const TypedNumber number = ReadTypedNumber(typed, TypedField::Correction);
  if (!number.value || !number.message.empty()) return std::string(typed);
  const std::string shown = FormatFixed(*number.value, 1);
  const TypedNumber back = ReadTypedNumber(shown, TypedField::Correction);
  return back.value == number.value ? shown : std::string(typed);
}

CorrectionTables WithDefaultTable(CorrectionTableId table, const CorrectionTables& current,
                                  const CorrectionTables& defaults) {
  CorrectionTables result = current;
  switch (table) {
    case CorrectionTableId::Angle: result.angle = defaults.angle; break;
    case CorrectionTableId::FineAngle: result.fineAngle = defaults.fineAngle; break;
    case CorrectionTableId::Surface: result.surface = defaults.surface; break;
    case CorrectionTableId::FineSurface: result.fineSurface = defaults.fineSurface; break;
    case CorrectionTableId::Carbon: result.carbon = defaults.carbon; break;
    case CorrectionTableId::None: break;
  }
  return result;
}

CorrectionDialogModel::CorrectionDialogModel(CorrectionDialogKind kind, const CKorvaneDoc& doc)
    : kind_(kind),
      table_(CorrectionTableOf(kind, doc.standard)),
      current_(doc.tables),
      defaults_(doc.defaultTables),
      layout_(CorrectionTableLayout(table_, current_)) {}

CellTables CorrectionDialogModel::Accept(const CellTextReader& cellText) const {
  return CorrectionTablesFromCells(table_, current_, cellText);
}

CorrectionTables CorrectionDialogModel::RestoreDefaults() {
  current_ = WithDefaultTable(table_, current_, defaults_);
  layout_ = CorrectionTableLayout(table_, current_);
  return current_;
}

}  // namespace korvane
