#include "gui/main_frame.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <iterator>

#include "core/app/arrival_suggestion.h"
#include "core/app/edit_names.h"
#include "core/app/settings_file.h"
#include "core/standards/standards.h"
#include "core/wave/point_readings.h"
#include "gui/about_dialog.h"
#include "gui/analysis/analysis_down_view.h"
#include "gui/analysis/analysis_view.h"
#include "gui/analysis/dlg_correction.h"
#include "gui/analysis/formview_ana.h"
#include "gui/bars.h"
#include "gui/commands.h"
#include "gui/dlg_combine.h"
#include "gui/dlg_filter.h"
#include "gui/document_model.h"
#include "gui/icons.h"
#include "gui/korvane_view.h"
#include "gui/main_form.h"
#include "gui/main_form_right.h"
#include "gui/node_ctrl.h"
#include "gui/output/output_commands.h"
#include "gui/prompter.h"
#include "gui/save_dialog.h"
#include "gui/test_para.h"
#include "gui/wait_cursor.h"
#include "office/excel_export.h"

namespace korvane::gui {

namespace {

const QString kExitQuestion = QStringLiteral("数据已经修改，是否保存");
const QString kRecentGroup = QStringLiteral("Recent File List");
// Sections of the bar sizes; the number tells the bars apart.
const QString kInfoBarSection = QStringLiteral("Korvane-SCBar-1");
const QString kAnalysisBarSection = QStringLiteral("Korvane-SCBar-2");
constexpr int kBarMinimumWidth = 120;

// Wraps a form so that it can be narrower or shorter than its layout wants.
QScrollArea* Scrolled(QWidget* form, QWidget* parent) {
  auto* area = new QScrollArea(parent);
  area->setWidget(form);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  return area;
}

// Width in pixels of `units` horizontal dialog units of `widget`'s font: a
// dialog unit is a quarter of the font's average width of the Latin letters,
// rounded as the dialog manager rounds it.
int DialogUnitsToPixels(const QWidget& widget, int units) {
  const int letters = widget.fontMetrics().horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int baseUnit = (letters / 26 + 1) / 2;
  return units * baseUnit / 4;
}

// The main screen's right column: 124 dialog units, the width of the form it
// holds; wider only as far as its form needs to show every value whole, so
// that it does not scroll sideways.
int RightColumnWidth(const QWidget& form) {
  return std::max(DialogUnitsToPixels(form, 124), form.minimumSizeHint().width());
}

// The history key of a key press: 1 undo (Ctrl+Z), 2 redo (Ctrl+Y,
// Ctrl+Shift+Z), 0 another key.
int HistoryKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() == Qt::Key_Z && mods == Qt::ControlModifier) return 1;
  if (key.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) return 2;
  if (key.key() == Qt::Key_Y && mods == Qt::ControlModifier) return 2;
  return 0;
}

// Whether the focused widget undoes (redoes) typing of its own: an editable
// text field, or the edit part of a list or of a date field, with something
// to undo (redo). A field whose text was entered has been set anew and has
// nothing of its own left.
bool FieldTakesHistoryKey(QWidget* focus, bool undo) {
  QLineEdit* edit = qobject_cast<QLineEdit*>(focus);
  if (edit == nullptr) {
    if (auto* list = qobject_cast<QComboBox*>(focus)) {
      edit = list->lineEdit();
    } else if (qobject_cast<QAbstractSpinBox*>(focus) != nullptr) {
      edit = focus->findChild<QLineEdit*>();
    }
  }
  if (edit == nullptr || edit->isReadOnly()) return false;
  return undo ? edit->isUndoAvailable() : edit->isRedoAvailable();
}

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

  pages_ = new QStackedWidget(this);
  setCentralWidget(pages_);
  buildMainScreen();
  buildAnalysisScreen();
  buildMenus();
  buildToolBars();
  // The print and export commands connect to their actions by name.
  outputs_ =
      new OutputCommands(model_, prompter_, this, settings_.get(), access == UiSettings::ReadWrite, this);
  outputs_->ConnectActions();
  readyLabel_ = new QLabel(QStringLiteral("就绪"), this);
  statusBar()->addWidget(readyLabel_, 1);
  arrivalNote_ = new QLabel(this);
  arrivalNote_->setObjectName(QStringLiteral("ArrivalNote"));
  arrivalNote_->setStyleSheet(QStringLiteral("color: #c00000;"));
  statusBar()->addWidget(arrivalNote_);
  arrivalNote_->hide();

  // Non-fatal messages of the document (a number text that is too long).
  model_->doc().warningSink = [this](std::string_view message) {
    prompter_->message(this, FromUtf8(message));
  };

  const auto refreshCommands = [this] { updateCommands(); };
  connect(model_, &DocumentModel::fileChanged, this, refreshCommands);
  connect(model_, &DocumentModel::zoneChanged, this, refreshCommands);
  connect(form_, &CMainForm::openRequested, this, [this](const QString& path) { openFile(path); });
  // A save to another name: the window names the new file.
  connect(model_, &DocumentModel::pathChanged, this, [this] {
    addRecentFile(FromUtf8(model_->doc().pathName));
    updateTitle();
  });
  connect(model_, &DocumentModel::edited, this, &CMainFrame::noteArrivals);
  connect(model_, &DocumentModel::fileChanged, this, [this] {
    notedPoints_.clear();
    noteArrivals(EditResult{});
  });

  // 撤销 and 重做 follow the history; the screen shown tells the model
  // whether strengths are on screen.
  QUndoStack* history = model_->undoStack();
  connect(history, &QUndoStack::indexChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::cleanChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::undoTextChanged, this, &CMainFrame::updateHistoryCommands);
  connect(history, &QUndoStack::redoTextChanged, this, &CMainFrame::updateHistoryCommands);
  qApp->installEventFilter(this);

  recent_ = [&] {
    QStringList list;
    settings_->beginGroup(kRecentGroup);
    for (int i = 1; i <= cmd::kRecentFileCount; ++i) {
      const QString path = settings_->value(QStringLiteral("File%1").arg(i)).toString();
      if (!path.isEmpty()) list << path;
    }
    settings_->endGroup();
    return list;
  }();
  rebuildRecentMenu();
  restoreBarSizes();

  setWindowTitle(QStringLiteral("Korvane") + programVersion());
  showScreen(Screen::Main);
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  // The document outlives the frame; its sink must not call into a dead window.
  model_->doc().warningSink = nullptr;
}

