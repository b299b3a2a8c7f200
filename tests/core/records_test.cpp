#include <gtest/gtest.h>

#include "core/data/records.h"

namespace korvane {
namespace {

TEST(PointsPerZone, FollowsMethodAndStandard) {
  struct Case {
    int method;
    int standard;
    int points;
  };
  const Case cases[] = {
      {kMethodSurface, 0, 3}, {kMethodSurface, 1, 3}, {kMethodSurface, 2, 7}, {kMethodSurface, 9, 7},
      {kMethodDirect, 3, 4},  {kMethodAngle, 3, 4},   {kMethodDirect, 0, 3},  {kMethodDirect, 2, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointsPerZone(c.method, c.standard), c.points) << c.method << "/" << c.standard;
  }
}

TEST(ExistingPointsPerZone, FirstNonZeroZoneOrThree) {
  ZoneLists lists(2);
  EXPECT_EQ(ExistingPointsPerZone(lists), 3);
  lists[1].push_back(NewTestZone());
  lists[1].back()->pointCount = 7;
  lists[0].push_back(NewTestZone());
  lists[0].back()->pointCount = 0;
  EXPECT_EQ(ExistingPointsPerZone(lists), 7);
}

TEST(NewProjectInfo, DatesAndVersionFromToday) {
  const ProjectInfo info = NewProjectInfo(CivilDate{2022, 3, 5});
  EXPECT_EQ(info.testDate, "2022-3-5");
  EXPECT_EQ(info.castingDate, "2022-3-5");
  EXPECT_EQ(info.softwareVersion, "V5.2.220305");
  EXPECT_EQ(info.testMethod, kMethodSurface);
  EXPECT_EQ(info.spot, "侧面");
  EXPECT_FLOAT_EQ(info.eta, 1.0f);
}

TEST(NewMeasuringPoint, CopiesSamplesTwiceOrNone) {
  const std::uint16_t samples[] = {2048, 2100, 1990};
  auto point = NewMeasuringPoint(1, 2, samples, 3, 0.5f, 100.0f, 10.0f, 1);
  ASSERT_EQ(point->samples.size(), 3u);
  EXPECT_EQ(point->samples, point->unfilteredSamples);
  auto empty = NewMeasuringPoint(0, 0, nullptr, 512, 0.0f, 0.0f, 1.0f, 0);
  EXPECT_FALSE(empty->hasSamples());
  EXPECT_TRUE(empty->unfilteredSamples.empty());
}

}  // namespace
}  // namespace korvane
