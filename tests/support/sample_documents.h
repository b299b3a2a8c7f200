// In-memory documents with a file "open", for tests that need a whole
// document without reading a file: recognisable stored values for the
// report and export tests, and real waveforms for the waveform and editing
// tests.
#pragma once

#include <memory>
#include <vector>

#include "core/app/korvane_doc.h"

namespace korvane::testing {

// A copy of `samples` cut or lengthened to `count`, new samples `fill`.
inline SampleBuffer Resized(const SampleBuffer& samples, std::size_t count, std::uint16_t fill = 0) {
  std::vector<std::uint16_t> codes(samples.begin(), samples.end());
  codes.resize(count, fill);
  return SampleBuffer(std::move(codes));
}

// Zone z (0-based within its member) of a member: readings 30 + k + z % 5,
// angle -90 when z is odd else 0, surface 0, points with distances 200 + j
// mm and times 50.5 + j us, Rm 36.0 + z, corrections -1.2 and 0.5, V 4.123,
// Va 4.321, β 1.05, λ 0.98, η 0.95, fcu,i 30.0 + z.
TestZone MakeSampleZone(int z, int points);

// A document whose members have the given zone counts (zones of
// MakeSampleZone). Members are named "梁1", "梁2", ... with section indices
// 0, 1, ...; the report project information is filled in.
std::unique_ptr<CKorvaneDoc> MakeSampleDoc(const std::vector<int>& zoneCounts, int points = 3);

// One member per entry of `zonesPerMember` (named "M1", "M2", …,
// sectionIndex 0, 1, …), each zone with `pointsPerZone` points holding 16
// samples, distinct readings and results; report information filled in.
std::unique_ptr<CKorvaneDoc> MakeExportDoc(const std::vector<int>& zonesPerMember, int pointsPerZone = 3);

// Code of sample k of the test waveform: silence up to sample 60, then a
// decaying oscillation whose first peak (code 2048 + 900) lies at sample 64.
int TestWaveCode(int k);

// A document with one member "柱1" (512 samples at 0.5 us), `zones` zones of
// `points` points each (distance 200 mm, gain 2, delay 0, arrival at sample
// 60, amplitude at sample 64), test method "平测" on "侧面", under `standard`.
// The point readings of every zone are computed; zone 0 is current.
std::unique_ptr<CKorvaneDoc> MakeWaveformDoc(int zones, int points,
                                             Standard standard = Standard::CECS02_2005);

// A document for the editing tests, with a file "open" under `standard`:
// member 0 "柱1" (3 zones, custom aggregate, coefficients 0.02, 1.6, 1.4,
// 0.5) and member 1 "梁2" (2 zones, crushed stone, 0.03, 1.5, 1.3, 0.25),
// each with a section row; zones of 3 points with the test waveform
// (distance 200 + 10 j mm, arrival at sample 60 + 2 z + j), distinct
// readings, angles 0, -45, 90 and surfaces none, top, bottom by zone, "平测"
// on "侧面". Point readings, V and Va are computed; the strengths, member
// results and the batch result are stale on purpose (fcu,i 90 + z, member
// and batch figures 77), as a file's stored results may be.
std::unique_ptr<CKorvaneDoc> MakeEditingDoc(Standard standard = Standard::CECS02_2005);

}  // namespace korvane::testing
