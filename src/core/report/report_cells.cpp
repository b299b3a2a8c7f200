#include "core/report/report_cells.h"

#include <algorithm>

#include "core/algorithm/member_evaluation.h"
#include "core/data/text_format.h"
#include "core/report/report_texts.h"
#include "core/standards/standards.h"

namespace korvane::report {
namespace {

ReportFigure Figure(float value, int decimals) { return {value, decimals, FormatFixed(value, decimals)}; }

}  // namespace

std::string_view CorrectionLabel(Standard standard, bool twoLines) {
  if (Traits(standard).correction != CorrectionKind::Additive) return "强度修正系数η";
  return twoLines ? "强度修正值\nΔtot(MPa)" : "强度修正值Δtot(MPa)";
}

std::string_view CorrectionHeading(Standard standard) {
  return Traits(standard).correction == CorrectionKind::Additive ? "Δtot(MPa)" : "η";
}

ZoneReportCells FormatZoneCells(const TestZone& zone, Standard standard) {
  ZoneReportCells cells;
  for (std::size_t k = 0; k < cells.readings.size(); ++k) cells.readings[k] = FormatInt(zone.rebound[k]);
  cells.angle = FormatInt(zone.angle);
  cells.surface = std::string(SurfaceName(zone.surface));
  cells.points = zone.usedPointSlots();
  for (int j = 0; j < cells.points; ++j) {
    const auto slot = static_cast<std::size_t>(j);
    const MeasuringPoint* point = zone.point(j);
    if (point == nullptr) continue;
    cells.distances[slot] = FormatTruncated(point->distance);
    cells.times[slot] = Figure(zone.pointTime[slot], 1);
  }
  cells.method = std::string(TestMethodName(zone.testMethod));
  cells.location = LocationText(zone.testLocation);

  // The sums are formed in single precision, as the evaluation forms them.
  const float afterAngle = zone.reboundValue + zone.angleCorrection;
  const float afterSurface = afterAngle + zone.surfaceCorrection;
  cells.reboundValue = Figure(zone.reboundValue, 1);
  cells.angleCorrection = Figure(zone.angleCorrection, 1);
  cells.afterAngle = Figure(afterAngle, 1);
  cells.surfaceCorrection = Figure(zone.surfaceCorrection, 1);
  cells.afterSurface = Figure(afterSurface, 1);
  cells.zoneVelocity = Figure(zone.zoneVelocity, 3);
  cells.beta = Figure(zone.beta, 3);
  cells.lambda = Figure(zone.lambda, 2);
  cells.correctedVelocity = Figure(zone.correctedVelocity, 3);
  cells.eta = Figure(zone.eta, 2);
  cells.correction =
      Traits(standard).correction == CorrectionKind::Additive ? Figure(zone.deltaTot, 2) : cells.eta;
  cells.strength = Figure(zone.strengthValue, 1);
  if (Traits(standard).gridShowsLimits) {
    if (zone.strengthValue > 70.0f) {
      cells.strengthLimitText = ">70MPa";
    } else if (zone.strengthValue < 10.0f) {
      cells.strengthLimitText = "<10MPa";
    }
  }
  return cells;
}

MemberEstimateCells FormatMemberEstimate(const ReportSource& doc, int member) {
  MemberEstimateCells cells;
  if (member < 0 || static_cast<std::size_t>(member) >= doc.members.size() ||
      static_cast<std::size_t>(member) >= doc.zoneLists.size()) {
    return cells;
  }
  const ZoneList& zones = doc.zoneLists[static_cast<std::size_t>(member)];
  cells.zones = static_cast<int>(zones.size());
  if (cells.zones == 0) return cells;
  const Member& record = doc.members[static_cast<std::size_t>(member)];
  cells.minimum = Figure(record.minStrength, 1);
  cells.mean = Figure(record.meanStrength, 1);
  cells.stdDev = Figure(record.stdDevStrength, 2);
  cells.estimate = Figure(record.estimatedStrength, 1);
  cells.flag = record.resultFlag;
  cells.resultText = ResultText(record.resultFlag, record.estimatedStrength, false, doc.standard);
  return cells;
}

BatchSummaryCells FormatBatchSummary(const ReportSource& doc) {
  BatchSummaryCells cells;
  cells.members = static_cast<int>(doc.zoneLists.size());
  cells.mean = Figure(doc.result.meanValue, 1);
  cells.stdDev = Figure(doc.result.stdDev, 2);
  cells.flag = doc.batchResultFlag;
  cells.fcue = doc.result.fcue;
  return cells;
}

std::string SummaryFigureText(std::string_view name, const ReportFigure& figure, SummaryStyle style) {
  return std::string(name) + (style == SummaryStyle::Page ? " = " : "=") + figure.text + "MPa";
}

std::string BatchEstimateText(ResultFlag batchFlag, float fcue, SummaryStyle style) {
  if (batchFlag == ResultFlag::BatchInvalid) return std::string(kBatchInvalidText);
  if (fcue < 10.0f) return "fcue <10.0MPa";
  if (fcue > 70.0f) return "fcue >70.0MPa";
  return (style == SummaryStyle::Page ? "fcue = " : "fcue =") + FormatFixed(fcue, 1) + "MPa";
}

std::string MemberEstimateText(const MemberEstimateCells& cells, SummaryStyle style) {
  if (cells.zones == 0) return {};
  if (cells.flag == ResultFlag::Valid) return SummaryFigureText("fcu,e", cells.estimate, style);
  return "fcu,e " + cells.resultText;
}

std::array<HeadRow, 7> RecordSheetHead(const ReportProjectInfo& info, const Member& member) {
  return {{{"工程名称", info.projectName, {}, {}},
           {"检测单位", info.testingUnit, {}, {}},
           {"施工单位", info.constructionUnit, {}, {}},
           {"委托单位", info.clientUnit, "委托编号", info.commissionNumber},
           {"施工日期", info.constructionDate, "检测日期", info.testDate},
           {"构件名称", member.name, "设计强度", info.designStrength},
           {"检测依据", info.testBasis, "检测编号", info.testNumber}}};
}

std::array<HeadRow, 7> ResultTableHead(const ReportProjectInfo& info, const Member& member) {
  return {{{"工程名称", info.projectName, {}, {}},
           {"检测单位", info.testingUnit, {}, {}},
           {"施工单位", info.constructionUnit, {}, {}},
           {"委托单位", info.clientUnit, "委托编号", info.commissionNumber},
           {"检测龄期", info.testAge, "检测日期", info.testDate},
           {"设计强度", info.designStrength, "报告日期", info.reportDate},
           {"构件名称", member.name, "检测依据", info.testBasis}}};
}

bool HasCoreTable(const ReportSource& doc) { return doc.cores.n() > 0; }

CoreTableCells FormatCoreTable(const ReportSource& doc) {
  CoreTableCells cells;
  const bool eta = doc.cores.method == CoreMethod::Eta;
  cells.heads = {"构件",
                 "测区",
                 "fcu,i(MPa)",
                 "fcor(MPa)",
                 eta ? "fcor/fcu,i" : "fcor-fcu,i(MPa)",
                 eta ? "η" : "Δtot(MPa)"};
  for (const CoreLine& line : doc.cores.lines) {
    const auto m = static_cast<std::size_t>(line.core.member);
    const std::string& name = m < doc.members.size() ? doc.members[m].name : std::string();
    cells.lines.push_back({name.empty() ? FormatInt(line.core.member + 1) : name,
                           FormatInt(line.core.zone + 1), Figure(line.conversion, 1),
                           Figure(line.core.strength, 1),
                           Figure(static_cast<float>(line.ratio), eta ? 3 : 1)});
  }
  cells.value = Figure(doc.cores.applied, 2);
  cells.count = "n=" + FormatInt(doc.cores.n());
  return cells;
}

std::string CountLine(int count, SummaryStyle style) {
  return (style == SummaryStyle::Page ? "（MPa） N=" : "(MPa)N=") + FormatInt(count);
}

}  // namespace korvane::report
