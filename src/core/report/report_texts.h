// Texts that both reports (printed and Word) show for zone fields.
#pragma once

#include <string>
#include <string_view>

#include "core/data/records.h"

namespace korvane::report {

// Tested surface: "侧面", "顶面", "底面"; empty for any other value.
std::string_view SurfaceName(Surface surface);

// Test location as printed: "顶面底面间" is shortened to "顶底间" to fit the
// narrow cell; any other text is printed as it is.
std::string LocationText(const std::string& location);

}  // namespace korvane::report
