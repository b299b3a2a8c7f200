#include "office/excel_export.h"

#include <xlsxwriter.h>
#include <zip.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <system_error>

#include "core/algorithm/algorithm.h"
#include "core/app/korvane_doc.h"
#include "core/platform/file_replace.h"
#include "core/platform/file_system.h"
#include "core/report/report_cells.h"
#include "office/text_format.h"
#include "office/xml_writer.h"
#include "office/zip_stream.h"

namespace korvane::office {
namespace {

// libxlsxwriter reports a failure on stderr as well ("[ERROR][packager.c:…]
// …") before it returns the error; the program's own message says it to the
// user, so the library's line is held back while the workbook is written.
class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
#ifdef _WIN32
    saved_ = _dup(_fileno(stderr));
    const int sink = _open("NUL", _O_WRONLY);
    if (sink >= 0) {
      _dup2(sink, _fileno(stderr));
      _close(sink);
    }
#else
    saved_ = dup(fileno(stderr));
    const int sink = open("/dev/null", O_WRONLY);
    if (sink >= 0) {
      dup2(sink, fileno(stderr));
      close(sink);
    }
#endif
  }
  ~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ < 0) return;
#ifdef _WIN32
    _dup2(saved_, _fileno(stderr));
    _close(saved_);
#else
    dup2(saved_, fileno(stderr));
    close(saved_);
#endif
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

constexpr int kMaxSheetNameUnits = 31;  // UTF-16 code units
constexpr int kMemberEstimateRows = 2;  // headings and figures of a member's estimate

// Owns a libxlsxwriter workbook: Close() writes and frees it; a workbook
// abandoned on an error is only freed.
class Workbook {
 public:
  // The library keeps its sheets in temporary files until Close: in the
  // folder of `path` (beside the target), not the system's temporary
  // folder, which may be small or full.
  explicit Workbook(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    std::filesystem::path folderPath = path.parent_path();
    if (folderPath.empty()) folderPath = std::filesystem::path(".");
    const std::u8string folder = folderPath.u8string();
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(reinterpret_cast<const char*>(folder.c_str()));
    workbook_ = workbook_new_opt(reinterpret_cast<const char*>(name.c_str()), &options);
    if (workbook_ == nullptr) throw std::runtime_error("cannot create the workbook");
  }
  ~Workbook() {
    if (workbook_ != nullptr) lxw_workbook_free(workbook_);
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  lxw_workbook* get() const { return workbook_; }

  lxw_worksheet* AddSheet(const std::string& name) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook_, name.c_str());
    if (sheet == nullptr) throw std::runtime_error("cannot add the worksheet \"" + name + "\"");
    return sheet;
  }

  lxw_format* Format() {
    lxw_format* format = workbook_add_format(workbook_);
    if (format == nullptr) throw std::runtime_error("out of memory");
    return format;
  }

  // Writes the file and checks it whole: the library does not report a
  // failed write of its temporary sheet files (a full disk, a file-size
  // limit), and would leave a workbook with cut sheets.
  void Close(const std::filesystem::path& path) {
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    lxw_error error = LXW_NO_ERROR;
    int systemError = 0;
    {
      const QuietStandardError quiet;
      errno = 0;
      error = workbook_close(workbook);
      systemError = errno;
    }
    if (error != LXW_NO_ERROR) {
      // A file size limit or a full disk in the users' words; else the
      // library's reason.
      const std::error_code cause(systemError, std::generic_category());
      if (cause == std::errc::file_too_large || cause == std::errc::no_space_on_device) {
        throw std::runtime_error(platform::ReasonText(cause));
      }
      throw std::runtime_error(lxw_strerror(error));
    }
    VerifyWhole(path);
  }

 private:
  struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
  };
  struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
  };

  // Every part of the package reads back with its checksum, and every
  // worksheet ends with its closing tag.
  static void VerifyWhole(const std::filesystem::path& path) {
    static constexpr std::string_view kCut = "工作簿未能完整写入（磁盘已满或文件大小受限）";
    static constexpr std::size_t kTailBytes = 256;
    // libzip reads file names as UTF-8 on Windows.
    const std::string name = PathToUtf8(path);
    int code = 0;
    std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(name.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) throw std::runtime_error(std::string(kCut));
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    std::string part;
    std::vector<char> buffer(1 << 16);
    for (zip_int64_t i = 0; i < entries; ++i) {
      const char* entry = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
      std::unique_ptr<zip_file_t, ZipFileClose> file(
          zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0));
      if (entry == nullptr || !file) throw std::runtime_error(std::string(kCut));
      const bool worksheet = std::string_view(entry).starts_with("xl/worksheets/sheet");
      part.clear();
      for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) throw std::runtime_error(std::string(kCut));  // a checksum that does not match
        if (got == 0) break;
        if (worksheet) {
          // Only the part's end is looked at: keep its last bytes, not the
          // whole sheet (a raw-data sheet may be hundreds of megabytes).
          part.append(buffer.data(), static_cast<std::size_t>(got));
          if (part.size() > kTailBytes) part.erase(0, part.size() - kTailBytes);
        }
      }
      while (!part.empty() && (part.back() == '\n' || part.back() == '\r' || part.back() == ' '))
        part.pop_back();
      if (worksheet && !part.ends_with("</worksheet>")) throw std::runtime_error(std::string(kCut));
    }
  }

  lxw_workbook* workbook_ = nullptr;
};

