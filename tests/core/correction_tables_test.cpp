#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/algorithm/correction_tables.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

// The fine angle table as published (R = 20..50 by angle +90, +60, +45,
// +30, -30, -45, -60, -90), one decimal.
constexpr float kPublishedFineAngle[kFineRows][kAngleColumns] = {
    {-6.0f, -5.0f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f},  // 20
    {-5.9f, -4.9f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f},  // 21
    {-5.8f, -4.8f, -3.9f, -2.9f, 2.4f, 2.9f, 3.4f, 3.9f},  // 22
    {-5.7f, -4.7f, -3.9f, -2.9f, 2.4f, 2.9f, 3.4f, 3.9f},  // 23
    {-5.6f, -4.6f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f},  // 24
    {-5.5f, -4.5f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f},  // 25
    {-5.4f, -4.4f, -3.7f, -2.7f, 2.2f, 2.7f, 3.2f, 3.7f},  // 26
    {-5.3f, -4.3f, -3.7f, -2.7f, 2.2f, 2.7f, 3.2f, 3.7f},  // 27
    {-5.2f, -4.2f, -3.6f, -2.6f, 2.1f, 2.6f, 3.1f, 3.6f},  // 28
    {-5.1f, -4.1f, -3.6f, -2.6f, 2.1f, 2.6f, 3.1f, 3.6f},  // 29
    {-5.0f, -4.0f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f},  // 30
    {-4.9f, -3.9f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f},  // 31
    {-4.8f, -3.9f, -3.4f, -2.4f, 1.9f, 2.4f, 2.9f, 3.4f},  // 32
    {-4.7f, -3.8f, -3.4f, -2.4f, 1.9f, 2.4f, 2.9f, 3.4f},  // 33
    {-4.6f, -3.8f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f},  // 34
    {-4.5f, -3.7f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f},  // 35
    {-4.4f, -3.7f, -3.2f, -2.2f, 1.7f, 2.2f, 2.7f, 3.2f},  // 36
    {-4.3f, -3.6f, -3.2f, -2.2f, 1.7f, 2.2f, 2.7f, 3.2f},  // 37
    {-4.2f, -3.6f, -3.1f, -2.1f, 1.6f, 2.1f, 2.6f, 3.1f},  // 38
    {-4.1f, -3.5f, -3.1f, -2.1f, 1.6f, 2.1f, 2.6f, 3.1f},  // 39
    {-4.0f, -3.5f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f},  // 40
    {-3.9f, -3.4f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f},  // 41
    {-3.9f, -3.4f, -2.9f, -1.9f, 1.4f, 1.9f, 2.4f, 2.9f},  // 42
    {-3.8f, -3.3f, -2.9f, -1.9f, 1.4f, 1.9f, 2.4f, 2.9f},  // 43
    {-3.8f, -3.3f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f},  // 44
    {-3.7f, -3.2f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f},  // 45
    {-3.7f, -3.2f, -2.7f, -1.7f, 1.2f, 1.7f, 2.2f, 2.7f},  // 46
    {-3.6f, -3.1f, -2.7f, -1.7f, 1.2f, 1.7f, 2.2f, 2.7f},  // 47
    {-3.6f, -3.1f, -2.6f, -1.6f, 1.1f, 1.6f, 2.1f, 2.6f},  // 48
    {-3.5f, -3.0f, -2.6f, -1.6f, 1.1f, 1.6f, 2.1f, 2.6f},  // 49
    {-3.5f, -3.0f, -2.5f, -1.5f, 1.0f, 1.5f, 2.0f, 2.5f},  // 50
};

TEST(CorrectionTables, DerivedFineAngleTableMatchesPublishedTable) {
  const CorrectionTables t = CorrectionTables::Defaults();
  for (std::size_t i = 0; i < static_cast<std::size_t>(kFineRows); ++i) {
    for (std::size_t c = 0; c < static_cast<std::size_t>(kAngleColumns); ++c) {
      // The stepping accumulates float rounding (a few 1e-6); the published
      // values are rounded to one decimal.
      EXPECT_NEAR(t.fineAngle[i][c], kPublishedFineAngle[i][c], 1e-5) << "R=" << 20 + i << " column " << c;
    }
  }
  // The first row is the coarse R = 20 row exactly.
  EXPECT_EQ(t.fineAngle[0], t.angle[0]);
}

