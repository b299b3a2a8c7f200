// The zone grid of the waveform view: one row per test zone of a member with
// the distance L (mm) and transit time T (us) of each measuring point, the
// zone velocity V, the corrected velocity Va (km/s) and the zone strength
// fcu,i (MPa). Only the L cells are editable.
//
// Layout: one header row and the zone-number column are fixed; g (L, T)
// column pairs, 2g + 4 columns; every row 19 pixels high (the header row 38
// when its heads take two lines); white background.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/records.h"
#include "core/forms/grid_layout.h"
#include "core/platform/error.h"
#include "core/standards/standards.h"

namespace korvane {

class CKorvaneDoc;

inline constexpr int kZoneGridRowHeight = 19;
// Point columns narrower than this (pixels) put their heads on two lines
// ("L1" over "(mm)") in a header row twice as high, so that no head is cut.
inline constexpr int kZoneGridOneLineHeadWidth = 60;

// Number of (L, T) column pairs g for a member: 0 when the member's zone
// with index `doc.currentZone` has more than 6 points (the 7-point surface
// test has no room for them); otherwise the points per zone of the member's
// first zone's test method (2 "对测" when the member has no zones) under the
// document's standard: 3, 4 (JTS 239-2015, not "平测") or 7 ("平测" under the
// standards after TB10426-2004).
int ZoneGridPointColumns(const CKorvaneDoc& doc, int member);

// Column widths (pixels) for a client width W (negative taken as 0): column
// 0 and each point column a = trunc(0.04 W); with b = a × (columns − 3), V
// and Va trunc((W − b) / 3) each and the last column the rest. Widths that
// would be negative in a very narrow view are 0.
std::vector<int> ZoneGridColumnWidths(int columns, int clientWidth);

// Text of a zone strength fcu,i (MPa) in the fcui(MPa) cell: a strength
// outside what concrete can have (StrengthIsPlausible) "!" and "%.1f"; under
// a standard whose grid shows the limits (CECS 02:2005) "<10MPa" below 10 and
// ">70MPa" above 70; otherwise "%.1f".
std::string StrengthCellText(Standard standard, float strength);

// A zone strength concrete can have: 0 … 200 MPa (custom coefficients can
// give any number).
bool StrengthIsPlausible(float strength);

// The status bar's note of the first zone (member by member) whose strength
// is not plausible: "构件“梁1”测区3的强度换算值250.3MPa超出0～200MPa，请检查
// 系数"; empty when there is none.
std::string ImplausibleStrengthNote(const ZoneLists& zoneLists, const std::vector<Member>& members);

// The grid of member `member` for a view of client width W. Cells: zone
// number "%d" from 1; L "%.0f" of each point's distance, T "%.1f" of
// pointTime; V, Va "%.3f" of the stored zoneVelocity and correctedVelocity
// (recompute them before building); fcui(MPa) as StrengthCellText. Point
// columns beyond a zone's own points are empty and read-only; L cells are
// editable when the zone has fewer than 7 points. When the member is the
// current one, the current zone's row is selected. A member that does not
// exist gives the header row only.
GridLayout ZoneGridLayout(const CKorvaneDoc& doc, int member, int clientWidth);

// Zone grid column c of a click that switches the current point: the point
// (c − 1) / 2 for 1 ≤ c < columns − 3; nullopt otherwise and for grids of
// fewer than 6 columns.
std::optional<int> ZoneGridPointOfColumn(int columns, int column);

// Columns of V, Va and fcui(MPa) in a zone grid of `columns` columns.
inline int ZoneGridVelocityColumn(int columns) { return columns - 3; }
inline int ZoneGridCorrectedVelocityColumn(int columns) { return columns - 2; }
inline int ZoneGridStrengthColumn(int columns) { return columns - 1; }

// The zone (row − 1) and point slot ((column − 1) / 2) of an L cell, when
// (row, column) is one in a grid with g point columns and `zones` rows.
struct ZoneGridPointCell {
  int zone = 0;
  int point = 0;
};
std::optional<ZoneGridPointCell> ZoneGridDistanceCell(int pointColumns, int zones, int row, int column);
// Grid column of point slot j's L and T cells.
inline int ZoneGridDistanceColumn(int point) { return 2 * point + 1; }
inline int ZoneGridTimeColumn(int point) { return 2 * point + 2; }

// A typed distance (0 … 10000 mm) and the text to write back ("%.0f"), or
// the field's message and the previous distance's text.
struct DistanceEntry {
  std::optional<float> distance;
  std::string message;
  std::string text;
};
DistanceEntry ZoneGridDistanceEntry(std::string_view text, float previousDistance);

}  // namespace korvane
