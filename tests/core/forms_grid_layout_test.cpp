// Layouts of the waveform view's zone grid and of the rebound table, built
// from in-memory documents: column sets, texts and formats, editable cells,
// marking, widths, and the cell entries.
#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/app/korvane_doc.h"
#include "core/forms/grid_layout.h"
#include "core/forms/rebound_table_layout.h"
#include "core/forms/zone_grid_layout.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

// A document with one member of `zones` zones of `points` points each under
// `standard`: test method `method`, distances 200 + j mm, times 50.5 + j us,
// readings 30 + i, V 4.1234, Va 4.5678, fcu,i 25.25 + z, R 37.5, corrections
// -1.2 (angle) and 0.5 (surface). Zone 0 is current. Nothing is recomputed,
// so the cells show exactly these stored values.
std::unique_ptr<CKorvaneDoc> MakeDoc(Standard standard, TestMethod method, int points, int zones) {
  auto doc = std::make_unique<CKorvaneDoc>();
  doc->SetStandard(standard);
  doc->members.push_back(NewMember());
  ZoneList& list = doc->zoneLists.emplace_back();
  for (int z = 0; z < zones; ++z) {
    TestZone zone;
    zone.testMethod = method;
    zone.pointCount = points;
    for (int j = 0; j < points && j < kMaxPoints; ++j) {
      const auto slot = static_cast<std::size_t>(j);
      zone.points[slot] = NewMeasuringPoint(j, 0, nullptr, 0, 0.0f, 200.0f + static_cast<float>(j), 1.0f, 0);
      zone.pointTime[slot] = 50.5f + static_cast<float>(j);
    }
    for (int i = 0; i < kReadingsPerZone; ++i) zone.rebound[static_cast<std::size_t>(i)] = 30 + i;
    zone.zoneVelocity = 4.1234f;
    zone.correctedVelocity = 4.5678f;
    zone.strengthValue = 25.25f + static_cast<float>(z);
    zone.reboundValue = 37.5f;
    zone.angleCorrection = -1.2f;
    zone.surfaceCorrection = 0.5f;
    list.push_back(std::move(zone));
  }
  doc->memberCount = 1;
  doc->currentMember = 0;
  doc->currentZone = 0;
  return doc;
}

std::vector<std::string> RowTexts(const GridLayout& layout, int row) {
  std::vector<std::string> texts;
  for (int c = 0; c < layout.columns; ++c) texts.push_back(layout.At(row, c).text);
  return texts;
}

// ---- Zone grid ------------------------------------------------------------------

// Point column pairs g by standard and test method (角测, 平测, 对测), each
// zone holding the points its method has under that standard.
TEST(ZoneGridLayout, ColumnSetsForEveryStandardAndMethod) {
  struct Case {
    Standard standard;
    std::array<int, 3> pairs;  // by method 0, 1, 2
  };
  const std::vector<Case> cases = {
      {Standard::CECS02_2005, {3, 3, 3}},      {Standard::TB10426_2004, {3, 3, 3}},
      {Standard::CECS02_2020, {3, 0, 3}},      {Standard::JTS239_2015, {4, 0, 4}},
      {Standard::TB10426_2019, {3, 0, 3}},     {Standard::DB51T1996_2015, {3, 0, 3}},
      {Standard::DGTJ08_2020_2007, {3, 0, 3}}, {Standard::DB61T1084_2017, {3, 0, 3}},
      {Standard::DB37T2361_2013, {3, 0, 3}},   {Standard::DGJ32TJ144_2012, {3, 0, 3}},
  };
  for (const Case& c : cases) {
    for (int method = 0; method < 3; ++method) {
      SCOPED_TRACE(std::string(StandardDisplayName(c.standard)) + " method " + std::to_string(method));
      const int points = PointsPerZone(static_cast<TestMethod>(method), c.standard);
      const auto doc = MakeDoc(c.standard, static_cast<TestMethod>(method), points, 2);
      const GridLayout grid = ZoneGridLayout(*doc, 0, 2000);  // heads on one line
      const int g = c.pairs[static_cast<std::size_t>(method)];
      EXPECT_EQ(ZoneGridPointColumns(*doc, 0), g);
      ASSERT_EQ(grid.columns, 2 * g + 4);
      EXPECT_EQ(grid.rows, 3);
      std::vector<std::string> header = {"测区"};
      for (int j = 1; j <= g; ++j) {
        header.push_back("L" + std::to_string(j) + "(mm)");
        header.push_back("T" + std::to_string(j) + "(μs)");
      }
      header.insert(header.end(), {"V(km/s)", "Va(km/s)", "fcui(MPa)"});
      EXPECT_EQ(RowTexts(grid, 0), header);
    }
  }
}

