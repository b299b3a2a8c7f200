// The ten standard classes of the algorithm family and the building blocks
// their rules share. Objects are normally made by CreateAlgorithm(index);
// the classes are declared here so that callers and tests can name them.
#pragma once

#include <span>
#include <vector>

#include "core/algorithm/algorithm.h"

namespace korvane {

// Velocity arrays hold this many points; counts above it are cut to it.
inline constexpr int kMaxVelocityPoints = 7;

// Mean of the values accumulated in extended precision, rounded to float;
// 0 for an empty list.
float MeanOf(std::span<const float> values);

// All lists joined in order.
std::vector<float> JoinLists(const StrengthLists& lists);

// R from 16 readings: sorted ascending, the ten middle values (positions
// 3..12) summed in float, times 0.1f. 0 unless exactly 16 readings.
float ReboundOfSixteen(std::span<const int> readings);

// R from the first 10 of 16 readings: sorted, lowest and highest dropped,
// the eight others summed in float and divided by 8. 0 unless exactly 16
// readings are given.
float ReboundOfFirstTen(std::span<const int> readings);

// a·Va^b·Rc^c with the rounding of the conversion: p = Va^b as float,
// q = p·a in double, r = Rc^c as float, result r·q as float. 0 when Va or Rc
// is below 1e-8.
float PowerLawStrength(float va, float rc, float a, float b, float c);

// Corrections from the 7-row tables (rows R = 20, 25, ..., 50) and from the
// 31-row tables (R = 20, 21, ..., 50). Angle 0, a surface code other than 1
// or 2, or no tables give 0.
float CoarseAngleCorrection(const CorrectionTables* tables, float r, int angle);
float CoarseSurfaceCorrection(const CorrectionTables* tables, float r, int surface);
float FineAngleCorrection(const CorrectionTables* tables, float r, int angle);
float FineSurfaceCorrection(const CorrectionTables* tables, float r, int surface);

// Standards whose corrections come from the 7-row tables and whose member
// and batch estimates follow the general rules.
class GeneralStandardAlgorithm : public CAlgorithm {
 public:
  using CAlgorithm::CAlgorithm;
  float AngleCorrection(float r, int angle) const override;
  float SurfaceCorrection(float r, int surface) const override;
  float BatchEstimate(const StrengthLists& lists, int& flag) const override;
  float MemberEstimate(std::span<const float> values, int& flag) const override;
};

// The two railway standards: 31-row tables, Va = V for the angle test
// method, and their own estimates.
class RailwayStandardAlgorithm : public CAlgorithm {
 public:
  using CAlgorithm::CAlgorithm;
  float CorrectVelocity(float velocity, int testMethod, float lambda, float beta) const override;
  float AngleCorrection(float r, int angle) const override;
  float SurfaceCorrection(float r, int surface) const override;
  float BatchEstimate(const StrengthLists& lists, int& flag) const override;
  float MemberEstimate(std::span<const float> values, int& flag) const override;
};

// CECS 02:2005: three-point mean velocity; η inside the power law.
class Algorithm_CECS02_2005 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  // Sets a, b, c only; d is left as it is.
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// TB10426-2004: three-point ratio of sums; η factor and, for pumped
// concrete, the carbonation table.
class Algorithm_TB10426_2004 : public RailwayStandardAlgorithm {
 public:
  using RailwayStandardAlgorithm::RailwayStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// CECS 02-2020: regression or mean of ratios; 10 readings; additive Δ.
class CAlgorithm_CECS02_2020 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcRebound(std::span<const int> readings) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
  int ReadingCount() const override;
};

// JTS 239-2015: regression or mean of ratios; additive Δ.
class CAlgorithm_JTS239_2015 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// TB 10426-2019: regression or ratio of sums; additive Δ.
class CAlgorithm_TB10426_2019 : public RailwayStandardAlgorithm {
 public:
  using RailwayStandardAlgorithm::RailwayStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// DB51/T 1996-2015: regression or mean of ratios; η factor.
class CAlgorithm_DB51T_1996_2015 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// DG/TJ08 2020-2007: regression or mean of ratios; additive Δ.
class CAlgorithm_DGTJ08_2020_2007 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// DB61/T 1084-2017: regression or ratio of sums; η factor.
class CAlgorithm_DB61T1084_2017 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// DB 37/T 2361-2013: regression or mean of ratios; carbonation term 10^(d·depth).
class CAlgorithm_DB37T2361_2013 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

// DGJ32/TJ 144-2012: regression or mean of ratios; carbonation term.
class CAlgorithm_DGJ32TJ144_2012 : public GeneralStandardAlgorithm {
 public:
  using GeneralStandardAlgorithm::GeneralStandardAlgorithm;
  float CalcVelocity(const float* distances, const float* times, int testMethod, int count) const override;
  float CalcStrength(float va, float rc, bool pebble, float a, float b, float c, float d, bool custom,
                     int pumped, float carbonationDepth, float eta, float deltaTot) const override;
  void GetCoefficients(bool pebble, float& a, float& b, float& c, float& d) const override;
};

}  // namespace korvane
