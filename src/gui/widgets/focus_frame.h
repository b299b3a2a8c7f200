// A read-only field shows no text cursor, and some styles draw its frame the
// same with or without the keyboard focus: a keyboard user could not see
// where the focus is. While a read-only line edit has the focus it is framed
// in the highlight colour, as the point panels and the waveform view are.
#pragma once

#include <QObject>

namespace korvane::gui {

class ReadOnlyFocusFrame : public QObject {
  Q_OBJECT

 public:
  // Watches the application's focus changes for as long as `owner` lives
  // (the main window): every read-only line edit of the program, its dialogs'
  // too, gets the frame while it has the focus.
  static void Install(QObject* owner);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit ReadOnlyFocusFrame(QObject* owner);
};

}  // namespace korvane::gui
