#include "gui/commands.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <string_view>

#include "gui/icons.h"

namespace korvane::gui {

namespace {

bool KeepsTyping(int id) {
  return id == cmd::kUndo || id == cmd::kRedo || id == cmd::kToolBar || id == cmd::kInfoBar ||
         id == cmd::kStatusBar || id == cmd::kAnalysisBar;
}

bool Checkable(int id) {
  return id == cmd::kToolBar || id == cmd::kInfoBar || id == cmd::kStatusBar || id == cmd::kAnalysisBar;
}

QAction* MakeAction(QWidget* owner, const CommandRow& row, const std::function<bool()>& before) {
  auto* a = new QAction(QString::fromUtf8(row.text), owner);
  a->setData(row.id);
  const QIcon icon = CommandIcon(row.id, owner->style());
  if (!icon.isNull()) a->setIcon(icon);
  if (*row.keys != '\0') {
    QList<QKeySequence> keys;
    for (const QString& key : QString::fromLatin1(row.keys).split(QLatin1Char('|')))
      keys << QKeySequence(key);
    a->setShortcuts(keys);
  }
  a->setCheckable(Checkable(row.id));
  if (!row.handler) {
    a->setEnabled(false);
    return a;
  }
  if (KeepsTyping(row.id)) {
    QObject::connect(a, &QAction::triggered, owner, row.handler);
  } else {
    QObject::connect(a, &QAction::triggered, owner, [before, handler = row.handler] {
      if (before()) handler();
    });
  }
  return a;
}

}  // namespace

CommandSet BuildCommands(QWidget* owner, const std::vector<CommandRow>& rows,
                         const std::function<bool()>& before) {
  CommandSet set;
  QMenu* menu = nullptr;
  std::string_view title;
  Screen screen = Screen::Main;
  for (const CommandRow& row : rows) {
    const int s = static_cast<int>(row.screen);
    if (row.menu != nullptr && (menu == nullptr || screen != row.screen || title != row.menu)) {
      menu = new QMenu(QString::fromUtf8(row.menu), owner);
      set.menus[s] << menu;
      title = row.menu;
      screen = row.screen;
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
    QAction* a = MakeAction(owner, row, before);
    set.actions[s].insert(row.id, a);
    if (row.menu != nullptr) menu->addAction(a);
    if (row.id >= cmd::kRecentFile1 && row.id < cmd::kRecentFile1 + cmd::kRecentFileCount)
      set.recentFiles << a;
  }
  return set;
}

QToolBar* BuildToolBar(QWidget* owner, const QString& name, const QHash<int, QAction*>& actions,
                       std::initializer_list<int> ids) {
  // Both screens' bars are "工具栏" to the user, shown by "工具栏(&T)".
  auto* bar = new QToolBar(QStringLiteral("工具栏"), owner);
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
  return bar;
}

}  // namespace korvane::gui
