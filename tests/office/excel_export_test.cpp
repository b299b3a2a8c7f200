#include "office/excel_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/app/example_files.h"
#include "core/app/korvane_doc.h"
#include "core/platform/error.h"
#include "core/platform/file_system.h"
#include "office/office_test_support.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

using office::WorksheetNames;
using office::WriteRawDataWorkbook;
using office::WriteResultsWorkbook;

TEST(ExcelResults, OneBlockPerMemberWithHeadingsZoneRowsAndFormats) {
  TempDir dir;
  auto doc = MakeExportDoc({12, 7});
  doc->members[1].name = "梁<2>";
  doc->zoneLists[1][0].points[1].reset();  // missing point: empty cells
  const std::pair<float, const char*> limits[] = {
      {70.0f, ""}, {70.04f, ">70MPa"}, {10.0f, ""}, {9.99f, "<10MPa"}};
  for (int k = 0; k < 4; ++k)
    doc->zoneLists[1][static_cast<std::size_t>(k + 1)].strengthValue = limits[k].first;
  const std::filesystem::path path = dir / "results.xlsx";
  const ReportOptions withoutEstimates{false};
  WriteResultsWorkbook(*doc, path, withoutEstimates);

  const std::vector<XlsxSheet> sheets = ReadXlsx(path);
  ASSERT_EQ(sheets.size(), 1u);
  const XlsxSheet& s = sheets[0];
  EXPECT_EQ(s.name, "sheet1");
  EXPECT_EQ(office::ResultBlockOffsets(*doc, withoutEstimates), (std::vector<int>{0, 14}));

  // Member 1 from row 1, member 2 from row 15 (12 + 2 + 1).
  EXPECT_EQ(s.Text("A1"), "构件编号：1        构件名称：M1");
  EXPECT_EQ(s.Text("A15"), "构件编号：2        构件名称：梁<2>");
  const char* headings[] = {"测区", "L1mm", "T1us",    "L2mm",     "T2us",
                            "L3mm", "T3us", "V(km/s)", "Va(km/s)", "fcui(MPa)"};
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(s.Text(CellName(1, c)), headings[c]);
    EXPECT_EQ(s.Text(CellName(15, c)), headings[c]);
  }
  EXPECT_EQ(s.Text("K2"), "η");  // the zone's own η after the ten headings
  EXPECT_EQ(s.Cell("L2"), nullptr);
  // Zone 1 of member 1 (row 3): numbers rounded as shown, with their formats.
  struct Expected {
    const char* cell;
    double value;
    const char* format;
  };
  const Expected row3[] = {{"A3", 1, "General"}, {"B3", 200, "0"},       {"C3", 50.2, "0.0"},
                           {"D3", 210, "0"},     {"E3", 51.2, "0.0"},    {"F3", 220, "0"},
                           {"G3", 52.2, "0.0"},  {"H3", 4.123, "0.000"}, {"I3", 4.234, "0.000"},
                           {"J3", 30, "0.0"}};
  for (const Expected& e : row3) {
    EXPECT_DOUBLE_EQ(s.Number(e.cell), e.value) << e.cell;
    EXPECT_EQ(s.Cell(e.cell)->numberFormat, e.format) << e.cell;
  }
  EXPECT_DOUBLE_EQ(s.Number("A14"), 12);  // zone 12
  // Member 2: missing point, strength limits.
  EXPECT_EQ(s.Cell("D17"), nullptr);
  EXPECT_EQ(s.Cell("E17"), nullptr);
  EXPECT_DOUBLE_EQ(s.Number("F17"), 220);
  EXPECT_DOUBLE_EQ(s.Number("J18"), 70.0);
  EXPECT_EQ(s.Text("J19"), ">70MPa");
  EXPECT_DOUBLE_EQ(s.Number("J20"), 10.0);
  EXPECT_EQ(s.Text("J21"), "<10MPa");
  // Width 9 for every column.
  EXPECT_NE(s.xml.find("<col min=\"1\" max=\"16384\" width=\"9.7109375\""), std::string::npos);
}

