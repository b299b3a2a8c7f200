// The project's own example data files (synthetic, reproducible), written by
// "korvane-cli generate" and committed under samples/.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane {

// Writes every example file pair into `dir` (created when missing) and
// returns the text file names written, in order. Result files carry the
// readings and results of a full recomputation. Throws KorvaneError with the
// writer's message when a file cannot be written.
std::vector<std::string> WriteExampleFiles(const std::filesystem::path& dir);

}  // namespace korvane
