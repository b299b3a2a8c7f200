#include "gui/document/history_keys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace korvane::gui {

namespace {

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

}  // namespace

HistoryKeyRouter::HistoryKeyRouter(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

HistoryKeyRouter::~HistoryKeyRouter() { qApp->removeEventFilter(this); }

bool HistoryKeyRouter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == window_) {
    const int key = HistoryKey(*static_cast<QKeyEvent*>(event));
    if (key != 0 && !FieldTakesHistoryKey(QApplication::focusWidget(), key == 1)) {
      // Not the field's: the key goes on to the shortcuts of 撤销 and 重做.
      event->ignore();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace korvane::gui