TEST(ExcelRaw, BlocksHaveOneAmplitudeColumnPerPointFromTheUnfilteredSamples) {
  TempDir dir;
  auto doc = MakeExportDoc({3, 1}, 3);
  // Zone 2 has four points, zone 3 seven: no waveform may be left out.
  TestZone& four = doc->zoneLists[0][1];
  TestZone& seven = doc->zoneLists[0][2];
  four.pointCount = 4;
  seven.pointCount = 7;
  std::vector<std::uint16_t> samples(16, 2148);  // +100 codes
  for (int j = 3; j < 4; ++j)
    four.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(j, 0, samples.data(), 16, 0, 100, 2.0f, 0);
  for (int j = 3; j < 7; ++j)
    seven.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(j, 0, samples.data(), 16, 0, 100, 2.0f, 0);
  seven.points[3]->gain = -2.0f;  // negative gain flips the sign
  seven.points[4]->gain = 1e-6f;  // just below 1e-6: zeros
  seven.points[5]->gain = 0.0f;   // exports zeros
  seven.points[6]->unfilteredSamples =
      testing::Resized(seven.points[6]->unfilteredSamples, 10);  // shorter waveform: blanks after it
  four.points[0]->samples =
      SampleBuffer(std::vector<std::uint16_t>(16, 4000));  // filtered copy: not exported
  doc->sections.pop_back();                                // member 2 without a section row: project delay
  doc->project.delay = 7.5f;
  const std::filesystem::path path = dir / "raw.xlsx";
  // Written row by row: the progress ends at every sheet's rows.
  std::pair<std::uint64_t, std::uint64_t> last;
  WriteRawDataWorkbook(*doc, path, [&last](std::uint64_t done, std::uint64_t total) {
    last = {done, total};
  });
  std::uint64_t rows = 0;
  for (const Member& member : doc->members) rows += static_cast<std::uint64_t>(member.sampleCount);
  EXPECT_EQ(last, std::pair(rows, rows));

  const std::vector<XlsxSheet> sheets = ReadXlsx(path);
  ASSERT_EQ(sheets.size(), 2u);
  const XlsxSheet& s = sheets[0];
  EXPECT_EQ(s.name, "M1");
  EXPECT_EQ(s.merges, (std::vector<std::string>{"A1:D1", "E1:I1", "J1:Q1"}));
  EXPECT_EQ(s.Text("A1"), "测区编号:1");
  EXPECT_EQ(s.Text("E1"), "测区编号:2");
  EXPECT_EQ(s.Text("J1"), "测区编号:3");
  const char* headings[] = {"时间(us)", "A0(mv)", "A1(mv)", "A2(mv)",   "时间(us)", "A0(mv)",
                            "A1(mv)",   "A2(mv)", "A3(mv)", "时间(us)", "A0(mv)",   "A1(mv)",
                            "A2(mv)",   "A3(mv)", "A4(mv)", "A5(mv)",   "A6(mv)"};
  for (int c = 0; c < 17; ++c) EXPECT_EQ(s.Text(CellName(1, c)), headings[c]) << c;
  EXPECT_EQ(s.Cell("R2"), nullptr);

  // Time = section delay 2 + 0.5 × i.
  EXPECT_DOUBLE_EQ(s.Number("A3"), 2.0);
  EXPECT_DOUBLE_EQ(s.Number("A18"), 9.5);
  EXPECT_DOUBLE_EQ(s.Number("J4"), 2.5);
  EXPECT_EQ(s.Cell("A19"), nullptr);  // 16 samples: rows 3-18
  // Amplitude (s − 2048) × 2 / 2048 / gain × 1000 mV from the unfiltered samples.
  EXPECT_DOUBLE_EQ(s.Number("B3"), 0.0);
  EXPECT_DOUBLE_EQ(s.Number("B4"), 9.765625);    // +10 codes, gain 1
  EXPECT_DOUBLE_EQ(s.Number("F4"), 9.765625);    // zone 2, point 0: not the filtered copy
  EXPECT_DOUBLE_EQ(s.Number("I3"), 48.828125);   // +100 codes, gain 2
  EXPECT_DOUBLE_EQ(s.Number("N3"), -48.828125);  // gain -2
  EXPECT_DOUBLE_EQ(s.Number("O3"), 0.0);         // gain 1e-6f
  EXPECT_DOUBLE_EQ(s.Number("P3"), 0.0);         // gain 0
  EXPECT_DOUBLE_EQ(s.Number("Q12"), 48.828125);  // sample 9 of 10
  EXPECT_TRUE(std::isnan(s.Number("Q13")));      // past the end: blank
  ASSERT_NE(s.Cell("Q13"), nullptr);
  EXPECT_TRUE(s.Cell("Q13")->thinBorder);
  // Thin borders over the block area; panes frozen under row 2.
  for (const char* cell : {"A1", "D1", "A2", "B3", "Q18", "E10"}) {
    ASSERT_NE(s.Cell(cell), nullptr) << cell;
    EXPECT_TRUE(s.Cell(cell)->thinBorder) << cell;
  }
  ASSERT_NE(s.pane, nullptr);
  EXPECT_EQ(Attr(s.pane, "ySplit"), "2");
  EXPECT_EQ(Attr(s.pane, "topLeftCell"), "A3");
  EXPECT_EQ(Attr(s.pane, "state"), "frozen");

  // Member 2: project delay without a section row.
  EXPECT_EQ(sheets[1].name, "M2");
  EXPECT_DOUBLE_EQ(sheets[1].Number("A3"), 7.5);
  EXPECT_DOUBLE_EQ(sheets[1].Number("A4"), 8.0);
  EXPECT_EQ(s.Cell("A3")->numberFormat, "0.00");
  // Printed A4 landscape, one page wide, the two head rows on every page.
  EXPECT_NE(s.xml.find("paperSize=\"9\""), std::string::npos);
  EXPECT_NE(s.xml.find("orientation=\"landscape\""), std::string::npos);
}

