// Shared pieces of the GUI tests: a prompter that answers from a script and
// records what it was asked; the documents come from the support library.
#pragma once

#include <QList>
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
  // Scripted answers, used in order; an empty script answers Cancel.
  QList<Answer> answers;
  QStringList openNames;
  QList<QStringList> openLists;
  QStringList saveNames;
  // Whether the desktop has a program for the files shown.
  bool desktopOpens = true;
};

// The in-memory documents of the support library.
using korvane::testing::MakeWaveformDoc;
using korvane::testing::TestWaveCode;

}  // namespace korvane::gui::test
