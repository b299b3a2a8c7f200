#include "core/report/curve_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "core/data/text_format.h"
#include "core/report/layout_grid.h"

namespace korvane::report {
namespace {

std::string Percent(double value) { return FormatFixed(value, 0, 2) + "%"; }

std::string RangeText(const ValueRange& range, int decimals, std::string_view unit) {
  return FormatFixed(range.min, 0, decimals) + " ~ " + FormatFixed(range.max, 0, decimals) +
         std::string(unit);
}

TextItem PlotText(const Rect& cell, std::string text, int px, HAlign align) {
  TextItem item;
  item.cell = cell;
  item.text = std::move(text);
  item.role = FontRole::Value;
  item.face = std::string(kFaceArial);
  item.pixelHeight = px;
  item.align = align;
  return item;
}

}  // namespace

std::string SignificantText(double value, int digits) {
  std::array<char, 64> buffer{};
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, digits);
  if (error != std::errc()) return "?";
  std::string text(buffer.data(), end);
  // Fixed notation for the usual sizes of these coefficients.
  if (text.find('e') != std::string::npos && std::abs(value) >= 1e-6 && std::abs(value) < 1e6) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::abs(value))));
    return FormatFixed(value, 0, std::max(0, digits - 1 - exponent));
  }
  return text;
}

std::vector<CurveFigureRow> CurveFigureRows(const CurveFit& fit) {
  std::vector<CurveFigureRow> rows = {
      {"试件数 n", FormatInt(fit.n)},
      {"曲线", "fcu = a·v^b·R^c"},
      {"a", SignificantText(fit.a, 6)},
      {"b", SignificantText(fit.b, 6)},
      {"c", SignificantText(fit.c, 6)},
      {"相关系数 r", FormatFixed(fit.correlation, 0, 4)},
      {"平均相对误差 δ", Percent(fit.meanRelativeError)},
      {"相对标准差 e_r", Percent(fit.relativeStdDev)},
  };
  for (CurveKind kind : kCurveKinds) {
    const CurveLimits limits = LimitsOf(kind);
    rows.push_back({std::string(CurveKindName(kind)) + " (δ≤" + FormatFixed(limits.meanRelativeError, 0, 0) +
                        "%, e_r≤" + FormatFixed(limits.relativeStdDev, 0, 0) + "%)",
                    fit.Meets(kind) ? "符合" : "不符合"});
  }
  rows.push_back({"适用范围 v", RangeText(fit.v, 3, " km/s")});
  rows.push_back({"适用范围 R", RangeText(fit.r, 1, "")});
  rows.push_back({"适用范围 fcu", RangeText(fit.fcu, 1, " MPa")});
  return rows;
}

CurveAxis CurvePlotAxis(const CurveFit& fit, const std::vector<Cube>& cubes) {
  double highest = 0.0;
  for (const Cube& s : cubes) highest = std::max({highest, s.fcu, fit.Strength(s.v, s.r)});
  if (!(highest > 0.0) || !std::isfinite(highest)) highest = 1.0;
  // A 1-2-5 step giving 4 to 10 steps up to the highest value.
  const double magnitude = std::pow(10.0, std::floor(std::log10(highest / 4.0)));
  double step = magnitude;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * magnitude;
    if (std::ceil(highest / step) <= 10.0) break;
  }
  return {std::max(1.0, std::ceil(highest / step)) * step, step};
}

