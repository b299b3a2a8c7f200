#include <gtest/gtest.h>

#include "core/algorithm/correction_tables.h"
#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/app/merge_output.h"
#include "core/data/file_messages.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

// A raw file of one member recorded on channel `channel` of a VKT-U-6 (two
// channel rows; the other channel's row has other settings).
std::filesystem::path WriteRaw(const TempDir& dir, const std::string& name, int points, TestMethod method,
                               const std::string& standard, int zones, int channel, std::uint64_t seed) {
  SyntheticData d = SmallData(points, method, standard, {zones}, seed);
  d.members[0].name = name;
  d.members[0].sectionIndex = channel;
  d.sections.resize(2, d.sections[0]);
  for (int r = 0; r < 2; ++r) {
    d.sections[static_cast<std::size_t>(r)].sectionIndex = r;
    d.sections[static_cast<std::size_t>(r)].sampleInterval = r == channel ? 0.5f : 2.0f;
    d.sections[static_cast<std::size_t>(r)].sampleCount = r == channel ? 64 : 16;
  }
  const auto path = dir / (name + ".SHT");
  WriteRawFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  return path;
}

TEST(Merge, ThreeRawFilesBecomeThreeMembers) {
  TempDir dir;
  const std::vector<std::filesystem::path> inputs = {
      WriteRaw(dir, "a", 3, TestMethod::Surface, "cecs02:2005", 2, 0, 1),
      WriteRaw(dir, "b", 3, TestMethod::Surface, "cecs02:2005", 3, 1, 2),
      WriteRaw(dir, "c", 3, TestMethod::Surface, "cecs02:2005", 1, 1, 3),
  };
  const MergedData data = ReadMergeInputs(inputs);
  ASSERT_EQ(data.memberCount, 3);
  // Each raw file contributes only its own channel's row.
  ASSERT_EQ(data.sections.size(), 3u);
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(data.members[static_cast<std::size_t>(j)].sectionIndex, j);
    EXPECT_EQ(data.sections[static_cast<std::size_t>(j)].sectionIndex, j);
    EXPECT_EQ(data.sections[static_cast<std::size_t>(j)].sampleInterval, 0.5f);
  }

  const auto output = dir / "merged.SHA";
  WriteMergedFile(data, output);
  ReadBack back;
  ReadTestFile(OpenFilePair(output), back.Target(), 0, {});
  ASSERT_EQ(back.memberCount, 3);
  EXPECT_EQ(back.members[1].name, "b");
  EXPECT_EQ(back.zoneLists[0].size(), 2u);
  EXPECT_EQ(back.zoneLists[1].size(), 3u);
  EXPECT_EQ(back.zoneLists[2].size(), 1u);
  for (const Member& member : back.members) {
    EXPECT_EQ(member.sampleCount, 64);
    EXPECT_EQ(member.sampleInterval, 0.5f);
  }
  // The strengths stored are recomputed from the merged data.
  for (ZoneList& zones : back.zoneLists) {
    for (TestZone& zone : zones) {
      EXPECT_GT(zone.strengthValue, 0.0f);
      zone.strengthValue = 0.0f;
    }
  }
  ExpectSameZoneLists(data.zoneLists, back.zoneLists);
}

// A raw file after a result file of several members takes its own row, not
// the row of the result file's second member.
TEST(Merge, RawFileAfterAMultiMemberFileKeepsItsOwnRow) {
  TempDir dir;
  SyntheticData result = SmallData(3, TestMethod::Surface, "cecs02:2005", {1, 1, 1});
  const auto first = dir / "three.SHA";
  WriteResultFile(OpenFilePair(first), result.project, result.zoneLists, result.memberCount, {},
                  result.sections, result.members);
  const auto raw = WriteRaw(dir, "raw", 3, TestMethod::Surface, "cecs02:2005", 2, 0, 9);
  const MergedData data = ReadMergeInputs({first, raw});
  ASSERT_EQ(data.memberCount, 4);
  ASSERT_EQ(data.sections.size(), 4u);
  EXPECT_EQ(data.sections[3].sampleInterval, 0.5f);
  EXPECT_EQ(data.sections[3].sampleCount, 64);
}

