// The print settings dialog and the print and export commands of the
// analysis screen, driven through their widgets and the scripted prompter:
// the dialog's rules, the job printed to a PDF printer, the preview, the
// Word, Excel, PDF and BMP files with their failures.
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/report/bmp_writer.h"
#include "gui/commands.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/output/output_commands.h"
#include "gui/output/print_settings_dialog.h"
#include "gui_test_support.h"
#include "office/office_test_support.h"
#include "support/external_tools.h"

namespace korvane::gui::test {

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pages of a PDF as pdfinfo counts them; -1 without pdfinfo.
int PdfPages(const QString& path) {
  const auto pdfinfo = korvane::testing::FindProgram("pdfinfo");
  if (pdfinfo.empty()) return -1;
  std::string out;
  korvane::testing::RunCommand(korvane::testing::ShellQuote(pdfinfo.string()) + " " +
                                   korvane::testing::ShellQuote(path.toStdString()) + " 2>/dev/null",
                               out);
  const auto at = out.find("Pages:");
  return at == std::string::npos ? 0 : std::atoi(out.c_str() + at + 6);
}

// Runs `action` on the modal dialog once it is shown.
void OnModal(const std::function<void(QWidget*)>& action) {
  QTimer::singleShot(0, [action] {
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal != nullptr);
    action(modal);
  });
}

#ifndef _WIN32
// Caps the size of files this process writes while it lives, so that any
// write of more than `bytes` fails (also for root). Windows has no such
// limit: the test that needs it runs on Linux only.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};
#endif

}  // namespace

class OutputCommandsTest : public QObject {
  Q_OBJECT

