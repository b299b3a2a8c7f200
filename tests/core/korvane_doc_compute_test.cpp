#include <gtest/gtest.h>

#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/algorithm/zone_computation.h"
#include "core/app/korvane_doc.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

constexpr float kDt = 0.5f;  // sampling interval, us

// A zone whose points have 64-sample waveforms with their first arrivals at
// the given sample indices; distances in mm.
TestZone MakeZone(const std::vector<int>& arrivals, const std::vector<float>& distances,
                  int firstReading = 30) {
  TestZone zone;
  zone.sampleInterval = kDt;
  zone.pointCount = static_cast<int>(arrivals.size());
  std::vector<std::uint16_t> samples(200, kZeroCode);
  samples[100] = kZeroCode + 1024;
  for (std::size_t j = 0; j < arrivals.size(); ++j) {
    zone.points[j] =
        NewMeasuringPoint(static_cast<int>(j), 100, samples.data(), static_cast<int>(samples.size()), 0.0f,
                          distances[j], 1.0f, arrivals[j]);
  }
  for (std::size_t i = 0; i < 16; ++i) zone.rebound[i] = firstReading + static_cast<int>(i);
  return zone;
}

// A document with `zonesPerMember[m]` copies of the standard zone per member.
void Fill(CKorvaneDoc& doc, const std::vector<int>& zonesPerMember,
          Standard standard = Standard::CECS02_2005) {
  doc.members.clear();
  doc.zoneLists.clear();
  for (int count : zonesPerMember) {
    Member member = NewMember();
    member.aggregateType = Aggregate::CrushedStone;
    doc.members.push_back(member);
    ZoneList& zones = doc.zoneLists.emplace_back();
    for (int z = 0; z < count; ++z) zones.push_back(MakeZone({90, 88, 92}, {200, 200, 200}, 30 + z));
  }
  doc.memberCount = static_cast<int>(zonesPerMember.size());
  doc.currentMember = 0;
  doc.SetStandard(standard);
}

TEST(ComputeZone, StepsInOrder) {
  CKorvaneDoc doc;
  Fill(doc, {1});
  TestZone& zone = *doc.Zone(0, 0);
  zone.delay = 1.5f;
  zone.pointAmplitude = {9, 9, 9, 9, 9, 9, 9};
  zone.pointTime[5] = 77.0f;  // stale value beyond the point count
  zone.pointDistance[6] = 77.0f;
  zone.angle = 90;
  zone.surface = Surface::Bottom;
  zone.beta = 1.05f;
  zone.lambda = 0.98f;
  doc.ComputeZone(0, 0, false);

  const float times[3] = {46.5f, 45.5f, 47.5f};
  for (std::size_t j = 0; j < 3; ++j) {
    EXPECT_EQ(zone.pointTime[j], times[j]) << j;
    EXPECT_EQ(zone.pointVelocity[j], 200.0f / times[j]) << j;
    EXPECT_EQ(zone.pointDistance[j], 200.0f) << j;
  }
  for (std::size_t j = 3; j < 7; ++j) {
    EXPECT_EQ(zone.pointTime[j], 0.0f) << j;
    EXPECT_EQ(zone.pointDistance[j], 0.0f) << j;
  }
  // Amplitudes are left as they are.
  EXPECT_EQ(zone.pointAmplitude[0], 9.0f);
  const float v = ((200.0f / 46.5f + 200.0f / 45.5f) + 200.0f / 47.5f) / 3.0f;
  EXPECT_EQ(zone.zoneVelocity, v);
  EXPECT_EQ(zone.correctedVelocity, v * 0.98f * 1.05f);
  EXPECT_EQ(zone.reboundValue, 37.5f);
  // Both corrections from the uncorrected R (the R = 40 row).
  EXPECT_EQ(zone.angleCorrection, -4.0f);
  EXPECT_EQ(zone.surfaceCorrection, -1.0f);
  const Member& member = doc.members[0];
  const float expected =
      doc.algorithm.CalcStrength({.va = zone.correctedVelocity,
                                  .rc = 32.5f,
                                  .aggregate = member.aggregateType,
                                  .own = {member.coefA, member.coefB, member.coefC, member.coefD},
                                  .carbonationDepth = zone.carbonationDepth,
                                  .eta = zone.eta,
                                  .deltaTot = zone.deltaTot});
  EXPECT_EQ(zone.strengthValue, expected);
  EXPECT_GT(zone.strengthValue, 10.0f);
}

