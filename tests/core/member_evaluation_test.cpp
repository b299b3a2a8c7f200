#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/algorithm/algorithm.h"
#include "core/algorithm/member_evaluation.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

using Values = std::vector<float>;

// Ten values with mean exactly 30 and standard deviation exactly 3.
const Values kMean30Sd3 = {24.0f, 25.0f, 29.5f, 31.0f, 31.5f, 31.5f, 31.5f, 32.0f, 32.0f, 32.0f};

// n values symmetric about `mean` with sample standard deviation close to sd
// (pairs mean ± d).
Values Spread(float mean, float sd, int pairs) {
  const double n = 2.0 * pairs;
  const auto d = static_cast<float>(sd * std::sqrt((n - 1.0) / n));
  Values v;
  for (int i = 0; i < pairs; ++i) {
    v.push_back(mean - d);
    v.push_back(mean + d);
  }
  return v;
}

TEST(Statistics, MinMaxMeanStdDev) {
  const CAlgorithm a(Standard::CECS02_2005);
  const Values v = {3.0f, 1.0f, 4.0f, 2.0f};
  EXPECT_EQ(a.Minimum(v), 1.0f);
  EXPECT_EQ(a.Maximum(v), 4.0f);
  EXPECT_EQ(a.Mean(v), 2.5f);
  EXPECT_FLOAT_EQ(a.StdDev(v), static_cast<float>(std::sqrt(5.0 / 3.0)));
  EXPECT_EQ(a.StdDev(kMean30Sd3), 3.0f);
  EXPECT_EQ(a.SafeMean(kMean30Sd3), 30.0f);
  // Empty and single lists.
  EXPECT_EQ(a.Minimum({}), 0.0f);
  EXPECT_EQ(a.Maximum({}), 0.0f);
  EXPECT_EQ(a.Mean({}), 0.0f);
  EXPECT_EQ(a.SafeMean({}), 0.0f);
  EXPECT_EQ(a.StdDev({}), 0.0f);
  const Values one = {42.0f};
  EXPECT_EQ(a.StdDev(one), 0.0f);
  // Batch figures are over the lists joined in order.
  const StrengthLists lists = {{3.0f, 1.0f}, {}, {4.0f, 2.0f}};
  const JoinedStrengths joined = JoinStrengths(lists);
  EXPECT_EQ(a.SafeMean(joined.values), 2.5f);
  EXPECT_EQ(a.StdDev(joined.values), a.StdDev(v));
  EXPECT_EQ(joined.ends, (std::vector<std::size_t>{2, 2, 4}));
  EXPECT_EQ(joined.member(1).size(), 0u);
}

// Rounding can leave a slightly negative variance for equal values; its
// square root used to be NaN.
TEST(Statistics, StdDevOfEqualValuesIsNeverNan) {
  const CAlgorithm a(Standard::CECS02_2005);
  // Three times 0.117: S − n·m·m rounds to a negative number.
  const Values negative(3, 0.117f);
  EXPECT_EQ(a.StdDev(negative), 0.0f);
  for (float x : {0.117f, 0.234f, 0.377f, 37.3f, 25.1f}) {
    for (std::size_t n : {2u, 3u, 7u, 10u}) {
      const float sd = a.StdDev(Values(n, x));
      EXPECT_FALSE(std::isnan(sd)) << x << " x" << n;
      EXPECT_GE(sd, 0.0f) << x << " x" << n;
      EXPECT_LT(sd, 1e-3f * x) << x << " x" << n;
    }
  }
}

struct EstimateCase {
  const char* what;
  Values values;
  float estimate;
  ResultFlag flag;
};

TEST(MemberEstimate, GeneralRules) {
  const CAlgorithm a(Standard::CECS02_2005, nullptr);
  Values tenWith75(9, 40.0f);
  tenWith75.push_back(75.0f);
  const EstimateCase cases[] = {
      {"nine zones: the minimum", {35, 20.5f, 60, 44, 38, 29, 51, 33, 47}, 20.5f, ResultFlag::Valid},
      {"ten zones: mean - 1.645 sd", kMean30Sd3, 25.065f, ResultFlag::Valid},
      {"a zone above 70: the minimum", tenWith75, 40.0f, ResultFlag::Valid},
      {"all above 70", {72, 75, 80}, 72.0f, ResultFlag::Above70},
      {"above 70 and below 10", {75, 9}, 9.0f, ResultFlag::Below10},
      {"a zone below 10", {35, 9.5f, 40}, 0.0f, ResultFlag::Below10},
      {"estimate below 10 is kept",
       {10, 10, 10, 10, 10, 60, 60, 60, 60, 60},
       static_cast<float>(35.0 - static_cast<double>(1.645f) * std::sqrt(6250.0 / 9.0)),
       ResultFlag::Below10},
  };
  for (const EstimateCase& c : cases) {
    ResultFlag flag = ResultFlag::Valid;
    EXPECT_FLOAT_EQ(a.MemberEstimate(c.values, flag), c.estimate) << c.what;
    EXPECT_EQ(flag, c.flag) << c.what;
  }
  // 30 - 1.645f·3 in double, rounded once.
  ResultFlag flag = ResultFlag::Valid;
  EXPECT_EQ(a.MemberEstimate(kMean30Sd3, flag), static_cast<float>(30.0 - 3.0 * static_cast<double>(1.645f)));
  EXPECT_EQ(ResultText(flag, a.MemberEstimate(kMean30Sd3, flag), false, Standard::CECS02_2005), "25.1");
}

