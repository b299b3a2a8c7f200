// Velocity, rebound and strength rules of the ten standards.
#include "core/algorithm/standard_algorithms.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/algorithm/member_evaluation.h"

namespace korvane {
namespace {

constexpr int kSurfaceMethod = 1;  // "平测"
constexpr int kAngleMethod = 0;    // "角测"

// Single-precision power as the conversion formulas take it: computed in
// double, rounded once to float.
float PowF(float base, float exponent) {
  return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}

// V2: regression slope for a seven-point surface test, else the mean of L/T.
float RegressionOrMeanOfRatios(const CAlgorithm& algorithm, const float* distances, const float* times,
                               int testMethod, int count) {
  if (testMethod == kSurfaceMethod && count == kMaxVelocityPoints) {
    return RegressVelocity(distances, times, kMaxVelocityPoints);
  }
  return algorithm.CAlgorithm::CalcVelocity(distances, times, testMethod, count);
}

// V3: regression slope for a seven-point surface test, else ΣL/ΣT.
float RegressionOrRatioOfSums(const CAlgorithm& algorithm, const float* distances, const float* times,
                              int testMethod, int count) {
  if (testMethod == kSurfaceMethod && count == kMaxVelocityPoints) {
    return RegressVelocity(distances, times, kMaxVelocityPoints);
  }
  return algorithm.RatioOfSums(distances, times, std::min(count, kMaxVelocityPoints));
}

}  // namespace

std::vector<float> JoinLists(const StrengthLists& lists) {
  std::vector<float> joined;
  std::size_t total = 0;
  for (const auto& list : lists) total += list.size();
  joined.reserve(total);
  for (const auto& list : lists) joined.insert(joined.end(), list.begin(), list.end());
  return joined;
}

float ReboundOfSixteen(std::span<const int> readings) {
  if (readings.size() != 16) return 0.0f;
  std::array<float, 16> sorted{};
  for (std::size_t i = 0; i < 16; ++i) sorted[i] = static_cast<float>(readings[i]);
  std::sort(sorted.begin(), sorted.end());
  float sum = 0.0f;
  for (std::size_t i = 3; i <= 12; ++i) sum += sorted[i];
  return sum * 0.1f;
}

float ReboundOfFirstTen(std::span<const int> readings) {
  if (readings.size() != 16) return 0.0f;
  std::array<float, 10> sorted{};
  for (std::size_t i = 0; i < 10; ++i) sorted[i] = static_cast<float>(readings[i]);
  std::sort(sorted.begin(), sorted.end());
  float sum = 0.0f;
  for (std::size_t i = 1; i <= 8; ++i) sum += sorted[i];
  return sum / 8.0f;
}

float PowerLawStrength(float va, float rc, float a, float b, float c) {
  if (va < 1e-8 || rc < 1e-8) return 0.0f;
  const float p = PowF(va, b);
  const double q = static_cast<double>(p) * static_cast<double>(a);
  const float r = PowF(rc, c);
  return static_cast<float>(static_cast<double>(r) * q);
}

// ---- Shared behaviour of the two groups -------------------------------------

float GeneralStandardAlgorithm::AngleCorrection(float r, int angle) const {
  return CoarseAngleCorrection(tables(), r, angle);
}

float GeneralStandardAlgorithm::SurfaceCorrection(float r, int surface) const {
  return CoarseSurfaceCorrection(tables(), r, surface);
}

float GeneralStandardAlgorithm::BatchEstimate(const StrengthLists& lists, int& flag) const {
  return GeneralBatchEstimate(*this, lists, flag);
}

float GeneralStandardAlgorithm::MemberEstimate(std::span<const float> values, int& flag) const {
  return GeneralMemberEstimate(*this, values, flag);
}

float RailwayStandardAlgorithm::CorrectVelocity(float velocity, int testMethod, float lambda,
                                                float beta) const {
  if (testMethod == kAngleMethod) return velocity;
  return CAlgorithm::CorrectVelocity(velocity, testMethod, lambda, beta);
}

float RailwayStandardAlgorithm::AngleCorrection(float r, int angle) const {
  return FineAngleCorrection(tables(), r, angle);
}

float RailwayStandardAlgorithm::SurfaceCorrection(float r, int surface) const {
  return FineSurfaceCorrection(tables(), r, surface);
}

float RailwayStandardAlgorithm::BatchEstimate(const StrengthLists& lists, int& flag) const {
  return TbBatchEstimate(*this, lists, flag);
}

float RailwayStandardAlgorithm::MemberEstimate(std::span<const float> values, int& flag) const {
  return TbMemberEstimate(*this, values, flag);
}

// ---- CECS 02:2005 ---------------------------------------------------------

float Algorithm_CECS02_2005::CalcVelocity(const float* distances, const float* times, int, int) const {
  if (distances == nullptr || times == nullptr) return 0.0f;
  // Always the first three points. A point without a first arrival (time 0)
  // leaves no usable velocity.
  if (times[0] == 0.0f || times[1] == 0.0f || times[2] == 0.0f) return 0.0f;
  float sum = distances[0] / times[0];
  sum += distances[1] / times[1];
  sum += distances[2] / times[2];
  return sum / 3.0f;
}

float Algorithm_CECS02_2005::CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d,
                                          bool custom, int, float, float eta, float) const {
  if (!custom) GetCoefficients(pebble, a, b, c, d);
  if (va < 1e-8 || rc < 1e-8) return 0.0f;
  // η scales the coefficient a inside the power law.
  const float p = PowF(va, b);
  const double q = static_cast<double>(p) * (static_cast<double>(a) * static_cast<double>(eta));
  const float r = PowF(rc, c);
  return static_cast<float>(static_cast<double>(r) * q);
}

