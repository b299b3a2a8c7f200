// The analysis form ("分析输出信息栏"): which of its fields the user may
// change, what its fields show, the texts of its two result panes ("单": the
// current member, "多": the batch) and the rule of the "多" tab. The widget
// shows these and sends every change through the editing layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/document_edits.h"

namespace korvane {

class CKorvaneDoc;

// Shown when "多" is chosen in a file of one member (the tab returns to "单").
inline constexpr std::string_view kMsgSingleMemberFile = "当前文件只有一个构件！";

// Aggregate list entries; entry i is aggregate code i.
inline constexpr std::string_view kAggregateEntries[] = {"自定义", "卵石", "碎石"};

// Which fields accept input, for the document's standard and the current
// member's aggregate:
//   a, b, c: custom aggregate (0) only;
//   d: custom aggregate and a standard with the carbonation term;
//   η: standards without the additive correction; Δtot: those with it;
//   "泵送": every standard but CECS 02:2005;
//   batch pane: a file of at least two members.
// Everything is disabled while no file is open.
struct AnalysisFormEnabling {
  bool coefA = false;
  bool coefB = false;
  bool coefC = false;
  bool coefD = false;
  bool eta = false;
  bool deltaTot = false;
  bool pumped = false;
  bool batchPane = false;
  friend bool operator==(const AnalysisFormEnabling&, const AnalysisFormEnabling&) = default;
};
AnalysisFormEnabling AnalysisFormEnablingOf(const CKorvaneDoc& doc);

// The aggregate entry shown for a stored aggregate (entry i is the code i):
// Custom, Pebble and CrushedStone as they are, any other value (Unset
// included) as "碎石".
int ShownAggregate(Aggregate aggregateType);

// What the form's fields show after a refresh (UTF-8).
struct AnalysisFormFields {
  int standard = 0;      // entry of "规范选择"
  int aggregate = 2;     // entry of "粗骨料"
  std::string coefA;     // "%.4f"
  std::string coefB;     // "%.3f"
  std::string coefC;     // "%.3f"
  std::string coefD;     // "%.4f"
  std::string eta;       // "%.2f" of the project's η
  std::string deltaTot;  // "%.2f" of the project's Δtot (MPa)
  bool pumped = false;
  int member = -1;  // entry of "构件名称" (the current member)
  std::vector<std::string> memberNames;
};
AnalysisFormFields AnalysisFormFieldsOf(const CKorvaneDoc& doc);

// Text a coefficient field shows after Enter: a "%.3f", b and c "%.2f",
// d "%.4f" (a refresh shows a with four and b, c with three decimals).
std::string CoefficientEnteredText(Coefficient which, float value);
// Text of η or Δtot after Enter ("%.2f").
std::string CorrectionEnteredText(float value);

// The single-member pane ("单") of member `member`: "N" the zones ("%d"),
// "Fmin(MPa)", "Fmax(MPa)", "Mf(MPa)" ("%.1f"), "Sf(MPa)" ("%.2f") and
// "Fcu(MPa)" (the estimate by its result flag). Empty texts for a member that
// does not exist.
struct MemberPaneTexts {
  std::string zones;
  std::string minimum;
  std::string maximum;
  std::string mean;
  std::string stdDev;
  std::string estimate;
  friend bool operator==(const MemberPaneTexts&, const MemberPaneTexts&) = default;
};
MemberPaneTexts MemberPaneTextsOf(const CKorvaneDoc& doc, int member);

// The batch pane ("多"): "强度换算平均值" ("%.1f"), "强度换算标准差" ("%.2f"),
// "强度推定值" (by the batch flag; the batch notice for flag 2), and "N", the
// zones of every member whose strengths the figures are over ("%d"). Empty
// texts while no file is open.
struct BatchPaneTexts {
  std::string mean;
  std::string stdDev;
  std::string estimate;
  std::string zones;
  friend bool operator==(const BatchPaneTexts&, const BatchPaneTexts&) = default;
};
BatchPaneTexts BatchPaneTextsOf(const CKorvaneDoc& doc);

// Choosing the tab "多": shown when the file has two members or more, with
// the batch notice as message when the batch is invalid (its N, mean and
// standard deviation are shown with it); for one member the message
// "当前文件只有一个构件！" and "单" stays.
struct BatchTabChoice {
  bool show = false;
  std::string message;
};
BatchTabChoice ChooseBatchTab(const CKorvaneDoc& doc);

// Whether a switch of standard changes the reading count of the rebound
// table (ten or sixteen readings), so that the table is built anew.
bool ReadingCountChanges(Standard oldStandard, Standard newStandard);

}  // namespace korvane