QString CMainFrame::programVersion() const { return FromUtf8(model_->doc().project.programVersion); }

// ---- Construction -----------------------------------------------------------

void CMainFrame::buildMainScreen() {
  view_ = new CKorvaneView(model_);
  right_ = new MainFormRight(model_);
  QScrollArea* rightArea = Scrolled(right_, nullptr);
  const int rightWidth = RightColumnWidth(*right_);
  mainSplitter_ = new CFixedSplitterWnd(view_, rightArea, rightWidth, pages_);
  pages_->addWidget(mainSplitter_);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    connect(view_->panel(slot), &CNodeCtrl::cursorReadout, right_, &MainFormRight::showReadout);
    connect(view_->panel(slot), &CNodeCtrl::cursorCleared, right_, &MainFormRight::showStoredReadings);
  }

  form_ = new CMainForm(model_);
  infoBar_ = new CViewBar(QStringLiteral("工程信息栏"), Scrolled(form_, nullptr), this);
  addDockWidget(Qt::LeftDockWidgetArea, infoBar_);
  connect(infoBar_, &CViewBar::closedByUser, this, [this] {
    infoBarShown_ = false;
    updateCommands();
  });
}

void CMainFrame::buildAnalysisScreen() {
  analysisView_ = new CAnalysisView(model_);
  downView_ = new CAnalysisDownTView(model_, prompter_);
  analysisSplitter_ = new CFixedSplitterA(analysisView_, downView_, pages_);
  pages_->addWidget(analysisSplitter_);
  anaForm_ = new FormviewAna(model_, prompter_);
  connect(anaForm_, &FormviewAna::readingCountChanged, downView_, &CAnalysisDownTView::refresh);
  analysisBar_ = new CViewBar(QStringLiteral("分析输出信息栏"), Scrolled(anaForm_, nullptr), this);
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

QAction* CMainFrame::addCommand(Screen screen, int id, const QString& text) {
  auto* a = new QAction(text, this);
  a->setData(id);
  const QIcon icon = CommandIcon(id, style());
  if (!icon.isNull()) a->setIcon(icon);
  (screen == Screen::Main ? mainActions_ : analysisActions_).insert(id, a);
  // Connected before any handler, so it runs first. Undo and redo act on a
  // field's own typing instead; the bar switches read no data.
  static constexpr int kKeepTyping[] = {cmd::kUndo,    cmd::kRedo,      cmd::kToolBar,
                                        cmd::kInfoBar, cmd::kStatusBar, cmd::kAnalysisBar};
  if (std::find(std::begin(kKeepTyping), std::end(kKeepTyping), id) == std::end(kKeepTyping))
    connect(a, &QAction::triggered, this, &CMainFrame::enterPendingInput);
  return a;
}

void CMainFrame::enterPendingInput() {
  // Only a grid cell's editor: the fields of the forms enter their text
  // with Enter alone, as they always have.
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || !isAncestorOf(focus)) return;
  QAbstractItemView* grid = nullptr;
  for (QWidget* w = focus->parentWidget(); w != nullptr && grid == nullptr; w = w->parentWidget())
    grid = qobject_cast<QAbstractItemView*>(w);
  if (grid == nullptr) return;
  // Losing the focus enters the cell's text (the delegate commits it, with
  // its limits and messages) and closes the editor; the grid keeps the
  // focus.
  const QPointer<QAbstractItemView> restore(grid);
  focus->clearFocus();
  if (restore != nullptr && restore->isVisible()) restore->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::buildMenus() {
  using S = Screen;
  auto menu = [this](S s, const QString& title) {
    auto* m = new QMenu(title, this);
    (s == S::Main ? mainMenus_ : analysisMenus_) << m;
    return m;
  };

  // ---- Main screen ----
  QMenu* file = menu(S::Main, QStringLiteral("文件(&F)"));
  QAction* open = addCommand(S::Main, cmd::kOpen, QStringLiteral("打开(&O)...\tCtrl+O"));
  open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  QAction* save = addCommand(S::Main, cmd::kSave, QStringLiteral("保存(&S)\tCtrl+S"));
  save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  file->addAction(open);
  file->addAction(save);
  file->addAction(addCommand(S::Main, cmd::kSaveAs, QStringLiteral("另存为(&A)...")));
  file->addAction(addCommand(S::Main, cmd::kMerge, QStringLiteral("合并")));
  file->addSeparator();
  file->addAction(addCommand(S::Main, cmd::kExportRawToExcel, QStringLiteral("导出原始数据到Excel")));
  file->addSeparator();
  recentPlaceholder_ = file->addAction(QStringLiteral("最近的文件"));
  recentPlaceholder_->setEnabled(false);
  for (int i = 0; i < cmd::kRecentFileCount; ++i) {
    QAction* entry = addCommand(S::Main, cmd::kRecentFile1 + i, QString());
    file->addAction(entry);
    connect(entry, &QAction::triggered, this, [this, i] {
      if (i >= recent_.size()) return;
      const QString path = recent_[i];
      if (openFile(path) == OpenOutcome::Failed) {
        recent_.removeAll(path);
        saveRecentFiles();
        rebuildRecentMenu();
      }
    });
  }
  file->addSeparator();
  file->addAction(addCommand(S::Main, cmd::kExit, QStringLiteral("退出")));

  // "编辑" of both screens: one history.
  auto editMenu = [&](S s) {
    QMenu* edit = menu(s, QStringLiteral("编辑(&E)"));
    QAction* undo = addCommand(s, cmd::kUndo, QStringLiteral("撤销"));
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    QAction* redo = addCommand(s, cmd::kRedo, QStringLiteral("重做"));
    redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    edit->addAction(undo);
    edit->addAction(redo);
  };
  editMenu(S::Main);

  QMenu* view = menu(S::Main, QStringLiteral("查看"));
  view->addAction(addCommand(S::Main, cmd::kTestParameters, QStringLiteral("检测参数")));
  view->addSeparator();
  view->addAction(addCommand(S::Main, cmd::kPreviousZone, QStringLiteral("前一测区")));
  view->addAction(addCommand(S::Main, cmd::kNextZone, QStringLiteral("后一测区")));

  QMenu* tools = menu(S::Main, QStringLiteral("工具"));
  tools->addAction(addCommand(S::Main, cmd::kToolBar, QStringLiteral("工具栏(&T)")));
  tools->addAction(addCommand(S::Main, cmd::kInfoBar, QStringLiteral("工程信息栏")));
  tools->addAction(addCommand(S::Main, cmd::kStatusBar, QStringLiteral("状态栏(&S)")));
  tools->addAction(addCommand(S::Main, cmd::kOutput, QStringLiteral("输出")));

  // "波形处理" of both screens; the filter is the main screen's.
  auto suggestions = [&](S s, QMenu* wave) {
    wave->addAction(addCommand(s, cmd::kSuggestArrivals, QString::fromUtf8(edit_name::kSuggestedZone)));
    wave->addAction(
        addCommand(s, cmd::kSuggestArrivalsAllZones, QString::fromUtf8(edit_name::kSuggestedMember)));
  };
  QMenu* wave = menu(S::Main, QStringLiteral("波形处理"));
  wave->addAction(addCommand(S::Main, cmd::kFilter, QStringLiteral("滤波")));
  wave->addSeparator();
  suggestions(S::Main, wave);

  QMenu* help = menu(S::Main, QStringLiteral("帮助(&H)"));
  help->addAction(addCommand(S::Main, cmd::kAbout, QStringLiteral("关于 Korvane(&A)...")));

  // ---- Analysis screen ----
  QMenu* aFile = menu(S::Analysis, QStringLiteral("文件"));
  // The usual keys, as on the main screen (the menu shows them beside the
  // texts).
  QAction* aOpen = addCommand(S::Analysis, cmd::kOpenAnalysis, QStringLiteral("打开"));
  aOpen->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  QAction* aSave = addCommand(S::Analysis, cmd::kSave, QStringLiteral("保存"));
  aSave->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  aFile->addAction(aOpen);
  aFile->addAction(aSave);
  aFile->addAction(addCommand(S::Analysis, cmd::kSaveResults, QStringLiteral("保存结果")));
  // The output commands stay disabled here: the printing and export
  // commands find them by object name, connect and enable them.
  auto output = [&](int id, const QString& text, const char* name) {
    QAction* a = addCommand(S::Analysis, id, text);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(false);
    return a;
  };
  aFile->addAction(output(cmd::kPrintSetup, QStringLiteral("打印设置"), "actionPrintSetup"));
  aFile->addAction(output(cmd::kPrintPreview, QStringLiteral("打印预览(&V)"), "actionPrintPreview"));
  QAction* aPrint = output(cmd::kPrint, QStringLiteral("打印"), "actionPrint");
  aPrint->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  aFile->addAction(aPrint);
  aFile->addAction(addCommand(S::Analysis, cmd::kExitAnalysis, QStringLiteral("退出")));

  editMenu(S::Analysis);

  QMenu* aView = menu(S::Analysis, QStringLiteral("查看"));
  aView->addAction(addCommand(S::Analysis, cmd::kAngleTable, QStringLiteral("角度修正表")));
  aView->addAction(addCommand(S::Analysis, cmd::kSurfaceTable, QStringLiteral("测试面修正表")));
  aView->addAction(addCommand(S::Analysis, cmd::kCarbonationTable, QStringLiteral("碳化深度修正表")));

  QMenu* aTools = menu(S::Analysis, QStringLiteral("工具"));
  aTools->addAction(addCommand(S::Analysis, cmd::kBackToMain, QStringLiteral("返回主界面")));
  aTools->addAction(addCommand(S::Analysis, cmd::kAnalysisBar, QStringLiteral("分析信息栏")));
  QAction* word = output(cmd::kWord, QStringLiteral("生成word文档"), "actionWord");
  word->setToolTip(QStringLiteral("输出到word"));
  aTools->addAction(word);
  aTools->addAction(output(cmd::kPdf, QStringLiteral("输出到PDF"), "actionPdf"));
  aTools->addAction(output(cmd::kBmp, QStringLiteral("输出到BMP"), "actionBmp"));
  aTools->addAction(output(cmd::kExcel, QStringLiteral("输出到excel"), "actionExcel"));

  suggestions(S::Analysis, menu(S::Analysis, QStringLiteral("波形处理")));

  QMenu* aHelp = menu(S::Analysis, QStringLiteral("帮助"));
  aHelp->addAction(addCommand(S::Analysis, cmd::kHelpContents, QStringLiteral("目录")));
  aHelp->addAction(addCommand(S::Analysis, cmd::kContactUs, QStringLiteral("联系我们")));
  aHelp->addAction(addCommand(S::Analysis, cmd::kAboutAnalysis, QStringLiteral("关于")));

  // The analysis toolbar opens with the main screen's command number.
  addCommand(S::Analysis, cmd::kOpen, QStringLiteral("打开"));

  for (int id : {cmd::kToolBar, cmd::kInfoBar, cmd::kStatusBar}) mainActions_[id]->setCheckable(true);
  analysisActions_[cmd::kAnalysisBar]->setCheckable(true);

  // Handlers. Both screens' actions of one command run the same handler.
  auto handle = [this](int id, void (CMainFrame::*slot)()) {
    for (auto* map : {&mainActions_, &analysisActions_}) {
      if (QAction* a = map->value(id)) connect(a, &QAction::triggered, this, slot);
    }
  };
  handle(cmd::kOpen, &CMainFrame::onOpen);
  handle(cmd::kOpenAnalysis, &CMainFrame::onOpen);
  handle(cmd::kSave, &CMainFrame::onSave);
  handle(cmd::kSaveAs, &CMainFrame::onSaveAs);
  handle(cmd::kSaveResults, &CMainFrame::onSaveResults);
  handle(cmd::kPreviousZone, &CMainFrame::onPreviousZone);
  handle(cmd::kNextZone, &CMainFrame::onNextZone);
  handle(cmd::kFilter, &CMainFrame::onFilter);
  handle(cmd::kOutput, &CMainFrame::onOutput);
  handle(cmd::kBackToMain, &CMainFrame::onBackToMain);
  handle(cmd::kMerge, &CMainFrame::onMerge);
  handle(cmd::kExportRawToExcel, &CMainFrame::onExportRawData);
  handle(cmd::kTestParameters, &CMainFrame::onTestParameters);
  handle(cmd::kAbout, &CMainFrame::onAbout);
  handle(cmd::kAngleTable, &CMainFrame::onAngleTable);
  handle(cmd::kSurfaceTable, &CMainFrame::onSurfaceTable);
  handle(cmd::kCarbonationTable, &CMainFrame::onCarbonationTable);
  handle(cmd::kUndo, &CMainFrame::onUndo);
  handle(cmd::kRedo, &CMainFrame::onRedo);
  for (auto* map : {&mainActions_, &analysisActions_}) {
    connect(map->value(cmd::kSuggestArrivals), &QAction::triggered, this,
            [this] { onSuggestArrivals(false); });
    connect(map->value(cmd::kSuggestArrivalsAllZones), &QAction::triggered, this,
            [this] { onSuggestArrivals(true); });
  }
  connect(mainActions_[cmd::kExit], &QAction::triggered, this, &QWidget::close);
  connect(analysisActions_[cmd::kExitAnalysis], &QAction::triggered, this, &QWidget::close);
  connect(mainActions_[cmd::kToolBar], &QAction::triggered, this, [this](bool on) {
    toolBarShown_ = on;
    (screen_ == Screen::Main ? mainTools_ : analysisTools_)->setVisible(on);
    updateCommands();
  });
  connect(mainActions_[cmd::kInfoBar], &QAction::triggered, this, [this](bool on) {
    infoBarShown_ = on;
    infoBar_->setVisible(on);
    updateCommands();
  });
  connect(mainActions_[cmd::kStatusBar], &QAction::triggered, this, [this](bool on) {
    statusBar()->setVisible(on);
    updateCommands();
  });
  connect(analysisActions_[cmd::kAnalysisBar], &QAction::triggered, this, [this](bool on) {
    analysisBarShown_ = on;
    analysisBar_->setVisible(on);
    if (on) analysisBarSeen_ = true;
    updateCommands();
  });
}

void CMainFrame::buildToolBars() {
  auto make = [this](const QString& name, const QHash<int, QAction*>& actions,
                     std::initializer_list<int> ids) {
    // Both screens' bars are "工具栏" to the user, shown by "工具栏(&T)".
    auto* bar = new QToolBar(QStringLiteral("工具栏"), this);
    bar->setObjectName(name);
    bar->setIconSize(QSize(32, 32));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);  // right clicks do nothing
    for (int id : ids) {
      QAction* a = actions.value(id);
      bar->addAction(a);
      // Toolbar buttons show the command without its accelerator text.
      a->setIconText(
          a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    }
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
  };
  mainTools_ = make(
      QStringLiteral("MainToolBar"), mainActions_,
      {cmd::kOpen, cmd::kSave, cmd::kUndo, cmd::kRedo, cmd::kPreviousZone, cmd::kNextZone, cmd::kOutput});
  analysisTools_ =
      make(QStringLiteral("AnalysisToolBar"), analysisActions_,
           {cmd::kOpen, cmd::kSave, cmd::kUndo, cmd::kRedo, cmd::kSaveResults, cmd::kWord, cmd::kPdf,
            cmd::kExcel, cmd::kPrintSetup, cmd::kPrintPreview, cmd::kPrint, cmd::kBackToMain});
  analysisTools_->hide();
  updateHistoryCommands();
}

void CMainFrame::updateHistoryCommands() {
  const QUndoStack* history = model_->undoStack();
  const auto show = [&](int id, const QString& verb, bool can, const QString& step) {
    const QString text = step.isEmpty() || !can ? verb : verb + QLatin1Char(' ') + step;
    for (auto* map : {&mainActions_, &analysisActions_}) {
      QAction* a = map->value(id);
      if (a == nullptr) continue;
      a->setText(text);
      a->setToolTip(text);
      a->setEnabled(can);
    }
  };
  show(cmd::kUndo, QStringLiteral("撤销"), history->canUndo(), history->undoText());
  show(cmd::kRedo, QStringLiteral("重做"), history->canRedo(), history->redoText());
}

QAction* CMainFrame::action(Screen screen, int id) const {
  return (screen == Screen::Main ? mainActions_ : analysisActions_).value(id);
}

QAction* CMainFrame::action(int id) const {
  if (QAction* a = action(screen_, id)) return a;
  return action(screen_ == Screen::Main ? Screen::Analysis : Screen::Main, id);
}

QList<QMenu*> CMainFrame::menus(Screen screen) const {
  return screen == Screen::Main ? mainMenus_ : analysisMenus_;
}

void CMainFrame::installMenus(Screen screen) {
  menuBar()->clear();
  for (QMenu* m : menus(screen)) menuBar()->addMenu(m);
}

// ---- Screens ----------------------------------------------------------------

void CMainFrame::showScreen(Screen screen) {
  screen_ = screen;
  model_->setStrengthsShown(screen == Screen::Analysis);
  if (screen == Screen::Main) {
    pages_->setCurrentIndex(0);
    analysisBar_->hide();
    infoBar_->setVisible(infoBarShown_);
    installMenus(Screen::Main);
    analysisTools_->hide();
    mainTools_->setVisible(toolBarShown_);
    model_->notifyZoneDataChanged();
  } else {
    pages_->setCurrentIndex(1);
    infoBar_->hide();
    analysisBar_->setVisible(analysisBarShown_);
    if (analysisBarShown_ && !analysisBarSeen_) {
      // The bar takes its stored width once it is on screen, and at least
      // the width of its form.
      analysisBarSeen_ = true;
      const int width =
          std::max(analysisBar_->property("restoredWidth").toInt(), anaForm_->minimumSizeHint().width() + 24);
      resizeDocks({analysisBar_}, {width}, Qt::Horizontal);
    }
    installMenus(Screen::Analysis);
    mainTools_->hide();
    analysisTools_->setVisible(toolBarShown_);
  }
  updateCommands();
}

void CMainFrame::onOutput() {
  if (!kAnalysisScreenAvailable || !model_->hasFile()) return;
  model_->doc().RecomputeAll();
  showScreen(Screen::Analysis);
  // Every view shows the recomputed strengths.
  model_->notifyZoneDataChanged();
}

void CMainFrame::onBackToMain() { showScreen(Screen::Main); }

QMenu* CMainFrame::createPopupMenu() { return nullptr; }

// ---- Update rules -------------------------------------------------------------

void CMainFrame::updateCommands() {
  const CKorvaneDoc& doc = model_->doc();
  const bool open = doc.HasFile();
  auto enable = [this](int id, bool on) {
    for (auto* map : {&mainActions_, &analysisActions_}) {
      if (QAction* a = map->value(id)) a->setEnabled(on);
    }
  };
  enable(cmd::kSave, open);
  enable(cmd::kSaveAs, open);
  enable(cmd::kPreviousZone, doc.CanGoPrevious());
  enable(cmd::kNextZone, doc.CanGoNext());
  enable(cmd::kOutput, kAnalysisScreenAvailable && open);
  enable(cmd::kTestParameters, doc.CurrentSectionRow() >= 0);
  enable(cmd::kExportRawToExcel, open);
  // The correction tables; the carbonation table has no use under CECS
  // 02:2005. (The print and export commands are enabled by their owner.)
  enable(cmd::kAngleTable, open);
  enable(cmd::kSurfaceTable, open);
  enable(cmd::kCarbonationTable, open && doc.standard != Standard::CECS02_2005);
  enable(cmd::kSuggestArrivals, open && doc.GetCurrentZone() != nullptr);
  enable(cmd::kSuggestArrivalsAllZones, open && doc.ZoneCount(doc.currentMember) > 0);
  // No handler: shown disabled.
  for (int id : {cmd::kHelpContents, cmd::kContactUs, cmd::kAboutAnalysis}) enable(id, false);

  mainActions_[cmd::kToolBar]->setChecked(toolBarShown_);
  mainActions_[cmd::kInfoBar]->setChecked(infoBarShown_);
  mainActions_[cmd::kStatusBar]->setChecked(!statusBar()->isHidden());
  analysisActions_[cmd::kAnalysisBar]->setChecked(analysisBarShown_);
  if (outputs_ != nullptr) outputs_->UpdateCommands(screen_ == Screen::Analysis);
}

// ---- Files --------------------------------------------------------------------

CMainFrame::OpenOutcome CMainFrame::openFile(const QString& path) {
  enterPendingInput();
  if (!saveModified()) return OpenOutcome::Kept;
  QString message;
  {
    const WaitCursor wait;
    message = model_->open(path);
  }
  if (!message.isEmpty()) {
    prompter_->message(this, message);
    updateCommands();
    return OpenOutcome::Failed;
  }
  afterOpen(path);
  return OpenOutcome::Opened;
}

void CMainFrame::afterOpen(const QString& path) {
  addRecentFile(path);
  updateTitle();
  if (screen_ == Screen::Main) view_->scrollToTop();
  updateCommands();
}

void CMainFrame::updateTitle() {
  setWindowTitle(QStringLiteral("Korvane  ") + programVersion() + QLatin1Char(' ') +
                 QFileInfo(FromUtf8(model_->doc().pathName)).fileName());
}

QString CMainFrame::askSavePath(const QString& initialPath, const char* filter) {
  return AskDataFileSavePath(*prompter_, this, initialPath, QString::fromUtf8(filter));
}

bool CMainFrame::saveTo(const QString& path) {
  QString message;
  {
    const WaitCursor wait;
    message = model_->save(path);
  }
  if (!message.isEmpty()) {
    prompter_->message(this, message);
    return false;
  }
  return true;
}

void CMainFrame::onOpen() {
  const QString path = prompter_->openFileName(this, QString::fromUtf8(kFilterOpen));
  if (!path.isEmpty()) openFile(path);
}

void CMainFrame::onSave() {
  if (!model_->hasFile()) return;
  const QString path = FromUtf8(model_->doc().pathName);
  switch (ConfirmSharedWaveform(*prompter_, this, path)) {
    case Prompter::Answer::Yes: saveTo(path); break;
    case Prompter::Answer::No: {
      // Another name, as in the exit prompt's dialog (both file types).
      const QString other = askSavePath(path, kFilterExitSave);
      if (!other.isEmpty()) saveTo(other);
      break;
    }
    case Prompter::Answer::Cancel: break;
  }
}

void CMainFrame::onSaveAs() {
  if (!model_->hasFile()) return;
  const QString path = askSavePath(FromUtf8(model_->doc().pathName), kFilterSaveAs);
  if (!path.isEmpty()) saveTo(path);
}

void CMainFrame::onSaveResults() {
  if (!model_->hasFile()) {
    prompter_->message(this, FromUtf8(std::string(kMsgOpenFileFirst)));
    return;
  }
  const QString path = AskDataFileSavePath(*prompter_, this, FromUtf8(model_->doc().SaveResultsFreeName()),
                                           QString::fromUtf8(kFilterResult), QStringLiteral("SHA"));
  if (path.isEmpty()) return;
  QString message;
  {
    const WaitCursor wait;
    message = model_->saveResults(path);
  }
  if (!message.isEmpty()) {
    prompter_->message(this, message);
    updateCommands();
    return;
  }
  afterOpen(path);
}

void CMainFrame::onPreviousZone() {
  const QString message = model_->previousZone();
  if (!message.isEmpty()) prompter_->message(this, message);
}

void CMainFrame::onNextZone() {
  const QString message = model_->nextZone();
  if (!message.isEmpty()) prompter_->message(this, message);
}

void CMainFrame::onFilter() {
  if (!model_->hasFile()) {
    prompter_->message(this, FromUtf8(std::string(kMsgOpenFileBeforeFilter)));
    return;
  }
  CDlgFilter dialog(model_, prompter_, this);
  dialog.exec();
}

void CMainFrame::onExportRawData() {
  if (!model_->hasFile()) {
    prompter_->message(this, FromUtf8(std::string(kMsgOpenFileFirst)));
    return;
  }
  const QString title = QStringLiteral("导出原始数据到Excel");
  const QString path = prompter_->saveFileName(this, QString(), QString::fromUtf8(kFilterWorkbook),
                                               QStringLiteral("xlsx"), title);
  if (path.isEmpty()) return;
  try {
    const WaitCursor wait;
    office::WriteRawDataWorkbook(model_->doc(), ToFsPath(path));
  } catch (const std::exception& e) {
    prompter_->message(this, QString::fromUtf8(e.what()));
    return;
  }
  ShowWrittenFile(*prompter_, this, path);
}

void CMainFrame::onMerge() {
  CDlgcombine dialog(prompter_, this);
  dialog.exec();
}

void CMainFrame::onTestParameters() {
  if (model_->doc().CurrentSectionRow() < 0) return;
  TestPara dialog(model_, model_->doc().currentMember, this);
  dialog.exec();
}

void CMainFrame::onAngleTable() {
  if (!model_->hasFile()) return;
  CDlgAngle dialog(model_, this);
  dialog.exec();
}

void CMainFrame::onSurfaceTable() {
  if (!model_->hasFile()) return;
  CDlgPlane dialog(model_, this);
  dialog.exec();
}

void CMainFrame::onCarbonationTable() {
  if (!model_->hasFile() || model_->doc().standard == Standard::CECS02_2005) return;
  CDlgCarbon dialog(model_, this);
  dialog.exec();
}

void CMainFrame::onUndo() { model_->undo(); }

void CMainFrame::onRedo() { model_->redo(); }

void CMainFrame::onSuggestArrivals(bool allZones) {
  CKorvaneDoc& doc = model_->doc();
  if (const std::string refusal = SuggestionCommandRefusal(doc); !refusal.empty()) {
    prompter_->message(this, FromUtf8(refusal));
    return;
  }
  const int member = doc.currentMember;
  ArrivalSuggestion suggestion;
  {
    const WaitCursor wait;
    suggestion = SuggestArrivals(doc, member, allZones ? -1 : doc.currentZone);
  }
  const SuggestionPrompt prompt = SuggestionPromptOf(doc, suggestion);
  const std::vector<ArrivalChange> changes = suggestion.changes;
  // The proposed lines stand beside the stored ones while the user reads.
  model_->showSuggestion(std::move(suggestion));
  bool accepted = false;
  if (prompt.ask) {
    accepted = prompter_->acceptSuggestion(this, FromUtf8(prompt.text));
  } else {
    prompter_->message(this, FromUtf8(prompt.text));
  }
  model_->clearSuggestion();
  if (!accepted) return;
  const PickPanel panel = screen_ == Screen::Main ? PickPanel::PointPanel : PickPanel::WaveformView;
  model_->edit(allZones ? edit_name::kSuggestedMember : edit_name::kSuggestedZone,
               [=](CKorvaneDoc& d) { return SetArrivals(d, member, changes, panel); });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const int key = HistoryKey(*static_cast<QKeyEvent*>(event));
    if (key != 0 && !FieldTakesHistoryKey(QApplication::focusWidget(), key == 1)) {
      // Not the field's: the key goes on to the shortcuts of 撤销 and 重做.
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::onAbout() {
  AboutDialog dialog(programVersion(), this);
  dialog.exec();
}

// ---- Recent files ---------------------------------------------------------------

void CMainFrame::addRecentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  recent_.removeAll(full);
  recent_.prepend(full);
  while (recent_.size() > cmd::kRecentFileCount) recent_.removeLast();
  saveRecentFiles();
  rebuildRecentMenu();
}

void CMainFrame::saveRecentFiles() {
  // The list in the menu still follows the files opened in this run.
  if (settingsAccess_ == UiSettings::ReadOnly) return;
  settings_->beginGroup(kRecentGroup);
  for (int i = 1; i <= cmd::kRecentFileCount; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= recent_.size())
      settings_->setValue(key, recent_[i - 1]);
    else
      settings_->remove(key);
  }
  settings_->endGroup();
  settings_->sync();
}

void CMainFrame::rebuildRecentMenu() {
  recentPlaceholder_->setVisible(recent_.isEmpty());
  for (int i = 0; i < cmd::kRecentFileCount; ++i) {
    QAction* entry = mainActions_.value(cmd::kRecentFile1 + i);
    const bool used = i < recent_.size();
    entry->setVisible(used);
    if (!used) continue;
    QString shown = QDir::toNativeSeparators(recent_[i]);
    if (shown.size() > 48) shown = shown.left(3) + QStringLiteral("...") + shown.right(42);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    entry->setToolTip(recent_[i]);
  }
}

// ---- Bars ---------------------------------------------------------------------

void CMainFrame::restoreBarSizes() {
  const CKorvaneDoc& doc = model_->doc();
  auto stored = [this](const QString& section, int fallback) {
    const int width = settings_->value(section + QStringLiteral("/sizeVertCX"), fallback).toInt();
    // A size below the bar's minimum is replaced by the minimum.
    return std::max(width, kBarMinimumWidth);
  };
  const int info = stored(kInfoBarSection, std::max(doc.infoBarWidth, form_->minimumSizeHint().width() + 24));
  const int analysis = stored(kAnalysisBarSection, doc.analysisBarWidth);
  resizeDocks({infoBar_, analysisBar_}, {info, analysis}, Qt::Horizontal);
  infoBar_->setProperty("restoredWidth", info);
  analysisBar_->setProperty("restoredWidth", analysis);
}

void CMainFrame::saveBarSizes() {
  if (settingsAccess_ == UiSettings::ReadOnly) return;
  auto store = [this](const QString& section, const QDockWidget* bar) {
    const QString kind = bar->isFloating() ? QStringLiteral("Float") : QStringLiteral("Vert");
    settings_->setValue(section + QStringLiteral("/size%1CX").arg(kind), bar->width());
    settings_->setValue(section + QStringLiteral("/size%1CY").arg(kind), bar->height());
  };
  store(kInfoBarSection, infoBar_);
  if (analysisBarSeen_) store(kAnalysisBarSection, analysisBar_);
  settings_->sync();
}

void CMainFrame::storeBarWidths() {
  CKorvaneDoc& doc = model_->doc();
  if (analysisBarSeen_) doc.analysisBarWidth = analysisBar_->width();
  if (!firstShow_) doc.infoBarWidth = infoBar_->width();
}

// ---- Exit ---------------------------------------------------------------------

bool CMainFrame::saveModified() {
  if (!model_->isModified()) return true;
  switch (prompter_->askYesNoCancel(this, kExitQuestion)) {
    case Prompter::Answer::Cancel: return false;
    case Prompter::Answer::No: return true;
    case Prompter::Answer::Yes: break;
  }
  const QString path = askSavePath(FromUtf8(model_->doc().pathName), kFilterExitSave);
  return !path.isEmpty() && saveTo(path);
}

bool CMainFrame::confirmExit() {
  storeBarWidths();
  return saveModified();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // While the print preview is shown, closing closes the preview only.
  if (outputs_ != nullptr && outputs_->InterceptClose()) {
    event->ignore();
    return;
  }
  enterPendingInput();
  if (!confirmExit()) {
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
  resizeDocks({infoBar_}, {infoBar_->property("restoredWidth").toInt()}, Qt::Horizontal);
}

// ---- Implausible first arrivals -------------------------------------------------

void CMainFrame::noteArrivals(const EditResult& result) {
  const CKorvaneDoc& doc = model_->doc();
  const auto check = [&doc](const NotedPoint& p) {
    const TestZone* zone = doc.Zone(p.member, p.zone);
    return zone != nullptr ? CheckArrival(*zone, p.point) : ArrivalCheck::Plausible;
  };
  const auto same = [](const NotedPoint& a, const NotedPoint& b) {
    return a.member == b.member && a.zone == b.zone && a.point == b.point;
  };
  if (result.point >= 0 && result.at.member >= 0 && result.at.zone >= 0) {
    const NotedPoint edited{result.at.member, result.at.zone, result.point};
    notedPoints_.removeIf([&](const NotedPoint& p) { return same(p, edited); });
    notedPoints_.prepend(edited);
  }
  // A point stays noted until an edit makes it plausible (or another file
  // comes).
  notedPoints_.removeIf([&](const NotedPoint& p) { return check(p) == ArrivalCheck::Plausible; });
  if (notedPoints_.isEmpty()) {
    arrivalNote_->clear();
    arrivalNote_->hide();
    return;
  }
  const NotedPoint& p = notedPoints_.constFirst();
  const TestZone& zone = *doc.Zone(p.member, p.zone);
  const auto j = static_cast<std::size_t>(p.point);
  const QString where = QStringLiteral("构件“%1”测区%2测点%3")
                            .arg(FromUtf8(doc.members[static_cast<std::size_t>(p.member)].name))
                            .arg(p.zone + 1)
                            .arg(p.point + 1);
  const QString what =
      check(p) == ArrivalCheck::TimeTooShort ? QStringLiteral("声时") : QStringLiteral("声速");
  arrivalNote_->setText(
      QStringLiteral("%1的%2不合理（T=%3us，V=%4km/s），请重新选取首波")
          .arg(where, what, FormatFixed(zone.pointTime[j], 2), FormatFixed(zone.pointVelocity[j], 3)));
  arrivalNote_->show();
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
