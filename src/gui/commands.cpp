#include "gui/commands.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QToolBar>
#include <algorithm>
#include <string_view>
#include <vector>

#include "core/app/edit_names.h"
#include "core/app/korvane_doc.h"
#include "core/forms/correction_dialog_model.h"

namespace korvane::gui {

namespace {

using I = CommandIconKind;
using E = EnabledWhen;
constexpr unsigned kMain = kMainScreen;
constexpr unsigned kAnalysis = kAnalysisScreen;
constexpr unsigned kBoth = kBothScreens;

// The one table of commands. Within a menu, each screen lists the rows it
// is named in, in this order; a menu title's first row places the menu.
const CommandRow kCommands[] = {
    // id, menu, text, keys, icon, enabled, screens, main bar, analysis bar
    {cmd::kOpen, "文件(&F)", "打开(&O)...", "Ctrl+O", I::Open, E::Always, kBoth, 1, 1},
    {cmd::kSave, "文件(&F)", "保存(&S)", "Ctrl+S", I::Save, E::FileOpen, kBoth, 2, 2},
    {cmd::kSaveAs, "文件(&F)", "另存为(&A)...", "", I::None, E::FileOpen, kMain},
    {cmd::kMerge, "文件(&F)", "合并", "", I::None, E::Always, kMain},
    {cmd::kSeparator, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kExportRawToExcel, "文件(&F)", "导出原始数据到Excel", "", I::None, E::FileOpen, kMain},
    {cmd::kSeparator, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kRecentPlaceholder, "文件(&F)", "最近的文件", "", I::None, E::Never, kMain},
    {cmd::kRecentFile1, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kRecentFile1 + 1, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kRecentFile1 + 2, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kRecentFile1 + 3, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kSeparator, "文件(&F)", "", "", I::None, E::Always, kMain},
    {cmd::kSaveResults, "文件(&F)", "保存结果", "", I::SaveResults, E::Always, kAnalysis, 0, 5},
    {cmd::kPrintSetup, "文件(&F)", "打印设置", "", I::PrintSetup, E::Reports, kAnalysis, 0, 9},
    {cmd::kPrintPreview, "文件(&F)", "打印预览(&V)", "", I::PrintPreview, E::Reports, kAnalysis, 0, 10},
    {cmd::kPrint, "文件(&F)", "打印", "Ctrl+P", I::Print, E::Reports, kAnalysis, 0, 11},
    {cmd::kExit, "文件(&F)", "退出", "", I::None, E::Always, kBoth},
    {cmd::kUndo, "编辑(&E)", "撤销", "Ctrl+Z", I::Undo, E::Undo, kBoth, 3, 3},
    {cmd::kRedo, "编辑(&E)", "重做", "Ctrl+Y|Ctrl+Shift+Z", I::Redo, E::Redo, kBoth, 4, 4},
    {cmd::kTestParameters, "查看(&V)", "检测参数", "", I::None, E::SectionRow, kMain},
    {cmd::kSeparator, "查看(&V)", "", "", I::None, E::Always, kMain},
    {cmd::kPreviousZone, "查看(&V)", "前一测区", "", I::PreviousZone, E::PreviousZone, kMain, 5},
    {cmd::kNextZone, "查看(&V)", "后一测区", "", I::NextZone, E::NextZone, kMain, 6},
    {cmd::kAngleTable, "查看(&V)", "角度修正表", "", I::None, E::FileOpen, kAnalysis},
    {cmd::kSurfaceTable, "查看(&V)", "测试面修正表", "", I::None, E::FileOpen, kAnalysis},
    {cmd::kCarbonationTable, "查看(&V)", "碳化深度修正表", "", I::None, E::CarbonationTable, kAnalysis},
    {cmd::kToolBar, "工具(&T)", "工具栏(&T)", "", I::None, E::Always, kMain, 0, 0, true},
    {cmd::kInfoBar, "工具(&T)", "工程信息栏", "", I::None, E::Always, kMain, 0, 0, true},
    {cmd::kStatusBar, "工具(&T)", "状态栏(&S)", "", I::None, E::Always, kMain, 0, 0, true},
    {cmd::kOutput, "工具(&T)", "输出", "", I::Output, E::FileOpen, kMain, 7},
    {cmd::kBackToMain, "工具(&T)", "返回主界面", "", I::BackToMain, E::Always, kAnalysis, 0, 12},
    {cmd::kAnalysisBar, "工具(&T)", "分析信息栏", "", I::None, E::Always, kAnalysis, 0, 0, true},
    {cmd::kWord, "工具(&T)", "生成word文档", "", I::Word, E::Reports, kAnalysis, 0, 6, false, "输出到word"},
    {cmd::kPdf, "工具(&T)", "输出到PDF", "", I::Pdf, E::Reports, kAnalysis, 0, 7},
    {cmd::kBmp, "工具(&T)", "输出到BMP", "", I::None, E::Reports, kAnalysis},
    {cmd::kExcel, "工具(&T)", "输出到excel", "", I::Excel, E::Reports, kAnalysis, 0, 8},
    {cmd::kSeparator, "工具(&T)", "", "", I::None, E::Always, kAnalysis},
    {cmd::kStrengthCurve, "工具(&T)", "测强曲线(&C)...", "", I::None, E::Always, kAnalysis},
    {cmd::kCoreCorrection, "工具(&T)", "钻芯修正(&K)...", "", I::None, E::Cores, kAnalysis},
    {cmd::kFilter, "波形处理(&W)", "滤波", "", I::None, E::Always, kMain},
    {cmd::kSeparator, "波形处理(&W)", "", "", I::None, E::Always, kMain},
    {cmd::kSuggestArrivals, "波形处理(&W)", edit_name::kSuggestedZone.data(), "", I::None, E::CurrentZone,
     kBoth},
    {cmd::kSuggestArrivalsAllZones, "波形处理(&W)", edit_name::kSuggestedMember.data(), "", I::None,
     E::MemberZones, kBoth},
    {cmd::kHelpContents, "帮助(&H)", "目录", "", I::None, E::Never, kAnalysis},
    {cmd::kContactUs, "帮助(&H)", "联系我们", "", I::None, E::Never, kAnalysis},
    {cmd::kAbout, "帮助(&H)", "关于 Korvane(&A)...", "", I::None, E::Always, kBoth},
};

QAction* MakeAction(QWidget* owner, const CommandRow& row, const std::function<void()>& handler,
                    const std::function<bool()>& before) {
  auto* a = new QAction(QString::fromUtf8(row.text), owner);
  a->setData(row.id);
  const QIcon icon = CommandIcon(row.icon, owner->style());
  if (!icon.isNull()) a->setIcon(icon);
  if (*row.keys != '\0') {
    QList<QKeySequence> keys;
    for (const QString& key : QString::fromLatin1(row.keys).split(QLatin1Char('|')))
      keys << QKeySequence(key);
    a->setShortcuts(keys);
  }
  if (row.toolTip != nullptr) a->setToolTip(QString::fromUtf8(row.toolTip));
  a->setCheckable(row.barSwitch);
  if (!handler || row.enabled == EnabledWhen::Never) {
    a->setEnabled(false);
    return a;
  }
  const bool keepsTyping = row.barSwitch || row.id == cmd::kUndo || row.id == cmd::kRedo;
  if (keepsTyping) {
    QObject::connect(a, &QAction::triggered, owner, handler);
  } else {
    QObject::connect(a, &QAction::triggered, owner, [before, handler] {
      if (before()) handler();
    });
  }
  return a;
}

}  // namespace

std::span<const CommandRow> CommandTable() { return kCommands; }

const CommandRow* CommandRowOf(int id) {
  for (const CommandRow& row : kCommands) {
    if (row.id == id && id != cmd::kSeparator) return &row;
  }
  return nullptr;
}

bool CommandEnabled(EnabledWhen when, const CommandState& state) {
  const CKorvaneDoc& doc = state.doc;
  const bool open = doc.HasFile();
  switch (when) {
    case E::Always: return true;
    case E::Never: return false;
    case E::FileOpen: return open;
    case E::PreviousZone: return doc.CanGoPrevious();
    case E::NextZone: return doc.CanGoNext();
    case E::SectionRow: return doc.CurrentSectionRow() >= 0;
    case E::CarbonationTable: return CarbonationTableOffered(doc);
    case E::Cores: return open && !doc.members.empty();
    case E::CurrentZone: return open && doc.GetCurrentZone() != nullptr;
    case E::MemberZones: return open && doc.ZoneCount(doc.currentMember) > 0;
    case E::Reports: return open && state.shown == Screen::Analysis;
    case E::Undo: return state.canUndo;
    case E::Redo: return state.canRedo;
  }
  return false;
}

CommandSet BuildCommands(QWidget* owner, const QHash<int, std::function<void()>>& handlers,
                         const std::function<bool()>& before) {
  CommandSet set;
  for (Screen screen : {Screen::Main, Screen::Analysis}) {
    QMenu* menu = nullptr;
    std::string_view title;
    for (const CommandRow& row : kCommands) {
      if ((row.screens & ScreenBit(screen)) == 0) continue;
      if (menu == nullptr || title != row.menu) {
        menu = new QMenu(QString::fromUtf8(row.menu), owner);
        set.menus[static_cast<int>(screen)] << menu;
        title = row.menu;
      }
      if (row.id == cmd::kSeparator) {
        menu->addSeparator();
        continue;
      }
      if (row.id == cmd::kRecentPlaceholder) {
        set.recentPlaceholder = menu->addAction(QString::fromUtf8(row.text));
        set.recentPlaceholder->setEnabled(false);
        continue;
      }
      QAction* a = set.actions.value(row.id);
      if (a == nullptr) {
        a = MakeAction(owner, row, handlers.value(row.id), before);
        set.actions.insert(row.id, a);
        if (row.id >= cmd::kRecentFile1 && row.id < cmd::kRecentFile1 + cmd::kRecentFileCount)
          set.recentFiles << a;
      }
      menu->addAction(a);
    }
  }
  // Commands of a toolbar only.
  for (const CommandRow& row : kCommands) {
    if (row.id != cmd::kSeparator && !set.actions.contains(row.id) &&
        (row.mainBar > 0 || row.analysisBar > 0))
      set.actions.insert(row.id, MakeAction(owner, row, handlers.value(row.id), before));
  }
  return set;
}

QToolBar* BuildToolBar(QWidget* owner, const QString& name, Screen screen,
                       const QHash<int, QAction*>& actions) {
  std::vector<const CommandRow*> rows;
  for (const CommandRow& row : kCommands) {
    if ((screen == Screen::Main ? row.mainBar : row.analysisBar) > 0) rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(), [screen](const CommandRow* a, const CommandRow* b) {
    return screen == Screen::Main ? a->mainBar < b->mainBar : a->analysisBar < b->analysisBar;
  });
  // Both screens' bars are "工具栏" to the user, shown by "工具栏(&T)".
  auto* bar = new QToolBar(QStringLiteral("工具栏"), owner);
  bar->setObjectName(name);
  bar->setIconSize(QSize(32, 32));
  bar->setContextMenuPolicy(Qt::PreventContextMenu);  // right clicks do nothing
  for (const CommandRow* row : rows) {
    QAction* a = actions.value(row->id);
    bar->addAction(a);
    // Toolbar buttons show the command without its access key ("(&O)") and
    // "...".
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)"));
    a->setIconText(a->text().remove(accessKey).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
  }
  return bar;
}

bool OnScreen(int id, Screen screen) {
  const CommandRow* row = CommandRowOf(id);
  if (row == nullptr) return false;
  const int place = screen == Screen::Main ? row->mainBar : row->analysisBar;
  return (row->screens & ScreenBit(screen)) != 0 || place > 0;
}

}  // namespace korvane::gui
