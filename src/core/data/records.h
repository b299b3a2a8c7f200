// In-memory records of one opened test file: project header, members,
// section (acquisition) rows, test zones and measuring points.
//
// Units: times in microseconds, distances in millimetres, velocities in km/s
// (mm/us), strengths in MPa, amplitudes in volts. Floating-point fields are
// 32-bit floats on purpose: the evaluation is specified in single precision.
// Texts are UTF-8; the file layer converts to and from code page 936.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/standards/standards.h"

namespace korvane {

// At most this many measuring points take part in any zone computation.
inline constexpr int kMaxPoints = 7;
inline constexpr int kReadingsPerZone = 16;

// Sample coding: 12-bit converter codes, 2048 is 0 V.
inline constexpr int kZeroCode = 2048;

// File header and project information.
struct ProjectInfo {
  std::string instrument;
  std::string site;
  std::string testDate;
  std::string unit;
  std::string person;
  std::string castingDate;
  float delay = 0.0f;  // instrument delay, us
  int reserved = 0;    // kept only in the settings file
  int testMethod = kMethodSurface;
  std::string spot = "侧面";
  float beta = 0.0f;
  float lambda = 0.0f;
  float eta = 1.0f;
  float deltaTot = 0.0f;  // MPa
  std::string softwareId = "VKT-U-6";
  std::string standardName = "cecs02:2005";
  int moveLength = 50;
  std::string softwareVersion;
  std::string programVersion = "1.1.220310";
};

// One member (构件).
struct Member {
  int sectionIndex = -1;
  std::string name;
  int sampleCount = 512;        // samples per waveform (DatLen)
  float sampleInterval = 1.0f;  // dT, us
  int pumped = 0;               // pumped concrete switch
  int aggregateType = -1;       // 0 custom, 1 pebble, 2 crushed stone, -1 unset
  float coefA = 1.0f;
  float coefB = 1.0f;
  float coefC = 1.0f;
  float coefD = 1.0f;
  float minStrength = 0.0f;
  float maxStrength = 0.0f;
  float meanStrength = 0.0f;
  float stdDevStrength = 0.0f;
  int resultFlag = 2;
  float estimatedStrength = 0.0f;
};

// One row of the section table (acquisition parameters).
struct SectionPara {
  int sectionIndex = 0;
  float crossDistance = 0.0f;
  float gain = 0.0f;
  float zeroTime = 0.0f;        // T0, us (carried only)
  float sampleInterval = 0.0f;  // dT, us
  float delay = 0.0f;           // us
  int sampleCount = 0;
  float filterLow = 0.0f;
  float filterHigh = 0.0f;
  float senDH = 0.0f;
};

// One measuring point (测点) with its waveform. An empty `samples` vector
// means "the point has no samples".
struct MeasuringPoint {
  std::vector<std::uint16_t> samples;  // working copy (filtered)
  // The samples as loaded, kept from the moment a filter first changes
  // `samples`; empty while `samples` still holds them (a file is loaded into
  // one copy). Read them through loadedSamples().
  std::vector<std::uint16_t> unfilteredSamples;
  int pointIndex = 0;
  float gain = 0.0f;
  int amplitudeIndex = 0;
  int arrivalIndex = 0;
  float distance = 0.0f;  // L, mm
  float delay = 0.0f;     // time of sample 0, us

  bool hasSamples() const { return !samples.empty(); }
  // The samples as loaded.
  const std::vector<std::uint16_t>& loadedSamples() const {
    return unfilteredSamples.empty() ? samples : unfilteredSamples;
  }
  // Called before `samples` is changed: keeps the loaded copy.
  void keepLoadedSamples() {
    if (unfilteredSamples.empty()) unfilteredSamples = samples;
  }
};

// One test zone (测区).
struct TestZone {
  int sectionIndex = 0;
  int zoneNumber = 0;
  float sampleInterval = 1.0f;  // dT of the waveforms, us
  float delay = 0.0f;           // time of sample 0, us
  std::array<std::unique_ptr<MeasuringPoint>, kMaxPoints> points;
  int testMethod = kMethodSurface;
  std::string testLocation;
  float beta = 1.0f;
  float lambda = 1.0f;
  float eta = 1.0f;
  int reboundManual = 0;
  std::array<int, kReadingsPerZone> rebound{};
  float reboundValue = 35.0f;
  int angle = 0;     // degrees
  int surface = -1;  // 0 side, 1 top, 2 bottom, other unknown
  float angleCorrection = 0.0f;
  float surfaceCorrection = 0.0f;
  float recordedRebound = 35.0f;
  std::array<float, kMaxPoints> pointVelocity{};
  std::array<float, kMaxPoints> pointTime{};
  std::array<float, kMaxPoints> pointAmplitude{};
  float carbonationDepth = 1.0f;  // mm
  float strengthValue = 0.0f;     // fcu,i, MPa
  float zoneVelocity = 0.0f;
  float correctedVelocity = 0.0f;
  int pointCount = 3;
  std::array<float, kMaxPoints> pointDistance{};
  float deltaTot = 0.0f;

  // Number of point slots that take part in computations: min(pointCount, 7),
  // never negative.
  int usedPointSlots() const;
};

// File-level strength result.
struct StrengthResult {
  float fcue = 0.0f;
  float meanValue = 0.0f;
  float stdDev = 0.0f;
};

using ZoneList = std::vector<std::unique_ptr<TestZone>>;
using ZoneLists = std::vector<ZoneList>;

// Points per zone of a file: surface method (1) gives 3 under standards 0 and
// 1, else 7; other methods give 4 under standard 3 (JTS 239-2015), else 3.
int PointsPerZone(int testMethod, int standardIndex);

// pointCount of the first zone (member order) whose pointCount is non-zero;
// 3 when there is none.
int ExistingPointsPerZone(const ZoneLists& zoneLists);

std::unique_ptr<TestZone> NewTestZone();

// A point whose `samples` and `unfilteredSamples` both hold copies of the
// first `sampleCount` values of `samples` (fewer when the span is shorter).
// A null `samples` or a count <= 0 leaves both buffers empty.
std::unique_ptr<MeasuringPoint> NewMeasuringPoint(int pointIndex, int amplitudeIndex,
                                                  const std::uint16_t* samples, int sampleCount, float delay,
                                                  float distance, float gain, int arrivalIndex);

Member NewMember();

// Calendar date used for the date defaults; `Today()` reads the local clock.
struct CivilDate {
  int year = 2000;
  int month = 1;
  int day = 1;
  static CivilDate Today();
};

// Year-month-day without leading zeros ("2022-3-5").
std::string FormatDate(const CivilDate& date);

// Defaults of a project header: dates set to `today`, softwareVersion
// "V5.2." + the last six characters of the yyyymmdd form of `today`.
ProjectInfo NewProjectInfo(const CivilDate& today);
ProjectInfo NewProjectInfo();

// Deep copies (zones own their points, so they are not copyable by value).
// Without `withSamples` the points are copied without their two sample
// buffers (every other field is copied).
std::unique_ptr<TestZone> CloneTestZone(const TestZone& zone, bool withSamples = true);
ZoneLists CloneZoneLists(const ZoneLists& lists);

}  // namespace korvane
