// The document's restore and filter of the current zone's waveforms.
#include <gtest/gtest.h>

#include "core/app/korvane_doc.h"
#include "core/wave/point_readings.h"
#include "core/wave/waveform_filter.h"
#include "wave_fixtures.h"

namespace korvane {
namespace {

using testing::FillDocument;

SampleBuffer Filtered(std::span<const std::uint16_t> codes, float dt, bool high, float highHz, bool low,
                      float lowHz) {
  std::vector<std::uint16_t> out(codes.size());
  WaveformFilter(codes.data(), out.data(), static_cast<int>(codes.size()), dt, high, highHz, low, lowHz);
  return SampleBuffer(std::move(out));
}

TEST(ZoneFilter, EveryPointBelowThePointCountIsFiltered) {
  for (int pointCount : {3, 4, 7}) {
    CKorvaneDoc doc;
    FillDocument(doc, pointCount, 512, 0.5f);
    doc.highPassOn = true;
    doc.lowPassOn = true;
    doc.RestoreZoneWaveforms();
    doc.FilterZoneWaveforms();
    const TestZone& zone = *doc.GetCurrentZone();
    for (int j = 0; j < pointCount; ++j) {
      const MeasuringPoint& point = *zone.points[static_cast<std::size_t>(j)];
      EXPECT_EQ(point.samples, Filtered(point.unfilteredSamples, 0.5f, true, 20000.0f, true, 50000.0f))
          << pointCount << " points, slot " << j;
    }
  }
}

TEST(ZoneFilter, BothOffRestoresTheLoadedWaveformsExactly) {
  CKorvaneDoc doc;
  FillDocument(doc, 7, 512, 1.0f);
  doc.highPassOn = true;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  doc.highPassOn = false;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  for (const auto& point : doc.GetCurrentZone()->points) EXPECT_EQ(point->samples, point->unfilteredSamples);
}

TEST(ZoneFilter, FilteringStartsFromTheLoadedWaveformEachTime) {
  CKorvaneDoc doc;
  FillDocument(doc, 3, 512, 1.0f);
  doc.lowPassOn = true;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  const SampleBuffer once = doc.GetCurrentZone()->points[0]->samples;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, once);
  EXPECT_NE(once, doc.GetCurrentZone()->points[0]->unfilteredSamples);
}

TEST(ZoneFilter, CornersAreTakenInKilohertzWithWholeHertzHighPass) {
  struct Case {
    float kHz;
    float hz;
  };
  const Case cases[] = {{0.015f, 15.0f}, {0.0199f, 19.0f}, {20.0f, 20000.0f}};
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    FillDocument(doc, 3, 512, 10.0f);
    doc.highPassOn = true;
    doc.highPassKHz = c.kHz;
    doc.RestoreZoneWaveforms();
    doc.FilterZoneWaveforms();
    const MeasuringPoint& point = *doc.GetCurrentZone()->points[0];
    EXPECT_EQ(point.samples, Filtered(point.unfilteredSamples, 10.0f, true, c.hz, false, 0.0f)) << c.kHz;
  }
}

TEST(ZoneFilter, OnlyTheCurrentZoneChanges) {
  CKorvaneDoc doc;
  FillDocument(doc, 3, 256, 1.0f, 2);
  doc.currentZone = 1;
  doc.lowPassOn = true;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  for (const auto& point : doc.Zone(0, 0)->points) {
    if (point) {
      EXPECT_EQ(point->samples, point->unfilteredSamples);
    }
  }
  EXPECT_NE(doc.Zone(0, 1)->points[0]->samples, doc.Zone(0, 1)->points[0]->unfilteredSamples);
}

TEST(ZoneFilter, SampleCountIsTheMembersWithinTheBuffers) {
  CKorvaneDoc doc;
  FillDocument(doc, 3, 512, 1.0f);
  doc.lowPassOn = true;

  // Member count above the buffers: limited to them.
  doc.members[0].sampleCount = 4096;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  const MeasuringPoint& point = *doc.GetCurrentZone()->points[0];
  EXPECT_EQ(point.samples.size(), 512u);
  EXPECT_EQ(point.samples, Filtered(point.unfilteredSamples, 1.0f, false, 0.0f, true, 50000.0f));

  // Member count below: only that many are filtered, the rest are kept.
  doc.members[0].sampleCount = 512;
  doc.RestoreZoneWaveforms();
  doc.members[0].sampleCount = 100;
  doc.FilterZoneWaveforms();
  const std::vector<std::uint16_t> head(point.unfilteredSamples.begin(),
                                        point.unfilteredSamples.begin() + 100);
  const SampleBuffer expected = Filtered(head, 1.0f, false, 0.0f, true, 50000.0f);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), point.samples.begin()));
  EXPECT_TRUE(
      std::equal(point.samples.begin() + 100, point.samples.end(), point.unfilteredSamples.begin() + 100));
}

TEST(ZoneFilter, AmplitudeFollowsTheFilteredWaveform) {
  CKorvaneDoc doc;
  FillDocument(doc, 3, 512, 1.0f);
  TestZone& zone = *doc.GetCurrentZone();
  RecomputePointReadings(zone);
  const float before = zone.pointAmplitude[0];
  doc.highPassOn = true;
  doc.lowPassOn = true;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  const MeasuringPoint& point = *zone.points[0];
  const float expected = (static_cast<float>(point.samples[80]) - 2048.0f) * 2.0f / 2048.0f / 10.0f;
  EXPECT_FLOAT_EQ(zone.pointAmplitude[0], expected);
  EXPECT_NE(zone.pointAmplitude[0], before);
}

TEST(ZoneFilter, NoFileOrNoZoneDoesNothing) {
  CKorvaneDoc doc;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  FillDocument(doc, 3, 64, 1.0f);
  doc.currentZone = 5;
  doc.lowPassOn = true;
  doc.FilterZoneWaveforms();
  EXPECT_EQ(doc.Zone(0, 0)->points[0]->samples, doc.Zone(0, 0)->points[0]->unfilteredSamples);
  doc.currentZone = 0;
  doc.GetCurrentZone()->points[1].reset();
  doc.GetCurrentZone()->points[2]->samples = SampleBuffer();
  doc.GetCurrentZone()->points[2]->unfilteredSamples = SampleBuffer();
  doc.FilterZoneWaveforms();
  EXPECT_NE(doc.Zone(0, 0)->points[0]->samples, doc.Zone(0, 0)->points[0]->unfilteredSamples);
}

}  // namespace
}  // namespace korvane
