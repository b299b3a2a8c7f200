#include "core/wave/waveform_filter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace korvane {
namespace {

constexpr float kCentre = 2048.0f;
constexpr int kMinLeadIn = 8;
constexpr int kMaxLeadIn = 32;
constexpr int kMaxRamp = 4 * kMaxLeadIn;

// One low-pass section run sample by sample. It keeps the unrounded outputs
// for the recursion and hands out the rounded ones, which is what the
// in-place buffer form stores.
struct LowPassStage {
  LowPassCoefficients c;
  float x1 = 0.0f;  // input i-1
  float x2 = 0.0f;  // input i-2
  float y1 = 0.0f;  // unrounded output i-1
  float y2 = 0.0f;  // unrounded output i-2

  // The first two values pass through and seed the recursion.
  float First(float x) {
    x1 = x;
    y1 = x;
    return x;
  }
  float Second(float x) {
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = x;
    return x;
  }
  float Next(float x) {
    const float y = c.a1 * y1 - c.a2 * y2 + c.b0 * (x + 2.0f * x1 + x2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return RoundHalfAway(y);
  }
};

// One high-pass section: double-precision coefficients, single-precision
// state, every output rounded.
struct HighPassStage {
  HighPassCoefficients c;
  float x1 = 0.0f;
  float x2 = 0.0f;
  float y1 = 0.0f;
  float y2 = 0.0f;

  float First(float x) {
    const float y = static_cast<float>(c.b0 * x);
    x1 = x;
    y1 = y;
    return RoundHalfAway(y);
  }
  // The second output uses the first input sample, not the first output.
  float Second(float x) {
    const float y = static_cast<float>(c.b0 * (x - 2.0f * x1) + c.c1 * x1);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return RoundHalfAway(y);
  }
  float Next(float x) {
    const float y = static_cast<float>(c.c1 * y1 - c.a2 * y2 + c.b0 * (x - 2.0f * x1 + x2));
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return RoundHalfAway(y);
  }
};

// The whole filter in one pass: ramp values, then the centred samples, each
// through the low-pass and then the high-pass, written out as codes. This is
// the same arithmetic, in the same order, as running ButterworthLowPass and
// then ButterworthHighPass over the ramp-plus-samples buffer.
template <bool kLow, bool kHigh>
void FilterPass(const float* ramp, int rampLength, const std::uint16_t* source, std::uint16_t* destination,
                int count, LowPassStage& low, HighPassStage& high) {
  // rampLength is at least 32, so the two start-up samples fall on the ramp.
  float v = ramp[0];
  if constexpr (kLow) v = low.First(v);
  if constexpr (kHigh) v = high.First(v);
  v = ramp[1];
  if constexpr (kLow) v = low.Second(v);
  if constexpr (kHigh) v = high.Second(v);
  for (int i = 2; i < rampLength; ++i) {
    v = ramp[i];
    if constexpr (kLow) v = low.Next(v);
    if constexpr (kHigh) v = high.Next(v);
  }
  for (int k = 0; k < count; ++k) {
    v = static_cast<float>(source[k]) - kCentre;
    if constexpr (kLow) v = low.Next(v);
    if constexpr (kHigh) v = high.Next(v);
    destination[k] = CentredToCode(v);
  }
}

// Whole hertz of a corner, safe for any float.
int WholeHertz(float hz) {
  if (std::isnan(hz)) return 0;
  if (hz >= static_cast<float>(INT_MAX)) return INT_MAX;
  if (hz <= static_cast<float>(INT_MIN)) return INT_MIN;
  return static_cast<int>(hz);
}

}  // namespace

float RoundHalfAway(float value) {
  // From 2^23 on every float is a whole number; this also passes inf and NaN.
  if (!(std::fabs(value) < 8388608.0f)) return value;
  const float whole = static_cast<float>(static_cast<int>(value));  // toward zero
  const float fraction = value - whole;                             // exact
  return whole + (fraction >= 0.5f ? 1.0f : 0.0f) - (fraction <= -0.5f ? 1.0f : 0.0f);
}

int LeadInLength(float intervalUs, bool anyFilterOn) {
  if (!anyFilterOn) return 0;
  const double samples = 10.0 / static_cast<double>(intervalUs);
  if (!(samples >= kMinLeadIn)) return kMinLeadIn;  // also negative and NaN
  if (samples >= kMaxLeadIn + 1) return kMaxLeadIn;  // also +inf (interval 0)
  return std::clamp(static_cast<int>(samples), kMinLeadIn, kMaxLeadIn);
}

float LeadInSlope(const float* centred, int count, int leadIn) {
  const int n = std::max(0, std::min(leadIn, count));
  float sumI = 0.0f;
  float sumI2 = 0.0f;
  float sumX = 0.0f;
  float sumIX = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float fi = static_cast<float>(i);
    sumI += fi;
    sumI2 += fi * fi;
    sumX += centred[i];
    sumIX += fi * centred[i];
  }
  const float points = static_cast<float>(n);
  const float denominator = points * sumI2 - sumI * sumI;
  float slope = 1e10f;
  if (std::fabs(denominator) > 1e-6f) slope = (points * sumIX - sumI * sumX) / denominator;

