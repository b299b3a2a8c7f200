#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <fstream>
#include <iterator>
#include <regex>

#include "core/platform/error.h"
#include "core/report/layout_grid.h"
#include "core/report/report_layout.h"
#include "core/report_sample_doc.h"
#include "render/page_painter.h"
#include "render/report_fonts.h"
#include "render/report_renderer.h"
#include "support/temp_dir.h"

namespace korvane::render {
namespace {

using korvane::testing::MakeSampleDoc;
using korvane::testing::TempDir;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Page objects of a PDF ("/Type /Page", not "/Type /Pages").
int CountPdfPages(const std::string& pdf) {
  static const std::regex kPage(R"(/Type\s*/Page(?![s]))");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), kPage), std::sregex_iterator()));
}

// Whether a pen of width 2 centred on (x, y) blackened the pixel or one next
// to it across the line.
bool BlackNear(const report::MonochromeBitmap& bitmap, int x, int y, bool horizontalLine) {
  for (int d = -1; d <= 1; ++d) {
    if (horizontalLine ? bitmap.IsBlack(x, y + d) : bitmap.IsBlack(x + d, y)) return true;
  }
  return false;
}

TEST(RenderCanvas, BlackGridLinesOnWhite) {
  auto doc = MakeSampleDoc({4});
  const report::JobPage page{1, report::ReportKind::RecordSheet, 0, 1, 1};
  const QImage image = RenderCanvasPage(*doc, page);
  ASSERT_EQ(image.size(), QSize(1030, 1400));
  const report::MonochromeBitmap bitmap = ToMonochrome(image);

  // Record-sheet grid over the canvas body (30, 98)-(1000, 1370).
  const report::LayoutGrid grid({30, 98, 1000, 1370}, 18, 38);
  EXPECT_TRUE(BlackNear(bitmap, grid.X(0.5), grid.Y(13), true));   // row 13
  EXPECT_TRUE(BlackNear(bitmap, grid.X(6.5), grid.Y(29), true));   // below an empty zone slot
  EXPECT_TRUE(BlackNear(bitmap, grid.X(5), grid.Y(28.5), false));  // reading column boundary
  EXPECT_TRUE(BlackNear(bitmap, 30, 700, false));                  // frame
  // Empty cells and the borders stay white.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{
           {grid.X(5.5), grid.Y(29.5)}, {grid.X(14), grid.Y(30.5)}, {10, 700}, {500, 15}, {500, 1390}}) {
    EXPECT_FALSE(bitmap.IsBlack(x, y)) << x << "," << y;
  }
  // The title is drawn: dark pixels in the title band.
  int titleBlack = 0;
  for (int y = 30; y < 98; ++y) {
    for (int x = 30; x < 1000; ++x) titleBlack += bitmap.IsBlack(x, y) ? 1 : 0;
  }
  EXPECT_GT(titleBlack, 200);
}

TEST(RenderCanvas, HeaderAndFooterGoIntoTheBorders) {
  auto doc = MakeSampleDoc({1});
  doc->printSettings.printHeader = 1;
  doc->printSettings.headerText = "页眉 Header";
  doc->printSettings.printFooter = 1;
  doc->printSettings.footerText = "页脚";
  doc->printSettings.printPageNumber = 1;
  const report::MonochromeBitmap bitmap =
      ToMonochrome(RenderCanvasPage(*doc, {1, report::ReportKind::ResultTable, 0, 1, 1}));
  auto blackIn = [&](int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < 1030; ++x) count += bitmap.IsBlack(x, y) ? 1 : 0;
    }
    return count;
  };
  EXPECT_GT(blackIn(0, 29), 50);
  EXPECT_GT(blackIn(1372, 1400), 20);
}

