#include "core/report/layout_grid.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvane::report {

void PageDescription::Append(const PageDescription& other) {
  lines.insert(lines.end(), other.lines.begin(), other.lines.end());
  frames.insert(frames.end(), other.frames.begin(), other.frames.end());
  texts.insert(texts.end(), other.texts.begin(), other.texts.end());
}

std::string FormatInt(long long value) { return std::to_string(value); }

std::string FormatFixed(double value, int precision) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // 309 integer digits, a sign, a point and up to 6 decimals fit.
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (error != std::errc()) return {};
  return std::string(buffer, end);
}

std::string FormatTruncated(float value) {
  if (std::isnan(value)) return "0";
  const double truncated = std::trunc(static_cast<double>(value));
  if (truncated >= static_cast<double>(std::numeric_limits<int>::max())) {
    return FormatInt(std::numeric_limits<int>::max());
  }
  if (truncated <= static_cast<double>(std::numeric_limits<int>::min())) {
    return FormatInt(std::numeric_limits<int>::min());
  }
  return FormatInt(static_cast<int>(truncated));
}

}  // namespace korvane::report
