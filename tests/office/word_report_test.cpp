#include "office/word_report.h"

#include <gtest/gtest.h>

#include "core/algorithm/algorithm.h"
#include "core/platform/error.h"
#include "core/standards/standards.h"
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

WrittenReport WriteAndRead(const CKorvaneDoc& doc, const TempDir& dir,
                           const std::string& name = "report.docx", const ReportOptions& options = {}) {
  const std::filesystem::path path = dir / name;
  WriteWordReport(doc, path, options);
  WrittenReport report;
  report.entries = ReadPackage(path);
  EXPECT_EQ(report.entries.count("[Content_Types].xml"), 1u);
  EXPECT_EQ(report.entries.count("_rels/.rels"), 1u);
  report.document = std::make_unique<XmlPart>(report.entries["word/document.xml"], "document.xml");
  report.tables = ReadDocxTables(report.document->root());
  return report;
}

TEST(WordReportUnits, MillimetresFontSizesAndRomanNumbers) {
  const std::pair<int, int> twips[] = {{0, 0}, {5, 284}, {15, 851}, {20, 1134}, {100, 5671}};
  for (const auto& [mm, expected] : twips) EXPECT_EQ(office::MillimetresToTwips(mm), expected) << mm << " mm";

  // x = h / 0.3527 / 3.8; the nearer of ⌊x⌋ and ⌊x⌋ + 0.5, at least 9.
  const std::pair<int, double> sizes[] = {{0, 14.0}, {5, 9.0},   {8, 9.0},   {10, 9.0},
                                          {13, 9.5}, {15, 11.0}, {20, 14.5}, {-3, 9.0}};
  for (const auto& [mm, expected] : sizes)
    EXPECT_DOUBLE_EQ(office::FontSizeForHeight(mm), expected) << mm << " mm";

  const std::pair<int, const char*> roman[] = {{1, "I"},    {4, "IV"},  {9, "IX"}, {14, "XIV"},
                                               {1000, "M"}, {1001, ""}, {0, ""}};
  for (const auto& [n, expected] : roman) EXPECT_EQ(office::RomanNumeral(n), expected) << n;
}

