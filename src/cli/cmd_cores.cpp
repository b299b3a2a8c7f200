// korvane-cli cores FILE --core M:Z=F [--core ...] [--json] [--apply OUT.SHA]:
// the core correction of a data file from the strengths F (MPa) of cores
// drilled from zone Z of member M (both from 1): η for the standards that
// correct by a factor, Δtot for the additive ones, with each core's fcu,i,
// ratio or difference. Without --core the cores kept with the file are
// used. --apply writes the file with the value (rounded to 0.01) in every
// zone and the cores kept, recomputed.
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/algorithm/core_correction.h"
#include "core/app/document_edits.h"
#include "core/data/file_pair.h"
#include "core/data/text_format.h"
#include "core/forms/core_correction_model.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"

namespace korvane::cli {
namespace {

// "M:Z=F" with M and Z from 1.
CoreSample ParseCoreArg(const std::string& text) {
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon == std::string::npos || equals == std::string::npos || equals < colon) {
    throw UsageError("--core expects M:Z=F (member and zone from 1, core strength in MPa): " + text);
  }
  const int member = ParseIntArg(text.substr(0, colon), "--core");
  const int zone = ParseIntArg(text.substr(colon + 1, equals - colon - 1), "--core");
  const float strength = ParseFloatArg(text.substr(equals + 1), "--core");
  if (member < 1 || zone < 1) throw UsageError("--core: member and zone count from 1: " + text);
  return {member - 1, zone - 1, strength};
}

std::string CoresJson(const CoreCorrection& c) {
  JsonWriter json;
  json.BeginObject();
  json.Field("method", CoreMethodKey(c.method));
  json.Field(CoreMethodKey(c.method), c.applied);
  json.Field("derived", c.derived);
  json.Field("n", c.n());
  json.Key("cores").BeginArray();
  for (const CoreLine& line : c.lines) {
    json.BeginObject()
        .Field("member", line.core.member + 1)
        .Field("zone", line.core.zone + 1)
        .Field("fcu", line.conversion)
        .Field("fcor", line.core.strength)
        .Field(c.method == CoreMethod::Eta ? "ratio" : "difference", line.ratio)
        .EndObject();
  }
  json.EndArray();
  if (!c.warning.empty()) json.Field("warning", c.warning);
  json.EndObject();
  return json.str() + "\n";
}

}  // namespace

int RunCores(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--core", "--apply"}, {"--json"});
  if (parsed.positional.size() != 1) throw UsageError("expected one data file: cores FILE --core M:Z=F ...");
  std::vector<CoreSample> cores;
  for (const std::string& text : parsed.All("--core")) cores.push_back(ParseCoreArg(text));
  std::filesystem::path output;
  if (parsed.Has("--apply")) {
    output = PathFromUtf8(parsed.Value("--apply"));
    if (const auto other = OtherTextSharingWaveform(output); !other.empty()) {
      throw KorvaneError(SharedWaveformMessage(output, other));
    }
  }
  const auto doc = OpenDocument(parsed.positional.front(), err,
                                output.empty() ? WaveformReading::SizeOnly : WaveformReading::Samples);
  doc->RecomputeAll();
  if (cores.empty()) cores = doc->cores;
  if (cores.empty()) throw UsageError("no cores: give --core M:Z=F (the file keeps none)");
  const CoreCorrection correction = DeriveCoreCorrection(doc->algorithm, doc->members, doc->zoneLists, cores);
  if (!correction.problem.empty()) throw KorvaneError(correction.problem);
  if (parsed.Has("--json")) {
    if (!correction.warning.empty()) err << correction.warning << "\n";
    out << CoresJson(correction);
  } else {
    const bool eta = correction.method == CoreMethod::Eta;
    out << "member  zone   fcu,i    fcor  " << (eta ? "fcor/fcu,i" : "fcor-fcu,i") << "\n";
    for (const CoreLine& line : correction.lines) {
      out << FormatInt(line.core.member + 1, 6) << FormatInt(line.core.zone + 1, 6)
          << FormatFixed(line.conversion, 8, 1) << FormatFixed(line.core.strength, 8, 1)
          << FormatFixed(line.ratio, 12, eta ? 3 : 1) << "\n";
    }
    out << CoreFormulaText(correction) << "\n";
  }
  if (!output.empty()) {
    const EditResult applied = ApplyCoreCorrection(*doc, cores);
    if (applied.refused) throw KorvaneError(applied.message);
    doc->OnSaveDocument(output);
    if (!parsed.Has("--json")) out << "wrote " << PathToUtf8(output) << "\n";
  }
  return 0;
}

}  // namespace korvane::cli
