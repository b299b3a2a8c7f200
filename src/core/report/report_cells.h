// The result cells of the reports, formatted once for every output: the
// printed, PDF and BMP pages, the Word report and the Excel results all take
// a zone's figures, a member's estimate and the batch estimate from here, so
// that they cannot disagree on a value, its decimals or the η shown beside it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/records.h"
#include "core/report/report_records.h"
#include "core/report/report_source.h"

namespace korvane::report {

// One printed number: the value as the evaluation holds it (32-bit float),
// the decimals shown and the text, FormatFixed(value, decimals). A cell of a
// spreadsheet stores the number the text shows.
struct ReportFigure {
  float value = 0.0f;
  int decimals = 0;
  std::string text;
};

// Everything the reports print about one test zone.
struct ZoneReportCells {
  // Record sheet.
  std::array<std::string, kReadingsPerZone> readings;  // "%d"
  std::string angle;                                   // degrees, "%d"
  std::string surface;                                 // "侧面", "顶面", "底面" or empty
  // Point slots the zone shows: its own point count (0..7). Slots beyond it
  // and slots without a point have empty texts.
  int points = 0;
  std::array<std::string, kMaxPoints> distances;  // mm truncated to "%d"
  std::array<ReportFigure, kMaxPoints> times;     // transit time, µs, 1 decimal
  std::string method;                             // "角测", "平测", "对测" or empty
  std::string location;                           // "顶面底面间" shortened to "顶底间"

