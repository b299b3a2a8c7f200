// The file commands run as a process on the example files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "cli/cli_process.h"
#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/standards/standards.h"
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

// A pair saved with what its format cannot hold (a typed R, pumped concrete,
// an edited correction table) evaluates to what the window showed; once its
// text file is changed elsewhere, the companion is not used (and the
// evaluation says so on stderr).
TEST(CliFiles, EvaluateReadsTheCompanionOfThePair) {
  const TempDir dir;
  const std::filesystem::path path = dir.path() / "edited.SHA";
  std::filesystem::copy_file(kSamples / "result-3members-cecs2005.SHA", path);
  std::filesystem::copy_file(kSamples / "result-3members-cecs2005.SHD", dir.path() / "edited.SHD");
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  doc.OnOpenDocument(path);
  ASSERT_TRUE(SwitchStandard(doc, {0, 0}, Standard::TB10426_2004).changed());
  ASSERT_TRUE(SetZoneField(doc, {0, 1}, ZoneField::ReboundValue, 45.0f).changed());
  ASSERT_TRUE(SetPumped(doc, 1, true).changed());
  std::vector<float> cells = TableValues(doc.tables, CorrectionTable::FineAngle);
  std::fill(cells.begin(), cells.end(), -8.0f);
  ASSERT_TRUE(SetCorrectionTable(doc, CorrectionTable::FineAngle, cells).changed());
  doc.OnSaveDocument(path);
  std::vector<std::string> shown;
  for (const ZoneList& zones : doc.zoneLists)
    for (const TestZone& zone : zones) shown.push_back(std::to_string(zone.strengthValue));

  const auto strengths = [](const std::string& json) {
    std::vector<std::string> values;
    for (const std::string& v : ValuesOf(json, "\"strengthValue\""))
      values.push_back(std::to_string(std::stof(v)));
    return values;
  };
  const ProcessResult saved = RunCli({"evaluate", path.string(), "--json"});
  EXPECT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(saved.err, "");
  EXPECT_EQ(strengths(saved.out), shown);

  std::ofstream(path, std::ios::binary | std::ios::app) << "\r\n";
  const ProcessResult changed = RunCli({"evaluate", path.string(), "--json"});
  EXPECT_EQ(changed.status, 0) << changed.err;
  EXPECT_EQ(changed.err.rfind("附加数据文件", 0), 0u) << changed.err;
  EXPECT_EQ(std::count(changed.err.begin(), changed.err.end(), '\n'), 1);  // said once
  EXPECT_NE(strengths(changed.out), shown);
}

// The entries of the "sections" list of an evaluation; the evaluation
// without that list and without what a conversion renumbers or stamps
// (section indices, the writer's software id with the date of writing).
constexpr std::string_view kSectionsStart = "\n  \"sections\": [\n";
constexpr std::string_view kSectionsEnd = "\n  ],";
std::string SectionEntries(const std::string& json) {
  const std::size_t start = json.find(kSectionsStart) + kSectionsStart.size();
  return json.substr(start, json.find(kSectionsEnd, start) - start);
}
std::string WithoutLinesOf(const std::string& json, const std::vector<std::string>& keys) {
  std::string kept;
  std::size_t pos = 0;
  while (pos < json.size()) {
    const std::size_t end = std::min(json.find('\n', pos), json.size());
    const std::string line = json.substr(pos, end - pos);
    if (std::none_of(keys.begin(), keys.end(),
                     [&](const auto& k) { return line.find(k) != std::string::npos; }))
      kept += line + "\n";
    pos = end + 1;
  }
  return kept;
}
std::string DataOf(const std::string& json) {
  std::string data = json;
  const std::size_t start = data.find(kSectionsStart);
  data.erase(start, data.find(kSectionsEnd, start) + kSectionsEnd.size() - start);
  return WithoutLinesOf(data, {"\"sectionIndex\"", "\"softwareId\""});
}

