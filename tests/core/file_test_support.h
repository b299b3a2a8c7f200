// Helpers for the data-file tests: small synthetic data sets, reading bytes
// back, comparing records, temporary folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/data/companion_file.h"
#include "core/data/file_pair.h"
#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/data/records.h"
#include "core/data/synthetic_data.h"
#include "core/data/text_encoding.h"
#include "core/platform/file_system.h"
#include "support/temp_dir.h"

namespace korvane::testing {

// Both files of a pair as the writer writes them, in memory.
struct EncodedPair {
  std::string text;
  std::string wave;
};

// Everything one read produces.
struct ReadBack {
  ProjectInfo project = NewProjectInfo(CivilDate{2022, 3, 5});
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  StrengthResult result;
  int memberCount = -1;
  std::vector<std::string> warnings;

  ReadTarget Target() { return ReadTarget{members, project, zoneLists, memberCount, sections, result}; }
};

// Reads a pair from memory with empty containers (as an open does).
inline ReadBack Read(const EncodedPair& pair, FileKind kind) {
  ReadBack back;
  ReadTestData(pair.text, pair.wave, kind, back.Target(), 0, ZoneLists{},
               [&back](std::string_view m) { back.warnings.emplace_back(m); });
  return back;
}

// Reads a pair from its files with its companion's values applied (as an
// open does, before the document's own steps).
inline ReadBack ReadPair(const std::filesystem::path& textPath) {
  ReadBack back;
  ReadTestFile(OpenFilePair(textPath), back.Target(), 0, ZoneLists{},
               [&back](std::string_view m) { back.warnings.emplace_back(m); });
  std::string text;
  std::string message;
  EXPECT_FALSE(platform::ReadRegularFile(textPath, text));
  if (const auto companion = ReadCompanionOf(textPath, text, message)) {
    EXPECT_EQ(ApplyStoredValues(companion->values, &back.project, back.members, back.zoneLists),
              std::vector<std::string>{});
  }
  if (!message.empty()) back.warnings.push_back(message);
  return back;
}

// Message of the KorvaneError that `action` throws ("" when none).
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const KorvaneError& error) {
    return error.what();
  }
  return {};
}

// Small synthetic file: `zones` per member, given points, method and
// standard, 32 samples at dT 0.5 us.
inline SyntheticData SmallData(int points, TestMethod method, const std::string& standardName,
                               std::vector<int> zones, std::uint64_t seed = 7) {
  SyntheticFilePlan plan;
  plan.project = NewProjectInfo(CivilDate{2022, 3, 5});
  plan.project.instrument = "VKT-U-6";
  plan.project.site = "测试工程";
  plan.project.testMethod = method;
  plan.project.standardName = standardName;
  plan.project.beta = 1.0f;
  plan.project.lambda = 1.0f;
  plan.project.eta = 1.0f;
  plan.pointsPerZone = points;
  for (int p = 0; p < points; ++p) plan.distances.push_back(100.0f + 50.0f * static_cast<float>(p));
  plan.sampleCount = 64;
  plan.sampleInterval = 0.5f;
  plan.frequencyKHz = 100.0f;
  plan.seed = seed;
  for (std::size_t m = 0; m < zones.size(); ++m) {
    SyntheticMemberPlan member;
    member.name = "构件" + std::to_string(m + 1);
    member.zones = zones[m];
    member.locations = {"侧面", "底面"};
    plan.members.push_back(member);
  }
  return MakeSyntheticData(plan);
}

inline EncodedPair Encoded(EncodedText text, const ZoneLists& zoneLists, const std::vector<Member>& members) {
  EncodedPair pair{std::move(text.text), {}};
  WaveformPieces pieces(zoneLists, members, text.rows);
  std::string chunk;
  while (pieces.Next(chunk)) pair.wave += chunk;
  return pair;
}

inline EncodedPair ResultBytes(const ProjectInfo& project, const ZoneLists& zoneLists, int memberCount,
                               const StrengthResult& result, const std::vector<SectionPara>& sections,
                               const std::vector<Member>& members, FileKind kind = FileKind::Result) {
  return Encoded(EncodeResultText(kind, project, zoneLists, memberCount, result, sections, members),
                 zoneLists, members);
}

