#include "office/word_report.h"

#include "office/excel_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

#include "core/app/korvane_doc.h"
#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "core/platform/unicode_text.h"
#include "core/report/pagination.h"
#include "core/report/report_cells.h"
#include "core/report/report_labels.h"
#include "core/report/report_layout.h"
#include "core/standards/standards.h"
#include "office/text_format.h"

namespace korvane::office {
namespace {

constexpr int kZonesPerPage = 10;
constexpr int kMinRowHeight = 397;  // 19.846895 pt = 7 mm, in twips
constexpr double kTableFontPt = 10.0;
// The result table's ten zone columns need every twip: half-millimetre cell
// margins, and the labels broken into lines as the printed page writes them
// over two rows.
constexpr int kResultCellMargin = 28;
constexpr int kWidthSlack = 40;  // twips per column against rounding in the word processor

RunFormat TableFont() { return RunFormat{"Times New Roman", "宋体", kTableFontPt, false}; }
// Numbers in Times New Roman: 宋体 draws β a full em wide, and "β=1.000"
// would no longer fit a zone column of an A4 page.
RunFormat ResultTableFont() { return RunFormat{"Times New Roman", "宋体", kTableFontPt, false}; }
RunFormat TitleFont() { return RunFormat{"Times New Roman", "宋体", 16.0, true}; }

// An estimate's label over its unit and count: "构件推定值\n(MPa)N=3".
std::string EstimateLabel(std::string_view label, int count) {
  return std::string(label) + "\n" + report::CountLine(count, report::SummaryStyle::Word);
}

Align AlignOf(int value) {
  if (value == 1) return Align::Center;
  if (value == 2) return Align::Right;
  return Align::Left;
}

// Writes the head's rows from row 1 on: a whole row's label over columns
// 1..ends[0] and its value to `lastColumn`; a split row's label, value,
// second label and second value up to the columns `ends` and `lastColumn`.
void WriteHead(Table& table, const std::array<report::HeadRow, 7>& rows, const std::array<int, 3>& ends,
               int lastColumn) {
  for (int k = 0; k < 7; ++k) {
    const int r = 1 + k;
    const report::HeadRow& h = rows[static_cast<std::size_t>(k)];
    table.MergeSet(r, 1, r, ends[0], std::string(h.label));
    if (h.rightLabel.empty()) {
      table.MergeSet(r, ends[0] + 1, r, lastColumn, h.value);
      continue;
    }
    table.MergeSet(r, ends[0] + 1, r, ends[1], h.value);
    table.MergeSet(r, ends[1] + 1, r, ends[2], std::string(h.rightLabel));
    table.MergeSet(r, ends[2] + 1, r, lastColumn, h.rightValue);
  }
}

bool TenReadings(const CKorvaneDoc& doc) { return doc.algorithm.ReadingCount() == 10; }

bool VelocityForm(const CKorvaneDoc& doc) {
  const TestZone* zone = doc.GetCurrentZone();
  return zone != nullptr && zone->pointCount >= 7;
}

RunFormat HeaderFooterFont(int fontIndex, int heightMm) {
  RunFormat format;
  format.latinFont = "Times New Roman";
  format.eastAsiaFont = fontIndex >= 0 && static_cast<std::size_t>(fontIndex) < kReportFonts.size()
                            ? std::string(kReportFonts[static_cast<std::size_t>(fontIndex)])
                            : std::string(kReportFonts[0]);
  format.sizePt = FontSizeForHeight(heightMm);
  format.bold = false;
  return format;
}

Inline PageField(const PrintSettings& settings) {
  const bool roman = settings.pageNumberFormat == 1;
  Inline field;
  field.kind = Inline::Kind::Field;
  field.fieldCode = roman ? "PAGE  \\* ROMAN" : "PAGE  \\* Arabic";
  field.text = roman ? RomanNumeral(settings.firstPageNumber) : FormatInt(settings.firstPageNumber);
  return field;
}

Inline TextPiece(std::string text) { return Inline{Inline::Kind::Text, std::move(text), {}}; }

// Footer line: text and/or page number. Two pieces at different alignments
// share one left-aligned line with a centre and a right tab stop.
Paragraph FooterParagraph(const PrintSettings& settings, int textWidth) {
  const bool hasText = settings.printFooter != 0 && !settings.footerText.empty();
  const bool hasNumber = settings.printPageNumber != 0;
  Paragraph paragraph;
  paragraph.format = HeaderFooterFont(settings.footerFont, settings.footerHeight);
  const Align textAlign = AlignOf(settings.footerAlign);
  const Align numberAlign = AlignOf(settings.pageNumberPosition);
  if (hasText && !hasNumber) {
    paragraph.align = textAlign;
    paragraph.content.push_back(TextPiece(settings.footerText));
  } else if (!hasText) {
    paragraph.align = numberAlign;
    paragraph.content.push_back(PageField(settings));
  } else if (textAlign == numberAlign) {
    paragraph.align = textAlign;
    paragraph.content.push_back(TextPiece(settings.footerText));
    paragraph.content.push_back(PageField(settings));
  } else {
    paragraph.align = Align::Left;
    paragraph.tabs = {{Align::Center, textWidth / 2}, {Align::Right, textWidth}};
    std::vector<std::pair<Align, Inline>> pieces = {{textAlign, TextPiece(settings.footerText)},
                                                    {numberAlign, PageField(settings)}};
    std::sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) {
      return static_cast<int>(a.first) < static_cast<int>(b.first);
    });
    int stop = 0;  // 0 left margin, 1 centre stop, 2 right stop
    for (auto& [align, piece] : pieces) {
      for (; stop < static_cast<int>(align); ++stop) paragraph.content.push_back({Inline::Kind::Tab, {}, {}});
      paragraph.content.push_back(std::move(piece));
    }
  }
  return paragraph;
}

