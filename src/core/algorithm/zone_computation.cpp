#include "core/algorithm/zone_computation.h"

#include <algorithm>
#include <numeric>

namespace korvane {
namespace {

// Largest Va the strength formulas take (km/s); larger values come from
// nonsense times and are cut here.
constexpr float kMaxCorrectedVelocity = 9999.0f;

void ComputePointVelocities(TestZone& zone) {
  const int used = zone.usedPointSlots();
  for (std::size_t j = 0; j < static_cast<std::size_t>(kMaxPoints); ++j) {
    const MeasuringPoint* point = static_cast<int>(j) < used ? zone.point(static_cast<int>(j)) : nullptr;
    if (point == nullptr) {
      zone.pointVelocity[j] = 0.0f;
      zone.pointDistance[j] = 0.0f;
      continue;
    }
    const float time = zone.pointTime[j];
    // Display only: a zero time has no usable velocity.
    zone.pointVelocity[j] = time != 0.0f ? point->distance / time : 0.0f;
    zone.pointDistance[j] = point->distance;
  }
}

void RefreshPointDistances(TestZone& zone) {
  const int used = zone.usedPointSlots();
  for (std::size_t j = 0; j < static_cast<std::size_t>(kMaxPoints); ++j) {
    const MeasuringPoint* point = static_cast<int>(j) < used ? zone.point(static_cast<int>(j)) : nullptr;
    zone.pointDistance[j] = point != nullptr ? point->distance : 0.0f;
  }
}

void ComputeVelocities(const CAlgorithm& algorithm, TestZone& zone) {
  zone.zoneVelocity = algorithm.CalcVelocity(zone.pointDistance.data(), zone.pointTime.data(),
                                             zone.testMethod, zone.pointCount);
  zone.correctedVelocity =
      algorithm.CorrectVelocity(zone.zoneVelocity, zone.testMethod, zone.lambda, zone.beta);
}

}  // namespace

float CorrectedRebound(const TestZone& zone) {
  const float corrections = zone.surfaceCorrection + zone.angleCorrection;
  return corrections + zone.reboundValue;
}

float ConvertStrength(const CAlgorithm& algorithm, const Member& member, const TestZone& zone) {
  float va = zone.correctedVelocity;
  if (va > kMaxCorrectedVelocity) va = kMaxCorrectedVelocity;
  return algorithm.CalcStrength({.va = va,
                                 .rc = CorrectedRebound(zone),
                                 .aggregate = member.aggregateType,
                                 .own = {member.coefA, member.coefB, member.coefC, member.coefD},
                                 .pumped = member.pumped,
                                 .carbonationDepth = zone.carbonationDepth,
                                 .eta = zone.eta,
                                 .deltaTot = zone.deltaTot});
}

void ComputePointTimes(TestZone& zone) {
  const int used = zone.usedPointSlots();
  for (std::size_t j = 0; j < static_cast<std::size_t>(kMaxPoints); ++j) {
    const MeasuringPoint* point = static_cast<int>(j) < used ? zone.point(static_cast<int>(j)) : nullptr;
    if (point != nullptr && point->hasSamples()) {
      zone.pointTime[j] = static_cast<float>(point->arrivalIndex) * zone.sampleInterval + zone.delay;
    } else {
      zone.pointTime[j] = 0.0f;
    }
  }
}

void ComputeZoneFromTimes(const CAlgorithm& algorithm, const Member& member, TestZone& zone) {
  ComputePointVelocities(zone);
  ComputeVelocities(algorithm, zone);
  if (zone.reboundManual == 0) zone.reboundValue = algorithm.CalcRebound(zone.rebound);
  // Both corrections are looked up with the uncorrected R.
  zone.angleCorrection = algorithm.AngleCorrection(zone.reboundValue, zone.angle);
  zone.surfaceCorrection = static_cast<int>(zone.surface) >= 0
                               ? algorithm.SurfaceCorrection(zone.reboundValue, zone.surface)
                               : 0.0f;
  zone.strengthValue = ConvertStrength(algorithm, member, zone);
}

void ComputeZoneVelocity(const CAlgorithm& algorithm, TestZone& zone) {
  RefreshPointDistances(zone);
  ComputeVelocities(algorithm, zone);
}

std::array<int, 6> ExtremeReadingPositions(const std::array<int, kReadingsPerZone>& readings) {
  std::array<int, 6> kept{};
  std::iota(kept.begin(), kept.end(), 0);
  // Highest first; equal readings keep the lower position first.
  std::stable_sort(kept.begin(), kept.end(), [&](int a, int b) {
    return readings[static_cast<std::size_t>(a)] > readings[static_cast<std::size_t>(b)];
  });
  const auto reading = [&](int position) { return readings[static_cast<std::size_t>(position)]; };
  for (int k = 6; k < kReadingsPerZone; ++k) {
    // Smallest of the kept highest (earliest on ties).
    std::size_t low = 0;
    for (std::size_t i = 1; i < 3; ++i) {
      if (reading(kept[i]) < reading(kept[low])) low = i;
    }
    if (reading(kept[low]) < reading(k)) {
      kept[low] = k;
      continue;
    }
    // Largest of the kept lowest (earliest on ties).
    std::size_t high = 3;
    for (std::size_t i = 4; i < 6; ++i) {
      if (reading(kept[i]) > reading(kept[high])) high = i;
    }
    if (reading(kept[high]) > reading(k)) kept[high] = k;
  }
  return kept;
}

float ClampTypedRebound(float value) { return std::clamp(value, 20.0f, 50.0f); }

TestZone CalculateZone(const CAlgorithm& algorithm, const ZoneCalculatorInput& input) {
  TestZone zone;
  const std::size_t n =
      std::min({input.distances.size(), input.times.size(), static_cast<std::size_t>(kMaxPoints)});
  zone.pointCount = static_cast<int>(n);
  for (std::size_t j = 0; j < n; ++j) {
    zone.points[j] = NewMeasuringPoint(static_cast<int>(j), 0, nullptr, 0, 0.0f, input.distances[j], 1.0f, 0);
    zone.pointTime[j] = input.times[j];
  }
  zone.rebound = input.readings;
  zone.testMethod = input.testMethod;
  zone.angle = input.angle;
  zone.surface = input.surface;
  zone.carbonationDepth = input.carbonationDepth;
  zone.beta = input.beta;
  zone.lambda = input.lambda;
  zone.eta = input.eta;
  zone.deltaTot = input.deltaTot;
  if (input.manualRebound) {
    zone.reboundManual = 1;
    zone.reboundValue = ClampTypedRebound(*input.manualRebound);
  }

  Member member = NewMember();
  member.aggregateType = input.aggregateType;
  member.coefA = input.coefficients[0];
  member.coefB = input.coefficients[1];
  member.coefC = input.coefficients[2];
  member.coefD = input.coefficients[3];
  member.pumped = input.pumped ? 1 : 0;

  ComputeZoneFromTimes(algorithm, member, zone);
  return zone;
}

}  // namespace korvane
