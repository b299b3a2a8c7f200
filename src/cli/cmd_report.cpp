// korvane-cli report FILE [--record-sheet] [--result-table] [--pdf OUT.pdf]
//                         [--png DIR] [--bmp DIR] [--printer [NAME]]
//                         [--no-member-estimates]
// Opens a data file with the print settings of the settings file, recomputes
// it and writes the chosen reports: one PDF of all pages (A4, 600 dpi, with
// the header, footer and page numbers of the print settings), and/or one
// image per page: BMP on the 1030 x 1400 monochrome canvas, PNG as the
// printed A4 page at 150 dpi. Pages are named record-001, ..., result-001,
// ... by their position in their report. --printer sends the job to the
// printer queue NAME (the default printer without a name) through the same
// print path as the desktop program, the page frame taken from that
// printer's resolution and printable area; a queue that does not exist is
// an error (status 1). The result table prints each member's estimate row
// unless --no-member-estimates is given. The paths written and the printer
// used are listed on stdout.
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"

#ifdef KORVANE_WITH_QT
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <memory>
#include "cli/gui_application.h"

#include "core/app/korvane_doc.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"
#include "core/report/report_layout.h"
#include "render/report_renderer.h"
#endif

namespace korvane::cli {

#ifdef KORVANE_WITH_QT
namespace {

// The printer queue `name` (the default queue when empty); KorvaneError
// when there is none.
QPrinterInfo FindPrinter(const std::string& name) {
  const QPrinterInfo info =
      name.empty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(QString::fromStdString(name));
  if (info.isNull()) {
    throw KorvaneError(name.empty() ? std::string("没有默认打印机") : "找不到打印机：" + name);
  }
  return info;
}

}  // namespace

int RunReport(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed = ParseArgs(args, {"--pdf", "--png", "--bmp"},
                                {"--record-sheet", "--result-table", "--no-member-estimates"}, {"--printer"});
  // "report --printer FILE": the word after --printer is the file, the
  // printer the default one.
  std::string printerName = parsed.Value("--printer");
  if (parsed.positional.empty() && !printerName.empty()) {
    parsed.positional.push_back(printerName);
    printerName.clear();
  }
  if (parsed.positional.size() != 1) throw UsageError("expects exactly one FILE");
  const bool toPrinter = parsed.Has("--printer");
  if (!parsed.Has("--pdf") && !parsed.Has("--png") && !parsed.Has("--bmp") && !toPrinter) {
    throw UsageError("nothing to write: give --pdf OUT.pdf, --png DIR, --bmp DIR or --printer [NAME]");
  }
  for (const char* option : {"--pdf", "--png", "--bmp"}) {
    if (parsed.Has(option) && parsed.Value(option).empty())
      throw UsageError(std::string(option) + " needs a path");
  }

  CKorvaneDoc doc(CKorvaneDoc::Settings::Load);
  render::ReportChoice choice = render::ChoiceFromSettings(doc);
  if (parsed.Has("--record-sheet") || parsed.Has("--result-table")) {
    choice = {parsed.Has("--record-sheet"), parsed.Has("--result-table")};
  }
  if (!choice.any()) {
    err << report::kMsgChooseReport << "\n";
    return 2;
  }

  ReportOptions options;
  options.printMemberEstimates = !parsed.Has("--no-member-estimates");

  SendWarningsTo(doc, err);
  doc.OnOpenDocument(PathFromUtf8(parsed.positional.front()));
  doc.RecomputeAll();

  const std::unique_ptr<QGuiApplication> application = MakeGuiApplication();
  // A missing queue is reported before anything is written.
  const QPrinterInfo printerInfo = toPrinter ? FindPrinter(printerName) : QPrinterInfo();
  if (parsed.Has("--pdf")) {
    const std::filesystem::path pdf = PathFromUtf8(parsed.Value("--pdf"));
    render::RenderJobToPdf(doc, pdf, choice, options);
    out << PathToUtf8(pdf) << "\n";
  }
  if (parsed.Has("--png")) {
    for (const auto& path :
         render::ExportPngPages(doc, PathFromUtf8(parsed.Value("--png")), choice, 150, options))
      out << PathToUtf8(path) << "\n";
  }
  if (parsed.Has("--bmp")) {
    for (const auto& path : render::ExportBmpPages(doc, PathFromUtf8(parsed.Value("--bmp")), choice, options))
      out << PathToUtf8(path) << "\n";
  }
  if (toPrinter) {
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    // The job's title in the queue: the data file's name.
    printer.setDocName(QFileInfo(QString::fromStdString(parsed.positional.front())).completeBaseName());
    const std::size_t pages = render::BuildJob(doc, choice).size();
    if (!render::PrintJob(doc, printer, choice, 0, 0, options)) {
      throw KorvaneError("无法打印到打印机：" + printerInfo.printerName().toStdString());
    }
    out << "printer " << printerInfo.printerName().toStdString() << ": " << pages << " pages\n";
  }
  return 0;
}

#else

int RunReport(const Args&, std::ostream&, std::ostream& err) {
  err << "korvane-cli report: " << kLacksRenderer << "\n";
  return 1;
}

#endif

}  // namespace korvane::cli