TEST(RenderBmp, OneFilePerPageRecordSheetFirst) {
  auto doc = MakeSampleDoc({3, 12});
  const TempDir scratch("korvane-render-bmp");
  const std::filesystem::path folder = scratch / "out";
  const std::vector<std::filesystem::path> files = ExportBmpPages(*doc, folder, {true, true});
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(file.filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"record-001.bmp", "record-002.bmp", "record-003.bmp",
                                             "result-001.bmp", "result-002.bmp", "result-003.bmp"}));
  for (const auto& file : files) EXPECT_EQ(std::filesystem::file_size(file), 184862u) << file;

  // The file holds the rendered page: row 13 of the record sheet is black.
  const std::string bytes = ReadText(files[0]);
  const report::LayoutGrid grid({30, 98, 1000, 1370}, 18, 38);
  const int x = grid.X(0.5);
  bool black = false;
  for (int y = grid.Y(13) - 1; y <= grid.Y(13) + 1; ++y) {
    const std::size_t offset =
        62 + static_cast<std::size_t>(1399 - y) * 132 + static_cast<std::size_t>(x / 8);
    black = black || (static_cast<unsigned char>(bytes[offset]) & (0x80 >> (x % 8))) == 0;
  }
  EXPECT_TRUE(black);
}

TEST(RenderPdf, OnePageObjectPerJobPage) {
  auto doc = MakeSampleDoc({3, 12, 25});
  const TempDir folder("korvane-render-pdf");
  const std::filesystem::path both = folder / "both.pdf";
  RenderJobToPdf(*doc, both, {true, true});
  const std::string pdf = ReadText(both);
  ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_EQ(CountPdfPages(pdf), 12);

  doc->printSettings.printHeader = 1;
  doc->printSettings.printPageNumber = 1;
  RenderJobToPdf(*doc, folder / "results.pdf", {false, true});
  EXPECT_EQ(CountPdfPages(ReadText(folder / "results.pdf")), 6);
  EXPECT_FALSE(std::filesystem::exists(folder / "both.pdf.part"));
}

TEST(RenderPdf, FailuresCarryTheMessageAndKeepThePreviousFile) {
  auto doc = MakeSampleDoc({3});
  const TempDir folder("korvane-render-pdf-fail");
  try {
    RenderJobToPdf(*doc, folder / "x.pdf", {false, false});
    ADD_FAILURE() << "no error for an empty choice";
  } catch (const KorvaneError& error) {
    EXPECT_STREQ(error.what(), "请选择要打印的内容");
  }
  const std::filesystem::path missing = folder / "no-such-folder" / "x.pdf";
  try {
    RenderJobToPdf(*doc, missing, {true, false});
    ADD_FAILURE() << "no error for an unwritable path";
  } catch (const KorvaneError& error) {
    EXPECT_NE(std::string(error.what()).find(missing.string()), std::string::npos) << error.what();
  }
  CKorvaneDoc empty;
  EXPECT_THROW(RenderJobToPdf(empty, folder / "x.pdf", {true, false}), KorvaneError);
  EXPECT_FALSE(std::filesystem::exists(folder / "x.pdf"));
}

TEST(RenderPrinter, PrintJobPaintsEveryPageOnAPdfPrinter) {
  auto doc = MakeSampleDoc({3, 12});
  const TempDir folder("korvane-render-printer");
  const std::filesystem::path path = folder / "printed.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path.string()));
  const report::DeviceMetrics metrics = PrinterMetrics(printer);
  EXPECT_GT(metrics.dpiY, 0);
  ASSERT_TRUE(PrintJob(*doc, printer, {true, true}));
  EXPECT_EQ(CountPdfPages(ReadText(path)), 6);
}

