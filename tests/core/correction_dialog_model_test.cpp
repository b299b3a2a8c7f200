// The correction-table dialogs: which table each offers per standard (checked
// against what the algorithms really read), the grids, and the buttons.
#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"
#include "core/forms/correction_dialog_model.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

using Id = CorrectionTable;
using Kind = CorrectionDialogKind;

CorrectionTables Filled(float angle, float fineAngle, float surface, float fineSurface, float carbon) {
  CorrectionTables t;
  for (auto& row : t.angle) row.fill(angle);
  for (auto& row : t.fineAngle) row.fill(fineAngle);
  for (auto& row : t.surface) row.fill(surface);
  for (auto& row : t.fineSurface) row.fill(fineSurface);
  for (auto& row : t.carbon) row.fill(carbon);
  return t;
}

std::optional<CorrectionTable> DialogTable(CorrectionDialogKind kind, Standard standard) {
  CKorvaneDoc doc;
  doc.SetStandard(standard);
  return CorrectionDialogModel(kind, doc).table();
}

std::vector<std::string> RowTexts(const GridLayout& layout, int row) {
  std::vector<std::string> texts;
  for (int c = 0; c < layout.columns; ++c) texts.push_back(layout.At(row, c).text);
  return texts;
}

// Each dialog must offer the very table that the standard's algorithm reads:
// tables filled with telltale values show which one a lookup used.
TEST(CorrectionDialogs, OfferedTableIsTheOneTheAlgorithmReads) {
  const CorrectionTables telltale = Filled(1.0f, 2.0f, 3.0f, 4.0f, 7.0f);
  const CorrectionTables noCarbon = Filled(1.0f, 2.0f, 3.0f, 4.0f, 0.0f);
  for (Standard s : kAllStandards) {
    SCOPED_TRACE(IndexOf(s));
    const CAlgorithm algorithm(s, &telltale);
    const CAlgorithm plain(s, &noCarbon);
    const float angle = algorithm.AngleCorrection(30.0f, 90);
    const std::optional<Id> angleTable = angle == 1.0f   ? std::optional(Id::Angle)
                                         : angle == 2.0f ? std::optional(Id::FineAngle)
                                                         : std::nullopt;
    EXPECT_EQ(DialogTable(Kind::Angle, s), angleTable);
    const float surface = algorithm.SurfaceCorrection(30.0f, Surface::Top);
    const std::optional<Id> surfaceTable = surface == 3.0f   ? std::optional(Id::Surface)
                                           : surface == 4.0f ? std::optional(Id::FineSurface)
                                                             : std::nullopt;
    EXPECT_EQ(DialogTable(Kind::Surface, s), surfaceTable);
    // A pumped member: the carbonation table shows in the strength.
    StrengthInputs pumped;
    pumped.va = 4.0f;
    pumped.rc = 35.0f;
    pumped.pumped = true;
    pumped.carbonationDepth = 0.5f;
    const float withTable = algorithm.CalcStrength(pumped);
    const float without = plain.CalcStrength(pumped);
    EXPECT_EQ(DialogTable(Kind::Carbon, s), withTable != without ? std::optional(Id::Carbon) : std::nullopt);
  }
}

