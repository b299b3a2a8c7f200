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

  // Opens a data file (command line, open dialog, dropped file, recent file,
  // opened-files list). Shows the message and returns false on failure.
  bool openFile(const QString& path);
  // The exit prompt: stores the bar widths into the document, then asks to
  // save modified data. True when the window may close.
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

  // No context menu over the docks and toolbars: each screen shows only its
  // own bars, switched in its "工具" menu.
  QMenu* createPopupMenu() override;

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
  void addRecentFile(const QString& path);
  void saveRecentFiles();
  void afterOpen(const QString& path);
  void storeBarWidths();
  void restoreBarSizes();
  void saveBarSizes();
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
  // Show flags of the bars, kept while the other screen hides them.
  bool toolBarShown_ = true;
  bool infoBarShown_ = true;
  bool analysisBarShown_ = true;
  bool analysisBarSeen_ = false;
  bool firstShow_ = true;
};

}  // namespace korvane::gui
