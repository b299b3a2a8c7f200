// Member and batch estimation rules and the display texts of their results.
#pragma once

#include <span>
#include <string>

#include "core/algorithm/algorithm.h"

namespace korvane {

// Member estimate of every standard except the two TB ones. Sets `flag`:
// a value above 70 gives the minimum (flag 4 when it is above 70 too); a
// minimum below 10 gives 0 and flag 1; fewer than ten values give the
// minimum, else mean − 1.645·sd; then flag 1 below 10, flag 4 above 70.
float GeneralMemberEstimate(const CAlgorithm& algorithm, std::span<const float> values, ResultFlag& flag);
// Batch estimate of the same standards over all members' lists joined: flag 2
// and 0 when the spread is too large for the mean, else the member estimate
// of the joined list.
float GeneralBatchEstimate(const CAlgorithm& algorithm, const JoinedStrengths& strengths, ResultFlag& flag);
// TB10426-2004 and TB 10426-2019: the member estimate is the minimum
// (flag 0).
float TbMemberEstimate(const CAlgorithm& algorithm, std::span<const float> values, ResultFlag& flag);
// TB batch estimate: flag 2 and 0 for fewer than two members or a spread too
// large for the mean; else mean − 1.645·sd, replaced by the mean of the
// members' minima when negative.
float TbBatchEstimate(const CAlgorithm& algorithm, const JoinedStrengths& strengths, ResultFlag& flag);

// Text of an estimate by its result flag: "%.1f" of the value for flag 0,
// "<10.0MPa" for Below10, ">70.0MPa" for Above70; BatchInvalid gives the
// batch notice of the standard when `batchPane` is set, else "输入有误！";
// any other flag "输入有误！".
std::string ResultText(ResultFlag flag, float value, bool batchPane, Standard standard);

// Batch notice (the conditions under which the batch must be tested member
// by member) of a standard; lines separated by "\r\n".
std::string BatchNotice(Standard standard);

}  // namespace korvane
