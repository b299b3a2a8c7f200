// Result data table: ten zones of one member per page, one zone per column
// pair, on a grid of 20 columns by 30 rows (35 rows on the summary page, the
// last page of the last member). Zone column k (1..10) spans columns
// 5 + 1.5(k-1) .. 5 + 1.5k.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/app/korvane_doc.h"
#include "core/report/layout_grid.h"
#include "core/report/report_layout.h"

namespace korvane::report {
namespace {

constexpr int kColumns = 20;
constexpr double kZoneColumnsStart = 5.0;
constexpr double kZoneColumnWidth = 1.5;

double ZoneLeft(int k) { return kZoneColumnsStart + kZoneColumnWidth * (k - 1); }
double ZoneRight(int k) { return kZoneColumnsStart + kZoneColumnWidth * k; }

std::string FcueText(float fcue) {
  if (fcue < 10.0f) return "fcue < 10 Mpa";
  if (fcue > 70.0f) return "fcue > 70 Mpa";
  return "fcue = " + FormatFixed(fcue, 1) + "Mpa";
}

}  // namespace

bool IsSummaryPage(const CKorvaneDoc& doc, int member, int pageInMember) {
  const int members = static_cast<int>(doc.zoneLists.size());
  if (members == 0 || member != members - 1) return false;
  return pageInMember == PagesForZoneCount(doc.ZoneCount(member));
}

PageDescription LayoutResultTablePage(const CKorvaneDoc& doc, int member, int pageInMember, const Rect& title,
                                      const Rect& body) {
  PageDescription page;
  if (member < 0 || static_cast<std::size_t>(member) >= doc.zoneLists.size()) return page;
  const ZoneList& zones = doc.zoneLists[static_cast<std::size_t>(member)];
  const Member fallbackMember = NewMember();
  const Member& memberRecord = static_cast<std::size_t>(member) < doc.members.size()
                                   ? doc.members[static_cast<std::size_t>(member)]
                                   : fallbackMember;
  const ReportProjectInfo& info = doc.reportInfo;
  const int border = doc.printSettings.borderLineWidth;
  const int pen = doc.printSettings.gridLineWidth;
  const int memberCount = static_cast<int>(doc.zoneLists.size());
  const bool lastMember = member == memberCount - 1;
  const bool summary = IsSummaryPage(doc, member, pageInMember);
  const int rows = summary ? 35 : 30;

  const LayoutGrid grid(body, kColumns, rows);
  PageBuilder b(page, grid);

  if (member == 0 && pageInMember == 1) {
    AddTitle(page, title, kResultTableTitle);
  }

  // ---- Lines -------------------------------------------------------------------
  page.frames.push_back({grid.Cell(0, 0, kColumns, rows), border});
  for (int row = 1; row <= 9; ++row) b.HLine(row, 0, kColumns, pen);
  b.HLine(10, 5, kColumns, pen);
  b.HLine(11, 0, kColumns, pen);
  for (int row : {13, 15, 17, 19}) b.HLine(row, 2, kColumns, pen);
  b.HLine(21, 0, kColumns, pen);
  for (int row : {23, 25}) b.HLine(row, 2, kColumns, pen);
  b.HLine(27, 0, kColumns, pen);
  if (summary) {
    for (int row : {28, 30, 32, 34}) b.HLine(row, 0, kColumns, pen);
  } else {
    b.HLine(28, 0, kColumns, pen);
  }

  b.VLine(5, 0, rows, pen);
  b.VLine(2, 11, 27, pen);
  for (double column = kZoneColumnsStart; column < kColumns; column += kZoneColumnWidth) {
    b.VLine(column, 10, 30, pen);
  }
  b.VLine(11, 3, 7, pen);
  b.VLine(14, 3, 7, pen);
  if (summary) {
    b.VLine(10, 30, 35, pen);
    b.VLine(15, 30, 32, pen);
    for (double column : {12.5, 15.0, 17.5}) b.VLine(column, 34, 35, pen);
  }

  // ---- Fonts -------------------------------------------------------------------
  const int s = static_cast<int>(std::min(grid.r(), grid.c()));
  const int labelPx = static_cast<int>(0.7 * s);
  const int valuePx = static_cast<int>(0.65 * s);
  auto label = [&](double i0, double j0, double i1, double j1, std::string text,
                   HAlign align = HAlign::Center) {
    b.Text(i0, j0, i1, j1, std::move(text), FontRole::Label, labelPx, align);
  };
  auto value = [&](double i0, double j0, double i1, double j1, std::string text, bool wrap = false) {
    b.Text(i0, j0, i1, j1, std::move(text), FontRole::Value, valuePx, HAlign::Center, wrap);
  };

  // ---- Labels ------------------------------------------------------------------
  static constexpr std::array<std::string_view, 9> kHeadLabels = {"工程名称", "检测单位",       "施工单位",
                                                                  "委托单位", "检测龄期",       "设计强度",
                                                                  "构件名称", "仪器型号与编号", "构件编号"};
  for (int row = 0; row < static_cast<int>(kHeadLabels.size()); ++row) {
    label(0, row, 5, row + 1, std::string(kHeadLabels[row]));
  }
  static constexpr std::array<std::string_view, 4> kRightLabels = {"委托编号", "检测日期", "报告日期",
                                                                   "检测依据"};
  for (int k = 0; k < 4; ++k) label(11, 3 + k, 14, 4 + k, std::string(kRightLabels[k]));
  label(0, 9, 5, 11, "计算项目");
  label(5, 9, kColumns, 10, "测" + std::string(9, ' ') + "区");
  const long long firstZone = static_cast<long long>(pageInMember - 1) * kZonesPerPage;
  for (int k = 1; k <= kZonesPerPage; ++k) label(ZoneLeft(k), 10, ZoneRight(k), 11, FormatInt(firstZone + k));
  label(0, 11, 2, 21, "回弹值", HAlign::Left);
  label(0, 22, 2, 23, "声速值");
  label(0, 23, 2, 24, "(km");
  label(0, 24, 2, 25, "/s)");
  static constexpr std::array<std::string_view, 16> kQuantityLabels = {
      "测区",   "代表值", "角度", "修正值", "角度",      "修正后", "浇筑面", "修正值",
      "浇筑面", "修正后", "测区", "代表值", "修正系数β", "、λ",    "修正后", "的值"};
  for (int k = 0; k < static_cast<int>(kQuantityLabels.size()); ++k) {
    label(2, 11 + k, 5, 12 + k, std::string(kQuantityLabels[k]));
  }
  label(0, 27, 5, 28, "强度修正系数η");
  label(0, 28, 5, 29, "测区强度换算值");
  label(0, 29, 5, 30, "（Mpa）");
  if (summary) {
    label(0, 30, 5, 31, "强度推定值");
    label(0, 31, 5, 32, "（Mpa） N=" + FormatInt(memberCount));
    label(0, 32, 5, 33, "使用测区强度");
    label(0, 33, 5, 34, "换算表");
    label(0, 34, 5, 35, "复核");
    label(10, 34, 12.5, 35, "计算");
    label(15, 34, 17.5, 35, "检测");
    label(10, 32, kColumns, 33, "备注：");
  }

  // ---- Head values ---------------------------------------------------------------
  value(5, 0, kColumns, 1, info.projectName);
  value(5, 1, kColumns, 2, info.testingUnit);
  value(5, 2, kColumns, 3, info.constructionUnit);
  value(5, 7, kColumns, 8,
        info.instrumentModel + std::string(lastMember ? 7 : 6, ' ') + info.instrumentNumber);
  value(5, 8, kColumns, 9, FormatInt(static_cast<long long>(memberRecord.sectionIndex) + 1));
  value(5, 3, 11, 4, info.clientUnit);
  value(5, 4, 11, 5, info.testAge);
  value(5, 5, 11, 6, info.designStrength);
  value(5, 6, 11, 7, memberRecord.name);
  value(14, 3, kColumns, 4, info.commissionNumber);
  value(14, 4, kColumns, 5, info.testDate);
  value(14, 5, kColumns, 6, info.reportDate);
  value(14, 6, kColumns, 7, info.testBasis);

  // ---- Zone values ---------------------------------------------------------------
  for (int k = 1; k <= kZonesPerPage; ++k) {
    const long long index = firstZone + k - 1;
    if (index < 0 || index >= static_cast<long long>(zones.size())) break;
    const TestZone* zone = zones[static_cast<std::size_t>(index)].get();
    if (zone == nullptr) continue;
    const double l = ZoneLeft(k);
    const double r = ZoneRight(k);
    const float afterAngle = zone->reboundValue + zone->angleCorrection;
    const float afterSurface = afterAngle + zone->surfaceCorrection;
    value(l, 11, r, 13, FormatFixed(zone->reboundValue, 1));
    value(l, 13, r, 15, FormatFixed(zone->angleCorrection, 1));
    value(l, 15, r, 17, FormatFixed(afterAngle, 1));
    value(l, 17, r, 19, FormatFixed(zone->surfaceCorrection, 1));
    value(l, 19, r, 21, FormatFixed(afterSurface, 1));
    value(l, 21, r, 23, FormatFixed(zone->zoneVelocity, 3), true);
    value(l, 23, r, 24, FormatFixed(zone->beta, 3));
    value(l, 24, r, 25, FormatFixed(zone->lambda, 2));
    value(l, 25, r, 27, FormatFixed(zone->correctedVelocity, 3), true);
    value(l, 27, r, 28, FormatFixed(lastMember ? doc.project.eta : zone->eta, 2));
    value(l, 28, r, 30, FormatFixed(zone->strengthValue, 1));
  }

  // ---- Summary -------------------------------------------------------------------
  if (summary) {
    value(5, 30, 10, 32, "Mf = " + FormatFixed(doc.result.meanValue, 1) + "Mpa");
    value(10, 30, 15, 32, "Sf = " + FormatFixed(doc.result.stdDev, 2) + "Mpa");
    value(15, 30, kColumns, 32, FcueText(doc.result.fcue));
    value(5, 32, 10, 34, info.conversionTableName);
    value(10, 33, kColumns, 34, info.resultTableRemark);
  }
  return page;
}

}  // namespace korvane::report
