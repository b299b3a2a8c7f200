#include "core/forms/strength_curve_model.h"

#include <array>

#include "core/data/text_format.h"
#include "core/platform/error.h"

namespace korvane {

std::string_view CubeColumnHead(int column) {
  static constexpr std::array<std::string_view, kCubeColumns> kHeads = {"行号",     "v(km/s)", "R",
                                                                        "fcu(MPa)", "fc(MPa)", "相对误差(%)"};
  return column >= 0 && column < kCubeColumns ? kHeads[static_cast<std::size_t>(column)] : "";
}

void StrengthCurveModel::SetTable(CubeTable table) {
  table_ = std::move(table);
  fit_.reset();
  problem_.clear();
  try {
    fit_ = FitStrengthCurve(table_.cubes);
  } catch (const KorvaneError& error) {
    problem_ = error.what();
  }
}

void StrengthCurveModel::SetProblem(std::string problem) {
  table_ = {};
  fit_.reset();
  problem_ = std::move(problem);
}

std::string StrengthCurveModel::Cell(int row, int column) const {
  if (row < 0 || row >= Rows()) return {};
  const Cube& s = table_.cubes[static_cast<std::size_t>(row)];
  switch (column) {
    case 0: return FormatInt(s.line);
    case 1: return FormatFixed(s.v, 0, 3);
    case 2: return FormatFixed(s.r, 0, 1);
    case 3: return FormatFixed(s.fcu, 0, 1);
    case 4: return fit_ ? FormatFixed(fit_->Strength(s.v, s.r), 0, 1) : std::string();
    case 5: return fit_ ? FormatFixed((fit_->Strength(s.v, s.r) / s.fcu - 1.0) * 100.0, 0, 2) : std::string();
    default: return {};
  }
}

std::vector<report::CurveFigureRow> StrengthCurveModel::Figures() const {
  return fit_ ? report::CurveFigureRows(*fit_) : std::vector<report::CurveFigureRow>{};
}

std::string StrengthCurveModel::LeftOutText() const {
  std::string text;
  for (const CubeProblem& problem : table_.leftOut) {
    if (!text.empty()) text += '\n';
    text += problem.message;
  }
  return text;
}

}  // namespace korvane