TEST(CorrectionDialogs, AngleTableGrids) {
  const CorrectionTables defaults = CorrectionTables::Defaults();
  const GridLayout coarse = CorrectionTableLayout(Id::Angle, defaults);
  ASSERT_EQ(coarse.rows, 10);
  ASSERT_EQ(coarse.columns, 9);
  EXPECT_EQ(coarse.fixedRows, 3);
  EXPECT_EQ(coarse.fixedColumns, 1);
  EXPECT_EQ(coarse.At(0, 0).text, " R");
  EXPECT_EQ(coarse.At(0, 1).text, "检测角度");
  EXPECT_EQ(coarse.At(1, 1).text, "回弹仪向上");
  EXPECT_EQ(coarse.At(1, 5).text, "回弹仪向下");
  EXPECT_EQ(coarse.merges, (std::vector<GridMerge>{{0, 0, 3, 1}, {0, 1, 1, 8}, {1, 1, 1, 4}, {1, 5, 1, 4}}));
  EXPECT_EQ(RowTexts(coarse, 2),
            (std::vector<std::string>{"", "+90", "+60", "+45", "+30", "-30", "-45", "-60", "-90"}));
  EXPECT_EQ(RowTexts(coarse, 3),
            (std::vector<std::string>{" 20", "-6.0", "-5.0", "-4.0", "-3.0", "2.5", "3.0", "3.5", "4.0"}));
  EXPECT_EQ(RowTexts(coarse, 9),
            (std::vector<std::string>{" 50", "-3.5", "-3.0", "-2.5", "-1.5", "1.0", "1.5", "2.0", "2.5"}));
  for (int r = 0; r < coarse.rows; ++r) {
    for (int c = 0; c < coarse.columns; ++c)
      EXPECT_EQ(coarse.At(r, c).editable, r >= 3 && c >= 1) << r << "," << c;
  }

  const GridLayout fine = CorrectionTableLayout(Id::FineAngle, defaults);
  ASSERT_EQ(fine.rows, 34);
  EXPECT_EQ(RowTexts(fine, 3 + 15),
            (std::vector<std::string>{" 35", "-4.5", "-3.7", "-3.3", "-2.3", "1.8", "2.3", "2.8", "3.3"}));
  EXPECT_EQ(fine.At(33, 0).text, " 50");
  EXPECT_EQ(CorrectionValueCells(Id::FineAngle).size(), 31u * 8u);
}

TEST(CorrectionDialogs, SurfaceAndCarbonGrids) {
  const CorrectionTables defaults = CorrectionTables::Defaults();
  const GridLayout coarse = CorrectionTableLayout(Id::Surface, defaults);
  ASSERT_EQ(coarse.rows, 8);
  EXPECT_EQ(RowTexts(coarse, 0), (std::vector<std::string>{"测试面", "顶面", "底面"}));
  EXPECT_EQ(RowTexts(coarse, 1), (std::vector<std::string>{" 20", "2.5", "-3.0"}));
  EXPECT_EQ(RowTexts(coarse, 7), (std::vector<std::string>{" 50", "0.0", "0.0"}));
  const GridLayout fine = CorrectionTableLayout(Id::FineSurface, defaults);
  ASSERT_EQ(fine.rows, 32);
  EXPECT_EQ(RowTexts(fine, 26), (std::vector<std::string>{" 45", "0.0", "-0.5"}));
  for (const CorrectionValueCell& at : CorrectionValueCells(Id::FineSurface)) {
    EXPECT_NE(fine.At(at.row, at.column).text, "-0.0") << at.row << "," << at.column;
  }

  const GridLayout carbon = CorrectionTableLayout(Id::Carbon, defaults);
  ASSERT_EQ(carbon.rows, 5);
  ASSERT_EQ(carbon.columns, 6);
  EXPECT_EQ(carbon.fixedRows, 1);
  EXPECT_EQ(carbon.fixedColumns, 2);
  EXPECT_EQ(RowTexts(carbon, 0),
            (std::vector<std::string>{"碳化深度值", "", "抗压强度值（MPa）", "", "", ""}));
  EXPECT_EQ(RowTexts(carbon, 1),
            (std::vector<std::string>{"0.0;0.5;1.0", "fcui(MPa)", "<=40.0", "45.0", "50.0", "55.0～60.0"}));
  EXPECT_EQ(RowTexts(carbon, 2), (std::vector<std::string>{"", " K(MPa)", "4.5", "3.0", "1.5", "0.0"}));
  EXPECT_EQ(RowTexts(carbon, 3),
            (std::vector<std::string>{"1.5;2.0", "fcui(MPa)", "<=30.0", "35.0", "40.0～60.0", ""}));
  // The fourth value of the second band is not used and not shown.
  EXPECT_EQ(RowTexts(carbon, 4), (std::vector<std::string>{"", " K(MPa)", "3.0", "1.5", "0.0", ""}));
  EXPECT_FALSE(carbon.At(4, 5).editable);
  EXPECT_FALSE(carbon.At(1, 2).editable);
  EXPECT_TRUE(carbon.At(4, 4).editable);
  EXPECT_EQ(CorrectionValueCells(Id::Carbon).size(), 7u);
}

