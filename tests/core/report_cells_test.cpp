// The result cells shared by every report output, and what the printed
// result table makes of them: each zone's own η, the batch estimate after a
// failed batch test, the member-estimate rows.
#include <gtest/gtest.h>

#include "core/algorithm/algorithm.h"
#include "core/report/layout_grid.h"
#include "core/report/report_cells.h"
#include "core/report/report_layout.h"
#include "report_sample_doc.h"

namespace korvane::report {
namespace {

using korvane::testing::MakeSampleDoc;
using korvane::testing::TextInCell;
using korvane::testing::TextsEqual;

const Rect kTitle{0, 0, 2000, 80};
const Rect kBody{0, 100, 2000, 3100};

// Text of a value (or label) drawn in grid cell (i0, j0)-(i1, j1) of a
// result-table page with `rows` rows.
std::string At(const PageDescription& page, int rows, double i0, double j0, double i1, double j1,
               FontRole role = FontRole::Value) {
  const LayoutGrid grid(kBody, 20, rows);
  const TextItem* item = TextInCell(page, grid.Cell(i0, j0, i1, j1), role);
  return item == nullptr ? "<none>" : item->text;
}

void SetMemberResult(Member& member, float min, float mean, float sd, float estimate, ResultFlag flag) {
  member.minStrength = min;
  member.meanStrength = mean;
  member.stdDevStrength = sd;
  member.estimatedStrength = estimate;
  member.resultFlag = flag;
}

TEST(ReportCells, ZoneFiguresAsEveryOutputPrintsThem) {
  TestZone zone = korvane::testing::MakeSampleZone(0, 3);
  zone.reboundValue = 20.0f;
  zone.angleCorrection = -2.85f;  // 17.1499996 as a float sum, 17.15000010 in double
  zone.surfaceCorrection = 0.0f;
  zone.eta = 0.9f;
  zone.beta = 1.0449999f;
  zone.points[0]->distance = 199.9f;  // truncated, not rounded
  zone.points[1].reset();             // a missing point
  zone.pointCount = 2;                // slot 3 is beyond the zone's points

  const ZoneReportCells cells = FormatZoneCells(zone, Standard::CECS02_2005);
  const std::pair<const ReportFigure*, std::string> figures[] = {{&cells.reboundValue, "20.0"},
                                                                 {&cells.afterAngle, "17.1"},
                                                                 {&cells.afterSurface, "17.1"},
                                                                 {&cells.beta, "1.045"},
                                                                 {&cells.lambda, "0.98"},
                                                                 {&cells.eta, "0.90"},
                                                                 {&cells.correctedVelocity, "4.321"},
                                                                 {&cells.strength, "30.0"},
                                                                 {&cells.times[0], "50.5"}};
  for (const auto& [figure, text] : figures) EXPECT_EQ(figure->text, text);
  EXPECT_EQ(cells.eta.decimals, 2);
  EXPECT_EQ(cells.distances[0], "199");
  EXPECT_EQ(cells.distances[1], "");
  EXPECT_EQ(cells.distances[2], "");
  EXPECT_EQ(cells.times[2].text, "");
  EXPECT_EQ(cells.points, 2);
  EXPECT_EQ(cells.readings[15], "45");
  EXPECT_EQ(cells.method, "平测");

  // One rule for every output: the limits where the standard has the
  // screen show them, the number elsewhere; the correction each standard
  // applies (η, or Δtot for an additive one) beside the strength.
  zone.deltaTot = -1.25f;
  struct Case {
    Standard standard;
    float strength;
    std::string shown;
    std::string correction;
  };
  const Case cases[] = {
      {Standard::CECS02_2005, 70.0f, "70.0", "0.90"},  {Standard::CECS02_2005, 70.04f, ">70MPa", "0.90"},
      {Standard::CECS02_2005, 10.0f, "10.0", "0.90"},  {Standard::CECS02_2005, 9.99f, "<10MPa", "0.90"},
      {Standard::CECS02_2020, 9.99f, "10.0", "-1.25"}, {Standard::CECS02_2020, 8.1f, "8.1", "-1.25"},
      {Standard::CECS02_2020, 75.0f, "75.0", "-1.25"},
  };
  for (const Case& c : cases) {
    zone.strengthValue = c.strength;
    const ZoneReportCells limited = FormatZoneCells(zone, c.standard);
    EXPECT_EQ(limited.strengthText(), c.shown) << c.strength;
    EXPECT_EQ(limited.correction.text, c.correction) << c.strength;
  }
  EXPECT_EQ(CorrectionLabel(Standard::CECS02_2005), "强度修正系数η");
  EXPECT_EQ(CorrectionLabel(Standard::CECS02_2020), "强度修正值Δtot(MPa)");
}

// A file whose zones carry η 0.90 prints 0.90 beside the strengths computed
// with it, on the pages of the last member too.
TEST(ResultTablePage, EveryMembersPagesShowEachZonesOwnEta) {
  auto doc = MakeSampleDoc({2, 3});
  doc->project.eta = 1.0f;
  const float etas[] = {0.9f, 0.85f, 1.15f};
  for (int k = 0; k < 3; ++k) doc->zoneLists[1][static_cast<std::size_t>(k)].eta = etas[k];
  for (const bool estimates : {true, false}) {
    const ReportOptions options{estimates};
    const int rows = ResultTableRows(ReportSourceOf(*doc), 1, 1, options);
    const PageDescription page = LayoutResultTablePage(ReportSourceOf(*doc), 1, 1, kTitle, kBody, options);
    const std::string expected[] = {"0.90", "0.85", "1.15"};
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(At(page, rows, 5 + 1.5 * (k - 1), 27, 5 + 1.5 * k, 28), expected[k - 1]) << k;
    }
  }
}

TEST(ResultTablePage, BatchEstimateCellStatesAnInvalidBatch) {
  struct Case {
    ResultFlag flag;
    float fcue;
    std::string page;
    std::string word;
  };
  const Case cases[] = {
      {ResultFlag::BatchInvalid, 0.0f, "批推定值不成立，\n应按单个构件推定",
       "批推定值不成立，\n应按单个构件推定"},
      {ResultFlag::BatchInvalid, 28.4f, "批推定值不成立，\n应按单个构件推定",
       "批推定值不成立，\n应按单个构件推定"},
      {ResultFlag::Below10, 0.0f, "fcue <10.0MPa", "fcue <10.0MPa"},
      {ResultFlag::Above70, 75.0f, "fcue >70.0MPa", "fcue >70.0MPa"},
      {ResultFlag::Valid, 28.4f, "fcue = 28.4MPa", "fcue =28.4MPa"},
  };
  auto doc = MakeSampleDoc({2, 3});
  for (const Case& c : cases) {
    EXPECT_EQ(BatchEstimateText(c.flag, c.fcue, SummaryStyle::Word), c.word) << static_cast<int>(c.flag);
    doc->batchResultFlag = c.flag;
    doc->result.fcue = c.fcue;
    for (const bool estimates : {true, false}) {
      const ReportOptions options{estimates};
      const int rows = ResultTableRows(ReportSourceOf(*doc), 1, 1, options);
      const int s0 = estimates ? 32 : 30;
      const PageDescription page = LayoutResultTablePage(ReportSourceOf(*doc), 1, 1, kTitle, kBody, options);
      EXPECT_EQ(At(page, rows, 15, s0, 20, s0 + 2), c.page) << static_cast<int>(c.flag) << " " << estimates;
      // Mf and Sf stay; the invalid-batch text takes two lines of its cell.
      EXPECT_EQ(At(page, rows, 5, s0, 10, s0 + 2), "Mf = 33.2MPa");
      const LayoutGrid grid(kBody, 20, rows);
      const TextItem* item = TextInCell(page, grid.Cell(15, s0, 20, s0 + 2), FontRole::Value);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->wordWrap, c.flag == ResultFlag::BatchInvalid);
    }
  }
}

