// The window's commands at the largest file a pair holds (100 members of
// 1,000 zones by default), each timed with the repaint it causes, against
// the floor of repainting the whole window in the same run. The real
// window runs offscreen and the commands go through its actions, grids,
// lists and keys as a user gives them.
//
//   frame_bench [MEMBERS ZONES]
//
// FRAME_BENCH_ONLY=NAME times one command, FRAME_BENCH_RUNS=N runs each
// (7), FRAME_BENCH_FILE=PATH opens that file (for a profiler).
//
// Prints one row per command: the median of its runs (command plus the
// repaint it queued, in ms), the floor's median (the whole window painted
// on the screen the command ends on), the time above the floor and that
// time in 60 Hz frames. Commands with a dialog are left out (the
// dialog waits for the user); so are those that write files.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/example_files.h"
#include "core/app/korvane_doc.h"
#include "core/forms/rebound_table_layout.h"
#include "gui/analysis_screen/analysis_form.h"
#include "gui/analysis_screen/zone_tables_view.h"
#include "gui/commands.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/prompter.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui/widgets/point_panel.h"

namespace {

using namespace korvane;
using namespace korvane::gui;

// Answers every question with Yes and every dialog with nothing.
class YesPrompter : public Prompter {
 public:
  void message(QWidget*, const QString&) override {}
  Answer askYesNoCancel(QWidget*, const QString&) override { return Answer::Yes; }
  bool acceptSuggestion(QWidget*, const QString&) override { return true; }
  QString openFileName(QWidget*, const QString&) override { return {}; }
  QStringList openFileNames(QWidget*, const QString&) override { return {}; }
  QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&,
                       int*) override {
    return {};
  }
  QString saveFileNameWithOption(QWidget*, const QString&, const QString&, const QString&, const QString&,
                                 const QString&, bool&) override {
    return {};
  }
  bool showDocument(const QString&) override { return false; }
};

