#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cli/cli_process.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device device;
    path_ = fs::temp_directory_path() / ("korvane-cli-export-" + std::to_string(device()));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

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
  ScratchDir dir;
  const ProcessResult result = RunCli({"export", dir / "missing.SHA", "--docx", dir / "out.docx"});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.err.empty());
  EXPECT_FALSE(fs::exists(dir / "out.docx"));
}

TEST(CliExport, WritesAllThreeFilesForEveryExample) {
  const std::vector<fs::path> samples = SampleFiles();
  if (samples.empty()) GTEST_SKIP() << "no example files in " << KORVANE_SAMPLES_DIR;
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.string());
    ScratchDir dir;
    const ProcessResult result =
        RunCli({"export", sample.string(), "--docx", dir / "r.docx", "--xlsx", dir / "r.xlsx", "--raw-xlsx",
                dir / "raw.xlsx", "--record-sheet", "--result-table"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(IsZip(dir / "r.docx"));
    EXPECT_TRUE(IsZip(dir / "r.xlsx"));
    EXPECT_TRUE(IsZip(dir / "raw.xlsx"));
  }
}

TEST(CliExport, UnwritableOutputIsReportedWithStatusOne) {
  const std::vector<fs::path> samples = SampleFiles();
  if (samples.empty()) GTEST_SKIP() << "no example files in " << KORVANE_SAMPLES_DIR;
  ScratchDir dir;
  const std::string target = dir / "no-such-folder/out.xlsx";
  const ProcessResult result = RunCli({"export", samples.front().string(), "--xlsx", target});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("out.xlsx"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace korvane::testing
