// The ten standards the program evaluates by, as one table: each row holds a
// standard's names and every fact about it that the rules, the forms, the
// reports and the file readers ask (how it takes the zone velocity, its
// strength formula and coefficients, the correction the form offers, the
// readings and points per zone, the correction tables, the family of its
// estimates). Code asks the row (`Traits(standard)`), never the standard's
// number.
//
// Also the test methods and their names, and the rule that refuses some
// switches of standard.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The standards, in the order of every list the user sees. The numbers are
// the indices of those lists (and of the command line's "--standard N").
enum class Standard : int {
  CECS02_2005 = 0,
  TB10426_2004,
  CECS02_2020,
  JTS239_2015,
  TB10426_2019,
  DB51T1996_2015,
  DGTJ08_2020_2007,
  DB61T1084_2017,
  DB37T2361_2013,
  DGJ32TJ144_2012,
};
inline constexpr int kStandardCount = 10;
inline constexpr std::array<Standard, kStandardCount> kAllStandards = {
    Standard::CECS02_2005,    Standard::TB10426_2004,   Standard::CECS02_2020,      Standard::JTS239_2015,
    Standard::TB10426_2019,   Standard::DB51T1996_2015, Standard::DGTJ08_2020_2007, Standard::DB61T1084_2017,
    Standard::DB37T2361_2013, Standard::DGJ32TJ144_2012};

// Position in the lists (0..9).
constexpr int IndexOf(Standard standard) { return static_cast<int>(standard); }
// The standard at list position `index`; nullopt outside 0..9.
std::optional<Standard> StandardAt(int index);

// Test methods of a zone or a project. A file may hold another number; it
// is kept as it is and reads as "角测".
enum class TestMethod : int {
  Angle = 0,    // "角测"
  Surface = 1,  // "平测"
  Direct = 2,   // "对测"
};

// How the zone velocity V is taken from the points' distances L and times T.
enum class VelocityRule {
  MeanOfFirstThree,          // mean of L/T over the first three points (0 if a T is 0)
  RatioOfFirstThree,         // mean L of the first three × 3 / their ΣT
  RegressionOrMeanOfRatios,  // 7-point surface test: slope of L on T; else mean of L/T
  RegressionOrRatioOfSums,   // 7-point surface test: slope; else ΣL/ΣT
};

// The strength formula, fcu = f(Va, Rc) with f = a·Va^b·Rc^c (the power law).
enum class StrengthRule {
  EtaScalesA,       // a·η inside the power law
  EtaThenCarbon,    // power law × η; pumped concrete + the carbonation table
  PlusDeltaTot,     // power law + Δtot
  TimesEta,         // power law × η
  CarbonationTerm,  // 10^(d·depth) × (power law × η)
};

// The correction the analysis form offers (and the core correction derives).
enum class CorrectionKind {
  Factor,    // η, multiplies the strength
  Additive,  // Δtot (MPa), added to the strength
};

// Correction tables of the rebound value: the 7-row tables (R = 20, 25 …
// 50) or the 31-row fine tables (R = 20, 21 … 50).
enum class TableFamily { Coarse, Fine };

// Member and batch estimates: the general rules or the two railway
// standards' own.
enum class EstimateFamily { General, Railway };

// Coefficients of the power law (d: the carbonation term's exponent).
struct PowerLawCoefficients {
  float a = 1.0f;
  float b = 1.0f;
  float c = 1.0f;
  float d = 0.0f;
};

struct StandardTraits {
  std::string_view displayName;  // "CECS 02:2005"
  VelocityRule velocity;
  StrengthRule strength;
  CorrectionKind correction;
  // The coefficient d is offered (with the member's own coefficients).
  bool carbonationTerm;
  // The project's test method becomes "对测" when a file is opened, and the
  // main form does not let the zone's method change.
  bool fixedTestMethod;
  // Rebound readings per zone the standard uses (16, or the first 10).
  int readingsUsed;
  // Measuring points per zone: of a surface test (平测), of the others.
  int surfacePoints;
  int otherPoints;
  TableFamily tables;
  // "泵送" is offered (its rule: EtaThenCarbon adds the carbonation table).
  bool pumpedOffered;
  // Va = V for the angle method (no β, λ).
  bool angleKeepsVelocity;
  EstimateFamily estimate;
  // The standard's coefficients for pebble and for crushed stone.
  PowerLawCoefficients pebble;
  PowerLawCoefficients crushedStone;
  // The standard's coefficients leave d as the member has it.
  bool keepsMemberD;
  // The zone grid shows a strength below 10 or above 70 MPa as "<10MPa" or
  // ">70MPa" instead of its value.
  bool gridShowsLimits;
};

// The row of `standard`.
const StandardTraits& Traits(Standard standard);

// Display name ("CECS 02:2005").
std::string_view StandardDisplayName(Standard standard);

// Stored form of a name: A-Z lowered, every space removed ("cecs02:2005").
std::string StoredStandardName(std::string_view displayName);

// The standard whose stored form equals the stored form of `stored` (a name
// as a file holds it, its case and blanks not counting); CECS 02-2020 when
// none does.
Standard StandardOfStoredName(std::string_view stored);

// An exact display name, or a list position "0".."9"; nullopt when the text
// names no standard (used by the command line).
std::optional<Standard> ParseStandard(std::string_view text);

// Points per zone of a file tested by `method` under `standard`.
int PointsPerZone(TestMethod method, Standard standard);

// "角测", "平测", "对测"; a number outside them is "角测".
std::string_view TestMethodName(TestMethod method);
// Compares with the three names in order; Angle when none matches.
TestMethod TestMethodOfName(std::string_view name);

// Whether the main form lets the user change the test method of a zone
// tested by `zoneMethod` (nullopt: no zone).
bool TestMethodListEnabled(Standard standard, std::optional<TestMethod> zoneMethod);

// Whether a switch of standard is allowed while the zone shown was tested by
// `zoneMethod` (nullopt: no zone shown, never allowed): a surface test only
// between the two standards of 3-point surface zones or among the others;
// any other test not to or from JTS 239-2015 (4 points per zone). When
// refused, `message` is "当前规范(%s)及测试方式(%s)下，无法切换到新规范(%s)！"
// filled in.
struct StandardSwitch {
  bool allowed = false;
  std::string message;
};
StandardSwitch CheckStandardSwitch(Standard current, Standard requested,
                                   std::optional<TestMethod> zoneMethod);

}  // namespace korvane
