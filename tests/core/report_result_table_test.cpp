#include <gtest/gtest.h>

#include <algorithm>

#include "core/report/report_layout.h"
#include "report_sample_doc.h"

namespace korvane::report {
namespace {

using korvane::testing::MakeSampleDoc;
using korvane::testing::TextInCell;
using korvane::testing::TextsEqual;

// Body of 2000 x 3000 pixels at (0, 100): 100 px per column (20 columns);
// 100 px per row on ordinary pages (30 rows), 3000/35 on the summary page.
const Rect kTitle{0, 0, 2000, 80};
// The layout of the result table without the member-estimate rows.
const ReportOptions kFixedLayout{false};
const Rect kBody{0, 100, 2000, 3100};

Rect Cell(double i0, double j0, double i1, double j1, bool summary = false) {
  const double r = summary ? 3000.0 / 35 : 100.0;
  return {static_cast<int>(i0 * 100), static_cast<int>(100 + j0 * r), static_cast<int>(i1 * 100),
          static_cast<int>(100 + j1 * r)};
}

// Zone column k (1..10), rows j0..j1.
Rect ZoneCell(int k, double j0, double j1, bool summary = false) {
  return Cell(5 + 1.5 * (k - 1), j0, 5 + 1.5 * k, j1, summary);
}

std::string At(const PageDescription& page, const Rect& cell, FontRole role = FontRole::Value) {
  const TextItem* item = TextInCell(page, cell, role);
  return item == nullptr ? "<none>" : item->text;
}

bool HasLine(const PageDescription& page, Point from, Point to) {
  return std::any_of(page.lines.begin(), page.lines.end(),
                     [&](const LineItem& line) { return line.from == from && line.to == to; });
}

class ResultTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = MakeSampleDoc({3, 23});
    doc_->result = {28.4f, 33.26f, 2.345f};
    // 20 + (-2.85) is 17.1499996 in single precision (17.15000010 in double).
    TestZone& zone = doc_->zoneLists[0][1];
    zone.reboundValue = 20.0f;
    zone.angleCorrection = -2.85f;
    zone.surfaceCorrection = 0.0f;
  }
  std::unique_ptr<CKorvaneDoc> doc_;
};

