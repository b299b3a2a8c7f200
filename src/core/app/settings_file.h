// The settings file "korvane.ini": a binary sequence of typed values that
// keeps the project information, the print settings, the report project
// information and the bar widths from one run to the next.
#pragma once

#include <filesystem>

namespace korvane {

class CKorvaneDoc;

// Per-user configuration folder: $KORVANE_CONFIG_DIR when set, else the
// platform's (XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA% on Windows)
// followed by "korvane". Not created here.
std::filesystem::path SettingsDirectory();
// SettingsDirectory() / "korvane.ini".
std::filesystem::path DefaultSettingsPath();

// Reads the items in order into the document. A missing, empty, short or
// malformed file restores what it holds and leaves the rest as they are;
// nothing is reported.
void LoadSettings(CKorvaneDoc& doc, const std::filesystem::path& path);
// Writes all items (creating the folder when needed). Returns false when the
// file cannot be written; nothing is reported.
bool SaveSettings(const CKorvaneDoc& doc, const std::filesystem::path& path);

}  // namespace korvane
