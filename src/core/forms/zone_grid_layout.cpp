#include "core/forms/zone_grid_layout.h"

#include <algorithm>
#include <cstddef>

#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"
#include "core/standards/standards.h"

namespace korvane {

namespace {

// More points than the grid has room for: the 7-point surface test.
constexpr int kMaxGridPoints = 6;

std::string PointHeader(char quantity, int point, std::string_view unit) {
  std::string text(1, quantity);
  text += FormatInt(point);
  text += unit;
  return text;
}

}  // namespace

int ZoneGridPointColumns(const CKorvaneDoc& doc, int member) {
  const TestZone* current = doc.Zone(member, doc.currentZone);
  if (current != nullptr && current->pointCount > kMaxGridPoints) return 0;
  const TestZone* first = doc.Zone(member, 0);
  const TestMethod method = first != nullptr ? first->testMethod : TestMethod::Direct;
  return PointsPerZone(method, doc.standard);
}

std::vector<int> ZoneGridColumnWidths(int columns, int clientWidth) {
  std::vector<int> widths(static_cast<std::size_t>(std::max(columns, 0)), 0);
  if (columns < 4) return widths;
  const int w = std::max(clientWidth, 0);
  const int a = static_cast<int>(0.04 * w);
  const int b = a * (columns - 3);
  const int third = std::max((w - b) / 3, 0);
  for (int c = 0; c < columns - 3; ++c) widths[static_cast<std::size_t>(c)] = a;
  widths[static_cast<std::size_t>(columns - 3)] = third;
  widths[static_cast<std::size_t>(columns - 2)] = third;
  widths[static_cast<std::size_t>(columns - 1)] = std::max(w - b - 2 * third, 0);
  return widths;
}

bool StrengthIsPlausible(float strength) { return strength >= 0.0f && strength <= 200.0f; }

std::string ImplausibleStrengthNote(const ZoneLists& zoneLists, const std::vector<Member>& members) {
  for (std::size_t m = 0; m < zoneLists.size() && m < members.size(); ++m) {
    for (std::size_t z = 0; z < zoneLists[m].size(); ++z) {
      const float strength = zoneLists[m][z].strengthValue;
      if (StrengthIsPlausible(strength)) continue;
      return "构件“" + members[m].name + "”测区" + std::to_string(z + 1) + "的强度换算值" +
             FormatFixed(strength, 1) + "MPa超出0～200MPa，请检查系数";
    }
  }
  return {};
}

std::string StrengthCellText(Standard standard, float strength) {
  if (!StrengthIsPlausible(strength)) return "!" + FormatFixed(strength, 1);
  if (Traits(standard).gridShowsLimits) {
    if (strength < 10.0f) return "<10MPa";
    if (strength > 70.0f) return ">70MPa";
  }
  return FormatFixed(strength, 1);
}

GridLayout ZoneGridLayout(const CKorvaneDoc& doc, int member, int clientWidth) {
  const int g = ZoneGridPointColumns(doc, member);
  const int zones = doc.ZoneCount(member);
  const int columns = 2 * g + 4;
  GridLayout layout = GridLayout::Sized(zones + 1, columns, 1, 1);
  layout.background = kWhite;
  layout.rowSelection = true;
  std::fill(layout.rowHeights.begin(), layout.rowHeights.end(), kZoneGridRowHeight);
  layout.columnWidths = ZoneGridColumnWidths(columns, clientWidth);

  layout.At(0, 0).text = "测区";
  const bool twoLines = g > 0 && layout.columnWidths[1] < kZoneGridOneLineHeadWidth;
  if (twoLines) layout.rowHeights[0] = 2 * kZoneGridRowHeight;
  for (int j = 1; j <= g; ++j) {
    layout.At(0, 2 * j - 1).text = PointHeader('L', j, twoLines ? "\n(mm)" : "(mm)");
    layout.At(0, 2 * j).text = PointHeader('T', j, twoLines ? "\n(μs)" : "(μs)");
  }
  layout.At(0, ZoneGridVelocityColumn(columns)).text = "V(km/s)";
  layout.At(0, ZoneGridCorrectedVelocityColumn(columns)).text = "Va(km/s)";
  layout.At(0, ZoneGridStrengthColumn(columns)).text = "fcui(MPa)";

  for (int z = 0; z < zones; ++z) {
    const TestZone* zone = doc.Zone(member, z);
    const int row = z + 1;
    layout.At(row, 0).text = FormatInt(z + 1);
    if (zone == nullptr) continue;
    const int points = zone->usedPointSlots();
    for (int j = 0; j < g && j < points; ++j) {
      const MeasuringPoint* point = zone->point(j);
      if (point == nullptr) continue;
      GridCell& distance = layout.At(row, ZoneGridDistanceColumn(j));
      distance.text = FormatFixed(point->distance, 0);
      distance.editable = zone->pointCount <= kMaxGridPoints;
      layout.At(row, ZoneGridTimeColumn(j)).text =
          FormatFixed(zone->pointTime[static_cast<std::size_t>(j)], 1);
    }
    layout.At(row, ZoneGridVelocityColumn(columns)).text = FormatFixed(zone->zoneVelocity, 3);
    layout.At(row, ZoneGridCorrectedVelocityColumn(columns)).text = FormatFixed(zone->correctedVelocity, 3);
    layout.At(row, ZoneGridStrengthColumn(columns)).text =
        StrengthCellText(doc.standard, zone->strengthValue);
  }

  if (member == doc.currentMember && doc.currentZone >= 0 && doc.currentZone < zones) {
    layout.selection = GridRange{doc.currentZone + 1, 1, doc.currentZone + 1, columns - 1};
  }
  return layout;
}

std::optional<int> ZoneGridPointOfColumn(int columns, int column) {
  if (columns < 6 || column < 1 || column >= columns - 3) return std::nullopt;
  return (column - 1) / 2;
}

std::optional<ZoneGridPointCell> ZoneGridDistanceCell(int pointColumns, int zones, int row, int column) {
  if (row < 1 || row > zones || column < 1 || column >= 2 * pointColumns + 1 || column % 2 == 0) {
    return std::nullopt;
  }
  return ZoneGridPointCell{row - 1, (column - 1) / 2};
}

DistanceEntry ZoneGridDistanceEntry(std::string_view text, float previousDistance) {
  DistanceEntry entry;
  const TypedNumber typed = ReadTypedNumber(text, TypedField::Distance);
  entry.distance = typed.value;
  entry.message = typed.message;
  entry.text = FormatFixed(entry.distance.value_or(previousDistance), 0);
  return entry;
}

}  // namespace korvane