TEST(ResultTablePage, MemberEstimateRowOnTheLastPageOfEveryMember) {
  auto doc = MakeSampleDoc({3, 12, 0});
  SetMemberResult(doc->members[0], 30.0f, 31.0f, 1.0f, 30.0f, ResultFlag::Valid);
  SetMemberResult(doc->members[1], 9.5f, 35.55f, 7.125f, 0.0f, ResultFlag::Below10);

  // Member 1: one page, its last; 32 rows, the row below the fcu,i row.
  ASSERT_EQ(ResultTableRows(ReportSourceOf(*doc), 0, 1, {}), 32);
  const PageDescription first = LayoutResultTablePage(ReportSourceOf(*doc), 0, 1, kTitle, kBody);
  EXPECT_EQ(first.frames.at(0).rect, kBody);
  const std::tuple<double, double, FontRole, std::string> row[] = {
      {0, 5, FontRole::Label, "构件推定值"},          {0, 5, FontRole::Label, "（MPa） N=3"},
      {5, 8.75, FontRole::Value, "Fmin = 30.0MPa"},   {8.75, 12.5, FontRole::Value, "Mf = 31.0MPa"},
      {12.5, 16.25, FontRole::Value, "Sf = 1.00MPa"}, {16.25, 20, FontRole::Value, "fcu,e = 30.0MPa"}};
  for (int k = 0; k < 6; ++k) {
    const auto& [i0, i1, role, text] = row[k];
    const double j0 = k == 1 ? 31 : 30;
    const double j1 = k == 0 ? 31 : 32;
    EXPECT_EQ(At(first, 32, i0, j0, i1, j1, role), text);
  }
  EXPECT_TRUE(TextsEqual(first, "强度推定值").empty());

  // Member 2: the row only on its second (last) page; flag 1 gives the
  // member's result text.
  EXPECT_EQ(ResultTableRows(ReportSourceOf(*doc), 1, 1, {}), 30);
  EXPECT_TRUE(
      TextsEqual(LayoutResultTablePage(ReportSourceOf(*doc), 1, 1, kTitle, kBody), "构件推定值").empty());
  const PageDescription second = LayoutResultTablePage(ReportSourceOf(*doc), 1, 2, kTitle, kBody);
  EXPECT_EQ(At(second, 32, 16.25, 30, 20, 32), "fcu,e <10.0MPa");
  EXPECT_EQ(At(second, 32, 0, 31, 5, 32, FontRole::Label), "（MPa） N=12");
  EXPECT_EQ(At(second, 32, 12.5, 30, 16.25, 32), "Sf = 7.12MPa");  // 7.125f: a tie, to even

  // Member 3 (no zones, the summary page): N=0 without figures, then the
  // batch summary five rows further down; the page keeps to the body.
  ASSERT_EQ(ResultTableRows(ReportSourceOf(*doc), 2, 1, {}), 37);
  const PageDescription last = LayoutResultTablePage(ReportSourceOf(*doc), 2, 1, kTitle, kBody);
  EXPECT_EQ(last.frames.at(0).rect, kBody);
  EXPECT_EQ(At(last, 37, 0, 31, 5, 32, FontRole::Label), "（MPa） N=0");
  EXPECT_EQ(At(last, 37, 5, 30, 8.75, 32), "<none>");
  EXPECT_EQ(At(last, 37, 0, 32, 5, 33, FontRole::Label), "强度推定值");
  EXPECT_EQ(At(last, 37, 0, 33, 5, 34, FontRole::Label), "（MPa） N=3");
  EXPECT_EQ(At(last, 37, 10, 34, 20, 35, FontRole::Label), "备注：");
  EXPECT_EQ(At(last, 37, 10, 35, 20, 36), "结果备注");
  EXPECT_EQ(At(last, 37, 0, 36, 5, 37, FontRole::Label), "复核");

  // Switched off: the fixed layout of 30 and 35 rows.
  const ReportOptions off{false};
  EXPECT_EQ(ResultTableRows(ReportSourceOf(*doc), 0, 1, off), 30);
  EXPECT_EQ(ResultTableRows(ReportSourceOf(*doc), 2, 1, off), 35);
  EXPECT_TRUE(TextsEqual(LayoutResultTablePage(ReportSourceOf(*doc), 0, 1, kTitle, kBody, off), "构件推定值")
                  .empty());
}

