// The main window: two screens over the one document, each with its own menu
// bar contents, toolbar and docking bar. The main screen shows the waveform
// panels of the current zone with the zone's point data to the right and the
// project information bar docked left; the analysis screen is a second page
// of the central area (two rows) with the analysis information bar.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "core/app/document_edits.h"

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
class OutputCommands;
class Prompter;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  enum class Screen { Main, Analysis };

  // Whether "输出" leads to the analysis screen.
  static constexpr bool kAnalysisScreenAvailable = true;

  // Whether the frame writes its settings file or only reads it (a run that
  // leaves the user's settings alone, such as a screenshot run).
  enum class UiSettings { ReadWrite, ReadOnly };

  // `uiSettingsFile`: where the recent-file list and the bar sizes are kept
  // (empty: "korvane-ui.ini" in the settings folder).
  CMainFrame(DocumentModel* model, Prompter* prompter, const QString& uiSettingsFile = {},
             UiSettings access = UiSettings::ReadWrite, QWidget* parent = nullptr);
  ~CMainFrame() override;

  enum class OpenOutcome {
    Opened,
    Kept,    // the user kept the document shown (Cancel, or no save made)
    Failed,  // the file could not be read; its message was shown
  };
  // Opens a data file: the one routine of every way of opening (command
  // line, also of a second start, open dialog, dropped file, recent file,
  // opened-files list). Modified data are offered for saving first
  // (saveModified).
  OpenOutcome openFile(const QString& path);
  // Before the data shown go (another file opened, the window closed): when
  // they are modified, asks "数据已经修改，是否保存" with Yes, No and Cancel;
  // Yes opens the save dialog and saves. True when the data may go (not
  // modified, No, or saved); false for Cancel, a cancelled dialog or a
  // failed save.
  bool saveModified();
  // The exit prompt: stores the bar widths into the document, then
  // saveModified(). True when the window may close.
  bool confirmExit();
  void showScreen(Screen screen);
  Screen screen() const { return screen_; }
  // The action of command `id` on the screen shown (else on the other one).
  QAction* action(int id) const;
  QAction* action(Screen screen, int id) const;
  QList<QMenu*> menus(Screen screen) const;
  // Enables, disables and checks the commands for the current state.
  void updateCommands();
  QStringList recentFiles() const { return recent_; }

  CKorvaneView* mainView() const { return view_; }
  MainFormRight* rightForm() const { return right_; }
  CMainForm* mainForm() const { return form_; }
  CViewBar* infoBar() const { return infoBar_; }
  CViewBar* analysisBar() const { return analysisBar_; }
  QToolBar* mainToolBar() const { return mainTools_; }
  QToolBar* analysisToolBar() const { return analysisTools_; }
  // The status bar's note of implausible first arrivals (empty: none).
  QLabel* arrivalNote() const { return arrivalNote_; }
  CFixedSplitterWnd* mainSplitter() const { return mainSplitter_; }
  CAnalysisView* analysisView() const { return analysisView_; }
  CAnalysisDownTView* downView() const { return downView_; }
  FormviewAna* analysisForm() const { return anaForm_; }
  CFixedSplitterA* analysisSplitter() const { return analysisSplitter_; }
  // The print and export commands of the analysis screen.
  OutputCommands* outputCommands() const { return outputs_; }

  // Command handlers, as the menus run them.
  void onOpen();
  void onSave();
  void onSaveAs();
  void onSaveResults();
  void onPreviousZone();
  void onNextZone();
  void onFilter();
  void onOutput();
  void onBackToMain();
  void onExportRawData();
  void onMerge();
  void onTestParameters();
  void onAbout();
  void onAngleTable();
  void onSurfaceTable();
  void onCarbonationTable();
  void onUndo();
  void onRedo();
  // "自动判读首波" (`allZones` false: the current zone) and "自动判读首波（全部
  // 测区）" (every zone of the current member): the suggestion is shown
  // beside the stored arrivals while the prompter asks; accepted, it is
  // applied as one step (a pick of the screen shown: arrival and amplitude
  // on the main screen, the arrival on the analysis screen).
  void onSuggestArrivals(bool allZones);

  // No context menu over the docks and toolbars: each screen shows only its
  // own bars, switched in its "工具" menu.
  QMenu* createPopupMenu() override;

  // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z in a text field of the window: the
  // field's own undo while it holds typing of its own (not yet entered),
  // else the document's 撤销 and 重做.
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* addCommand(Screen screen, int id, const QString& text);
  void buildMainScreen();
  void buildAnalysisScreen();
  void buildMenus();
  void buildToolBars();
  void installMenus(Screen screen);
  void rebuildRecentMenu();
  // Texts ("撤销 拾取首波") and enabling of 撤销 and 重做 from the history.
  void updateHistoryCommands();
  void addRecentFile(const QString& path);
  void saveRecentFiles();
  void afterOpen(const QString& path);
  void updateTitle();
  // The data file save dialog over `filter` (AskDataFileSavePath: a free
  // name proposed, the chosen filter's extension added to a bare name, a
  // question before another data file's waveform file is overwritten).
  // Empty: no save (cancelled).
  QString askSavePath(const QString& initialPath, const char* filter);
  // Saves to `path`; shows the message of a failure. The document then
  // names the new file (title, recent files, opened-files list follow).
  bool saveTo(const QString& path);
  // Re-checks the points noted for implausible arrivals and the point
  // `result` edited; shows the newest in the status bar.
  void noteArrivals(const korvane::EditResult& result);
  void storeBarWidths();
  void restoreBarSizes();
  void saveBarSizes();
  // Enters what is typed and not yet entered in a grid cell of this window,
  // as leaving the cell would, so that a command reads and writes what the
  // screen shows; the grid keeps the focus.
  void enterPendingInput();
  QString programVersion() const;

  DocumentModel* model_;
  Prompter* prompter_;
  std::unique_ptr<QSettings> settings_;
  UiSettings settingsAccess_;
  Screen screen_ = Screen::Main;
  QHash<int, QAction*> mainActions_;
  QHash<int, QAction*> analysisActions_;
  QList<QMenu*> mainMenus_;
  QList<QMenu*> analysisMenus_;
  QList<QAction*> recentActions_;
  QAction* recentPlaceholder_ = nullptr;
  QStringList recent_;
  QStackedWidget* pages_ = nullptr;
  CKorvaneView* view_ = nullptr;
  MainFormRight* right_ = nullptr;
  CMainForm* form_ = nullptr;
  CFixedSplitterWnd* mainSplitter_ = nullptr;
  CAnalysisView* analysisView_ = nullptr;
  CAnalysisDownTView* downView_ = nullptr;
  FormviewAna* anaForm_ = nullptr;
  CFixedSplitterA* analysisSplitter_ = nullptr;
  OutputCommands* outputs_ = nullptr;
  CViewBar* infoBar_ = nullptr;
  CViewBar* analysisBar_ = nullptr;
  QToolBar* mainTools_ = nullptr;
  QToolBar* analysisTools_ = nullptr;
  QLabel* readyLabel_ = nullptr;
  QLabel* arrivalNote_ = nullptr;
  // Points whose first arrival is implausible, newest first.
  struct NotedPoint {
    int member;
    int zone;
    int point;
  };
  QList<NotedPoint> notedPoints_;
  // Show flags of the bars, kept while the other screen hides them.
  bool toolBarShown_ = true;
  bool infoBarShown_ = true;
  bool analysisBarShown_ = true;
  bool analysisBarSeen_ = false;
  bool firstShow_ = true;
};

}  // namespace korvane::gui
