// A laboratory's strength curve: the regression, the two figures it is
// judged by, the limits of each kind of curve, and the table of cubes
// read from CSV text.
#include "core/algorithm/strength_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "core/data/cube_table.h"
#include "core/platform/error.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

// Cubes on a grid of v and R whose strengths are a·v^b·R^c times
// `factor(i)`.
template <typename Factor>
std::vector<Cube> OnCurve(double a, double b, double c, int n, Factor factor) {
  std::vector<Cube> cubes;
  for (int i = 0; i < n; ++i) {
    const double v = 3.8 + 0.11 * i;
    const double r = 24.0 + 2.3 * ((i * 7) % n);
    cubes.push_back({v, r, a * std::pow(v, b) * std::pow(r, c) * factor(i), i + 2});
  }
  return cubes;
}

// Exact data give their coefficients back, with r = 1 and no error.
TEST(StrengthCurve, ExactDataGiveTheirCoefficients) {
  struct Case {
    double a, b, c;
  };
  for (const Case& k : {Case{0.0162, 1.656, 1.410}, Case{0.0056, 1.439, 1.769}, Case{1.2, -0.5, 0.8}}) {
    SCOPED_TRACE(k.a);
    const CurveFit fit = FitStrengthCurve(OnCurve(k.a, k.b, k.c, 12, [](int) { return 1.0; }));
    EXPECT_EQ(fit.n, 12);
    EXPECT_NEAR(fit.a / k.a, 1.0, 1e-9);
    EXPECT_NEAR(fit.b, k.b, 1e-9);
    EXPECT_NEAR(fit.c, k.c, 1e-9);
    EXPECT_NEAR(fit.correlation, 1.0, 1e-12);
    EXPECT_NEAR(fit.meanRelativeError, 0.0, 1e-9);
    EXPECT_NEAR(fit.relativeStdDev, 0.0, 1e-9);
  }
}

// Scattered data give the least-squares solution: compared with the normal
// equations of the uncentred design (1, ln v, ln R) solved by Cramer's rule.
TEST(StrengthCurve, ScatteredDataGiveTheRegression) {
  const std::vector<Cube> cubes =
      OnCurve(0.02, 1.5, 1.4, 15, [](int i) { return 1.0 + 0.07 * std::sin(1.7 * i + 0.3); });
  double m[3][3] = {}, y[3] = {}, syy = 0.0, sy = 0.0;
  for (const Cube& s : cubes) {
    const double x[3] = {1.0, std::log(s.v), std::log(s.r)};
    const double ly = std::log(s.fcu);
    for (int i = 0; i < 3; ++i) {
      y[i] += x[i] * ly;
      for (int j = 0; j < 3; ++j) m[i][j] += x[i] * x[j];
    }
    syy += ly * ly;
    sy += ly;
  }
  auto det = [](const double(&q)[3][3]) {
    return q[0][0] * (q[1][1] * q[2][2] - q[1][2] * q[2][1]) -
           q[0][1] * (q[1][0] * q[2][2] - q[1][2] * q[2][0]) +
           q[0][2] * (q[1][0] * q[2][1] - q[1][1] * q[2][0]);
  };
  double solution[3];
  for (int k = 0; k < 3; ++k) {
    double q[3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) q[i][j] = j == k ? y[i] : m[i][j];
    solution[k] = det(q) / det(m);
  }
  const CurveFit fit = FitStrengthCurve(cubes);
  EXPECT_NEAR(std::log(fit.a), solution[0], 1e-8);
  EXPECT_NEAR(fit.b, solution[1], 1e-8);
  EXPECT_NEAR(fit.c, solution[2], 1e-8);
  // R² = explained / total sum of squares about the mean.
  const double n = static_cast<double>(cubes.size());
  const double explained = solution[0] * y[0] + solution[1] * y[1] + solution[2] * y[2] - sy * sy / n;
  EXPECT_NEAR(fit.correlation, std::sqrt(explained / (syy - sy * sy / n)), 1e-8);
  EXPECT_LT(fit.correlation, 1.0);
}

