#include <gtest/gtest.h>

#include <algorithm>

#include "core/report/layout_grid.h"
#include "core/report/report_layout.h"
#include "report_sample_doc.h"

namespace korvane::report {
namespace {

using korvane::testing::MakeSampleDoc;
using korvane::testing::TextInCell;
using korvane::testing::TextsEqual;

// Body of 1800 x 2660 pixels at (100, 200): 100 px per column in the point
// layout (18 columns), 70 px per row (38 rows).
const Rect kTitle{100, 100, 1900, 180};
const Rect kBody{100, 200, 1900, 2860};

Rect Cell(double i0, double j0, double i1, double j1, double columns = 18) {
  const double c = 1800.0 / columns;
  return {static_cast<int>(100 + i0 * c), static_cast<int>(200 + j0 * 70), static_cast<int>(100 + i1 * c),
          static_cast<int>(200 + j1 * 70)};
}

std::string ValueAt(const PageDescription& page, const Rect& cell) {
  const TextItem* item = TextInCell(page, cell, FontRole::Value);
  return item == nullptr ? "<none>" : item->text;
}

bool HasLine(const PageDescription& page, Point from, Point to) {
  return std::any_of(page.lines.begin(), page.lines.end(),
                     [&](const LineItem& line) { return line.from == from && line.to == to; });
}

class RecordSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = MakeSampleDoc({4, 12});
    ZoneList& zones = doc_->zoneLists[0];
    zones[0].testMethod = TestMethod::Direct;
    zones[0].testLocation = "顶面";
    zones[1].surface = Surface::None;
    zones[2].testLocation = "顶面底面间";
    zones[3].pointCount = 2;  // the member's first zone has 3
  }
  std::unique_ptr<CKorvaneDoc> doc_;
};

TEST_F(RecordSheetTest, FirstPageHeadAndFonts) {
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc_), 0, 1, kTitle, kBody);
  ASSERT_EQ(TextsEqual(page, "现场记录表").size(), 1u);
  const TextItem title = TextsEqual(page, "现场记录表").front();
  EXPECT_EQ(title.cell, kTitle);
  EXPECT_EQ(title.role, FontRole::Title);
  EXPECT_EQ(title.face, "Arial");
  EXPECT_EQ(title.pixelHeight, 48);  // 0.6 x 80

  ASSERT_FALSE(page.frames.empty());
  EXPECT_EQ(page.frames[0].rect, kBody);
  EXPECT_EQ(page.frames[0].penWidth, 4);
  for (const LineItem& line : page.lines) EXPECT_EQ(line.penWidth, 2);

  struct Expected {
    Rect cell;
    FontRole role;
    std::string text;
  };
  const std::vector<Expected> expected = {
      {Cell(0, 0, 4, 1), FontRole::Label, "工程名称"},
      {Cell(0, 8, 4, 9), FontRole::Label, "与编号"},
      {Cell(9, 3, 13, 4), FontRole::Label, "委托编号"},
      {Cell(9, 6, 13, 7), FontRole::Label, "检测编号"},
      {Cell(2, 9, 10, 12), FontRole::Label, "测点回弹值"},
      {Cell(0, 12, 1, 13), FontRole::Label, "号"},
      {Cell(17, 12, 18, 13), FontRole::Label, "位"},
      {Cell(12, 11, 16, 12), FontRole::Label, "li/ti"},
      {Cell(9, 12, 10, 13), FontRole::Label, "8"},
      {Cell(12 + 8.0 / 3, 12, 16, 13), FontRole::Label, "3"},
      {Cell(12, 37, 14, 38), FontRole::Label, "检测"},
      {Cell(4, 0, 18, 1), FontRole::Value, "滨江大桥工程"},  // the whole merged cell
      {Cell(4, 4, 9, 5), FontRole::Value, "2022-3-5"},
      {Cell(4, 5, 9, 6), FontRole::Value, "梁1"},
      {Cell(13, 6, 18, 7), FontRole::Value, "JC-0421"},
      {Cell(4, 7, 18, 9), FontRole::Value, "VKT-U6        U6-1234"},
      {Cell(2, 33, 18, 37), FontRole::Value, "现场记录备注"},
  };
  for (const Expected& e : expected) {
    const TextItem* item = TextInCell(page, e.cell, e.role);
    ASSERT_NE(item, nullptr) << e.text;
    EXPECT_EQ(item->text, e.text);
    EXPECT_EQ(item->pixelHeight, e.role == FontRole::Label ? 56 : 45) << e.text;  // 0.8 r, 0.65 r
    EXPECT_EQ(item->face, "Arial");
    EXPECT_EQ(item->align, HAlign::Center);
    EXPECT_TRUE(item->ellipsis);
  }
}

