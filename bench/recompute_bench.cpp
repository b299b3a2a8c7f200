// Recomputation speed: RecomputeAll over a synthetic file of 1,000 members ×
// 10 zones × 7 points, in zones per second. The floor pass touches the same
// zones and readings without computing, so the ratio of the two shows the
// cost of the evaluation itself.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/app/korvane_doc.h"
#include "core/standards/standards.h"

namespace {

constexpr int kMembers = 1000;
constexpr int kZonesPerMember = 10;
constexpr int kPoints = 7;
constexpr int kSamples = 64;

void FillDocument(korvane::CKorvaneDoc& doc, korvane::Standard standard) {
  std::vector<std::uint16_t> samples(kSamples, korvane::kZeroCode);
  for (int m = 0; m < kMembers; ++m) {
    korvane::Member member = korvane::NewMember();
    member.aggregateType = korvane::Aggregate::CrushedStone;
    doc.members.push_back(member);
    korvane::ZoneList& zones = doc.zoneLists.emplace_back();
    for (int z = 0; z < kZonesPerMember; ++z) {
      korvane::TestZone zone;
      zone.sampleInterval = 0.8f;
      zone.pointCount = kPoints;
      zone.testMethod = korvane::TestMethod::Surface;
      zone.angle = (z % 3 == 0) ? 90 : 0;
      zone.surface = static_cast<korvane::Surface>(z % 3);
      for (int j = 0; j < kPoints; ++j) {
        const float distance = 100.0f + 50.0f * static_cast<float>(j);
        const int arrival = 30 + 8 * j + (m + z) % 3;
        zone.points[static_cast<std::size_t>(j)] =
            korvane::NewMeasuringPoint(j, arrival, samples.data(), kSamples, 0.0f, distance, 1.0f, arrival);
      }
      for (int i = 0; i < korvane::kReadingsPerZone; ++i) {
        zone.rebound[static_cast<std::size_t>(i)] = 30 + (i * 7 + m + z) % 16;
      }
      zones.push_back(std::move(zone));
    }
  }
  doc.memberCount = kMembers;
  doc.currentMember = 0;
  doc.SetStandard(standard);
}

void BM_RecomputeAll(benchmark::State& state) {
  korvane::CKorvaneDoc doc;
  FillDocument(doc, static_cast<korvane::Standard>(state.range(0)));
  for (auto _ : state) {
    doc.RecomputeAll();
    benchmark::DoNotOptimize(doc.result.fcue);
  }
  state.counters["zones_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kMembers * kZonesPerMember, benchmark::Counter::kIsRate);
}
// CECS 02:2005 (three-point rule) and CECS 02-2020 (seven-point regression).
BENCHMARK(BM_RecomputeAll)
    ->Arg(korvane::IndexOf(korvane::Standard::CECS02_2005))
    ->Arg(korvane::IndexOf(korvane::Standard::CECS02_2020))
    ->Unit(benchmark::kMillisecond);

void BM_FloorTouchZones(benchmark::State& state) {
  korvane::CKorvaneDoc doc;
  FillDocument(doc, korvane::Standard::CECS02_2005);
  for (auto _ : state) {
    long sum = 0;
    for (const auto& zones : doc.zoneLists) {
      for (const korvane::TestZone& zone : zones) {
        for (int reading : zone.rebound) sum += reading;
        for (const auto& point : zone.points) sum += point->arrivalIndex;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["zones_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kMembers * kZonesPerMember, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FloorTouchZones)->Unit(benchmark::kMillisecond);

}  // namespace