// The waveforms of every zone of member 0, as the waveform command prints
// them (mV of the stored samples).
std::vector<std::string> Waveforms(const std::string& path, int zones) {
  std::vector<std::string> csv;
  for (int z = 0; z < zones; ++z) {
    const ProcessResult wave =
        RunCli({"waveform", path, "--member", "0", "--zone", std::to_string(z), "--csv"});
    EXPECT_EQ(wave.status, 0) << wave.err;
    csv.push_back(wave.out);
  }
  return csv;
}

// A raw file saved as a result file and back keeps every member, zone,
// point and reading, every computed value and every waveform sample; the
// result file keeps only the member's own acquisition row.
TEST(CliFiles, ConvertRawToResultAndBack) {
  const TempDir dir("korvane-cli-convert");
  const std::string raw = (kSamples / "raw-1member-cecs2005.SHT").string();
  const std::string result = (dir / "converted.SHA").string();
  const std::string back = (dir / "back.SHT").string();
  ASSERT_EQ(RunCli({"convert", raw, result}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "converted.SHD"));
  ASSERT_EQ(RunCli({"convert", result, back}).status, 0);

  const std::string original = RunCli({"evaluate", raw, "--json"}).out;
  const std::string converted = RunCli({"evaluate", result, "--json"}).out;
  const std::string returned = RunCli({"evaluate", back, "--json"}).out;
  for (const std::string* json : {&original, &converted, &returned}) {
    ASSERT_NE(json->find(kSectionsStart), std::string::npos);
  }
  const int zones = static_cast<int>(ValuesOf(original, "\"zoneNumber\"").size());
  ASSERT_EQ(zones, 10);
  EXPECT_EQ(DataOf(converted), DataOf(original));
  EXPECT_EQ(DataOf(returned), DataOf(original));
  // Two acquisition rows in the raw file; the member's own one (sample
  // interval 0.4 us) in the result file.
  const std::string rows = WithoutLinesOf(SectionEntries(original), {"\"sectionIndex\""});
  const std::string kept = WithoutLinesOf(SectionEntries(converted), {"\"sectionIndex\""});
  EXPECT_EQ(ValuesOf(rows, "\"sampleInterval\""), (std::vector<std::string>{"0.8", "0.4"}));
  ASSERT_EQ(ValuesOf(kept, "\"sampleInterval\""), std::vector<std::string>{"0.4"});
  EXPECT_EQ(rows.substr(rows.size() - kept.size()), kept);
  const std::vector<std::string> waves = Waveforms(raw, zones);
  EXPECT_EQ(Waveforms(result, zones), waves);
  EXPECT_EQ(Waveforms(back, zones), waves);

  const ProcessResult unknown = RunCli({"convert", raw, (dir / "x.txt").string()});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "无法识别的文件类型\n");
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

// A file of another standard would be recomputed under the first's: the
// merge is refused naming the member and its estimate before and after,
// unless --accept-recompute is given.
TEST(CliFiles, AMergeThatChangesStrengthsNeedsConsent) {
  const TempDir dir("korvane-cli-merge-consent");
  ASSERT_EQ(RunCli({"generate", dir.path().string(), "--members", "1", "--zones", "2", "--points", "3",
                    "--standard", "CECS 02-2020", "--name", "other.SHA"})
                .status,
            0);
  const std::string three = (kSamples / "result-3members-cecs2005.SHA").string();
  const std::string other = (dir / "other.SHA").string();
  const std::string out = (dir / "merged.SHA").string();
  const ProcessResult refused = RunCli({"merge", out, three, other});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("other.SHA 的检测规范与第一个文件不同"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("构件 构件1（other.SHA）："), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--accept-recompute"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "merged.SHA"));

  const ProcessResult accepted = RunCli({"merge", out, three, other, "--accept-recompute"});
  EXPECT_EQ(accepted.status, 0) << accepted.err;
  EXPECT_NE(accepted.err.find("构件 构件1（other.SHA）："), std::string::npos) << accepted.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "merged.SHA"));
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

