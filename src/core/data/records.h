// In-memory records of one opened test file: project header, members,
// section (acquisition) rows, test zones and measuring points.
//
// Units: times in microseconds, distances in millimetres, velocities in km/s
// (mm/us), strengths in MPa, amplitudes in volts. Floating-point fields are
// 32-bit floats on purpose: the evaluation is specified in single precision.
// Texts are UTF-8; the file layer converts to and from code page 936.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/standards/standards.h"

namespace korvane {

// At most this many measuring points take part in any zone computation.
inline constexpr int kMaxPoints = 7;
inline constexpr int kReadingsPerZone = 16;

// Sample coding: 12-bit converter codes, 2048 is 0 V.
inline constexpr int kZeroCode = 2048;

// The tested surface of a zone, for the surface correction. A file may hold
// another number; it is kept as it is and gets no correction.
enum class Surface : int {
  None = -1,   // not given
  Side = 0,    // "侧面"
  Top = 1,     // "顶面"
  Bottom = 2,  // "底面"
};

// The coarse aggregate of a member, which chooses the strength formula's
// coefficients. A file may hold another number; it is kept as it is and
// counts as crushed stone.
enum class Aggregate : int {
  Unset = -1,
  Custom = 0,        // "自定义": the member's own coefficients
  Pebble = 1,        // "卵石"
  CrushedStone = 2,  // "碎石"
};

// Result flags of member and batch estimates.
enum class ResultFlag : int {
  Valid = 0,
  Below10 = 1,       // below 10 MPa
  BatchInvalid = 2,  // the batch-validity test failed (and a member not yet evaluated)
  Above70 = 4,       // above 70 MPa
};

// A waveform's samples: 12-bit converter codes in 16-bit words. Copies share
// one buffer until one of them is written (copy on write), so that zones and
// points copy cheaply (undo snapshots); a writer gets a buffer of its own.
class SampleBuffer {
 public:
  SampleBuffer() = default;
  explicit SampleBuffer(std::vector<std::uint16_t> codes);
  SampleBuffer(const std::uint16_t* codes, std::size_t count);

  // Held beside the pointer, so that asking whether a point has samples
  // (every recomputation asks it of every point) reads no shared buffer.
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const std::uint16_t* data() const { return codes_ ? codes_->data() : nullptr; }
  std::uint16_t operator[](std::size_t k) const { return (*codes_)[k]; }
  const std::uint16_t* begin() const { return data(); }
  const std::uint16_t* end() const { return data() + size(); }
  operator std::span<const std::uint16_t>() const { return {data(), size()}; }
  std::span<const std::uint16_t> first(std::size_t n) const { return {data(), n}; }
  // The samples to write: the buffer is made this copy's own first.
  std::uint16_t* writableData();
  // Whether two copies share one buffer (none is written yet).
  bool sharesWith(const SampleBuffer& other) const { return codes_ == other.codes_; }

  friend bool operator==(const SampleBuffer& a, const SampleBuffer& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  std::shared_ptr<std::vector<std::uint16_t>> codes_;
  std::size_t size_ = 0;  // codes_->size(); 0 without a buffer
};

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
  TestMethod testMethod = TestMethod::Surface;
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
  bool pumped = false;          // pumped concrete ("泵送")
  Aggregate aggregateType = Aggregate::Unset;
  float coefA = 1.0f;
  float coefB = 1.0f;
  float coefC = 1.0f;
  float coefD = 1.0f;
  float minStrength = 0.0f;
  float maxStrength = 0.0f;
  float meanStrength = 0.0f;
  float stdDevStrength = 0.0f;
  ResultFlag resultFlag = ResultFlag::BatchInvalid;
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

// One measuring point (测点) with its waveform. Empty `samples` mean "the
// point has no samples".
struct MeasuringPoint {
  SampleBuffer samples;  // working copy (filtered)
  // The samples as loaded, kept from the moment a filter first changes
  // `samples`; empty while `samples` still holds them (a file is loaded into
  // one copy). Read them through loadedSamples().
  SampleBuffer unfilteredSamples;
  int pointIndex = 0;
  float gain = 0.0f;
  int amplitudeIndex = 0;
  int arrivalIndex = 0;
  float distance = 0.0f;  // L, mm
  float delay = 0.0f;     // time of sample 0, us

  // Samples the point has in its waveform file when they were not read
  // (a file opened for its numbers alone, file_reader.h); 0 otherwise. Such
  // a point has samples (its time counts) though `samples` is empty.
  int unreadSampleCount = 0;

  bool hasSamples() const { return !samples.empty() || unreadSampleCount > 0; }
  // The samples as loaded.
  const SampleBuffer& loadedSamples() const {
    return unfilteredSamples.empty() ? samples : unfilteredSamples;
  }
  // Called before `samples` is changed: keeps the loaded copy (shared until
  // `samples` is written).
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
  // The zone's points by slot; a slot may be empty.
  std::array<std::optional<MeasuringPoint>, kMaxPoints> points;
  TestMethod testMethod = TestMethod::Surface;
  std::string testLocation;
  float beta = 1.0f;
  float lambda = 1.0f;
  float eta = 1.0f;
  int reboundManual = 0;
  std::array<int, kReadingsPerZone> rebound{};
  float reboundValue = 35.0f;
  int angle = 0;  // degrees
  Surface surface = Surface::None;
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
  int usedPointSlots() const { return std::clamp(pointCount, 0, kMaxPoints); }
  // The point of slot j, or null for an empty slot or j outside 0..6.
  const MeasuringPoint* point(int j) const {
    return j >= 0 && j < kMaxPoints && points[static_cast<std::size_t>(j)]
               ? &*points[static_cast<std::size_t>(j)]
               : nullptr;
  }
  MeasuringPoint* point(int j) {
    return j >= 0 && j < kMaxPoints && points[static_cast<std::size_t>(j)]
               ? &*points[static_cast<std::size_t>(j)]
               : nullptr;
  }
};

// File-level strength result.
struct StrengthResult {
  float fcue = 0.0f;
  float meanValue = 0.0f;
  float stdDev = 0.0f;
};

using ZoneList = std::vector<TestZone>;
using ZoneLists = std::vector<ZoneList>;

// pointCount of the first zone (member order) whose pointCount is non-zero;
// 3 when there is none.
int ExistingPointsPerZone(const ZoneLists& zoneLists);

// A point whose `samples` and `unfilteredSamples` both hold the first
// `sampleCount` values of `samples` (one shared buffer). A null `samples` or
// a count <= 0 leaves both buffers empty.
MeasuringPoint NewMeasuringPoint(int pointIndex, int amplitudeIndex, const std::uint16_t* samples,
                                 int sampleCount, float delay, float distance, float gain, int arrivalIndex);

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

}  // namespace korvane