// Point heads that would be cut go on two lines in a header row twice as
// high: at 1280 x 800 the view is about 1000 pixels wide.
TEST(ZoneGridLayout, NarrowPointColumnsWrapTheirHeads) {
  struct Case {
    int width;
    const char* l1;
    const char* t1;
    int headerHeight;
  };
  const Case cases[] = {
      {1000, "L1\n(mm)", "T1\n(μs)", 2 * kZoneGridRowHeight},
      {1499, "L1\n(mm)", "T1\n(μs)", 2 * kZoneGridRowHeight},
      {1500, "L1(mm)", "T1(μs)", kZoneGridRowHeight},
  };
  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 2);
  for (const Case& c : cases) {
    const GridLayout grid = ZoneGridLayout(*doc, 0, c.width);
    EXPECT_EQ(grid.At(0, 1).text, c.l1) << c.width;
    EXPECT_EQ(grid.At(0, 2).text, c.t1) << c.width;
    EXPECT_EQ(grid.rowHeights[0], c.headerHeight) << c.width;
    EXPECT_EQ(grid.rowHeights[1], kZoneGridRowHeight) << c.width;
  }
}

TEST(ZoneGridLayout, PointColumnsFollowTheCurrentZoneAndTheFirstZonesMethod) {
  // A 3-point file switched to CECS 02-2020: seven pairs, the four without a
  // point empty and read-only.
  auto doc = MakeDoc(Standard::CECS02_2020, TestMethod::Surface, 3, 1);
  GridLayout grid = ZoneGridLayout(*doc, 0, 1000);
  ASSERT_EQ(grid.columns, 18);
  EXPECT_EQ(grid.At(1, 5).text, "202");
  EXPECT_TRUE(grid.At(1, 5).editable);
  for (int c = 7; c <= 14; ++c) {
    EXPECT_EQ(grid.At(1, c).text, "") << c;
    EXPECT_FALSE(grid.At(1, c).editable) << c;
  }
  // A 7-point zone that is not current does not hide the pairs; its L cells
  // stay read-only.
  auto seven = MakeDoc(Standard::CECS02_2020, TestMethod::Surface, 7, 1);
  doc->zoneLists[0].push_back(std::move(seven->zoneLists[0][0]));
  grid = ZoneGridLayout(*doc, 0, 1000);
  ASSERT_EQ(grid.columns, 18);
  EXPECT_EQ(grid.At(2, 13).text, "206");
  EXPECT_FALSE(grid.At(2, 13).editable);
  // ... but once it is current, the grid has no point columns.
  doc->currentZone = 1;
  EXPECT_EQ(ZoneGridLayout(*doc, 0, 1000).columns, 4);

  // A member without zones: the method counts as 对测 (4 points under JTS).
  doc = MakeDoc(Standard::JTS239_2015, TestMethod::Surface, 7, 0);
  grid = ZoneGridLayout(*doc, 0, 1000);
  EXPECT_EQ(grid.columns, 12);
  EXPECT_EQ(grid.rows, 1);
  // No member at all: header row only.
  EXPECT_EQ(ZoneGridLayout(*doc, 5, 1000).rows, 1);
}