void Check(lxw_error error) {
  if (error != LXW_NO_ERROR) throw std::runtime_error(lxw_strerror(error));
}

// A4, landscape, one page wide, narrow margins: a printed sheet is readable.
void SetPrintLayout(lxw_worksheet* sheet) {
  constexpr std::uint8_t kA4 = 9;
  worksheet_set_paper(sheet, kA4);
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  worksheet_set_margins(sheet, 0.5, 0.5, 0.6, 0.6);
}

// Texts reach the workbook's XML through libxlsxwriter, which escapes markup
// but passes bytes on: make them valid UTF-8 without forbidden controls.
void WriteText(lxw_worksheet* sheet, int row, int col, std::string_view text, lxw_format* format = nullptr) {
  const std::string clean = SanitizeUtf8(text);
  Check(worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), clean.c_str(),
                               format));
}

// A number cell; values that are not finite (not storable as numbers) are
// written as their text.
void WriteNumber(lxw_worksheet* sheet, int row, int col, double value, lxw_format* format = nullptr) {
  if (!std::isfinite(value)) {
    WriteText(sheet, row, col, FormatFixed(value, 0), format);
    return;
  }
  Check(
      worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value, format));
}

// A number shown with `decimals` decimals and stored as exactly that number.
void WriteRounded(lxw_worksheet* sheet, int row, int col, float value, int decimals, lxw_format* format) {
  WriteNumber(sheet, row, col, RoundedAsShown(static_cast<double>(value), decimals), format);
}

// Decodes UTF-8 (already sanitised) into code points.
std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0   ? lead
                  : extra == 1 ? (lead & 0x1Fu)
                  : extra == 2 ? (lead & 0x0Fu)
                               : (lead & 0x07u);
    for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < text.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string ToUtf8(const std::vector<char32_t>& points) {
  std::string out;
  for (const char32_t cp : points) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

int Utf16Units(const std::vector<char32_t>& points) {
  int units = 0;
  for (const char32_t cp : points) units += cp > 0xFFFF ? 2 : 1;
  return units;
}

void TruncateToUnits(std::vector<char32_t>& points, int units) {
  int used = 0;
  std::size_t keep = 0;
  for (; keep < points.size(); ++keep) {
    const int width = points[keep] > 0xFFFF ? 2 : 1;
    if (used + width > units) break;
    used += width;
  }
  points.resize(keep);
}

// Case folding for the uniqueness test: Excel compares sheet names without
// regard to case; the common alphabets are folded here.
std::string FoldCase(const std::vector<char32_t>& points) {
  std::vector<char32_t> folded = points;
  for (char32_t& cp : folded) {
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) ||
        (cp >= 0x391 && cp <= 0x3A9) || (cp >= 0x410 && cp <= 0x42F) || (cp >= 0xFF21 && cp <= 0xFF3A)) {
      cp += 0x20;
    } else if (cp >= 0x400 && cp <= 0x40F) {
      cp += 0x50;
    }
  }
  return ToUtf8(folded);
}

