// korvane-cli: command-line calculator, evaluation, conversion, merge,
// waveforms, suggested first arrivals, reports and exports.
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "core/platform/error.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const korvane::cli::Args&, std::ostream&, std::ostream&);
  const char* usage;
  bool inThisBuild = true;
};

const Command kCommands[] = {
    {"zone", korvane::cli::RunZone,
     "zone --standard S --readings r1,...,r16 --distances L1,...,Ln --times T1,...,Tn [options]"},
    {"estimate", korvane::cli::RunEstimate, "estimate --standard S --member v1,v2,... [--member ...]"},
    {"info", korvane::cli::RunInfo, "info FILE"},
    {"evaluate", korvane::cli::RunEvaluate, "evaluate FILE [--standard S] [--json]"},
    {"convert", korvane::cli::RunConvert, "convert IN OUT"},
    {"merge", korvane::cli::RunMerge, "merge OUT.SHA IN..."},
    {"generate", korvane::cli::RunGenerate, "generate DIR  (writes the example files)"},
    {"waveform", korvane::cli::RunWaveform,
     "waveform FILE --member M --zone Z [--highpass KHZ] [--lowpass KHZ] [--csv]"},
    {"pick", korvane::cli::RunPick, "pick FILE [--member M] [--zone Z] [--json]  (suggested first arrivals)"},
    {"report", korvane::cli::RunReport,
     "report FILE [--record-sheet] [--result-table] [--pdf OUT.pdf] [--png DIR] [--bmp DIR] "
     "[--printer [NAME]] [--no-member-estimates]",
     korvane::cli::kHasRenderer},
    {"export", korvane::cli::RunExport,
     "export FILE [--docx OUT.docx] [--xlsx OUT.xlsx] [--raw-xlsx OUT.xlsx] [--record-sheet] "
     "[--result-table] [--no-member-estimates]",
     korvane::cli::kHasOffice},
};

void PrintUsage(std::ostream& out) {
  out << "usage: korvane-cli COMMAND [ARGS]\n\ncommands:\n";
  for (const Command& command : kCommands) {
    out << "  " << command.usage << (command.inThisBuild ? "" : "  (not in this build)") << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  korvane::cli::PrepareStandardStreams();
  const std::vector<std::string> arguments = korvane::cli::Utf8Arguments(argc, argv);
  if (arguments.empty()) {
    std::cerr << "korvane-cli: missing command (try --help)\n";
    return 2;
  }
  const std::string& name = arguments.front();
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(std::cout);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    const korvane::cli::Args args(arguments.begin() + 1, arguments.end());
    try {
      return command.run(args, std::cout, std::cerr);
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