// A number of 20 or more characters in a file is read as 0 with a warning;
// every command that reads a file prints it, once.
TEST(CliFiles, ReaderWarningsReachStderrOfEveryCommand) {
  const TempDir dir;
  std::string text = Read(kSamples / "result-3members-cecs2005.SHA");
  const std::string key = "Movelength     :50";
  ASSERT_NE(text.find(key), std::string::npos);
  text.replace(text.find(key), key.size(), "Movelength     :123456789012345678901");
  const std::string file = (dir.path() / "long.SHA").string();
  std::ofstream(file, std::ios::binary) << text;
  std::filesystem::copy_file(kSamples / "result-3members-cecs2005.SHD", dir.path() / "long.SHD");
  const std::string out = (dir.path() / "out").string();
  const std::vector<std::vector<std::string>> commands = {
      {"info", file},
      {"evaluate", file},
      {"waveform", file, "--member", "0", "--zone", "0"},
      {"pick", file},
      {"export", file, "--xlsx", out + ".xlsx"},
      {"report", file, "--pdf", out + ".pdf"},
  };
  for (const auto& command : commands) {
    const ProcessResult run = RunCli(command);
    EXPECT_EQ(run.status, 0) << command[0] << ": " << run.err;
    EXPECT_EQ(run.err, "数字过长，请输入小于20位的数值\n") << command[0];
  }
}

TEST(CliFiles, GenerateWritesTheExamples) {
  const TempDir dir("korvane-cli-generate");
  const ProcessResult generate = RunCli({"generate", dir.path().string()});
  ASSERT_EQ(generate.status, 0) << generate.err;
  for (const char* name : kExamples) EXPECT_EQ(Read(dir / name), Read(kSamples / name)) << name;
}

// A file of the size asked for, the same bytes for the same options; sizes
// a standard or the limits do not allow are refused with the reason.
TEST(CliFiles, GenerateMakesAFileOfAnySize) {
  const TempDir dir("korvane-cli-generate-sized");
  struct Case {
    std::vector<std::string> options;
    int status;
    std::string expected;  // in the output of info (status 0) or the error
  };
  const std::vector<Case> cases = {
      {{"--members", "3", "--zones", "4"}, 0, "members:     3 (12 zones)"},
      {{"--points", "7", "--standard", "CECS 02-2020", "--samples", "256", "--name", "seven"},
       0,
       "points/zone: 7"},
      {{"--points", "5"}, 2, "--points 5: CECS 02:2005 has 3 points per zone"},
      {{"--members", "0"}, 2, "--members 0: must be 1 … 100"},
      // Refused before anything is built, with the save's own message.
      {{"--members", "10000", "--zones", "1000"}, 2, "数据文件最多能保存100个构件，当前有10000个构件"},
      {{"--samples", "20000"}, 2, "--samples 20000: must be 64 … 16384"},
      {{"--members", "100", "--zones", "1000", "--samples", "16384"}, 2, "more than 4 GiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.front());
    std::vector<std::string> args = {"generate", dir.path().string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProcessResult run = RunCli(args);
    ASSERT_EQ(run.status, c.status) << run.err;
    if (c.status != 0) {
      EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
      continue;
    }
    const std::string written = run.out.substr(0, run.out.find('\n'));
    EXPECT_NE(RunCli({"info", written}).out.find(c.expected), std::string::npos);
  }
  const TempDir again("korvane-cli-generate-again");
  ASSERT_EQ(RunCli({"generate", again.path().string(), "--members", "3", "--zones", "4"}).status, 0);
  EXPECT_EQ(Read(again.path() / "generated.SHA"), Read(dir.path() / "generated.SHA"));
  EXPECT_EQ(Read(again.path() / "generated.SHD"), Read(dir.path() / "generated.SHD"));
}

}  // namespace
}  // namespace korvane::testing
