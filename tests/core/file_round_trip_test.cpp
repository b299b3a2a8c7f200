// Write, read again, compare: result files of 3-, 4- and 7-point zones, raw
// files, and the round trips that used to scramble data.
#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <climits>
#include <cmath>

#include "core/data/number_entry.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"
#include "file_test_support.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

// Zone values at file precision, so that they come back exactly.
void SetResultValues(SyntheticData& d) {
  int n = 0;
  for (auto& list : d.zoneLists) {
    for (TestZone& zone : list) {
      ++n;
      zone.strengthValue = 20.0f + 0.1f * static_cast<float>(n % 50);
      zone.angleCorrection = -1.5f;
      zone.surfaceCorrection = 0.7f;
      zone.angle = n % 2 == 0 ? -90 : 0;
      zone.surface = static_cast<Surface>(n % 3);
      zone.deltaTot = 1.25f;
      zone.beta = 1.125f;
      zone.lambda = 0.75f;
      zone.eta = 1.5f;
      zone.recordedRebound = 36.0f;
    }
  }
  for (Member& member : d.members) {
    member.coefA = 0.0286f;
    member.coefB = 1.999f;
    member.coefC = 1.155f;
    member.coefD = -0.0201f;
    member.aggregateType = Aggregate::Custom;
  }
}

struct RoundTripCase {
  const char* name;
  int points;
  TestMethod method;
  const char* standard;
};

class ResultRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ResultRoundTrip, GivesBackMembersZonesReadingsAndWaveforms) {
  const RoundTripCase& c = GetParam();
  SyntheticData d = SmallData(c.points, c.method, c.standard, {4, 2, 3});
  SetResultValues(d);
  // A filtered waveform is stored filtered.
  auto& filtered = *d.zoneLists[1][0].points[0];
  std::uint16_t* codes = filtered.samples.writableData();
  for (std::size_t k = 0; k < filtered.samples.size(); ++k)
    codes[k] = static_cast<std::uint16_t>(codes[k] / 2 + 1024);
  const StrengthResult result{23.4f, 25.5f, 1.25f};
  const EncodedPair bytes = ResultBytes(d, FileKind::Result, result);
  ReadBack back = Read(bytes, FileKind::Result);

  ASSERT_EQ(back.memberCount, 3);
  ASSERT_EQ(back.members.size(), 3u);
  for (std::size_t m = 0; m < 3; ++m) {
    const Member& a = d.members[m];
    const Member& b = back.members[m];
    EXPECT_EQ(AsRead(a.name), b.name);
    EXPECT_EQ(static_cast<int>(m), b.sectionIndex);
    EXPECT_EQ(a.sampleCount, b.sampleCount);
    EXPECT_EQ(a.sampleInterval, b.sampleInterval);
    EXPECT_EQ(a.coefA, b.coefA);
    EXPECT_EQ(a.coefB, b.coefB);
    EXPECT_EQ(a.coefC, b.coefC);
    EXPECT_EQ(a.coefD, b.coefD);
    EXPECT_EQ(a.aggregateType, b.aggregateType);
  }
  for (auto& list : d.zoneLists) {
    for (TestZone& zone : list) {
      for (auto& point : zone.points) {
        if (point) point->unfilteredSamples = point->samples;
      }
    }
  }
  ExpectSameZoneLists(d.zoneLists, back.zoneLists);
  EXPECT_EQ(back.result.fcue, 23.4f);
  EXPECT_EQ(back.result.meanValue, 25.5f);
  EXPECT_EQ(back.result.stdDev, 1.25f);
  EXPECT_EQ(back.sections.size(), 3u);
  EXPECT_TRUE(back.warnings.empty());

  // Writing what was read gives the same bytes again.
  const EncodedPair again =
      ResultBytes(back.project, back.zoneLists, back.memberCount, back.result, back.sections, back.members);
  EXPECT_EQ(again.text, bytes.text);
  EXPECT_EQ(again.wave, bytes.wave);
}

