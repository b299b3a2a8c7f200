// The Word report: the field record sheet ("现场记录表", one table per
// member) and the result data table ("结果数据表", one table per member page
// of ten zones), as chosen in the document's print settings, with the page
// setup, page header, page footer and page number of those settings, written
// as a .docx file.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/report/report_records.h"
#include "office/docx_document.h"

namespace korvane {
class CKorvaneDoc;
}

namespace korvane::office {

// Millimetres to twips the way the report converts lengths: mm × 2.835271
// points (single precision), × 20, rounded to the nearest twip.
int MillimetresToTwips(int millimetres);

// Font size in points for a header or footer height in mm: 14 for 0;
// otherwise x = h / 0.3527 / 3.8 and whichever of ⌊x⌋ and ⌊x⌋ + 0.5 lies
// nearer to x (⌊x⌋ on a tie), but at least 9 (smaller is not readable on
// paper).
inline constexpr double kLeastHeaderFooterPt = 9.0;
double FontSizeForHeight(int heightMm);

// Upper-case Roman numeral of 1..1000 (greedy M, CM, D, …, I); empty text
// outside that range.
std::string RomanNumeral(int value);

// The report tables of one member. `member` indexes doc.members
// (std::out_of_range otherwise); `page` is the 1-based page of ten zones
// within the member.
//
// Record sheet: 2N + 13 rows (N = the member's zone count, at least 10);
// 17 columns when the member's first zone has 3 points, else 18; 14 columns
// when the current standard counts 10 rebound readings. `velocityForm`
// replaces the point columns by the corrected velocity (used when the
// document's current zone has 7 or more points; always with 10 readings).
// Rows 1-10 (the heads) repeat on every page the table runs onto; no row
// breaks across pages, a zone's two rows stay together and the last zone
// stays with the closing remark and signature rows.
Table BuildRecordSheetTable(const CKorvaneDoc& doc, int member, bool velocityForm);
// Result table: 12 columns, the two label columns as wide as their texts
// and the ten zone columns sharing the rest of the text width of the print
// settings' page; 21 rows, one more (row 22) for the member-estimate row on
// the member's last page when `options` print it, and the three summary rows
// after those when `summaryPage` (the last page of the last member). Each
// zone shows its own η; β and λ take two lines of their cell.
Table BuildResultTable(const CKorvaneDoc& doc, int member, int page, bool summaryPage,
                       const ReportOptions& options = {});

// Column widths of the result table, in twips, for a text width in twips.
std::vector<int> ResultTableColumnWidths(int textWidth);

// Estimated width in twips of the widest line ("\n" separated) of a text at
// `sizePt` points, on the wide side: one em for Chinese and full-width
// characters, 0.6 em for Greek, 0.5 em for ASCII.
int EstimatedTextWidth(std::string_view text, double sizePt);

// The largest size from `sizePt` down (in half points, not below 5) at which
// `text` wrapped at `widthTwips` fits in `heightTwips`.
double FittingSizePt(std::string_view text, int widthTwips, int heightTwips, double sizePt);
// Gives every cell of a report table whose text (of one line as written)
// would make its rows taller than their fixed height the font size that
// fits (FittingSizePt), so that
// each page keeps its rows: a long 测试部位 never pushes a page's zones onto
// the next page.
void FitCellTexts(Table& table, int textWidth);

// The whole report by doc.printSettings: page setup, header and footer, the
// record sheet (if printRecordSheet) then the result table (if
// printResultTable), a page break between tables. With neither report
// chosen the body is one empty paragraph.
// `keepGoing` (when given) is asked before each member's table and page:
// false stops the build, which throws ExportCancelled (excel_export.h).
WordDocument BuildWordReport(const CKorvaneDoc& doc, const ReportOptions& options = {},
                             const std::function<bool()>& keepGoing = {});

// BuildWordReport written to `path` (.docx). Throws KorvaneError naming the
// file when it cannot be written; an existing file is replaced only by a
// complete one. Stopped by `keepGoing` (asked as above and between making
// the parts, the archive and the file), it throws ExportCancelled and
// writes nothing.
void WriteWordReport(const CKorvaneDoc& doc, const std::filesystem::path& path,
                     const ReportOptions& options = {}, const std::function<bool()>& keepGoing = {});

}  // namespace korvane::office