// A job stopped from its progress: the PDF keeps the file written before
// and the printer's job is aborted; the progress hears every page up to the
// stop, and the range's page count.
TEST(RenderProgress, AStoppedJobWritesNothing) {
  auto doc = MakeSampleDoc({3, 12, 25});
  const TempDir folder("korvane-render-stop");
  const std::filesystem::path pdf = folder / "job.pdf";
  RenderJobToPdf(*doc, pdf, {false, true});
  const std::string before = ReadText(pdf);
  struct Case {
    int first, last;  // print range (0: the ends)
    int stopAt;
    int total;
  };
  for (const Case& c : {Case{0, 0, 1, 12}, Case{0, 0, 7, 12}, Case{3, 5, 2, 3}}) {
    SCOPED_TRACE(c.stopAt);
    std::vector<std::pair<int, int>> heard;
    const PageProgress stop = [&](int done, int total) {
      heard.emplace_back(done, total);
      return done < c.stopAt;
    };
    std::vector<std::pair<int, int>> expected;
    for (int k = 1; k <= c.stopAt; ++k) expected.emplace_back(k, c.total);
    if (c.first == 0) {
      EXPECT_THROW(RenderJobToPdf(*doc, pdf, {true, true}, {}, stop), JobCancelled);
      EXPECT_EQ(heard, expected);
      EXPECT_EQ(ReadText(pdf), before);
      heard.clear();
    }
    const std::filesystem::path printed = folder / "printed.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed.string()));
    EXPECT_FALSE(PrintJob(*doc, printer, {true, true}, c.first, c.last, {}, stop));
    EXPECT_EQ(heard, expected);
    EXPECT_FALSE(std::filesystem::exists(printed));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(RenderPng, PrintedPagesAtTheRequestedResolution) {
  auto doc = MakeSampleDoc({12});
  const TempDir folder("korvane-render-png");
  const auto files = ExportPngPages(*doc, folder.path(), {false, true}, 100);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[1].filename().string(), "result-002.png");
  const QImage image(QString::fromStdString(files[0].string()));
  EXPECT_EQ(image.size(), QPageSize(QPageSize::A4).sizePixels(100));
}

// Paints one text into a small image and returns it.
QImage PaintText(const std::string& face, const std::string& text) {
  QImage image(120, 80, QImage::Format_RGB32);
  image.fill(Qt::white);
  report::PageDescription page;
  report::TextItem item;
  item.cell = {0, 0, 120, 80};
  item.text = text;
  item.face = face;
  item.pixelHeight = 48;
  page.texts.push_back(item);
  QPainter painter(&image);
  PaintPage(painter, page);
  painter.end();
  return image;
}

int DarkPixels(const QImage& image) {
  const report::MonochromeBitmap bitmap = ToMonochrome(image);
  int count = 0;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) count += bitmap.IsBlack(x, y) ? 1 : 0;
  }
  return count;
}

TEST(RenderFonts, ChineseCharactersRenderInEveryReportFace) {
  InstallReportFontSubstitutions();
  for (const std::string face :
       {"Arial", "Times New Roman", "宋体", "黑体", "隶书", "仿宋_GB2312", "楷体_GB2312"}) {
    const QImage first = PaintText(face, "测");
    const QImage second = PaintText(face, "区");
    EXPECT_GT(DarkPixels(first), 30) << face;
    // Missing glyphs would all draw the same box.
    EXPECT_NE(first, second) << face;
  }
  EXPECT_GT(DarkPixels(PaintText("Arial", "12.5")), 30);
}

TEST(RenderFonts, LatinFacesUseMetricCompatibleStandIns) {
  InstallReportFontSubstitutions();
  const QStringList families = ReportFontFamilies("Arial");
  ASSERT_FALSE(families.isEmpty());
  EXPECT_EQ(families.front(), "Arial");
  EXPECT_TRUE(families.contains("Liberation Sans"));
  const QString resolved = QFontInfo(ReportFont("Arial", 40)).family();
  EXPECT_TRUE(resolved == "Arial" || resolved == "Liberation Sans") << resolved.toStdString();
  // The cell height of the Windows font is about 1.117 em for Arial, 1 em
  // for the Chinese faces.
  EXPECT_EQ(ReportFont("Arial", 112).pixelSize(), 100);
  EXPECT_EQ(ReportFont("宋体", 112).pixelSize(), 112);
  EXPECT_EQ(ReportFont("Arial", 0).pixelSize(), 1);
}

}  // namespace
}  // namespace korvane::render