SectionSetup PageSetup(const PrintSettings& settings) {
  SectionSetup section;  // A4, new page
  section.marginTop = MillimetresToTwips(settings.topMargin);
  section.marginBottom = MillimetresToTwips(settings.bottomMargin);
  section.marginLeft = MillimetresToTwips(settings.leftMargin);
  section.marginRight = MillimetresToTwips(settings.rightMargin);
  section.headerDistance = MillimetresToTwips(settings.headerHeight);
  section.footerDistance = MillimetresToTwips(settings.footerHeight);
  section.firstPageNumber = settings.firstPageNumber;
  section.romanPageNumbers = settings.pageNumberFormat == 1;
  return section;
}

}  // namespace

int MillimetresToTwips(int millimetres) {
  const float points = static_cast<float>(millimetres) * 2.835271f;
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0));
}

double FontSizeForHeight(int heightMm) {
  if (heightMm == 0) return 14.0;
  const double x = static_cast<double>(heightMm) / 0.3527 / 3.8;
  const double whole = std::floor(x);
  const double size = (x - whole) <= 0.25 ? whole : whole + 0.5;
  return std::max(size, kLeastHeaderFooterPt);
}

std::string RomanNumeral(int value) {
  if (value < 1 || value > 1000) return {};
  static constexpr std::pair<int, std::string_view> kDigits[] = {
      {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
      {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
  std::string text;
  for (const auto& [amount, digits] : kDigits) {
    while (value >= amount) {
      text += digits;
      value -= amount;
    }
  }
  return text;
}

int EstimatedTextWidth(std::string_view text, double sizePt) {
  // Em widths: 1 for CJK and full-width forms, 0.6 for Greek, 0.5 for ASCII
  // (Times New Roman: digits exactly 0.5).
  double widest = 0.0;
  double line = 0.0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = Utf8SequenceLength(lead);
    if (lead == '\n') {
      widest = std::max(widest, line);
      line = 0.0;
    } else if (length == 1) {
      line += 0.5;
    } else if (length == 2) {
      line += 0.6;  // Greek, Latin-1 and other two-byte letters
    } else {
      line += 1.0;
    }
    i += length;
  }
  widest = std::max(widest, line);
  return static_cast<int>(std::ceil(widest * sizePt * 20.0));
}

namespace {

// Lines a cell of `heightTwips` holds at `sizePt` (single spacing of the
// report fonts: about 1.3 × the size), at least 1.
int LinesInHeight(int heightTwips, double sizePt) {
  return std::max(1, static_cast<int>(heightTwips / (sizePt * 20.0 * 1.3)));
}

}  // namespace

double FittingSizePt(std::string_view text, int widthTwips, int heightTwips, double sizePt) {
  constexpr double kLeast = 5.0;
  for (double pt = sizePt; pt > kLeast; pt -= 0.5) {
    // Lines the text needs, wrapped character by character at the cell's
    // width (a character never split), against the lines the height holds.
    int needed = 1;
    int line = 0;
    std::size_t i = 0;
    while (i < text.size()) {
      const auto lead = static_cast<unsigned char>(text[i]);
      const std::size_t length = Utf8SequenceLength(lead);
      const int width = EstimatedTextWidth(text.substr(i, length), pt);
      if (line > 0 && line + width > widthTwips) {
        ++needed;
        line = 0;
      }
      line += width;
      i += length;
    }
    if (needed <= LinesInHeight(heightTwips, pt)) return pt;
  }
  return kLeast;
}

void FitCellTexts(Table& table, int textWidth) {
  std::vector<int> widths = table.columnWidths;
  if (widths.size() != static_cast<std::size_t>(table.cols()))
    widths.assign(static_cast<std::size_t>(table.cols()), textWidth / std::max(1, table.cols()));
  if (table.minRowHeight <= 0) return;
  for (int r = 1; r <= table.rows(); ++r) {
    for (int c = 1; c <= table.cols(); ++c) {
      const Table::Cell& cell = table.At(r, c);
      // Texts laid out on lines of their own (labels, β and λ) keep their
      // size and rows as designed.
      if (cell.covered || cell.text.empty() || cell.text.find('\n') != std::string::npos) continue;
      int width = -2 * table.cellMargin;
      for (int k = c; k < c + cell.colSpan; ++k) width += widths[static_cast<std::size_t>(k - 1)];
      const double size =
          FittingSizePt(cell.text, width, cell.rowSpan * table.minRowHeight, table.format.sizePt);
      if (size < table.format.sizePt) table.SetSizePt(r, c, size);
    }
  }
}

Table BuildRecordSheetTable(const CKorvaneDoc& doc, int member, bool velocityForm) {
  const Member& record = doc.members.at(static_cast<std::size_t>(member));
  const ReportProjectInfo& info = doc.reportInfo;
  const int zoneCount = doc.ZoneCount(member);
  const TestZone* firstZone = doc.Zone(member, 0);
  const int firstPoints = firstZone != nullptr ? firstZone->pointCount : 3;
  const bool tenReadings = TenReadings(doc);
  if (tenReadings) velocityForm = true;

  // Column plan (1-based): member, zone, readings, angle, surface, the point
  // block, test mode, test location.
  const int readingColumns = tenReadings ? 5 : 8;
  const int cols = tenReadings ? 14 : (firstPoints == 3 ? 17 : 18);
  const int angleCol = 3 + readingColumns;
  const int surfaceCol = angleCol + 1;
  const int blockFirst = surfaceCol + 1;
  const int blockLast = cols - 2;
  const int blockWidth = blockLast - blockFirst + 1;
  const int methodCol = cols - 1;
  const int locationCol = cols;

  const int slots = std::max(zoneCount, kZonesPerPage);
  Table table(2 * slots + 13, cols);
  table.format = TableFont();
  table.align = Align::Left;
  table.minRowHeight = kMinRowHeight;

  // Head, rows 1-8.
  const std::string instrumentLine = info.instrumentModel + "     " + info.instrumentNumber;
  WriteHead(table, report::RecordSheetHead(info, record), {3, 9, 12}, cols);
  table.MergeSet(8, 1, 8, 3, std::string(report::kInstrumentLabel));
  table.MergeSet(8, 4, 8, cols, instrumentLine);

  // Table head, rows 9-10.
  table.MergeSet(9, 1, 10, 1, report::kSheetMember.CellText() + (tenReadings ? " " : ""));
  table.MergeSet(9, 2, 10, 2, report::kSheetZone.CellText());
  table.MergeSet(9, 3, 9, 2 + readingColumns, report::kSheetReadings.CellText());
  for (int k = 1; k <= readingColumns; ++k) table.Set(10, 2 + k, FormatInt(k));
  table.MergeSet(9, angleCol, 10, angleCol, report::kSheetAngle.CellText());
  table.MergeSet(9, surfaceCol, 10, surfaceCol, report::kSheetSurface.CellText());
  if (velocityForm) {
    table.MergeSet(9, blockFirst, 10, blockLast, report::kSheetVelocity.CellText());
  } else {
    table.MergeSet(9, blockFirst, 9, blockLast, report::kSheetPoints.CellText());
    const int numbered = std::min(std::max(firstPoints, 0), blockWidth);
    for (int j = 1; j <= numbered; ++j) table.Set(10, blockFirst + j - 1, FormatInt(j));
  }
  table.MergeSet(9, methodCol, 10, methodCol, report::kSheetMethod.CellText());
  table.MergeSet(9, locationCol, 10, locationCol, report::kSheetLocation.CellText());

  // Zone rows: zone k uses rows 9 + 2k and 10 + 2k. The two-row cells are
  // merged for every slot, so that the empty slots keep the sheet's grid.
  // The member number's column is one two-row cell per slot without borders
  // between them, reading as one cell with the number in its middle: word
  // processors (LibreOffice) lose the text of a cell merged over many rows
  // when the table breaks across pages.
  for (int slot = 0; slot < slots; ++slot) {
    const int top = 11 + 2 * slot;
    const int bottom = top + 1;
    table.MergeSet(top, 1, bottom, 1, slot == (slots - 1) / 2 ? FormatInt(record.sectionIndex + 1) : "");
    table.OpenEdges(top, 1, slot > 0, slot + 1 < slots);
    table.Merge(top, 2, bottom, 2);
    table.Merge(top, angleCol, bottom, angleCol);
    table.Merge(top, surfaceCol, bottom, surfaceCol);
    if (velocityForm) table.Merge(top, blockFirst, bottom, blockLast);
    table.Merge(top, methodCol, bottom, methodCol);
    table.Merge(top, locationCol, bottom, locationCol);

    const TestZone* zone = slot < zoneCount ? doc.Zone(member, slot) : nullptr;
    if (zone == nullptr) continue;
    table.Set(top, 2, FormatInt(slot + 1));
    const report::ZoneReportCells cells = report::FormatZoneCells(*zone, doc.standard);
    // Readings 1..c in the zone's first row, c+1..2c in the second.
    const auto readings = static_cast<std::size_t>(readingColumns);
    for (std::size_t k = 0; k < readings; ++k) {
      const int col = 3 + static_cast<int>(k);
      table.Set(top, col, cells.readings[k]);
      table.Set(bottom, col, cells.readings[readings + k]);
    }
    table.Set(top, angleCol, cells.angle);
    table.Set(top, surfaceCol, cells.surface);
    if (velocityForm) {
      table.Set(top, blockFirst, cells.correctedVelocity.text);
    } else {
      const int shown = std::min(cells.points, blockWidth);
      for (int j = 0; j < shown; ++j) {
        table.Set(top, blockFirst + j, cells.distances[static_cast<std::size_t>(j)]);
        table.Set(bottom, blockFirst + j, cells.times[static_cast<std::size_t>(j)].text);
      }
    }
    table.Set(top, methodCol, cells.method);
    table.Set(top, locationCol, cells.location);
  }

  // A sheet longer than a page continues under a repeated head (project head
  // and table head, rows 1-10); a zone's two rows stay together, and the last
  // zone stays with the remark and signature rows that close the sheet.
  table.headerRows = 10;
  table.rowsCantSplit = true;
  for (int slot = 0; slot < slots; ++slot) table.KeepWithNext(11 + 2 * slot);
  for (int row = 11 + 2 * (slots - 1); row < 2 * slots + 13; ++row) table.KeepWithNext(row);

  // Foot: remark over two rows, then the signature row.
  const int remarkRow = 2 * slots + 11;
  table.MergeSet(remarkRow, 1, remarkRow + 1, 1, report::kSheetRemark.CellText());
  table.MergeSet(remarkRow, 2, remarkRow + 1, cols, info.recordSheetRemark);
  const int signRow = remarkRow + 2;
  table.MergeSet(signRow, 1, signRow, 2, report::kChecked.CellText());
  table.Merge(signRow, 3, signRow, 6);
  table.MergeSet(signRow, 7, signRow, 8, report::kComputed.CellText());
  table.Merge(signRow, 9, signRow, 12);
  table.MergeSet(signRow, 13, signRow, 14, report::kTested.CellText());
  if (cols >= 16) table.Merge(signRow, 15, signRow, cols);
  return table;
}

std::vector<int> ResultTableColumnWidths(int textWidth) {
  // Widest label of each label column (as the table writes it, with its line
  // breaks), and of the labels spanning both.
  const auto widest = [](std::span<const std::string> texts) {
    int width = 0;
    for (const std::string& text : texts) width = std::max(width, EstimatedTextWidth(text, kTableFontPt));
    return width + 2 * kResultCellMargin + kWidthSlack;
  };
  const std::string firstColumn[] = {report::kResultRebound.CellText(), report::kResultVelocity.CellText()};
  std::vector<std::string> quantities;
  quantities.reserve(report::kResultQuantities.size());
  for (const report::TableLabel& label : report::kResultQuantities) quantities.push_back(label.CellText());
  const std::string batch = EstimateLabel(report::kResultBatch.text, 100);
  const std::string member = EstimateLabel(report::kMemberEstimateLabel, 100);
  const std::string bothColumns[] = {
      std::string(report::kInstrumentLabel),
      // A factor standard's correction label is wider than "强度修正值\nΔtot(MPa)".
      std::string(report::CorrectionLabel(Standard::CECS02_2005, true)), report::kResultStrength.CellText(),
      report::kResultConversionTable.CellText(), batch, member};
  const int first = widest(firstColumn);
  int second = widest(quantities);
  const int both = widest(bothColumns);
  second = std::max(second, both - first);
  std::vector<int> widths = {first, second};
  const int zone = std::max(0, (textWidth - first - second) / kZonesPerPage);
  for (int k = 0; k < kZonesPerPage; ++k) widths.push_back(zone);
  // What the division leaves goes to the second label column, so that the
  // table fills the text width exactly.
  widths[1] += std::max(0, textWidth - first - second - zone * kZonesPerPage);
  return widths;
}

Table BuildResultTable(const CKorvaneDoc& doc, int member, int page, bool summaryPage,
                       const ReportOptions& options) {
  const Member& record = doc.members.at(static_cast<std::size_t>(member));
  const ReportProjectInfo& info = doc.reportInfo;
  const bool lastMember = static_cast<std::size_t>(member) + 1 == doc.members.size();
  const bool estimateRow =
      options.printMemberEstimates && page == report::PagesForZoneCount(doc.ZoneCount(member));
  constexpr int cols = 12;
  const int summaryRow = estimateRow ? 23 : 22;  // first row of the batch summary
  const report::ReportSource source = ReportSourceOf(doc);
  // Under the summary: the cores' block, its head and a row per core.
  const int coreRows = summaryPage && report::HasCoreTable(source) ? 1 + source.cores.n() : 0;
  Table table(summaryPage ? summaryRow + 2 + coreRows : summaryRow - 1, cols);
  table.format = ResultTableFont();
  table.align = Align::Center;
  // The cores' rows share the page with the rest: the rows get lower so
  // that the table still fills one page.
  table.minRowHeight = kMinRowHeight * (summaryRow + 2) / (summaryRow + 2 + coreRows);
  table.cellMargin = kResultCellMargin;
  const SectionSetup section = PageSetup(doc.printSettings);
  table.columnWidths = ResultTableColumnWidths(section.pageWidth - section.marginLeft - section.marginRight);
  table.rowsCantSplit = true;

  // Head, rows 1-9: label over columns 1-2, value over the rest; rows 4-7
  // carry a second label and value in the middle.
  const std::string instrumentLine =
      info.instrumentModel + (lastMember ? "       " : "      ") + info.instrumentNumber;
  WriteHead(table, report::ResultTableHead(info, record), {2, 6, 8}, cols);
  table.MergeSet(8, 1, 8, 2, std::string(report::kInstrumentLabel));
  table.MergeSet(8, 3, 8, cols, instrumentLine);
  table.MergeSet(9, 1, 9, 2, report::kResultMemberNumber.CellText());
  table.MergeSet(9, 3, 9, cols, FormatInt(record.sectionIndex + 1));

  // Rows 10-11: zone heading and the ten zone numbers of the page.
  table.MergeSet(10, 1, 11, 2, report::kResultItems.CellText());
  table.MergeSet(10, 3, 10, cols, report::kResultZones.CellText());
  const int firstZone = (page - 1) * kZonesPerPage;
  for (int k = 1; k <= kZonesPerPage; ++k) table.Set(11, 2 + k, FormatInt(firstZone + k));

  // Quantity labels, broken into lines where they would widen their column.
  table.MergeSet(12, 1, 11 + report::kResultReboundQuantities, 1, report::kResultRebound.CellText());
  table.MergeSet(12 + report::kResultReboundQuantities, 1,
                 11 + static_cast<int>(report::kResultQuantities.size()), 1,
                 report::kResultVelocity.CellText());
  for (std::size_t k = 0; k < report::kResultQuantities.size(); ++k)
    table.Set(12 + static_cast<int>(k), 2, report::kResultQuantities[k].CellText());
  table.MergeSet(20, 1, 20, 2, std::string(report::CorrectionLabel(doc.standard, true)));
  table.MergeSet(21, 1, 21, 2, report::kResultStrength.CellText());

  // Zone columns: each zone's own figures, η included.
  const int zones = std::clamp(doc.ZoneCount(member) - firstZone, 0, kZonesPerPage);
  for (int k = 0; k < zones; ++k) {
    const TestZone* zone = doc.Zone(member, firstZone + k);
    if (zone == nullptr) continue;
    const int c = 3 + k;
    const report::ZoneReportCells cells = report::FormatZoneCells(*zone, doc.standard);
    table.Set(12, c, cells.reboundValue.text);
    table.Set(13, c, cells.angleCorrection.text);
    table.Set(14, c, cells.afterAngle.text);
    table.Set(15, c, cells.surfaceCorrection.text);
    table.Set(16, c, cells.afterSurface.text);
    table.Set(17, c, cells.zoneVelocity.text);
    // β and λ on two lines, so that the narrow column never breaks a number.
    table.Set(18, c, "β=" + cells.beta.text + "\nλ=" + cells.lambda.text);
    table.Set(19, c, cells.correctedVelocity.text);
    table.Set(20, c, cells.correction.text);
    table.Set(21, c, cells.strengthText());
  }

  if (estimateRow) {
    const report::MemberEstimateCells estimate = report::FormatMemberEstimate(ReportSourceOf(doc), member);
    constexpr auto kWord = report::SummaryStyle::Word;
    table.MergeSet(22, 1, 22, 2, EstimateLabel(report::kMemberEstimateLabel, estimate.zones));
    const bool any = estimate.zones > 0;
    table.MergeSet(22, 3, 22, 4, any ? report::SummaryFigureText("Fmin", estimate.minimum, kWord) : "");
    table.MergeSet(22, 5, 22, 6, any ? report::SummaryFigureText("Mf", estimate.mean, kWord) : "");
    table.MergeSet(22, 7, 22, 8, any ? report::SummaryFigureText("Sf", estimate.stdDev, kWord) : "");
    table.MergeSet(22, 9, 22, cols, report::MemberEstimateText(estimate, kWord));
  }

  if (summaryPage) {
    const report::BatchSummaryCells batch = report::FormatBatchSummary(ReportSourceOf(doc));
    constexpr auto kWord = report::SummaryStyle::Word;
    const int r = summaryRow;
    table.MergeSet(r, 1, r, 2, EstimateLabel(report::kResultBatch.text, batch.members));
    table.MergeSet(r, 3, r, 5, report::SummaryFigureText("Mf", batch.mean, kWord));
    table.MergeSet(r, 6, r, 8, report::SummaryFigureText("Sf", batch.stdDev, kWord));
    table.MergeSet(r, 9, r, cols, report::BatchEstimateText(batch.flag, batch.fcue, kWord));
    table.MergeSet(r + 1, 1, r + 1, 2, report::kResultConversionTable.CellText());
    table.MergeSet(r + 1, 3, r + 1, 5, info.conversionTableName);
    table.MergeSet(r + 1, 6, r + 1, 7, report::kResultRemark.CellText());
    table.MergeSet(r + 1, 8, r + 1, cols, info.resultTableRemark);
    table.MergeSet(r + 2, 1, r + 2, 2, report::kReviewed.CellText());
    table.Merge(r + 2, 3, r + 2, 5);
    table.MergeSet(r + 2, 6, r + 2, 7, report::kComputed.CellText());
    table.MergeSet(r + 2, 9, r + 2, 10, report::kTested.CellText());
    table.Merge(r + 2, 11, r + 2, cols);
  }

  if (coreRows > 0) {
    // Columns: member 3-4, zone 5, fcu,i 6-7, fcor 8-9, ratio 10, value 11-12.
    const report::CoreTableCells cores = report::FormatCoreTable(source);
    const int c0 = summaryRow + 3;
    static constexpr int kFirst[6] = {3, 5, 6, 8, 10, 11};
    static constexpr int kLast[6] = {4, 5, 7, 9, 10, cols};
    table.MergeSet(c0, 1, c0 + coreRows - 1, 2, std::string(report::kCoreTableLabel));
    for (std::size_t k = 0; k < 6; ++k) table.MergeSet(c0, kFirst[k], c0, kLast[k], cores.heads[k]);
    for (std::size_t i = 0; i < cores.lines.size(); ++i) {
      const report::CoreTableCells::Line& line = cores.lines[i];
      const int row = c0 + 1 + static_cast<int>(i);
      const std::string texts[5] = {line.member, line.zone, line.conversion.text, line.core.text,
                                    line.ratio.text};
      for (std::size_t k = 0; k < 5; ++k) {
        if (kFirst[k] == kLast[k]) {
          table.Set(row, kFirst[k], texts[k]);
        } else {
          table.MergeSet(row, kFirst[k], row, kLast[k], texts[k]);
        }
      }
    }
    table.MergeSet(c0 + 1, kFirst[5], c0 + coreRows - 1, kLast[5], cores.value.text + "\n" + cores.count);
  }
  return table;
}

WordDocument BuildWordReport(const CKorvaneDoc& doc, const ReportOptions& options,
                             const std::function<bool()>& keepGoing) {
  const auto check = [&keepGoing] {
    if (keepGoing && !keepGoing()) throw ExportCancelled{};
  };
  const PrintSettings& settings = doc.printSettings;
  WordDocument document;
  document.section = PageSetup(settings);

  if (settings.printHeader != 0 && !settings.headerText.empty()) {
    document.header.push_back(Paragraph::OfText(settings.headerText,
                                                HeaderFooterFont(settings.headerFont, settings.headerHeight),
                                                AlignOf(settings.headerAlign)));
  }
  if ((settings.printFooter != 0 && !settings.footerText.empty()) || settings.printPageNumber != 0) {
    document.footer.push_back(FooterParagraph(settings, document.TextWidth()));
  }

  const int memberCount = static_cast<int>(doc.members.size());
  const bool recordSheet = settings.printRecordSheet != 0;
  const bool resultTable = settings.printResultTable != 0;
  if (recordSheet) {
    document.body.emplace_back(
        Paragraph::OfText(std::string(report::kRecordSheetTitle), TitleFont(), Align::Center));
    const bool velocityForm = VelocityForm(doc);
    for (int m = 0; m < memberCount; ++m) {
      check();
      if (m > 0) document.body.emplace_back(PageBreak{});
      Table table = BuildRecordSheetTable(doc, m, velocityForm);
      FitCellTexts(table, document.TextWidth());
      document.body.emplace_back(std::move(table));
    }
  }
  if (resultTable) {
    if (recordSheet) document.body.emplace_back(PageBreak{});
    document.body.emplace_back(
        Paragraph::OfText(std::string(report::kResultTableTitle), TitleFont(), Align::Center));
    bool first = true;
    for (int m = 0; m < memberCount; ++m) {
      const int pages = report::PagesForZoneCount(doc.ZoneCount(m));
      for (int page = 1; page <= pages; ++page) {
        check();
        if (!first) document.body.emplace_back(PageBreak{});
        first = false;
        const bool summary = m == memberCount - 1 && page == pages;
        Table table = BuildResultTable(doc, m, page, summary, options);
        FitCellTexts(table, document.TextWidth());
        document.body.emplace_back(std::move(table));
      }
    }
  }
  if (document.body.empty()) document.body.emplace_back(Paragraph{});
  return document;
}

void WriteWordReport(const CKorvaneDoc& doc, const std::filesystem::path& path, const ReportOptions& options,
                     const std::function<bool()>& keepGoing) {
  // Neither report: nothing to write, as printing says.
  if (doc.printSettings.printRecordSheet == 0 && doc.printSettings.printResultTable == 0) {
    throw KorvaneError(std::string(report::kMsgChooseReport));
  }
  if (!keepGoing) {
    WriteDocx(BuildWordReport(doc, options), path);
    return;
  }
  // Asked again between the stages: the parts' XML, the archive, the file.
  const auto check = [&keepGoing] {
    if (!keepGoing()) throw ExportCancelled{};
  };
  const WordDocument document = BuildWordReport(doc, options, keepGoing);
  check();
  const auto parts = DocxParts(document);
  check();
  std::string bytes;
  try {
    bytes = ZipArchiveBytes(parts);
  } catch (const std::exception& cause) {
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, path, cause.what()));
  }
  check();
  ReplaceFileOrThrow(path, bytes);
}

}  // namespace korvane::office