TEST(CorrectionTables, CoarseSurfaceFineSurfaceAndCarbonDefaults) {
  const CorrectionTables t = CorrectionTables::Defaults();
  const float top[kCoarseRows] = {2.5f, 2.0f, 1.5f, 1.0f, 0.5f, 0.0f, 0.0f};
  const float bottom[kCoarseRows] = {-3.0f, -2.5f, -2.0f, -1.5f, -1.0f, -0.5f, 0.0f};
  for (std::size_t k = 0; k < static_cast<std::size_t>(kCoarseRows); ++k) {
    EXPECT_EQ(t.surface[k][0], top[k]) << k;
    EXPECT_EQ(t.surface[k][1], bottom[k]) << k;
  }
  for (std::size_t k = 0; k < static_cast<std::size_t>(kFineRows); ++k) {
    EXPECT_EQ(t.fineSurface[k][0], static_cast<float>(std::max(0.0, 2.5 - 0.1 * static_cast<double>(k))))
        << k;
    EXPECT_EQ(t.fineSurface[k][1], static_cast<float>(-3.0 + 0.1 * static_cast<double>(k))) << k;
  }
  EXPECT_EQ(t.fineSurface[25][0], 0.0f);  // R = 45: top reaches 0
  EXPECT_EQ(t.fineSurface[30][1], 0.0f);  // R = 50: bottom reaches 0
  EXPECT_EQ(t.fineSurface[10][0], 1.5f);
  const std::array<std::array<float, 4>, 2> carbon = {{{4.5f, 3.0f, 1.5f, 0.0f}, {3.0f, 1.5f, 0.0f, -1.5f}}};
  EXPECT_EQ(t.carbon, carbon);
  EXPECT_EQ(t.angle[3][1], -3.8f);  // R = 35, +60
}

TEST(CorrectionTables, RowChoice) {
  struct Case {
    float r;
    int coarse;
    int fine;
  };
  const Case cases[] = {
      {0.0f, 0, 0},   {19.0f, 0, 0},  {19.99f, 0, 0}, {20.0f, 1, 1},  {24.99f, 1, 5},
      {25.0f, 2, 6},  {35.0f, 4, 16}, {44.9f, 5, 25}, {45.0f, 6, 26}, {48.99f, 6, 29},
      {49.0f, 6, 30}, {50.0f, 6, 30}, {80.0f, 6, 30}, {-5.0f, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CoarseRow(c.r), c.coarse) << c.r;
    EXPECT_EQ(FineRow(c.r), c.fine) << c.r;
  }
}

TEST(CorrectionTables, AngleColumnChoice) {
  const std::pair<int, int> cases[] = {
      {0, -1},  {90, 0},  {120, 0}, {89, 1},  {60, 1},  {59, 2},  {50, 2},
      {45, 2},  {44, 3},  {30, 3},  {10, 3},  {1, 3},   {-1, 4},  {-30, 4},
      {-44, 4}, {-45, 5}, {-59, 5}, {-60, 6}, {-89, 6}, {-90, 7}, {-100, 7},
  };
  for (const auto& [angle, column] : cases) EXPECT_EQ(AngleColumn(angle), column) << angle;
}

TEST(CorrectionTables, CarbonTableStep) {
  const CorrectionTables t = CorrectionTables::Defaults();
  struct Case {
    float depth;
    float strength;
    float added;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 4.5f},   {0.5f, 38.0f, 4.5f},  {0.99f, 44.99f, 4.5f}, {0.5f, 45.0f, 3.0f},
      {0.5f, 49.99f, 3.0f}, {0.5f, 50.0f, 1.5f},  {0.5f, 54.99f, 1.5f},  {0.5f, 55.0f, 0.0f},
      {0.5f, 80.0f, 0.0f},  {1.0f, 44.99f, 0.0f}, {1.0f, 34.99f, 3.0f},  {1.5f, 35.0f, 1.5f},
      {2.0f, 39.99f, 1.5f}, {2.0f, 40.0f, 0.0f},  {6.0f, 10.0f, 3.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CarbonTableValue(t, c.depth, c.strength), c.added) << c.depth << " / " << c.strength;
  }
}

