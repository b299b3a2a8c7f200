#include "support/sample_documents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/wave/point_readings.h"

namespace korvane::testing {

TestZone MakeSampleZone(int z, int points) {
  TestZone zone;
  zone.zoneNumber = z + 1;
  for (int k = 0; k < kReadingsPerZone; ++k) zone.rebound[static_cast<std::size_t>(k)] = 30 + k + z % 5;
  zone.angle = z % 2 == 1 ? -90 : 0;
  zone.surface = Surface::Side;
  zone.pointCount = points;
  for (int j = 0; j < points && j < kMaxPoints; ++j) {
    zone.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(j, 0, nullptr, 0, 0.0f, 200.0f + j, 1.0f, 0);
    zone.pointTime[static_cast<std::size_t>(j)] = 50.5f + j;
    zone.pointDistance[static_cast<std::size_t>(j)] = 200.0f + j;
  }
  zone.testMethod = TestMethod::Surface;
  zone.testLocation = "侧面";
  zone.reboundValue = 36.0f + z;
  zone.angleCorrection = -1.2f;
  zone.surfaceCorrection = 0.5f;
  zone.zoneVelocity = 4.123f;
  zone.correctedVelocity = 4.321f;
  zone.beta = 1.05f;
  zone.lambda = 0.98f;
  zone.eta = 0.95f;
  zone.strengthValue = 30.0f + z;
  return zone;
}

std::unique_ptr<CKorvaneDoc> MakeSampleDoc(const std::vector<int>& zoneCounts, int points) {
  auto doc = std::make_unique<CKorvaneDoc>();
  for (std::size_t m = 0; m < zoneCounts.size(); ++m) {
    Member member = NewMember();
    member.name = "梁" + std::to_string(m + 1);
    member.sectionIndex = static_cast<int>(m);
    doc->members.push_back(member);
    ZoneList zones;
    for (int z = 0; z < zoneCounts[m]; ++z) zones.push_back(MakeSampleZone(z, points));
    doc->zoneLists.push_back(std::move(zones));
  }
  doc->memberCount = static_cast<int>(zoneCounts.size());
  doc->currentMember = 0;
  doc->currentZone = 0;
  doc->project.eta = 1.1f;
  doc->result = {28.4f, 33.25f, 2.345f};  // fcue, Mf, Sf

  ReportProjectInfo& info = doc->reportInfo;
  info.projectName = "滨江大桥工程";
  info.testingUnit = "市建设工程质量检测中心";
  info.constructionUnit = "第三建筑公司";
  info.clientUnit = "滨江建设集团";
  info.constructionDate = "2022-3-5";
  info.testBasis = "CECS 02：2005";
  info.commissionNumber = "WT-2022-018";
  info.testDate = "2022-4-12";
  info.designStrength = "C30";
  info.testNumber = "JC-0421";
  info.instrumentModel = "VKT-U6";
  info.instrumentNumber = "U6-1234";
  info.testAge = "38天";
  info.reportDate = "2022-4-20";
  info.recordSheetRemark = "现场记录备注";
  info.resultTableRemark = "结果备注";
  info.conversionTableName = "规程";
  return doc;
}

std::unique_ptr<CKorvaneDoc> MakeExportDoc(const std::vector<int>& zonesPerMember, int pointsPerZone) {
  auto doc = std::make_unique<CKorvaneDoc>();
  ReportProjectInfo& info = doc->reportInfo;
  info.projectName = "工程甲";
  info.testingUnit = "检测单位乙";
  info.constructionUnit = "施工单位丙";
  info.clientUnit = "委托单位丁";
  info.testAge = "28天";
  info.designStrength = "C30";
  info.testBasis = "CECS 02：2005";
  info.testDate = "2022-3-5";
  info.reportDate = "2022-3-9";
  info.commissionNumber = "WT-001";
  info.instrumentNumber = "SN42";
  info.constructionDate = "2022-1-2";
  info.testNumber = "JC-7";
  info.recordSheetRemark = "记录备注";
  info.resultTableRemark = "结果备注";
  info.instrumentModel = "VKT-U5";
  info.conversionTableName = "规程";
  doc->project.eta = 1.05f;
  doc->result.fcue = 25.06f;
  doc->result.meanValue = 31.25f;
  doc->result.stdDev = 2.5f;

  for (std::size_t m = 0; m < zonesPerMember.size(); ++m) {
    Member member = NewMember();
    member.name = "M" + std::to_string(m + 1);
    member.sectionIndex = static_cast<int>(m);
    member.sampleCount = 16;
    member.sampleInterval = 0.5f;
    doc->members.push_back(member);
    SectionPara section;
    section.sectionIndex = static_cast<int>(m);
    section.delay = 2.0f + static_cast<float>(m);
    section.sampleInterval = 0.5f;
    section.sampleCount = 16;
    doc->sections.push_back(section);

    ZoneList zones;
    for (int z = 0; z < zonesPerMember[m]; ++z) {
      TestZone zone;
      zone.sectionIndex = static_cast<int>(m);
      zone.zoneNumber = z + 1;
      zone.sampleInterval = 0.5f;
      zone.pointCount = pointsPerZone;
      zone.testMethod = TestMethod::Surface;
      zone.testLocation = "侧面";
      for (int k = 0; k < kReadingsPerZone; ++k) zone.rebound[static_cast<std::size_t>(k)] = 20 + k + z;
      zone.angle = z == 0 ? 90 : 0;
      zone.surface = static_cast<Surface>(z % 3);
      zone.reboundValue = 35.0f + 0.5f * static_cast<float>(z);
      zone.angleCorrection = -1.5f;
      zone.surfaceCorrection = 0.75f;
      zone.zoneVelocity = 4.1234f;
      zone.correctedVelocity = 4.2345f;
      zone.beta = 1.0f;
      zone.lambda = 1.0f;
      zone.eta = 1.0f;
      zone.strengthValue = 30.0f + static_cast<float>(z);
      for (int j = 0; j < std::min(pointsPerZone, kMaxPoints); ++j) {
        std::vector<std::uint16_t> samples(16);
        for (std::size_t i = 0; i < samples.size(); ++i)
          samples[i] = static_cast<std::uint16_t>(2048 + 10 * i + j);
        zone.points[static_cast<std::size_t>(j)] =
            NewMeasuringPoint(j, 3, samples.data(), 16, 0.0f,
                              200.0f + 10.0f * static_cast<float>(j) + static_cast<float>(z), 1.0f, 4);
        zone.pointTime[static_cast<std::size_t>(j)] = 50.25f + static_cast<float>(j + z);
        zone.pointDistance[static_cast<std::size_t>(j)] = zone.points[static_cast<std::size_t>(j)]->distance;
      }
      zones.push_back(std::move(zone));
    }
    doc->zoneLists.push_back(std::move(zones));
  }
  doc->memberCount = static_cast<int>(zonesPerMember.size());
  doc->currentMember = 0;
  doc->currentZone = 0;
  return doc;
}

int TestWaveCode(int k) {
  if (k < 60) return 2048;
  const double t = k - 60;
  return 2048 + static_cast<int>(std::lround(900.0 * std::sin(t * 3.14159265 / 8.0) * std::exp(-t / 120.0)));
}

std::unique_ptr<CKorvaneDoc> MakeWaveformDoc(int zones, int points, Standard standard) {
  auto doc = std::make_unique<CKorvaneDoc>();
  Member member = NewMember();
  member.name = "柱1";
  member.sectionIndex = 0;
  member.sampleCount = 512;
  member.sampleInterval = 0.5f;
  doc->members.push_back(member);
  SectionPara section;
  section.sectionIndex = 0;
  section.gain = 2.0f;
  section.sampleInterval = 0.5f;
  section.sampleCount = 512;
  section.filterLow = 100.0f;
  section.filterHigh = 10.0f;
  doc->sections.push_back(section);

  std::vector<std::uint16_t> wave(512);
  for (int k = 0; k < 512; ++k)
    wave[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(TestWaveCode(k));
  ZoneList list;
  for (int z = 0; z < zones; ++z) {
    TestZone zone;
    zone.zoneNumber = z + 1;
    zone.sampleInterval = 0.5f;
    zone.pointCount = points;
    zone.testMethod = TestMethod::Surface;
    zone.testLocation = "侧面";
    for (int j = 0; j < points; ++j) {
      zone.points[static_cast<std::size_t>(j)] =
          NewMeasuringPoint(j, 64, wave.data(), 512, 0.0f, 200.0f, 2.0f, 60);
    }
    RecomputePointReadings(zone);
    list.push_back(std::move(zone));
  }
  doc->zoneLists.push_back(std::move(list));
  doc->memberCount = 1;
  doc->currentMember = 0;
  doc->currentZone = 0;
  doc->currentPoint = 0;
  doc->SetStandard(standard);
  return doc;
}

std::unique_ptr<CKorvaneDoc> MakeEditingDoc(Standard standard) {
  auto doc = std::make_unique<CKorvaneDoc>();
  std::vector<std::uint16_t> wave(512);
  for (int k = 0; k < 512; ++k)
    wave[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(TestWaveCode(k));
  const int zoneCounts[] = {3, 2};
  for (int m = 0; m < 2; ++m) {
    Member member = NewMember();
    member.name = m == 0 ? "柱1" : "梁2";
    member.sectionIndex = m;
    member.sampleCount = 512;
    member.sampleInterval = 0.5f;
    member.aggregateType = m == 0 ? Aggregate::Custom : Aggregate::CrushedStone;
    member.coefA = m == 0 ? 0.02f : 0.03f;
    member.coefB = m == 0 ? 1.6f : 1.5f;
    member.coefC = m == 0 ? 1.4f : 1.3f;
    member.coefD = m == 0 ? 0.5f : 0.25f;
    member.minStrength = member.maxStrength = member.meanStrength = member.estimatedStrength = 77.0f;
    member.stdDevStrength = 7.7f;
    member.resultFlag = ResultFlag::Valid;
    doc->members.push_back(member);
    SectionPara section;
    section.sectionIndex = m;
    section.gain = 2.0f + static_cast<float>(m);
    section.delay = 0.25f;
    section.sampleInterval = 0.5f;
    section.sampleCount = 512;
    doc->sections.push_back(section);

    ZoneList list;
    for (int z = 0; z < zoneCounts[m]; ++z) {
      TestZone zone;
      zone.sectionIndex = m;
      zone.zoneNumber = z + 1;
      zone.sampleInterval = 0.5f;
      zone.pointCount = 3;
      zone.testMethod = TestMethod::Surface;
      zone.testLocation = "侧面";
      zone.angle = z == 0 ? 0 : (z == 1 ? -45 : 90);
      zone.surface = z == 0 ? Surface::None : static_cast<Surface>(z);
      zone.carbonationDepth = 1.5f;
      for (int k = 0; k < kReadingsPerZone; ++k)
        zone.rebound[static_cast<std::size_t>(k)] = 28 + (k * 7 + z * 3 + m) % 17;
      for (int j = 0; j < 3; ++j) {
        zone.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(
            j, 64, wave.data(), 512, 0.0f, 200.0f + 10.0f * static_cast<float>(j), 2.0f, 60 + 2 * z + j);
      }
      RecomputePointReadings(zone);
      list.push_back(std::move(zone));
    }
    doc->zoneLists.push_back(std::move(list));
  }
  doc->memberCount = 2;
  doc->currentMember = 0;
  doc->currentZone = 0;
  doc->currentPoint = 0;
  doc->SetStandard(standard);
  for (ZoneList& zones : doc->zoneLists) {
    for (std::size_t z = 0; z < zones.size(); ++z) zones[z].strengthValue = 90.0f + static_cast<float>(z);
  }
  doc->result = {77.0f, 77.0f, 7.7f};
  doc->pathName = "/data/editing.SHA";
  return doc;
}

}  // namespace korvane::testing
