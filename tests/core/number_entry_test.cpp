#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/data/number_entry.h"

namespace korvane {
namespace {

TEST(MathOperation, ReadsTheLongestDecimalPrefix) {
  struct Case {
    const char* text;
    float asFloat;
    int asInt;
  };
  const Case cases[] = {
      {"  35", 35.0f, 35},
      {"12.7", 12.7f, 12},
      {"-3.5mm", -3.5f, -3},
      {"+4", 4.0f, 4},
      {".5", 0.5f, 0},
      {"7.", 7.0f, 7},
      {"1e2", 100.0f, 1},
      {"1e", 1.0f, 1},
      {"abc", 0.0f, 0},
      {"", 0.0f, 0},
      {"1,5", 1.0f, 1},
      {"\t-0", 0.0f, 0},
      {"99999999999", 1e11f, 2147483647},
      {"-99999999999", -1e11f, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MathOperation::ToFloat(c.text), c.asFloat) << c.text;
    EXPECT_EQ(MathOperation::ToInt(c.text), c.asInt) << c.text;
  }
}

TEST(MathOperation, TwentyUtf16UnitsOrMoreGiveZeroAndTheMessage) {
  std::vector<std::string> warnings;
  const WarningSink sink = [&](std::string_view message) { warnings.emplace_back(message); };
  EXPECT_EQ(MathOperation::ToFloat("1234567890123456789", sink), 1234567890123456789.0f);  // 19
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(MathOperation::ToFloat("12345678901234567890", sink), 0.0f);  // 20
  EXPECT_EQ(MathOperation::ToInt("1                   ", sink), 0);
  // Chinese characters count one UTF-16 unit each, not three bytes.
  EXPECT_EQ(MathOperation::ToInt("12三四五六七八", sink), 12);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0], kNumberTooLongMessage);
  EXPECT_EQ(MathOperation::Utf16Length("测区😀"), 4);
}

}  // namespace
}  // namespace korvane
