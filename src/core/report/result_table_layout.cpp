// Result data table: ten zones of one member per page, one zone per column
// pair, on a grid of 20 columns by 30 rows. The last page of every member
// adds the member-estimate row (rows 30-32) when the options ask for it; the
// summary page (the last page of the last member) adds the batch summary
// below (five rows), then the cores of the core correction when the file has
// any (a head row and a row per core). Zone column k (1..10) spans columns
// 5 + 1.5(k-1) .. 5 + 1.5k.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/report/layout_grid.h"
#include "core/report/report_cells.h"
#include "core/report/report_labels.h"
#include "core/report/report_layout.h"

namespace korvane::report {
namespace {

constexpr int kColumns = 20;
constexpr double kZoneColumnsStart = 5.0;
constexpr double kZoneColumnWidth = 1.5;

double ZoneLeft(int k) { return kZoneColumnsStart + kZoneColumnWidth * (k - 1); }
double ZoneRight(int k) { return kZoneColumnsStart + kZoneColumnWidth * k; }

// The member-estimate row shares the zone columns' width among its four
// figures.
constexpr double kEstimateCellWidth = (kColumns - kZoneColumnsStart) / 4.0;

// The cores' block: its head and one row per core; columns of member, zone,
// fcu,i, fcor, ratio and the value derived (which spans the core rows).
int CoreRows(const ReportSource& doc) { return HasCoreTable(doc) ? 1 + doc.cores.n() : 0; }
constexpr std::array<double, 7> kCoreColumns = {5.0, 9.0, 11.0, 13.5, 16.0, 18.0, 20.0};

}  // namespace

bool IsSummaryPage(const ReportSource& doc, int member, int pageInMember) {
  const int members = static_cast<int>(doc.zoneLists.size());
  if (members == 0 || member != members - 1) return false;
  return pageInMember == PagesForZoneCount(doc.ZoneCount(member));
}

bool IsLastPageOfMember(const ReportSource& doc, int member, int pageInMember) {
  if (member < 0 || static_cast<std::size_t>(member) >= doc.zoneLists.size()) return false;
  return pageInMember == PagesForZoneCount(doc.ZoneCount(member));
}

int ResultTableRows(const ReportSource& doc, int member, int pageInMember, const ReportOptions& options) {
  int rows = 30;
  if (options.printMemberEstimates && IsLastPageOfMember(doc, member, pageInMember)) rows += 2;
  if (IsSummaryPage(doc, member, pageInMember)) rows += 5 + CoreRows(doc);
  return rows;
}

PageDescription LayoutResultTablePage(const ReportSource& doc, int member, int pageInMember,
                                      const Rect& title, const Rect& body, const ReportOptions& options) {
  PageDescription page;
  if (member < 0 || static_cast<std::size_t>(member) >= doc.zoneLists.size()) return page;
  const ZoneList& zones = doc.zoneLists[static_cast<std::size_t>(member)];
  const Member fallbackMember = NewMember();
  const Member& memberRecord = MemberOr(doc, member, fallbackMember);
  const ReportProjectInfo& info = doc.reportInfo;
  const int border = doc.printSettings.borderLineWidth;
  const int pen = doc.printSettings.gridLineWidth;
  const int memberCount = static_cast<int>(doc.zoneLists.size());
  const bool lastMember = member == memberCount - 1;
  const bool summary = IsSummaryPage(doc, member, pageInMember);
  const bool estimateRow = options.printMemberEstimates && IsLastPageOfMember(doc, member, pageInMember);
  const int rows = ResultTableRows(doc, member, pageInMember, options);
  // First row of the batch summary: below the fcu,i row and the member's row.
  const int s0 = estimateRow ? 32 : 30;

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
  b.HLine(28, 0, kColumns, pen);
  if (estimateRow) b.HLine(30, 0, kColumns, pen);
  if (summary) {
    for (int row : {s0, s0 + 2, s0 + 4}) b.HLine(row, 0, kColumns, pen);
  }

  b.VLine(5, 0, rows, pen);
  b.VLine(2, 11, 27, pen);
  for (double column = kZoneColumnsStart; column < kColumns; column += kZoneColumnWidth) {
    b.VLine(column, 10, 30, pen);
  }
  b.VLine(11, 3, 7, pen);
  b.VLine(14, 3, 7, pen);
  if (estimateRow) {
    for (int k = 1; k < 4; ++k) b.VLine(kZoneColumnsStart + k * kEstimateCellWidth, 30, 32, pen);
  }
  if (summary) {
    b.VLine(10, s0, s0 + 5, pen);
    b.VLine(15, s0, s0 + 2, pen);
    for (double column : {12.5, 15.0, 17.5}) b.VLine(column, s0 + 4, s0 + 5, pen);
  }
  const int c0 = s0 + 5;  // first row of the cores' block
  const int coreRows = summary ? CoreRows(doc) : 0;
  if (coreRows > 0) {
    b.HLine(c0, 0, kColumns, pen);
    b.HLine(c0 + 1, 5, kColumns, pen);
    for (int row = c0 + 2; row < c0 + coreRows; ++row) b.HLine(row, 5, kCoreColumns[5], pen);
    for (std::size_t k = 1; k + 1 < kCoreColumns.size(); ++k)
      b.VLine(kCoreColumns[k], c0, c0 + coreRows, pen);
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
  // The head: whole rows, split rows, then the instrument and the member's
  // number.
  const std::array<HeadRow, 7> head = ResultTableHead(info, memberRecord);
  for (int row = 0; row < static_cast<int>(head.size()); ++row) {
    const HeadRow& h = head[static_cast<std::size_t>(row)];
    label(0, row, 5, row + 1, std::string(h.label));
    if (h.rightLabel.empty()) {
      value(5, row, kColumns, row + 1, h.value);
    } else {
      label(11, row, 14, row + 1, std::string(h.rightLabel));
      value(5, row, 11, row + 1, h.value);
      value(14, row, kColumns, row + 1, h.rightValue);
    }
  }
  label(0, 7, 5, 8, std::string(kInstrumentLabel));
  label(0, 8, 5, 9, std::string(kResultMemberNumber.text));
  value(5, 7, kColumns, 8,
        info.instrumentModel + std::string(lastMember ? 7 : 6, ' ') + info.instrumentNumber);
  value(5, 8, kColumns, 9, FormatInt(static_cast<long long>(memberRecord.sectionIndex) + 1));
  label(0, 9, 5, 11, std::string(kResultItems.text));
  label(5, 9, kColumns, 10, std::string(kResultZones.text));
  const long long firstZone = static_cast<long long>(pageInMember - 1) * kZonesPerPage;
  for (int k = 1; k <= kZonesPerPage; ++k) label(ZoneLeft(k), 10, ZoneRight(k), 11, FormatInt(firstZone + k));
  // A label's lines in grid rows of their own from `firstRow` on.
  auto labelRows = [&](double i0, double i1, int firstRow, const TableLabel& text) {
    int row = firstRow;
    for (std::string& line : text.Rows()) {
      label(i0, row, i1, row + 1, std::move(line));
      ++row;
    }
  };
  label(0, 11, 2, 21, std::string(kResultRebound.text), HAlign::Left);
  labelRows(0, 2, 22, kResultVelocity);
  for (int k = 0; k < static_cast<int>(kResultQuantities.size()); ++k)
    labelRows(2, 5, 11 + 2 * k, kResultQuantities[static_cast<std::size_t>(k)]);
  label(0, 27, 5, 28, std::string(CorrectionLabel(doc.standard)));
  labelRows(0, 5, 28, kResultStrength);
  const MemberEstimateCells estimate = FormatMemberEstimate(doc, member);
  if (estimateRow) {
    label(0, 30, 5, 31, std::string(kMemberEstimateLabel));
    label(0, 31, 5, 32, CountLine(estimate.zones, SummaryStyle::Page));
  }
  if (summary) {
    label(0, s0, 5, s0 + 1, std::string(kResultBatch.text));
    label(0, s0 + 1, 5, s0 + 2, CountLine(memberCount, SummaryStyle::Page));  // members of the batch
    labelRows(0, 5, s0 + 2, kResultConversionTable);
    label(0, s0 + 4, 5, s0 + 5, std::string(kReviewed.text));
    label(10, s0 + 4, 12.5, s0 + 5, std::string(kComputed.text));
    label(15, s0 + 4, 17.5, s0 + 5, std::string(kTested.text));
    label(10, s0 + 2, kColumns, s0 + 3, std::string(kResultRemark.text));
  }

  // ---- Zone values ---------------------------------------------------------------
  for (int k = 1; k <= kZonesPerPage; ++k) {
    const long long index = firstZone + k - 1;
    if (index < 0 || index >= static_cast<long long>(zones.size())) break;
    const TestZone* zone = &zones[static_cast<std::size_t>(index)];
    const double l = ZoneLeft(k);
    const double r = ZoneRight(k);
    const ZoneReportCells cells = FormatZoneCells(*zone, doc.standard);
    value(l, 11, r, 13, cells.reboundValue.text);
    value(l, 13, r, 15, cells.angleCorrection.text);
    value(l, 15, r, 17, cells.afterAngle.text);
    value(l, 17, r, 19, cells.surfaceCorrection.text);
    value(l, 19, r, 21, cells.afterSurface.text);
    value(l, 21, r, 23, cells.zoneVelocity.text, true);
    value(l, 23, r, 24, cells.beta.text);
    value(l, 24, r, 25, cells.lambda.text);
    value(l, 25, r, 27, cells.correctedVelocity.text, true);
    value(l, 27, r, 28, cells.correction.text);
    value(l, 28, r, 30, cells.strengthText());
  }

  // ---- Member estimate -------------------------------------------------------------
  if (estimateRow && estimate.zones > 0) {
    const std::string texts[4] = {SummaryFigureText("Fmin", estimate.minimum, SummaryStyle::Page),
                                  SummaryFigureText("Mf", estimate.mean, SummaryStyle::Page),
                                  SummaryFigureText("Sf", estimate.stdDev, SummaryStyle::Page),
                                  MemberEstimateText(estimate, SummaryStyle::Page)};
    for (int k = 0; k < 4; ++k) {
      value(kZoneColumnsStart + k * kEstimateCellWidth, 30, kZoneColumnsStart + (k + 1) * kEstimateCellWidth,
            32, texts[k]);
    }
  }

  // ---- Summary -------------------------------------------------------------------
  if (summary) {
    const BatchSummaryCells batch = FormatBatchSummary(doc);
    value(5, s0, 10, s0 + 2, SummaryFigureText("Mf", batch.mean, SummaryStyle::Page));
    value(10, s0, 15, s0 + 2, SummaryFigureText("Sf", batch.stdDev, SummaryStyle::Page));
    // The text after a failed batch test takes two lines of the two-row cell.
    const std::string fcue = BatchEstimateText(batch.flag, batch.fcue, SummaryStyle::Page);
    value(15, s0, kColumns, s0 + 2, fcue, fcue.find('\n') != std::string::npos);
    value(5, s0 + 2, 10, s0 + 4, info.conversionTableName);
    value(10, s0 + 3, kColumns, s0 + 4, info.resultTableRemark);
  }

  // ---- Cores ---------------------------------------------------------------------
  if (coreRows > 0) {
    const CoreTableCells cores = FormatCoreTable(doc);
    label(0, c0, 5, c0 + coreRows, std::string(kCoreTableLabel));
    for (std::size_t k = 0; k < cores.heads.size(); ++k) {
      label(kCoreColumns[k], c0, kCoreColumns[k + 1], c0 + 1, cores.heads[k]);
    }
    for (std::size_t i = 0; i < cores.lines.size(); ++i) {
      const CoreTableCells::Line& line = cores.lines[i];
      const double row = c0 + 1 + static_cast<double>(i);
      const std::string texts[5] = {line.member, line.zone, line.conversion.text, line.core.text,
                                    line.ratio.text};
      for (std::size_t k = 0; k < 5; ++k) value(kCoreColumns[k], row, kCoreColumns[k + 1], row + 1, texts[k]);
    }
    value(kCoreColumns[5], c0 + 1, kColumns, c0 + coreRows, cores.value.text + "\n" + cores.count, true);
  }
  return page;
}

}  // namespace korvane::report
