// The page of a fitted strength curve: its figures (n, a, b, c, the
// correlation, δ, e_r, the verdict for each kind of curve and the ranges it
// may be used in) and the plot of computed against measured strength with
// the 1:1 line and the ±12% and ±15% bands. The dialog shows the same rows
// and paints the same plot; the PDF holds the whole page.
#pragma once

#include <string>
#include <vector>

#include "core/algorithm/strength_curve.h"
#include "core/report/display_list.h"

namespace korvane::report {

inline constexpr std::string_view kCurvePageTitle = "测强曲线";

// One row of the figures: a label and its text.
struct CurveFigureRow {
  std::string label;
  std::string value;
};

// The rows, in the order shown: "试件数 n", "曲线", "a", "b", "c",
// "相关系数 r", "平均相对误差 δ", "相对标准差 e_r", one row per kind of curve
// ("专用曲线 (δ≤12%, e_r≤14%)" … "符合" or "不符合"), then the ranges of v,
// R and fcu. Coefficients with six significant digits, the correlation
// with four decimals, the percentages with two.
std::vector<CurveFigureRow> CurveFigureRows(const CurveFit& fit);

// A number with `digits` significant digits, locale-free ("0.00561234").
std::string SignificantText(double value, int digits);

// Axis of the plot: 0 to `top` (a multiple of `step`) holding every
// measured and computed strength, 4 to 10 steps.
struct CurveAxis {
  double top = 0.0;
  double step = 0.0;
};
CurveAxis CurvePlotAxis(const CurveFit& fit, const std::vector<Cube>& cubes);

// The plot in `area` (device pixels): frame, ticks with their texts, axis
// texts, the 1:1 line (pen 2·`pen`), the ±12% and ±15% lines (pen `pen`)
// labelled at their ends, and a small square per cube at (measured,
// computed). Texts at `textPx` pixels high.
PageDescription LayoutCurvePlot(const CurveFit& fit, const std::vector<Cube>& cubes, const Rect& area,
                                int pen, int textPx);

// The whole page in `body`: the title, the figures as a table, the plot
// below; `leftOut` lines ("第7行：…") listed under the table when any.
PageDescription LayoutCurvePage(const CurveFit& fit, const std::vector<Cube>& cubes,
                                const std::vector<std::string>& leftOut, const Rect& body);

}  // namespace korvane::report
