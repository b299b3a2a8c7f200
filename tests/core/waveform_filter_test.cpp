#include "core/wave/waveform_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "wave_fixtures.h"

namespace korvane {
namespace {

using testing::SyntheticWaveform;

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  struct Case {
    float in;
    float out;
  };
  const Case cases[] = {
      {2.5f, 3.0f},
      {-2.5f, -3.0f},
      {1.5f, 2.0f},
      {-0.5f, -1.0f},
      {0.5f, 1.0f},
      {2.4999998f, 2.0f},
      {-2.4999998f, -2.0f},
      {0.49999997f, 0.0f},
      {0.0f, 0.0f},
      {-7.0f, -7.0f},
      {8388609.0f, 8388609.0f},
      {-1e20f, -1e20f},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundHalfAway(c.in), c.out) << c.in;
  EXPECT_TRUE(std::isinf(RoundHalfAway(std::numeric_limits<float>::infinity())));
  EXPECT_TRUE(std::isnan(RoundHalfAway(std::numeric_limits<float>::quiet_NaN())));
}

TEST(LeadIn, LengthFollowsIntervalWithinLimits) {
  struct Case {
    float intervalUs;
    int leadIn;
  };
  const Case cases[] = {
      {0.5f, 20}, {2.0f, 8},  {0.1f, 32}, {1.0f, 10}, {0.3125f, 32}, {0.3f, 32},
      {1.25f, 8}, {0.8f, 12}, {10.0f, 8}, {0.0f, 32}, {-1.0f, 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeadInLength(c.intervalUs, true), c.leadIn) << c.intervalUs;
  }
  EXPECT_EQ(LeadInLength(0.5f, false), 0);
}

TEST(LeadIn, FlatStartGivesConstantRamp) {
  const std::vector<float> x(20, 137.0f);
  const float slope = LeadInSlope(x.data(), 20, 20);
  EXPECT_EQ(slope, 0.0f);
  std::vector<float> ramp(80);
  LeadInRamp(x[0], slope, 80, ramp.data());
  for (float v : ramp) EXPECT_EQ(v, 137.0f);
}

TEST(LeadIn, RampContinuesTheStartTrendAndEndsOneStepBeforeIt) {
  // x[i] = 100 + 3 i: slope 3, ramp 100 - 3 (R - k).
  std::vector<float> x(10);
  for (int i = 0; i < 10; ++i) x[static_cast<std::size_t>(i)] = 100.0f + 3.0f * static_cast<float>(i);
  const float slope = LeadInSlope(x.data(), 10, 10);
  EXPECT_FLOAT_EQ(slope, 3.0f);
  std::vector<float> ramp(40);
  LeadInRamp(x[0], slope, 40, ramp.data());
  EXPECT_EQ(ramp.front(), 100.0f - 120.0f);
  EXPECT_EQ(ramp.back(), 97.0f);
}

TEST(LeadIn, SteepStartsAreLimitedToTheConverterRange) {
  struct Case {
    int leadIn;
    float step;       // per sample of the start
    float rampStart;  // ramp[0] - x[0]
  };
  // A falling start puts the ramp's beginning above x[0], a rising one below;
  // at most 2047 above and 2048 below.
  const Case cases[] = {
      {8, -100.0f, 2047.0f},  {20, -100.0f, 2047.0f}, {32, -100.0f, 2047.0f}, {8, 100.0f, -2048.0f},
      {20, 100.0f, -2048.0f}, {32, 100.0f, -2048.0f}, {8, -25.0f, 800.0f},    {20, -25.0f, 2000.0f},
      {32, -25.0f, 2047.0f},  {20, 25.0f, -2000.0f},  {32, 25.0f, -2048.0f},
  };
  for (const Case& c : cases) {
    std::vector<float> x(static_cast<std::size_t>(c.leadIn));
    for (int i = 0; i < c.leadIn; ++i)
      x[static_cast<std::size_t>(i)] = 10.0f + c.step * static_cast<float>(i);
    const int rampLength = 4 * c.leadIn;
    const float slope = LeadInSlope(x.data(), c.leadIn, c.leadIn);
    std::vector<float> ramp(static_cast<std::size_t>(rampLength));
    LeadInRamp(x[0], slope, rampLength, ramp.data());
    EXPECT_EQ(ramp[0] - x[0], c.rampStart) << "P " << c.leadIn << " step " << c.step;
  }
}

TEST(LeadIn, DegenerateFitFallsBackToTheLimit) {
  // One sample only: the fit has no slope; 1e10 is then limited to 2048/R.
  const float x[] = {55.0f};
  const float slope = LeadInSlope(x, 1, 8);
  EXPECT_FLOAT_EQ(slope, 2048.0f / 32.0f);
  std::vector<float> ramp(32);
  LeadInRamp(x[0], slope, 32, ramp.data());
  EXPECT_EQ(ramp[0], 55.0f - 2048.0f);
}

TEST(ButterworthCoefficients, MatchTheReferenceValues) {
  // Reference values as published, each within half a unit of its last digit.
  struct Value {
    double actual;
    double expected;
    double tolerance;
  };
  const LowPassCoefficients low05 = ComputeLowPass(0.5e-6f, 50000.0f);
  const HighPassCoefficients high05 = ComputeHighPass(0.5e-6f, 20000);
  const LowPassCoefficients low1 = ComputeLowPass(1e-6f, 50000.0f);
  const HighPassCoefficients high1 = ComputeHighPass(1e-6f, 20000);
  const Value values[] = {
      {low05.b0, 0.0055212, 5e-8}, {low05.a1, 1.77908, 5e-6}, {low05.a2, 0.801167, 5e-7},
      {high05.b0, 0.956543, 5e-7}, {high05.c1, 1.9112, 5e-5}, {high05.a2, 0.914976, 5e-7},
      {low1.b0, 0.0197896, 5e-8},  {low1.a1, 1.5645, 5e-5},   {low1.a2, 0.643662, 5e-7},
      {high1.b0, 0.914969, 5e-7},  {high1.c1, 1.82269, 5e-6}, {high1.a2, 0.837182, 5e-7},
  };
  for (std::size_t i = 0; i < std::size(values); ++i) {
    EXPECT_NEAR(values[i].actual, values[i].expected, values[i].tolerance) << "value " << i;
  }
}

TEST(ButterworthLowPass, PassesSteadyLevelsAndStopsTheHighestFrequency) {
  std::vector<float> level(400, 500.0f);
  ButterworthLowPass(level.data(), 400, 1e-6f, 50000.0f);
  EXPECT_EQ(level[0], 500.0f);
  EXPECT_EQ(level[1], 500.0f);
  EXPECT_EQ(level.back(), 500.0f);

  std::vector<float> alternating(400);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = (i % 2 == 0) ? 1000.0f : -1000.0f;
  ButterworthLowPass(alternating.data(), 400, 1e-6f, 50000.0f);
  EXPECT_EQ(alternating[0], 1000.0f);  // the first two pass through
  EXPECT_EQ(alternating[1], -1000.0f);
  for (std::size_t i = 100; i < alternating.size(); ++i) EXPECT_LE(std::fabs(alternating[i]), 1.0f) << i;
  for (float v : alternating) EXPECT_EQ(v, std::round(v));
}

TEST(ButterworthLowPass, ZeroIntervalLeavesDataUnchanged) {
  std::vector<float> data = {1.5f, -3.0f, 7.25f, 100.0f, -2.0f};
  const std::vector<float> before = data;
  ButterworthLowPass(data.data(), static_cast<int>(data.size()), 0.0f, 50000.0f);
  EXPECT_EQ(data, before);
}

TEST(ButterworthHighPass, RemovesSteadyLevelsAndPassesTheHighestFrequency) {
  std::vector<float> level(400, 500.0f);
  ButterworthHighPass(level.data(), 400, 1e-6f, 20000);
  EXPECT_EQ(level[0], std::round(0.914969 * 500.0));  // y[0] = b0 x[0], rounded
  EXPECT_EQ(level.back(), 0.0f);

  std::vector<float> alternating(400);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = (i % 2 == 0) ? 1000.0f : -1000.0f;
  ButterworthHighPass(alternating.data(), 400, 1e-6f, 20000);
  for (std::size_t i = 100; i < alternating.size(); ++i) {
    EXPECT_NEAR(std::fabs(alternating[i]), 1000.0f, 2.0f) << i;
  }
}

TEST(CentredToCode, LowerLimitOnlyAndNoWrap) {
  struct Case {
    float centred;
    std::uint16_t code;
  };
  const Case cases[] = {
      {-2100.0f, 0},
      {-2048.0f, 0},
      {-2047.0f, 1},
      {0.0f, 2048},
      {1.0f, 2049},
      {2047.0f, 4095},
      {2100.0f, 4148},
      {63487.0f, 65535},
      {63488.0f, 65535},
      {1e9f, 65535},
      {std::numeric_limits<float>::infinity(), 65535},
      {-std::numeric_limits<float>::infinity(), 0},
      {std::numeric_limits<float>::quiet_NaN(), 0},
      {-2048.5f, 0},
      {-2047.5f, 0},
      {0.75f, 2048},
  };
  for (const Case& c : cases) EXPECT_EQ(CentredToCode(c.centred), c.code) << c.centred;
}

TEST(WaveformFilter, BothOffReproducesTheInput) {
  const std::vector<std::uint16_t> codes = {0, 1, 2048, 4095, 65535, 7, 3000};
  std::vector<std::uint16_t> out(codes.size(), 12345);
  WaveformFilter(codes.data(), out.data(), static_cast<int>(codes.size()), 0.5f, false, 20000.0f, false,
                 50000.0f);
  EXPECT_EQ(out, codes);
}

// Reference: the steps done one after another on a full buffer with the
// public pieces (ramp, low-pass, high-pass, conversion).
std::vector<std::uint16_t> FilterByPieces(const std::vector<std::uint16_t>& codes, float intervalUs,
                                          bool highOn, int highHz, bool lowOn, float lowHz) {
  const int n = static_cast<int>(codes.size());
  const int leadIn = LeadInLength(intervalUs, highOn || lowOn);
  const int rampLength = 4 * leadIn;
  std::vector<float> x(codes.size());
  for (std::size_t i = 0; i < codes.size(); ++i) x[i] = static_cast<float>(codes[i]) - 2048.0f;
  const float slope = LeadInSlope(x.data(), n, leadIn);
  std::vector<float> y(static_cast<std::size_t>(rampLength + n));
  LeadInRamp(x[0], slope, rampLength, y.data());
  std::copy(x.begin(), x.end(), y.begin() + rampLength);
  const float intervalSec = intervalUs / 1000000.0f;
  if (lowOn) ButterworthLowPass(y.data(), static_cast<int>(y.size()), intervalSec, lowHz);
  if (highOn) ButterworthHighPass(y.data(), static_cast<int>(y.size()), intervalSec, highHz);
  std::vector<std::uint16_t> out(codes.size());
  for (int k = 0; k < n; ++k)
    out[static_cast<std::size_t>(k)] = CentredToCode(y[static_cast<std::size_t>(rampLength + k)]);
  return out;
}

TEST(WaveformFilter, SinglePassEqualsTheStepsInOrder) {
  for (float dt : {0.1f, 0.5f, 1.0f, 2.0f}) {
    const std::vector<std::uint16_t> codes = SyntheticWaveform(512, 7, dt);
    struct Switches {
      bool high;
      bool low;
    };
    for (const Switches s : {Switches{true, true}, Switches{true, false}, Switches{false, true}}) {
      std::vector<std::uint16_t> out(codes.size());
      WaveformFilter(codes.data(), out.data(), 512, dt, s.high, 20000.0f, s.low, 50000.0f);
      EXPECT_EQ(out, FilterByPieces(codes, dt, s.high, 20000, s.low, 50000.0f))
          << "dt " << dt << " high " << s.high << " low " << s.low;
      EXPECT_NE(out, codes);
    }
  }
}

TEST(WaveformFilter, LowPassRunsBeforeHighPass) {
  const std::vector<std::uint16_t> codes = SyntheticWaveform(512, 3, 0.5f);
  std::vector<std::uint16_t> out(codes.size());
  WaveformFilter(codes.data(), out.data(), 512, 0.5f, true, 20000.0f, true, 50000.0f);

  // The other order, from the same pieces, rounds differently.
  const int leadIn = LeadInLength(0.5f, true);
  std::vector<float> x(codes.size());
  for (std::size_t i = 0; i < codes.size(); ++i) x[i] = static_cast<float>(codes[i]) - 2048.0f;
  std::vector<float> y(4 * static_cast<std::size_t>(leadIn) + codes.size());
  LeadInRamp(x[0], LeadInSlope(x.data(), 512, leadIn), 4 * leadIn, y.data());
  std::copy(x.begin(), x.end(), y.begin() + 4 * leadIn);
  ButterworthHighPass(y.data(), static_cast<int>(y.size()), 0.5e-6f, 20000);
  ButterworthLowPass(y.data(), static_cast<int>(y.size()), 0.5e-6f, 50000.0f);
  std::vector<std::uint16_t> swapped(codes.size());
  for (std::size_t k = 0; k < codes.size(); ++k)
    swapped[k] = CentredToCode(y[4 * static_cast<std::size_t>(leadIn) + k]);
  EXPECT_NE(out, swapped);
}

TEST(WaveformFilter, HighPassCornerIsWholeHertz) {
  // A steady offset decays under the high-pass at a rate set by the corner,
  // so 15 Hz and 16 Hz give different codes while 15.9 Hz acts as 15 Hz.
  const std::vector<std::uint16_t> level(512, 3048);
  auto run = [&](float hz) {
    std::vector<std::uint16_t> out(level.size());
    WaveformFilter(level.data(), out.data(), 512, 10.0f, true, hz, false, 0.0f);
    return out;
  };
  EXPECT_EQ(run(15.9f), run(15.0f));
  EXPECT_NE(run(16.0f), run(15.0f));
}

TEST(WaveformFilter, OutputHasALowerLimitOnly) {
  // A full-scale step through the high-pass swings past both rails: below
  // -2048 gives code 0, above 2047 is kept.
  std::vector<std::uint16_t> codes(400, 4095);
  for (std::size_t k = 200; k < codes.size(); ++k) codes[k] = 0;
  std::vector<std::uint16_t> down(codes.size());
  WaveformFilter(codes.data(), down.data(), 400, 1.0f, true, 20000.0f, false, 0.0f);
  EXPECT_EQ(down[200], 0);

  for (std::size_t k = 0; k < codes.size(); ++k) codes[k] = k < 200 ? 0 : 4095;
  std::vector<std::uint16_t> up(codes.size());
  WaveformFilter(codes.data(), up.data(), 400, 1.0f, true, 20000.0f, false, 0.0f);
  EXPECT_GT(up[200], 4095);
}

TEST(WaveformFilter, InPlaceAndShortInputs) {
  std::vector<std::uint16_t> codes = SyntheticWaveform(300, 11, 1.0f);
  std::vector<std::uint16_t> separate(codes.size());
  WaveformFilter(codes.data(), separate.data(), 300, 1.0f, true, 20000.0f, true, 50000.0f);
  WaveformFilter(codes.data(), codes.data(), 300, 1.0f, true, 20000.0f, true, 50000.0f);
  EXPECT_EQ(codes, separate);

  // Fewer samples than the lead-in: the slope uses what is there.
  const std::uint16_t few[] = {2000, 2010, 2020};
  std::uint16_t out[3] = {};
  WaveformFilter(few, out, 3, 0.5f, true, 20000.0f, true, 50000.0f);
  WaveformFilter(few, out, 0, 0.5f, true, 20000.0f, true, 50000.0f);  // nothing to do
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

TEST(WaveformFilterLanes, EachLaneEqualsItsWaveformFilteredAlone) {
  struct Switches {
    bool high;
    bool low;
  };
  for (float dt : {0.1f, 0.5f, 2.0f, 0.0f}) {
    for (const Switches s :
         {Switches{true, true}, Switches{true, false}, Switches{false, true}, Switches{false, false}}) {
      for (int lanes = 1; lanes <= kFilterLanes; ++lanes) {
        for (int count : {1, 2, 3, 300}) {
          std::vector<std::vector<std::uint16_t>> codes;
          for (int l = 0; l < lanes; ++l) {
            codes.push_back(SyntheticWaveform(count, static_cast<unsigned>(40 + l), dt > 0 ? dt : 1.0f));
          }
          codes.back()[0] = 0;  // a lane with a steep start
          std::vector<std::vector<std::uint16_t>> alone = codes;
          for (auto& w : alone)
            WaveformFilter(w.data(), w.data(), count, dt, s.high, 20000.0f, s.low, 50000.0f);
          std::vector<const std::uint16_t*> in;
          std::vector<std::uint16_t*> out;
          for (auto& w : codes) {
            in.push_back(w.data());
            out.push_back(w.data());  // in place
          }
          WaveformFilterLanes(in.data(), out.data(), lanes, count, dt, s.high, 20000.0f, s.low, 50000.0f);
          EXPECT_EQ(codes, alone) << "dt " << dt << " high " << s.high << " low " << s.low << " lanes "
                                  << lanes << " count " << count;
        }
      }
    }
  }
}

TEST(WaveformFilterLanes, ExtremeValuesMatchTheSingleWaveformPath) {
  // Full-scale steps and codes far above 4095 drive the stages to their
  // limits (negative outputs, codes beyond 4095, clamping at 65535).
  std::vector<std::vector<std::uint16_t>> codes(4, std::vector<std::uint16_t>(256));
  for (std::size_t k = 0; k < 256; ++k) {
    codes[0][k] = k < 100 ? 4095 : 0;
    codes[1][k] = k < 100 ? 0 : 4095;
    codes[2][k] = (k % 2 == 0) ? 65535 : 0;
    codes[3][k] = static_cast<std::uint16_t>(k * 250);
  }
  std::vector<std::vector<std::uint16_t>> alone = codes;
  for (auto& w : alone) WaveformFilter(w.data(), w.data(), 256, 1.0f, true, 20000.0f, true, 500000.0f);
  std::vector<const std::uint16_t*> in;
  std::vector<std::uint16_t*> out;
  for (auto& w : codes) {
    in.push_back(w.data());
    out.push_back(w.data());
  }
  WaveformFilterLanes(in.data(), out.data(), 4, 256, 1.0f, true, 20000.0f, true, 500000.0f);
  EXPECT_EQ(codes, alone);
}

}  // namespace
}  // namespace korvane
