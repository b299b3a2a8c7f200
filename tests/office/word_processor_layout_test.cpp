// The Word report as a word processor lays it out: LibreOffice converts the
// .docx to PDF and pdftotext reads every page back. A record sheet longer
// than a page continues under its head and ends with its remark and
// signature rows beside its last zone; the result table's zone columns hold
// β and λ without breaking a number. Skipped when LibreOffice is absent.
#include <gtest/gtest.h>

#include "core/data/text_format.h"
#include "office/office_test_support.h"
#include "office/word_report.h"
#include "support/external_tools.h"

namespace korvane::testing {
namespace {

// Lays a .docx out with LibreOffice and returns the text of each page
// (pdftotext with the page layout kept, so that a table row reads as one
// line). Skips the test when LibreOffice is not installed.
class WordProcessorLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    soffice_ = FindProgram("soffice");
    if (soffice_.empty()) soffice_ = FindProgram("libreoffice");
    if (soffice_.empty())
      GTEST_SKIP() << "LibreOffice (soffice) is not installed: the .docx layout is not checked";
    KORVANE_NEED_PROGRAM(pdftotext_, "pdftotext");
  }

  std::vector<std::string> LaidOutPages(const std::filesystem::path& docx) {
    // A profile of its own: parallel test runs must not share one.
    const std::filesystem::path profile = dir_ / "lo-profile";
    std::string output;
    const std::string command = ShellQuote(soffice_.string()) + " -env:UserInstallation=file://" +
                                ShellQuote(profile.string()) + " --headless --convert-to pdf --outdir " +
                                ShellQuote(dir_.path().string()) + " " + ShellQuote(docx.string()) + " 2>&1";
    const int status = RunCommand(command, output);
    const std::filesystem::path pdf = dir_ / (docx.stem().string() + ".pdf");
    EXPECT_EQ(status, 0) << output;
    EXPECT_TRUE(std::filesystem::exists(pdf)) << output;
    std::string text;
    RunCommand(ShellQuote(pdftotext_.string()) + " -layout -enc UTF-8 " + ShellQuote(pdf.string()) +
                   " - 2>/dev/null",
               text);
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t feed = text.find('\f'); feed != std::string::npos; feed = text.find('\f', start)) {
      pages.push_back(WithoutBlanks(text.substr(start, feed - start)));
      start = feed + 1;
    }
    return pages;
  }

  TempDir dir_;
  std::filesystem::path soffice_;
  std::filesystem::path pdftotext_;
};

// The pages holding `text` (1-based).
std::vector<int> PagesWith(const std::vector<std::string>& pages, const std::string& text) {
  std::vector<int> found;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (pages[p].find(text) != std::string::npos) found.push_back(static_cast<int>(p) + 1);
  }
  return found;
}

TEST_F(WordProcessorLayout, EveryPageHasItsHeadAndEveryZoneItsValues) {
  auto doc = MakeExportDoc({14, 3});
  for (std::size_t m = 0; m < 2; ++m) {
    ZoneList& zones = doc->zoneLists[m];
    for (std::size_t z = 0; z < zones.size(); ++z) {
      zones[z].beta = 1.0f + 0.01f * static_cast<float>(z);
      zones[z].lambda = 0.95f + 0.01f * static_cast<float>(z);
      // The first reading of each of the zone's rows tells the zone apart.
      zones[z].rebound[0] = 70 + static_cast<int>(z + 20 * m);
      zones[z].rebound[8] = 40 + static_cast<int>(z + 20 * m);
    }
  }
  doc->printSettings.printResultTable = 1;
  const std::filesystem::path docx = dir_ / "report.docx";
  office::WriteWordReport(*doc, docx);
  const std::vector<std::string> pages = LaidOutPages(docx);
  if (HasFailure()) return;

  // Record sheet of member 1 (14 zones) on pages 1-2, member 2 on page 3,
  // result tables on pages 4-6.
  ASSERT_EQ(pages.size(), 6u);
  for (int p = 1; p <= 3; ++p) {
    SCOPED_TRACE("record page " + std::to_string(p));
    const std::string& page = pages[static_cast<std::size_t>(p - 1)];
    for (const char* head : {"工程名称", "工程甲", "构件名称", p < 3 ? "M1" : "M2", "测点回弹值", "测区"}) {
      EXPECT_NE(page.find(head), std::string::npos) << head;
    }
  }
  // Each zone's two reading rows, together on one page; the closing rows on
  // the page of the member's last zone.
  for (int m = 0; m < 2; ++m) {
    int lastZonePage = 0;
    for (int z = 0; z < doc->ZoneCount(m); ++z) {
      const TestZone& zone = *doc->Zone(m, z);
      std::string first;
      std::string second;
      for (std::size_t k = 0; k < 8; ++k) {
        first += FormatInt(zone.rebound[k]);
        second += FormatInt(zone.rebound[k + 8]);
      }
      const std::vector<int> on = PagesWith(pages, first);
      ASSERT_EQ(on.size(), 1u) << "member " << m + 1 << " zone " << z + 1 << ": " << first;
      EXPECT_NE(pages[static_cast<std::size_t>(on[0] - 1)].find(second), std::string::npos) << second;
      lastZonePage = on[0];
    }
    const std::string& last = pages[static_cast<std::size_t>(lastZonePage - 1)];
    EXPECT_NE(last.find("备注"), std::string::npos) << "member " << m + 1;
    EXPECT_NE(last.find("校核"), std::string::npos) << "member " << m + 1;
  }
  EXPECT_EQ(PagesWith(pages, "校核"), (std::vector<int>{2, 3}));

  // Result tables: β and λ whole, on two lines; every zone's fcu,i.
  for (int m = 0; m < 2; ++m) {
    for (int z = 0; z < doc->ZoneCount(m); ++z) {
      const TestZone& zone = *doc->Zone(m, z);
      const int page = m == 0 ? (z < 10 ? 4 : 5) : 6;
      const std::string& text = pages[static_cast<std::size_t>(page - 1)];
      const std::string where = "member " + std::to_string(m + 1) + " zone " + std::to_string(z + 1);
      EXPECT_NE(text.find("β=" + FormatFixed(zone.beta, 3)), std::string::npos) << where;
      EXPECT_NE(text.find("λ=" + FormatFixed(zone.lambda, 2)), std::string::npos) << where;
    }
  }
  for (int page = 4; page <= 6; ++page) {
    const std::string& text = pages[static_cast<std::size_t>(page - 1)];
    for (const char* head : {"工程名称", "计算项目", "强度修正系数η"})
      EXPECT_NE(text.find(head), std::string::npos);
  }
  EXPECT_EQ(PagesWith(pages, "构件推定值"), (std::vector<int>{5, 6}));
}

}  // namespace
}  // namespace korvane::testing
