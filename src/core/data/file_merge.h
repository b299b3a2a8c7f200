// Merge of several raw or result files into one result file: each source
// member becomes one member of the merged file, with its zones in file
// order. Works on its own containers; the open document is not touched.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

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
};

// Reads the files in order and renumbers: member j and section record j get
// sectionIndex j, and every member's coefficients A, B and C become 0. A raw
// file keeps only its member's own section record (the row its SectNum
// names) when it has two or three. Throws KorvaneError: "至少选择一个文件合并"
// for an empty list, "读取文件" + path + "错误:" + the reader's message when
// a file cannot be read (including files whose points per zone differ).
// `progress`, when set, is called after each file with the number of files
// read so far and the number of files (for a progress display).
using MergeProgress = std::function<void(int filesRead, int fileCount)>;
MergedData ReadMergeInputs(const std::vector<std::filesystem::path>& paths, const WarningSink& warn = {},
                           const MergeProgress& progress = {});

// Writes the merged data as a result file pair (messages of the writer).
void WriteMergedFile(const MergedData& data, const std::filesystem::path& output);

// ReadMergeInputs, then WriteMergedFile; nothing is written when reading fails.
void MergeFiles(const std::vector<std::filesystem::path>& paths, const std::filesystem::path& output,
                const WarningSink& warn = {});

}  // namespace korvane
