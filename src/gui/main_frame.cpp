#include "gui/main_frame.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "core/app/edit_names.h"
#include "core/app/settings_file.h"
#include "core/forms/correction_dialog_model.h"
#include "core/forms/filter_dialog_model.h"
#include "core/forms/zone_grid_layout.h"
#include "gui/analysis_screen/analysis_form.h"
#include "gui/analysis_screen/waveform_view.h"
#include "gui/analysis_screen/zone_tables_view.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/core_correction_dialog.h"
#include "gui/dialogs/correction_table_dialogs.h"
#include "gui/dialogs/filter_dialog.h"
#include "gui/dialogs/strength_curve_dialog.h"
#include "gui/dialogs/test_parameters_dialog.h"
#include "gui/document/document_model.h"
#include "gui/document/history_keys.h"
#include "gui/document/suggestion_command.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/output/output_commands.h"
#include "gui/prompter.h"
#include "gui/widgets/click_guard.h"
#include "gui/widgets/docking_bars.h"
#include "gui/widgets/focus_frame.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/number_field.h"
#include "gui/widgets/pane_focus.h"
#include "gui/widgets/point_panel.h"

namespace korvane::gui {

namespace {

QString DefaultUiSettingsFile() {
  const std::filesystem::path dir = SettingsDirectory();
#ifdef _WIN32
  return QString::fromStdWString((dir / "korvane-ui.ini").wstring());
#else
  return QString::fromStdString((dir / "korvane-ui.ini").string());
#endif
}

}  // namespace

CMainFrame::CMainFrame(DocumentModel* model, Prompter* prompter, const QString& uiSettingsFile,
                       UiSettings access, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      prompter_(prompter),
      settings_(std::make_unique<QSettings>(
          uiSettingsFile.isEmpty() ? DefaultUiSettingsFile() : uiSettingsFile, QSettings::IniFormat)),
      settingsAccess_(access) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowIcon(ApplicationIcon());
  setAcceptDrops(true);
  setDockOptions(QMainWindow::AnimatedDocks);

  const bool store = access == UiSettings::ReadWrite;
  files_ = new FileCommands(model_, prompter_, this, settings_.get(), store, this);
  outputs_ = new OutputCommands(model_, prompter_, this, settings_.get(), store, this);
  pages_ = new QStackedWidget(this);
  setCentralWidget(pages_);
  buildMainScreen();
  buildAnalysisScreen();
  buildCommands();
  buildToolBars();
  readyLabel_ = new QLabel(QStringLiteral("就绪"), this);
  statusBar()->addWidget(readyLabel_, 1);
  arrivalNote_ = new QLabel(this);
  arrivalNote_->setObjectName(QStringLiteral("ArrivalNote"));
  arrivalNote_->setStyleSheet(QStringLiteral("color: #c00000;"));
  statusBar()->addWidget(arrivalNote_);
  arrivalNote_->hide();
  strengthNote_ = new QLabel(this);
  strengthNote_->setObjectName(QStringLiteral("StrengthNote"));
  strengthNote_->setStyleSheet(QStringLiteral("color: #c00000;"));
  statusBar()->addWidget(strengthNote_);
  strengthNote_->hide();
  new HistoryKeyRouter(this);
  paneFocus_ = new PaneFocus(this, [this] { return panes(); });
  ReadOnlyFocusFrame::Install(this);

  // Non-fatal messages of the document (a number text that is too long).
  model_->doc().warningSink = [this](std::string_view message) {
    prompter_->message(this, FromUtf8(message));
  };

  const auto refreshCommands = [this] { updateCommands(); };
  connect(model_, &DocumentModel::fileChanged, this, refreshCommands);
  connect(model_, &DocumentModel::zoneChanged, this, refreshCommands);
  connect(form_, &CMainForm::openRequested, this, [this](const QString& path) { openFile(path); });
  files_->setBeforeRun([this] { return enterPendingInput(); });
  connect(files_, &FileCommands::stateChanged, this, refreshCommands);
  connect(files_, &FileCommands::fileNamed, this, &CMainFrame::updateTitle);
  connect(model_, &DocumentModel::edited, this, &CMainFrame::noteArrivals);
  connect(model_, &DocumentModel::zoneDataChanged, this, &CMainFrame::noteStrengths);
  connect(model_, &DocumentModel::fileChanged, this, &CMainFrame::noteStrengths);
  connect(model_, &DocumentModel::fileChanged, this, [this] {
    notedArrivals_.Clear();
    noteArrivals(EditResult{});
    if (screen_ == Screen::Main) view_->scrollToTop();
  });

  // 撤销 and 重做 follow the history.
  QUndoStack* history = model_->undoStack();
  connect(history, &QUndoStack::indexChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::cleanChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::undoTextChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::redoTextChanged, this, &CMainFrame::updateHistoryCommands);

  restoreBarSizes();
  setWindowTitle(QStringLiteral("Korvane") + programVersion());
  showScreen(Screen::Main);
}

CMainFrame::~CMainFrame() {
  // Focus moves while the children go; nothing may ask this frame's panes then.
  delete paneFocus_;
  paneFocus_ = nullptr;
  // The document outlives the frame; its sink must not call into a dead window.
  model_->doc().warningSink = nullptr;
}

QString CMainFrame::programVersion() const { return FromUtf8(model_->doc().project.programVersion); }

// ---- Construction -----------------------------------------------------------

void CMainFrame::buildMainScreen() {
  view_ = new CKorvaneView(model_);
  right_ = new MainFormRight(model_, prompter_);
  mainSplitter_ = new CFixedSplitterWnd(view_, ScrolledForm(right_), right_->columnWidth(), pages_);
  pages_->addWidget(mainSplitter_);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    connect(view_->panel(slot), &CNodeCtrl::cursorReadout, right_, &MainFormRight::showReadout);
    connect(view_->panel(slot), &CNodeCtrl::cursorCleared, right_, &MainFormRight::showStoredReadings);
  }

