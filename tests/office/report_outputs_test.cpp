// What the Word report and the Excel results state beyond the fixed layout:
// every output prints the same zone cells (each zone's own η), the invalid
// batch as such, each member's estimate; the Word result table's columns fit
// their texts and the record sheet continues under its head.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "core/algorithm/algorithm.h"
#include "core/report/layout_grid.h"
#include "core/report/report_cells.h"
#include "core/report/report_layout.h"
#include "office/excel_export.h"
#include "office/office_test_support.h"
#include "office/word_report.h"

namespace korvane::testing {
namespace {

using office::BuildResultTable;

void SetMemberResult(Member& member, float min, float mean, float sd, float estimate, ResultFlag flag) {
  member.minStrength = min;
  member.meanStrength = mean;
  member.stdDevStrength = sd;
  member.estimatedStrength = estimate;
  member.resultFlag = flag;
}

// Two members of 3 and 12 zones, an invalid batch, each zone with its own
// η and β.
std::unique_ptr<CKorvaneDoc> InvalidBatchDoc() {
  auto doc = MakeExportDoc({3, 12});
  doc->batchResultFlag = ResultFlag::BatchInvalid;
  doc->result = {0.0f, 26.6f, 6.34f};
  SetMemberResult(doc->members[0], 30.0f, 30.5f, 0.5f, 30.0f, ResultFlag::Valid);
  SetMemberResult(doc->members[1], 8.5f, 24.45f, 7.25f, 0.0f, ResultFlag::Below10);
  for (auto& zones : doc->zoneLists) {
    for (std::size_t z = 0; z < zones.size(); ++z) {
      zones[z].eta = 0.85f + 0.01f * static_cast<float>(z);
      zones[z].beta = 1.0f + 0.01f * static_cast<float>(z);
      zones[z].lambda = 0.95f + 0.01f * static_cast<float>(z);
    }
  }
  return doc;
}

// The value drawn whose cell is exactly `cell`.
const report::TextItem* TextInCellOf(const report::PageDescription& page, const report::Rect& cell) {
  for (const report::TextItem& item : page.texts) {
    if (item.cell == cell && item.role == report::FontRole::Value) return &item;
  }
  return nullptr;
}

// Every output shows the same zone cells, over a factor standard that shows
// the limits (">70MPa") and an additive one (Δtot in the correction row, the
// strength as a number).
TEST(ReportOutputs, PrintedWordAndExcelShowTheSameZoneCells) {
  for (const Standard standard : {Standard::CECS02_2005, Standard::CECS02_2020}) {
    SCOPED_TRACE(static_cast<int>(standard));
    auto doc = InvalidBatchDoc();
    doc->standard = standard;
    doc->project.eta = 1.0f;
    doc->zoneLists[1][10].strengthValue = 72.0f;
    doc->zoneLists[1][11].strengthValue = 8.1f;
    for (TestZone& zone : doc->zoneLists[1]) zone.deltaTot = -1.5f;
    TempDir dir;
    office::WriteResultsWorkbook(*doc, dir / "r.xlsx");
    const std::vector<XlsxSheet> sheets = ReadXlsx(dir / "r.xlsx");
    ASSERT_EQ(sheets.size(), 1u);
    const std::vector<int> offsets = office::ResultBlockOffsets(*doc);

    const int member = 1;  // the last member: its pages once printed the project's η
    for (int page = 1; page <= 2; ++page) {
      const office::Table word = BuildResultTable(*doc, member, page, page == 2);
      const int rows = report::ResultTableRows(ReportSourceOf(*doc), member, page, {});
      const report::Rect body{0, 0, 2000, 3000};
      const report::PageDescription printed =
          report::LayoutResultTablePage(ReportSourceOf(*doc), member, page, {}, body);
      const report::LayoutGrid grid(body, 20, rows);
      // Quantity rows of the printed page and of the Word table.
      const std::pair<double, double> printedRows[] = {{11, 13}, {13, 15}, {15, 17}, {17, 19}, {19, 21},
                                                       {21, 23}, {25, 27}, {27, 28}, {28, 30}};
      const int wordRows[] = {12, 13, 14, 15, 16, 17, 19, 20, 21};
      for (int k = 1; k <= 10; ++k) {
        const int zoneIndex = (page - 1) * 10 + k - 1;
        if (zoneIndex >= doc->ZoneCount(member)) break;
        SCOPED_TRACE("zone " + std::to_string(zoneIndex + 1));
        const report::ZoneReportCells cells =
            report::FormatZoneCells(*doc->Zone(member, zoneIndex), doc->standard);
        const std::string expected[] = {
            cells.reboundValue.text,      cells.angleCorrection.text, cells.afterAngle.text,
            cells.surfaceCorrection.text, cells.afterSurface.text,    cells.zoneVelocity.text,
            cells.correctedVelocity.text, cells.correction.text,      cells.strengthText()};
        for (int q = 0; q < 9; ++q) {
          const auto [j0, j1] = printedRows[q];
          const report::TextItem* item =
              TextInCellOf(printed, grid.Cell(5 + 1.5 * (k - 1), j0, 5 + 1.5 * k, j1));
          ASSERT_NE(item, nullptr) << "row " << j0;
          EXPECT_EQ(item->text, expected[q]) << "printed row " << j0;
          EXPECT_EQ(word.At(wordRows[q], 2 + k).text, expected[q]) << "Word row " << wordRows[q];
        }
        EXPECT_EQ(cells.correction.text, standard == Standard::CECS02_2020
                                             ? "-1.50"
                                             : FormatFixed(0.85f + 0.01f * static_cast<float>(zoneIndex), 2));
        if (zoneIndex == 10) {
          EXPECT_EQ(cells.strengthText(), standard == Standard::CECS02_2005 ? ">70MPa" : "72.0");
        }
        EXPECT_EQ(word.At(18, 2 + k).text, "β=" + cells.beta.text + "\nλ=" + cells.lambda.text);
        // Excel: the same numbers, η after fcu,i.
        const int row = offsets[member] + 2 + zoneIndex;
        EXPECT_DOUBLE_EQ(sheets[0].Number(CellName(row, 8)), std::stod(cells.correctedVelocity.text));
        EXPECT_DOUBLE_EQ(sheets[0].Number(CellName(row, 10)), std::stod(cells.correction.text));
        EXPECT_EQ(sheets[0].Cell(CellName(row, 10))->numberFormat, "0.00");
        if (cells.strengthLimitText.empty()) {
          EXPECT_DOUBLE_EQ(sheets[0].Number(CellName(row, 9)), std::stod(cells.strength.text));
        } else {
          EXPECT_EQ(sheets[0].Text(CellName(row, 9)), cells.strengthLimitText);
        }
      }
    }
  }
}

TEST(WordResultTable, InvalidBatchAndMemberEstimateRows) {
  auto doc = InvalidBatchDoc();
  doc->printSettings.printRecordSheet = 0;
  doc->printSettings.printResultTable = 1;
  TempDir dir;
  office::WriteWordReport(*doc, dir / "r.docx");
  const std::map<std::string, std::string> package = ReadPackage(dir / "r.docx");
  XmlPart part(package.at("word/document.xml"));
  const std::vector<DocxTable> tables = ReadDocxTables(part.root());
  ASSERT_EQ(tables.size(), 3u);

  // Member 1 (one page, its last): the estimate row after the fcu,i row.
  ASSERT_EQ(tables[0].rows.size(), 22u);
  EXPECT_EQ(tables[0].TextAt(22, 1), "构件推定值\n(MPa)N=3");
  EXPECT_EQ(tables[0].TextAt(22, 3), "Fmin=30.0MPa");
  EXPECT_EQ(tables[0].TextAt(22, 5), "Mf=30.5MPa");
  EXPECT_EQ(tables[0].TextAt(22, 7), "Sf=0.50MPa");
  EXPECT_EQ(tables[0].TextAt(22, 9), "fcu,e=30.0MPa");
  EXPECT_EQ(tables[0].At(22, 9)->gridSpan, 4);
  // Member 2: nothing on its first page; on the last, its estimate (flag 1:
  // the result text), then the batch rows stating the failed batch test.
  EXPECT_EQ(tables[1].rows.size(), 21u);
  ASSERT_EQ(tables[2].rows.size(), 25u);
  EXPECT_EQ(tables[2].TextAt(22, 1), "构件推定值\n(MPa)N=12");
  EXPECT_EQ(tables[2].TextAt(22, 9), "fcu,e <10.0MPa");
  EXPECT_EQ(tables[2].TextAt(23, 1), "强度推定值\n(MPa)N=2");
  EXPECT_EQ(tables[2].TextAt(23, 3), "Mf=26.6MPa");
  EXPECT_EQ(tables[2].TextAt(23, 9), "批推定值不成立，\n应按单个构件推定");
  EXPECT_EQ(tables[2].TextAt(24, 8), "结果备注");
  EXPECT_EQ(tables[2].TextAt(25, 1), "复核");

  // Switched off: the fixed 21 and 24 rows; the batch text stays.
  const office::Table off = BuildResultTable(*doc, 1, 2, true, ReportOptions{false});
  EXPECT_EQ(off.rows(), 24);
  EXPECT_EQ(off.At(22, 9).text, "批推定值不成立，\n应按单个构件推定");
  EXPECT_EQ(BuildResultTable(*doc, 0, 1, false, ReportOptions{false}).rows(), 21);

  // Flags 0, 1 and 4 of the batch keep their texts.
  for (const auto& [flag, fcue, text] :
       {std::tuple<ResultFlag, float, std::string>{ResultFlag::Valid, 25.06f, "fcue =25.1MPa"},
        {ResultFlag::Below10, 0.0f, "fcue <10.0MPa"},
        {ResultFlag::Above70, 71.0f, "fcue >70.0MPa"}}) {
    doc->batchResultFlag = flag;
    doc->result.fcue = fcue;
    EXPECT_EQ(BuildResultTable(*doc, 1, 2, true).At(23, 9).text, text) << static_cast<int>(flag);
  }
}

TEST(WordResultTable, LabelColumnsFitTheirTextsAndZoneColumnsShareTheRest) {
  for (const int leftMargin : {20, 30}) {
    auto doc = MakeExportDoc({3});
    doc->printSettings.leftMargin = leftMargin;
    const int textWidth = 11906 - office::MillimetresToTwips(leftMargin) - office::MillimetresToTwips(15);
    const office::Table table = BuildResultTable(*doc, 0, 1, true);
    ASSERT_EQ(table.columnWidths.size(), 12u);
    int total = 0;
    for (const int width : table.columnWidths) total += width;
    EXPECT_EQ(total, textWidth) << leftMargin;
    const int zone = table.columnWidths[2];
    for (int c = 3; c <= 12; ++c) EXPECT_EQ(table.columnWidths[static_cast<std::size_t>(c - 1)], zone);
    const int margins = 2 * table.cellMargin;

    // Every label line fits its column (or the two label columns); every
    // zone value line fits a zone column, "β=1.000" included.
    for (int r = 1; r <= table.rows(); ++r) {
      for (int c = 1; c <= 12; ++c) {
        const office::Table::Cell& cell = table.At(r, c);
        if (cell.covered || cell.text.empty()) continue;
        int width = 0;
        for (int k = c; k < c + cell.colSpan; ++k)
          width += table.columnWidths[static_cast<std::size_t>(k - 1)];
        EXPECT_LE(office::EstimatedTextWidth(cell.text, table.format.sizePt) + margins, width)
            << "row " << r << " col " << c << ": " << cell.text;
      }
    }
    EXPECT_GE(zone, office::EstimatedTextWidth("β=1.000", 10.0) + margins);
    // The label columns are no wider than their widest texts need.
    EXPECT_LT(table.columnWidths[0] + table.columnWidths[1], 2 * zone + 400);
  }
}

TEST(WordRecordSheet, LongSheetRepeatsItsHeadAndKeepsTheCloseWithTheLastZone) {
  auto doc = MakeExportDoc({14});
  TempDir dir;
  office::WriteWordReport(*doc, dir / "r.docx");
  const std::map<std::string, std::string> package = ReadPackage(dir / "r.docx");
  XmlPart part(package.at("word/document.xml"));
  const std::vector<DocxTable> tables = ReadDocxTables(part.root());
  ASSERT_EQ(tables.size(), 1u);
  const DocxTable& sheet = tables[0];
  ASSERT_EQ(sheet.rows.size(), 41u);  // 2 x 14 + 13
  const std::vector<xmlNode*> rows = Children(sheet.node, "tr");
  ASSERT_EQ(rows.size(), 41u);
  for (int r = 1; r <= 41; ++r) {
    SCOPED_TRACE("row " + std::to_string(r));
    xmlNode* row = rows[static_cast<std::size_t>(r - 1)];
    EXPECT_EQ(FirstDescendant(row, "tblHeader") != nullptr, r <= 10);
    EXPECT_NE(FirstDescendant(row, "cantSplit"), nullptr);
    // Keep with next: each zone's first row; the last zone's rows and the
    // remark rows, up to the signature row.
    const bool zoneTop = r >= 11 && r <= 37 && (r - 11) % 2 == 0;
    const bool closing = r >= 37 && r <= 40;
    for (xmlNode* paragraph : Descendants(row, "p")) {
      EXPECT_EQ(FirstDescendant(paragraph, "keepNext") != nullptr, zoneTop || closing);
    }
  }
}

}  // namespace
}  // namespace korvane::testing
