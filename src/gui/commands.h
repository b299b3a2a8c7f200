// The commands of the menus and toolbars: their identifiers, and the row
// type of the one table that declares each screen's menus (main_frame.cpp).
// Every QAction of the frame carries its identifier (QAction::data) so that
// handlers, update rules and tests name commands the same way.
#pragma once

#include <QHash>
#include <QList>
#include <functional>
#include <initializer_list>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace korvane::gui {

// The two screens of the main window.
enum class Screen { Main, Analysis };

// One row of the command table, in menu order: the command `id` of `screen`
// listed in the menu titled `menu` with `text` (and the shortcut `keys`, ""
// for none; a second shortcut after '|'). `handler` runs when the command
// is chosen; without one the command is shown disabled. Rows of id
// kSeparator end a group of the menu; rows without a menu title make an
// action for the toolbar only.
struct CommandRow {
  Screen screen;
  const char* menu;
  int id;
  const char* text;
  const char* keys;
  std::function<void()> handler;
};

// The actions and menus a table makes, per screen.
struct CommandSet {
  QHash<int, QAction*> actions[2];  // by Screen
  QList<QMenu*> menus[2];
  QList<QAction*> recentFiles;  // the kRecentFile1 … entries
  QAction* recentPlaceholder = nullptr;
  QAction* action(Screen screen, int id) const { return actions[static_cast<int>(screen)].value(id); }
};

// Makes the actions and menus of `rows`, owned by `owner`: each action
// carries its id, icon (CommandIcon), shortcuts and check mark (the bar
// switches); a command with a handler runs `before` first, unless it is one
// that must not disturb a value being typed (撤销, 重做, the bar switches),
// and does not run when `before` returns false (a typed value refused).
CommandSet BuildCommands(QWidget* owner, const std::vector<CommandRow>& rows,
                         const std::function<bool()>& before);

// A toolbar "工具栏" (object name `name`) of the commands `ids`, each showing
// its text without accelerator and "...".
QToolBar* BuildToolBar(QWidget* owner, const QString& name, const QHash<int, QAction*>& actions,
                       std::initializer_list<int> ids);

}  // namespace korvane::gui

namespace korvane::gui::cmd {

// A line between two groups of a menu.
inline constexpr int kSeparator = 0;
// The disabled entry "最近的文件" shown while there are no recent files.
inline constexpr int kRecentPlaceholder = -1;

// Main screen.
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 32828;
inline constexpr int kSaveAs = 32827;
inline constexpr int kMerge = 32805;
inline constexpr int kExportRawToExcel = 32845;
inline constexpr int kRecentFile1 = 57616;  // up to four entries follow
inline constexpr int kExit = 32840;
inline constexpr int kTestParameters = 32775;
inline constexpr int kPreviousZone = 32776;
inline constexpr int kNextZone = 32777;
inline constexpr int kToolBar = 59392;
inline constexpr int kInfoBar = 32835;
inline constexpr int kStatusBar = 59393;
inline constexpr int kOutput = 32779;
inline constexpr int kFilter = 32781;
inline constexpr int kAbout = 57664;

// Both screens: "编辑" and "波形处理".
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
// "自动判读首波": the current zone; "自动判读首波（全部测区）": every zone of
// the current member.
inline constexpr int kSuggestArrivals = 32851;
inline constexpr int kSuggestArrivalsAllZones = 32852;

// Analysis screen.
inline constexpr int kOpenAnalysis = 32806;
inline constexpr int kSaveResults = 32797;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kPrint = 57607;
inline constexpr int kExitAnalysis = 32841;
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
inline constexpr int kAboutAnalysis = 32795;

inline constexpr int kRecentFileCount = 4;

}  // namespace korvane::gui::cmd
