// The companion file beside a pair: its text, the values it puts back, and
// when an open uses it.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/companion_file.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

TEST(Companion, NamedAfterTheTextFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"x.SHA", "x.KVA"}, {"x.SHT", "x.KVT"}, {"dir/x.sht", "dir/x.kvt"}, {"a.b.SHA", "a.b.KVA"}};
  for (const auto& [text, companion] : cases) EXPECT_EQ(CompanionPath(text), fs::path(companion)) << text;
}

TEST(Companion, TextReadsBackAsWritten) {
  CompanionData data;
  data.values = {{"project", "eta", "1.23450005"},
                 {"member 2", "pumped", "1"},
                 {"zone 1.3", "typedR", "45.5"},
                 {"zone 1.3", "readings", "30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45"},
                 {"point 1.3.2", "distance", "150.5"},
                 {"member 1", "name", "KZ 1 = 柱"}};
  data.tables = {{"angle", {-8.0f, 1.5f}}};
  data.cores = {{0, 2, 31.25f}};
  const std::string text = EncodeCompanion(data, "x.SHA", "text bytes");
  const CompanionText back = DecodeCompanion(text);
  ASSERT_TRUE(back.valid) << back.error;
  EXPECT_EQ(back.textName, "x.SHA");
  EXPECT_EQ(back.checksum, TextChecksum("text bytes"));
  EXPECT_EQ(back.data, data);
  EXPECT_NE(TextChecksum("text bytes"), TextChecksum("text bytez"));

  const std::string head = "[korvane]\nformat=1\ntext=x.SHA\nchecksum=00ff\n";
  const char* const broken[] = {
      "",                                   // no head
      "[korvane]\nformat=1\ntext=x.SHA\n",  // no checksum
      "[korvane]\nformat=2\nchecksum=1\n",  // another format
      "[zone 1.1]\nbeta=1\n",               // values before the head
  };
  for (const char* bytes : broken) EXPECT_FALSE(DecodeCompanion(bytes).valid) << bytes;
  for (const char* tail : {"[zone 0.1]\nbeta=1\n", "[member x]\nname=a\n", "[shelf]\na=1\n", "[cores]\n1=a\n",
                           "[table angle]\ncells=1 x\n", "[zone 1.1]\nno equals sign\n"}) {
    EXPECT_FALSE(DecodeCompanion(head + tail).valid) << tail;
  }
}

TEST(Companion, StoredValuesGoBackWhereTheyBelong) {
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2, 2});
  struct Case {
    StoredValue value;
    bool applied;
    std::function<bool(const SyntheticData&)> holds;
  };
  const std::vector<Case> cases = {
      {{"project", "eta", "1.2345"}, true, [](const SyntheticData& r) { return r.project.eta == 1.2345f; }},
      {{"member 2", "pumped", "1"}, true, [](const SyntheticData& r) { return r.members[1].pumped; }},
      {{"member 1", "aggregate", "0"},
       true,
       [](const SyntheticData& r) { return r.members[0].aggregateType == Aggregate::Custom; }},
      {{"zone 2.1", "typedR", "45"},
       true,
       [](const SyntheticData& r) {
         return r.zoneLists[1][0].reboundManual == 1 && r.zoneLists[1][0].reboundValue == 45.0f;
       }},
      {{"zone 1.2", "readings", "30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45"},
       true,
       [](const SyntheticData& r) { return r.zoneLists[0][1].rebound[15] == 45; }},
      {{"zone 1.1", "surface", "2"},
       true,
       [](const SyntheticData& r) { return r.zoneLists[0][0].surface == Surface::Bottom; }},
      {{"point 1.2.3", "distance", "150.5"},
       true,
       [](const SyntheticData& r) { return r.zoneLists[0][1].points[2]->distance == 150.5f; }},
      // Left out, counted:
      {{"zone 3.1", "beta", "1"}, false, nullptr},          // no such member
      {{"zone 1.9", "beta", "1"}, false, nullptr},          // no such zone
      {{"point 1.1.7", "distance", "1"}, false, nullptr},   // no such point
      {{"zone 1.1", "colour", "1"}, false, nullptr},        // no such field
      {{"zone 1.1", "beta", "one"}, false, nullptr},        // not a number
      {{"zone 1.1", "beta", "inf"}, false, nullptr},        // not finite
      {{"zone 1.1", "surface", "3"}, false, nullptr},       // not a surface
      {{"zone 1.1", "readings", "30 31"}, false, nullptr},  // not sixteen
      {{"member 1", "pumped", "2"}, false, nullptr},        // not a flag
  };
  for (const Case& c : cases) {
    SyntheticData r = d;
    EXPECT_EQ(ApplyStoredValues({c.value}, &r.project, r.members, r.zoneLists), c.applied ? 0 : 1)
        << c.value.place << " " << c.value.field;
    if (c.holds) {
      EXPECT_TRUE(c.holds(r)) << c.value.place << " " << c.value.field;
    }
  }
  // Members count from the first member of the file (a merge appends).
  SyntheticData r = d;
  EXPECT_EQ(ApplyStoredValues({{"member 1", "pumped", "1"}}, nullptr, r.members, r.zoneLists, 1), 0);
  EXPECT_TRUE(r.members[1].pumped);
  EXPECT_FALSE(r.members[0].pumped);
}

