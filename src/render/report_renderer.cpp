#include "render/report_renderer.h"

#include <algorithm>

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "core/app/korvane_doc.h"
#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "core/report/bmp_writer.h"
#include "core/report/report_layout.h"
#include "render/page_painter.h"
#include "render/report_fonts.h"

namespace korvane::render {
namespace {

KorvaneError WriteError(const std::filesystem::path& path, std::string_view reason = {}) {
  return KorvaneError(MessageWithPath(kMsgCannotWriteFile, path, reason));
}

// Writes the bytes of a finished file through the core's file replacement.
void ReplaceWith(const std::filesystem::path& path, const QByteArray& bytes) {
  ReplaceFileOrThrow(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Refuses an empty job with the message the print commands show.
std::vector<report::JobPage> CheckedJob(const CKorvaneDoc& doc, ReportChoice choice) {
  if (!choice.any()) throw KorvaneError(std::string(report::kMsgChooseReport));
  std::vector<report::JobPage> job = BuildJob(doc, choice);
  if (job.empty()) throw KorvaneError(std::string(kMsgOpenFileFirst));
  return job;
}

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

void SetImageResolution(QImage& image, int dpi) {
  const auto dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
}

void CreateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw WriteError(folder, error.message());
  if (!std::filesystem::is_directory(folder)) throw WriteError(folder, "not a folder");
}

}  // namespace

ReportChoice ChoiceFromSettings(const CKorvaneDoc& doc) {
  return {doc.printSettings.printRecordSheet != 0, doc.printSettings.printResultTable != 0};
}

std::vector<report::JobPage> BuildJob(const CKorvaneDoc& doc, ReportChoice choice) {
  return report::BuildJob(report::BuildPageTable(doc.zoneLists), choice.recordSheet, choice.resultTable);
}

report::DeviceMetrics PrinterMetrics(const QPrinter& printer) {
  const int dpi = printer.resolution();
  const QPageLayout layout = printer.pageLayout();
  report::DeviceMetrics metrics;
  metrics.dpiX = dpi;
  metrics.dpiY = dpi;
  if (printer.fullPage()) {
    const QRect full = layout.fullRectPixels(dpi);
    metrics.horzRes = full.width();
    metrics.vertRes = full.height();
  } else {
    const QRect paint = layout.paintRectPixels(dpi);
    metrics.horzRes = paint.width();
    metrics.vertRes = paint.height();
    metrics.offsetX = paint.left();
    metrics.offsetY = paint.top();
  }
  return metrics;
}

bool PrintJob(const CKorvaneDoc& doc, QPrinter& printer, ReportChoice choice, int firstPage, int lastPage,
              const ReportOptions& options, const PageProgress& progress, bool preview) {
  InstallReportFontSubstitutions();
  const std::vector<report::JobPage> job = BuildJob(doc, choice);
  if (job.empty()) return false;
  // The report's own margins apply: the printer keeps only what it cannot
  // print on.
  printer.setFullPage(false);
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());

  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const report::PageFrame frame = report::ComputePageFrame(PrinterMetrics(printer), doc.printSettings);
  const auto inRange = [&](const report::JobPage& page) {
    return (firstPage <= 0 || page.jobPage >= firstPage) && (lastPage <= 0 || page.jobPage <= lastPage);
  };
  const auto total = static_cast<int>(std::count_if(job.begin(), job.end(), inRange));
  int done = 0;
  for (const report::JobPage& page : job) {
    if (!inRange(page)) continue;
    if (done > 0) printer.newPage();
    PaintPage(painter, report::LayoutJobPage(ReportSourceOf(doc), page, frame, true, options));
    ++done;
    if (progress && !progress(done, total)) {
      if (preview) {
        painter.end();
        return false;
      }
      printer.abort();
      painter.end();
      // Printing into a file: no part of the job stays behind.
      if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        QFile::remove(printer.outputFileName());
      }
      return false;
    }
  }
  return painter.end();
}

namespace {

// An A4 PDF at kPdfResolution titled `title`, whose pages `paint` draws (it
// starts a new page with writer.newPage()), made in memory and then written
// as one file replacement of `path`.
void WritePdf(const std::filesystem::path& path, std::string_view title,
              const std::function<void(QPdfWriter& writer, QPainter& painter)>& paint) {
  InstallReportFontSubstitutions();
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Korvane"));
    writer.setTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    QPainter painter;
    if (!painter.begin(&writer)) throw WriteError(path);
    paint(writer, painter);
    if (!painter.end()) throw WriteError(path);
  }
  ReplaceWith(path, pdf);
}

}  // namespace