INSTANTIATE_TEST_SUITE_P(
    PointsPerZone, ResultRoundTrip,
    ::testing::Values(RoundTripCase{"three_points_surface_cecs2005", 3, TestMethod::Surface, "cecs02:2005"},
                      RoundTripCase{"four_points_direct_jts239", 4, TestMethod::Direct, "jts239-2015"},
                      RoundTripCase{"seven_points_surface_cecs2020", 7, TestMethod::Surface, "cecs02-2020"}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return std::string(param.param.name); });

TEST(RawRoundTrip, MemberChannelAndReboundValuesComeBack) {
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {5});
  // Two channel rows; the member's own is row 1 with its own settings.
  d.sections.resize(2);
  d.sections[0].sectionIndex = 0;
  d.sections[0].sampleInterval = 2.0f;
  d.sections[0].sampleCount = 16;
  d.sections[0].crossDistance = 1.0f;
  d.sections[1].sectionIndex = 1;
  d.sections[1].sampleInterval = 0.5f;
  d.sections[1].sampleCount = 64;
  d.sections[1].delay = 3.0f;
  d.sections[1].crossDistance = 1.0f;
  d.members[0].sectionIndex = 1;
  for (TestZone& zone : d.zoneLists[0]) zone.rebound.fill(30 + zone.zoneNumber);

  const ReadBack back = Read(RawBytes(d), FileKind::Raw);
  ASSERT_EQ(back.memberCount, 1);
  EXPECT_EQ(back.members[0].sectionIndex, 1);  // SectNum is written
  EXPECT_EQ(back.members[0].sampleInterval, 0.5f);
  EXPECT_EQ(back.members[0].sampleCount, 64);
  EXPECT_EQ(back.project.delay, 3.0f);
  EXPECT_EQ(back.sections.size(), 2u);  // VKT-U-6: two channel rows
  ASSERT_EQ(back.zoneLists.size(), 1u);
  ASSERT_EQ(back.zoneLists[0].size(), 5u);
  for (std::size_t z = 0; z < 5; ++z) {
    const TestZone& zone = back.zoneLists[0][z];
    EXPECT_EQ(zone.rebound, d.zoneLists[0][z].rebound) << z;  // R column holds the zone's value
    EXPECT_EQ(zone.recordedRebound, 35.0f);
    EXPECT_EQ(zone.testLocation, back.project.spot);
    for (int p = 0; p < 3; ++p) {
      EXPECT_EQ(zone.points[static_cast<std::size_t>(p)]->samples,
                d.zoneLists[0][z].points[static_cast<std::size_t>(p)]->samples);
    }
  }
}

// A raw file of the second channel saved as a result file keeps the
// member's own acquisition row.
TEST(RawToResult, SecondChannelKeepsItsOwnSectionRow) {
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {3});
  d.sections.resize(2);
  d.sections[0] = SectionPara{0, 1.0f, 40.0f, 0.0f, 2.0f, 0.0f, 16, 0.0f, 0.0f, 0.0f};
  d.sections[1] = SectionPara{1, 1.0f, 40.0f, 0.0f, 0.5f, 0.0f, 64, 0.0f, 0.0f, 0.0f};
  d.members[0].sectionIndex = 1;
  ReadBack raw = Read(RawBytes(d), FileKind::Raw);
  ASSERT_EQ(raw.members[0].sampleInterval, 0.5f);

  const EncodedPair result =
      ResultBytes(raw.project, raw.zoneLists, raw.memberCount, raw.result, raw.sections, raw.members);
  const ReadBack back = Read(result, FileKind::Result);
  EXPECT_EQ(back.members[0].sampleInterval, 0.5f);
  EXPECT_EQ(back.members[0].sampleCount, 64);
  ExpectSameZoneLists(raw.zoneLists, back.zoneLists);
}