TEST(ZoneGridLayout, CellsFormatsAndEditableSet) {
  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 3);
  doc->Zone(0, 1)->strengthValue = 9.96f;
  doc->Zone(0, 2)->strengthValue = 70.04f;
  doc->currentZone = 2;
  const GridLayout grid = ZoneGridLayout(*doc, 0, 1000);
  EXPECT_EQ(grid.fixedRows, 1);
  EXPECT_EQ(grid.fixedColumns, 1);
  EXPECT_EQ(grid.background, kWhite);
  EXPECT_EQ(grid.rowHeights, (std::vector<int>{38, 19, 19, 19}));
  EXPECT_EQ(RowTexts(grid, 1), (std::vector<std::string>{"1", "200", "50.5", "201", "51.5", "202", "52.5",
                                                         "4.123", "4.568", "25.2"}));
  EXPECT_EQ(grid.At(2, 9).text, "<10MPa");
  EXPECT_EQ(grid.At(3, 9).text, ">70MPa");
  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < grid.columns; ++c) {
      const bool distance = r >= 1 && (c == 1 || c == 3 || c == 5);
      EXPECT_EQ(grid.At(r, c).editable, distance) << r << "," << c;
      EXPECT_TRUE(grid.At(r, c).choices.empty());
    }
  }
  EXPECT_TRUE(grid.rowSelection);
  EXPECT_FALSE(grid.rowPairs);
  EXPECT_EQ(grid.selection, (GridRange{3, 1, 3, 9}));

  // The 7-point surface test: no point columns, nothing editable.
  doc = MakeDoc(Standard::CECS02_2020, TestMethod::Surface, 7, 1);
  const GridLayout seven = ZoneGridLayout(*doc, 0, 1000);
  EXPECT_EQ(RowTexts(seven, 1), (std::vector<std::string>{"1", "4.123", "4.568", "25.2"}));
  EXPECT_FALSE(seven.At(1, 1).editable);
}

TEST(ZoneGridLayout, ColumnWidthsForAClientWidth) {
  struct Case {
    int columns;
    int width;
    std::vector<int> widths;
  };
  const std::vector<Case> cases = {
      {10, 1000, {40, 40, 40, 40, 40, 40, 40, 240, 240, 240}},
      {10, 1366, {54, 54, 54, 54, 54, 54, 54, 329, 329, 330}},
      {4, 1366, {54, 437, 437, 438}},
      {12, 999, {39, 39, 39, 39, 39, 39, 39, 39, 39, 216, 216, 216}},
      // Too narrow for the rule: nothing negative.
      {18, 50, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 8}},
      {10, -5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZoneGridColumnWidths(c.columns, c.width), c.widths) << c.columns << " columns, W " << c.width;
  }
  EXPECT_EQ(ZoneGridLayout(*MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 1), 0, 1366).columnWidths,
            cases[1].widths);
}

