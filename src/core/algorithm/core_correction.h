// The core correction: strengths of cores drilled from test zones against
// the zones' conversion values, giving the correction the file's standard
// applies to every zone.
//   factor standards (η):    η = (1/n)·Σ fcor,i / fcu,i
//   additive standards (Δ):  Δtot = mean(fcor) − mean(fcu,i)      (MPa)
// fcu,i is the zone's conversion value with η = 1 and Δtot = 0 (the member's
// aggregate, coefficients, pumped switch and the zone's carbonation depth as
// they are). Which of the two follows the standard's correction kind, the
// grouping the analysis form offers η or Δtot by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/data/companion_file.h"
#include "core/data/records.h"

namespace korvane {

enum class CoreMethod { Eta, DeltaTot };
CoreMethod CoreMethodOf(Standard standard);
// JSON name: "eta" or "deltaTot".
std::string_view CoreMethodKey(CoreMethod method);

// Fewer cores than this derive a value with a warning.
inline constexpr int kAdvisedCores = 6;

struct CoreLine {
  CoreSample core;
  float conversion = 0.0f;  // fcu,i with η = 1, Δtot = 0 (MPa)
  // fcor / fcu,i (η) or fcor − fcu,i (Δtot, MPa).
  double ratio = 0.0;
};

struct CoreCorrection {
  CoreMethod method = CoreMethod::Eta;
  // Lines of the cores that name an existing zone with a strength, in the
  // order given.
  std::vector<CoreLine> lines;
  int n() const { return static_cast<int>(lines.size()); }
  // The value as derived (double) and as the file holds it (rounded to
  // 0.01, as η and Δtot are written); 0 when no core was usable.
  double derived = 0.0;
  float applied = 0.0f;
  // The first core left out (no such member or zone, fcor outside its typed
  // range TypedField::CoreStrength, a zone without a conversion value above
  // 0); empty when none was.
  std::string problem;
  // "芯样只有<n>个（少于6个），修正值仅供参考" when 0 < n < 6.
  std::string warning;
};

// "芯样<k>：" + … (k from 1, in the order given)
inline constexpr std::string_view kMsgCoreNoZone = "没有这个构件或测区";
inline constexpr std::string_view kMsgCoreNoConversion = "测区没有强度换算值";
inline constexpr std::string_view kMsgNoCores = "没有可用的芯样";

// Derives the correction of `cores` (member and zone 0-based) under the
// algorithm's standard. Never throws: cores it cannot use go to `problem`
// and are left out of the lines.
CoreCorrection DeriveCoreCorrection(const CAlgorithm& algorithm, const std::vector<Member>& members,
                                    const ZoneLists& zoneLists, const std::vector<CoreSample>& cores);

// η or Δtot as the file writes it: rounded half away from zero to 0.01.
float RoundedCorrection(double value);

}  // namespace korvane
