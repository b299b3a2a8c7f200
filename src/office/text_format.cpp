#include "office/text_format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace korvane::office {

std::string FormatInt(int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatFixed(double value, int decimals) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[400];  // the largest double in fixed notation has 309 digits
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "nan";
  return std::string(buffer, result.ptr);
}

std::string FormatTruncated(float value) {
  if (std::isnan(value)) return "0";
  if (value >= 2147483647.0f) return FormatInt(std::numeric_limits<int>::max());
  if (value <= -2147483648.0f) return FormatInt(std::numeric_limits<int>::min());
  return FormatInt(static_cast<int>(value));
}

double FloatAsDecimal(float value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  double result = static_cast<double>(value);
  std::from_chars(buffer, written.ptr, result);
  return result;
}

double RoundedAsShown(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  const std::string text = FormatFixed(value, decimals);
  double result = value;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

}  // namespace korvane::office