TEST(ZoneGridLayout, StrengthTextMarksOutOfRangeOnlyUnderCecs2005) {
  struct Case {
    Standard standard;
    float strength;
    const char* text;
  };
  const std::vector<Case> cases = {
      {Standard::CECS02_2005, 9.99f, "<10MPa"}, {Standard::CECS02_2005, 10.0f, "10.0"},
      {Standard::CECS02_2005, 70.0f, "70.0"},   {Standard::CECS02_2005, 70.01f, ">70MPa"},
      {Standard::CECS02_2005, 0.0f, "<10MPa"},  {Standard::CECS02_2020, 9.99f, "10.0"},
      {Standard::TB10426_2004, 75.34f, "75.3"}, {Standard::JTS239_2015, 5.0f, "5.0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrengthCellText(c.standard, c.strength), c.text) << c.standard << " " << c.strength;
  }
}

TEST(ZoneGridLayout, ClickedColumnsAndDistanceCells) {
  // Ten columns (three points): columns 1..6 switch to point (c - 1) / 2.
  const std::vector<std::pair<int, std::optional<int>>> clicks = {
      {0, std::nullopt}, {1, 0}, {2, 0}, {3, 1}, {6, 2}, {7, std::nullopt}, {9, std::nullopt}};
  for (const auto& [column, point] : clicks) EXPECT_EQ(ZoneGridPointOfColumn(10, column), point) << column;
  EXPECT_EQ(ZoneGridPointOfColumn(4, 1), std::nullopt);

  const auto cell = ZoneGridDistanceCell(3, 2, 2, 5);
  ASSERT_TRUE(cell.has_value());
  EXPECT_EQ(cell->zone, 1);
  EXPECT_EQ(cell->point, 2);
  EXPECT_FALSE(ZoneGridDistanceCell(3, 2, 2, 4).has_value());  // a T cell
  EXPECT_FALSE(ZoneGridDistanceCell(3, 2, 3, 1).has_value());  // below the last zone
  EXPECT_FALSE(ZoneGridDistanceCell(3, 2, 0, 1).has_value());  // header
  EXPECT_FALSE(ZoneGridDistanceCell(3, 2, 1, 7).has_value());  // V
}

// A strength concrete cannot have (custom coefficients can give any) is
// marked in its cell, and the status bar's note names its member and zone.
TEST(ZoneGridLayout, ImplausibleStrengthsAreMarkedAndNamed) {
  const std::vector<std::tuple<float, Standard, const char*>> cells = {
      {250.34f, Standard::CECS02_2020, "!250.3"}, {-0.5f, Standard::CECS02_2020, "!-0.5"},
      {250.34f, Standard::CECS02_2005, "!250.3"}, {200.0f, Standard::CECS02_2020, "200.0"},
      {0.0f, Standard::CECS02_2020, "0.0"},       {80.0f, Standard::CECS02_2005, ">70MPa"},
  };
  for (const auto& [strength, standard, text] : cells) EXPECT_EQ(StrengthCellText(standard, strength), text);

  std::vector<Member> members(2);
  members[0].name = "柱1";
  members[1].name = "梁2";
  ZoneLists zones(2, ZoneList(3));
  for (ZoneList& list : zones)
    for (TestZone& zone : list) zone.strengthValue = 30.0f;
  EXPECT_EQ(ImplausibleStrengthNote(zones, members), "");
  zones[1][2].strengthValue = 3843092.5f;
  zones[1][1].strengthValue = std::nanf("");
  EXPECT_EQ(ImplausibleStrengthNote(zones, members),
            "构件“梁2”测区2的强度换算值nanMPa超出0～200MPa，请检查系数");
  zones[1][1].strengthValue = 30.0f;
  EXPECT_EQ(ImplausibleStrengthNote(zones, members),
            "构件“梁2”测区3的强度换算值3843092.5MPa超出0～200MPa，请检查系数");
}

// A cell shows the value entered, or after a refusal the stored one.
TEST(ZoneGridLayout, DistanceEntryShowsTheValueKept) {
  const std::vector<std::tuple<const char*, std::optional<float>, const char*>> cases = {
      {"250.6", 250.6f, "251"}, {"12345", std::nullopt, "200"}, {"abc", std::nullopt, "200"}};
  for (const auto& [text, distance, shown] : cases) {
    const DistanceEntry entry = ZoneGridDistanceEntry(text, 200.0f);
    EXPECT_EQ(entry.distance, distance) << text;
    EXPECT_EQ(entry.text, shown) << text;
    EXPECT_EQ(entry.message.empty(), distance.has_value()) << text;
  }
}

// ---- Rebound table ------------------------------------------------------------------

TEST(ReboundTableLayout, SixteenReadingsTwoRowsPerZone) {
  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 2);
  TestZone& zone = *doc->Zone(0, 1);
  zone.rebound[3] = -1;  // missing
  zone.angle = -45;
  zone.surface = Surface::Top;
  zone.carbonationDepth = 1.25f;
  doc->currentZone = 1;
  const GridLayout grid = ReboundTableLayout(*doc, 0, 1200);

  ASSERT_EQ(grid.columns, 16);
  ASSERT_EQ(grid.rows, 5);
  EXPECT_EQ(grid.fixedRows, 1);
  EXPECT_EQ(grid.fixedColumns, 1);
  EXPECT_EQ(RowTexts(grid, 0),
            (std::vector<std::string>{"测区", "R1-R2", "R3-R4", "R5-R6", "R7-R8", "R9-R10", "R11-R12",
                                      "R13-R14", "R15-R16", "测试角度", "测试平面", "碳化深度", "R",
                                      "角度修正值", "测试面修正", "修正"}));
  EXPECT_EQ(RowTexts(grid, 3),
            (std::vector<std::string>{"2", "30", "32", "34", "36", "38", "40", "42", "44", "-45", "顶面",
                                      "1.2", "37.5", "-1.2", "0.5", "36.8"}));
  // Odd readings in the second row; the missing one shows 35.
  EXPECT_EQ(RowTexts(grid, 4), (std::vector<std::string>{"", "31", "35", "35", "37", "39", "41", "43", "45",
                                                         "", "", "", "", "", "", ""}));
  EXPECT_EQ(grid.rowHeights, std::vector<int>(5, 19));

  // The zone number and every value column span the zone's two rows.
  for (int z = 0; z < 2; ++z) {
    for (int c : {0, 9, 10, 11, 12, 13, 14, 15}) {
      EXPECT_NE(std::find(grid.merges.begin(), grid.merges.end(), GridMerge{2 * z + 1, c, 2, 1}),
                grid.merges.end())
          << z << "," << c;
    }
  }
  EXPECT_EQ(grid.merges.size(), 16u);

  // Editable: readings, carbonation, R; lists: angle and surface.
  for (int c = 0; c < grid.columns; ++c) {
    const bool editable = (c >= 1 && c <= 8) || c == 11 || c == 12;
    EXPECT_EQ(grid.At(1, c).editable, editable) << c;
    EXPECT_EQ(grid.At(1, c).choices.empty(), c != 9 && c != 10) << c;
  }
  EXPECT_EQ(grid.At(1, 9).choices,
            (std::vector<std::string>{"90", "60", "45", "30", "0", "-30", "-45", "-60", "-90"}));
  EXPECT_EQ(grid.At(1, 10).choices, (std::vector<std::string>{"侧面", "顶面", "底面"}));

  EXPECT_TRUE(grid.rowSelection);
  EXPECT_TRUE(grid.rowPairs);
  EXPECT_EQ(grid.selection, (GridRange{3, 1, 4, 15}));
}

