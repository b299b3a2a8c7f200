// The main window: it assembles the two screens over the one document, each
// with its own menus (one table of commands), toolbar and docking bar. The
// main screen shows the waveform panels of the current zone with the zone's
// point data to the right and the project information bar docked left; the
// analysis screen is a second page of the central area (two rows) with the
// analysis information bar. The file commands, the output commands, the
// history keys and the arrival note live in their own classes.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/document_edits.h"
#include "core/wave/arrival_notes.h"
#include "gui/commands.h"
#include "gui/files/file_commands.h"
#include "gui/widgets/docking_bars.h"

class QAction;
class QMenu;
class QSettings;
class QStackedWidget;
class QToolBar;
class QLabel;

namespace korvane::gui {

class CAnalysisDownTView;
class CAnalysisView;
class CFixedSplitterA;
class CFixedSplitterWnd;
class FormviewAna;
class CKorvaneView;
class CMainForm;
class CViewBar;
class DocumentModel;
class MainFormRight;
class ClickGuard;
class OutputCommands;
class PaneFocus;
class Prompter;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  using Screen = gui::Screen;
  using OpenOutcome = FileCommands::OpenOutcome;

  // Whether the frame writes its settings file or only reads it (a run that
  // leaves the user's settings alone, such as a screenshot run).
  enum class UiSettings { ReadWrite, ReadOnly };

