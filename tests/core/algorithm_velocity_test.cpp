#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/algorithm/algorithm.h"
#include "core/data/records.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

using Points = std::array<float, 7>;

CAlgorithm Make(Standard standard) { return CAlgorithm(standard); }

TEST(Velocity, MeanOfRatiosSkipsZeroTimes) {
  const CAlgorithm base(Standard::CECS02_2020);
  const Points l = {200, 300, 400, 100, 0, 0, 0};
  const Points t = {50, 0.00005f, 100, 25, 0, 0, 0};
  // Point 1 (|T| < 0.0001) is skipped: (4 + 4 + 4) / 3.
  EXPECT_FLOAT_EQ(base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 4), 4.0f);
  EXPECT_FLOAT_EQ(base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 1), 4.0f);
  EXPECT_EQ(base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 0), 0.0f);
  EXPECT_EQ(base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, -3), 0.0f);
  const Points zero{};
  EXPECT_EQ(base.CalcVelocity(l.data(), zero.data(), TestMethod::Direct, 7), 0.0f);
  // Counts above 7 never read past the seven slots.
  EXPECT_FLOAT_EQ(base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 1000), 4.0f);
}

TEST(Velocity, RatioOfSums) {
  const CAlgorithm base(Standard::CECS02_2020);
  const Points a = {100, 200, 300, 0, 0, 0, 0};
  const Points b = {20, 50, 80, 0, 0, 0, 0};
  EXPECT_FLOAT_EQ(base.RatioOfSums(a.data(), b.data(), 3), 600.0f / 150.0f);
  EXPECT_EQ(base.RatioOfSums(a.data(), b.data(), 0), 0.0f);
  EXPECT_EQ(base.RatioOfSums(nullptr, b.data(), 3), 0.0f);
  EXPECT_EQ(base.RatioOfSums(a.data(), nullptr, 3), 0.0f);
  const Points tiny = {0.000001f, 0.000002f, 0, 0, 0, 0, 0};
  EXPECT_EQ(base.RatioOfSums(a.data(), tiny.data(), 3), 0.0f);
}

TEST(Velocity, ThreePointRulesIgnoreCount) {
  const Points l = {200, 200, 200, 999, 999, 999, 999};
  const Points t = {40, 50, 80, 1, 1, 1, 1};
  // V1: (5 + 4 + 2.5) / 3; V4: 600 / 170.
  const float v1 = ((200.0f / 40.0f + 200.0f / 50.0f) + 200.0f / 80.0f) / 3.0f;
  const float v4 = 200.0f * 3.0f / 170.0f;
  for (int count : {1, 3, 7}) {
    EXPECT_EQ(Make(Standard::CECS02_2005).CalcVelocity(l.data(), t.data(), TestMethod::Surface, count), v1)
        << count;
    EXPECT_EQ(Make(Standard::TB10426_2004).CalcVelocity(l.data(), t.data(), TestMethod::Surface, count), v4)
        << count;
  }
}

// A point without a first arrival (time 0) used to give an infinite V (V1)
// or a division by a zero time sum (V4).
TEST(Velocity, ThreePointRulesGiveZeroWithoutUsableTimes) {
  const Points l = {200, 200, 200, 0, 0, 0, 0};
  for (std::size_t zeroAt = 0; zeroAt < 3; ++zeroAt) {
    Points t = {40, 50, 80, 0, 0, 0, 0};
    t[zeroAt] = 0.0f;
    EXPECT_EQ(Make(Standard::CECS02_2005).CalcVelocity(l.data(), t.data(), TestMethod::Direct, 3), 0.0f)
        << zeroAt;
  }
  const Points none{};
  EXPECT_EQ(Make(Standard::TB10426_2004).CalcVelocity(l.data(), none.data(), TestMethod::Direct, 3), 0.0f);
  const Points cancelling = {40, -40, 0, 0, 0, 0, 0};
  EXPECT_EQ(Make(Standard::TB10426_2004).CalcVelocity(l.data(), cancelling.data(), TestMethod::Direct, 3),
            0.0f);
  // One missing time with a non-zero sum is still the ratio of sums.
  const Points oneMissing = {50, 0, 100, 0, 0, 0, 0};
  EXPECT_FLOAT_EQ(
      Make(Standard::TB10426_2004).CalcVelocity(l.data(), oneMissing.data(), TestMethod::Direct, 3), 4.0f);
}

