#include "core/algorithm/strength_curve.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/data/text_format.h"
#include "core/platform/error.h"

namespace korvane {

CurveLimits LimitsOf(CurveKind kind) {
  switch (kind) {
    case CurveKind::Dedicated: return {12.0, 14.0};
    case CurveKind::Regional: return {14.0, 17.0};
    case CurveKind::Unified: break;
  }
  return {15.0, 18.0};
}

std::string_view CurveKindName(CurveKind kind) {
  switch (kind) {
    case CurveKind::Dedicated: return "专用曲线";
    case CurveKind::Regional: return "地区曲线";
    case CurveKind::Unified: break;
  }
  return "统一曲线";
}

std::string_view CurveKindKey(CurveKind kind) {
  switch (kind) {
    case CurveKind::Dedicated: return "dedicated";
    case CurveKind::Regional: return "regional";
    case CurveKind::Unified: break;
  }
  return "unified";
}

bool MeetsLimits(CurveKind kind, double meanRelativeError, double relativeStdDev) {
  const CurveLimits limits = LimitsOf(kind);
  return meanRelativeError <= limits.meanRelativeError && relativeStdDev <= limits.relativeStdDev;
}

double CurveFit::Strength(double velocity, double rebound) const {
  return a * std::pow(velocity, b) * std::pow(rebound, c);
}

CurveFit FitStrengthCurve(std::span<const Cube> cubes) {
  const auto n = static_cast<int>(cubes.size());
  if (n < kMinCubes) {
    throw KorvaneError(std::string(kMsgFewCubes) + FormatInt(n) + std::string(kMsgFewCubesEnd));
  }
  // Centred sums of x1 = ln v, x2 = ln R, y = ln fcu.
  double m1 = 0.0, m2 = 0.0, my = 0.0;
  for (const Cube& s : cubes) {
    m1 += std::log(s.v);
    m2 += std::log(s.r);
    my += std::log(s.fcu);
  }
  m1 /= n;
  m2 /= n;
  my /= n;
  double s11 = 0.0, s12 = 0.0, s22 = 0.0, s1y = 0.0, s2y = 0.0, syy = 0.0;
  for (const Cube& s : cubes) {
    const double x1 = std::log(s.v) - m1;
    const double x2 = std::log(s.r) - m2;
    const double y = std::log(s.fcu) - my;
    s11 += x1 * x1;
    s12 += x1 * x2;
    s22 += x2 * x2;
    s1y += x1 * y;
    s2y += x2 * y;
    syy += y * y;
  }
  const double det = s11 * s22 - s12 * s12;
  // Relative to the sums' own size: a determinant that is rounding noise
  // means the two variables are (nearly) proportional on the log scale.
  if (!(det > 1e-12 * s11 * s22) || s11 <= 0.0 || s22 <= 0.0)
    throw KorvaneError(std::string(kMsgCurveDegenerate));
  const bool oneStrength =
      std::all_of(cubes.begin(), cubes.end(), [&](const Cube& s) { return s.fcu == cubes.front().fcu; });
  if (oneStrength || !(syy > 0.0)) throw KorvaneError(std::string(kMsgCurveSameStrength));
  // The condition of the regression: each variable spreads (standard
  // deviation of its logarithm) by at least 0.5%, and the two are not
  // nearly proportional. Ten cubes of R = 27.3 and one of 27.31 pass the
  // determinant test above and give c ≈ 658.
  constexpr double kMinLogSpread = 0.005;
  constexpr double kMaxCorrelationSquared = 1.0 - 1e-6;
  const double spread = kMinLogSpread * kMinLogSpread * n;
  if (s11 < spread || s22 < spread || s12 * s12 > kMaxCorrelationSquared * s11 * s22) {
    throw KorvaneError(std::string(kMsgCurveIllConditioned));
  }

  CurveFit fit;
  fit.n = n;
  fit.b = (s22 * s1y - s12 * s2y) / det;
  fit.c = (s11 * s2y - s12 * s1y) / det;
  const double logA = my - fit.b * m1 - fit.c * m2;
  fit.a = std::exp(logA);
  const double explained = fit.b * s1y + fit.c * s2y;  // SST − SSE
  fit.correlation = std::sqrt(std::clamp(explained / syy, 0.0, 1.0));

  double sumAbs = 0.0, sumSquares = 0.0;
  fit.v = {cubes.front().v, cubes.front().v};
  fit.r = {cubes.front().r, cubes.front().r};
  fit.fcu = {cubes.front().fcu, cubes.front().fcu};
  auto widen = [](ValueRange& range, double value) {
    range.min = std::min(range.min, value);
    range.max = std::max(range.max, value);
  };
  for (const Cube& s : cubes) {
    // fc/f from the log-scale residual: free of the units' scale (a·v^b·R^c
    // itself can overflow where the ratio does not).
    const double e = std::expm1(logA + fit.b * std::log(s.v) + fit.c * std::log(s.r) - std::log(s.fcu));
    sumAbs += std::abs(e);
    sumSquares += e * e;
    widen(fit.v, s.v);
    widen(fit.r, s.r);
    widen(fit.fcu, s.fcu);
  }
  fit.meanRelativeError = 100.0 * sumAbs / n;
  fit.relativeStdDev = 100.0 * std::sqrt(sumSquares / (n - 1));
  const bool finite = std::isfinite(fit.a) && fit.a > 0.0 && std::isfinite(fit.b) && std::isfinite(fit.c) &&
                      std::isfinite(fit.meanRelativeError) && std::isfinite(fit.relativeStdDev);
  if (!finite) throw KorvaneError(std::string(kMsgCurveNotFinite));
  return fit;
}

}  // namespace korvane
