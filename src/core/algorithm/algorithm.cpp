// Base strength algorithm: the behaviour every standard inherits unless it
// replaces an operation, plus the regression fit and the factory.
#include "core/algorithm/algorithm.h"

#include <algorithm>
#include <cmath>

#include "core/algorithm/standard_algorithms.h"

namespace korvane {

float MeanOf(std::span<const float> values) {
  if (values.empty()) return 0.0f;
  // Accumulated in extended precision; only the quotient is rounded.
  long double sum = 0.0L;
  for (float x : values) sum += x;
  return static_cast<float>(sum / static_cast<long double>(values.size()));
}

float CAlgorithm::CalcVelocity(const float* distances, const float* times, int, int count) const {
  if (distances == nullptr || times == nullptr) return 0.0f;
  const int n = std::min(count, kMaxVelocityPoints);
  float sum = 0.0f;
  int used = 0;
  for (int i = 0; i < n; ++i) {
    // A time this small means "no first arrival": skip the point.
    if (std::fabs(times[i]) < 0.0001) continue;
    sum += distances[i] / times[i];
    ++used;
  }
  if (used == 0) return 0.0f;
  return sum / static_cast<float>(used);
}

float CAlgorithm::RatioOfSums(const float* a, const float* b, int count) const {
  if (a == nullptr || b == nullptr || count <= 0) return 0.0f;
  float sumA = 0.0f;
  float sumB = 0.0f;
  for (int i = 0; i < count; ++i) {
    sumA += a[i];
    sumB += b[i];
  }
  if (std::fabs(sumB) < 0.00001) return 0.0f;
  return sumA / sumB;
}

float CAlgorithm::CorrectVelocity(float velocity, int, float lambda, float beta) const {
  const float corrected = velocity * lambda;
  return corrected * beta;
}

float CAlgorithm::Minimum(std::span<const float> values) const {
  if (values.empty()) return 0.0f;
  float smallest = values[0];
  for (float x : values) {
    if (x < smallest) smallest = x;
  }
  return smallest;
}

float CAlgorithm::Maximum(std::span<const float> values) const {
  if (values.empty()) return 0.0f;
  float largest = values[0];
  for (float x : values) {
    if (x > largest) largest = x;
  }
  return largest;
}

float CAlgorithm::Mean(std::span<const float> values) const { return MeanOf(values); }

float CAlgorithm::CalcRebound(std::span<const int> readings) const { return ReboundOfSixteen(readings); }

float CAlgorithm::AngleCorrection(float, int) const { return 0.0f; }

float CAlgorithm::SurfaceCorrection(float, int) const { return 0.0f; }

float CAlgorithm::CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d,
                               bool custom, int, float, float, float) const {
  if (!custom) GetCoefficients(pebble, a, b, c, d);
  return PowerLawStrength(va, rc, a, b, c);
}

float CAlgorithm::BatchMean(const StrengthLists& lists) const {
  const std::vector<float> joined = JoinLists(lists);
  return SafeMean(joined);
}

float CAlgorithm::SafeMean(std::span<const float> values) const {
  return values.empty() ? 0.0f : Mean(values);
}

float CAlgorithm::BatchStdDev(const StrengthLists& lists) const {
  const std::vector<float> joined = JoinLists(lists);
  return StdDev(joined);
}

float CAlgorithm::StdDev(std::span<const float> values) const {
  const float mean = SafeMean(values);
  const std::size_t n = values.size();
  if (n <= 1) return 0.0f;
  float sumSquares = 0.0f;
  for (float x : values) sumSquares += x * x;
  const float count = static_cast<float>(n);
  const float meanTerm = count * mean * mean;
  const float variance = (sumSquares - meanTerm) / static_cast<float>(n - 1);
  // Equal values can leave a tiny negative variance after rounding; its root
  // would be NaN.
  if (!(variance > 0.0f)) return 0.0f;
  return static_cast<float>(std::pow(static_cast<double>(variance), 0.5));
}

float CAlgorithm::BatchEstimate(const StrengthLists&, int& flag) const {
  flag = kResultValid;
  return 0.0f;
}

float CAlgorithm::MemberEstimate(std::span<const float>, int& flag) const {
  flag = kResultValid;
  return 0.0f;
}

void CAlgorithm::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 1.0f;
  b = 0.0f;
  c = 0.0f;
  d = 0.0f;
}

int CAlgorithm::ReadingCount() const { return 16; }

float RegressVelocity(const float* distances, const float* times, int n) {
  if (distances == nullptr || times == nullptr || n <= 0) return 0.0f;
  const std::span<const float> l(distances, static_cast<std::size_t>(n));
  const std::span<const float> t(times, static_cast<std::size_t>(n));
  const float meanL = MeanOf(l);
  const float meanT = MeanOf(t);
  float sxy = 0.0f;
  float sxx = 0.0f;
  for (int i = 0; i < n; ++i) {
    sxy += t[static_cast<std::size_t>(i)] * l[static_cast<std::size_t>(i)];
    sxx += t[static_cast<std::size_t>(i)] * t[static_cast<std::size_t>(i)];
  }
  const float count = static_cast<float>(n);
  const float denominator = sxx - count * meanT * meanT;
  if (std::fabs(denominator) < 0.0001) return 0.0f;
  const float numerator = sxy - meanL * count * meanT;
  return numerator / denominator;
}

std::unique_ptr<CAlgorithm> CreateAlgorithm(int index, const CorrectionTables* tables) {
  switch (index) {
    case 0: return std::make_unique<Algorithm_CECS02_2005>(tables);
    case 1: return std::make_unique<Algorithm_TB10426_2004>(tables);
    case 2: return std::make_unique<CAlgorithm_CECS02_2020>(tables);
    case 3: return std::make_unique<CAlgorithm_JTS239_2015>(tables);
    case 4: return std::make_unique<CAlgorithm_TB10426_2019>(tables);
    case 5: return std::make_unique<CAlgorithm_DB51T_1996_2015>(tables);
    case 6: return std::make_unique<CAlgorithm_DGTJ08_2020_2007>(tables);
    case 7: return std::make_unique<CAlgorithm_DB61T1084_2017>(tables);
    case 8: return std::make_unique<CAlgorithm_DB37T2361_2013>(tables);
    case 9: return std::make_unique<CAlgorithm_DGJ32TJ144_2012>(tables);
    default: return std::make_unique<CAlgorithm>(tables);
  }
}

}  // namespace korvane
