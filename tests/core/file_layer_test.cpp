// The file layer as a careful user and a hostile file try it: what is saved
// reads back as it was, or the save refuses with a message and the old pair
// stays; every input gets a message or a result at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "core/algorithm/standards.h"
#include "core/app/korvane_doc.h"
#include "core/app/settings_file.h"
#include "core/data/file_merge.h"
#include "core/data/file_messages.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

// Everything a read gives, compared with what was written (texts as the
// reader gives them back: lower case, without blanks).
void ExpectReadsBackAs(const SyntheticData& d, const ReadBack& back, const std::string& where) {
  EXPECT_EQ(back.project.site, AsRead(d.project.site)) << where;
  EXPECT_EQ(back.project.unit, AsRead(d.project.unit)) << where;
  EXPECT_EQ(back.project.person, AsRead(d.project.person)) << where;
  EXPECT_EQ(back.project.testDate, AsRead(d.project.testDate)) << where;
  EXPECT_EQ(back.project.castingDate, AsRead(d.project.castingDate)) << where;
  EXPECT_EQ(back.project.spot, AsRead(d.project.spot)) << where;
  EXPECT_EQ(back.project.instrument, AsRead(d.project.instrument)) << where;
  EXPECT_EQ(back.project.beta, d.project.beta) << where;
  EXPECT_EQ(back.project.deltaTot, d.project.deltaTot) << where;
  ASSERT_EQ(back.memberCount, d.memberCount) << where;
  for (std::size_t m = 0; m < d.members.size(); ++m) {
    EXPECT_EQ(back.members[m].name, AsRead(d.members[m].name)) << where;
    EXPECT_EQ(back.members[m].sampleCount, d.members[m].sampleCount) << where;
    EXPECT_EQ(back.members[m].sampleInterval, d.members[m].sampleInterval) << where;
  }
  ExpectSameZoneLists(d.zoneLists, back.zoneLists);
}

// Zone values at the precision of their columns, so that they come back
// exactly.
SyntheticData ResultData(std::vector<int> zones) {
  SyntheticData d = SmallData(3, kMethodDirect, "cecs02:2005", std::move(zones));
  int n = 0;
  for (auto& list : d.zoneLists) {
    for (auto& zone : list) {
      zone->strengthValue = 25.0f + 0.5f * static_cast<float>(n++);
      zone->deltaTot = 0.5f;
    }
  }
  return d;
}

// ---- 1. Texts that look like keys ---------------------------------------------

// Every text a user can type goes into one field; the file reads back with
// that text and every other value unchanged.
TEST(FileLayerTexts, TextsThatLookLikeKeysRoundTrip) {
  const std::string texts[] = {"L",
                               "L1",
                               "T(us)",
                               "Ta(us)",
                               "Seek",
                               "       L",
                               "   Delay       R",
                               "  DELTAT",
                               "    FCUI",
                               "SI    CrossD",
                               "   RATNO",
                               "QZVKT_CrsHlDat_RayPara:",
                               "PERSON   :x",
                               "PILEID1  :x",
                               "SI1      :5",
                               "SectNum  :9",
                               "MF       :99",
                               "  R1  R2",
                               "λ       :3"};
  struct Field {
    const char* name;
    std::function<void(SyntheticData&, const std::string&)> set;
  };
  const Field fields[] = {
      {"site", [](SyntheticData& d, const std::string& t) { d.project.site = t; }},
      {"unit", [](SyntheticData& d, const std::string& t) { d.project.unit = t; }},
      {"person", [](SyntheticData& d, const std::string& t) { d.project.person = t; }},
      {"spot", [](SyntheticData& d, const std::string& t) { d.project.spot = t; }},
      {"casting date", [](SyntheticData& d, const std::string& t) { d.project.castingDate = t; }},
      {"member name", [](SyntheticData& d, const std::string& t) { d.members[0].name = t; }},
      // (at most ten characters are stored)
      {"location", [](SyntheticData& d,
                      const std::string& t) { d.zoneLists[0][0]->testLocation = TestLocationForFile(t); }},
  };
  for (const Field& field : fields) {
    for (const std::string& text : texts) {
      const std::string where = std::string(field.name) + " = \"" + text + "\"";
      SCOPED_TRACE(where);
      SyntheticData d = ResultData({2, 1});
      field.set(d, text);
      ExpectReadsBackAs(d, Read(ResultBytes(d), FileKind::Result), where);
      if (std::string(field.name) == "location") continue;  // a raw file stores no zone texts
      // The raw file of the first member.
      SyntheticData raw = ResultData({2});
      field.set(raw, text);
      const ReadBack back = Read(RawBytes(raw), FileKind::Raw);
      EXPECT_EQ(back.memberCount, 1) << where;
      EXPECT_EQ(back.project.site, AsRead(raw.project.site)) << where;
      EXPECT_EQ(back.project.person, AsRead(raw.project.person)) << where;
      EXPECT_EQ(back.members[0].name, AsRead(raw.members[0].name)) << where;
      EXPECT_EQ(back.members[0].sampleCount, 64) << where;
      ASSERT_EQ(back.zoneLists[0].size(), 2u) << where;
      EXPECT_EQ(back.zoneLists[0][1]->points[2]->samples, raw.zoneLists[0][1]->points[2]->samples) << where;
    }
  }
}

}  // namespace
}  // namespace korvane::testing