TEST(ReboundTableLayout, DroppedReadingsMarkedUnlessRTypedByHand) {
  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 1);
  TestZone& zone = *doc->Zone(0, 0);
  zone.rebound = {40, 52, 38, 41, 29, 44, 40, 39, 60, 41, 42, 27, 43, 40, 39, 41};
  // Highest 60 (8), 52 (1), 44 (5); lowest 27 (11), 29 (4), 38 (2).
  const std::vector<int> dropped = {1, 2, 4, 5, 8, 11};
  GridLayout grid = ReboundTableLayout(*doc, 0, 1200);
  for (int i = 0; i < kReadingsPerZone; ++i) {
    const GridPosition at = ReboundReadingPosition(0, i);
    const bool yellow = std::find(dropped.begin(), dropped.end(), i) != dropped.end();
    EXPECT_EQ(grid.At(at.row, at.column).background, yellow ? kDroppedReadingYellow : kWhite) << i;
  }

  zone.reboundManual = 1;
  grid = ReboundTableLayout(*doc, 0, 1200);
  for (int i = 0; i < kReadingsPerZone; ++i) {
    const GridPosition at = ReboundReadingPosition(0, i);
    EXPECT_EQ(grid.At(at.row, at.column).background, std::nullopt) << i;
  }
  EXPECT_TRUE(DroppedReadingPositions(*doc, zone).empty());
}

TEST(ReboundTableLayout, TenReadingsUnderCecs2020) {
  auto doc = MakeDoc(Standard::CECS02_2020, TestMethod::Surface, 7, 1);
  TestZone& zone = *doc->Zone(0, 0);
  // First ten: lowest 31 at 6, highest 48 at 2. Readings 10..15 (which the
  // standard ignores) hold the extremes of all sixteen.
  zone.rebound = {40, 35, 48, 37, 44, 39, 31, 42, 36, 45, 90, 10, 91, 11, 92, 12};
  const GridLayout grid = ReboundTableLayout(*doc, 0, 1200);
  ASSERT_EQ(grid.columns, 13);
  EXPECT_EQ(RowTexts(grid, 0),
            (std::vector<std::string>{"测区", "R1-R2", "R3-R4", "R5-R6", "R7-R8", "R9-R10", "测试角度",
                                      "测试平面", "碳化深度", "R", "角度修正值", "测试面修正", "修正"}));
  EXPECT_EQ(RowTexts(grid, 1)[5], "36");
  EXPECT_EQ(RowTexts(grid, 2)[5], "45");
  EXPECT_EQ(DroppedReadingPositions(*doc, zone), (std::vector<int>{6, 2}));
  for (int i = 0; i < 10; ++i) {
    const GridPosition at = ReboundReadingPosition(0, i);
    EXPECT_EQ(grid.At(at.row, at.column).background, (i == 2 || i == 6) ? kDroppedReadingYellow : kWhite)
        << i;
  }
  // Row pairs are selected together in the 13-column table too.
  EXPECT_TRUE(grid.rowPairs);
  EXPECT_EQ(grid.selection, (GridRange{1, 1, 2, 12}));

  // Ten equal readings still mark two cells.
  zone.rebound.fill(40);
  EXPECT_EQ(DroppedReadingPositions(*doc, zone), (std::vector<int>{0, 9}));
}