TEST_F(RecordSheetTest, ZoneRowsOfAMemberWithFourZones) {
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc_), 0, 1, kTitle, kBody);
  // Member number spans all ten slots; ten zone numbers whatever the count.
  EXPECT_EQ(ValueAt(page, Cell(0, 13, 1, 33)), "1");
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(ValueAt(page, Cell(1, 13 + 2 * i, 2, 15 + 2 * i)), std::to_string(i + 1));

  // Readings 1-8 in the zone's first row, 9-16 in its second.
  EXPECT_EQ(ValueAt(page, Cell(2, 13, 3, 14)), "30");
  EXPECT_EQ(ValueAt(page, Cell(9, 13, 10, 14)), "37");
  EXPECT_EQ(ValueAt(page, Cell(2, 14, 3, 15)), "38");
  EXPECT_EQ(ValueAt(page, Cell(9, 20, 10, 21)), "48");  // zone 3: 30 + 15 + 3
  // Slots 4-9 stay empty.
  for (const TextItem& item : page.texts) {
    if (item.role == FontRole::Value && item.cell.top >= Cell(0, 21, 1, 22).top &&
        item.cell.left >= Cell(2, 0, 3, 1).left && item.cell.bottom <= Cell(0, 33, 1, 33).top) {
      ADD_FAILURE() << "unexpected text '" << item.text << "' in an empty slot";
    }
  }

  EXPECT_EQ(ValueAt(page, Cell(10, 15, 11, 17)), "-90");
  EXPECT_EQ(ValueAt(page, Cell(11, 13, 12, 15)), "侧面");
  EXPECT_EQ(ValueAt(page, Cell(11, 15, 12, 17)), "");  // surface -1
  EXPECT_EQ(ValueAt(page, Cell(16, 13, 17, 15)), "对测");
  EXPECT_EQ(ValueAt(page, Cell(16, 15, 17, 17)), "平测");
  EXPECT_EQ(ValueAt(page, Cell(17, 13, 18, 15)), "顶面");
  EXPECT_EQ(ValueAt(page, Cell(17, 17, 18, 19)), "顶底间");

  // Three points: cells 4/3 column wide from column 12; distance, then time.
  const double w = 4.0 / 3;
  EXPECT_EQ(ValueAt(page, Cell(12, 13, 12 + w, 14)), "200");
  EXPECT_EQ(ValueAt(page, Cell(12, 14, 12 + w, 15)), "50.5");
  EXPECT_EQ(ValueAt(page, Cell(12 + 2 * w, 14, 16, 15)), "52.5");
  // Zone 3 has two points: its third point cells are empty.
  EXPECT_EQ(ValueAt(page, Cell(12 + w, 19, 12 + 2 * w, 20)), "201");
  EXPECT_EQ(ValueAt(page, Cell(12 + 2 * w, 19, 16, 20)), "");
  EXPECT_EQ(ValueAt(page, Cell(12 + 2 * w, 20, 16, 21)), "");
}

