#include "core/wave/point_readings.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/data/file_reader.h"

namespace korvane {
namespace {

MeasuringPoint PointWith(std::vector<std::uint16_t> samples, int arrival, int amplitude, float distance,
                         float gain) {
  MeasuringPoint point;
  point.samples = SampleBuffer(std::move(samples));
  point.unfilteredSamples = point.samples;
  point.arrivalIndex = arrival;
  point.amplitudeIndex = amplitude;
  point.distance = distance;
  point.gain = gain;
  return point;
}

TEST(PointReadings, TransitTimesAreWholeMultiplesOfTheInterval) {
  // The instrument's T = 123.4 us at dT = 0.5 us, delay 0: the reader takes
  // sample 246, so the transit time becomes 123.0 us.
  const int arrival = SampleIndexOfTime(123.4f, 0.0f, 0.5f);
  EXPECT_EQ(arrival, 246);
  TestZone zone;
  zone.sampleInterval = 0.5f;
  zone.pointCount = 3;
  zone.points[0] = PointWith(std::vector<std::uint16_t>(512, 2048), arrival, arrival, 246.0f, 1.0f);
  RecomputePointReadings(zone);
  EXPECT_EQ(zone.pointTime[0], 123.0f);
  EXPECT_EQ(zone.pointVelocity[0], 246.0f / 123.0f);
}

TEST(PointReadings, SlotsBeyondCountOrWithoutSamplesReadZero) {
  TestZone zone;
  zone.sampleInterval = 1.0f;
  zone.delay = 2.0f;
  zone.pointCount = 2;
  std::vector<std::uint16_t> codes(100, 2048);
  codes[40] = 2048 + 1024;  // 1 V before a gain of 1, 0.1 V at gain 10
  zone.points[0] = PointWith(codes, 48, 40, 100.0f, 10.0f);
  zone.points[1] = PointWith({}, 48, 40, 150.0f, 10.0f);     // no samples: distance only
  zone.points[2] = PointWith(codes, 48, 40, 200.0f, 10.0f);  // beyond the point count
  zone.points[3] = PointWith(codes, 48, 400, 100.0f, 10.0f);
  zone.pointTime[2] = 99.0f;  // stale values are cleared
  RecomputePointReadings(zone);

  EXPECT_EQ(zone.pointTime[0], 50.0f);
  EXPECT_EQ(zone.pointVelocity[0], 2.0f);
  EXPECT_FLOAT_EQ(zone.pointAmplitude[0], 0.1f);
  EXPECT_EQ(zone.pointDistance[0], 100.0f);
  EXPECT_EQ(zone.pointTime[1], 0.0f);
  EXPECT_EQ(zone.pointVelocity[1], 0.0f);
  EXPECT_EQ(zone.pointAmplitude[1], 0.0f);
  EXPECT_EQ(zone.pointDistance[1], 150.0f);
  for (std::size_t j = 2; j < kMaxPoints; ++j) {
    EXPECT_EQ(zone.pointTime[j], 0.0f) << j;
    EXPECT_EQ(zone.pointDistance[j], 0.0f) << j;
  }

  // Seven slots at most; an amplitude index outside the buffer reads 0.
  zone.pointCount = 9;
  RecomputePointReadings(zone);
  EXPECT_EQ(zone.pointTime[3], 50.0f);
  EXPECT_EQ(zone.pointAmplitude[3], 0.0f);
  EXPECT_EQ(zone.pointDistance[2], 200.0f);
}

TEST(NearestSample, HalfwayGoesToTheLaterSample) {
  struct Case {
    float t;
    int sample;
  };
  // delay 10 us, interval 0.5 us, 100 samples (10.0 .. 59.5 us).
  const Case cases[] = {
      {10.0f, 0}, {10.25f, 1}, {10.24f, 0}, {10.26f, 1}, {20.75f, 22}, {59.5f, 99}, {70.0f, 99}, {-5.0f, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(NearestSample(c.t, 10.0f, 0.5f, 100), c.sample) << c.t;
  // Nothing within 1000 us: the result stays as given.
  EXPECT_EQ(NearestSample(5000.0f, 0.0f, 1.0f, 100, -1), -1);
  EXPECT_EQ(NearestSample(5.0f, 0.0f, 1.0f, 0, 7), 7);
}

TEST(SetArrival, PickOnSampleZeroBecomesOneAndReadingsFollow) {
  TestZone zone;
  zone.sampleInterval = 0.5f;
  zone.pointCount = 3;
  std::vector<std::uint16_t> codes(64, 2048);
  codes[1] = 2048 + 512;
  codes[30] = 2048 - 1024;
  zone.points[1] = PointWith(codes, 20, 25, 100.0f, 1.0f);

  SetArrival(zone, 1, 0, false);
  EXPECT_EQ(zone.points[1]->arrivalIndex, 1);
  EXPECT_EQ(zone.points[1]->amplitudeIndex, 25);
  EXPECT_EQ(zone.pointTime[1], 0.5f);

  SetArrival(zone, 1, 30, true);
  EXPECT_EQ(zone.points[1]->arrivalIndex, 30);
  EXPECT_EQ(zone.points[1]->amplitudeIndex, 30);
  EXPECT_EQ(zone.pointTime[1], 15.0f);
  EXPECT_FLOAT_EQ(zone.pointAmplitude[1], -1.0f);

  SetArrival(zone, 1, -4, true);
  EXPECT_EQ(zone.points[1]->amplitudeIndex, 1);
  EXPECT_FLOAT_EQ(zone.pointAmplitude[1], 0.5f);

  SetArrival(zone, 5, 10, true);  // empty slot: nothing happens
  SetArrival(zone, 9, 10, true);
}

// Implausible picks: a time under 1 us (before the velocity, which would
// be huge too) or a velocity above 10 km/s; the limits themselves pass.
TEST(CheckArrival, TimeUnderOneMicrosecondOrVelocityAboveTen) {
  struct Case {
    const char* name;
    int arrival;     // sample at 0.5 us
    float distance;  // mm
    ArrivalCheck expected;
  };
  const Case cases[] = {
      {"ordinary 4 km/s", 100, 200.0f, ArrivalCheck::Plausible},
      {"first sample: 0.5 us", 1, 200.0f, ArrivalCheck::TimeTooShort},
      {"exactly 1 us at 10 km/s", 2, 10.0f, ArrivalCheck::Plausible},
      {"10.5 km/s", 20, 105.0f, ArrivalCheck::VelocityTooHigh},
      {"distance typed ten times too long", 100, 2000.0f, ArrivalCheck::VelocityTooHigh},
  };
  for (const Case& c : cases) {
    TestZone zone;
    zone.sampleInterval = 0.5f;
    zone.pointCount = 3;
    zone.points[1] = PointWith(std::vector<std::uint16_t>(256, 2048), c.arrival, c.arrival, c.distance, 1.0f);
    RecomputePointReadings(zone);
    EXPECT_EQ(CheckArrival(zone, 1), c.expected) << c.name;
    // Slots without a point, beyond the zone's points or out of range were
    // never picked.
    EXPECT_EQ(CheckArrival(zone, 0), ArrivalCheck::Plausible) << c.name;
    EXPECT_EQ(CheckArrival(zone, -1), ArrivalCheck::Plausible) << c.name;
    zone.pointCount = 1;
    EXPECT_EQ(CheckArrival(zone, 1), ArrivalCheck::Plausible) << c.name;
  }
}

TEST(PointReadout, TimeFromMemberIntervalAmplitudeInMillivolts) {
  std::vector<std::uint16_t> codes(16, 2048);
  codes[4] = 2048 + 100;
  auto point = PointWith(codes, 1, 1, 30.0f, 4.0f);
  point.delay = 1.0f;
  Member member = NewMember();
  member.sampleInterval = 0.5f;
  const PointReading reading = PointReadout(point, member, 4);
  EXPECT_EQ(reading.time, 3.0f);
  EXPECT_FLOAT_EQ(reading.amplitudeMv, 100.0f * 2.0f / 2048.0f / 4.0f * 1000.0f);
  EXPECT_EQ(reading.velocity, 10.0f);
  EXPECT_EQ(PointReadout(point, member, 99).amplitudeMv, 0.0f);
}

}  // namespace
}  // namespace korvane
