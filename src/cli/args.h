// Argument parsing for the command-line tool. Bad arguments raise UsageError
// whose message names the argument; the tool prints it on one line on stderr
// and exits with status 2.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/standards/standards.h"

namespace korvane::cli {

class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

struct ParsedArgs {
  std::vector<std::string> positional;
  // Options that take a value, in order of appearance (repeatable).
  std::multimap<std::string, std::string> values;
  std::set<std::string> flags;

  bool Has(const std::string& name) const { return values.count(name) != 0 || flags.count(name) != 0; }
  // Last value of an option, or `fallback` when absent.
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  std::vector<std::string> All(const std::string& name) const;
};

// Parses args (without the program and command names). `valueOptions` take
// one value ("--name value" or "--name=value"); `flagOptions` take none;
// `optionalValueOptions` take the next argument as their value unless it
// starts with "--" or there is none (value empty then), or "--name=value".
// Unknown options and missing values raise UsageError.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions,
                     const std::set<std::string>& optionalValueOptions = {});

// Strict number parsing of a whole text (no trailing characters); UsageError
// naming `argument` otherwise.
float ParseFloatArg(std::string_view text, std::string_view argument);
int ParseIntArg(std::string_view text, std::string_view argument);
std::vector<float> ParseFloatListArg(std::string_view text, std::string_view argument);
std::vector<int> ParseIntListArg(std::string_view text, std::string_view argument);

// Standard given as an index 0-9 or a display name; UsageError otherwise.
Standard ParseStandardArg(std::string_view text, std::string_view argument = "--standard");

}  // namespace korvane::cli
