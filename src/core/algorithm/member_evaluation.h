// Display texts of member and batch results.
#pragma once

#include <string>

namespace korvane {

// Text of an estimate by its result flag: "%.1f" of the value for flag 0,
// "<10.0MPa" for 1, ">70.0MPa" for 4; flag 2 gives the batch notice of the
// standard when `batchPane` is set, else "输入有误！"; any other flag
// "输入有误！".
std::string ResultText(int flag, float value, bool batchPane, int standardIndex);

// Batch notice (the conditions under which the batch must be tested member
// by member) of a standard; lines separated by "\r\n".
std::string BatchNotice(int standardIndex);

}  // namespace korvane
