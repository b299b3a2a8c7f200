// Opening and saving file pairs, and the reset that follows a load.
#include <algorithm>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/file_messages.h"
#include "core/data/file_pair.h"
#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

std::string FullPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return PathToUtf8(error ? path : absolute.lexically_normal());
}

}  // namespace

void CKorvaneDoc::OnOpenDocument(const std::filesystem::path& path, WaveformReading reading,
                                 const ReadProgress& progress) {
  // Every failure, whatever raised it, ends in the one "no file" state; a
  // cancel leaves the document as it was (nothing is replaced before the
  // whole pair was read).
  try {
    ReadAndReplace(path, reading, progress);
  } catch (const OpenCancelled&) {
    throw;
  } catch (const KorvaneError&) {
    ShowNoFile();
    throw;
  } catch (...) {
    ShowNoFile();
    throw KorvaneError(std::string(kMsgOpenFileFailed));
  }
}

void CKorvaneDoc::ReadAndReplace(const std::filesystem::path& path, WaveformReading reading,
                                 const ReadProgress& progress) {
  // Only a regular file is opened (a FIFO or a device would block or never
  // end).
  if (const std::error_code error = platform::ProbeRegularFile(path)) {
    throw KorvaneError(MessageWithPath(kMsgOpenFileFailed, path, error.message()));
  }
  // Read into fresh containers; the document's data is replaced only when
  // the whole pair was read.
  ProjectInfo newProject = NewProjectInfo();
  std::vector<Member> newMembers;
  ZoneLists newZoneLists;
  std::vector<SectionPara> newSections;
  StrengthResult newResult = result;
  int newMemberCount = memberCount;
  const ReadTarget target{newMembers, newProject, newZoneLists, newMemberCount, newSections, newResult};
  ReadTestFile(OpenFilePair(path), target, 0, ZoneLists{}, warningSink, reading, progress);
  // What the pair cannot hold, from its companion file.
  std::optional<CompanionData> extras;
  std::string text;
  std::string message;
  if (!platform::ReadRegularFile(path, text)) extras = ReadCompanionOf(path, text, message);
  if (!message.empty()) Warn(message);
  // The tables are the defaults plus the file's own, never the previous
  // file's.
  tables = defaultTables;
  if (extras) {
    // A value that a field would refuse never reaches a strength: it is
    // left out, and the open says which and why.
    std::vector<std::string> unused =
        ApplyStoredValues(extras->values, &newProject, newMembers, newZoneLists);
    const std::vector<std::string> dropped = DropUnusableParts(*extras, newZoneLists);
    unused.insert(unused.end(), dropped.begin(), dropped.end());
    for (const TableCells& stored : extras->tables) {
      const auto table = TableNamed(stored.name);
      if (!table || !SetTableValues(tables, *table, stored.cells)) {
        unused.push_back("table " + stored.name + "（不是本程序的修正表）");
      }
    }
    if (!unused.empty()) Warn(CompanionValuesUnusedMessage(CompanionPath(path), unused));
    cores = std::move(extras->cores);
  } else {
    cores.clear();
  }
  project = std::move(newProject);
  members = std::move(newMembers);
  zoneLists = std::move(newZoneLists);
  sections = std::move(newSections);
  result = newResult;
  memberCount = newMemberCount;
  waveformReading = reading;
  // Every member has its zone list, also when the file gave it no ray rows.
  zoneLists.resize(members.size());

  ResetAfterLoad();
  modified = false;
  NameFile(path);
  FillReportInfoFromProject(reportInfo, project, standard);
}

void CKorvaneDoc::RefuseWithoutSamples() const {
  if (waveformReading != WaveformReading::Samples) throw KorvaneError(std::string(kMsgSaveWithoutSamples));
}

void CKorvaneDoc::NameFile(const std::filesystem::path& path) {
  const std::string full = FullPath(path);
  pathName = full;
  openedFiles.erase(std::remove(openedFiles.begin(), openedFiles.end(), full), openedFiles.end());
  openedFiles.insert(openedFiles.begin(), full);
}

void CKorvaneDoc::ShowNoFile() {
  memberCount = -1;
  currentMember = -1;
  currentZone = 0;
  currentPoint = 0;
  project = NewProjectInfo();
  members.clear();
  zoneLists.clear();
  sections.clear();
  result = StrengthResult{};
  batchResultFlag = ResultFlag::Valid;
  cores.clear();
  // Nothing is left that could be saved.
  modified = false;
  NoteChange();
}

void CKorvaneDoc::ResetAfterLoad() {
  NoteChange();
  highPassOn = false;
  lowPassOn = false;
  currentMember = 0;
  currentZone = 0;
  currentPoint = 0;
  const Standard opened = StandardOfStoredName(project.standardName);
  if (Traits(opened).fixedTestMethod) project.testMethod = TestMethod::Direct;
  SetStandard(opened);
  for (Member& member : members) {
    if (member.aggregateType != Aggregate::Unset) continue;
    member.aggregateType = Aggregate::CrushedStone;
    algorithm.GetCoefficients(false, member.coefA, member.coefB, member.coefC, member.coefD);
  }
}

void CKorvaneDoc::OnSaveDocument(const std::filesystem::path& path, const WriteProgress& progress) {
  // Without data a save would replace a file with an empty one.
  if (!HasFile()) throw KorvaneError(std::string(kMsgOpenFileFirst));
  RefuseWithoutSamples();
  const FilePair pair = OpenFilePair(path);
  if (pair.kind == FileKind::Other) throw KorvaneError(std::string(kMsgUnknownFileType));
  const CompanionData extras = CompanionExtras(*this);
  if (std::string kept = KeepUnusableCompanion(path); !kept.empty()) Warn(kept);
  if (pair.kind == FileKind::Raw) {
    WriteRawFile(pair, project, zoneLists, memberCount, sections, members, extras, progress);
  } else {
    // The strengths of a result file follow from the data written with
    // them: edits since the last recomputation (a pick, a distance) count.
    RecomputeAll();
    WriteResultFile(pair, project, zoneLists, memberCount, result, sections, members, extras, progress);
  }
  modified = false;
  // As in every editor, the document now is the file just written.
  NameFile(path);
}

void CKorvaneDoc::SaveResults(const std::filesystem::path& path, const WriteProgress& progress) {
  if (!HasFile()) throw KorvaneError(std::string(kMsgOpenFileFirst));
  RefuseWithoutSamples();
  RecomputeAll();
  const CompanionData extras = CompanionExtras(*this);
  if (std::string kept = KeepUnusableCompanion(path); !kept.empty()) Warn(kept);
  WriteResultFile(OpenFilePair(path), project, zoneLists, memberCount, result, sections, members, extras,
                  progress);
  modified = false;
  NameFile(path);
}

CompanionData CompanionExtras(const CKorvaneDoc& doc) {
  CompanionData data;
  for (const CorrectionTableInfo& info : kCorrectionTables) {
    std::vector<float> cells = TableValues(doc.tables, info.table);
    if (cells != TableValues(doc.defaultTables, info.table))
      data.tables.push_back({std::string(info.name), std::move(cells)});
  }
  data.cores = doc.cores;
  return data;
}

}  // namespace korvane