TEST_F(ResultTableTest, FirstPageOfAShortMember) {
  ASSERT_FALSE(IsSummaryPage(ReportSourceOf(*doc_), 0, 1));
  const PageDescription page =
      LayoutResultTablePage(ReportSourceOf(*doc_), 0, 1, kTitle, kBody, kFixedLayout);
  ASSERT_EQ(TextsEqual(page, "结果数据表").size(), 1u);
  EXPECT_EQ(TextsEqual(page, "结果数据表").front().cell, kTitle);
  EXPECT_EQ(TextsEqual(page, "结果数据表").front().pixelHeight, 48);
  EXPECT_EQ(page.frames.at(0).rect, kBody);

  // Head.
  EXPECT_EQ(At(page, Cell(0, 7, 5, 8), FontRole::Label), "仪器型号与编号");
  EXPECT_EQ(At(page, Cell(11, 5, 14, 6), FontRole::Label), "报告日期");
  EXPECT_EQ(At(page, Cell(0, 9, 5, 11), FontRole::Label), "计算项目");
  EXPECT_EQ(At(page, Cell(5, 9, 20, 10), FontRole::Label), "测         区");
  EXPECT_EQ(At(page, Cell(5, 7, 20, 8)), "VKT-U6      U6-1234");  // six blanks: not the last member
  EXPECT_EQ(At(page, Cell(5, 8, 20, 9)), "1");
  EXPECT_EQ(At(page, Cell(5, 4, 11, 5)), "38天");
  EXPECT_EQ(At(page, Cell(5, 6, 11, 7)), "梁1");
  EXPECT_EQ(At(page, Cell(14, 6, 20, 7)), "CECS 02：2005");
  const TextItem* rebound = TextInCell(page, Cell(0, 11, 2, 21), FontRole::Label);
  ASSERT_NE(rebound, nullptr);
  EXPECT_EQ(rebound->text, "回弹值");
  EXPECT_EQ(rebound->align, HAlign::Left);
  EXPECT_EQ(At(page, Cell(2, 23, 5, 24), FontRole::Label), "修正系数β");
  EXPECT_EQ(At(page, Cell(2, 26, 5, 27), FontRole::Label), "的值");

  // Ten zone numbers, values in the first three zone columns only.
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(At(page, ZoneCell(k, 10, 11), FontRole::Label), std::to_string(k));
  EXPECT_EQ(At(page, ZoneCell(1, 11, 13)), "36.0");
  EXPECT_EQ(At(page, ZoneCell(1, 13, 15)), "-1.2");
  EXPECT_EQ(At(page, ZoneCell(1, 15, 17)), "34.8");
  EXPECT_EQ(At(page, ZoneCell(1, 17, 19)), "0.5");
  EXPECT_EQ(At(page, ZoneCell(1, 19, 21)), "35.3");
  EXPECT_EQ(At(page, ZoneCell(1, 23, 24)), "1.050");
  EXPECT_EQ(At(page, ZoneCell(1, 24, 25)), "0.98");
  EXPECT_EQ(At(page, ZoneCell(1, 27, 28)), "0.95");  // the zone's own η
  EXPECT_EQ(At(page, ZoneCell(3, 28, 30)), "32.0");
  for (int row : {21, 25}) {
    const TextItem* velocity = TextInCell(page, ZoneCell(1, row, row + 2), FontRole::Value);
    ASSERT_NE(velocity, nullptr);
    EXPECT_EQ(velocity->text, row == 21 ? "4.123" : "4.321");
    EXPECT_TRUE(velocity->wordWrap);
  }
  // Sums formed in single precision.
  EXPECT_EQ(At(page, ZoneCell(2, 15, 17)), "17.1");
  EXPECT_EQ(At(page, ZoneCell(2, 19, 21)), "17.1");
  for (const TextItem& item : page.texts) {
    EXPECT_FALSE(item.role == FontRole::Value && item.cell.left >= ZoneCell(4, 0, 1).left &&
                 item.cell.top >= Cell(0, 11, 1, 12).top)
        << "value '" << item.text << "' beyond the member's zones";
  }

  // Ends after the fcu,i row: three foot labels, no summary.
  EXPECT_EQ(At(page, Cell(0, 29, 5, 30), FontRole::Label), "（MPa）");
  EXPECT_TRUE(TextsEqual(page, "强度推定值").empty());
  EXPECT_TRUE(TextsEqual(page, "备注：").empty());
  EXPECT_TRUE(HasLine(page, {0, 2900}, {2000, 2900}));  // row 28
  EXPECT_FALSE(HasLine(page, {0, 3100}, {2000, 3100}));
  EXPECT_TRUE(HasLine(page, {1850, 1100}, {1850, 3100}));  // last zone column boundary, rows 10-30

  // Fonts follow min(r, c) = 100.
  EXPECT_EQ(TextsEqual(page, "工程名称").front().pixelHeight, 70);
  EXPECT_EQ(TextsEqual(page, "滨江大桥工程").front().pixelHeight, 65);
}

