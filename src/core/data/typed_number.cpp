#include "core/data/typed_number.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/data/number_entry.h"

namespace korvane {
namespace {

constexpr int kMaxTextUnits = 20;
constexpr std::string_view kTypographicMinus = "\xE2\x88\x92";  // U+2212

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A bound as the message writes it: no trailing zeros ("0.1", "10", "-30").
std::string BoundText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace

NumberRange RangeOf(TypedField field) {
  switch (field) {
    case TypedField::Reading: return {"回弹值", 0, 99, true, true, ""};
    case TypedField::Rebound: return {"回弹代表值R", 20, 50, true, false, ""};
    case TypedField::Carbonation: return {"碳化深度", 0, 10, true, false, "mm"};
    case TypedField::Distance: return {"测距L", 0, 10000, true, false, "mm"};
    case TypedField::Beta: return {"β", 0, 10, true, false, ""};
    case TypedField::Lambda: return {"λ", 0, 10, true, false, ""};
    case TypedField::Eta: return {"强度修正系数η", 0.1, 10, true, false, ""};
    case TypedField::DeltaTot: return {"强度修正量Δtot", -30, 30, true, false, "MPa"};
    case TypedField::CoefficientA: return {"系数a", 0, 10, false, false, ""};
    case TypedField::CoefficientB: return {"系数b", 0, 5, true, false, ""};
    case TypedField::CoefficientC: return {"系数c", 0, 5, true, false, ""};
    case TypedField::CoefficientD: return {"系数d", 0, 10, true, false, ""};
    case TypedField::CarbonationD: return {"系数d", -1, 1, true, false, ""};
    case TypedField::Correction: return {"修正值", -20, 20, true, false, ""};
    case TypedField::Gain: return {"增益", 0, 100, true, false, ""};
    case TypedField::Delay: return {"延时", 0, 1000, true, false, "us"};
    case TypedField::CoreStrength: return {"芯样强度fcor", 0, 200, false, false, "MPa"};
    case TypedField::HighPass: return {"高通频率", 0.01, 20, true, false, "kHz"};
    case TypedField::LowPass: return {"低通频率", 2, 500, true, false, "kHz"};
  }
  return {};
}

bool InRange(double value, const NumberRange& range) {
  if (!std::isfinite(value)) return false;
  if (range.lowIncluded ? value < range.low : value <= range.low) return false;
  if (value > range.high) return false;
  return !range.integer || value == std::trunc(value);
}

std::string RangeMessage(const NumberRange& range) {
  const std::string unit = range.unit.empty() ? "" : " " + range.unit;
  const std::string kind = range.integer ? "整数" : "数";
  if (!range.lowIncluded) {
    return range.name + "须为大于" + BoundText(range.low) + unit + "、不超过" + BoundText(range.high) + unit +
           "的" + kind;
  }
  return range.name + "须为" + BoundText(range.low) + "～" + BoundText(range.high) + unit + "之间的" + kind;
}

std::optional<double> ParseTypedNumber(std::string_view text) {
  if (MathOperation::Utf16Length(text) >= kMaxTextUnits) return std::nullopt;
  text = Trimmed(text);
  bool negative = false;
  if (text.starts_with(kTypographicMinus)) {
    negative = true;
    text.remove_prefix(kTypographicMinus.size());
  } else if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int digits = 0;
  int points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || points > 1) return std::nullopt;
  double value = 0.0;
  // from_chars reads "5." and ".5" as the C library does; the text holds
  // only digits and one point here.
  const std::string padded =
      (text.front() == '.' ? "0" : "") + std::string(text) + (text.back() == '.' ? "0" : "");
  const auto [end, error] = std::from_chars(padded.data(), padded.data() + padded.size(), value);
  if (error != std::errc() || end != padded.data() + padded.size()) return std::nullopt;
  return negative ? -value : value;
}

TypedNumber ReadTypedNumber(std::string_view text, const NumberRange& range) {
  const std::optional<double> number = ParseTypedNumber(text);
  if (!number || !InRange(*number, range)) return {std::nullopt, RangeMessage(range)};
  return {static_cast<float>(*number) + 0.0f, {}};  // (-0 enters as 0)
}

}  // namespace korvane
