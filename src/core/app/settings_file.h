// The settings file "korvane.ini": a binary sequence of typed values that
// keeps the project information, the print settings, the report project
// information and the bar widths from one run to the next.
//
// Layout, all values little-endian, in this order: instrument, site, test
// date, unit, person (texts), delay (float), reserved (int), casting date
// (text), test method (int), spot (text), beta, lambda, eta (floats), the 22
// print settings (ints, the header and footer texts as texts), the 22 report
// project texts, then the three bar widths (ints).
// Int: 4 bytes signed. Float: 4 bytes IEEE single. Text: 0xFF, the 16-bit
// value 0xFFFE, the length in UTF-16 code units (one byte below 255; else
// 0xFF and 16 bits below 0xFFFE; else 0xFF, 0xFFFF and 32 bits), then the
// UTF-16 code units. Texts are UTF-8 in memory and converted here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

class CKorvaneDoc;

// Per-user configuration folder: $KORVANE_CONFIG_DIR when set, else the
// platform's (XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA% on Windows)
// followed by "korvane" ("Korvane" on Windows). Not created here. The
// current folder when none of these is known.
std::filesystem::path SettingsDirectory();
// SettingsDirectory() / "korvane.ini".
std::filesystem::path DefaultSettingsPath();

// The file's bytes for the document's current values.
std::string EncodeSettings(const CKorvaneDoc& doc);
// Reads the items of `bytes` in order into the document. Reading stops at
// the first value that is cut short or malformed: the items before it keep
// their new values, the rest keep theirs. The print settings are then
// limited to their dialog ranges (LimitToDialogRanges) and the test method
// to 0…2. Returns the number of values read
// (items 14 and 15 count 22 each; 60 for a complete file).
int DecodeSettings(CKorvaneDoc& doc, std::string_view bytes);

// Reads the file into the document (DecodeSettings). A missing, unreadable,
// empty, short or malformed file restores what it holds and leaves the rest
// as they are; nothing is reported. Only a regular file is read (a FIFO or
// device gives the defaults at once).
void LoadSettings(CKorvaneDoc& doc, const std::filesystem::path& path);
// Writes all items, creating the folder when needed. The file is replaced
// as a whole (core/platform/file_replace.h), so a failed save keeps the
// previous file. Returns false when it could not be written; nothing is
// reported.
bool SaveSettings(const CKorvaneDoc& doc, const std::filesystem::path& path);

}  // namespace korvane
