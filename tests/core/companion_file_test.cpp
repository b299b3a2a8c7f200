// The companion file beside a pair: its text, the values it puts back, and
// when an open uses it.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <optional>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/companion_file.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"
#include "file_test_support.h"
#include "support/document_dump.h"

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
      // Values a field would refuse: left out, whatever the checksum says.
      {{"project", "eta", "1e9"}, false, nullptr},
      {{"project", "eta", "-2"}, false, nullptr},
      {{"zone 1.1", "eta", "0.05"}, false, nullptr},
      {{"zone 1.1", "typedR", "1e9"}, false, nullptr},
      {{"zone 1.1", "typedR", "19.9"}, false, nullptr},
      {{"zone 1.1", "readings", "30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 500"}, false, nullptr},
      {{"zone 1.1", "lambda", "1e30"}, false, nullptr},
      {{"zone 1.1", "angle", "12345"}, false, nullptr},
      {{"zone 1.1", "carbonation", "11"}, false, nullptr},
      {{"zone 1.1", "deltaTot", "nan"}, false, nullptr},
      {{"member 1", "a", "0"}, false, nullptr},
      {{"member 1", "d", "-1.5"}, false, nullptr},
      {{"point 1.1.1", "distance", "-1"}, false, nullptr},
      {{"point 1.1.1", "gain", "101"}, false, nullptr},
      {{"point 1.1.1", "arrival", "-3"}, false, nullptr},
      {{"project", "standard", "GB 50000"}, false, nullptr},
      {{"project", "site", "\xB9\xA4\xB3\xCC"}, false, nullptr},  // not UTF-8
      // ... and at their ends they are taken.
      {{"zone 1.1", "eta", "0.1"},
       true,
       [](const SyntheticData& r) { return r.zoneLists[0][0].eta == 0.1f; }},
      {{"member 1", "d", "-0.0113"},
       true,
       [](const SyntheticData& r) { return r.members[0].coefD == -0.0113f; }},
      {{"zone 1.1", "angle", "-90"},
       true,
       [](const SyntheticData& r) { return r.zoneLists[0][0].angle == -90; }},
      {{"project", "standard", "DB37/T 2361-2013"},
       true,
       [](const SyntheticData& r) { return r.project.standardName == "DB37/T 2361-2013"; }},
  };
  for (const Case& c : cases) {
    SyntheticData r = d;
    EXPECT_EQ(ApplyStoredValues({c.value}, &r.project, r.members, r.zoneLists).size(), c.applied ? 0u : 1u)
        << c.value.place << " " << c.value.field;
    if (c.holds) {
      EXPECT_TRUE(c.holds(r)) << c.value.place << " " << c.value.field;
    }
  }
  // What was left out is named with why.
  SyntheticData named = d;
  EXPECT_EQ(ApplyStoredValues({{"zone 1.2", "eta", "1e9"}, {"zone 1.9", "beta", "1"}}, &named.project,
                              named.members, named.zoneLists),
            (std::vector<std::string>{"zone 1.2 eta=1e9（强度修正系数η须为0.1～10之间的数）",
                                      "zone 1.9 beta=1（没有这一位置）"}));
  // Members count from the first member of the file (a merge appends).
  SyntheticData r = d;
  EXPECT_TRUE(ApplyStoredValues({{"member 1", "pumped", "1"}}, nullptr, r.members, r.zoneLists, 1).empty());
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
      {"project", "standard", "CECS 02-2020"},
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
    EXPECT_EQ(ApplyStoredValues({value}, &r.project, r.members, r.zoneLists), std::vector<std::string>{})
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

// Tables with a cell no table can hold and cores that no zone or no core
// can have are left out, each named.
TEST(Companion, UnusableTablesAndCoresAreLeftOut) {
  const SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2, 1});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* name;
    CompanionData data;
    std::size_t tablesKept;
    std::size_t coresKept;
    const char* named;  // the start of the first description, "" for none
  };
  const std::vector<float> fine(7 * 8, 1.5f);
  const auto with = [&](float cell) {
    std::vector<float> cells = fine;
    cells[3] = cell;
    return cells;
  };
  const std::vector<Case> cases = {
      {"usable", {{}, {{"angle", fine}}, {{0, 1, 33.5f}}}, 1, 1, ""},
      {"a NaN cell", {{}, {{"angle", with(nan)}}, {}}, 0, 0, "table angle nan"},
      {"an infinite cell", {{}, {{"surface", with(inf)}}, {}}, 0, 0, "table surface inf"},
      {"a cell of 25",
       {{}, {{"angle", with(25.0f)}}, {}},
       0,
       0,
       "table angle 25（修正值须为-20～20之间的数）"},
      {"a NaN core", {{}, {}, {{0, 0, nan}}}, 0, 0, "core 1.1=nan"},
      {"a negative core", {{}, {}, {{0, 0, -5.0f}}}, 0, 0, "core 1.1=-5（芯样强度fcor须为大于0"},
      {"a core on zone 99", {{}, {}, {{0, 98, 30.0f}}}, 0, 0, "core 1.99=30（没有这一测区）"},
      {"a core of member 3", {{}, {}, {{2, 0, 30.0f}}}, 0, 0, "core 3.1=30（没有这一测区）"},
  };
  for (Case c : cases) {
    const std::vector<std::string> dropped = DropUnusableParts(c.data, d.zoneLists);
    EXPECT_EQ(c.data.tables.size(), c.tablesKept) << c.name;
    EXPECT_EQ(c.data.cores.size(), c.coresKept) << c.name;
    if (*c.named == 0) {
      EXPECT_TRUE(dropped.empty()) << c.name;
    } else {
      ASSERT_EQ(dropped.size(), 1u) << c.name;
      EXPECT_EQ(dropped[0].rfind(c.named, 0), 0u) << dropped[0];
    }
  }
}