TEST(Velocity, RegressionSlope) {
  // L = 30 + 4.2·T exactly at integer times.
  Points t{};
  Points l{};
  for (std::size_t i = 0; i < 7; ++i) {
    t[i] = 20.0f + 10.0f * static_cast<float>(i);
    l[i] = 30.0f + 4.2f * t[i];
  }
  EXPECT_NEAR(RegressVelocity(l.data(), t.data(), 7), 4.2f, 1e-4);
  // All points at the same time: the fit fails.
  const Points same = {50, 50, 50, 50, 50, 50, 50};
  EXPECT_EQ(RegressVelocity(l.data(), same.data(), 7), 0.0f);
  EXPECT_EQ(RegressVelocity(l.data(), t.data(), 0), 0.0f);
  EXPECT_EQ(RegressVelocity(nullptr, t.data(), 7), 0.0f);
}

// Seven-point surface tests use the regression slope (V2, V3); otherwise V2
// takes the mean of L/T and V3 the ratio of sums.
TEST(Velocity, RegressionOrFallbackByStandard) {
  // Distances 100..400 with an intercept, so slope, mean of ratios and ratio
  // of sums all differ.
  const Points l = {100, 150, 200, 250, 300, 350, 400};
  const Points t = {30, 42, 55, 66, 79, 90, 103};
  const float slope = RegressVelocity(l.data(), t.data(), 7);
  const CAlgorithm base(Standard::CECS02_2020);
  const float meanOfRatios7 = base.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 7);
  const float meanOfRatios6 = base.CalcVelocity(l.data(), t.data(), TestMethod::Surface, 6);
  const float ratioOfSums6 = base.RatioOfSums(l.data(), t.data(), 6);
  const float ratioOfSums7 = base.RatioOfSums(l.data(), t.data(), 7);
  ASSERT_NE(slope, meanOfRatios7);
  ASSERT_NE(meanOfRatios6, ratioOfSums6);

  for (Standard standard :
       {Standard::CECS02_2020, Standard::JTS239_2015, Standard::DB51T1996_2015, Standard::DGTJ08_2020_2007,
        Standard::DB37T2361_2013, Standard::DGJ32TJ144_2012}) {
    const auto a = Make(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Surface, 7), slope) << IndexOf(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Surface, 6), meanOfRatios6) << IndexOf(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Direct, 7), meanOfRatios7) << IndexOf(standard);
  }
  for (Standard standard : {Standard::DB61T1084_2017, Standard::TB10426_2019}) {
    const auto a = Make(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Surface, 7), slope) << IndexOf(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Surface, 6), ratioOfSums6) << IndexOf(standard);
    EXPECT_EQ(a.CalcVelocity(l.data(), t.data(), TestMethod::Angle, 7), ratioOfSums7) << IndexOf(standard);
  }
  // A failed fit gives 0, not the fallback.
  const Points same = {50, 50, 50, 50, 50, 50, 50};
  EXPECT_EQ(Make(Standard::CECS02_2020).CalcVelocity(l.data(), same.data(), TestMethod::Surface, 7), 0.0f);
  EXPECT_EQ(Make(Standard::DB61T1084_2017).CalcVelocity(l.data(), same.data(), TestMethod::Surface, 7), 0.0f);
}

TEST(Velocity, CorrectedVelocity) {
  const float v = 4.0f;
  for (Standard standard : kAllStandards) {
    const auto a = Make(standard);
    const bool railway = standard == Standard::TB10426_2004 || standard == Standard::TB10426_2019;
    EXPECT_EQ(a.CorrectVelocity(v, TestMethod::Surface, 1.1f, 1.05f), v * 1.1f * 1.05f) << IndexOf(standard);
    EXPECT_EQ(a.CorrectVelocity(v, TestMethod::Direct, 1.0f, 1.034f), v * 1.034f) << IndexOf(standard);
    EXPECT_EQ(a.CorrectVelocity(v, TestMethod::Angle, 1.1f, 1.05f), railway ? v : v * 1.1f * 1.05f)
        << IndexOf(standard);
  }
}

}  // namespace
}  // namespace korvane
