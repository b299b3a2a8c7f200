#include "gui_test_support.h"

#include <cmath>
#include <vector>

#include "core/wave/point_readings.h"

namespace korvane::gui::test {

int TestWaveCode(int k) {
  if (k < 60) return 2048;
  const double t = k - 60;
  return 2048 + static_cast<int>(std::lround(900.0 * std::sin(t * 3.14159265 / 8.0) * std::exp(-t / 120.0)));
}

std::unique_ptr<CKorvaneDoc> MakeDocument(int zones, int points, int standard) {
  auto doc = std::make_unique<CKorvaneDoc>();
  Member member = NewMember();
  member.name = "柱1";
  member.sectionIndex = 0;
  member.sampleCount = 512;
  member.sampleInterval = 0.5f;
  doc->members.push_back(member);
  SectionPara section;
  section.sectionIndex = 0;
  section.gain = 2.0f;
  section.sampleInterval = 0.5f;
  section.sampleCount = 512;
  section.filterLow = 100.0f;
  section.filterHigh = 10.0f;
  doc->sections.push_back(section);

  std::vector<std::uint16_t> wave(512);
  for (int k = 0; k < 512; ++k)
    wave[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(TestWaveCode(k));
  ZoneList list;
  for (int z = 0; z < zones; ++z) {
    auto zone = NewTestZone();
    zone->zoneNumber = z + 1;
    zone->sampleInterval = 0.5f;
    zone->pointCount = points;
    zone->testMethod = kMethodSurface;
    zone->testLocation = "侧面";
    for (int j = 0; j < points; ++j) {
      zone->points[static_cast<std::size_t>(j)] =
          NewMeasuringPoint(j, 64, wave.data(), 512, 0.0f, 200.0f, 2.0f, 60);
    }
    RecomputePointReadings(*zone);
    list.push_back(std::move(zone));
  }
  doc->zoneLists.push_back(std::move(list));
  doc->memberCount = 1;
  doc->currentMember = 0;
  doc->currentZone = 0;
  doc->currentPoint = 0;
  doc->SetStandard(standard);
  return doc;
}

}  // namespace korvane::gui::test
