#include "core/wave/point_readings.h"

#include <algorithm>
#include <cmath>

namespace korvane {

float CodeToVolts(int code, float gain) {
  // Single-precision steps as in the instrument software: ((s-2048)*2)/2048/gain.
  float value = static_cast<float>(code - kZeroCode) * 2.0f;
  value = value / 2048.0f;
  return value / gain;
}

void RecomputePointReadings(TestZone& zone) {
  const int used = zone.usedPointSlots();
  for (int j = 0; j < kMaxPoints; ++j) {
    const MeasuringPoint* point = j < used ? zone.point(j) : nullptr;
    const bool withSamples = point != nullptr && point->hasSamples();
    float time = 0.0f;
    float velocity = 0.0f;
    float amplitude = 0.0f;
    if (withSamples) {
      time = static_cast<float>(point->arrivalIndex) * zone.sampleInterval + zone.delay;
      // A zero time has no usable velocity; show 0 rather than infinity.
      velocity = time != 0.0f ? point->distance / time : 0.0f;
      const int k = point->amplitudeIndex;
      if (k >= 0 && static_cast<std::size_t>(k) < point->samples.size()) {
        amplitude = CodeToVolts(point->samples[static_cast<std::size_t>(k)], point->gain);
      }
    }
    zone.pointTime[static_cast<std::size_t>(j)] = time;
    zone.pointVelocity[static_cast<std::size_t>(j)] = velocity;
    zone.pointAmplitude[static_cast<std::size_t>(j)] = amplitude;
    zone.pointDistance[static_cast<std::size_t>(j)] = point != nullptr ? point->distance : 0.0f;
  }
}

ArrivalCheck CheckArrival(const TestZone& zone, int point) {
  if (point < 0 || point >= zone.usedPointSlots()) return ArrivalCheck::Plausible;
  const MeasuringPoint* p = zone.point(point);
  if (p == nullptr || !p->hasSamples()) return ArrivalCheck::Plausible;
  const auto j = static_cast<std::size_t>(point);
  // Written so that a time or velocity that is not a number counts as
  // implausible.
  if (!(zone.pointTime[j] >= kMinPlausibleTimeUs)) return ArrivalCheck::TimeTooShort;
  if (!(zone.pointVelocity[j] <= kMaxPlausibleVelocity)) return ArrivalCheck::VelocityTooHigh;
  return ArrivalCheck::Plausible;
}

int NearestSample(float t, float delay, float interval, int count, int unchanged) {
  float best = 1000.0f;
  int result = unchanged;
  for (int k = 0; k < count; ++k) {
    const float d = std::fabs(t - (delay + static_cast<float>(k) * interval));
    if (d <= best) {
      best = d;
      result = k;
    }
  }
  return result;
}

PointReading PointReadout(const MeasuringPoint& point, const Member& member, int k) {
  PointReading reading;
  reading.time = point.delay + static_cast<float>(k) * member.sampleInterval;
  if (k >= 0 && static_cast<std::size_t>(k) < point.samples.size()) {
    reading.amplitudeMv = CodeToVolts(point.samples[static_cast<std::size_t>(k)], point.gain) * 1000.0f;
  }
  reading.velocity = reading.time != 0.0f ? point.distance / reading.time : 0.0f;
  return reading;
}

void SetArrival(TestZone& zone, int pointSlot, int k, bool moveAmplitude) {
  if (pointSlot < 0 || pointSlot >= kMaxPoints) return;
  MeasuringPoint* point = zone.point(pointSlot);
  if (point == nullptr) return;
  point->arrivalIndex = std::max(k, 1);
  if (moveAmplitude) point->amplitudeIndex = point->arrivalIndex;
  RecomputePointReadings(zone);
}

}  // namespace korvane
