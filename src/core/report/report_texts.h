// Texts that both reports (printed and Word) show for zone fields.
#pragma once

#include <string>
#include <string_view>

namespace korvane::report {

// Tested surface: 0 "侧面", 1 "顶面", 2 "底面"; empty for any other code.
std::string_view SurfaceName(int surface);

// Test location as printed: "顶面底面间" is shortened to "顶底间" to fit the
// narrow cell; any other text is printed as it is.
std::string LocationText(const std::string& location);

}  // namespace korvane::report
