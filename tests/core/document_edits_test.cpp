// The editing layer: every edit is its input change followed by exactly the
// recomputation its field calls for; limits, refusals and messages; the
// modified flag; and undo: the snapshot an edit returns puts every value
// back, derived values included, and calling the edit again redoes it.
#include "core/app/document_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "core/algorithm/zone_computation.h"
#include "core/app/edit_snapshot.h"
#include "core/app/korvane_doc.h"
#include "core/standards/standards.h"
#include "core/wave/point_readings.h"
#include "support/document_dump.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

using Edit = std::function<EditResult(CKorvaneDoc&)>;
using Change = std::function<void(CKorvaneDoc&)>;

// Member 0 zone 0 is current; the edits go to another zone on purpose.
constexpr ZoneRef kOther{1, 1};

TestZone& ZoneOf(CKorvaneDoc& doc, ZoneRef at) { return *doc.Zone(at.member, at.zone); }

// ---- Each edit is its input change plus its recomputation -------------------

struct Recipe {
  const char* name;
  Edit edit;
  Change byHand;  // the input change and the recomputation, written out
  Change setup = nullptr;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> AngleTableWithOneCell(const CKorvaneDoc& doc) {
  std::vector<float> values = TableValues(doc.tables, CorrectionTable::Angle);
  values[2 * kAngleColumns + 5] = -4.0f;  // R 30, -45 degrees
  return values;
}

// Six cores whose strength is 1.2 times their zone's conversion value with
// η = 1: the core correction of the editing document, recomputed, is
// η = 1.20.
std::vector<CoreSample> CoresAtOnePointTwo() {
  auto doc = MakeEditingDoc();
  doc->RecomputeAll();
  std::vector<CoreSample> cores;
  for (ZoneRef at :
       {ZoneRef{0, 0}, ZoneRef{0, 1}, ZoneRef{0, 2}, ZoneRef{1, 0}, ZoneRef{1, 1}, ZoneRef{0, 0}}) {
    TestZone zone = *doc->Zone(at.member, at.zone);
    zone.eta = 1.0f;
    zone.deltaTot = 0.0f;
    const float fcu =
        ConvertStrength(doc->algorithm, doc->members[static_cast<std::size_t>(at.member)], zone);
    cores.push_back({at.member, at.zone, 1.2f * fcu});
  }
  return cores;
}

std::vector<Recipe> Recipes() {
  return {
      {"reading", [](CKorvaneDoc& d) { return SetReading(d, kOther, 4, 45); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).rebound[4] = 45;
         d.ComputeZone(1, 1, true);
       }},
      {"typed R", [](CKorvaneDoc& d) { return SetZoneField(d, kOther, ZoneField::ReboundValue, 41.5f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).reboundValue = 41.5f;
         ZoneOf(d, kOther).reboundManual = 1;
         d.ComputeZone(1, 1, true);
       }},
      {"carbonation depth",
       [](CKorvaneDoc& d) { return SetZoneField(d, kOther, ZoneField::CarbonationDepth, 3.25f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).carbonationDepth = 3.25f;
         d.ComputeZone(1, 1, true);
       }},
      {"angle", [](CKorvaneDoc& d) { return SetAngle(d, kOther, 60); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).angle = 60;
         d.ComputeZone(1, 1, true);
       }},
      {"surface", [](CKorvaneDoc& d) { return SetSurface(d, kOther, Surface::Bottom); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).surface = Surface::Bottom;
         d.ComputeZone(1, 1, true);
       }},
      {"zone grid distance", [](CKorvaneDoc& d) { return SetZoneGridDistance(d, kOther, 1, 320.0f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).points[1]->distance = 320.0f;
         d.ComputeZone(1, 1, true);
       }},
      {"waveform view pick",
       [](CKorvaneDoc& d) { return PickArrival(d, kOther, 2, 90, PickPanel::WaveformView); },
       [](CKorvaneDoc& d) {
         SetArrival(ZoneOf(d, kOther), 2, 90, /*moveAmplitude=*/false);
         d.ComputeZone(1, 1, true);
       }},
      {"point panel pick",
       [](CKorvaneDoc& d) { return PickArrival(d, kOther, 0, 75, PickPanel::PointPanel); },
       [](CKorvaneDoc& d) {
         SetArrival(ZoneOf(d, kOther), 0, 75, /*moveAmplitude=*/true);
         d.RecomputeZoneVelocity(ZoneOf(d, kOther));
       }},
      {"suggestion on the point panels",
       [](CKorvaneDoc& d) {
         return SetArrivals(d, 1, {{0, 0, 70}, {1, 2, 75}, {1, 1, 63}}, PickPanel::PointPanel);
       },
       [](CKorvaneDoc& d) {
         SetArrival(*d.Zone(1, 0), 0, 70, true);
         SetArrival(*d.Zone(1, 1), 2, 75, true);
         SetArrival(*d.Zone(1, 1), 1, 63, true);
         d.RecomputeZoneVelocity(*d.Zone(1, 0));
         d.RecomputeZoneVelocity(*d.Zone(1, 1));
       }},
      {"suggestion in the waveform view",
       [](CKorvaneDoc& d) {
         return SetArrivals(d, 1, {{0, 0, 70}, {1, 2, 75}}, PickPanel::WaveformView);
       },
       [](CKorvaneDoc& d) {
         SetArrival(*d.Zone(1, 0), 0, 70, false);
         SetArrival(*d.Zone(1, 1), 2, 75, false);
         d.ComputeZone(1, 0, false);
         d.ComputeZone(1, 1, true);
       }},
      {"point distance", [](CKorvaneDoc& d) { return SetPointDistance(d, kOther, 1, 250.0f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).points[1]->distance = 250.0f;
         RecomputePointReadings(ZoneOf(d, kOther));
         d.RecomputeZoneVelocity(ZoneOf(d, kOther));
       }},
      {"test method", [](CKorvaneDoc& d) { return SetTestMethod(d, kOther, TestMethod::Direct); },
       [](CKorvaneDoc& d) {
         TestZone& z = ZoneOf(d, kOther);
         z.testMethod = TestMethod::Direct;
         z.testLocation = "侧面";
         z.beta = 1.0f;
         z.lambda = 1.0f;
         d.RecomputeZoneVelocity(z);
       },
       [](CKorvaneDoc& d) { ZoneOf(d, kOther).lambda = 0.9f; }},
      {"test location", [](CKorvaneDoc& d) { return SetTestLocation(d, kOther, "底面"); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).testLocation = "底面";
         ZoneOf(d, kOther).beta = 0.95f;
         d.RecomputeZoneVelocity(ZoneOf(d, kOther));
       }},
      {"beta", [](CKorvaneDoc& d) { return SetZoneField(d, kOther, ZoneField::Beta, 1.2f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).beta = 1.2f;
         d.RecomputeZoneVelocity(ZoneOf(d, kOther));
       }},
      {"lambda", [](CKorvaneDoc& d) { return SetZoneField(d, kOther, ZoneField::Lambda, 0.9f); },
       [](CKorvaneDoc& d) {
         ZoneOf(d, kOther).lambda = 0.9f;
         d.RecomputeZoneVelocity(ZoneOf(d, kOther));
       }},
      {"coefficient", [](CKorvaneDoc& d) { return SetCoefficient(d, 1, Coefficient::C, 1.45f); },
       [](CKorvaneDoc& d) {
         d.members[1].coefC = 1.45f;
         d.ApplyCoefficientsToAll(1);
       }},
      {"aggregate", [](CKorvaneDoc& d) { return SetAggregate(d, 1, Aggregate::Pebble); },
       [](CKorvaneDoc& d) {
         Member& m = d.members[1];
         m.aggregateType = Aggregate::Pebble;
         d.algorithm.GetCoefficients(true, m.coefA, m.coefB, m.coefC, m.coefD);
         d.ApplyCoefficientsToAll(1);
       }},
      {"custom aggregate", [](CKorvaneDoc& d) { return SetAggregate(d, 1, Aggregate::Custom); },
       [](CKorvaneDoc& d) {
         d.members[1].aggregateType = Aggregate::Custom;
         d.ApplyCoefficientsToAll(1);
       }},
      {"eta", [](CKorvaneDoc& d) { return SetEta(d, 1.2f); },
       [](CKorvaneDoc& d) {
         d.project.eta = 1.2f;
         d.ApplyCorrectionsToAll();
       }},
      {"delta tot", [](CKorvaneDoc& d) { return SetDeltaTot(d, 4.5f); },
       [](CKorvaneDoc& d) {
         d.project.deltaTot = 4.5f;
         d.ApplyCorrectionsToAll();
       }},
      {"own curve, one member",
       [](CKorvaneDoc& d) { return SetCustomCoefficients(d, 1, 0.018f, 1.33f, 1.52f); },
       [](CKorvaneDoc& d) {
         Member& m = d.members[1];
         m.aggregateType = Aggregate::Custom;
         m.coefA = 0.018f;
         m.coefB = 1.33f;
         m.coefC = 1.52f;  // d stays 0.25
         d.RecomputeMember(1, true);
       }},
      {"own curve, every member",
       [](CKorvaneDoc& d) { return SetCustomCoefficients(d, -1, 0.018f, 1.33f, 1.52f); },
       [](CKorvaneDoc& d) {
         for (Member& m : d.members) {
           m.aggregateType = Aggregate::Custom;
           m.coefA = 0.018f;
           m.coefB = 1.33f;
           m.coefC = 1.52f;
         }
         d.RecomputeAll();
       }},
      {"core correction", [](CKorvaneDoc& d) { return ApplyCoreCorrection(d, CoresAtOnePointTwo()); },
       [](CKorvaneDoc& d) {
         d.project.eta = 1.2f;
         d.cores = CoresAtOnePointTwo();
         d.ApplyCorrectionsToAll();
       },
       [](CKorvaneDoc& d) { d.RecomputeAll(); }},
      {"pumped", [](CKorvaneDoc& d) { return SetPumped(d, 1, true); },
       [](CKorvaneDoc& d) {
         d.members[1].pumped = 1;
         d.RecomputeMember(1, true);
       }},
      {"standard",
       [](CKorvaneDoc& d) {
         return SwitchStandard(d, {0, 0}, Standard::TB10426_2004);
       },
       [](CKorvaneDoc& d) {
         d.SetStandard(Standard::TB10426_2004);
         Member& m = d.members[0];  // custom aggregate: the standard's crushed-stone values
         d.algorithm.GetCoefficients(false, m.coefA, m.coefB, m.coefC, m.coefD);
         d.ApplyCoefficientsToAll(0);
         d.reportInfo.testBasis = "TB10426-2004";
       }},
      {"correction table",
       [](CKorvaneDoc& d) { return SetCorrectionTable(d, CorrectionTable::Angle, AngleTableWithOneCell(d)); },
       [](CKorvaneDoc& d) {
         d.tables.angle[2][5] = -4.0f;
         d.RecomputeAll();
       }},
      {"default table", [](CKorvaneDoc& d) { return RestoreDefaultTable(d, CorrectionTable::FineSurface); },
       [](CKorvaneDoc& d) {
         d.tables.fineSurface = d.defaultTables.fineSurface;
         d.RecomputeAll();
       },
       [](CKorvaneDoc& d) { d.tables.fineSurface[4][1] = 9.0f; }},
      {"member name", [](CKorvaneDoc& d) { return RenameMember(d, 1, "梁二"); },
       [](CKorvaneDoc& d) { d.members[1].name = "梁二"; }},
      // The report's field follows the project text it was filled from …
      {"project text", [](CKorvaneDoc& d) { return SetProjectText(d, ProjectText::Unit, "检测中心"); },
       [](CKorvaneDoc& d) { d.project.unit = d.reportInfo.testingUnit = "检测中心"; }},
      // … and keeps a text of its own.
      {"project text, report's own",
       [](CKorvaneDoc& d) { return SetProjectText(d, ProjectText::Site, "Tower B"); },
       [](CKorvaneDoc& d) { d.project.site = "Tower B"; },
       [](CKorvaneDoc& d) { d.reportInfo.projectName = "B栋"; }},
      {"project date",
       [](CKorvaneDoc& d) {
         return SetProjectDate(d, ProjectDate::Casting, {2023, 1, 9});
       },
       [](CKorvaneDoc& d) { d.project.castingDate = "2023-1-9"; }},
      {"gain and delay", [](CKorvaneDoc& d) { return SetSectionGainDelay(d, 1, 8.0f, 1.5f); },
       [](CKorvaneDoc& d) {
         d.sections[1].gain = 8.0f;
         d.sections[1].delay = 1.5f;
       }},
      {"filter",
       [](CKorvaneDoc& d) {
         return ApplyZoneFilter(d, kOther, {false, 20.0f, true, 100.0f});
       },
       [](CKorvaneDoc& d) {
         d.lowPassOn = true;
         d.lowPassKHz = 100.0f;
         d.RestoreZoneWaveforms(1, 1);
         d.FilterZoneWaveforms(1, 1);
       }},
  };
}