TEST(Merge, ThreeChannelRawFileKeepsOnlyItsChannel) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  d.project.instrument = "VKT-U-8";
  d.members[0].sectionIndex = 2;
  d.sections.resize(3, d.sections[0]);
  for (int r = 0; r < 3; ++r) {
    d.sections[static_cast<std::size_t>(r)].sectionIndex = r;
    d.sections[static_cast<std::size_t>(r)].crossDistance = static_cast<float>(100 + r);
  }
  const auto path = dir / "three-channels.SHT";
  WriteRawFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  const MergedData data = ReadMergeInputs({path, path});
  ASSERT_EQ(data.sections.size(), 2u);
  EXPECT_EQ(data.sections[0].crossDistance, 102.0f);
  EXPECT_EQ(data.sections[1].crossDistance, 102.0f);
}

// A member's own strength formula (aggregate code 0 and its A, B, C) and
// what each source's companion keeps (typed R, pumped) reach the merged
// file; the strengths it stores are those its data give.
TEST(Merge, OwnFormulasAndCompanionsAreKeptAndResultsRecomputed) {
  TempDir dir;
  const auto source = [&](const std::string& name, std::uint64_t seed,
                          const std::function<void(CKorvaneDoc&)>& edit) {
    SyntheticData d = SmallData(3, TestMethod::Surface, "tb10426-2004", {3}, seed);
    d.members[0].name = name;
    const auto path = dir / (name + ".SHA");
    WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
    CKorvaneDoc doc(CKorvaneDoc::Settings::None);
    doc.OnOpenDocument(path);
    edit(doc);
    doc.OnSaveDocument(path);
    return path;
  };
  const auto own = source("own", 1, [](CKorvaneDoc& d) {
    ASSERT_TRUE(SetAggregate(d, 0, Aggregate::Custom).changed());
    ASSERT_TRUE(SetCoefficient(d, 0, Coefficient::A, 0.0125f).changed());
    ASSERT_TRUE(SetCoefficient(d, 0, Coefficient::B, 1.72f).changed());
  });
  const auto typed = source("typed", 2, [](CKorvaneDoc& d) {
    ASSERT_TRUE(SetZoneField(d, {0, 1}, ZoneField::ReboundValue, 45.0f).changed());
    ASSERT_TRUE(SetPumped(d, 0, true).changed());
  });
  const auto output = dir / "merged.SHA";
  WriteMergedFile(ReadMergeInputs({own, typed}), output);

  CKorvaneDoc merged(CKorvaneDoc::Settings::None);
  merged.OnOpenDocument(output);
  ASSERT_EQ(merged.members.size(), 2u);
  const Member& first = merged.members[0];
  EXPECT_EQ(first.aggregateType, Aggregate::Custom);
  EXPECT_EQ(first.coefA, 0.0125f);
  EXPECT_EQ(first.coefB, 1.72f);
  EXPECT_NE(first.coefC, 0.0f);
  EXPECT_TRUE(merged.members[1].pumped);
  EXPECT_EQ(merged.zoneLists[1][1].reboundManual, 1);
  EXPECT_EQ(merged.zoneLists[1][1].reboundValue, 45.0f);
  // Stored (one decimal) = recomputed from the merged data.
  std::vector<float> stored;
  for (const ZoneList& zones : merged.zoneLists)
    for (const TestZone& zone : zones) stored.push_back(zone.strengthValue);
  merged.RecomputeAll();
  std::size_t k = 0;
  for (const ZoneList& zones : merged.zoneLists) {
    for (const TestZone& zone : zones) {
      EXPECT_GT(zone.strengthValue, 0.0f);
      EXPECT_NEAR(stored[k++], zone.strengthValue, 0.05f);
    }
  }
}

