// korvane-cli pick FILE [--member M] [--zone Z] [--json]
//
// Opens FILE and prints, for every point of every zone (of member M only, of
// zone Z of member M only), the stored first arrival, the suggested one and
// the suggestion's confidence. Member and zone are 0-based indices; --zone
// needs --member. Nothing is changed or written.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/data/text_format.h"
#include "core/wave/arrival_picker.h"

namespace korvane::cli {
namespace {

const char* StatusName(ArrivalPickStatus status) {
  switch (status) {
    case ArrivalPickStatus::kClear: return "clear";
    case ArrivalPickStatus::kWeak: return "weak";
    case ArrivalPickStatus::kNoSignal: return "no-signal";
    case ArrivalPickStatus::kTooShort: return "too-short";
  }
  return "weak";
}

struct MemberProposals {
  int member = 0;
  std::vector<PointArrivalProposal> points;
};

void WriteJson(const CKorvaneDoc& doc, const std::vector<MemberProposals>& members, std::ostream& out) {
  JsonWriter json;
  json.BeginObject();
  json.Field("file", doc.pathName);
  json.Key("members").BeginArray();
  for (const MemberProposals& m : members) {
    json.BeginObject();
    json.Field("memberIndex", m.member);
    json.Field("name", doc.members[static_cast<std::size_t>(m.member)].name);
    json.Key("zones").BeginArray();
    for (std::size_t i = 0; i < m.points.size();) {
      const int zoneIndex = m.points[i].zone;
      json.BeginObject();
      json.Field("zoneIndex", zoneIndex);
      json.Field("zoneNumber", doc.Zone(m.member, zoneIndex)->zoneNumber);
      json.Key("points").BeginArray();
      for (; i < m.points.size() && m.points[i].zone == zoneIndex; ++i) {
        const PointArrivalProposal& p = m.points[i];
        json.BeginObject();
        json.Field("slot", p.slot);
        json.Field("pointIndex", p.pointIndex);
        json.Field("storedArrival", p.storedArrival);
        json.Field("storedTime", p.storedTime);
        json.Field("proposedArrival", p.proposal.sample);
        json.Field("proposedTime", p.proposal.time);
        json.Field("confidence", p.proposal.confidence);
        json.Field("lowConfidence", p.proposal.lowConfidence);
        json.Field("status", StatusName(p.proposal.status));
        json.Field("snrDb", p.proposal.snrDb);
        json.Field("noiseRms", p.proposal.noiseRms);
        json.EndObject();
      }
      json.EndArray();
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  out << json.str() << "\n";
}

void WriteTable(const CKorvaneDoc& doc, const std::vector<MemberProposals>& members, std::ostream& out) {
  for (const MemberProposals& m : members) {
    out << "member " << m.member << ": " << doc.members[static_cast<std::size_t>(m.member)].name << "\n";
    out << "  zone  point  stored   T(us)  proposed   T(us)  change  confidence\n";
    for (const PointArrivalProposal& p : m.points) {
      out << "  " << FormatInt(p.zone, 4) << "  " << FormatInt(p.slot, 5) << "  "
          << FormatInt(p.storedArrival, 6) << FormatFixed(p.storedTime, 8, 2) << "  "
          << FormatInt(p.proposal.sample, 8) << FormatFixed(p.proposal.time, 8, 2) << "  "
          << FormatInt(p.proposal.sample - p.storedArrival, 6) << "  "
          << FormatFixed(p.proposal.confidence, 10, 2);
      if (p.proposal.lowConfidence) out << "  low (" << StatusName(p.proposal.status) << ")";
      out << "\n";
    }
  }
}

}  // namespace

int RunPick(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--member", "--zone"}, {"--json"});
  if (parsed.positional.size() != 1) {
    throw UsageError("expected one file: pick FILE [--member M] [--zone Z] [--json]");
  }
  int member = -1;
  int zone = -1;
  if (parsed.Has("--member")) member = ParseIntArg(parsed.Value("--member"), "--member");
  if (parsed.Has("--zone")) {
    if (!parsed.Has("--member")) throw UsageError("--zone needs --member");
    zone = ParseIntArg(parsed.Value("--zone"), "--zone");
  }

  const auto doc = OpenDocument(parsed.positional.front(), err);
  const int memberCount = std::min(doc->memberCount, static_cast<int>(doc->members.size()));
  if (member >= memberCount || (parsed.Has("--member") && member < 0)) {
    throw UsageError("--member " + std::to_string(member) + ": out of range (the file has " +
                     std::to_string(memberCount) + " members)");
  }
  if (parsed.Has("--zone") && (zone < 0 || doc->Zone(member, zone) == nullptr)) {
    throw UsageError("--zone " + std::to_string(zone) + ": out of range (member " + std::to_string(member) +
                     " has " + std::to_string(doc->ZoneCount(member)) + " zones)");
  }

  std::vector<MemberProposals> members;
  for (int m = 0; m < memberCount; ++m) {
    if (member >= 0 && m != member) continue;
    if (static_cast<std::size_t>(m) >= doc->zoneLists.size()) continue;
    MemberProposals proposals;
    proposals.member = m;
    if (zone >= 0) {
      proposals.points = ProposeZoneArrivals(*doc->Zone(m, zone), m, zone);
    } else {
      proposals.points = ProposeMemberArrivals(doc->zoneLists[static_cast<std::size_t>(m)], m);
    }
    members.push_back(std::move(proposals));
  }

  if (parsed.Has("--json")) {
    WriteJson(*doc, members, out);
  } else {
    WriteTable(*doc, members, out);
  }
  return 0;
}

}  // namespace korvane::cli
