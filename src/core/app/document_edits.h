// The editing layer: every change a user makes to the data of the open
// file, as one operation on the document. The main screen's forms and
// panels, the analysis screen's grids, form and dialogs, the undo stack and
// the tests all call these; the rule of each edit (its limits, its refusal
// and its message, what it recomputes) lives here and nowhere else.
//
// Each operation takes the member and zone it applies to (any of them, not
// only the current one), limits or refuses the value, stores it, runs the
// recomputation its field calls for, marks the document modified and
// returns what changed. An edit that would store what is already stored
// changes nothing: no recomputation, no modified flag, scope None.
//
// Recomputation by field:
//   - main screen (point panels, project bar, "当前测区数据"): point
//     readings, then V and Va of the zone (strengths follow on the analysis
//     screen, whose "输出" recomputes everything);
//   - zone data of the analysis screen (readings, R, carbonation depth,
//     angle, surface, a distance in the zone grid, a pick in the waveform
//     view): the zone with ComputeZone, then its member and the batch;
//   - coefficients, aggregate, η, Δtot, standard, correction tables: every
//     zone, every member and the batch;
//   - names, project texts and dates, acquisition parameters: nothing.
//
// For undo every data edit returns `before`, a snapshot of everything it
// changed, taken just before it changed it: restoring it puts back every
// value, derived ones included (see edit_snapshot.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/algorithm/correction_tables.h"
#include "core/data/companion_file.h"
#include "core/data/records.h"
#include "core/data/typed_number.h"
#include "core/standards/standards.h"