TEST(WordReportRecordSheet, FourZoneMemberHasThirtyThreeRowsWithTheSheetsMerges) {
  TempDir dir;
  auto doc = MakeExportDoc({4});
  doc->zoneLists[0][1].testLocation = "顶面底面间";
  doc->zoneLists[0][2].points[2].reset();  // a zone with 2 of its 3 points
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
      {1, 1, "工程名称"},   {1, 4, "工程甲"},         {2, 4, "检测单位乙"},
      {3, 4, "施工单位丙"}, {4, 1, "委托单位"},       {4, 4, "委托单位丁"},
      {4, 10, "委托编号"},  {4, 13, "WT-001"},        {5, 4, "2022-1-2"},
      {5, 10, "检测日期"},  {5, 13, "2022-3-5"},      {6, 1, "构件名称"},
      {6, 4, "M1"},         {6, 13, "C30"},           {7, 4, "CECS 02：2005"},
      {7, 13, "JC-7"},      {8, 1, "仪器型号与编号"}, {8, 4, "VKT-U5     SN42"}};
  for (const auto& [r, c, text] : head) EXPECT_EQ(t.TextAt(r, c), text) << "row " << r << " col " << c;
  EXPECT_EQ(t.At(1, 1)->gridSpan, 3);
  EXPECT_EQ(t.At(1, 4)->gridSpan, 14);
  EXPECT_EQ(t.At(4, 4)->gridSpan, 6);
  EXPECT_EQ(t.At(4, 10)->gridSpan, 3);
  EXPECT_EQ(t.At(4, 13)->gridSpan, 5);

  // Table head.
  ExpectCells(t, {
                     {9, 1, "构件编号", 0, 2},
                     {9, 2, "测区"},
                     {9, 3, "测点回弹值", 8},
                 });
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(t.TextAt(10, 2 + k), std::to_string(k));
  ExpectCells(t, {
                     {9, 11, "测试角度"},
                     {9, 12, "测试面"},
                     {9, 13, "测点测距\n/声时\nli/ti", 3},
                     {10, 13, "1"},
                     {10, 15, "3"},
                     {9, 16, "测试方式"},
                     {9, 17, "测试部位"},
                 });

  // Member number once, in the middle of the ten zone slots, whose cells
  // have no borders between them; zone 1 in rows 11-12.
  for (int row = 11; row <= 29; row += 2) {
    EXPECT_EQ(t.TextAt(row, 1), row == 19 ? "1" : "") << row;
    EXPECT_EQ(t.RowSpanAt(row, 1), 2);
    xmlNode* borders = FirstDescendant(t.At(row, 1)->node, "tcBorders");
    ASSERT_NE(borders, nullptr);
    EXPECT_EQ(Children(borders, "top").size(), row > 11 ? 1u : 0u);
    EXPECT_EQ(Children(borders, "bottom").size(), row < 29 ? 1u : 0u);
  }
  ExpectCells(t, {
                     {11, 2, "1", 0, 2},
                     {11, 3, "20"},   // reading 1
                     {11, 10, "27"},  // reading 8
                     {12, 3, "28"},   // reading 9
                     {12, 10, "35"},  // reading 16
                     {11, 11, "90"},
                     {11, 12, "侧面"},
                     {11, 13, "200"},
                     {12, 13, "50.2"},  // 50.25 is a tie: rounds to even, as printf does
                     {11, 15, "220"},
                     {12, 15, "52.2"},
                     {11, 16, "平测"},
                     {11, 17, "侧面", 0, 2},
                 });
  // Zone 2: surface "顶面", shortened location; zone 3 lacks its third point.
  ExpectCells(t, {
                     {13, 12, "顶面"},
                     {13, 17, "顶底间"},
                     {15, 12, "底面"},
                     {15, 14, "212"},
                     {15, 15, ""},
                     {16, 15, ""},
                 });
  // Zone rows 5-10 (rows 19-30) carry no text except the member number.
  for (int r = 19; r <= 30; ++r) {
    for (int c = 2; c <= 17; ++c) EXPECT_EQ(t.TextAt(r, c), "") << "row " << r << " col " << c;
  }

  // Foot.
  ExpectCells(t, {
                     {31, 1, "备注", 0, 2},
                     {31, 2, "记录备注", 16},
                     {33, 1, "校核", 2},
                     {33, 7, "计算"},
                     {33, 13, "检测"},
                     {33, 3, ""},
                 });
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
      {"ten readings (CECS 02-2020)", 3, 3, true, 14, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    auto doc = MakeExportDoc({12}, c.points);
    doc->zoneLists[0][0].pointCount = c.currentZonePoints;
    // CECS 02-2020 counts ten rebound readings per zone.
    if (c.tenReadings) doc->algorithm = CAlgorithm(Standard::CECS02_2020, &doc->tables);
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

TEST(WordReportResultTable, OneTablePerPageOfTenZonesAndTheSummaryOnTheLastPage) {
  TempDir dir;
  auto doc = MakeExportDoc({3, 23});
  doc->printSettings.printRecordSheet = 0;
  doc->printSettings.printResultTable = 1;
  doc->zoneLists[0][1].eta = 0.9f;
  doc->zoneLists[1][21].eta = 0.9f;
  const WrittenReport report = WriteAndRead(*doc, dir, "report.docx", ReportOptions{false});

  EXPECT_EQ(DocxText(Children(report.body(), "p").front()), "结果数据表");
  ASSERT_EQ(report.tables.size(), 4u);  // 1 page + 3 pages
  const std::size_t rows[] = {21, 21, 21, 24};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(report.tables[i].gridColumns, 12);
    EXPECT_EQ(report.tables[i].rows.size(), rows[i]) << "table " << i;
  }

  const DocxTable& first = report.tables[0];
  const std::tuple<int, int, const char*> head[] = {
      {1, 1, "工程名称"},
      {1, 3, "工程甲"},
      {4, 1, "委托单位"},
      {4, 3, "委托单位丁"},
      {4, 7, "委托编号"},
      {4, 9, "WT-001"},
      {5, 1, "检测龄期"},
      {5, 3, "28天"},
      {5, 7, "检测日期"},
      {6, 3, "C30"},
      {6, 7, "报告日期"},
      {6, 9, "2022-3-9"},
      {7, 1, "构件名称"},
      {7, 3, "M1"},
      {7, 7, "检测依据"},
      {8, 1, "仪器型号与编号"},
      {8, 3, "VKT-U5      SN42"},  // six blanks: not the last member
      {9, 1, "构件编号"},
      {9, 3, "1"},
      {10, 1, "计算项目"},
      {10, 3, "测       区"},
      {11, 3, "1"},
      {11, 12, "10"},
      {12, 1, "回弹值"},
      {12, 2, "测区\n代表值"},
      {16, 2, "浇筑面\n修正后"},
      {17, 1, "声速值\n（km\n/s）"},
      {18, 2, "修正系数\nβ、λ"},
      {19, 2, "修正后\n的值"},
      {20, 1, "强度修正系数η"},
      {21, 1, "测区强度换算值\n（MPa）"}};
  for (const auto& [r, c, text] : head) EXPECT_EQ(first.TextAt(r, c), text) << "row " << r << " col " << c;
  EXPECT_EQ(first.RowSpanAt(10, 1), 2);
  EXPECT_EQ(first.At(10, 3)->gridSpan, 10);
  EXPECT_EQ(first.RowSpanAt(12, 1), 5);
  EXPECT_EQ(first.RowSpanAt(17, 1), 3);

  // Zone 2 of member 1: Rm 35.5, corrections -1.5 and 0.75.
  const std::pair<int, const char*> zone2[] = {{12, "35.5"},
                                               {13, "-1.5"},
                                               {14, "34.0"},
                                               {15, "0.8"},
                                               {16, "34.8"},
                                               {17, "4.123"},
                                               {18, "β=1.000\nλ=1.00"},
                                               {19, "4.234"},
                                               {20, "0.90"},
                                               {21, "31.0"}};
  for (const auto& [r, text] : zone2) EXPECT_EQ(first.TextAt(r, 4), text) << "row " << r;
  // Columns past the member's three zones stay empty.
  for (int r = 12; r <= 21; ++r) EXPECT_EQ(first.TextAt(r, 6), "") << "row " << r;

  // Member 2, page 3: zone numbers 21-30, values in three columns, each
  // zone's own η, then the summary rows.
  const DocxTable& last = report.tables[3];
  ExpectCells(last, {
                        {8, 3, "VKT-U5       SN42"},  // seven blanks on the last member
                        {11, 3, "21"},
                        {11, 12, "30"},
                        {21, 3, "50.0"},
                        {21, 5, "52.0"},
                        {21, 6, ""},
                        {20, 3, "1.00"},
                        {20, 4, "0.90"},
                        {22, 1, "强度推定值\n(MPa)N=2"},
                        {22, 3, "Mf=31.2MPa"},  // 31.25 is a tie: rounds to even
                        {22, 6, "Sf=2.50MPa"},
                        {22, 9, "fcue =25.1MPa"},
                        {23, 1, "使用的测区\n强度换算表"},
                        {23, 3, "规程"},
                        {23, 6, "备注："},
                        {23, 8, "结果备注"},
                        {24, 1, "复核"},
                        {24, 6, "计算"},
                        {24, 9, "检测"},
                    });
  int columns = 0;
  for (const DocxCell& cell : last.rows[21].cells) columns += cell.gridSpan;
  EXPECT_EQ(columns, 12);

  // Page breaks separate the tables.
  int pageBreaks = 0;
  for (xmlNode* br : Descendants(report.body(), "br")) pageBreaks += Attr(br, "type") == "page" ? 1 : 0;
  EXPECT_EQ(pageBreaks, 3);
}

