// What the "钻芯修正" dialog shows and keeps: a table of cores (member and
// zone chosen from lists, fcor typed), each with its zone's fcu,i (η = 1,
// Δtot = 0) and its ratio or difference, and the value derived with its
// formula. "应用" runs ApplyCoreCorrection with Cores().
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/algorithm/core_correction.h"
#include "core/app/korvane_doc.h"

namespace korvane {

// "构件", "测区", "fcor(MPa)", "fcu,i(MPa)", then "fcor/fcu,i" (η) or
// "fcor-fcu,i(MPa)" (Δtot).
inline constexpr int kCoreColumns = 5;

class CoreCorrectionModel {
 public:
  // Starts from the cores the file keeps.
  explicit CoreCorrectionModel(const CKorvaneDoc& doc);

  struct Row {
    int member = 0;
    int zone = 0;
    std::string strength;  // fcor as typed
  };
  const std::vector<Row>& rows() const { return rows_; }

  std::string ColumnHead(int column) const;
  // The members' names (their number from 1 when a name is empty) and the
  // zones of member `member` ("1" … "n").
  std::vector<std::string> MemberNames() const;
  std::vector<std::string> ZoneNames(int member) const;

  // A new row with no fcor on the zone after the last row's (the current
  // zone for the first row); returns its index.
  int AddRow();
  void RemoveRow(int row);
  // A member keeps the row's zone when it has it, else takes zone 1.
  void SetMember(int row, int member);
  void SetZone(int row, int zone);
  // The typed fcor: empty when it is a number in its range (TypedField::
  // CoreStrength), else the message (the text is kept, the row left out).
  std::string SetStrength(int row, std::string text);

  // The cores of the rows whose fcor is a number in range.
  std::vector<CoreSample> Cores() const;
  CoreCorrection Derived() const;
  // fcu,i and the ratio or difference of row `row`, empty when it is left out.
  std::string ConversionText(int row) const;
  std::string RatioText(int row) const;
  // "η = (1/n)·Σ fcor,i/fcu,i = 1.0420，取 1.04（n=6）" or
  // "Δtot = mean(fcor) − mean(fcu,i) = 2.3456 MPa，取 2.35 MPa（n=6）", then
  // the warning on a line of its own; or the problem.
  std::string FormulaText() const;

 private:
  std::optional<CoreLine> LineOf(int row) const;

  const CKorvaneDoc& doc_;
  std::vector<Row> rows_;
};

// The formula line of a derivation (FormulaText without the rows).
std::string CoreFormulaText(const CoreCorrection& correction);

}  // namespace korvane
