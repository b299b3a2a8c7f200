// The three correction-table dialogs ("角度修正值表", "测试面修正表",
// "碳化深度修正表"): which table each shows under a standard, the grid of that
// table, and what the buttons "确定", "默认值" and "取消" write.
//
// A dialog shows the table that the current standard's algorithm reads:
//   angle:   the 7-row AngleTable for CECS 02:2005, CECS 02-2020 and the
//            regional standards; the 31-row FineAngleTable for the two
//            railway standards (TB10426-2004, TB 10426-2019);
//   surface: SurfaceTable / FineSurfaceTable, split the same way;
//   carbon:  CarbonTable for TB10426-2004 only (the pumped-concrete step);
// and no grid where the algorithm reads none (the carbonation table under
// every other standard; ).
//
// The models never write the document: "确定" returns the tables to store in
// the document's current tables (through the document's editing operation).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/algorithm/correction_tables.h"
#include "core/app/document_edits.h"
#include "core/forms/grid_layout.h"
#include "core/platform/error.h"

namespace korvane {

class CKorvaneDoc;

// A dialog per kind of table; which table it shows is TableReadBy's answer.
using CorrectionDialogKind = CorrectionTableKind;

inline constexpr std::string_view kTitleAngleDialog = "角度修正值表";
inline constexpr std::string_view kTitleSurfaceDialog = "测试面修正表";
inline constexpr std::string_view kTitleCarbonDialog = "碳化深度修正表";

std::string_view CorrectionDialogTitle(CorrectionDialogKind kind);

// Whether the command "碳化深度修正表" is offered: a file is open under a
// standard that offers "泵送" (every one but CECS 02:2005; the dialog shows
// the table the standard reads, or says that it reads none).
bool CarbonationTableOffered(const CKorvaneDoc& doc);

// The grid of a table with the values of `tables` ("%.1f"); an empty grid
// (0 × 0) without a table.
//   Angle tables: corner " R" over three header rows, "检测角度" over the
//     eight angle columns, "回弹仪向上" over +90 … +30 and "回弹仪向下" over
//     -30 … -90, the angles "+90" … "-90"; rows labelled with R ("%3d").
//   Surface tables: headers "测试面", "顶面", "底面"; rows labelled "%3d".
//   Carbon table: "碳化深度值" over the two label columns and
//     "抗压强度值（MPa）" over the four strength columns; per depth band
//     ("0.0;0.5;1.0", "1.5;2.0") a row "fcui(MPa)" of strength bands and a
//     row " K(MPa)" of values; the fourth value of the second band is not
//     used by the lookup and is not shown.
GridLayout CorrectionTableLayout(std::optional<CorrectionTable> table, const CorrectionTables& tables);

// Where each shown value of a table sits in its grid.
struct CorrectionValueCell {
  int row = 0;
  int column = 0;
  int tableRow = 0;
  int tableColumn = 0;
};
std::vector<CorrectionValueCell> CorrectionValueCells(CorrectionTable table);

// Text of grid cell (row, column) as the dialog shows it now (UTF-8).
using CellTextReader = std::function<std::string(int row, int column)>;

// How a message names a value cell of `table` (its row and column labels):
// "R=20、检测角度+90", "R=20、顶面", "碳化深度0.0;0.5;1.0、抗压强度<=40.0".
std::string CorrectionCellName(CorrectionTable table, int tableRow, int tableColumn);

// The message for a value cell refused: its name, "：", then the range
// message ("R=20、检测角度+90：修正值须为-20～20之间的数").
std::string CorrectionCellMessage(CorrectionTable table, int tableRow, int tableColumn);

// "确定": `base` with every shown value of `table` read from its cell as a
// typed number (typed_number.h, −20 … 20). A cell whose text is still the
// one `base` shows ("%.1f") keeps its stored value. Values not shown and the
// other tables stay as in `base`. The first cell that holds no number in
// range refuses the whole table: its message (CorrectionCellMessage) and
// position, `tables` as `base`.
struct CellTables {
  CorrectionTables tables;
  std::string message;  // empty when every cell was taken
  int row = -1;         // the refused cell
  int column = -1;
};
CellTables CorrectionTablesFromCells(CorrectionTable table, const CorrectionTables& base,
                                     const CellTextReader& cellText);

// The text a value cell shows once its edit ends: a typed number in range
// in the table's "%.1f" ("-8" shows "-8.0") when that text gives back the
// same value, else as typed ("-8.25" keeps its digits); nullopt for a text
// that is no number in range.
std::optional<std::string> CorrectionCellShownText(std::string_view typed);

// The end of a value cell's edit: the text the cell shows now, and the
// message when the typed text was refused (the cell then shows what it
// showed before the edit).
struct CellEntry {
  std::string shown;
  std::string message;  // empty when taken
};

// One open dialog.
class CorrectionDialogModel {
 public:
  // Opening: the table of the document's standard, with the document's
  // current values.
  CorrectionDialogModel(CorrectionDialogKind kind, const CKorvaneDoc& doc);

  CorrectionDialogKind kind() const { return kind_; }
  std::string_view title() const { return CorrectionDialogTitle(kind_); }
  // The table shown; nullopt where the standard reads none.
  std::optional<CorrectionTable> table() const { return table_; }
  bool hasGrid() const { return table_.has_value(); }
  // The grid to show (0 × 0 without a table).
  const GridLayout& layout() const { return layout_; }

  // The edit of grid cell (row, column) ended with `typed` in it: taken,
  // the cell's text becomes its shown form; refused (or not a value cell),
  // it stays as it was and the message names the cell and the range. The
  // layout holds the cells' texts as they stand.
  CellEntry EnterCell(int row, int column, std::string_view typed);

  // "确定": the tables to store, read from the dialog's cells; the
  // document's current tables unchanged when there is no grid.
  CellTables Accept(const CellTextReader& cellText) const;
  // "默认值" is the document's RestoreDefaultTable edit, after which the
  // dialog shows a model opened anew; "取消" stores nothing.

 private:
  CorrectionDialogKind kind_;
  std::optional<CorrectionTable> table_;
  CorrectionTables current_;
  GridLayout layout_;
};

}  // namespace korvane