// A ten-reading standard prints the ten readings its R comes from, five to
// a row, as the screen and the Word sheet show them; never the other six.
TEST_F(RecordSheetTest, TenReadingStandardsPrintTheirTenReadings) {
  doc_->standard = Standard::CECS02_2020;
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc_), 0, 1, kTitle, kBody);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(ValueAt(page, Cell(2 + k % 5, 13 + k / 5, 3 + k % 5, 14 + k / 5)), std::to_string(30 + k)) << k;
  }
  for (int column = 7; column < 10; ++column) {
    EXPECT_EQ(ValueAt(page, Cell(column, 13, column + 1, 14)), "<none>") << column;
    EXPECT_EQ(ValueAt(page, Cell(column, 14, column + 1, 15)), "<none>") << column;
  }
  const TextItem* sixth = TextInCell(page, Cell(7, 12, 8, 13), FontRole::Label);
  EXPECT_EQ(sixth, nullptr);  // reading columns numbered 1-5
}

TEST_F(RecordSheetTest, GridLines) {
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc_), 0, 1, kTitle, kBody);
  // Point separators at 13 1/3 and 14 2/3, rows 12-33.
  EXPECT_TRUE(HasLine(page, {1433, 1040}, {1433, 2510}));
  EXPECT_TRUE(HasLine(page, {1566, 1040}, {1566, 2510}));
  // Between the two rows of a zone: readings and the point cells up to the
  // test-mode column; full-width lines below each zone.
  EXPECT_TRUE(HasLine(page, {300, 1180}, {1100, 1180}));
  EXPECT_TRUE(HasLine(page, {1300, 1180}, {1700, 1180}));
  // Lines between zones stop at the member-number cell; the last one (row
  // 33) closes it.
  EXPECT_TRUE(HasLine(page, {200, 1250}, {1900, 1250}));
  EXPECT_FALSE(HasLine(page, {100, 1250}, {1900, 1250}));
  EXPECT_TRUE(HasLine(page, {100, 2510}, {1900, 2510}));
  // Head divider and signature separators.
  EXPECT_TRUE(HasLine(page, {500, 200}, {500, 830}));
  EXPECT_TRUE(HasLine(page, {1500, 2790}, {1500, 2860}));
}

// A member of 12 zones fills two pages of ten zone columns (numbered 1..10
// and 11..20): each page with the member's number and name and the readings
// of its zones; the title only on the first page of the first member.
TEST_F(RecordSheetTest, PagesOfALongerMember) {
  struct Page {
    int page;
    int firstZone;  // 0-based
    int zones;
  };
  for (const Page& p : {Page{1, 0, 10}, Page{2, 10, 2}}) {
    SCOPED_TRACE(p.page);
    const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc_), 1, p.page, kTitle, kBody);
    EXPECT_TRUE(TextsEqual(page, "现场记录表").empty());
    EXPECT_EQ(ValueAt(page, Cell(0, 13, 1, 33)), "2");
    EXPECT_EQ(ValueAt(page, Cell(4, 5, 9, 6)), "梁2");
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(ValueAt(page, Cell(1, 13 + 2 * i, 2, 15 + 2 * i)), std::to_string(p.firstZone + i + 1)) << i;
      // The zone's first reading (30 + z % 5); nothing past the last zone.
      EXPECT_EQ(ValueAt(page, Cell(2, 13 + 2 * i, 3, 14 + 2 * i)),
                i < p.zones ? std::to_string(30 + (p.firstZone + i) % 5) : "<none>")
          << i;
    }
  }
  EXPECT_TRUE(LayoutRecordSheetPage(ReportSourceOf(*doc_), 2, 1, kTitle, kBody).texts.empty());
  EXPECT_TRUE(LayoutRecordSheetPage(ReportSourceOf(*doc_), -1, 1, kTitle, kBody).texts.empty());
}

