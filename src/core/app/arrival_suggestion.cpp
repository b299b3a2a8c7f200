#include "core/app/arrival_suggestion.h"

#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"

namespace korvane {

namespace {

constexpr std::string_view kMsgNoZones = "当前构件没有测区";

std::string Number(int n) { return std::to_string(n); }

// "测区2测点3" (1-based).
std::string PointName(const PointArrivalProposal& p) {
  return "测区" + Number(p.zone + 1) + "测点" + Number(p.slot + 1);
}

// Head line: "构件“柱1”测区2" or "构件“柱1”全部测区（5个测区）".
std::string Place(const CKorvaneDoc& doc, const ArrivalSuggestion& s) {
  std::string text = "构件“" + doc.members[static_cast<std::size_t>(s.member)].name + "”";
  if (s.zone >= 0) return text + "测区" + Number(s.zone + 1);
  return text + "全部测区（" + Number(doc.ZoneCount(s.member)) + "个测区）";
}

bool Applies(const ArrivalSuggestion& s, const PointArrivalProposal& p) {
  for (const ArrivalChange& c : s.changes) {
    if (c.zone == p.zone && c.point == p.slot) return true;
  }
  return false;
}

}  // namespace

ArrivalSuggestion SuggestArrivals(const CKorvaneDoc& doc, int member, int zone) {
  ArrivalSuggestion s;
  s.member = member;
  s.zone = zone;
  if (!doc.HasFile() || member < 0 || static_cast<std::size_t>(member) >= doc.members.size() ||
      static_cast<std::size_t>(member) >= doc.zoneLists.size()) {
    return s;
  }
  if (zone >= 0) {
    if (const TestZone* z = doc.Zone(member, zone)) s.proposals = ProposeZoneArrivals(*z, member, zone);
  } else {
    s.proposals = ProposeMemberArrivals(doc.zoneLists[static_cast<std::size_t>(member)], member);
  }
  for (const PointArrivalProposal& p : s.proposals) {
    if (p.proposal.lowConfidence) {
      s.lowConfidence.push_back(p);
    } else if (p.proposal.sample == p.storedArrival) {
      ++s.unchanged;
    } else {
      s.changes.push_back({p.zone, p.slot, p.proposal.sample});
    }
  }
  return s;
}

int ProposedArrival(const ArrivalSuggestion& suggestion, int member, int zone, int slot) {
  if (suggestion.member != member) return -1;
  for (const PointArrivalProposal& p : suggestion.proposals) {
    if (p.zone == zone && p.slot == slot) return p.proposal.sample;
  }
  return -1;
}

SuggestionPrompt SuggestionPromptOf(const CKorvaneDoc& doc, const ArrivalSuggestion& s) {
  SuggestionPrompt prompt;
  if (s.member < 0 || static_cast<std::size_t>(s.member) >= doc.members.size() || s.proposals.empty()) {
    prompt.text = std::string(kMsgNoZones);
    return prompt;
  }
  prompt.ask = !s.changes.empty();
  std::string& t = prompt.text;
  t = Place(doc, s) + "的建议首波：\n";
  if (s.zone >= 0) {
    // One line per point: the change, or why it stays.
    for (const PointArrivalProposal& p : s.proposals) {
      t += "测点" + Number(p.slot + 1) + "：";
      if (p.proposal.lowConfidence) {
        t += "置信度低，不修改";
      } else if (!Applies(s, p)) {
        t += "不变（" + Number(p.storedArrival) + "，T " + FormatFixed(p.storedTime, 2) + " us）";
      } else {
        t += Number(p.storedArrival) + " → " + Number(p.proposal.sample) + "（T " +
             FormatFixed(p.storedTime, 2) + " → " + FormatFixed(p.proposal.time, 2) + " us）";
      }
      t += "\n";
    }
  } else {
    t += "修改" + Number(static_cast<int>(s.changes.size())) + "个测点的首波，" + Number(s.unchanged) +
         "个测点不变。\n";
    if (!s.lowConfidence.empty()) {
      t += "置信度低，不修改（" + Number(static_cast<int>(s.lowConfidence.size())) + "个测点）：";
      for (std::size_t i = 0; i < s.lowConfidence.size(); ++i) {
        if (i > 0) t += "、";
        t += PointName(s.lowConfidence[i]);
      }
      t += "\n";
    }
  }
  t += prompt.ask ? "是否应用建议的首波？" : "没有需要修改的首波。";
  return prompt;
}

std::string SuggestionCommandRefusal(const CKorvaneDoc& doc) {
  if (!doc.HasFile()) return std::string(kMsgOpenFileFirst);
  if (doc.ZoneCount(doc.currentMember) == 0) return std::string(kMsgNoZones);
  return {};
}

}  // namespace korvane
