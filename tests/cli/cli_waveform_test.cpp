#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "core/wave/waveform_filter.h"

namespace korvane::testing {
namespace {

const std::string kSevenPoints =
    (std::filesystem::path(KORVANE_SAMPLES_DIR) / "result-7point-cecs2020.SHA").string();

// The integer array after every occurrence of "key": [ in a JSON text.
std::vector<std::vector<std::uint16_t>> ArraysOf(const std::string& json, const std::string& key) {
  std::vector<std::vector<std::uint16_t>> arrays;
  const std::string marker = "\"" + key + "\": [";
  for (std::size_t pos = json.find(marker); pos != std::string::npos; pos = json.find(marker, pos + 1)) {
    std::vector<std::uint16_t> values;
    std::size_t i = pos + marker.size();
    while (i < json.size() && json[i] != ']') {
      if (json[i] >= '0' && json[i] <= '9') {
        std::size_t end = i;
        const unsigned long value = std::stoul(json.substr(i), &end);
        values.push_back(static_cast<std::uint16_t>(value));
        i += end;
      } else {
        ++i;
      }
    }
    arrays.push_back(std::move(values));
  }
  return arrays;
}

TEST(CliWaveform, InvalidCornersGiveTheDialogsMessageAndStatusTwo) {
  struct Case {
    std::vector<std::string> filters;
    const char* caption;
  };
  const Case cases[] = {
      {{"--highpass", "25"}, "高通频率须为0.01～20 kHz之间的数"},
      {{"--highpass", "0.005"}, "高通频率须为0.01～20 kHz之间的数"},
      {{"--lowpass", "1.5"}, "低通频率须为2～500 kHz之间的数"},
      {{"--lowpass", "501"}, "低通频率须为2～500 kHz之间的数"},
      {{"--highpass", "15", "--lowpass", "10"}, "高通值必须小于低通值"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"waveform", "no-such-file.SHA", "--member", "0", "--zone", "0"};
    args.insert(args.end(), c.filters.begin(), c.filters.end());
    const ProcessResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << c.caption;
    EXPECT_NE(result.err.find(c.caption), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
  }
}

TEST(CliWaveform, BadArgumentsNameTheArgument) {
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  const Case cases[] = {
      {{"waveform", "f.SHA", "--zone", "0"}, "--member"},
      {{"waveform", "f.SHA", "--member", "0"}, "--zone"},
      {{"waveform", "f.SHA", "--member", "x", "--zone", "0"}, "--member"},
      {{"waveform", "f.SHA", "--member", "0", "--zone", "0", "--lowpass", "fifty"}, "--lowpass"},
      {{"waveform", "--member", "0", "--zone", "0"}, "FILE"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = RunCli(c.args);
    EXPECT_EQ(result.status, 2) << c.named;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
  }
}

TEST(CliWaveform, UnreadableFileIsAReadFailure) {
  const ProcessResult result = RunCli({"waveform", "/nonexistent/none.SHA", "--member", "0", "--zone", "0"});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.err.empty());
  EXPECT_TRUE(result.out.empty());
}

TEST(CliWaveform, SevenPointZoneIsFilteredInEveryPanel) {
  const ProcessResult result = RunCli(
      {"waveform", kSevenPoints, "--member", "1", "--zone", "3", "--highpass", "20", "--lowpass", "50"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"sampleInterval\": 0.4"), std::string::npos);
  const auto filtered = ArraysOf(result.out, "samples");
  const auto loaded = ArraysOf(result.out, "unfilteredSamples");
  ASSERT_EQ(filtered.size(), 7u);
  ASSERT_EQ(loaded.size(), 7u);
  for (std::size_t j = 0; j < 7; ++j) {
    ASSERT_EQ(loaded[j].size(), 512u);
    std::vector<std::uint16_t> expected(512);
    WaveformFilter(loaded[j].data(), expected.data(), 512, 0.4f, true, 20000.0f, true, 50000.0f);
    EXPECT_EQ(filtered[j], expected) << "point " << j;
    EXPECT_NE(filtered[j], loaded[j]) << "point " << j;
  }
}

TEST(CliWaveform, WithoutFiltersTheCodesAreAsLoaded) {
  const ProcessResult result = RunCli({"waveform", kSevenPoints, "--member", "0", "--zone", "0"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto filtered = ArraysOf(result.out, "samples");
  EXPECT_EQ(filtered.size(), 7u);
  EXPECT_EQ(filtered, ArraysOf(result.out, "unfilteredSamples"));
}

TEST(CliWaveform, CsvHasTimeAndEveryPointInMillivolts) {
  const ProcessResult result = RunCli({"waveform", kSevenPoints, "--member", "0", "--zone", "1", "--csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "time_us,point0_mV,point1_mV,point2_mV,point3_mV,point4_mV,point5_mV,point6_mV");
  int rows = 0;
  std::string last;
  while (std::getline(lines, line)) {
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 7) << line;
    if (rows == 1) {
      EXPECT_EQ(line.substr(0, 4), "0.4,");
    }
    last = line;
    ++rows;
  }
  EXPECT_EQ(rows, 512);
  // Sample 511: 511 x 0.4 us in single precision, written so that it reads back.
  EXPECT_EQ(std::stof(last.substr(0, last.find(','))), 511.0f * 0.4f);
}

TEST(CliWaveform, MemberAndZoneOutOfRange) {
  struct Case {
    const char* member;
    const char* zone;
    const char* named;
  };
  const Case cases[] = {
      {"2", "0", "--member 2"}, {"-1", "0", "--member -1"}, {"1", "4", "--zone 4"}, {"0", "-1", "--zone -1"}};
  for (const Case& c : cases) {
    const ProcessResult result = RunCli({"waveform", kSevenPoints, "--member", c.member, "--zone", c.zone});
    EXPECT_EQ(result.status, 2) << c.named;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace korvane::testing