// Times as the file holds them (two decimals): 0.4 × 21 is 8.400001 as a
// float sum, and the cell holds 8.4.
TEST(ExcelRaw, TimesAreWrittenAsStored) {
  TempDir dir;
  auto doc = MakeExportDoc({1}, 3);
  for (Member& member : doc->members) member.sampleInterval = 0.4f;
  for (TestZone& zone : doc->zoneLists[0]) {
    for (auto& point : zone.points) {
      if (point) point->unfilteredSamples = testing::Resized(point->unfilteredSamples, 64);
    }
  }
  doc->members[0].sampleCount = 64;
  doc->sections[0].delay = 0.0f;
  WriteRawDataWorkbook(*doc, dir / "raw.xlsx");
  const XlsxSheet s = std::move(ReadXlsx(dir / "raw.xlsx")[0]);
  EXPECT_EQ(s.Number("A24"), 8.4);  // sample 21
}

// The batch result under the member blocks, as the result table states it.
TEST(ExcelResults, BatchResultAsTheResultTableStatesIt) {
  struct Case {
    ResultFlag flag;
    float fcue;
    std::string text;  // empty: the number fcue
  };
  const Case cases[] = {{ResultFlag::Valid, 25.06f, ""},
                        {ResultFlag::BatchInvalid, 25.06f, "批推定值不成立，\n应按单个构件推定"},
                        {ResultFlag::Valid, 9.5f, "fcue <10.0MPa"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TempDir dir;
    auto doc = MakeExportDoc({12, 7});
    doc->batchResultFlag = c.flag;
    doc->result.fcue = c.fcue;
    WriteResultsWorkbook(*doc, dir / "r.xlsx");
    const std::vector<XlsxSheet> sheets = ReadXlsx(dir / "r.xlsx");
    const XlsxSheet& s = sheets[0];
    const int row = office::BatchSummaryRow(*doc);
    EXPECT_EQ(row, 14 + 9 + 4 + 1);  // two member blocks with their estimates, an empty row
    EXPECT_EQ(s.Text(CellName(row, 0)), "强度推定值");
    EXPECT_EQ(s.Text(CellName(row, 4)), "fcu,e(MPa)");
    EXPECT_DOUBLE_EQ(s.Number(CellName(row + 1, 1)), 2);
    EXPECT_DOUBLE_EQ(s.Number(CellName(row + 1, 2)), 31.2);  // Mf 31.25, as the result table shows it
    EXPECT_DOUBLE_EQ(s.Number(CellName(row + 1, 3)), 2.5);
    if (c.text.empty()) {
      EXPECT_DOUBLE_EQ(s.Number(CellName(row + 1, 4)), 25.1);
    } else {
      EXPECT_EQ(s.Text(CellName(row + 1, 4)), c.text);
    }
  }
}

TEST(ExcelRaw, AmplitudeColumnsCoverEveryRecordedPoint) {
  TestZone zone;
  struct Case {
    int pointCount;
    std::vector<int> slots;  // slots holding a point
    int columns;
  };
  const Case cases[] = {{3, {0, 1, 2}, 3},    {4, {0, 1, 2, 3}, 4}, {7, {0, 1, 2, 3, 4, 5, 6}, 7},
                        {3, {0, 1, 2, 3}, 4}, {9, {0}, 7},          {0, {}, 0},
                        {-1, {1}, 2}};
  for (const Case& c : cases) {
    zone = TestZone();
    zone.pointCount = c.pointCount;
    for (int j : c.slots)
      zone.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(j, 0, nullptr, 0, 0, 0, 1, 0);
    EXPECT_EQ(office::RawAmplitudeColumns(zone), c.columns) << "pointCount " << c.pointCount;
  }
}

TEST(ExcelRaw, WorksheetNamesAreValidAndUnique) {
  const std::string longName(40, 'x');
  const std::string longChinese = [] {
    std::string s;
    for (int i = 0; i < 35; ++i) s += "梁";
    return s;
  }();
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"A:B", "c\\d/e", "f?g*h", "[i]"}, {"A_B", "c_d_e", "f_g_h", "_i_"}},
      {{"'quoted'", "''", "", "a'b"}, {"quoted", "构件2", "构件3", "a'b"}},
      {{"Beam", "beam", "BEAM", "Beam (2)"}, {"Beam", "beam (2)", "BEAM (3)", "Beam (2) (2)"}},
      {{"History", "history"}, {"History (2)", "history (3)"}},
      {{longName, longName}, {std::string(31, 'x'), std::string(27, 'x') + " (2)"}},
      {{longChinese}, {longChinese.substr(0, 31 * 3)}},
      {{"tab\there", "bad\xFFutf8"}, {"tab_here", "bad\xEF\xBF\xBDutf8"}},
      {{"Äpfel", "äpfel"}, {"Äpfel", "äpfel (2)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WorksheetNames(c.names), c.expected) << c.names.front();
  }
}

