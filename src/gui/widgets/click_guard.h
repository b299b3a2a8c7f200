// Keeps a toolbar that has just been shown from acting on a click that
// began before it was there: the second click of a double click on a
// button of the screen before would otherwise press the button that took
// its place. For one double-click interval after arm(), mouse presses,
// double clicks and releases on the toolbar's buttons are dropped.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QToolBar;

namespace korvane::gui {

class ClickGuard : public QObject {
  Q_OBJECT

 public:
  // Watches the buttons `bar` has now (build the bar first).
  explicit ClickGuard(QToolBar* bar);
  // The bar has just been shown.
  void arm();
  bool armed() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QElapsedTimer shown_;
};

}  // namespace korvane::gui
