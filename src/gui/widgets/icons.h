// Icons of the program, drawn in code: the application icon (a concrete
// block with an ultrasonic trace) and the toolbar buttons that Qt's standard
// icons do not cover.
#pragma once

#include <QIcon>

class QStyle;

namespace korvane::gui {

// The pictures of the commands that have one (commands.h names each
// command's).
enum class CommandIconKind {
  None,
  Open,
  Save,
  SaveResults,
  PreviousZone,
  NextZone,
  Output,
  Word,
  Pdf,
  Excel,
  PrintSetup,
  PrintPreview,
  Print,
  BackToMain,
  Undo,
  Redo,
};

QIcon ApplicationIcon();
// The picture of a command; a null icon for None.
QIcon CommandIcon(CommandIconKind icon, const QStyle* style);

}  // namespace korvane::gui