std::unique_ptr<CKorvaneDoc> Prepared(const Recipe& recipe) {
  auto doc = MakeEditingDoc();
  if (recipe.setup) recipe.setup(*doc);
  return doc;
}

TEST(DocumentEdits, EachEditIsItsChangeAndItsRecomputation) {
  for (const Recipe& recipe : Recipes()) {
    SCOPED_TRACE(recipe.name);
    auto edited = Prepared(recipe);
    auto byHand = Prepared(recipe);
    const std::string before = DumpDocument(*edited);
    const EditResult result = recipe.edit(*edited);
    recipe.byHand(*byHand);
    EXPECT_TRUE(result.changed());
    EXPECT_FALSE(result.refused);
    EXPECT_TRUE(result.message.empty()) << result.message;
    EXPECT_TRUE(edited->modified);
    EXPECT_NE(DumpDocument(*edited), before);
    EXPECT_EQ(DumpDocument(*edited), DumpDocument(*byHand));
  }
}

// "输出" skips the recomputation only when nothing changed since the last
// one: after every kind of edit and after its undo it recomputes, and the
// document is the one a full recomputation gives.
TEST(DocumentEdits, RecomputationIsSkippedOnlyWhenNothingChanged) {
  for (const Recipe& recipe : Recipes()) {
    SCOPED_TRACE(recipe.name);
    auto doc = Prepared(recipe);
    auto twin = Prepared(recipe);
    doc->RecomputeAll();
    EXPECT_FALSE(doc->RecomputeAllIfChanged());
    const EditResult result = recipe.edit(*doc);
    recipe.edit(*twin);
    ASSERT_NE(result.before, nullptr);
    EXPECT_TRUE(doc->RecomputeAllIfChanged());
    twin->RecomputeAll();
    EXPECT_EQ(DumpDocument(*doc), DumpDocument(*twin));
    EXPECT_FALSE(doc->RecomputeAllIfChanged());
    result.before->Restore(*doc);
    EXPECT_TRUE(doc->RecomputeAllIfChanged());
  }
  // A document never recomputed is recomputed.
  EXPECT_TRUE(MakeEditingDoc()->RecomputeAllIfChanged());
}

