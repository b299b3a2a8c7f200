// Fuzz target of the table of cubes: the input is a CSV file. It must read
// into rows or be refused with a message (an unclosed quote, too many
// cells); the rows must give cubes or the head's message; and a fit of ten
// or more cubes must give finite figures or be refused with its message,
// never a figure that is not a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/algorithm/strength_curve.h"
#include "core/data/cube_table.h"
#include "core/platform/error.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CubeTable table;
  try {
    table = ParseCubeRows(SplitCsvRows(bytes));
  } catch (const KorvaneError&) {
    return 0;
  }
  for (const Cube& cube : table.cubes) {
    // Only plausible cubes are kept.
    if (!(cube.v >= 1.0 && cube.v <= 10.0 && cube.r >= 10.0 && cube.r <= 70.0 && cube.fcu >= 1.0 &&
          cube.fcu <= 150.0)) {
      std::abort();
    }
  }
  if (table.cubes.size() < static_cast<std::size_t>(kMinCubes)) return 0;
  try {
    const CurveFit fit = FitStrengthCurve(table.cubes);
    if (!std::isfinite(fit.a) || !std::isfinite(fit.b) || !std::isfinite(fit.c) ||
        !std::isfinite(fit.meanRelativeError) || !std::isfinite(fit.relativeStdDev) ||
        !std::isfinite(fit.correlation)) {
      std::abort();
    }
  } catch (const KorvaneError&) {
  }
  return 0;
}
