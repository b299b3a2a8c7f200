// The editing operations of members and the file: coefficients, η and
// Δtot, the core correction, pumped concrete, the standard, names.
#include "core/app/document_edits.h"

#include <tuple>

#include "core/algorithm/core_correction.h"
#include "core/app/document_edits_internal.h"
#include "core/data/text_entry.h"
#include "core/standards/standards.h"

namespace korvane {

using namespace edit_detail;  // the edits' own helpers

namespace {

// ---- Coefficients of every member ----

struct CoefficientSet {
  Aggregate aggregate = Aggregate::CrushedStone;
  float a = 1.0f, b = 1.0f, c = 1.0f, d = 1.0f;
  friend bool operator==(const CoefficientSet&, const CoefficientSet&) = default;
};

CoefficientSet CoefficientsOf(const Member& member) {
  return {member.aggregateType, member.coefA, member.coefB, member.coefC, member.coefD};
}

// Member `member` takes the set, every member takes it from there, and
// everything is recomputed.
void StoreCoefficientsEverywhere(CKorvaneDoc& doc, int member, const CoefficientSet& set) {
  Member& target = MemberAt(doc, member);
  target.aggregateType = set.aggregate;
  target.coefA = set.a;
  target.coefB = set.b;
  target.coefC = set.c;
  target.coefD = set.d;
  doc.ApplyCoefficientsToAll(member);
}

// StoreCoefficientsEverywhere as an edit; nothing when every member holds
// the set already.
EditResult ApplyCoefficients(CKorvaneDoc& doc, int member, const CoefficientSet& set,
                             std::optional<float> stored) {
  const ZoneRef at{member, -1};
  const bool everyMemberHoldsIt = std::all_of(doc.members.begin(), doc.members.end(),
                                              [&set](const Member& m) { return CoefficientsOf(m) == set; });
  if (everyMemberHoldsIt) return Unchanged(at, stored);
  EditResult result = Begin(doc, kEverything, at, stored);
  StoreCoefficientsEverywhere(doc, member, set);
  return Finish(doc, std::move(result));
}

// The standard's coefficients for an aggregate (only 1 is pebble); the
// coefficients the standard does not set keep the member's values.
CoefficientSet StandardCoefficients(const CKorvaneDoc& doc, const Member& member, Aggregate aggregate) {
  CoefficientSet set = CoefficientsOf(member);
  set.aggregate = aggregate;
  doc.algorithm.GetCoefficients(aggregate == Aggregate::Pebble, set.a, set.b, set.c, set.d);
  return set;
}

Aggregate StoredAggregate(Aggregate aggregate) {
  const int code = static_cast<int>(aggregate);
  return code >= 0 && code <= 2 ? aggregate : Aggregate::CrushedStone;
}

// ---- η and Δtot ----

EditResult ApplyCorrections(CKorvaneDoc& doc, float eta, float deltaTot, float stored) {
  bool held = doc.project.eta == eta && doc.project.deltaTot == deltaTot;
  for (const ZoneList& zones : doc.zoneLists) {
    for (const TestZone& zone : zones) {
      if (zone.eta != eta || zone.deltaTot != deltaTot) held = false;
    }
  }
  if (held) return Unchanged({}, stored);
  EditResult result = Begin(doc, EditScope::Project | kEverything, {}, stored);
  doc.project.eta = eta;
  doc.project.deltaTot = deltaTot;
  doc.ApplyCorrectionsToAll();
  return Finish(doc, std::move(result));
}

}  // namespace

// ---- Member and file -------------------------------------------------------------

TypedField CoefficientField(Coefficient which, Standard standard) {
  switch (which) {
    case Coefficient::A: return TypedField::CoefficientA;
    case Coefficient::B: return TypedField::CoefficientB;
    case Coefficient::C: return TypedField::CoefficientC;
    case Coefficient::D: break;
  }
  return Traits(standard).carbonationTerm ? TypedField::CarbonationD : TypedField::CoefficientD;
}

EditResult SetCoefficient(CKorvaneDoc& doc, int member, Coefficient which, float value) {
  if (!ValidMember(doc, member)) return Refused({member, -1});
  CoefficientSet set = CoefficientsOf(MemberAt(doc, member));
  const TypedField field = CoefficientField(which, doc.standard);
  if (Outside(value, field)) {
    const float stored = which == Coefficient::A   ? set.a
                         : which == Coefficient::B ? set.b
                         : which == Coefficient::C ? set.c
                                                   : set.d;
    return Refused({member, -1}, stored, RangeMessage(RangeOf(field)));
  }
  const float v = value;
  switch (which) {
    case Coefficient::A: set.a = v; break;
    case Coefficient::B: set.b = v; break;
    case Coefficient::C: set.c = v; break;
    case Coefficient::D: set.d = v; break;
  }
  return ApplyCoefficients(doc, member, set, v);
}

EditResult SetAggregate(CKorvaneDoc& doc, int member, Aggregate aggregate) {
  if (!ValidMember(doc, member)) return Refused({member, -1});
  const Aggregate a = StoredAggregate(aggregate);
  const Member& record = MemberAt(doc, member);
  CoefficientSet set = CoefficientsOf(record);
  set.aggregate = a;
  if (a != Aggregate::Custom) set = StandardCoefficients(doc, record, a);
  return ApplyCoefficients(doc, member, set, static_cast<float>(a));
}

EditResult SetEta(CKorvaneDoc& doc, float eta) {
  if (!doc.HasFile()) return Refused({});
  if (Outside(eta, TypedField::Eta))
    return Refused({}, doc.project.eta, RangeMessage(RangeOf(TypedField::Eta)));
  const float v = eta;
  return ApplyCorrections(doc, v, doc.project.deltaTot, v);
}

EditResult SetDeltaTot(CKorvaneDoc& doc, float deltaTot) {
  if (!doc.HasFile()) return Refused({});
  if (Outside(deltaTot, TypedField::DeltaTot)) {
    return Refused({}, doc.project.deltaTot, RangeMessage(RangeOf(TypedField::DeltaTot)));
  }
  const float v = deltaTot;
  return ApplyCorrections(doc, doc.project.eta, v, v);
}

EditResult SetCustomCoefficients(CKorvaneDoc& doc, int member, float a, float b, float c) {
  const bool all = member == -1;
  if (!all && !ValidMember(doc, member)) return Refused({member, -1});
  if (doc.members.empty()) return Refused({member, -1});
  const std::size_t first = all ? 0 : static_cast<std::size_t>(member);
  const Member& shown = doc.members[first];
  const std::tuple<Coefficient, float, float> given[] = {
      {Coefficient::A, a, shown.coefA}, {Coefficient::B, b, shown.coefB}, {Coefficient::C, c, shown.coefC}};
  for (const auto& [which, value, stored] : given) {
    const TypedField field = CoefficientField(which, doc.standard);
    if (Outside(value, field)) return Refused({member, -1}, stored, RangeMessage(RangeOf(field)));
  }
  const std::size_t last = all ? doc.members.size() : first + 1;
  bool held = true;
  for (std::size_t m = first; m < last; ++m) {
    const Member& record = doc.members[m];
    held = held && record.aggregateType == Aggregate::Custom && record.coefA == a && record.coefB == b &&
           record.coefC == c;
  }
  if (held) return Unchanged({member, -1});
  const EditScope scope = all ? kEverything : EditScope::Member | EditScope::MemberZones | EditScope::Batch;
  EditResult result = Begin(doc, scope, {member, -1});
  for (std::size_t m = first; m < last; ++m) {
    Member& record = doc.members[m];
    record.aggregateType = Aggregate::Custom;
    record.coefA = a;
    record.coefB = b;
    record.coefC = c;
  }
  for (std::size_t m = first; m < last; ++m)
    doc.RecomputeMember(static_cast<int>(m), /*withFileResult=*/false);
  doc.EvaluateBatch();
  return Finish(doc, std::move(result));
}

EditResult ApplyCoreCorrection(CKorvaneDoc& doc, const std::vector<CoreSample>& cores) {
  if (!doc.HasFile()) return Refused({});
  const CoreCorrection derived = DeriveCoreCorrection(doc.algorithm, doc.members, doc.zoneLists, cores);
  if (!derived.problem.empty()) return Refused({}, std::nullopt, derived.problem);
  const bool eta = derived.method == CoreMethod::Eta;
  const TypedField field = eta ? TypedField::Eta : TypedField::DeltaTot;
  if (Outside(derived.applied, field)) {
    return Refused({}, eta ? doc.project.eta : doc.project.deltaTot, RangeMessage(RangeOf(field)));
  }
  EditResult result = Begin(doc, EditScope::Project | EditScope::Cores | kEverything, {}, derived.applied);
  (eta ? doc.project.eta : doc.project.deltaTot) = derived.applied;
  doc.cores = cores;
  doc.ApplyCorrectionsToAll();
  result.message = derived.warning;
  return Finish(doc, std::move(result));
}

EditResult SetPumped(CKorvaneDoc& doc, int member, bool pumped) {
  const ZoneRef at{member, -1};
  if (!ValidMember(doc, member)) return Refused(at);
  const auto value = static_cast<float>(pumped ? 1 : 0);
  if (MemberAt(doc, member).pumped == pumped) return Unchanged(at, value);
  EditResult result = Begin(doc, EditScope::Member | EditScope::MemberZones | EditScope::Batch, at, value);
  MemberAt(doc, member).pumped = pumped;
  doc.RecomputeMember(member, /*withFileResult=*/true);
  return Finish(doc, std::move(result));
}

EditResult SwitchStandard(CKorvaneDoc& doc, ZoneRef shown, Standard standard) {
  const auto stored = static_cast<float>(IndexOf(doc.standard));
  if (!StandardAt(IndexOf(standard))) return Refused(shown, stored);
  if (standard == doc.standard) return Unchanged(shown, stored);
  const TestZone* zone = ZoneAt(doc, shown);
  const StandardSwitch decision =
      CheckStandardSwitch(doc.standard, standard, zone ? std::optional(zone->testMethod) : std::nullopt);
  if (!decision.allowed) return Refused(shown, stored, decision.message);

  EditResult result =
      Begin(doc, EditScope::Standard | EditScope::Project | EditScope::ReportInfo | kEverything, shown,
            static_cast<float>(IndexOf(standard)));
  // Every zone is recomputed below (StoreCoefficientsEverywhere).
  doc.SelectStandard(standard);
  // The forced coefficient refresh: the shown member takes the new
  // standard's coefficients for its aggregate, every member takes them.
  const Member& shownMember = MemberAt(doc, shown.member);
  CoefficientSet set = StandardCoefficients(doc, shownMember, StoredAggregate(shownMember.aggregateType));
  // A standard that keeps the member's d (it has no d of its own) starts
  // from a new member's d, not from the 0 the standard before set: the same
  // standard shows the same d however it was reached.
  if (Traits(standard).keepsMemberD) set.d = NewMember().coefD;
  StoreCoefficientsEverywhere(doc, shown.member, set);
  doc.reportInfo.testBasis = TestBasisForStandard(standard);
  return Finish(doc, std::move(result));
}

EditResult RenameMember(CKorvaneDoc& doc, int member, std::string_view name) {
  const ZoneRef at{member, -1};
  if (!ValidMember(doc, member) || !IsStorableText(name)) return Refused(at);
  if (MemberAt(doc, member).name == name) return Unchanged(at);
  EditResult result = Begin(doc, EditScope::Member, at);
  MemberAt(doc, member).name = std::string(name);
  return Finish(doc, std::move(result));
}

}  // namespace korvane