TEST(RecordSheetVelocityLayout, SevenPointCurrentZone) {
  auto doc = MakeSampleDoc({3}, 7);
  ASSERT_TRUE(UsesVelocityLayout(ReportSourceOf(*doc)));
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc), 0, 1, kTitle, kBody);
  auto cell17 = [](double i0, double j0, double i1, double j1) { return Cell(i0, j0, i1, j1, 17); };
  EXPECT_EQ(page.frames.at(0).rect, kBody);
  EXPECT_EQ(TextInCell(page, cell17(12, 9, 15, 10), FontRole::Label)->text, "修正后声速");
  EXPECT_EQ(TextInCell(page, cell17(12, 11, 15, 12), FontRole::Label)->text, "(km/s)");
  EXPECT_EQ(TextInCell(page, cell17(15, 12, 16, 13), FontRole::Label)->text, "式");
  EXPECT_EQ(TextInCell(page, cell17(16, 12, 17, 13), FontRole::Label)->text, "位");
  EXPECT_EQ(ValueAt(page, cell17(12, 13, 15, 15)), "4.321");
  EXPECT_EQ(ValueAt(page, cell17(15, 13, 16, 15)), "平测");
  EXPECT_EQ(ValueAt(page, cell17(16, 13, 17, 15)), "侧面");
  EXPECT_EQ(ValueAt(page, cell17(13, 3, 17, 4)), "WT-2022-018");
  EXPECT_EQ(ValueAt(page, cell17(4, 7, 17, 9)), "VKT-U6        U6-1234");
  EXPECT_EQ(ValueAt(page, cell17(2, 13, 3, 14)), "30");
  // No point numbers and no point distances.
  EXPECT_TRUE(TextsEqual(page, "200").empty());
  for (const TextItem& item : page.texts) {
    EXPECT_FALSE(item.cell.top == cell17(0, 12, 1, 13).top && item.cell.left >= cell17(12, 0, 13, 1).left &&
                 item.cell.left < cell17(15, 0, 16, 1).left)
        << item.text;
  }
}

TEST(RecordSheetVelocityLayout, ChosenByTheCurrentZoneOnly) {
  // The current zone has 3 points, member 1 has 7: point layout, and the
  // seven point cells of member 1 share columns 12-16.
  auto doc = MakeSampleDoc({2, 2});
  for (TestZone& zone : doc->zoneLists[1]) zone = korvane::testing::MakeSampleZone(0, 7);
  EXPECT_FALSE(UsesVelocityLayout(ReportSourceOf(*doc)));
  const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc), 1, 1, kTitle, kBody);
  EXPECT_EQ(ValueAt(page, Cell(12 + 6 * 4.0 / 7, 13, 16, 14)), "206");
  EXPECT_EQ(ValueAt(page, Cell(16, 13, 17, 15)), "平测");

  doc->currentMember = 1;
  EXPECT_TRUE(UsesVelocityLayout(ReportSourceOf(*doc)));
  doc->memberCount = -1;  // no file open: no current zone
  EXPECT_FALSE(UsesVelocityLayout(ReportSourceOf(*doc)));
}

TEST(RecordSheetPointLayout, FiveAndSixPointsStayLeftOfTheTestMode) {
  for (int points : {4, 5, 6}) {
    auto doc = MakeSampleDoc({1}, points);
    const PageDescription page = LayoutRecordSheetPage(ReportSourceOf(*doc), 0, 1, kTitle, kBody);
    const double w = points == 4 ? 1.0 : 4.0 / points;
    const TextItem* last = TextInCell(page, Cell(12 + (points - 1) * w, 12, 16, 13), FontRole::Label);
    ASSERT_NE(last, nullptr) << points;
    EXPECT_EQ(last->text, std::to_string(points));
    EXPECT_EQ(ValueAt(page, Cell(12 + (points - 1) * w, 14, 16, 15)), FormatFixed(50.5 + points - 1, 1));
  }
}

}  // namespace
}  // namespace korvane::report
