// Locale-independent number texts for the office files, matching the C
// formats "%d" and "%.Nf" (correctly rounded, as the C library prints them).
#pragma once

#include <string>

#include "core/data/text_format.h"

namespace korvane::office {

// "%d", "%.Nf" and the truncated "%d" of a float: the core's formatters.
using korvane::FormatFixed;
using korvane::FormatInt;
using korvane::FormatTruncated;

// The double nearest to the shortest decimal text that reads back as
// `value` (0.1f gives 0.1, not 0.100000001490116), for cells holding float
// results; non-finite values come back unchanged.
double FloatAsDecimal(float value);
// The double that the text FormatFixed(value, decimals) reads as, so that a
// cell holds exactly the number it shows.
double RoundedAsShown(double value, int decimals);

}  // namespace korvane::office
