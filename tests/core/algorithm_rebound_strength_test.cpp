#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/algorithm/correction_tables.h"
#include "core/algorithm/zone_computation.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

using Readings = std::array<int, 16>;

Readings Consecutive(int first) {
  Readings r{};
  for (std::size_t i = 0; i < 16; ++i) r[i] = first + static_cast<int>(i);
  return r;
}

TEST(Rebound, SixteenReadingRule) {
  const CAlgorithm a(Standard::CECS02_2005, nullptr);
  EXPECT_EQ(a.CalcRebound(Consecutive(30)), 37.5f);
  Readings equal{};
  equal.fill(41);
  EXPECT_FLOAT_EQ(a.CalcRebound(equal), 41.0f);
  // Order does not matter; the three lowest and highest are dropped.
  const Readings shuffled = {45, 30, 44, 31, 43, 32, 42, 33, 41, 34, 40, 35, 39, 36, 38, 37};
  EXPECT_EQ(a.CalcRebound(shuffled), 37.5f);
  const Readings outliers = {0, 0, 0, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 99, 99, 99};
  EXPECT_FLOAT_EQ(a.CalcRebound(outliers), 40.0f);
  // Only exactly sixteen readings give a value.
  const std::vector<int> fifteen(15, 40);
  const std::vector<int> seventeen(17, 40);
  EXPECT_EQ(a.CalcRebound(fifteen), 0.0f);
  EXPECT_EQ(a.CalcRebound(seventeen), 0.0f);
  EXPECT_EQ(a.CalcRebound({}), 0.0f);
  // The sum times the float constant 0.1, not divided by 10.
  const Readings odd = {31, 31, 31, 33, 33, 33, 33, 33, 33, 33, 33, 33, 34, 34, 34, 34};
  EXPECT_EQ(a.CalcRebound(odd), 331.0f * 0.1f);
  EXPECT_NE(a.CalcRebound(odd), 331.0f / 10.0f);
}

// R from integer readings without sorting gives, bit for bit, the float
// sum of the sorted middle readings: over random sets in the readings'
// range and beyond it, ties, missing (-1) readings, and values too large
// for an exact float sum (the sorted sum then).
TEST(Rebound, IntegerRuleEqualsTheSortedSum) {
  const auto sorted = [](const Readings& r, std::size_t n, std::size_t drop, float scale, bool divide) {
    std::array<float, 16> v{};
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<float>(r[i]);
    std::sort(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n));
    float sum = 0.0f;
    for (std::size_t i = drop; i < n - drop; ++i) sum += v[i];
    return divide ? sum / scale : sum * scale;
  };
  const CAlgorithm sixteen(Standard::CECS02_2005, nullptr);
  const CAlgorithm ten(Standard::CECS02_2020, nullptr);
  std::vector<Readings> sets;
  std::uint64_t state = 12345;
  const auto next = [&state](int low, int high) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
    return static_cast<int>(low + static_cast<std::int64_t>((state >> 33) % span));
  };
  const std::pair<int, int> ranges[] = {{20, 60}, {0, 99},           {-1, 3},
                                        {35, 36}, {-600000, 600000}, {-2000000000, 2000000000}};
  for (const auto& [low, high] : ranges) {
    for (int k = 0; k < 2000; ++k) {
      Readings r{};
      for (int& x : r) x = next(low, high);
      sets.push_back(r);
    }
  }
  Readings huge{};
  huge.fill(1 << 24);
  huge[0] = (1 << 24) + 1;
  sets.push_back(huge);
  for (const Readings& r : sets) {
    const float r16 = sixteen.CalcRebound(r);
    const float want16 = sorted(r, 16, 3, 0.1f, false);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r16), std::bit_cast<std::uint32_t>(want16));
    const float r10 = ten.CalcRebound(r);
    const float want10 = sorted(r, 10, 1, 8.0f, true);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r10), std::bit_cast<std::uint32_t>(want10));
    if (HasFailure()) break;
  }
}

