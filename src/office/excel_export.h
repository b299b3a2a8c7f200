// The Excel outputs (.xlsx, written with libxlsxwriter):
//  - the results export: one worksheet "sheet1" with one block of rows per
//    member (heading line, column headings, one row per zone);
//  - the raw-data export: one worksheet per member with the unfiltered
//    waveforms, one block of columns per zone (time and one amplitude column
//    per measuring point).
// Both replace an existing file only by a complete one and throw
// KorvaneError with a message naming the file when it cannot be written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/file_writer.h"
#include "core/report/report_records.h"

namespace korvane {
class CKorvaneDoc;
struct Member;
struct TestZone;
}  // namespace korvane

namespace korvane::office {

// Results export. Each member's block: the heading line, the column
// headings "测区", "L1mm", "T1us", … "fcui(MPa)" and the correction the
// standard applies ("η", or "Δtot(MPa)" for an additive standard), one row
// per zone (the zone's own correction in the last column) and, when
// `options` print member estimates, a "构件推定值" block of two rows:
// headings "N", "Fmin(MPa)", "Mf(MPa)", "Sf(MPa)", "fcu,e(MPa)" and the
// member's figures (fcu,e as its result text, e.g. "<10.0MPa", unless the
// member's flag is 0). After an empty row, the batch result: "强度推定值",
// N (members), Mf, Sf and fcu,e, or the result table's statement when the
// batch estimate does not hold ("批推定值不成立…", "fcue <10.0MPa"). Numbers
// are stored as numbers rounded to the shown decimals, with the number
// formats "0" (distances, N), "0.0" (times, strengths), "0.00" (η, Δtot,
// Sf) and "0.000" (velocities); zone strengths above 70 or below 10 MPa are
// the texts ">70MPa" and "<10MPa" where the standard's screen shows them so
// (as every report does). Printed: A4 landscape, one page wide.
void WriteResultsWorkbook(const CKorvaneDoc& doc, const std::filesystem::path& path,
                          const ReportOptions& options = {});

// First row (0-based) of each member's block in the results sheet: 0, then
// the previous start + the previous member's zone count + 2 (+ 2 more with
// the member-estimate block).
std::vector<int> ResultBlockOffsets(const CKorvaneDoc& doc, const ReportOptions& options = {});
// Row (0-based) of the batch result's headings: one empty row after the
// last member's block.
int BatchSummaryRow(const CKorvaneDoc& doc, const ReportOptions& options = {});

// Refusals of the raw-data export, before anything is written.
inline constexpr std::string_view kMsgWorkbookCannotHold = "无法导出原始数据：";
inline constexpr std::string_view kMsgNoSpaceForWorkbook = "磁盘空间不足，无法导出原始数据：约需";

// Raw-data export: worksheet i holds member i's zones side by side. Each
// block: row 1 "测区编号:%d" (the zone's number) merged over the block, row 2
// "时间(us)" and "A%d(mv)" per point (the point's pointIndex), then
// member.sampleCount rows: time = delay + dT × i µs (delay of the member's
// section row, else the project's delay) and the point's amplitude in mV
// from its unfiltered samples (0 when |gain| < 1e-6; blank past the end of
// its samples or for a missing point). Thin borders over every block, panes
// frozen below row 2.
// Written straight into the file as a compressed stream, a few hundred rows
// at a time: memory does not grow with the sheet, and the disk holds the
// finished workbook and nothing more (no uncompressed copy, no temporary
// file once it fails or is cut off: a killed export's file is removed by the
// next save into the folder). Refused with KorvaneError, before anything is
// written, when a sheet would have more rows or columns than Excel holds
// (1,048,576 and 16,384: "无法导出原始数据：构件“…”的采样点数…") or when the
// folder's disk has less free space than the workbook is estimated to need
// ("磁盘空间不足，无法导出原始数据：约需N MB，<folder>所在磁盘只剩M MB").
// `progress` (when given) hears the rows written of all sheets' rows; it may
// throw ExportCancelled to stop the export, which then leaves the file at
// `path` as it was and nothing else behind, and lets the exception go on.
struct ExportCancelled {};
void WriteRawDataWorkbook(const CKorvaneDoc& doc, const std::filesystem::path& path,
                          const WriteProgress& progress = {});

// The disk space the raw-data export asks to be free (bytes): an estimate
// of the finished workbook, above its size for instrument data (about 4.3
// bytes a cell compressed, 6 counted) and the fixed parts.
std::uint64_t RawWorkbookSpaceNeeded(const CKorvaneDoc& doc);

// Amplitude columns of a zone's raw-data block: one per point slot up to
// the zone's point count (at most 7), and never fewer than the highest slot
// that holds a point, so that no recorded waveform is left out.
int RawAmplitudeColumns(const TestZone& zone);

// Worksheet names for the given member names, in order: each made valid for
// Excel (characters : \ / ? * [ ] and control characters replaced by "_",
// leading and trailing apostrophes removed, at most 31 UTF-16 units, never
// empty — "构件N" for member N, 1-based — and never "History") and unique
// ignoring ASCII case by a suffix " (2)", " (3)", ….
std::vector<std::string> WorksheetNames(const std::vector<std::string>& memberNames);

}  // namespace korvane::office
