#include "core/app/example_files.h"

#include "core/app/korvane_doc.h"
#include "core/data/file_pair.h"
#include "core/data/file_writer.h"
#include "core/data/synthetic_data.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"
#include "core/standards/standards.h"

#include <optional>
#include <string_view>

namespace korvane {
namespace {

ProjectInfo ExampleProject(TestMethod testMethod, Standard standard) {
  ProjectInfo project = NewProjectInfo(CivilDate{2022, 3, 5});
  project.instrument = "VKT-U-6";
  project.site = "示例工程综合楼";
  project.unit = "示例检测中心";
  project.person = "张工";
  project.castingDate = "2021-12-1";
  project.testMethod = testMethod;
  project.standardName = StoredStandardName(StandardDisplayName(standard));
  project.spot = "侧面";
  project.beta = 1.0f;
  project.lambda = 1.0f;
  project.eta = 1.0f;
  return project;
}

SyntheticMemberPlan MemberPlan(std::string name, int zones, double rebound, double velocity,
                               std::vector<std::string> locations, int angle, Surface surface,
                               std::vector<float> distances = {}) {
  SyntheticMemberPlan plan;
  plan.name = std::move(name);
  plan.zones = zones;
  plan.meanRebound = rebound;
  plan.velocityKmS = velocity;
  plan.locations = std::move(locations);
  plan.angle = angle;
  plan.surface = surface;
  plan.distances = std::move(distances);
  return plan;
}

// A document holding the synthetic data, with the standard's coefficients
// and a full recomputation, so that the result file carries consistent
// readings and results.
void WriteResultThroughDocument(SyntheticData data, const std::filesystem::path& path) {
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  doc.project = std::move(data.project);
  doc.members = std::move(data.members);
  doc.zoneLists = std::move(data.zoneLists);
  doc.sections = std::move(data.sections);
  doc.memberCount = data.memberCount;
  doc.currentMember = 0;
  doc.SetStandard(StandardOfStoredName(doc.project.standardName));
  for (Member& member : doc.members) {
    doc.algorithm.GetCoefficients(member.aggregateType == Aggregate::Pebble, member.coefA, member.coefB,
                                  member.coefC, member.coefD);
  }
  doc.RecomputeAll();
  doc.OnSaveDocument(path);
}

}  // namespace

std::vector<std::string> WriteExampleFiles(const std::filesystem::path& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  std::vector<std::string> written;

  {
    // One member as the instrument records it: surface method, three points
    // per zone, one rebound value per zone; the member's channel is section
    // row 1 of the two rows of a VKT-U-6.
    SyntheticFilePlan plan;
    plan.project = ExampleProject(TestMethod::Surface, Standard::CECS02_2005);
    plan.pointsPerZone = 3;
    plan.distances = {200.0f, 250.0f, 300.0f};
    plan.channelRows = 2;
    plan.ownSection = 1;
    plan.seed = 2005;
    plan.members = {MemberPlan("二层柱7", 10, 36.0, 4.25, {}, 0, Surface::Side)};
    SyntheticData data = MakeSyntheticData(plan);
    for (TestZone& zone : data.zoneLists.front()) zone.rebound.fill(zone.rebound[0]);
    const std::string name = "raw-1member-cecs2005.SHT";
    WriteRawFile(OpenFilePair(dir / name), data.project, data.zoneLists, data.memberCount, data.sections,
                 data.members);
    written.push_back(name);
  }
  {
    // Three members tested through their thickness, 12, 7 and 4 zones.
    SyntheticFilePlan plan;
    plan.project = ExampleProject(TestMethod::Direct, Standard::CECS02_2005);
    plan.pointsPerZone = 3;
    plan.distances = {400.0f, 400.0f, 400.0f};
    plan.seed = 2022;
    plan.members = {
        MemberPlan("一层柱3", 12, 38.0, 4.35, {"东侧面", "西侧面"}, 0, Surface::Side),
        MemberPlan("二层梁5", 7, 34.0, 4.10, {"梁侧"}, 0, Surface::Side, {300.0f, 300.0f, 300.0f}),
        MemberPlan("屋面板2", 4, 32.0, 3.95, {"板底"}, 90, Surface::Bottom, {150.0f, 150.0f, 150.0f}),
    };
    const std::string name = "result-3members-cecs2005.SHA";
    WriteResultThroughDocument(MakeSyntheticData(plan), dir / name);
    written.push_back(name);
  }
  {
    // Surface method under CECS 02-2020: seven points per zone.
    SyntheticFilePlan plan;
    plan.project = ExampleProject(TestMethod::Surface, Standard::CECS02_2020);
    plan.pointsPerZone = 7;
    plan.distances = {100.0f, 150.0f, 200.0f, 250.0f, 300.0f, 350.0f, 400.0f};
    plan.seed = 2020;
    plan.members = {
        MemberPlan("地下室墙1", 5, 40.0, 4.40, {"外侧面"}, 0, Surface::Side),
        MemberPlan("地下室墙2", 4, 39.0, 4.30, {"内侧面"}, 0, Surface::Side),
    };
    const std::string name = "result-7point-cecs2020.SHA";
    WriteResultThroughDocument(MakeSyntheticData(plan), dir / name);
    written.push_back(name);
  }
  return written;
}

namespace {

// The first test method with `points` points per zone under `standard`.
std::optional<TestMethod> MethodWithPoints(Standard standard, int points) {
  for (TestMethod method : {TestMethod::Direct, TestMethod::Surface, TestMethod::Angle}) {
    if (PointsPerZone(method, standard) == points) return method;
  }
  return std::nullopt;
}

}  // namespace

std::string GeneratedPlanProblem(const GeneratedFilePlan& plan) {
  const auto range = [](std::string_view option, int value, int low, int high) {
    return "--" + std::string(option) + " " + std::to_string(value) + ": must be " + std::to_string(low) +
           " … " + std::to_string(high);
  };
  if (plan.members < 1) return range("members", plan.members, 1, kMaxGeneratedMembers);
  if (std::string problem = MemberLimitProblem(plan.members); !problem.empty()) return problem;
  if (plan.zones < 1 || plan.zones > kMaxGeneratedZones)
    return range("zones", plan.zones, 1, kMaxGeneratedZones);
  if (plan.samples < kMinGeneratedSamples || plan.samples > kMaxGeneratedSamples)
    return range("samples", plan.samples, kMinGeneratedSamples, kMaxGeneratedSamples);
  if (!MethodWithPoints(plan.standard, plan.points)) {
    std::string counts;
    for (TestMethod method : {TestMethod::Direct, TestMethod::Surface, TestMethod::Angle}) {
      const std::string count = std::to_string(PointsPerZone(method, plan.standard));
      if (counts.find(count) == std::string::npos) counts += (counts.empty() ? "" : " or ") + count;
    }
    return "--points " + std::to_string(plan.points) + ": " +
           std::string(StandardDisplayName(plan.standard)) + " has " + counts + " points per zone";
  }
  const std::uint64_t bytes =
      std::uint64_t{2} * static_cast<std::uint64_t>(plan.members) * static_cast<std::uint64_t>(plan.zones) *
      static_cast<std::uint64_t>(plan.points) * static_cast<std::uint64_t>(plan.samples);
  if (bytes > kMaxGeneratedWaveformBytes) return "the waveforms would take more than 4 GiB";
  return {};
}

void WriteGeneratedFile(const std::filesystem::path& dir, const std::string& name,
                        const GeneratedFilePlan& plan) {
  if (const std::string problem = GeneratedPlanProblem(plan); !problem.empty()) throw KorvaneError(problem);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const TestMethod method = *MethodWithPoints(plan.standard, plan.points);
  SyntheticFilePlan file;
  file.project = ExampleProject(method, plan.standard);
  file.project.site = "生成的测试工程";
  file.pointsPerZone = plan.points;
  for (int j = 0; j < plan.points; ++j) {
    file.distances.push_back(method == TestMethod::Surface ? 100.0f + 50.0f * static_cast<float>(j) : 300.0f);
  }
  file.sampleCount = plan.samples;
  file.seed = plan.seed;
  SyntheticRandom random(plan.seed);
  for (int m = 0; m < plan.members; ++m) {
    // Members differ in their mean rebound and velocity, as a batch does.
    file.members.push_back(MemberPlan("构件" + std::to_string(m + 1), plan.zones,
                                      30.0 + 12.0 * random.Uniform(), 3.8 + 0.8 * random.Uniform(), {"侧面"},
                                      0, Surface::Side));
  }
  WriteResultThroughDocument(MakeSyntheticData(file), dir / PathFromUtf8(name));
}

}  // namespace korvane