// Pairs of cubes at the same v and R, one 10% above the curve and one
// 10% below by ratio (×1.1 and ÷1.1): the regression is the curve itself,
// and fc/f is 1/1.1 or 1.1. By hand:
//   δ   = 100·(5·(1 − 1/1.1) + 5·0.1)/10          = 9.545454…%
//   e_r = 100·√((5·(1/1.1 − 1)² + 5·0.1²)/9)        = 10.07320…%
TEST(StrengthCurve, FiguresOfAHandWorkedTable) {
  const std::vector<Cube> cubes = OnCurve(0.0162, 1.656, 1.410, 10, [](int) { return 1.0; });
  std::vector<Cube> paired;
  for (int i = 0; i < 5; ++i) {
    Cube up = cubes[static_cast<std::size_t>(i)];
    Cube down = up;
    up.fcu *= 1.1;
    down.fcu /= 1.1;
    paired.push_back(up);
    paired.push_back(down);
  }
  const CurveFit fit = FitStrengthCurve(paired);
  EXPECT_NEAR(fit.b, 1.656, 1e-9);
  EXPECT_NEAR(fit.meanRelativeError, 9.545454545, 1e-8);
  EXPECT_NEAR(fit.relativeStdDev, 100.0 * std::sqrt((5 * std::pow(1 / 1.1 - 1, 2) + 5 * 0.01) / 9), 1e-9);
  EXPECT_NEAR(fit.relativeStdDev, 10.0732, 1e-4);
  EXPECT_NEAR(fit.v.min, 3.8, 1e-12);
  EXPECT_NEAR(fit.v.max, 3.8 + 0.44, 1e-12);
}

TEST(StrengthCurve, LimitsAtTheirEdges) {
  struct Case {
    CurveKind kind;
    double delta, er;
    bool meets;
  };
  const Case cases[] = {
      {CurveKind::Dedicated, 12.0, 14.0, true},     {CurveKind::Dedicated, 12.0001, 14.0, false},
      {CurveKind::Dedicated, 12.0, 14.0001, false}, {CurveKind::Regional, 14.0, 17.0, true},
      {CurveKind::Regional, 14.0001, 17.0, false},  {CurveKind::Regional, 13.0, 17.0001, false},
      {CurveKind::Unified, 15.0, 18.0, true},       {CurveKind::Unified, 15.0001, 10.0, false},
      {CurveKind::Unified, 10.0, 18.0001, false},   {CurveKind::Dedicated, 13.0, 15.0, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(CurveKindName(k.kind)) + " " + std::to_string(k.delta) + " " +
                 std::to_string(k.er));
    EXPECT_EQ(MeetsLimits(k.kind, k.delta, k.er), k.meets);
  }
}

