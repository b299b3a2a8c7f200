// korvane-cli generate DIR: writes the project's example data files.
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/app/example_files.h"

namespace korvane::cli {

int RunGenerate(const Args& args, std::ostream& out, std::ostream&) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.positional.size() != 1) throw UsageError("expected one folder: generate DIR");
  const std::filesystem::path dir = parsed.positional.front();
  for (const std::string& name : WriteExampleFiles(dir)) out << (dir / name).string() << "\n";
  return 0;
}

}  // namespace korvane::cli
