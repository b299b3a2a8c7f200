#include "core/report/layout_grid.h"

namespace korvane::report {

void PageDescription::Append(const PageDescription& other) {
  lines.insert(lines.end(), other.lines.begin(), other.lines.end());
  frames.insert(frames.end(), other.frames.begin(), other.frames.end());
  texts.insert(texts.end(), other.texts.begin(), other.texts.end());
}

}  // namespace korvane::report
