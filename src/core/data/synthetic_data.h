// Synthetic test data: realistic, reproducible members, zones and waveforms
// for the example files, the tests and the benchmarks.
//
// Everything is derived from a seed with a fixed pseudo-random generator and
// plain IEEE arithmetic (no library transcendental functions), so the same
// plan gives the same bytes on every platform and compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/data/records.h"

namespace korvane {

// splitmix64: small, fast and fully specified.
class SyntheticRandom {
 public:
  explicit SyntheticRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [0, 1).
  double Uniform();
  // Approximately standard normal (sum of twelve uniforms minus six).
  double Normal();

 private:
  std::uint64_t state_;
};

struct SyntheticMemberPlan {
  std::string name;
  int zones = 10;
  double meanRebound = 35.0;           // member mean of the rebound readings
  double velocityKmS = 4.2;            // member mean pulse velocity
  std::vector<std::string> locations;  // test locations, used in turn ("" none)
  int angle = 0;                       // hammer angle of every zone, degrees
  Surface surface = Surface::Side;     // tested surface of every zone
  std::vector<float> distances;        // L per point slot, mm; empty: the file's
};

struct SyntheticFilePlan {
  ProjectInfo project;  // header (standardName, testMethod, instrument …)
  int pointsPerZone = 3;
  std::vector<float> distances;  // L per point slot, mm (pointsPerZone values)
  int sampleCount = 512;
  float sampleInterval = 0.4f;  // us
  float delay = 0.0f;           // us
  float gain = 40.0f;
  float frequencyKHz = 40.0f;  // main frequency of the received pulse
  std::vector<SyntheticMemberPlan> members;
  // Section rows: one per member (result files), or this many channel rows
  // of which row `ownSection` is the member's (raw files, one member).
  int channelRows = 0;
  int ownSection = 0;
  std::uint64_t seed = 1;
};

struct SyntheticData {
  ProjectInfo project;
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  int memberCount = 0;
};

// Members with one zone list each; every zone has pointsPerZone points with
// samples, sixteen rebound readings scattered around a zone mean, and the
// transit times that its distances and a zone velocity give. Waveforms hold
// noise before the first arrival and a decaying oscillation after it.
SyntheticData MakeSyntheticData(const SyntheticFilePlan& plan);

// One waveform of `count` 12-bit codes: noise of about `noise` codes, from
// sample `arrival` on a decaying oscillation of `frequencyKHz` with peak
// `amplitude` codes; `interval` in us.
std::vector<std::uint16_t> SyntheticWaveform(SyntheticRandom& random, int count, float interval, int arrival,
                                             double frequencyKHz, double amplitude, double noise);

// Onset shapes of OnsetWaveform: a pulse that starts at full strength, or one
// whose envelope rises from zero over `risePeriods` periods (an emergent
// arrival, as a resonant receiver builds up): linearly, or as the first
// quarter of a sine (steep at first, flat at its peak).
enum class OnsetShape { kSharp, kEmergent, kSineRise };

// A waveform with a known first arrival for measuring arrival pickers.
struct OnsetWaveformPlan {
  int count = 512;             // samples
  float interval = 0.4f;       // us
  int onset = 150;             // last sample before the pulse: the pulse is 0 here, non-zero after
  double frequencyKHz = 40.0;  // main frequency of the pulse
  double peak = 1000.0;        // largest |pulse| in codes, before noise and clipping
  double snrDb = 20.0;         // peak over noise RMS, dB (20 log10)
  OnsetShape shape = OnsetShape::kSharp;
  double risePeriods = 1.0;  // emergent: periods until the envelope peaks
  int polarity = 1;          // sign of the first half-cycle: +1 or -1
  double offset = 0.0;       // DC offset of the whole trace, codes
};

// Codes 0..4095 (clipped): offset + noise of RMS peak / 10^(snrDb / 20)
// throughout, plus from `onset` on a sine starting at phase 0 under the
// plan's envelope (decaying with a time constant of three periods after its
// rise), scaled so that its largest |value| is `peak`. An infinite snrDb
// gives a noise-free trace and draws no random numbers.
std::vector<std::uint16_t> OnsetWaveform(SyntheticRandom& random, const OnsetWaveformPlan& plan);

}  // namespace korvane