  form_ = new CMainForm(model_, prompter_);
  infoBar_ = new CViewBar(QStringLiteral("工程信息栏"), ScrolledForm(form_), this);
  addDockWidget(Qt::LeftDockWidgetArea, infoBar_);
  connect(infoBar_, &CViewBar::closedByUser, this, [this] {
    infoBarShown_ = false;
    updateCommands();
  });
}

void CMainFrame::buildAnalysisScreen() {
  analysisView_ = new CAnalysisView(model_, prompter_);
  downView_ = new CAnalysisDownTView(model_, prompter_);
  analysisSplitter_ = new CFixedSplitterA(analysisView_, downView_, pages_);
  pages_->addWidget(analysisSplitter_);
  anaForm_ = new FormviewAna(model_, prompter_);
  connect(anaForm_, &FormviewAna::readingCountChanged, downView_, &CAnalysisDownTView::refresh);
  analysisBar_ = new CViewBar(QStringLiteral("分析输出信息栏"), ScrolledForm(anaForm_), this);
  addDockWidget(Qt::LeftDockWidgetArea, analysisBar_);
  analysisBar_->hide();
  connect(analysisBar_, &CViewBar::closedByUser, this, [this] {
    analysisBarShown_ = false;
    updateCommands();
  });
  // The carbonation-table command follows the standard.
  connect(model_, &DocumentModel::edited, this, [this](const EditResult& r) {
    if (Touches(r.scope, EditScope::Standard)) updateCommands();
  });
}

// ---- The command table ----------------------------------------------------------

