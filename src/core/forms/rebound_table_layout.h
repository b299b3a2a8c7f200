// The rebound table of the analysis screen: every test zone of a member as
// two rows, its rebound readings in pairs ("R1-R2" … "R15-R16", or up to
// "R9-R10" for a standard of ten readings), hammer angle and tested surface
// (chosen from lists), carbonation depth, the representative rebound value R
// and its corrections. The readings that R drops are marked yellow.
//
// Grid: row 0 headers, zone z in rows 2z+1 and 2z+2; column 0 the zone
// number (fixed, merged over the zone's two rows); g = readings / 2 reading
// columns; then angle, surface, carbonation, R, the two corrections and the
// corrected value, each merged over the zone's two rows. Reading i sits in
// column i/2 + 1, in the zone's first row when i is even.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/document_edits.h"
#include "core/forms/grid_layout.h"
#include "core/platform/error.h"

namespace korvane {

class CKorvaneDoc;
struct TestZone;

inline constexpr int kReboundRowHeight = 19;
inline constexpr int kReboundTwoLineHeaderHeight = 38;
// Header texts go on two lines when column 0 is narrower than this (pixels).
inline constexpr int kReboundNarrowColumn = 36;
// A missing (negative) reading is shown as this value.
inline constexpr int kMissingReadingShown = 35;
// Hammer angle list: entry i stores kAngleEntryValues[i] degrees.
inline constexpr std::array<std::string_view, 9> kAngleEntries = {"90",  "60",  "45",  "30", "0",
                                                                  "-30", "-45", "-60", "-90"};
inline constexpr std::array<int, 9> kAngleEntryValues = {90, 60, 45, 30, 0, -30, -45, -60, -90};
// Tested-surface list: entry i stores the surface of code i.
inline constexpr std::array<std::string_view, 3> kSurfaceEntries = {"侧面", "顶面", "底面"};
inline constexpr std::string_view kSurfaceUnknown = "未知";

// Angle (degrees) stored for list entry `entry`; 0 for an entry outside
// the list.
int AngleOfEntry(int entry);
// List entry of an angle; the "0" entry (4) for an angle not in the list.
int AngleEntryOf(int angle);
// Surface stored for list entry `entry` (0..2); None outside the list.
Surface SurfaceOfEntry(int entry);
// List entry of a surface, -1 for an unknown surface.
int SurfaceEntryOf(Surface surface);
// "侧面", "顶面", "底面", "未知" for any other value.
std::string_view SurfaceText(Surface surface);

// Readings per zone the current standard uses (16, or 10).
int ReboundReadingCount(const CKorvaneDoc& doc);

// Column indices for a reading count k (g = k / 2 reading columns).
struct ReboundColumns {
  int readingColumns = 8;
  int angle = 9;
  int surface = 10;
  int carbonation = 11;
  int rebound = 12;
  int angleCorrection = 13;
  int surfaceCorrection = 14;
  int corrected = 15;
  int count = 16;
};
ReboundColumns ReboundTableColumns(int readingCount);

// Column widths for client width w (negative taken as 0): column 0
// int(0.04·w); the six columns after the readings int(0.07·w) each; the
// reading columns share equally what w leaves after 7 × int(0.07·w) and
// int(0.04·w); the last column takes what is left.
std::vector<int> ReboundTableColumnWidths(int readingCount, int clientWidth);
// Whether the headers go on two lines (column 0 narrower than 36 pixels);
// the header row is then 38 pixels high instead of 19.
bool ReboundHeadersTwoLine(int clientWidth);

// Positions (0-based reading indices) of the readings the representative
// value drops, to be marked: none when R was typed by hand; the three
// highest and three lowest of sixteen (the document's MarkExtremes); for a
// standard of ten readings the lowest and the highest of the first ten.
std::vector<int> DroppedReadingPositions(const CKorvaneDoc& doc, const TestZone& zone);

// The table of member `member` for a view of client width w. Cells: zone
// number "%d" from 1; readings "%d" (a negative one shown as 35), editable,
// white with the dropped ones yellow unless R was typed (then the grid's own
// background); angle "%d" and surface text with their lists; carbonation
// depth and R "%.1f", editable; angle and surface corrections and the
// corrected value (surface + angle correction + R) "%.1f", read-only. Rows
// are selected in pairs; when the member is the current one the current
// zone's pair is selected. A member that does not exist gives the header
// row only.
GridLayout ReboundTableLayout(const CKorvaneDoc& doc, int member, int clientWidth);

// What a cell of the rebound table holds.
struct ReboundCell {
  enum class Kind {
    None,
    ZoneNumber,
    Reading,
    Angle,
    Surface,
    Carbonation,
    Rebound,
    AngleCorrection,
    SurfaceCorrection,
    Corrected
  };
  Kind kind = Kind::None;
  int zone = -1;
  int reading = -1;  // for Reading: 0-based index
};
ReboundCell ReboundCellAt(int readingCount, int zones, int row, int column);
// Grid cell of reading `reading` of zone `zone`.
struct GridPosition {
  int row = 0;
  int column = 0;
};
GridPosition ReboundReadingPosition(int zone, int reading);
// First grid row of zone `zone`.
inline int ReboundZoneRow(int zone) { return 2 * zone + 1; }

// The order of the field sheet, in which Enter and Tab move through the
// table: a zone's readings R1, R2 … Rk (k = readingCount), then its angle,
// surface and carbonation depth, then the next zone's R1. The cell after
// (backwards: before) cell (row, column) of a table of `zones` zones; a
// zone-number cell counts as before R1, the R and correction cells as after
// the carbonation depth. nullopt past either end and for a cell outside the
// zones' rows.
std::optional<GridPosition> ReboundEntryNext(int readingCount, int zones, int row, int column,
                                             bool backwards);

// A typed reading (typed_number.h: a whole number 0 … 99), or the field's
// message and the previous reading kept (the cell shows it, 35 when it is
// negative).
struct ReadingEntry {
  std::optional<int> value;  // the reading to store; empty when refused
  std::string message;       // to show; empty when accepted
  std::string text;          // the cell's text afterwards
};
ReadingEntry ReboundReadingEntry(std::string_view text, int previousReading);

// A typed representative rebound value (20.0 … 50.0) and its cell text
// "%.1f", or the message and the previous value's text. Storing it sets the
// zone's manual flag.
struct ReboundValueEntry {
  std::optional<float> value;
  std::string message;
  std::string text;
};
ReboundValueEntry ReboundTypedValueEntry(std::string_view text, float previousValue);

}  // namespace korvane
