// korvane-cli estimate: member and batch estimates from zone strength values.
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/algorithm/member_evaluation.h"
#include "core/app/korvane_doc.h"

namespace korvane::cli {

int RunEstimate(const Args& args, std::ostream& out, std::ostream&) {
  const ParsedArgs parsed = ParseArgs(args, {"--standard", "--member"}, {});
  if (!parsed.positional.empty()) throw UsageError("unexpected argument '" + parsed.positional.front() + "'");
  if (!parsed.Has("--standard")) throw UsageError("--standard is required");
  const Standard standard = ParseStandardArg(parsed.Value("--standard"));
  const std::vector<std::string> memberTexts = parsed.All("--member");
  if (memberTexts.empty()) throw UsageError("--member: at least one member is required");

  // An in-memory document whose members hold only zone strength values.
  CKorvaneDoc doc;
  doc.SetStandard(standard);
  for (const std::string& text : memberTexts) {
    const std::vector<float> values = ParseFloatListArg(text, "--member");
    Member member = NewMember();
    member.aggregateType = Aggregate::CrushedStone;
    doc.members.push_back(member);
    ZoneList& zones = doc.zoneLists.emplace_back();
    for (float value : values) zones.emplace_back().strengthValue = value;
  }
  doc.memberCount = static_cast<int>(doc.members.size());
  for (int m = 0; m < doc.memberCount; ++m) doc.EvaluateMember(m);
  doc.EvaluateBatch();

  JsonWriter json;
  json.BeginObject();
  json.Key("members").BeginArray();
  for (int m = 0; m < doc.memberCount; ++m) {
    const Member& member = doc.members[static_cast<std::size_t>(m)];
    json.BeginObject();
    json.Field("zoneCount", doc.ZoneCount(m));
    json.Field("minStrength", member.minStrength);
    json.Field("maxStrength", member.maxStrength);
    json.Field("meanStrength", member.meanStrength);
    json.Field("stdDevStrength", member.stdDevStrength);
    json.Field("estimatedStrength", member.estimatedStrength);
    json.Field("resultFlag", member.resultFlag);
    json.Field("resultText", ResultText(member.resultFlag, member.estimatedStrength, false, standard));
    json.EndObject();
  }
  json.EndArray();
  json.Key("batch").BeginObject();
  json.Field("meanValue", doc.result.meanValue);
  json.Field("stdDev", doc.result.stdDev);
  json.Field("fcue", doc.result.fcue);
  json.Field("batchResultFlag", doc.batchResultFlag);
  json.Field("resultText", ResultText(doc.batchResultFlag, doc.result.fcue, true, standard));
  json.EndObject();
  json.EndObject();
  out << json.str();
  return 0;
}

}  // namespace korvane::cli
