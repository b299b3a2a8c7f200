#include <gtest/gtest.h>

#include "core/report/page_frame.h"
#include "core/report/report_layout.h"

namespace korvane::report {
namespace {

// A4 at 600 dpi without physical offsets (a PDF page).
DeviceMetrics A4At600() { return {600, 600, 4961, 7016, 0, 0}; }

TEST(ReportPageFrame, MarginsUseTheSinglePrecisionDivisor) {
  // The divisor is slightly above 25.4: exact multiples fall one pixel short.
  EXPECT_EQ(MarginPixels(254, 20), 199);
  EXPECT_EQ(MarginPixels(600, 20), 472);
  EXPECT_EQ(MarginPixels(600, 15), 354);
  EXPECT_EQ(MarginPixels(96, 20), 75);
  EXPECT_EQ(MarginPixels(600, 0), 0);
}

TEST(ReportPageFrame, DefaultSettingsHaveTitleAndBodyOnly) {
  const PageFrame frame = ComputePageFrame(A4At600(), NewPrintSettings());
  EXPECT_FALSE(frame.hasHeader);
  EXPECT_FALSE(frame.hasFooter);
  EXPECT_EQ(frame.millimetre, 23);
  EXPECT_EQ(frame.usableWidth, 4961 - 472 - 354);
  EXPECT_EQ(frame.title, (Rect{472, 472, 4607, 472 + 13 * 23}));
  EXPECT_EQ(frame.body, (Rect{472, 472 + 15 * 23, 4607, 472 + 6190}));
  EXPECT_EQ(frame.decorationFontPx, 125);
}

TEST(ReportPageFrame, HeaderAndFooterBandsShrinkTheBody) {
  PrintSettings settings = NewPrintSettings();
  settings.printHeader = 1;
  settings.headerHeight = 40;  // the printed band is 10 mm whatever this says
  settings.printPageNumber = 1;
  const PageFrame frame = ComputePageFrame(A4At600(), settings);
  ASSERT_TRUE(frame.hasHeader);
  ASSERT_TRUE(frame.hasFooter);
  // Header: 8 mm of text band at the top margin; the frame moves down 10 mm.
  EXPECT_EQ(frame.header, (Rect{472, 472, 4607, 472 + 8 * 23}));
  const int top = 472 + 230;
  const int heightAfterHeader = 6190 - 230;
  // Footer: 2 mm below the frame's bottom, 8 mm high, in the bottom margin.
  EXPECT_EQ(frame.footer, (Rect{472, top + heightAfterHeader + 46, 4607, top + heightAfterHeader + 230}));
  EXPECT_EQ(frame.title, (Rect{472, top, 4607, top + 299}));
  EXPECT_EQ(frame.body, (Rect{472, top + 345, 4607, top + heightAfterHeader - 230}));
  EXPECT_EQ(frame.usableHeight, heightAfterHeader - 230);

  // The footer text alone opens the footer band too.
  settings.printHeader = 0;
  settings.printPageNumber = 0;
  settings.printFooter = 1;
  EXPECT_TRUE(ComputePageFrame(A4At600(), settings).hasFooter);
}

TEST(ReportPageFrame, MarginsAreRaisedToThePhysicalOffsets) {
  PrintSettings settings = NewPrintSettings();
  settings.leftMargin = 2;  // 47 px, below the 80 px offset
  settings.topMargin = 3;   // 70 px, below the 100 px offset
  const DeviceMetrics printer{600, 600, 4800, 6800, 80, 100};
  const PageFrame frame = ComputePageFrame(printer, settings);
  // Origin relative to the printable area; right margin 354 px stays.
  EXPECT_EQ(frame.title.left, 0);
  EXPECT_EQ(frame.title.top, 0);
  EXPECT_EQ(frame.usableWidth, 4800 + 160 - 80 - 354);
  EXPECT_EQ(frame.body, (Rect{0, 345, 4526, 6800 + 200 - 100 - 354}));

  // Margins wider than the offsets: measured from the paper's edge.
  const PageFrame normal = ComputePageFrame(printer, NewPrintSettings());
  EXPECT_EQ(normal.title.left, 472 - 80);
  EXPECT_EQ(normal.title.top, 472 - 100);
}

TEST(ReportPageFrame, BmpCanvasFrame) {
  PrintSettings settings = NewPrintSettings();
  settings.printHeader = 1;
  settings.printPageNumber = 1;  // no page numbers on the canvas: no footer band
  const PageFrame frame = CanvasPageFrame(settings);
  EXPECT_EQ(frame.title, (Rect{30, 30, 1000, 98}));
  EXPECT_EQ(frame.body, (Rect{30, 98, 1000, 1370}));
  EXPECT_TRUE(frame.hasHeader);
  EXPECT_EQ(frame.header, (Rect{30, 0, 1000, 30}));
  EXPECT_FALSE(frame.hasFooter);
  EXPECT_EQ(frame.decorationFontPx, 20);
  settings.printFooter = 1;
  EXPECT_EQ(CanvasPageFrame(settings).footer, (Rect{30, 1370, 1000, 1400}));
}

TEST(ReportDecoration, HeaderFooterAndPageNumberTexts) {
  PrintSettings settings = NewPrintSettings();
  settings.printHeader = 1;
  settings.headerText = "页眉文字";
  settings.headerAlign = 1;
  settings.headerFont = 1;
  settings.printFooter = 1;
  settings.footerText = "页脚文字";
  settings.footerAlign = 2;
  settings.footerFont = 4;
  settings.printPageNumber = 1;
  settings.pageNumberPosition = 0;
  settings.firstPageNumber = 3;
  settings.pageNumberFormat = 1;
  const PageFrame frame = ComputePageFrame(A4At600(), settings);

  const PageDescription page = LayoutDecoration(settings, frame, 2, true);
  ASSERT_EQ(page.texts.size(), 3u);
  const TextItem& header = page.texts[0];
  EXPECT_EQ(header.text, "页眉文字");
  EXPECT_EQ(header.role, FontRole::Header);
  EXPECT_EQ(header.cell, frame.header);
  EXPECT_EQ(header.face, "黑体");
  EXPECT_EQ(header.pixelHeight, 125);
  EXPECT_EQ(header.align, HAlign::Center);
  const TextItem& footer = page.texts[1];
  EXPECT_EQ(footer.text, "页脚文字");
  EXPECT_EQ(footer.cell, frame.footer);
  EXPECT_EQ(footer.face, "楷体_GB2312");
  EXPECT_EQ(footer.align, HAlign::Right);
  // Job page 2 with first number 3 is number 4; same band as the footer, in
  // the font selected last (the footer's).
  const TextItem& number = page.texts[2];
  EXPECT_EQ(number.role, FontRole::PageNumber);
  EXPECT_EQ(number.text, "IV");
  EXPECT_EQ(number.cell, frame.footer);
  EXPECT_EQ(number.face, "楷体_GB2312");
  EXPECT_EQ(number.align, HAlign::Left);

  EXPECT_EQ(LayoutDecoration(settings, frame, 2, false).texts.size(), 2u);

  // At the same alignment the number follows the text on its line (as the
  // Word footer writes them) instead of being drawn over it.
  settings.pageNumberPosition = 2;
  const PageDescription shared = LayoutDecoration(settings, frame, 2, true);
  ASSERT_EQ(shared.texts.size(), 2u);
  EXPECT_EQ(shared.texts[1].text, "页脚文字IV");
  EXPECT_EQ(shared.texts[1].align, HAlign::Right);
}

TEST(ReportDecoration, PageNumberAloneAndOutOfRangeIndices) {
  PrintSettings settings = NewPrintSettings();
  settings.printPageNumber = 1;
  settings.pageNumberPosition = 7;  // not an alignment: left
  settings.headerFont = 9;          // not in the list: the first font
  const PageFrame frame = ComputePageFrame(A4At600(), settings);
  const PageDescription page = LayoutDecoration(settings, frame, 7, true);
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].text, "7 ");
  EXPECT_EQ(page.texts[0].face, "宋体");
  EXPECT_EQ(page.texts[0].align, HAlign::Left);

  settings.printHeader = 1;
  EXPECT_EQ(LayoutDecoration(settings, ComputePageFrame(A4At600(), settings), 1, true).texts.back().face,
            "宋体");
}

}  // namespace
}  // namespace korvane::report
