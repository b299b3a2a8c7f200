// Merge of several raw or result files into one result file: each source
// member becomes one member of the merged file, with its zones in file
// order. Works on its own containers; the open document is not touched.
// Reading is here; writing (recomputed first) is core/app/merge_output.h.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "core/data/companion_file.h"
#include "core/data/records.h"
#include "core/platform/error.h"

namespace korvane {

struct MergedData {
  ProjectInfo project;  // header of the first file
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  StrengthResult result;  // of the last file that had a result block, else 0
  int memberCount = 0;
  // The tables and cores the sources' companion files keep, for the merged
  // members (their stored values are already in the records).
  CompanionData extras;
};

// Reads the files in order and renumbers: member j and section record j get
// sectionIndex j; every member keeps its aggregate and coefficients. Each
// file's companion (stored values and cores; the first file's edited
// tables) is carried to the merged members; a stale one is left out with
// its message to `warn`. A raw
// file keeps only its member's own section record (the row its SectNum
// names) when it has two or three. Throws KorvaneError: "至少选择一个文件合并"
// for an empty list, "读取文件" + path + "错误:" + the reader's message when
// a file cannot be read (including files whose points per zone differ).
// `progress`, when set, is called after each file with the number of files
// read so far and the number of files (for a progress display).
using MergeProgress = std::function<void(int filesRead, int fileCount)>;
MergedData ReadMergeInputs(const std::vector<std::filesystem::path>& paths, const WarningSink& warn = {},
                           const MergeProgress& progress = {});

}  // namespace korvane
