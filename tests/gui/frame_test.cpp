// The frame's commands and prompts: menus and their states, the exit prompt,
// the filter, test-parameter and merge dialogs, file dialog filters.
#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>
#include <memory>

#include "core/data/typed_number.h"
#include "core/standards/standards.h"
#include "gui/application.h"
#include "gui/commands.h"
#include "gui/dialogs/filter_dialog.h"
#include "gui/dialogs/merge_dialog.h"
#include "gui/dialogs/test_parameters_dialog.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/prompter.h"
#include "gui/widgets/docking_bars.h"
#include "gui_test_support.h"
#include "support/document_dump.h"

namespace korvane::gui::test {

using korvane::testing::DumpDocument;

class FrameTest : public QObject, protected WindowFixture<> {
  Q_OBJECT

 private:
  static QStringList titles(const QList<QMenu*>& menus) {
    QStringList out;
    for (const QMenu* m : menus) out << m->title();
    return out;
  }

 private slots:
  void cleanup() { resetFrame(); }

  // Qt's standard buttons and file dialog speak Chinese once the program's
  // texts are in, and its dates and sizes are Chinese whatever the system's
  // locale.
  void qtStandardTextsAreChinese() {
    const QLocale system;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator texts;
    UseChineseForQt(texts);
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    const QString ok = box.button(QDialogButtonBox::Ok)->text();
    const QString cancel = box.button(QDialogButtonBox::Cancel)->text();
    const QString save = box.button(QDialogButtonBox::Save)->text();
    // The file list's dates and sizes in the program's locale.
    QFile file(dir_.filePath(QStringLiteral("列表.SHT")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3000, 'x'));
    file.flush();
    const QDateTime stamp(QDate(2024, 3, 5), QTime(14, 7));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QFileDialog files(nullptr, QString(), dir_.path(),
                      QtNameFilters(QString::fromUtf8(kFilterOpen)).join(";;"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    ShowFilesInProgramLocale(files);
    const QString fileName = files.labelText(QFileDialog::FileName);
    const QString fileType = files.labelText(QFileDialog::FileType);
    const QLocale used;
    QAbstractProxyModel* listing = files.proxyModel();
    QVERIFY(listing != nullptr);
    auto* source = qobject_cast<QFileSystemModel*>(listing->sourceModel());
    QVERIFY(source != nullptr);
    const QModelIndex row = listing->mapFromSource(source->index(file.fileName()));
    QVERIFY(row.isValid());
    const QString shownDate = row.siblingAtColumn(3).data().toString();
    const QString shownSize = row.siblingAtColumn(1).data().toString();
    QCoreApplication::removeTranslator(&texts);
    QLocale::setDefault(system);
    QCOMPARE(ok, QStringLiteral("确定"));
    QCOMPARE(cancel, QStringLiteral("取消"));
    QCOMPARE(save, QStringLiteral("保存"));
    QVERIFY2(!fileName.contains(QStringLiteral("File")), qPrintable(fileName));
    QVERIFY2(!fileType.contains(QStringLiteral("File")), qPrintable(fileType));
    QCOMPARE(files.nameFilters().last(), QStringLiteral("所有文件 (*)"));
    QCOMPARE(used.language(), QLocale::Chinese);
    QCOMPARE(used.toString(QDate(2026, 12, 8), QLocale::LongFormat), QStringLiteral("2026年12月8日星期二"));
    QCOMPARE(shownDate, QLocale(QLocale::Chinese, QLocale::China).toString(stamp, QLocale::ShortFormat));
    QCOMPARE(shownSize, QLocale(QLocale::Chinese, QLocale::China).formattedDataSize(3000));
  }

  void menusAndCommandStates() {
    makeFrame(std::make_unique<CKorvaneDoc>());
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane1.1.220310"));
    QCOMPARE(titles(frame_->menus(CMainFrame::Screen::Main)),
             (QStringList{"文件(&F)", "编辑(&E)", "查看(&V)", "工具(&T)", "波形处理(&W)", "帮助(&H)"}));
    QCOMPARE(titles(frame_->menus(CMainFrame::Screen::Analysis)),
             (QStringList{"文件(&F)", "编辑(&E)", "查看(&V)", "工具(&T)", "波形处理(&W)", "帮助(&H)"}));
    QCOMPARE(frame_->action(cmd::kOpen)->text(), QStringLiteral("打开(&O)..."));
    QCOMPARE(frame_->action(cmd::kOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));

    // No file: the commands that need data are disabled or say so.
    for (int id :
         {cmd::kSave, cmd::kSaveAs, cmd::kPreviousZone, cmd::kNextZone, cmd::kOutput, cmd::kTestParameters}) {
      QVERIFY2(!frame_->action(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    for (int id : {cmd::kOpen, cmd::kMerge, cmd::kFilter, cmd::kAbout, cmd::kExit}) {
      QVERIFY2(frame_->action(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    frame_->onFilter();
    frame_->fileCommands()->onSaveResults();
    QCOMPARE(prompter_.messages, (QStringList{"请先打开文件再进行滤波!", "请先打开文件!"}));
    frame_->onOutput();
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Main);

    // The analysis screen brings its own menus, toolbar and bar; back again.
    frame_->showScreen(CMainFrame::Screen::Analysis);
    QCOMPARE(frame_->menuBar()->actions().size(), 6);
    QVERIFY(!frame_->action(cmd::kWord)->isEnabled());
    QVERIFY(!frame_->action(cmd::kHelpContents)->isEnabled());
    QVERIFY(frame_->action(cmd::kBackToMain)->isEnabled());
    QVERIFY(frame_->infoBar()->isHidden());
    QVERIFY(frame_->mainToolBar()->isHidden());
    frame_->action(cmd::kBackToMain)->trigger();
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Main);
    QCOMPARE(frame_->menuBar()->actions().size(), 6);
    QVERIFY(frame_->analysisBar()->isHidden());

    // With a file: save, save as and the test parameters are available.
    makeFrame(MakeWaveformDoc(2, 3));
    for (int id : {cmd::kSave, cmd::kSaveAs, cmd::kNextZone, cmd::kTestParameters}) {
      QVERIFY2(frame_->action(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    QVERIFY(frame_->action(cmd::kOutput)->isEnabled());
  }

  // Each row of the command table is one action, with its id, shortcuts
  // and check mark, in the menu the row names on each of its screens and
  // on their toolbars in the row's order; no two rows share an id.
  void everyCommandRowIsOneActionOnItsScreens() {
    makeFrame(MakeWaveformDoc(2, 3));
    QSet<int> ids;
    for (const CommandRow& row : CommandTable()) {
      if (row.id == cmd::kSeparator || row.id == cmd::kRecentPlaceholder) continue;
      const QString name = QString::fromUtf8(row.text) + QLatin1Char(' ') + QString::number(row.id);
      QVERIFY2(!ids.contains(row.id), qPrintable(name));
      ids.insert(row.id);
      QAction* a = frame_->action(row.id);
      QVERIFY2(a != nullptr && a->data().toInt() == row.id, qPrintable(name));
      QCOMPARE(a->isCheckable(), row.barSwitch);
      QStringList keys;
      for (const QKeySequence& key : a->shortcuts()) keys << key.toString();
      QCOMPARE(keys.join(QLatin1Char('|')), QString::fromLatin1(row.keys));
      for (CMainFrame::Screen screen : {CMainFrame::Screen::Main, CMainFrame::Screen::Analysis}) {
        const bool listed = (row.screens & ScreenBit(screen)) != 0;
        int inMenu = 0;
        for (QMenu* menu : frame_->menus(screen)) {
          if (menu->actions().contains(a)) {
            ++inMenu;
            QCOMPARE(menu->title(), QString::fromUtf8(row.menu));
          }
        }
        QVERIFY2(inMenu == (listed ? 1 : 0), qPrintable(name));
        QToolBar* bar =
            screen == CMainFrame::Screen::Main ? frame_->mainToolBar() : frame_->analysisToolBar();
        const int place = screen == CMainFrame::Screen::Main ? row.mainBar : row.analysisBar;
        QVERIFY2(bar->actions().contains(a) == (place > 0), qPrintable(name));
        QVERIFY2((frame_->action(screen, row.id) == a) == (listed || place > 0), qPrintable(name));
      }
    }
    // The toolbars in their rows' order.
    const auto texts = [](QToolBar* bar) {
      QStringList out;
      for (QAction* a : bar->actions()) out << a->iconText();
      return out;
    };
    QCOMPARE(texts(frame_->mainToolBar()),
             (QStringList{"打开", "保存", "撤销", "重做", "前一测区", "后一测区", "输出"}));
    QCOMPARE(texts(frame_->analysisToolBar()),
             (QStringList{"打开", "保存", "撤销", "重做", "保存结果", "生成word文档", "输出到PDF",
                          "输出到excel", "打印设置", "打印预览", "打印", "返回主界面"}));
    // The report commands: a file on the analysis screen.
    const QList<int> reports = {cmd::kPrintSetup, cmd::kPrintPreview, cmd::kPrint, cmd::kWord,
                                cmd::kPdf,        cmd::kBmp,          cmd::kExcel};
    for (int id : reports) QVERIFY2(!frame_->action(id)->isEnabled(), qPrintable(QString::number(id)));
    frame_->showScreen(CMainFrame::Screen::Analysis);
    for (int id : reports) QVERIFY2(frame_->action(id)->isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(frame_->action(cmd::kWord)->toolTip(), QStringLiteral("输出到word"));
  }

  void exitPromptAnswers() {
    makeFrame(MakeWaveformDoc(1, 3));
    model_->doc().pathName = "/data/柱1.SHT";
    QVERIFY(frame_->confirmExit());  // not modified: no question
    QVERIFY(prompter_.questions.isEmpty());

    model_->setModified(true);
    prompter_.answers = {Prompter::Answer::Cancel, Prompter::Answer::No, Prompter::Answer::Yes,
                         Prompter::Answer::Yes};
    QVERIFY(!frame_->confirmExit());
    QVERIFY(frame_->confirmExit());
    // Yes, then the file dialog is cancelled: the program keeps running.
    QVERIFY(!frame_->confirmExit());
    QCOMPARE(PathKey(prompter_.saveInitialPaths.last()), PathKey(QStringLiteral("/data/柱1.SHT")));
    QCOMPARE(prompter_.filters.last(), QString::fromUtf8(kFilterSaveRaw));
    // Yes, then a name the program cannot write: message, keeps running.
    prompter_.saveNames = {dir_.filePath(QStringLiteral("out.txt"))};
    QVERIFY(!frame_->confirmExit());
    QCOMPARE(prompter_.messages.last(), QStringLiteral("无法识别的文件类型"));
    QCOMPARE(prompter_.questions, QStringList(4, QStringLiteral("数据已经修改，是否保存")));
    QVERIFY(model_->isModified());
  }

  void barWidthsGoToTheDocumentAndTheSettings() {
    const QString ui = uiSettingsFile();
    {
      QSettings stored(ui, QSettings::IniFormat);
      stored.setValue(QStringLiteral("Korvane-SCBar-1/sizeVertCX"), 10);  // below the minimum
    }
    const std::filesystem::path settingsFile = ToFsPath(dir_.filePath(QStringLiteral("korvane.ini")));
    makeFrame(std::make_unique<CKorvaneDoc>(CKorvaneDoc::Settings::LoadAndSave, settingsFile));
    frame_->resize(1400, 900);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    const int width = frame_->infoBar()->width();
    QVERIFY2(width >= 120 && width < 200, qPrintable(QString::number(width)));

    // Closing stores the width into the document first, then the bar sizes;
    // the document writes its settings file when it goes.
    QVERIFY(frame_->close());
    QCOMPARE(model_->doc().infoBarWidth, width);
    QSettings stored(ui, QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Korvane-SCBar-1/sizeVertCX")).toInt(), width);
    frame_.reset();
    model_.reset();
    QCOMPARE(CKorvaneDoc(CKorvaneDoc::Settings::Load, settingsFile).infoBarWidth, width);
  }

  // A bar floated or docked at the top comes back so, with the size it had
  // there; a stored size below the minimum gives the minimum.
  void barPlacesAndSizesAreRestored_data() {
    QTest::addColumn<int>("area");  // 0: floating
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("floating") << 0 << QSize(333, 444) << QSize(333, 444);
    QTest::newRow("floating, too small") << 0 << QSize(20, 30) << QSize(kBarMinimumWidth, kBarMinimumHeight);
    QTest::newRow("top") << int(Qt::TopDockWidgetArea) << QSize(900, 150) << QSize(-1, 150);
    QTest::newRow("right") << int(Qt::RightDockWidgetArea) << QSize(260, 600) << QSize(260, -1);
  }
  void barPlacesAndSizesAreRestored() {
    QFETCH(int, area);
    QFETCH(QSize, stored);
    QFETCH(QSize, expected);
    const QString kind = area == 0                            ? QStringLiteral("Float")
                         : area == int(Qt::TopDockWidgetArea) ? QStringLiteral("Horz")
                                                              : QStringLiteral("Vert");
    {
      QSettings settings(uiSettingsFile(), QSettings::IniFormat);
      settings.clear();
      settings.setValue(QStringLiteral("Korvane-SCBar-1/dockArea"), area);
      settings.setValue(QStringLiteral("Korvane-SCBar-1/size%1CX").arg(kind), stored.width());
      settings.setValue(QStringLiteral("Korvane-SCBar-1/size%1CY").arg(kind), stored.height());
    }
    makeFrame(std::make_unique<CKorvaneDoc>());
    showFrame();
    QCoreApplication::processEvents();
    CViewBar* bar = frame_->infoBar();
    QCOMPARE(bar->isFloating(), area == 0);
    if (area != 0) QCOMPARE(int(frame_->dockWidgetArea(bar)), area);
    if (expected.width() > 0) QCOMPARE(bar->width(), expected.width());
    if (expected.height() > 0) QCOMPARE(bar->height(), expected.height());

    // Closing keeps the place and the size there.
    QVERIFY(frame_->close());
    QSettings settings(uiSettingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Korvane-SCBar-1/dockArea")).toInt(), area);
    if (expected.width() > 0)
      QCOMPARE(settings.value(QStringLiteral("Korvane-SCBar-1/size%1CX").arg(kind)).toInt(),
               expected.width());
  }

  // A screenshot run of the program reads the settings but leaves no file
  // behind in the settings folder: neither the document's nor the window's.
  void screenshotRunWritesNoSettings() {
    const QString config = dir_.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config));
    const QString shot = dir_.filePath(QStringLiteral("shot.png"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVANE_CONFIG_DIR"), config);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(
        QStringLiteral(KORVANE_PROGRAM_PATH),
        {QStringLiteral("--screenshot"), shot,
         QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QStringLiteral("result-3members-cecs2005.SHA"))});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFileInfo(shot).size() > 0);
    QCOMPARE(QDir(config).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
  }

  // The dialog's corners follow the typed-number rule: entered when the
  // edit ends, refused with the corner's message, the field and the focus
  // kept; Enter on a corner taken goes on to "确定".
  void filterDialog() {
    makeFrame(MakeWaveformDoc(1, 3));
    CKorvaneDoc& doc = model_->doc();
    const std::string opening = DumpDocument(doc);
    CDlgFilter dialog(model_.get(), &prompter_);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("滤波"));
    QCOMPARE(dialog.highPassCheck()->text(), QStringLiteral("高通(kHz)"));
    QCOMPARE(dialog.lowPassCheck()->text(), QStringLiteral("低通(kHz)"));
    QCOMPARE(dialog.okButton()->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("取消"));
    QCOMPARE(dialog.highPassEdit()->text(), QStringLiteral("20.00"));
    QCOMPARE(dialog.lowPassEdit()->text(), QStringLiteral("50"));
    QVERIFY(!dialog.highPassEdit()->isEnabled());
    QVERIFY(!dialog.lowPassEdit()->isEnabled());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    // Tab follows the layout: each box, then its field.
    dialog.highPassCheck()->setChecked(true);
    dialog.lowPassCheck()->setChecked(true);
    dialog.highPassCheck()->setFocus(Qt::OtherFocusReason);
    QList<QWidget*> order;
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget();
    }
    QCOMPARE(order, (QList<QWidget*>{dialog.highPassEdit(), dialog.lowPassCheck(), dialog.lowPassEdit()}));

    QLineEdit* low = dialog.lowPassEdit();
    const QString lowRange = QString::fromStdString(RangeMessage(RangeOf(TypedField::LowPass)));
    struct Refused {
      QString text;
      QString message;
    };
    const Refused refusals[] = {
        {QStringLiteral("600"), lowRange},
        {QStringLiteral("3,5"), lowRange},
        {QStringLiteral(""), lowRange},
        {QStringLiteral("5"), QStringLiteral("高通值必须小于低通值")},
    };
    for (const Refused& r : refusals) {
      prompter_.messages.clear();
      low->selectAll();
      QTest::keyClicks(low, r.text);
      if (r.text.isEmpty()) QTest::keyClick(low, Qt::Key_Delete);
      QTest::keyClick(low, Qt::Key_Return);
      QCOMPARE(prompter_.messages, QStringList{r.message});
      QVERIFY(dialog.isVisible());  // Enter did not reach "确定"
      QCOMPARE(low->text(), r.text);
      QCOMPARE(doc.lowPassKHz, 50.0f);
      // "确定" enters it again: refused, the dialog stays.
      QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
      QVERIFY(dialog.isVisible());
      QTRY_VERIFY(low->hasFocus());
    }
    // Esc gives the field's value back; the next Esc would close.
    QTest::keyClick(low, Qt::Key_Escape);
    QCOMPARE(low->text(), QStringLiteral("50"));

    // A corner taken filters at once, and Enter goes on to "确定": one step.
    low->selectAll();
    QTest::keyClicks(low, QStringLiteral("100"));
    prompter_.messages.clear();
    QTest::keyClick(low, Qt::Key_Return);
    QVERIFY(prompter_.messages.isEmpty());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.lowPassKHz, 100.0f);
    const MeasuringPoint& point = *doc.GetCurrentZone()->points[0];
    QVERIFY(point.samples != point.unfilteredSamples);
    QCOMPARE(model_->undoStack()->count(), 1);
    model_->undoStack()->undo();
    QCOMPARE(DumpDocument(doc), opening);
  }

  // "取消" with a refused corner still typed: closes, puts the opening back
  // and enters nothing.
  void filterDialogCancelDropsTheTyping() {
    makeFrame(MakeWaveformDoc(1, 3));
    CKorvaneDoc& doc = model_->doc();
    const std::string opening = DumpDocument(doc);
    CDlgFilter dialog(model_.get(), &prompter_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.lowPassCheck()->setChecked(true);
    QLineEdit* low = dialog.lowPassEdit();
    low->setFocus(Qt::OtherFocusReason);
    low->selectAll();
    QTest::keyClicks(low, QStringLiteral("700"));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(prompter_.messages.isEmpty());
    QCOMPARE(DumpDocument(doc), opening);
    QVERIFY(!model_->isModified());
    QVERIFY(!model_->undoStack()->canUndo());
  }

  void testParameterDialog() {
    makeFrame(MakeWaveformDoc(1, 3));
    QCOMPARE(model_->doc().CurrentSectionRow(), 0);
    TestPara dialog(model_.get(), &prompter_, model_->doc().currentMember);
    QCOMPARE(dialog.intervalField()->text(), QStringLiteral("0.5"));
    QCOMPARE(dialog.countField()->text(), QStringLiteral("512"));
    QVERIFY(!dialog.gainField()->isReadOnly());
    QVERIFY(!dialog.delayField()->isReadOnly());
    for (QLineEdit* e : {dialog.lowPassField(), dialog.highPassField(), dialog.intervalField(),
                         dialog.countField(), dialog.zeroField()}) {
      QVERIFY(e->isReadOnly());
    }
    // A gain or delay out of range keeps the dialog open with its message.
    dialog.show();
    for (const auto& [gain, delay, message] : {std::tuple{"abc", "1.5", "增益须为0～100之间的数"},
                                               std::tuple{"8", "-1", "延时须为0～1000 us之间的数"}}) {
      prompter_.messages.clear();
      dialog.gainField()->setText(QString::fromUtf8(gain));
      dialog.delayField()->setText(QString::fromUtf8(delay));
      dialog.accept();
      QCOMPARE(prompter_.messages, QStringList{QString::fromUtf8(message)});
      QVERIFY(dialog.isVisible());
      QCOMPARE(model_->doc().sections[0].gain, 2.0f);
    }
    dialog.gainField()->setText(QStringLiteral("8"));
    dialog.delayField()->setText(QStringLiteral("1.5"));
    dialog.accept();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(model_->doc().sections[0].gain, 8.0f);
    QCOMPARE(model_->doc().sections[0].delay, 1.5f);
    QCOMPARE(model_->doc().sections[0].sampleInterval, 0.5f);
  }

  void rawDataExportWritesTheChosenWorkbook() {
    makeFrame(MakeWaveformDoc(2, 3));
    QVERIFY(frame_->action(cmd::kExportRawToExcel)->isEnabled());
    frame_->fileCommands()->onExportRawData();  // file dialog cancelled: nothing written
    QVERIFY(prompter_.shownDocuments.isEmpty());
    const QString path = dir_.filePath(QStringLiteral("原始数据.xlsx"));
    prompter_.saveNames = {path};
    frame_->fileCommands()->onExportRawData();
    QCOMPARE(prompter_.saveTitles.last(), QStringLiteral("导出原始数据到Excel"));
    QCOMPARE(prompter_.suffixes.last(), QStringLiteral("xlsx"));
    QVERIFY(QFileInfo(path).size() > 0);
    QCOMPARE(prompter_.shownDocuments, QStringList{path});
    QVERIFY(prompter_.messages.isEmpty());
    // No program for workbooks: the message says where the file is.
    prompter_.desktopOpens = false;
    prompter_.saveNames = {path};
    frame_->fileCommands()->onExportRawData();
    QCOMPARE(
        prompter_.messages,
        QStringList{
            QStringLiteral("文件已写入：\n%1\n没有可以打开它的程序。").arg(QDir::toNativeSeparators(path))});
  }

  void mergeDialogNeedsATickedFile() {
    CDlgcombine dialog(&prompter_);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("合并"));
    QVERIFY(!dialog.mergeButton()->isEnabled());
    dialog.addFiles({QStringLiteral("/data/a.SHT"), QStringLiteral("/data/b.SHT")});
    QCOMPARE(dialog.fileList()->count(), 2);
    QCOMPARE(dialog.fileList()->item(1)->text(), QStringLiteral("b.SHT"));
    QVERIFY(dialog.mergeButton()->isEnabled());
    dialog.fileList()->item(0)->setCheckState(Qt::Unchecked);
    dialog.fileList()->item(1)->setCheckState(Qt::Unchecked);
    dialog.mergeFiles();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("至少选择一个文件合并")});
    QCOMPARE(dialog.fileList()->count(), 0);
    QVERIFY(dialog.paths().isEmpty());
    QVERIFY(!dialog.mergeButton()->isEnabled());
  }

  void fileDialogFiltersMatchBothCases() {
    QCOMPARE(QtNameFilters(QString::fromUtf8(kFilterOpen)),
             (QStringList{"声波数据文件 (*.SHT *.sht *.SHA *.sha)", "声波原始文件 (*.SHT *.sht)",
                          "声波结果文件 (*.SHA *.sha)", "所有文件 (*)"}));
    QCOMPARE(QtNameFilters(QString::fromUtf8(kFilterResult)), QStringList{"声波结果文件 (*.SHA *.sha)"});
    // The merge dialog picks raw and result files in one pass.
    QCOMPARE(QtNameFilters(QString::fromUtf8(kFilterMerge)),
             (QStringList{"声波数据文件 (*.SHT *.sht *.SHA *.sha)", "声波原始文件 (*.SHT *.sht)",
                          "声波结果文件 (*.SHA *.sha)"}));
    CDlgcombine dialog(&prompter_);
    prompter_.openLists = {{QStringLiteral("/data/a.SHT"), QStringLiteral("/data/b.SHA")}};
    dialog.chooseButton()->click();
    QCOMPARE(prompter_.filters, QStringList{QString::fromUtf8(kFilterMerge)});
    QCOMPARE(dialog.fileList()->count(), 2);
  }

  // The extension a save dialog adds to a bare name: that of the filter
  // chosen; none to a name with a dot, for "*.*" or an unknown filter.
  void extensionOfTheChosenFilter() {
    struct Case {
      const char* path;
      const char* filter;
      int index;
      const char* expected;
    };
    const Case cases[] = {
        {"/d/柱1", kFilterSaveRaw, 0, "/d/柱1.SHT"},     {"/d/柱1", kFilterSaveRaw, 1, "/d/柱1.SHA"},
        {"/d/柱1", kFilterSaveResult, 0, "/d/柱1.SHA"},  {"/d/柱1", kFilterSaveResult, 1, "/d/柱1.SHT"},
        {"/d/柱1", kFilterSaveRaw, 2, "/d/柱1"},         {"/d/柱1", kFilterSaveRaw, 5, "/d/柱1"},
        {"/d/柱1.sha", kFilterSaveRaw, 0, "/d/柱1.sha"}, {"/d.x/柱1", kFilterResult, 0, "/d.x/柱1.SHA"},
        {"/d/合并", kFilterMerge, 0, "/d/合并.SHT"},
    };
    for (const Case& c : cases) {
      QCOMPARE(WithFilterExtension(QString::fromUtf8(c.path), QString::fromUtf8(c.filter), c.index),
               QString::fromUtf8(c.expected));
    }
  }

  // The main screen's right column is 124 dialog units wide, wider only as
  // far as its fields need to show an amplitude such as "-100.00" whole;
  // the waveform panels have the rest, and the column never scrolls
  // sideways.
  void rightColumnKeepsItsWidth_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("1280") << 1280;
    QTest::newRow("1600") << 1600;
  }
  void rightColumnKeepsItsWidth() {
    QFETCH(int, width);
    makeFrame(MakeWaveformDoc(1, 7, Standard::CECS02_2020));
    frame_->resize(width, 900);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    MainFormRight* form = frame_->rightForm();
    const QFontMetrics metrics = form->fontMetrics();
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int dialogUnits = 124 * ((letters / 26 + 1) / 2) / 4;
    CFixedSplitterWnd* split = frame_->mainSplitter();
    const int right = split->sizes().value(1);
    QCOMPARE(right, split->rightWidth());
    QCOMPARE(right, std::max(dialogUnits, form->minimumSizeHint().width()));
    QVERIFY2(right < width / 5, qPrintable(QString::number(right)));
    const auto* area = qobject_cast<const QScrollArea*>(split->widget(1));
    QVERIFY(area != nullptr);
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    const int value = metrics.horizontalAdvance(QStringLiteral("-100.00"));
    for (int slot = 0; slot < 7; ++slot) {
      QVERIFY(form->amplitudeField(slot)->width() >= value + 8);
      QVERIFY(form->velocityField(slot)->width() >= value + 8);
    }
  }
};

int RunFrameTests(int argc, char** argv) {
  FrameTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "frame_test.moc"