// (s − 2048) × 2 × 2^-11 / gain × 1000 mV, evaluated in double and stored
// as a float; 0 for a gain below 1e-6 in magnitude.
float SampleAmplitudeMillivolts(std::uint16_t sample, float gain) {
  const double g = static_cast<double>(gain);
  if (std::fabs(g) < 1e-6) return 0.0f;
  return static_cast<float>((static_cast<int>(sample) - 2048) * 2 * 0.00048828125 / g * 1000);
}

int ResultBlockRows(const CKorvaneDoc& doc, int member, const ReportOptions& options) {
  return doc.ZoneCount(member) + 2 + (options.printMemberEstimates ? kMemberEstimateRows : 0);
}

}  // namespace

int BatchSummaryRow(const CKorvaneDoc& doc, const ReportOptions& options) {
  int row = 0;
  for (std::size_t m = 0; m < doc.members.size(); ++m)
    row += ResultBlockRows(doc, static_cast<int>(m), options);
  return row + 1;  // after an empty row
}

std::vector<int> ResultBlockOffsets(const CKorvaneDoc& doc, const ReportOptions& options) {
  std::vector<int> offsets;
  int row = 0;
  for (std::size_t m = 0; m < doc.members.size(); ++m) {
    offsets.push_back(row);
    row += ResultBlockRows(doc, static_cast<int>(m), options);
  }
  return offsets;
}

