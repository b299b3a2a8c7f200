#include "cli/args.h"

#include <charconv>
#include <cmath>

#include "core/standards/standards.h"

namespace korvane::cli {

std::string ParsedArgs::Value(const std::string& name, const std::string& fallback) const {
  auto range = values.equal_range(name);
  if (range.first == range.second) return fallback;
  return std::prev(range.second)->second;
}

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
  std::vector<std::string> all;
  auto range = values.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) all.push_back(it->second);
  return all;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions,
                     const std::set<std::string>& optionalValueOptions) {
  ParsedArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 3 || arg.rfind("--", 0) != 0) {
      parsed.positional.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::string value;
    bool inlineValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (flagOptions.count(name) != 0) {
      if (inlineValue) throw UsageError("option " + name + " takes no value");
      parsed.flags.insert(name);
    } else if (valueOptions.count(name) != 0) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
        value = args[++i];
      }
      parsed.values.emplace(name, value);
    } else if (optionalValueOptions.count(name) != 0) {
      if (!inlineValue && i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) value = args[++i];
      parsed.values.emplace(name, value);
    } else {
      throw UsageError("unknown option " + name);
    }
  }
  return parsed;
}

namespace {

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;
  const auto result = std::from_chars(first, last, value);
  return result.ec == std::errc{} && result.ptr == last;
}

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const auto comma = text.find(',', start);
    parts.push_back(
        text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return parts;
}

}  // namespace

float ParseFloatArg(std::string_view text, std::string_view argument) {
  float value = 0.0f;
  if (!ParseWhole(text, value) || !std::isfinite(value)) {
    throw UsageError(std::string(argument) + ": not a number: '" + std::string(text) + "'");
  }
  return value;
}

int ParseIntArg(std::string_view text, std::string_view argument) {
  int value = 0;
  if (!ParseWhole(text, value)) {
    throw UsageError(std::string(argument) + ": not an integer: '" + std::string(text) + "'");
  }
  return value;
}

std::vector<float> ParseFloatListArg(std::string_view text, std::string_view argument) {
  std::vector<float> values;
  for (std::string_view part : Split(text)) values.push_back(ParseFloatArg(part, argument));
  return values;
}

std::vector<int> ParseIntListArg(std::string_view text, std::string_view argument) {
  std::vector<int> values;
  for (std::string_view part : Split(text)) values.push_back(ParseIntArg(part, argument));
  return values;
}

Standard ParseStandardArg(std::string_view text, std::string_view argument) {
  if (auto standard = ParseStandard(text)) return *standard;
  throw UsageError(std::string(argument) + ": unknown standard '" + std::string(text) +
                   "' (use 0-9 or a name such as \"CECS 02:2005\")");
}

}  // namespace korvane::cli
