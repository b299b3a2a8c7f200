// Start-up of the desktop program: the document (settings file loaded now,
// written at exit), the main window, an optional data file from the command
// line, the window shown maximized.
#pragma once

namespace korvane::gui {

// Runs the program; returns the process exit code. Arguments: an optional
// data file path, and the undocumented "--screenshot FILE" that saves a
// picture of the window once it is shown and ends the program.
int RunKorvane(int argc, char** argv);

}  // namespace korvane::gui