QHash<int, std::function<void()>> CMainFrame::commandHandlers() {
  // A bar switch: the action's check mark says whether the bar is shown.
  const auto bar = [this](int id, bool& shown, const std::function<QWidget*()>& widget) {
    return [this, id, &shown, widget] {
      shown = action(id)->isChecked();
      widget()->setVisible(shown);
      updateCommands();
    };
  };
  // (A function of its own per command: a member-function pointer kept in
  // the closure misreads under GCC's address sanitizer.)
  OutputCommands* o = outputs_;
  FileCommands* f = files_;
  const auto table = [this](int id) { return [this, id] { onCorrectionTable(id); }; };
  QHash<int, std::function<void()>> handlers = {
      {cmd::kOpen, [f] { f->onOpen(); }},
      {cmd::kSave, [f] { f->onSave(); }},
      {cmd::kSaveAs, [f] { f->onSaveAs(); }},
      {cmd::kMerge, [f] { f->onMerge(); }},
      {cmd::kExportRawToExcel, [f] { f->onExportRawData(); }},
      {cmd::kSaveResults, [f] { f->onSaveResults(); }},
      {cmd::kPrintSetup, [o] { o->onPrintSetup(); }},
      {cmd::kPrintPreview, [o] { o->onPrintPreview(); }},
      {cmd::kPrint, [o] { o->onPrint(); }},
      {cmd::kExit, [this] { close(); }},
      {cmd::kUndo, [this] { model_->undo(); }},
      {cmd::kRedo, [this] { model_->redo(); }},
      {cmd::kTestParameters, [this] { onTestParameters(); }},
      {cmd::kPreviousZone, [this] { onPreviousZone(); }},
      {cmd::kNextZone, [this] { onNextZone(); }},
      {cmd::kAngleTable, table(cmd::kAngleTable)},
      {cmd::kSurfaceTable, table(cmd::kSurfaceTable)},
      {cmd::kCarbonationTable, table(cmd::kCarbonationTable)},
      {cmd::kToolBar,
       bar(cmd::kToolBar, toolBarShown_,
           [this]() -> QWidget* { return screen_ == Screen::Main ? mainTools_ : analysisTools_; })},
      {cmd::kInfoBar, bar(cmd::kInfoBar, infoBarShown_, [this] { return infoBar_; })},
      {cmd::kStatusBar,
       [this] {
         statusBar()->setVisible(action(cmd::kStatusBar)->isChecked());
         updateCommands();
       }},
      {cmd::kOutput, [this] { onOutput(); }},
      {cmd::kBackToMain, [this] { onBackToMain(); }},
      {cmd::kAnalysisBar,
       [this] {
         analysisBarShown_ = action(cmd::kAnalysisBar)->isChecked();
         analysisBar_->setVisible(analysisBarShown_);
         if (analysisBarShown_) analysisBarSeen_ = true;
         updateCommands();
       }},
      {cmd::kWord, [o] { o->onWord(); }},
      {cmd::kPdf, [o] { o->onPdf(); }},
      {cmd::kBmp, [o] { o->onBmp(); }},
      {cmd::kExcel, [o] { o->onExcel(); }},
      {cmd::kStrengthCurve, [this] { onStrengthCurve(); }},
      {cmd::kCoreCorrection, [this] { onCoreCorrection(); }},
      {cmd::kFilter, [this] { onFilter(); }},
      {cmd::kSuggestArrivals, [this] { onSuggestArrivals(false); }},
      {cmd::kSuggestArrivalsAllZones, [this] { onSuggestArrivals(true); }},
      {cmd::kAbout, [this] { onAbout(); }},
  };
  // The recent files: their texts and handlers are the file commands'.
  for (int i = 0; i < cmd::kRecentFileCount; ++i) handlers.insert(cmd::kRecentFile1 + i, [] {});
  return handlers;
}

void CMainFrame::buildCommands() {
  CommandSet set = BuildCommands(this, commandHandlers(), [this] { return enterPendingInput(); });
  actions_ = set.actions;
  mainMenus_ = set.menus[static_cast<int>(Screen::Main)];
  analysisMenus_ = set.menus[static_cast<int>(Screen::Analysis)];
  files_->setRecentActions(set.recentFiles, set.recentPlaceholder);
}

