// A form's number field (L, β, λ, a–d, η, Δtot) that enters its typed text
// as a grid cell does: with Enter, when the focus goes to another control
// (Tab, a click), at a click anywhere else in the window (also on a view
// that takes no focus, such as a waveform panel), and before a command runs
// (EnterTyped). Esc puts back the text the field showed before the typing.
// Only text typed since the field was last filled is entered: a field the
// program refills (another zone, an undo) has nothing pending.
//
// Enter in a dialog's field enters the text and, taken, goes on to the
// dialog's default button; refused, it stops at the field. A control marked
// with DiscardsTyping (a dialog's "取消") is clicked without entering.
//
// A text its handler refuses (not a number in the field's range: the
// handler shows the message) keeps the field and the focus: the click that
// left it is not carried out, a command does not run, and the typed text
// stays for correction (Esc gives the stored value back).
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
  // (and refills the field), or shows why it cannot and returns false.
  // Owned by the field.
  static void Attach(QLineEdit* field, std::function<bool()> enter);

  // Marks a control whose click drops what is typed instead of entering it.
  static void DiscardsTyping(QWidget* control);

  enum class Outcome { Nothing, Entered, Refused };
  // Enters the typed text of `focus` when it is such a field with typing
  // not yet entered.
  static Outcome EnterTyped(QWidget* focus);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  NumberFieldEntry(QLineEdit* field, std::function<bool()> enter);
  bool pending() const;
  // Runs the handler; after a refusal the field takes the focus back.
  Outcome enterNow(bool evenUnchanged);

  QLineEdit* field_;
  QObject* clicks_;  // the window's mouse presses while the field has the focus
  std::function<bool()> enter_;
  QString shown_;  // the text the program last put in the field
  bool entering_ = false;
  // Set by a refusal until the field has the focus back (the next pass of
  // the event loop): the rest of the action that left the field (the click
  // after the focus moved) is held back without a second message.
  bool refusedNow_ = false;
};

}  // namespace korvane::gui