TEST(ExcelRaw, MemberNamesFromFilesBecomeUsableSheetNames) {
  TempDir dir;
  auto doc = MakeExportDoc({1, 1, 1});
  doc->members[0].name = "柱/1";
  doc->members[1].name = "柱/1";
  doc->members[2].name = "";
  const std::filesystem::path path = dir / "raw.xlsx";
  WriteRawDataWorkbook(*doc, path);
  const std::vector<XlsxSheet> sheets = ReadXlsx(path);
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(sheets[0].name, "柱_1");
  EXPECT_EQ(sheets[1].name, "柱_1 (2)");
  EXPECT_EQ(sheets[2].name, "构件3");
}

// The workbook is written compressed into its file: at no moment does the
// folder hold more than the finished workbook, and the space asked to be
// free covers it.
TEST(ExcelRaw, TheDiskHoldsTheWorkbookAndNothingMore) {
  TempDir dir;
  GeneratedFilePlan plan;
  plan.members = 2;
  plan.zones = 20;
  plan.samples = 2048;
  WriteGeneratedFile(dir.path(), "data.SHA", plan);
  CKorvaneDoc generated(CKorvaneDoc::Settings::None);
  generated.OnOpenDocument(dir / "data.SHA");
  // Long blank columns as well: a member whose waveforms are shorter than
  // its sample count (an uncompressed sheet would be far larger).
  auto blanks = MakeExportDoc({20});
  blanks->members[0].sampleCount = 20000;
  for (const CKorvaneDoc* doc : {&generated, blanks.get()}) {
    TempDir out;
    const std::filesystem::path path = out / "raw.xlsx";
    std::uintmax_t most = 0;
    WriteRawDataWorkbook(*doc, path, [&](std::uint64_t, std::uint64_t) {
      std::uintmax_t held = 0;
      for (const auto& entry : std::filesystem::directory_iterator(out.path())) held += entry.file_size();
      most = std::max(most, held);
    });
    const std::uintmax_t size = std::filesystem::file_size(path);
    EXPECT_LE(most, size);
    EXPECT_GT(most, 0u);
    EXPECT_GE(office::RawWorkbookSpaceNeeded(*doc), size);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
  }
}