// "确定" takes every typed cell, or refuses the whole table at the first
// cell that holds no number in −20 … 20 (its message and position).
TEST(CorrectionDialogs, OkTakesEveryTypedCellOrRefusesTheTable) {
  CKorvaneDoc doc;
  doc.SetStandard(Standard::CECS02_2005);
  const CorrectionDialogModel dialog(Kind::Angle, doc);
  ASSERT_TRUE(dialog.hasGrid());
  EXPECT_EQ(dialog.title(), "角度修正值表");
  const auto typed = [&](std::string_view first) {
    return dialog.Accept([&](int row, int column) -> std::string {
      if (row == 3 && column == 1) return std::string(first);
      if (row == 4 && column == 2) return " -7.25 ";
      return dialog.layout().TextAt(row, column);
    });
  };
  const CellTables accepted = typed("20");
  EXPECT_EQ(accepted.message, "");
  EXPECT_EQ(accepted.tables.angle[0][0], 20.0f);
  EXPECT_EQ(accepted.tables.angle[1][1], -7.25f);
  // Every other cell as shown; the other tables untouched.
  EXPECT_EQ(accepted.tables.angle[6][7], 2.5f);
  EXPECT_EQ(accepted.tables.fineAngle, doc.tables.fineAngle);
  EXPECT_EQ(accepted.tables.surface, doc.tables.surface);
  for (const char* text : {"-7.25abc", "", "1e1", "123456789012345678901", "1e39", "20.5"}) {
    const CellTables refused = typed(text);
    EXPECT_EQ(refused.message, "R=20、检测角度+90：修正值须为-20～20之间的数") << text;
    EXPECT_EQ(refused.row, 3) << text;
    EXPECT_EQ(refused.column, 1) << text;
    EXPECT_EQ(refused.tables.angle, doc.tables.angle) << text;
  }
}

TEST(CorrectionDialogs, OkWithoutEditsKeepsEveryStoredValue) {
  // The derived fine tables hold values that "%.1f" does not give back
  // exactly; an unedited cell must not change them.
  CKorvaneDoc doc;
  for (Standard s : {Standard::CECS02_2005, Standard::TB10426_2004}) {
    doc.SetStandard(s);
    for (Kind kind : {Kind::Angle, Kind::Surface, Kind::Carbon}) {
      const CorrectionDialogModel dialog(kind, doc);
      const CorrectionTables accepted =
          dialog.Accept([&](int row, int column) { return dialog.layout().TextAt(row, column); }).tables;
      EXPECT_EQ(accepted.angle, doc.tables.angle);
      EXPECT_EQ(accepted.fineAngle, doc.tables.fineAngle);
      EXPECT_EQ(accepted.surface, doc.tables.surface);
      EXPECT_EQ(accepted.fineSurface, doc.tables.fineSurface);
      EXPECT_EQ(accepted.carbon, doc.tables.carbon);
    }
  }
}

