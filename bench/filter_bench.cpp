// Speed of the waveform filter on a 7-point zone of 4096 samples per point
// with both filters on, against a floor: one bare second-order recursion over
// the same number of samples. The ratio counter says how far the whole filter
// (lead-in ramp, low-pass, high-pass, code conversion) is from that floor.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "core/app/korvane_doc.h"
#include "core/wave/waveform_filter.h"

namespace {

using korvane::CKorvaneDoc;

constexpr int kPoints = 7;
constexpr int kSamples = 4096;
constexpr float kIntervalUs = 0.5f;

std::vector<std::uint16_t> Waveform(unsigned seed) {
  std::vector<std::uint16_t> codes(kSamples);
  std::uint32_t state = seed * 2654435761u + 1u;
  for (int k = 0; k < kSamples; ++k) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state >> 24) / 32.0 - 4.0;
    const double t = k * static_cast<double>(kIntervalUs);
    double value = 20.0 + noise;
    if (t > 100.0) value += 1500.0 * std::exp(-(t - 100.0) / 300.0) * std::sin(0.3 * (t - 100.0));
    codes[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(std::lround(2048.0 + value));
  }
  return codes;
}

void FillZone(CKorvaneDoc& doc) {
  korvane::Member member = korvane::NewMember();
  member.sampleCount = kSamples;
  member.sampleInterval = kIntervalUs;
  doc.members = {member};
  doc.zoneLists.clear();
  doc.zoneLists.emplace_back();
  korvane::TestZone zone;
  zone.pointCount = kPoints;
  zone.sampleInterval = kIntervalUs;
  for (int j = 0; j < kPoints; ++j) {
    const std::vector<std::uint16_t> codes = Waveform(static_cast<unsigned>(j + 1));
    zone.points[static_cast<std::size_t>(j)] =
        korvane::NewMeasuringPoint(j, 300, codes.data(), kSamples, 0.0f, 200.0f, 10.0f, 250);
  }
  doc.zoneLists[0].push_back(std::move(zone));
  doc.memberCount = 1;
  doc.currentMember = 0;
  doc.currentZone = 0;
  doc.highPassOn = true;
  doc.lowPassOn = true;
}

// The floor: one second-order recursion in single precision, in place, over
// kPoints buffers of kSamples values.
void BareRecursion(std::vector<std::vector<float>>& buffers) {
  const korvane::LowPassCoefficients c = korvane::ComputeLowPass(kIntervalUs * 1e-6f, 50000.0f);
  for (std::vector<float>& x : buffers) {
    float x1 = x[0];
    float x2 = x[0];
    float y1 = x[0];
    float y2 = x[0];
    for (float& v : x) {
      const float y = c.a1 * y1 - c.a2 * y2 + c.b0 * (v + 2.0f * x1 + x2);
      x2 = x1;
      x1 = v;
      y2 = y1;
      y1 = y;
      v = y;
    }
  }
}

std::vector<std::vector<float>> FloorBuffers() {
  std::vector<std::vector<float>> buffers;
  for (int j = 0; j < kPoints; ++j) {
    const std::vector<std::uint16_t> codes = Waveform(static_cast<unsigned>(j + 1));
    buffers.emplace_back(codes.begin(), codes.end());
    for (float& v : buffers.back()) v -= 2048.0f;
  }
  return buffers;
}

void SetRate(benchmark::State& state) {
  state.counters["samples_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kPoints * kSamples, benchmark::Counter::kIsRate);
}

void BM_FilterZoneWaveforms(benchmark::State& state) {
  CKorvaneDoc doc;
  FillZone(doc);
  for (auto _ : state) {
    doc.FilterZoneWaveforms();
    benchmark::ClobberMemory();
  }
  SetRate(state);
}
BENCHMARK(BM_FilterZoneWaveforms);

void BM_BareRecursionFloor(benchmark::State& state) {
  std::vector<std::vector<float>> buffers = FloorBuffers();
  for (auto _ : state) {
    BareRecursion(buffers);
    benchmark::DoNotOptimize(buffers.front().data());
    benchmark::ClobberMemory();
  }
  SetRate(state);
}
BENCHMARK(BM_BareRecursionFloor);

// Both in the same loop, timed apart, so the ratio comes from one run.
void BM_FilterVersusFloor(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  CKorvaneDoc doc;
  FillZone(doc);
  std::vector<std::vector<float>> buffers = FloorBuffers();
  double filterSeconds = 0.0;
  double floorSeconds = 0.0;
  for (auto _ : state) {
    const auto start = Clock::now();
    doc.FilterZoneWaveforms();
    benchmark::ClobberMemory();
    const auto middle = Clock::now();
    BareRecursion(buffers);
    benchmark::DoNotOptimize(buffers.front().data());
    benchmark::ClobberMemory();
    const auto end = Clock::now();
    filterSeconds += std::chrono::duration<double>(middle - start).count();
    floorSeconds += std::chrono::duration<double>(end - middle).count();
  }
  const double samples = static_cast<double>(state.iterations()) * kPoints * kSamples;
  state.counters["filter_samples_per_second"] = filterSeconds > 0 ? samples / filterSeconds : 0.0;
  state.counters["floor_samples_per_second"] = floorSeconds > 0 ? samples / floorSeconds : 0.0;
  state.counters["ratio_to_floor"] = floorSeconds > 0 ? filterSeconds / floorSeconds : 0.0;
}
BENCHMARK(BM_FilterVersusFloor);

}  // namespace