namespace korvane {

class CKorvaneDoc;
class EditSnapshot;

// A zone of a member, both 0-based.
struct ZoneRef {
  int member = -1;
  int zone = -1;
  friend bool operator==(const ZoneRef&, const ZoneRef&) = default;
};

// The document's current member and zone.
ZoneRef CurrentZoneRef(const CKorvaneDoc& doc);

// What an edit changed (and what its snapshot holds), as bits.
enum class EditScope : std::uint32_t {
  None = 0,
  Zone = 1u << 0,         // one zone (`at`): inputs and derived values
  Waveforms = 1u << 1,    // the sample buffers of that zone's points
  Member = 1u << 2,       // one member's record (`at.member`)
  MemberZones = 1u << 3,  // every zone of that member
  AllMembers = 1u << 4,   // every member's record
  AllZones = 1u << 5,     // every zone of every member
  Batch = 1u << 6,        // the file's results (result, batchResultFlag)
  Project = 1u << 7,      // the project information (ProjectInfo)
  Sections = 1u << 8,     // the acquisition parameter rows
  Tables = 1u << 9,       // the current correction tables
  Standard = 1u << 10,    // standardIndex and the algorithm object
  ReportInfo = 1u << 11,  // the report project information
  Filter = 1u << 12,      // the filter switches and corners
  Position = 1u << 13,    // current member, zone and point
  Cores = 1u << 14,       // the cores of the core correction
  // η, Δtot and the derived values (point readings, velocities,
  // corrections, strength) of every zone; the rest of each zone is left as
  // it is. What a change of standard, tables, coefficients or corrections
  // does to the zones, kept far smaller than AllZones.
  AllZoneValues = 1u << 15,
};
constexpr EditScope operator|(EditScope a, EditScope b) {
  return static_cast<EditScope>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr EditScope operator&(EditScope a, EditScope b) {
  return static_cast<EditScope>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
// A zone's velocity inputs (the main screen's edits: V and Va only) and its
// data (the zone, its member and the batch recomputed).
inline constexpr EditScope kVelocityInputs = EditScope::Zone;
inline constexpr EditScope kZoneData = EditScope::Zone | EditScope::Member | EditScope::Batch;
// Whether `scope` includes any bit of `part`.
constexpr bool Touches(EditScope scope, EditScope part) { return (scope & part) != EditScope::None; }

// What an operation did.
struct EditResult {
  // What changed; None when nothing did (refused, or the value was already
  // stored).
  EditScope scope = EditScope::None;
  // Refused: the value was not taken (out of its list, a text a data file
  // cannot hold, a reading too large, a forbidden switch, no such zone).
  bool refused = false;
  // The member and zone the edit applied to; -1 for what it did not name
  // (the zone of a member edit, both for a file-wide edit).
  ZoneRef at;
  // The measuring point (slot 0..6 of `at`) of an edit of one point: a
  // first arrival or a distance; -1 for every other edit.
  int point = -1;
  // The value the field holds afterwards, after limiting (for a refused
  // edit, the value it kept), for fields with a number.
  std::optional<float> stored;
  // The system's message to show, when the rule shows one; else empty.
  std::string message;
  // The state before the edit, for undo; null when nothing changed and for
  // changes of position (which are not undone).
  std::shared_ptr<const EditSnapshot> before;

  bool changed() const { return scope != EditScope::None; }
};

// ---- Position (changes no data: not marked modified, no snapshot) ----------

// Member `member` becomes current with zone 0 and point 0.
EditResult SelectMember(CKorvaneDoc& doc, int member);
// Zone `zone` of the current member becomes current (the point stays).
EditResult SelectZone(CKorvaneDoc& doc, int zone);
// Point `point` (0 .. used point slots - 1) of the current zone becomes
// current.
EditResult SelectPoint(CKorvaneDoc& doc, int point);

// ---- First arrival ----------------------------------------------------------

// Where a pick was made: the main screen's point panel moves the arrival
// and the amplitude sample together, then recomputes the point readings, V
// and Va; the analysis screen's waveform view moves the arrival only, then
// recomputes the zone, its member and the batch.
enum class PickPanel { PointPanel, WaveformView };

// Sample `sample` of point `point` becomes its first arrival: at least 1, at
// most the last sample. Refused for a point without samples.
EditResult PickArrival(CKorvaneDoc& doc, ZoneRef at, int point, int sample, PickPanel panel);

// One first arrival of a group: point slot `point` of zone `zone`.
struct ArrivalChange {
  int zone = -1;
  int point = -1;
  int sample = 1;
  friend bool operator==(const ArrivalChange&, const ArrivalChange&) = default;
};

// Several first arrivals of member `member` moved at once (a suggestion
// applied), each as PickArrival on `panel` moves it, with the recomputation
// done once per zone (and once for the member and the batch). Refused when
// the list is empty or names a zone or point PickArrival would refuse; then
// nothing changes. Changes that store what is stored are dropped; scope None
// when none is left. Result: `at` names the zone when every change is in
// one zone (scope Zone, with Member and Batch for the waveform view), else
// zone -1 (scope MemberZones, with Member and Batch for the waveform view).
EditResult SetArrivals(CKorvaneDoc& doc, int member, const std::vector<ArrivalChange>& changes,
                       PickPanel panel);

// ---- Velocity inputs of a zone (main screen: point readings, V, Va) --------

// Every value typed below is refused outside its field's range
// (typed_number.h) with the field's message; the stored value stays
// (`stored`) and nothing is recomputed.
//
// Distance L (mm) of a point as typed in "当前测区数据" (0 … 10000).
EditResult SetPointDistance(CKorvaneDoc& doc, ZoneRef at, int point, float distance);
// Test method "角测", "平测", "对测" (another number is refused): the position
// becomes the method's default ("侧面" for "对测", else "顶面"), then the
// β/λ rule of test_position.h.
EditResult SetTestMethod(CKorvaneDoc& doc, ZoneRef at, TestMethod method);
// Test position (UTF-8), then the β/λ rule. Refused when a data file cannot
// hold the text (a line break, more than 10 UTF-16 units).
EditResult SetTestLocation(CKorvaneDoc& doc, ZoneRef at, std::string_view location);

// ---- Numbers typed into a zone -------------------------------------------------
// Each field: its range and message (typed_number.h), its member of the zone,
// and what its edit recomputes: β and λ (0 … 10) the zone's velocity (the
// main screen's fields); R typed by hand (20.0 … 50.0, after which the
// readings no longer determine R: reboundManual set) and the carbonation
// depth (0 … 10 mm) the zone, its member and the batch.
enum class ZoneField { Beta, Lambda, ReboundValue, CarbonationDepth };
struct ZoneFieldInfo {
  ZoneField field;
  TypedField typed;
  float TestZone::*value;
  int TestZone::*manual;  // set to 1 with the value, or null
  EditScope scope;
};
inline constexpr ZoneFieldInfo kZoneFields[] = {
    {ZoneField::Beta, TypedField::Beta, &TestZone::beta, nullptr, kVelocityInputs},
    {ZoneField::Lambda, TypedField::Lambda, &TestZone::lambda, nullptr, kVelocityInputs},
    {ZoneField::ReboundValue, TypedField::Rebound, &TestZone::reboundValue, &TestZone::reboundManual,
     kZoneData},
    {ZoneField::CarbonationDepth, TypedField::Carbonation, &TestZone::carbonationDepth, nullptr, kZoneData},
};
// Sets one field of zone `at`. Outside its range: refused with the stored
// value and the range's message.
EditResult SetZoneField(CKorvaneDoc& doc, ZoneRef at, ZoneField field, float value);

// ---- Zone data (analysis screen: zone, member, batch) ----------------------

// Distance L (mm) of a point typed into the zone grid of the waveform view
// (0 … 10000). Refused for a zone of more than six points (the grid shows
// no distances then).
EditResult SetZoneGridDistance(CKorvaneDoc& doc, ZoneRef at, int point, float distance);
// Rebound reading `index` (0..15): a whole number 0 … 99.
EditResult SetReading(CKorvaneDoc& doc, ZoneRef at, int index, int value);
// R typed by hand and the carbonation depth: SetZoneField.
// Hammer angle: 90, 60, 45, 30, 0, -30, -45, -60 or -90 degrees; any other
// value stores 0.
EditResult SetAngle(CKorvaneDoc& doc, ZoneRef at, int angle);
// Tested surface "侧面", "顶面", "底面"; None and other numbers refused.
EditResult SetSurface(CKorvaneDoc& doc, ZoneRef at, Surface surface);

// ---- Member and file (analysis screen: every zone, member and the batch) ---

enum class Coefficient { A, B, C, D };
// The range of a coefficient under `standard`: d is the exponent of the
// carbonation term (−1 … 1) where the standard's strength rule has one.
TypedField CoefficientField(Coefficient which, Standard standard);

// Coefficient a, b, c or d of member `member` (CoefficientField's range);
// then that member's aggregate and four coefficients are copied to every
// member and everything is recomputed.
EditResult SetCoefficient(CKorvaneDoc& doc, int member, Coefficient which, float value);
// Coarse aggregate of member `member`: Custom, Pebble or CrushedStone (any
// other value stores CrushedStone). Pebble and crushed stone take the standard's
// coefficients (GetCoefficients, pebble only for 1); then the copy to every
// member and the recomputation as for a coefficient.
EditResult SetAggregate(CKorvaneDoc& doc, int member, Aggregate aggregate);
// The project's strength correction factor η (0.1 … 10) or correction Δtot
// (−30 … 30 MPa); then η and Δtot of the project go into every zone and
// everything is recomputed.
EditResult SetEta(CKorvaneDoc& doc, float eta);
EditResult SetDeltaTot(CKorvaneDoc& doc, float deltaTot);
// A laboratory's own strength curve as the own coefficients ("自定义",
// aggregate code 0) of member `member`, or of every member for -1: a, b and
// c as given, each member's d as it is; the members' zones and the batch
// are recomputed. Refused with the range message of the first coefficient
// outside CoefficientField's range.
EditResult SetCustomCoefficients(CKorvaneDoc& doc, int member, float a, float b, float c);
// The core correction of `cores` (DeriveCoreCorrection) under the file's
// standard: the value rounded to 0.01 becomes the project's η or Δtot and
// goes into every zone, everything is recomputed, and the cores are kept
// with the file (CKorvaneDoc::cores), as one step. Refused with the
// derivation's problem when a core cannot be used, or with the field's range
// message when the value is outside η's or Δtot's range. Fewer than six
// cores are applied with the derivation's warning as `message`.
EditResult ApplyCoreCorrection(CKorvaneDoc& doc, const std::vector<CoreSample>& cores);
// Pumped-concrete switch of member `member`; the member's zones and the
// batch are recomputed.
EditResult SetPumped(CKorvaneDoc& doc, int member, bool pumped);
// Switches the standard. The switch rule looks at zone `shown` (the zone the
// analysis screen shows): refused with "当前规范(%s)及测试方式(%s)下，无法切换到
// 新规范(%s)！" when it forbids the switch. Otherwise, in this order: the new
// standard (its algorithm; point readings, V and Va of every zone), the
// forced coefficient refresh for `shown.member`, and the display name of the
// new standard as the report's test basis.
EditResult SwitchStandard(CKorvaneDoc& doc, ZoneRef shown, Standard standard);
// Member name (UTF-8). Refused when a data file cannot hold it (line break).
EditResult RenameMember(CKorvaneDoc& doc, int member, std::string_view name);

// ---- Project and acquisition parameters (nothing recomputed) ---------------

enum class ProjectText { Site, Unit, Person };  // "工程名称", "检测单位", "检测人员"
enum class ProjectDate { Casting, Test };       // "浇注日期", "检测日期"

// Refused when a data file cannot hold the text (line break). The report
// field filled from the project text on opening (工程名称, 检测单位, and
// the two dates) follows the edit while it still shows the old project
// text; one given a text of its own keeps it.
EditResult SetProjectText(CKorvaneDoc& doc, ProjectText which, std::string_view text);
// Stored as "year-month-day" without leading zeros (FormatDate).
EditResult SetProjectDate(CKorvaneDoc& doc, ProjectDate which, const CivilDate& date);
// "检测参数" "确定": the gain and the delay (us) of the section record of
// member `member` (the dialog's other fields cannot be typed into and keep
// their values). Refused when the member has no section record.
EditResult SetSectionGainDelay(CKorvaneDoc& doc, int member, float gain, float delay);

// ---- Correction tables (every zone, member and the batch) ------------------

// A correction dialog's "确定": every cell of `table` takes `values` (row
// after row; refused unless there are exactly rows × columns of them, as
// InfoOf(table) gives them).
EditResult SetCorrectionTable(CKorvaneDoc& doc, CorrectionTable table, const std::vector<float>& values);
// A correction dialog's "默认值": the table's default copy over its current one.
EditResult RestoreDefaultTable(CKorvaneDoc& doc, CorrectionTable table);

// ---- Strengths on screen -------------------------------------------------------

// Edits of the main screen recompute point readings, V and Va only; the
// analysis screen's "输出" recomputes the rest. While strengths are shown
// (the analysis screen), such a step that was undone or redone is followed
// by the recomputation of its zone (or member), its member and the batch,
// so that the screen stays consistent. Steps that recompute the batch
// themselves, and steps of no member, are returned as they are; otherwise
// the step comes back with what the recomputation changed (Member, Batch).
EditResult FollowStrengths(CKorvaneDoc& doc, EditResult step);
// A file opened (or reopened by "保存结果") while strengths are shown is
// shown recomputed, as "输出" shows it: the reader keeps no member or batch
// results. Not an edit: nothing is marked modified.
void RecomputeOpenedFile(CKorvaneDoc& doc);

// ---- Waveform filter ---------------------------------------------------------

struct FilterSettings {
  bool highPassOn = false;
  float highPassKHz = 20.0f;
  bool lowPassOn = false;
  float lowPassKHz = 50.0f;
};
FilterSettings FilterSettingsOf(const CKorvaneDoc& doc);

// The document takes the filter settings and the zone's waveforms are
// filtered again from their loaded copies (point readings recomputed). The
// corners are not checked here (the filter dialog's model does that).
EditResult ApplyZoneFilter(CKorvaneDoc& doc, ZoneRef at, const FilterSettings& settings);

}  // namespace korvane
