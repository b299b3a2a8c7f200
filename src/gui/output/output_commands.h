// The print and export commands of the analysis screen: "打印设置", "打印预览",
// "打印", "生成word文档", "输出到excel", "输出到PDF" and "输出到BMP". They
// print and write the two reports of the document as its print settings
// choose them, through the one report renderer and the office writers; every
// dialog and message goes through the prompter.
//
// The frame's command table makes their actions and says when they are
// enabled (while a file is open and the analysis screen is shown); each
// command run anyway without a file says so.
#pragma once

#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/report/pagination.h"
#include "core/report/report_records.h"

class QAction;
class QPrinter;
class QSettings;
class QWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

// Key of "打印构件推定值" in the program's window settings.
inline constexpr char kMemberEstimatesKey[] = "Report/printMemberEstimates";

// Initial name of an output file: the data file's folder and base name with
// `extension` (".docx"); "报告" + extension when the data file has no name.
QString DefaultOutputName(const std::string& dataPathName, const QString& extension);

// Names of the pages after the first in the BMP export's "all pages" mode:
// the chosen file's base name without a trailing "-<digits>", then
// "-NNN" (the page's number in the job, three digits at least) and ".bmp",
// in the chosen file's folder.
QString NumberedPagePath(const QString& chosenPath, int jobPage);

class OutputCommands : public QObject {
  Q_OBJECT

 public:
  // `window`: parent of the dialogs and holder of the actions.
  // `settings`: the window settings (ReportOptions are read from there now
  // and stored there after "确定" of the print settings when
  // `storeSettings`).
  OutputCommands(DocumentModel* model, Prompter* prompter, QWidget* window, QSettings* settings,
                 bool storeSettings, QObject* parent = nullptr);
  ~OutputCommands() override;

  // The frame's close handling asks this first. While the print preview is
  // shown it is closed and true is returned: the program stays open (exit,
  // step 1). True also while a file is being written. False otherwise.
  bool InterceptClose();

  const ReportOptions& options() const { return options_; }
  // The printer of the print and preview commands (kept from one print to
  // the next, as the printer chosen last).
  QPrinter& printer();
  QPrintPreviewDialog* preview() const { return preview_; }

  // The commands.
  void onPrintSetup();
  void onPrintPreview();
  void onPrint();
  void onWord();
  void onExcel();
  void onPdf();
  void onBmp();

 private:
  // How the BMP export writes the pages after the first once the user chose
  // "all pages": replacing existing files, leaving them, or not at all (one
  // dialog per page).
  enum class BatchMode { Off, Replace, SkipExisting };
  BatchMode askBatchMode(const QString& chosen, const std::vector<report::JobPage>& job);
  // No file open: the message, false.
  bool requireFile();
  // Neither report chosen: the message, false.
  bool requireReport();
  // Runs `write` (which writes `path`) with the wait cursor and a progress
  // indication while it takes long; shows the failure's message. True on
  // success. With `stop`, the indication offers "取消", which sets it; a
  // write that then stops by throwing render::JobCancelled or
  // office::ExportCancelled is no failure (false, no message).
  bool writeWithProgress(const QString& label, const QString& path, const std::function<void()>& write,
                         std::atomic<bool>* stop = nullptr);
  // Opens the written file with the desktop's program, or says where it is.
  void showWritten(const QString& path);
  void paintPreview(QPrinter* printer);

  DocumentModel* model_;
  Prompter* prompter_;
  QWidget* window_;
  QSettings* settings_;
  bool storeSettings_;
  ReportOptions options_;
  std::unique_ptr<QPrinter> printer_;
  QPointer<QPrintPreviewDialog> preview_;
  bool writing_ = false;
};

}  // namespace korvane::gui
