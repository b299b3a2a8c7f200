// The cubes of a strength curve read from a workbook, and the cores of
// the core correction in the Word report and the Excel results.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <fstream>

#include "core/algorithm/zone_computation.h"
#include "core/app/document_edits.h"
#include "core/data/text_format.h"
#include "core/platform/error.h"
#include "office/cube_workbook.h"
#include "office/excel_export.h"
#include "office/office_test_support.h"
#include "office/word_report.h"

namespace korvane::testing {
namespace {

// A workbook made of the given parts (a zip written with libzip).
void WriteParts(const std::filesystem::path& path, const std::map<std::string, std::string>& parts) {
  int error = 0;
  zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, text] : parts) {
    zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

const std::string kNs = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const std::string kRelNs = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// A workbook whose first sheet (named by its relationship, not sheet1.xml)
// has the head in shared strings (one of them rich text with a phonetic
// run), an inline-string cell, a row with a gap, a bad row and a row number
// jump; a second sheet that must not be read.
std::map<std::string, std::string> CubeWorkbook() {
  return {
      {"xl/workbook.xml", "<workbook " + kNs + " " + kRelNs +
                              "><sheets><sheet name=\"试件\" sheetId=\"1\" r:id=\"rId7\"/>"
                              "<sheet name=\"other\" sheetId=\"2\" r:id=\"rId8\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId8\" Target=\"worksheets/sheet1.xml\"/>"
       "<Relationship Id=\"rId7\" Target=\"worksheets/data.xml\"/></Relationships>"},
      {"xl/sharedStrings.xml",
       "<sst " + kNs +
           "><si><t>声速(km/s)</t></si><si><r><t>回弹</t></r><r><t>值</t></r>"
           "<rPh><t>ホ</t></rPh></si><si><t>抗压强度</t></si><si><t>缺</t></si></sst>"},
      {"xl/worksheets/data.xml",
       "<worksheet " + kNs +
           "><sheetData>"
           "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
           "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
           "<row r=\"2\"><c r=\"A2\"><v>4.5</v></c><c r=\"B2\"><v>35</v></c><c "
           "r=\"C2\"><v>29.399999999999999</v></c></row>"
           "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>4.1</t></is></c><c r=\"B3\"><v>30.5</v></c>"
           "<c r=\"D3\" t=\"inlineStr\"><is><t>备注</t></is></c><c r=\"C3\"><v>22</v></c></row>"
           "<row r=\"4\"><c r=\"A4\"><v>4.2</v></c><c r=\"C4\" t=\"s\"><v>3</v></c></row>"
           "<row r=\"9\"><c r=\"A9\"><v>3.9</v></c><c r=\"B9\"><v>28</v></c><c r=\"C9\"><v>18.5</v></c></row>"
           "</sheetData></worksheet>"},
      {"xl/worksheets/sheet1.xml", "<worksheet " + kNs +
                                       "><sheetData><row r=\"1\"><c r=\"A1\"><v>9</v></c></row>"
                                       "</sheetData></worksheet>"},
  };
}

TEST(CubeWorkbook, TheFirstSheetsRows) {
  TempDir dir;
  WriteParts(dir / "s.xlsx", CubeWorkbook());
  const CubeTable table = office::ReadCubeFile(dir / "s.xlsx");
  EXPECT_EQ(table.cubes, (std::vector<Cube>{{4.5, 35, 29.4, 2}, {4.1, 30.5, 22, 3}, {3.9, 28, 18.5, 9}}));
  ASSERT_EQ(table.leftOut.size(), 1u);
  EXPECT_EQ(table.leftOut[0].message, "第4行：" + std::string(kMsgCubeNotNumbers));
}

// What is not a workbook, or not one a table of cubes can be, says which
// with its own message, within bounded memory; a CSV by any other name is
// read as CSV.
TEST(CubeWorkbook, HostileOrBrokenWorkbooksAreRefusedEachWithItsMessage) {
  TempDir dir;
  const auto with = [](const std::string& part, std::string xml) {
    std::map<std::string, std::string> parts = CubeWorkbook();
    parts[part] = std::move(xml);
    return parts;
  };
  // Rows that each name a cell of the last column: 100 rows of 16,384 cells.
  std::string farRight = "<worksheet " + kNs + "><sheetData>";
  for (int r = 1; r <= 100; ++r) {
    farRight +=
        "<row r=\"" + std::to_string(r) + "\"><c r=\"XFD" + std::to_string(r) + "\"><v>1</v></c></row>";
  }
  farRight += "</sheetData></worksheet>";
  // An entity declared once and referenced many times.
  std::string entities =
      "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"4.5\">]><worksheet " + kNs +
      "><sheetData><row r=\"1\"><c r=\"A1\"><v>&a;&a;&a;</v></c></row></sheetData></worksheet>";
  // Shared strings that unpack to more than 4 MB (a few kilobytes packed).
  std::string manyStrings = "<sst " + kNs + ">";
  for (int i = 0; i < 900'000; ++i) manyStrings += "<si/>";
  manyStrings += "</sst>";
  std::map<std::string, std::string> noSheet = CubeWorkbook();
  noSheet.erase("xl/worksheets/data.xml");
  std::map<std::string, std::string> noBook = CubeWorkbook();
  noBook.erase("xl/workbook.xml");

  struct Case {
    const char* name;
    std::map<std::string, std::string> parts;  // empty: the file is written below
    std::string_view message;
    const char* detail;  // what the message names after the path, or ""
  };
  const Case cases[] = {
      {"far-right.xlsx", with("xl/worksheets/data.xml", farRight), office::kMsgWorkbookTooLarge, ""},
      {"entities.xlsx", with("xl/worksheets/data.xml", entities), office::kMsgWorkbookEntities, ""},
      {"strings.xlsx", with("xl/sharedStrings.xml", manyStrings), office::kMsgWorkbookTooLarge, ""},
      {"no-sheet.xlsx", noSheet, office::kMsgWorkbookMissingPart, "xl/worksheets/data.xml"},
      {"no-book.xlsx", noBook, office::kMsgWorkbookMissingPart, "xl/workbook.xml"},
      {"bad-xml.XLSX", with("xl/worksheets/data.xml", "<worksheet><sheetData><row>"), office::kMsgNotWorkbook,
       ""},
      {"text.xlsx", {}, office::kMsgNotWorkbook, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.parts.empty()) {
      std::ofstream(dir / c.name) << "v,R,fcu\n";
    } else {
      WriteParts(dir / c.name, c.parts);
    }
    try {
      office::ReadCubeFile(dir / c.name);
      ADD_FAILURE() << "read";
    } catch (const KorvaneError& error) {
      const std::string what = error.what();
      EXPECT_EQ(what.rfind(std::string(c.message), 0), 0u) << what;
      EXPECT_NE(what.find(c.detail), std::string::npos) << what;
    }
  }
  // Empty cells far to the right cost nothing.
  std::string emptyRight = "<worksheet " + kNs + "><sheetData>";
  for (int r = 1; r <= 2000; ++r) {
    emptyRight += "<row r=\"" + std::to_string(r) + "\"><c r=\"XFD" + std::to_string(r) + "\"/></row>";
  }
  emptyRight += "</sheetData></worksheet>";
  WriteParts(dir / "empty-right.xlsx", with("xl/worksheets/data.xml", emptyRight));
  EXPECT_EQ(office::ReadWorkbookRows(dir / "empty-right.xlsx").size(), 2000u);

  std::ofstream(dir / "cubes.txt") << "v,R,fcu\n4.5,35,29.4\n";
  EXPECT_EQ(office::ReadCubeFile(dir / "cubes.txt").cubes.size(), 1u);
  // A CSV of commas alone: refused before it fills the memory.
  std::ofstream(dir / "commas.csv") << "v,R,fcu\n" << std::string(1'100'000, ',');
  try {
    office::ReadCubeFile(dir / "commas.csv");
    ADD_FAILURE() << "read";
  } catch (const KorvaneError& error) {
    EXPECT_EQ(error.what(), std::string(kMsgCubeTooManyCells));
  }
}

// The cores under the batch summary of the Word result table and of the
// Excel results, with the same texts and numbers as the printed page.
TEST(CoreOutputs, WordAndExcelListTheCores) {
  auto doc = MakeExportDoc({3, 2});
  // Own coefficients a hundredth of the standard's a: strengths a core can
  // have (the example's velocities are far above real ones).
  for (Member& m : doc->members) {
    doc->algorithm.GetCoefficients(false, m.coefA, m.coefB, m.coefC, m.coefD);
    m.coefA *= 0.01f;
    m.aggregateType = Aggregate::Custom;
  }
  doc->RecomputeAll();
  std::vector<CoreSample> cores;
  std::vector<float> plain;
  for (ZoneRef at : {ZoneRef{0, 1}, ZoneRef{1, 0}}) {
    TestZone zone = *doc->Zone(at.member, at.zone);
    zone.eta = 1.0f;
    plain.push_back(ConvertStrength(doc->algorithm, doc->members[static_cast<std::size_t>(at.member)], zone));
    cores.push_back({at.member, at.zone, 1.5f * plain.back()});
  }
  ASSERT_TRUE(ApplyCoreCorrection(*doc, cores).changed()) << plain[0] << " " << plain[1];
  ASSERT_EQ(doc->project.eta, 1.5f);
  doc->printSettings.printRecordSheet = 0;
  doc->printSettings.printResultTable = 1;
  TempDir dir;

  office::WriteWordReport(*doc, dir / "r.docx");
  XmlPart part(ReadPackage(dir / "r.docx").at("word/document.xml"));
  const std::vector<DocxTable> tables = ReadDocxTables(part.root());
  ASSERT_EQ(tables.size(), 2u);
  const DocxTable& last = tables.back();
  const int c0 = static_cast<int>(last.rows.size()) - 2;  // head row of the cores
  ExpectCells(last, {{c0, 1, "钻芯修正", 0, 3},
                     {c0, 3, "构件"},
                     {c0, 10, "fcor/fcu,i"},
                     {c0, 11, "η"},
                     {c0 + 1, 3, doc->members[0].name},
                     {c0 + 1, 5, "2"},
                     {c0 + 1, 6, FormatFixed(plain[0], 0, 1)},
                     {c0 + 1, 8, FormatFixed(cores[0].strength, 0, 1)},
                     {c0 + 1, 10, "1.500"},
                     {c0 + 2, 5, "1"},
                     {c0 + 1, 11, "1.50\nn=2", 0, 2}});
  EXPECT_TRUE(tables[0].rows.size() < last.rows.size());

  office::WriteResultsWorkbook(*doc, dir / "r.xlsx");
  const std::vector<XlsxSheet> sheets = ReadXlsx(dir / "r.xlsx");
  ASSERT_FALSE(sheets.empty());
  const XlsxSheet& sheet = sheets.front();
  auto found = std::find_if(sheet.cells.begin(), sheet.cells.end(),
                            [](const auto& cell) { return cell.second.value == "钻芯修正  n=2"; });
  ASSERT_NE(found, sheet.cells.end());
  const std::string& title = found->first;
  const int row = std::stoi(title.substr(1)) - 1;  // the title is in column A
  EXPECT_EQ(sheet.Text(CellName(row + 1, 4)), "fcor/fcu,i");
  EXPECT_EQ(sheet.Text(CellName(row + 2, 1)), "2");
  EXPECT_DOUBLE_EQ(sheet.Number(CellName(row + 2, 2)), std::stod(FormatFixed(plain[0], 0, 1)));
  EXPECT_DOUBLE_EQ(sheet.Number(CellName(row + 2, 4)), 1.5);
  EXPECT_DOUBLE_EQ(sheet.Number(CellName(row + 2, 5)), 1.5);
  EXPECT_EQ(sheet.Text(CellName(row + 3, 0)), doc->members[1].name);
}

}  // namespace
}  // namespace korvane::testing
