// Rebound correction tables (angle, tested surface) and the pumped-concrete
// carbonation table. The document holds a current copy (edited by the user)
// and a default copy of each. Cells are rebound values or MPa.
#pragma once

#include <array>

#include "core/data/records.h"

namespace korvane {

// Angle columns, in table order: +90, +60, +45, +30, -30, -45, -60, -90.
inline constexpr int kAngleColumns = 8;
inline constexpr int kCoarseRows = 7;  // R = 20, 25, ..., 50
inline constexpr int kFineRows = 31;   // R = 20, 21, ..., 50

struct CorrectionTables {
  std::array<std::array<float, kAngleColumns>, kCoarseRows> angle{};    // AngleTable
  std::array<std::array<float, kAngleColumns>, kFineRows> fineAngle{};  // FineAngleTable
  std::array<std::array<float, 2>, kCoarseRows> surface{};              // SurfaceTable: top, bottom
  std::array<std::array<float, 2>, kFineRows> fineSurface{};            // FineSurfaceTable
  std::array<std::array<float, 4>, 2> carbon{};                         // CarbonTable

  // All five tables with their default values (the fine tables derived by
  // the stepping rule from the coarse first row).
  static CorrectionTables Defaults();
};

// Row of a 7-row table for rebound value r: first of 20,25,...,45 strictly
// greater than r, else 6.
int CoarseRow(float r);
// Row of a 31-row table: first i in 0..29 with 20 + i > r, else 30.
int FineRow(float r);
// Angle column for an angle in degrees; -1 for 0 (no correction).
int AngleColumn(int angle);

// Table value added to a pumped member's strength f (after η) for a
// carbonation depth in mm.
float CarbonTableValue(const CorrectionTables& tables, float depth, float strength);

// Corrections from the 7-row tables (rows R = 20, 25, ..., 50) and from the
// 31-row tables (R = 20, 21, ..., 50). Angle 0, a surface other than Top or
// Bottom, or no tables give 0.
float CoarseAngleCorrection(const CorrectionTables* tables, float r, int angle);
float CoarseSurfaceCorrection(const CorrectionTables* tables, float r, Surface surface);
float FineAngleCorrection(const CorrectionTables* tables, float r, int angle);
float FineSurfaceCorrection(const CorrectionTables* tables, float r, Surface surface);

}  // namespace korvane
