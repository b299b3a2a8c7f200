// Default correction tables and their lookups.
#include "core/algorithm/correction_tables.h"

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {

constexpr std::array<std::array<float, kAngleColumns>, kCoarseRows> kDefaultAngle = {{
    {-6.0f, -5.0f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f},
    {-5.5f, -4.5f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f},
    {-5.0f, -4.0f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f},
    {-4.5f, -3.8f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f},
    {-4.0f, -3.5f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f},
    {-3.8f, -3.3f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f},
    {-3.5f, -3.0f, -2.5f, -1.5f, 1.0f, 1.5f, 2.0f, 2.5f},
}};

// Fine angle table: the first row is the coarse R = 20 row. Each later row
// moves a value 0.1 toward zero when its magnitude exceeds 4.0 (one step per
// row) or when it already stayed for one row (one step every second row).
void DeriveFineAngle(CorrectionTables& t) {
  t.fineAngle[0] = kDefaultAngle[0];
  for (std::size_t i = 1; i < static_cast<std::size_t>(kFineRows); ++i) {
    for (std::size_t c = 0; c < static_cast<std::size_t>(kAngleColumns); ++c) {
      const float previous = t.fineAngle[i - 1][c];
      const bool repeated = i >= 2 && previous == t.fineAngle[i - 2][c];
      if (std::fabs(previous) > 4.0f || repeated) {
        const double value = static_cast<double>(previous);
        t.fineAngle[i][c] = static_cast<float>(value < 0.0 ? value + 0.1 : value - 0.1);
      } else {
        t.fineAngle[i][c] = previous;
      }
    }
  }
}

// Surface column: 0 top (code 1), 1 bottom (code 2), -1 no correction.
int SurfaceColumn(Surface surface) {
  if (surface == Surface::Top) return 0;
  if (surface == Surface::Bottom) return 1;
  return -1;
}

}  // namespace

CorrectionTables CorrectionTables::Defaults() {
  CorrectionTables t;
  t.angle = kDefaultAngle;
  DeriveFineAngle(t);
  for (std::size_t k = 0; k < static_cast<std::size_t>(kCoarseRows); ++k) {
    const float step = 0.5f * static_cast<float>(k);
    t.surface[k][0] = std::max(0.0f, 2.5f - step);
    t.surface[k][1] = -3.0f + step;
  }
  for (std::size_t k = 0; k < static_cast<std::size_t>(kFineRows); ++k) {
    const double step = 0.1 * static_cast<double>(k);
    t.fineSurface[k][0] = static_cast<float>(std::max(0.0, 2.5 - step));
    t.fineSurface[k][1] = static_cast<float>(-3.0 + step);
  }
  for (std::size_t r = 0; r < 2; ++r) {
    for (std::size_t k = 0; k < 4; ++k) {
      t.carbon[r][k] = 4.5f - 1.5f * static_cast<float>(r) - 1.5f * static_cast<float>(k);
    }
  }
  return t;
}

int CoarseRow(float r) {
  for (int row = 0; row < kCoarseRows - 1; ++row) {
    if (static_cast<float>(20 + 5 * row) > r) return row;
  }
  return kCoarseRows - 1;
}

int FineRow(float r) {
  for (int row = 0; row < kFineRows - 1; ++row) {
    if (static_cast<float>(20 + row) > r) return row;
  }
  return kFineRows - 1;
}

int AngleColumn(int angle) {
  if (angle == 0) return -1;
  if (angle > 0) {
    if (angle < 45) return 3;  // +30
    if (angle < 60) return 2;  // +45
    if (angle < 90) return 1;  // +60
    return 0;                  // +90
  }
  if (angle > -45) return 4;  // -30
  if (angle > -60) return 5;  // -45
  if (angle > -90) return 6;  // -60
  return 7;                   // -90
}

float CarbonTableValue(const CorrectionTables& tables, float depth, float strength) {
  if (depth < 1.0f) {
    if (strength < 45.0f) return tables.carbon[0][0];
    if (strength < 50.0f) return tables.carbon[0][1];
    if (strength < 55.0f) return tables.carbon[0][2];
    return tables.carbon[0][3];
  }
  if (strength < 35.0f) return tables.carbon[1][0];
  if (strength < 40.0f) return tables.carbon[1][1];
  return tables.carbon[1][2];
}

