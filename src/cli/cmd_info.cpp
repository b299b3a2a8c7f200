// korvane-cli info FILE: a short summary of a data file.
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "core/data/text_format.h"
#include "core/standards/standards.h"

namespace korvane::cli {

int RunInfo(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.positional.size() != 1) throw UsageError("expected one file: info FILE");
  const auto doc = OpenDocument(parsed.positional.front(), err, WaveformReading::SizeOnly);
  const ProjectInfo& p = doc->project;
  out << "file:        " << doc->pathName << "\n";
  out << "site:        " << p.site << "\n";
  out << "unit:        " << p.unit << "\n";
  out << "person:      " << p.person << "\n";
  out << "test date:   " << p.testDate << "\n";
  out << "instrument:  " << p.instrument << "\n";
  out << "standard:    " << StandardDisplayName(doc->standard) << " (" << p.standardName << ")\n";
  out << "test method: " << TestMethodName(p.testMethod) << "\n";
  int zones = 0;
  for (const auto& list : doc->zoneLists) zones += static_cast<int>(list.size());
  out << "points/zone: " << ExistingPointsPerZone(doc->zoneLists) << "\n";
  out << "members:     " << doc->memberCount << " (" << zones << " zones)\n";
  for (std::size_t i = 0; i < doc->members.size(); ++i) {
    const Member& m = doc->members[i];
    out << "  " << i << "  " << m.name << "  zones " << doc->ZoneCount(static_cast<int>(i)) << ", samples "
        << m.sampleCount << ", dT " << FormatFixed(m.sampleInterval, 0, 2) << " us\n";
  }
  return 0;
}

}  // namespace korvane::cli
