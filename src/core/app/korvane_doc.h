// The single document of the application: owns the data of the open file,
// the algorithm of the current standard, the correction tables, the report
// records, the filter settings and the current member, zone and point. All
// recomputation runs through it, in one place.
//
// The document never shows or prints anything: file operations raise
// KorvaneError with the message to show, refusals return the message, and
// non-fatal warnings go to `warningSink`.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/algorithm/correction_tables.h"
#include "core/data/companion_file.h"
#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/data/records.h"
#include "core/platform/error.h"
#include "core/report/report_records.h"
#include "core/report/report_source.h"

namespace korvane {

// Messages of the document's commands.
inline constexpr std::string_view kMsgUnknownFileType = "无法识别的文件类型";
inline constexpr std::string_view kMsgOpenFileFirst = "请先打开文件!";
// Thrown by an open's progress to stop it (not an error).
struct OpenCancelled {};

// A save of a document whose samples were not read.
inline constexpr std::string_view kMsgSaveWithoutSamples = "无法保存：此文件打开时未读入波形";
inline constexpr std::string_view kMsgFirstZone = "当前为构件第一个测区";
inline constexpr std::string_view kMsgLastZone = "当前为构件最后一个测区";
inline constexpr std::string_view kMsgOpenFileBeforeFilter = "请先打开文件再进行滤波!";

class CKorvaneDoc {
 public:
  // Where the settings file comes from: not at all (tests), loaded at
  // construction only (command line), or loaded at construction and written
  // at destruction (desktop program).
  enum class Settings { None, Load, LoadAndSave };

  explicit CKorvaneDoc(Settings settings = Settings::None, std::filesystem::path settingsPath = {});
  ~CKorvaneDoc();
  CKorvaneDoc(const CKorvaneDoc&) = delete;
  CKorvaneDoc& operator=(const CKorvaneDoc&) = delete;

  // ---- Data of the open file -------------------------------------------
  ProjectInfo project;
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  int memberCount = -1;  // -1: no file open
  StrengthResult result;
  ResultFlag batchResultFlag = ResultFlag::Valid;

  // ---- Standard and tables ---------------------------------------------
  Standard standard = Standard::CECS02_2005;
  CAlgorithm algorithm{standard, &tables};
  CorrectionTables tables;         // current (used by the lookups)
  CorrectionTables defaultTables;  // restored by the tables' defaults button
  // Cores drilled for the core correction (kept in the companion file).
  std::vector<CoreSample> cores;

  // ---- Report records ----------------------------------------------------
  PrintSettings printSettings;
  ReportProjectInfo reportInfo;

  // ---- Position and view state --------------------------------------------
  int currentMember = -1;
  int currentZone = 0;
  int currentPoint = 0;
  float highPassKHz = 20.0f;
  float lowPassKHz = 50.0f;
  bool highPassOn = false;
  bool lowPassOn = false;
  int infoBarWidth = 220;
  int spareBarWidth = 220;
  int analysisBarWidth = 220;

  // Path of the open file (UTF-8), the modified flag and the files opened in
  // this run (full paths, newest first).
  std::string pathName;
  bool modified = false;
  // Whether the open file's samples were read (OnOpenDocument): a document
  // opened for its numbers alone refuses every save, which would write its
  // waveforms flat.
  WaveformReading waveformReading = WaveformReading::Samples;
  std::vector<std::string> openedFiles;

  // Receives non-fatal messages (for instance a number text that is too long).
  WarningSink warningSink;

  // ---- Access ------------------------------------------------------------
  bool HasFile() const { return memberCount != -1; }
  // zoneLists[currentMember][currentZone], or null when out of range.
  TestZone* GetCurrentZone();
  const TestZone* GetCurrentZone() const;
  Member* GetCurrentMember();
  const Member* GetCurrentMember() const;
  // Zone `zone` of member `member`, or null when either is out of range.
  TestZone* Zone(int member, int zone);
  const TestZone* Zone(int member, int zone) const;
  // Zones of a member; 0 when the member does not exist.
  int ZoneCount(int member) const;
  // Section record that belongs to a member: the one whose sectionIndex
  // equals the member's, else sections[member], else null.
  const SectionPara* SectionOf(int member) const;
  // Row in `sections` of SectionOf(member), or -1 (also with no file open).
  int SectionRow(int member) const;
  // SectionRow of the current member ("检测参数" is offered when it is >= 0).
  int CurrentSectionRow() const { return SectionRow(currentMember); }

  // ---- Recomputation -------------------------------------------------------
  // Every derived value of one zone, then its strength; with `withMember`,
  // then EvaluateMember(member) and EvaluateBatch(). Out-of-range indices or
  // an empty slot do nothing.
  void ComputeZone(int member, int zone, bool withMember);
  void RecomputeMember(int member, bool withFileResult);
  void EvaluateMember(int member);
  void EvaluateBatch();
  void RecomputeAll();
  // RecomputeAll unless nothing changed since the last one (changeCount):
  // the same data give the same results, so a second pass would only cost.
  // True when it recomputed.
  bool RecomputeAllIfChanged();
  // Every change of the data (an edit, an undo or redo, an open) counts one;
  // RecomputeAll notes the count it saw.
  void NoteChange() { ++changeCount; }
  std::uint64_t changeCount = 0;
  std::optional<std::uint64_t> recomputedAt;  // none: never recomputed
  // Copies the aggregate and coefficients of member `fromMember` (without an
  // argument: the current member) to every member, then RecomputeAll().
  void ApplyCoefficientsToAll(int fromMember);
  void ApplyCoefficientsToAll() { ApplyCoefficientsToAll(currentMember); }
  // Copies the project's η and Δ into every zone, then RecomputeAll().
  void ApplyCorrectionsToAll();
  // Selects `standard` and recomputes point readings, V and Va of every zone.
  void SetStandard(Standard standard);
  // Selects `standard` (its name and algorithm) and touches no zone: for a
  // switch of standard that recomputes every zone right after (RecomputeAll;
  // the point readings, which no standard changes, are fresh after every
  // edit and stay), without a pass over every zone and waveform of its own.
  void SelectStandard(Standard standard);
  // Marks the three highest (positions 0..2) and three lowest (3..5)
  // readings; returns CalcRebound of the readings.
  float MarkExtremes(const std::array<int, kReadingsPerZone>& readings, std::array<int, 6>& positions) const;
  // After a change of test method, position, β, λ or a distance: refreshes
  // pointDistance, zoneVelocity and correctedVelocity of one zone.
  void RecomputeZoneVelocity(TestZone& zone) const;

