// The text layer of the report PDFs: what pdftotext (the text that search
// and copy see) extracts from every page must be the text drawn.
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/algorithm/algorithm.h"
#include "core/report/report_layout.h"
#include "core/report_sample_doc.h"
#include "render/report_renderer.h"
#include "support/external_tools.h"

namespace korvane::render {
namespace {

using korvane::testing::FindProgram;
using korvane::testing::MakeSampleDoc;
using korvane::testing::PdfPageTexts;
using korvane::testing::TextPieces;
using korvane::testing::WithoutBlanks;

// Three members, an invalid batch, and project texts holding the characters
// whose glyphs some CJK faces share with the Kangxi radicals (工 日 示 心 一
// 角 面 方 二 目 用), in every font role: labels and values (Arial), header
// (黑体), footer and page numbers (楷体_GB2312).
std::unique_ptr<CKorvaneDoc> SearchableDoc() {
  auto doc = MakeSampleDoc({3, 12, 4});
  doc->batchResultFlag = ResultFlag::BatchInvalid;
  doc->result = {0.0f, 26.6f, 6.34f};
  for (Member& member : doc->members) {
    member.minStrength = 30.0f;
    member.meanStrength = 31.0f;
    member.stdDevStrength = 1.0f;
    member.estimatedStrength = 30.0f;
    member.resultFlag = ResultFlag::Valid;
  }
  doc->members[1].name = "二层梁5";
  doc->reportInfo.projectName = "一号工程日用品仓库";
  doc->reportInfo.clientUnit = "示范方面目";
  doc->reportInfo.resultTableRemark = "心角";
  doc->zoneLists[2][1].testLocation = "顶面底面间";
  PrintSettings& settings = doc->printSettings;
  settings.printHeader = 1;
  settings.headerText = "工程检测报告";
  settings.headerFont = 1;
  settings.printFooter = 1;
  settings.footerText = "日期 二〇二二";
  settings.footerFont = 4;
  settings.printPageNumber = 1;
  settings.pageNumberPosition = 2;
  return doc;
}

TEST(RenderPdfText, EveryLabelAndValueOfEveryPageIsFoundInTheExtractedText) {
  std::filesystem::path pdftotext;
  KORVANE_NEED_PROGRAM(pdftotext, "pdftotext");

  auto doc = SearchableDoc();
  const std::filesystem::path pdf = std::filesystem::path(::testing::TempDir()) /
                                    ("korvane_searchable_" + std::to_string(getpid()) + ".pdf");
  const ReportChoice both{true, true};
  RenderJobToPdf(*doc, pdf, both);
  const std::vector<std::string> pages = PdfPageTexts(pdftotext, pdf);
  std::filesystem::remove(pdf);

  const std::vector<report::JobPage> job = BuildJob(*doc, both);
  ASSERT_EQ(pages.size(), job.size());
  ASSERT_EQ(job.size(), 8u);
  // The texts do not depend on the frame; any frame lists them.
  const report::PageFrame frame = report::CanvasPageFrame(doc->printSettings);
  for (std::size_t n = 0; n < job.size(); ++n) {
    const std::string extracted = WithoutBlanks(pages[n]);
    const report::PageDescription page = report::LayoutJobPage(ReportSourceOf(*doc), job[n], frame, true);
    int checked = 0;
    for (const report::TextItem& item : page.texts) {
      // Lines of a wrapped text, and parts of a line far apart, may come out
      // with other cells' text between them; each is one run.
      for (const std::string& line : TextPieces(item.text)) {
        EXPECT_TRUE(extracted.find(line) != std::string::npos)
            << "page " << n + 1 << ": \"" << line << "\" not in the extracted text";
        ++checked;
      }
    }
    EXPECT_GT(checked, 80) << "page " << n + 1;
  }
  EXPECT_NE(WithoutBlanks(pages[0]).find("工程名称"), std::string::npos);
  EXPECT_NE(WithoutBlanks(pages[7]).find("批推定值不成立，"), std::string::npos);
  // No Kangxi radical (U+2F00-U+2FDF, UTF-8 E2 BC 80 - E2 BF 9F) anywhere.
  for (const std::string& text : pages) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
      const auto lead = static_cast<unsigned char>(text[i]);
      const auto next = static_cast<unsigned char>(text[i + 1]);
      EXPECT_FALSE(lead == 0xE2 && next >= 0xBC && next <= 0xBF) << "radical at " << i;
    }
  }
}

// Long texts use the whole merged cell, then a second line in it, before
// they are cut: a long 施工单位 and 测试部位 print whole.
TEST(RenderPdfText, LongTextsTakeTheirWholeCellAndASecondLine) {
  std::filesystem::path pdftotext;
  KORVANE_NEED_PROGRAM(pdftotext, "pdftotext");
  auto doc = MakeSampleDoc({3});
  const std::string unit = "中国建筑第八工程局有限公司华东分公司第三项目部";
  const std::string location = "北侧墙面下部";
  doc->reportInfo.constructionUnit = unit;
  doc->zoneLists[0][0].testLocation = location;
  const std::filesystem::path pdf =
      std::filesystem::path(::testing::TempDir()) / ("korvane_long_" + std::to_string(getpid()) + ".pdf");
  RenderJobToPdf(*doc, pdf, ReportChoice{true, true});
  const std::vector<std::string> pages = PdfPageTexts(pdftotext, pdf);
  std::filesystem::remove(pdf);
  ASSERT_EQ(pages.size(), 2u);
  for (const std::string& page : pages) EXPECT_EQ(page.find("…"), std::string::npos);
  // Record sheet: the location, split over two lines of its cell.
  const std::string sheet = WithoutBlanks(pages[0]);
  EXPECT_NE(sheet.find("北侧"), std::string::npos);
  EXPECT_NE(sheet.find("下部"), std::string::npos);
  // Result table: the unit whole, on one or two lines.
  const std::string table = WithoutBlanks(pages[1]);
  EXPECT_NE(table.find("中国建筑第八工程局"), std::string::npos);
  EXPECT_NE(table.find("第三项目部"), std::string::npos);
}

}  // namespace
}  // namespace korvane::render
