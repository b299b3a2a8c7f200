// Readings of a zone's measuring points from their waveforms: transit time,
// velocity, first-arrival amplitude; nearest-sample picking and the cursor
// readout.
#pragma once

#include "core/data/records.h"

namespace korvane {

// Recomputes pointTime, pointVelocity, pointAmplitude (volts) and
// pointDistance of all 7 slots. Slots beyond min(pointCount, 7), without a
// point, or (except the distance) without samples read 0. An amplitude index
// outside the sample buffer reads 0; the index itself is kept.
void RecomputePointReadings(TestZone& zone);

// Index of the sample nearest to time t (us) among `count` samples at
// delay + k * interval. Ties go to the later sample; samples farther than
// 1000 us are never chosen, and `unchanged` is returned when none is nearer.
int NearestSample(float t, float delay, float interval, int count, int unchanged = 0);

// Cursor readout of sample k of a point: T (us) = point delay + k * member
// interval, amplitude in mV (0 outside the buffer), V = distance / T (km/s).
struct PointReading {
  float time = 0.0f;
  float amplitudeMv = 0.0f;
  float velocity = 0.0f;
};
PointReading PointReadout(const MeasuringPoint& point, const Member& member, int k);

// Sets the point's arrivalIndex to max(k, 1) (and amplitudeIndex to the same
// value when `moveAmplitude`), then recomputes the zone's point readings.
// Does nothing when the slot holds no point.
void SetArrival(TestZone& zone, int pointSlot, int k, bool moveAmplitude);

// A first arrival that concrete cannot give: a transit time under 1 us, or a
// velocity above 10 km/s (sound crosses concrete at roughly 3 to 5 km/s; 10
// is beyond any concrete). Such a pick is kept as made; the program points
// it out until it is moved.
inline constexpr float kMinPlausibleTimeUs = 1.0f;
inline constexpr float kMaxPlausibleVelocity = 10.0f;
enum class ArrivalCheck { Plausible, TimeTooShort, VelocityTooHigh };
// Of point slot `point` of `zone`, from its pointTime (us) and
// pointVelocity (km/s) as RecomputePointReadings left them; a time under
// 1 us is reported as such whatever the velocity. Plausible for a slot
// outside the zone's used slots or without a point with samples (nothing
// was picked there).
ArrivalCheck CheckArrival(const TestZone& zone, int point);

// Amplitude in volts of code `code` at `gain`: (code - 2048) * 2 / 2048 / gain.
float CodeToVolts(int code, float gain);

}  // namespace korvane
