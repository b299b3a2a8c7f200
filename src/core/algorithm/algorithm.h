// The strength-evaluation algorithm family. One class per standard; the
// document holds exactly one object, of the class of the current standard.
//
// All arithmetic is in 32-bit floats with the rounding order of each rule;
// degenerate input gives 0, never an error. Validity of estimates travels in
// the ResultFlag codes below.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/algorithm/correction_tables.h"

namespace korvane {

// Result flags of member and batch estimates.
inline constexpr int kResultValid = 0;
inline constexpr int kResultBelow10 = 1;
inline constexpr int kResultBatchInvalid = 2;
inline constexpr int kResultAbove70 = 4;

// One list of zone strength values per member.
using StrengthLists = std::vector<std::vector<float>>;

class CAlgorithm {
 public:
  // `tables` is the document's current correction tables (not owned; must
  // outlive the object). Null: corrections read as 0.
  explicit CAlgorithm(const CorrectionTables* tables = nullptr) : tables_(tables) {}
  virtual ~CAlgorithm() = default;
  CAlgorithm(const CAlgorithm&) = delete;
  CAlgorithm& operator=(const CAlgorithm&) = delete;

  // Zone velocity V (km/s) from distances L (mm) and times T (us) of the
  // first `count` points (arrays of at least 7 entries).
  virtual float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const;
  // Σa/Σb over i < count; 0 for null arrays, count <= 0 or |Σb| < 1e-5.
  virtual float RatioOfSums(const float* a, const float* b, int count) const;
  // Va from V, test method, λ and β.
  virtual float CorrectVelocity(float velocity, int testMethod, float lambda, float beta) const;
  virtual float Minimum(std::span<const float> values) const;
  virtual float Maximum(std::span<const float> values) const;
  virtual float Mean(std::span<const float> values) const;
  // Representative rebound value R from the readings; 0 unless 16 readings.
  virtual float CalcRebound(std::span<const int> readings) const;
  // ΔRα for rebound value r and hammer angle in degrees.
  virtual float AngleCorrection(float r, int angle) const;
  // ΔRs for rebound value r and surface code (1 top, 2 bottom).
  virtual float SurfaceCorrection(float r, int surface) const;
  // fcu,i from Va, Rc and the member's coefficients and switches.
  virtual float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                             int pumped, float carbonationDepth, float eta, float deltaTot) const;
  virtual float BatchMean(const StrengthLists& lists) const;
  virtual float SafeMean(std::span<const float> values) const;
  virtual float BatchStdDev(const StrengthLists& lists) const;
  virtual float StdDev(std::span<const float> values) const;
  virtual float BatchEstimate(const StrengthLists& lists, int& flag) const;
  virtual float MemberEstimate(std::span<const float> values, int& flag) const;
  // Standard coefficients a, b, c, d for the aggregate (pebble or not).
  virtual void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const;
  // Number of rebound readings per zone the standard uses (16, or 10).
  virtual int ReadingCount() const;

 protected:
  const CorrectionTables* tables() const { return tables_; }

 private:
  const CorrectionTables* tables_;
};

// A new object of the class of standard `index` (the base CAlgorithm for an
// index outside 0..9).
std::unique_ptr<CAlgorithm> CreateAlgorithm(int index, const CorrectionTables* tables);

// Least-squares slope of L against T over n points; 0 when the fit fails.
float RegressVelocity(const float* distances, const float* times, int n);

}  // namespace korvane