TEST_F(ResultTableTest, SummaryOnlyOnTheLastPageOfTheLastMember) {
  EXPECT_FALSE(IsSummaryPage(ReportSourceOf(*doc_), 1, 1));
  EXPECT_FALSE(IsSummaryPage(ReportSourceOf(*doc_), 1, 2));
  ASSERT_TRUE(IsSummaryPage(ReportSourceOf(*doc_), 1, 3));

  const PageDescription first =
      LayoutResultTablePage(ReportSourceOf(*doc_), 1, 1, kTitle, kBody, kFixedLayout);
  EXPECT_TRUE(TextsEqual(first, "结果数据表").empty());
  EXPECT_TRUE(TextsEqual(first, "强度推定值").empty());
  EXPECT_EQ(At(first, Cell(5, 7, 20, 8)), "VKT-U6       U6-1234");  // seven blanks on the last member
  EXPECT_EQ(At(first, ZoneCell(10, 27, 28)), "0.95");               // the zone's own η, not the project's

  const bool s = true;
  const PageDescription page =
      LayoutResultTablePage(ReportSourceOf(*doc_), 1, 3, kTitle, kBody, kFixedLayout);
  EXPECT_EQ(page.frames.at(0).rect, kBody);
  for (int k = 1; k <= 10; ++k)
    EXPECT_EQ(At(page, ZoneCell(k, 10, 11, s), FontRole::Label), std::to_string(20 + k));
  EXPECT_EQ(At(page, ZoneCell(1, 11, 13, s)), "56.0");
  EXPECT_EQ(At(page, ZoneCell(3, 28, 30, s)), "52.0");
  EXPECT_EQ(At(page, ZoneCell(4, 28, 30, s)), "<none>");
  EXPECT_EQ(At(page, ZoneCell(3, 27, 28, s)), "0.95");
  EXPECT_EQ(At(page, Cell(5, 7, 20, 8, s)), "VKT-U6       U6-1234");
  EXPECT_EQ(At(page, Cell(5, 8, 20, 9, s)), "2");

  struct Expected {
    Rect cell;
    FontRole role;
    std::string text;
  };
  const std::vector<Expected> summary = {
      {Cell(0, 30, 5, 31, s), FontRole::Label, "强度推定值"},
      {Cell(0, 31, 5, 32, s), FontRole::Label, "（MPa） N=2"},
      {Cell(0, 34, 5, 35, s), FontRole::Label, "复核"},
      {Cell(10, 34, 12.5, 35, s), FontRole::Label, "计算"},
      {Cell(15, 34, 17.5, 35, s), FontRole::Label, "检测"},
      {Cell(10, 32, 20, 33, s), FontRole::Label, "备注："},
      {Cell(5, 30, 10, 32, s), FontRole::Value, "Mf = 33.3MPa"},
      {Cell(10, 30, 15, 32, s), FontRole::Value, "Sf = 2.35MPa"},
      {Cell(15, 30, 20, 32, s), FontRole::Value, "fcue = 28.4MPa"},
      {Cell(5, 32, 10, 34, s), FontRole::Value, "规程"},
      {Cell(10, 33, 20, 34, s), FontRole::Value, "结果备注"},
  };
  for (const Expected& e : summary) {
    const TextItem* item = TextInCell(page, e.cell, e.role);
    ASSERT_NE(item, nullptr) << e.text;
    EXPECT_EQ(item->text, e.text);
    // Fonts follow min(r, c) = trunc(3000 / 35) = 85.
    EXPECT_EQ(item->pixelHeight, e.role == FontRole::Label ? 59 : 55) << e.text;
  }
  const int y30 = Cell(0, 30, 1, 31, s).top;
  const int y35 = Cell(0, 35, 1, 36, s).top;
  EXPECT_TRUE(HasLine(page, {0, y30}, {2000, y30}));
  EXPECT_TRUE(HasLine(page, {1000, y30}, {1000, y35}));
  EXPECT_TRUE(HasLine(page, {1250, Cell(0, 34, 1, 35, s).top}, {1250, y35}));
}

TEST_F(ResultTableTest, FcueTextsAtTheLimits) {
  const std::vector<std::pair<float, std::string>> cases = {
      {9.99f, "fcue <10.0MPa"},  {10.0f, "fcue = 10.0MPa"}, {70.0f, "fcue = 70.0MPa"},
      {70.01f, "fcue >70.0MPa"}, {0.0f, "fcue <10.0MPa"},   {45.55f, "fcue = 45.5MPa"}};
  for (const auto& [fcue, text] : cases) {
    doc_->result.fcue = fcue;
    const PageDescription page =
        LayoutResultTablePage(ReportSourceOf(*doc_), 1, 3, kTitle, kBody, kFixedLayout);
    EXPECT_EQ(At(page, Cell(15, 30, 20, 32, true)), text) << fcue;
  }
}

TEST(ResultTableFonts, FollowTheSmallerGridUnit) {
  auto doc = MakeSampleDoc({3});
  // Wide and short (c 200 > r 50) and narrow and tall (c 50 < r 200 on 30
  // rows; the only member's page is the summary page: 6000 / 35).
  const PageDescription wide =
      LayoutResultTablePage(ReportSourceOf(*doc), 0, 1, kTitle, Rect{0, 0, 4000, 1750}, kFixedLayout);
  EXPECT_EQ(TextsEqual(wide, "工程名称").front().pixelHeight, 35);
  EXPECT_EQ(TextsEqual(wide, "规程").front().pixelHeight, 32);
  const PageDescription narrow =
      LayoutResultTablePage(ReportSourceOf(*doc), 0, 1, kTitle, Rect{0, 0, 1000, 7000}, kFixedLayout);
  EXPECT_EQ(TextsEqual(narrow, "工程名称").front().pixelHeight, 35);
  // Title and summary on the same page for a single one-page member.
  EXPECT_EQ(TextsEqual(wide, "结果数据表").size(), 1u);
  EXPECT_EQ(TextsEqual(wide, "（MPa） N=1").size(), 1u);
}

TEST(ResultTableFonts, MemberOutOfRangeGivesAnEmptyPage) {
  auto doc = MakeSampleDoc({3});
  EXPECT_TRUE(LayoutResultTablePage(ReportSourceOf(*doc), 1, 1, kTitle, kBody, kFixedLayout).texts.empty());
  EXPECT_FALSE(IsSummaryPage(ReportSourceOf(*doc), 3, 1));
}

}  // namespace
}  // namespace korvane::report
