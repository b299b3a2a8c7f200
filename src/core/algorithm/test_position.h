// Test position of a zone and the β/λ rule that follows from the test method
// and the position: which positions a method offers, the coefficients they
// imply and which of the fields the user may edit.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/standards/standards.h"

namespace korvane {

inline constexpr std::string_view kLocationSide = "侧面";
inline constexpr std::string_view kLocationTop = "顶面";
inline constexpr std::string_view kLocationBottom = "底面";
inline constexpr std::string_view kLocationBetweenTopBottom = "顶面底面间";

// Positions offered for a method: "对测" gives "侧面", "顶面底面间"; every
// other method "顶面", "底面", "侧面", in this order.
std::vector<std::string_view> TestLocationChoices(TestMethod testMethod);

// Position a zone gets when its method is chosen: "侧面" for "对测", else "顶面".
std::string_view DefaultTestLocation(TestMethod testMethod);

// Index of `location` in TestLocationChoices(testMethod); 0 when absent.
int TestLocationIndex(TestMethod testMethod, std::string_view location);

// How a field of the coefficient rule is offered to the user.
enum class FieldAccess { Disabled, ReadOnly, Editable };

// β and λ that a method and position imply (nullopt: left as they are) and
// how the position list and the β and λ fields are offered:
//   "平测": β 1.050 on "顶面", 0.950 on "底面", 1.000 on "侧面" (other
//          positions leave β); λ unchanged; β read-only, λ editable.
//   "对测": β 1.000 on "侧面", 1.034 on any other position; λ 1.000;
//          β editable, λ disabled.
//   "角测" (and any other method): β = λ = 1.000; list, β and λ disabled.
struct BetaLambdaRule {
  std::optional<float> beta;
  std::optional<float> lambda;
  FieldAccess location = FieldAccess::Editable;
  FieldAccess betaField = FieldAccess::ReadOnly;
  FieldAccess lambdaField = FieldAccess::Editable;
};
BetaLambdaRule BetaLambdaFor(TestMethod testMethod, std::string_view location);

}  // namespace korvane
