// The document's waveform filter commands: both act on one zone of one
// member, on every point slot below the zone's point count.
#include <algorithm>
#include <array>

#include "core/app/korvane_doc.h"
#include "core/wave/point_readings.h"
#include "core/wave/waveform_filter.h"

namespace korvane {
namespace {

// Samples taken part in restore and filter: the member's sample count,
// never more than either buffer holds (none to restore while the loaded
// copy has not been kept: `samples` are then as loaded).
std::size_t FilterSampleCount(const Member& member, const MeasuringPoint& point) {
  const std::size_t held = std::min(point.samples.size(), point.unfilteredSamples.size());
  if (member.sampleCount <= 0) return 0;
  return std::min(static_cast<std::size_t>(member.sampleCount), held);
}

}  // namespace

void CKorvaneDoc::RestoreZoneWaveforms(int memberIndex, int zoneIndex) {
  TestZone* zone = Zone(memberIndex, zoneIndex);
  if (zone == nullptr || static_cast<std::size_t>(memberIndex) >= members.size()) return;
  const Member* member = &members[static_cast<std::size_t>(memberIndex)];
  const int used = zone->usedPointSlots();
  for (int j = 0; j < used; ++j) {
    MeasuringPoint* point = zone->point(j);
    if (point == nullptr || !point->hasSamples()) continue;
    const std::size_t count = FilterSampleCount(*member, *point);
    if (count > 0) std::copy_n(point->unfilteredSamples.begin(), count, point->samples.writableData());
  }
}

void CKorvaneDoc::FilterZoneWaveforms(int memberIndex, int zoneIndex) {
  TestZone* zone = Zone(memberIndex, zoneIndex);
  if (zone == nullptr || static_cast<std::size_t>(memberIndex) >= members.size()) return;
  const Member* member = &members[static_cast<std::size_t>(memberIndex)];
  // Corners in Hz, multiplied in single precision (0.015 kHz gives 15 Hz).
  const float highPassHz = highPassKHz * 1000.0f;
  const float lowPassHz = lowPassKHz * 1000.0f;

  // Waveforms of equal length are filtered together, up to kFilterLanes at
  // a time; each result is the same as filtering it alone. In place: the
  // filter reads each sample before it writes that index. Samples past the
  // member's count (if a buffer is longer) stay as they were.
  std::array<std::uint16_t*, kFilterLanes> group{};
  int grouped = 0;
  int groupCount = 0;
  const auto flush = [&]() {
    if (grouped > 0) {
      WaveformFilterLanes(group.data(), group.data(), grouped, groupCount, zone->sampleInterval, highPassOn,
                          highPassHz, lowPassOn, lowPassHz);
    }
    grouped = 0;
  };
  const int used = zone->usedPointSlots();
  for (int j = 0; j < used; ++j) {
    MeasuringPoint* point = zone->point(j);
    if (point == nullptr || !point->hasSamples()) continue;
    point->keepLoadedSamples();
    const int count = static_cast<int>(FilterSampleCount(*member, *point));
    if (grouped == kFilterLanes || (grouped > 0 && count != groupCount)) flush();
    group[static_cast<std::size_t>(grouped++)] = point->samples.writableData();
    groupCount = count;
  }
  flush();
  // The amplitude is read from the working copy, which just changed.
  RecomputePointReadings(*zone);
}

}  // namespace korvane