TEST(Rebound, TenReadingRuleOfCecs2020) {
  const CAlgorithm a(Standard::CECS02_2020, nullptr);
  EXPECT_EQ(a.ReadingCount(), 10);
  Readings r = Consecutive(30);  // first ten 30..39: drop 30 and 39 → 34.5
  EXPECT_EQ(a.CalcRebound(r), 34.5f);
  for (std::size_t i = 10; i < 16; ++i) r[i] = 11 + static_cast<int>(i);
  EXPECT_EQ(a.CalcRebound(r), 34.5f);
  const std::vector<int> ten(10, 40);
  EXPECT_EQ(a.CalcRebound(ten), 0.0f);
  for (Standard standard : kAllStandards) {
    if (standard == Standard::CECS02_2020) continue;
    EXPECT_EQ(CAlgorithm(standard).ReadingCount(), 16) << IndexOf(standard);
  }
}

TEST(Rebound, ExtremePositions) {
  Readings equal{};
  equal.fill(36);
  EXPECT_EQ(ExtremeReadingPositions(equal), (std::array<int, 6>{0, 1, 2, 3, 4, 5}));

  // Highest 50, 49, 48 at positions 7, 12, 2; lowest 20, 21, 22 at 9, 0, 15.
  const Readings r = {21, 30, 48, 31, 32, 33, 34, 50, 35, 20, 36, 37, 49, 38, 39, 22};
  const std::array<int, 6> p = ExtremeReadingPositions(r);
  std::array<int, 3> high = {p[0], p[1], p[2]};
  std::array<int, 3> low = {p[3], p[4], p[5]};
  std::sort(high.begin(), high.end());
  std::sort(low.begin(), low.end());
  EXPECT_EQ(high, (std::array<int, 3>{2, 7, 12}));
  EXPECT_EQ(low, (std::array<int, 3>{0, 9, 15}));
}

// Expected a·Va^b·Rc^c in double for the comparisons below.
double PowerLaw(double a, double b, double c, double va, double rc) {
  return a * std::pow(va, b) * std::pow(rc, c);
}

// Aggregate codes: 0 custom (the coefficients `coef`), 1 pebble, 2 crushed stone.
float Strength(Standard standard, float va, float rc, int aggregate, float eta = 1.0f, float delta = 0.0f,
               float depth = 1.0f, int pumped = 0, std::array<float, 4> coef = {1, 1, 1, 1}) {
  const CorrectionTables tables = CorrectionTables::Defaults();
  const CAlgorithm a(standard, &tables);
  return a.CalcStrength({.va = va,
                         .rc = rc,
                         .aggregate = static_cast<Aggregate>(aggregate),
                         .own = {coef[0], coef[1], coef[2], coef[3]},
                         .pumped = pumped != 0,
                         .carbonationDepth = depth,
                         .eta = eta,
                         .deltaTot = delta});
}

TEST(Strength, PublishedExamples) {
  EXPECT_NEAR(Strength(Standard::CECS02_2005, 4.5f, 35.0f, 2), 29.40, 0.005);
  EXPECT_NEAR(Strength(Standard::CECS02_2005, 4.5f, 35.0f, 1), 26.28, 0.005);
  EXPECT_NEAR(Strength(Standard::CECS02_2020, 4.5f, 35.0f, 2), 35.12, 0.005);
  // Pumped TB10426-2004: a power law of 38 MPa at 0.5 mm carbonation gains 4.5.
  EXPECT_EQ(Strength(Standard::TB10426_2004, 1.0f, 1.0f, 0, 1.0f, 0.0f, 0.5f, 1, {38.0f, 0.0f, 0.0f, 0.0f}),
            42.5f);
  EXPECT_EQ(Strength(Standard::TB10426_2004, 1.0f, 1.0f, 0, 1.0f, 0.0f, 0.5f, 0, {38.0f, 0.0f, 0.0f, 0.0f}),
            38.0f);
}