float CoarseAngleCorrection(const CorrectionTables* tables, float r, int angle) {
  const int column = AngleColumn(angle);
  if (column < 0 || tables == nullptr) return 0.0f;
  return tables->angle[static_cast<std::size_t>(CoarseRow(r))][static_cast<std::size_t>(column)];
}

float CoarseSurfaceCorrection(const CorrectionTables* tables, float r, Surface surface) {
  const int column = SurfaceColumn(surface);
  if (column < 0 || tables == nullptr) return 0.0f;
  return tables->surface[static_cast<std::size_t>(CoarseRow(r))][static_cast<std::size_t>(column)];
}

float FineAngleCorrection(const CorrectionTables* tables, float r, int angle) {
  const int column = AngleColumn(angle);
  if (column < 0 || tables == nullptr) return 0.0f;
  return tables->fineAngle[static_cast<std::size_t>(FineRow(r))][static_cast<std::size_t>(column)];
}

float FineSurfaceCorrection(const CorrectionTables* tables, float r, Surface surface) {
  const int column = SurfaceColumn(surface);
  if (column < 0 || tables == nullptr) return 0.0f;
  return tables->fineSurface[static_cast<std::size_t>(FineRow(r))][static_cast<std::size_t>(column)];
}

const CorrectionTableInfo& InfoOf(CorrectionTable table) {
  for (const CorrectionTableInfo& info : kCorrectionTables) {
    if (info.table == table) return info;
  }
  return kCorrectionTables[0];
}

std::optional<CorrectionTable> TableNamed(std::string_view name) {
  for (const CorrectionTableInfo& info : kCorrectionTables) {
    if (info.name == name) return info.table;
  }
  return std::nullopt;
}

std::optional<CorrectionTable> TableReadBy(CorrectionTableKind kind, Standard standard) {
  const StandardTraits& traits = Traits(standard);
  const bool fine = traits.tables == TableFamily::Fine;
  switch (kind) {
    case CorrectionTableKind::Angle: return fine ? CorrectionTable::FineAngle : CorrectionTable::Angle;
    case CorrectionTableKind::Surface: return fine ? CorrectionTable::FineSurface : CorrectionTable::Surface;
    case CorrectionTableKind::Carbon: break;
  }
  if (traits.strength == StrengthRule::EtaThenCarbon) return CorrectionTable::Carbon;
  return std::nullopt;
}

namespace {

template <class Tables>
auto& CellOf(Tables& tables, CorrectionTable table, int row, int column) {
  const auto r = static_cast<std::size_t>(row);
  const auto c = static_cast<std::size_t>(column);
  switch (table) {
    case CorrectionTable::Angle: return tables.angle[r][c];
    case CorrectionTable::FineAngle: return tables.fineAngle[r][c];
    case CorrectionTable::Surface: return tables.surface[r][c];
    case CorrectionTable::FineSurface: return tables.fineSurface[r][c];
    case CorrectionTable::Carbon: break;
  }
  return tables.carbon[r][c];
}

}  // namespace

float& TableCell(CorrectionTables& tables, CorrectionTable table, int row, int column) {
  return CellOf(tables, table, row, column);
}

float TableCell(const CorrectionTables& tables, CorrectionTable table, int row, int column) {
  return CellOf(tables, table, row, column);
}

std::vector<float> TableValues(const CorrectionTables& tables, CorrectionTable table) {
  const CorrectionTableInfo& info = InfoOf(table);
  std::vector<float> values;
  values.reserve(info.Cells());
  for (int r = 0; r < info.rows; ++r) {
    for (int c = 0; c < info.columns; ++c) values.push_back(TableCell(tables, table, r, c));
  }
  return values;
}

bool SetTableValues(CorrectionTables& tables, CorrectionTable table, const std::vector<float>& values) {
  const CorrectionTableInfo& info = InfoOf(table);
  if (values.size() != info.Cells()) return false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int index = static_cast<int>(i);
    TableCell(tables, table, index / info.columns, index % info.columns) = values[i];
  }
  return true;
}

}  // namespace korvane
