// Recomputation of zones, members and the batch, and the choice of standard.
#include <vector>

#include "core/algorithm/zone_computation.h"
#include "core/app/korvane_doc.h"
#include "core/standards/standards.h"
#include "core/wave/point_readings.h"

namespace korvane {

void CKorvaneDoc::ComputeZone(int member, int zone, bool withMember) {
  if (member < 0 || static_cast<std::size_t>(member) >= members.size()) return;
  TestZone* target = Zone(member, zone);
  if (target == nullptr) return;
  ComputePointTimes(*target);
  ComputeZoneFromTimes(algorithm, members[static_cast<std::size_t>(member)], *target);
  if (withMember) {
    EvaluateMember(member);
    EvaluateBatch();
  }
}

void CKorvaneDoc::RecomputeMember(int member, bool withFileResult) {
  if (member < 0 || static_cast<std::size_t>(member) >= zoneLists.size()) return;
  const int zones = ZoneCount(member);
  for (int z = 0; z < zones; ++z) ComputeZone(member, z, false);
  EvaluateMember(member);
  if (withFileResult) EvaluateBatch();
}

void CKorvaneDoc::EvaluateMember(int member) {
  if (member < 0 || static_cast<std::size_t>(member) >= members.size() ||
      static_cast<std::size_t>(member) >= zoneLists.size()) {
    return;
  }
  std::vector<float> values;
  for (const TestZone& zone : zoneLists[static_cast<std::size_t>(member)])
    values.push_back(zone.strengthValue);
  // A member without zones keeps its previous results.
  if (values.empty()) return;
  Member& record = members[static_cast<std::size_t>(member)];
  ResultFlag flag = ResultFlag::Valid;
  record.estimatedStrength = algorithm.MemberEstimate(values, flag);
  record.minStrength = algorithm.Minimum(values);
  record.maxStrength = algorithm.Maximum(values);
  record.meanStrength = algorithm.SafeMean(values);
  record.stdDevStrength = algorithm.StdDev(values);
  record.resultFlag = flag;
}

void CKorvaneDoc::EvaluateBatch() {
  if (zoneLists.empty()) return;
  StrengthLists lists;
  lists.reserve(zoneLists.size());
  for (const ZoneList& zones : zoneLists) {
    std::vector<float>& values = lists.emplace_back();
    values.reserve(zones.size());
    for (const TestZone& zone : zones) values.push_back(zone.strengthValue);
  }
  result.meanValue = algorithm.BatchMean(lists);
  result.stdDev = algorithm.BatchStdDev(lists);
  ResultFlag flag = ResultFlag::Valid;
  result.fcue = algorithm.BatchEstimate(lists, flag);
  batchResultFlag = flag;
}

void CKorvaneDoc::RecomputeAll() {
  for (int m = 0; m < static_cast<int>(zoneLists.size()); ++m) RecomputeMember(m, false);
  EvaluateBatch();
}

void CKorvaneDoc::ApplyCoefficientsToAll(int fromMember) {
  if (fromMember >= 0 && static_cast<std::size_t>(fromMember) < members.size()) {
    const Member source = members[static_cast<std::size_t>(fromMember)];
    for (Member& member : members) {
      member.aggregateType = source.aggregateType;
      member.coefA = source.coefA;
      member.coefB = source.coefB;
      member.coefC = source.coefC;
      member.coefD = source.coefD;
    }
  }
  RecomputeAll();
}

void CKorvaneDoc::ApplyCorrectionsToAll() {
  for (ZoneList& zones : zoneLists) {
    for (TestZone& zone : zones) {
      zone.eta = project.eta;
      zone.deltaTot = project.deltaTot;
    }
  }
  RecomputeAll();
}

void CKorvaneDoc::SetStandard(Standard newStandard) {
  standard = newStandard;
  project.standardName = StoredStandardName(StandardDisplayName(standard));
  algorithm = CAlgorithm(standard, &tables);
  for (ZoneList& zones : zoneLists) {
    for (TestZone& zone : zones) {
      RecomputePointReadings(zone);
      ComputeZoneVelocity(algorithm, zone);
    }
  }
}

float CKorvaneDoc::MarkExtremes(const std::array<int, kReadingsPerZone>& readings,
                                std::array<int, 6>& positions) const {
  positions = ExtremeReadingPositions(readings);
  return algorithm.CalcRebound(readings);
}

void CKorvaneDoc::RecomputeZoneVelocity(TestZone& zone) const { ComputeZoneVelocity(algorithm, zone); }

}  // namespace korvane