TEST(Strength, FormulaOfEveryStandard) {
  const float va = 4.3f;
  const float rc = 38.2f;
  const float eta = 1.1f;
  const float delta = 2.0f;
  const float depth = 3.0f;
  struct Case {
    Standard standard;
    double pebble[4];
    double other[4];
    char variant;  // 'e' η factor, 'd' +Δ, 'c' carbonation term, 'p' pumped table
  };
  const Case cases[] = {
      {Standard::CECS02_2005, {0.0056, 1.439, 1.769, 0}, {0.0162, 1.656, 1.410, 0}, 'e'},
      {Standard::TB10426_2004, {0.0038, 1.23, 1.95, 0}, {0.0038, 1.72, 1.57, 0}, 'e'},
      {Standard::CECS02_2020, {0.0286, 1.999, 1.155, 0}, {0.0286, 1.999, 1.155, 0}, 'd'},
      {Standard::JTS239_2015, {0.008, 1.72, 1.57, 0}, {0.008, 1.72, 1.57, 0}, 'd'},
      {Standard::TB10426_2019, {0.0056, 1.439, 1.769, 0}, {0.0162, 1.656, 1.410, 0}, 'd'},
      {Standard::DB51T1996_2015, {0.0456, 0.274, 1.76, 0}, {0.0263, 1.79, 1.26, 0}, 'e'},
      {Standard::DGTJ08_2020_2007, {0.00846, 2.273, 1.382, 0}, {0.00846, 2.273, 1.382, 0}, 'd'},
      {Standard::DB61T1084_2017, {0.01093, 1.1581, 1.744, 0}, {0.01093, 1.1581, 1.744, 0}, 'e'},
      {Standard::DB37T2361_2013, {0.00913, 2.3476, 1.313, -0.0113}, {0.00913, 2.3476, 1.313, -0.0113}, 'c'},
      {Standard::DGJ32TJ144_2012,
       {0.01569, 1.3038, 1.5913, -0.0056},
       {0.01569, 1.3038, 1.5913, -0.0056},
       'c'},
  };
  for (const Case& c : cases) {
    for (int aggregate : {1, 2}) {
      const double* k = aggregate == 1 ? c.pebble : c.other;
      double expected = PowerLaw(k[0], k[1], k[2], va, rc);
      if (c.variant == 'e') expected *= eta;
      if (c.variant == 'd') expected += delta;
      if (c.variant == 'c') expected *= eta * std::pow(10.0, k[3] * depth);
      const float got = Strength(c.standard, va, rc, aggregate, eta, delta, depth);
      EXPECT_NEAR(got, expected, expected * 2e-6) << IndexOf(c.standard) << " aggregate " << aggregate;
    }
  }
}

TEST(Strength, CoefficientsByAggregate) {
  const std::array<float, 4> own = {0.02f, 1.5f, 1.4f, -0.01f};
  const float va = 4.5f;
  const float rc = 35.0f;
  // Custom aggregate uses the member's coefficients as typed.
  EXPECT_NEAR(Strength(Standard::CECS02_2005, va, rc, 0, 1.0f, 0.0f, 1.0f, 0, own),
              PowerLaw(0.02, 1.5, 1.4, va, rc), 1e-4);
  // Pebble and crushed stone ignore them.
  EXPECT_EQ(Strength(Standard::CECS02_2005, va, rc, 1, 1.0f, 0.0f, 1.0f, 0, own),
            Strength(Standard::CECS02_2005, va, rc, 1));
  EXPECT_EQ(Strength(Standard::CECS02_2005, va, rc, 2, 1.0f, 0.0f, 1.0f, 0, own),
            Strength(Standard::CECS02_2005, va, rc, 2));
  // The carbonation term takes the member's d with custom coefficients.
  const double custom = PowerLaw(0.02, 1.5, 1.4, va, rc) * std::pow(10.0, -0.01 * 2.0);
  EXPECT_NEAR(Strength(Standard::DB37T2361_2013, va, rc, 0, 1.0f, 0.0f, 2.0f, 0, own), custom, custom * 2e-6);

  // GetCoefficients: CECS 02:2005 leaves d as it is, the others set it.
  float a = 0, b = 0, c = 0, d = 7.0f;
  CAlgorithm(Standard::CECS02_2005).GetCoefficients(false, a, b, c, d);
  EXPECT_EQ(a, 0.0162f);
  EXPECT_EQ(b, 1.656f);
  EXPECT_EQ(c, 1.410f);
  EXPECT_EQ(d, 7.0f);
  CAlgorithm(Standard::DGJ32TJ144_2012).GetCoefficients(true, a, b, c, d);
  EXPECT_EQ(d, -0.0056f);
}

