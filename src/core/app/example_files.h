// The project's own example data files (synthetic, reproducible), written by
// "korvane-cli generate" and committed under samples/.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/standards/standards.h"

namespace korvane {

// Writes every example file pair into `dir` (created when missing) and
// returns the text file names written, in order. Result files carry the
// readings and results of a full recomputation. Throws KorvaneError with the
// writer's message when a file cannot be written.
std::vector<std::string> WriteExampleFiles(const std::filesystem::path& dir);

// A result file of any size, for trying the program on a file as large as a
// laboratory's and for the benchmarks: `members` members of `zones` zones of
// `points` points, `samples` samples per waveform, under `standard`, tested
// by the first method that has that many points under it; the same seed
// gives the same bytes.
struct GeneratedFilePlan {
  int members = 10;   // 1 … kMaxGeneratedMembers
  int zones = 10;     // per member, 1 … kMaxGeneratedZones
  int points = 3;     // a count some test method has under the standard
  int samples = 512;  // per waveform, kMinGeneratedSamples … kMaxGeneratedSamples
  Standard standard = Standard::CECS02_2005;
  std::uint64_t seed = 1;
};
// A file holds at most 100 members (the writer's limit).
inline constexpr int kMaxGeneratedMembers = 100;
inline constexpr int kMaxGeneratedZones = 1000;
inline constexpr int kMinGeneratedSamples = 64;
inline constexpr int kMaxGeneratedSamples = 16384;
// The waveforms of one generated file stay under this (bytes).
inline constexpr std::uint64_t kMaxGeneratedWaveformBytes = std::uint64_t{4} << 30;

// Empty when the plan can be written, else why not ("--points 5: CECS
// 02:2005 has 3 points per zone"; more members than a file holds: the
// save's own message). Checked before anything is built.
std::string GeneratedPlanProblem(const GeneratedFilePlan& plan);
// Writes the plan as `dir`/`name` (a .SHA and its .SHD; `dir` created when
// missing), recomputed as a result file is. Throws KorvaneError with the
// writer's message, or with GeneratedPlanProblem's text.
void WriteGeneratedFile(const std::filesystem::path& dir, const std::string& name,
                        const GeneratedFilePlan& plan);

}  // namespace korvane
