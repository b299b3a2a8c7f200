#include "gui/widgets/pane_focus.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QWidget>

namespace korvane::gui {

namespace {

// The widget that takes the focus when `w` is given it.
QWidget* FinalProxy(QWidget* w) {
  while (w->focusProxy() != nullptr) w = w->focusProxy();
  return w;
}

// A widget under `pane` inside an item view (a cell editor, the view's
// viewport): the view is the stop, not its parts.
bool InsideItemView(const QWidget* w, const QWidget* pane) {
  for (const QWidget* p = w->parentWidget(); p != nullptr && p != pane; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractItemView*>(p) != nullptr) return true;
  }
  return false;
}

bool IsStop(QWidget* w, const QWidget* pane) {
  return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
         !InsideItemView(w, pane);
}

}  // namespace

PaneFocus::PaneFocus(QWidget* window, std::function<QList<QWidget*>()> panes)
    : QObject(window), window_(window), panes_(std::move(panes)) {
  const auto add = [this](const QKeySequence& keys, bool next) {
    auto* a = new QAction(window_);
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, next] { movePane(next); });
    window_->addAction(a);
  };
  add(QKeySequence(Qt::Key_F6), true);
  add(QKeySequence(Qt::SHIFT | Qt::Key_F6), false);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now == nullptr) return;
    const QList<QWidget*> shown = panes_();
    const int pane = paneOf(now);
    if (pane >= 0) lastFocus_[shown[pane]] = now;
  });
}

QList<QWidget*> PaneFocus::stopsOf(QWidget* pane) const {
  QList<QWidget*> stops;
  if (pane == nullptr || !pane->isVisible()) return stops;
  // The window's focus chain, taken in its order where it passes the pane.
  QWidget* w = pane;
  do {
    if ((w == pane || pane->isAncestorOf(w)) && IsStop(w, pane)) {
      QWidget* target = FinalProxy(w);
      if (!stops.contains(target) && IsStop(target, pane)) stops << target;
    }
    w = w->nextInFocusChain();
  } while (w != nullptr && w != pane);
  return stops;
}

QList<QWidget*> PaneFocus::stops() const {
  QList<QWidget*> all;
  for (QWidget* pane : panes_()) all << stopsOf(pane);
  return all;
}

int PaneFocus::paneOf(const QWidget* widget) const {
  const QList<QWidget*> panes = panes_();
  for (int i = 0; i < panes.size(); ++i) {
    if (panes[i] != nullptr && (panes[i] == widget || panes[i]->isAncestorOf(widget))) return i;
  }
  return -1;
}

void PaneFocus::focus(QWidget* target, Qt::FocusReason reason) {
  target->setFocus(reason);
  // A control in a scrolled form comes into view.
  for (QWidget* p = target->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (auto* area = qobject_cast<QScrollArea*>(p)) {
      area->ensureWidgetVisible(target);
      break;
    }
  }
}

bool PaneFocus::moveTab(bool next) {
  const QList<QWidget*> order = stops();
  QWidget* now = QApplication::focusWidget();
  const int at = now != nullptr ? static_cast<int>(order.indexOf(now)) : -1;
  if (at < 0 || order.size() < 2) return false;
  const auto n = static_cast<int>(order.size());
  focus(order[(at + (next ? 1 : n - 1)) % n], next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

bool PaneFocus::movePane(bool next) {
  const QList<QWidget*> panes = panes_();
  const auto n = static_cast<int>(panes.size());
  if (n == 0) return false;
  const QWidget* now = QApplication::focusWidget();
  const int from = now != nullptr ? paneOf(now) : -1;
  for (int step = 1; step <= n; ++step) {
    const int start = from < 0 ? (next ? -1 : n) : from;
    const int pane = ((start + (next ? step : -step)) % n + n) % n;
    if (pane == from) continue;
    const QList<QWidget*> stops = stopsOf(panes[pane]);
    if (stops.isEmpty()) continue;
    const QPointer<QWidget> last = lastFocus_.value(panes[pane]);
    QWidget* target = last != nullptr && stops.contains(last.data()) ? last.data() : stops.first();
    focus(target, Qt::OtherFocusReason);
    return true;
  }
  return false;
}

}  // namespace korvane::gui
