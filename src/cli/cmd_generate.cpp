// korvane-cli generate DIR: writes the project's example data files.
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/app/example_files.h"
#include "core/platform/path_text.h"

namespace korvane::cli {

int RunGenerate(const Args& args, std::ostream& out, std::ostream&) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.positional.size() != 1) throw UsageError("expected one folder: generate DIR");
  const std::filesystem::path dir = PathFromUtf8(parsed.positional.front());
  for (const std::string& name : WriteExampleFiles(dir)) out << PathToUtf8(dir / PathFromUtf8(name)) << "\n";
  return 0;
}

}  // namespace korvane::cli
