#include "gui/output/output_commands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <exception>

#include "core/app/korvane_doc.h"
#include "core/report/bmp_writer.h"
#include "core/report/report_layout.h"
#include "gui/document/document_model.h"
#include "gui/output/print_settings_dialog.h"
#include "gui/prompter.h"
#include "gui/widgets/save_progress.h"
#include "gui/widgets/wait_cursor.h"
#include "office/excel_export.h"
#include "office/word_report.h"
#include "render/page_painter.h"
#include "render/report_fonts.h"
#include "render/report_renderer.h"

namespace korvane::gui {

namespace {

constexpr char kFilterWord[] = "Word 文档 (*.docx)|*.docx||";
constexpr char kFilterPdf[] = "PDF 文件 (*.pdf)|*.pdf||";
constexpr char kFilterBmp[] = "(*.bmp)|*.bmp||";
// A write shorter than this shows no progress window.
constexpr int kProgressDelayMs = 300;

}  // namespace

QString DefaultOutputName(const std::string& dataPathName, const QString& extension) {
  if (dataPathName.empty()) return QStringLiteral("报告") + extension;
  const QFileInfo info(FromUtf8(dataPathName));
  return QDir(info.absolutePath()).filePath(info.completeBaseName() + extension);
}

QString NumberedPagePath(const QString& chosenPath, int jobPage) {
  const QFileInfo info(chosenPath);
  QString base = info.completeBaseName();
  static const QRegularExpression kNumber(QStringLiteral("-\\d+$"));
  base.remove(kNumber);
  return QDir(info.absolutePath())
      .filePath(QStringLiteral("%1-%2.bmp").arg(base).arg(jobPage, 3, 10, QLatin1Char('0')));
}

OutputCommands::OutputCommands(DocumentModel* model, Prompter* prompter, QWidget* window, QSettings* settings,
                               bool storeSettings, QObject* parent)
    : QObject(parent),
      model_(model),
      prompter_(prompter),
      window_(window),
      settings_(settings),
      storeSettings_(storeSettings) {
  if (settings_ != nullptr) {
    options_.printMemberEstimates = settings_->value(QString::fromLatin1(kMemberEstimatesKey), true).toBool();
  }
  // The preview follows the data: redrawn when values change, closed when
  // the file is replaced or closed.
  connect(model_, &DocumentModel::zoneDataChanged, this, [this] {
    if (preview_ == nullptr) return;
    if (auto* widget = preview_->findChild<QPrintPreviewWidget*>()) widget->updatePreview();
  });
  connect(model_, &DocumentModel::fileChanged, this, [this] {
    if (preview_ != nullptr) preview_->close();
  });
}

OutputCommands::~OutputCommands() {
  if (preview_ != nullptr) delete preview_.data();
}

QPrinter& OutputCommands::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

bool OutputCommands::InterceptClose() {
  if (writing_) return true;
  if (preview_ == nullptr || !preview_->isVisible()) return false;
  preview_->close();
  return true;
}

bool OutputCommands::requireFile() {
  if (model_->hasFile()) return true;
  prompter_->message(window_, FromUtf8(kMsgOpenFileFirst));
  return false;
}

bool OutputCommands::requireReport() {
  if (render::ChoiceFromSettings(model_->doc()).any()) return true;
  prompter_->message(window_, FromUtf8(report::kMsgChooseReport));
  return false;
}

// ---- Print settings, print, preview ------------------------------------------------

void OutputCommands::onPrintSetup() {
  CPrintSetParent dialog(model_->doc(), options_, prompter_, window_);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (accepted && settings_ != nullptr && storeSettings_) {
    settings_->setValue(QString::fromLatin1(kMemberEstimatesKey), options_.printMemberEstimates);
    settings_->sync();
  }
  // A click on a header, footer or page-number switch changes the settings
  // even when the dialog is cancelled.
  if (preview_ != nullptr) {
    if (auto* widget = preview_->findChild<QPrintPreviewWidget*>()) widget->updatePreview();
  }
}

void OutputCommands::paintPreview(QPrinter* target) {
  const CKorvaneDoc& doc = model_->doc();
  const render::ReportChoice choice = render::ChoiceFromSettings(doc);
  if (!doc.HasFile() || !choice.any()) return;
  int first = 0;
  int last = 0;
  if (target->printRange() == QPrinter::PageRange) {
    first = target->fromPage();
    last = target->toPage();
  }
  // A long preview shows its pages' progress and can be cancelled, which
  // closes the preview.
  bool stopped = false;
  SaveProgress progress(window_, QStringLiteral("正在生成打印预览…"), [&stopped] { stopped = true; });
  const WriteProgress heard = progress.callback();
  render::PrintJob(
      doc, *target, choice, first, last, options_,
      [&](int done, int total) {
        heard(static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total));
        return !stopped;
      },
      /*preview=*/true);
  if (stopped && preview_ != nullptr) QTimer::singleShot(0, preview_, &QWidget::close);
}