// A companion whose checksum matches but whose values a field would refuse:
// the file opens with its own values, computes what the command-line tool
// computes from the file alone, and says which values were left out.
TEST(Companion, RefusedValuesNeverReachAStrength) {
  TempDir dir;
  const SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const fs::path path = dir / "a.SHA";
  WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  CKorvaneDoc plain(CKorvaneDoc::Settings::None);
  plain.OnOpenDocument(path);

  std::string text;
  ASSERT_FALSE(platform::ReadRegularFile(path, text));
  CompanionData hostile;
  hostile.values = {{"project", "eta", "1e9"}, {"zone 1.1", "typedR", "1e9"}, {"zone 1.2", "lambda", "1e30"}};
  hostile.tables = {{"angle", std::vector<float>(7 * 8, std::numeric_limits<float>::infinity())}};
  hostile.cores = {{0, 98, 30.0f}};
  std::ofstream(CompanionPath(path), std::ios::binary) << EncodeCompanion(hostile, "a.SHA", text);

  std::vector<std::string> warnings;
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  doc.warningSink = [&](std::string_view w) { warnings.emplace_back(w); };
  doc.OnOpenDocument(path);
  EXPECT_EQ(DumpDocument(doc), DumpDocument(plain));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find(
                "中有 5 项数据无法使用（已略过）：project eta=1e9（强度修正系数η须为0.1～10之间的数）"),
            std::string::npos)
      << warnings[0];
  EXPECT_NE(warnings[0].find("core 1.99=30（没有这一测区）"), std::string::npos) << warnings[0];
}

TEST(Companion, AnOpenUsesOnlyTheCompanionOfTheTextItOpens) {
  enum class Change { None, TextEdited, Renamed, WithBom, Garbage, Huge, Removed };
  struct Case {
    const char* name;
    Change change;
    bool applied;
    const char* message;  // start of the warning, "" for none
  };
  const Case cases[] = {
      {"kept", Change::None, true, ""},
      {"text changed elsewhere", Change::TextEdited, false, "附加数据文件"},
      // The checksum says whose it is: a pair renamed with it keeps it.
      {"pair renamed with its companion", Change::Renamed, true, ""},
      {"saved again with a byte order mark", Change::WithBom, true, ""},
      {"not a companion", Change::Garbage, false, "附加数据文件"},
      {"larger than any companion (sparse)", Change::Huge, false, "附加数据文件"},
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
      case Change::WithBom: {
        std::string bytes;
        ASSERT_FALSE(platform::ReadRegularFile(CompanionPath(path), bytes));
        std::ofstream(CompanionPath(path), std::ios::binary) << "\xEF\xBB\xBF" << bytes;
        break;
      }
      case Change::Garbage: std::ofstream(CompanionPath(path), std::ios::binary) << "\x01\x02"; break;
      case Change::Huge: fs::resize_file(CompanionPath(path), std::uintmax_t{100} << 20); break;
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

// A companion that cannot be used is never replaced by a save: it is kept
// under a name that says so, and the save says where.
TEST(Companion, ASaveKeepsACompanionItCannotUse) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const fs::path path = dir / "x.SHA";
  WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  // A companion of another version of the text (its cores would be lost).
  const std::string stale = "[korvane]\nformat=1\ntext=x.SHA\nchecksum=0000000000000001\n\n[cores]\n1.1=30\n";
  std::ofstream(CompanionPath(path), std::ios::binary) << stale;
  std::vector<std::string> warnings;
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  doc.warningSink = [&warnings](std::string_view m) { warnings.emplace_back(m); };
  doc.OnOpenDocument(path);
  ASSERT_EQ(warnings.size(), 1u);  // not used: said once at the open
  ASSERT_TRUE(SetZoneField(doc, {0, 1}, ZoneField::ReboundValue, 45.0f).changed());
  doc.OnSaveDocument(path);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[1].find("已改名保留为 x.KVA.未使用"), std::string::npos) << warnings[1];
  std::string kept;
  ASSERT_FALSE(platform::ReadRegularFile(dir.path() / PathFromUtf8("x.KVA.未使用"), kept));
  EXPECT_EQ(kept, stale);
  // The new companion is the saved file's own; a second save replaces it.
  CKorvaneDoc reopened(CKorvaneDoc::Settings::None);
  reopened.OnOpenDocument(path);
  EXPECT_EQ(reopened.zoneLists[0][1].reboundManual, 1);
  doc.OnSaveDocument(path);
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_FALSE(fs::exists(dir.path() / PathFromUtf8("x.KVA.未使用2")));
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
