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
  // Outputs i-1 and i-2: single-precision values, kept widened to double
  // because that is how the recursion uses them.
  double y1 = 0.0;
  double y2 = 0.0;

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
// the same arithmetic, in the same order per stage, as running
// ButterworthLowPass and then ButterworthHighPass over the ramp-plus-samples
// buffer.
template <bool kLow, bool kHigh>
void FilterPass(const float* ramp, int rampLength, const std::uint16_t* source, std::uint16_t* destination,
                int count, LowPassStage& low, HighPassStage& high) {
  const auto lowStep = [&](float v) {
    if constexpr (kLow) v = low.Next(v);
    return v;
  };
  const auto highStep = [&](float v) {
    if constexpr (kHigh) v = high.Next(v);
    return v;
  };

  // rampLength is at least 32, so the two start-up samples fall on the ramp.
  float v = ramp[0];
  if constexpr (kLow) v = low.First(v);
  if constexpr (kHigh) v = high.First(v);
  v = ramp[1];
  if constexpr (kLow) v = low.Second(v);
  if constexpr (kHigh) v = high.Second(v);
  for (int i = 2; i < rampLength; ++i) v = highStep(lowStep(ramp[i]));

  const auto input = [source](int k) { return static_cast<float>(source[k]) - kCentre; };
  if (count < 3) {
    for (int k = 0; k < count; ++k) destination[k] = CentredToCode(highStep(lowStep(input(k))));
    return;
  }
  // Skewed by a sample per stage: in one round the low-pass takes sample k,
  // the high-pass sample k - 1 and the output sample k - 2, so no stage
  // waits for the rounding of the one before it. Sample k is read before
  // anything at k or later is written, so source and destination may be the
  // same buffer.
  float lowOut = lowStep(input(0));  // low-passed sample 0
  float highOut = highStep(lowOut);  // filtered sample 0
  lowOut = lowStep(input(1));        // low-passed sample 1
  for (int k = 2; k < count; ++k) {
    const float nextLow = lowStep(input(k));
    const float nextHigh = highStep(lowOut);
    destination[k - 2] = CentredToCode(highOut);
    lowOut = nextLow;
    highOut = nextHigh;
  }
  destination[count - 2] = CentredToCode(highOut);
  destination[count - 1] = CentredToCode(highStep(lowOut));
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
  const int whole = static_cast<int>(value);                 // toward zero
  const float fraction = value - static_cast<float>(whole);  // exact
  // Flags rather than branches: the sign of filtered data changes often.
  const int up = fraction >= 0.5f ? 1 : 0;
  const int down = fraction <= -0.5f ? 1 : 0;
  return static_cast<float>(whole + up - down);
}

int LeadInLength(float intervalUs, bool anyFilterOn) {
  if (!anyFilterOn) return 0;
  const double samples = 10.0 / static_cast<double>(intervalUs);
  if (!(samples >= kMinLeadIn)) return kMinLeadIn;   // also negative and NaN
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
  // Written as selects so that the per-sample loop has no branches here.
  float code = centred + kCentre;
  code = code > 0.0f ? code : 0.0f;  // below -2048, and NaN, give 0
  // A 16-bit code cannot hold more; clamp rather than wrap.
  code = code < 65535.0f ? code : 65535.0f;
  return static_cast<std::uint16_t>(static_cast<int>(code));
}