inline EncodedPair ResultBytes(const SyntheticData& d, FileKind kind = FileKind::Result,
                               const StrengthResult& result = {}) {
  return ResultBytes(d.project, d.zoneLists, d.memberCount, result, d.sections, d.members, kind);
}

inline EncodedPair RawBytes(const SyntheticData& d) {
  return Encoded(EncodeRawText(d.project, d.zoneLists, d.memberCount, d.sections, d.members), d.zoneLists,
                 d.members);
}

// Edits the text of an encoded file as UTF-8.
inline std::string EditText(const std::string& cp936, const std::function<void(std::string&)>& edit) {
  std::string utf8 = Utf16ToUtf8(DecodeCp936(cp936));
  edit(utf8);
  return EncodeCp936(utf8);
}

inline void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
}

// A text value as the reader returns it: without the blanks around it.
inline std::string AsRead(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

inline void ExpectSamePoint(const MeasuringPoint& a, const MeasuringPoint& b, const std::string& where) {
  EXPECT_EQ(a.pointIndex, b.pointIndex) << where;
  EXPECT_EQ(a.arrivalIndex, b.arrivalIndex) << where;
  EXPECT_EQ(a.amplitudeIndex, b.amplitudeIndex) << where;
  EXPECT_EQ(a.distance, b.distance) << where;
  EXPECT_EQ(a.gain, b.gain) << where;
  EXPECT_EQ(a.delay, b.delay) << where;
  EXPECT_EQ(a.samples, b.samples) << where;
  EXPECT_EQ(b.loadedSamples(), b.samples) << where;
}

// Zones as they must come back from a result file (values at file
// precision; the test location as read).
inline void ExpectSameZone(const TestZone& a, const TestZone& b, const std::string& where) {
  EXPECT_EQ(a.zoneNumber, b.zoneNumber) << where;
  EXPECT_EQ(a.pointCount, b.pointCount) << where;
  EXPECT_EQ(a.sampleInterval, b.sampleInterval) << where;
  EXPECT_EQ(a.delay, b.delay) << where;
  EXPECT_EQ(a.testMethod, b.testMethod) << where;
  EXPECT_EQ(AsRead(a.testLocation), b.testLocation) << where;
  EXPECT_EQ(a.beta, b.beta) << where;
  EXPECT_EQ(a.lambda, b.lambda) << where;
  EXPECT_EQ(a.eta, b.eta) << where;
  EXPECT_EQ(a.rebound, b.rebound) << where;
  EXPECT_EQ(a.angle, b.angle) << where;
  EXPECT_EQ(a.surface, b.surface) << where;
  EXPECT_EQ(a.angleCorrection, b.angleCorrection) << where;
  EXPECT_EQ(a.surfaceCorrection, b.surfaceCorrection) << where;
  EXPECT_EQ(a.recordedRebound, b.recordedRebound) << where;
  EXPECT_EQ(a.carbonationDepth, b.carbonationDepth) << where;
  EXPECT_EQ(a.strengthValue, b.strengthValue) << where;
  EXPECT_EQ(a.deltaTot, b.deltaTot) << where;
  for (int j = 0; j < kMaxPoints; ++j) {
    const auto& pa = a.points[static_cast<std::size_t>(j)];
    const auto& pb = b.points[static_cast<std::size_t>(j)];
    ASSERT_EQ(pa.has_value(), pb.has_value()) << where << " slot " << j;
    if (pa) ExpectSamePoint(*pa, *pb, where + " slot " + std::to_string(j));
  }
}

inline void ExpectSameZoneLists(const ZoneLists& a, const ZoneLists& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t m = 0; m < a.size(); ++m) {
    ASSERT_EQ(a[m].size(), b[m].size()) << "member " << m;
    for (std::size_t z = 0; z < a[m].size(); ++z) {
      ExpectSameZone(a[m][z], b[m][z], "member " + std::to_string(m) + " zone " + std::to_string(z));
    }
  }
}

inline std::string FileBytes(const std::filesystem::path& path) {
  std::string bytes;
  (void)platform::ReadRegularFile(path, bytes);
  return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(file) << path;
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace korvane::testing
