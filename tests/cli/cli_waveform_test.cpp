#include <gtest/gtest.h>

#include "cli/cli_process.h"

namespace korvane::testing {
namespace {

TEST(CliWaveform, InvalidCornersGiveTheDialogCaptionAndStatusTwo) {
  struct Case {
    std::vector<std::string> filters;
    const char* caption;
  };
  const Case cases[] = {
      {{"--highpass", "25"}, "高通范围为0.01-20kHz"},
      {{"--highpass", "0.005"}, "高通范围为0.01-20kHz"},
      {{"--lowpass", "1.5"}, "低通范围为2-500kHz"},
      {{"--lowpass", "501"}, "低通范围为2-500kHz"},
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

}  // namespace
}  // namespace korvane::testing
