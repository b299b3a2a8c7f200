// Opening a data file for a command: a document without settings file whose
// warnings go to the command's error stream.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>

#include "core/app/korvane_doc.h"

namespace korvane::cli {

// Sends the document's warnings (the reader's "数字过长…") to `err`, a line
// each; `err` must outlive the document's use.
void SendWarningsTo(CKorvaneDoc& doc, std::ostream& err);

// Opens `path` as the desktop program does (OnOpenDocument). Throws
// KorvaneError with the reader's message. A command that prints numbers
// alone passes WaveformReading::SizeOnly: the waveform file is checked, not
// read (a 2 GB pair opens in the time its text takes).
std::unique_ptr<CKorvaneDoc> OpenDocument(const std::filesystem::path& path, std::ostream& err,
                                          WaveformReading reading = WaveformReading::Samples);
// The same for a file named on the command line (UTF-8).
std::unique_ptr<CKorvaneDoc> OpenDocument(const std::string& utf8Path, std::ostream& err,
                                          WaveformReading reading = WaveformReading::Samples);

// JSON dump of the document (project, standard, members with their zones
// and points, sections, result, batch flag); samples are not dumped.
std::string DocumentJson(const CKorvaneDoc& doc);

}  // namespace korvane::cli