// A surface-method file under a fixed-method standard keeps its seven-point
// grouping when the project's method has become "对测".
TEST(FixedMethodStandard, SevenPointZonesSurviveTheMethodSwitch) {
  for (const char* standard : {"tb10426-2019", "db61/t1084-2017"}) {
    SyntheticData d = SmallData(7, TestMethod::Surface, standard, {2, 1});
    const ReadBack first = Read(ResultBytes(d), FileKind::Result);
    ASSERT_EQ(first.zoneLists[0][0].pointCount, 7);
    ProjectInfo switched = first.project;
    switched.testMethod = TestMethod::Direct;  // as the document does after opening
    const EncodedPair bytes = ResultBytes(switched, first.zoneLists, first.memberCount, first.result,
                                          first.sections, first.members);
    const ReadBack back = Read(bytes, FileKind::Result);
    EXPECT_EQ(back.project.testMethod, TestMethod::Surface) << standard;
    ExpectSameZoneLists(first.zoneLists, back.zoneLists);
  }
}

TEST(HeaderTestMethod, KeepsTheProjectsMethodWhenTheGroupingAgrees) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "tb10426-2019", {1});
  EXPECT_EQ(HeaderTestMethod(d.project, d.zoneLists), TestMethod::Direct);
  d.project.testMethod = TestMethod::Angle;  // 3 points as well
  EXPECT_EQ(HeaderTestMethod(d.project, d.zoneLists), TestMethod::Angle);
  d.project.testMethod = TestMethod::Surface;  // would be 7 points
  EXPECT_EQ(HeaderTestMethod(d.project, d.zoneLists), TestMethod::Direct);
  EXPECT_EQ(HeaderTestMethod(d.project, ZoneLists{}), TestMethod::Surface);
}

// Zones of 4 and 7 points are stored whole; a slot without samples is
// written as a flat waveform so that later zones stay aligned.
TEST(ZoneSlots, SlotWithoutSamplesIsWrittenFlat) {
  SyntheticData d = SmallData(7, TestMethod::Surface, "cecs02-2020", {3});
  d.zoneLists[0][1].points[2]->samples = SampleBuffer();
  d.zoneLists[0][1].points[5].reset();
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  ASSERT_EQ(back.zoneLists[0].size(), 3u);
  const TestZone& zone = back.zoneLists[0][1];
  EXPECT_EQ(zone.points[2]->samples, SampleBuffer(std::vector<std::uint16_t>(64, 2048)));
  EXPECT_EQ(zone.points[5]->samples, SampleBuffer(std::vector<std::uint16_t>(64, 2048)));
  EXPECT_EQ(zone.points[5]->gain, d.zoneLists[0][1].points[0]->gain);
  EXPECT_EQ(zone.points[2]->distance, d.zoneLists[0][1].points[2]->distance);
  for (std::size_t z : {0u, 2u}) {
    for (std::size_t p = 0; p < 7; ++p) {
      EXPECT_EQ(back.zoneLists[0][z].points[p]->samples, d.zoneLists[0][z].points[p]->samples)
          << z << "/" << p;
    }
  }
}

// Indices outside the waveform are kept and never read through.
TEST(ZoneSlots, IndicesOutsideTheWaveformAreKept) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  d.zoneLists[0][0].points[0]->arrivalIndex = 5000;
  d.zoneLists[0][0].points[1]->amplitudeIndex = -5;
  d.zoneLists[0][0].points[2]->samples =
      testing::Resized(d.zoneLists[0][0].points[2]->samples, 10);  // shorter than DatLen
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  EXPECT_EQ(back.zoneLists[0][0].points[0]->arrivalIndex, 5000);
  EXPECT_EQ(back.zoneLists[0][0].points[1]->amplitudeIndex, -5);
  const auto& samples = back.zoneLists[0][0].points[2]->samples;
  ASSERT_EQ(samples.size(), 64u);
  EXPECT_EQ(samples[10], 2048);
}

TEST(TestLocation, LongLocationIsCutAndLaterRowsStayInPlace) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {3});
  d.zoneLists[0][0].testLocation = "一二三四五六七八九十十一十二";
  d.zoneLists[0][1].testLocation = "ABCDEFGHIJKLMNOP";
  d.zoneLists[0][2].testLocation = "a😀\r\nb";  // outside code page 936, line break
  for (TestZone& zone : d.zoneLists[0]) zone.strengthValue = 31.5f;
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  EXPECT_EQ(back.zoneLists[0][0].testLocation, "一二三四五六七八九十");
  EXPECT_EQ(back.zoneLists[0][1].testLocation, "ABCDEFGHIJ");
  EXPECT_EQ(back.zoneLists[0][2].testLocation, "a?  b");
  for (const TestZone& zone : back.zoneLists[0]) EXPECT_EQ(zone.strengthValue, 31.5f);
}