 private:
  // Members of 3, 12 and 25 zones; the data file is "<dir>/桥梁检测.SHA".
  void makeCommands(std::vector<int> zones = {3, 12, 25}) {
    commands_.reset();
    model_.reset();
    auto doc = korvane::testing::MakeSampleDoc(zones);
    doc->pathName = QDir(dir_.path()).filePath(QStringLiteral("桥梁检测.SHA")).toStdString();
    model_ = std::make_unique<DocumentModel>(std::move(doc));
    settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("ui.ini")), QSettings::IniFormat);
    window_ = std::make_unique<QWidget>();
    commands_ =
        std::make_unique<OutputCommands>(model_.get(), &prompter_, window_.get(), settings_.get(), true);
    const std::pair<int, void (OutputCommands::*)()> commands[] = {
        {cmd::kPrintSetup, &OutputCommands::onPrintSetup},
        {cmd::kPrintPreview, &OutputCommands::onPrintPreview},
        {cmd::kPrint, &OutputCommands::onPrint},
        {cmd::kWord, &OutputCommands::onWord},
        {cmd::kPdf, &OutputCommands::onPdf},
        {cmd::kBmp, &OutputCommands::onBmp},
        {cmd::kExcel, &OutputCommands::onExcel}};
    actions_.clear();
    for (const auto& [id, command] : commands) {
      auto* action = new QAction(window_.get());
      QObject::connect(action, &QAction::triggered, commands_.get(), command);
      actions_.insert(id, action);
    }
  }
  CKorvaneDoc& doc() { return model_->doc(); }
  QAction* action(int id) { return actions_.value(id); }
  QString path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  ScriptedPrompter prompter_;
  QHash<int, QAction*> actions_;
  std::unique_ptr<DocumentModel> model_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<OutputCommands> commands_;

 private slots:
  void init() { makeCommands(); }
  void cleanup() {
    commands_.reset();
    window_.reset();
    settings_.reset();
    model_.reset();
    prompter_ = ScriptedPrompter();
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
  }

  // ---- Print settings dialog -------------------------------------------------

  void dialogStaysOpenWithoutAReportAndCancelRestoresTheSwitches() {
    ReportOptions options;
    CPrintSetParent dialog(doc(), options, &prompter_);
    dialog.show();
    CDlgPrintSet* page = dialog.pageSetup();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("打印设置"));
    QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("打印页面设置"));
    QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("打印工程信息"));
    QVERIFY(page->memberEstimatesCheck()->isChecked());
    QCOMPARE(page->headerFontList()->itemText(3), QStringLiteral("仿宋_GB2312"));
    QCOMPARE(page->pageNumberFormatList()->itemText(1), QStringLiteral("I II III"));
    QVERIFY(!page->headerTextEdit()->isEnabled());
    QVERIFY(!page->integerField(PrintIntField::FirstPageNumber)->isEnabled());

    // Neither report: the message, the dialog stays.
    page->recordSheetCheck()->setChecked(false);
    dialog.okButton()->click();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("请选择要打印的内容")});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // A typed margin, then "打印页眉": the page is transferred at once.
    page->recordSheetCheck()->setChecked(true);
    page->integerEdit(PrintIntField::TopMargin)->setText(QStringLiteral("31"));
    page->headerCheck()->click();
    QVERIFY(page->headerTextEdit()->isEnabled());
    QVERIFY(page->integerField(PrintIntField::HeaderHeight)->isEnabled());
    QCOMPARE(doc().printSettings.printHeader, 1);
    QCOMPARE(doc().printSettings.topMargin, 31);
    dialog.cancelButton()->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(doc().printSettings.printHeader, 0);
    QCOMPARE(doc().printSettings.topMargin, 31);
  }

  // Tab goes through the page as it reads: the switches, what to print,
  // the page numbers, the margins, the lines, the header, the footer.
  void pageSetupTabsInReadingOrder() {
    ReportOptions options;
    CPrintSetParent dialog(doc(), options, &prompter_);
    CDlgPrintSet* page = dialog.pageSetup();
    using F = PrintIntField;
    const QList<QWidget*> expected = {
        page->headerCheck(),
        page->footerCheck(),
        page->pageNumberCheck(),
        page->recordSheetCheck(),
        page->resultTableCheck(),
        page->memberEstimatesCheck(),
        page->pageNumberPositionList(),
        page->integerField(F::FirstPageNumber),
        page->pageNumberFormatList(),
        page->integerField(F::TopMargin),
        page->integerField(F::LeftMargin),
        page->integerField(F::BottomMargin),
        page->integerField(F::RightMargin),
        page->integerField(F::BorderLine),
        page->integerField(F::GridLine),
        page->integerField(F::HeaderHeight),
        page->headerAlignList(),
        page->headerFontList(),
        page->headerTextEdit(),
        page->integerField(F::FooterHeight),
        page->footerAlignList(),
        page->footerFontList(),
        page->footerTextEdit(),
    };
    // The chain as Tab follows it (a spin box's edit stands for its box).
    QList<QWidget*> chain;
    QWidget* w = expected.first();
    for (int i = 0; i < 500 && chain.size() < expected.size(); ++i, w = w->nextInFocusChain()) {
      QWidget* stop = w;
      while (stop != nullptr && !expected.contains(stop)) stop = stop->parentWidget();
      if (stop != nullptr && !chain.contains(stop)) chain << stop;
    }
    QCOMPARE(chain, expected);
  }

  // A field without a whole number in its range keeps the focus and the
  // dialog open, with the message naming it; the margin boxes show three
  // digits.
  void outOfRangeKeepsTheFocusAndTheDialog() {
    ReportOptions options;
    CPrintSetParent dialog(doc(), options, &prompter_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.tabs()->setCurrentIndex(1);
    QLineEdit* grid = dialog.pageSetup()->integerEdit(PrintIntField::GridLine);
    grid->setText(QStringLiteral("2.5"));
    dialog.okButton()->click();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("网格线宽须为0～100之间的整数")});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.tabs()->currentIndex(), 0);
    QCOMPARE(QApplication::focusWidget(), grid);
    QCOMPARE(doc().printSettings.gridLineWidth, 2);

    // Whole numbers beyond the spin range are refused as well.
    grid->setText(QStringLiteral("3"));
    CSpinEdit* first = qobject_cast<CSpinEdit*>(dialog.pageSetup()->integerField(PrintIntField::LeftMargin));
    QVERIFY(first != nullptr);
    QVERIFY(first->edit()->width() > first->fontMetrics().horizontalAdvance(QStringLiteral("100")));
    first->setText(QStringLiteral("250"));
    dialog.okButton()->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompter_.messages.last(), QStringLiteral("左边距须为0～100 mm之间的整数"));
    QVERIFY(QApplication::focusWidget() == first || QApplication::focusWidget() == first->edit());
    first->setText(QStringLiteral("25"));
    dialog.okButton()->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(doc().printSettings.gridLineWidth, 3);
    QCOMPARE(doc().printSettings.leftMargin, 25);
  }

  void spinButtonStepsWithinTheRange() {
    CSpinEdit spin;
    spin.setRange(0, 100);
    spin.setText(QStringLiteral("99"));
    spin.stepBy(1);
    QCOMPARE(spin.edit()->text(), QStringLiteral("100"));
    spin.stepBy(1);
    QCOMPARE(spin.edit()->text(), QStringLiteral("100"));
    spin.setText(QStringLiteral("x"));
    spin.stepBy(1);
    QCOMPARE(spin.edit()->text(), QStringLiteral("0"));
  }

  void projectPageAndMemberEstimatesAreTakenOnOkAndKept() {
    doc().reportInfo.testDate = "2022-04-12 08:00";
    OnModal([](QWidget* modal) {
      auto* dialog = qobject_cast<CPrintSetParent*>(modal);
      QVERIFY(dialog != nullptr);
      CPrintSetInfo* info = dialog->projectInfo();
      QCOMPARE(info->dateField(ReportDateField::TestDate)->date(), QDate(2022, 4, 12));
      auto* strength = qobject_cast<QComboBox*>(info->textField(5));
      QVERIFY(strength != nullptr);
      QCOMPARE(strength->count(), 14);
      QCOMPARE(strength->currentText(), QStringLiteral("C30"));
      strength->setEditText(QStringLiteral("C45"));
      qobject_cast<QLineEdit*>(info->textField(0))->setText(QStringLiteral("新桥工程"));
      info->dateField(ReportDateField::ReportDate)->setDate(QDate(2024, 1, 9));
      dialog->pageSetup()->memberEstimatesCheck()->setChecked(false);
      dialog->okButton()->click();
    });
    action(cmd::kPrintSetup)->trigger();
    QCOMPARE(doc().reportInfo.testDate, std::string("2022-4-12"));
    QCOMPARE(doc().reportInfo.reportDate, std::string("2024-1-9"));
    QCOMPARE(doc().reportInfo.designStrength, std::string("C45"));
    QCOMPARE(doc().reportInfo.projectName, std::string("新桥工程"));
    QVERIFY(!commands_->options().printMemberEstimates);
    QCOMPARE(settings_->value(QString::fromLatin1(kMemberEstimatesKey)).toBool(), false);

    // The next run reads the choice back, and the Excel results follow it.
    makeCommands();
    QVERIFY(!commands_->options().printMemberEstimates);
    prompter_.saveNames << path(QStringLiteral("结果.xlsx"));
    commands_->onExcel();
    const auto sheets = korvane::testing::ReadXlsx(ToFsPath(path(QStringLiteral("结果.xlsx"))));
    QCOMPARE(sheets.size(), std::size_t(1));
    for (const auto& [reference, cell] : sheets[0].cells)
      QVERIFY(cell.value.find("构件推定值") == std::string::npos);
  }

  // ---- Print and preview -----------------------------------------------------

  void printJobHasThePagesOfTheJob() {
    doc().printSettings.printResultTable = 1;
    prompter_.printFile = path(QStringLiteral("printed.pdf"));
    action(cmd::kPrint)->trigger();
    QCOMPARE(prompter_.printPageCounts, QList<int>{12});
    QVERIFY(prompter_.messages.isEmpty());
    if (PdfPages(prompter_.printFile) < 0) QSKIP("pdfinfo is not installed");
    QCOMPARE(PdfPages(prompter_.printFile), 12);

    // A page range prints those pages only.
    prompter_.printFrom = 6;
    prompter_.printTo = 8;
    action(cmd::kPrint)->trigger();
    QCOMPARE(PdfPages(prompter_.printFile), 3);

    // Cancelled: nothing printed.
    QFile::remove(prompter_.printFile);
    prompter_.printFile.clear();
    action(cmd::kPrint)->trigger();
    QVERIFY(!QFile::exists(path(QStringLiteral("printed.pdf"))));
  }

  void withoutAReportNothingStartsAndSaysWhy() {
    doc().printSettings.printRecordSheet = 0;
    for (int name : {cmd::kPrint, cmd::kPrintPreview, cmd::kPdf, cmd::kBmp, cmd::kWord}) {
      prompter_.messages.clear();
      action(name)->trigger();
      QCOMPARE(prompter_.messages, QStringList{QStringLiteral("请选择要打印的内容")});
    }
    QVERIFY(prompter_.printPageCounts.isEmpty());
    QVERIFY(prompter_.saveTitles.isEmpty());
    QVERIFY(commands_->preview() == nullptr);
  }

  void previewShowsTheJobAndTheExitClosesIt() {
    doc().printSettings.printResultTable = 1;
    action(cmd::kPrintPreview)->trigger();
    QPrintPreviewDialog* preview = commands_->preview();
    QVERIFY(preview != nullptr);
    QVERIFY(preview->isVisible());
    QVERIFY(!preview->isModal());
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    QVERIFY(widget != nullptr);
    QTRY_COMPARE(widget->pageCount(), 12);
    // The keyboard pages.
    QVERIFY(QTest::qWaitForWindowActive(preview));
    const std::pair<Qt::Key, int> paging[] = {{Qt::Key_PageDown, 2},  {Qt::Key_End, 12},
                                              {Qt::Key_PageDown, 12}, {Qt::Key_PageUp, 11},
                                              {Qt::Key_Home, 1},      {Qt::Key_PageUp, 1}};
    for (const auto& [key, page] : paging) {
      QTest::keyClick(preview, key);
      QCOMPARE(widget->currentPage(), page);
    }

    // Exit, step 1: the preview closes, the program stays.
    QVERIFY(commands_->InterceptClose());
    QTRY_VERIFY(commands_->preview() == nullptr);
    QVERIFY(!commands_->InterceptClose());
  }

  // A long preview, print, PDF or Word report shows its progress with
  // "取消"; cancelled,
  // it leaves no output (the preview closes) and says nothing.
  void longJobsCanBeCancelled() {
    makeCommands({4000});
    doc().printSettings.printRecordSheet = 1;
    doc().printSettings.printResultTable = 1;
    // Presses the first "取消" shown.
    int pressed = 0;
    QTimer presser;
    connect(&presser, &QTimer::timeout, this, [&pressed] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        for (QPushButton* button : top->findChildren<QPushButton*>()) {
          if (button->isVisible() && button->isEnabled() && button->text() == QStringLiteral("取消")) {
            ++pressed;
            button->click();
            return;
          }
        }
      }
    });
    presser.start(50);

    action(cmd::kPrintPreview)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(pressed, 1, 20000);
    QTRY_VERIFY(commands_->preview() == nullptr);

    const QString pdf = path(QStringLiteral("job.pdf"));
    prompter_.saveNames << pdf;
    action(cmd::kPdf)->trigger();
    QCOMPARE(pressed, 2);
    QVERIFY(!QFileInfo::exists(pdf));

    const QString word = path(QStringLiteral("job.docx"));
    prompter_.saveNames << word;
    action(cmd::kWord)->trigger();
    QCOMPARE(pressed, 3);
    QVERIFY(!QFileInfo::exists(word));

    const QString printed = path(QStringLiteral("printed.pdf"));
    prompter_.printFile = printed;
    action(cmd::kPrint)->trigger();
    QCOMPARE(pressed, 4);
    QVERIFY(!QFileInfo::exists(printed));
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join(QLatin1Char('\n'))));
  }

  // Run without a file (from elsewhere than its disabled action): the
  // command's message, and nothing asked.
  void aCommandRunWithoutAFileSaysSo() {
    doc().memberCount = -1;
    commands_->onExcel();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("请先打开文件!")});
    QVERIFY(prompter_.saveTitles.isEmpty());
  }

  void frameConnectsTheCommandsAndClosingClosesThePreviewFirst() {
    commands_.reset();
    auto model = std::make_unique<DocumentModel>(std::make_unique<CKorvaneDoc>());
    CMainFrame frame(model.get(), &prompter_, path(QStringLiteral("frame.ini")));
    frame.show();
    auto named = [&frame](int id) { return frame.action(CMainFrame::Screen::Analysis, id); };
    QVERIFY(!named(cmd::kPrintPreview)->isEnabled());
    QCOMPARE(
        frame.openFile(
            QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QStringLiteral("result-7point-cecs2020.SHA"))),
        CMainFrame::OpenOutcome::Opened);
    QVERIFY(!named(cmd::kPrintPreview)->isEnabled());  // main screen
    frame.onOutput();
    QCOMPARE(frame.screen(), CMainFrame::Screen::Analysis);
    for (int id :
         {cmd::kPrintSetup, cmd::kPrintPreview, cmd::kPrint, cmd::kWord, cmd::kPdf, cmd::kBmp, cmd::kExcel}) {
      QVERIFY2(named(id)->isEnabled(), qPrintable(QString::number(id)));
    }

    named(cmd::kPrintPreview)->trigger();
    OutputCommands* outputs = frame.outputCommands();
    QVERIFY(outputs->preview() != nullptr);
    QVERIFY(outputs->preview()->isVisible());
    // Closing the program while the preview is shown closes the preview only.
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    QTRY_VERIFY(outputs->preview() == nullptr);
    QVERIFY(prompter_.questions.isEmpty());
    QVERIFY(frame.close());

    frame.onBackToMain();
    QVERIFY(!named(cmd::kWord)->isEnabled());
  }

  // ---- Word, Excel, PDF ------------------------------------------------------------

  void wordAndExcelWriteWhatTheOfficeParsersRead() {
    doc().printSettings.printResultTable = 1;
    prompter_.saveNames << path(QStringLiteral("报告.docx"));
    action(cmd::kWord)->trigger();
    QCOMPARE(prompter_.saveInitialPaths, QStringList{path(QStringLiteral("桥梁检测.docx"))});
    QCOMPARE(prompter_.saveTitles, QStringList{QStringLiteral("生成word文档")});
    QCOMPARE(prompter_.shownDocuments, QStringList{path(QStringLiteral("报告.docx"))});
    QVERIFY(prompter_.messages.isEmpty());
    const auto package = korvane::testing::ReadZip(ToFsPath(path(QStringLiteral("报告.docx"))));
    korvane::testing::XmlPart body(package.at("word/document.xml"));
    const auto tables = korvane::testing::ReadDocxTables(body.root());
    // One record sheet per member, one result table per page of ten zones.
    QCOMPARE(tables.size(), std::size_t(3 + 6));
    QCOMPARE(tables[0].TextAt(1, 1), std::string("工程名称"));
    QVERIFY(tables[0].TextAt(1, 4).find("滨江大桥工程") != std::string::npos);

    // Excel; the desktop has no program for it: the message says where it is.
    prompter_.desktopOpens = false;
    prompter_.saveNames << path(QStringLiteral("结果.xlsx"));
    action(cmd::kExcel)->trigger();
    QCOMPARE(prompter_.saveInitialPaths.last(), path(QStringLiteral("桥梁检测.xlsx")));
    QCOMPARE(prompter_.suffixes.last(), QStringLiteral("xlsx"));
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(prompter_.messages[0].contains(QDir::toNativeSeparators(path(QStringLiteral("结果.xlsx")))));
    const auto sheets = korvane::testing::ReadXlsx(ToFsPath(path(QStringLiteral("结果.xlsx"))));
    QCOMPARE(sheets.size(), std::size_t(1));
    QCOMPARE(sheets[0].name, std::string("sheet1"));
    QCOMPARE(sheets[0].Text("A1"), std::string("构件编号：1        构件名称：梁1"));
    QCOMPARE(sheets[0].Text("A2"), std::string("测区"));
  }

  void pdfHoldsTheJobsPages() {
    doc().printSettings.printResultTable = 1;
    prompter_.saveNames << path(QStringLiteral("报告.pdf"));
    action(cmd::kPdf)->trigger();
    QVERIFY(prompter_.messages.isEmpty());
    QCOMPARE(prompter_.shownDocuments, QStringList{path(QStringLiteral("报告.pdf"))});
    if (PdfPages(path(QStringLiteral("报告.pdf"))) < 0) QSKIP("pdfinfo is not installed");
    QCOMPARE(PdfPages(path(QStringLiteral("报告.pdf"))), 12);
  }

  void aFailedWriteNamesTheFileAndKeepsThePreviousOne() {
#ifdef _WIN32
    QSKIP("Windows has no per-process file size limit to make a write fail");
#else
    doc().printSettings.printResultTable = 1;
    const QByteArray old("previous report");
    const struct {
      int action;
      const char* name;
    } cases[] = {{cmd::kWord, "报告.docx"}, {cmd::kExcel, "结果.xlsx"}, {cmd::kPdf, "报告.pdf"}};
    for (const auto& c : cases) {
      const QString target = path(QString::fromUtf8(c.name));
      {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
      }
      prompter_.messages.clear();
      prompter_.shownDocuments.clear();
      prompter_.saveNames << target;
      {
        const FileSizeLimit limit(1024);
        action(c.action)->trigger();
      }
      QCOMPARE(prompter_.messages.size(), 1);
      QVERIFY2(prompter_.messages[0].contains(QString::fromUtf8(c.name)), qPrintable(prompter_.messages[0]));
      QVERIFY(prompter_.shownDocuments.isEmpty());
      QCOMPARE(ReadAll(target), old);
      // Nothing else is left in the folder (no half-written file).
      QStringList files = QDir(dir_.path()).entryList(QDir::Files);
      files.removeAll(QStringLiteral("ui.ini"));
      for (const auto& other : cases) files.removeAll(QString::fromUtf8(other.name));
      QVERIFY2(files.isEmpty(), qPrintable(files.join(QLatin1Char(' '))));
    }
#endif
  }

  // ---- BMP ------------------------------------------------------------------------

  void bmpOffersEveryPageAndGoesOnAfterAFailure() {
    makeCommands({3, 12});  // record sheet: 1 + 2 pages
    // Page 1 into a folder that does not exist, page 2 cancelled, page 3 written.
    prompter_.saveNames << path(QStringLiteral("missing/p1.bmp")) << QString()
                        << path(QStringLiteral("p3.bmp"));
    action(cmd::kBmp)->trigger();
    QCOMPARE(prompter_.saveTitles.size(), 3);
    QCOMPARE(prompter_.saveTitles[0], QStringLiteral("输出到BMP（第1页，共3页）"));
    QCOMPARE(prompter_.saveTitles[2], QStringLiteral("输出到BMP（第3页，共3页）"));
    QCOMPARE(prompter_.options.size(), 1);  // only the first dialog offers all pages
    QCOMPARE(prompter_.saveInitialPaths[0], path(QStringLiteral("桥梁检测-001.bmp")));
    QCOMPARE(prompter_.suffixes[0], QStringLiteral("bmp"));
    // The failed page names its file and the reason.
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(
        prompter_.messages[0].startsWith(QStringLiteral("error! 无法写入文件 ") +
                                         QDir::toNativeSeparators(path(QStringLiteral("missing/p1.bmp")))));
    QVERIFY(prompter_.messages[0].contains(QStringLiteral("No such file or directory")));
    QCOMPARE(QFileInfo(path(QStringLiteral("p3.bmp"))).size(), qint64(184862));
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files).size(), 1);
  }

  void bmpWritesAllPagesNumberedWhenAsked() {
    doc().printSettings.printResultTable = 1;
    // An existing page 3 is kept when the user answers "否".
    QFile existing(path(QStringLiteral("页-003.bmp")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    prompter_.saveNames << path(QStringLiteral("页-001.bmp"));
    prompter_.optionAnswers << true;
    prompter_.answers << Prompter::Answer::No;
    action(cmd::kBmp)->trigger();
    QCOMPARE(prompter_.saveTitles.size(), 1);
    QCOMPARE(prompter_.questions.size(), 1);
    // 11 written (page 3 kept), and where they went.
    QCOMPARE(prompter_.messages,
             QStringList{QStringLiteral("已写入11页BMP文件：") + QDir::toNativeSeparators(dir_.path())});
    QStringList written = QDir(dir_.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    QCOMPARE(written.size(), 12);
    QCOMPARE(written.first(), QStringLiteral("页-001.bmp"));
    QCOMPARE(written.last(), QStringLiteral("页-012.bmp"));
    QCOMPARE(ReadAll(path(QStringLiteral("页-003.bmp"))), QByteArray("keep"));
    const QByteArray page12 = ReadAll(path(QStringLiteral("页-012.bmp")));
    QCOMPARE(page12.size(), 184862);
    QVERIFY(page12.startsWith("BM"));
  }
};

int RunOutputCommandsTests(int argc, char** argv) {
  OutputCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "output_commands_test.moc"
