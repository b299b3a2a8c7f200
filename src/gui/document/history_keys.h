// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z in a window: in a text field that holds
// typing of its own (not yet entered) they undo and redo that typing, as
// every text field does; anywhere else they reach the window's 撤销 and 重做.
#pragma once

#include <QObject>

class QWidget;

namespace korvane::gui {

class HistoryKeyRouter : public QObject {
  Q_OBJECT

 public:
  // Watches the key presses of `window` (it filters the application's
  // events while it lives).
  explicit HistoryKeyRouter(QWidget* window);
  ~HistoryKeyRouter() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

}  // namespace korvane::gui