TEST(ComputeZone, OutOfRangeDoesNothing) {
  CKorvaneDoc doc;
  Fill(doc, {1});
  doc.ComputeZone(0, 1, true);
  doc.ComputeZone(-1, 0, true);
  doc.ComputeZone(1, 0, true);
  EXPECT_EQ(doc.Zone(0, 0)->strengthValue, 0.0f);
  EXPECT_EQ(doc.members[0].resultFlag, ResultFlag::BatchInvalid);  // never evaluated
  // A zone list without a member record is not computed either.
  doc.zoneLists.emplace_back().push_back(MakeZone({90, 88, 92}, {200, 200, 200}));
  doc.ComputeZone(1, 0, true);
  EXPECT_EQ(doc.Zone(1, 0)->strengthValue, 0.0f);
}

// Without a first arrival the three-point rule used to give an infinite
// velocity, limited to 9999 km/s and turned into an absurd strength.
TEST(ComputeZone, PointWithoutSamples) {
  for (Standard standard : {Standard::CECS02_2005, Standard::TB10426_2004, Standard::CECS02_2020}) {
    CKorvaneDoc doc;
    Fill(doc, {1}, standard);
    TestZone& zone = *doc.Zone(0, 0);
    zone.testMethod = TestMethod::Direct;
    zone.points[1]->samples = SampleBuffer();
    doc.ComputeZone(0, 0, false);
    EXPECT_EQ(zone.pointTime[1], 0.0f);
    EXPECT_EQ(zone.pointVelocity[1], 0.0f);
    EXPECT_EQ(zone.pointDistance[1], 200.0f);
    if (standard == Standard::CECS02_2005) {
      EXPECT_EQ(zone.zoneVelocity, 0.0f);
      EXPECT_EQ(zone.strengthValue, 0.0f);
    } else if (standard == Standard::TB10426_2004) {
      EXPECT_FLOAT_EQ(zone.zoneVelocity, 600.0f / 91.0f);  // ratio of sums over all three
    } else {
      // Mean of ratios over the two points with a time.
      EXPECT_FLOAT_EQ(zone.zoneVelocity, (200.0f / 45.0f + 200.0f / 46.0f) / 2.0f);
    }
  }
}

TEST(ComputeZone, RailwayAngleTestKeepsVelocity) {
  CKorvaneDoc doc;
  Fill(doc, {1}, Standard::TB10426_2004);
  TestZone& zone = *doc.Zone(0, 0);
  zone.testMethod = TestMethod::Angle;
  zone.beta = 1.034f;
  zone.lambda = 1.2f;
  doc.ComputeZone(0, 0, false);
  EXPECT_EQ(zone.correctedVelocity, zone.zoneVelocity);
  zone.testMethod = TestMethod::Direct;
  doc.ComputeZone(0, 0, false);
  EXPECT_EQ(zone.correctedVelocity, zone.zoneVelocity * 1.2f * 1.034f);
}

TEST(ComputeZone, TypedReboundValueIsKept) {
  CKorvaneDoc doc;
  Fill(doc, {1});
  TestZone& zone = *doc.Zone(0, 0);
  zone.reboundManual = 1;
  zone.reboundValue = 44.0f;
  zone.rebound.fill(20);
  doc.ComputeZone(0, 0, false);
  EXPECT_EQ(zone.reboundValue, 44.0f);
  zone.reboundManual = 0;
  doc.ComputeZone(0, 0, false);
  EXPECT_EQ(zone.reboundValue, 20.0f);
}

TEST(ComputeZone, SharedWithTheCalculator) {
  CKorvaneDoc doc;
  Fill(doc, {1}, Standard::DB37T2361_2013);
  TestZone& zone = *doc.Zone(0, 0);
  zone.angle = -45;
  zone.surface = Surface::Top;
  zone.carbonationDepth = 2.5f;
  zone.eta = 1.1f;
  doc.members[0].pumped = 1;
  doc.ComputeZone(0, 0, false);

  ZoneCalculatorInput input;
  for (std::size_t i = 0; i < 16; ++i) input.readings[i] = 30 + static_cast<int>(i);
  input.distances = {200, 200, 200};
  input.times = {45, 44, 46};
  input.angle = -45;
  input.surface = Surface::Top;
  input.carbonationDepth = 2.5f;
  input.eta = 1.1f;
  input.pumped = true;
  const TestZone calculated = CalculateZone(doc.algorithm, input);
  EXPECT_EQ(calculated.strengthValue, zone.strengthValue);
  EXPECT_EQ(calculated.zoneVelocity, zone.zoneVelocity);
  EXPECT_EQ(CorrectedRebound(calculated), CorrectedRebound(zone));
  // A typed R is clamped to 20..50 and replaces the readings.
  input.manualRebound = 60.0f;
  EXPECT_EQ(CalculateZone(doc.algorithm, input).reboundValue, 50.0f);
  input.manualRebound = 12.0f;
  EXPECT_EQ(CalculateZone(doc.algorithm, input).reboundValue, 20.0f);
}

