// A form's number field (L, β, λ, a–d, η, Δtot) that enters its typed text
// as a grid cell does: with Enter, when the focus goes to another control
// (Tab, a click), at a click anywhere else in the window (also on a view
// that takes no focus, such as a waveform panel), and before a command runs
// (EnterTypedNumber). Esc puts back the text the field showed before the
// typing. Only text typed since the field was last filled is entered: a
// field the program refills (another zone, an undo) has nothing pending.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace korvane::gui {

class NumberFieldEntry : public QObject {
  Q_OBJECT

 public:
  // Makes `field` such a field; `enter` takes its text into the document
  // (and refills the field). Owned by the field.
  static void Attach(QLineEdit* field, std::function<void()> enter);

  // Enters the typed text of `focus` when it is such a field with typing
  // not yet entered; false when there was nothing to enter.
  static bool EnterTyped(QWidget* focus);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  NumberFieldEntry(QLineEdit* field, std::function<void()> enter);
  bool pending() const;
  void enterNow();

  QLineEdit* field_;
  std::function<void()> enter_;
  QString shown_;  // the text the program last put in the field
  bool entering_ = false;
};

}  // namespace korvane::gui