// Companion files already written name their values so: every name is
// still read (the names of values the text file has a column for now come
// from the column table, and must not move with it).
TEST(Companion, EveryStoredNameIsStillRead) {
  const SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2, 1});
  const StoredValue stored[] = {
      {"project", "instrument", "X"},
      {"project", "site", "X"},
      {"project", "testDate", "X"},
      {"project", "unit", "X"},
      {"project", "person", "X"},
      {"project", "castingDate", "X"},
      {"project", "testMethod", "1"},
      {"project", "spot", "X"},
      {"project", "beta", "1"},
      {"project", "lambda", "1"},
      {"project", "eta", "1"},
      {"project", "deltaTot", "1"},
      {"project", "standard", "X"},
      {"member 1", "name", "X"},
      {"member 1", "pumped", "1"},
      {"member 1", "aggregate", "1"},
      {"member 1", "a", "1"},
      {"member 1", "b", "1"},
      {"member 1", "c", "1"},
      {"member 1", "d", "1"},
      {"zone 1.1", "sampleInterval", "1"},
      {"zone 1.1", "delay", "1"},
      {"zone 1.1", "testMethod", "1"},
      {"zone 1.1", "location", "X"},
      {"zone 1.1", "beta", "1"},
      {"zone 1.1", "lambda", "1"},
      {"zone 1.1", "eta", "1"},
      {"zone 1.1", "typedR", "40"},
      {"zone 1.1", "angle", "30"},
      {"zone 1.1", "surface", "1"},
      {"zone 1.1", "carbonation", "1"},
      {"zone 1.1", "deltaTot", "1"},
      {"point 1.1.1", "distance", "1"},
      {"point 1.1.1", "arrival", "1"},
      {"point 1.1.1", "amplitude", "1"},
      {"point 1.1.1", "gain", "1"},
      {"point 1.1.1", "delay", "1"},
      {"zone 1.1", "readings", "30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45"},
  };
  for (const StoredValue& value : stored) {
    SyntheticData r = d;
    EXPECT_EQ(ApplyStoredValues({value}, &r.project, r.members, r.zoneLists), 0)
        << value.place << " " << value.field;
  }
}

