// The cubes of a strength curve from a file: a workbook (.xlsx, its
// first sheet, read with libzip and libxml2) or CSV text (any other name).
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/data/cube_table.h"

namespace korvane::office {

inline constexpr std::string_view kMsgNotWorkbook = "不是可读取的Excel工作簿（.xlsx）";
inline constexpr std::string_view kMsgWorkbookTooLarge =
    "试件工作簿过大（工作表或共享字符串超过4MB，或单元格超过100万个）";
inline constexpr std::string_view kMsgWorkbookEntities = "工作簿中含有实体定义（DTD），不予读取";
inline constexpr std::string_view kMsgWorkbookMissingPart = "工作簿缺少部件";

// The rows of the first sheet of the workbook at `path`: each row's number
// (from 1, as the sheet numbers them) and its cells' texts (numbers as
// stored, shared and inline strings as text; empty cells in between are
// empty texts; an empty cell after the last one with text adds nothing).
// Throws KorvaneError naming the path, each with its own message: the file
// cannot be read (kMsgCubeUnreadable); it is larger than 64 MB, a part it
// holds (the sheet, the shared strings) unpacks to more than 4 MB, or the
// rows would hold more than a million cells (kMsgWorkbookTooLarge: a table
// of cubes is hundreds of rows of a few cells); a part declares a DTD, whose
// entities could expand without bound (kMsgWorkbookEntities); the workbook
// or its first sheet is missing (kMsgWorkbookMissingPart and the part's
// name); it is not a zip of XML parts (kMsgNotWorkbook). Memory stays within
// a few hundred megabytes whatever the input.
std::vector<TextRow> ReadWorkbookRows(const std::filesystem::path& path);

// The cubes of `path`: ReadWorkbookRows for a name ending in ".xlsx"
// (any case), ReadCubeCsv otherwise; then ParseCubeRows.
CubeTable ReadCubeFile(const std::filesystem::path& path);

}  // namespace korvane::office
