#include "office/text_format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace korvane::office {

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