// Everything the command queued, repaints included, done.
void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds of `run` plus what it queued, median of `times` runs.
double Time(const std::function<void()>& run, int times) {
  std::vector<double> runs;
  for (int i = 0; i < times; ++i) {
    Settle();
    QElapsedTimer timer;
    timer.start();
    run();
    Settle();
    runs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  return Median(runs);
}

void KeyInto(QWidget* widget, Qt::Key key) {
  widget->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(widget, key);
}

// A rebound reading of the current zone typed into its cell and entered.
void TypeReading(CGridCtrl* grid, int zone, const QString& text) {
  const GridPosition at = ReboundReadingPosition(zone, 0);
  if (!grid->editCell(at.row, at.column)) return;
  auto* editor = qobject_cast<QLineEdit*>(grid->tableView()->indexWidget(grid->tableView()->currentIndex()));
  if (editor == nullptr) return;
  editor->setText(text);
  QTest::keyClick(editor, Qt::Key_Return);
}

struct Command {
  const char* name;
  Screen screen;
  std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  GeneratedFilePlan plan;
  plan.members = argc > 2 ? std::stoi(argv[1]) : 100;
  plan.zones = argc > 2 ? std::stoi(argv[2]) : 1000;
  QTemporaryDir dir;
  // FRAME_BENCH_FILE=PATH: that file instead of a generated one.
  QString file = qEnvironmentVariable("FRAME_BENCH_FILE");
  if (file.isEmpty()) {
    std::fprintf(stderr, "writing %d members of %d zones…\n", plan.members, plan.zones);
    WriteGeneratedFile(dir.path().toStdString(), "bench.SHA", plan);
    file = dir.filePath(QStringLiteral("bench.SHA"));
  }

  YesPrompter prompter;
  DocumentModel model(std::make_unique<CKorvaneDoc>(CKorvaneDoc::Settings::None));
  CMainFrame frame(&model, &prompter, dir.filePath(QStringLiteral("ui.ini")),
                   CMainFrame::UiSettings::ReadOnly);
  frame.resize(1400, 900);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) return 1;
  QElapsedTimer openTimer;
  openTimer.start();
  frame.openFile(file);
  Settle();
  std::fprintf(stderr, "opened in %.0f ms\n", static_cast<double>(openTimer.nsecsElapsed()) / 1e6);

  const auto trigger = [&frame](int id) { return [&frame, id] { frame.action(id)->trigger(); }; };
  const auto currentZone = [&model] { return model.doc().currentZone; };
  CGridCtrl* rebound = frame.downView()->grid();
  int reading = 40;
  const std::vector<Command> commands = {
      {"下一测区", Screen::Main, trigger(cmd::kNextZone)},
      {"上一测区", Screen::Main, trigger(cmd::kPreviousZone)},
      {"构件 (↓)", Screen::Main, [&] { KeyInto(frame.mainForm()->memberList(), Qt::Key_Down); }},
      {"构件 (↑)", Screen::Main, [&] { KeyInto(frame.mainForm()->memberList(), Qt::Key_Up); }},
      {"构件 (↓)", Screen::Analysis, [&] { KeyInto(frame.analysisForm()->memberList(), Qt::Key_Down); }},
      {"测区 (↓)", Screen::Main, [&] { KeyInto(frame.mainForm()->zoneList(), Qt::Key_Down); }},
      {"首波 (→)", Screen::Main, [&] { KeyInto(frame.mainView()->panel(0), Qt::Key_Right); }},
      {"撤销", Screen::Main, trigger(cmd::kUndo)},
      {"重做", Screen::Main, trigger(cmd::kRedo)},
      {"自动判读首波", Screen::Main, trigger(cmd::kSuggestArrivals)},
      {"撤销 (判读)", Screen::Main, trigger(cmd::kUndo)},
      {"信息栏", Screen::Main, trigger(cmd::kInfoBar)},
      {"输出", Screen::Main, trigger(cmd::kOutput)},
      {"返回", Screen::Analysis, trigger(cmd::kBackToMain)},
      {"下一测区", Screen::Analysis, trigger(cmd::kNextZone)},
      {"上一测区", Screen::Analysis, trigger(cmd::kPreviousZone)},
      {"回弹值 + Enter", Screen::Analysis,
       [&] {
         reading = reading == 40 ? 41 : 40;
         TypeReading(rebound, currentZone(), QString::number(reading));
       }},
      {"撤销", Screen::Analysis, trigger(cmd::kUndo)},
      {"重做", Screen::Analysis, trigger(cmd::kRedo)},
      // The first two standards in turn (a later one may refuse the file).
      {"规范选择", Screen::Analysis,
       [&] {
         QComboBox* list = frame.analysisForm()->standardList();
         KeyInto(list, list->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
       }},
      {"分析栏", Screen::Analysis, trigger(cmd::kAnalysisBar)},
  };

  const int kRuns = qEnvironmentVariableIntValue("FRAME_BENCH_RUNS") > 0
                        ? qEnvironmentVariableIntValue("FRAME_BENCH_RUNS")
                        : 7;
  std::printf("%-16s %-8s %10s %10s %10s %8s\n", "command", "screen", "ms", "floor ms", "above ms", "frames");
  double worst = 0.0;
  // FRAME_BENCH_ONLY=NAME times that command alone (for a profiler).
  const QString only = qEnvironmentVariable("FRAME_BENCH_ONLY");
  for (const Command& c : commands) {
    if (!only.isEmpty() && QString::fromUtf8(c.name) != only) continue;
    // Each command is timed on its own screen; "输出" and "返回" switch
    // screens, so their runs go there and back.
    const bool switches = std::string(c.name) == "输出" || std::string(c.name) == "返回";
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
      if (frame.screen() != c.screen) frame.showScreen(c.screen);
      runs.push_back(Time(c.run, 1));
      if (switches) frame.showScreen(c.screen);
    }
    const double ms = Median(runs);
    // The floor: the whole window repainted on the screen the command ends
    // on (a switch of screens paints the other screen whole).
    const bool endsOnOther = switches;
    if (endsOnOther) frame.showScreen(c.screen == Screen::Main ? Screen::Analysis : Screen::Main);
    const double floor = Time([&frame] { frame.grab(); }, kRuns);
    const double above = std::max(ms - floor, 0.0);
    worst = std::max(worst, above);
    std::printf("%-16s %-8s %10.1f %10.1f %10.1f %8.1f\n", c.name,
                c.screen == Screen::Main ? "main" : "analysis", ms, floor, above, above / (1000.0 / 60.0));
  }
  std::printf("worst above the floor: %.1f ms (aim: 16 ms)\n", worst);
  return 0;
}
