// The part of the document an edit changes, captured just before the edit so
// that an undo can put it back exactly: inputs and derived values alike
// (strengths, member and batch results), so that no recomputation is needed
// after a restore. A recomputation would not do: values read from a file
// are not always what a recomputation gives.
//
// Zones are kept whole (AllZoneValues: only the values such an edit
// changes, a sixth of a zone's size): their sample buffers are shared with the live ones
// (copy on write), so a snapshot costs no copy of the waveforms. A restore
// puts the captured samples back only when the scope names the waveforms
// (only the filter changes samples).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/algorithm/correction_tables.h"
#include "core/app/document_edits.h"
#include "core/data/records.h"
#include "core/report/report_records.h"

namespace korvane {

class EditSnapshot {
 public:
  // The parts of `doc` that `scope` names; Zone, Waveforms, Member and
  // MemberZones refer to `at`. Parts that do not exist (a zone out of range)
  // are left out.
  static EditSnapshot Capture(const CKorvaneDoc& doc, EditScope scope, ZoneRef at);

  // Puts the captured values back into the same zones, members and fields,
  // then marks the document modified (an undo stack sets the flag from its
  // own clean state afterwards). Zones and points keep their sample buffers
  // unless the waveforms were captured. Parts whose zone or member no longer
  // exists are skipped.
  void Restore(CKorvaneDoc& doc) const;

  EditScope scope() const { return scope_; }
  ZoneRef at() const { return at_; }

 private:
  EditScope scope_ = EditScope::None;
  ZoneRef at_;
  std::optional<TestZone> zone_;  // Zone
  std::optional<Member> member_;
  ZoneList memberZones_;
  std::vector<Member> members_;
  ZoneLists allZones_;
  // AllZoneValues: per member, per zone.
  struct ZoneValues {
    float eta;
    float deltaTot;
    float reboundValue;
    float angleCorrection;
    float surfaceCorrection;
    float strengthValue;
    float zoneVelocity;
    float correctedVelocity;
    std::array<float, kMaxPoints> pointVelocity;
    std::array<float, kMaxPoints> pointTime;
    std::array<float, kMaxPoints> pointAmplitude;
    std::array<float, kMaxPoints> pointDistance;
  };
  std::vector<std::vector<ZoneValues>> zoneValues_;
  StrengthResult result_;
  ResultFlag batchResultFlag_ = ResultFlag::Valid;
  ProjectInfo project_;
  std::vector<SectionPara> sections_;
  CorrectionTables tables_;
  std::vector<CoreSample> cores_;
  Standard standard_ = Standard::CECS02_2005;
  ReportProjectInfo reportInfo_;
  FilterSettings filter_;
  int currentMember_ = -1;
  int currentZone_ = 0;
  int currentPoint_ = 0;
};

}  // namespace korvane
