#include "core/algorithm/core_correction.h"

#include <charconv>
#include <string>

#include "core/algorithm/zone_computation.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"

namespace korvane {

CoreMethod CoreMethodOf(Standard standard) {
  return Traits(standard).correction == CorrectionKind::Additive ? CoreMethod::DeltaTot : CoreMethod::Eta;
}

std::string_view CoreMethodKey(CoreMethod method) { return method == CoreMethod::Eta ? "eta" : "deltaTot"; }

float RoundedCorrection(double value) {
  // The text the file writes ("%.2f"), read back.
  const std::string text = FormatFixed(value, 0, 2);
  float parsed = 0.0f;
  std::from_chars(text.data(), text.data() + text.size(), parsed);
  return parsed;
}

CoreCorrection DeriveCoreCorrection(const CAlgorithm& algorithm, const std::vector<Member>& members,
                                    const ZoneLists& zoneLists, const std::vector<CoreSample>& cores) {
  CoreCorrection result;
  result.method = CoreMethodOf(algorithm.standard());
  auto leaveOut = [&result](std::size_t k, std::string_view why) {
    if (result.problem.empty())
      result.problem = "芯样" + FormatInt(static_cast<long long>(k) + 1) + "：" + std::string(why);
  };
  const NumberRange strengthRange = RangeOf(TypedField::CoreStrength);
  double sumRatio = 0.0, sumCore = 0.0, sumConversion = 0.0;
  for (std::size_t k = 0; k < cores.size(); ++k) {
    const CoreSample& core = cores[k];
    const auto m = static_cast<std::size_t>(core.member);
    const auto z = static_cast<std::size_t>(core.zone);
    if (core.member < 0 || core.zone < 0 || m >= members.size() || m >= zoneLists.size() ||
        z >= zoneLists[m].size()) {
      leaveOut(k, kMsgCoreNoZone);
      continue;
    }
    if (!InRange(core.strength, strengthRange)) {
      leaveOut(k, RangeMessage(strengthRange));
      continue;
    }
    TestZone zone = zoneLists[m][z];
    zone.eta = 1.0f;
    zone.deltaTot = 0.0f;
    const float conversion = ConvertStrength(algorithm, members[m], zone);
    if (!(conversion > 0.0f)) {
      leaveOut(k, kMsgCoreNoConversion);
      continue;
    }
    const double fcor = core.strength;
    const double ratio = result.method == CoreMethod::Eta ? fcor / conversion : fcor - conversion;
    result.lines.push_back({core, conversion, ratio});
    sumRatio += ratio;
    sumCore += fcor;
    sumConversion += conversion;
  }
  const int n = result.n();
  if (n == 0) {
    if (result.problem.empty()) result.problem = std::string(kMsgNoCores);
    return result;
  }
  // Both means are over the same cores, so the mean of the differences is
  // mean(fcor) − mean(fcu,i).
  result.derived = result.method == CoreMethod::Eta ? sumRatio / n : (sumCore - sumConversion) / n;
  result.applied = RoundedCorrection(result.derived);
  if (n < kAdvisedCores) result.warning = "芯样只有" + FormatInt(n) + "个（少于6个），修正值仅供参考";
  return result;
}

}  // namespace korvane
