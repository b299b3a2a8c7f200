// Field record sheet: ten zones of one member per page on a grid of 18
// columns (point layout) or 17 columns (velocity layout) by 38 rows. Zone
// slot i occupies rows 13 + 2i and 14 + 2i.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/report/layout_grid.h"
#include "core/report/report_cells.h"
#include "core/report/report_labels.h"
#include "core/report/report_layout.h"
#include "core/standards/standards.h"

namespace korvane::report {
namespace {

constexpr int kRows = 38;
constexpr int kPointColumnsStart = 12;
constexpr double kPointColumnsWidth = 4.0;  // point cells share columns 12..16

// Width of one point cell in columns: 4/3 for three points (the cells fill
// columns 12..16), one column for one, two or four, and 4/n for five to
// seven so that the cells never reach the test-mode column.
double PointCellWidth(int points) {
  if (points >= 3) return kPointColumnsWidth / points;
  return 1.0;
}

// Puts a label's rows (its lines, or the characters of a vertical label)
// into columns i0..i1, one grid row each from `firstRow` on.
void LabelRows(PageBuilder& b, double i0, double i1, int firstRow, const TableLabel& label, int fontPx) {
  int row = firstRow;
  for (std::string& text : label.Rows()) {
    b.Text(i0, row, i1, row + 1, std::move(text), FontRole::Label, fontPx);
    ++row;
  }
}

}  // namespace

bool UsesVelocityLayout(const ReportSource& doc) { return doc.shownZonePoints >= 7; }

PageDescription LayoutRecordSheetPage(const ReportSource& doc, int member, int pageInMember,
                                      const Rect& title, const Rect& body) {
  PageDescription page;
  if (member < 0 || static_cast<std::size_t>(member) >= doc.zoneLists.size()) return page;
  const ZoneList& zones = doc.zoneLists[static_cast<std::size_t>(member)];
  const Member fallbackMember = NewMember();
  const Member& memberRecord = MemberOr(doc, member, fallbackMember);
  const ReportProjectInfo& info = doc.reportInfo;
  const int border = doc.printSettings.borderLineWidth;
  const int pen = doc.printSettings.gridLineWidth;

  const bool velocity = UsesVelocityLayout(doc);
  const int cols = velocity ? 17 : 18;
  // The readings the standard uses, as the screen and the Word sheet show
  // them: sixteen in rows of eight, or ten in rows of five.
  const int readings = std::clamp(Traits(doc.standard).readingsUsed, 1, kReadingsPerZone);
  const int readingsPerRow = readings <= 10 ? 5 : 8;
  const LayoutGrid grid(body, cols, kRows);
  PageBuilder b(page, grid);

  // Title only on the first page of the first member.
  if (member == 0 && pageInMember == 1) {
    AddTitle(page, title, kRecordSheetTitle);
  }

  // Points per zone of the member: that of its first zone.
  int points = 3;
  if (!zones.empty()) points = std::clamp(zones.front().pointCount, 0, kMaxPoints);
  const double pointWidth = PointCellWidth(points);

  // ---- Lines -----------------------------------------------------------------
  page.frames.push_back({grid.Cell(0, 0, cols, kRows), border});
  for (int row = 1; row <= 7; ++row) b.HLine(row, 0, cols, pen);
  b.HLine(9, 0, cols, pen);
  auto innerRowLine = [&](int row) {
    b.HLine(row, 2, 10, pen);
    if (!velocity) b.HLine(row, kPointColumnsStart, kPointColumnsStart + kPointColumnsWidth, pen);
  };
  innerRowLine(12);
  b.HLine(13, 0, cols, pen);
  // Below each zone; the lines between zones leave out the member-number
  // column, whose one cell spans all ten zones.
  for (int i = 0; i < kZonesPerPage; ++i) {
    innerRowLine(14 + 2 * i);
    b.HLine(15 + 2 * i, i + 1 < kZonesPerPage ? 1 : 0, cols, pen);
  }
  b.HLine(37, 0, cols, pen);

  b.VLine(4, 0, 9, pen);
  b.VLine(9, 3, 7, pen);
  b.VLine(13, 3, 7, pen);
  b.VLine(1, 9, 37, pen);
  b.VLine(2, 9, 33, pen);
  for (int col = 3; col <= 9; ++col) b.VLine(col, 12, 33, pen);
  for (int col = 10; col <= 12; ++col) b.VLine(col, 9, 33, pen);
  if (velocity) {
    b.VLine(15, 9, 33, pen);
    b.VLine(16, 9, 33, pen);
  } else {
    for (int j = 1; j < points; ++j) b.VLine(kPointColumnsStart + j * pointWidth, 12, 33, pen);
    b.VLine(16, 9, 33, pen);
    b.VLine(17, 9, 33, pen);
  }
  for (int col : {2, 6, 8, 12, 14}) b.VLine(col, 37, 38, pen);

  // ---- Labels ------------------------------------------------------------------
  const int labelPx = static_cast<int>(0.8 * grid.r());
  const int valuePx = static_cast<int>(0.65 * grid.r());
  auto label = [&](double i0, double j0, double i1, double j1, std::string_view text) {
    b.Text(i0, j0, i1, j1, std::string(text), FontRole::Label, labelPx);
  };
  auto value = [&](double i0, double j0, double i1, double j1, std::string text) {
    b.Text(i0, j0, i1, j1, std::move(text), FontRole::Value, valuePx);
  };

  // The head: whole rows, then split rows; the instrument label on two rows.
  const std::array<HeadRow, 7> head = RecordSheetHead(info, memberRecord);
  for (int row = 0; row < static_cast<int>(head.size()); ++row) {
    const HeadRow& h = head[static_cast<std::size_t>(row)];
    label(0, row, 4, row + 1, h.label);
    if (h.rightLabel.empty()) {
      value(4, row, cols, row + 1, h.value);  // the whole merged cell
    } else {
      label(9, row, 13, row + 1, h.rightLabel);
      value(4, row, 9, row + 1, h.value);
      value(13, row, cols, row + 1, h.rightValue);
    }
  }
  label(0, 7, 4, 8, "仪器型号");
  label(0, 8, 4, 9, "与编号");
  value(4, 7, cols, 9, info.instrumentModel + std::string(8, ' ') + info.instrumentNumber);

  LabelRows(b, 0, 1, 9, kSheetMember, labelPx);
  LabelRows(b, 1, 2, 10, kSheetZone, labelPx);
  label(2, 9, 10, 12, kSheetReadings.text);
  LabelRows(b, 10, 11, 9, kSheetAngle, labelPx);
  LabelRows(b, 11, 12, 9, kSheetSurface, labelPx);
  const int modeColumn = velocity ? 15 : 16;
  LabelRows(b, 12, modeColumn, 9, velocity ? kSheetVelocity : kSheetPoints, labelPx);
  LabelRows(b, modeColumn, modeColumn + 1, 9, kSheetMethod, labelPx);
  LabelRows(b, modeColumn + 1, modeColumn + 2, 9, kSheetLocation, labelPx);
  for (int k = 1; k <= readingsPerRow; ++k) label(k + 1, 12, k + 2, 13, FormatInt(k));
  if (!velocity) {
    for (int j = 0; j < points; ++j) {
      label(kPointColumnsStart + j * pointWidth, 12, kPointColumnsStart + (j + 1) * pointWidth, 13,
            FormatInt(j + 1));
    }
  }
  LabelRows(b, 0, 1, 34, kSheetRemark, labelPx);
  label(0, 37, 2, 38, kChecked.text);
  label(6, 37, 8, 38, kComputed.text);
  label(12, 37, 14, 38, kTested.text);

  // ---- Zone rows -------------------------------------------------------------------
  const long long firstZone = static_cast<long long>(pageInMember - 1) * kZonesPerPage;
  value(0, 13, 1, 33, FormatInt(static_cast<long long>(memberRecord.sectionIndex) + 1));
  for (int i = 0; i < kZonesPerPage; ++i) value(1, 13 + 2 * i, 2, 15 + 2 * i, FormatInt(firstZone + i + 1));
  for (int i = 0; i < kZonesPerPage; ++i) {
    const long long index = firstZone + i;
    if (index < 0 || index >= static_cast<long long>(zones.size())) break;
    const TestZone* zone = &zones[static_cast<std::size_t>(index)];
    const int top = 13 + 2 * i;
    const ZoneReportCells cells = FormatZoneCells(*zone, doc.standard);
    for (int k = 0; k < readings; ++k) {
      const int column = k % readingsPerRow + 2;
      const int row = top + k / readingsPerRow;
      value(column, row, column + 1, row + 1, cells.readings[static_cast<std::size_t>(k)]);
    }
    value(10, top, 11, top + 2, cells.angle);
    value(11, top, 12, top + 2, cells.surface);
    if (velocity) {
      value(12, top, 15, top + 2, cells.correctedVelocity.text);
    } else {
      // Points beyond the zone's own count, and missing points, leave the
      // cells empty.
      for (int j = 0; j < points; ++j) {
        const double left = kPointColumnsStart + j * pointWidth;
        const double right = kPointColumnsStart + (j + 1) * pointWidth;
        value(left, top, right, top + 1, cells.distances[static_cast<std::size_t>(j)]);
        value(left, top + 1, right, top + 2, cells.times[static_cast<std::size_t>(j)].text);
      }
    }
    value(modeColumn, top, modeColumn + 1, top + 2, cells.method);
    value(modeColumn + 1, top, modeColumn + 2, top + 2, cells.location);
  }

  value(2, 33, cols, 37, info.recordSheetRemark);
  return page;
}

}  // namespace korvane::report
