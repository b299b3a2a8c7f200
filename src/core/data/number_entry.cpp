#include "core/data/number_entry.h"

#include "core/data/text_format.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

namespace korvane {
namespace {

constexpr int kMaxDigitsText = 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool TooLong(std::string_view text, const WarningSink& warn) {
  // A UTF-8 text has at least as many bytes as UTF-16 units.
  if (text.size() < kMaxDigitsText || MathOperation::Utf16Length(text) < kMaxDigitsText) return false;
  if (warn) warn(kNumberTooLongMessage);
  return true;
}

// Longest prefix (after blanks) that forms a decimal floating-point number.
double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      end = j;
    }
  }
  double value = 0.0;
  const char* first = text.data() + start;
  const char* last = text.data() + end;
  std::string fixed;
  if (*first == '.' || last[-1] == '.') {
    // from_chars wants digits on both sides of the point: "5." and ".5".
    fixed.assign(first, last);
    if (fixed.back() == '.') fixed.pop_back();
    if (!fixed.empty() && fixed.front() == '.') fixed.insert(fixed.begin(), '0');
    first = fixed.data();
    last = fixed.data() + fixed.size();
  }
  const auto result = std::from_chars(first, last, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow gives infinity, underflow zero (as strtod does).
    const std::string_view number(first, static_cast<std::size_t>(last - first));
    const auto exponent = number.find_first_of("eE");
    const bool huge =
        exponent != std::string_view::npos && number.find('-', exponent) == std::string_view::npos;
    value = huge ? HUGE_VAL : 0.0;
  } else if (result.ec != std::errc{}) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

int MathOperation::Utf16Length(std::string_view utf8) {
  int units = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::size_t length = 1;
    int width = 1;
    if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      width = 2;
    } else if (c >= 0xE0) {
      length = 3;
    } else if (c >= 0xC2 && c < 0xE0) {
      length = 2;
    }
    if (i + length > utf8.size()) length = 1, width = 1;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) {
        length = 1;
        width = 1;
        break;
      }
    }
    units += width;
    i += length;
  }
  return units;
}

float MathOperation::ToFloat(std::string_view text, const WarningSink& warn) {
  if (TooLong(text, warn)) return 0.0f;
  return static_cast<float>(ParseDecimal(text));
}

long long MathOperation::ToInt64(std::string_view text, const WarningSink& warn) {
  if (TooLong(text, warn)) return 0;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Fewer than 20 characters: at most 19 digits, which an unsigned 64-bit
  // value holds.
  std::uint64_t value = 0;
  while (i < text.size() && IsDigit(text[i])) {
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    ++i;
  }
  constexpr auto kMax = static_cast<std::uint64_t>(LLONG_MAX);
  if (negative) return value > kMax ? LLONG_MIN : -static_cast<long long>(value);
  return value > kMax ? LLONG_MAX : static_cast<long long>(value);
}

int MathOperation::ToInt(std::string_view text, const WarningSink& warn) {
  const long long value = ToInt64(text, warn);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string FormatHeldValue(float value, int decimals) {
  std::string text;
  for (int precision = std::max(decimals, 0); precision <= kMaxHeldDecimals; ++precision) {
    text = FormatFixed(static_cast<double>(value), precision);
    if (!std::isfinite(value) || MathOperation::ToFloat(text) == value) break;
  }
  return text;
}

}  // namespace korvane
