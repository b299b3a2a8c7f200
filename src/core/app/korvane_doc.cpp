#include "core/app/korvane_doc.h"

#include "core/wave/waveform_view_layout.h"

#include "core/app/settings_file.h"
#include "core/data/file_pair.h"
#include "core/data/file_writer.h"

namespace korvane {

CKorvaneDoc::CKorvaneDoc(Settings settings, std::filesystem::path settingsPath)
    : settingsMode_(settings), settingsPath_(std::move(settingsPath)) {
  project = NewProjectInfo();
  tables = CorrectionTables::Defaults();
  defaultTables = tables;
  printSettings = NewPrintSettings();
  reportInfo = NewReportProjectInfo();
  if (settingsMode_ != Settings::None) {
    if (settingsPath_.empty()) settingsPath_ = DefaultSettingsPath();
    LoadSettings(*this, settingsPath_);
  }
}

CKorvaneDoc::~CKorvaneDoc() {
  if (settingsMode_ == Settings::LoadAndSave) SaveSettings(*this, settingsPath_);
}

void CKorvaneDoc::Warn(std::string_view message) const {
  if (warningSink) warningSink(message);
}

TestZone* CKorvaneDoc::Zone(int member, int zone) {
  return const_cast<TestZone*>(static_cast<const CKorvaneDoc&>(*this).Zone(member, zone));
}

const TestZone* CKorvaneDoc::Zone(int member, int zone) const {
  if (member < 0 || static_cast<std::size_t>(member) >= zoneLists.size()) return nullptr;
  const ZoneList& list = zoneLists[static_cast<std::size_t>(member)];
  if (zone < 0 || static_cast<std::size_t>(zone) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(zone)];
}

int CKorvaneDoc::ZoneCount(int member) const {
  if (member < 0 || static_cast<std::size_t>(member) >= zoneLists.size()) return 0;
  return static_cast<int>(zoneLists[static_cast<std::size_t>(member)].size());
}

TestZone* CKorvaneDoc::GetCurrentZone() { return HasFile() ? Zone(currentMember, currentZone) : nullptr; }

const TestZone* CKorvaneDoc::GetCurrentZone() const {
  return HasFile() ? Zone(currentMember, currentZone) : nullptr;
}

Member* CKorvaneDoc::GetCurrentMember() {
  return const_cast<Member*>(static_cast<const CKorvaneDoc&>(*this).GetCurrentMember());
}

const Member* CKorvaneDoc::GetCurrentMember() const {
  if (!HasFile() || currentMember < 0 || static_cast<std::size_t>(currentMember) >= members.size()) {
    return nullptr;
  }
  return &members[static_cast<std::size_t>(currentMember)];
}

const SectionPara* CKorvaneDoc::SectionOf(int member) const {
  return SectionForMember(sections, members, member);
}

int CKorvaneDoc::SectionRow(int member) const {
  if (!HasFile()) return -1;
  const SectionPara* section = SectionOf(member);
  if (section == nullptr) return -1;
  return static_cast<int>(section - sections.data());
}

std::string CKorvaneDoc::PreviousZone() {
  if (!HasFile()) return std::string(kMsgOpenFileFirst);
  if (currentZone <= 0) return std::string(kMsgFirstZone);
  --currentZone;
  FitCurrentPoint();
  return {};
}

std::string CKorvaneDoc::NextZone() {
  if (!HasFile()) return std::string(kMsgOpenFileFirst);
  if (currentZone + 1 >= ZoneCount(currentMember)) return std::string(kMsgLastZone);
  ++currentZone;
  FitCurrentPoint();
  return {};
}

bool CKorvaneDoc::CanGoPrevious() const { return HasFile() && currentZone > 0; }

bool CKorvaneDoc::CanGoNext() const { return HasFile() && currentZone + 1 < ZoneCount(currentMember); }

void CKorvaneDoc::FitCurrentPoint() {
  const TestZone* zone = GetCurrentZone();
  if (zone == nullptr) return;
  const MeasuringPoint* current = currentPoint < zone->usedPointSlots() ? zone->point(currentPoint) : nullptr;
  if (current != nullptr && current->hasSamples()) return;
  currentPoint = StepToPointWithSamples(*zone, -1, 1).value_or(0);
}

namespace {

// Folder separators of a path name ('\\' only on Windows, where it is one).
#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

}  // namespace

std::string CKorvaneDoc::SaveResultsDefaultName() const {
  // The first '.' of the file name, not of the folders: a folder such as
  // "2026.12" must not become the name.
  const auto nameStart = pathName.find_last_of(kPathSeparators);
  const auto dot = pathName.find('.', nameStart == std::string::npos ? 0 : nameStart + 1);
  return dot == std::string::npos ? pathName : pathName.substr(0, dot);
}

std::string CKorvaneDoc::SaveResultsFreeName() const {
  std::string base = SaveResultsDefaultName();
  if (base.empty()) return base;
  for (int n = 1; n <= 999; ++n) {
    std::string name = n == 1 ? base : base + "(" + std::to_string(n) + ")";
    if (OtherTextSharingWaveform(std::filesystem::path(name + ".SHA")).empty()) return name;
  }
  return base;
}

report::ReportSource ReportSourceOf(const CKorvaneDoc& doc) {
  const TestZone* zone = doc.GetCurrentZone();
  CoreCorrection cores;
  if (!doc.cores.empty()) cores = DeriveCoreCorrection(doc.algorithm, doc.members, doc.zoneLists, doc.cores);
  return report::ReportSource{.members = doc.members,
                              .zoneLists = doc.zoneLists,
                              .result = doc.result,
                              .batchResultFlag = doc.batchResultFlag,
                              .standard = doc.standard,
                              .printSettings = doc.printSettings,
                              .reportInfo = doc.reportInfo,
                              .shownZonePoints = zone != nullptr ? zone->pointCount : 0,
                              .cores = std::move(cores)};
}

}  // namespace korvane