TEST(ReboundTableLayout, AngleAndSurfaceEntries) {
  for (int entry = 0; entry < 9; ++entry) {
    EXPECT_EQ(AngleEntryOf(AngleOfEntry(entry)), entry);
    EXPECT_EQ(std::to_string(AngleOfEntry(entry)), kAngleEntries[static_cast<std::size_t>(entry)]);
  }
  EXPECT_EQ(AngleOfEntry(-1), 0);
  EXPECT_EQ(AngleOfEntry(9), 0);
  EXPECT_EQ(AngleEntryOf(50), 4);  // not listed: the "0" entry

  const std::vector<std::pair<int, std::string_view>> surfaces = {{0, "侧面"},  {1, "顶面"}, {2, "底面"},
                                                                  {-1, "未知"}, {3, "未知"}, {7, "未知"}};
  for (const auto& [code, text] : surfaces) EXPECT_EQ(SurfaceText(static_cast<Surface>(code)), text) << code;
  EXPECT_EQ(SurfaceOfEntry(2), Surface::Bottom);
  EXPECT_EQ(SurfaceOfEntry(3), Surface::None);
  EXPECT_EQ(SurfaceEntryOf(Surface::None), -1);

  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 1);
  doc->Zone(0, 0)->surface = Surface::None;
  doc->Zone(0, 0)->angle = 50;
  const GridLayout grid = ReboundTableLayout(*doc, 0, 1200);
  EXPECT_EQ(grid.At(1, 10).text, "未知");
  EXPECT_EQ(grid.At(1, 9).text, "50");
}

