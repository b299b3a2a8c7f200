// Digital filter of the waveforms: an optional second-order Butterworth
// low-pass followed by an optional second-order Butterworth high-pass, run
// over a lead-in ramp plus the centred samples so that the filters' start-up
// transient falls on the ramp and not on the waveform.
//
// Codes are 12-bit converter codes in 16-bit values, 2048 being 0 V. Every
// step below is bit-exact single- or double-precision arithmetic as noted;
// the build must not contract or reassociate floating-point operations.
#pragma once

#include <cstdint>

namespace korvane {

// Rounding half away from zero (2.5 -> 3, -2.5 -> -3), exact for every
// float; infinities and NaN come back unchanged.
float RoundHalfAway(float value);

// Lead-in length P for a sampling interval in us: trunc(10 / interval)
// limited to 8..32 when a filter is on (an interval of 0, negative or NaN
// gives the limit it tends to); 0 when both filters are off.
int LeadInLength(float intervalUs, bool anyFilterOn);

// Slope in codes per sample of the ramp put before the waveform:
// least-squares slope (single precision) of the first min(P, count) centred
// samples against their index, 1e10 when that fit is degenerate, then limited
// so that the ramp of length 4P starts at most 2047 codes above (2048 below)
// its end point. `centred` holds at least min(leadIn, count) values.
float LeadInSlope(const float* centred, int count, int leadIn);

// The ramp itself: ramp[k] = round(round(first) - slope * (rampLength - k))
// for k = 0..rampLength-1, the difference in single precision. It ends one
// slope step before `first`.
void LeadInRamp(float first, float slope, int rampLength, float* ramp);

// Coefficients of the low-pass (bilinear form without pre-warping), single
// precision. `intervalSec` must not be 0.
struct LowPassCoefficients {
  float b0 = 0.0f;
  float a1 = 0.0f;
  float a2 = 0.0f;
};
LowPassCoefficients ComputeLowPass(float intervalSec, float cornerHz);

// Coefficients of the high-pass (bilinear form with pre-warping), double
// precision.
struct HighPassCoefficients {
  double b0 = 0.0;
  double c1 = 0.0;
  double a2 = 0.0;
};
HighPassCoefficients ComputeHighPass(float intervalSec, int cornerHz);

// In-place second-order Butterworth low-pass over buffer[0..length-1]
// (interval in seconds, corner in Hz). The first two values pass through
// unchanged, the others are replaced by the rounded filter output (whole
// numbers). An interval of 0 leaves the buffer unchanged.
void ButterworthLowPass(float* buffer, int length, float intervalSec, float cornerHz);

// In-place second-order Butterworth high-pass; the corner is a whole number
// of Hz. Every value is replaced by the rounded filter output.
void ButterworthHighPass(float* buffer, int length, float intervalSec, int cornerHz);

// Code for a centred filtered value v: v below -2048 gives 0, otherwise
// trunc(v + 2048). Codes above 4095 are kept; a value beyond 65535 is
// clamped to 65535 rather than wrapped. NaN, which only an unstable filter
// setting can produce, gives 0.
std::uint16_t CentredToCode(float centred);

// Filters `count` codes from `source` into `destination` (both at least
// `count` long; they must not overlap unless equal) with the sampling
// interval in us, the high-pass corner in Hz (truncated to whole Hz) and the
// low-pass corner in Hz. The low-pass runs first. With both filters off the
// output equals the input code for code. No allocation.
void WaveformFilter(const std::uint16_t* source, std::uint16_t* destination, int count, float intervalUs,
                    bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz);

// Filters up to kFilterLanes waveforms of `count` codes each, with the same
// settings, in one run. Each result is exactly WaveformFilter of that
// waveform alone; where the compiler offers vector types the waveforms share
// the work, otherwise they are filtered one after another. `lanes` outside
// 1..kFilterLanes does nothing.
inline constexpr int kFilterLanes = 4;
void WaveformFilterLanes(const std::uint16_t* const* sources, std::uint16_t* const* destinations, int lanes,
                         int count, float intervalUs, bool highPassOn, float highPassHz, bool lowPassOn,
                         float lowPassHz);

}  // namespace korvane