void OutputCommands::onPrintPreview() {
  if (!requireFile() || !requireReport()) return;
  if (preview_ != nullptr) {
    preview_->raise();
    preview_->activateWindow();
    return;
  }
  QPrinter& target = printer();
  target.setPrintRange(QPrinter::AllPages);
  auto* dialog = new QPrintPreviewDialog(&target, window_);
  dialog->setObjectName(QStringLiteral("printPreview"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("打印预览"));
  // Not modal: the program's exit closes the preview first.
  dialog->setWindowModality(Qt::NonModal);
  connect(dialog, &QPrintPreviewDialog::paintRequested, this, &OutputCommands::paintPreview);
  // Paging from the keyboard, wherever the focus is in the preview (the
  // page number field keeps Home and End for its text).
  if (auto* pages = dialog->findChild<QPrintPreviewWidget*>()) {
    const struct {
      QKeySequence key;
      int (*page)(int current, int count);
    } kPaging[] = {
        {QKeySequence(Qt::Key_PageDown), [](int current, int) { return current + 1; }},
        {QKeySequence(Qt::Key_PageUp), [](int current, int) { return current - 1; }},
        {QKeySequence(Qt::Key_Home), [](int, int) { return 1; }},
        {QKeySequence(Qt::Key_End), [](int, int count) { return count; }},
    };
    for (const auto& paging : kPaging) {
      auto* shortcut = new QShortcut(paging.key, dialog);
      const auto page = paging.page;
      connect(shortcut, &QShortcut::activated, pages, [pages, page] {
        const int count = pages->pageCount();
        if (count > 0) pages->setCurrentPage(std::clamp(page(pages->currentPage(), count), 1, count));
      });
    }
  }
  if (window_ != nullptr) dialog->resize(window_->size() * 9 / 10);
  preview_ = dialog;
  dialog->show();
}

void OutputCommands::onPrint() {
  if (!requireFile() || !requireReport()) return;
  const CKorvaneDoc& doc = model_->doc();
  const render::ReportChoice choice = render::ChoiceFromSettings(doc);
  const int pages = static_cast<int>(render::BuildJob(doc, choice).size());
  QPrinter& target = printer();
  target.setDocName(QFileInfo(FromUtf8(doc.pathName)).completeBaseName());
  target.setPrintRange(QPrinter::AllPages);
  if (!prompter_->choosePrinter(window_, target, pages)) return;
  int first = 0;
  int last = 0;
  if (target.printRange() == QPrinter::PageRange) {
    first = target.fromPage();
    last = target.toPage();
  }
  bool printed = false;
  bool stopped = false;
  {
    const WaitCursor wait;
    SaveProgress progress(window_, QStringLiteral("正在打印…"), [&stopped] { stopped = true; });
    const WriteProgress heard = progress.callback();
    printed = render::PrintJob(doc, target, choice, first, last, options_, [&](int done, int total) {
      heard(static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total));
      return !stopped;
    });
  }
  // Cancelled: the job was aborted, nothing to say.
  if (!printed && !stopped) {
    const QString name =
        target.outputFormat() == QPrinter::PdfFormat ? target.outputFileName() : target.printerName();
    prompter_->message(window_, QStringLiteral("无法打印到打印机：%1").arg(QDir::toNativeSeparators(name)));
  }
}

// ---- Files ----------------------------------------------------------------------------

