// A laboratory's own strength curve fcu = a·v^b·R^c, fitted to its cube
// cubes by least squares of ln fcu on ln v and ln R (in double
// precision), and the two figures such a curve is judged by, with fc_i the
// curve's value and f_i the measured strength of cube i:
//   mean relative error          δ   = (100/n)·Σ|fc_i/f_i − 1|           (%)
//   relative standard deviation  e_r = 100·√(Σ(fc_i/f_i − 1)²/(n − 1))   (%)
// A curve may serve as a dedicated curve when δ ≤ 12% and e_r ≤ 14%, as a
// regional curve when δ ≤ 14% and e_r ≤ 17%, as a unified curve when
// δ ≤ 15% and e_r ≤ 18%; only within the ranges of v, R and fcu of its
// cubes.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "core/data/cube_table.h"

namespace korvane {

enum class CurveKind { Dedicated, Regional, Unified };
inline constexpr std::array<CurveKind, 3> kCurveKinds = {CurveKind::Dedicated, CurveKind::Regional,
                                                         CurveKind::Unified};

struct CurveLimits {
  double meanRelativeError = 0.0;  // δ, %
  double relativeStdDev = 0.0;     // e_r, %
};
CurveLimits LimitsOf(CurveKind kind);
// "专用曲线", "地区曲线", "统一曲线"
std::string_view CurveKindName(CurveKind kind);
// JSON key: "dedicated", "regional", "unified".
std::string_view CurveKindKey(CurveKind kind);
// Both figures within the kind's limits (a figure equal to its limit meets it).
bool MeetsLimits(CurveKind kind, double meanRelativeError, double relativeStdDev);

struct ValueRange {
  double min = 0.0;
  double max = 0.0;
};

struct CurveFit {
  int n = 0;
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
  // The multiple correlation coefficient of the regression on the log
  // scale, √(1 − SSE/SST), 0 … 1.
  double correlation = 0.0;
  double meanRelativeError = 0.0;  // δ, %
  double relativeStdDev = 0.0;     // e_r, %
  ValueRange v, r, fcu;

  // fcu = a·v^b·R^c (MPa).
  double Strength(double v, double r) const;
  bool Meets(CurveKind kind) const { return MeetsLimits(kind, meanRelativeError, relativeStdDev); }
};

inline constexpr int kMinCubes = 10;
// "可用试件只有<n>个，至少需要10个"
inline constexpr std::string_view kMsgFewCubes = "可用试件只有";
inline constexpr std::string_view kMsgFewCubesEnd = "个，至少需要10个";
// The velocities and rebound values vary together (or one of them does not
// vary): the regression has no unique solution.
inline constexpr std::string_view kMsgCurveDegenerate =
    "试件的声速与回弹值线性相关（或其中一项全部相同），无法拟合测强曲线";
inline constexpr std::string_view kMsgCurveSameStrength = "试件的抗压强度全部相同，无法拟合测强曲线";
// The velocities or the rebound values barely vary (their spread on the log
// scale under 0.5%), or the two barely vary apart (their correlation within
// 1e-6 of ±1): the regression would rest on rounding and measuring noise.
inline constexpr std::string_view kMsgCurveIllConditioned =
    "试件的声速或回弹值变化太小（或二者几乎线性相关），无法可靠地拟合测强曲线";
// a, b, c, δ or e_r came out infinite or not a number.
inline constexpr std::string_view kMsgCurveNotFinite = "测强曲线的拟合结果不是有限的数，无法使用";

// The fit. Throws KorvaneError with the messages above for fewer than ten
// cubes, for velocities and rebound values that do not determine the
// regression or barely do, for strengths that are all equal, and for a
// result that is not finite. δ and e_r are computed from the residuals on
// the log scale, so that they do not depend on the units' scale. Cubes must
// hold positive values (ParseCubeRows keeps no other).
CurveFit FitStrengthCurve(std::span<const Cube> cubes);

}  // namespace korvane
