// "自动判读首波": which proposals are applied (confident ones that move the
// stored arrival), which are listed (low confidence), and the exact texts
// the commands show, for one zone and for every zone of a member.
#include "core/app/arrival_suggestion.h"

#include <gtest/gtest.h>

#include "core/app/korvane_doc.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

// MakeEditingDoc: every point holds the test waveform, whose proposal is
// sample 60 (T 30.00 us); stored arrivals are 60 + 2 z + j. A flat trace
// has no onset: a proposal of low confidence.
std::unique_ptr<CKorvaneDoc> DocWithFlatPoints() {
  auto doc = MakeEditingDoc();
  for (const ZoneRef at : {ZoneRef{0, 0}, ZoneRef{0, 2}}) {
    const int slot = at.zone == 0 ? 2 : 0;
    MeasuringPoint& point = *doc->Zone(at.member, at.zone)->points[static_cast<std::size_t>(slot)];
    point.samples = SampleBuffer(std::vector<std::uint16_t>(512, 2048));
    if (!point.unfilteredSamples.empty()) point.unfilteredSamples = point.samples;
  }
  return doc;
}

TEST(ArrivalSuggestion, OneZoneAppliesConfidentChangesAndSaysWhy) {
  auto doc = DocWithFlatPoints();
  const ArrivalSuggestion s = SuggestArrivals(*doc, 0, 0);
  ASSERT_EQ(s.proposals.size(), 3u);
  EXPECT_EQ(s.changes, (std::vector<ArrivalChange>{{0, 1, 60}}));
  ASSERT_EQ(s.lowConfidence.size(), 1u);
  EXPECT_EQ(s.lowConfidence[0].slot, 2);
  EXPECT_EQ(s.unchanged, 1);
  EXPECT_EQ(ProposedArrival(s, 0, 0, 1), 60);
  EXPECT_EQ(ProposedArrival(s, 0, 0, 2), 1);  // shown, not applied
  EXPECT_EQ(ProposedArrival(s, 0, 1, 1), -1);
  EXPECT_EQ(ProposedArrival(s, 1, 0, 1), -1);

  const SuggestionPrompt prompt = SuggestionPromptOf(*doc, s);
  EXPECT_TRUE(prompt.ask);
  EXPECT_EQ(prompt.text,
            "构件“柱1”测区1的建议首波：\n"
            "测点1：不变（60，T 30.00 us）\n"
            "测点2：61 → 60（T 30.50 → 30.00 us）\n"
            "测点3：置信度低，不修改\n"
            "是否应用建议的首波？");
}

TEST(ArrivalSuggestion, EveryZoneSkipsAndListsLowConfidence) {
  auto doc = DocWithFlatPoints();
  const ArrivalSuggestion s = SuggestArrivals(*doc, 0, -1);
  EXPECT_EQ(s.proposals.size(), 9u);
  EXPECT_EQ(s.changes, (std::vector<ArrivalChange>{
                           {0, 1, 60}, {1, 0, 60}, {1, 1, 60}, {1, 2, 60}, {2, 1, 60}, {2, 2, 60}}));
  EXPECT_EQ(s.unchanged, 1);
  const SuggestionPrompt prompt = SuggestionPromptOf(*doc, s);
  EXPECT_TRUE(prompt.ask);
  EXPECT_EQ(prompt.text,
            "构件“柱1”全部测区（3个测区）的建议首波：\n"
            "修改6个测点的首波，1个测点不变。\n"
            "置信度低，不修改（2个测点）：测区1测点3、测区3测点1\n"
            "是否应用建议的首波？");

  // Applied as one edit: the low-confidence points keep their arrivals.
  const EditResult applied = SetArrivals(*doc, 0, s.changes, PickPanel::WaveformView);
  EXPECT_TRUE(applied.changed());
  EXPECT_EQ(doc->Zone(0, 0)->points[2]->arrivalIndex, 62);
  EXPECT_EQ(doc->Zone(0, 2)->points[0]->arrivalIndex, 64);
  for (const ArrivalChange& c : s.changes) EXPECT_EQ(doc->Zone(0, c.zone)->points[c.point]->arrivalIndex, 60);
}

TEST(ArrivalSuggestion, NothingToApplyIsAMessage) {
  auto doc = DocWithFlatPoints();
  doc->Zone(0, 0)->points[1]->arrivalIndex = 60;
  const SuggestionPrompt prompt = SuggestionPromptOf(*doc, SuggestArrivals(*doc, 0, 0));
  EXPECT_FALSE(prompt.ask);
  EXPECT_EQ(prompt.text,
            "构件“柱1”测区1的建议首波：\n"
            "测点1：不变（60，T 30.00 us）\n"
            "测点2：不变（60，T 30.00 us）\n"
            "测点3：置信度低，不修改\n"
            "没有需要修改的首波。");
}

TEST(ArrivalSuggestion, CommandNeedsAFileAndZones) {
  CKorvaneDoc empty;
  EXPECT_EQ(SuggestionCommandRefusal(empty), "请先打开文件!");
  EXPECT_TRUE(SuggestArrivals(empty, 0, 0).proposals.empty());
  auto doc = MakeEditingDoc();
  EXPECT_EQ(SuggestionCommandRefusal(*doc), "");
  doc->zoneLists[0].clear();
  EXPECT_EQ(SuggestionCommandRefusal(*doc), "当前构件没有测区");
  const ArrivalSuggestion none = SuggestArrivals(*doc, 0, -1);
  EXPECT_TRUE(none.proposals.empty());
  EXPECT_EQ(SuggestionPromptOf(*doc, none).text, "当前构件没有测区");
  EXPECT_TRUE(SuggestArrivals(*doc, 5, 0).proposals.empty());
}

}  // namespace
}  // namespace korvane::testing
