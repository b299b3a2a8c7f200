// File commands on the bundled example files: open (also failing), the
// recent-file list, save results, the exit prompt's save and the merge.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/commands.h"
#include "gui/dlg_combine.h"
#include "gui/document_model.h"
#include "gui/korvane_view.h"
#include "gui/main_form.h"
#include "gui/main_form_right.h"
#include "gui/main_frame.h"
#include "gui_test_support.h"

namespace korvane::gui::test {

namespace {

QString Sample(const char* name) {
  return QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QString::fromUtf8(name));
}

// Copies a data file and its waveform file ("…D") under a new base name.
QString CopyPair(const QString& source, const QString& dir, const QString& base) {
  const QString suffix = source.right(4);
  const QString target = QDir(dir).filePath(base + suffix);
  QFile::copy(source, target);
  QFile::copy(source.left(source.size() - 1) + QLatin1Char('D'),
              target.left(target.size() - 1) + QLatin1Char('D'));
  return target;
}

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  void makeFrame() {
    frame_.reset();
    model_ = std::make_unique<DocumentModel>(std::make_unique<CKorvaneDoc>());
    frame_ = std::make_unique<CMainFrame>(model_.get(), &prompter_, dir_.filePath(QStringLiteral("ui.ini")));
  }
  CMainForm* form() const { return frame_->mainForm(); }

  QTemporaryDir dir_;
  ScriptedPrompter prompter_;
  std::unique_ptr<DocumentModel> model_;
  std::unique_ptr<CMainFrame> frame_;

 private slots:
  void init() { makeFrame(); }
  void cleanup() {
    frame_.reset();
    model_.reset();
    prompter_ = ScriptedPrompter();
    QFile::remove(dir_.filePath(QStringLiteral("ui.ini")));
  }

  void openShowsTheFileAndAFailedOpenShowsNone() {
    const QString three = Sample("result-3members-cecs2005.SHA");
    QVERIFY(frame_->openFile(three));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 result-3members-cecs2005.SHA"));
    QCOMPARE(form()->siteField()->text(), QStringLiteral("示例工程综合楼"));
    QVERIFY(form()->siteField()->isEnabled());
    QCOMPARE(form()->memberList()->count(), 3);
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("一层柱3"));
    QCOMPARE(form()->zoneList()->count(), 12);
    QCOMPARE(form()->methodList()->currentText(), QStringLiteral("对测"));
    QCOMPARE(form()->fileList()->count(), 1);
    QCOMPARE(form()->fileList()->currentItem()->text(), QStringLiteral("result-3members-cecs2005.SHA"));
    QCOMPARE(frame_->rightForm()->timeField(0)->text(), QStringLiteral("87.60"));
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    QVERIFY(frame_->action(cmd::kSave)->isEnabled());
    QVERIFY(!model_->isModified());

