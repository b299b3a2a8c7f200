// The commands of the menus and toolbars: one row per command in one table
// (commands.cpp) — its identifier, text, shortcuts, icon, check mark,
// enabling rule, the screens whose menus list it and the toolbars that show
// it — and one action per command, shared by both screens. Every QAction
// carries its identifier (QAction::data) so that handlers, update rules and
// tests name commands the same way.
#pragma once

#include <QHash>
#include <QList>
#include <functional>
#include <span>

#include "gui/widgets/icons.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace korvane {
class CKorvaneDoc;
}

namespace korvane::gui {

// The two screens of the main window.
enum class Screen { Main, Analysis };

// Screens (and their toolbars) as bits of a row.
inline constexpr unsigned kMainScreen = 1u << 0;
inline constexpr unsigned kAnalysisScreen = 1u << 1;
inline constexpr unsigned kBothScreens = kMainScreen | kAnalysisScreen;
constexpr unsigned ScreenBit(Screen screen) { return screen == Screen::Main ? kMainScreen : kAnalysisScreen; }

// When a command is enabled.
enum class EnabledWhen {
  Always,
  Never,             // not offered yet (shown disabled)
  FileOpen,          // a file is open
  PreviousZone,      // there is a zone before the current one
  NextZone,          // … after it
  SectionRow,        // the current member has an acquisition row
  CarbonationTable,  // the standard offers pumped concrete (CarbonationTableOffered)
  Cores,             // a file with members is open
  CurrentZone,       // a file with a current zone
  MemberZones,       // a file whose current member has zones
  Reports,           // a file is open and the analysis screen is shown
  Undo,              // the history has a step to undo
  Redo,              // … to redo
};

// What the enabling rules read.
struct CommandState {
  const CKorvaneDoc& doc;
  Screen shown;
  bool canUndo = false;
  bool canRedo = false;
};
bool CommandEnabled(EnabledWhen when, const CommandState& state);

// One row of the command table, in menu order. Rows of id cmd::kSeparator
// end a group of their screens' menu. `mainBar` and `analysisBar`: the
// command's place on each screen's toolbar (1 first; 0 not on it).
struct CommandRow {
  int id;
  const char* menu;  // the menu title
  const char* text;  // "" for the recent-file entries (their texts are the files')
  const char* keys;  // shortcuts, "" for none; a second one after '|'
  CommandIconKind icon;
  EnabledWhen enabled;
  unsigned screens;  // the screens whose menu lists it (kMainScreen …)
  int mainBar = 0;
  int analysisBar = 0;
  // A bar switch: checkable, and choosing it leaves a value being typed
  // alone (as 撤销 and 重做 do).
  bool barSwitch = false;
  const char* toolTip = nullptr;  // when it differs from the text
};

// The table (menus of both screens in menu-bar order).
std::span<const CommandRow> CommandTable();
const CommandRow* CommandRowOf(int id);

// The actions and menus the table makes.
struct CommandSet {
  QHash<int, QAction*> actions;  // one per command
  QList<QMenu*> menus[2];        // by Screen
  QList<QAction*> recentFiles;   // the kRecentFile1 … entries
  QAction* recentPlaceholder = nullptr;
};

// Makes one action per command of the table and each screen's menus, owned
// by `owner`: each action carries its id, text, icon, shortcuts and check
// mark. A command runs its handler in `handlers` (a command without one is
// shown disabled); before it, `before` runs unless the command is 撤销, 重做
// or a bar switch (they must not disturb a value being typed), and the
// handler does not run when `before` returns false (a typed value refused).
CommandSet BuildCommands(QWidget* owner, const QHash<int, std::function<void()>>& handlers,
                         const std::function<bool()>& before);

// The toolbar "工具栏" of `screen` (object name `name`): the commands with a
// place on it, in that order, each showing its text without accelerator and
// "...".
QToolBar* BuildToolBar(QWidget* owner, const QString& name, Screen screen,
                       const QHash<int, QAction*>& actions);

// Whether command `id` is in `screen`'s menus or on its toolbar.
bool OnScreen(int id, Screen screen);

}  // namespace korvane::gui

namespace korvane::gui::cmd {

// A line between two groups of a menu.
inline constexpr int kSeparator = 0;
// The disabled entry "最近的文件" shown while there are no recent files.
inline constexpr int kRecentPlaceholder = -1;

// Both screens (where a command is, the table says).
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 32828;
inline constexpr int kSaveAs = 32827;
inline constexpr int kMerge = 32805;
inline constexpr int kExportRawToExcel = 32845;
inline constexpr int kRecentFile1 = 57616;  // up to four entries follow
inline constexpr int kExit = 32840;         // "退出"
inline constexpr int kTestParameters = 32775;
inline constexpr int kPreviousZone = 32776;
inline constexpr int kNextZone = 32777;
inline constexpr int kToolBar = 59392;
inline constexpr int kInfoBar = 32835;
inline constexpr int kStatusBar = 59393;
inline constexpr int kOutput = 32779;
inline constexpr int kFilter = 32781;
inline constexpr int kAbout = 57664;  // "关于 Korvane(&A)..."

inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
// "自动判读首波": the current zone; "自动判读首波（全部测区）": every zone of
// the current member.
inline constexpr int kSuggestArrivals = 32851;
inline constexpr int kSuggestArrivalsAllZones = 32852;

inline constexpr int kSaveResults = 32797;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kPrint = 57607;
inline constexpr int kAngleTable = 32810;
inline constexpr int kSurfaceTable = 32811;
inline constexpr int kCarbonationTable = 32812;
inline constexpr int kBackToMain = 32796;
inline constexpr int kAnalysisBar = 32838;
inline constexpr int kWord = 32808;
inline constexpr int kBmp = 32809;
inline constexpr int kExcel = 32830;
// "输出到PDF": the reports as a PDF file (beside the Word command).
inline constexpr int kPdf = 32850;
// "测强曲线" and "钻芯修正": a laboratory's own curve and the core correction.
inline constexpr int kStrengthCurve = 32860;
inline constexpr int kCoreCorrection = 32861;
inline constexpr int kHelpContents = 32793;
inline constexpr int kContactUs = 32794;

inline constexpr int kRecentFileCount = 4;

}  // namespace korvane::gui::cmd