TEST(Strength, CorrectionsOfTheVariants) {
  const float va = 4.5f;
  const float rc = 35.0f;
  // Additive Δ: exactly Δ after the power law; η has no effect.
  const float plain = Strength(Standard::CECS02_2020, va, rc, 2);
  EXPECT_EQ(Strength(Standard::CECS02_2020, va, rc, 2, 1.3f, 2.0f), plain + 2.0f);
  // η factor classes ignore Δ.
  EXPECT_EQ(Strength(Standard::DB51T1996_2015, va, rc, 2, 1.0f, 5.0f),
            Strength(Standard::DB51T1996_2015, va, rc, 2));
  // Carbonation term: depth 0 is the power law times η; each millimetre
  // multiplies by 10^(-0.0113).
  const float db37 = Strength(Standard::DB37T2361_2013, va, rc, 2, 1.2f, 0.0f, 0.0f);
  EXPECT_EQ(db37, Strength(Standard::DB37T2361_2013, va, rc, 2, 1.0f, 0.0f, 0.0f) * 1.2f);
  EXPECT_NEAR(Strength(Standard::DB37T2361_2013, va, rc, 2, 1.2f, 0.0f, 1.0f) / db37, std::pow(10.0, -0.0113),
              1e-6);
}

TEST(Strength, MissingVelocityOrRebound) {
  for (Standard standard : kAllStandards) {
    const bool additive = standard == Standard::CECS02_2020 || standard == Standard::JTS239_2015 ||
                          standard == Standard::TB10426_2019 || standard == Standard::DGTJ08_2020_2007;
    const float expected = additive ? 2.0f : 0.0f;
    EXPECT_EQ(Strength(standard, 0.0f, 35.0f, 2, 1.0f, 2.0f), expected) << IndexOf(standard);
    EXPECT_EQ(Strength(standard, 4.5f, 0.0f, 2, 1.0f, 2.0f), expected) << IndexOf(standard);
  }
  // Pumped TB10426-2004 gets the table value even for a zero strength.
  EXPECT_EQ(Strength(Standard::TB10426_2004, 0.0f, 35.0f, 2, 1.0f, 0.0f, 1.0f, 1), 3.0f);
  EXPECT_EQ(Strength(Standard::TB10426_2004, 0.0f, 35.0f, 2, 1.0f, 0.0f, 0.5f, 1), 4.5f);
}

TEST(Strength, ConvertStrengthLimitsVelocityAndMapsAggregate) {
  const CorrectionTables tables = CorrectionTables::Defaults();
  const CAlgorithm a(Standard::CECS02_2005, &tables);
  Member member = NewMember();
  member.aggregateType = Aggregate::CrushedStone;
  TestZone zone;
  zone.reboundValue = 33.0f;
  zone.angleCorrection = 1.5f;
  zone.surfaceCorrection = 0.5f;
  zone.correctedVelocity = 4.5f;
  EXPECT_EQ(CorrectedRebound(zone), 35.0f);
  EXPECT_NEAR(ConvertStrength(a, member, zone), 29.40, 0.005);
  member.aggregateType = Aggregate::Pebble;
  EXPECT_NEAR(ConvertStrength(a, member, zone), 26.28, 0.005);
  member.aggregateType = Aggregate::Unset;  // not chosen: the standard's crushed-stone values
  EXPECT_NEAR(ConvertStrength(a, member, zone), 29.40, 0.005);
  member.aggregateType = Aggregate::Custom;
  member.coefA = 0.0162f;
  member.coefB = 1.656f;
  member.coefC = 1.410f;
  EXPECT_NEAR(ConvertStrength(a, member, zone), 29.40, 0.005);

  member.aggregateType = Aggregate::CrushedStone;
  zone.correctedVelocity = 1.0e6f;
  const float limited = ConvertStrength(a, member, zone);
  zone.correctedVelocity = 9999.0f;
  EXPECT_EQ(limited, ConvertStrength(a, member, zone));
}

}  // namespace
}  // namespace korvane