void Algorithm_CECS02_2005::GetCoefficients(bool pebble, float& a, float& b, float& c, float&) const {
  if (pebble) {
    a = 0.0056f;
    b = 1.439f;
    c = 1.769f;
  } else {
    a = 0.0162f;
    b = 1.656f;
    c = 1.410f;
  }
}

// ---- TB10426-2004 ------------------------------------------------------------

float Algorithm_TB10426_2004::CalcVelocity(const float* distances, const float* times, int, int) const {
  if (distances == nullptr || times == nullptr) return 0.0f;
  float meanDistance = distances[0] + distances[1];
  meanDistance += distances[2];
  meanDistance = meanDistance / 3.0f;
  float timeSum = times[0] + times[1];
  timeSum += times[2];
  // No first arrival at all: no usable velocity.
  if (timeSum == 0.0f) return 0.0f;
  return meanDistance * 3.0f / timeSum;
}

float Algorithm_TB10426_2004::CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float,
                                           bool custom, int pumped, float carbonationDepth, float eta,
                                           float) const {
  if (!custom) {
    a = 0.0038f;
    b = pebble ? 1.23f : 1.72f;
    c = pebble ? 1.95f : 1.57f;
  }
  const float f = (va <= 1e-8 || rc <= 1e-8) ? 0.0f : PowerLawStrength(va, rc, a, b, c);
  const float v = f * eta;
  if (pumped == 0) return v;
  // Pumped concrete: table correction by carbonation depth and strength,
  // applied even to a zero strength.
  const CorrectionTables* t = tables();
  return t == nullptr ? v : v + CarbonTableValue(*t, carbonationDepth, v);
}

void Algorithm_TB10426_2004::GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const {
  a = 0.0038f;
  b = pebble ? 1.23f : 1.72f;
  c = pebble ? 1.95f : 1.57f;
  d = 0.0f;
}

// ---- CECS 02-2020 ------------------------------------------------------------

float CAlgorithm_CECS02_2020::CalcVelocity(const float* distances, const float* times, int testMethod,
                                           int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_CECS02_2020::CalcRebound(std::span<const int> readings) const {
  return ReboundOfFirstTen(readings);
}

float CAlgorithm_CECS02_2020::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                           float d, bool custom, int pumped, float carbonationDepth,
                                           float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) +
         deltaTot;
}

void CAlgorithm_CECS02_2020::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.0286f;
  b = 1.999f;
  c = 1.155f;
  d = 0.0f;
}

int CAlgorithm_CECS02_2020::ReadingCount() const { return 10; }

// ---- JTS 239-2015 --------------------------------------------------------------

float CAlgorithm_JTS239_2015::CalcVelocity(const float* distances, const float* times, int testMethod,
                                           int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_JTS239_2015::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                           float d, bool custom, int pumped, float carbonationDepth,
                                           float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) +
         deltaTot;
}

void CAlgorithm_JTS239_2015::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.008f;
  b = 1.72f;
  c = 1.57f;
  d = 0.0f;
}

// ---- TB 10426-2019 -------------------------------------------------------------

float CAlgorithm_TB10426_2019::CalcVelocity(const float* distances, const float* times, int testMethod,
                                            int count) const {
  return RegressionOrRatioOfSums(*this, distances, times, testMethod, count);
}

