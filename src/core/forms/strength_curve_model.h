// What the "测强曲线" dialog shows: the cubes read from a file, each
// with the curve's value and its relative error, the fit's figures (the
// rows of the curve's page) or why there is no fit, and the rows left out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/strength_curve.h"
#include "core/data/cube_table.h"
#include "core/report/curve_page.h"

namespace korvane {

// "行号", "v(km/s)", "R", "fcu(MPa)", "fc(MPa)", "相对误差(%)"
inline constexpr int kCubeColumns = 6;
std::string_view CubeColumnHead(int column);

class StrengthCurveModel {
 public:
  // The cubes of a file just read, fitted when they can be (else the
  // fit's refusal is the problem).
  void SetTable(CubeTable table);
  // A file that could not be read: no cubes, `problem` shown.
  void SetProblem(std::string problem);

  const CubeTable& table() const { return table_; }
  const std::optional<CurveFit>& fit() const { return fit_; }
  const std::string& problem() const { return problem_; }

  // Cell texts of cube `row` (0-based): its line number, v (3
  // decimals), R (1), fcu (1), the curve's value (1) and (fc/f − 1)·100
  // (2); the last two empty without a fit.
  std::string Cell(int row, int column) const;
  int Rows() const { return static_cast<int>(table_.cubes.size()); }

  // The figures, empty without a fit.
  std::vector<report::CurveFigureRow> Figures() const;
  // The rows left out, one per line ("第7行：…"), empty when none.
  std::string LeftOutText() const;

 private:
  CubeTable table_;
  std::optional<CurveFit> fit_;
  std::string problem_;
};

}  // namespace korvane