void CMainFrame::buildToolBars() {
  mainTools_ = BuildToolBar(this, QStringLiteral("MainToolBar"), Screen::Main, actions_);
  analysisTools_ = BuildToolBar(this, QStringLiteral("AnalysisToolBar"), Screen::Analysis, actions_);
  addToolBar(Qt::TopToolBarArea, mainTools_);
  addToolBar(Qt::TopToolBarArea, analysisTools_);
  mainGuard_ = new ClickGuard(mainTools_);
  analysisGuard_ = new ClickGuard(analysisTools_);
  analysisTools_->hide();
  updateHistoryCommands();
}

bool CMainFrame::enterPendingInput() {
  // A number field of a form, or a grid cell's editor.
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || !isAncestorOf(focus)) return true;
  switch (NumberFieldEntry::EnterTyped(focus)) {
    case NumberFieldEntry::Outcome::Entered: return true;
    case NumberFieldEntry::Outcome::Refused: return false;
    case NumberFieldEntry::Outcome::Nothing: break;
  }
  QAbstractItemView* grid = nullptr;
  for (QWidget* w = focus->parentWidget(); w != nullptr && grid == nullptr; w = w->parentWidget())
    grid = qobject_cast<QAbstractItemView*>(w);
  if (grid == nullptr) return true;
  // Losing the focus enters the cell's text (the delegate commits it; a
  // refused text shows its message and the cell the stored value, so the
  // command goes on with what the screen shows) and closes the editor; the
  // grid keeps the focus.
  const QPointer<QAbstractItemView> restore(grid);
  focus->clearFocus();
  if (restore != nullptr && restore->isVisible()) restore->setFocus(Qt::OtherFocusReason);
  return true;
}

void CMainFrame::updateHistoryCommands() {
  const QUndoStack* history = model_->undoStack();
  const auto show = [&](int id, const QString& verb, bool can, const QString& step) {
    const QString text = step.isEmpty() || !can ? verb : verb + QLatin1Char(' ') + step;
    QAction* a = actions_.value(id);
    a->setText(text);
    a->setToolTip(text);
    a->setEnabled(can);
  };
  show(cmd::kUndo, QStringLiteral("撤销"), history->canUndo(), history->undoText());
  show(cmd::kRedo, QStringLiteral("重做"), history->canRedo(), history->redoText());
}

QAction* CMainFrame::action(Screen screen, int id) const {
  return OnScreen(id, screen) ? actions_.value(id) : nullptr;
}

QAction* CMainFrame::action(int id) const { return actions_.value(id); }

QList<QMenu*> CMainFrame::menus(Screen screen) const {
  return screen == Screen::Main ? mainMenus_ : analysisMenus_;
}

void CMainFrame::installMenus(Screen screen) {
  menuBar()->clear();
  for (QMenu* m : menus(screen)) menuBar()->addMenu(m);
}

// ---- Screens ----------------------------------------------------------------

void CMainFrame::showScreen(Screen screen) {
  // A toolbar that takes the place of the other one ignores the clicks of
  // the moment it appears.
  const bool switched = screen != screen_;
  screen_ = screen;
  model_->setStrengthsShown(screen == Screen::Analysis);
  if (screen == Screen::Main) {
    pages_->setCurrentIndex(0);
    analysisBar_->hide();
    infoBar_->setVisible(infoBarShown_);
    installMenus(Screen::Main);
    analysisTools_->hide();
    mainTools_->setVisible(toolBarShown_);
    if (switched) mainGuard_->arm();
    model_->notifyZoneDataChanged();
  } else {
    pages_->setCurrentIndex(1);
    infoBar_->hide();
    analysisBar_->setVisible(analysisBarShown_);
    if (analysisBarShown_ && !analysisBarSeen_) {
      // The bar takes its stored size once it is on screen; docked at a
      // side, at least the width of its form.
      analysisBarSeen_ = true;
      BarPlacement placement = analysisPlacement_;
      placement.vertical.setWidth(
          std::max(placement.vertical.width(), anaForm_->minimumSizeHint().width() + 24));
      ApplyBarPlacement(*this, *analysisBar_, placement);
    }
    installMenus(Screen::Analysis);
    mainTools_->hide();
    analysisTools_->setVisible(toolBarShown_);
    if (switched) analysisGuard_->arm();
  }
  updateCommands();
  noteStrengths();
}

