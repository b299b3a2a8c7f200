// The GUI-free models of the analysis screen: the analysis form's enabling
// rules, field texts, result panes and tab rule, and the waveform view's
// geometry, reading strip and point label.
#include <gtest/gtest.h>

#include <tuple>

#include "support/enum_printing.h"

#include <memory>
#include <string>

#include "core/algorithm/member_evaluation.h"
#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"
#include "core/forms/analysis_form_model.h"
#include "core/standards/standards.h"
#include "core/wave/waveform_view_layout.h"
#include "support/sample_documents.h"

namespace korvane {
namespace {

using testing::MakeEditingDoc;

TEST(AnalysisFormModel, EnablingFollowsStandardAggregateAndMembers) {
  struct Case {
    const char* name;
    Standard standard;
    Aggregate aggregate;
    bool oneMember;
    AnalysisFormEnabling expected;  // a, b, c, d, η, Δtot, 泵送, batch
  };
  const Case cases[] = {
      {"CECS 02:2005 custom",
       Standard::CECS02_2005,
       Aggregate::Custom,
       false,
       {true, true, true, false, true, false, false, true}},
      {"TB10426-2004 pebble",
       Standard::TB10426_2004,
       Aggregate::Pebble,
       false,
       {false, false, false, false, true, false, true, true}},
      {"CECS 02-2020 crushed",
       Standard::CECS02_2020,
       Aggregate::CrushedStone,
       false,
       {false, false, false, false, false, true, true, true}},
      {"DGJ32/TJ 144-2012 custom",
       Standard::DGJ32TJ144_2012,
       Aggregate::Custom,
       false,
       {true, true, true, true, false, true, true, true}},
      {"DB 37/T 2361-2013 crushed",
       Standard::DB37T2361_2013,
       Aggregate::CrushedStone,
       false,
       {false, false, false, false, false, true, true, true}},
      {"DB51/T custom, one member",
       Standard::DB51T1996_2015,
       Aggregate::Custom,
       true,
       {true, true, true, false, true, false, true, false}},
      {"unset aggregate counts as crushed",
       Standard::JTS239_2015,
       Aggregate::Unset,
       false,
       {false, false, false, false, false, true, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = MakeEditingDoc(c.standard);
    doc->members[0].aggregateType = c.aggregate;
    if (c.oneMember) {
      doc->members.resize(1);
      doc->zoneLists.resize(1);
      doc->memberCount = 1;
    }
    EXPECT_EQ(AnalysisFormEnablingOf(*doc), c.expected);
  }
  EXPECT_EQ(AnalysisFormEnablingOf(CKorvaneDoc()), AnalysisFormEnabling{});
}

TEST(AnalysisFormModel, FieldTextsAfterRefreshAndAfterEnter) {
  auto doc = MakeEditingDoc(Standard::CECS02_2005);
  doc->project.eta = 0.95f;
  doc->project.deltaTot = 2.5f;
  doc->members[0].aggregateType = static_cast<Aggregate>(7);
  const AnalysisFormFields f = AnalysisFormFieldsOf(*doc);
  EXPECT_EQ(f.standard, IndexOf(Standard::CECS02_2005));
  EXPECT_EQ(f.aggregate, 2);  // out of range shows "碎石"
  EXPECT_EQ(f.coefA, "0.0200");
  EXPECT_EQ(f.coefB, "1.600");
  EXPECT_EQ(f.coefC, "1.400");
  EXPECT_EQ(f.coefD, "0.5000");
  EXPECT_EQ(f.eta, "0.95");
  EXPECT_EQ(f.deltaTot, "2.50");
  EXPECT_EQ(f.member, 0);
  EXPECT_EQ(f.memberNames, (std::vector<std::string>{"柱1", "梁2"}));

  // After Enter a field shows the value its strengths use: its own
  // decimals, and more where the value has more.
  const std::tuple<Coefficient, float, const char*> entered[] = {
      {Coefficient::A, 0.01234f, "0.01234"},   {Coefficient::A, 0.0001f, "0.0001"},
      {Coefficient::A, 0.02f, "0.020"},        {Coefficient::B, 1.6789f, "1.6789"},
      {Coefficient::B, 1.234f, "1.234"},       {Coefficient::B, 1.23f, "1.23"},
      {Coefficient::C, 1.4f, "1.40"},          {Coefficient::D, 0.5f, "0.5000"},
      {Coefficient::D, 0.123456f, "0.123456"},
  };
  for (const auto& [which, value, shown] : entered) {
    EXPECT_EQ(CoefficientEnteredText(which, value), shown) << value;
    EXPECT_EQ(MathOperation::ToFloat(CoefficientEnteredText(which, value)), value) << value;
  }
  EXPECT_EQ(CorrectionEnteredText(10.0f), "10.00");
  EXPECT_EQ(CorrectionEnteredText(1.234f), "1.234");
  // A refresh, likewise.
  doc->members[0].coefB = 1.2345f;
  EXPECT_EQ(AnalysisFormFieldsOf(*doc).coefB, "1.2345");
  for (int code : {-1, 3, 100}) EXPECT_EQ(ShownAggregate(static_cast<Aggregate>(code)), 2);
  for (int code : {0, 1, 2}) EXPECT_EQ(ShownAggregate(static_cast<Aggregate>(code)), code);
}

TEST(AnalysisFormModel, ResultPanesByFlag) {
  auto doc = MakeEditingDoc(Standard::CECS02_2005);
  Member& m = doc->members[0];
  m.minStrength = 21.26f;
  m.maxStrength = 33.04f;
  m.meanStrength = 27.16f;
  m.stdDevStrength = 3.456f;
  struct Case {
    ResultFlag flag;
    float value;
    const char* text;
  };
  for (const Case& c :
       {Case{ResultFlag::Valid, 24.96f, "25.0"}, Case{ResultFlag::Below10, 0.0f, "<10.0MPa"},
        Case{ResultFlag::Above70, 72.0f, ">70.0MPa"}, Case{ResultFlag::BatchInvalid, 0.0f, "输入有误！"},
        Case{static_cast<ResultFlag>(9), 30.0f, "输入有误！"}}) {
    m.resultFlag = c.flag;
    m.estimatedStrength = c.value;
    const MemberPaneTexts t = MemberPaneTextsOf(*doc, 0);
    EXPECT_EQ(t.estimate, c.text) << c.flag;
    EXPECT_EQ(t.zones, "3");
    EXPECT_EQ(t.minimum, "21.3");
    EXPECT_EQ(t.maximum, "33.0");
    EXPECT_EQ(t.mean, "27.2");
    EXPECT_EQ(t.stdDev, "3.46");
  }
  EXPECT_EQ(MemberPaneTextsOf(*doc, 5), MemberPaneTexts{});

  doc->result = {28.44f, 30.06f, 2.346f};
  doc->batchResultFlag = ResultFlag::Valid;
  std::size_t zones = 0;
  for (const ZoneList& list : doc->zoneLists) zones += list.size();
  EXPECT_EQ(BatchPaneTextsOf(*doc), (BatchPaneTexts{"30.1", "2.35", "28.4", std::to_string(zones)}));
  doc->batchResultFlag = ResultFlag::BatchInvalid;
  EXPECT_EQ(BatchPaneTextsOf(*doc).estimate, BatchNotice(Standard::CECS02_2005));
  EXPECT_EQ(BatchPaneTextsOf(CKorvaneDoc()), BatchPaneTexts{});
}

TEST(AnalysisFormModel, BatchTabNeedsTwoMembersAndAValidBatch) {
  auto doc = MakeEditingDoc(Standard::TB10426_2004);
  doc->batchResultFlag = ResultFlag::Valid;
  BatchTabChoice choice = ChooseBatchTab(*doc);
  EXPECT_TRUE(choice.show);
  EXPECT_TRUE(choice.message.empty());

  // An invalid batch shows its figures with the notice.
  doc->batchResultFlag = ResultFlag::BatchInvalid;
  choice = ChooseBatchTab(*doc);
  EXPECT_TRUE(choice.show);
  EXPECT_EQ(choice.message, BatchNotice(Standard::TB10426_2004));
  EXPECT_NE(choice.message.find("平均值<25.0且标准差>4.5"), std::string::npos);

  doc->members.resize(1);
  doc->zoneLists.resize(1);
  doc->batchResultFlag = ResultFlag::Valid;
  choice = ChooseBatchTab(*doc);
  EXPECT_FALSE(choice.show);
  EXPECT_EQ(choice.message, "当前文件只有一个构件！");
}

TEST(AnalysisFormModel, OnlyCecs2020ChangesTheReadingCount) {
  EXPECT_TRUE(ReadingCountChanges(Standard::CECS02_2005, Standard::CECS02_2020));
  EXPECT_TRUE(ReadingCountChanges(Standard::CECS02_2020, Standard::JTS239_2015));
  EXPECT_FALSE(ReadingCountChanges(Standard::CECS02_2005, Standard::TB10426_2004));
  EXPECT_FALSE(ReadingCountChanges(Standard::CECS02_2020, Standard::CECS02_2020));
  // The rule names the standards whose algorithms really take ten readings.
  for (Standard s : kAllStandards) {
    auto doc = MakeEditingDoc(s);
    EXPECT_EQ(doc->algorithm.ReadingCount() == 10, s == Standard::CECS02_2020) << IndexOf(s);
  }
}

TEST(WaveformViewLayout, PartsOfTheClientArea) {
  const WaveformViewGeometry g = WaveformViewLayout(1000, 601);
  EXPECT_EQ(g.strip, (ViewRect{0, 0, 975, 20}));
  EXPECT_EQ(g.panel, (ViewRect{0, 20, 975, 280}));
  EXPECT_EQ(g.slider, (ViewRect{975, 20, 25, 280}));
  EXPECT_EQ(g.grid, (ViewRect{0, 300, 1000, 301}));
  // Too small for the parts: nothing negative.
  const WaveformViewGeometry tiny = WaveformViewLayout(10, 30);
  EXPECT_EQ(tiny.panel, (ViewRect{0, 20, 0, 0}));
  EXPECT_EQ(tiny.slider, (ViewRect{0, 20, 10, 0}));
  EXPECT_EQ(WaveformViewLayout(-5, -5).grid, (ViewRect{}));

  EXPECT_EQ(ReadingStripFontHeight(20), 14);
  EXPECT_EQ(ReadingStripFontHeight(56), 14);
  EXPECT_EQ(ReadingStripFontHeight(60), 15);
}

TEST(WaveformViewLayout, ReadingStripTextsAndLabel) {
  const ReadingStripTexts t = ReadingStripTextsOf({40.0f, 87.6f, 13.4049f, 4.5662f, 2}, 1003);
  EXPECT_EQ(t.gain, "Amp: 40");
  EXPECT_EQ(t.time, "T: 87.60");
  EXPECT_EQ(t.amplitude, "A: 13.40mv");
  EXPECT_EQ(t.velocity, "V: 4.566km/s");
  EXPECT_EQ(t.pointLabel, "当前测点: 2");
  EXPECT_EQ(t.gainX, 15);
  EXPECT_EQ(t.timeX, 200);
  EXPECT_EQ(t.amplitudeX, 400);
  EXPECT_EQ(t.velocityX, 600);
  EXPECT_EQ(t.labelX, 800);
  EXPECT_EQ(PointLabelRect(1003, 70, 15), (ViewRect{800, 1, 77, 16}));

  // The stored readings of a point, amplitude in mV; none without samples.
  auto doc = MakeEditingDoc();
  TestZone& zone = *doc->Zone(0, 1);
  StripReadings r;
  ASSERT_TRUE(StoredStripReadings(zone, 2, r));
  EXPECT_EQ(r.pointNumber, 3);
  EXPECT_FLOAT_EQ(r.time, zone.pointTime[2]);
  EXPECT_FLOAT_EQ(r.amplitudeMv, zone.pointAmplitude[2] * 1000.0f);
  EXPECT_FLOAT_EQ(r.velocity, zone.pointVelocity[2]);
  EXPECT_FALSE(StoredStripReadings(zone, 3, r));
  zone.points[0]->samples = SampleBuffer();
  EXPECT_FALSE(StoredStripReadings(zone, 0, r));
}

TEST(WaveformViewLayout, PointLabelCyclesThroughTheZonesPoints) {
  TestZone three;
  three.pointCount = 3;
  TestZone seven;
  seven.pointCount = 7;
  int p = 0;
  std::string visited;
  for (int i = 0; i < 4; ++i) {
    visited += std::to_string(p + 1);
    p = NextPointOnLabelClick(p, &three);
  }
  EXPECT_EQ(visited, "1231");
  EXPECT_EQ(NextPointOnLabelClick(6, &seven), 0);
  EXPECT_EQ(NextPointOnLabelClick(5, &seven), 6);
  EXPECT_EQ(NextPointOnLabelClick(2, nullptr), 0);  // no zone: three points
  TestZone none;
  none.pointCount = 0;
  EXPECT_EQ(NextPointOnLabelClick(0, &none), 0);
}

// Up and Down in the waveform view (and a zone change) go to points with
// samples only, round the zone.
TEST(WaveformViewLayout, StepsPassOverPointsWithoutSamples) {
  TestZone zone;
  zone.pointCount = 4;
  const std::vector<std::uint16_t> codes(8, 2048);
  for (int j : {0, 2, 3})
    zone.points[static_cast<std::size_t>(j)] = NewMeasuringPoint(j, 1, codes.data(), 8, 0, 100, 1, 1);
  struct Case {
    int from, step;
    std::optional<int> to;
  };
  const Case cases[] = {{0, 1, 2}, {3, 1, 0}, {0, -1, 3}, {2, -1, 0}, {-1, 1, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(StepToPointWithSamples(zone, c.from, c.step), c.to) << c.from << c.step;
  zone.points[2].reset();
  zone.points[3].reset();
  EXPECT_EQ(StepToPointWithSamples(zone, 0, 1), std::nullopt);  // the only one
}

}  // namespace
}  // namespace korvane
