// What korvane-cli says about itself, from one table: the usage list of
// --help, each command's page ("korvane-cli help COMMAND"), the manual page
// (--man, roff) and the bash completion (--bash-completion), so that none of
// them can leave a command or an option out.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace korvane::cli {

struct OptionHelp {
  std::string_view name;   // "--standard"
  std::string_view value;  // "S", or empty for a switch
  std::string_view text;
};

struct CommandHelp {
  std::string_view name;
  std::string_view arguments;  // after the name: "FILE [--json]"
  std::string_view summary;    // one line
  std::string_view text;       // paragraphs, separated by blank lines
  std::vector<OptionHelp> options;
  bool inThisBuild = true;
};

const std::vector<CommandHelp>& CommandHelps();

// Exit statuses, shared by every command.
inline constexpr std::string_view kExitStatusText =
    "0 success; 1 a file could not be read or written (the program's message on stderr); "
    "2 bad arguments (a one-line message on stderr).";

// "usage: korvane-cli COMMAND [ARGS]" and one line per command.
void PrintUsage(std::ostream& out);
// One command's page; false for an unknown command.
bool PrintCommandHelp(std::ostream& out, std::string_view command);
// The manual page korvane-cli(1) in roff, for program version `version`.
void PrintManPage(std::ostream& out, std::string_view version);
// A bash completion script for korvane-cli.
void PrintBashCompletion(std::ostream& out);

}  // namespace korvane::cli
