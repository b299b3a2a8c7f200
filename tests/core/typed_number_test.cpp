// Numbers a person types: the whole text a number within the field's range,
// or the field's message.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/data/typed_number.h"

namespace korvane::testing {
namespace {

constexpr TypedField kFields[] = {
    TypedField::Reading,      TypedField::Rebound,      TypedField::Carbonation,  TypedField::Distance,
    TypedField::Beta,         TypedField::Lambda,       TypedField::Eta,          TypedField::DeltaTot,
    TypedField::CoefficientA, TypedField::CoefficientB, TypedField::CoefficientC, TypedField::CoefficientD,
    TypedField::CarbonationD, TypedField::Correction,   TypedField::HighPass,     TypedField::LowPass,
};

// What is not a number is refused in every field, with the field's message.
TEST(TypedNumber, TextsThatAreNoNumberAreRefusedEverywhere) {
  const char* const texts[] = {
      "abc",
      "",
      "   ",
      "1e39",
      "1e1",
      "12abc",
      "3,5",
      "1.2.3",
      "--3",
      "+-3",
      ".",
      "-",
      "0x10",
      "inf",
      "nan",
      "123456789012345678901",  // 21 digits
      "５",                     // a full-width digit
  };
  for (TypedField field : kFields) {
    for (const char* text : texts) {
      const TypedNumber typed = ReadTypedNumber(text, field);
      EXPECT_FALSE(typed.value.has_value()) << text;
      EXPECT_EQ(typed.message, RangeMessage(RangeOf(field))) << text;
    }
  }
}

// Each end: the end itself (or just above an open end) is taken, just beyond
// it is refused.
TEST(TypedNumber, EachEndOfEachRange) {
  for (TypedField field : kFields) {
    const NumberRange range = RangeOf(field);
    const double step = range.integer ? 1.0 : 0.01;
    const auto text = [](double v) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.2f", v);
      return std::string(buffer);
    };
    const double lowest = range.lowIncluded ? range.low : range.low + step;
    for (double inside : {lowest, range.high, (range.low + range.high) / 2}) {
      const double v = range.integer ? std::round(inside) : std::round(inside * 100) / 100;  // as typed
      const TypedNumber typed = ReadTypedNumber(text(v), field);
      ASSERT_TRUE(typed.value.has_value()) << range.name << " " << text(v);
      EXPECT_EQ(*typed.value, static_cast<float>(v)) << range.name;
      EXPECT_TRUE(typed.message.empty());
    }
    for (double outside : {lowest - step, range.high + step}) {
      EXPECT_FALSE(ReadTypedNumber(text(outside), field).value.has_value())
          << range.name << " " << text(outside);
    }
  }
}

TEST(TypedNumber, SignsBlanksAndMessages) {
  const std::vector<std::pair<std::string, std::optional<double>>> numbers = {
      {" 12.5 ", 12.5},
      {"+3", 3.0},
      {"-3", -3.0},
      {"\xE2\x88\x92"
       "3",
       -3.0},  // typographic minus
      {"5.", 5.0},
      {".5", 0.5},
      {"-0", 0.0},
      {"007", 7.0},
  };
  for (const auto& [text, value] : numbers) EXPECT_EQ(ParseTypedNumber(text), value) << text;
  EXPECT_FALSE(std::signbit(*ReadTypedNumber("-0", TypedField::Beta).value));
  // "−3" as carbonation depth is out of range.
  EXPECT_FALSE(ReadTypedNumber("\xE2\x88\x92"
                               "3",
                               TypedField::Carbonation)
                   .value.has_value());
  EXPECT_FALSE(ReadTypedNumber("35.5", TypedField::Reading).value.has_value());
  EXPECT_EQ(*ReadTypedNumber("35.0", TypedField::Reading).value, 35.0f);

  const std::pair<TypedField, const char*> messages[] = {
      {TypedField::Reading, "回弹值须为0～99之间的整数"},
      {TypedField::Rebound, "回弹代表值R须为20～50之间的数"},
      {TypedField::Carbonation, "碳化深度须为0～10 mm之间的数"},
      {TypedField::Eta, "强度修正系数η须为0.1～10之间的数"},
      {TypedField::DeltaTot, "强度修正量Δtot须为-30～30 MPa之间的数"},
      {TypedField::CoefficientA, "系数a须为大于0、不超过10的数"},
      {TypedField::CarbonationD, "系数d须为-1～1之间的数"},
      {TypedField::HighPass, "高通频率须为0.01～20 kHz之间的数"},
      {TypedField::LowPass, "低通频率须为2～500 kHz之间的数"},
  };
  for (const auto& [field, message] : messages) EXPECT_EQ(RangeMessage(RangeOf(field)), message);
}

}  // namespace
}  // namespace korvane::testing