TEST(StrengthCurve, RefusesWhatCannotBeFitted) {
  const auto one = [](int) { return 1.0; };
  std::vector<Cube> sameV = OnCurve(0.02, 1.5, 1.4, 10, one);
  for (Cube& s : sameV) s.v = 4.2;
  std::vector<Cube> proportional = OnCurve(0.02, 1.5, 1.4, 10, one);
  for (Cube& s : proportional) s.r = 8.0 * s.v;  // ln R = ln v + const
  std::vector<Cube> sameStrength = OnCurve(0.02, 1.5, 1.4, 10, one);
  for (Cube& s : sameStrength) s.fcu = 30.0;
  // Ten cubes of one R and one of R + 0.01: a regression on noise.
  std::vector<Cube> barelyR = OnCurve(0.02, 1.5, 1.4, 11, [](int i) { return 1.0 + 0.05 * std::sin(i); });
  for (Cube& s : barelyR) s.r = 27.3;
  barelyR.back().r = 27.31;
  // R that follows v but for a few parts per million.
  std::vector<Cube> nearlyProportional = OnCurve(0.02, 1.5, 1.4, 10, one);
  for (std::size_t i = 0; i < nearlyProportional.size(); ++i) {
    nearlyProportional[i].r = 8.0 * nearlyProportional[i].v * (1.0 + 1e-6 * static_cast<double>(i % 3));
  }
  struct Case {
    const char* name;
    std::vector<Cube> cubes;
    std::string message;
  };
  const Case cases[] = {
      {"nine", OnCurve(0.02, 1.5, 1.4, 9, one), "可用试件只有9个，至少需要10个"},
      {"none", {}, "可用试件只有0个，至少需要10个"},
      {"one velocity", sameV, std::string(kMsgCurveDegenerate)},
      {"R proportional to v", proportional, std::string(kMsgCurveDegenerate)},
      {"one strength", sameStrength, std::string(kMsgCurveSameStrength)},
      {"R barely varies", barelyR, std::string(kMsgCurveIllConditioned)},
      {"R nearly proportional to v", nearlyProportional, std::string(kMsgCurveIllConditioned)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    try {
      FitStrengthCurve(k.cubes);
      ADD_FAILURE() << "fitted";
    } catch (const KorvaneError& error) {
      EXPECT_EQ(error.what(), k.message);
    }
  }
  EXPECT_EQ(FitStrengthCurve(OnCurve(0.02, 1.5, 1.4, 10, one)).n, 10);
}

// The figures do not depend on the units' scale: every value times 1e-300
// or 1e+300 gives the same b, c, δ and e_r, or (a out of range) a refusal,
// never a figure that is not finite.
TEST(StrengthCurve, FiguresAreFreeOfTheScale) {
  const std::vector<Cube> cubes =
      OnCurve(0.02, 1.5, 1.4, 15, [](int i) { return 1.0 + 0.07 * std::sin(1.7 * i + 0.3); });
  const CurveFit plain = FitStrengthCurve(cubes);
  for (double scale : {1e-300, 1e-150, 1e150}) {
    SCOPED_TRACE(scale);
    std::vector<Cube> scaled = cubes;
    for (Cube& s : scaled) {
      s.v *= scale;
      s.r *= scale;
      s.fcu *= scale;
    }
    try {
      const CurveFit fit = FitStrengthCurve(scaled);
      EXPECT_NEAR(fit.b, plain.b, 1e-9);
      EXPECT_NEAR(fit.c, plain.c, 1e-9);
      EXPECT_NEAR(fit.meanRelativeError, plain.meanRelativeError, 1e-9);
      EXPECT_NEAR(fit.relativeStdDev, plain.relativeStdDev, 1e-9);
      EXPECT_TRUE(std::isfinite(fit.a));
    } catch (const KorvaneError& error) {
      EXPECT_EQ(error.what(), std::string(kMsgCurveNotFinite));
    }
  }
}

// ---- The table of cubes --------------------------------------------------

TEST(CubeTable, CsvRowsAndTheRowsLeftOut) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<Cube> cubes;
    std::vector<int> leftOut;
  };
  const std::string gbkHead =
      "\xC9\xF9\xCB\xD9(km/s),\xBB\xD8\xB5\xAF\xD6\xB5,\xBF\xB9\xD1\xB9\xC7\xBF\xB6\xC8\r\n";
  const Case cases[] = {
      {"latin heads", "v,R,fcu\n4.5,35,29.4\n4.1,30.5,22\n", {{4.5, 35, 29.4, 2}, {4.1, 30.5, 22, 3}}, {}},
      {"Chinese heads in UTF-8 with BOM and units, other order",
       "\xEF\xBB\xBF抗压强度（MPa）,声速(km/s),回弹值,备注\r\n29.4,4.5,35,A\r\n",
       {{4.5, 35, 29.4, 2}},
       {}},
      {"Chinese heads in code page 936", gbkHead + "4.5,35,29.4\r\n", {{4.5, 35, 29.4, 2}}, {}},
      {"heads in capitals, tabs, quotes, blank lines",
       "\n V\tr\tFCU\n\n\"4.5\"\t35\t\"29.4\"\n",
       {{4.5, 35, 29.4, 4}},
       {}},
      {"semicolons", "v;R;fcu\n4.5;35;29.4", {{4.5, 35, 29.4, 2}}, {}},
      // A spreadsheet of decimal commas: semicolons delimit, commas are
      // decimal points.
      {"semicolons and decimal commas",
       "v;R;fcu\r\n4,174;27,3;18,0\r\n-4,5;35;29\r\n",
       {{4.174, 27.3, 18.0, 2}},
       {3}},
      {"lone CR line ends",
       "v,R,fcu\r4.5,35,29.4\r4.1,30.5,22\r",
       {{4.5, 35, 29.4, 2}, {4.1, 30.5, 22, 3}},
       {}},
      {"a quoted comma and line break",
       "v,R,fcu,note\n4.5,35,29.4,\"a,\nb\"\n4.1,30.5,22,c\n",
       {{4.5, 35, 29.4, 2}, {4.1, 30.5, 22, 4}},
       {}},
      {"bad rows by line number",
       "v,R,fcu\n4.5,35,29.4\n4.5,35,\nabc,35,29\n4.5,-35,29\n4.5,0,29\n4.5,35,1e400\n4,5,35,29\n4.5,35\n",
       {{4.5, 35, 29.4, 2}},
       {3, 4, 5, 6, 7, 8, 9}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const CubeTable table = ParseCubeRows(SplitCsvRows(k.bytes));
    EXPECT_EQ(table.cubes, k.cubes);
    std::vector<int> lines;
    for (const CubeProblem& p : table.leftOut) lines.push_back(p.line);
    EXPECT_EQ(lines, k.leftOut);
  }
}