// Lookups through the algorithms: the 7-row tables for every standard but
// the two TB ones, the 31-row tables for those.
TEST(CorrectionLookup, AngleAndSurfaceByStandard) {
  const CorrectionTables tables = CorrectionTables::Defaults();
  struct Case {
    Standard standard;
    float r;
    int angle;
    Surface surface;
    float angleCorrection;
    float surfaceCorrection;
  };
  const Case cases[] = {
      {Standard::CECS02_2005, 19.0f, 90, Surface::Top, -6.0f, 2.5f},
      {Standard::CECS02_2005, 20.0f, 90, Surface::Bottom, -5.5f, -2.5f},
      {Standard::CECS02_2005, 44.9f, 90, Surface::Top, -3.8f, 0.0f},
      {Standard::CECS02_2005, 45.0f, 90, Surface::Bottom, -3.5f, 0.0f},
      {Standard::CECS02_2005, 60.0f, -90, Surface::Bottom, 2.5f, 0.0f},
      {Standard::CECS02_2020, 25.0f, 50, Surface::Top, -3.5f, 1.5f},      // +45 column, R = 30 row
      {Standard::JTS239_2015, 30.0f, 10, Surface::Bottom, -2.3f, -1.5f},  // +30 column, R = 35 row
      {Standard::DGJ32TJ144_2012, 30.0f, -100, Surface::Side, 3.3f, 0.0f},
      {Standard::TB10426_2004, 35.0f, -45, Surface::Top, 2.2f, static_cast<float>(2.5 - 0.1 * 16)},
      {Standard::TB10426_2019, 49.0f, -45, Surface::Bottom, 1.5f, 0.0f},
      {Standard::TB10426_2019, 35.0f, 0, Surface::None, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    const CAlgorithm algorithm(c.standard, &tables);
    EXPECT_NEAR(algorithm.AngleCorrection(c.r, c.angle), c.angleCorrection, 1e-5)
        << c.standard << " R=" << c.r << " angle " << c.angle;
    EXPECT_FLOAT_EQ(algorithm.SurfaceCorrection(c.r, c.surface), c.surfaceCorrection)
        << c.standard << " R=" << c.r << " surface " << c.surface;
  }
  // Side face and unknown codes: no correction.
  for (Standard standard : kAllStandards) {
    const CAlgorithm algorithm(standard, &tables);
    EXPECT_EQ(algorithm.SurfaceCorrection(30.0f, Surface::Side), 0.0f);
    EXPECT_EQ(algorithm.SurfaceCorrection(30.0f, static_cast<Surface>(3)), 0.0f);
    EXPECT_EQ(algorithm.AngleCorrection(30.0f, 0), 0.0f);
  }
}

TEST(CorrectionLookup, ReadsTheCurrentTableOnEveryCall) {
  CorrectionTables tables = CorrectionTables::Defaults();
  const CAlgorithm coarse(Standard::CECS02_2005, &tables);
  const CAlgorithm fine(Standard::TB10426_2004, &tables);
  EXPECT_EQ(coarse.AngleCorrection(31.0f, 90), -4.5f);
  tables.angle[3][0] = -7.25f;  // user edit of R = 35, +90
  tables.fineSurface[11][1] = 9.0f;
  EXPECT_EQ(coarse.AngleCorrection(31.0f, 90), -7.25f);
  EXPECT_EQ(fine.SurfaceCorrection(30.0f, Surface::Bottom), 9.0f);
  tables = CorrectionTables::Defaults();  // the defaults button
  EXPECT_EQ(coarse.AngleCorrection(31.0f, 90), -4.5f);
}

// Each table's description addresses its own storage: a value written
// through a cell lands in that table only, at that row and column, the
// rows × columns values go back and forth, and its companion name finds it.
TEST(CorrectionTables, EachDescriptionAddressesItsOwnTable) {
  for (const CorrectionTableInfo& info : kCorrectionTables) {
    SCOPED_TRACE(std::string(info.name));
    EXPECT_EQ(TableNamed(info.name), info.table);
    CorrectionTables tables = CorrectionTables::Defaults();
    const int row = info.rows - 1;
    const int column = info.columns - 1;
    TableCell(tables, info.table, row, column) = 99.0f;
    int changed = 0;
    for (const CorrectionTableInfo& other : kCorrectionTables) {
      const std::vector<float> before = TableValues(CorrectionTables::Defaults(), other.table);
      const std::vector<float> after = TableValues(tables, other.table);
      ASSERT_EQ(after.size(), other.Cells());
      for (std::size_t k = 0; k < after.size(); ++k) {
        if (after[k] == before[k]) continue;
        ++changed;
        EXPECT_EQ(other.table, info.table);
        EXPECT_EQ(k, static_cast<std::size_t>(row * info.columns + column));
      }
    }
    EXPECT_EQ(changed, 1);
    CorrectionTables copy = CorrectionTables::Defaults();
    EXPECT_TRUE(SetTableValues(copy, info.table, TableValues(tables, info.table)));
    EXPECT_EQ(TableValues(copy, info.table), TableValues(tables, info.table));
    EXPECT_FALSE(SetTableValues(copy, info.table, std::vector<float>(3, 1.0f)));
  }
  EXPECT_EQ(TableNamed("colour"), std::nullopt);
}

}  // namespace
}  // namespace korvane