// Undo: the snapshot puts back every value, derived ones too (the stale
// values of the editing document are not what a recomputation would give);
// calling the edit again gives the same document as the first time.
TEST(DocumentEdits, SnapshotRestoresEveryValueAndTheEditRedoes) {
  for (const Recipe& recipe : Recipes()) {
    SCOPED_TRACE(recipe.name);
    auto doc = Prepared(recipe);
    const std::string before = DumpDocument(*doc);
    const EditResult result = recipe.edit(*doc);
    ASSERT_NE(result.before, nullptr);
    const std::string after = DumpDocument(*doc);
    doc->modified = false;
    result.before->Restore(*doc);
    EXPECT_EQ(DumpDocument(*doc), before);
    EXPECT_TRUE(doc->modified);
    const EditResult redone = recipe.edit(*doc);
    EXPECT_TRUE(redone.changed());
    EXPECT_EQ(DumpDocument(*doc), after);
  }
}

// A snapshot restores into the zones that exist, keeping their objects: a
// view holding a zone keeps a valid one, and samples not captured stay.
TEST(DocumentEdits, RestoreKeepsTheZoneObjectsAndTheirSamples) {
  auto doc = MakeEditingDoc();
  const TestZone* zone = doc->Zone(1, 1);
  const SampleBuffer samples = zone->points[0]->samples;
  const EditResult result = SetEta(*doc, 2.0f);
  ASSERT_TRUE(Touches(result.scope, EditScope::AllZoneValues));
  EXPECT_FALSE(Touches(result.scope, EditScope::Waveforms));
  result.before->Restore(*doc);
  EXPECT_EQ(doc->Zone(1, 1), zone);
  EXPECT_EQ(zone->points[0]->samples, samples);
}

// ---- Recomputation reaches the zone, its member and the batch only ----------

TEST(DocumentEdits, ZoneDataEditReachesItsMemberAndTheBatch) {
  auto doc = MakeEditingDoc();
  const EditResult result = SetReading(*doc, kOther, 0, 50);
  EXPECT_EQ(result.scope, EditScope::Zone | EditScope::Member | EditScope::Batch);
  EXPECT_EQ(result.at, kOther);
  // The edited zone and the member's results and the batch are fresh...
  EXPECT_NE(doc->Zone(1, 1)->strengthValue, 91.0f);
  EXPECT_GT(doc->Zone(1, 1)->strengthValue, 0.0f);
  EXPECT_NE(doc->members[1].estimatedStrength, 77.0f);
  EXPECT_NE(doc->result.fcue, 77.0f);
  // ...the other zones and members keep what they held.
  EXPECT_EQ(doc->Zone(1, 0)->strengthValue, 90.0f);
  EXPECT_EQ(doc->Zone(0, 1)->strengthValue, 91.0f);
  EXPECT_EQ(doc->members[0].estimatedStrength, 77.0f);
}

TEST(DocumentEdits, MainScreenEditLeavesTheStrengths) {
  auto doc = MakeEditingDoc();
  const float va = doc->Zone(1, 1)->correctedVelocity;
  const EditResult result = SetZoneField(*doc, kOther, ZoneField::Beta, 1.5f);
  EXPECT_EQ(result.scope, EditScope::Zone);
  EXPECT_FLOAT_EQ(doc->Zone(1, 1)->correctedVelocity, va * 1.5f);
  EXPECT_EQ(doc->Zone(1, 1)->strengthValue, 91.0f);
  EXPECT_EQ(doc->members[1].estimatedStrength, 77.0f);
}

TEST(DocumentEdits, CoefficientsAndAggregateGoToEveryMember) {
  auto doc = MakeEditingDoc();
  SetCoefficient(*doc, 0, Coefficient::A, 0.025f);
  for (const Member& m : doc->members) {
    EXPECT_EQ(m.aggregateType, Aggregate::Custom);
    EXPECT_EQ(m.coefA, 0.025f);
    EXPECT_EQ(m.coefD, 0.5f);  // member 0's
  }
  SetAggregate(*doc, 1, Aggregate::Pebble);  // pebble: the standard's pebble coefficients
  for (const Member& m : doc->members) {
    EXPECT_EQ(m.aggregateType, Aggregate::Pebble);
    EXPECT_EQ(m.coefA, 0.0056f);
    EXPECT_EQ(m.coefB, 1.439f);
    EXPECT_EQ(m.coefC, 1.769f);
  }
  EXPECT_NE(doc->members[0].estimatedStrength, 77.0f);
  EXPECT_NE(doc->members[1].estimatedStrength, 77.0f);
}

// ---- Limits, refusals and messages -----------------------------------------

struct LimitCase {
  const char* name;
  Edit edit;
  std::optional<float> stored;  // the value reported and held
  std::function<float(CKorvaneDoc&)> field;
  bool refused = false;
  std::string message = {};
};

std::vector<LimitCase> LimitCases() {
  auto aggregate = [](CKorvaneDoc& d) { return static_cast<float>(d.members[0].aggregateType); };
  auto angle = [](CKorvaneDoc& d) { return static_cast<float>(ZoneOf(d, kOther).angle); };
  auto arrival = [](CKorvaneDoc& d) { return static_cast<float>(ZoneOf(d, kOther).points[0]->arrivalIndex); };
  auto standard = [](CKorvaneDoc& d) { return static_cast<float>(d.standard); };
  const std::string refusedSwitch =
      "当前规范(CECS 02:2005)及测试方式(平测)下，无法切换到新规范(CECS 02-2020)！";
  return {
      {"aggregate 7", [](CKorvaneDoc& d) { return SetAggregate(d, 0, static_cast<Aggregate>(7)); }, 2.0f,
       aggregate},
      {"angle 17", [](CKorvaneDoc& d) { return SetAngle(d, kOther, 17); }, 0.0f, angle},
      {"angle -60", [](CKorvaneDoc& d) { return SetAngle(d, kOther, -60); }, -60.0f, angle},
      {"pick before the first sample",
       [](CKorvaneDoc& d) { return PickArrival(d, kOther, 0, 0, PickPanel::PointPanel); }, 1.0f, arrival},
      {"pick past the last sample",
       [](CKorvaneDoc& d) { return PickArrival(d, kOther, 0, 100000, PickPanel::WaveformView); }, 511.0f,
       arrival},
      {"forbidden standard switch",
       [](CKorvaneDoc& d) {
         return SwitchStandard(d, {0, 0}, Standard::CECS02_2020);
       },
       static_cast<float>(Standard::CECS02_2005), standard, true, refusedSwitch},
      {"standard 10",
       [](CKorvaneDoc& d) {
         return SwitchStandard(d, {0, 0}, static_cast<Standard>(10));
       },
       static_cast<float>(Standard::CECS02_2005), standard, true},
      {"surface 3", [](CKorvaneDoc& d) { return SetSurface(d, kOther, static_cast<Surface>(3)); },
       std::nullopt, nullptr, true},
      {"test method 3", [](CKorvaneDoc& d) { return SetTestMethod(d, kOther, static_cast<TestMethod>(3)); },
       std::nullopt, nullptr, true},
      {"position with a line break", [](CKorvaneDoc& d) { return SetTestLocation(d, kOther, "顶面\n"); },
       std::nullopt, nullptr, true},
      {"position of 11 characters",
       [](CKorvaneDoc& d) { return SetTestLocation(d, kOther, "顶面底面间顶面底面间侧"); }, std::nullopt,
       nullptr, true},
      {"name with a line break", [](CKorvaneDoc& d) { return RenameMember(d, 1, "梁\r2"); }, std::nullopt,
       nullptr, true},
      {"project text with a line break",
       [](CKorvaneDoc& d) { return SetProjectText(d, ProjectText::Site, "a\nb"); }, std::nullopt, nullptr,
       true},
      {"point not in the zone",
       [](CKorvaneDoc& d) { return PickArrival(d, kOther, 3, 80, PickPanel::PointPanel); }, std::nullopt,
       nullptr, true},
      {"reading 16", [](CKorvaneDoc& d) { return SetReading(d, kOther, 16, 30); }, std::nullopt, nullptr,
       true},
      {"zone out of range",
       [](CKorvaneDoc& d) {
         return SetZoneField(d, {1, 2}, ZoneField::Beta, 1.0f);
       },
       std::nullopt, nullptr, true},
      {"table of the wrong size",
       [](CKorvaneDoc& d) {
         return SetCorrectionTable(d, CorrectionTable::Carbon, std::vector<float>(7, 1.0f));
       },
       std::nullopt, nullptr, true},
      {"member without a section", [](CKorvaneDoc& d) { return SetSectionGainDelay(d, 2, 1.0f, 1.0f); },
       std::nullopt, nullptr, true},
  };
}

TEST(DocumentEdits, LimitsRefusalsAndMessages) {
  for (const LimitCase& c : LimitCases()) {
    SCOPED_TRACE(c.name);
    auto doc = MakeEditingDoc();
    const std::string before = DumpDocument(*doc);
    const EditResult result = c.edit(*doc);
    EXPECT_EQ(result.refused, c.refused);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.stored, c.stored);
    if (c.field) {
      EXPECT_EQ(c.field(*doc), *c.stored);
    }
    if (c.refused) {
      // A refused edit changes nothing at all.
      EXPECT_FALSE(result.changed());
      EXPECT_EQ(result.before, nullptr);
      EXPECT_FALSE(doc->modified);
      EXPECT_EQ(DumpDocument(*doc), before);
    } else {
      EXPECT_TRUE(result.changed());
      EXPECT_TRUE(doc->modified);
    }
  }
}

// A suggestion applied: all or nothing, what is stored already is left out,
// and the result names one zone when it changed one.
TEST(DocumentEdits, SuggestedArrivalsAreCheckedTogether) {
  auto doc = MakeEditingDoc();
  const std::string before = DumpDocument(*doc);
  for (const std::vector<ArrivalChange>& bad :
       {std::vector<ArrivalChange>{}, std::vector<ArrivalChange>{{0, 0, 70}, {0, 3, 70}},
        std::vector<ArrivalChange>{{0, 0, 70}, {5, 0, 70}}}) {
    const EditResult result = SetArrivals(*doc, 1, bad, PickPanel::PointPanel);
    EXPECT_TRUE(result.refused);
    EXPECT_EQ(DumpDocument(*doc), before);
  }
  // Zone 1 point 1 holds 63 already (60 + 2 z + j); zone 0 point 0 moves.
  const EditResult one = SetArrivals(*doc, 1, {{1, 1, 63}, {0, 0, 500000}}, PickPanel::WaveformView);
  EXPECT_EQ(one.at, (ZoneRef{1, 0}));
  EXPECT_EQ(one.scope, EditScope::Zone | EditScope::Member | EditScope::Batch);
  EXPECT_EQ(doc->Zone(1, 0)->points[0]->arrivalIndex, 511);
  const EditResult none = SetArrivals(*doc, 1, {{1, 1, 63}, {0, 0, 511}}, PickPanel::WaveformView);
  EXPECT_FALSE(none.changed());
  EXPECT_FALSE(none.refused);
  const EditResult two = SetArrivals(*doc, 1, {{0, 0, 61}, {1, 1, 64}}, PickPanel::PointPanel);
  EXPECT_EQ(two.at, (ZoneRef{1, -1}));
  EXPECT_EQ(two.scope, EditScope::MemberZones);
}

TEST(DocumentEdits, TypedRStopsTheReadingsFromMovingR) {
  auto doc = MakeEditingDoc();
  SetZoneField(*doc, kOther, ZoneField::ReboundValue, 45.0f);
  SetReading(*doc, kOther, 0, 60);
  EXPECT_EQ(doc->Zone(1, 1)->reboundValue, 45.0f);
  EXPECT_EQ(doc->Zone(1, 1)->reboundManual, 1);
}

// A typed value outside its field's range is refused with the field's
// message; nothing changes and no undo step is made. The ends themselves
// are taken.
TEST(DocumentEdits, TypedValuesOutsideTheirRangeAreRefused) {
  struct Field {
    const char* name;
    TypedField range;
    std::function<EditResult(CKorvaneDoc&, float)> edit;
    std::function<float(CKorvaneDoc&)> stored;
    Standard standard = Standard::CECS02_2005;
  };
  const std::vector<Field> fields = {
      {"β", TypedField::Beta,
       [](CKorvaneDoc& d, float v) { return SetZoneField(d, kOther, ZoneField::Beta, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).beta; }},
      {"λ", TypedField::Lambda,
       [](CKorvaneDoc& d, float v) { return SetZoneField(d, kOther, ZoneField::Lambda, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).lambda; }},
      {"L", TypedField::Distance, [](CKorvaneDoc& d, float v) { return SetPointDistance(d, kOther, 2, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).points[2]->distance; }},
      {"grid L", TypedField::Distance,
       [](CKorvaneDoc& d, float v) { return SetZoneGridDistance(d, kOther, 2, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).points[2]->distance; }},
      {"reading", TypedField::Reading,
       [](CKorvaneDoc& d, float v) { return SetReading(d, kOther, 3, static_cast<int>(v)); },
       [](CKorvaneDoc& d) { return static_cast<float>(ZoneOf(d, kOther).rebound[3]); }},
      {"R", TypedField::Rebound,
       [](CKorvaneDoc& d, float v) { return SetZoneField(d, kOther, ZoneField::ReboundValue, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).reboundValue; }},
      {"carbonation", TypedField::Carbonation,
       [](CKorvaneDoc& d, float v) { return SetZoneField(d, kOther, ZoneField::CarbonationDepth, v); },
       [](CKorvaneDoc& d) { return ZoneOf(d, kOther).carbonationDepth; }},
      {"η", TypedField::Eta, [](CKorvaneDoc& d, float v) { return SetEta(d, v); },
       [](CKorvaneDoc& d) { return d.project.eta; }},
      {"Δtot", TypedField::DeltaTot, [](CKorvaneDoc& d, float v) { return SetDeltaTot(d, v); },
       [](CKorvaneDoc& d) { return d.project.deltaTot; }},
      {"a", TypedField::CoefficientA,
       [](CKorvaneDoc& d, float v) { return SetCoefficient(d, 0, Coefficient::A, v); },
       [](CKorvaneDoc& d) { return d.members[0].coefA; }},
      {"own curve's a", TypedField::CoefficientA,
       [](CKorvaneDoc& d, float v) { return SetCustomCoefficients(d, -1, v, 1.5f, 1.4f); },
       [](CKorvaneDoc& d) { return d.members[0].coefA; }},
      {"own curve's c", TypedField::CoefficientC,
       [](CKorvaneDoc& d, float v) { return SetCustomCoefficients(d, 0, 0.02f, 1.5f, v); },
       [](CKorvaneDoc& d) { return d.members[0].coefC; }},
      {"b", TypedField::CoefficientB,
       [](CKorvaneDoc& d, float v) { return SetCoefficient(d, 0, Coefficient::B, v); },
       [](CKorvaneDoc& d) { return d.members[0].coefB; }},
      {"d", TypedField::CoefficientD,
       [](CKorvaneDoc& d, float v) { return SetCoefficient(d, 0, Coefficient::D, v); },
       [](CKorvaneDoc& d) { return d.members[0].coefD; }},
      {"d, an exponent", TypedField::CarbonationD,
       [](CKorvaneDoc& d, float v) { return SetCoefficient(d, 0, Coefficient::D, v); },
       [](CKorvaneDoc& d) { return d.members[0].coefD; }, Standard::DB37T2361_2013},
  };
  for (const Field& f : fields) {
    const NumberRange range = RangeOf(f.range);
    const float step = range.integer ? 1.0f : 0.01f;
    const auto low = static_cast<float>(range.low);
    const auto high = static_cast<float>(range.high);
    const std::vector<float> outside = {low - step, high + step, kNaN,
                                        std::numeric_limits<float>::infinity()};
    for (float value : outside) {
      SCOPED_TRACE(std::string(f.name) + " " + std::to_string(value));
      auto doc = MakeEditingDoc(f.standard);
      const float old = f.stored(*doc);
      const std::string before = DumpDocument(*doc);
      const EditResult result = f.edit(*doc, value);
      EXPECT_TRUE(result.refused);
      EXPECT_EQ(result.message, RangeMessage(range));
      EXPECT_EQ(result.stored, old);
      EXPECT_EQ(result.before, nullptr);
      EXPECT_FALSE(doc->modified);
      EXPECT_EQ(DumpDocument(*doc), before);
    }
    for (float value : {range.lowIncluded ? low : low + step, high}) {
      SCOPED_TRACE(std::string(f.name) + " " + std::to_string(value));
      auto doc = MakeEditingDoc(f.standard);
      const EditResult result = f.edit(*doc, value);
      EXPECT_FALSE(result.refused);
      EXPECT_EQ(f.stored(*doc), value);
    }
  }
}

TEST(DocumentEdits, ZoneGridHasNoDistancesForSevenPoints) {
  auto doc = MakeWaveformDoc(1, 7, Standard::CECS02_2020);
  const EditResult result = SetZoneGridDistance(*doc, {0, 0}, 1, 300.0f);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(doc->Zone(0, 0)->points[1]->distance, 200.0f);
  // The main screen's distance field takes it.
  EXPECT_TRUE(SetPointDistance(*doc, {0, 0}, 1, 300.0f).changed());
}

// The same value again: nothing recomputed, not modified, nothing to undo.
TEST(DocumentEdits, StoringWhatIsStoredChangesNothing) {
  const std::vector<std::pair<const char*, Edit>> edits = {
      {"beta",
       [](CKorvaneDoc& d) { return SetZoneField(d, kOther, ZoneField::Beta, ZoneOf(d, kOther).beta); }},
      {"reading", [](CKorvaneDoc& d) { return SetReading(d, kOther, 2, ZoneOf(d, kOther).rebound[2]); }},
      {"angle", [](CKorvaneDoc& d) { return SetAngle(d, kOther, -45); }},
      {"method and position", [](CKorvaneDoc& d) { return SetTestLocation(d, kOther, "侧面"); }},
      {"eta held by every zone", [](CKorvaneDoc& d) { return SetEta(d, 1.0f); }},
      {"name", [](CKorvaneDoc& d) { return RenameMember(d, 0, "柱1"); }},
      {"pumped", [](CKorvaneDoc& d) { return SetPumped(d, 0, false); }},
      {"standard",
       [](CKorvaneDoc& d) {
         return SwitchStandard(d, {0, 0}, Standard::CECS02_2005);
       }},
      {"default table", [](CKorvaneDoc& d) { return RestoreDefaultTable(d, CorrectionTable::Angle); }},
  };
  for (const auto& [name, edit] : edits) {
    SCOPED_TRACE(name);
    auto doc = MakeEditingDoc();
    const std::string before = DumpDocument(*doc);
    const EditResult result = edit(*doc);
    EXPECT_FALSE(result.changed());
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(result.before, nullptr);
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(DumpDocument(*doc), before);
  }
}

TEST(DocumentEdits, WithoutAFileEveryEditIsRefused) {
  CKorvaneDoc doc;
  EXPECT_TRUE(SetZoneField(doc, {0, 0}, ZoneField::Beta, 1.0f).refused);
  EXPECT_TRUE(SetEta(doc, 1.0f).refused);
  EXPECT_TRUE(SetProjectText(doc, ProjectText::Site, "x").refused);
  EXPECT_TRUE(RestoreDefaultTable(doc, CorrectionTable::Angle).refused);
  EXPECT_TRUE(SelectMember(doc, 0).refused);
  EXPECT_EQ(doc.SectionRow(0), -1);
  EXPECT_FALSE(doc.modified);
}

TEST(DocumentEdits, SelectionsMoveThePositionOnly) {
  auto doc = MakeEditingDoc();
  doc->currentZone = 2;
  doc->currentPoint = 1;
  const std::string data = DumpDocument(*doc);
  const EditResult member = SelectMember(*doc, 1);
  EXPECT_EQ(member.scope, EditScope::Position);
  EXPECT_EQ(member.before, nullptr);
  EXPECT_EQ(doc->currentMember, 1);
  EXPECT_EQ(doc->currentZone, 0);
  EXPECT_EQ(doc->currentPoint, 0);
  EXPECT_TRUE(SelectZone(*doc, 1).changed());
  EXPECT_TRUE(SelectZone(*doc, 2).refused);  // member 1 has two zones
  EXPECT_TRUE(SelectPoint(*doc, 2).changed());
  EXPECT_TRUE(SelectPoint(*doc, 3).refused);
  EXPECT_EQ(doc->currentZone, 1);
  EXPECT_EQ(doc->currentPoint, 2);
  EXPECT_FALSE(doc->modified);
  EXPECT_EQ(doc->CurrentSectionRow(), 1);
}

// A zone change never leaves the views a point the new zone lacks: the
// point stays when the zone has it with samples, else the first that has.
TEST(DocumentEdits, ZoneChangesKeepAPointTheZoneHas) {
  enum class Move { Select, Next, Previous };
  struct Case {
    const char* name;
    int fromPoint;
    int pointCount;              // of the zone moved to
    std::vector<int> noSamples;  // its points without samples
    Move move;
    int expected;
  };
  const Case cases[] = {
      {"the point is there", 2, 3, {}, Move::Select, 2},
      {"past the zone's points", 5, 3, {}, Move::Next, 0},
      {"no samples at the point", 1, 3, {0, 1}, Move::Previous, 2},
      {"no samples anywhere", 1, 3, {0, 1, 2}, Move::Select, 0},
      {"after a 7-point zone", 6, 3, {0}, Move::Next, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = MakeEditingDoc();
    TestZone& target = doc->zoneLists[0][1];
    target.pointCount = c.pointCount;
    for (int slot : c.noSamples) target.point(slot)->samples = {};
    doc->currentZone = c.move == Move::Previous ? 2 : 0;
    doc->currentPoint = c.fromPoint;
    switch (c.move) {
      case Move::Select: EXPECT_TRUE(SelectZone(*doc, 1).changed()); break;
      case Move::Next: EXPECT_EQ(doc->NextZone(), ""); break;
      case Move::Previous: EXPECT_EQ(doc->PreviousZone(), ""); break;
    }
    EXPECT_EQ(doc->currentZone, 1);
    EXPECT_EQ(doc->currentPoint, c.expected);
  }
}

// Switching away from a standard that keeps the member's d and back shows
// the d it showed at first.
TEST(DocumentEdits, SwitchingBackShowsTheSameCoefficientD) {
  auto doc = MakeEditingDoc(Standard::CECS02_2005);
  ASSERT_TRUE(SwitchStandard(*doc, {0, 0}, Standard::TB10426_2004).changed());
  const float other = doc->members[0].coefD;
  ASSERT_TRUE(SwitchStandard(*doc, {0, 0}, Standard::CECS02_2005).changed());
  EXPECT_EQ(doc->members[0].coefD, NewMember().coefD);
  EXPECT_EQ(doc->members[1].coefD, NewMember().coefD);
  ASSERT_TRUE(SwitchStandard(*doc, {0, 0}, Standard::TB10426_2004).changed());
  EXPECT_EQ(doc->members[0].coefD, other);
}

}  // namespace
}  // namespace korvane::testing
