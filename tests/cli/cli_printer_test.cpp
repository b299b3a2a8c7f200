// korvane-cli report --printer: the job reaches a real CUPS queue. The test
// starts the scheduler and adds its queue "KorvaneTestPDF" (a cups-pdf
// printer; KORVANE_TEST_PRINTER names another) with
// tests/support/test_printer_queue.sh, prints the reports of an example file
// to it and reads the PDF that cups-pdf wrote. Without a scheduler or the
// queue the test is skipped and says why.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/cli_process.h"
#include "support/external_tools.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

#ifdef KORVANE_WITH_QT

constexpr char kDefaultQueue[] = "KorvaneTestPDF";
// How long the queue may take to produce the PDF (filters, Ghostscript).
constexpr auto kQueueTimeout = std::chrono::seconds(120);

std::string Queue() {
  const char* name = std::getenv("KORVANE_TEST_PRINTER");
  return name != nullptr && *name != '\0' ? name : kDefaultQueue;
}

std::string Shell(const std::string& command) {
  std::string out;
  RunCommand(command + " 2>&1", out);
  return out;
}

// The value of `key` in a cups-pdf configuration file ("Out /path"), or
// empty.
std::string ConfigValue(const fs::path& file, const std::string& key) {
  std::ifstream in(file);
  std::string line;
  std::string value;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first;
    if (!(words >> first) || first != key) continue;
    std::getline(words >> std::ws, value);
  }
  return value;
}

// ${HOME} and ${USER} of the user whose job it is (this process's).
std::string ExpandUser(std::string text) {
  const passwd* user = getpwuid(getuid());
  const std::string home = user != nullptr ? user->pw_dir : "";
  const std::string name = user != nullptr ? user->pw_name : "";
  for (const auto& [variable, value] :
       {std::pair<std::string, std::string>{"${HOME}", home}, {"${USER}", name}}) {
    for (auto at = text.find(variable); at != std::string::npos; at = text.find(variable, at + value.size()))
      text.replace(at, variable.size(), value);
  }
  return text;
}

// Where cups-pdf writes this user's jobs of `queue`: the Out setting of the
// queue's own configuration (cups-pdf-<instance>.conf for a device URI
// "cups-pdf:/<instance>"), else of cups-pdf.conf, else its built-in
// /var/spool/cups-pdf/${USER}.
fs::path CupsPdfOutFolder(const std::string& queue) {
  const std::string device = Shell("lpstat -v " + ShellQuote(queue));
  std::smatch match;
  std::string out;
  static const std::regex kInstance(R"(cups-pdf:/([^\s/]+))");
  if (std::regex_search(device, match, kInstance)) {
    out = ConfigValue("/etc/cups/cups-pdf-" + match[1].str() + ".conf", "Out");
  }
  if (out.empty()) out = ConfigValue("/etc/cups/cups-pdf.conf", "Out");
  if (out.empty()) out = "/var/spool/cups-pdf/${USER}";
  return ExpandUser(out);
}

// The first PDF in `folder` whose name starts with `stem`; empty if none.
fs::path FindOutput(const fs::path& folder, const std::string& stem) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(stem, 0) == 0 && it->path().extension() == ".pdf") return it->path();
  }
  return {};
}

int PdfPages(const fs::path& pdf) {
  const std::string info = Shell("pdfinfo " + ShellQuote(pdf.string()));
  static const std::regex kPages(R"(Pages:\s+(\d+))");
  std::smatch match;
  return std::regex_search(info, match, kPages) ? std::stoi(match[1].str()) : 0;
}

TEST(CliPrinter, AMissingQueueIsAnError) {
  const std::string file = fs::path(KORVANE_SAMPLES_DIR) / "result-3members-cecs2005.SHA";
  const ProcessResult result = RunCli({"report", file, "--printer", "KorvaneNoSuchQueue"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "找不到打印机：KorvaneNoSuchQueue\n");
  EXPECT_TRUE(result.out.empty());
  // "--printer" needs no name, and a following option is not taken for one.
  EXPECT_EQ(RunCli({"report", "--printer", "--pdf", "x.pdf"}).status, 2);
}

TEST(CliPrinter, AJobReachesTheCupsQueue) {
  if (FindProgram("lpstat").empty())
    GTEST_SKIP() << "CUPS is not installed (no lpstat): printer test skipped";
  const std::string setup = Shell(ShellQuote(KORVANE_TEST_PRINTER_SETUP));
  if (Shell("lpstat -r").find("scheduler is running") == std::string::npos) {
    GTEST_SKIP() << "the CUPS scheduler is not running: printer test skipped\n" << setup;
  }
  const std::string queue = Queue();
  if (Shell("lpstat -p " + ShellQuote(queue)).find("printer " + queue) == std::string::npos) {
    GTEST_SKIP() << "no CUPS queue " << queue << ": printer test skipped\n" << setup;
  }
  if (FindProgram("pdfinfo").empty() || FindProgram("pdftotext").empty()) {
    GTEST_SKIP() << "poppler-utils are not installed: printer test skipped";
  }

  // A copy of the example under a name of this run: the job's title, which
  // cups-pdf gives the file it writes.
  const TempDir folder("korvane-cups");
  const std::string stem =
      "korvane-print-" + std::to_string(getpid()) + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000);
  const fs::path samples(KORVANE_SAMPLES_DIR);
  fs::copy_file(samples / "result-3members-cecs2005.SHA", folder / (stem + ".SHA"));
  fs::copy_file(samples / "result-3members-cecs2005.SHD", folder / (stem + ".SHD"));
  const fs::path out = CupsPdfOutFolder(queue);

  const ProcessResult result = RunCli({"report", (folder / (stem + ".SHA")).string(), "--record-sheet",
                                       "--result-table", "--printer", queue});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "printer " + queue + ": 8 pages\n");

  // The queue converts and writes in the background: wait for a complete
  // file (pdfinfo reads all its pages).
  fs::path pdf;
  int pages = 0;
  const auto deadline = std::chrono::steady_clock::now() + kQueueTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    pdf = FindOutput(out, stem);
    if (!pdf.empty() && (pages = PdfPages(pdf)) == 8) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  ASSERT_FALSE(pdf.empty()) << "no PDF named " << stem << "* in " << out << " after " << kQueueTimeout.count()
                            << " s; queue state:\n"
                            << Shell("lpstat -o " + ShellQuote(queue));
  EXPECT_EQ(pages, 8) << pdf;
  // Page 1 is the record sheet of the first member, with its head.
  const std::vector<std::string> texts = PdfPageTexts(FindProgram("pdftotext"), pdf);
  ASSERT_FALSE(texts.empty()) << pdf;
  const std::string first = WithoutBlanks(texts.front());
  for (const char* expected : {"现场记录表", "工程名称", "示例工程综合楼", "一层柱3"}) {
    EXPECT_NE(first.find(expected), std::string::npos) << expected << " not on page 1 of " << pdf;
  }
  std::error_code ignored;
  fs::remove(pdf, ignored);
}

#endif

}  // namespace
}  // namespace korvane::testing