TEST(ReboundTableLayout, WidthsAndTwoLineHeaders) {
  struct Case {
    int readings;
    int width;
    std::vector<int> widths;
  };
  const std::vector<Case> cases = {
      {16, 1000, {40, 58, 58, 58, 58, 58, 58, 58, 58, 70, 70, 70, 70, 70, 70, 76}},
      {10, 1000, {40, 94, 94, 94, 94, 94, 70, 70, 70, 70, 70, 70, 70}},
      {16, 1366, {54, 80, 80, 80, 80, 80, 80, 80, 80, 95, 95, 95, 95, 95, 95, 102}},
      {16, 0, std::vector<int>(16, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReboundTableColumnWidths(c.readings, c.width), c.widths)
        << c.readings << " readings, w " << c.width;
  }

  auto doc = MakeDoc(Standard::CECS02_2005, TestMethod::Surface, 3, 1);
  // Column 0: int(0.04 · 899) = 35 < 36 pixels.
  GridLayout narrow = ReboundTableLayout(*doc, 0, 899);
  EXPECT_EQ(narrow.columnWidths[0], 35);
  EXPECT_EQ(narrow.rowHeights[0], 38);
  EXPECT_EQ(narrow.rowHeights[1], 19);
  EXPECT_EQ(RowTexts(narrow, 0),
            (std::vector<std::string>{"测区", "R1-R2", "R3-R4", "R5-R6", "R7-R8", "R9-R10", "R11-R12",
                                      "R13-R14", "R15-R16", "测试\n角度", "测试\n平面", "碳化\n深度", "R",
                                      "角度\n修正值", "测试面\n修正", "修正"}));
  GridLayout wide = ReboundTableLayout(*doc, 0, 900);
  EXPECT_EQ(wide.columnWidths[0], 36);
  EXPECT_EQ(wide.rowHeights[0], 19);
  EXPECT_EQ(wide.At(0, 9).text, "测试角度");
}

TEST(ReboundTableLayout, CellKinds) {
  using Kind = ReboundCell::Kind;
  struct Case {
    int readings;
    int row;
    int column;
    Kind kind;
    int zone;
    int reading;
  };
  const std::vector<Case> cases = {
      {16, 1, 1, Kind::Reading, 0, 0},       {16, 2, 1, Kind::Reading, 0, 1},
      {16, 4, 8, Kind::Reading, 1, 15},      {16, 3, 0, Kind::ZoneNumber, 1, -1},
      {16, 3, 9, Kind::Angle, 1, -1},        {16, 4, 10, Kind::Surface, 1, -1},
      {16, 1, 11, Kind::Carbonation, 0, -1}, {16, 1, 12, Kind::Rebound, 0, -1},
      {16, 1, 15, Kind::Corrected, 0, -1},   {10, 2, 5, Kind::Reading, 0, 9},
      {10, 1, 6, Kind::Angle, 0, -1},        {10, 1, 12, Kind::Corrected, 0, -1},
      {16, 0, 3, Kind::None, -1, -1},        {16, 5, 1, Kind::None, -1, -1},
      {10, 1, 13, Kind::None, -1, -1},
  };
  for (const Case& c : cases) {
    const ReboundCell cell = ReboundCellAt(c.readings, 2, c.row, c.column);
    EXPECT_EQ(cell.kind, c.kind) << c.readings << ": " << c.row << "," << c.column;
    EXPECT_EQ(cell.zone, c.zone) << c.row << "," << c.column;
    EXPECT_EQ(cell.reading, c.reading) << c.row << "," << c.column;
  }
}

// Enter and Tab walk a zone as the field sheet lists it: R1 … Rk, angle,
// surface, carbonation, then the next zone; backwards the same way back.
TEST(ReboundTableLayout, EntryOrderFollowsTheFieldSheet) {
  for (int k : {16, 10}) {
    SCOPED_TRACE(k);
    const ReboundColumns c = ReboundTableColumns(k);
    std::vector<std::pair<int, int>> sheet;
    for (int zone = 0; zone < 2; ++zone) {
      for (int i = 0; i < k; ++i) sheet.emplace_back(2 * zone + 1 + i % 2, i / 2 + 1);
      for (int column : {c.angle, c.surface, c.carbonation}) sheet.emplace_back(2 * zone + 1, column);
    }
    std::vector<std::pair<int, int>> forward = {sheet.front()};
    for (auto at = ReboundEntryNext(k, 2, 1, 1, false); at;
         at = ReboundEntryNext(k, 2, at->row, at->column, false))
      forward.emplace_back(at->row, at->column);
    EXPECT_EQ(forward, sheet);
    std::vector<std::pair<int, int>> backward = {sheet.back()};
    for (auto at = ReboundEntryNext(k, 2, 3, c.carbonation, true); at;
         at = ReboundEntryNext(k, 2, at->row, at->column, true))
      backward.emplace_back(at->row, at->column);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, sheet);
  }
  // Cells off the sheet: the zone number leads to R1, R and its
  // corrections to the next zone; outside the zones nothing.
  const ReboundColumns c = ReboundTableColumns(16);
  struct Case {
    int row, column;
    bool backwards;
    std::optional<std::pair<int, int>> next;
  };
  const Case cases[] = {
      {3, 0, false, std::pair{3, 1}},
      {3, 0, true, std::pair{1, c.carbonation}},
      {2, c.rebound, false, std::pair{3, 1}},
      {1, c.corrected, true, std::pair{1, c.carbonation}},
      {4, c.angle, false, std::pair{3, c.surface}},
      {0, 1, false, std::nullopt},
      {5, 1, false, std::nullopt},
  };
  for (const Case& cs : cases) {
    const auto next = ReboundEntryNext(16, 2, cs.row, cs.column, cs.backwards);
    ASSERT_EQ(next.has_value(), cs.next.has_value()) << cs.row << "," << cs.column;
    if (next) {
      EXPECT_EQ(std::pair(next->row, next->column), *cs.next) << cs.row << "," << cs.column;
    }
  }
}

