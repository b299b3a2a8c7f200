#include <gtest/gtest.h>

#include "core/app/example_files.h"
#include "core/app/korvane_doc.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

// The committed example files are exactly what the generator writes.
TEST(ExampleFiles, RegenerateToTheCommittedBytes) {
  TempDir dir;
  const std::vector<std::string> names = WriteExampleFiles(dir.path());
  ASSERT_EQ(names.size(), 3u);
  const std::filesystem::path samples = KORVANE_SAMPLES_DIR;
  for (const std::string& name : names) {
    const FilePair fresh = OpenFilePair(dir / name);
    const FilePair committed = OpenFilePair(samples / name);
    EXPECT_EQ(FileBytes(fresh.textPath), FileBytes(committed.textPath))
        << name << " (run: korvane-cli generate samples)";
    EXPECT_EQ(FileBytes(fresh.wavePath), FileBytes(committed.wavePath)) << name;
  }
}

TEST(ExampleFiles, OpenWithTheirMembersAndZones) {
  struct Case {
    const char* name;
    std::vector<int> zones;
    int points;
  };
  const Case cases[] = {{"raw-1member-cecs2005.SHT", {10}, 3},
                        {"result-3members-cecs2005.SHA", {12, 7, 4}, 3},
                        {"result-7point-cecs2020.SHA", {5, 4}, 7}};
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    doc.OnOpenDocument(std::filesystem::path(KORVANE_SAMPLES_DIR) / c.name);
    ASSERT_EQ(doc.memberCount, static_cast<int>(c.zones.size())) << c.name;
    for (std::size_t m = 0; m < c.zones.size(); ++m)
      EXPECT_EQ(doc.ZoneCount(static_cast<int>(m)), c.zones[m]) << c.name;
    EXPECT_EQ(ExistingPointsPerZone(doc.zoneLists), c.points) << c.name;
    EXPECT_EQ(doc.members[0].sampleCount, 512) << c.name;
  }
}

// The strengths stored in the example result files are the ones the
// evaluation gives after opening them (to the file's 0.1 MPa).
TEST(ExampleFiles, StoredStrengthsMatchARecomputation) {
  for (const char* name : {"result-3members-cecs2005.SHA", "result-7point-cecs2020.SHA"}) {
    CKorvaneDoc doc;
    doc.OnOpenDocument(std::filesystem::path(KORVANE_SAMPLES_DIR) / name);
    std::vector<float> stored;
    for (const auto& list : doc.zoneLists) {
      for (const TestZone& zone : list) stored.push_back(zone.strengthValue);
    }
    const StrengthResult storedResult = doc.result;
    doc.RecomputeAll();
    std::size_t i = 0;
    for (const auto& list : doc.zoneLists) {
      for (const TestZone& zone : list) {
        EXPECT_GT(zone.strengthValue, 5.0f) << name;
        EXPECT_NEAR(zone.strengthValue, stored[i++], 0.05f) << name;
      }
    }
    EXPECT_NEAR(doc.result.meanValue, storedResult.meanValue, 0.05f) << name;
    EXPECT_NEAR(doc.result.stdDev, storedResult.stdDev, 0.005f) << name;
  }
}

}  // namespace
}  // namespace korvane::testing
