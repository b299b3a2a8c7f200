#include "gui/widgets/number_field.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace korvane::gui {

NumberFieldEntry::NumberFieldEntry(QLineEdit* field, std::function<void()> enter)
    : QObject(field), field_(field), enter_(std::move(enter)), shown_(field->text()) {
  field_->installEventFilter(this);
  // A text the program sets leaves the field unmodified; typing marks it.
  connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!field_->isModified()) shown_ = text;
  });
  // Enter enters also an unchanged text (and shows it as stored).
  connect(field_, &QLineEdit::returnPressed, this, [this] {
    if (entering_) return;
    entering_ = true;
    enter_();
    field_->setModified(false);
    entering_ = false;
  });
}

void NumberFieldEntry::Attach(QLineEdit* field, std::function<void()> enter) {
  new NumberFieldEntry(field, std::move(enter));
}

bool NumberFieldEntry::EnterTyped(QWidget* focus) {
  auto* field = qobject_cast<QLineEdit*>(focus);
  if (field == nullptr) return false;
  auto* entry = field->findChild<NumberFieldEntry*>(QString(), Qt::FindDirectChildrenOnly);
  if (entry == nullptr || !entry->pending()) return false;
  entry->enterNow();
  return true;
}

bool NumberFieldEntry::pending() const { return field_->isModified() && field_->isEnabled() && !entering_; }

void NumberFieldEntry::enterNow() {
  if (!pending()) return;
  entering_ = true;
  enter_();
  // Entered (the handler refilled the field) or, without a zone, kept as
  // typed: either way nothing is pending any more.
  field_->setModified(false);
  shown_ = field_->text();
  entering_ = false;
}

bool NumberFieldEntry::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_) {
    switch (event->type()) {
      case QEvent::FocusIn:
        // Clicks elsewhere in the window are watched while the field has the focus.
        qApp->installEventFilter(this);
        break;
      case QEvent::FocusOut: {
        qApp->removeEventFilter(this);
        // A menu opening or another window taking over is not leaving the
        // field: the command (which enters first) or the return decides.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) enterNow();
        break;
      }
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && field_->isModified()) {
          field_->setText(shown_);
          return true;
        }
        break;
      default: break;
    }
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (target != nullptr && target != field_ && !field_->isAncestorOf(target) &&
        target->window() == field_->window()) {
      enterNow();
    }
  }
  return false;
}

}  // namespace korvane::gui
