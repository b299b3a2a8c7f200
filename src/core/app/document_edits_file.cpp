// The editing operations of the project, the acquisition parameters, the
// correction tables and the filter, and the strengths the screen shows.
#include "core/app/document_edits.h"

#include "core/app/document_edits_internal.h"
#include "core/data/text_entry.h"
#include "core/report/report_records.h"
#include "core/wave/point_readings.h"

namespace korvane {

using namespace edit_detail;  // the edits' own helpers

namespace {

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
  if (values.size() != info.Cells()) return Refused({});
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