void WriteResultsWorkbook(const CKorvaneDoc& doc, const std::filesystem::path& path,
                          const ReportOptions& options) {
  ReplaceFileOrThrow(path, [&](const std::filesystem::path& temporary) {
    Workbook workbook(temporary);
    lxw_worksheet* sheet = workbook.AddSheet("sheet1");
    lxw_format* whole = workbook.Format();
    format_set_num_format(whole, "0");
    lxw_format* oneDecimal = workbook.Format();
    format_set_num_format(oneDecimal, "0.0");
    lxw_format* twoDecimals = workbook.Format();
    format_set_num_format(twoDecimals, "0.00");
    lxw_format* threeDecimals = workbook.Format();
    format_set_num_format(threeDecimals, "0.000");
    // A figure stored as the number its report text shows.
    const auto writeFigure = [&](int row, int col, const report::ReportFigure& figure) {
      lxw_format* format = figure.decimals <= 0   ? whole
                           : figure.decimals == 1 ? oneDecimal
                           : figure.decimals == 2 ? twoDecimals
                                                  : threeDecimals;
      WriteRounded(sheet, row, col, figure.value, figure.decimals, format);
    };
    Check(worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, 9, nullptr));

    const std::string_view kHeadings[] = {"测区",
                                          "L1mm",
                                          "T1us",
                                          "L2mm",
                                          "T2us",
                                          "L3mm",
                                          "T3us",
                                          "V(km/s)",
                                          "Va(km/s)",
                                          "fcui(MPa)",
                                          report::CorrectionHeading(doc.standard)};
    static constexpr std::string_view kEstimateHeadings[] = {
        report::kMemberEstimateLabel, "N", "Fmin(MPa)", "Mf(MPa)", "Sf(MPa)", "fcu,e(MPa)"};
    const std::vector<int> offsets = ResultBlockOffsets(doc, options);
    SetPrintLayout(sheet);
    for (std::size_t m = 0; m < doc.members.size(); ++m) {
      const Member& member = doc.members[m];
      const int top = offsets[m];
      if (top + ResultBlockRows(doc, static_cast<int>(m), options) > static_cast<int>(LXW_ROW_MAX)) {
        throw std::runtime_error("测区过多，超出Excel工作表的行数上限");
      }
      WriteText(sheet, top, 0,
                "构件编号：" + FormatInt(member.sectionIndex + 1) + "        构件名称：" + member.name);
      for (int c = 0; c < static_cast<int>(std::size(kHeadings)); ++c)
        WriteText(sheet, top + 1, c, kHeadings[c]);
      const int zones = doc.ZoneCount(static_cast<int>(m));
      for (int k = 0; k < zones; ++k) {
        const TestZone* zone = doc.Zone(static_cast<int>(m), k);
        const int row = top + 2 + k;
        WriteNumber(sheet, row, 0, k + 1);
        if (zone == nullptr) continue;
        const report::ZoneReportCells cells = report::FormatZoneCells(*zone, doc.standard);
        for (int j = 0; j < std::min(cells.points, 3); ++j) {
          const MeasuringPoint* point = zone->point(j);
          if (point == nullptr) continue;
          WriteRounded(sheet, row, 1 + 2 * j, point->distance, 0, whole);
          writeFigure(row, 2 + 2 * j, cells.times[static_cast<std::size_t>(j)]);
        }
        writeFigure(row, 7, cells.zoneVelocity);
        writeFigure(row, 8, cells.correctedVelocity);
        if (!cells.strengthLimitText.empty()) {
          WriteText(sheet, row, 9, cells.strengthLimitText);
        } else {
          writeFigure(row, 9, cells.strength);
        }
        writeFigure(row, 10, cells.correction);
      }
      if (!options.printMemberEstimates) continue;

      // The member's estimate under its zones: headings, then the figures
      // (fcu,e as its result text when it is no valid number).
      const int row = top + 2 + zones;
      for (int c = 0; c < static_cast<int>(std::size(kEstimateHeadings)); ++c) {
        WriteText(sheet, row, c, kEstimateHeadings[c]);
      }
      const report::MemberEstimateCells estimate =
          report::FormatMemberEstimate(ReportSourceOf(doc), static_cast<int>(m));
      WriteNumber(sheet, row + 1, 1, estimate.zones, whole);
      if (estimate.zones == 0) continue;
      writeFigure(row + 1, 2, estimate.minimum);
      writeFigure(row + 1, 3, estimate.mean);
      writeFigure(row + 1, 4, estimate.stdDev);
      if (estimate.flag == ResultFlag::Valid) {
        writeFigure(row + 1, 5, estimate.estimate);
      } else {
        WriteText(sheet, row + 1, 5, estimate.resultText);
      }
    }

    // The batch result, as the result table's summary gives it: N members,
    // Mf, Sf and fcu,e, or the statement that the batch estimate does not
    // hold (or its limit).
    const int batchRow = BatchSummaryRow(doc, options);
    if (batchRow + 2 > static_cast<int>(LXW_ROW_MAX))
      throw std::runtime_error("测区过多，超出Excel工作表的行数上限");
    static constexpr std::string_view kBatchHeadings[] = {"强度推定值", "N", "Mf(MPa)", "Sf(MPa)",
                                                          "fcu,e(MPa)"};
    for (int c = 0; c < static_cast<int>(std::size(kBatchHeadings)); ++c) {
      WriteText(sheet, batchRow, c, kBatchHeadings[c]);
    }
    const report::BatchSummaryCells batch = report::FormatBatchSummary(ReportSourceOf(doc));
    WriteNumber(sheet, batchRow + 1, 1, batch.members, whole);
    writeFigure(batchRow + 1, 2, batch.mean);
    writeFigure(batchRow + 1, 3, batch.stdDev);
    const std::string estimate =
        report::BatchEstimateText(batch.flag, batch.fcue, report::SummaryStyle::Word);
    if (batch.flag == ResultFlag::BatchInvalid || batch.fcue < 10.0f || batch.fcue > 70.0f) {
      WriteText(sheet, batchRow + 1, 4, estimate);
    } else {
      WriteRounded(sheet, batchRow + 1, 4, batch.fcue, 1, oneDecimal);
    }

    // The cores of the core correction after an empty row: a title with
    // their count, the heads, a row per core, the value derived beside the
    // first.
    const report::ReportSource source = ReportSourceOf(doc);
    if (report::HasCoreTable(source)) {
      const report::CoreTableCells cores = report::FormatCoreTable(source);
      const int title = batchRow + 3;
      if (title + 2 + static_cast<int>(cores.lines.size()) > static_cast<int>(LXW_ROW_MAX))
        throw std::runtime_error("测区过多，超出Excel工作表的行数上限");
      WriteText(sheet, title, 0, std::string(report::kCoreTableLabel) + "  " + cores.count);
      for (std::size_t k = 0; k < cores.heads.size(); ++k)
        WriteText(sheet, title + 1, static_cast<int>(k), cores.heads[k]);
      for (std::size_t i = 0; i < cores.lines.size(); ++i) {
        const report::CoreTableCells::Line& line = cores.lines[i];
        const int row = title + 2 + static_cast<int>(i);
        WriteText(sheet, row, 0, line.member);
        WriteText(sheet, row, 1, line.zone);
        writeFigure(row, 2, line.conversion);
        writeFigure(row, 3, line.core);
        writeFigure(row, 4, line.ratio);
      }
      writeFigure(title + 2, 5, cores.value);
    }
    workbook.Close(temporary);
  });
}

