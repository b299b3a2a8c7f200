// The editing operations of a zone: position, first arrivals, velocity
// inputs and the zone's data.
#include "core/app/document_edits.h"

#include <algorithm>
#include <iterator>

#include "core/algorithm/test_position.h"
#include "core/app/document_edits_internal.h"
#include "core/data/text_entry.h"
#include "core/wave/point_readings.h"

namespace korvane {

using namespace edit_detail;  // the edits' own helpers

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

}  // namespace korvane
