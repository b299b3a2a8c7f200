#include "core/algorithm/test_position.h"

#include <string>

#include "core/data/records.h"

namespace korvane {

std::vector<std::string_view> TestLocationChoices(TestMethod testMethod) {
  if (testMethod == TestMethod::Direct) return {kLocationSide, kLocationBetweenTopBottom};
  return {kLocationTop, kLocationBottom, kLocationSide};
}

std::string_view DefaultTestLocation(TestMethod testMethod) {
  return testMethod == TestMethod::Direct ? kLocationSide : kLocationTop;
}

int TestLocationIndex(TestMethod testMethod, std::string_view location) {
  const std::vector<std::string_view> choices = TestLocationChoices(testMethod);
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i] == location) return static_cast<int>(i);
  }
  return 0;
}

BetaLambdaRule BetaLambdaFor(TestMethod testMethod, std::string_view location) {
  BetaLambdaRule rule;
  if (testMethod == TestMethod::Surface) {
    if (location == kLocationTop)
      rule.beta = 1.05f;
    else if (location == kLocationBottom)
      rule.beta = 0.95f;
    else if (location == kLocationSide)
      rule.beta = 1.0f;
    rule.betaField = FieldAccess::ReadOnly;
    rule.lambdaField = FieldAccess::Editable;
    return rule;
  }
  if (testMethod == TestMethod::Direct) {
    rule.beta = location == kLocationSide ? 1.0f : 1.034f;
    rule.lambda = 1.0f;
    rule.betaField = FieldAccess::Editable;
    rule.lambdaField = FieldAccess::Disabled;
    return rule;
  }
  rule.beta = 1.0f;
  rule.lambda = 1.0f;
  rule.location = FieldAccess::Disabled;
  rule.betaField = FieldAccess::Disabled;
  rule.lambdaField = FieldAccess::Disabled;
  return rule;
}

}  // namespace korvane
