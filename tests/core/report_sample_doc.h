// In-memory documents for the report tests: members with a given number of
// zones, every zone filled with recognisable values.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/korvane_doc.h"
#include "core/report/display_list.h"

namespace korvane::testing {

// Zone z (0-based within its member) of a member: readings 30 + k + z % 5,
// angle -90 when z is odd else 0, surface 0, points with distances 200 + j
// mm and times 50.5 + j us, Rm 36.0 + z, corrections -1.2 and 0.5, V 4.123,
// Va 4.321, β 1.05, λ 0.98, η 0.95, fcu,i 30.0 + z.
inline std::unique_ptr<TestZone> MakeSampleZone(int z, int points) {
  auto zone = NewTestZone();
  zone->zoneNumber = z + 1;
  for (int k = 0; k < kReadingsPerZone; ++k) zone->rebound[static_cast<std::size_t>(k)] = 30 + k + z % 5;
  zone->angle = z % 2 == 1 ? -90 : 0;
  zone->surface = 0;
  zone->pointCount = points;
  for (int j = 0; j < points && j < kMaxPoints; ++j) {
    zone->points[static_cast<std::size_t>(j)] =
        NewMeasuringPoint(j, 0, nullptr, 0, 0.0f, 200.0f + j, 1.0f, 0);
    zone->pointTime[static_cast<std::size_t>(j)] = 50.5f + j;
    zone->pointDistance[static_cast<std::size_t>(j)] = 200.0f + j;
  }
  zone->testMethod = kMethodSurface;
  zone->testLocation = "侧面";
  zone->reboundValue = 36.0f + z;
  zone->angleCorrection = -1.2f;
  zone->surfaceCorrection = 0.5f;
  zone->zoneVelocity = 4.123f;
  zone->correctedVelocity = 4.321f;
  zone->beta = 1.05f;
  zone->lambda = 0.98f;
  zone->eta = 0.95f;
  zone->strengthValue = 30.0f + z;
  return zone;
}

// A document "with a file open" whose members have the given zone counts.
// Members are named "梁1", "梁2", ... with section indices 0, 1, ...
inline std::unique_ptr<CKorvaneDoc> MakeSampleDoc(const std::vector<int>& zoneCounts, int points = 3) {
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

// Texts of a page description equal to `text`.
inline std::vector<report::TextItem> TextsEqual(const report::PageDescription& page,
                                                const std::string& text) {
  std::vector<report::TextItem> found;
  for (const report::TextItem& item : page.texts) {
    if (item.text == text) found.push_back(item);
  }
  return found;
}

// The text drawn in exactly this cell with this role, or nullptr.
inline const report::TextItem* TextInCell(const report::PageDescription& page, const report::Rect& cell,
                                          report::FontRole role) {
  for (const report::TextItem& item : page.texts) {
    if (item.cell == cell && item.role == role) return &item;
  }
  return nullptr;
}

}  // namespace korvane::testing
