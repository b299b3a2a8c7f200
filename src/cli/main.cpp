// korvane-cli: command-line calculator, evaluation, conversion, merge,
// waveforms, suggested first arrivals, reports and exports.
#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/help.h"
#include "core/platform/error.h"
#include "core/platform/file_system.h"

namespace {

using Runner = int (*)(const korvane::cli::Args&, std::ostream&, std::ostream&);

// The command of each name (their texts: help.cpp).
Runner RunnerOf(std::string_view name) {
  using namespace korvane::cli;
  static const std::pair<std::string_view, Runner> kRunners[] = {
      {"zone", RunZone},         {"estimate", RunEstimate}, {"info", RunInfo},
      {"evaluate", RunEvaluate}, {"convert", RunConvert},   {"merge", RunMerge},
      {"generate", RunGenerate}, {"waveform", RunWaveform}, {"pick", RunPick},
      {"report", RunReport},     {"export", RunExport},     {"curve", RunCurve},
      {"cores", RunCores},
  };
  for (const auto& [command, run] : kRunners) {
    if (command == name) return run;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  korvane::cli::PrepareStandardStreams();
  korvane::platform::ReportFileSizeLimitAsError();
  const std::vector<std::string> arguments = korvane::cli::Utf8Arguments(argc, argv);
  if (arguments.empty()) {
    std::cerr << "korvane-cli: missing command (try --help)\n";
    return 2;
  }
  const std::string& name = arguments.front();
  if (name == "--help" || name == "-h" || (name == "help" && arguments.size() == 1)) {
    korvane::cli::PrintUsage(std::cout);
    return 0;
  }
  if (name == "help") {
    if (korvane::cli::PrintCommandHelp(std::cout, arguments[1])) return 0;
    std::cerr << "korvane-cli: unknown command '" << arguments[1] << "' (try --help)\n";
    return 2;
  }
  if (name == "--version") {
    std::cout << "korvane-cli " << KORVANE_VERSION << "\n";
    return 0;
  }
  if (name == "--man") {
    korvane::cli::PrintManPage(std::cout, KORVANE_VERSION);
    return 0;
  }
  if (name == "--bash-completion") {
    korvane::cli::PrintBashCompletion(std::cout);
    return 0;
  }
  if (const Runner run = RunnerOf(name)) {
    // "COMMAND --help" (anywhere among its arguments) shows the command's
    // page and runs nothing.
    if (std::any_of(arguments.begin() + 1, arguments.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
      korvane::cli::PrintCommandHelp(std::cout, name);
      return 0;
    }
    const korvane::cli::Args args(arguments.begin() + 1, arguments.end());
    try {
      return run(args, std::cout, std::cerr);
    } catch (const korvane::cli::UsageError& error) {
      std::cerr << "korvane-cli " << name << ": " << error.what() << "\n";
      return 2;
    } catch (const korvane::KorvaneError& error) {
      std::cerr << error.what() << "\n";
      return 1;
    } catch (const std::exception& error) {
      std::cerr << "korvane-cli " << name << ": " << error.what() << "\n";
      return 1;
    }
  }
  std::cerr << "korvane-cli: unknown command '" << name << "' (try --help)\n";
  return 2;
}