// What an open does with the companion beside the pair.
// The correction tables of a file opened are the defaults plus its own,
// whatever file was open before: a file without a companion (or with one
// that no longer fits it) does not inherit the previous file's tables.
TEST(Companion, TheTablesFollowTheFileOpened) {
  enum class Second { NoCompanion, StaleCompanion, OwnTable };
  struct Case {
    const char* name;
    Second second;
    float expectedCell;  // the second file's angle[0][0] after opening it
  };
  const float fallback = CorrectionTables::Defaults().angle[0][0];
  const Case cases[] = {
      {"no companion", Second::NoCompanion, fallback},
      {"stale companion", Second::StaleCompanion, fallback},
      {"its own table", Second::OwnTable, 7.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
    // A file whose companion changes the angle table, and the other file,
    // with or without a table of its own.
    const auto writeWithAngleCell = [&](const fs::path& path, std::optional<float> cell) {
      WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
      if (!cell) return;
      CKorvaneDoc doc(CKorvaneDoc::Settings::None);
      doc.OnOpenDocument(path);
      std::vector<float> cells = TableValues(doc.tables, CorrectionTable::Angle);
      cells[0] = *cell;
      ASSERT_TRUE(SetCorrectionTable(doc, CorrectionTable::Angle, cells).changed());
      doc.OnSaveDocument(path);
    };
    const fs::path first = dir / "a.SHA";
    const fs::path second = dir / "b.SHA";
    writeWithAngleCell(first, -9.5f);
    writeWithAngleCell(second, c.second == Second::NoCompanion ? std::nullopt : std::optional(7.5f));
    if (c.second == Second::StaleCompanion) std::ofstream(second, std::ios::binary | std::ios::app) << "\r\n";

    CKorvaneDoc doc(CKorvaneDoc::Settings::None);
    doc.OnOpenDocument(first);
    ASSERT_EQ(doc.tables.angle[0][0], -9.5f);
    doc.OnOpenDocument(second);
    EXPECT_EQ(doc.tables.angle[0][0], c.expectedCell);
    // The same as opening the second file alone.
    CKorvaneDoc alone(CKorvaneDoc::Settings::None);
    alone.OnOpenDocument(second);
    EXPECT_EQ(TableValues(doc.tables, CorrectionTable::Angle),
              TableValues(alone.tables, CorrectionTable::Angle));
  }
}

TEST(Companion, AnOpenUsesOnlyTheCompanionOfTheTextItOpens) {
  enum class Change { None, TextEdited, Renamed, Garbage, Removed };
  struct Case {
    const char* name;
    Change change;
    bool applied;
    const char* message;  // start of the warning, "" for none
  };
  const Case cases[] = {
      {"kept", Change::None, true, ""},
      {"text changed elsewhere", Change::TextEdited, false, "附加数据文件"},
      {"companion of another text", Change::Renamed, false, ""},
      {"not a companion", Change::Garbage, false, "附加数据文件"},
      {"no companion", Change::Removed, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
    const fs::path path = dir / "x.SHA";
    WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
    EXPECT_FALSE(fs::exists(CompanionPath(path)));  // nothing to keep, none written
    {
      CKorvaneDoc doc(CKorvaneDoc::Settings::None);
      doc.OnOpenDocument(path);
      ASSERT_TRUE(SetZoneField(doc, {0, 1}, ZoneField::ReboundValue, 45.0f).changed());
      doc.OnSaveDocument(path);
    }
    ASSERT_TRUE(fs::exists(CompanionPath(path)));
    const fs::path other = dir / "y.SHA";
    switch (c.change) {
      case Change::None: break;
      case Change::TextEdited: std::ofstream(path, std::ios::binary | std::ios::app) << "\r\n"; break;
      case Change::Renamed:
        fs::copy_file(path, other);
        fs::copy_file(dir / "x.SHD", dir / "y.SHD");
        fs::copy_file(CompanionPath(path), CompanionPath(other));
        break;
      case Change::Garbage: std::ofstream(CompanionPath(path), std::ios::binary) << "\x01\x02"; break;
      case Change::Removed: fs::remove(CompanionPath(path)); break;
    }
    CKorvaneDoc doc(CKorvaneDoc::Settings::None);
    std::vector<std::string> warnings;
    doc.warningSink = [&warnings](std::string_view m) { warnings.emplace_back(m); };
    doc.OnOpenDocument(c.change == Change::Renamed ? other : path);
    EXPECT_EQ(doc.zoneLists[0][1].reboundManual == 1, c.applied);
    if (*c.message == '\0') {
      EXPECT_TRUE(warnings.empty()) << warnings.front();
    } else {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0].rfind(c.message, 0), 0u) << warnings[0];
    }
  }
}

// A save over a pair whose companion holds nothing any more replaces the
// companion, so that an older one never comes back into force.
TEST(Companion, ASaveWithNothingToKeepReplacesAnOldCompanion) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const fs::path path = dir / "x.SHA";
  WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  doc.OnOpenDocument(path);
  ASSERT_TRUE(SetZoneField(doc, {0, 0}, ZoneField::ReboundValue, 45.0f).changed());
  doc.OnSaveDocument(path);
  doc.zoneLists[0][0].reboundManual = 0;
  doc.OnSaveDocument(path);
  std::string text;
  ASSERT_FALSE(platform::ReadRegularFile(CompanionPath(path), text));
  const CompanionText companion = DecodeCompanion(text);
  ASSERT_TRUE(companion.valid);
  EXPECT_TRUE(companion.data.empty());
  CKorvaneDoc reopened(CKorvaneDoc::Settings::None);
  reopened.OnOpenDocument(path);
  EXPECT_EQ(reopened.zoneLists[0][0].reboundManual, 0);
}

}  // namespace
}  // namespace korvane::testing
