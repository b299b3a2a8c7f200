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
    const Standard standard = kAllStandards[static_cast<std::size_t>(i)];
    EXPECT_EQ(IndexOf(standard), i);
    EXPECT_EQ(StandardAt(i), standard);
    EXPECT_EQ(StandardDisplayName(standard), display[i]);
    EXPECT_EQ(StoredStandardName(display[i]), stored[i]);
    EXPECT_EQ(StandardOfStoredName(stored[i]), standard);
    EXPECT_EQ(ParseStandard(display[i]), standard);
    EXPECT_EQ(ParseStandard(std::to_string(i)), standard);
  }
  EXPECT_FALSE(StandardAt(-1));
  EXPECT_FALSE(StandardAt(10));
  // A name as a file holds it: case and blanks do not count; anything else
  // is CECS 02-2020.
  EXPECT_EQ(StandardOfStoredName("CECS 02:2005"), Standard::CECS02_2005);
  EXPECT_EQ(StandardOfStoredName("cecs02:2005 "), Standard::CECS02_2005);
  EXPECT_EQ(StandardOfStoredName("cecs02-2005"), Standard::CECS02_2020);
  EXPECT_EQ(StandardOfStoredName(""), Standard::CECS02_2020);
  EXPECT_FALSE(ParseStandard("10"));
  EXPECT_FALSE(ParseStandard("cecs02:2005"));
}

TEST(Standards, TestMethodsAndTraits) {
  EXPECT_EQ(TestMethodName(TestMethod::Angle), "角测");
  EXPECT_EQ(TestMethodName(TestMethod::Surface), "平测");
  EXPECT_EQ(TestMethodName(TestMethod::Direct), "对测");
  EXPECT_EQ(TestMethodName(static_cast<TestMethod>(7)), "角测");
  EXPECT_EQ(TestMethodName(static_cast<TestMethod>(-1)), "角测");
  EXPECT_EQ(TestMethodOfName("对测"), TestMethod::Direct);
  EXPECT_EQ(TestMethodOfName("平测"), TestMethod::Surface);
  EXPECT_EQ(TestMethodOfName("斜测"), TestMethod::Angle);
  // The rows as the rules of each standard know them.
  const bool additive[] = {false, false, true, true, true, false, true, false, true, true};
  const bool carbonation[] = {false, false, false, false, false, false, false, false, true, true};
  const bool fixed[] = {false, false, false, false, true, false, false, true, false, false};
  const int readings[] = {16, 16, 10, 16, 16, 16, 16, 16, 16, 16};
  const bool fine[] = {false, true, false, false, true, false, false, false, false, false};
  const bool railway[] = {false, true, false, false, true, false, false, false, false, false};
  const bool pumped[] = {false, true, true, true, true, true, true, true, true, true};
  for (int i = 0; i < kStandardCount; ++i) {
    const StandardTraits& t = Traits(kAllStandards[static_cast<std::size_t>(i)]);
    EXPECT_EQ(t.correction == CorrectionKind::Additive, additive[i]) << i;
    EXPECT_EQ(t.carbonationTerm, carbonation[i]) << i;
    EXPECT_EQ(t.fixedTestMethod, fixed[i]) << i;
    EXPECT_EQ(t.readingsUsed, readings[i]) << i;
    EXPECT_EQ(t.tables == TableFamily::Fine, fine[i]) << i;
    EXPECT_EQ(t.estimate == EstimateFamily::Railway, railway[i]) << i;
    EXPECT_EQ(t.angleKeepsVelocity, railway[i]) << i;
    EXPECT_EQ(t.pumpedOffered, pumped[i]) << i;
  }
}

TEST(Standards, TestMethodLock) {
  for (Standard s : kAllStandards) {
    const bool fixed = s == Standard::TB10426_2019 || s == Standard::DB61T1084_2017;
    EXPECT_EQ(TestMethodListEnabled(s, TestMethod::Direct), !fixed) << IndexOf(s);
    EXPECT_EQ(TestMethodListEnabled(s, std::nullopt), !fixed) << IndexOf(s);
    EXPECT_EQ(TestMethodListEnabled(s, TestMethod::Surface),
              s == Standard::CECS02_2005 || s == Standard::TB10426_2004)
        << IndexOf(s);
  }
}

TEST(Standards, SwitchRule) {
  // Surface method: only within {0, 1} or within {2..9}.
  for (Standard from : kAllStandards) {
    for (Standard to : kAllStandards) {
      const int f = IndexOf(from);
      const int t = IndexOf(to);
      EXPECT_EQ(CheckStandardSwitch(from, to, TestMethod::Surface).allowed, (f < 2) == (t < 2))
          << f << "->" << t;
      const bool jts = from != to && (from == Standard::JTS239_2015 || to == Standard::JTS239_2015);
      EXPECT_EQ(CheckStandardSwitch(from, to, TestMethod::Direct).allowed, !jts) << f << "->" << t;
      EXPECT_EQ(CheckStandardSwitch(from, to, TestMethod::Angle).allowed, !jts) << f << "->" << t;
    }
  }

  const StandardSwitch refused =
      CheckStandardSwitch(Standard::CECS02_2005, Standard::CECS02_2020, TestMethod::Surface);
  EXPECT_FALSE(refused.allowed);
  EXPECT_EQ(refused.message, "当前规范(CECS 02:2005)及测试方式(平测)下，无法切换到新规范(CECS 02-2020)！");
  EXPECT_TRUE(
      CheckStandardSwitch(Standard::CECS02_2005, Standard::TB10426_2004, TestMethod::Surface).allowed);
  EXPECT_TRUE(CheckStandardSwitch(Standard::CECS02_2005, Standard::TB10426_2004, TestMethod::Surface)
                  .message.empty());
  EXPECT_EQ(CheckStandardSwitch(Standard::CECS02_2020, Standard::JTS239_2015, TestMethod::Direct).message,
            "当前规范(CECS 02-2020)及测试方式(对测)下，无法切换到新规范(JTS 239-2015)！");
  EXPECT_FALSE(CheckStandardSwitch(Standard::JTS239_2015, Standard::CECS02_2020, TestMethod::Direct).allowed);

  // No current zone: never allowed, named with the angle method.
  const StandardSwitch noZone =
      CheckStandardSwitch(Standard::CECS02_2020, Standard::CECS02_2020, std::nullopt);
  EXPECT_FALSE(noZone.allowed);
  EXPECT_EQ(noZone.message, "当前规范(CECS 02-2020)及测试方式(角测)下，无法切换到新规范(CECS 02-2020)！");
}

}  // namespace
}  // namespace korvane
