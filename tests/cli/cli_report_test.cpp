#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "cli/cli_process.h"
#include "core/app/korvane_doc.h"
#include "core/app/settings_file.h"
#include "core/platform/path_text.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

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
  const TempDir folder("korvane-cli-report");
  const ProcessResult result = RunCli({"report", (folder / "missing.SHA").string(), "--pdf",
                                       (folder / "out.pdf").string(), "--bmp", (folder / "bmp").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "打开文件失败！ " + (folder / "missing.SHA").string() + "：No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
  EXPECT_FALSE(std::filesystem::exists(folder / "bmp"));
}

namespace fs = std::filesystem;

int CountPdfPages(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string pdf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  static const std::regex kPage(R"(/Type\s*/Page(?![s]))");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), kPage), std::sregex_iterator()));
}

// An example file, or empty when the examples are not there.
std::string Sample(const std::string& name) {
  const fs::path path = fs::path(KORVANE_SAMPLES_DIR) / name;
  return fs::exists(path) ? path.string() : std::string();
}

// Runs the tool with a settings folder of its own (no settings file unless
// the test writes one).
class CliReportFiles : public ::testing::Test {
 protected:
  const TempDir config_{"korvane-cli-report-config"};
  const ScopedEnv configEnv_{"KORVANE_CONFIG_DIR", PathToUtf8(config_.path()).c_str()};
};

TEST_F(CliReportFiles, BothReportsOfThreeMembersAsPdfAndBmp) {
  const std::string file = Sample("result-3members-cecs2005.SHA");
  if (file.empty()) GTEST_SKIP() << "example files not generated";
  const TempDir out("korvane-cli-report-both");
  const ProcessResult result = RunCli({"report", file, "--record-sheet", "--result-table", "--pdf",
                                       (out / "report.pdf").string(), "--bmp", (out / "bmp").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  // Members of 12, 7 and 4 zones: 2 + 1 + 1 pages per report.
  EXPECT_EQ(CountPdfPages(out / "report.pdf"), 8);
  for (const std::string prefix : {"record-", "result-"}) {
    for (int page = 1; page <= 4; ++page) {
      const fs::path bmp = out / "bmp" / (prefix + "00" + std::to_string(page) + ".bmp");
      ASSERT_TRUE(fs::exists(bmp)) << bmp;
      EXPECT_EQ(fs::file_size(bmp), 184862u);
      EXPECT_NE(result.out.find(bmp.string()), std::string::npos);
    }
  }
  EXPECT_FALSE(fs::exists(out / "bmp" / "record-005.bmp"));
}

TEST_F(CliReportFiles, DefaultChoiceIsTheRecordSheet) {
  const std::string file = Sample("result-7point-cecs2020.SHA");
  if (file.empty()) GTEST_SKIP() << "example files not generated";
  const TempDir out("korvane-cli-report-default");
  const ProcessResult result =
      RunCli({"report", file, "--pdf", (out / "r.pdf").string(), "--png", (out / "png").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(CountPdfPages(out / "r.pdf"), 2);
  EXPECT_TRUE(fs::exists(out / "png" / "record-002.png"));
  EXPECT_FALSE(fs::exists(out / "png" / "result-001.png"));
}

TEST_F(CliReportFiles, NothingChosenInTheSettings) {
  {
    CKorvaneDoc doc;
    doc.printSettings.printRecordSheet = 0;
    doc.printSettings.printResultTable = 0;
    if (!SaveSettings(doc, config_ / "korvane.ini")) GTEST_SKIP() << "settings file not available";
  }
  const TempDir out("korvane-cli-report-none");
  const ProcessResult result = RunCli({"report", "any.SHA", "--pdf", (out / "r.pdf").string()});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("请选择要打印的内容"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(out / "r.pdf"));

  // A report flag overrides the settings.
  const std::string file = Sample("result-7point-cecs2020.SHA");
  if (file.empty()) return;
  EXPECT_EQ(RunCli({"report", file, "--result-table", "--pdf", (out / "r.pdf").string()}).status, 0);
  EXPECT_EQ(CountPdfPages(out / "r.pdf"), 2);
}

TEST_F(CliReportFiles, UnwritableOutputsExitOne) {
  const std::string file = Sample("result-7point-cecs2020.SHA");
  if (file.empty()) GTEST_SKIP() << "example files not generated";
  const TempDir out("korvane-cli-report-unwritable");
  const fs::path pdf = out / "missing" / "r.pdf";
  const ProcessResult noFolder = RunCli({"report", file, "--pdf", pdf.string()});
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find(pdf.string()), std::string::npos) << noFolder.err;

  std::ofstream(out / "plain-file") << "x";
  const ProcessResult notAFolder = RunCli({"report", file, "--bmp", (out / "plain-file").string()});
  EXPECT_EQ(notAFolder.status, 1);
  EXPECT_FALSE(notAFolder.err.empty());
}

#else

TEST(CliReport, BuildWithoutTheRendererSaysSo) {
  const ProcessResult result = RunCli({"report", "x.SHA", "--pdf", "x.pdf"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.err,
      "korvane-cli report: this build cannot print reports: it has no report renderer (Qt). Use a build with "
      "KORVANE_BUILD_QT=ON\n");
}

#endif

}  // namespace
}  // namespace korvane::testing