TEST(Evaluate, MembersAndBatch) {
  CKorvaneDoc doc;
  Fill(doc, {2, 2});
  const float values[] = {30.0f, 34.0f};
  for (std::size_t z = 0; z < 2; ++z) doc.zoneLists[0][z].strengthValue = values[z];
  doc.zoneLists[1][0].strengthValue = 32.0f;
  doc.zoneLists[1][1].strengthValue = 0.0f;
  doc.EvaluateMember(0);
  doc.EvaluateMember(1);
  doc.EvaluateBatch();
  const Member& m = doc.members[0];
  EXPECT_EQ(m.minStrength, 30.0f);
  EXPECT_EQ(m.maxStrength, 34.0f);
  EXPECT_EQ(m.meanStrength, 32.0f);
  EXPECT_FLOAT_EQ(m.stdDevStrength, 2.8284271f);
  EXPECT_EQ(m.estimatedStrength, 30.0f);
  EXPECT_EQ(m.resultFlag, ResultFlag::Valid);
  EXPECT_EQ(doc.result.meanValue, 24.0f);                    // (30 + 34 + 32 + 0) / 4
  EXPECT_EQ(doc.batchResultFlag, ResultFlag::BatchInvalid);  // the 0 spreads the batch
  EXPECT_EQ(doc.result.fcue, 0.0f);
}

TEST(Evaluate, NothingToEvaluateKeepsPreviousResults) {
  CKorvaneDoc doc;
  doc.result = {1.0f, 2.0f, 3.0f};
  doc.batchResultFlag = ResultFlag::Above70;
  doc.EvaluateBatch();
  doc.RecomputeAll();
  EXPECT_EQ(doc.result.fcue, 1.0f);
  EXPECT_EQ(doc.result.stdDev, 3.0f);
  EXPECT_EQ(doc.batchResultFlag, ResultFlag::Above70);

  Fill(doc, {0, 2});
  doc.members[0].estimatedStrength = 12.5f;
  doc.members[0].resultFlag = ResultFlag::Below10;
  doc.RecomputeAll();
  EXPECT_EQ(doc.members[0].estimatedStrength, 12.5f);
  EXPECT_EQ(doc.members[0].resultFlag, ResultFlag::Below10);
  EXPECT_GT(doc.members[1].estimatedStrength, 10.0f);
  // The batch holds member 1's two zones only.
  EXPECT_EQ(doc.result.meanValue, doc.members[1].meanStrength);
}

TEST(Recompute, WithMemberEvaluatesMemberAndBatch) {
  CKorvaneDoc doc;
  Fill(doc, {2, 2}, Standard::TB10426_2004);
  doc.ComputeZone(1, 1, true);
  EXPECT_EQ(doc.members[1].resultFlag, ResultFlag::Valid);
  EXPECT_EQ(doc.members[1].estimatedStrength, 0.0f);               // zone 0 not computed yet: minimum 0
  EXPECT_EQ(doc.members[0].resultFlag, ResultFlag::BatchInvalid);  // untouched
  doc.RecomputeMember(1, false);
  const float minimum = doc.members[1].estimatedStrength;
  EXPECT_EQ(minimum, std::min(doc.Zone(1, 0)->strengthValue, doc.Zone(1, 1)->strengthValue));
  doc.RecomputeAll();
  EXPECT_EQ(doc.members[0].estimatedStrength, minimum);
  EXPECT_EQ(doc.batchResultFlag, ResultFlag::Valid);
  EXPECT_FLOAT_EQ(doc.result.meanValue, doc.members[0].meanStrength);
}

