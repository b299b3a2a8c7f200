#include "core/forms/analysis_form_model.h"

#include <algorithm>

#include "core/algorithm/member_evaluation.h"
#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"

namespace korvane {

int ShownAggregate(int aggregateType) { return aggregateType >= 0 && aggregateType <= 2 ? aggregateType : 2; }

AnalysisFormEnabling AnalysisFormEnablingOf(const CKorvaneDoc& doc) {
  AnalysisFormEnabling on;
  const Member* member = doc.GetCurrentMember();
  if (!doc.HasFile() || member == nullptr) return on;
  const bool custom = member->aggregateType == 0;
  on.coefA = on.coefB = on.coefC = custom;
  on.coefD = custom && IsCarbonationTermStandard(doc.standardIndex);
  on.deltaTot = IsAdditiveCorrectionStandard(doc.standardIndex);
  on.eta = !on.deltaTot;
  on.pumped = doc.standardIndex != kCECS02_2005;
  on.batchPane = doc.members.size() >= 2;
  return on;
}

AnalysisFormFields AnalysisFormFieldsOf(const CKorvaneDoc& doc) {
  AnalysisFormFields f;
  f.standard = doc.standardIndex;
  f.eta = FormatFixed(doc.project.eta, 2);
  f.deltaTot = FormatFixed(doc.project.deltaTot, 2);
  for (const Member& m : doc.members) f.memberNames.push_back(m.name);
  const Member* member = doc.GetCurrentMember();
  if (member == nullptr) return f;
  f.member = doc.currentMember;
  f.aggregate = ShownAggregate(member->aggregateType);
  f.coefA = FormatFixed(member->coefA, 4);
  f.coefB = FormatFixed(member->coefB, 3);
  f.coefC = FormatFixed(member->coefC, 3);
  f.coefD = FormatFixed(member->coefD, 4);
  f.pumped = member->pumped != 0;
  return f;
}

std::string CoefficientEnteredText(Coefficient which, float value) {
  switch (which) {
    case Coefficient::A: return FormatFixed(value, 3);
    case Coefficient::B:
    case Coefficient::C: return FormatFixed(value, 2);
    case Coefficient::D: break;
  }
  return FormatFixed(value, 4);
}

std::string CorrectionEnteredText(float value) { return FormatFixed(value, 2); }

MemberPaneTexts MemberPaneTextsOf(const CKorvaneDoc& doc, int member) {
  MemberPaneTexts t;
  if (member < 0 || member >= static_cast<int>(doc.members.size())) return t;
  const Member& m = doc.members[static_cast<std::size_t>(member)];
  int zones = 0;
  for (int z = 0; z < doc.ZoneCount(member); ++z) {
    if (doc.Zone(member, z) != nullptr) ++zones;
  }
  t.zones = FormatInt(zones);
  t.minimum = FormatFixed(m.minStrength, 1);
  t.maximum = FormatFixed(m.maxStrength, 1);
  t.mean = FormatFixed(m.meanStrength, 1);
  t.stdDev = FormatFixed(m.stdDevStrength, 2);
  t.estimate = ResultText(m.resultFlag, m.estimatedStrength, false, doc.standardIndex);
  return t;
}

BatchPaneTexts BatchPaneTextsOf(const CKorvaneDoc& doc) {
  BatchPaneTexts t;
  if (!doc.HasFile()) return t;
  t.mean = FormatFixed(doc.result.meanValue, 1);
  t.stdDev = FormatFixed(doc.result.stdDev, 2);
  t.estimate = ResultText(doc.batchResultFlag, doc.result.fcue, true, doc.standardIndex);
  return t;
}

BatchTabChoice ChooseBatchTab(const CKorvaneDoc& doc) {
  if (doc.members.size() < 2) return {false, std::string(kMsgSingleMemberFile)};
  if (doc.batchResultFlag == 2) return {false, BatchNotice(doc.standardIndex)};
  return {true, {}};
}

bool ReadingCountChanges(int oldStandard, int newStandard) {
  return (oldStandard == kCECS02_2020) != (newStandard == kCECS02_2020);
}

}  // namespace korvane
