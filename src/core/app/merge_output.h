// Writing a merged file: the merged members, zones and companion extras in
// a document of their own, recomputed under the first file's standard (so
// that the strengths it stores follow from its data), then saved as a result
// file pair with its companion file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/data/file_merge.h"

namespace korvane {

// Writes the merged data (ReadMergeInputs) to `output` (messages of the
// writer). The window and the command line read, then write, so that the
// window can ask between them.
void WriteMergedFile(const MergedData& data, const std::filesystem::path& output);

// A member whose estimate the merge changes: as its own file computes it
// (its standard, its tables) and as the merged file will (MPa).
struct MergeChange {
  std::string file;    // the source file's name
  std::string member;  // the member's name
  float before = 0.0f;
  float after = 0.0f;
};

// What a merge of `inputs` into `data` does to the files' strengths: a
// file of another standard than the first is recomputed under the first's,
// and every member is computed with the one set of correction tables the
// merged file keeps (the first edited one). Empty when no file differs from
// the first in standard or tables. `members` lists the members whose
// estimate then changes (all of a differing file's members are compared).
struct MergeCheck {
  std::vector<std::string> otherStandard;  // files of another standard than the first
  std::vector<std::string> otherTables;    // files whose tables differ from the merged file's
  std::vector<MergeChange> members;
  bool empty() const { return otherStandard.empty() && otherTables.empty(); }
};
MergeCheck CheckMerge(const std::vector<std::filesystem::path>& inputs, const MergedData& data);

// The question the window asks (and the command line's refusal without
// --accept-recompute): which files differ and how, then each member whose
// estimate changes, "构件 <name>（<file>）：<before> → <after> MPa".
std::string MergeChangeText(const MergeCheck& check);

}  // namespace korvane