TEST(ReportCells, MemberEstimateTextsByFlag) {
  auto doc = MakeSampleDoc({10});
  const std::tuple<ResultFlag, float, std::string, std::string> cases[] = {
      {ResultFlag::Valid, 25.065f, "fcu,e = 25.1MPa", "fcu,e=25.1MPa"},
      {ResultFlag::Below10, 0.0f, "fcu,e <10.0MPa", "fcu,e <10.0MPa"},
      {ResultFlag::Above70, 72.0f, "fcu,e >70.0MPa", "fcu,e >70.0MPa"},
      {ResultFlag::BatchInvalid, 0.0f, "fcu,e 输入有误！", "fcu,e 输入有误！"}};
  for (const auto& [flag, estimate, page, word] : cases) {
    SetMemberResult(doc->members[0], 12.0f, 30.0f, 3.0f, estimate, flag);
    const MemberEstimateCells cells = FormatMemberEstimate(ReportSourceOf(*doc), 0);
    EXPECT_EQ(cells.zones, 10);
    EXPECT_EQ(MemberEstimateText(cells, SummaryStyle::Page), page);
    EXPECT_EQ(MemberEstimateText(cells, SummaryStyle::Word), word);
  }
  EXPECT_EQ(FormatMemberEstimate(ReportSourceOf(*doc), 1).zones, 0);
  EXPECT_EQ(MemberEstimateText(FormatMemberEstimate(ReportSourceOf(*doc), -1), SummaryStyle::Page), "");
}

}  // namespace
}  // namespace korvane::report