    // Another member: its zones, zone 1.
    emit form()->memberList()->activated(2);
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("屋面板2"));
    QCOMPARE(form()->zoneList()->count(), 4);
    QCOMPARE(model_->doc().currentZone, 0);

    QVERIFY(frame_->openFile(Sample("result-7point-cecs2020.SHA")));
    QCOMPARE(frame_->mainView()->shownPanels(), 7);
    QCOMPARE(form()->fileList()->count(), 2);
    QCOMPARE(form()->fileList()->item(0)->text(), QStringLiteral("result-7point-cecs2020.SHA"));
    // A double click in the opened-files list opens that file again.
    emit form()->fileList()->itemDoubleClicked(form()->fileList()->item(1));
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("一层柱3"));
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    const QString title = frame_->windowTitle();

    // A file that cannot be read: its message, the title stays, no data shown,
    // and nothing left to save at exit (edits of the file shown before are
    // gone with it).
    model_->setModified(true);
    QVERIFY(!frame_->openFile(dir_.filePath(QStringLiteral("missing.SHA"))));
    QVERIFY(!model_->isModified());
    QVERIFY(frame_->confirmExit());
    QVERIFY(prompter_.questions.isEmpty());
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(frame_->windowTitle(), title);
    QVERIFY(!model_->hasFile());
    QVERIFY(!form()->siteField()->isEnabled());
    QCOMPARE(form()->memberList()->count(), 0);
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    QVERIFY(!frame_->action(cmd::kSave)->isEnabled());
    QVERIFY(!frame_->action(cmd::kNextZone)->isEnabled());
  }

  void recentFilesKeepFourAndDropWhatFailsToOpen() {
    QStringList copies;
    for (int i = 0; i < 5; ++i) {
      copies << CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("copy%1").arg(i));
      QVERIFY(frame_->openFile(copies.last()));
    }
    QCOMPARE(frame_->recentFiles(), (QStringList{copies[4], copies[3], copies[2], copies[1]}));
    const QString entry = frame_->action(cmd::kRecentFile1 + 1)->text();
    QVERIFY2(entry.startsWith(QStringLiteral("&2 ")) && entry.endsWith(QStringLiteral("copy3.SHT")),
             qPrintable(entry));

    // The list survives a restart of the frame.
    makeFrame();
    QCOMPARE(frame_->recentFiles().size(), 4);

    // An entry whose file is gone: its message, and it leaves the list.
    QFile::remove(copies[3]);
    frame_->action(cmd::kRecentFile1 + 1)->trigger();
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(frame_->recentFiles(), (QStringList{copies[4], copies[2], copies[1]}));
    frame_->action(cmd::kRecentFile1 + 2)->trigger();  // copies[1]
    QCOMPARE(model_->doc().pathName, copies[1].toStdString());
    QCOMPARE(frame_->recentFiles().constFirst(), copies[1]);
  }

  void saveResultsShowsTheWrittenFile() {
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    QVERIFY(frame_->openFile(raw));
    const QString result = dir_.filePath(QStringLiteral("结果.SHA"));
    prompter_.saveNames = {result};
    frame_->onSaveResults();
    QVERIFY(prompter_.messages.isEmpty());
    QCOMPARE(prompter_.saveInitialPaths.last(), dir_.filePath(QStringLiteral("field")));
    QCOMPARE(prompter_.suffixes.last(), QStringLiteral("SHA"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 结果.SHA"));
    QCOMPARE(model_->doc().pathName, result.toStdString());
    QCOMPARE(form()->fileList()->item(0)->text(), QStringLiteral("结果.SHA"));
    QCOMPARE(form()->zoneList()->count(), 10);
  }

  void exitYesSavesThenCloses() {
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("exit"));
    QVERIFY(frame_->openFile(raw));
    model_->pickArrival(0, 200);
    QVERIFY(model_->isModified());
    const QString saved = dir_.filePath(QStringLiteral("saved.SHT"));
    prompter_.answers = {Prompter::Answer::Yes};
    prompter_.saveNames = {saved};
    QVERIFY(frame_->confirmExit());
    QVERIFY(QFileInfo::exists(saved));
    QVERIFY(!model_->isModified());

    // The saved file holds the moved arrival.
    QVERIFY(frame_->openFile(saved));
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
  }

  void mergeWritesOneFileOrNamesTheFileThatFails() {
    CDlgcombine dialog(&prompter_);
    dialog.addFiles({Sample("raw-1member-cecs2005.SHT"), Sample("result-3members-cecs2005.SHA")});
    const QString merged = dir_.filePath(QStringLiteral("merged.SHA"));
    prompter_.saveNames = {merged};
    dialog.mergeFiles();
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join(QLatin1Char('\n'))));
    QCOMPARE(dialog.fileList()->count(), 0);
    QVERIFY(!dialog.mergeButton()->isEnabled());
    QVERIFY(frame_->openFile(merged));
    QCOMPARE(form()->memberList()->count(), 4);

    // Points per zone differ: the message names the file, nothing is written,
    // the rows stay.
    const QString seven = Sample("result-7point-cecs2020.SHA");
    dialog.addFiles({Sample("raw-1member-cecs2005.SHT"), seven});
    prompter_.saveNames = {dir_.filePath(QStringLiteral("never.SHA"))};
    dialog.mergeFiles();
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(prompter_.messages[0].startsWith(QStringLiteral("读取文件")));
    QVERIFY(prompter_.messages[0].contains(QStringLiteral("当前文件的测点数与前面的文件不相同")));
    QCOMPARE(dialog.fileList()->count(), 2);
    QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("never.SHA"))));
  }
};

int RunFileCommandsTests(int argc, char** argv) {
  FileCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "file_commands_test.moc"
