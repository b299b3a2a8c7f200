// korvane-cli pick on the example files, whose waveforms carry their
// recorded arrival exactly at the pulse's onset.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_process.h"

namespace korvane::testing {
namespace {

const std::string kSevenPoints =
    (std::filesystem::path(KORVANE_SAMPLES_DIR) / "result-7point-cecs2020.SHA").string();

// Every value that follows "key": in a JSON text, as written.
std::vector<std::string> ValuesOf(const std::string& json, const std::string& key) {
  std::vector<std::string> values;
  const std::string marker = "\"" + key + "\": ";
  for (std::size_t pos = json.find(marker); pos != std::string::npos; pos = json.find(marker, pos + 1)) {
    const std::size_t start = pos + marker.size();
    values.push_back(json.substr(start, json.find_first_of(",\n", start) - start));
  }
  return values;
}

TEST(CliPick, JsonProposesTheRecordedArrivalOfEveryPoint) {
  const ProcessResult result = RunCli({"pick", kSevenPoints, "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.err.empty()) << result.err;
  // Two members of 5 and 4 zones, 7 points each.
  EXPECT_EQ(ValuesOf(result.out, "memberIndex"), (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(ValuesOf(result.out, "name"), (std::vector<std::string>{"\"地下室墙1\"", "\"地下室墙2\""}));
  EXPECT_EQ(ValuesOf(result.out, "zoneIndex"),
            (std::vector<std::string>{"0", "1", "2", "3", "4", "0", "1", "2", "3"}));
  const std::vector<std::string> stored = ValuesOf(result.out, "storedArrival");
  ASSERT_EQ(stored.size(), 63u);
  EXPECT_EQ(ValuesOf(result.out, "proposedArrival"), stored);
  EXPECT_EQ(ValuesOf(result.out, "proposedTime"), ValuesOf(result.out, "storedTime"));
  EXPECT_EQ(ValuesOf(result.out, "confidence"), std::vector<std::string>(63, "1"));
  EXPECT_EQ(ValuesOf(result.out, "lowConfidence"), std::vector<std::string>(63, "false"));
  EXPECT_EQ(ValuesOf(result.out, "status"), std::vector<std::string>(63, "\"clear\""));
  EXPECT_EQ(ValuesOf(result.out, "snrDb").size(), 63u);
  EXPECT_EQ(ValuesOf(result.out, "noiseRms").size(), 63u);
}

TEST(CliPick, MemberAndZoneSelectOneZone) {
  const ProcessResult result = RunCli({"pick", kSevenPoints, "--member", "1", "--zone", "2", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ValuesOf(result.out, "memberIndex"), std::vector<std::string>{"1"});
  EXPECT_EQ(ValuesOf(result.out, "zoneIndex"), std::vector<std::string>{"2"});
  EXPECT_EQ(ValuesOf(result.out, "zoneNumber"), std::vector<std::string>{"3"});
  EXPECT_EQ(ValuesOf(result.out, "slot"), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6"}));
  // Point 0 of that zone: sample 56 at 0.4 us per sample, no delay.
  EXPECT_EQ(ValuesOf(result.out, "storedArrival").front(), "56");
  EXPECT_EQ(ValuesOf(result.out, "storedTime").front(), "22.4");
  EXPECT_EQ(ValuesOf(result.out, "proposedArrival").front(), "56");

  // The table: a header and one row per point, each unchanged.
  const ProcessResult table = RunCli({"pick", kSevenPoints, "--member", "1", "--zone", "2"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(
      table.out.rfind(
          "member 1: 地下室墙2\n  zone  point  stored   T(us)  proposed   T(us)  change  confidence\n", 0),
      0u)
      << table.out;
  EXPECT_NE(table.out.find("     2      0      56   22.40        56   22.40       0        1.00\n"),
            std::string::npos)
      << table.out;
  EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 2 + 7);
}

TEST(CliPick, TableFlagsPointsWithoutAProposal) {
  // A file recorded by an instrument with waveforms of a few samples only.
  const std::string recorded =
      (std::filesystem::path(KORVANE_TESTDATA_DIR) / "raw-recorded-by-instrument.SHT").string();
  const ProcessResult result = RunCli({"pick", recorded, "--member", "0", "--zone", "1"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "member 0: Pier 3\n"
            "  zone  point  stored   T(us)  proposed   T(us)  change  confidence\n"
            "     1      0       3    3.20         1    2.40      -2        0.00  low (too-short)\n"
            "     1      1       4    3.60         1    2.40      -3        0.00  low (too-short)\n"
            "     1      2       5    4.00         1    2.40      -4        0.00  low (too-short)\n");
}

TEST(CliPick, BadArgumentsAndUnreadableFiles) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{"pick"}, 2, "expected one file"},
      {{"pick", kSevenPoints, "--zone", "1"}, 2, "--zone needs --member"},
      {{"pick", kSevenPoints, "--member", "2"}, 2, "--member 2: out of range (the file has 2 members)"},
      {{"pick", kSevenPoints, "--member", "-1"}, 2, "--member -1: out of range"},
      {{"pick", kSevenPoints, "--member", "1", "--zone", "4"},
       2,
       "--zone 4: out of range (member 1 has 4 zones)"},
      {{"pick", kSevenPoints, "--member", "x"}, 2, "--member: not an integer: 'x'"},
      {{"pick", kSevenPoints, "--csv"}, 2, "unknown option --csv"},
      {{"pick", "no-such-file.SHA"}, 1, "打开文件失败！"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = RunCli(c.args);
    EXPECT_EQ(result.status, c.status) << c.message;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty()) << c.message;
  }
}

}  // namespace
}  // namespace korvane::testing
