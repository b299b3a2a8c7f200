#include <gtest/gtest.h>

#include "core/data/records.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

TEST(Standards, NamesAndStoredNames) {
  const char* display[] = {"CECS 02:2005",      "TB10426-2004",     "CECS 02-2020",      "JTS 239-2015",
                           "TB 10426-2019",     "DB51/T 1996-2015", "DG/TJ08 2020-2007", "DB61/T 1084-2017",
                           "DB 37/T 2361-2013", "DGJ32/TJ 144-2012"};
  const char* stored[] = {"cecs02:2005",     "tb10426-2004",    "cecs02-2020",      "jts239-2015",
                          "tb10426-2019",    "db51/t1996-2015", "dg/tj082020-2007", "db61/t1084-2017",
                          "db37/t2361-2013", "dgj32/tj144-2012"};
  for (int i = 0; i < kStandardCount; ++i) {
    EXPECT_EQ(StandardDisplayName(i), display[i]);
    EXPECT_EQ(StoredStandardName(display[i]), stored[i]);
    EXPECT_EQ(StandardIndexOfStoredName(stored[i]), i);
    EXPECT_EQ(ParseStandard(display[i]), i);
    EXPECT_EQ(ParseStandard(std::to_string(i)), i);
  }
  EXPECT_EQ(StandardDisplayName(-1), "CECS 02-2020");
  EXPECT_EQ(StandardDisplayName(10), "CECS 02-2020");
  // Only the exact stored form is recognised; anything else is CECS 02-2020.
  EXPECT_EQ(StandardIndexOfStoredName("CECS 02:2005"), kCECS02_2020);
  EXPECT_EQ(StandardIndexOfStoredName("cecs02:2005 "), kCECS02_2020);
  EXPECT_EQ(StandardIndexOfStoredName(""), kCECS02_2020);
  EXPECT_FALSE(ParseStandard("10"));
  EXPECT_FALSE(ParseStandard("cecs02:2005"));
}

TEST(Standards, TestMethodsAndGroups) {
  EXPECT_EQ(TestMethodName(0), "角测");
  EXPECT_EQ(TestMethodName(1), "平测");
  EXPECT_EQ(TestMethodName(2), "对测");
  EXPECT_EQ(TestMethodName(7), "角测");
  EXPECT_EQ(TestMethodName(-1), "角测");
  EXPECT_EQ(TestMethodIndex("对测"), 2);
  EXPECT_EQ(TestMethodIndex("平测"), 1);
  EXPECT_EQ(TestMethodIndex("斜测"), 0);
  const bool additive[] = {false, false, true, true, true, false, true, false, true, true};
  const bool carbonation[] = {false, false, false, false, false, false, false, false, true, true};
  const bool fixed[] = {false, false, false, false, true, false, false, true, false, false};
  for (int i = 0; i < kStandardCount; ++i) {
    EXPECT_EQ(IsAdditiveCorrectionStandard(i), additive[i]) << i;
    EXPECT_EQ(IsCarbonationTermStandard(i), carbonation[i]) << i;
    EXPECT_EQ(IsFixedTestMethodStandard(i), fixed[i]) << i;
  }
}

TEST(Standards, TestMethodLock) {
  TestZone surface;
  surface.testMethod = kMethodSurface;
  TestZone direct;
  direct.testMethod = kMethodDirect;
  for (int i = 0; i < kStandardCount; ++i) {
    const bool fixed = i == kTB10426_2019 || i == kDB61T1084_2017;
    EXPECT_EQ(TestMethodListEnabled(i, direct.testMethod), !fixed) << i;
    EXPECT_EQ(TestMethodListEnabled(i, std::nullopt), !fixed) << i;
    EXPECT_EQ(TestMethodListEnabled(i, surface.testMethod), i == kCECS02_2005 || i == kTB10426_2004) << i;
  }
}

TEST(Standards, SwitchRule) {
  TestZone surface;
  surface.testMethod = kMethodSurface;
  TestZone direct;
  direct.testMethod = kMethodDirect;
  TestZone angle;
  angle.testMethod = kMethodAngle;

  // Surface method: only within {0, 1} or within {2..9}.
  for (int from = 0; from < kStandardCount; ++from) {
    for (int to = 0; to < kStandardCount; ++to) {
      EXPECT_EQ(CheckStandardSwitch(from, to, surface.testMethod).allowed, (from < 2) == (to < 2))
          << from << "->" << to;
      const bool jts = from != to && (from == kJTS239_2015 || to == kJTS239_2015);
      EXPECT_EQ(CheckStandardSwitch(from, to, direct.testMethod).allowed, !jts) << from << "->" << to;
      EXPECT_EQ(CheckStandardSwitch(from, to, angle.testMethod).allowed, !jts) << from << "->" << to;
    }
  }

  const StandardSwitch refused = CheckStandardSwitch(kCECS02_2005, kCECS02_2020, surface.testMethod);
  EXPECT_FALSE(refused.allowed);
  EXPECT_EQ(refused.message, "当前规范(CECS 02:2005)及测试方式(平测)下，无法切换到新规范(CECS 02-2020)！");
  EXPECT_TRUE(CheckStandardSwitch(kCECS02_2005, kTB10426_2004, surface.testMethod).allowed);
  EXPECT_TRUE(CheckStandardSwitch(kCECS02_2005, kTB10426_2004, surface.testMethod).message.empty());
  EXPECT_EQ(CheckStandardSwitch(kCECS02_2020, kJTS239_2015, direct.testMethod).message,
            "当前规范(CECS 02-2020)及测试方式(对测)下，无法切换到新规范(JTS 239-2015)！");
  EXPECT_FALSE(CheckStandardSwitch(kJTS239_2015, kCECS02_2020, direct.testMethod).allowed);

  // No current zone: never allowed, named with the angle method.
  const StandardSwitch noZone = CheckStandardSwitch(kCECS02_2020, kCECS02_2020, std::nullopt);
  EXPECT_FALSE(noZone.allowed);
  EXPECT_EQ(noZone.message, "当前规范(CECS 02-2020)及测试方式(角测)下，无法切换到新规范(CECS 02-2020)！");
}

}  // namespace
}  // namespace korvane