namespace {

// Settings shared by every waveform of one filtering run.
struct FilterSetup {
  int rampLength = 0;
  bool low = false;
  bool high = false;
  LowPassCoefficients lowCoefficients;
  HighPassCoefficients highCoefficients;
};

FilterSetup MakeSetup(float intervalUs, bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz) {
  FilterSetup setup;
  setup.rampLength = 4 * LeadInLength(intervalUs, true);
  const float intervalSec = intervalUs / 1000000.0f;
  // A zero interval leaves the low-pass's buffer unchanged: same as no stage.
  setup.low = lowPassOn && intervalSec != 0.0f;
  if (setup.low) setup.lowCoefficients = ComputeLowPass(intervalSec, lowPassHz);
  setup.high = highPassOn;
  if (setup.high) setup.highCoefficients = ComputeHighPass(intervalSec, WholeHertz(highPassHz));
  return setup;
}

// Steps 1 to 5 for one waveform: the ramp put before it (rampLength values).
void MakeRamp(const std::uint16_t* source, int count, int rampLength, float* ramp) {
  const int leadIn = rampLength / 4;
  std::array<float, kMaxLeadIn> head{};
  const int headCount = std::min(leadIn, count);
  for (int i = 0; i < headCount; ++i)
    head[static_cast<std::size_t>(i)] = static_cast<float>(source[i]) - kCentre;
  LeadInRamp(head[0], LeadInSlope(head.data(), headCount, leadIn), rampLength, ramp);
}

}  // namespace

void WaveformFilter(const std::uint16_t* source, std::uint16_t* destination, int count, float intervalUs,
                    bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz) {
  if (source == nullptr || destination == nullptr || count <= 0) return;
  if (!highPassOn && !lowPassOn) {
    // What the general path gives as well: no stage, codes pass unchanged.
    if (destination != source) std::copy(source, source + count, destination);
    return;
  }

  const FilterSetup setup = MakeSetup(intervalUs, highPassOn, highPassHz, lowPassOn, lowPassHz);
  std::array<float, kMaxRamp> ramp{};
  MakeRamp(source, count, setup.rampLength, ramp.data());
  LowPassStage lowStage;
  lowStage.c = setup.lowCoefficients;
  HighPassStage highStage;
  highStage.c = setup.highCoefficients;

  const int r = setup.rampLength;
  if (setup.low && setup.high) {
    FilterPass<true, true>(ramp.data(), r, source, destination, count, lowStage, highStage);
  } else if (setup.low) {
    FilterPass<true, false>(ramp.data(), r, source, destination, count, lowStage, highStage);
  } else if (setup.high) {
    FilterPass<false, true>(ramp.data(), r, source, destination, count, lowStage, highStage);
  } else {
    FilterPass<false, false>(ramp.data(), r, source, destination, count, lowStage, highStage);
  }
}

#if defined(__GNUC__)
// ---- Several waveforms side by side in vector lanes ----------------------
// Every lane does exactly the scalar operations of the stages above, in the
// same order and precision (the build forbids contraction), so the codes are
// the same bit for bit; only the instructions are shared.
namespace {

using F4 = float __attribute__((vector_size(16)));
using F2 = float __attribute__((vector_size(8)));
using D2 = double __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));
static_assert(kFilterLanes == 4, "the lane types hold four waveforms");

inline F4 Splat(float v) { return F4{v, v, v, v}; }
inline D2 Splat(double v) { return D2{v, v}; }
inline F4 Select(I4 mask, F4 a, F4 b) {
  return reinterpret_cast<F4>((mask & reinterpret_cast<I4>(a)) | (~mask & reinterpret_cast<I4>(b)));
}
inline D2 Widen01(F4 v) { return __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), D2); }
inline D2 Widen23(F4 v) { return __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), D2); }
inline F4 Narrow(D2 low, D2 high) {
  const F2 a = __builtin_convertvector(low, F2);
  const F2 b = __builtin_convertvector(high, F2);
  return __builtin_shufflevector(a, b, 0, 1, 2, 3);
}

// RoundHalfAway in every lane.
inline F4 RoundLanes(F4 v) {
  const F4 limit = Splat(8388608.0f);
  const I4 inRange = reinterpret_cast<F4>(reinterpret_cast<I4>(v) & 0x7FFFFFFF) < limit;
  // Clamped first so that the conversion is defined in every lane.
  F4 c = Select(v > -limit, v, -limit);
  c = Select(c < limit, c, limit);
  const I4 whole = __builtin_convertvector(c, I4);
  const F4 fraction = c - __builtin_convertvector(whole, F4);
  // Comparison masks are -1 where true.
  const I4 rounded = whole - (fraction >= Splat(0.5f)) + (fraction <= Splat(-0.5f));
  return Select(inRange, __builtin_convertvector(rounded, F4), v);
}