TEST(MemberEstimate, TbRulesTakeTheMinimumWithoutLimits) {
  for (Standard standard : {Standard::TB10426_2004, Standard::TB10426_2019}) {
    const CAlgorithm a(standard, nullptr);
    ResultFlag flag = ResultFlag::Valid;
    const Values high = {72, 75, 80};
    const Values low = {35, 9.5f, 40};
    EXPECT_EQ(a.MemberEstimate(high, flag), 72.0f);
    EXPECT_EQ(flag, ResultFlag::Valid);
    EXPECT_EQ(a.MemberEstimate(low, flag), 9.5f);
    EXPECT_EQ(flag, ResultFlag::Valid);
    EXPECT_EQ(a.MemberEstimate(kMean30Sd3, flag), 24.0f);
  }
}

TEST(BatchEstimate, GeneralValidityTest) {
  const CAlgorithm a(Standard::CECS02_2020, nullptr);
  struct Case {
    const char* what;
    float mean;
    float sd;
    bool valid;
  };
  const Case cases[] = {
      {"m 30, s 5.0", 30.0f, 5.0f, true},  {"m 30, s 5.6", 30.0f, 5.6f, false},
      {"m 20, s 4.4", 20.0f, 4.4f, true},  {"m 20, s 4.6", 20.0f, 4.6f, false},
      {"m 50, s 7.0", 50.0f, 7.0f, true},  {"m 51, s 6.4", 51.0f, 6.4f, true},
      {"m 51, s 6.6", 51.0f, 6.6f, false}, {"m 49, s 5.6", 49.0f, 5.6f, false},
  };
  for (const Case& c : cases) {
    const Values v = Spread(c.mean, c.sd, 6);
    const StrengthLists lists = {Values(v.begin(), v.begin() + 5), Values(v.begin() + 5, v.end())};
    ASSERT_EQ(a.SafeMean(v), c.mean) << c.what;
    ASSERT_NEAR(a.StdDev(v), c.sd, 1e-4) << c.what;
    ResultFlag flag = ResultFlag::Valid;
    const float estimate = a.BatchEstimate(lists, flag);
    if (c.valid) {
      ResultFlag memberFlag = ResultFlag::Valid;
      EXPECT_EQ(estimate, a.MemberEstimate(v, memberFlag)) << c.what;
      EXPECT_EQ(flag, memberFlag) << c.what;
    } else {
      EXPECT_EQ(estimate, 0.0f) << c.what;
      EXPECT_EQ(flag, ResultFlag::BatchInvalid) << c.what;
    }
  }
  // A valid batch follows the member rules, the 70 MPa test included.
  ResultFlag flag = ResultFlag::Valid;
  const StrengthLists high = {{72, 75}, {80}};
  EXPECT_EQ(a.BatchEstimate(high, flag), 72.0f);
  EXPECT_EQ(flag, ResultFlag::Above70);
}

