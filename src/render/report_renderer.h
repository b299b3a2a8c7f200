// Rendering of the two reports of a document on the printer (print and
// preview), into a PDF file, into page images and into monochrome BMP
// files. The layouts come from core/report; this only paints them.
// Everything here needs a QGuiApplication (fonts). `options` choose what the
// pages print beyond the fixed layout (the member-estimate rows).
#pragma once

#include <QImage>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/report/display_list.h"
#include "core/report/page_frame.h"
#include "core/report/pagination.h"

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace korvane {
class CKorvaneDoc;
}

namespace korvane::render {

// Which reports a job holds.
struct ReportChoice {
  bool recordSheet = false;
  bool resultTable = false;
  bool any() const { return recordSheet || resultTable; }
};

// The choice stored in the document's print settings.
ReportChoice ChoiceFromSettings(const CKorvaneDoc& doc);

// Pages of the job in printing order (record sheet first).
std::vector<report::JobPage> BuildJob(const CKorvaneDoc& doc, ReportChoice choice);

// Device description of a printer with its current page layout: resolution,
// printable area and its offset from the paper's corner.
report::DeviceMetrics PrinterMetrics(const QPrinter& printer);

// Hears each page of a long job as it is painted: the pages done and the
// pages of the job (or of its range); false stops the job.
using PageProgress = std::function<bool(int done, int total)>;
// Thrown by RenderJobToPdf when its progress stopped it (not an error:
// nothing was written).
struct JobCancelled {};

// Paints every page of the job on a printer (or a print-preview printer):
// page frame from the print settings, header, footer, page numbers, report.
// `firstPage` and `lastPage` (1-based, inclusive, 0 for the ends) select a
// range. Returns false when the printer cannot be started, or when
// `progress` stopped the job: a printer's job is then aborted (nothing
// printed, a file printed into removed); a print preview's printer
// (`preview`) keeps the pages painted so far.
bool PrintJob(const CKorvaneDoc& doc, QPrinter& printer, ReportChoice choice, int firstPage = 0,
              int lastPage = 0, const ReportOptions& options = {}, const PageProgress& progress = {},
              bool preview = false);

// Resolution of the PDF files, pixels per inch.
inline constexpr int kPdfResolution = 600;

// Writes the job as an A4 PDF (600 dpi device pixels, the margins, header,
// footer and page numbers of the print settings). A previous file at `path`
// is replaced only when the new one is complete. Throws KorvaneError when
// the job is empty or the file cannot be written, JobCancelled when
// `progress` stopped it (the file at `path` as it was). `progress` is called
// on the painting thread.
void RenderJobToPdf(const CKorvaneDoc& doc, const std::filesystem::path& path, ReportChoice choice,
                    const ReportOptions& options = {}, const PageProgress& progress = {});

// Writes one A4 page (600 dpi device pixels) whose description `layout`
// gives for the body inside 20 mm margins, as a PDF titled `title`, with
// the same replacement and failures as RenderJobToPdf. The strength curve's
// page is written so.
void RenderPageToPdf(const std::filesystem::path& path, std::string_view title,
                     const std::function<report::PageDescription(const report::Rect& body)>& layout);

// One printed page as an image: A4 at `dpi`, white, with the page frame,
// header, footer and page number of the print settings. Grayscale,
// antialiased text.
QImage RenderPrintedPage(const CKorvaneDoc& doc, const report::JobPage& page, int dpi,
                         const ReportOptions& options = {});

// One page on the BMP canvas: 1030 x 1400, white, title band and body inside
// a 30-pixel border, header and footer texts in the top and bottom borders,
// no page number.
QImage RenderCanvasPage(const CKorvaneDoc& doc, const report::JobPage& page,
                        const ReportOptions& options = {});

// File name of a job page: "record-001" or "result-001" (the page's position
// in its report) followed by `extension` (".bmp", ".png").
std::string PageFileName(const report::JobPage& page, const std::string& extension);

// Writes one monochrome BMP per job page into `folder` (created when
// missing), named by PageFileName. Returns the paths written. Throws
// KorvaneError naming the file that cannot be written.
std::vector<std::filesystem::path> ExportBmpPages(const CKorvaneDoc& doc, const std::filesystem::path& folder,
                                                  ReportChoice choice, const ReportOptions& options = {});

// Writes one PNG per job page (the printed page at `dpi`) into `folder`.
// Throws KorvaneError as above.
std::vector<std::filesystem::path> ExportPngPages(const CKorvaneDoc& doc, const std::filesystem::path& folder,
                                                  ReportChoice choice, int dpi = 150,
                                                  const ReportOptions& options = {});

}  // namespace korvane::render
