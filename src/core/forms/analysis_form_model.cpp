#include "core/forms/analysis_form_model.h"

#include "core/data/number_entry.h"

#include <algorithm>

#include "core/algorithm/member_evaluation.h"
#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"

namespace korvane {

int ShownAggregate(Aggregate aggregateType) {
  const int code = static_cast<int>(aggregateType);
  return code >= 0 && code <= 2 ? code : static_cast<int>(Aggregate::CrushedStone);
}

AnalysisFormEnabling AnalysisFormEnablingOf(const CKorvaneDoc& doc) {
  AnalysisFormEnabling on;
  const Member* member = doc.GetCurrentMember();
  if (!doc.HasFile() || member == nullptr) return on;
  const StandardTraits& traits = Traits(doc.standard);
  const bool custom = member->aggregateType == Aggregate::Custom;
  on.coefA = on.coefB = on.coefC = custom;
  on.coefD = custom && traits.carbonationTerm;
  on.deltaTot = traits.correction == CorrectionKind::Additive;
  on.eta = !on.deltaTot;
  on.pumped = traits.pumpedOffered;
  on.batchPane = doc.members.size() >= 2;
  return on;
}

AnalysisFormFields AnalysisFormFieldsOf(const CKorvaneDoc& doc) {
  AnalysisFormFields f;
  f.standard = IndexOf(doc.standard);
  f.eta = FormatHeldValue(doc.project.eta, 2);
  f.deltaTot = FormatHeldValue(doc.project.deltaTot, 2);
  for (const Member& m : doc.members) f.memberNames.push_back(m.name);
  const Member* member = doc.GetCurrentMember();
  if (member == nullptr) return f;
  f.member = doc.currentMember;
  f.aggregate = ShownAggregate(member->aggregateType);
  f.coefA = FormatHeldValue(member->coefA, 4);
  f.coefB = FormatHeldValue(member->coefB, 3);
  f.coefC = FormatHeldValue(member->coefC, 3);
  f.coefD = FormatHeldValue(member->coefD, 4);
  f.pumped = member->pumped;
  return f;
}

std::string CoefficientEnteredText(Coefficient which, float value) {
  switch (which) {
    case Coefficient::A: return FormatHeldValue(value, 3);
    case Coefficient::B:
    case Coefficient::C: return FormatHeldValue(value, 2);
    case Coefficient::D: break;
  }
  return FormatHeldValue(value, 4);
}

std::string CorrectionEnteredText(float value) { return FormatHeldValue(value, 2); }

MemberPaneTexts MemberPaneTextsOf(const CKorvaneDoc& doc, int member) {
  MemberPaneTexts t;
  if (member < 0 || member >= static_cast<int>(doc.members.size())) return t;
  const Member& m = doc.members[static_cast<std::size_t>(member)];
  t.zones = FormatInt(doc.ZoneCount(member));
  t.minimum = FormatFixed(m.minStrength, 1);
  t.maximum = FormatFixed(m.maxStrength, 1);
  t.mean = FormatFixed(m.meanStrength, 1);
  t.stdDev = FormatFixed(m.stdDevStrength, 2);
  t.estimate = ResultText(m.resultFlag, m.estimatedStrength, false, doc.standard);
  return t;
}

BatchPaneTexts BatchPaneTextsOf(const CKorvaneDoc& doc) {
  BatchPaneTexts t;
  if (!doc.HasFile()) return t;
  t.mean = FormatFixed(doc.result.meanValue, 1);
  t.stdDev = FormatFixed(doc.result.stdDev, 2);
  t.estimate = ResultText(doc.batchResultFlag, doc.result.fcue, true, doc.standard);
  std::size_t zones = 0;
  for (const ZoneList& list : doc.zoneLists) zones += list.size();
  t.zones = std::to_string(zones);
  return t;
}

BatchTabChoice ChooseBatchTab(const CKorvaneDoc& doc) {
  if (doc.members.size() < 2) return {false, std::string(kMsgSingleMemberFile)};
  if (doc.batchResultFlag == ResultFlag::BatchInvalid) return {true, BatchNotice(doc.standard)};
  return {true, {}};
}

bool ReadingCountChanges(Standard oldStandard, Standard newStandard) {
  return Traits(oldStandard).readingsUsed != Traits(newStandard).readingsUsed;
}

}  // namespace korvane