void CMainFrame::onOutput() {
  if (!model_->hasFile()) return;
  // The screen shows freshly computed results; when nothing changed since
  // the last recomputation, those are still fresh.
  const bool recomputed = model_->doc().RecomputeAllIfChanged();
  showScreen(Screen::Analysis);
  // Every view shows the recomputed strengths.
  if (recomputed) model_->notifyZoneDataChanged();
}

void CMainFrame::onBackToMain() { showScreen(Screen::Main); }

QMenu* CMainFrame::createPopupMenu() { return nullptr; }

// ---- Keyboard focus -------------------------------------------------------------

QList<QWidget*> CMainFrame::panes() const {
  if (screen_ == Screen::Main) return {infoBar_, view_, right_};
  return {analysisBar_, analysisView_, downView_};
}

bool CMainFrame::focusNextPrevChild(bool next) {
  return (paneFocus_ != nullptr && paneFocus_->moveTab(next)) || QMainWindow::focusNextPrevChild(next);
}

// ---- Update rules -------------------------------------------------------------

void CMainFrame::updateCommands() {
  const QUndoStack* history = model_->undoStack();
  const CommandState state{model_->doc(), screen_, history->canUndo(), history->canRedo()};
  for (const CommandRow& row : CommandTable()) {
    QAction* a = actions_.value(row.id);
    if (a == nullptr || row.id == cmd::kSeparator) continue;
    if (row.id >= cmd::kRecentFile1 && row.id < cmd::kRecentFile1 + cmd::kRecentFileCount) continue;
    a->setEnabled(CommandEnabled(row.enabled, state));
  }
  actions_[cmd::kToolBar]->setChecked(toolBarShown_);
  actions_[cmd::kInfoBar]->setChecked(infoBarShown_);
  actions_[cmd::kStatusBar]->setChecked(!statusBar()->isHidden());
  actions_[cmd::kAnalysisBar]->setChecked(analysisBarShown_);
}

void CMainFrame::updateTitle(const QString& path) {
  setWindowTitle(QStringLiteral("Korvane  ") + programVersion() + QLatin1Char(' ') +
                 QFileInfo(path).fileName());
}

// ---- Commands of the window ---------------------------------------------------------

void CMainFrame::onPreviousZone() {
  const QString message = model_->previousZone();
  if (!message.isEmpty()) prompter_->message(this, message);
}

void CMainFrame::onNextZone() {
  const QString message = model_->nextZone();
  if (!message.isEmpty()) prompter_->message(this, message);
}

void CMainFrame::onFilter() {
  if (const std::string refusal = FilterCommandRefusal(model_->doc()); !refusal.empty()) {
    prompter_->message(this, FromUtf8(refusal));
    return;
  }
  CDlgFilter dialog(model_, prompter_, this);
  dialog.exec();
}

void CMainFrame::onTestParameters() {
  if (model_->doc().CurrentSectionRow() < 0) return;
  TestPara dialog(model_, prompter_, model_->doc().currentMember, this);
  dialog.exec();
}

void CMainFrame::onCorrectionTable(int id) {
  if (!model_->hasFile()) return;
  if (id == cmd::kAngleTable) {
    CDlgAngle dialog(model_, prompter_, this);
    dialog.exec();
  } else if (id == cmd::kSurfaceTable) {
    CDlgPlane dialog(model_, prompter_, this);
    dialog.exec();
  } else if (CarbonationTableOffered(model_->doc())) {
    CDlgCarbon dialog(model_, prompter_, this);
    dialog.exec();
  }
}

void CMainFrame::onStrengthCurve() {
  StrengthCurveDialog dialog(model_, prompter_, this);
  dialog.exec();
}

void CMainFrame::onCoreCorrection() {
  if (!model_->hasFile()) return;
  CoreCorrectionDialog dialog(model_, prompter_, this);
  dialog.exec();
}

void CMainFrame::onAbout() {
  AboutDialog dialog(programVersion(), this);
  dialog.exec();
}

