#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_process.h"

namespace korvane::testing {
namespace {

#ifdef KORVANE_WITH_QT

TEST(CliReport, ArgumentsAreCheckedBeforeTheFileIsRead) {
  const std::vector<std::vector<std::string>> bad = {
      {"report", "x.SHA"},                               // no output
      {"report", "--pdf", "out.pdf"},                    // no file
      {"report", "a.SHA", "b.SHA", "--pdf", "out.pdf"},  // two files
      {"report", "x.SHA", "--pdf"},                      // missing value
      {"report", "x.SHA", "--svg", "out.svg"},           // unknown option
  };
  for (const auto& args : bad) {
    const ProcessResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << args.back() << "\n" << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  EXPECT_NE(RunCli({"report", "x.SHA"}).err.find("--pdf"), std::string::npos);
}

TEST(CliReport, UnreadableFileFailsWithoutWriting) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "korvane_cli_report";
  std::filesystem::remove_all(folder);
  const ProcessResult result = RunCli({"report", (folder / "missing.SHA").string(), "--pdf",
                                       (folder / "out.pdf").string(), "--bmp", (folder / "bmp").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.err.empty());
  EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
  EXPECT_FALSE(std::filesystem::exists(folder / "bmp"));
}

#endif

}  // namespace
}  // namespace korvane::testing
