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

namespace {

void PrefetchRecord(const void* record, std::size_t bytes) {
#if defined(__GNUC__) || defined(__clang__)
  const char* p = static_cast<const char*>(record);
  for (std::size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(p + offset);
#else
  (void)record;
  (void)bytes;
#endif
}

}  // namespace

void CKorvaneDoc::RecomputeMember(int member, bool withFileResult) {
  if (member < 0 || static_cast<std::size_t>(member) >= zoneLists.size()) return;
  const int zones = ZoneCount(member);
  const ZoneList& list = zoneLists[static_cast<std::size_t>(member)];
  for (int z = 0; z < zones; ++z) {
    // The next zone's record is asked for while this one is computed: a
    // large file is a walk through memory, and the computation of one zone
    // is too short to hide the wait for the next.
    if (z + 1 < zones) PrefetchRecord(&list[static_cast<std::size_t>(z) + 1], sizeof(TestZone));
    ComputeZone(member, z, false);
  }
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
  // Every zone's strength copied once, member after member.
  JoinedStrengths strengths;
  std::size_t total = 0;
  for (const ZoneList& zones : zoneLists) total += zones.size();
  strengths.values.reserve(total);
  strengths.ends.reserve(zoneLists.size());
  for (const ZoneList& zones : zoneLists) {
    for (const TestZone& zone : zones) strengths.values.push_back(zone.strengthValue);
    strengths.ends.push_back(strengths.values.size());
  }
  result.meanValue = algorithm.SafeMean(strengths.values);
  result.stdDev = algorithm.StdDev(strengths.values);
  ResultFlag flag = ResultFlag::Valid;
  result.fcue = algorithm.BatchEstimate(strengths, flag);
  batchResultFlag = flag;
}

void CKorvaneDoc::RecomputeAll() {
  for (int m = 0; m < static_cast<int>(zoneLists.size()); ++m) RecomputeMember(m, false);
  EvaluateBatch();
  recomputedAt = changeCount;
}

bool CKorvaneDoc::RecomputeAllIfChanged() {
  if (recomputedAt == changeCount) return false;
  RecomputeAll();
  return true;
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

void CKorvaneDoc::SelectStandard(Standard newStandard) {
  standard = newStandard;
  project.standardName = StoredStandardName(StandardDisplayName(standard));
  algorithm = CAlgorithm(standard, &tables);
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