int RawAmplitudeColumns(const TestZone& zone) {
  int columns = zone.usedPointSlots();
  for (int j = 0; j < kMaxPoints; ++j) {
    if (zone.points[static_cast<std::size_t>(j)]) columns = std::max(columns, j + 1);
  }
  return columns;
}

namespace {

// Excel's sheet limits.
constexpr std::uint64_t kExcelRows = 1048576;
constexpr int kExcelColumns = 16384;
// Compressed bytes a raw-data cell takes in the finished workbook (a
// number of about eight digits with its reference and style, deflated);
// the free space asked for before an export is this times the cells.
constexpr std::uint64_t kBytesPerRawCell = 6;
// The parts every workbook has (types, relations, styles, sheet heads).
constexpr std::uint64_t kRawWorkbookFixedBytes = 64 * 1024;

// "A", "B", … "Z", "AA", … for a 0-based column.
void AppendColumnName(std::string& out, int column) {
  char letters[4];
  int count = 0;
  for (int c = column + 1; c > 0; c = (c - 1) / 26) letters[count++] = static_cast<char>('A' + (c - 1) % 26);
  while (count > 0) out.push_back(letters[--count]);
}

void AppendReference(std::string& out, int row, int column) {
  AppendColumnName(out, column);
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, row + 1).ptr;
  out.append(digits, end);
}

// Cell styles of the raw-data workbook (styles.xml's cellXfs).
enum RawStyle { kPlain = 0, kBorder = 1, kTime = 2 };

void AppendTextCell(std::string& out, int row, int column, std::string_view text) {
  out += "<c r=\"";
  AppendReference(out, row, column);
  out += "\" s=\"1\" t=\"inlineStr\"><is><t>";
  AppendXmlEscaped(out, text, false);
  out += "</t></is></c>";
}

void AppendBlankCell(std::string& out, int row, int column) {
  out += "<c r=\"";
  AppendReference(out, row, column);
  out += "\" s=\"1\"/>";
}

// A number as the shortest text that reads back as the same double; a value
// that is not finite is its text instead.
void AppendNumberCell(std::string& out, int row, int column, double value, RawStyle style) {
  if (!std::isfinite(value)) {
    AppendTextCell(out, row, column, FormatFixed(value, 0));
    return;
  }
  out += "<c r=\"";
  AppendReference(out, row, column);
  out += style == kTime ? "\" s=\"2\"><v>" : "\" s=\"1\"><v>";
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
  out += "</v></c>";
}

std::string RawStylesXml() {
  return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="0.00"/></numFmts>)"
         R"(<fonts count="1"><font><sz val="11"/><color theme="1"/><name val="Calibri"/><family val="2"/>)"
         R"(<scheme val="minor"/></font></fonts>)"
         R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
         R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
         R"(<borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border>)"
         R"(<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right>)"
         R"(<top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/></bottom>)"
         R"(<diagonal/></border></borders>)"
         R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
         R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
         R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1"/>)"
         R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" )"
         R"(applyBorder="1"/></cellXfs>)"
         R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
         R"(</styleSheet>)";
}

// One block of columns per zone: its first column and amplitude columns.
struct RawBlock {
  const TestZone* zone;
  int column;
  int amplitudes;
};

// A member's worksheet, produced a few hundred rows at a time.
class RawSheetXml {
 public:
  RawSheetXml(const Member& member, float delay, const std::vector<RawBlock>& blocks, bool selected,
              const std::function<void()>& rowDone)
      : member_(member), delay_(delay), blocks_(blocks), selected_(selected), rowDone_(rowDone) {}

