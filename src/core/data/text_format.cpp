#include "core/data/text_format.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvane {
namespace {

void Pad(std::string& out, const char* begin, const char* end, int width, bool leftAlign) {
  const auto length = static_cast<int>(end - begin);
  if (!leftAlign && length < width) out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(begin, end);
  if (leftAlign && length < width) out.append(static_cast<std::size_t>(width - length), ' ');
}

}  // namespace

void AppendInt(std::string& out, long long value, int width, bool leftAlign) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  Pad(out, buffer, result.ptr, width, leftAlign);
}

std::string FormatInt(long long value, int width, bool leftAlign) {
  std::string out;
  AppendInt(out, value, width, leftAlign);
  return out;
}

void AppendFixed(std::string& out, double value, int width, int precision) {
  if (std::isnan(value)) {
    const char* text = std::signbit(value) ? "-nan" : "nan";
    Pad(out, text, text + std::char_traits<char>::length(text), width, false);
    return;
  }
  // Large enough for any double in fixed notation (up to 309 integer digits)
  // plus the requested fraction digits.
  char buffer[400];
  if (precision < 0) precision = 0;
  if (precision > 40) precision = 40;
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  Pad(out, buffer, result.ptr, width, false);
}

std::string FormatFixed(double value, int width, int precision) {
  std::string out;
  AppendFixed(out, value, width, precision);
  return out;
}

std::string FormatFixed(double value, int precision) { return FormatFixed(value, 0, precision); }

std::string FormatTruncated(float value) {
  if (std::isnan(value)) return "0";
  if (value >= 2147483647.0f) return FormatInt(std::numeric_limits<int>::max());
  if (value <= -2147483648.0f) return FormatInt(std::numeric_limits<int>::min());
  return FormatInt(static_cast<int>(value));
}

}  // namespace korvane
