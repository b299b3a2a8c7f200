// Locale-independent number formatting with printf's field rules, for the
// fixed-width columns of the data files and for displayed values. The
// process locale (a decimal comma under some desktop locales) never changes
// the output: the decimal separator is always '.'.
#pragma once

#include <string>

namespace korvane {

// printf("%*d") / ("%-*d") of `value`: right-aligned (left-aligned with
// `leftAlign`) in a field of at least `width` characters.
void AppendInt(std::string& out, long long value, int width = 0, bool leftAlign = false);
std::string FormatInt(long long value, int width = 0, bool leftAlign = false);

// printf("%*.*f") of `value` (floats are promoted to double exactly as printf
// does): `precision` digits after the point, rounded as printf rounds,
// right-aligned in at least `width` characters. NaN and infinities give
// "nan", "-nan", "inf", "-inf".
void AppendFixed(std::string& out, double value, int width, int precision);
std::string FormatFixed(double value, int width, int precision);
// printf("%.*f") of `value`, without padding.
std::string FormatFixed(double value, int precision);

// "%d" of a float truncated toward zero (as a C conversion to int); values
// outside the int range are limited to it and NaN gives "0".
std::string FormatTruncated(float value);

}  // namespace korvane