// A merge that would change a file's strengths says which files differ and
// how each member's estimate changes; files alike change nothing.
TEST(Merge, FilesOfAnotherStandardOrOtherTablesAreNamedWithTheirChanges) {
  TempDir dir;
  const auto source = [&](const std::string& name, const std::string& standard, bool editTable) {
    SyntheticData d = SmallData(3, TestMethod::Surface, standard, {3}, 5);
    d.members[0].name = name;
    for (TestZone& zone : d.zoneLists[0]) zone.angle = 90;  // read upwards: the angle table counts
    const auto path = dir / (name + ".SHA");
    WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
    if (editTable) {
      CKorvaneDoc doc(CKorvaneDoc::Settings::None);
      doc.OnOpenDocument(path);
      std::vector<float> cells = TableValues(doc.tables, CorrectionTable::Angle);
      for (float& cell : cells) cell -= 3.0f;
      EXPECT_TRUE(SetCorrectionTable(doc, CorrectionTable::Angle, cells).changed());
      doc.OnSaveDocument(path);
    }
    return path;
  };
  const auto plain = source("plain", "cecs02:2005", false);
  const auto alike = source("alike", "cecs02:2005", false);
  const auto other = source("other", "cecs02-2020", false);
  const auto edited = source("edited", "cecs02:2005", true);

  struct Case {
    const char* name;
    std::vector<std::filesystem::path> inputs;
    std::vector<std::string> otherStandard;
    std::vector<std::string> otherTables;
  };
  const Case cases[] = {
      {"alike", {plain, alike}, {}, {}},
      {"another standard", {plain, other}, {"other.SHA"}, {}},
      // The merged file keeps the first edited tables: the plain file's
      // members would be computed with them.
      {"other tables", {plain, edited}, {}, {"plain.SHA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MergeCheck check = CheckMerge(c.inputs, ReadMergeInputs(c.inputs));
    EXPECT_EQ(check.otherStandard, c.otherStandard);
    EXPECT_EQ(check.otherTables, c.otherTables);
    EXPECT_EQ(check.empty(), c.otherStandard.empty() && c.otherTables.empty());
    if (check.empty()) continue;
    // The member that changes, with its estimate before and after.
    ASSERT_EQ(check.members.size(), 1u);
    const std::string file = c.otherStandard.empty() ? c.otherTables[0] : c.otherStandard[0];
    EXPECT_EQ(check.members[0].file, file);
    CKorvaneDoc own(CKorvaneDoc::Settings::None);
    own.OnOpenDocument(dir / file);
    own.RecomputeAll();
    EXPECT_EQ(check.members[0].before, own.members[0].estimatedStrength);
    EXPECT_NE(check.members[0].after, check.members[0].before);
    EXPECT_NE(MergeChangeText(check).find("构件 " + check.members[0].member + "（" + file + "）："),
              std::string::npos)
        << MergeChangeText(check);
  }
}

TEST(Merge, Messages) {
  TempDir dir;
  const auto seven = WriteRaw(dir, "seven", 7, TestMethod::Surface, "cecs02-2020", 1, 0, 1);
  const auto three = WriteRaw(dir, "three", 3, TestMethod::Surface, "cecs02:2005", 1, 0, 2);
  EXPECT_EQ(ErrorOf([&] {
              ReadMergeInputs({seven, three});
            }),
            "读取文件" + three.string() + "错误:" + std::string(kMsgPointsPerZoneDiffer));
  const auto missing = dir / "missing.SHT";
  EXPECT_EQ(ErrorOf([&] {
              ReadMergeInputs({seven, missing});
            }),
            "读取文件" + missing.string() + "错误:" + std::string(kMsgOpenFileFailed) + " " +
                missing.string() + "：No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReadMergeInputs({}); }), kMsgMergeNothingSelected);

  // Nothing is written when a file cannot be read.
  const auto output = dir / "out.SHA";
  EXPECT_FALSE(ErrorOf([&] { WriteMergedFile(ReadMergeInputs({seven, missing}), output); }).empty());
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace korvane::testing