TEST(WordReportResultTable, EstimateTextAtTheLimits) {
  const std::pair<float, const char*> cases[] = {{9.99f, "fcue <10.0MPa"},
                                                 {10.0f, "fcue =10.0MPa"},
                                                 {70.0f, "fcue =70.0MPa"},
                                                 {70.04f, "fcue >70.0MPa"}};
  for (const auto& [fcue, text] : cases) {
    auto doc = MakeExportDoc({2});
    doc->result.fcue = fcue;
    const office::Table table = office::BuildResultTable(*doc, 0, 1, true, ReportOptions{false});
    EXPECT_EQ(table.At(22, 9).text, text) << fcue;
  }
}

TEST(WordReport, BothReportsRecordSheetFirstAndNeitherIsRefused) {
  TempDir dir;
  auto doc = MakeExportDoc({2, 3});
  doc->printSettings.printResultTable = 1;  // record sheet is on by default
  {
    const WrittenReport report = WriteAndRead(*doc, dir, "both.docx");
    ASSERT_EQ(report.tables.size(), 4u);
    EXPECT_EQ(report.tables[0].gridColumns, 17);
    EXPECT_EQ(report.tables[1].gridColumns, 17);
    EXPECT_EQ(report.tables[2].gridColumns, 12);
    EXPECT_EQ(report.tables[3].rows.size(), 25u);  // with the member-estimate row
    // Body order: title, table, break, table, break, title, table, break, table.
    std::vector<std::string> order;
    for (xmlNode* child = report.body()->children; child != nullptr; child = child->next) {
      if (child->type != XML_ELEMENT_NODE) continue;
      const std::string name = reinterpret_cast<const char*>(child->name);
      if (name == "tbl") {
        order.push_back("T");
      } else if (name == "p" && FirstDescendant(child, "br") != nullptr) {
        order.push_back("|");
      } else if (name == "p" && !DocxText(child).empty()) {
        order.push_back(DocxText(child));
      }
    }
    const std::vector<std::string> expected = {"现场记录表", "T", "|", "T", "|", "结果数据表", "T", "|", "T"};
    EXPECT_EQ(order, expected);
  }
  // Neither report: refused as printing refuses it, nothing written.
  doc->printSettings.printRecordSheet = 0;
  doc->printSettings.printResultTable = 0;
  try {
    office::WriteWordReport(*doc, dir / "empty.docx");
    ADD_FAILURE() << "an empty report was written";
  } catch (const KorvaneError& error) {
    EXPECT_STREQ(error.what(), "请选择要打印的内容");
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.docx"));

  // The page setup from the print settings.
  doc->printSettings.printResultTable = 1;
  doc->printSettings.topMargin = 25;
  doc->printSettings.leftMargin = 30;
  const WrittenReport one = WriteAndRead(*doc, dir, "one.docx");
  xmlNode* pgSz = FirstDescendant(one.sectPr(), "pgSz");
  EXPECT_EQ(Attr(pgSz, "w"), "11906");
  EXPECT_EQ(Attr(pgSz, "h"), "16838");
  xmlNode* pgMar = FirstDescendant(one.sectPr(), "pgMar");
  EXPECT_EQ(Attr(pgMar, "top"), "1418");   // 25 mm: 70.88 pt
  EXPECT_EQ(Attr(pgMar, "left"), "1701");  // 30 mm
  EXPECT_EQ(Attr(pgMar, "bottom"), "851");
  EXPECT_EQ(Attr(pgMar, "right"), "851");
  EXPECT_EQ(Attr(pgMar, "header"), "284");
  EXPECT_EQ(Attr(pgMar, "footer"), "284");
  EXPECT_EQ(one.entries.count("word/header1.xml"), 0u);
  EXPECT_EQ(one.entries.count("word/footer1.xml"), 0u);
  EXPECT_EQ(FirstDescendant(one.sectPr(), "headerReference"), nullptr);
}

// A text longer than its cell holds at the table's size gets the size that
// fits, so that the rows keep their height and a page its ten zones.
TEST(WordReportUnits, LongCellTextsGetTheSizeThatFits) {
  struct Case {
    const char* text;
    int width, height;
    double expected;
  };
  const Case cases[] = {
      {"北侧", 500, 794, 10.0},                        // 2 characters of 200 twips on one line
      {"北侧墙面下部", 500, 794, 10.0},                // three lines of two in two rows
      {"北侧墙面下部区域", 500, 794, 8.0},             // four lines do not fit: smaller
      {"中国建筑第八工程局有限公司", 1200, 397, 7.5},  // two lines in one row, smaller
      {"中国建筑第八工程局有限公司华东分公司第三项目部", 600, 397, 5.0},  // never fits: the least size
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(office::FittingSizePt(c.text, c.width, c.height, 10.0), c.expected) << c.text;
  }
  // In the report: the long location's cell has its own size, the short one none.
  TempDir dir;
  auto doc = MakeExportDoc({2});
  doc->zoneLists[0][0].testLocation = "北侧墙面下部区域";
  const WrittenReport report = WriteAndRead(*doc, dir, "fit.docx");
  const std::string xml = report.entries.at("word/document.xml");
  const std::size_t at = xml.find("北侧墙面下部区域");
  ASSERT_NE(at, std::string::npos);
  const std::size_t run = xml.rfind("<w:r>", at);
  const std::string properties = xml.substr(run, at - run);
  const std::size_t size = properties.find("<w:sz w:val=\"");
  ASSERT_NE(size, std::string::npos) << properties;
  EXPECT_LT(std::stoi(properties.substr(size + 13)), 20) << properties;  // half points: below 10 pt
}

TEST(WordReport, HeaderFooterAndPageNumberField) {
  struct Case {
    const char* name;
    int printHeader, printFooter, printPageNumber;
    std::string headerText, footerText;
    int footerAlign, pageNumberPosition, pageNumberFormat, firstPageNumber;
    bool header, footer;
    const char* footerJc;
    const char* footerText_;  // visible footer text (tabs as \t; field result shown)
    const char* instruction;  // "" when no field
    int tabStops;
  };
  const Case cases[] = {
      {"header only", 1, 0, 0, "页眉<&>", "", 0, 0, 0, 1, true, false, "", "", "", 0},
      {"header flag without text", 1, 0, 0, "", "", 0, 0, 0, 1, false, false, "", "", "", 0},
      {"footer text only", 0, 1, 0, "", "页脚", 2, 0, 0, 1, false, true, "right", "页脚", "", 0},
      {"page number only", 0, 0, 1, "", "", 0, 1, 0, 5, false, true, "center", "5", "PAGE  \\* Arabic", 0},
      {"roman page number", 0, 0, 1, "", "", 0, 2, 1, 4, false, true, "right", "IV", "PAGE  \\* ROMAN", 0},
      {"both, same alignment", 0, 1, 1, "", "第", 1, 1, 0, 1, false, true, "center", "第1",
       "PAGE  \\* Arabic", 0},
      {"both, text right, number left", 0, 1, 1, "", "页脚", 2, 0, 0, 1, false, true, "left", "1\t\t页脚",
       "PAGE  \\* Arabic", 2},
      {"both, text left, number centre", 0, 1, 1, "", "页脚", 0, 1, 0, 1, false, true, "left", "页脚\t1",
       "PAGE  \\* Arabic", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    auto doc = MakeExportDoc({1});
    PrintSettings& s = doc->printSettings;
    s.printHeader = c.printHeader;
    s.printFooter = c.printFooter;
    s.printPageNumber = c.printPageNumber;
    s.headerText = c.headerText;
    s.footerText = c.footerText;
    s.headerAlign = 1;
    s.headerFont = 2;
    s.headerHeight = 10;
    s.footerAlign = c.footerAlign;
    s.footerFont = 1;
    s.footerHeight = 20;
    s.pageNumberPosition = c.pageNumberPosition;
    s.pageNumberFormat = c.pageNumberFormat;
    s.firstPageNumber = c.firstPageNumber;
    const WrittenReport report = WriteAndRead(*doc, dir);

    ASSERT_EQ(report.entries.count("word/header1.xml"), c.header ? 1u : 0u);
    ASSERT_EQ(report.entries.count("word/footer1.xml"), c.footer ? 1u : 0u);
    EXPECT_EQ(FirstDescendant(report.sectPr(), "headerReference") != nullptr, c.header);
    EXPECT_EQ(FirstDescendant(report.sectPr(), "footerReference") != nullptr, c.footer);
    xmlNode* pgNumType = FirstDescendant(report.sectPr(), "pgNumType");
    EXPECT_EQ(Attr(pgNumType, "start"), std::to_string(c.firstPageNumber));
    EXPECT_EQ(Attr(pgNumType, "fmt"), c.pageNumberFormat == 1 ? "upperRoman" : "decimal");
    if (c.header) {
      XmlPart header(report.entries.at("word/header1.xml"));
      EXPECT_EQ(DocxText(header.root()), c.headerText);
      EXPECT_EQ(Attr(FirstDescendant(header.root(), "jc"), "val"), "center");
      xmlNode* run = FirstDescendant(header.root(), "r");
      EXPECT_EQ(Attr(FirstDescendant(run, "rFonts"), "ascii"), "Times New Roman");
      EXPECT_EQ(Attr(FirstDescendant(run, "rFonts"), "eastAsia"), "隶书");
      EXPECT_EQ(Attr(FirstDescendant(run, "sz"), "val"), "18");  // 10 mm gives 7.5 pt: raised to 9 pt
      EXPECT_EQ(FirstDescendant(run, "b"), nullptr);
    }
    if (c.footer) {
      XmlPart footer(report.entries.at("word/footer1.xml"));
      const auto paragraphs = Children(footer.root(), "p");
      ASSERT_EQ(paragraphs.size(), 1u);
      EXPECT_EQ(DocxText(paragraphs[0]), c.footerText_);
      EXPECT_EQ(Attr(FirstDescendant(paragraphs[0], "jc"), "val"), c.footerJc);
      const auto instructions = Descendants(footer.root(), "instrText");
      if (std::string(c.instruction).empty()) {
        EXPECT_TRUE(instructions.empty());
      } else {
        ASSERT_EQ(instructions.size(), 1u);
        xmlChar* code = xmlNodeGetContent(instructions[0]);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(code)), std::string(" ") + c.instruction + " ");
        xmlFree(code);
      }
      EXPECT_EQ(Descendants(FirstDescendant(paragraphs[0], "tabs"), "tab").size(),
                static_cast<std::size_t>(c.tabStops));
      xmlNode* run = FirstDescendant(footer.root(), "r");
      EXPECT_EQ(Attr(FirstDescendant(run, "rFonts"), "eastAsia"), "黑体");
      EXPECT_EQ(Attr(FirstDescendant(run, "sz"), "val"), "29");  // 14.5 pt from 20 mm
    }
  }
}