TEST(CorrectionDialogs, DefaultsThenCancelAndNoGrid) {
  CKorvaneDoc doc;
  doc.SetStandard(Standard::TB10426_2004);
  doc.tables.fineSurface[0][0] = 9.0f;
  doc.tables.carbon[1][2] = 8.0f;
  doc.tables.angle[0][0] = 5.0f;

  CorrectionDialogModel surface(Kind::Surface, doc);
  EXPECT_EQ(surface.table(), Id::FineSurface);
  EXPECT_EQ(surface.layout().At(1, 1).text, "9.0");
  // "默认值": the shown table's default copy; only that table goes back.
  SetTableValues(doc.tables, *surface.table(), TableValues(doc.defaultTables, *surface.table()));
  EXPECT_EQ(doc.tables.fineSurface, doc.defaultTables.fineSurface);
  EXPECT_EQ(doc.tables.carbon[1][2], 8.0f);
  EXPECT_EQ(doc.tables.angle[0][0], 5.0f);
  // "确定" after "默认值" reads the restored grid.
  const CorrectionDialogModel restored(Kind::Surface, doc);
  EXPECT_EQ(restored.layout().At(1, 1).text, "2.5");
  const CorrectionTables accepted =
      restored.Accept([&](int row, int column) { return restored.layout().TextAt(row, column); }).tables;
  EXPECT_EQ(accepted.fineSurface, doc.defaultTables.fineSurface);

  CorrectionDialogModel carbon(Kind::Carbon, doc);
  EXPECT_EQ(carbon.layout().At(4, 4).text, "8.0");

  // Under CECS 02-2020 the carbonation dialog has no grid and writes nothing.
  doc.SetStandard(Standard::CECS02_2020);
  const CorrectionDialogModel none(Kind::Carbon, doc);
  EXPECT_FALSE(none.hasGrid());
  EXPECT_EQ(none.layout().rows, 0);
  EXPECT_EQ(none.title(), "碳化深度修正表");
  const CorrectionTables unchanged = none.Accept([](int, int) { return std::string("1.0"); }).tables;
  EXPECT_EQ(unchanged.carbon, doc.tables.carbon);
  // ... while its angle dialog offers the 7-row table it uses.
  EXPECT_EQ(CorrectionDialogModel(Kind::Angle, doc).layout().rows, 10);
}

// A cell's edit ends: a number in range takes the table's format when that
// gives back what was typed, else stays as typed; anything else is refused
// with a message naming the cell, and the cell shows its value again.
TEST(CorrectionDialogs, EditEndTakesOrRefusesTheCell) {
  CKorvaneDoc doc;
  doc.SetStandard(Standard::TB10426_2004);
  struct Case {
    Kind kind;
    int row;
    int column;
    const char* typed;
    const char* shown;
    const char* named;  // empty: taken
  };
  const Case cases[] = {
      {Kind::Angle, 3, 1, "-8", "-8.0", ""},
      {Kind::Angle, 3, 1, " 2.5", "2.5", ""},
      {Kind::Angle, 3, 1, "-8.25", "-8.25", ""},
      {Kind::Angle, 3, 1, "1.50", "1.5", ""},
      {Kind::Angle, 3, 1, "abc", nullptr, "R=20、检测角度+90"},
      {Kind::Angle, 4, 8, "25", nullptr, "R=21、检测角度-90"},
      {Kind::Angle, 33, 5, "3,5", nullptr, "R=50、检测角度-30"},
      {Kind::Surface, 1, 2, "", nullptr, "R=20、底面"},
      {Kind::Surface, 1, 1, "-20", "-20.0", ""},
      {Kind::Carbon, 2, 2, "1e1", nullptr, "碳化深度0.0;0.5;1.0、抗压强度<=40.0"},
      {Kind::Carbon, 4, 4, "20.01", nullptr, "碳化深度1.5;2.0、抗压强度40.0～60.0"},
      {Kind::Carbon, 4, 4, "7", "7.0", ""},
      // A label is nothing to enter.
      {Kind::Angle, 3, 0, "abc", " 20", ""},
  };
  for (const Case& c : cases) {
    CorrectionDialogModel dialog(c.kind, doc);
    const std::string before = dialog.layout().TextAt(c.row, c.column);
    const CellEntry entry = dialog.EnterCell(c.row, c.column, c.typed);
    const std::string shown = c.shown != nullptr ? c.shown : before;
    EXPECT_EQ(entry.shown, shown) << c.typed;
    EXPECT_EQ(dialog.layout().TextAt(c.row, c.column), shown) << c.typed;
    EXPECT_EQ(entry.message,
              *c.named == 0 ? std::string() : std::string(c.named) + "：修正值须为-20～20之间的数")
        << c.typed;
  }
}

}  // namespace
}  // namespace korvane
