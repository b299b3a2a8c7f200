// Shared pieces of the GUI tests: a prompter that answers from a script and
// records what it was asked; the documents come from the support library.
#pragma once

#include <QList>
#include <QPrinter>
#include <QStringList>
#include <memory>

#include "core/app/korvane_doc.h"
#include "gui/prompter.h"
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
                       const QString& defaultSuffix, const QString& title) override {
    saveTitles << title;
    saveInitialPaths << initialPath;
    filters << filter;
    suffixes << defaultSuffix;
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
  QList<bool> optionAnswers;  // states of the save dialogs' check boxes
  QString printFile;
  int printFrom = 0;
  int printTo = 0;
  // Whether the desktop has a program for the files shown.
  bool desktopOpens = true;
};

// The in-memory documents of the support library.
using korvane::testing::MakeWaveformDoc;
using korvane::testing::TestWaveCode;

}  // namespace korvane::gui::test
