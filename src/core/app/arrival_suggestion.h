// "自动判读首波": the suggested first arrivals of one zone, or of every zone
// of a member ("全部测区"), what of them is applied, and the texts that ask
// the user and list what is left out.
//
// Rule: a proposal is applied when its confidence is not low and it moves
// the stored arrival; a proposal of low confidence (no onset stands out of
// the noise, see arrival_picker.h) is never applied, in either command, and
// is listed instead: applied blindly it would put an arrival where there is
// no pulse. Nothing here changes the document; SetArrivals (document_edits.h)
// applies `changes` as one edit.
#pragma once

#include <string>
#include <vector>

#include "core/app/document_edits.h"
#include "core/wave/arrival_picker.h"

namespace korvane {

class CKorvaneDoc;

struct ArrivalSuggestion {
  int member = -1;
  int zone = -1;  // -1: every zone of the member
  // Every point's proposal, zone by zone, slot by slot.
  std::vector<PointArrivalProposal> proposals;
  // Confident proposals that move a stored arrival: what "是" applies.
  std::vector<ArrivalChange> changes;
  // Proposals of low confidence: listed, not applied.
  std::vector<PointArrivalProposal> lowConfidence;
  // Confident proposals equal to the stored arrival.
  int unchanged = 0;
};

// The suggestion for zone `zone` of member `member` (zone -1: every zone of
// the member). A member or zone that does not exist gives an empty
// suggestion (no proposals).
ArrivalSuggestion SuggestArrivals(const CKorvaneDoc& doc, int member, int zone);

// The proposed sample of point slot `slot` of a zone, or -1 when the
// suggestion holds no proposal for it.
int ProposedArrival(const ArrivalSuggestion& suggestion, int member, int zone, int slot);

// What the command shows: a question when there is something to apply
// (`ask`; "是" applies `changes`), else a message. The text names the member
// and zone, lists each point's change for one zone (sample and T in us) or
// counts them for every zone, and lists the points of low confidence
// ("测区2测点3", zone and point numbered from 1).
struct SuggestionPrompt {
  bool ask = false;
  std::string text;
};
SuggestionPrompt SuggestionPromptOf(const CKorvaneDoc& doc, const ArrivalSuggestion& suggestion);

// "请先打开文件!" while no file is open, or "当前构件没有测区" when the
// current member has no zone to suggest for; empty when the command can run.
std::string SuggestionCommandRefusal(const CKorvaneDoc& doc);

}  // namespace korvane
