// Saving a large result pair: the waveform file is streamed from the
// records, so a save needs little memory beyond the document it writes.
// Measured against the floor of writing the same bytes, already in memory,
// to a file; and the memory the save adds while it runs, against the
// waveform file's size (the peak resident size is reset before the save:
// Linux's /proc/self/clear_refs).
//
// Counters: save_ms, floor_ms, ratio = save / floor; extra_ratio = (peak
// resident size during the save - resident size before it) / waveform
// bytes (a save that held the waveform file in memory gives at least 1);
// MB = size of the waveform file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/data/file_pair.h"
#include "core/data/file_writer.h"
#include "core/platform/file_replace.h"
#include "large_data.h"

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

// A /proc/self/status value in bytes ("VmRSS", "VmHWM").
double StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) * 1024.0;
  }
  return 0.0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_SaveLargePair(benchmark::State& state) {
  const SyntheticData data = bench::LargeBenchData(static_cast<int>(state.range(0)), 4096);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "korvane-save-bench";
  std::filesystem::create_directories(dir);
  const FilePair pair = OpenFilePair(dir / "large.SHA");
  // The waveform file alone, written at once: the floor of a save.
  std::string wave;
  WaveformPieces pieces(data.zoneLists, data.members, data.memberCount);
  for (std::string chunk; pieces.Next(chunk);) wave += chunk;
  double saveSeconds = 0.0;
  double floorSeconds = 0.0;
  double extra = 0.0;
  for (auto _ : state) {
    auto start = Clock::now();
    ReplaceFile(dir / "floor.SHD", wave);
    floorSeconds += std::chrono::duration<double>(Clock::now() - start).count();

    const double before = StatusBytes("VmRSS");
    ResetPeak();
    start = Clock::now();
    WriteResultFile(pair, data.project, data.zoneLists, data.memberCount, {}, data.sections, data.members);
    saveSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    extra = std::max(extra, StatusBytes("VmHWM") - before);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["save_ms"] = 1000.0 * saveSeconds / n;
  state.counters["floor_ms"] = 1000.0 * floorSeconds / n;
  state.counters["ratio"] = saveSeconds / floorSeconds;
  state.counters["extra_ratio"] = extra / static_cast<double>(wave.size());
  state.counters["MB"] = static_cast<double>(wave.size()) / 1e6;
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}
BENCHMARK(BM_SaveLargePair)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
