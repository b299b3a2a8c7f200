// Runs korvane-cli as a child process and captures its output.
#pragma once

#include <string>
#include <vector>

namespace korvane::testing {

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command-line tool with `args` (no shell quoting issues: arguments
// are passed as they are).
ProcessResult RunCli(const std::vector<std::string>& args);

}  // namespace korvane::testing
