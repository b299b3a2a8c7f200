// korvane-cli report on the three-member example, whose batch fails the
// batch test: the result table states it, gives every member's estimate and
// leaves the member rows out with --no-member-estimates.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_process.h"
#include "core/platform/path_text.h"
#include "support/external_tools.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

#ifdef KORVANE_WITH_QT

namespace fs = std::filesystem;

TEST(CliReportEstimates, MemberRowsAndTheInvalidBatchOnTheResultPages) {
  const fs::path sample = fs::path(KORVANE_SAMPLES_DIR) / "result-3members-cecs2005.SHA";
  if (!fs::exists(sample)) GTEST_SKIP() << "example files not generated";
  fs::path pdftotext;
  KORVANE_NEED_PROGRAM(pdftotext, "pdftotext");
  const korvane::testing::TempDir scratch("korvane-cli-estimates");
  const fs::path& folder = scratch.path();
  fs::create_directories(folder / "config");
  const ScopedEnv config("KORVANE_CONFIG_DIR", PathToUtf8(folder / "config").c_str());

  // Members of 12, 7 and 4 zones: result pages 1-2, 3 and 4. The figures
  // are those of `korvane-cli evaluate` for the example.
  const ProcessResult on =
      RunCli({"report", sample.string(), "--result-table", "--pdf", (folder / "on.pdf").string()});
  ASSERT_EQ(on.status, 0) << on.err;
  const std::vector<std::string> pages = PdfPageTexts(pdftotext, folder / "on.pdf");
  ASSERT_EQ(pages.size(), 4u);
  const std::vector<std::vector<std::string>> expected = {
      {},
      {"构件推定值", "（MPa）N=12", "Fmin=28.6MPa", "Mf=31.5MPa", "Sf=1.99MPa", "fcu,e=28.2MPa"},
      {"（MPa）N=7", "Fmin=21.1MPa", "Mf=24.4MPa", "Sf=1.94MPa", "fcu,e=21.1MPa"},
      {"（MPa）N=4", "Fmin=12.9MPa", "Mf=15.7MPa", "fcu,e=12.9MPa", "Mf=26.6MPa", "Sf=6.34MPa",
       "批推定值不成立，", "应按单个构件推定"}};
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const std::string text = WithoutBlanks(pages[p]);
    for (const std::string& piece : expected[p]) {
      EXPECT_NE(text.find(piece), std::string::npos) << "page " << p + 1 << ": " << piece;
    }
    EXPECT_EQ(text.find("构件推定值") != std::string::npos, p > 0) << "page " << p + 1;
    EXPECT_EQ(text.find("fcue<10MPa"), std::string::npos) << "page " << p + 1;
  }

  const ProcessResult off = RunCli({"report", sample.string(), "--result-table", "--no-member-estimates",
                                    "--pdf", (folder / "off.pdf").string()});
  ASSERT_EQ(off.status, 0) << off.err;
  const std::vector<std::string> fixed = PdfPageTexts(pdftotext, folder / "off.pdf");
  ASSERT_EQ(fixed.size(), 4u);
  for (const std::string& page : fixed) EXPECT_EQ(WithoutBlanks(page).find("构件推定值"), std::string::npos);
  EXPECT_NE(WithoutBlanks(fixed[3]).find("批推定值不成立，"), std::string::npos);
  fs::remove_all(folder);
}

#endif

}  // namespace
}  // namespace korvane::testing
