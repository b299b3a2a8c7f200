// Number entry: how every number typed by the user or read from a data file
// is taken from its text, independent of the process locale.
//
// A text of 20 or more characters (counted in UTF-16 code units) is not read:
// the warning "数字过长，请输入小于20位的数值" goes to the sink and the value is 0.
// Otherwise leading white space is skipped, an optional sign and a decimal
// number are read up to the first character that cannot continue it, and the
// value is 0 when nothing could be read. Only '.' is a decimal separator.
#pragma once

#include <string>
#include <string_view>

#include "core/platform/error.h"

namespace korvane {

inline constexpr std::string_view kNumberTooLongMessage = "数字过长，请输入小于20位的数值";

class MathOperation {
 public:
  // Decimal number with optional fraction and exponent, rounded to float
  // from the nearest double (as atof followed by a float conversion).
  static float ToFloat(std::string_view text, const WarningSink& warn = {});
  // Integer part only ("12.7" gives 12); clamped to the int range.
  static int ToInt(std::string_view text, const WarningSink& warn = {});
  // The same, clamped to the 64-bit range (byte offsets of large files).
  static long long ToInt64(std::string_view text, const WarningSink& warn = {});
  // Number of UTF-16 code units of a UTF-8 text (invalid bytes count 1 each).
  static int Utf16Length(std::string_view utf8);
};

// Most decimals a held value is shown or written with.
inline constexpr int kMaxHeldDecimals = 6;

// The text of a value a field holds: `decimals` decimals, or more (up to
// kMaxHeldDecimals) when that text would read back as another float, so
// that a field shows the value its result uses ("1.234" at two decimals,
// "0.0001" at three). A value of more decimals still gets six.
std::string FormatHeldValue(float value, int decimals);

}  // namespace korvane
