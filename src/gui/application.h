// Start-up of the desktop program: the document (settings file loaded now,
// written at exit), the main window, an optional data file from the command
// line, the window shown maximized.
#pragma once

class QTranslator;

namespace korvane::gui {

// Qt's own texts (buttons, standard dialogs, the print dialog) in Chinese,
// from the system's Qt translations (Debian: qt6-translations-l10n); false
// when they are not installed (the texts stay English).
bool LoadQtChineseTexts(QTranslator& translator);

// Runs the program; returns the process exit code. Arguments: an optional
// data file path, and the undocumented "--screenshot FILE" that saves a
// picture of the window once it is shown and ends the program.
int RunKorvane(int argc, char** argv);

}  // namespace korvane::gui