void CMainFrame::onSuggestArrivals(bool allZones) {
  RunArrivalSuggestion(*model_, *prompter_, this, allZones,
                       screen_ == Screen::Main ? PickPanel::PointPanel : PickPanel::WaveformView);
}

// ---- Bars ---------------------------------------------------------------------

void CMainFrame::restoreBarSizes() {
  const CKorvaneDoc& doc = model_->doc();
  // Each bar where it was, with the size it had there; a docked bar at
  // least as wide as its form.
  const auto stored = [this](BarSection bar, int width) {
    BarPlacement fallback;
    fallback.vertical = QSize(width, 400);
    fallback.horizontal = QSize(600, 240);
    fallback.floating = QSize(width, 560);
    return StoredBarPlacement(*settings_, bar, fallback);
  };
  infoPlacement_ = stored(kInfoBar, std::max(doc.infoBarWidth, form_->minimumSizeHint().width() + 24));
  analysisPlacement_ = stored(kAnalysisBar, doc.analysisBarWidth);
  ApplyBarPlacement(*this, *infoBar_, infoPlacement_);
  ApplyBarPlacement(*this, *analysisBar_, analysisPlacement_);
}

void CMainFrame::saveBarSizes() {
  if (settingsAccess_ == UiSettings::ReadOnly) return;
  StoreBarSize(*settings_, kInfoBar, *infoBar_);
  if (analysisBarSeen_) StoreBarSize(*settings_, kAnalysisBar, *analysisBar_);
  settings_->sync();
}

void CMainFrame::storeBarWidths() {
  CKorvaneDoc& doc = model_->doc();
  if (analysisBarSeen_) doc.analysisBarWidth = analysisBar_->width();
  if (!firstShow_) doc.infoBarWidth = infoBar_->width();
}

// ---- Exit ---------------------------------------------------------------------

bool CMainFrame::confirmExit() {
  storeBarWidths();
  return files_->saveModified();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // While the print preview is shown, closing closes the preview only.
  if (outputs_->InterceptClose()) {
    event->ignore();
    return;
  }
  if (!enterPendingInput() || !confirmExit()) {
    event->ignore();
    return;
  }
  saveBarSizes();
  event->accept();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstShow_) return;
  firstShow_ = false;
  // Dock sizes take effect once the window has its real size.
  ApplyBarPlacement(*this, *infoBar_, infoPlacement_);
}

// ---- Implausible first arrivals -------------------------------------------------

void CMainFrame::noteArrivals(const EditResult& result) {
  const CKorvaneDoc& doc = model_->doc();
  std::optional<NotedPoint> edited;
  if (result.point >= 0 && result.at.member >= 0 && result.at.zone >= 0)
    edited = NotedPoint{result.at.member, result.at.zone, result.point};
  notedArrivals_.Update(doc.zoneLists, edited);
  const std::string text = notedArrivals_.Text(doc.zoneLists, doc.members);
  arrivalNote_->setText(FromUtf8(text));
  arrivalNote_->setVisible(!text.empty());
}

void CMainFrame::noteStrengths() {
  const CKorvaneDoc& doc = model_->doc();
  // Strengths change only with the data (an edit, an undo, an open) or a
  // recomputation: the scan of every zone is done once per state.
  const StrengthsState state{doc.changeCount, doc.recomputedAt};
  if (state != strengthsNoted_) {
    strengthsNoted_ = state;
    strengthsNote_ = ImplausibleStrengthNote(doc.zoneLists, doc.members);
  }
  const std::string text = screen_ == Screen::Analysis ? strengthsNote_ : std::string();
  strengthNote_->setText(FromUtf8(text));
  strengthNote_->setVisible(!text.empty());
}

// ---- Dropped files --------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.constFirst().isLocalFile()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    event->acceptProposedAction();
    activateWindow();
    // Opened once the drop is over: the save question must not hold the
    // program the file came from.
    const QString path = url.toLocalFile();
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
    return;
  }
}

}  // namespace korvane::gui
