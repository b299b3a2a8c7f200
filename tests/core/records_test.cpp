#include <gtest/gtest.h>

#include "core/data/records.h"

namespace korvane {
namespace {

TEST(PointsPerZone, FollowsMethodAndStandard) {
  struct Case {
    TestMethod method;
    Standard standard;
    int points;
  };
  const Case cases[] = {
      {TestMethod::Surface, Standard::CECS02_2005, 3},
      {TestMethod::Surface, Standard::TB10426_2004, 3},
      {TestMethod::Surface, Standard::CECS02_2020, 7},
      {TestMethod::Surface, Standard::DGJ32TJ144_2012, 7},
      {TestMethod::Direct, Standard::JTS239_2015, 4},
      {TestMethod::Angle, Standard::JTS239_2015, 4},
      {TestMethod::Direct, Standard::CECS02_2005, 3},
      {TestMethod::Direct, Standard::CECS02_2020, 3},
      {static_cast<TestMethod>(9), Standard::JTS239_2015, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointsPerZone(c.method, c.standard), c.points)
        << static_cast<int>(c.method) << "/" << IndexOf(c.standard);
  }
}

TEST(ExistingPointsPerZone, FirstNonZeroZoneOrThree) {
  ZoneLists lists(2);
  EXPECT_EQ(ExistingPointsPerZone(lists), 3);
  lists[1].emplace_back().pointCount = 7;
  lists[0].emplace_back().pointCount = 0;
  EXPECT_EQ(ExistingPointsPerZone(lists), 7);
}

TEST(NewProjectInfo, DatesAndVersionFromToday) {
  const ProjectInfo info = NewProjectInfo(CivilDate{2022, 3, 5});
  EXPECT_EQ(info.testDate, "2022-3-5");
  EXPECT_EQ(info.castingDate, "2022-3-5");
  EXPECT_EQ(info.softwareVersion, "V5.2.220305");
  EXPECT_EQ(info.testMethod, TestMethod::Surface);
  EXPECT_EQ(info.spot, "侧面");
  EXPECT_FLOAT_EQ(info.eta, 1.0f);
}

TEST(NewMeasuringPoint, HoldsTheSamplesOnceOrNone) {
  const std::uint16_t samples[] = {2048, 2100, 1990};
  const MeasuringPoint point = NewMeasuringPoint(1, 2, samples, 3, 0.5f, 100.0f, 10.0f, 1);
  ASSERT_EQ(point.samples.size(), 3u);
  EXPECT_EQ(point.samples, point.unfilteredSamples);
  EXPECT_TRUE(point.samples.sharesWith(point.unfilteredSamples));
  const MeasuringPoint empty = NewMeasuringPoint(0, 0, nullptr, 512, 0.0f, 0.0f, 1.0f, 0);
  EXPECT_FALSE(empty.hasSamples());
  EXPECT_TRUE(empty.unfilteredSamples.empty());
}

// Copies of a zone share their sample buffers until one is written: a copy
// (an undo snapshot) keeps the samples it was taken with.
TEST(SampleBuffer, CopiesShareUntilWritten) {
  const std::uint16_t codes[] = {2048, 2100, 1990, 2000};
  TestZone zone;
  zone.pointCount = 1;
  zone.points[0] = NewMeasuringPoint(0, 0, codes, 4, 0.0f, 100.0f, 1.0f, 1);
  const TestZone snapshot = zone;
  EXPECT_TRUE(snapshot.point(0)->samples.sharesWith(zone.point(0)->samples));
  zone.point(0)->samples.writableData()[1] = 3000;
  EXPECT_EQ(zone.point(0)->samples[1], 3000);
  EXPECT_EQ(snapshot.point(0)->samples[1], 2100);
  EXPECT_EQ(zone.point(0)->unfilteredSamples[1], 2100);
  EXPECT_EQ(SampleBuffer().data(), nullptr);
  EXPECT_EQ(SampleBuffer().writableData(), nullptr);
}

}  // namespace
}  // namespace korvane
