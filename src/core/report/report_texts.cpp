#include "core/report/report_texts.h"

namespace korvane::report {

std::string_view SurfaceName(Surface surface) {
  switch (surface) {
    case Surface::Side: return "侧面";
    case Surface::Top: return "顶面";
    case Surface::Bottom: return "底面";
    default: return {};
  }
}

std::string LocationText(const std::string& location) {
  return location == "顶面底面间" ? std::string("顶底间") : location;
}

}  // namespace korvane::report
