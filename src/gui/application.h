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

// The program's Qt texts and formats in Chinese whatever the system's
// locale: installs `translator` with LoadQtChineseTexts' texts (when
// installed) and makes Chinese (China) the default locale, which the file
// and print dialogs show dates and sizes in. The program's own numbers never
// depend on the locale.
void UseChineseForQt(QTranslator& translator);

// Runs the program; returns the process exit code. Arguments: an optional
// data file path, and the undocumented "--screenshot FILE" that saves a
// picture of the window once it is shown and ends the program.
int RunKorvane(int argc, char** argv);

}  // namespace korvane::gui
