// The strength evaluation of one standard: velocity, rebound value, rebound
// corrections, strength conversion, member and batch statistics and
// estimates. The document holds one object, of the current standard; each
// operation follows the standard's row of the table (standards.h), so the
// rules of the ten standards are written once each, here and in
// member_evaluation.h.
//
// All arithmetic is in 32-bit floats with the rounding order of each rule;
// degenerate input gives 0, never an error. Validity of estimates travels in
// ResultFlag (records.h).
#pragma once

#include <span>
#include <vector>

#include "core/algorithm/correction_tables.h"
#include "core/data/records.h"
#include "core/standards/standards.h"

namespace korvane {

// One list of zone strength values per member.
using StrengthLists = std::vector<std::vector<float>>;

// The same strengths held once: every member's one after the other, member
// i's ending before ends[i] (MPa).
struct JoinedStrengths {
  std::vector<float> values;
  std::vector<std::size_t> ends;
  std::size_t memberCount() const { return ends.size(); }
  std::span<const float> member(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return {values.data() + begin, ends[i] - begin};
  }
};
JoinedStrengths JoinStrengths(const StrengthLists& lists);

// What the strength conversion of one zone takes.
struct StrengthInputs {
  float va = 0.0f;  // corrected velocity Va, km/s
  float rc = 0.0f;  // corrected rebound value Rc
  // Pebble takes the standard's pebble coefficients, Custom the member's own
  // (`own`), every other value the standard's crushed-stone coefficients.
  Aggregate aggregate = Aggregate::CrushedStone;
  PowerLawCoefficients own;
  bool pumped = false;
  float carbonationDepth = 0.0f;  // mm
  float eta = 1.0f;               // η, the factor correction
  float deltaTot = 0.0f;          // Δtot (MPa), the additive correction
};

class CAlgorithm {
 public:
  // `tables` is the document's current correction tables (not owned; must
  // outlive the object). Null: corrections read as 0.
  explicit CAlgorithm(Standard standard = Standard::CECS02_2020, const CorrectionTables* tables = nullptr)
      : standard_(standard), traits_(&Traits(standard)), tables_(tables) {}

  Standard standard() const { return standard_; }
  const StandardTraits& traits() const { return *traits_; }

  // Zone velocity V (km/s) from distances L (mm) and times T (us) of the
  // first `count` points (arrays of at least 7 entries), by the standard's
  // velocity rule. Null arrays give 0.
  float CalcVelocity(const float* distances, const float* times, TestMethod method, int count) const;
  // Va from V: V·λ·β, or V for the angle method under the railway standards.
  float CorrectVelocity(float velocity, TestMethod method, float lambda, float beta) const;
  // Representative rebound value R from 16 readings (0 unless 16): the ten
  // middle of sixteen, or under a ten-reading standard the eight middle of
  // the first ten.
  float CalcRebound(std::span<const int> readings) const;
  // ΔRα for rebound value r and hammer angle in degrees; ΔRs for surface
  // Top or Bottom (others 0); from the standard's table family.
  float AngleCorrection(float r, int angle) const;
  float SurfaceCorrection(float r, Surface surface) const;
  // fcu,i (MPa) by the standard's strength rule.
  float CalcStrength(const StrengthInputs& in) const;
  // The standard's coefficients for an aggregate: pebble or crushed stone
  // (a, b, c and d; d stays `memberD` where the standard has none of its own).
  PowerLawCoefficients StandardCoefficients(bool pebble, float memberD) const;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const;
  // Rebound readings per zone the standard uses (16, or 10).
  int ReadingCount() const { return traits_->readingsUsed; }

  // Statistics: minimum, maximum, mean (0 for none), sample standard
  // deviation (0 for fewer than two), and the same over all lists joined.
  float Minimum(std::span<const float> values) const;
  float Maximum(std::span<const float> values) const;
  float Mean(std::span<const float> values) const;
  float SafeMean(std::span<const float> values) const;
  float StdDev(std::span<const float> values) const;
  // Σa/Σb over i < count; 0 for null arrays, count <= 0 or |Σb| < 1e-5.
  float RatioOfSums(const float* a, const float* b, int count) const;

  // Member and batch estimates of the standard's family (member_evaluation.h).
  float MemberEstimate(std::span<const float> values, ResultFlag& flag) const;
  float BatchEstimate(const StrengthLists& lists, ResultFlag& flag) const;
  float BatchEstimate(const JoinedStrengths& strengths, ResultFlag& flag) const;

 private:
  Standard standard_;
  const StandardTraits* traits_;
  const CorrectionTables* tables_;
};

// ---- Building blocks of the rules ------------------------------------------

// Velocity arrays hold this many points; counts above it are cut to it.
inline constexpr int kMaxVelocityPoints = 7;

// Least-squares slope of L against T over n points; 0 when the fit fails.
float RegressVelocity(const float* distances, const float* times, int n);

// Mean of the values accumulated in extended precision, rounded to float;
// 0 for an empty list.
float MeanOf(std::span<const float> values);

// All lists joined in order.
std::vector<float> JoinLists(const StrengthLists& lists);

// R from 16 readings: sorted ascending, the ten middle values (positions
// 3..12) summed in float, times 0.1f. 0 unless exactly 16 readings.
float ReboundOfSixteen(std::span<const int> readings);

// R from the first 10 of 16 readings: sorted, lowest and highest dropped,
// the eight others summed in float and divided by 8. 0 unless exactly 16
// readings are given.
float ReboundOfFirstTen(std::span<const int> readings);

// a·Va^b·Rc^c with the rounding of the conversion: p = Va^b as float,
// q = p·a in double, r = Rc^c as float, result r·q as float. 0 when Va or Rc
// is below 1e-8.
float PowerLawStrength(float va, float rc, float a, float b, float c);

}  // namespace korvane
