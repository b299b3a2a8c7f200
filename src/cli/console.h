// The tool's command line and standard streams, the same on every system:
// arguments arrive as UTF-8 (on Windows read from the wide command line, so
// Chinese file names survive any ANSI code page) and the output is written
// byte for byte as the commands produce it (UTF-8, "\n" line ends; on
// Windows no "\r\n" translation, and a console shows UTF-8).
#pragma once

#include <string>
#include <vector>

namespace korvane::cli {

// The arguments after the program name, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Call once before anything is written.
void PrepareStandardStreams();

}  // namespace korvane::cli
