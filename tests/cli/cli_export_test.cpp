#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SampleFiles() {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(KORVANE_SAMPLES_DIR, error)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".SHA" || extension == ".SHT") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool IsZip(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  return in && magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
}

#ifdef KORVANE_WITH_OFFICE

TEST(CliExport, UsageErrors) {
  const ProcessResult none = RunCli({"export", "file.SHA"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("--docx"), std::string::npos) << none.err;

  const ProcessResult noFile = RunCli({"export", "--docx", "out.docx"});
  EXPECT_EQ(noFile.status, 2);
  const ProcessResult unknown = RunCli({"export", "file.SHA", "--pdf", "x.pdf"});
  EXPECT_EQ(unknown.status, 2);
}

TEST(CliExport, UnreadableInputFailsWithoutWriting) {
  const TempDir dir("korvane-cli-export");
  const ProcessResult result = RunCli({"export", dir.File("missing.SHA"), "--docx", dir.File("out.docx")});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.err.empty());
  EXPECT_FALSE(fs::exists(dir.File("out.docx")));
}

TEST(CliExport, WritesAllThreeFilesForEveryExample) {
  const std::vector<fs::path> samples = SampleFiles();
  if (samples.empty()) GTEST_SKIP() << "no example files in " << KORVANE_SAMPLES_DIR;
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.string());
    const TempDir dir("korvane-cli-export");
    const ProcessResult result =
        RunCli({"export", sample.string(), "--docx", dir.File("r.docx"), "--xlsx", dir.File("r.xlsx"),
                "--raw-xlsx", dir.File("raw.xlsx"), "--record-sheet", "--result-table"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(IsZip(dir.File("r.docx")));
    EXPECT_TRUE(IsZip(dir.File("r.xlsx")));
    EXPECT_TRUE(IsZip(dir.File("raw.xlsx")));
  }
}

TEST(CliExport, UnwritableOutputIsReportedWithStatusOne) {
  const std::vector<fs::path> samples = SampleFiles();
  if (samples.empty()) GTEST_SKIP() << "no example files in " << KORVANE_SAMPLES_DIR;
  const TempDir dir("korvane-cli-export");
  const std::string target = dir.File("no-such-folder/out.xlsx");
  const ProcessResult result = RunCli({"export", samples.front().string(), "--xlsx", target});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("out.xlsx"), std::string::npos) << result.err;
}

#else

TEST(CliExport, BuildWithoutTheOfficeWritersSaysSo) {
  const ProcessResult result = RunCli({"export", "x.SHA", "--docx", "x.docx"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "korvane-cli export: this build cannot write Word or Excel files: it has no office writers. Use "
            "a build "
            "with KORVANE_BUILD_OFFICE=ON\n");
}

#endif

}  // namespace
}  // namespace korvane::testing
