// The large files of the benchmarks: `members` members of 100 zones of 3
// points, `sampleCount` samples at 0.2 us. Every member holds the same zones
// (generating tens of thousands of distinct noisy waveforms would only slow
// the set-up).
#pragma once

#include <string>

#include "core/data/synthetic_data.h"

namespace korvane::bench {

inline constexpr int kZonesPerMember = 100;

inline SyntheticData LargeBenchData(int members, int sampleCount) {
  SyntheticFilePlan plan;
  plan.project = NewProjectInfo(CivilDate{2022, 3, 5});
  plan.project.site = "基准测试工程";
  plan.project.testMethod = TestMethod::Direct;
  plan.pointsPerZone = 3;
  plan.distances = {300.0f, 300.0f, 300.0f};
  plan.sampleCount = sampleCount;
  plan.sampleInterval = 0.2f;
  SyntheticMemberPlan member;
  member.name = "构件";
  member.zones = kZonesPerMember;
  member.locations = {"侧面", "底面"};
  plan.members = {member};
  const SyntheticData one = MakeSyntheticData(plan);
  SyntheticData data;
  data.project = one.project;
  for (int m = 0; m < members; ++m) {
    Member copy = one.members[0];
    copy.name = "构件" + std::to_string(m + 1);
    copy.sectionIndex = m;
    data.members.push_back(copy);
    data.zoneLists.push_back(one.zoneLists.front());
    SectionPara section = one.sections[0];
    section.sectionIndex = m;
    data.sections.push_back(section);
  }
  data.memberCount = members;
  return data;
}

}  // namespace korvane::bench
