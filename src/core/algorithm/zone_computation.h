// Zone computation: from a zone's raw data (point distances and first
// arrivals, rebound readings, angle, surface) to its representative values
// and its strength conversion value, for one member's aggregate choice and
// coefficients. Shared by the document and the command-line calculator.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/data/records.h"

namespace korvane {

// Corrected rebound value Rc = (surfaceCorrection + angleCorrection) +
// reboundValue, added in this order in float.
float CorrectedRebound(const TestZone& zone);

// fcu,i (MPa) of a zone: Va (limited to 9999) and Rc through CalcStrength
// with the member's aggregate (Custom: the member's own coefficients),
// pumped switch and the zone's carbonation depth, η and Δ.
float ConvertStrength(const CAlgorithm& algorithm, const Member& member, const TestZone& zone);

// Transit times of the points: arrivalIndex × dT + delay for every point in
// the first min(pointCount, 7) slots that has samples, else 0.
void ComputePointTimes(TestZone& zone);

// Everything after the times, in order: point velocities (L/T, 0 for a zero
// time) and distances of the used slots, V, Va, R (unless typed by hand),
// angle and surface corrections (surface only when its code is >= 0), and
// strengthValue. Point times and amplitudes are left as they are.
void ComputeZoneFromTimes(const CAlgorithm& algorithm, const Member& member, TestZone& zone);

// pointDistance from the points, then V and Va (after a change of test
// method, position, β, λ or a distance).
void ComputeZoneVelocity(const CAlgorithm& algorithm, TestZone& zone);

// Positions of the three highest (first three) and three lowest (last three)
// of sixteen readings, for marking the dropped readings.
std::array<int, 6> ExtremeReadingPositions(const std::array<int, kReadingsPerZone>& readings);

// A typed representative rebound value is kept within 20.0 ... 50.0.
float ClampTypedRebound(float value);

// One zone given by its readings and its points' distances and times, as the
// calculator takes it.
struct ZoneCalculatorInput {
  std::array<int, kReadingsPerZone> readings{};
  std::vector<float> distances;  // mm, one per point (1..7)
  std::vector<float> times;      // us, same count as distances
  TestMethod testMethod = TestMethod::Surface;
  int angle = 0;
  Surface surface = Surface::None;
  float carbonationDepth = 1.0f;
  Aggregate aggregateType = Aggregate::CrushedStone;
  std::array<float, 4> coefficients{1.0f, 1.0f, 1.0f, 1.0f};
  float beta = 1.0f;
  float lambda = 1.0f;
  float eta = 1.0f;
  float deltaTot = 0.0f;
  bool pumped = false;
  std::optional<float> manualRebound;  // typed R (clamped), readings ignored
};

// The computed zone: points hold the distances (no samples), pointTime the
// given times, every derived value as ComputeZoneFromTimes leaves it. Point
// counts above 7 and unequal lists are cut to the shorter list and 7.
TestZone CalculateZone(const CAlgorithm& algorithm, const ZoneCalculatorInput& input);

}  // namespace korvane
