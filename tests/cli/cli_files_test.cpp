// The file commands run as a process on the example files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "cli/cli_process.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

const std::filesystem::path kSamples = KORVANE_SAMPLES_DIR;
const char* const kExamples[] = {"raw-1member-cecs2005.SHT", "result-3members-cecs2005.SHA",
                                 "result-7point-cecs2020.SHA"};

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every value that follows `key` in a JSON text, as written.
std::vector<std::string> ValuesOf(const std::string& json, const std::string& key) {
  std::vector<std::string> values;
  for (std::size_t pos = json.find(key); pos != std::string::npos; pos = json.find(key, pos + 1)) {
    const std::size_t start = pos + key.size() + 2;
    values.push_back(json.substr(start, json.find_first_of(",\n", start) - start));
  }
  return values;
}

TEST(CliFiles, InfoAndEvaluateOnEveryExample) {
  for (const char* name : kExamples) {
    const std::string path = (kSamples / name).string();
    const ProcessResult info = RunCli({"info", path});
    EXPECT_EQ(info.status, 0) << name << info.err;
    EXPECT_NE(info.out.find("members:"), std::string::npos) << name;

    const ProcessResult table = RunCli({"evaluate", path});
    EXPECT_EQ(table.status, 0) << name << table.err;
    EXPECT_NE(table.out.find("batch:"), std::string::npos) << name;

    const ProcessResult json = RunCli({"evaluate", path, "--json"});
    EXPECT_EQ(json.status, 0) << name << json.err;
    for (const char* key :
         {"\"project\"", "\"standardIndex\"", "\"standardName\"", "\"memberCount\"", "\"members\"",
          "\"zones\"", "\"points\"", "\"arrivalIndex\"", "\"sections\"", "\"senDH\"", "\"result\"",
          "\"fcue\"", "\"batchResultFlag\"", "\"estimatedStrength\"", "\"pointDistance\""}) {
      EXPECT_NE(json.out.find(key), std::string::npos) << name << " " << key;
    }
    EXPECT_TRUE(json.err.empty()) << json.err;
  }
}

TEST(CliFiles, EvaluateWithAnotherStandard) {
  const std::string path = (kSamples / "result-3members-cecs2005.SHA").string();
  const ProcessResult byName = RunCli({"evaluate", path, "--standard", "TB10426-2004", "--json"});
  EXPECT_EQ(byName.status, 0) << byName.err;
  EXPECT_NE(byName.out.find("\"standardName\": \"TB10426-2004\""), std::string::npos);
  const ProcessResult byIndex = RunCli({"evaluate", path, "--standard", "1", "--json"});
  EXPECT_EQ(byIndex.out, byName.out);
  EXPECT_EQ(RunCli({"evaluate", path, "--standard", "CECS"}).status, 2);
}

TEST(CliFiles, ConvertRawToResultAndBack) {
  const TempDir dir("korvane-cli-convert");
  const std::string raw = (kSamples / "raw-1member-cecs2005.SHT").string();
  const std::string result = (dir / "converted.SHA").string();
  const ProcessResult convert = RunCli({"convert", raw, result});
  ASSERT_EQ(convert.status, 0) << convert.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "converted.SHD"));
  // Same zones and waveforms after the trip (the raw member's own channel).
  const ProcessResult before = RunCli({"evaluate", raw, "--json"});
  const ProcessResult after = RunCli({"evaluate", result, "--json"});
  for (const char* key : {"\"arrivalIndex\"", "\"sampleInterval\": 0.4", "\"sampleCount\": 512"}) {
    EXPECT_NE(after.out.find(key), std::string::npos) << key;
  }
  const auto points = [](const std::string& json) { return json.substr(json.find("\"points\"")); };
  EXPECT_EQ(points(before.out).substr(0, 400), points(after.out).substr(0, 400));
  // The same strengths, zone by zone and for the member.
  for (const char* key : {"\"strengthValue\"", "\"zoneVelocity\"", "\"estimatedStrength\"", "\"fcue\""}) {
    const auto values = ValuesOf(before.out, key);
    EXPECT_FALSE(values.empty()) << key;
    EXPECT_EQ(values, ValuesOf(after.out, key)) << key;
  }

  const std::string back = (dir / "back.SHT").string();
  EXPECT_EQ(RunCli({"convert", result, back}).status, 0);
  const ProcessResult unknown = RunCli({"convert", raw, (dir / "x.txt").string()});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("无法识别的文件类型"), std::string::npos);
}

TEST(CliFiles, MergeExamples) {
  const TempDir dir("korvane-cli-merge");
  const std::string out = (dir / "merged.SHA").string();
  const std::string three = (kSamples / "result-3members-cecs2005.SHA").string();
  const std::string raw = (kSamples / "raw-1member-cecs2005.SHT").string();
  const ProcessResult merge = RunCli({"merge", out, three, raw});
  ASSERT_EQ(merge.status, 0) << merge.err;
  const ProcessResult info = RunCli({"info", out});
  EXPECT_NE(info.out.find("members:     4"), std::string::npos) << info.out;

  const std::string seven = (kSamples / "result-7point-cecs2020.SHA").string();
  const ProcessResult refused = RunCli({"merge", (dir / "no.SHA").string(), three, seven});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("读取文件" + seven + "错误:当前文件的测点数与前面的文件不相同，无法进行合并！"),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "no.SHA"));
  EXPECT_EQ(RunCli({"merge", (dir / "x.txt").string(), three}).status, 2);
}

TEST(CliFiles, FailuresAndBadArguments) {
  const ProcessResult missing = RunCli({"info", "/nonexistent/file.SHA"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "打开文件失败！ /nonexistent/file.SHA：No such file or directory\n");
  EXPECT_EQ(RunCli({"info"}).status, 2);
  EXPECT_EQ(RunCli({"evaluate", "a", "b"}).status, 2);
  EXPECT_EQ(RunCli({"convert", "a"}).status, 2);
  EXPECT_EQ(RunCli({"merge", "out.SHA"}).status, 2);
  EXPECT_EQ(RunCli({"generate"}).status, 2);
  EXPECT_EQ(RunCli({"evaluate", "x.SHA", "--bogus"}).status, 2);
}

TEST(CliFiles, GenerateWritesTheExamples) {
  const TempDir dir("korvane-cli-generate");
  const ProcessResult generate = RunCli({"generate", dir.path().string()});
  ASSERT_EQ(generate.status, 0) << generate.err;
  for (const char* name : kExamples) EXPECT_EQ(Read(dir / name), Read(kSamples / name)) << name;
}

}  // namespace
}  // namespace korvane::testing
