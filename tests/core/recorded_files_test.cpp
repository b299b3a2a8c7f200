// Reading files laid out by hand column by column (tests/data), independent
// of this program's writer: a raw file as the instrument records it and a
// result file of the older layout without the DELTAT column.
#include <gtest/gtest.h>

#include "file_test_support.h"

namespace korvane::testing {
namespace {

const std::filesystem::path kData = KORVANE_TESTDATA_DIR;

ReadBack ReadFile(const std::string& name) {
  ReadBack back;
  ReadTestFile(OpenFilePair(kData / name), back.Target(), 0, {});
  return back;
}

TEST(RecordedFiles, RawFileOfTheSecondChannel) {
  const ReadBack back = ReadFile("raw-recorded-by-instrument.SHT");
  EXPECT_EQ(back.project.site, "桥梁工程");
  EXPECT_EQ(back.project.instrument, "VKT-U-6");
  EXPECT_EQ(back.project.testMethod, TestMethod::Surface);
  EXPECT_EQ(back.project.beta, 1.05f);
  EXPECT_EQ(back.project.lambda, 1.0f);  // 0.00 in the file
  EXPECT_EQ(back.project.delay, 2.0f);   // row 1, the member's channel
  ASSERT_EQ(back.memberCount, 1);
  EXPECT_EQ(back.members[0].name, "Pier 3");
  EXPECT_EQ(back.members[0].sectionIndex, 1);
  EXPECT_EQ(back.members[0].sampleInterval, 0.4f);
  EXPECT_EQ(back.members[0].sampleCount, 8);
  ASSERT_EQ(back.sections.size(), 2u);
  EXPECT_EQ(back.sections[0].sampleInterval, 0.8f);
  EXPECT_EQ(back.sections[1].filterHigh, 100.0f);

  ASSERT_EQ(back.zoneLists.size(), 1u);
  ASSERT_EQ(back.zoneLists[0].size(), 2u);
  const TestZone& first = back.zoneLists[0][0];
  const TestZone& second = back.zoneLists[0][1];
  EXPECT_EQ(first.zoneNumber, 1);
  EXPECT_EQ(second.zoneNumber, 2);
  EXPECT_EQ(first.rebound[0], 38);    // R of the zone's last point
  EXPECT_EQ(second.rebound[15], 39);  // 39.5 truncated
  EXPECT_EQ(first.delay, 2.0f);
  EXPECT_EQ(first.testLocation, "侧面");
  EXPECT_EQ(first.beta, 1.05f);
  const int arrivals[] = {3, 4, 5};
  const int amplitudes[] = {5, 6, 7};
  const float distances[] = {200, 250, 300};
  for (int p = 0; p < 3; ++p) {
    const MeasuringPoint& point = *first.points[static_cast<std::size_t>(p)];
    EXPECT_EQ(point.arrivalIndex, arrivals[p]);
    EXPECT_EQ(point.amplitudeIndex, amplitudes[p]);
    EXPECT_EQ(point.distance, distances[p]);
    EXPECT_EQ(point.gain, 40.0f);
  }
  const SampleBuffer samples(std::vector<std::uint16_t>{2148, 1947, 2150, 1945, 2152, 1943, 2154, 1941});
  EXPECT_EQ(first.points[1]->samples, samples);
  EXPECT_EQ(first.points[1]->loadedSamples(), samples);
}

TEST(RecordedFiles, ResultFileWithoutDeltaColumn) {
  const ReadBack back = ReadFile("result-without-deltat-column.SHA");
  EXPECT_EQ(back.project.site, "Office Block");
  EXPECT_EQ(back.project.castingDate, "2020-1-2");
  EXPECT_EQ(back.project.standardName, "cecs02-2020");
  EXPECT_EQ(back.project.testMethod, TestMethod::Direct);
  EXPECT_EQ(back.project.delay, 1.0f);
  ASSERT_EQ(back.memberCount, 2);
  EXPECT_EQ(back.members[0].name, "KZ-1");
  EXPECT_EQ(back.members[1].sectionIndex, 1);
  EXPECT_EQ(back.members[0].sampleInterval, 0.5f);
  EXPECT_EQ(back.members[1].sampleInterval, 0.25f);
  EXPECT_EQ(back.members[1].sampleCount, 4);
  EXPECT_EQ(back.members[0].coefA, 0.0286f);
  EXPECT_EQ(back.members[0].coefB, 1.999f);
  EXPECT_EQ(back.members[1].coefC, 1.196f);
  EXPECT_EQ(back.members[1].aggregateType, Aggregate::Pebble);
  EXPECT_EQ(back.result.meanValue, 29.9f);
  EXPECT_EQ(back.result.stdDev, 1.25f);
  EXPECT_EQ(back.result.fcue, 27.8f);

  ASSERT_EQ(back.zoneLists.size(), 2u);
  ASSERT_EQ(back.zoneLists[0].size(), 1u);
  ASSERT_EQ(back.zoneLists[1].size(), 2u);
  const TestZone& a = back.zoneLists[0][0];
  EXPECT_EQ(a.rebound[0], 30);
  EXPECT_EQ(a.rebound[15], 45);
  EXPECT_EQ(a.testLocation, "东侧");
  EXPECT_EQ(a.strengthValue, 31.2f);
  EXPECT_EQ(a.carbonationDepth, 1.5f);
  EXPECT_EQ(a.deltaTot, 0.0f);
  EXPECT_EQ(a.testMethod, TestMethod::Direct);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(a.points[static_cast<std::size_t>(p)]->arrivalIndex, 1 + p);
    EXPECT_EQ(a.points[static_cast<std::size_t>(p)]->amplitudeIndex, 2 + p);
  }
  EXPECT_EQ(a.points[0]->samples, SampleBuffer(std::vector<std::uint16_t>{2048, 2043, 2055, 4048}));
  const TestZone& b = back.zoneLists[1][0];
  EXPECT_EQ(b.angle, -90);
  EXPECT_EQ(b.angleCorrection, -3.4f);
  EXPECT_EQ(b.surface, Surface::Top);
  EXPECT_EQ(b.surfaceCorrection, 1.2f);
  EXPECT_EQ(b.testLocation, "Top");
  const TestZone& c = back.zoneLists[1][1];
  EXPECT_EQ(c.surfaceCorrection, -1.1f);
  EXPECT_EQ(c.strengthValue, 29.9f);
  EXPECT_EQ(c.testLocation, "底面");
  EXPECT_EQ(c.points[2]->samples, SampleBuffer(std::vector<std::uint16_t>{2048 + 22, 2043, 2055, 4048}));
}

}  // namespace
}  // namespace korvane::testing