  // Result table. The two corrected rebound values are float sums.
  ReportFigure reboundValue;       // Rm, 1 decimal
  ReportFigure angleCorrection;    // 1 decimal
  ReportFigure afterAngle;         // Rm + angle correction, 1 decimal
  ReportFigure surfaceCorrection;  // 1 decimal
  ReportFigure afterSurface;       // Rm + angle + surface correction, 1 decimal
  ReportFigure zoneVelocity;       // V, km/s, 3 decimals
  ReportFigure beta;               // 3 decimals
  ReportFigure lambda;             // 2 decimals
  ReportFigure correctedVelocity;  // Va, km/s, 3 decimals
  ReportFigure eta;                // the zone's own η (the one its strength used), 2 decimals
  // The correction the zone's strength used, by the standard: its η, or
  // for an additive standard its Δtot (MPa); 2 decimals.
  ReportFigure correction;
  ReportFigure strength;  // fcu,i, MPa, 1 decimal
  // fcu,i as every output shows it where the standard has the screen show
  // the limits (StandardTraits::gridShowsLimits): ">70MPa" above 70,
  // "<10MPa" below 10; otherwise empty (the number is shown).
  std::string strengthLimitText;
  // What a report cell of fcu,i shows: the limit text, or the number.
  const std::string& strengthText() const {
    return strengthLimitText.empty() ? strength.text : strengthLimitText;
  }
};

ZoneReportCells FormatZoneCells(const TestZone& zone, Standard standard);

// The label of the correction row or column: "强度修正系数η" (factor
// standards) or "强度修正值Δtot(MPa)" (additive; with `twoLines` broken
// after "修正值" for a narrow column), and the short heading "η" or
// "Δtot(MPa)".
std::string_view CorrectionLabel(Standard standard, bool twoLines = false);
std::string_view CorrectionHeading(Standard standard);

// A member's estimate as the member-estimate rows print it.
struct MemberEstimateCells {
  // N: the member's zones. With none the member was never evaluated and
  // every text is empty.
  int zones = 0;
  ReportFigure minimum;                 // Fmin, MPa, 1 decimal
  ReportFigure mean;                    // Mf, MPa, 1 decimal
  ReportFigure stdDev;                  // Sf, MPa, 2 decimals
  ReportFigure estimate;                // fcu,e, MPa, 1 decimal
  ResultFlag flag = ResultFlag::Valid;  // the member's result flag
  // The member's result text: the value for flag 0, "<10.0MPa", ">70.0MPa",
  // else "输入有误！".
  std::string resultText;
};

// Member `member` (index into doc.members and doc.zoneLists); zones 0 and
// empty texts for an index out of range.
MemberEstimateCells FormatMemberEstimate(const ReportSource& doc, int member);

// The batch figures of the summary rows.
struct BatchSummaryCells {
  int members = 0;                      // N: the members of the file
  ReportFigure mean;                    // Mf, MPa, 1 decimal
  ReportFigure stdDev;                  // Sf, MPa, 2 decimals
  ResultFlag flag = ResultFlag::Valid;  // the batch result flag
  float fcue = 0.0f;                    // the batch estimate, MPa
};

BatchSummaryCells FormatBatchSummary(const ReportSource& doc);

// The two outputs write their summary texts slightly differently: the
// printed page "Mf = 33.3MPa", the Word report "Mf=33.3MPa".
enum class SummaryStyle { Page, Word };

// "<name> = <text>MPa" (page) or "<name>=<text>MPa" (Word).
std::string SummaryFigureText(std::string_view name, const ReportFigure& figure, SummaryStyle style);

// The batch estimate cell: with batch flag 2 (the batch-validity test failed)
// kBatchInvalidText; otherwise "fcue <10.0MPa" below 10, "fcue >70.0MPa"
// above 70, else "fcue = 28.4MPa" (page) or "fcue =28.4MPa" (Word).
std::string BatchEstimateText(ResultFlag batchFlag, float fcue, SummaryStyle style);

// After a failed batch test the batch estimate does not hold and every
// member is assessed on its own.
inline constexpr std::string_view kBatchInvalidText = "批推定值不成立，\n应按单个构件推定";

// The member estimate cell: "fcu,e = 28.2MPa" (page) or "fcu,e=28.2MPa"
// (Word) for flag 0, otherwise "fcu,e " followed by the result text
// ("fcu,e <10.0MPa"); empty for a member without zones.
std::string MemberEstimateText(const MemberEstimateCells& cells, SummaryStyle style);

inline constexpr std::string_view kMemberEstimateLabel = "构件推定值";

// The unit and count under an estimate's label: "（MPa） N=12" (page) or
// "(MPa)N=12" (Word, on the label's second line).
std::string CountLine(int count, SummaryStyle style);

// The cores of the core correction, printed under the batch summary on the
// result table's last page by every output.
struct CoreTableCells {
  // "构件", "测区", "fcu,i(MPa)", "fcor(MPa)", then "fcor/fcu,i" (η) or
  // "fcor-fcu,i(MPa)" (Δtot), then "η" or "Δtot(MPa)".
  std::array<std::string, 6> heads;
  struct Line {
    std::string member;       // the member's name, or its number from 1 without one
    std::string zone;         // the zone's number from 1
    ReportFigure conversion;  // fcu,i with η = 1, Δtot = 0: 1 decimal
    ReportFigure core;        // fcor: 1 decimal
    ReportFigure ratio;       // ratio: 3 decimals; difference: 1 decimal (MPa)
  };
  std::vector<Line> lines;
  // The value derived from them (2 decimals, as the file holds it) and
  // "n=<count>".
  ReportFigure value;
  std::string count;
};
inline constexpr std::string_view kCoreTableLabel = "钻芯修正";

// Whether the result table prints the cores (the file has usable ones).
bool HasCoreTable(const ReportSource& doc);
CoreTableCells FormatCoreTable(const ReportSource& doc);

// One row of a report's head (the rows above the zone table): a label and
// its value, and on the split rows a second label and value to the right
// (`rightLabel` empty: the value runs across the row). The printed pages and
// the Word report place the same rows, each in its own grid.
struct HeadRow {
  std::string_view label;
  std::string value;
  std::string_view rightLabel;
  std::string rightValue;
};

// Label of the instrument row; its value is the model and the number with
// a gap that each output sets.
inline constexpr std::string_view kInstrumentLabel = "仪器型号与编号";

// Record sheet: 工程名称, 检测单位, 施工单位, then 委托单位|委托编号,
// 施工日期|检测日期, 构件名称|设计强度, 检测依据|检测编号 (the instrument row
// follows).
std::array<HeadRow, 7> RecordSheetHead(const ReportProjectInfo& info, const Member& member);
// Result table: 工程名称, 检测单位, 施工单位, then 委托单位|委托编号,
// 检测龄期|检测日期, 设计强度|报告日期, 构件名称|检测依据 (the instrument row
// and 构件编号 follow).
std::array<HeadRow, 7> ResultTableHead(const ReportProjectInfo& info, const Member& member);

}  // namespace korvane::report
