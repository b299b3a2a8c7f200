// Keyboard focus across the panes of a window, as desktop programs move it:
// Tab and Shift+Tab go through the focusable controls of the visible panes
// in pane order (each pane's own order inside), wrapping from the last to
// the first; F6 and Shift+F6 go to the next or previous pane, to the control
// that last had the focus there (else its first). Controls inside an item
// view (its cell editors) are not stops: the view is.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace korvane::gui {

class PaneFocus : public QObject {
  Q_OBJECT

 public:
  // `panes`: the panes of the screen shown now, in order (hidden ones are
  // passed over). F6 and Shift+F6 are installed on `window`.
  PaneFocus(QWidget* window, std::function<QList<QWidget*>()> panes);

  // Tab (next) or Shift+Tab: true when the focus was moved; false when the
  // focus is not on a stop of a pane (the window's own order then applies).
  bool moveTab(bool next);
  // F6 (next) or Shift+F6; false when no other pane can take the focus.
  bool movePane(bool next);

  // The stops of the visible panes, in Tab order.
  QList<QWidget*> stops() const;
  // The pane holding `widget` (index into the panes), or -1.
  int paneOf(const QWidget* widget) const;

 private:
  QList<QWidget*> stopsOf(QWidget* pane) const;
  void focus(QWidget* target, Qt::FocusReason reason);

  QWidget* window_;
  std::function<QList<QWidget*>()> panes_;
  QHash<const QWidget*, QPointer<QWidget>> lastFocus_;
};

}  // namespace korvane::gui