TEST(Recompute, ApplyCoefficientsAndCorrectionsToAll) {
  CKorvaneDoc doc;
  Fill(doc, {1, 1}, Standard::CECS02_2020);
  doc.RecomputeAll();
  const float plain = doc.Zone(1, 0)->strengthValue;

  doc.project.eta = 1.3f;
  doc.project.deltaTot = 2.0f;
  doc.ApplyCorrectionsToAll();
  for (int m = 0; m < 2; ++m) {
    EXPECT_EQ(doc.Zone(m, 0)->eta, 1.3f);
    EXPECT_EQ(doc.Zone(m, 0)->deltaTot, 2.0f);
  }
  EXPECT_EQ(doc.Zone(1, 0)->strengthValue, plain + 2.0f);

  doc.currentMember = 0;
  doc.members[0].aggregateType = Aggregate::Custom;
  doc.members[0].coefA = 0.03f;
  doc.members[0].coefB = 2.0f;
  doc.members[0].coefC = 1.1f;
  doc.members[0].coefD = 0.5f;
  doc.ApplyCoefficientsToAll();
  EXPECT_EQ(doc.members[1].aggregateType, Aggregate::Custom);
  EXPECT_EQ(doc.members[1].coefA, 0.03f);
  EXPECT_EQ(doc.members[1].coefD, 0.5f);
  EXPECT_EQ(doc.Zone(1, 0)->strengthValue, doc.Zone(0, 0)->strengthValue);
  EXPECT_NE(doc.Zone(1, 0)->strengthValue, plain + 2.0f);
}

TEST(SetStandard, ReplacesAlgorithmAndRecomputesVelocities) {
  CKorvaneDoc doc;
  Fill(doc, {1});
  TestZone& zone = *doc.Zone(0, 0);
  zone.testMethod = TestMethod::Angle;
  zone.beta = 1.1f;
  zone.strengthValue = 12.0f;
  zone.pointAmplitude.fill(0.0f);

  doc.SetStandard(Standard::TB10426_2004);
  EXPECT_EQ(doc.standard, Standard::TB10426_2004);
  EXPECT_EQ(doc.project.standardName, "tb10426-2004");
  EXPECT_EQ(doc.algorithm.standard(), Standard::TB10426_2004);
  EXPECT_EQ(zone.pointTime[0], 45.0f);
  EXPECT_EQ(zone.pointAmplitude[0], 1.0f);  // code 3072 at gain 1
  EXPECT_FLOAT_EQ(zone.zoneVelocity, 600.0f / 135.0f);
  EXPECT_EQ(zone.correctedVelocity, zone.zoneVelocity);  // angle method
  EXPECT_EQ(zone.strengthValue, 12.0f);                  // not recomputed here

  doc.SetStandard(Standard::CECS02_2005);
  EXPECT_EQ(zone.correctedVelocity, zone.zoneVelocity * 1.1f);
}

TEST(RecomputeZoneVelocity, AfterADistanceChange) {
  CKorvaneDoc doc;
  Fill(doc, {1}, Standard::CECS02_2020);
  TestZone& zone = *doc.Zone(0, 0);
  doc.ComputeZone(0, 0, false);
  const float strength = zone.strengthValue;
  for (auto& point : zone.points) {
    if (point) point->distance = 400.0f;
  }
  doc.RecomputeZoneVelocity(zone);
  EXPECT_EQ(zone.pointDistance[0], 400.0f);
  EXPECT_FLOAT_EQ(zone.zoneVelocity, (400.0f / 45.0f + 400.0f / 44.0f + 400.0f / 46.0f) / 3.0f);
  EXPECT_EQ(zone.correctedVelocity, zone.zoneVelocity);
  EXPECT_EQ(zone.strengthValue, strength);
}

TEST(MarkExtremes, UsesTheCurrentRule) {
  CKorvaneDoc doc;
  std::array<int, kReadingsPerZone> readings{};
  for (std::size_t i = 0; i < 16; ++i) readings[i] = 30 + static_cast<int>(i);
  std::array<int, 6> positions{};
  EXPECT_EQ(doc.MarkExtremes(readings, positions), 37.5f);
  std::array<int, 3> high = {positions[0], positions[1], positions[2]};
  std::sort(high.begin(), high.end());
  EXPECT_EQ(high, (std::array<int, 3>{13, 14, 15}));
  doc.SetStandard(Standard::CECS02_2020);
  EXPECT_EQ(doc.MarkExtremes(readings, positions), 34.5f);
}

}  // namespace
}  // namespace korvane