float CAlgorithm_TB10426_2019::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                            float d, bool custom, int pumped, float carbonationDepth,
                                            float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) +
         deltaTot;
}

void CAlgorithm_TB10426_2019::GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const {
  if (pebble) {
    a = 0.0056f;
    b = 1.439f;
    c = 1.769f;
  } else {
    a = 0.0162f;
    b = 1.656f;
    c = 1.410f;
  }
  d = 0.0f;
}

// ---- DB51/T 1996-2015 ----------------------------------------------------------

float CAlgorithm_DB51T_1996_2015::CalcVelocity(const float* distances, const float* times, int testMethod,
                                               int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_DB51T_1996_2015::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                               float d, bool custom, int pumped, float carbonationDepth,
                                               float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) *
         eta;
}

void CAlgorithm_DB51T_1996_2015::GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const {
  if (pebble) {
    a = 0.0456f;
    b = 0.274f;
    c = 1.76f;
  } else {
    a = 0.0263f;
    b = 1.79f;
    c = 1.26f;
  }
  d = 0.0f;
}

// ---- DG/TJ08 2020-2007 -----------------------------------------------------------

float CAlgorithm_DGTJ08_2020_2007::CalcVelocity(const float* distances, const float* times, int testMethod,
                                                int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_DGTJ08_2020_2007::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                                float d, bool custom, int pumped, float carbonationDepth,
                                                float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) +
         deltaTot;
}

void CAlgorithm_DGTJ08_2020_2007::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.00846f;
  b = 2.273f;
  c = 1.382f;
  d = 0.0f;
}

// ---- DB61/T 1084-2017 -----------------------------------------------------------

float CAlgorithm_DB61T1084_2017::CalcVelocity(const float* distances, const float* times, int testMethod,
                                              int count) const {
  return RegressionOrRatioOfSums(*this, distances, times, testMethod, count);
}

float CAlgorithm_DB61T1084_2017::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                              float d, bool custom, int pumped, float carbonationDepth,
                                              float eta, float deltaTot) const {
  return CAlgorithm::CalcStrength(va, rc, pebble, a, b, c, d, custom, pumped, carbonationDepth, eta,
                                  deltaTot) *
         eta;
}

void CAlgorithm_DB61T1084_2017::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.01093f;
  b = 1.1581f;
  c = 1.744f;
  d = 0.0f;
}

// ---- Carbonation-term standards -------------------------------------------------

namespace {

// 10^(d·depth) · (fcu0·η), each step rounded to float; d is the standard's
// unless the coefficients are the member's own.
float CarbonationTermStrength(const CAlgorithm& algorithm, float va, float rc, bool pebble, float a, float b,
                              float c, float d, bool custom, float carbonationDepth, float eta) {
  if (!custom) algorithm.GetCoefficients(pebble, a, b, c, d);
  const float base = PowerLawStrength(va, rc, a, b, c);
  const float k = d * carbonationDepth;
  const float factor = static_cast<float>(std::pow(10.0, static_cast<double>(k)));
  const float scaled = base * eta;
  return factor * scaled;
}

}  // namespace

float CAlgorithm_DB37T2361_2013::CalcVelocity(const float* distances, const float* times, int testMethod,
                                              int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_DB37T2361_2013::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                              float d, bool custom, int, float carbonationDepth, float eta,
                                              float) const {
  return CarbonationTermStrength(*this, va, rc, pebble, a, b, c, d, custom, carbonationDepth, eta);
}

void CAlgorithm_DB37T2361_2013::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.00913f;
  b = 2.3476f;
  c = 1.313f;
  d = -0.0113f;
}

float CAlgorithm_DGJ32TJ144_2012::CalcVelocity(const float* distances, const float* times, int testMethod,
                                               int count) const {
  return RegressionOrMeanOfRatios(*this, distances, times, testMethod, count);
}

float CAlgorithm_DGJ32TJ144_2012::CalcStrength(float va, float rc, bool pebble, float a, float b, float c,
                                               float d, bool custom, int, float carbonationDepth, float eta,
                                               float) const {
  return CarbonationTermStrength(*this, va, rc, pebble, a, b, c, d, custom, carbonationDepth, eta);
}

void CAlgorithm_DGJ32TJ144_2012::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 0.01569f;
  b = 1.3038f;
  c = 1.5913f;
  d = -0.0056f;
}

}  // namespace korvane