// Members without a SectionPara record of their own get a row made from
// their acquisition values.
TEST(SectionRows, MemberWithoutRecordGetsADefaultRow) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1, 1});
  d.sections.clear();
  d.members[1].sampleInterval = 0.5f;
  d.project.delay = 2.0f;
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  ASSERT_EQ(back.sections.size(), 2u);
  EXPECT_EQ(back.sections[1].sectionIndex, 1);
  EXPECT_EQ(back.sections[1].sampleCount, 64);
  EXPECT_EQ(back.sections[1].sampleInterval, 0.5f);
  EXPECT_EQ(back.sections[1].delay, 2.0f);
  EXPECT_EQ(back.members[1].sampleCount, 64);
  EXPECT_EQ(back.project.delay, 2.0f);
}

TEST(SectionRows, SectionForMemberPrefersTheMembersOwnRecord) {
  std::vector<Member> members(2);
  members[0].sectionIndex = 1;
  members[1].sectionIndex = 7;
  std::vector<SectionPara> sections(2);
  sections[0].sectionIndex = 0;
  sections[1].sectionIndex = 1;
  EXPECT_EQ(SectionForMember(sections, members, 0), &sections[1]);
  EXPECT_EQ(SectionForMember(sections, members, 1), &sections[1]);  // by position
  EXPECT_EQ(SectionForMember(sections, members, 2), nullptr);
  sections.resize(1);
  EXPECT_EQ(SectionForMember(sections, members, 1), nullptr);
}

// A member without zones in the middle does not hand the zones of the
// following members to the first one.
TEST(MemberWithoutZones, KeepsTheOtherMembersZones) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2, 0, 3, 0});
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  ASSERT_EQ(back.zoneLists.size(), 4u);
  EXPECT_EQ(back.zoneLists[0].size(), 2u);
  EXPECT_EQ(back.zoneLists[1].size(), 0u);
  EXPECT_EQ(back.zoneLists[2].size(), 3u);
  EXPECT_EQ(back.zoneLists[3].size(), 0u);
}

TEST(MemberWithoutZones, FileWithoutRayRowsOpensWithEmptyLists) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {0, 0});
  const ReadBack back = Read(ResultBytes(d), FileKind::Result);
  EXPECT_EQ(back.memberCount, 2);
  ASSERT_EQ(back.zoneLists.size(), 2u);
  EXPECT_TRUE(back.zoneLists[0].empty());
}

// Times written as index * dT with a dT that binary floats cannot hold
// exactly read back as the same index.
TEST(SampleIndex, TimesOnTheSampleGridComeBackAsTheSameIndex) {
  for (float interval : {0.1f, 0.2f, 0.4f, 0.8f, 0.05f}) {
    for (int index = 0; index < 4096; ++index) {
      const float time = static_cast<float>(index) * interval + 2.0f;
      const std::string text = FormatFixed(time, 8, 1);
      const float read = MathOperation::ToFloat(text);
      if (std::fabs(read - time) > 1e-3f) continue;  // not on the file's 0.1 us grid
      ASSERT_EQ(SampleIndexOfTime(read, 2.0f, interval), index) << interval << " " << text;
    }
  }
  EXPECT_EQ(SampleIndexOfTime(1.3f, 0.0f, 0.4f), 3);     // 3.25 truncates
  EXPECT_EQ(SampleIndexOfTime(-1.3f, 0.0f, 0.4f), -3);   // toward zero
  EXPECT_EQ(SampleIndexOfTime(5.0f, 0.0f, 0.0f), 0);     // no interval
  EXPECT_EQ(SampleIndexOfTime(1e30f, 0.0f, 1e-30f), 0);  // quotient overflows float
  EXPECT_EQ(SampleIndexOfTime(3e9f, 0.0f, 1.0f), INT_MAX);
}

}  // namespace
}  // namespace korvane::testing
