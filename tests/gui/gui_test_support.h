// Shared pieces of the GUI tests: a prompter that answers from a script and
// records what it was asked, the window fixture, and input as a user gives
// it; the documents come from the support library.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QPrinter>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/app/korvane_doc.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/prompter.h"
#include "gui/widgets/grid_ctrl.h"
#include "support/sample_documents.h"

namespace korvane::gui::test {

class ScriptedPrompter : public Prompter {
 public:
  void message(QWidget*, const QString& text) override { messages << text; }
  Answer askYesNoCancel(QWidget*, const QString& text) override {
    questions << text;
    return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
  }
  QString openFileName(QWidget*, const QString& filter) override {
    filters << filter;
    return openNames.isEmpty() ? QString() : openNames.takeFirst();
  }
  QStringList openFileNames(QWidget*, const QString& filter) override {
    filters << filter;
    return openLists.isEmpty() ? QStringList() : openLists.takeFirst();
  }
  QString saveFileName(QWidget*, const QString& initialPath, const QString& filter,
                       const QString& defaultSuffix, const QString& title,
                       int* chosenFilter = nullptr) override {
    saveTitles << title;
    saveInitialPaths << initialPath;
    filters << filter;
    suffixes << defaultSuffix;
    const int chosen = saveFilters.isEmpty() ? 0 : saveFilters.takeFirst();
    if (chosenFilter != nullptr) *chosenFilter = chosen;
    return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
  }

  QString saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                 const QString& defaultSuffix, const QString& title, const QString& option,
                                 bool& optionChecked) override {
    options << option;
    optionChecked = !optionAnswers.isEmpty() && optionAnswers.takeFirst();
    return saveFileName(parent, initialPath, filter, defaultSuffix, title);
  }
  // Prints into the PDF file `printFile` (cancels when it is empty), pages
  // `printFrom`..`printTo` when printFrom > 0.
  bool choosePrinter(QWidget*, QPrinter& printer, int pageCount) override {
    printPageCounts << pageCount;
    if (printFile.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFile);
    if (printFrom > 0) {
      printer.setPrintRange(QPrinter::PageRange);
      printer.setFromTo(printFrom, printTo);
    }
    return true;
  }
  bool showDocument(const QString& path) override {
    shownDocuments << path;
    return desktopOpens;
  }

  // What the program showed or asked.
  QStringList messages;
  QStringList saveTitles;
  QStringList shownDocuments;
  QStringList questions;
  QStringList filters;
  QStringList saveInitialPaths;
  QStringList suffixes;
  QStringList options;         // texts of the save dialogs' check boxes
  QList<int> printPageCounts;  // page counts the print dialog was shown for
  // Scripted answers, used in order; an empty script answers Cancel.
  QList<Answer> answers;
  QStringList openNames;
  QList<QStringList> openLists;
  QStringList saveNames;
  // Index of the filter chosen in each save dialog (0 when not scripted).
  QList<int> saveFilters;
  QList<bool> optionAnswers;  // states of the save dialogs' check boxes
  QString printFile;
  int printFrom = 0;
  int printTo = 0;
  // Whether the desktop has a program for the files shown.
  bool desktopOpens = true;
};

// The window the GUI test classes drive: a frame over a document of the
// test's choosing, a scripted prompter, and the window settings in a scratch
// folder. A test class derives from QObject first, then from this.
template <typename PrompterType = ScriptedPrompter>
class WindowFixture {
 protected:
  // A frame over `doc`; the previous frame and model go first.
  void makeFrame(std::unique_ptr<CKorvaneDoc> doc,
                 CMainFrame::UiSettings access = CMainFrame::UiSettings::ReadWrite) {
    frame_.reset();
    model_ = std::make_unique<DocumentModel>(std::move(doc));
    frame_ = std::make_unique<CMainFrame>(model_.get(), &prompter_, uiSettingsFile(), access);
  }
  // Shows the frame at 1400 × 900 and waits until it is on screen.
  void showFrame() {
    frame_->resize(1400, 900);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  }
  // Frame, model and prompter gone (each test's cleanup).
  void resetFrame() {
    frame_.reset();
    model_.reset();
    prompter_ = PrompterType();
  }
  QString uiSettingsFile() const { return dir_.filePath(QStringLiteral("ui.ini")); }
  CKorvaneDoc& doc() { return model_->doc(); }

  QTemporaryDir dir_;
  PrompterType prompter_;
  std::unique_ptr<DocumentModel> model_;
  std::unique_ptr<CMainFrame> frame_;
};

// A path in one form for comparisons: absolute, with '/'. The program keeps
// and proposes paths in the system's own form (on Windows "C:\\dir\\f.SHA",
// "Z:/work/f.pdf"); expectations are written as QDir makes them.
inline QString PathKey(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }
inline QString PathKey(const std::string& utf8) { return PathKey(QString::fromStdString(utf8)); }
inline QStringList PathKeys(const QStringList& paths) {
  QStringList keys;
  for (const QString& path : paths) keys << PathKey(path);
  return keys;
}

// Input as a user gives it. Failures are recorded by QVERIFY and end the
// helper; the calling test reports them.
// Opens the in-place editor of grid cell (row, column): its line edit, or
// null when the cell refused or holds a list.
inline QLineEdit* OpenCellEditor(CGridCtrl* grid, int row, int column) {
  if (!grid->editCell(row, column)) return nullptr;
  return qobject_cast<QLineEdit*>(grid->tableView()->indexWidget(grid->tableView()->currentIndex()));
}
// Types `text` into cell (row, column) and presses Enter; returns once the
// editor, which closes from the event loop, is gone.
inline void TypeIntoCell(CGridCtrl* grid, int row, int column, const QString& text) {
  QLineEdit* editor = OpenCellEditor(grid, row, column);
  QVERIFY(editor != nullptr);
  editor->setText(text);
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_VERIFY(!grid->isEditing());
  QCoreApplication::processEvents();
}
// Types `text` into cell (row, column) and leaves the cell as a click
// elsewhere does: the text is entered, the focus cell stays (Enter would go
// on to the next cell of a grid with an entry order).
inline void TypeIntoCellAndLeave(CGridCtrl* grid, int row, int column, const QString& text) {
  QLineEdit* editor = OpenCellEditor(grid, row, column);
  QVERIFY(editor != nullptr);
  editor->setText(text);
  grid->tableView()->setFocus(Qt::MouseFocusReason);
  QTRY_VERIFY(!grid->isEditing());
  QCoreApplication::processEvents();
}
// Replaces a field's text and presses Enter.
inline void EnterText(QLineEdit* field, const QString& text) {
  field->setText(text);
  QTest::keyClick(field, Qt::Key_Return);
}

// The test classes, each run as a program of its own (gui_tests_main.cpp).
int RunMainScreenTests(int argc, char** argv);
int RunFrameTests(int argc, char** argv);
int RunFileCommandsTests(int argc, char** argv);
int RunGridCtrlTests(int argc, char** argv);
int RunAnalysisScreenTests(int argc, char** argv);
int RunOutputCommandsTests(int argc, char** argv);
int RunUndoTests(int argc, char** argv);
int RunKeyboardTests(int argc, char** argv);

// The in-memory documents of the support library.
using korvane::testing::MakeWaveformDoc;
using korvane::testing::TestWaveCode;

}  // namespace korvane::gui::test
