// korvane-cli zone and estimate, run as a process; expected numbers come from
// the core library.
#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include <charconv>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "core/algorithm/algorithm.h"
#include "core/algorithm/correction_tables.h"
#include "core/algorithm/zone_computation.h"
#include "core/standards/standards.h"

namespace korvane::testing {
namespace {

const std::string kReadings = "30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45";

std::string Shortest(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// `"key": value` as the tool writes it.
std::string Field(const std::string& key, float value) { return "\"" + key + "\": " + Shortest(value); }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

ZoneCalculatorInput DefaultInput() {
  ZoneCalculatorInput input;
  for (std::size_t i = 0; i < 16; ++i) input.readings[i] = 30 + static_cast<int>(i);
  input.distances = {200, 200, 200};
  input.times = {45, 44, 46};
  return input;
}

TestZone Expected(Standard standard, const ZoneCalculatorInput& input) {
  const CorrectionTables tables = CorrectionTables::Defaults();
  return CalculateZone(CAlgorithm(standard, &tables), input);
}

TEST(CliZone, EveryStandardByIndexAndName) {
  const ZoneCalculatorInput input = DefaultInput();
  for (Standard standard : kAllStandards) {
    const std::string name = IndexOf(standard) % 2 == 0 ? std::to_string(IndexOf(standard))
                                                        : std::string(StandardDisplayName(standard));
    const ProcessResult run = RunCli({"zone", "--standard", name, "--readings", kReadings, "--distances",
                                      "200,200,200", "--times", "45,44,46"});
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    const auto zone = Expected(standard, input);
    EXPECT_TRUE(Contains(run.out, Field("strengthValue", zone.strengthValue))) << name << "\n" << run.out;
    EXPECT_TRUE(Contains(run.out, Field("zoneVelocity", zone.zoneVelocity))) << name;
    EXPECT_TRUE(Contains(run.out, Field("reboundValue", zone.reboundValue))) << name;
    EXPECT_TRUE(Contains(run.out, "\"standardIndex\": " + std::to_string(IndexOf(standard)))) << name;
  }
}

TEST(CliZone, PublishedExampleAndAllOptions) {
  // Va 4.5 from 225 mm over 50 us; R 35 typed: CECS 02:2005 crushed stone.
  const ProcessResult plain =
      RunCli({"zone", "--standard", "CECS 02:2005", "--readings", kReadings, "--distances", "225,225,225",
              "--times", "50,50,50", "--manual-r", "35"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(Contains(plain.out, "\"correctedRebound\": 35,")) << plain.out;
  EXPECT_TRUE(Contains(plain.out, "\"strengthValue\": 29.4")) << plain.out;
  EXPECT_TRUE(Contains(plain.out, "\"pointVelocity\": [\n    4.5,\n    4.5,\n    4.5\n  ]")) << plain.out;

  ZoneCalculatorInput input = DefaultInput();
  input.distances = {100, 150, 200, 250, 300, 350, 400};
  input.times = {30, 42, 55, 66, 79, 90, 103};
  input.testMethod = TestMethod::Surface;
  input.angle = -60;
  input.surface = Surface::Bottom;
  input.carbonationDepth = 0.5f;
  input.aggregateType = Aggregate::Custom;
  input.coefficients = {0.02f, 1.5f, 1.4f, -0.01f};
  input.beta = 0.95f;
  input.lambda = 1.02f;
  input.eta = 1.1f;
  input.deltaTot = 1.5f;
  input.pumped = true;
  for (Standard standard : {Standard::TB10426_2004, Standard::DB37T2361_2013, Standard::CECS02_2020}) {
    const ProcessResult run = RunCli({"zone",
                                      "--standard",
                                      std::to_string(IndexOf(standard)),
                                      "--readings",
                                      kReadings,
                                      "--distances",
                                      "100,150,200,250,300,350,400",
                                      "--times",
                                      "30,42,55,66,79,90,103",
                                      "--method",
                                      "1",
                                      "--angle",
                                      "-60",
                                      "--surface",
                                      "2",
                                      "--carbonation",
                                      "0.5",
                                      "--aggregate",
                                      "0",
                                      "--coefficients",
                                      "0.02,1.5,1.4,-0.01",
                                      "--beta",
                                      "0.95",
                                      "--lambda",
                                      "1.02",
                                      "--eta",
                                      "1.1",
                                      "--delta",
                                      "1.5",
                                      "--pumped"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto zone = Expected(standard, input);
    EXPECT_TRUE(Contains(run.out, Field("strengthValue", zone.strengthValue))) << standard << "\n" << run.out;
    EXPECT_TRUE(Contains(run.out, Field("correctedVelocity", zone.correctedVelocity))) << standard;
    EXPECT_TRUE(Contains(run.out, Field("angleCorrection", zone.angleCorrection))) << standard;
    EXPECT_TRUE(Contains(run.out, Field("surfaceCorrection", zone.surfaceCorrection))) << standard;
    EXPECT_TRUE(Contains(run.out, Shortest(zone.pointVelocity[6]) + "\n  ]")) << standard;
  }
}

TEST(CliEstimate, MembersAndBatch) {
  std::vector<std::string> args = {"estimate", "--standard", "CECS 02-2020"};
  args.insert(args.end(), {"--member", "24,25,29.5,31,31.5,31.5,31.5,32,32,32", "--member", "35,9.5,40"});
  const ProcessResult run = RunCli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "\"zoneCount\": 10")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"estimatedStrength\": 25.065")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"resultText\": \"25.1\"")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"stdDevStrength\": 3,")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"resultText\": \"<10.0MPa\"")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"batchResultFlag\": 2")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"resultText\": \"在如下条件下：\\r\\n1)平均值<25.0且标准差>4.5；"))
      << run.out;

  // TB: one member is never a valid batch.
  const ProcessResult tb = RunCli({"estimate", "--standard", "1", "--member", "30,31,32"});
  ASSERT_EQ(tb.status, 0) << tb.err;
  EXPECT_TRUE(Contains(tb.out, "\"estimatedStrength\": 30,")) << tb.out;
  EXPECT_TRUE(Contains(tb.out, "\"batchResultFlag\": 2")) << tb.out;
  EXPECT_TRUE(Contains(tb.out, "2)平均值>25.0且标准差>5.5；")) << tb.out;
}

