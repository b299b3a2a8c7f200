// korvane-cli evaluate FILE [--standard S] [--json]: opens a data file,
// optionally switches the standard, recomputes everything and prints the
// zone, member and batch results (or the whole document as JSON).
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "core/algorithm/member_evaluation.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"

namespace korvane::cli {
namespace {

std::string Fixed(float value, int width, int precision) { return FormatFixed(value, width, precision); }

// Pads a UTF-8 text to `width` display columns (CJK characters count 2).
std::string PadRight(const std::string& text, int width) {
  int columns = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;
    columns += c >= 0xE0 ? 2 : 1;
  }
  return text + std::string(static_cast<std::size_t>(std::max(0, width - columns)), ' ');
}

// Multi-line result texts (the batch notice) on one line.
std::string OneLine(std::string text) {
  for (std::size_t pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", pos)) {
    text.replace(pos, 2, " ");
  }
  return text;
}

void PrintTable(const CKorvaneDoc& doc, std::ostream& out) {
  out << "standard: " << StandardDisplayName(doc.standard) << "\n";
  for (std::size_t i = 0; i < doc.members.size(); ++i) {
    const Member& m = doc.members[i];
    out << "\nmember " << i << ": " << m.name << "\n";
    out << "  zone  location        R    dRa    dRs      V      Va   fcu,i\n";
    if (i < doc.zoneLists.size()) {
      for (const TestZone& zone : doc.zoneLists[i]) {
        out << "  " << FormatInt(zone.zoneNumber, 4) << "  " << PadRight(zone.testLocation, 10)
            << Fixed(zone.reboundValue, 6, 1) << Fixed(zone.angleCorrection, 7, 1)
            << Fixed(zone.surfaceCorrection, 7, 1) << Fixed(zone.zoneVelocity, 7, 3)
            << Fixed(zone.correctedVelocity, 8, 3) << Fixed(zone.strengthValue, 8, 1) << "\n";
      }
    }
    out << "  min " << FormatFixed(m.minStrength, 0, 1) << "  mean " << FormatFixed(m.meanStrength, 0, 1)
        << "  sd " << FormatFixed(m.stdDevStrength, 0, 2) << "  fcu,e "
        << ResultText(m.resultFlag, m.estimatedStrength, false, doc.standard) << " (flag "
        << static_cast<int>(m.resultFlag) << ")\n";
  }
  out << "\nbatch: mean " << FormatFixed(doc.result.meanValue, 0, 1) << "  sd "
      << FormatFixed(doc.result.stdDev, 0, 2) << "  fcu,e "
      << OneLine(ResultText(doc.batchResultFlag, doc.result.fcue, true, doc.standard)) << " (flag "
      << static_cast<int>(doc.batchResultFlag) << ")\n";
}

}  // namespace

int RunEvaluate(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--standard"}, {"--json"});
  if (parsed.positional.size() != 1)
    throw UsageError("expected one file: evaluate FILE [--standard S] [--json]");
  std::optional<Standard> standard;
  if (parsed.Has("--standard")) standard = ParseStandardArg(parsed.Value("--standard"));
  const auto doc = OpenDocument(parsed.positional.front(), err,
                                // The JSON holds the amplitude readings, which need the samples.
                                parsed.Has("--json") ? WaveformReading::Samples : WaveformReading::SizeOnly);
  if (standard) doc->SetStandard(*standard);
  doc->RecomputeAll();
  if (parsed.Has("--json")) {
    out << DocumentJson(*doc);
  } else {
    PrintTable(*doc, out);
  }
  return 0;
}

}  // namespace korvane::cli
