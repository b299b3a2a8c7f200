// korvane-cli generate DIR [size options]: writes the project's example
// data files, or one result file of the size asked for.
#include <ostream>
#include <set>
#include <string>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/app/example_files.h"
#include "core/data/file_pair.h"
#include "core/platform/path_text.h"

namespace korvane::cli {

int RunGenerate(const Args& args, std::ostream& out, std::ostream&) {
  const std::set<std::string> sizeOptions = {"--members",  "--zones", "--points", "--samples",
                                             "--standard", "--seed",  "--name"};
  const ParsedArgs parsed = ParseArgs(args, sizeOptions, {});
  if (parsed.positional.size() != 1) throw UsageError("expected one folder: generate DIR [options]");
  const std::filesystem::path dir = PathFromUtf8(parsed.positional.front());
  if (parsed.values.empty()) {
    for (const std::string& name : WriteExampleFiles(dir))
      out << PathToUtf8(dir / PathFromUtf8(name)) << "\n";
    return 0;
  }
  GeneratedFilePlan plan;
  const auto number = [&](const char* option, int fallback) {
    return parsed.Has(option) ? ParseIntArg(parsed.Value(option), option) : fallback;
  };
  plan.members = number("--members", plan.members);
  plan.zones = number("--zones", plan.zones);
  plan.points = number("--points", plan.points);
  plan.samples = number("--samples", plan.samples);
  if (parsed.Has("--standard")) plan.standard = ParseStandardArg(parsed.Value("--standard"));
  if (parsed.Has("--seed")) {
    const int seed = ParseIntArg(parsed.Value("--seed"), "--seed");
    if (seed < 0) throw UsageError("--seed " + std::to_string(seed) + ": must be 0 or more");
    plan.seed = static_cast<std::uint64_t>(seed);
  }
  if (const std::string problem = GeneratedPlanProblem(plan); !problem.empty()) throw UsageError(problem);
  std::string name = parsed.Value("--name", "generated.SHA");
  if (KindOfPath(PathFromUtf8(name)) != FileKind::Result) name += ".SHA";
  WriteGeneratedFile(dir, name, plan);
  out << PathToUtf8(dir / PathFromUtf8(name)) << "\n";
  return 0;
}

}  // namespace korvane::cli