  // Keep the start of the ramp within the converter's range around x[0].
  const int rampLength = 4 * leadIn;
  const float change = -static_cast<float>(rampLength) * slope;
  if (change > 2047.0f) {
    slope = -2047.0f / static_cast<float>(rampLength);
  } else if (change < -2048.0f) {
    slope = 2048.0f / static_cast<float>(rampLength);
  }
  return slope;
}

void LeadInRamp(float first, float slope, int rampLength, float* ramp) {
  const float start = RoundHalfAway(first);
  for (int k = 0; k < rampLength; ++k) {
    ramp[k] = RoundHalfAway(start - slope * static_cast<float>(rampLength - k));
  }
}

LowPassCoefficients ComputeLowPass(float intervalSec, float cornerHz) {
  // pi is taken as 3.14159265: 9.8696... is pi^2, 4.4428... is pi*sqrt(2).
  const float fs = 1.0f / intervalSec;
  const float g = static_cast<float>(9.869604378534024 * cornerHz * cornerHz);
  const float h = static_cast<float>(4.442882925626335 * cornerHz * fs);
  const float d = fs * fs + g + h;
  LowPassCoefficients c;
  c.b0 = g / d;
  c.a1 = static_cast<float>((2.0f * fs * fs - 19.73920875706805 * cornerHz * cornerHz) / d);
  c.a2 = (fs * fs + g - h) / d;
  return c;
}

HighPassCoefficients ComputeHighPass(float intervalSec, int cornerHz) {
  const double w = std::tan(3.14159265 * cornerHz * static_cast<double>(intervalSec));
  const double d = 1.0 + 1.41421356 * w + w * w;
  HighPassCoefficients c;
  c.b0 = 1.0 / d;
  c.c1 = -(2.0 * w * w - 2.0) / d;
  c.a2 = (1.0 - 1.41421356 * w + w * w) / d;
  return c;
}

void ButterworthLowPass(float* buffer, int length, float intervalSec, float cornerHz) {
  if (buffer == nullptr || length <= 0 || intervalSec == 0.0f) return;
  LowPassStage stage;
  stage.c = ComputeLowPass(intervalSec, cornerHz);
  buffer[0] = stage.First(buffer[0]);
  if (length > 1) buffer[1] = stage.Second(buffer[1]);
  for (int i = 2; i < length; ++i) buffer[i] = stage.Next(buffer[i]);
}

void ButterworthHighPass(float* buffer, int length, float intervalSec, int cornerHz) {
  if (buffer == nullptr || length <= 0) return;
  HighPassStage stage;
  stage.c = ComputeHighPass(intervalSec, cornerHz);
  buffer[0] = stage.First(buffer[0]);
  if (length > 1) buffer[1] = stage.Second(buffer[1]);
  for (int i = 2; i < length; ++i) buffer[i] = stage.Next(buffer[i]);
}

std::uint16_t CentredToCode(float centred) {
  if (std::isnan(centred)) return static_cast<std::uint16_t>(kCentre);
  if (centred < -kCentre) return 0;
  const float code = centred + kCentre;
  // A 16-bit code cannot hold more; clamp rather than wrap.
  if (code >= 65535.0f) return 65535;
  return static_cast<std::uint16_t>(static_cast<int>(code));
}

void WaveformFilter(const std::uint16_t* source, std::uint16_t* destination, int count, float intervalUs,
                    bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz) {
  if (source == nullptr || destination == nullptr || count <= 0) return;
  if (!highPassOn && !lowPassOn) {
    // What the general path gives as well: no stage, codes pass unchanged.
    if (destination != source) std::copy(source, source + count, destination);
    return;
  }

  const int leadIn = LeadInLength(intervalUs, true);
  const int rampLength = 4 * leadIn;
  std::array<float, kMaxLeadIn> head{};
  const int headCount = std::min(leadIn, count);
  for (int i = 0; i < headCount; ++i) head[static_cast<std::size_t>(i)] = static_cast<float>(source[i]) - kCentre;
  const float slope = LeadInSlope(head.data(), headCount, leadIn);
  std::array<float, kMaxRamp> ramp{};
  LeadInRamp(head[0], slope, rampLength, ramp.data());

  const float intervalSec = intervalUs / 1000000.0f;
  // A zero interval leaves the low-pass's buffer unchanged: same as no stage.
  const bool low = lowPassOn && intervalSec != 0.0f;
  LowPassStage lowStage;
  if (low) lowStage.c = ComputeLowPass(intervalSec, lowPassHz);
  HighPassStage highStage;
  if (highPassOn) highStage.c = ComputeHighPass(intervalSec, WholeHertz(highPassHz));

  if (low && highPassOn) {
    FilterPass<true, true>(ramp.data(), rampLength, source, destination, count, lowStage, highStage);
  } else if (low) {
    FilterPass<true, false>(ramp.data(), rampLength, source, destination, count, lowStage, highStage);
  } else if (highPassOn) {
    FilterPass<false, true>(ramp.data(), rampLength, source, destination, count, lowStage, highStage);
  } else {
    FilterPass<false, false>(ramp.data(), rampLength, source, destination, count, lowStage, highStage);
  }
}

}  // namespace korvane
