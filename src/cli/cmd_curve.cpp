// korvane-cli curve CUBES.csv|.xlsx [--json] [--pdf OUT.pdf]: fits a
// laboratory's strength curve fcu = a·v^b·R^c to its cubes and
// prints the fit, δ, e_r and the verdict per kind of curve (text or JSON);
// --pdf writes the fit's page. Rows left out are listed on stderr.
#include <cctype>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/algorithm/strength_curve.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"
#include "core/report/curve_page.h"

#ifdef KORVANE_WITH_OFFICE
#include "office/cube_workbook.h"
#endif
#ifdef KORVANE_WITH_QT
#include "cli/gui_application.h"
#include "render/report_renderer.h"
#endif

namespace korvane::cli {
namespace {

CubeTable ReadCubes(const std::filesystem::path& path) {
#ifdef KORVANE_WITH_OFFICE
  return office::ReadCubeFile(path);
#else
  std::string extension = PathToUtf8(path.extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".xlsx") throw KorvaneError(std::string(kLacksOffice));
  return ReadCubeCsv(path);
#endif
}

void WriteRange(JsonWriter& json, std::string_view key, const ValueRange& range) {
  json.Key(key).BeginArray().Value(range.min).Value(range.max).EndArray();
}

std::string CurveJson(const CurveFit& fit, const CubeTable& table) {
  JsonWriter json;
  json.BeginObject();
  json.Field("n", fit.n).Field("a", fit.a).Field("b", fit.b).Field("c", fit.c);
  json.Field("correlation", fit.correlation);
  json.Field("meanRelativeError", fit.meanRelativeError).Field("relativeStdDev", fit.relativeStdDev);
  json.Key("verdict").BeginObject();
  for (CurveKind kind : kCurveKinds) json.Field(CurveKindKey(kind), fit.Meets(kind));
  json.EndObject();
  json.Key("range").BeginObject();
  WriteRange(json, "v", fit.v);
  WriteRange(json, "R", fit.r);
  WriteRange(json, "fcu", fit.fcu);
  json.EndObject();
  json.Key("leftOut").BeginArray();
  for (const CubeProblem& problem : table.leftOut) json.Value(problem.line);
  json.EndArray();
  json.EndObject();
  return json.str() + "\n";
}

}  // namespace

int RunCurve(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--pdf"}, {"--json"});
  if (parsed.positional.size() != 1) throw UsageError("expected one file of cubes: curve CUBES");
  if (parsed.Has("--pdf") && !kHasRenderer) throw KorvaneError(std::string(kLacksRenderer));
  const CubeTable table = ReadCubes(PathFromUtf8(parsed.positional.front()));
  for (const CubeProblem& problem : table.leftOut) err << problem.message << "\n";
  const CurveFit fit = FitStrengthCurve(table.cubes);
  if (parsed.Has("--json")) {
    out << CurveJson(fit, table);
  } else {
    for (const report::CurveFigureRow& row : report::CurveFigureRows(fit)) {
      out << row.label << ": " << row.value << "\n";
    }
  }
#ifdef KORVANE_WITH_QT
  if (parsed.Has("--pdf")) {
    const auto application = MakeGuiApplication();
    std::vector<std::string> leftOut;
    for (const CubeProblem& problem : table.leftOut) leftOut.push_back(problem.message);
    const std::string path = parsed.Value("--pdf");
    render::RenderPageToPdf(PathFromUtf8(path), report::kCurvePageTitle, [&](const report::Rect& body) {
      return report::LayoutCurvePage(fit, table.cubes, leftOut, body);
    });
    if (!parsed.Has("--json")) out << "wrote " << path << "\n";
  }
#endif
  return 0;
}

}  // namespace korvane::cli
