// Member and batch estimation rules; result texts.
#include "core/algorithm/member_evaluation.h"

#include "core/data/text_format.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "core/standards/standards.h"

namespace korvane {
namespace {

// The factor of the 5 % characteristic value, held as a 32-bit float.
constexpr float kFactor = 1.645f;

// mean − 1.645·sd in double precision, rounded to float.
float CharacteristicValue(float mean, float stdDev) {
  return static_cast<float>(static_cast<double>(mean) -
                            static_cast<double>(kFactor) * static_cast<double>(stdDev));
}

constexpr std::string_view kInputError = "输入有误！";

}  // namespace

float GeneralMemberEstimate(const CAlgorithm& algorithm, std::span<const float> values, ResultFlag& flag) {
  flag = ResultFlag::Valid;
  const float minimum = algorithm.Minimum(values);
  const bool anyAbove70 = std::any_of(values.begin(), values.end(), [](float x) { return x > 70.0f; });
  if (anyAbove70) {
    if (minimum > 70.0f) {
      flag = ResultFlag::Above70;
    } else if (minimum < 10.0f) {
      flag = ResultFlag::Below10;
    }
    return minimum;
  }
  if (minimum < 10.0f) {
    flag = ResultFlag::Below10;
    return 0.0f;
  }
  float estimate = minimum;
  if (values.size() >= 10) {
    estimate = CharacteristicValue(algorithm.SafeMean(values), algorithm.StdDev(values));
  }
  if (estimate < 10.0f) {
    flag = ResultFlag::Below10;
  } else if (estimate > 70.0f) {
    flag = ResultFlag::Above70;
  }
  return estimate;
}

float GeneralBatchEstimate(const CAlgorithm& algorithm, const JoinedStrengths& strengths, ResultFlag& flag) {
  flag = ResultFlag::Valid;
  const std::span<const float> joined = strengths.values;
  const float mean = algorithm.SafeMean(joined);
  const float stdDev = algorithm.StdDev(joined);
  // A mean of exactly 50 passes all three tests.
  if ((mean < 25.0f && stdDev > 4.5f) || (mean < 50.0f && stdDev > 5.5f) || (mean > 50.0f && stdDev > 6.5f)) {
    flag = ResultFlag::BatchInvalid;
    return 0.0f;
  }
  return algorithm.MemberEstimate(joined, flag);
}

float TbMemberEstimate(const CAlgorithm& algorithm, std::span<const float> values, ResultFlag& flag) {
  flag = ResultFlag::Valid;
  return algorithm.Minimum(values);
}

float TbBatchEstimate(const CAlgorithm& algorithm, const JoinedStrengths& strengths, ResultFlag& flag) {
  flag = ResultFlag::Valid;
  if (strengths.memberCount() < 2) {
    flag = ResultFlag::BatchInvalid;
    return 0.0f;
  }
  const std::span<const float> joined = strengths.values;
  if (joined.empty()) return 0.0f;
  const float mean = algorithm.SafeMean(joined);
  const float stdDev = algorithm.StdDev(joined);
  // A mean of exactly 25 passes both tests.
  if ((mean < 25.0f && stdDev > 4.5f) || (mean > 25.0f && stdDev > 5.5f)) {
    flag = ResultFlag::BatchInvalid;
    return 0.0f;
  }
  float estimate = CharacteristicValue(mean, stdDev);
  if (estimate < 0.0f) {
    std::vector<float> minima;
    minima.reserve(strengths.memberCount());
    for (std::size_t i = 0; i < strengths.memberCount(); ++i)
      minima.push_back(algorithm.Minimum(strengths.member(i)));
    estimate = algorithm.SafeMean(minima);
  }
  return estimate;
}

std::string ResultText(ResultFlag flag, float value, bool batchPane, Standard standard) {
  switch (flag) {
    case ResultFlag::Valid: return FormatFixed(value, 1);
    case ResultFlag::Below10: return "<10.0MPa";
    case ResultFlag::Above70: return ">70.0MPa";
    case ResultFlag::BatchInvalid: return batchPane ? BatchNotice(standard) : std::string(kInputError);
    default: return std::string(kInputError);
  }
}

std::string BatchNotice(Standard standard) {
  if (Traits(standard).estimate == EstimateFamily::Railway) {
    return "在如下条件下：\r\n1)平均值<25.0且标准差>4.5；\r\n2)平均值>25.0且标准差>5.5；\r\n"
           "该批构件应全部重新按单个构件检测";
  }
  return "在如下条件下：\r\n1)平均值<25.0且标准差>4.5；\r\n2)平均值<50.0且标准差>5.5；\r\n"
         "3)平均值>50.0且标准差>6.5；\r\n该批构件应全部重新按单个构件检测";
}

}  // namespace korvane