// CentredToCode in every lane.
inline I4 CodeLanes(F4 centred) {
  F4 code = centred + Splat(kCentre);
  code = Select(code > Splat(0.0f), code, Splat(0.0f));
  code = Select(code < Splat(65535.0f), code, Splat(65535.0f));
  return __builtin_convertvector(code, I4);
}

struct LowPassLanes {
  F4 b0, a1, a2;
  F4 x1{}, x2{}, y1{}, y2{};

  explicit LowPassLanes(const LowPassCoefficients& c) : b0(Splat(c.b0)), a1(Splat(c.a1)), a2(Splat(c.a2)) {}
  F4 First(F4 x) {
    x1 = x;
    y1 = x;
    return x;
  }
  F4 Second(F4 x) {
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = x;
    return x;
  }
  F4 Next(F4 x) {
    const F4 y = a1 * y1 - a2 * y2 + b0 * (x + 2.0f * x1 + x2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return RoundLanes(y);
  }
};

struct HighPassLanes {
  D2 b0, c1, a2;
  F4 x1{}, x2{};
  D2 y1Low{}, y1High{}, y2Low{}, y2High{};  // lanes 0-1 and 2-3, widened

  explicit HighPassLanes(const HighPassCoefficients& c) : b0(Splat(c.b0)), c1(Splat(c.c1)), a2(Splat(c.a2)) {}
  F4 Keep(F4 x, F4 y) {
    x2 = x1;
    x1 = x;
    y2Low = y1Low;
    y2High = y1High;
    y1Low = Widen01(y);
    y1High = Widen23(y);
    return RoundLanes(y);
  }
  F4 First(F4 x) {
    const F4 y = Narrow(b0 * Widen01(x), b0 * Widen23(x));
    x1 = x;
    y1Low = Widen01(y);
    y1High = Widen23(y);
    return RoundLanes(y);
  }
  F4 Second(F4 x) {
    const F4 s = x - 2.0f * x1;
    const F4 y = Narrow(b0 * Widen01(s) + c1 * Widen01(x1), b0 * Widen23(s) + c1 * Widen23(x1));
    return Keep(x, y);
  }
  F4 Next(F4 x) {
    const F4 s = x - 2.0f * x1 + x2;
    const F4 y =
        Narrow(c1 * y1Low - a2 * y2Low + b0 * Widen01(s), c1 * y1High - a2 * y2High + b0 * Widen23(s));
    return Keep(x, y);
  }
};

template <bool kLow, bool kHigh>
void FilterLanesPass(const F4* ramp, int rampLength, const std::uint16_t* const* sources,
                     std::uint16_t* const* destinations, int lanes, int count, LowPassLanes& low,
                     HighPassLanes& high) {
  const auto lowStep = [&](F4 v) {
    if constexpr (kLow) v = low.Next(v);
    return v;
  };
  const auto highStep = [&](F4 v) {
    if constexpr (kHigh) v = high.Next(v);
    return v;
  };
  F4 v = ramp[0];
  if constexpr (kLow) v = low.First(v);
  if constexpr (kHigh) v = high.First(v);
  v = ramp[1];
  if constexpr (kLow) v = low.Second(v);
  if constexpr (kHigh) v = high.Second(v);
  for (int i = 2; i < rampLength; ++i) v = highStep(lowStep(ramp[i]));

  const std::uint16_t* s0 = sources[0];
  const std::uint16_t* s1 = sources[1];
  const std::uint16_t* s2 = sources[2];
  const std::uint16_t* s3 = sources[3];
  const auto input = [=](int k) {
    return F4{static_cast<float>(s0[k]), static_cast<float>(s1[k]), static_cast<float>(s2[k]),
              static_cast<float>(s3[k])} -
           Splat(kCentre);
  };
  const auto store = [destinations, lanes](int k, I4 codes) {
    for (int l = 0; l < lanes; ++l) destinations[l][k] = static_cast<std::uint16_t>(codes[l]);
  };
  if (count < 3) {
    for (int k = 0; k < count; ++k) store(k, CodeLanes(highStep(lowStep(input(k)))));
    return;
  }
  // Skewed by a sample per stage, as in the single-waveform pass.
  F4 lowOut = lowStep(input(0));
  F4 highOut = highStep(lowOut);
  lowOut = lowStep(input(1));
  for (int k = 2; k < count; ++k) {
    const F4 nextLow = lowStep(input(k));
    const F4 nextHigh = highStep(lowOut);
    store(k - 2, CodeLanes(highOut));
    lowOut = nextLow;
    highOut = nextHigh;
  }
  store(count - 2, CodeLanes(highOut));
  store(count - 1, CodeLanes(highStep(lowOut)));
}

}  // namespace

