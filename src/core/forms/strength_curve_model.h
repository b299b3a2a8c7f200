// What the "测强曲线" dialog shows: the specimens read from a file, each
// with the curve's value and its relative error, the fit's figures (the
// rows of the curve's page) or why there is no fit, and the rows left out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/strength_curve.h"
#include "core/data/specimen_table.h"
#include "core/report/curve_page.h"

namespace korvane {

// "行号", "v(km/s)", "R", "fcu(MPa)", "fc(MPa)", "相对误差(%)"
inline constexpr int kSpecimenColumns = 6;
std::string_view SpecimenColumnHead(int column);

class StrengthCurveModel {
 public:
  // The specimens of a file just read, fitted when they can be (else the
  // fit's refusal is the problem).
  void SetTable(SpecimenTable table);
  // A file that could not be read: no specimens, `problem` shown.
  void SetProblem(std::string problem);

  const SpecimenTable& table() const { return table_; }
  const std::optional<CurveFit>& fit() const { return fit_; }
  const std::string& problem() const { return problem_; }

  // Cell texts of specimen `row` (0-based): its line number, v (3
  // decimals), R (1), fcu (1), the curve's value (1) and (fc/f − 1)·100
  // (2); the last two empty without a fit.
  std::string Cell(int row, int column) const;
  int Rows() const { return static_cast<int>(table_.specimens.size()); }

  // The figures, empty without a fit.
  std::vector<report::CurveFigureRow> Figures() const;
  // The rows left out, one per line ("第7行：…"), empty when none.
  std::string LeftOutText() const;

 private:
  SpecimenTable table_;
  std::optional<CurveFit> fit_;
  std::string problem_;
};

}  // namespace korvane
