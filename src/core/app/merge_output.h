// Writing a merged file: the merged members, zones and companion extras in
// a document of their own, recomputed under the first file's standard (so
// that the strengths it stores follow from its data), then saved as a result
// file pair with its companion file.
#pragma once

#include <filesystem>
#include <vector>

#include "core/data/file_merge.h"

namespace korvane {

// Writes the merged data to `output` (messages of the writer).
void WriteMergedFile(const MergedData& data, const std::filesystem::path& output);

// ReadMergeInputs, then WriteMergedFile; nothing is written when reading fails.
void MergeFiles(const std::vector<std::filesystem::path>& paths, const std::filesystem::path& output,
                const WarningSink& warn = {});

}  // namespace korvane