TEST(ReboundTableLayout, TypedReadingsAndRShowTheValueKept) {
  const std::vector<std::tuple<const char*, int, std::optional<int>, const char*>> readings = {
      {"52", 40, 52, "52"},
      {"-7", 40, std::nullopt, "40"},
      {"100", -1, std::nullopt, "35"},
      {"38.9", 40, std::nullopt, "40"}};
  for (const auto& [text, previous, value, shown] : readings) {
    const ReadingEntry entry = ReboundReadingEntry(text, previous);
    EXPECT_EQ(entry.value, value) << text;
    EXPECT_EQ(entry.text, shown) << text;
    EXPECT_EQ(entry.message, value ? "" : "回弹值须为0～99之间的整数") << text;
  }
  const std::vector<std::tuple<const char*, std::optional<float>, const char*>> values = {
      {"33.33", 33.33f, "33.3"}, {"55", std::nullopt, "41.5"}, {"", std::nullopt, "41.5"}};
  for (const auto& [text, value, shown] : values) {
    const ReboundValueEntry entry = ReboundTypedValueEntry(text, 41.5f);
    EXPECT_EQ(entry.value, value) << text;
    EXPECT_EQ(entry.text, shown) << text;
  }
}

// The merge index takes and refuses exactly what testing each merge against
// the grid, its area and every merge kept before does, and names the same
// covering merge for every cell.
TEST(GridMergeIndex, AgreesWithTestingEveryPairOnRandomLayouts) {
  struct Grid {
    int rows, columns, fixedRows, fixedColumns, merges, maxSpan;
  };
  const Grid grids[] = {
      {1, 1, 0, 0, 4, 2},  {6, 5, 1, 1, 30, 3},    {40, 12, 2, 1, 200, 4},
      {9, 9, 0, 0, 60, 9}, {200, 8, 3, 2, 600, 3}, {5, 30, 5, 0, 40, 6},
  };
  std::mt19937 random(7);
  for (const Grid& g : grids) {
    SCOPED_TRACE(std::to_string(g.rows) + "x" + std::to_string(g.columns));
    const auto pick = [&random](int low, int high) {
      return std::uniform_int_distribution(low, high)(random);
    };
    GridMergeIndex index;
    index.Reset(g.rows, g.columns, g.fixedRows, g.fixedColumns);
    std::vector<GridMerge> kept;
    for (int k = 0; k < g.merges; ++k) {
      // Some merges leave the grid or start outside it.
      const GridMerge m{pick(-1, g.rows), pick(-1, g.columns), pick(0, g.maxSpan), pick(0, g.maxSpan)};
      const int lastRow = m.row + m.rowSpan - 1;
      const int lastColumn = m.column + m.columnSpan - 1;
      const bool inside = m.row >= 0 && m.column >= 0 && m.rowSpan >= 1 && m.columnSpan >= 1 &&
                          lastRow < g.rows && lastColumn < g.columns;
      const bool oneArea = (m.row < g.fixedRows) == (lastRow < g.fixedRows) &&
                           (m.column < g.fixedColumns) == (lastColumn < g.fixedColumns);
      const bool free = std::none_of(kept.begin(), kept.end(), [&](const GridMerge& o) {
        return m.row < o.row + o.rowSpan && o.row <= lastRow && m.column < o.column + o.columnSpan &&
               o.column <= lastColumn;
      });
      const bool fits = inside && oneArea && free;
      ASSERT_EQ(index.Add(m), fits) << m.row << "," << m.column << " " << m.rowSpan << "x" << m.columnSpan;
      if (fits && (m.rowSpan > 1 || m.columnSpan > 1)) kept.push_back(m);
    }
    EXPECT_EQ(index.merges(), kept);
    for (int r = -1; r <= g.rows; ++r) {
      for (int c = -1; c <= g.columns; ++c) {
        const auto covering = std::find_if(kept.begin(), kept.end(), [&](const GridMerge& o) {
          return r >= o.row && r < o.row + o.rowSpan && c >= o.column && c < o.column + o.columnSpan;
        });
        const GridMerge* found = index.Covering(r, c);
        ASSERT_EQ(found != nullptr, covering != kept.end()) << r << "," << c;
        if (found != nullptr) {
          EXPECT_EQ(*found, *covering);
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvane
