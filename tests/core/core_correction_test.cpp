// The core correction: η or Δtot by the standard's group, the value the file
// holds, its refusals and warning, the dialog's table, and the cores on the
// result table's last page.
#include "core/algorithm/core_correction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/algorithm/zone_computation.h"
#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"
#include "core/forms/core_correction_model.h"
#include "core/report/report_layout.h"
#include "support/document_dump.h"
#include "support/enum_printing.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

// The standards whose analysis form offers Δtot instead of η.
const std::set<Standard> kAdditive = {Standard::CECS02_2020,    Standard::JTS239_2015,
                                      Standard::TB10426_2019,   Standard::DGTJ08_2020_2007,
                                      Standard::DB37T2361_2013, Standard::DGJ32TJ144_2012};

// fcu,i of a zone with η = 1 and Δtot = 0.
float PlainStrength(const CKorvaneDoc& doc, ZoneRef at) {
  TestZone zone = *doc.Zone(at.member, at.zone);
  zone.eta = 1.0f;
  zone.deltaTot = 0.0f;
  return ConvertStrength(doc.algorithm, doc.members[static_cast<std::size_t>(at.member)], zone);
}

constexpr ZoneRef kSix[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {0, 1}};

// Six cores 10% above their zones' values (factor standards) or 2.5 MPa
// above (additive ones) give η = 1.10 or Δtot = 2.50, which goes into every
// zone exactly as the η or Δtot field puts it.
TEST(CoreCorrection, EachStandardGroupDerivesAndAppliesItsValue) {
  for (Standard standard : kAllStandards) {
    SCOPED_TRACE(standard);
    auto doc = MakeEditingDoc(standard);
    // No carbonation term of the member's own (its d of 0.5 would make
    // strengths no core has).
    for (Member& m : doc->members) m.coefD = 0.0f;
    doc->RecomputeAll();
    const bool additive = kAdditive.count(standard) != 0;
    std::vector<CoreSample> cores;
    for (ZoneRef at : kSix) {
      const float f = PlainStrength(*doc, at);
      cores.push_back({at.member, at.zone, additive ? f + 2.5f : 1.1f * f});
    }
    const CoreCorrection derived = DeriveCoreCorrection(doc->algorithm, doc->members, doc->zoneLists, cores);
    EXPECT_EQ(derived.method, additive ? CoreMethod::DeltaTot : CoreMethod::Eta);
    EXPECT_EQ(derived.n(), 6) << derived.problem;
    EXPECT_NEAR(derived.derived, additive ? 2.5 : 1.1, 1e-5);
    EXPECT_EQ(derived.applied, additive ? 2.5f : 1.1f);
    EXPECT_TRUE(derived.warning.empty());

    auto byField = MakeEditingDoc(standard);
    for (Member& m : byField->members) m.coefD = 0.0f;
    byField->RecomputeAll();
    ASSERT_TRUE((additive ? SetDeltaTot(*byField, 2.5f) : SetEta(*byField, 1.1f)).changed());
    byField->cores = cores;
    const EditResult result = ApplyCoreCorrection(*doc, cores);
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(result.stored, derived.applied);
    EXPECT_EQ(DumpDocument(*doc), DumpDocument(*byField));
  }
}

TEST(CoreCorrection, RefusalsLeaveTheFileAlone) {
  auto doc = MakeEditingDoc();
  doc->members[0].coefA = 0.002f;  // member 0's own curve: strengths near 8 MPa
  doc->RecomputeAll();
  const float f = PlainStrength(*doc, {0, 0});
  struct Case {
    const char* name;
    std::vector<CoreSample> cores;
    std::string message;
  };
  const Case cases[] = {
      {"no cores", {}, std::string(kMsgNoCores)},
      {"no such member", {{0, 0, f}, {2, 0, f}}, "芯样2：" + std::string(kMsgCoreNoZone)},
      {"no such zone", {{1, 2, f}}, "芯样1：" + std::string(kMsgCoreNoZone)},
      {"negative index", {{0, -1, f}}, "芯样1：" + std::string(kMsgCoreNoZone)},
      {"fcor above 200 MPa",
       {{0, 0, f}, {0, 1, 200.01f}},
       "芯样2：" + RangeMessage(RangeOf(TypedField::CoreStrength))},
      {"fcor not above 0",
       {{0, 0, f}, {0, 1, 0.0f}},
       "芯样2：" + RangeMessage(RangeOf(TypedField::CoreStrength))},
      {"η above 10", {{0, 0, 10.01f * f}}, RangeMessage(RangeOf(TypedField::Eta))},
      {"η below 0.1", {{0, 0, 0.09f * f}}, RangeMessage(RangeOf(TypedField::Eta))},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const std::string before = DumpDocument(*doc);
    const EditResult result = ApplyCoreCorrection(*doc, k.cores);
    EXPECT_TRUE(result.refused);
    EXPECT_EQ(result.message, k.message);
    EXPECT_EQ(result.before, nullptr);
    EXPECT_EQ(DumpDocument(*doc), before);
  }
  auto additive = MakeEditingDoc(Standard::CECS02_2020);
  additive->RecomputeAll();
  const float g = PlainStrength(*additive, {0, 0});
  EXPECT_EQ(ApplyCoreCorrection(*additive, {{0, 0, g + 30.01f}}).message,
            RangeMessage(RangeOf(TypedField::DeltaTot)));
}

// Fewer than six cores are applied with a warning naming their count.
TEST(CoreCorrection, FewCoresWarnWithTheirCount) {
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    auto doc = MakeEditingDoc();
    doc->RecomputeAll();
    std::vector<CoreSample> cores;
    for (int k = 0; k < n; ++k) cores.push_back({kSix[k].member, kSix[k].zone, PlainStrength(*doc, kSix[k])});
    const EditResult result = ApplyCoreCorrection(*doc, cores);
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(result.message, n < 6 ? "芯样只有" + std::to_string(n) + "个（少于6个），修正值仅供参考" : "");
    EXPECT_EQ(doc->cores, cores);
    EXPECT_EQ(doc->project.eta, 1.0f);
  }
}

// The value the file holds is the one applied: two decimals, as η and Δtot
// are written.
TEST(CoreCorrection, TheValueAppliedHasTwoDecimals) {
  struct Case {
    double derived;
    float applied;
  };
  for (const Case& k : {Case{1.0734, 1.07f}, Case{1.0751, 1.08f}, Case{-2.3449, -2.34f}, Case{0.999, 1.0f}}) {
    SCOPED_TRACE(k.derived);
    EXPECT_EQ(RoundedCorrection(k.derived), k.applied);
  }
}

TEST(CoreCorrectionModel, TheDialogsTable) {
  auto doc = MakeEditingDoc();
  doc->RecomputeAll();
  doc->currentMember = 1;
  doc->currentZone = 1;
  CoreCorrectionModel model(*doc);
  EXPECT_EQ(model.ColumnHead(4), "fcor/fcu,i");
  EXPECT_EQ(model.MemberNames(), (std::vector<std::string>{"柱1", "梁2"}));
  EXPECT_EQ(model.ZoneNames(0), (std::vector<std::string>{"1", "2", "3"}));
  // The first row on the current zone, the next one after it (the same at
  // the member's last zone).
  EXPECT_EQ(model.AddRow(), 0);
  EXPECT_EQ(model.AddRow(), 1);
  EXPECT_EQ(model.rows()[0].member, 1);
  EXPECT_EQ(model.rows()[0].zone, 1);
  EXPECT_EQ(model.rows()[1].zone, 1);
  // Member 0 has zone 2; member 1 does not: it goes back to zone 1.
  model.SetMember(1, 0);
  model.SetZone(1, 2);
  model.SetMember(1, 1);
  EXPECT_EQ(model.rows()[1].zone, 0);
  model.SetZone(1, 5);  // no such zone: kept
  EXPECT_EQ(model.rows()[1].zone, 0);

  EXPECT_EQ(model.SetStrength(0, "abc"), RangeMessage(RangeOf(TypedField::CoreStrength)));
  EXPECT_EQ(model.SetStrength(1, "0"), RangeMessage(RangeOf(TypedField::CoreStrength)));
  EXPECT_TRUE(model.Cores().empty());
  EXPECT_EQ(model.FormulaText(), kMsgNoCores);
  EXPECT_EQ(model.ConversionText(0), "");

  const float f = PlainStrength(*doc, {1, 1});
  EXPECT_EQ(model.SetStrength(0, FormatFixed(1.25 * f, 0, 3)), "");
  EXPECT_EQ(model.Cores().size(), 1u);
  EXPECT_EQ(model.ConversionText(0), FormatFixed(f, 0, 1));
  EXPECT_EQ(model.RatioText(0), "1.250");
  EXPECT_EQ(model.FormulaText(),
            "η = (1/n)·Σ fcor,i/fcu,i = 1.2500，取 1.25（n=1）\n芯样只有1个（少于6个），修正值仅供参考");
  model.RemoveRow(0);
  EXPECT_EQ(model.rows().size(), 1u);

  // A file's cores come back as rows with every digit they hold.
  doc->cores = {{0, 2, 31.25f}, {1, 0, 28.123456f}};
  const CoreCorrectionModel reopened(*doc);
  ASSERT_EQ(reopened.rows().size(), 2u);
  EXPECT_EQ(reopened.rows()[0].strength, "31.25");
  EXPECT_EQ(reopened.Cores(), doc->cores);
}

// The result table's last page prints the cores under the batch summary:
// member, zone, fcu,i, fcor, the ratio and the value, one row per core.
TEST(CoreCorrection, TheResultTablesLastPageListsTheCores) {
  auto doc = MakeEditingDoc(Standard::CECS02_2020);
  doc->RecomputeAll();
  const float f = PlainStrength(*doc, {1, 1});
  ASSERT_TRUE(
      ApplyCoreCorrection(*doc, {{1, 1, f + 3.0f}, {0, 0, PlainStrength(*doc, {0, 0}) + 2.0f}}).changed());
  const report::Rect title{0, 0, 4000, 300}, body{0, 300, 4000, 5600};
  auto texts = [&](int member) {
    std::vector<std::string> all;
    for (const report::TextItem& t :
         report::LayoutResultTablePage(ReportSourceOf(*doc), member, 1, title, body).texts)
      all.push_back(t.text);
    return all;
  };
  const std::vector<std::string> last = texts(1);
  const std::vector<std::string> expected = {
      "钻芯修正", "构件",     "fcor-fcu,i(MPa)",    "Δtot(MPa)",
      "梁2",      "2",        FormatFixed(f, 0, 1), FormatFixed(f + 3.0f, 0, 1),
      "3.0",      "2.50\nn=2"};
  for (const std::string& text : expected) {
    EXPECT_NE(std::find(last.begin(), last.end(), text), last.end()) << text;
  }
  // Not on the other member's page, nor in a file without cores.
  const std::vector<std::string> first = texts(0);
  EXPECT_EQ(std::find(first.begin(), first.end(), "钻芯修正"), first.end());
  doc->cores.clear();
  const std::vector<std::string> without = texts(1);
  EXPECT_EQ(std::find(without.begin(), without.end(), "钻芯修正"), without.end());
}

}  // namespace
}  // namespace korvane::testing