  // `uiSettingsFile`: where the recent-file list and the bar sizes are kept
  // (empty: "korvane-ui.ini" in the settings folder).
  CMainFrame(DocumentModel* model, Prompter* prompter, const QString& uiSettingsFile = {},
             UiSettings access = UiSettings::ReadWrite, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Opens a data file as every way of opening does (FileCommands::openFile).
  OpenOutcome openFile(const QString& path) { return files_->openFile(path); }
  // The exit prompt: stores the bar widths into the document, then the
  // question of FileCommands::saveModified. True when the window may close.
  bool confirmExit();
  void showScreen(Screen screen);
  Screen screen() const { return screen_; }
  // The action of command `id` (one for both screens), and the same when
  // `screen` lists or shows it (else null).
  QAction* action(int id) const;
  QAction* action(Screen screen, int id) const;
  QList<QMenu*> menus(Screen screen) const;
  // Enables, disables and checks the commands for the current state.
  void updateCommands();
  QStringList recentFiles() const { return files_->recentFiles(); }

  CKorvaneView* mainView() const { return view_; }
  MainFormRight* rightForm() const { return right_; }
  CMainForm* mainForm() const { return form_; }
  CViewBar* infoBar() const { return infoBar_; }
  CViewBar* analysisBar() const { return analysisBar_; }
  // The panes of the screen shown, in Tab and F6 order: the docking bar,
  // then the central panes (analysis screen: the waveform view with its zone
  // grid, then the rebound table).
  QList<QWidget*> panes() const;
  PaneFocus* paneFocus() const { return paneFocus_; }
  QToolBar* mainToolBar() const { return mainTools_; }
  QToolBar* analysisToolBar() const { return analysisTools_; }
  // The status bar's note of implausible first arrivals (empty: none).
  QLabel* arrivalNote() const { return arrivalNote_; }
  QLabel* strengthNote() const { return strengthNote_; }
  CFixedSplitterWnd* mainSplitter() const { return mainSplitter_; }
  CAnalysisView* analysisView() const { return analysisView_; }
  CAnalysisDownTView* downView() const { return downView_; }
  FormviewAna* analysisForm() const { return anaForm_; }
  CFixedSplitterA* analysisSplitter() const { return analysisSplitter_; }
  // The file commands of both screens.
  FileCommands* fileCommands() const { return files_; }
  // The print and export commands of the analysis screen.
  OutputCommands* outputCommands() const { return outputs_; }

  // Command handlers of the window, as the menus run them.
  void onPreviousZone();
  void onNextZone();
  void onFilter();
  void onOutput();
  void onBackToMain();
  void onTestParameters();
  void onAbout();
  void onCorrectionTable(int id);
  void onStrengthCurve();
  void onCoreCorrection();
  // "自动判读首波" (`allZones` false: the current zone) and "自动判读首波（全部
  // 测区）" (every zone of the current member): the suggestion is shown
  // beside the stored arrivals while the prompter asks; accepted, it is
  // applied as one step (a pick of the screen shown: arrival and amplitude
  // on the main screen, the arrival on the analysis screen).
  void onSuggestArrivals(bool allZones);

  // No context menu over the docks and toolbars: each screen shows only its
  // own bars, switched in its "工具" menu.
  QMenu* createPopupMenu() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMainScreen();
  void buildAnalysisScreen();
  // What each command of the table (commands.h) runs, by its id.
  QHash<int, std::function<void()>> commandHandlers();
  void buildCommands();
  void buildToolBars();
  void installMenus(Screen screen);
  // Texts ("撤销 拾取首波") and enabling of 撤销 and 重做 from the history.
  void updateHistoryCommands();
  void updateTitle(const QString& path);
  // Re-checks the points noted for implausible arrivals and the point
  // `result` edited; shows the newest in the status bar.
  void noteArrivals(const korvane::EditResult& result);
  // The first implausible zone strength, while the analysis screen shows
  // strengths.
  void noteStrengths();
  void storeBarWidths();
  void restoreBarSizes();
  void saveBarSizes();
  // Enters what is typed and not yet entered in a grid cell of this window,
  // as leaving the cell would, so that a command reads and writes what the
  // screen shows; the grid keeps the focus.
  // Enters a value still being typed (a form field, a grid cell); false
  // when the field refused it (its message shown).
  bool enterPendingInput();
  QString programVersion() const;

  DocumentModel* model_;
  Prompter* prompter_;
  std::unique_ptr<QSettings> settings_;
  UiSettings settingsAccess_;
  Screen screen_ = Screen::Main;
  QHash<int, QAction*> actions_;  // one per command, shared by both screens
  QList<QMenu*> mainMenus_;
  QList<QMenu*> analysisMenus_;
  QStackedWidget* pages_ = nullptr;
  CKorvaneView* view_ = nullptr;
  MainFormRight* right_ = nullptr;
  CMainForm* form_ = nullptr;
  CFixedSplitterWnd* mainSplitter_ = nullptr;
  CAnalysisView* analysisView_ = nullptr;
  CAnalysisDownTView* downView_ = nullptr;
  FormviewAna* anaForm_ = nullptr;
  CFixedSplitterA* analysisSplitter_ = nullptr;
  FileCommands* files_ = nullptr;
  OutputCommands* outputs_ = nullptr;
  CViewBar* infoBar_ = nullptr;
  CViewBar* analysisBar_ = nullptr;
  QToolBar* mainTools_ = nullptr;
  QToolBar* analysisTools_ = nullptr;
  // Where the bars were and their sizes, from the window settings.
  BarPlacement infoPlacement_;
  BarPlacement analysisPlacement_;
  ClickGuard* mainGuard_ = nullptr;
  ClickGuard* analysisGuard_ = nullptr;
  PaneFocus* paneFocus_ = nullptr;
  QLabel* readyLabel_ = nullptr;
  QLabel* arrivalNote_ = nullptr;
  QLabel* strengthNote_ = nullptr;
  // The document's state the strength note was made for.
  struct StrengthsState {
    std::uint64_t changes = 0;
    std::optional<std::uint64_t> recomputed;
    friend bool operator==(const StrengthsState&, const StrengthsState&) = default;
  };
  std::optional<StrengthsState> strengthsNoted_;
  std::string strengthsNote_;
  ArrivalNotes notedArrivals_;
  // Show flags of the bars, kept while the other screen hides them.
  bool toolBarShown_ = true;
  bool infoBarShown_ = true;
  bool analysisBarShown_ = true;
  bool analysisBarSeen_ = false;
  bool firstShow_ = true;
};

}  // namespace korvane::gui
