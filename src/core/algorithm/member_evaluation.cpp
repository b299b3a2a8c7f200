// Placeholder implementation; replaced by the result texts.
#include "core/algorithm/member_evaluation.h"

namespace korvane {

std::string ResultText(int, float, bool, int) { return {}; }
std::string BatchNotice(int) { return {}; }

}  // namespace korvane