bool OutputCommands::writeWithProgress(const QString& label, const QString& path,
                                       const std::function<void()>& write, std::atomic<bool>* stop) {
  // The fonts' stand-ins are registered here, before a worker paints.
  render::InstallReportFontSubstitutions();
  // A busy indicator that shows only when the write takes a while.
  QDialog progress(window_);
  progress.setWindowTitle(QStringLiteral("Korvane"));
  progress.setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(&progress);
  layout->addWidget(new QLabel(label, &progress));
  auto* bar = new QProgressBar(&progress);
  bar->setRange(0, 0);
  layout->addWidget(bar);
  if (stop != nullptr) {
    auto* cancel = new QPushButton(QStringLiteral("取消"), &progress);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, &progress, [stop, cancel] {
      stop->store(true);
      cancel->setEnabled(false);
    });
  }
  const WaitCursor wait;
  writing_ = true;

  // The file is written on a worker while this thread keeps the windows
  // painted; no user input is handled until it is done, so the document
  // does not change meanwhile.
  std::exception_ptr failure;
  std::unique_ptr<QThread> worker(QThread::create([&write, &failure] {
    try {
      write();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  QEventLoop loop;
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  QTimer showLater;
  showLater.setSingleShot(true);
  connect(&showLater, &QTimer::timeout, &progress, [&progress, &loop, stop] {
    progress.show();
    // From now on the modal window takes the input: its "取消" alone.
    if (stop != nullptr) loop.exit(1);
  });
  showLater.start(kProgressDelayMs);
  worker->start();
  if (loop.exec(QEventLoop::ExcludeUserInputEvents) == 1 && !worker->isFinished()) loop.exec();
  worker->wait();
  writing_ = false;
  showLater.stop();
  progress.hide();
  if (!failure) return true;
  try {
    std::rethrow_exception(failure);
  } catch (const render::JobCancelled&) {
    // Cancelled: nothing was written, nothing to say.
  } catch (const office::ExportCancelled&) {
  } catch (const std::exception& error) {
    prompter_->message(window_, QString::fromUtf8(error.what()));
  } catch (...) {
    prompter_->message(window_, QStringLiteral("无法写入文件：%1").arg(QDir::toNativeSeparators(path)));
  }
  return false;
}

void OutputCommands::showWritten(const QString& path) { ShowWrittenFile(*prompter_, window_, path); }

void OutputCommands::onWord() {
  if (!requireFile() || !requireReport()) return;
  const CKorvaneDoc& doc = model_->doc();
  const QString path = prompter_->saveFileName(
      window_, DefaultOutputName(doc.pathName, QStringLiteral(".docx")), QString::fromUtf8(kFilterWord),
      QStringLiteral("docx"), QStringLiteral("生成word文档"));
  if (path.isEmpty()) return;
  const ReportOptions options = options_;
  const std::filesystem::path target = ToFsPath(path);
  std::atomic<bool> stop = false;
  if (!writeWithProgress(
          QStringLiteral("正在生成Word文档…\n%1").arg(QDir::toNativeSeparators(path)), path,
          [&doc, &target, options, &stop] {
            office::WriteWordReport(doc, target, options, [&stop] { return !stop.load(); });
          },
          &stop)) {
    return;
  }
  showWritten(path);
}

void OutputCommands::onExcel() {
  if (!requireFile()) return;
  const CKorvaneDoc& doc = model_->doc();
  const QString path = prompter_->saveFileName(
      window_, DefaultOutputName(doc.pathName, QStringLiteral(".xlsx")), QString::fromUtf8(kFilterWorkbook),
      QStringLiteral("xlsx"), QStringLiteral("输出到excel"));
  if (path.isEmpty()) return;
  const ReportOptions options = options_;
  const std::filesystem::path target = ToFsPath(path);
  if (!writeWithProgress(QStringLiteral("正在输出到Excel…\n%1").arg(QDir::toNativeSeparators(path)), path,
                         [&doc, &target, options] { office::WriteResultsWorkbook(doc, target, options); })) {
    return;
  }
  showWritten(path);
}

void OutputCommands::onPdf() {
  if (!requireFile() || !requireReport()) return;
  const CKorvaneDoc& doc = model_->doc();
  const QString path = prompter_->saveFileName(
      window_, DefaultOutputName(doc.pathName, QStringLiteral(".pdf")), QString::fromUtf8(kFilterPdf),
      QStringLiteral("pdf"), QStringLiteral("输出到PDF"));
  if (path.isEmpty()) return;
  const ReportOptions options = options_;
  const render::ReportChoice choice = render::ChoiceFromSettings(doc);
  const std::filesystem::path target = ToFsPath(path);
  std::atomic<bool> stop = false;
  if (!writeWithProgress(
          QStringLiteral("正在输出到PDF…\n%1").arg(QDir::toNativeSeparators(path)), path,
          [&doc, &target, choice, options, &stop] {
            render::RenderJobToPdf(doc, target, choice, options, [&stop](int, int) { return !stop.load(); });
          },
          &stop)) {
    return;
  }
  showWritten(path);
}

OutputCommands::BatchMode OutputCommands::askBatchMode(const QString& chosen,
                                                       const std::vector<report::JobPage>& job) {
  QStringList existing;
  for (std::size_t k = 1; k < job.size(); ++k) {
    const QString numbered = NumberedPagePath(chosen, job[k].jobPage);
    if (QFileInfo::exists(numbered)) existing << numbered;
  }
  if (existing.isEmpty()) return BatchMode::Replace;
  const QString question = QStringLiteral(
                               "文件夹中已有%1个同名文件（如 %2），是否替换？\n"
                               "是：替换；否：跳过这些页；取消：逐页选择文件名。")
                               .arg(existing.size())
                               .arg(QFileInfo(existing.front()).fileName());
  switch (prompter_->askYesNoCancel(window_, question)) {
    case Prompter::Answer::Yes: return BatchMode::Replace;
    case Prompter::Answer::No: return BatchMode::SkipExisting;
    case Prompter::Answer::Cancel: break;
  }
  return BatchMode::Off;
}

void OutputCommands::onBmp() {
  if (!requireFile() || !requireReport()) return;
  const CKorvaneDoc& doc = model_->doc();
  const std::vector<report::JobPage> job = render::BuildJob(doc, render::ChoiceFromSettings(doc));
  const int count = static_cast<int>(job.size());
  const QString filter = QString::fromUtf8(kFilterBmp);
  QString previous = DefaultOutputName(doc.pathName, QStringLiteral("-001.bmp"));
  BatchMode batch = BatchMode::Off;
  QString batchPath;
  std::unique_ptr<QProgressDialog> progress;
  int batchWritten = 0;

  for (int i = 0; i < count; ++i) {
    const report::JobPage& page = job[static_cast<std::size_t>(i)];
    QString path;
    if (batch != BatchMode::Off) {
      progress->setValue(i);
      if (progress->wasCanceled()) break;
      path = NumberedPagePath(batchPath, page.jobPage);
      if (batch == BatchMode::SkipExisting && QFileInfo::exists(path)) continue;
    } else {
      // One save dialog per page; the first offers to write the rest at once.
      const QString title = QStringLiteral("输出到BMP（第%1页，共%2页）").arg(page.jobPage).arg(count);
      const QString initial = i == 0 ? previous : NumberedPagePath(previous, page.jobPage);
      if (i == 0 && count > 1) {
        bool all = false;
        path = prompter_->saveFileNameWithOption(
            window_, initial, filter, QStringLiteral("bmp"), title,
            QStringLiteral("其余%1页也写入此文件夹（文件名后加页码）").arg(count - 1), all);
        if (!path.isEmpty() && all) {
          batch = askBatchMode(path, job);
          batchPath = path;
          if (batch != BatchMode::Off) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("正在写入BMP文件…"),
                                                         QStringLiteral("取消"), 0, count, window_);
            progress->setWindowTitle(QStringLiteral("Korvane"));
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(kProgressDelayMs);
          }
        }
      } else {
        path = prompter_->saveFileName(window_, initial, filter, QStringLiteral("bmp"), title);
      }
      if (path.isEmpty()) continue;  // a cancelled dialog skips its page
      previous = path;
    }
    std::error_code failure;
    {
      const WaitCursor wait;
      failure = report::CBMPOut::Write(ToFsPath(path),
                                       render::ToMonochrome(render::RenderCanvasPage(doc, page, options_)));
    }
    if (!failure && batch != BatchMode::Off) ++batchWritten;
    if (failure) {
      prompter_->message(window_, FromUtf8(report::BmpWriteFailureMessage(ToFsPath(path), failure)));
      // The remaining pages are offered one by one again.
      if (batch != BatchMode::Off) {
        batch = BatchMode::Off;
        progress.reset();
        previous = path;
      }
    }
  }
  if (progress) progress->setValue(count);
  // Where the pages written at once went.
  if (batch != BatchMode::Off && batchWritten > 0) {
    prompter_->message(
        window_, FromUtf8(report::BmpBatchWrittenMessage(batchWritten, ToFsPath(batchPath).parent_path())));
  }
}

}  // namespace korvane::gui