  bool Next(std::string& chunk) {
    if (stage_ == Stage::Head) {
      Head(chunk);
      stage_ = member_.sampleCount > 0 ? Stage::Rows : Stage::Tail;
      return true;
    }
    if (stage_ == Stage::Rows) {
      const auto samples = static_cast<std::size_t>(member_.sampleCount);
      while (sample_ < samples && chunk.size() < kChunkBytes) {
        Row(chunk, sample_++);
        rowDone_();
      }
      if (sample_ >= samples) stage_ = Stage::Tail;
      return true;
    }
    Tail(chunk);
    return false;
  }

 private:
  static constexpr std::size_t kChunkBytes = 256 * 1024;
  enum class Stage { Head, Rows, Tail };

  void Head(std::string& out) const {
    out += R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
           R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
           R"(<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr><sheetViews><sheetView )";
    if (selected_) out += R"(tabSelected="1" )";
    out += R"(workbookViewId="0">)";
    if (member_.sampleCount > 0) {
      // Panes frozen below the two head rows.
      out += R"(<pane ySplit="2" topLeftCell="A3" activePane="bottomLeft" state="frozen"/>)"
             R"(<selection pane="bottomLeft" activeCell="A3" sqref="A3"/>)";
    }
    out += R"(</sheetView></sheetViews><sheetFormatPr defaultRowHeight="15"/><sheetData>)";
    if (member_.sampleCount <= 0) return;
    // Row 1: each zone's number over its block; row 2: the headings.
    out += R"(<row r="1">)";
    for (const RawBlock& b : blocks_) {
      AppendTextCell(out, 0, b.column, "测区编号:" + FormatInt(b.zone->zoneNumber));
      for (int j = 0; j < b.amplitudes; ++j) AppendBlankCell(out, 0, b.column + 1 + j);
    }
    out += R"(</row><row r="2">)";
    for (const RawBlock& b : blocks_) {
      AppendTextCell(out, 1, b.column, "时间(us)");
      for (int j = 0; j < b.amplitudes; ++j) {
        const MeasuringPoint* point = b.zone->point(j);
        AppendTextCell(out, 1, b.column + 1 + j,
                       "A" + FormatInt(point != nullptr ? point->pointIndex : j) + "(mv)");
      }
    }
    out += "</row>";
  }

  void Row(std::string& out, std::size_t i) const {
    const int row = 2 + static_cast<int>(i);
    // Times as the file holds them: two decimals (the delay and interval
    // are stored so), not the float sum's 8.400001.
    const float time = delay_ + member_.sampleInterval * static_cast<float>(i);
    const double shownTime = RoundedAsShown(static_cast<double>(time), 2);
    out += "<row r=\"";
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, row + 1).ptr);
    out += "\">";
    for (const RawBlock& b : blocks_) {
      AppendNumberCell(out, row, b.column, shownTime, kTime);
      for (int j = 0; j < b.amplitudes; ++j) {
        const MeasuringPoint* point = b.zone->point(j);
        const int column = b.column + 1 + j;
        if (point != nullptr && i < point->loadedSamples().size()) {
          const float millivolts = SampleAmplitudeMillivolts(point->loadedSamples()[i], point->gain);
          AppendNumberCell(out, row, column, FloatAsDecimal(millivolts), kBorder);
        } else {
          AppendBlankCell(out, row, column);
        }
      }
    }
    out += "</row>";
  }

  void Tail(std::string& out) const {
    out += "</sheetData>";
    std::size_t merges = 0;
    for (const RawBlock& b : blocks_) merges += b.amplitudes > 0 ? 1 : 0;
    if (member_.sampleCount > 0 && merges > 0) {
      out += "<mergeCells count=\"" + std::to_string(merges) + "\">";
      for (const RawBlock& b : blocks_) {
        if (b.amplitudes <= 0) continue;
        out += "<mergeCell ref=\"";
        AppendReference(out, 0, b.column);
        out += ':';
        AppendReference(out, 0, b.column + b.amplitudes);
        out += "\"/>";
      }
      out += "</mergeCells>";
    }
    // Printed on A4 landscape, one page wide.
    out += R"(<pageMargins left="0.5" right="0.5" top="0.6" bottom="0.6" header="0.3" footer="0.3"/>)"
           R"(<pageSetup paperSize="9" fitToHeight="0" orientation="landscape"/></worksheet>)";
  }

  const Member& member_;
  float delay_;
  const std::vector<RawBlock>& blocks_;
  bool selected_;
  const std::function<void()>& rowDone_;
  Stage stage_ = Stage::Head;
  std::size_t sample_ = 0;
};

