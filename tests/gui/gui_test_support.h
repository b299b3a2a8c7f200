// Shared pieces of the GUI tests: a prompter that answers from a script and
// records what it was asked, and in-memory documents with waveforms.
#pragma once

#include <QList>
#include <QStringList>
#include <memory>

#include "core/app/korvane_doc.h"
#include "gui/prompter.h"

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

  void showDocument(const QString& path) override { shownDocuments << path; }

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
};

// Code of sample k of the test waveform: silence up to sample 60, then a
// decaying oscillation whose first peak (code 2048 + 900) lies at sample 64.
int TestWaveCode(int k);

// A document with one member "柱1" (512 samples at 0.5 us), `zones` zones of
// `points` points each (distance 200 mm, gain 2, delay 0, arrival at sample
// 60, amplitude at sample 64), test method "平测" on "侧面", under `standard`.
// The point readings of every zone are computed; zone 0 is current.
std::unique_ptr<CKorvaneDoc> MakeDocument(int zones, int points, int standard = 0);

}  // namespace korvane::gui::test
