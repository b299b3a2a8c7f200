// Opening a large result file pair, measured against the floor for the same
// bytes: reading both files into buffers already in memory and decoding the
// text from code page 936. Two sizes (10 and 100 members of 100 zones, 3 points, 1,024
// samples) show how the time grows with the data.
//
// Counters: open_ms and floor_ms per open, ratio = open / floor (wall
// clock), cpu_ratio = the same in this thread's CPU time (steadier on a
// machine shared with other work), MB = size of the pair.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>

#include "core/app/korvane_doc.h"
#include "core/data/file_pair.h"
#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/data/synthetic_data.h"
#include "core/data/text_encoding.h"
#include "core/platform/file_system.h"
#include "large_data.h"

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

// CPU time of this thread in seconds.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A result pair of `members` members in a temporary folder, written once per
// size and removed when the program ends.
class LargePair {
 public:
  explicit LargePair(int members) {
    dir_ = std::filesystem::temp_directory_path() / ("korvane-open-bench-" + std::to_string(members));
    std::filesystem::create_directories(dir_);
    path_ = dir_ / "large.SHA";
    const SyntheticData data = bench::LargeBenchData(members, 1024);
    WriteResultFile(OpenFilePair(path_), data.project, data.zoneLists, data.memberCount, {}, data.sections,
                    data.members);
    bytes_ = std::filesystem::file_size(path_) + std::filesystem::file_size(OpenFilePair(path_).wavePath);
  }
  ~LargePair() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  LargePair(const LargePair&) = delete;
  LargePair& operator=(const LargePair&) = delete;

  const std::filesystem::path& path() const { return path_; }
  double megabytes() const { return static_cast<double>(bytes_) / 1e6; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path path_;
  std::uintmax_t bytes_ = 0;
};

const LargePair& PairOf(int members) {
  static std::map<int, std::unique_ptr<LargePair>> pairs;
  auto& pair = pairs[members];
  if (!pair) pair = std::make_unique<LargePair>(members);
  return *pair;
}

// The floor's buffers, kept from one pass to the next: a fresh buffer would
// be zero-filled page by page by the system (at 100 members, ten times the
// page faults of the open itself) and the floor would measure that.
struct FloorBuffers {
  std::string text;
  std::string wave;
};

double Floor(const FilePair& pair, FloorBuffers& buffers) {
  const auto start = Clock::now();
  std::string& text = buffers.text;
  std::string& wave = buffers.wave;
  (void)platform::ReadRegularFile(pair.textPath, text);
  (void)platform::ReadRegularFile(pair.wavePath, wave);
  const std::u16string decoded = DecodeCp936(text);
  benchmark::DoNotOptimize(decoded.data());
  benchmark::DoNotOptimize(wave.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor of a command that prints numbers alone: the text read and
// decoded, the waveform file not read.
double TextFloor(const FilePair& pair, FloorBuffers& buffers) {
  const auto start = Clock::now();
  (void)platform::ReadRegularFile(pair.textPath, buffers.text);
  const std::u16string decoded = DecodeCp936(buffers.text);
  benchmark::DoNotOptimize(decoded.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Open>
void MeasureAgainstFloor(benchmark::State& state, const LargePair& large, Open open,
                         double (*floor)(const FilePair&, FloorBuffers&) = Floor) {
  const FilePair pair = OpenFilePair(large.path());
  FloorBuffers buffers;
  floor(pair, buffers);  // the buffers' pages are in place before timing
  double floorSeconds = 0.0;
  double openSeconds = 0.0;
  double floorCpu = 0.0;
  double openCpu = 0.0;
  for (auto _ : state) {
    const double floorStart = ThreadSeconds();
    floorSeconds += floor(pair, buffers);
    const double openStart = ThreadSeconds();
    floorCpu += openStart - floorStart;
    const auto start = Clock::now();
    open();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    openCpu += ThreadSeconds() - openStart;
    openSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["open_ms"] = openSeconds / n * 1e3;
  state.counters["floor_ms"] = floorSeconds / n * 1e3;
  state.counters["ratio"] = openSeconds / floorSeconds;
  state.counters["cpu_ratio"] = openCpu / floorCpu;
  state.counters["MB"] = large.megabytes();
}

// The reader alone, into fresh containers.
void BM_ReadTestFile(benchmark::State& state) {
  const LargePair& large = PairOf(static_cast<int>(state.range(0)));
  MeasureAgainstFloor(state, large, [&large] {
    ProjectInfo project = NewProjectInfo();
    std::vector<Member> members;
    ZoneLists zoneLists;
    std::vector<SectionPara> sections;
    StrengthResult result;
    int memberCount = 0;
    ReadTestFile(OpenFilePair(large.path()),
                 ReadTarget{members, project, zoneLists, memberCount, sections, result}, 0, {});
    benchmark::DoNotOptimize(zoneLists.data());
  });
}

// The document's open: reader plus the after-load reset.
void BM_OnOpenDocument(benchmark::State& state) {
  const LargePair& large = PairOf(static_cast<int>(state.range(0)));
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  MeasureAgainstFloor(state, large, [&] { doc.OnOpenDocument(large.path()); });
}

// The open of `info` and `evaluate`: waveforms checked against the file's
// size, never read; against the text floor.
void BM_OpenForNumbers(benchmark::State& state) {
  const LargePair& large = PairOf(static_cast<int>(state.range(0)));
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  MeasureAgainstFloor(
      state, large, [&] { doc.OnOpenDocument(large.path(), WaveformReading::SizeOnly); }, TextFloor);
}

BENCHMARK(BM_ReadTestFile)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnOpenDocument)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenForNumbers)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