PageDescription LayoutCurvePlot(const CurveFit& fit, const std::vector<Cube>& cubes, const Rect& area,
                                int pen, int textPx) {
  PageDescription page;
  // Room for the axis text above, the tick texts left and below and the
  // other axis text under them; the square plot at the top left.
  const int left = area.left + 5 * textPx;
  const int top = area.top + 2 * textPx;
  const int side = std::max(1, std::min(area.right - 3 * textPx - left, area.bottom - 3 * textPx - top));
  const Rect plot{left, top, left + side, top + side};
  const int bottom = plot.bottom;
  const CurveAxis axis = CurvePlotAxis(fit, cubes);
  auto x = [&](double value) { return plot.left + static_cast<int>(std::lround(value / axis.top * side)); };
  auto y = [&](double value) { return plot.bottom - static_cast<int>(std::lround(value / axis.top * side)); };

  page.frames.push_back({plot, pen});
  const int tick = std::max(2, textPx / 3);
  const int steps = static_cast<int>(std::lround(axis.top / axis.step));
  const int decimals = axis.step < 1.0 ? 1 : 0;
  for (int k = 0; k <= steps; ++k) {
    const double value = k * axis.step;
    const std::string text = FormatFixed(value, 0, decimals);
    page.lines.push_back({{x(value), plot.bottom}, {x(value), plot.bottom + tick}, pen});
    page.lines.push_back({{plot.left - tick, y(value)}, {plot.left, y(value)}, pen});
    page.texts.push_back(PlotText({x(value) - 2 * textPx, plot.bottom + tick, x(value) + 2 * textPx,
                                   plot.bottom + tick + textPx + textPx / 2},
                                  text, textPx, HAlign::Center));
    page.texts.push_back(PlotText(
        {area.left + 2 * textPx, y(value) - textPx, plot.left - tick - textPx / 4, y(value) + textPx}, text,
        textPx, HAlign::Right));
  }
  page.texts.push_back(PlotText({plot.left, bottom + 2 * textPx, plot.right, bottom + 3 * textPx},
                                "实测强度 f (MPa)", textPx, HAlign::Center));
  page.texts.push_back(PlotText({area.left, area.top, plot.left + 8 * textPx, area.top + textPx + textPx / 2},
                                "计算强度 fc (MPa)", textPx, HAlign::Left));

  // The lines y = k·x from the origin to the frame, labelled at their end.
  struct Band {
    double factor;
    const char* label;
    int pen;
  };
  const Band bands[] = {{1.0, "1:1", 2 * pen},
                        {1.12, "+12%", pen},
                        {0.88, "-12%", pen},
                        {1.15, "+15%", pen},
                        {0.85, "-15%", pen}};
  for (const Band& band : bands) {
    // The end on the frame: the top edge for slopes above 1, else the right.
    const double endX = band.factor > 1.0 ? axis.top / band.factor : axis.top;
    const double endY = endX * band.factor;
    page.lines.push_back({{x(0.0), y(0.0)}, {x(endX), y(endY)}, band.pen});
    const bool onTop = band.factor > 1.0;
    const int lx = x(endX), ly = y(endY);
    const Rect cell = onTop ? Rect{lx - 2 * textPx, ly - textPx - textPx / 2, lx + 2 * textPx, ly}
                            : Rect{lx + textPx / 4, ly - textPx / 2, lx + 3 * textPx, ly + textPx};
    // Labels that would overlap their neighbours are left to the legend.
    if (band.factor == 1.0 || band.factor == 1.15 || band.factor == 0.85)
      page.texts.push_back(PlotText(cell, band.label, textPx, onTop ? HAlign::Center : HAlign::Left));
  }
  const int half = std::max(2, textPx / 4);
  for (const Cube& s : cubes) {
    const int px = x(s.fcu), py = y(fit.Strength(s.v, s.r));
    if (px < plot.left || px > plot.right || py < plot.top || py > plot.bottom) continue;
    page.frames.push_back({{px - half, py - half, px + half, py + half}, pen});
  }
  return page;
}

PageDescription LayoutCurvePage(const CurveFit& fit, const std::vector<Cube>& cubes,
                                const std::vector<std::string>& leftOut, const Rect& body) {
  PageDescription page;
  const std::vector<CurveFigureRow> rows = CurveFigureRows(fit);
  // 60 row units: title 3, the figures one each, the left-out lines, the
  // plot in the rest.
  const LayoutGrid grid(body, 20, 60);
  PageBuilder b(page, grid);
  const int s = static_cast<int>(std::min(grid.r(), grid.c()));
  AddTitle(page, grid.Cell(0, 0, 20, 3), kCurvePageTitle);
  const double top = 4.0;
  const auto n = static_cast<double>(rows.size());
  page.frames.push_back({grid.Cell(2, top, 18, top + n), 2});
  b.VLine(9, top, top + n, 1);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const double row = top + static_cast<double>(k);
    if (k > 0) b.HLine(row, 2, 18, 1);
    b.Text(2.2, row, 9, row + 1, rows[k].label, FontRole::Label, static_cast<int>(0.7 * s), HAlign::Left);
    b.Text(9.2, row, 18, row + 1, rows[k].value, FontRole::Value, static_cast<int>(0.7 * s), HAlign::Left);
  }
  double below = top + n + 0.5;
  const std::size_t listed = std::min<std::size_t>(leftOut.size(), 4);
  for (std::size_t k = 0; k < listed; ++k, below += 1.0) {
    std::string text = leftOut[k];
    if (k + 1 == listed && leftOut.size() > listed)
      text += "（另有" + FormatInt(static_cast<long long>(leftOut.size() - listed)) + "行）";
    b.Text(2, below, 18, below + 1, text, FontRole::Value, static_cast<int>(0.6 * s), HAlign::Left);
  }
  const Rect plotArea = grid.Cell(2, below + 0.5, 18, 59);
  page.Append(LayoutCurvePlot(fit, cubes, plotArea, 2, static_cast<int>(0.7 * s)));
  return page;
}

}  // namespace korvane::report
