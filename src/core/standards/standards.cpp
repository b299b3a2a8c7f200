#include "core/standards/standards.h"

namespace korvane {
namespace {

using V = VelocityRule;
using S = StrengthRule;
using C = CorrectionKind;
using T = TableFamily;
using E = EstimateFamily;

// The same coefficients for both aggregates.
constexpr PowerLawCoefficients kSame(float a, float b, float c, float d) { return {a, b, c, d}; }

// One row per standard, in list order. The comment names the class the
// rules of a standard were known by.
constexpr std::array<StandardTraits, kStandardCount> kTraits = {{
    // Algorithm_CECS02_2005
    {.displayName = "CECS 02:2005",
     .velocity = V::MeanOfFirstThree,
     .strength = S::EtaScalesA,
     .correction = C::Factor,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 3,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = false,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = {0.0056f, 1.439f, 1.769f, 0.0f},
     .crushedStone = {0.0162f, 1.656f, 1.410f, 0.0f},
     .keepsMemberD = true,
     .gridShowsLimits = true},
    // Algorithm_TB10426_2004
    {.displayName = "TB10426-2004",
     .velocity = V::RatioOfFirstThree,
     .strength = S::EtaThenCarbon,
     .correction = C::Factor,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 3,
     .otherPoints = 3,
     .tables = T::Fine,
     .pumpedOffered = true,
     .angleKeepsVelocity = true,
     .estimate = E::Railway,
     .pebble = {0.0038f, 1.23f, 1.95f, 0.0f},
     .crushedStone = {0.0038f, 1.72f, 1.57f, 0.0f},
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_CECS02_2020
    {.displayName = "CECS 02-2020",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::PlusDeltaTot,
     .correction = C::Additive,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 10,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.0286f, 1.999f, 1.155f, 0.0f),
     .crushedStone = kSame(0.0286f, 1.999f, 1.155f, 0.0f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_JTS239_2015
    {.displayName = "JTS 239-2015",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::PlusDeltaTot,
     .correction = C::Additive,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 4,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.008f, 1.72f, 1.57f, 0.0f),
     .crushedStone = kSame(0.008f, 1.72f, 1.57f, 0.0f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_TB10426_2019
    {.displayName = "TB 10426-2019",
     .velocity = V::RegressionOrRatioOfSums,
     .strength = S::PlusDeltaTot,
     .correction = C::Additive,
     .carbonationTerm = false,
     .fixedTestMethod = true,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Fine,
     .pumpedOffered = true,
     .angleKeepsVelocity = true,
     .estimate = E::Railway,
     .pebble = {0.0056f, 1.439f, 1.769f, 0.0f},
     .crushedStone = {0.0162f, 1.656f, 1.410f, 0.0f},
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_DB51T_1996_2015
    {.displayName = "DB51/T 1996-2015",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::TimesEta,
     .correction = C::Factor,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = {0.0456f, 0.274f, 1.76f, 0.0f},
     .crushedStone = {0.0263f, 1.79f, 1.26f, 0.0f},
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_DGTJ08_2020_2007
    {.displayName = "DG/TJ08 2020-2007",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::PlusDeltaTot,
     .correction = C::Additive,
     .carbonationTerm = false,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.00846f, 2.273f, 1.382f, 0.0f),
     .crushedStone = kSame(0.00846f, 2.273f, 1.382f, 0.0f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_DB61T1084_2017
    {.displayName = "DB61/T 1084-2017",
     .velocity = V::RegressionOrRatioOfSums,
     .strength = S::TimesEta,
     .correction = C::Factor,
     .carbonationTerm = false,
     .fixedTestMethod = true,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.01093f, 1.1581f, 1.744f, 0.0f),
     .crushedStone = kSame(0.01093f, 1.1581f, 1.744f, 0.0f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_DB37T2361_2013
    {.displayName = "DB 37/T 2361-2013",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::CarbonationTerm,
     .correction = C::Additive,
     .carbonationTerm = true,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.00913f, 2.3476f, 1.313f, -0.0113f),
     .crushedStone = kSame(0.00913f, 2.3476f, 1.313f, -0.0113f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
    // CAlgorithm_DGJ32TJ144_2012
    {.displayName = "DGJ32/TJ 144-2012",
     .velocity = V::RegressionOrMeanOfRatios,
     .strength = S::CarbonationTerm,
     .correction = C::Additive,
     .carbonationTerm = true,
     .fixedTestMethod = false,
     .readingsUsed = 16,
     .surfacePoints = 7,
     .otherPoints = 3,
     .tables = T::Coarse,
     .pumpedOffered = true,
     .angleKeepsVelocity = false,
     .estimate = E::General,
     .pebble = kSame(0.01569f, 1.3038f, 1.5913f, -0.0056f),
     .crushedStone = kSame(0.01569f, 1.3038f, 1.5913f, -0.0056f),
     .keepsMemberD = false,
     .gridShowsLimits = false},
}};

constexpr std::array<std::string_view, 3> kMethodNames = {"角测", "平测", "对测"};

}  // namespace

std::optional<Standard> StandardAt(int index) {
  if (index < 0 || index >= kStandardCount) return std::nullopt;
  return static_cast<Standard>(index);
}

const StandardTraits& Traits(Standard standard) {
  const int index = IndexOf(standard);
  // A value outside the list cannot be made from a file or a list; should
  // one appear, it gets the default standard's row rather than undefined
  // behaviour.
  if (index < 0 || index >= kStandardCount) return kTraits[IndexOf(Standard::CECS02_2020)];
  return kTraits[static_cast<std::size_t>(index)];
}

std::string_view StandardDisplayName(Standard standard) { return Traits(standard).displayName; }

std::string StoredStandardName(std::string_view displayName) {
  std::string stored;
  stored.reserve(displayName.size());
  for (char c : displayName) {
    if (c == ' ') continue;
    stored.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return stored;
}

Standard StandardOfStoredName(std::string_view stored) {
  // As read from a file: A-Z and blanks do not count ("CECS02:2005").
  const std::string normalized = StoredStandardName(stored);
  for (Standard standard : kAllStandards) {
    if (StoredStandardName(StandardDisplayName(standard)) == normalized) return standard;
  }
  return Standard::CECS02_2020;
}

std::optional<Standard> ParseStandard(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return StandardAt(text[0] - '0');
  for (Standard standard : kAllStandards) {
    if (StandardDisplayName(standard) == text) return standard;
  }
  return std::nullopt;
}

int PointsPerZone(TestMethod method, Standard standard) {
  const StandardTraits& traits = Traits(standard);
  return method == TestMethod::Surface ? traits.surfacePoints : traits.otherPoints;
}

std::string_view TestMethodName(TestMethod method) {
  const int index = static_cast<int>(method);
  if (index < 0 || index > 2) return kMethodNames[0];
  return kMethodNames[static_cast<std::size_t>(index)];
}

TestMethod TestMethodOfName(std::string_view name) {
  for (int i = 0; i < 3; ++i) {
    if (kMethodNames[static_cast<std::size_t>(i)] == name) return static_cast<TestMethod>(i);
  }
  return TestMethod::Angle;
}

bool TestMethodListEnabled(Standard standard, std::optional<TestMethod> zoneMethod) {
  const StandardTraits& traits = Traits(standard);
  if (traits.fixedTestMethod) return false;
  // A surface test keeps its method under the standards of 7-point surface
  // zones (the points were measured for it).
  return !(zoneMethod == TestMethod::Surface && traits.surfacePoints != 3);
}

StandardSwitch CheckStandardSwitch(Standard current, Standard requested,
                                   std::optional<TestMethod> zoneMethod) {
  StandardSwitch decision;
  if (zoneMethod) {
    // The zones keep their points: the switch must not change the points
    // per zone of the file's test method.
    decision.allowed = PointsPerZone(*zoneMethod, current) == PointsPerZone(*zoneMethod, requested);
  }
  if (!decision.allowed) {
    decision.message = "当前规范(" + std::string(StandardDisplayName(current)) + ")及测试方式(" +
                       std::string(TestMethodName(zoneMethod.value_or(TestMethod::Angle))) +
                       ")下，无法切换到新规范(" + std::string(StandardDisplayName(requested)) + ")！";
  }
  return decision;
}

}  // namespace korvane