// An export stopped from its progress (the window's "取消") leaves the
// workbook written before and nothing else.
TEST(ExcelRaw, ACancelledExportLeavesNothingBehind) {
  TempDir dir;
  auto doc = MakeExportDoc({20, 20});
  for (Member& member : doc->members) member.sampleCount = 3000;
  const std::filesystem::path path = dir / "raw.xlsx";
  WriteRawDataWorkbook(*doc, path);
  std::string before;
  ASSERT_FALSE(platform::ReadRegularFile(path, before));
  const auto bytes = [&path] {
    std::string now;
    EXPECT_FALSE(platform::ReadRegularFile(path, now));
    return now;
  };
  doc->members[0].name = "renamed";
  for (const int stopAt : {1, 5, 23}) {
    int calls = 0;
    EXPECT_THROW(WriteRawDataWorkbook(*doc, path,
                                      [&](std::uint64_t, std::uint64_t) {
                                        if (++calls == stopAt) throw office::ExportCancelled{};
                                      }),
                 office::ExportCancelled);
    EXPECT_EQ(calls, stopAt);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

// A workbook larger than the disk's free space is refused before anything
// is written, with the space needed and left (20 members of 16,000 columns
// and a million rows: about 1.9 TB).
TEST(ExcelRaw, TooLittleFreeSpaceIsRefusedFirst) {
  TempDir dir;
  auto doc = MakeExportDoc(std::vector<int>(20, 4000), 3);
  for (Member& member : doc->members) member.sampleCount = 1000000;
  const std::uint64_t needed = office::RawWorkbookSpaceNeeded(*doc);
  if (std::filesystem::space(dir.path()).available >= needed) GTEST_SKIP() << "a disk this large";
  try {
    WriteRawDataWorkbook(*doc, dir / "raw.xlsx");
    ADD_FAILURE() << "written";
  } catch (const KorvaneError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind(std::string(office::kMsgNoSpaceForWorkbook), 0), 0u) << message;
    EXPECT_NE(message.find(std::to_string((needed + 999999) / 1000000) + " MB"), std::string::npos)
        << message;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A sheet Excel cannot hold is refused before anything is written.
TEST(ExcelRaw, SheetsExcelCannotHoldAreRefusedFirst) {
  struct Case {
    const char* name;
    std::vector<int> zones;
    int samples;
    const char* says;
  };
  const Case cases[] = {
      {"rows",
       {2},
       1048575,
       "无法导出原始数据：构件“M1”的采样点数1048575加两行表头超出Excel工作表的1048576行"},
      {"columns", {1, 4097}, 16, "无法导出原始数据：构件“M2”的测区需要16388列以上，超出Excel工作表的16384列"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    auto doc = MakeExportDoc(c.zones);
    for (Member& member : doc->members) member.sampleCount = c.samples;
    try {
      WriteRawDataWorkbook(*doc, dir / "raw.xlsx");
      ADD_FAILURE() << "written";
    } catch (const KorvaneError& error) {
      EXPECT_EQ(std::string(error.what()), c.says);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

TEST(ExcelExport, UnwritablePathThrowsAndKeepsTheExistingFile) {
  TempDir dir;
  auto doc = MakeExportDoc({2});
  const std::filesystem::path missing = dir / "missing" / "out.xlsx";
  try {
    WriteResultsWorkbook(*doc, missing);
    FAIL() << "no error";
  } catch (const KorvaneError& error) {
    EXPECT_NE(std::string(error.what()).find("out.xlsx"), std::string::npos) << error.what();
  }
  EXPECT_THROW(WriteRawDataWorkbook(*doc, missing), KorvaneError);
  EXPECT_FALSE(std::filesystem::exists(missing));

  // Rewriting an existing file replaces it whole and leaves no temporary file.
  const std::filesystem::path path = dir / "out.xlsx";
  WriteResultsWorkbook(*doc, path);
  doc->members[0].name = "renamed";
  WriteResultsWorkbook(*doc, path);
  EXPECT_EQ(ReadXlsx(path)[0].Text("A1"), "构件编号：1        构件名称：renamed");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace korvane::testing
