#include "gui/widgets/number_field.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace korvane::gui {

namespace {

// Watches the application's mouse presses for a field while it has the focus
// (an object of its own: the field's own events must not reach the field's
// filter twice).
class ClickWatcher : public QObject {
 public:
  ClickWatcher(QObject* parent, std::function<bool(QObject*)> pressed)
      : QObject(parent), pressed_(std::move(pressed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    return event->type() == QEvent::MouseButtonPress && pressed_(watched);
  }

 private:
  std::function<bool(QObject*)> pressed_;
};

constexpr char kDiscardsTyping[] = "korvaneDiscardsTyping";

}  // namespace

NumberFieldEntry::NumberFieldEntry(QLineEdit* field, std::function<bool()> enter)
    : QObject(field), field_(field), enter_(std::move(enter)), shown_(field->text()) {
  field_->installEventFilter(this);
  clicks_ = new ClickWatcher(this, [this](QObject* watched) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (target == nullptr || target == field_ || field_->isAncestorOf(target) ||
        target->window() != field_->window() || target->property(kDiscardsTyping).toBool()) {
      return false;
    }
    // A refused text keeps the field: the click is not carried out. A click
    // on a control that takes the focus has already moved it, and the field
    // refused when it lost it: the click is held back without asking again.
    if (refusedNow_) return true;
    return enterNow(false) == Outcome::Refused;
  });
  // A text the program sets leaves the field unmodified; typing marks it.
  connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!field_->isModified()) shown_ = text;
  });
  // Enter enters also an unchanged text (and shows it as stored); the key
  // itself is handled in eventFilter, this is for a return emitted otherwise.
  connect(field_, &QLineEdit::returnPressed, this, [this] { enterNow(true); });
}

void NumberFieldEntry::Attach(QLineEdit* field, std::function<bool()> enter) {
  new NumberFieldEntry(field, std::move(enter));
}

void NumberFieldEntry::DiscardsTyping(QWidget* control) { control->setProperty(kDiscardsTyping, true); }

NumberFieldEntry::Outcome NumberFieldEntry::EnterTyped(QWidget* focus) {
  auto* field = qobject_cast<QLineEdit*>(focus);
  if (field == nullptr) return Outcome::Nothing;
  auto* entry = field->findChild<NumberFieldEntry*>(QString(), Qt::FindDirectChildrenOnly);
  return entry == nullptr ? Outcome::Nothing : entry->enterNow(false);
}

bool NumberFieldEntry::pending() const { return field_->isModified() && field_->isEnabled(); }

NumberFieldEntry::Outcome NumberFieldEntry::enterNow(bool evenUnchanged) {
  if (entering_ || !(evenUnchanged || pending())) return Outcome::Nothing;
  entering_ = true;
  const bool entered = enter_();
  entering_ = false;
  if (!entered) {
    // The typed text stays (still pending) and so does the focus; after the
    // message box, which takes the focus while it is shown.
    refusedNow_ = true;
    const QPointer<QLineEdit> field(field_);
    QTimer::singleShot(0, this, [this, field] {
      refusedNow_ = false;
      if (field != nullptr && field->isVisible()) field->setFocus(Qt::OtherFocusReason);
      // A field that could not take the focus back watches no more clicks.
      if (field == nullptr || !field->hasFocus()) qApp->removeEventFilter(clicks_);
    });
    return Outcome::Refused;
  }
  // Entered (the handler refilled the field) or, without a zone, kept as
  // typed: either way nothing is pending any more.
  field_->setModified(false);
  shown_ = field_->text();
  return Outcome::Entered;
}

bool NumberFieldEntry::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_) {
    switch (event->type()) {
      case QEvent::FocusIn:
        // Clicks elsewhere in the window are watched while the field has the
        // focus.
        qApp->installEventFilter(clicks_);
        break;
      case QEvent::FocusOut: {
        // A menu opening or another window taking over (a message box) is
        // not leaving the field: the command (which enters first) or the
        // return decides. Nor is a click on a control that discards the
        // typing: the click goes on and drops it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* to = QApplication::focusWidget();
        const bool discarding =
            reason == Qt::MouseFocusReason && to != nullptr && to->property(kDiscardsTyping).toBool();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !discarding) {
          enterNow(false);
        }
        // Refused, the click that moved the focus is still to be held back.
        if (!refusedNow_) qApp->removeEventFilter(clicks_);
        break;
      }
      case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && field_->isModified()) {
          field_->setText(shown_);
          return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
          // Refused, the key stops here; taken, it goes on to the parents
          // (a dialog's default button) as the field would pass it on, but
          // without the field's own return, which would enter it again.
          if (enterNow(true) != Outcome::Refused) event->ignore();
          return true;
        }
        break;
      }
      default: break;
    }
  }
  return false;
}

}  // namespace korvane::gui