TEST(WordReport, UserTextIsEscapedAndControlCharactersDropped) {
  TempDir dir;
  auto doc = MakeExportDoc({1});
  doc->members[0].name = "A<&>\"'\x01]]>B\xFF";
  doc->reportInfo.recordSheetRemark = "第一行\n第二行";
  const WrittenReport report = WriteAndRead(*doc, dir);
  ASSERT_TRUE(report.document->ok());
  ASSERT_EQ(report.tables.size(), 1u);
  EXPECT_EQ(report.tables[0].TextAt(6, 4), "A<&>\"']]>B\xEF\xBF\xBD");
  EXPECT_EQ(report.tables[0].TextAt(31, 2), "第一行\n第二行");
}

TEST(WordReport, UnwritablePathThrowsAndLeavesNoFile) {
  TempDir dir;
  auto doc = MakeExportDoc({1});
  const std::filesystem::path missing = dir / "no-such-folder" / "report.docx";
  try {
    WriteWordReport(*doc, missing);
    FAIL() << "no error";
  } catch (const KorvaneError& error) {
    EXPECT_NE(std::string(error.what()).find("report.docx"), std::string::npos) << error.what();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  // A folder in the way is refused as well.
  std::filesystem::create_directory(dir / "taken.docx");
  EXPECT_THROW(WriteWordReport(*doc, dir / "taken.docx"), KorvaneError);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.docx"));
}

}  // namespace
}  // namespace korvane::testing
