// Rebound correction tables (angle, tested surface) and the pumped-concrete
// carbonation table. The document holds a current copy (edited by the user)
// and a default copy of each. Cells are rebound values or MPa.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "core/data/records.h"
#include "core/standards/standards.h"

namespace korvane {

// Angle columns, in table order: +90, +60, +45, +30, -30, -45, -60, -90.
inline constexpr int kAngleColumns = 8;
inline constexpr int kCoarseRows = 7;           // R = 20, 25, ..., 50
inline constexpr int kFineRows = 31;            // R = 20, 21, ..., 50
inline constexpr int kSurfaceColumns = 2;       // top, bottom
inline constexpr int kCarbonBands = 2;          // depth bands 0.0–1.0 mm, 1.5–2.0 mm
inline constexpr int kCarbonStrengthBands = 4;  // strength bands per depth band

struct CorrectionTables {
  std::array<std::array<float, kAngleColumns>, kCoarseRows> angle{};           // AngleTable
  std::array<std::array<float, kAngleColumns>, kFineRows> fineAngle{};         // FineAngleTable
  std::array<std::array<float, kSurfaceColumns>, kCoarseRows> surface{};       // SurfaceTable: top, bottom
  std::array<std::array<float, kSurfaceColumns>, kFineRows> fineSurface{};     // FineSurfaceTable
  std::array<std::array<float, kCarbonStrengthBands>, kCarbonBands> carbon{};  // CarbonTable

  // All five tables with their default values (the fine tables derived by
  // the stepping rule from the coarse first row).
  static CorrectionTables Defaults();
};

// ---- The five tables, described once ------------------------------------
// Every user of a table (the editing operations, the correction dialogs,
// the companion file, the merge) reads its shape, its name and which
// standards read it from this description.

// The five tables of CorrectionTables.
enum class CorrectionTable { Angle, FineAngle, Surface, FineSurface, Carbon };
// What a table corrects; each has a 7-row and a 31-row table except the
// carbonation step, which has one.
enum class CorrectionTableKind { Angle, Surface, Carbon };

struct CorrectionTableInfo {
  CorrectionTable table;
  std::string_view name;  // its name in the companion file
  CorrectionTableKind kind;
  int rows;
  int columns;
  // Rebound value R of the first row and the step between rows (0: the rows
  // are carbonation-depth bands, not rebound values).
  int firstRebound;
  int reboundStep;

  // rows × columns.
  constexpr std::size_t Cells() const {
    return static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  }
};
inline constexpr CorrectionTableInfo kCorrectionTables[] = {
    {CorrectionTable::Angle, "angle", CorrectionTableKind::Angle, kCoarseRows, kAngleColumns, 20, 5},
    {CorrectionTable::FineAngle, "fineAngle", CorrectionTableKind::Angle, kFineRows, kAngleColumns, 20, 1},
    {CorrectionTable::Surface, "surface", CorrectionTableKind::Surface, kCoarseRows, kSurfaceColumns, 20, 5},
    {CorrectionTable::FineSurface, "fineSurface", CorrectionTableKind::Surface, kFineRows, kSurfaceColumns,
     20, 1},
    {CorrectionTable::Carbon, "carbon", CorrectionTableKind::Carbon, kCarbonBands, kCarbonStrengthBands, 0,
     0},
};
const CorrectionTableInfo& InfoOf(CorrectionTable table);
// The table named `name` in a companion file; nullopt for an unknown name.
std::optional<CorrectionTable> TableNamed(std::string_view name);

// The table of `kind` that `standard`'s rules read: the 31-row tables for
// the fine table family, the 7-row ones otherwise; the carbonation table
// only where pumped concrete takes it (StrengthRule::EtaThenCarbon), else
// nullopt.
std::optional<CorrectionTable> TableReadBy(CorrectionTableKind kind, Standard standard);

// Cell (row, column) of a table; both in range (InfoOf's rows and columns).
float& TableCell(CorrectionTables& tables, CorrectionTable table, int row, int column);
float TableCell(const CorrectionTables& tables, CorrectionTable table, int row, int column);
// The cells of a table, row after row.
std::vector<float> TableValues(const CorrectionTables& tables, CorrectionTable table);
// Sets the cells of a table, row after row; false (nothing set) unless
// there are exactly rows × columns values.
bool SetTableValues(CorrectionTables& tables, CorrectionTable table, const std::vector<float>& values);

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
