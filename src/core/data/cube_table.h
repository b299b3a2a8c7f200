// The table of cubes a laboratory fits its own strength curve to:
// per cube the velocity v (km/s), the rebound value R and the cube
// strength fcu (MPa), read from a CSV file (UTF-8, with or without BOM, or
// code page 936) or from the rows of a workbook's first sheet (read by the
// office library, which hands the rows to ParseCubeRows).
//
// The first non-empty row is the head. It names the three columns in any
// order, either "v", "R", "fcu" (case ignored) or "声速", "回弹值",
// "抗压强度"; a unit after the name ("声速(km/s)", "fcu（MPa）") is allowed.
// Other columns are ignored. Empty rows are skipped. A row is left out and
// listed with its line number when its three cells are not positive finite
// numbers, when it holds more numbers than the head names columns (a
// decimal comma split a value in two), or when a value is one no cube can
// have: v outside 1–10 km/s, R outside 10–70, fcu outside 1–150 MPa (a
// decimal point missing). The rest are the cubes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct Cube {
  double v = 0.0;    // km/s
  double r = 0.0;    // rebound value
  double fcu = 0.0;  // MPa
  int line = 0;      // line (CSV) or row (sheet) number, from 1
  friend bool operator==(const Cube&, const Cube&) = default;
};

// A row left out: its line number and why ("第7行：…").
struct CubeProblem {
  int line = 0;
  std::string message;
};

struct CubeTable {
  std::vector<Cube> cubes;
  std::vector<CubeProblem> leftOut;
};

// One row of cells (UTF-8) and its line number.
struct TextRow {
  int line = 0;
  std::vector<std::string> cells;
};

// "表头应为 v,R,fcu 或 声速,回弹值,抗压强度"
inline constexpr std::string_view kMsgCubeHead = "表头应为 v,R,fcu 或 声速,回弹值,抗压强度";
inline constexpr std::string_view kMsgCubeNotNumbers = "不是三个正数，未使用";
inline constexpr std::string_view kMsgCubeExtraNumbers = "数值多于表头的列数（小数点可能写成了逗号），未使用";
inline constexpr std::string_view kMsgCubeImplausible =
    "数值超出试件可有的范围（声速1～10 km/s，回弹值10～70，抗压强度1～150 MPa），未使用";
inline constexpr std::string_view kMsgCubeUnclosedQuote = "引号没有闭合";
inline constexpr std::string_view kMsgCubeTooManyCells = "试件数据的单元格超过100万个，不是试件表";
inline constexpr std::string_view kMsgCubeFileTooLarge = "试件数据文件过大（超过16MB）";
inline constexpr std::string_view kMsgCubeUnreadable = "无法读取试件数据文件";

// The cubes of `rows`. Throws KorvaneError (kMsgCubeHead, with the
// line) when there is no head row or it lacks one of the three columns.
CubeTable ParseCubeRows(const std::vector<TextRow>& rows);

// The rows of CSV text: lines split at LF, CR LF or a lone CR; cells at
// semicolons when the first non-empty line has one (spreadsheets of
// countries that write decimal commas: a cell that is a number with one
// comma, "27,3", reads as 27.3), else at commas and tabs. A cell in double
// quotes may hold the delimiter, line breaks and doubled quotes. Decoded
// from UTF-8 when the whole file is UTF-8, else from code page 936. Throws
// KorvaneError ("第<n>行：引号没有闭合", the line where the quote opened) for a
// quote that is never closed, and (kMsgCubeTooManyCells) for more than a
// million cells (a table of cubes is hundreds of rows of a few cells).
std::vector<TextRow> SplitCsvRows(std::string_view bytes);

// Reads a CSV file of cubes. Throws KorvaneError with the path when it
// cannot be read or exceeds 16 MB, and as ParseCubeRows.
CubeTable ReadCubeCsv(const std::filesystem::path& path);

// A number of a cell: optional blanks, an optional sign, digits with an
// optional point and exponent; false for anything else (locale-free).
bool ParseCellNumber(std::string_view cell, double& value);

}  // namespace korvane
