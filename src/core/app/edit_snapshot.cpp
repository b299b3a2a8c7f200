#include "core/app/edit_snapshot.h"

#include "core/app/korvane_doc.h"

namespace korvane {
namespace {

// Puts a captured zone back into the live one. Without captured waveforms
// the live points keep their sample buffers (the zone's other values,
// derived ones included, are the captured ones).
void RestoreZone(const TestZone& saved, TestZone& live, bool withSamples) {
  TestZone copy = saved;
  if (!withSamples) {
    for (int j = 0; j < kMaxPoints; ++j) {
      MeasuringPoint* point = copy.point(j);
      const MeasuringPoint* current = live.point(j);
      if (point == nullptr || current == nullptr) continue;
      point->samples = current->samples;
      point->unfilteredSamples = current->unfilteredSamples;
    }
  }
  live = std::move(copy);
}

void RestoreZones(const ZoneList& saved, ZoneList& live) {
  for (std::size_t z = 0; z < saved.size() && z < live.size(); ++z) RestoreZone(saved[z], live[z], false);
}

}  // namespace

EditSnapshot EditSnapshot::Capture(const CKorvaneDoc& doc, EditScope scope, ZoneRef at) {
  EditSnapshot s;
  s.scope_ = scope;
  s.at_ = at;
  if (Touches(scope, EditScope::Zone | EditScope::Waveforms)) {
    if (const TestZone* zone = doc.Zone(at.member, at.zone)) {
      s.zone_ = *zone;
    }
  }
  const bool memberExists = at.member >= 0 && static_cast<std::size_t>(at.member) < doc.members.size();
  if (Touches(scope, EditScope::Member) && memberExists) {
    s.member_ = doc.members[static_cast<std::size_t>(at.member)];
  }
  if (Touches(scope, EditScope::MemberZones) && at.member >= 0 &&
      static_cast<std::size_t>(at.member) < doc.zoneLists.size()) {
    s.memberZones_ = doc.zoneLists[static_cast<std::size_t>(at.member)];
  }
  if (Touches(scope, EditScope::AllMembers)) s.members_ = doc.members;
  if (Touches(scope, EditScope::AllZones)) s.allZones_ = doc.zoneLists;
  if (Touches(scope, EditScope::AllZoneValues)) {
    s.zoneValues_.resize(doc.zoneLists.size());
    for (std::size_t m = 0; m < doc.zoneLists.size(); ++m) {
      std::vector<ZoneValues>& values = s.zoneValues_[m];
      values.reserve(doc.zoneLists[m].size());
      for (const TestZone& z : doc.zoneLists[m]) {
        values.push_back({z.eta, z.deltaTot, z.reboundValue, z.angleCorrection, z.surfaceCorrection,
                          z.strengthValue, z.zoneVelocity, z.correctedVelocity, z.pointVelocity, z.pointTime,
                          z.pointAmplitude, z.pointDistance});
      }
    }
  }
  s.result_ = doc.result;
  s.batchResultFlag_ = doc.batchResultFlag;
  if (Touches(scope, EditScope::Project)) s.project_ = doc.project;
  if (Touches(scope, EditScope::Sections)) s.sections_ = doc.sections;
  s.tables_ = doc.tables;
  if (Touches(scope, EditScope::Cores)) s.cores_ = doc.cores;
  s.standard_ = doc.standard;
  if (Touches(scope, EditScope::ReportInfo)) s.reportInfo_ = doc.reportInfo;
  s.filter_ = FilterSettingsOf(doc);
  s.currentMember_ = doc.currentMember;
  s.currentZone_ = doc.currentZone;
  s.currentPoint_ = doc.currentPoint;
  return s;
}

void EditSnapshot::Restore(CKorvaneDoc& doc) const {
  // The algorithm first: nothing below recomputes, but the object must be
  // the captured standard's when the values are looked at again.
  if (Touches(scope_, EditScope::Standard)) {
    doc.standard = standard_;
    doc.algorithm = CAlgorithm(standard_, &doc.tables);
  }
  if (Touches(scope_, EditScope::Tables)) doc.tables = tables_;
  if (Touches(scope_, EditScope::Cores)) doc.cores = cores_;
  if (Touches(scope_, EditScope::Project)) doc.project = project_;
  if (Touches(scope_, EditScope::Sections)) doc.sections = sections_;
  if (Touches(scope_, EditScope::ReportInfo)) doc.reportInfo = reportInfo_;
  if (Touches(scope_, EditScope::Filter)) {
    doc.highPassOn = filter_.highPassOn;
    doc.highPassKHz = filter_.highPassKHz;
    doc.lowPassOn = filter_.lowPassOn;
    doc.lowPassKHz = filter_.lowPassKHz;
  }
  if (Touches(scope_, EditScope::AllMembers)) {
    for (std::size_t m = 0; m < members_.size() && m < doc.members.size(); ++m) doc.members[m] = members_[m];
  }
  if (member_ && static_cast<std::size_t>(at_.member) < doc.members.size()) {
    doc.members[static_cast<std::size_t>(at_.member)] = *member_;
  }
  if (Touches(scope_, EditScope::AllZones)) {
    for (std::size_t m = 0; m < allZones_.size() && m < doc.zoneLists.size(); ++m) {
      RestoreZones(allZones_[m], doc.zoneLists[m]);
    }
  }
  for (std::size_t m = 0; m < zoneValues_.size() && m < doc.zoneLists.size(); ++m) {
    for (std::size_t k = 0; k < zoneValues_[m].size() && k < doc.zoneLists[m].size(); ++k) {
      const ZoneValues& v = zoneValues_[m][k];
      TestZone& z = doc.zoneLists[m][k];
      z.eta = v.eta;
      z.deltaTot = v.deltaTot;
      z.reboundValue = v.reboundValue;
      z.angleCorrection = v.angleCorrection;
      z.surfaceCorrection = v.surfaceCorrection;
      z.strengthValue = v.strengthValue;
      z.zoneVelocity = v.zoneVelocity;
      z.correctedVelocity = v.correctedVelocity;
      z.pointVelocity = v.pointVelocity;
      z.pointTime = v.pointTime;
      z.pointAmplitude = v.pointAmplitude;
      z.pointDistance = v.pointDistance;
    }
  }
  if (Touches(scope_, EditScope::MemberZones) &&
      static_cast<std::size_t>(at_.member) < doc.zoneLists.size()) {
    RestoreZones(memberZones_, doc.zoneLists[static_cast<std::size_t>(at_.member)]);
  }
  if (zone_) {
    if (TestZone* live = doc.Zone(at_.member, at_.zone)) {
      RestoreZone(*zone_, *live, Touches(scope_, EditScope::Waveforms));
    }
  }
  if (Touches(scope_, EditScope::Batch)) {
    doc.result = result_;
    doc.batchResultFlag = batchResultFlag_;
  }
  if (Touches(scope_, EditScope::Position)) {
    doc.currentMember = currentMember_;
    doc.currentZone = currentZone_;
    doc.currentPoint = currentPoint_;
  }
  doc.modified = true;
  doc.NoteChange();
}

}  // namespace korvane
