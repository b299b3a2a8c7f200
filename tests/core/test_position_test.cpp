#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <string>

#include "core/algorithm/test_position.h"
#include "core/data/records.h"
#include "core/data/text_entry.h"

namespace korvane {
namespace {

TEST(BetaLambdaRule, FollowsMethodAndPosition) {
  struct Case {
    TestMethod method;
    const char* location;
    float beta;    // < 0: the zone keeps its own
    float lambda;  // < 0: the zone keeps its own
    FieldAccess list;
    FieldAccess betaField;
    FieldAccess lambdaField;
  };
  using F = FieldAccess;
  const Case cases[] = {
      {TestMethod::Surface, "顶面", 1.05f, -1, F::Editable, F::ReadOnly, F::Editable},
      {TestMethod::Surface, "底面", 0.95f, -1, F::Editable, F::ReadOnly, F::Editable},
      {TestMethod::Surface, "侧面", 1.0f, -1, F::Editable, F::ReadOnly, F::Editable},
      {TestMethod::Surface, "顶面底面间", -1, -1, F::Editable, F::ReadOnly, F::Editable},
      {TestMethod::Direct, "侧面", 1.0f, 1.0f, F::Editable, F::Editable, F::Disabled},
      {TestMethod::Direct, "顶面底面间", 1.034f, 1.0f, F::Editable, F::Editable, F::Disabled},
      {TestMethod::Direct, "顶面", 1.034f, 1.0f, F::Editable, F::Editable, F::Disabled},
      {TestMethod::Angle, "底面", 1.0f, 1.0f, F::Disabled, F::Disabled, F::Disabled},
      {static_cast<TestMethod>(5), "侧面", 1.0f, 1.0f, F::Disabled, F::Disabled, F::Disabled},
  };
  for (const Case& c : cases) {
    const BetaLambdaRule rule = BetaLambdaFor(c.method, c.location);
    EXPECT_FLOAT_EQ(rule.beta.value_or(0.5f), c.beta < 0 ? 0.5f : c.beta) << c.method << c.location;
    EXPECT_FLOAT_EQ(rule.lambda.value_or(0.8f), c.lambda < 0 ? 0.8f : c.lambda) << c.method << c.location;
    EXPECT_EQ(rule.location, c.list) << c.method << c.location;
    EXPECT_EQ(rule.betaField, c.betaField) << c.method << c.location;
    EXPECT_EQ(rule.lambdaField, c.lambdaField) << c.method << c.location;
  }
}

TEST(TestLocation, ChoicesDefaultsAndSelection) {
  EXPECT_EQ(TestLocationChoices(TestMethod::Direct), (std::vector<std::string_view>{"侧面", "顶面底面间"}));
  EXPECT_EQ(TestLocationChoices(TestMethod::Surface),
            (std::vector<std::string_view>{"顶面", "底面", "侧面"}));
  EXPECT_EQ(TestLocationChoices(TestMethod::Angle), TestLocationChoices(TestMethod::Surface));
  EXPECT_EQ(DefaultTestLocation(TestMethod::Direct), "侧面");
  EXPECT_EQ(DefaultTestLocation(TestMethod::Surface), "顶面");
  EXPECT_EQ(TestLocationIndex(TestMethod::Surface, "侧面"), 2);
  EXPECT_EQ(TestLocationIndex(TestMethod::Direct, "顶面底面间"), 1);
  EXPECT_EQ(TestLocationIndex(TestMethod::Direct, "底面"), 0);  // no match: first entry
}

TEST(IsStorableText, RefusesLineBreaksAndOverlongLocations) {
  struct Case {
    std::string text;
    int limit;
    bool ok;
  };
  const Case cases[] = {
      {"侧面", kMaxTestLocationLength, true},
      {"顶面底面间顶面底面间", kMaxTestLocationLength, true},     // 10 units
      {"顶面底面间顶面底面间侧", kMaxTestLocationLength, false},  // 11 units
      {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 10, true},
      {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80x", 10, false},
      {"一号楼\n二层", -1, false},
      {"柱\r1", -1, false},
      {"柱\xE2\x80\xA8"
       "1",
       -1, false},
      {std::string(300, 'a'), -1, true},
      {"", kMaxTestLocationLength, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsStorableText(c.text, c.limit), c.ok) << c.text;
}

}  // namespace
}  // namespace korvane
