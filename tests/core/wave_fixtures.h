// In-memory documents with synthetic waveforms for the waveform tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/app/korvane_doc.h"

namespace korvane::testing {

// A received pulse as the instrument records it: a quiet lead-in with a
// small offset and drift, then a decaying oscillation, plus deterministic
// noise. Codes stay within 0..4095.
inline std::vector<std::uint16_t> SyntheticWaveform(int count, unsigned seed, float intervalUs = 1.0f) {
  std::vector<std::uint16_t> codes(static_cast<std::size_t>(count));
  std::uint32_t state = seed * 2654435761u + 12345u;
  const double onset = 60.0;  // us
  for (int k = 0; k < count; ++k) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state >> 24) / 32.0 - 4.0;  // -4..4 codes
    const double t = k * static_cast<double>(intervalUs);
    double value = 30.0 + 0.2 * k + noise;
    if (t >= onset) {
      const double since = t - onset;
      value += 1500.0 * std::exp(-since / 80.0) * std::sin(2.0 * 3.141592653589793 * 0.05 * since);
    }
    const double code = std::clamp(std::round(2048.0 + value), 0.0, 4095.0);
    codes[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(code);
  }
  return codes;
}

// Makes the document hold one member with `zoneCount` zones of
// `pointCount` points each (every slot filled), with waveforms of
// `sampleCount` codes at `intervalUs`, and makes zone 0 current.
inline void FillDocument(CKorvaneDoc& doc, int pointCount, int sampleCount, float intervalUs,
                         int zoneCount = 1) {
  Member member = NewMember();
  member.sampleCount = sampleCount;
  member.sampleInterval = intervalUs;
  doc.members = {member};
  doc.zoneLists.clear();
  doc.zoneLists.emplace_back();
  for (int z = 0; z < zoneCount; ++z) {
    TestZone zone;
    zone.pointCount = pointCount;
    zone.sampleInterval = intervalUs;
    for (int j = 0; j < std::min(pointCount, kMaxPoints); ++j) {
      const std::vector<std::uint16_t> codes =
          SyntheticWaveform(sampleCount, static_cast<unsigned>(z * 10 + j + 1), intervalUs);
      zone.points[static_cast<std::size_t>(j)] =
          NewMeasuringPoint(j, 80, codes.data(), sampleCount, 0.0f, 200.0f, 10.0f, 60);
    }
    doc.zoneLists[0].push_back(std::move(zone));
  }
  doc.memberCount = 1;
  doc.currentMember = 0;
  doc.currentZone = 0;
  doc.currentPoint = 0;
}

}  // namespace korvane::testing
