#include "core/app/document_edits.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/algorithm/core_correction.h"
#include "core/algorithm/test_position.h"
#include "core/app/edit_snapshot.h"
#include "core/app/korvane_doc.h"
#include "core/data/text_entry.h"
#include "core/data/typed_number.h"
#include "core/report/report_records.h"
#include "core/standards/standards.h"
#include "core/wave/point_readings.h"

namespace korvane {

namespace {

// What each kind of edit changes (and kVelocityInputs, kZoneData).
constexpr EditScope kEverything = EditScope::AllMembers | EditScope::AllZones | EditScope::Batch;

// The zone grid shows the points' distances only for zones of up to six.
constexpr int kMaxGridPoints = 6;

// An edit of a value outside its field's range is refused with the
// field's message; the stored value stays.
bool Outside(float value, TypedField field) { return !InRange(value, RangeOf(field)); }

bool ValidMember(const CKorvaneDoc& doc, int member) {
  return doc.HasFile() && member >= 0 && static_cast<std::size_t>(member) < doc.members.size();
}

Member& MemberAt(CKorvaneDoc& doc, int member) { return doc.members[static_cast<std::size_t>(member)]; }

TestZone* ZoneAt(CKorvaneDoc& doc, ZoneRef at) {
  if (!ValidMember(doc, at.member)) return nullptr;
  return doc.Zone(at.member, at.zone);
}

// Point `point` when it takes part in the zone's computations.
MeasuringPoint* UsedPoint(TestZone& zone, int point) {
  if (point < 0 || point >= zone.usedPointSlots()) return nullptr;
  return zone.point(point);
}

// The result of an edit of one measuring point names the point.
EditResult AtPoint(EditResult result, int point) {
  result.point = point;
  return result;
}

EditResult Refused(ZoneRef at, std::optional<float> stored = std::nullopt, std::string_view message = {}) {
  EditResult result;
  result.refused = true;
  result.at = at;
  result.stored = stored;
  result.message = std::string(message);
  return result;
}

EditResult Unchanged(ZoneRef at, std::optional<float> stored = std::nullopt) {
  EditResult result;
  result.at = at;
  result.stored = stored;
  return result;
}

// A data edit about to change what `scope` names: the snapshot for undo is
// taken now, before anything changes.
EditResult Begin(const CKorvaneDoc& doc, EditScope scope, ZoneRef at, std::optional<float> stored = {}) {
  EditResult result;
  result.scope = scope;
  result.at = at;
  result.stored = stored;
  result.before = std::make_shared<const EditSnapshot>(EditSnapshot::Capture(doc, scope, at));
  return result;
}

EditResult Finish(CKorvaneDoc& doc, EditResult result) {
  doc.modified = true;
  doc.NoteChange();
  return result;
}

// ---- Edits of one zone ----

// Runs `change` on zone `at` when `differs` says it would change it: the
// snapshot first, then the change, then the recomputation of `scope`.
template <typename Differs, typename Change>
EditResult EditZone(CKorvaneDoc& doc, ZoneRef at, EditScope scope, std::optional<float> stored,
                    Differs differs, Change change) {
  TestZone& zone = *ZoneAt(doc, at);
  if (!differs(zone)) return Unchanged(at, stored);
  EditResult result = Begin(doc, scope, at, stored);
  change(zone);
  if (scope == kZoneData) {
    doc.ComputeZone(at.member, at.zone, /*withMember=*/true);
  } else {
    doc.RecomputeZoneVelocity(zone);
  }
  return Finish(doc, std::move(result));
}

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

// ---- Correction tables ----

EditResult WriteTable(CKorvaneDoc& doc, CorrectionTable table, const std::vector<float>& values) {
  if (!doc.HasFile()) return Refused({});
  if (TableValues(doc.tables, table) == values) return Unchanged({});
  EditResult result = Begin(doc, EditScope::Tables | kEverything, {});
  SetTableValues(doc.tables, table, values);
  doc.RecomputeAll();
  return Finish(doc, std::move(result));
}

}  // namespace

ZoneRef CurrentZoneRef(const CKorvaneDoc& doc) { return {doc.currentMember, doc.currentZone}; }

// ---- Position ----------------------------------------------------------------

EditResult SelectMember(CKorvaneDoc& doc, int member) {
  const ZoneRef at{member, 0};
  if (!ValidMember(doc, member)) return Refused(at);
  if (doc.currentMember == member && doc.currentZone == 0 && doc.currentPoint == 0) return Unchanged(at);
  doc.currentMember = member;
  doc.currentZone = 0;
  doc.currentPoint = 0;
  doc.FitCurrentPoint();
  EditResult result = Unchanged(at);
  result.scope = EditScope::Position;
  return result;
}

EditResult SelectZone(CKorvaneDoc& doc, int zone) {
  const ZoneRef at{doc.currentMember, zone};
  if (ZoneAt(doc, at) == nullptr) return Refused(at);
  if (doc.currentZone == zone) return Unchanged(at);
  doc.currentZone = zone;
  doc.FitCurrentPoint();
  EditResult result = Unchanged(at);
  result.scope = EditScope::Position;
  return result;
}

EditResult SelectPoint(CKorvaneDoc& doc, int point) {
  const ZoneRef at = CurrentZoneRef(doc);
  const TestZone* zone = ZoneAt(doc, at);
  if (zone == nullptr || point < 0 || point >= zone->usedPointSlots()) return Refused(at);
  if (doc.currentPoint == point) return Unchanged(at);
  doc.currentPoint = point;
  EditResult result = Unchanged(at);
  result.scope = EditScope::Position;
  return result;
}

// ---- First arrival ----------------------------------------------------------

EditResult PickArrival(CKorvaneDoc& doc, ZoneRef at, int point, int sample, PickPanel panel) {
  TestZone* zone = ZoneAt(doc, at);
  const MeasuringPoint* target = zone != nullptr ? UsedPoint(*zone, point) : nullptr;
  if (target == nullptr || !target->hasSamples()) return Refused(at);
  const int last = static_cast<int>(target->samples.size()) - 1;
  const int index = std::max(1, std::min(sample, last));
  const bool withAmplitude = panel == PickPanel::PointPanel;
  const auto differs = [&](const TestZone&) {
    return target->arrivalIndex != index || (withAmplitude && target->amplitudeIndex != index);
  };
  const auto change = [&](TestZone& z) { SetArrival(z, point, index, withAmplitude); };
  return AtPoint(EditZone(doc, at, withAmplitude ? kVelocityInputs : kZoneData, static_cast<float>(index),
                          differs, change),
                 point);
}

EditResult SetArrivals(CKorvaneDoc& doc, int member, const std::vector<ArrivalChange>& changes,
                       PickPanel panel) {
  if (changes.empty()) return Refused({member, -1});
  const bool withAmplitude = panel == PickPanel::PointPanel;
  // Every change is checked and limited before anything changes.
  std::vector<ArrivalChange> effective;
  for (const ArrivalChange& c : changes) {
    TestZone* zone = ZoneAt(doc, {member, c.zone});
    const MeasuringPoint* target = zone != nullptr ? UsedPoint(*zone, c.point) : nullptr;
    if (target == nullptr || !target->hasSamples()) return Refused({member, c.zone});
    const int last = static_cast<int>(target->samples.size()) - 1;
    const int index = std::max(1, std::min(c.sample, last));
    if (target->arrivalIndex != index || (withAmplitude && target->amplitudeIndex != index)) {
      effective.push_back({c.zone, c.point, index});
    }
  }
  const auto sameZone = [](const std::vector<ArrivalChange>& list) {
    return std::all_of(list.begin(), list.end(),
                       [&list](const ArrivalChange& c) { return c.zone == list.front().zone; });
  };
  if (effective.empty()) return Unchanged({member, sameZone(changes) ? changes.front().zone : -1});
  const bool oneZone = sameZone(effective);
  const ZoneRef at{member, oneZone ? effective.front().zone : -1};

  EditScope scope = oneZone ? EditScope::Zone : EditScope::MemberZones;
  if (!withAmplitude) scope = scope | EditScope::Member | EditScope::Batch;
  EditResult result = Begin(doc, scope, at);
  std::vector<int> zones;
  for (const ArrivalChange& c : effective) {
    SetArrival(*ZoneAt(doc, {member, c.zone}), c.point, c.sample, withAmplitude);
    if (std::find(zones.begin(), zones.end(), c.zone) == zones.end()) zones.push_back(c.zone);
  }
  for (int z : zones) {
    if (withAmplitude) {
      doc.RecomputeZoneVelocity(*ZoneAt(doc, {member, z}));
    } else {
      doc.ComputeZone(member, z, /*withMember=*/false);
    }
  }
  if (!withAmplitude) {
    doc.EvaluateMember(member);
    doc.EvaluateBatch();
  }
  return Finish(doc, std::move(result));
}

// ---- Velocity inputs of a zone ----------------------------------------------

EditResult SetPointDistance(CKorvaneDoc& doc, ZoneRef at, int point, float distance) {
  TestZone* zone = ZoneAt(doc, at);
  MeasuringPoint* target = zone != nullptr ? UsedPoint(*zone, point) : nullptr;
  if (target == nullptr) return Refused(at);
  if (Outside(distance, TypedField::Distance)) {
    return AtPoint(Refused(at, target->distance, RangeMessage(RangeOf(TypedField::Distance))), point);
  }
  return AtPoint(
      EditZone(
          doc, at, kVelocityInputs, distance, [&](const TestZone&) { return target->distance != distance; },
          [&](TestZone& z) {
            target->distance = distance;
            RecomputePointReadings(z);
          }),
      point);
}

namespace {

// Method and position with the β and λ that the rule gives them.
EditResult EditMethodAndLocation(CKorvaneDoc& doc, ZoneRef at, TestMethod method, std::string_view location) {
  const TestZone& zone = *ZoneAt(doc, at);
  const BetaLambdaRule rule = BetaLambdaFor(method, location);
  const float beta = rule.beta.value_or(zone.beta);
  const float lambda = rule.lambda.value_or(zone.lambda);
  return EditZone(
      doc, at, kVelocityInputs, std::nullopt,
      [&](const TestZone& z) {
        return z.testMethod != method || z.testLocation != location || z.beta != beta || z.lambda != lambda;
      },
      [&](TestZone& z) {
        z.testMethod = method;
        z.testLocation = std::string(location);
        z.beta = beta;
        z.lambda = lambda;
      });
}

}  // namespace

EditResult SetTestMethod(CKorvaneDoc& doc, ZoneRef at, TestMethod method) {
  const int code = static_cast<int>(method);
  if (ZoneAt(doc, at) == nullptr || code < 0 || code > 2) return Refused(at);
  return EditMethodAndLocation(doc, at, method, DefaultTestLocation(method));
}

EditResult SetTestLocation(CKorvaneDoc& doc, ZoneRef at, std::string_view location) {
  const TestZone* zone = ZoneAt(doc, at);
  if (zone == nullptr || !IsStorableText(location, kMaxTestLocationLength)) return Refused(at);
  return EditMethodAndLocation(doc, at, zone->testMethod, location);
}

EditResult SetZoneField(CKorvaneDoc& doc, ZoneRef at, ZoneField field, float value) {
  const ZoneFieldInfo* info = nullptr;
  for (const ZoneFieldInfo& row : kZoneFields) {
    if (row.field == field) info = &row;
  }
  const TestZone* zone = ZoneAt(doc, at);
  if (zone == nullptr || info == nullptr) return Refused(at);
  if (Outside(value, info->typed)) return Refused(at, zone->*info->value, RangeMessage(RangeOf(info->typed)));
  return EditZone(
      doc, at, info->scope, value,
      [&](const TestZone& z) { return z.*info->value != value || (info->manual && z.*info->manual == 0); },
      [&](TestZone& z) {
        z.*info->value = value;
        if (info->manual) z.*info->manual = 1;
      });
}

// ---- Zone data ------------------------------------------------------------------

EditResult SetZoneGridDistance(CKorvaneDoc& doc, ZoneRef at, int point, float distance) {
  TestZone* zone = ZoneAt(doc, at);
  MeasuringPoint* target = zone != nullptr ? UsedPoint(*zone, point) : nullptr;
  if (target == nullptr || zone->usedPointSlots() > kMaxGridPoints) return Refused(at);
  if (Outside(distance, TypedField::Distance)) {
    return AtPoint(Refused(at, target->distance, RangeMessage(RangeOf(TypedField::Distance))), point);
  }
  const float value = distance;
  return AtPoint(EditZone(
                     doc, at, kZoneData, value, [&](const TestZone&) { return target->distance != value; },
                     [&](TestZone&) { target->distance = value; }),
                 point);
}

EditResult SetReading(CKorvaneDoc& doc, ZoneRef at, int index, int value) {
  const TestZone* zone = ZoneAt(doc, at);
  if (zone == nullptr || index < 0 || index >= kReadingsPerZone) return Refused(at);
  const auto slot = static_cast<std::size_t>(index);
  if (Outside(static_cast<float>(value), TypedField::Reading)) {
    return Refused(at, static_cast<float>(zone->rebound[slot]), RangeMessage(RangeOf(TypedField::Reading)));
  }
  const int reading = value;
  return EditZone(
      doc, at, kZoneData, static_cast<float>(reading),
      [&](const TestZone& z) { return z.rebound[slot] != reading; },
      [&](TestZone& z) { z.rebound[slot] = reading; });
}

EditResult SetAngle(CKorvaneDoc& doc, ZoneRef at, int angle) {
  if (ZoneAt(doc, at) == nullptr) return Refused(at);
  static constexpr int kAngles[] = {90, 60, 45, 30, 0, -30, -45, -60, -90};
  const int value = std::find(std::begin(kAngles), std::end(kAngles), angle) != std::end(kAngles) ? angle : 0;
  return EditZone(
      doc, at, kZoneData, static_cast<float>(value), [&](const TestZone& z) { return z.angle != value; },
      [&](TestZone& z) { z.angle = value; });
}

EditResult SetSurface(CKorvaneDoc& doc, ZoneRef at, Surface surface) {
  const int code = static_cast<int>(surface);
  if (ZoneAt(doc, at) == nullptr || code < 0 || code > 2) return Refused(at);
  return EditZone(
      doc, at, kZoneData, static_cast<float>(code), [&](const TestZone& z) { return z.surface != surface; },
      [&](TestZone& z) { z.surface = surface; });
}

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
  doc.SetStandard(standard);
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

// ---- Project and acquisition parameters ----------------------------------------

namespace {

// A project text and the report field filled from it when the file was
// opened (`report`, null for none): the report follows while it still
// shows what the project held, and keeps a text of its own.
EditResult SetProjectField(CKorvaneDoc& doc, std::string ProjectInfo::*field, std::string text,
                           std::string ReportProjectInfo::*report, bool date) {
  if (doc.project.*field == text) return Unchanged({});
  const auto shown = [date](const std::string& value) { return date ? ReportDateText(value) : value; };
  const bool follows = report != nullptr && doc.reportInfo.*report == shown(doc.project.*field);
  EditResult result =
      Begin(doc, EditScope::Project | (follows ? EditScope::ReportInfo : EditScope::None), {});
  doc.project.*field = std::move(text);
  if (follows) doc.reportInfo.*report = shown(doc.project.*field);
  return Finish(doc, std::move(result));
}

}  // namespace

EditResult SetProjectText(CKorvaneDoc& doc, ProjectText which, std::string_view text) {
  if (!doc.HasFile() || !IsStorableText(text)) return Refused({});
  switch (which) {
    case ProjectText::Site:
      return SetProjectField(doc, &ProjectInfo::site, std::string(text), &ReportProjectInfo::projectName,
                             false);
    case ProjectText::Unit:
      return SetProjectField(doc, &ProjectInfo::unit, std::string(text), &ReportProjectInfo::testingUnit,
                             false);
    case ProjectText::Person: break;
  }
  return SetProjectField(doc, &ProjectInfo::person, std::string(text), nullptr, false);
}

EditResult SetProjectDate(CKorvaneDoc& doc, ProjectDate which, const CivilDate& date) {
  if (!doc.HasFile()) return Refused({});
  const bool casting = which == ProjectDate::Casting;
  return SetProjectField(doc, casting ? &ProjectInfo::castingDate : &ProjectInfo::testDate, FormatDate(date),
                         casting ? &ReportProjectInfo::constructionDate : &ReportProjectInfo::testDate, true);
}

EditResult SetSectionGainDelay(CKorvaneDoc& doc, int member, float gain, float delay) {
  const ZoneRef at{member, -1};
  const int row = doc.SectionRow(member);
  if (row < 0) return Refused(at);
  SectionPara& section = doc.sections[static_cast<std::size_t>(row)];
  if (section.gain == gain && section.delay == delay) return Unchanged(at);
  EditResult result = Begin(doc, EditScope::Sections, at);
  section.gain = gain;
  section.delay = delay;
  return Finish(doc, std::move(result));
}

// ---- Correction tables ---------------------------------------------------------

EditResult SetCorrectionTable(CKorvaneDoc& doc, CorrectionTable table, const std::vector<float>& values) {
  const CorrectionTableInfo& info = InfoOf(table);
  if (values.size() != static_cast<std::size_t>(info.rows * info.columns)) return Refused({});
  return WriteTable(doc, table, values);
}

EditResult RestoreDefaultTable(CKorvaneDoc& doc, CorrectionTable table) {
  return WriteTable(doc, table, TableValues(doc.defaultTables, table));
}

// ---- Waveform filter -------------------------------------------------------------

FilterSettings FilterSettingsOf(const CKorvaneDoc& doc) {
  return {doc.highPassOn, doc.highPassKHz, doc.lowPassOn, doc.lowPassKHz};
}

EditResult ApplyZoneFilter(CKorvaneDoc& doc, ZoneRef at, const FilterSettings& settings) {
  if (ZoneAt(doc, at) == nullptr) return Refused(at);
  EditResult result = Begin(doc, EditScope::Zone | EditScope::Waveforms | EditScope::Filter, at);
  doc.highPassOn = settings.highPassOn;
  doc.highPassKHz = settings.highPassKHz;
  doc.lowPassOn = settings.lowPassOn;
  doc.lowPassKHz = settings.lowPassKHz;
  // Always from the loaded waveforms, so filtering never accumulates.
  doc.RestoreZoneWaveforms(at.member, at.zone);
  doc.FilterZoneWaveforms(at.member, at.zone);
  return Finish(doc, std::move(result));
}

// ---- Strengths on screen ---------------------------------------------------------

EditResult FollowStrengths(CKorvaneDoc& doc, EditResult step) {
  if (Touches(step.scope, EditScope::Batch) || step.at.member < 0) return step;
  if (Touches(step.scope, EditScope::Zone) && step.at.zone >= 0) {
    doc.ComputeZone(step.at.member, step.at.zone, /*withMember=*/true);
  } else if (Touches(step.scope, EditScope::MemberZones)) {
    doc.RecomputeMember(step.at.member, /*withFileResult=*/true);
  } else {
    return step;
  }
  step.scope = step.scope | EditScope::Member | EditScope::Batch;
  return step;
}

void RecomputeOpenedFile(CKorvaneDoc& doc) {
  if (doc.HasFile()) doc.RecomputeAll();
}

}  // namespace korvane