void RenderJobToPdf(const CKorvaneDoc& doc, const std::filesystem::path& path, ReportChoice choice,
                    const ReportOptions& options, const PageProgress& progress) {
  const std::vector<report::JobPage> job = CheckedJob(doc, choice);
  const std::string_view title = job.front().report == report::ReportKind::RecordSheet
                                     ? report::kRecordSheetTitle
                                     : report::kResultTableTitle;
  WritePdf(path, title, [&](QPdfWriter& writer, QPainter& painter) {
    report::DeviceMetrics metrics;
    metrics.dpiX = kPdfResolution;
    metrics.dpiY = kPdfResolution;
    metrics.horzRes = writer.width();
    metrics.vertRes = writer.height();
    const report::PageFrame frame = report::ComputePageFrame(metrics, doc.printSettings);
    const auto total = static_cast<int>(job.size());
    int done = 0;
    for (const report::JobPage& page : job) {
      if (done > 0) writer.newPage();
      PaintPage(painter, report::LayoutJobPage(ReportSourceOf(doc), page, frame, true, options));
      ++done;
      if (progress && !progress(done, total)) {
        painter.end();
        throw JobCancelled{};
      }
    }
  });
}

void RenderPageToPdf(const std::filesystem::path& path, std::string_view title,
                     const std::function<report::PageDescription(const report::Rect& body)>& layout) {
  WritePdf(path, title, [&](QPdfWriter& writer, QPainter& painter) {
    const int margin = static_cast<int>(std::lround(20.0 / 25.4 * kPdfResolution));
    PaintPage(painter, layout({margin, margin, writer.width() - margin, writer.height() - margin}));
  });
}

QImage RenderPrintedPage(const CKorvaneDoc& doc, const report::JobPage& page, int dpi,
                         const ReportOptions& options) {
  InstallReportFontSubstitutions();
  const QSize size = QPageSize(QPageSize::A4).sizePixels(dpi);
  QImage image = WhiteImage(size.width(), size.height());
  SetImageResolution(image, dpi);
  report::DeviceMetrics metrics;
  metrics.dpiX = dpi;
  metrics.dpiY = dpi;
  metrics.horzRes = size.width();
  metrics.vertRes = size.height();
  const report::PageFrame frame = report::ComputePageFrame(metrics, doc.printSettings);
  {
    QPainter painter(&image);
    PaintPage(painter, report::LayoutJobPage(ReportSourceOf(doc), page, frame, true, options));
  }
  return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage RenderCanvasPage(const CKorvaneDoc& doc, const report::JobPage& page, const ReportOptions& options) {
  InstallReportFontSubstitutions();
  QImage image = WhiteImage(report::kCanvasWidth, report::kCanvasHeight);
  SetImageResolution(image, 96);
  const report::PageFrame frame = report::CanvasPageFrame(doc.printSettings);
  {
    QPainter painter(&image);
    PaintPage(painter, report::LayoutJobPage(ReportSourceOf(doc), page, frame, false, options));
  }
  return image;
}

std::string PageFileName(const report::JobPage& page, const std::string& extension) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", page.pageInReport);
  return (page.report == report::ReportKind::RecordSheet ? "record-" : "result-") + std::string(number) +
         extension;
}

std::vector<std::filesystem::path> ExportBmpPages(const CKorvaneDoc& doc, const std::filesystem::path& folder,
                                                  ReportChoice choice, const ReportOptions& options) {
  const std::vector<report::JobPage> job = CheckedJob(doc, choice);
  CreateFolder(folder);
  std::vector<std::filesystem::path> written;
  for (const report::JobPage& page : job) {
    const std::filesystem::path path = folder / PageFileName(page, ".bmp");
    if (const std::error_code error =
            report::CBMPOut::Write(path, ToMonochrome(RenderCanvasPage(doc, page, options))))
      throw WriteError(path, error.message());
    written.push_back(path);
  }
  return written;
}

std::vector<std::filesystem::path> ExportPngPages(const CKorvaneDoc& doc, const std::filesystem::path& folder,
                                                  ReportChoice choice, int dpi,
                                                  const ReportOptions& options) {
  const std::vector<report::JobPage> job = CheckedJob(doc, choice);
  CreateFolder(folder);
  std::vector<std::filesystem::path> written;
  for (const report::JobPage& page : job) {
    const std::filesystem::path path = folder / PageFileName(page, ".png");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!RenderPrintedPage(doc, page, dpi, options).save(&buffer, "PNG"))
      throw WriteError(path, "PNG encoding failed");
    ReplaceWith(path, png);
    written.push_back(path);
  }
  return written;
}

}  // namespace korvane::render
