// Locale-independent number texts for the office files, matching the C
// formats "%d" and "%.Nf" (correctly rounded, as the C library prints them).
#pragma once

#include <string>

namespace korvane::office {

// "%d".
std::string FormatInt(int value);
// "%.{decimals}f" of the value (a float is widened exactly); "nan", "inf" and
// "-inf" for values that are not finite. `decimals` 0..9.
std::string FormatFixed(double value, int decimals);
// "%d" of a float truncated toward zero; values outside the int range are
// clamped to it and NaN gives "0".
std::string FormatTruncated(float value);
// The double nearest to the shortest decimal text that reads back as
// `value` (0.1f gives 0.1, not 0.100000001490116), for cells holding float
// results; non-finite values come back unchanged.
double FloatAsDecimal(float value);
// The double that the text FormatFixed(value, decimals) reads as, so that a
// cell holds exactly the number it shows.
double RoundedAsShown(double value, int decimals);

}  // namespace korvane::office