void WaveformFilterLanes(const std::uint16_t* const* sources, std::uint16_t* const* destinations, int lanes,
                         int count, float intervalUs, bool highPassOn, float highPassHz, bool lowPassOn,
                         float lowPassHz) {
  if (sources == nullptr || destinations == nullptr || lanes < 1 || lanes > kFilterLanes || count <= 0)
    return;
  if (lanes == 1 || (!highPassOn && !lowPassOn)) {
    for (int l = 0; l < lanes; ++l) {
      WaveformFilter(sources[l], destinations[l], count, intervalUs, highPassOn, highPassHz, lowPassOn,
                     lowPassHz);
    }
    return;
  }
  const FilterSetup setup = MakeSetup(intervalUs, highPassOn, highPassHz, lowPassOn, lowPassHz);
  // Unused lanes repeat the first waveform; their results are not stored.
  std::array<const std::uint16_t*, kFilterLanes> laneSources{};
  for (int l = 0; l < kFilterLanes; ++l)
    laneSources[static_cast<std::size_t>(l)] = sources[l < lanes ? l : 0];
  std::array<std::array<float, kMaxRamp>, kFilterLanes> ramps{};
  for (int l = 0; l < kFilterLanes; ++l) {
    MakeRamp(laneSources[static_cast<std::size_t>(l)], count, setup.rampLength,
             ramps[static_cast<std::size_t>(l)].data());
  }
  std::array<F4, kMaxRamp> ramp{};
  for (int i = 0; i < setup.rampLength; ++i) {
    const auto k = static_cast<std::size_t>(i);
    ramp[k] = F4{ramps[0][k], ramps[1][k], ramps[2][k], ramps[3][k]};
  }
  LowPassLanes low(setup.lowCoefficients);
  HighPassLanes high(setup.highCoefficients);
  const int r = setup.rampLength;
  const auto* in = laneSources.data();
  if (setup.low && setup.high) {
    FilterLanesPass<true, true>(ramp.data(), r, in, destinations, lanes, count, low, high);
  } else if (setup.low) {
    FilterLanesPass<true, false>(ramp.data(), r, in, destinations, lanes, count, low, high);
  } else if (setup.high) {
    FilterLanesPass<false, true>(ramp.data(), r, in, destinations, lanes, count, low, high);
  } else {
    FilterLanesPass<false, false>(ramp.data(), r, in, destinations, lanes, count, low, high);
  }
}

#else  // no vector types: one waveform after another

void WaveformFilterLanes(const std::uint16_t* const* sources, std::uint16_t* const* destinations, int lanes,
                         int count, float intervalUs, bool highPassOn, float highPassHz, bool lowPassOn,
                         float lowPassHz) {
  if (sources == nullptr || destinations == nullptr || lanes < 1 || lanes > kFilterLanes) return;
  for (int l = 0; l < lanes; ++l) {
    WaveformFilter(sources[l], destinations[l], count, intervalUs, highPassOn, highPassHz, lowPassOn,
                   lowPassHz);
  }
}

#endif

}  // namespace korvane
