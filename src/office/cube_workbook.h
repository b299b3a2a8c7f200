// The cubes of a strength curve from a file: a workbook (.xlsx, its
// first sheet, read with libzip and libxml2) or CSV text (any other name).
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/data/cube_table.h"

namespace korvane::office {

inline constexpr std::string_view kMsgNotWorkbook = "不是可读取的Excel工作簿（.xlsx）";

// The rows of the first sheet of the workbook at `path`: each row's number
// (from 1, as the sheet numbers them) and its cells' texts (numbers as
// stored, shared and inline strings as text; cells missing in between are
// empty). Throws KorvaneError naming the path when the file cannot be read,
// is larger than 64 MB (also unpacked) or is not a workbook.
std::vector<TextRow> ReadWorkbookRows(const std::filesystem::path& path);

// The cubes of `path`: ReadWorkbookRows for a name ending in ".xlsx"
// (any case), ReadCubeCsv otherwise; then ParseCubeRows.
CubeTable ReadCubeFile(const std::filesystem::path& path);

}  // namespace korvane::office
