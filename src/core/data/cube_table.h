// The table of cubes a laboratory fits its own strength curve to:
// per cube the velocity v (km/s), the rebound value R and the cube
// strength fcu (MPa), read from a CSV file (UTF-8, with or without BOM, or
// code page 936) or from the rows of a workbook's first sheet (read by the
// office library, which hands the rows to ParseCubeRows).
//
// The first non-empty row is the head. It names the three columns in any
// order, either "v", "R", "fcu" (case ignored) or "声速", "回弹值",
// "抗压强度"; a unit after the name ("声速(km/s)", "fcu（MPa）") is allowed.
// Other columns are ignored. Empty rows are skipped. A row whose three
// cells are not positive finite numbers is left out and listed with its
// line number; the rest are the cubes.
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
inline constexpr std::string_view kMsgCubeFileTooLarge = "试件数据文件过大（超过16MB）";
inline constexpr std::string_view kMsgCubeUnreadable = "无法读取试件数据文件";

// The cubes of `rows`. Throws KorvaneError (kMsgCubeHead, with the
// line) when there is no head row or it lacks one of the three columns.
CubeTable ParseCubeRows(const std::vector<TextRow>& rows);

// The rows of CSV text: lines split at LF (a CR before it dropped), cells at
// commas (also tabs and semicolons), a cell in double quotes may hold
// commas and doubled quotes. Decoded from UTF-8 when the bytes are UTF-8,
// else from code page 936.
std::vector<TextRow> SplitCsvRows(std::string_view bytes);

// Reads a CSV file of cubes. Throws KorvaneError with the path when it
// cannot be read or exceeds 16 MB, and as ParseCubeRows.
CubeTable ReadCubeCsv(const std::filesystem::path& path);

// A number of a cell: optional blanks, an optional sign, digits with an
// optional point and exponent; false for anything else (locale-free).
bool ParseCellNumber(std::string_view cell, double& value);

}  // namespace korvane