// A sheet name inside a formula: quoted, apostrophes doubled.
std::string QuotedSheetName(std::string_view name) {
  std::string quoted = "'";
  for (char c : name) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  return quoted + "'";
}

}  // namespace

std::uint64_t RawWorkbookSpaceNeeded(const CKorvaneDoc& doc) {
  std::uint64_t cells = 0;
  for (std::size_t m = 0; m < doc.members.size(); ++m) {
    const Member& member = doc.members[m];
    if (member.sampleCount <= 0) continue;
    std::uint64_t columns = 0;
    for (int k = 0; k < doc.ZoneCount(static_cast<int>(m)); ++k) {
      if (const TestZone* zone = doc.Zone(static_cast<int>(m), k))
        columns += 1 + static_cast<std::uint64_t>(RawAmplitudeColumns(*zone));
    }
    cells += static_cast<std::uint64_t>(member.sampleCount) * columns;
  }
  return kRawWorkbookFixedBytes + cells * kBytesPerRawCell;
}

void WriteRawDataWorkbook(const CKorvaneDoc& doc, const std::filesystem::path& path,
                          const WriteProgress& progress) {
  std::vector<std::string> memberNames;
  for (const Member& member : doc.members) memberNames.push_back(member.name);
  const std::vector<std::string> sheetNames = WorksheetNames(memberNames);

  // Every sheet's layout, and what Excel cannot hold refused, before
  // anything is written.
  std::vector<std::vector<RawBlock>> layouts(doc.members.size());
  std::uint64_t totalRows = 0;
  for (std::size_t m = 0; m < doc.members.size(); ++m) {
    const Member& member = doc.members[m];
    if (member.sampleCount <= 0) continue;
    const std::string label = "构件“" + member.name + "”";
    if (static_cast<std::uint64_t>(member.sampleCount) + 2 > kExcelRows) {
      throw KorvaneError(std::string(kMsgWorkbookCannotHold) + label + "的采样点数" +
                         FormatInt(member.sampleCount) + "加两行表头超出Excel工作表的" +
                         FormatInt(static_cast<int>(kExcelRows)) + "行");
    }
    int column = 0;
    for (int k = 0; k < doc.ZoneCount(static_cast<int>(m)); ++k) {
      const TestZone* zone = doc.Zone(static_cast<int>(m), k);
      if (zone == nullptr) continue;
      const int amplitudes = RawAmplitudeColumns(*zone);
      if (column + 1 + amplitudes > kExcelColumns) {
        throw KorvaneError(std::string(kMsgWorkbookCannotHold) + label + "的测区需要" +
                           FormatInt(column + 1 + amplitudes) + "列以上，超出Excel工作表的" +
                           FormatInt(kExcelColumns) + "列");
      }
      layouts[m].push_back({zone, column, amplitudes});
      column += 1 + amplitudes;
    }
    totalRows += static_cast<std::uint64_t>(member.sampleCount);
  }

  // The workbook is written straight into its file, compressed as it goes:
  // it needs its own size on the disk and no more.
  const std::uint64_t needed = RawWorkbookSpaceNeeded(doc);
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code spaceError;
  const std::filesystem::space_info space = std::filesystem::space(folder, spaceError);
  if (!spaceError && space.available < needed) {
    const auto megabytes = [](std::uintmax_t bytes) {
      return FormatInt(static_cast<int>((bytes + 999999) / 1000000));
    };
    throw KorvaneError(std::string(kMsgNoSpaceForWorkbook) + megabytes(needed) + " MB，" +
                       PathToUtf8(folder) + "所在磁盘只剩" + megabytes(space.available) + " MB");
  }

  ReplaceFileOrThrow(path, [&](const std::filesystem::path& temporary) {
    ZipStream zip(temporary);
    const std::size_t sheets = doc.members.size();
    std::string types =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/xl/workbook.xml" )"
        R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
        R"(<Override PartName="/xl/styles.xml" )"
        R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)";
    for (std::size_t m = 0; m < sheets; ++m) {
      types += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(m + 1) +
               ".xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    }
    types += "</Types>";
    zip.Add("[Content_Types].xml", types);
    zip.Add("_rels/.rels",
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" )"
            R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
            R"(Target="xl/workbook.xml"/></Relationships>)");
    std::string workbook = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                           R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                           R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                           R"(<bookViews><workbookView/></bookViews><sheets>)";
    std::string relations =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    std::string titles;
    for (std::size_t m = 0; m < sheets; ++m) {
      const std::string n = std::to_string(m + 1);
      workbook += "<sheet name=\"";
      AppendXmlEscaped(workbook, sheetNames[m], true);
      workbook.append("\" sheetId=\"").append(n).append("\" r:id=\"rId").append(n).append("\"/>");
      relations.append("<Relationship Id=\"rId")
          .append(n)
          .append(
              "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
              "Target=\"worksheets/sheet")
          .append(n)
          .append(".xml\"/>");
      if (doc.members[m].sampleCount > 0) {
        // The two head rows on every printed page.
        titles += "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"" + std::to_string(m) + "\">";
        AppendXmlEscaped(titles, QuotedSheetName(sheetNames[m]) + "!$1:$2", false);
        titles += "</definedName>";
      }
    }
    workbook += "</sheets>";
    if (!titles.empty()) workbook += "<definedNames>" + titles + "</definedNames>";
    workbook += "</workbook>";
    relations += "<Relationship Id=\"rId" + std::to_string(sheets + 1) +
                 "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                 "Target=\"styles.xml\"/></Relationships>";
    zip.Add("xl/workbook.xml", workbook);
    zip.Add("xl/_rels/workbook.xml.rels", relations);
    zip.Add("xl/styles.xml", RawStylesXml());

    std::uint64_t rowsDone = 0;
    const std::function<void()> rowDone = [&] {
      ++rowsDone;
      if (progress && (rowsDone % 256 == 0 || rowsDone == totalRows)) progress(rowsDone, totalRows);
    };
    for (std::size_t m = 0; m < sheets; ++m) {
      const Member& member = doc.members[m];
      const SectionPara* section = doc.SectionOf(static_cast<int>(m));
      const float delay = section != nullptr ? section->delay : doc.project.delay;
      RawSheetXml sheet(member, delay, layouts[m], m == 0, rowDone);
      zip.Add("xl/worksheets/sheet" + std::to_string(m + 1) + ".xml",
              [&sheet](std::string& chunk) { return sheet.Next(chunk); });
    }
    zip.Finish();
  });
}

