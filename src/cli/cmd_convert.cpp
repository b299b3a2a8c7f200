// Placeholder until the command is built.
#include <ostream>

#include "cli/commands.h"

namespace korvane::cli {

int RunConvert(const Args&, std::ostream&, std::ostream& err) {
  err << "korvane-cli convert: not available yet\n";
  return 1;
}

}  // namespace korvane::cli
