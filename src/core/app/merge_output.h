// Writing a merged file: the merged members, zones and companion extras in
// a document of their own, recomputed under the first file's standard (so
// that the strengths it stores follow from its data), then saved as a result
// file pair with its companion file.
#pragma once

#include <filesystem>

#include "core/data/file_merge.h"

namespace korvane {

// Writes the merged data (ReadMergeInputs) to `output` (messages of the
// writer). The window and the command line read, then write, so that the
// window can ask between them.
void WriteMergedFile(const MergedData& data, const std::filesystem::path& output);

}  // namespace korvane
