#include "core/report/report_texts.h"

namespace korvane::report {

std::string_view SurfaceName(int surface) {
  switch (surface) {
    case 0: return "侧面";
    case 1: return "顶面";
    case 2: return "底面";
    default: return {};
  }
}

std::string LocationText(const std::string& location) {
  return location == "顶面底面间" ? std::string("顶底间") : location;
}

}  // namespace korvane::report
