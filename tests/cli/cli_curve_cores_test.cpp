// korvane-cli curve and cores as a process: the figures and verdicts of the
// example cubes, the fit's page, the core correction and a file written
// with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_process.h"
#include "core/algorithm/core_correction.h"
#include "core/algorithm/strength_curve.h"
#include "core/app/korvane_doc.h"
#include "core/data/cube_table.h"
#include "core/data/typed_number.h"
#include "support/external_tools.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = KORVANE_SAMPLES_DIR;

// The value after `"key": ` in a JSON text, as written.
std::string JsonValue(const std::string& json, const std::string& key) {
  const std::size_t at = json.find("\"" + key + "\": ");
  if (at == std::string::npos) return "(missing)";
  const std::size_t start = at + key.size() + 4;
  return json.substr(start, json.find_first_of(",\n", start) - start);
}

TEST(CliCurve, TheExampleCubes) {
  const fs::path csv = kSamples / "cubes.csv";
  const ProcessResult result = RunCli({"curve", csv.string(), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  // The row without a strength is left out and named.
  EXPECT_EQ(result.err, "第14行：" + std::string(kMsgCubeNotNumbers) + "\n");
  const CurveFit fit = FitStrengthCurve(ReadCubeCsv(csv).cubes);
  EXPECT_EQ(JsonValue(result.out, "n"), "30");
  // Every figure reads back as the double the fit gives.
  const std::pair<const char*, double> figures[] = {{"a", fit.a},
                                                    {"b", fit.b},
                                                    {"c", fit.c},
                                                    {"correlation", fit.correlation},
                                                    {"meanRelativeError", fit.meanRelativeError},
                                                    {"relativeStdDev", fit.relativeStdDev}};
  for (const auto& [key, value] : figures) EXPECT_EQ(std::stod(JsonValue(result.out, key)), value) << key;
  EXPECT_GT(fit.meanRelativeError, 1.0);
  for (const char* kind : {"dedicated", "regional", "unified"})
    EXPECT_EQ(JsonValue(result.out, kind), "true");
  EXPECT_NE(result.out.find("\"leftOut\": [\n    14\n  ]"), std::string::npos) << result.out;
}

TEST(CliCurve, ThePageAndTheRefusals) {
  TempDir dir;
  const fs::path pdf = dir / "curve.pdf";
  const ProcessResult written = RunCli({"curve", (kSamples / "cubes.csv").string(), "--pdf", pdf.string()});
  ASSERT_EQ(written.status, 0) << written.err;
  if (const fs::path pdftotext = FindProgram("pdftotext"); !pdftotext.empty()) {
    const std::vector<std::string> pages = PdfPageTexts(pdftotext, pdf);
    ASSERT_EQ(pages.size(), 1u);
    for (const char* text : {"测强曲线", "0.017776", "专用曲线", "符合", "实测强度", "第14行"}) {
      EXPECT_NE(WithoutBlanks(pages[0]).find(WithoutBlanks(text)), std::string::npos) << text;
    }
  }
  std::ofstream(dir / "nine.csv") << "v,R,fcu\n"
                                     "4.1,30,22\n4.2,31,24\n4.3,32,25\n4.4,33,27\n4.5,34,29\n"
                                     "4.0,35,26\n3.9,36,25\n4.6,30,26\n4.7,29,27\n";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"curve", (dir / "nine.csv").string()}, 1, "可用试件只有9个，至少需要10个"},
      {{"curve", (dir / "missing.csv").string()}, 1, std::string(kMsgCubeUnreadable)},
      {{"curve"}, 2, "expected one file"},
      {{"curve", "a.csv", "--bogus"}, 2, "--bogus"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.args.back());
    const ProcessResult result = RunCli(k.args);
    EXPECT_EQ(result.status, k.status);
    EXPECT_NE(result.err.find(k.err), std::string::npos) << result.err;
  }
}

TEST(CliCores, DerivesAppliesAndKeepsTheCores) {
  const fs::path sample = kSamples / "result-3members-cecs2005.SHA";
  const std::vector<CoreSample> cores = {{0, 0, 30.0f}, {0, 1, 28.5f}, {1, 2, 33.0f}};
  CKorvaneDoc doc;
  doc.OnOpenDocument(sample);
  doc.RecomputeAll();
  const CoreCorrection expected = DeriveCoreCorrection(doc.algorithm, doc.members, doc.zoneLists, cores);

  const std::vector<std::string> args = {"cores",  sample.string(), "--core", "1:1=30",
                                         "--core", "1:2=28.5",      "--core", "2:3=33"};
  std::vector<std::string> json = args;
  json.push_back("--json");
  const ProcessResult result = RunCli(json);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(JsonValue(result.out, "method"), "\"eta\"");
  EXPECT_EQ(std::stof(JsonValue(result.out, "eta")), expected.applied);
  EXPECT_EQ(std::stod(JsonValue(result.out, "derived")), expected.derived);
  EXPECT_EQ(JsonValue(result.out, "n"), "3");
  EXPECT_EQ(result.err, "芯样只有3个（少于6个），修正值仅供参考\n");

  TempDir dir;
  std::vector<std::string> apply = args;
  apply.insert(apply.end(), {"--apply", (dir / "out.SHA").string()});
  ASSERT_EQ(RunCli(apply).status, 0);
  CKorvaneDoc reopened;
  reopened.OnOpenDocument(dir / "out.SHA");
  EXPECT_EQ(reopened.project.eta, expected.applied);
  EXPECT_EQ(reopened.cores, cores);
  for (const ZoneList& zones : reopened.zoneLists) {
    for (const TestZone& zone : zones) EXPECT_EQ(zone.eta, expected.applied);
  }
  // The cores kept with the file serve without --core.
  const ProcessResult kept = RunCli({"cores", (dir / "out.SHA").string(), "--json"});
  EXPECT_EQ(JsonValue(kept.out, "eta"), JsonValue(result.out, "eta"));

  // An additive standard gives Δtot.
  const ProcessResult additive =
      RunCli({"cores", (kSamples / "result-7point-cecs2020.SHA").string(), "--core", "1:1=30", "--json"});
  EXPECT_EQ(JsonValue(additive.out, "method"), "\"deltaTot\"");
  EXPECT_NE(JsonValue(additive.out, "deltaTot"), "(missing)");

  struct Case {
    std::string core;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"1-1=30", 2, "--core expects M:Z=F"},
      {"0:1=30", 2, "count from 1"},
      {"1:1=abc", 2, "--core"},
      {"9:1=30", 1, "芯样1：" + std::string(kMsgCoreNoZone)},
      {"1:1=-3", 1, "芯样1：" + RangeMessage(RangeOf(TypedField::CoreStrength))},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.core);
    const ProcessResult bad = RunCli({"cores", sample.string(), "--core", k.core});
    EXPECT_EQ(bad.status, k.status);
    EXPECT_NE(bad.err.find(k.err), std::string::npos) << bad.err;
  }
}

}  // namespace
}  // namespace korvane::testing
