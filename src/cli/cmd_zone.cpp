// korvane-cli zone: the strength conversion value of one test zone from its
// readings, point distances and transit times.
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/algorithm/correction_tables.h"
#include "core/algorithm/zone_computation.h"

namespace korvane::cli {
namespace {

void RequireRange(int value, int low, int high, std::string_view argument) {
  if (value < low || value > high) {
    throw UsageError(std::string(argument) + ": must be " + std::to_string(low) + " to " +
                     std::to_string(high) + ", got " + std::to_string(value));
  }
}

}  // namespace

int RunZone(const Args& args, std::ostream& out, std::ostream&) {
  const ParsedArgs parsed =
      ParseArgs(args,
                {"--standard", "--readings", "--distances", "--times", "--method", "--angle", "--surface",
                 "--carbonation", "--aggregate", "--coefficients", "--beta", "--lambda", "--eta", "--delta",
                 "--manual-r"},
                {"--pumped"});
  if (!parsed.positional.empty()) throw UsageError("unexpected argument '" + parsed.positional.front() + "'");
  for (const char* required : {"--standard", "--readings", "--distances", "--times"}) {
    if (!parsed.Has(required)) throw UsageError(std::string(required) + " is required");
  }

  const Standard standard = ParseStandardArg(parsed.Value("--standard"));
  ZoneCalculatorInput input;

  const std::vector<int> readings = ParseIntListArg(parsed.Value("--readings"), "--readings");
  if (readings.size() != input.readings.size()) {
    throw UsageError("--readings: exactly 16 readings are needed, got " + std::to_string(readings.size()));
  }
  std::copy(readings.begin(), readings.end(), input.readings.begin());

  input.distances = ParseFloatListArg(parsed.Value("--distances"), "--distances");
  input.times = ParseFloatListArg(parsed.Value("--times"), "--times");
  if (input.distances.size() > static_cast<std::size_t>(kMaxPoints)) {
    throw UsageError("--distances: at most 7 points, got " + std::to_string(input.distances.size()));
  }
  if (input.times.size() != input.distances.size()) {
    throw UsageError("--times: " + std::to_string(input.times.size()) + " times for " +
                     std::to_string(input.distances.size()) + " distances");
  }

  if (parsed.Has("--method")) {
    const int method = ParseIntArg(parsed.Value("--method"), "--method");
    RequireRange(method, 0, 2, "--method");
    input.testMethod = static_cast<TestMethod>(method);
  }
  if (parsed.Has("--angle")) input.angle = ParseIntArg(parsed.Value("--angle"), "--angle");
  if (parsed.Has("--surface"))
    input.surface = static_cast<Surface>(ParseIntArg(parsed.Value("--surface"), "--surface"));
  if (parsed.Has("--carbonation")) {
    input.carbonationDepth = ParseFloatArg(parsed.Value("--carbonation"), "--carbonation");
  }
  if (parsed.Has("--aggregate")) {
    const int aggregate = ParseIntArg(parsed.Value("--aggregate"), "--aggregate");
    RequireRange(aggregate, 0, 2, "--aggregate");
    input.aggregateType = static_cast<Aggregate>(aggregate);
  }
  if (parsed.Has("--coefficients")) {
    const std::vector<float> coefficients =
        ParseFloatListArg(parsed.Value("--coefficients"), "--coefficients");
    if (coefficients.size() != input.coefficients.size()) {
      throw UsageError("--coefficients: exactly 4 values a,b,c,d are needed, got " +
                       std::to_string(coefficients.size()));
    }
    std::copy(coefficients.begin(), coefficients.end(), input.coefficients.begin());
  }
  if (parsed.Has("--beta")) input.beta = ParseFloatArg(parsed.Value("--beta"), "--beta");
  if (parsed.Has("--lambda")) input.lambda = ParseFloatArg(parsed.Value("--lambda"), "--lambda");
  if (parsed.Has("--eta")) input.eta = ParseFloatArg(parsed.Value("--eta"), "--eta");
  if (parsed.Has("--delta")) input.deltaTot = ParseFloatArg(parsed.Value("--delta"), "--delta");
  if (parsed.Has("--manual-r")) input.manualRebound = ParseFloatArg(parsed.Value("--manual-r"), "--manual-r");
  input.pumped = parsed.Has("--pumped");

  const CorrectionTables tables = CorrectionTables::Defaults();
  const CAlgorithm algorithm(standard, &tables);
  const TestZone zone = CalculateZone(algorithm, input);

  JsonWriter json;
  json.BeginObject();
  json.Field("reboundValue", zone.reboundValue);
  json.Field("angleCorrection", zone.angleCorrection);
  json.Field("surfaceCorrection", zone.surfaceCorrection);
  json.Field("correctedRebound", CorrectedRebound(zone));
  json.Field("zoneVelocity", zone.zoneVelocity);
  json.Field("correctedVelocity", zone.correctedVelocity);
  json.Field("strengthValue", zone.strengthValue);
  json.Key("pointVelocity").BeginArray();
  for (std::size_t j = 0; j < input.distances.size(); ++j) json.Value(zone.pointVelocity[j]);
  json.EndArray();
  json.Field("standardIndex", IndexOf(standard));
  json.EndObject();
  out << json.str();
  return 0;
}

}  // namespace korvane::cli
