// Running the external programs some output tests read their files back
// with: pdftotext (poppler-utils) for the text of PDF pages, LibreOffice
// (soffice) to lay out .docx files as a word processor does, and /bin/sh.
// They are Linux programs: a Windows test program finds none of them, and
// its tests that need one skip (KORVANE_NEED_PROGRAM); the Windows build's
// PDFs and workbooks are read on the build machine instead (tests/cross).
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace korvane::testing {

// A word for /bin/sh, in single quotes.
inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

#ifdef _WIN32
inline std::filesystem::path FindProgram(const std::string&) { return {}; }
inline int RunCommand(const std::string&, std::string& output) {
  output.clear();
  return -1;
}
#else
// The executable `name` on PATH; empty when there is none.
inline std::filesystem::path FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    const std::filesystem::path candidate = std::filesystem::path(folder) / name;
    if (::access(candidate.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(candidate))
      return candidate;
  }
  return {};
}

// Runs a shell command; its standard output goes to `output`. Returns the
// exit status (-1 when the command cannot be started).
inline int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

// Sets `var` to the program `name`. Without it the test fails (./dev.sh deps
// installs every one), except in a Windows test program, where it skips.
#ifdef _WIN32
#define KORVANE_NEED_PROGRAM(var, name) \
  GTEST_SKIP() << name " is a Linux program: the Windows build's files are read on the build machine"
#else
#define KORVANE_NEED_PROGRAM(var, name)        \
  var = ::korvane::testing::FindProgram(name); \
  ASSERT_FALSE((var).empty()) << name " is needed: ./dev.sh deps installs it"
#endif

// The text of every page of a PDF as pdftotext extracts it (UTF-8), one
// entry per page. Empty when pdftotext fails.
inline std::vector<std::string> PdfPageTexts(const std::filesystem::path& pdftotext,
                                             const std::filesystem::path& pdf) {
  std::string text;
  if (RunCommand(
          ShellQuote(pdftotext.string()) + " -enc UTF-8 " + ShellQuote(pdf.string()) + " - 2>/dev/null",
          text) != 0) {
    return {};
  }
  // Pages end with a form feed.
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t feed = text.find('\f'); feed != std::string::npos; feed = text.find('\f', start)) {
    pages.push_back(text.substr(start, feed - start));
    start = feed + 1;
  }
  return pages;
}

// The text without blanks, tabs and line breaks: extracted text puts blanks
// where glyph runs of different fonts meet and breaks lines as it finds them.
inline std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') out += c;
  }
  return out;
}

// The pieces of a drawn text that come out of a PDF as runs of their own:
// its lines ("\n" separated) and, within a line, the parts between gaps of
// two or more blanks ("VKT-U6        U6-1234"); each without blanks, empty
// ones left out.
inline std::vector<std::string> TextPieces(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece;
  int blanks = 0;
  const auto finish = [&] {
    piece = WithoutBlanks(piece);
    if (!piece.empty()) pieces.push_back(piece);
    piece.clear();
  };
  for (const char c : text) {
    if (c == '\n') {
      finish();
      blanks = 0;
      continue;
    }
    blanks = c == ' ' ? blanks + 1 : 0;
    if (blanks == 2) finish();
    piece += c;
  }
  finish();
  return pieces;
}

}  // namespace korvane::testing