std::vector<std::string> WorksheetNames(const std::vector<std::string>& memberNames) {
  std::vector<std::string> names;
  std::set<std::string> used;
  used.insert(FoldCase(CodePoints("history")));  // reserved by Excel
  for (std::size_t i = 0; i < memberNames.size(); ++i) {
    std::vector<char32_t> points = CodePoints(SanitizeUtf8(memberNames[i]));
    for (char32_t& cp : points) {
      if (cp < 0x20 || cp == U':' || cp == U'\\' || cp == U'/' || cp == U'?' || cp == U'*' || cp == U'[' ||
          cp == U']') {
        cp = U'_';
      }
    }
    const auto trimApostrophes = [](std::vector<char32_t>& text) {
      while (!text.empty() && text.front() == U'\'') text.erase(text.begin());
      while (!text.empty() && text.back() == U'\'') text.pop_back();
    };
    trimApostrophes(points);
    TruncateToUnits(points, kMaxSheetNameUnits);
    trimApostrophes(points);
    if (points.empty()) points = CodePoints("构件" + FormatInt(static_cast<int>(i) + 1));

    std::vector<char32_t> candidate = points;
    for (int n = 2; used.count(FoldCase(candidate)) != 0; ++n) {
      const std::vector<char32_t> suffix = CodePoints(" (" + FormatInt(n) + ")");
      candidate = points;
      TruncateToUnits(candidate, kMaxSheetNameUnits - Utf16Units(suffix));
      while (!candidate.empty() && candidate.front() == U'\'') candidate.erase(candidate.begin());
      candidate.insert(candidate.end(), suffix.begin(), suffix.end());
    }
    used.insert(FoldCase(candidate));
    names.push_back(ToUtf8(candidate));
  }
  return names;
}

}  // namespace korvane::office
