// korvane-cli convert IN OUT: opens IN and saves it to OUT by OUT's type
// (".SHA" result file after a full recomputation, ".SHT" raw file). Refuses
// an OUT whose waveform file belongs to another data file (x.SHT and x.SHA
// share x.SHD).
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "core/data/file_pair.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"

namespace korvane::cli {

int RunConvert(const Args& args, std::ostream&, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.positional.size() != 2) throw UsageError("expected two files: convert IN OUT");
  const std::filesystem::path output = PathFromUtf8(parsed.positional[1]);
  if (const auto other = OtherTextSharingWaveform(output); !other.empty()) {
    throw KorvaneError(SharedWaveformMessage(output, other));
  }
  const auto doc = OpenDocument(parsed.positional[0], err);
  doc->OnSaveDocument(output);
  return 0;
}

}  // namespace korvane::cli
