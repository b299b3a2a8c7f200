#include "office/word_report.h"

#include <gtest/gtest.h>

#include "core/algorithm/algorithm.h"
#include "core/error.h"
#include "office/office_test_support.h"

namespace korvane::testing {
namespace {

using office::WriteWordReport;

// The parts of a written report, parsed.
struct WrittenReport {
  std::map<std::string, std::string> entries;
  std::unique_ptr<XmlPart> document;
  std::vector<DocxTable> tables;

  xmlNode* body() const { return Children(document->root(), "body").front(); }
  xmlNode* sectPr() const { return Children(body(), "sectPr").front(); }
};

WrittenReport WriteAndRead(const CKorvaneDoc& doc, const TempDir& dir, const std::string& name = "report.docx") {
  const std::filesystem::path path = dir / name;
  WriteWordReport(doc, path);
  WrittenReport report;
  report.entries = ReadPackage(path);
  EXPECT_EQ(report.entries.count("[Content_Types].xml"), 1u);
  EXPECT_EQ(report.entries.count("_rels/.rels"), 1u);
  report.document = std::make_unique<XmlPart>(report.entries["word/document.xml"], "document.xml");
  report.tables = ReadDocxTables(report.document->root());
  return report;
}

// Standard that counts ten rebound readings per zone.
class TenReadingAlgorithm : public CAlgorithm {
 public:
  int ReadingCount() const override { return 10; }
};

TEST(WordReportUnits, MillimetresFontSizesAndRomanNumbers) {
  const std::pair<int, int> twips[] = {{0, 0}, {5, 284}, {15, 851}, {20, 1134}, {100, 5671}};
  for (const auto& [mm, expected] : twips) EXPECT_EQ(office::MillimetresToTwips(mm), expected) << mm << " mm";

  // x = h / 0.3527 / 3.8; the nearer of ⌊x⌋ and ⌊x⌋ + 0.5, at least 5.
  const std::pair<int, double> sizes[] = {{0, 14.0}, {5, 5.0}, {8, 5.5}, {10, 7.5}, {15, 11.0}, {20, 14.5}, {-3, 5.0}};
  for (const auto& [mm, expected] : sizes) EXPECT_DOUBLE_EQ(office::FontSizeForHeight(mm), expected) << mm << " mm";

  const std::pair<int, const char*> roman[] = {{1, "I"}, {4, "IV"}, {9, "IX"}, {14, "XIV"}, {1000, "M"}, {1001, ""}, {0, ""}};
  for (const auto& [n, expected] : roman) EXPECT_EQ(office::RomanNumeral(n), expected) << n;
}

TEST(WordReportRecordSheet, FourZoneMemberHasThirtyThreeRowsWithTheSheetsMerges) {
  TempDir dir;
  auto doc = MakeDocument({4});
  doc->zoneLists[0][1]->testLocation = "顶面底面间";
  doc->zoneLists[0][2]->points[2].reset();  // a zone with 2 of its 3 points
  const WrittenReport report = WriteAndRead(*doc, dir);

  // Title first: "现场记录表", centred, 16 pt bold.
  xmlNode* title = Children(report.body(), "p").front();
  EXPECT_EQ(DocxText(title), "现场记录表");
  EXPECT_EQ(Attr(FirstDescendant(title, "jc"), "val"), "center");
  EXPECT_NE(FirstDescendant(FirstDescendant(title, "r"), "b"), nullptr);
  EXPECT_EQ(Attr(FirstDescendant(FirstDescendant(title, "r"), "sz"), "val"), "32");

  ASSERT_EQ(report.tables.size(), 1u);
  const DocxTable& t = report.tables[0];
  EXPECT_EQ(t.gridColumns, 17);
  ASSERT_EQ(t.rows.size(), 33u);  // 2 × 10 + 13
  for (const DocxRow& row : t.rows) {
    EXPECT_EQ(row.height, 397);
    EXPECT_EQ(row.heightRule, "atLeast");
    int columns = 0;
    for (const DocxCell& cell : row.cells) {
      columns += cell.gridSpan;
      EXPECT_TRUE(cell.verticallyCentred);
    }
    EXPECT_EQ(columns, 17);
  }
  // Fonts of the cells: Times New Roman with 宋体, 10 pt.
  xmlNode* fonts = FirstDescendant(t.node, "rFonts");
  EXPECT_EQ(Attr(fonts, "ascii"), "Times New Roman");
  EXPECT_EQ(Attr(fonts, "eastAsia"), "宋体");
  EXPECT_EQ(Attr(FirstDescendant(t.node, "sz"), "val"), "20");

  // Head.
  const std::tuple<int, int, const char*> head[] = {
      {1, 1, "工程名称"}, {1, 4, "工程甲"},     {2, 4, "检测单位乙"}, {3, 4, "施工单位丙"},
      {4, 1, "委托单位"}, {4, 4, "委托单位丁"}, {4, 10, "委托编号"},  {4, 13, "WT-001"},
      {5, 4, "2022-1-2"}, {5, 10, "检测日期"}, {5, 13, "2022-3-5"}, {6, 1, "构件名称"},
      {6, 4, "M1"},       {6, 13, "C30"},       {7, 4, "CECS 02：2005"}, {7, 13, "JC-7"},
      {8, 1, "仪器型号与编号"}, {8, 4, "VKT-U5     SN42"}};
  for (const auto& [r, c, text] : head) EXPECT_EQ(t.TextAt(r, c), text) << "row " << r << " col " << c;
  EXPECT_EQ(t.At(1, 1)->gridSpan, 3);
  EXPECT_EQ(t.At(1, 4)->gridSpan, 14);
  EXPECT_EQ(t.At(4, 4)->gridSpan, 6);
  EXPECT_EQ(t.At(4, 10)->gridSpan, 3);
  EXPECT_EQ(t.At(4, 13)->gridSpan, 5);

  // Table head.
  EXPECT_EQ(t.TextAt(9, 1), "构件编号");
  EXPECT_EQ(t.RowSpanAt(9, 1), 2);
  EXPECT_EQ(t.TextAt(9, 2), "测区");
  EXPECT_EQ(t.TextAt(9, 3), "测点回弹值");
  EXPECT_EQ(t.At(9, 3)->gridSpan, 8);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(t.TextAt(10, 2 + k), std::to_string(k));
  EXPECT_EQ(t.TextAt(9, 11), "测试角度");
  EXPECT_EQ(t.TextAt(9, 12), "测试面");
  EXPECT_EQ(t.TextAt(9, 13), "测点测距\n/声时\nli/ti");
  EXPECT_EQ(t.At(9, 13)->gridSpan, 3);
  EXPECT_EQ(t.TextAt(10, 13), "1");
  EXPECT_EQ(t.TextAt(10, 15), "3");
  EXPECT_EQ(t.TextAt(9, 16), "测试方式");
  EXPECT_EQ(t.TextAt(9, 17), "测试部位");

  // Member number once over all ten zone slots; zone 1 in rows 11-12.
  EXPECT_EQ(t.TextAt(11, 1), "1");
  EXPECT_EQ(t.RowSpanAt(11, 1), 20);
  EXPECT_EQ(t.TextAt(11, 2), "1");
  EXPECT_EQ(t.RowSpanAt(11, 2), 2);
  EXPECT_EQ(t.TextAt(11, 3), "20");   // reading 1
  EXPECT_EQ(t.TextAt(11, 10), "27");  // reading 8
  EXPECT_EQ(t.TextAt(12, 3), "28");   // reading 9
  EXPECT_EQ(t.TextAt(12, 10), "35");  // reading 16
  EXPECT_EQ(t.TextAt(11, 11), "90");
  EXPECT_EQ(t.TextAt(11, 12), "侧面");
  EXPECT_EQ(t.TextAt(11, 13), "200");
  EXPECT_EQ(t.TextAt(12, 13), "50.2");  // 50.25 is a tie: rounds to even, as printf does
  EXPECT_EQ(t.TextAt(11, 15), "220");
  EXPECT_EQ(t.TextAt(12, 15), "52.2");
  EXPECT_EQ(t.TextAt(11, 16), "平测");
  EXPECT_EQ(t.TextAt(11, 17), "侧面");
  EXPECT_EQ(t.RowSpanAt(11, 17), 2);
  // Zone 2: surface "顶面", shortened location; zone 3 lacks its third point.
  EXPECT_EQ(t.TextAt(13, 12), "顶面");
  EXPECT_EQ(t.TextAt(13, 17), "顶底间");
  EXPECT_EQ(t.TextAt(15, 12), "底面");
  EXPECT_EQ(t.TextAt(15, 14), "212");
  EXPECT_EQ(t.TextAt(15, 15), "");
  EXPECT_EQ(t.TextAt(16, 15), "");
  // Zone rows 5-10 (rows 19-30) carry no text except the member number.
  for (int r = 19; r <= 30; ++r) {
    for (int c = 2; c <= 17; ++c) EXPECT_EQ(t.TextAt(r, c), "") << "row " << r << " col " << c;
  }

  // Foot.
  EXPECT_EQ(t.TextAt(31, 1), "备注");
  EXPECT_EQ(t.RowSpanAt(31, 1), 2);
  EXPECT_EQ(t.TextAt(31, 2), "记录备注");
  EXPECT_EQ(t.At(31, 2)->gridSpan, 16);
  EXPECT_EQ(t.TextAt(33, 1), "校核");
  EXPECT_EQ(t.At(33, 1)->gridSpan, 2);
  EXPECT_EQ(t.TextAt(33, 7), "计算");
  EXPECT_EQ(t.TextAt(33, 13), "检测");
  EXPECT_EQ(t.TextAt(33, 3), "");
}

TEST(WordReportRecordSheet, ColumnsAndPointBlockFollowPointsAndStandard) {
  struct Case {
    const char* name;
    int points;
    int currentZonePoints;  // points of the document's current zone
    bool tenReadings;
    int columns;
    bool velocity;
  };
  const Case cases[] = {
      {"three points", 3, 3, false, 17, false},
      {"four points", 4, 4, false, 18, false},
      {"seven points: velocity form", 7, 7, false, 18, true},
      {"ten readings", 3, 3, true, 14, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    auto doc = MakeDocument({12}, c.points);
    doc->zoneLists[0][0]->pointCount = c.currentZonePoints;
    if (c.tenReadings) doc->algorithm = std::make_unique<TenReadingAlgorithm>();
    const WrittenReport report = WriteAndRead(*doc, dir);
    ASSERT_EQ(report.tables.size(), 1u);
    const DocxTable& t = report.tables[0];
    EXPECT_EQ(t.gridColumns, c.columns);
    EXPECT_EQ(t.rows.size(), 37u);  // 2 × 12 + 13
    const int readingColumns = c.tenReadings ? 5 : 8;
    const int block = 5 + readingColumns;
    EXPECT_EQ(t.TextAt(9, 1), c.tenReadings ? "构件编号 " : "构件编号");
    EXPECT_EQ(t.At(9, 3)->gridSpan, readingColumns);
    EXPECT_EQ(t.TextAt(11, 3), "20");
    EXPECT_EQ(t.TextAt(12, 3), std::to_string(20 + readingColumns));
    EXPECT_EQ(t.TextAt(11, 2 + readingColumns), std::to_string(19 + readingColumns));
    EXPECT_EQ(t.TextAt(9, c.columns - 1), "测试方式");
    EXPECT_EQ(t.TextAt(9, c.columns), "测试部位");
    EXPECT_EQ(t.At(9, block)->gridSpan, c.columns - 2 - block + 1);
    if (c.velocity) {
      EXPECT_EQ(t.TextAt(9, block), "修正后声速\n代表值\n(km/s)");
      EXPECT_EQ(t.RowSpanAt(9, block), 2);
      EXPECT_EQ(t.TextAt(11, block), "4.234");  // 4.2345f is 4.23449993…
      EXPECT_EQ(t.RowSpanAt(11, block), 2);
      EXPECT_EQ(t.TextAt(33, block), "4.234");  // zone 12
    } else {
      EXPECT_EQ(t.TextAt(9, block), "测点测距\n/声时\nli/ti");
      EXPECT_EQ(t.TextAt(10, block + c.points - 1), std::to_string(c.points));
      EXPECT_EQ(t.TextAt(12, block + c.points - 1), std::to_string(50 + c.points - 1) + ".2");
    }
    // The head's right-hand value reaches the last column in every form.
    EXPECT_EQ(t.At(4, 13)->gridSpan, c.columns - 12);
    EXPECT_EQ(t.TextAt(33, 2), "12");
  }
}

}  // namespace
}  // namespace korvane::testing
