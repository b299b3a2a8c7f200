#include "core/forms/rebound_table_layout.h"

#include <algorithm>
#include <cstddef>

#include "core/algorithm/zone_computation.h"
#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"

namespace korvane {

namespace {

// Columns after the readings that take int(0.07·w) each; the last one takes
// the rest but is reserved at the same width.
constexpr int kValueColumns = 6;

std::string ReadingPairHeader(int pair) {
  return "R" + FormatInt(2 * pair + 1) + "-R" + FormatInt(2 * pair + 2);
}

std::string ReadingText(int reading) { return FormatInt(reading < 0 ? kMissingReadingShown : reading); }

}  // namespace

int AngleOfEntry(int entry) {
  if (entry < 0 || entry >= static_cast<int>(kAngleEntryValues.size())) return 0;
  return kAngleEntryValues[static_cast<std::size_t>(entry)];
}

int AngleEntryOf(int angle) {
  const auto* found = std::find(kAngleEntryValues.begin(), kAngleEntryValues.end(), angle);
  if (found == kAngleEntryValues.end()) return AngleEntryOf(0);
  return static_cast<int>(found - kAngleEntryValues.begin());
}

Surface SurfaceOfEntry(int entry) {
  return entry >= 0 && entry < static_cast<int>(kSurfaceEntries.size()) ? static_cast<Surface>(entry)
                                                                        : Surface::None;
}

int SurfaceEntryOf(Surface surface) {
  const int code = static_cast<int>(surface);
  return code >= 0 && code < static_cast<int>(kSurfaceEntries.size()) ? code : -1;
}

std::string_view SurfaceText(Surface surface) {
  const int entry = SurfaceEntryOf(surface);
  return entry < 0 ? kSurfaceUnknown : kSurfaceEntries[static_cast<std::size_t>(entry)];
}

int ReboundReadingCount(const CKorvaneDoc& doc) { return doc.algorithm.ReadingCount(); }

ReboundColumns ReboundTableColumns(int readingCount) {
  ReboundColumns c;
  c.readingColumns = std::clamp(readingCount, 0, kReadingsPerZone) / 2;
  c.angle = c.readingColumns + 1;
  c.surface = c.angle + 1;
  c.carbonation = c.surface + 1;
  c.rebound = c.carbonation + 1;
  c.angleCorrection = c.rebound + 1;
  c.surfaceCorrection = c.angleCorrection + 1;
  c.corrected = c.surfaceCorrection + 1;
  c.count = c.corrected + 1;
  return c;
}

std::vector<int> ReboundTableColumnWidths(int readingCount, int clientWidth) {
  const ReboundColumns c = ReboundTableColumns(readingCount);
  const int w = std::max(clientWidth, 0);
  const int first = static_cast<int>(0.04 * w);
  const int value = static_cast<int>(0.07 * w);
  const int reading =
      c.readingColumns > 0 ? std::max((w - (kValueColumns + 1) * value - first) / c.readingColumns, 0) : 0;
  std::vector<int> widths(static_cast<std::size_t>(c.count), value);
  widths[0] = first;
  for (int k = 1; k <= c.readingColumns; ++k) widths[static_cast<std::size_t>(k)] = reading;
  widths[static_cast<std::size_t>(c.corrected)] =
      std::max(w - first - c.readingColumns * reading - kValueColumns * value, 0);
  return widths;
}

bool ReboundHeadersTwoLine(int clientWidth) {
  return ReboundTableColumnWidths(kReadingsPerZone, clientWidth)[0] < kReboundNarrowColumn;
}

std::vector<int> DroppedReadingPositions(const CKorvaneDoc& doc, const TestZone& zone) {
  if (zone.reboundManual != 0) return {};
  if (ReboundReadingCount(doc) < kReadingsPerZone) {
    // Ten readings: R drops the lowest and the highest of the first ten.
    const auto first = zone.rebound.begin();
    const auto last = first + std::min(ReboundReadingCount(doc), kReadingsPerZone);
    if (last - first < 2) return {};
    const auto low = std::min_element(first, last);
    // The last of equal highest values, so that ten equal readings still
    // mark two cells.
    auto high = first;
    for (auto it = first; it != last; ++it) {
      if (*it >= *high) high = it;
    }
    return {static_cast<int>(low - first), static_cast<int>(high - first)};
  }
  std::array<int, 6> positions{};
  doc.MarkExtremes(zone.rebound, positions);
  return {positions.begin(), positions.end()};
}

GridLayout ReboundTableLayout(const CKorvaneDoc& doc, int member, int clientWidth) {
  const int readingCount = ReboundReadingCount(doc);
  const ReboundColumns c = ReboundTableColumns(readingCount);
  const int zones = doc.ZoneCount(member);
  GridLayout layout = GridLayout::Sized(2 * zones + 1, c.count, 1, 1);
  layout.rowSelection = true;
  layout.rowPairs = true;
  layout.columnWidths = ReboundTableColumnWidths(readingCount, clientWidth);
  const bool twoLine = ReboundHeadersTwoLine(clientWidth);
  std::fill(layout.rowHeights.begin(), layout.rowHeights.end(), kReboundRowHeight);
  layout.rowHeights[0] = twoLine ? kReboundTwoLineHeaderHeight : kReboundRowHeight;

  layout.At(0, 0).text = "测区";
  for (int k = 0; k < c.readingColumns; ++k) layout.At(0, k + 1).text = ReadingPairHeader(k);
  layout.At(0, c.angle).text = twoLine ? "测试\n角度" : "测试角度";
  layout.At(0, c.surface).text = twoLine ? "测试\n平面" : "测试平面";
  layout.At(0, c.carbonation).text = twoLine ? "碳化\n深度" : "碳化深度";
  layout.At(0, c.rebound).text = "R";
  layout.At(0, c.angleCorrection).text = twoLine ? "角度\n修正值" : "角度修正值";
  layout.At(0, c.surfaceCorrection).text = twoLine ? "测试面\n修正" : "测试面修正";
  layout.At(0, c.corrected).text = "修正";

  const std::vector<std::string> angleChoices(kAngleEntries.begin(), kAngleEntries.end());
  const std::vector<std::string> surfaceChoices(kSurfaceEntries.begin(), kSurfaceEntries.end());
  for (int z = 0; z < zones; ++z) {
    const int row = ReboundZoneRow(z);
    layout.At(row, 0).text = FormatInt(z + 1);
    for (int col = 0; col < c.count; ++col) {
      if (col == 0 || col > c.readingColumns) layout.merges.push_back(GridMerge{row, col, 2, 1});
    }
    const TestZone* zone = doc.Zone(member, z);
    if (zone == nullptr) continue;

    const bool marked = zone->reboundManual == 0;
    for (int i = 0; i < 2 * c.readingColumns; ++i) {
      const GridPosition at = ReboundReadingPosition(z, i);
      GridCell& cell = layout.At(at.row, at.column);
      cell.text = ReadingText(zone->rebound[static_cast<std::size_t>(i)]);
      cell.editable = true;
      if (marked) cell.background = kWhite;
    }
    if (marked) {
      for (int position : DroppedReadingPositions(doc, *zone)) {
        if (position >= 2 * c.readingColumns) continue;
        const GridPosition at = ReboundReadingPosition(z, position);
        layout.At(at.row, at.column).background = kDroppedReadingYellow;
      }
    }

    GridCell& angle = layout.At(row, c.angle);
    angle.text = FormatInt(zone->angle);
    angle.choices = angleChoices;
    GridCell& surface = layout.At(row, c.surface);
    surface.text = SurfaceText(zone->surface);
    surface.choices = surfaceChoices;
    GridCell& carbonation = layout.At(row, c.carbonation);
    carbonation.text = FormatFixed(zone->carbonationDepth, 1);
    carbonation.editable = true;
    GridCell& rebound = layout.At(row, c.rebound);
    rebound.text = FormatFixed(zone->reboundValue, 1);
    rebound.editable = true;
    layout.At(row, c.angleCorrection).text = FormatFixed(zone->angleCorrection, 1);
    layout.At(row, c.surfaceCorrection).text = FormatFixed(zone->surfaceCorrection, 1);
    layout.At(row, c.corrected).text = FormatFixed(CorrectedRebound(*zone), 1);
  }

  if (member == doc.currentMember && doc.currentZone >= 0 && doc.currentZone < zones) {
    const int row = ReboundZoneRow(doc.currentZone);
    layout.selection = GridRange{row, 1, row + 1, c.count - 1};
  }
  return layout;
}

ReboundCell ReboundCellAt(int readingCount, int zones, int row, int column) {
  const ReboundColumns c = ReboundTableColumns(readingCount);
  ReboundCell cell;
  if (row < 1 || row > 2 * zones || column < 0 || column >= c.count) return cell;
  cell.zone = (row - 1) / 2;
  const bool firstRow = (row - 1) % 2 == 0;
  using Kind = ReboundCell::Kind;
  if (column == 0) {
    cell.kind = Kind::ZoneNumber;
  } else if (column <= c.readingColumns) {
    cell.kind = Kind::Reading;
    cell.reading = 2 * (column - 1) + (firstRow ? 0 : 1);
  } else if (column == c.angle) {
    cell.kind = Kind::Angle;
  } else if (column == c.surface) {
    cell.kind = Kind::Surface;
  } else if (column == c.carbonation) {
    cell.kind = Kind::Carbonation;
  } else if (column == c.rebound) {
    cell.kind = Kind::Rebound;
  } else if (column == c.angleCorrection) {
    cell.kind = Kind::AngleCorrection;
  } else if (column == c.surfaceCorrection) {
    cell.kind = Kind::SurfaceCorrection;
  } else {
    cell.kind = Kind::Corrected;
  }
  return cell;
}

GridPosition ReboundReadingPosition(int zone, int reading) {
  return GridPosition{ReboundZoneRow(zone) + reading % 2, reading / 2 + 1};
}

std::optional<GridPosition> ReboundEntryNext(int readingCount, int zones, int row, int column,
                                             bool backwards) {
  const ReboundCell cell = ReboundCellAt(readingCount, zones, row, column);
  if (cell.kind == ReboundCell::Kind::None) return std::nullopt;
  const int k = readingCount;
  const int last = k + 2;  // the carbonation depth
  // Steps within a zone: readings 0 … k − 1, angle k, surface k + 1,
  // carbonation k + 2.
  int step = last + 1;
  switch (cell.kind) {
    case ReboundCell::Kind::ZoneNumber: step = -1; break;
    case ReboundCell::Kind::Reading: step = cell.reading; break;
    case ReboundCell::Kind::Angle: step = k; break;
    case ReboundCell::Kind::Surface: step = k + 1; break;
    case ReboundCell::Kind::Carbonation: step = last; break;
    default: break;
  }
  int zone = cell.zone;
  step += backwards ? -1 : 1;
  if (step < 0) {
    --zone;
    step = last;
  } else if (step > last) {
    ++zone;
    step = 0;
  }
  if (zone < 0 || zone >= zones) return std::nullopt;
  const ReboundColumns c = ReboundTableColumns(readingCount);
  if (step < k) return ReboundReadingPosition(zone, step);
  const int columns[] = {c.angle, c.surface, c.carbonation};
  return GridPosition{ReboundZoneRow(zone), columns[step - k]};
}

ReadingEntry ReboundReadingEntry(std::string_view text, int previousReading) {
  ReadingEntry entry;
  const TypedNumber typed = ReadTypedNumber(text, TypedField::Reading);
  if (typed.value) entry.value = static_cast<int>(*typed.value);
  entry.message = typed.message;
  entry.text = ReadingText(entry.value.value_or(previousReading));
  return entry;
}

ReboundValueEntry ReboundTypedValueEntry(std::string_view text, float previousValue) {
  ReboundValueEntry entry;
  const TypedNumber typed = ReadTypedNumber(text, TypedField::Rebound);
  entry.value = typed.value;
  entry.message = typed.message;
  entry.text = FormatFixed(entry.value.value_or(previousValue), 1);
  return entry;
}

}  // namespace korvane
