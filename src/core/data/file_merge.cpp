#include "core/data/file_merge.h"

#include "core/data/companion_file.h"
#include "core/data/file_messages.h"
#include "core/data/file_pair.h"
#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"

namespace korvane {
namespace {

// A raw file lists one section record per instrument channel; only the
// member's own channel belongs in the merged table, so that record j of the
// merged table stays the record of member j.
void KeepOwnSectionRecord(std::vector<SectionPara>& records, int ownRow) {
  if (records.size() == 2) {
    // The row that is not the member's own: (SectNum + 1) mod 2.
    const int other = ((ownRow + 1) % 2 + 2) % 2;
    records.erase(records.begin() + other);
  } else if (records.size() == 3 && ownRow >= 0 && ownRow < 3) {
    const SectionPara own = records[static_cast<std::size_t>(ownRow)];
    records.assign(1, own);
  }
}

}  // namespace

MergedData ReadMergeInputs(const std::vector<std::filesystem::path>& paths, const WarningSink& warn,
                           const MergeProgress& progress) {
  if (paths.empty()) throw KorvaneError(std::string(kMsgMergeNothingSelected));
  MergedData data;
  ProjectInfo project = NewProjectInfo();
  int fileIndex = 0;
  for (const auto& path : paths) {
    const FilePair pair = OpenFilePair(path);
    std::vector<SectionPara> fileSections;
    int fileMembers = 0;
    const std::size_t firstMember = data.members.size();
    const ReadTarget target{data.members, project, data.zoneLists, fileMembers, fileSections, data.result};
    try {
      ReadTestFile(pair, target, fileIndex, data.zoneLists, warn);
    } catch (const KorvaneError& error) {
      throw KorvaneError(std::string(kMsgMergeReadPrefix) + PathToUtf8(path) +
                         std::string(kMsgMergeReadInfix) + error.what());
    }
    // The file's companion: its values and cores follow their members (the
    // project's values are the first file's); the correction tables are
    // those of the first file that has edited ones.
    std::string text;
    std::string message;
    std::optional<CompanionData> extras;
    if (!platform::ReadRegularFile(path, text)) extras = ReadCompanionOf(path, text, message);
    if (!message.empty() && warn) warn(message);
    if (extras) {
      const int offset = static_cast<int>(firstMember);
      std::vector<std::string> unused = ApplyStoredValues(extras->values, fileIndex == 0 ? &project : nullptr,
                                                          data.members, data.zoneLists, offset);
      const std::vector<std::string> dropped = DropUnusableParts(*extras, data.zoneLists, offset);
      unused.insert(unused.end(), dropped.begin(), dropped.end());
      if (!unused.empty() && warn) warn(CompanionValuesUnusedMessage(CompanionPath(path), unused));
      for (CoreSample c : extras->cores) {
        c.member += offset;
        data.extras.cores.push_back(c);
      }
      if (data.extras.tables.empty()) data.extras.tables = extras->tables;
    }
    if (fileIndex == 0) data.project = project;
    if (pair.kind == FileKind::Raw && firstMember < data.members.size()) {
      KeepOwnSectionRecord(fileSections, data.members[firstMember].sectionIndex);
    }
    data.sections.insert(data.sections.end(), fileSections.begin(), fileSections.end());
    data.memberCount += fileMembers;
    ++fileIndex;
    if (progress) progress(fileIndex, static_cast<int>(paths.size()));
  }
  // Each member keeps its own aggregate and coefficients (its own strength
  // formula, with aggregate code 0).
  for (std::size_t j = 0; j < data.members.size(); ++j) {
    data.members[j].sectionIndex = static_cast<int>(j);
    if (j < data.sections.size()) data.sections[j].sectionIndex = static_cast<int>(j);
  }
  return data;
}

}  // namespace korvane
