#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "core/app/korvane_doc.h"
#include "core/data/file_pair.h"
#include "core/platform/file_system.h"
#include "office/excel_export.h"
#include "office/office_test_support.h"
#include "office/word_report.h"
#include "support/external_tools.h"
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

// The entries of an office file by name, without the document properties,
// which hold the time of writing.
std::map<std::string, std::string> Content(const fs::path& path) {
  std::map<std::string, std::string> entries = ReadZip(path);
  entries.erase("docProps/core.xml");
  return entries;
}

// Every text in every cell of a workbook.
std::set<std::string> CellTexts(const fs::path& path) {
  std::set<std::string> texts;
  for (const XlsxSheet& sheet : ReadXlsx(path)) {
    for (const auto& [reference, cell] : sheet.cells) texts.insert(cell.value);
  }
  return texts;
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

// The program's message, exit status 1 and no file, for a file that cannot
// be opened and for one that cannot be read.
TEST(CliExport, UnreadableInputFailsWithoutWriting) {
  const TempDir dir("korvane-cli-export");
  std::ofstream(dir / "empty.SHA").flush();
  std::ofstream(dir / "empty.SHD").flush();
  // The stated message first, then the path and the system's reason.
  const std::pair<const char*, std::string> cases[] = {
      {"missing.SHA", "打开文件失败！ " + dir.File("missing.SHA") + "：No such file or directory\n"},
      {"empty.SHA", "文件为空! " + dir.File("empty.SHA") + "\n"}};
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    const ProcessResult result = RunCli({"export", dir.File(file), "--docx", dir.File("out.docx"), "--xlsx",
                                         dir.File("out.xlsx"), "--raw-xlsx", dir.File("raw.xlsx")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, message);
    EXPECT_EQ(result.out, "");
    for (const char* out : {"out.docx", "out.xlsx", "raw.xlsx"}) EXPECT_FALSE(fs::exists(dir / out)) << out;
  }
}

// For every example the tool writes exactly what the program's exporters
// write for the file opened and recomputed with both reports chosen, and
// says where.
TEST(CliExport, WritesWhatTheExportersWriteForEveryExample) {
  const std::vector<fs::path> samples = SampleFiles();
  if (samples.empty()) GTEST_SKIP() << "no example files in " << KORVANE_SAMPLES_DIR;
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.string());
    const TempDir dir("korvane-cli-export");
    const ProcessResult result =
        RunCli({"export", sample.string(), "--docx", dir.File("r.docx"), "--xlsx", dir.File("r.xlsx"),
                "--raw-xlsx", dir.File("raw.xlsx"), "--record-sheet", "--result-table"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "wrote " + dir.File("r.docx") + "\nwrote " + dir.File("r.xlsx") + "\nwrote " +
                              dir.File("raw.xlsx") + "\n");

    // The same settings file as the tool (the tests' settings folder).
    CKorvaneDoc doc(CKorvaneDoc::Settings::Load);
    doc.OnOpenDocument(sample);
    doc.RecomputeAll();
    doc.printSettings.printRecordSheet = 1;
    doc.printSettings.printResultTable = 1;
    office::WriteWordReport(doc, dir / "expected.docx");
    office::WriteResultsWorkbook(doc, dir / "expected.xlsx");
    office::WriteRawDataWorkbook(doc, dir / "expected-raw.xlsx");
    EXPECT_EQ(Content(dir / "r.docx"), Content(dir / "expected.docx"));
    EXPECT_EQ(Content(dir / "r.xlsx"), Content(dir / "expected.xlsx"));
    EXPECT_EQ(Content(dir / "raw.xlsx"), Content(dir / "expected-raw.xlsx"));
    // Every member has its block in the results workbook, under its name.
    const std::set<std::string> texts = CellTexts(dir / "r.xlsx");
    for (const Member& member : doc.members) {
      const std::string heading =
          "构件编号：" + std::to_string(member.sectionIndex + 1) + "        构件名称：" + member.name;
      EXPECT_TRUE(texts.count(heading)) << heading;
    }
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

// A workbook cut by a file-size limit (or a full disk) is a failure that
// names the file, and the workbook written before stays whole: the results
// and the raw data alike.
TEST(CliExport, AWorkbookCutShortIsAFailureAndTheOldOneStays) {
  const fs::path sample = fs::path(KORVANE_SAMPLES_DIR) / "result-3members-cecs2005.SHA";
  struct Case {
    const char* option;
    int limitKiB;  // below the workbook's size
  };
  for (const Case& c : {Case{"--xlsx", 4}, Case{"--raw-xlsx", 100}}) {
    SCOPED_TRACE(c.option);
    const TempDir dir("korvane-cli-export");
    const fs::path target = dir / "book.xlsx";
    ASSERT_EQ(RunCli({"export", sample.string(), c.option, target.string()}).status, 0);
    std::string before;
    ASSERT_FALSE(platform::ReadRegularFile(target, before));
    std::filesystem::path shell;
    KORVANE_NEED_PROGRAM(shell, "sh");  // its file-size limit cuts the workbook
    std::string output;
    const int status =
        RunCommand("cd " + ShellQuote(dir.path().string()) + " && trap '' XFSZ && ulimit -f " +
                       std::to_string(c.limitKiB) + " && " + ShellQuote(KORVANE_CLI_PATH) + " export " +
                       ShellQuote(sample.string()) + " " + c.option + " book.xlsx 2>&1",
                   output);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("无法写入文件 book.xlsx："), std::string::npos)
        << output;  // after the library's own lines
    std::string after;
    ASSERT_FALSE(platform::ReadRegularFile(target, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  }
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