TEST(BatchEstimate, TbRules) {
  const CAlgorithm a(Standard::TB10426_2004, nullptr);
  ResultFlag flag = ResultFlag::Valid;
  const StrengthLists single = {kMean30Sd3};
  EXPECT_EQ(a.BatchEstimate(single, flag), 0.0f);
  EXPECT_EQ(flag, ResultFlag::BatchInvalid);

  const StrengthLists empty = {{}, {}};
  EXPECT_EQ(a.BatchEstimate(empty, flag), 0.0f);
  EXPECT_EQ(flag, ResultFlag::Valid);

  const StrengthLists valid = {Values(kMean30Sd3.begin(), kMean30Sd3.begin() + 4),
                               Values(kMean30Sd3.begin() + 4, kMean30Sd3.end())};
  EXPECT_EQ(a.BatchEstimate(valid, flag), static_cast<float>(30.0 - 3.0 * static_cast<double>(1.645f)));
  EXPECT_EQ(flag, ResultFlag::Valid);

  // Mean below 25 with a spread of at most 4.5 but m - 1.645 s < 0: the mean
  // of the members' own minima.
  const StrengthLists negative = {{0.5f, 6.0f, 9.0f}, {2.0f, 4.0f, 11.0f}};
  ASSERT_LT(a.SafeMean(JoinLists(negative)), 25.0f);
  EXPECT_FLOAT_EQ(a.BatchEstimate(negative, flag), (0.5f + 2.0f) / 2.0f);
  EXPECT_EQ(flag, ResultFlag::Valid);

  // Mean exactly 25 passes; above 25 a spread over 5.5 fails; below 25 one
  // over 4.5 fails.
  struct Case {
    float mean;
    float sd;
    ResultFlag flag;
  };
  const Case cases[] = {{25.0f, 5.8f, ResultFlag::Valid},
                        {26.0f, 5.6f, ResultFlag::BatchInvalid},
                        {26.0f, 5.4f, ResultFlag::Valid},
                        {24.0f, 4.6f, ResultFlag::BatchInvalid},
                        {24.0f, 4.4f, ResultFlag::Valid}};
  for (const Case& c : cases) {
    const Values v = Spread(c.mean, c.sd, 6);
    ASSERT_EQ(a.SafeMean(v), c.mean);
    const StrengthLists lists = {Values(v.begin(), v.begin() + 6), Values(v.begin() + 6, v.end())};
    const float estimate = a.BatchEstimate(lists, flag);
    EXPECT_EQ(flag, c.flag) << c.mean << " / " << c.sd;
    if (c.flag == ResultFlag::Valid) {
      EXPECT_FLOAT_EQ(estimate, c.mean - 1.645f * a.StdDev(v)) << c.mean << " / " << c.sd;
    }
  }
}

TEST(ResultText, ByFlag) {
  EXPECT_EQ(ResultText(ResultFlag::Valid, 25.065f, false, Standard::CECS02_2005), "25.1");
  EXPECT_EQ(ResultText(ResultFlag::Valid, 0.0f, true, Standard::CECS02_2005), "0.0");
  EXPECT_EQ(ResultText(ResultFlag::Below10, 0.0f, false, Standard::CECS02_2005), "<10.0MPa");
  EXPECT_EQ(ResultText(ResultFlag::Above70, 72.0f, true, Standard::CECS02_2005), ">70.0MPa");
  EXPECT_EQ(ResultText(ResultFlag::BatchInvalid, 0.0f, false, Standard::CECS02_2005), "输入有误！");
  EXPECT_EQ(ResultText(static_cast<ResultFlag>(3), 30.0f, false, Standard::CECS02_2005), "输入有误！");
  EXPECT_EQ(ResultText(static_cast<ResultFlag>(-1), 30.0f, true, Standard::CECS02_2005), "输入有误！");
  EXPECT_EQ(ResultText(ResultFlag::BatchInvalid, 0.0f, true, Standard::TB10426_2004),
            "在如下条件下：\r\n1)平均值<25.0且标准差>4.5；\r\n2)平均值>25.0且标准差>5."
            "5；\r\n该批构件应全部重新按单个构件检测");
  EXPECT_EQ(BatchNotice(Standard::TB10426_2019), BatchNotice(Standard::TB10426_2004));
  for (Standard standard : kAllStandards) {
    if (Traits(standard).estimate == EstimateFamily::Railway) continue;
    EXPECT_EQ(ResultText(ResultFlag::BatchInvalid, 0.0f, true, standard),
              "在如下条件下：\r\n1)平均值<25.0且标准差>4.5；\r\n2)平均值<50.0且标准差>5.5；\r\n"
              "3)平均值>50.0且标准差>6.5；\r\n该批构件应全部重新按单个构件检测")
        << IndexOf(standard);
  }
}

TEST(FormatFixed, AsPrintfInTheCLocale) {
  EXPECT_EQ(FormatFixed(25.065f, 1), "25.1");
  EXPECT_EQ(FormatFixed(0.25f, 1), "0.2");  // exact half: to even, as printf
  EXPECT_EQ(FormatFixed(2.875f, 2), "2.88");
  EXPECT_EQ(FormatFixed(4.4459f, 3), "4.446");
  EXPECT_EQ(FormatFixed(-3.5f, 1), "-3.5");
  EXPECT_EQ(FormatFixed(200.0f, 0), "200");
}

}  // namespace
}  // namespace korvane