  // ---- Files -------------------------------------------------------------
  // Opens a raw (.SHT) or result (.SHA) file pair and runs the after-load
  // reset. The pair's companion file (companion_file.h), when it belongs to
  // the text file as it is, puts back what the pair cannot hold: typed R,
  // pumped members, the edited correction tables (the others take their
  // defaults) and the cores; a stale or unreadable companion is left unused
  // with one message to `warningSink`. Any failure (a file that cannot be opened, a read error, or any
  // other exception on the way) leaves the one "no file" state: memberCount
  // and currentMember -1, zone and point 0, the project reset to its
  // defaults, members, zones, sections and results cleared, the modified
  // flag cleared; pathName and the opened-files list are kept. Throws
  // KorvaneError with the message ("打开文件失败！" when nothing better is
  // known). With WaveformReading::SizeOnly the waveforms are checked
  // against the waveform file but not read (file_reader.h).
  // `progress` hears the waveform file read (file_reader.h); when it throws
  // OpenCancelled the open stops and the document stays as it was (its
  // file, its edits, its path), and OpenCancelled goes on.
  void OnOpenDocument(const std::filesystem::path& path, WaveformReading reading = WaveformReading::Samples,
                      const ReadProgress& progress = {});
  // Writes the data to `path` by its type (.SHT raw, .SHA result); a result
  // file first gets every zone, member and the batch recomputed
  // (RecomputeAll), so that its strengths follow from the data it stores.
  // What the pair does not hold as the document does (values without a
  // field or with more decimals than their column, and CompanionExtras)
  // goes into its companion file in the same group; a companion is written
  // also when there is nothing to keep but one exists at the target, so
  // that no old one remains in force.
  // On success the modified flag is cleared and the document names the file
  // written: pathName becomes its full path, which also goes to the top of
  // the opened-files list. Throws KorvaneError ("请先打开文件!" when no file
  // is open, "无法识别的文件类型" or a writer message); on failure the
  // previous files at `path`, pathName, the list and the flag stay.
  // `progress` follows the waveform file as it is written (file_writer.h).
  void OnSaveDocument(const std::filesystem::path& path, const WriteProgress& progress = {});
  // Recomputes everything and writes a result file pair (and its companion)
  // to `path`, which the document then names, as OnSaveDocument does. Every
  // value stays as it was: reopening the pair shows the same. Throws
  // KorvaneError ("请先打开文件!" when no file is open, or a writer message).
  void SaveResults(const std::filesystem::path& path, const WriteProgress& progress = {});
  // Initial file name of the save-results dialog: pathName cut before the
  // first '.' of its file name (the folders keep their dots).
  std::string SaveResultsDefaultName() const;
  // The same, or when a result file of that name would overwrite the
  // waveform file of another existing data file (the raw file x.SHT opened,
  // x.SHA shares its x.SHD), the first of name(2), name(3) … that would not.
  // Without extension, as SaveResultsDefaultName.
  std::string SaveResultsFreeName() const;

  // ---- Zone navigation -----------------------------------------------------
  // Moves to the previous / next zone of the current member. Returns an empty
  // string when it moved, else the message to show. The current point
  // follows as FitCurrentPoint says.
  std::string PreviousZone();
  std::string NextZone();
  bool CanGoPrevious() const;
  bool CanGoNext() const;
  // Keeps the current point when the current zone has it with samples;
  // otherwise makes the zone's first point with samples current (0 when it
  // has none), so that a view never shows a point the zone lacks.
  void FitCurrentPoint();

  // ---- Waveform filter ------------------------------------------------------
  // Copies the loaded waveforms of zone `zone` of member `member` back into
  // the working buffers / filters the working buffers with the document's
  // filter settings (then recomputes the point readings). Without
  // arguments: the current zone. Out-of-range indices do nothing.
  void RestoreZoneWaveforms(int member, int zone);
  void FilterZoneWaveforms(int member, int zone);
  void RestoreZoneWaveforms() { RestoreZoneWaveforms(currentMember, currentZone); }
  void FilterZoneWaveforms() { FilterZoneWaveforms(currentMember, currentZone); }

 private:
  void ReadAndReplace(const std::filesystem::path& path, WaveformReading reading,
                      const ReadProgress& progress);
  // pathName := the full path of `path`, moved to the top of openedFiles.
  void NameFile(const std::filesystem::path& path);
  void RefuseWithoutSamples() const;
  void ResetAfterLoad();
  void ShowNoFile();
  void Warn(std::string_view message) const;

  Settings settingsMode_;
  std::filesystem::path settingsPath_;
};

// What the companion of the document's pair keeps besides the records'
// values: the correction tables that differ from the defaults, the cores.
CompanionData CompanionExtras(const CKorvaneDoc& doc);

// What the reports read of the document (its records, results and report
// settings, and the point count of the current zone).
report::ReportSource ReportSourceOf(const CKorvaneDoc& doc);

}  // namespace korvane