// Why a row is left out: not three positive numbers, more numbers than the
// head names (a decimal comma in a comma-delimited file), or a value no
// cube can have (a decimal point missing).
TEST(CubeTable, RowsLeftOutSayWhy) {
  struct Case {
    const char* row;
    std::string_view why;  // empty: a cube
  };
  const Case cases[] = {
      {"4.5,35,29.4", {}},
      {"4,174,27,3,18,0", kMsgCubeExtraNumbers},
      {"4.5,35,abc", kMsgCubeNotNumbers},
      {"45,35,29.4", kMsgCubeImplausible},
      {"0.9,35,29.4", kMsgCubeImplausible},
      {"4.5,9.9,29.4", kMsgCubeImplausible},
      {"4.5,71,29.4", kMsgCubeImplausible},
      {"4.5,35,294", kMsgCubeImplausible},
      {"4.5,35,0.9", kMsgCubeImplausible},
      {"1,10,1", {}},
      {"10,70,150", {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.row);
    const CubeTable table = ParseCubeRows(SplitCsvRows(std::string("v,R,fcu\n") + k.row + "\n"));
    if (k.why.empty()) {
      EXPECT_EQ(table.cubes.size(), 1u);
      EXPECT_TRUE(table.leftOut.empty());
    } else {
      ASSERT_EQ(table.leftOut.size(), 1u);
      EXPECT_EQ(table.leftOut[0].message, "第2行：" + std::string(k.why));
    }
  }
  // An unclosed quote names the line where it opened.
  try {
    SplitCsvRows("v,R,fcu\n4.5,35,29.4\n\"4.1,30,22\n4.2,31,23\n");
    ADD_FAILURE() << "read";
  } catch (const KorvaneError& error) {
    EXPECT_EQ(error.what(), "第3行：" + std::string(kMsgCubeUnclosedQuote));
  }
}

TEST(CubeTable, AHeadWithoutTheThreeColumnsIsRefused) {
  for (const char* bytes : {"", "\n\n", "v,R\n4.5,35\n", "4.5,35,29.4\n", "\nv,R,strength\n4.5,35,29.4\n"}) {
    SCOPED_TRACE(bytes);
    EXPECT_THROW(ParseCubeRows(SplitCsvRows(bytes)), KorvaneError);
  }
  try {
    ParseCubeRows(SplitCsvRows("\nv,R,f\n"));
  } catch (const KorvaneError& error) {
    EXPECT_EQ(error.what(), "第2行：" + std::string(kMsgCubeHead));
  }
}

TEST(CubeTable, FilesThatCannotBeRead) {
  TempDir dir;
  const std::filesystem::path big = dir.path() / "big.csv";
  {
    std::ofstream out(big, std::ios::binary);
    out << "v,R,fcu\n";
    const std::string row = "4.5,35,29.4\n";
    for (std::size_t n = 0; n < 16u * 1024 * 1024 / row.size() + 1; ++n) out << row;
  }
  struct Case {
    std::filesystem::path path;
    std::string start;
  };
  for (const Case& k : {Case{big, std::string(kMsgCubeFileTooLarge)},
                        Case{dir.path() / "missing.csv", std::string(kMsgCubeUnreadable)},
                        Case{dir.path(), std::string(kMsgCubeUnreadable)}}) {
    SCOPED_TRACE(k.path.string());
    try {
      ReadCubeCsv(k.path);
      ADD_FAILURE() << "read";
    } catch (const KorvaneError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(k.start, 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace korvane::testing
