// What the editing operations (document_edits.h) share: the checks of a
// member, zone and point, the results of a refused, unchanged or begun
// edit, and the one way a zone is edited. Used by the edit families'
// sources only (document_edits_*.cpp).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/app/document_edits.h"
#include "core/app/edit_snapshot.h"
#include "core/app/korvane_doc.h"
#include "core/data/typed_number.h"

namespace korvane::edit_detail {

// What each kind of edit changes (and kVelocityInputs, kZoneData).
inline constexpr EditScope kEverything = EditScope::AllMembers | EditScope::AllZoneValues | EditScope::Batch;

// The zone grid shows the points' distances only for zones of up to six.
inline constexpr int kMaxGridPoints = 6;

// An edit of a value outside its field's range is refused with the
// field's message; the stored value stays.
inline bool Outside(float value, TypedField field) { return !InRange(value, RangeOf(field)); }

inline bool ValidMember(const CKorvaneDoc& doc, int member) {
  return doc.HasFile() && member >= 0 && static_cast<std::size_t>(member) < doc.members.size();
}

inline Member& MemberAt(CKorvaneDoc& doc, int member) {
  return doc.members[static_cast<std::size_t>(member)];
}

inline TestZone* ZoneAt(CKorvaneDoc& doc, ZoneRef at) {
  if (!ValidMember(doc, at.member)) return nullptr;
  return doc.Zone(at.member, at.zone);
}

// Point `point` when it takes part in the zone's computations.
inline MeasuringPoint* UsedPoint(TestZone& zone, int point) {
  if (point < 0 || point >= zone.usedPointSlots()) return nullptr;
  return zone.point(point);
}

// The result of an edit of one measuring point names the point.
inline EditResult AtPoint(EditResult result, int point) {
  result.point = point;
  return result;
}

inline EditResult Refused(ZoneRef at, std::optional<float> stored = std::nullopt,
                          std::string_view message = {}) {
  EditResult result;
  result.refused = true;
  result.at = at;
  result.stored = stored;
  result.message = std::string(message);
  return result;
}

inline EditResult Unchanged(ZoneRef at, std::optional<float> stored = std::nullopt) {
  EditResult result;
  result.at = at;
  result.stored = stored;
  return result;
}

// A data edit about to change what `scope` names: the snapshot for undo is
// taken now, before anything changes.
inline EditResult Begin(const CKorvaneDoc& doc, EditScope scope, ZoneRef at,
                        std::optional<float> stored = {}) {
  EditResult result;
  result.scope = scope;
  result.at = at;
  result.stored = stored;
  result.before = std::make_shared<const EditSnapshot>(EditSnapshot::Capture(doc, scope, at));
  return result;
}

inline EditResult Finish(CKorvaneDoc& doc, EditResult result) {
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

}  // namespace korvane::edit_detail