TEST(CliCalculator, BadArgumentsExitTwoWithoutOutput) {
  const std::vector<std::string> zone = {"zone", "--standard", "0", "--readings", kReadings};
  struct Case {
    std::vector<std::string> extra;
    std::string named;
  };
  const Case cases[] = {
      {{"--distances", "200,200,200"}, "--times"},
      {{"--distances", "200,200", "--times", "45,44,46"}, "--times"},
      {{"--distances", "1,1,1,1,1,1,1,1", "--times", "1,1,1,1,1,1,1,1"}, "--distances"},
      {{"--distances", "200,x,200", "--times", "45,44,46"}, "--distances"},
      {{"--distances", "200", "--times", "45", "--method", "3"}, "--method"},
      {{"--distances", "200", "--times", "45", "--aggregate", "-1"}, "--aggregate"},
      {{"--distances", "200", "--times", "45", "--coefficients", "1,2,3"}, "--coefficients"},
      {{"--distances", "200", "--times", "45", "--angle", "4.5"}, "--angle"},
      {{"--distances", "200", "--times", "45", "--beta", "nan"}, "--beta"},
      {{"--distances", "200", "--times", "45", "--pumped=1"}, "--pumped"},
      {{"--distances", "200", "--times", "45", "--colour", "red"}, "--colour"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = zone;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ProcessResult run = RunCli(args);
    EXPECT_EQ(run.status, 2) << c.named;
    EXPECT_TRUE(run.out.empty()) << c.named << ": " << run.out;
    EXPECT_TRUE(Contains(run.err, c.named)) << c.named << ": " << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
  const std::vector<std::vector<std::string>> others = {
      {"zone", "--standard", "CECS 2005", "--readings", kReadings, "--distances", "1", "--times", "1"},
      {"zone", "--standard", "0", "--readings", "30,31", "--distances", "1", "--times", "1"},
      {"estimate", "--standard", "0"},
      {"estimate", "--standard", "0", "--member", "30,,31"},
      {"estimate", "--member", "30"},
  };
  const char* named[] = {"--standard", "--readings", "--member", "--member", "--standard"};
  for (std::size_t i = 0; i < others.size(); ++i) {
    const ProcessResult run = RunCli(others[i]);
    EXPECT_EQ(run.status, 2) << named[i];
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_TRUE(Contains(run.err, named[i])) << run.err;
  }
}

}  // namespace
}  // namespace korvane::testing
