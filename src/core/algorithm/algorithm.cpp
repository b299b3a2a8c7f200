// The rules of the standards, each written once and chosen by the
// standard's row of the table; plus the building blocks they share.
#include "core/algorithm/algorithm.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/algorithm/member_evaluation.h"

namespace korvane {
namespace {

// Single-precision power as the conversion formulas take it: computed in
// double, rounded once to float.
float PowF(float base, float exponent) {
  return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}

// Mean of L/T over the first min(count, 7) points, skipping points without a
// first arrival.
float MeanOfRatios(const float* distances, const float* times, int count) {
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

// The standard's coefficients unless the member's own are used.
PowerLawCoefficients UsedCoefficients(const CAlgorithm& algorithm, const StrengthInputs& in) {
  if (in.aggregate == Aggregate::Custom) return in.own;
  return algorithm.StandardCoefficients(in.aggregate == Aggregate::Pebble, in.own.d);
}

}  // namespace

// ---- Velocity --------------------------------------------------------------

float CAlgorithm::CalcVelocity(const float* distances, const float* times, TestMethod method,
                               int count) const {
  if (distances == nullptr || times == nullptr) return 0.0f;
  const bool regression = method == TestMethod::Surface && count == kMaxVelocityPoints;
  switch (traits_->velocity) {
    case VelocityRule::MeanOfFirstThree: {
      // Always the first three points. A point without a first arrival (time
      // 0) leaves no usable velocity.
      if (times[0] == 0.0f || times[1] == 0.0f || times[2] == 0.0f) return 0.0f;
      float sum = distances[0] / times[0];
      sum += distances[1] / times[1];
      sum += distances[2] / times[2];
      return sum / 3.0f;
    }
    case VelocityRule::RatioOfFirstThree: {
      float meanDistance = distances[0] + distances[1];
      meanDistance += distances[2];
      meanDistance = meanDistance / 3.0f;
      float timeSum = times[0] + times[1];
      timeSum += times[2];
      // No first arrival at all: no usable velocity.
      if (timeSum == 0.0f) return 0.0f;
      return meanDistance * 3.0f / timeSum;
    }
    case VelocityRule::RegressionOrMeanOfRatios:
      if (regression) return RegressVelocity(distances, times, kMaxVelocityPoints);
      return MeanOfRatios(distances, times, count);
    case VelocityRule::RegressionOrRatioOfSums:
      if (regression) return RegressVelocity(distances, times, kMaxVelocityPoints);
      return RatioOfSums(distances, times, std::min(count, kMaxVelocityPoints));
  }
  return 0.0f;
}

float CAlgorithm::CorrectVelocity(float velocity, TestMethod method, float lambda, float beta) const {
  if (traits_->angleKeepsVelocity && method == TestMethod::Angle) return velocity;
  const float corrected = velocity * lambda;
  return corrected * beta;
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

// ---- Rebound value and its corrections -----------------------------------------

float CAlgorithm::CalcRebound(std::span<const int> readings) const {
  return traits_->readingsUsed == 10 ? ReboundOfFirstTen(readings) : ReboundOfSixteen(readings);
}

float CAlgorithm::AngleCorrection(float r, int angle) const {
  return traits_->tables == TableFamily::Fine ? FineAngleCorrection(tables_, r, angle)
                                              : CoarseAngleCorrection(tables_, r, angle);
}

float CAlgorithm::SurfaceCorrection(float r, Surface surface) const {
  return traits_->tables == TableFamily::Fine ? FineSurfaceCorrection(tables_, r, surface)
                                              : CoarseSurfaceCorrection(tables_, r, surface);
}

// ---- Strength ----------------------------------------------------------------

PowerLawCoefficients CAlgorithm::StandardCoefficients(bool pebble, float memberD) const {
  PowerLawCoefficients k = pebble ? traits_->pebble : traits_->crushedStone;
  if (traits_->keepsMemberD) k.d = memberD;
  return k;
}

void CAlgorithm::GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const {
  const PowerLawCoefficients k = StandardCoefficients(pebble, d);
  a = k.a;
  b = k.b;
  c = k.c;
  d = k.d;
}

float CAlgorithm::CalcStrength(const StrengthInputs& in) const {
  const PowerLawCoefficients k = UsedCoefficients(*this, in);
  switch (traits_->strength) {
    case StrengthRule::EtaScalesA: {
      if (in.va < 1e-8 || in.rc < 1e-8) return 0.0f;
      // η scales the coefficient a inside the power law.
      const float p = PowF(in.va, k.b);
      const double q = static_cast<double>(p) * (static_cast<double>(k.a) * static_cast<double>(in.eta));
      const float r = PowF(in.rc, k.c);
      return static_cast<float>(static_cast<double>(r) * q);
    }
    case StrengthRule::EtaThenCarbon: {
      const float f = (in.va <= 1e-8 || in.rc <= 1e-8) ? 0.0f : PowerLawStrength(in.va, in.rc, k.a, k.b, k.c);
      const float v = f * in.eta;
      if (!in.pumped) return v;
      // Pumped concrete: table correction by carbonation depth and strength,
      // applied even to a zero strength.
      return tables_ == nullptr ? v : v + CarbonTableValue(*tables_, in.carbonationDepth, v);
    }
    case StrengthRule::PlusDeltaTot: return PowerLawStrength(in.va, in.rc, k.a, k.b, k.c) + in.deltaTot;
    case StrengthRule::TimesEta: return PowerLawStrength(in.va, in.rc, k.a, k.b, k.c) * in.eta;
    case StrengthRule::CarbonationTerm: {
      // 10^(d·depth) · (fcu0·η), each step rounded to float.
      const float base = PowerLawStrength(in.va, in.rc, k.a, k.b, k.c);
      const float exponent = k.d * in.carbonationDepth;
      const float factor = static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
      const float scaled = base * in.eta;
      return factor * scaled;
    }
  }
  return 0.0f;
}

// ---- Statistics and estimates --------------------------------------------------

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

float CAlgorithm::SafeMean(std::span<const float> values) const {
  return values.empty() ? 0.0f : Mean(values);
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

float CAlgorithm::MemberEstimate(std::span<const float> values, ResultFlag& flag) const {
  return traits_->estimate == EstimateFamily::Railway ? TbMemberEstimate(*this, values, flag)
                                                      : GeneralMemberEstimate(*this, values, flag);
}

float CAlgorithm::BatchEstimate(const StrengthLists& lists, ResultFlag& flag) const {
  return BatchEstimate(JoinStrengths(lists), flag);
}

float CAlgorithm::BatchEstimate(const JoinedStrengths& strengths, ResultFlag& flag) const {
  return traits_->estimate == EstimateFamily::Railway ? TbBatchEstimate(*this, strengths, flag)
                                                      : GeneralBatchEstimate(*this, strengths, flag);
}

JoinedStrengths JoinStrengths(const StrengthLists& lists) {
  JoinedStrengths joined;
  joined.values = JoinLists(lists);
  joined.ends.reserve(lists.size());
  std::size_t end = 0;
  for (const auto& list : lists) joined.ends.push_back(end += list.size());
  return joined;
}

// ---- Building blocks -------------------------------------------------------------

float MeanOf(std::span<const float> values) {
  if (values.empty()) return 0.0f;
  // Accumulated in extended precision; only the quotient is rounded.
  long double sum = 0.0L;
  for (float x : values) sum += x;
  return static_cast<float>(sum / static_cast<long double>(values.size()));
}

std::vector<float> JoinLists(const StrengthLists& lists) {
  std::vector<float> joined;
  std::size_t total = 0;
  for (const auto& list : lists) total += list.size();
  joined.reserve(total);
  for (const auto& list : lists) joined.insert(joined.end(), list.begin(), list.end());
  return joined;
}

namespace {

// Readings this large or larger (in size) could make a float sum round;
// below it every partial sum of up to sixteen of them is exact.
constexpr int kExactReading = 1 << 19;

// The sum of the first ten readings less their lowest and highest, when
// every one is below kExactReading in size: then it equals, as a float, the
// float sum of the sorted middle eight (every partial sum is an integer
// below 2^24). nullopt otherwise.
std::optional<int> MiddleEightOfTen(std::span<const int> readings) {
  const auto ten = readings.first(10);
  if (!std::all_of(ten.begin(), ten.end(), [](int x) { return x < kExactReading && x > -kExactReading; }))
    return std::nullopt;
  const auto [low, high] = std::minmax_element(ten.begin(), ten.end());
  int total = 0;
  for (int x : ten) total += x;
  return total - *low - *high;
}

// Batcher's odd-even merge sort of 16 values: 63 exchanges in ten rounds,
// whatever the values (no branch to mispredict).
constexpr int kNetworkSize = 16;
struct Exchange {
  std::uint8_t a;
  std::uint8_t b;
};
constexpr auto kSixteenNetwork = [] {
  std::array<Exchange, 63> network{};
  std::size_t count = 0;
  for (int p = 1; p < kNetworkSize; p <<= 1) {
    for (int k = p; k >= 1; k >>= 1) {
      for (int j = k % p; j + k < kNetworkSize; j += 2 * k) {
        for (int i = 0; i < k && i + j + k < kNetworkSize; ++i) {
          if ((i + j) / (2 * p) == (i + j + k) / (2 * p)) {
            network[count++] = {static_cast<std::uint8_t>(i + j), static_cast<std::uint8_t>(i + j + k)};
          }
        }
      }
    }
  }
  return network;
}();

// One exchange: the smaller value to position a. Readings are within
// ±kExactReading, so the difference cannot overflow; arithmetic, not a
// branch.
template <std::size_t kA, std::size_t kB>
inline void ExchangeInOrder(std::array<int, kNetworkSize>& v) {
  const int d = v[kB] - v[kA];
  const int lower = d & (d >> 31);  // d when v[kB] < v[kA], else 0
  v[kA] += lower;
  v[kB] -= lower;
}

template <std::size_t... kI>
void SortByNetwork(std::array<int, kNetworkSize>& v, std::index_sequence<kI...>) {
  (ExchangeInOrder<kSixteenNetwork[kI].a, kSixteenNetwork[kI].b>(v), ...);
}

}  // namespace

float ReboundOfSixteen(std::span<const int> readings) {
  if (readings.size() != 16) return 0.0f;
  // Integer readings: the sum of the middle ten, sorted as integers by a
  // network, is the float sum of the sorted middle ten.
  if (std::all_of(readings.begin(), readings.end(),
                  [](int x) { return x < kExactReading && x > -kExactReading; })) {
    std::array<int, kNetworkSize> v{};
    std::copy(readings.begin(), readings.end(), v.begin());
    SortByNetwork(v, std::make_index_sequence<kSixteenNetwork.size()>());
    int middle = 0;
    for (std::size_t i = 3; i <= 12; ++i) middle += v[i];
    return static_cast<float>(middle) * 0.1f;
  }
  std::array<float, 16> sorted{};
  for (std::size_t i = 0; i < 16; ++i) sorted[i] = static_cast<float>(readings[i]);
  std::sort(sorted.begin(), sorted.end());
  float sum = 0.0f;
  for (std::size_t i = 3; i <= 12; ++i) sum += sorted[i];
  return sum * 0.1f;
}

float ReboundOfFirstTen(std::span<const int> readings) {
  if (readings.size() != 16) return 0.0f;
  if (const std::optional<int> middle = MiddleEightOfTen(readings)) return static_cast<float>(*middle) / 8.0f;
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

}  // namespace korvane
