// korvane-cli merge OUT.SHA IN... [--accept-recompute]: merges raw or
// result files into one result file (every input taken, in order). Refuses
// an OUT whose waveform file belongs to another data file, and files of
// another standard than the first or with other correction tables than the
// merged file's (their strengths would change) unless --accept-recompute is
// given; the members whose estimates change are listed, before and after.
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/app/merge_output.h"
#include "core/data/file_pair.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"

namespace korvane::cli {

int RunMerge(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {"--accept-recompute"});
  if (parsed.positional.size() < 2) throw UsageError("expected: merge OUT.SHA IN...");
  const std::filesystem::path output = PathFromUtf8(parsed.positional.front());
  if (KindOfPath(output) != FileKind::Result) throw UsageError("the merged file must be a .SHA file");
  if (const auto other = OtherTextSharingWaveform(output); !other.empty()) {
    throw KorvaneError(SharedWaveformMessage(output, other));
  }
  std::vector<std::filesystem::path> inputs;
  for (auto it = parsed.positional.begin() + 1; it != parsed.positional.end(); ++it)
    inputs.push_back(PathFromUtf8(*it));
  const MergedData data =
      ReadMergeInputs(inputs, [&err](std::string_view message) { err << message << "\n"; });
  // A file of another standard or with other correction tables would be
  // recomputed: only when asked for, and saying what changes.
  const MergeCheck check = CheckMerge(inputs, data);
  if (!check.empty()) {
    err << MergeChangeText(check) << "\n";
    if (!parsed.Has("--accept-recompute")) {
      throw KorvaneError("未合并：加 --accept-recompute 按上述方式重新计算并合并");
    }
  }
  WriteMergedFile(data, output);
  out << "merged " << inputs.size() << " files, " << data.memberCount << " members into "
      << PathToUtf8(output) << "\n";
  return 0;
}

}  // namespace korvane::cli
