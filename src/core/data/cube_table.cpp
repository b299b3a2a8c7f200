#include "core/data/cube_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/data/text_encoding.h"
#include "core/data/text_format.h"
#include "core/platform/error.h"
#include "core/platform/file_system.h"
#include "core/platform/unicode_text.h"

namespace korvane {
namespace {

constexpr std::uintmax_t kMaxCubeFileBytes = 16u * 1024u * 1024u;

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The head cell without its unit: "声速(km/s)" → "声速", "fcu（MPa）" → "fcu".
std::string HeadName(std::string_view cell) {
  std::string_view name = Trimmed(cell);
  for (std::string_view open : {"(", "（", "["}) {
    const std::size_t at = name.find(open);
    if (at != std::string_view::npos) name = name.substr(0, at);
  }
  std::string lowered(Trimmed(name));
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

// Column of a quantity by its two names; -1 when absent.
int HeadColumn(const std::vector<std::string>& heads, std::string_view latin, std::string_view chinese) {
  for (std::size_t i = 0; i < heads.size(); ++i) {
    if (heads[i] == latin || heads[i] == chinese) return static_cast<int>(i);
  }
  return -1;
}

bool Blank(const TextRow& row) {
  return std::all_of(row.cells.begin(), row.cells.end(),
                     [](const std::string& c) { return Trimmed(c).empty(); });
}

std::string LineMessage(int line, std::string_view text) {
  return "第" + FormatInt(line) + "行：" + std::string(text);
}

// What a cube can have: v (km/s), R, fcu (MPa).
constexpr double kPlausible[3][2] = {{1.0, 10.0}, {10.0, 70.0}, {1.0, 150.0}};

// The first non-empty line of `text` holds a semicolon outside quotes.
bool SemicolonDelimited(std::string_view text) {
  bool quoted = false;
  bool content = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == ';') return true;
    if (c == '\n' || c == '\r') {
      if (content) return false;
    } else if (c != ' ' && c != '\t') {
      content = true;
    }
  }
  return false;
}

// "27,3" → "27.3": a cell of digits with one comma between digits (with an
// optional sign and blanks around); any other cell as it is.
std::string WithDecimalPoint(std::string cell) {
  const std::string_view text = Trimmed(cell);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) return cell;
  const auto digits = [](std::string_view part) {
    return !part.empty() &&
           std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  std::string_view whole = text.substr(0, comma);
  if (!whole.empty() && (whole.front() == '-' || whole.front() == '+')) whole.remove_prefix(1);
  if (!digits(whole) || !digits(text.substr(comma + 1))) return cell;
  std::string number(text);
  number[comma] = '.';
  return number;
}

}  // namespace

bool ParseCellNumber(std::string_view cell, double& value) {
  std::string_view text = Trimmed(cell);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

CubeTable ParseCubeRows(const std::vector<TextRow>& rows) {
  auto row = std::find_if(rows.begin(), rows.end(), [](const TextRow& r) { return !Blank(r); });
  if (row == rows.end()) throw KorvaneError(std::string(kMsgCubeHead));
  std::vector<std::string> heads;
  for (const std::string& cell : row->cells) heads.push_back(HeadName(cell));
  const int columns[3] = {HeadColumn(heads, "v", "声速"), HeadColumn(heads, "r", "回弹值"),
                          HeadColumn(heads, "fcu", "抗压强度")};
  if (std::find(std::begin(columns), std::end(columns), -1) != std::end(columns)) {
    throw KorvaneError(LineMessage(row->line, kMsgCubeHead));
  }
  const auto namedColumns =
      std::count_if(heads.begin(), heads.end(), [](const std::string& head) { return !head.empty(); });
  CubeTable table;
  for (++row; row != rows.end(); ++row) {
    if (Blank(*row)) continue;
    double values[3] = {};
    bool usable = true;
    for (int k = 0; k < 3; ++k) {
      const auto column = static_cast<std::size_t>(columns[k]);
      usable = usable && column < row->cells.size() && ParseCellNumber(row->cells[column], values[k]) &&
               values[k] > 0.0;
    }
    const auto numbers = std::count_if(row->cells.begin(), row->cells.end(), [](const std::string& cell) {
      double ignored = 0.0;
      return ParseCellNumber(cell, ignored);
    });
    bool plausible = true;
    for (int k = 0; k < 3; ++k)
      plausible = plausible && values[k] >= kPlausible[k][0] && values[k] <= kPlausible[k][1];
    std::string_view why;
    if (!usable) {
      why = kMsgCubeNotNumbers;
    } else if (numbers > namedColumns) {
      why = kMsgCubeExtraNumbers;
    } else if (!plausible) {
      why = kMsgCubeImplausible;
    }
    if (!why.empty()) {
      table.leftOut.push_back({row->line, LineMessage(row->line, why)});
      continue;
    }
    table.cubes.push_back({values[0], values[1], values[2], row->line});
  }
  return table;
}

std::vector<TextRow> SplitCsvRows(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::string text = IsUtf8Text(bytes) ? std::string(bytes) : Utf16ToUtf8(DecodeCp936(bytes));
  const bool semicolons = SemicolonDelimited(text);
  std::vector<TextRow> rows;
  int line = 1;  // the line the text is at; a row is numbered by its first
  TextRow row{line, {}};
  std::string cell;
  bool quoted = false;
  int quoteLine = 0;
  constexpr std::size_t kMaxCells = 1'000'000;
  std::size_t cells = 0;
  auto endCell = [&] {
    if (++cells > kMaxCells) throw KorvaneError(std::string(kMsgCubeTooManyCells));
    row.cells.push_back(semicolons ? WithDecimalPoint(std::move(cell)) : std::move(cell));
    cell.clear();
  };
  auto endRow = [&] {
    endCell();
    rows.push_back(std::move(row));
    row = TextRow{++line, {}};
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // CR LF is one line end; a lone CR is one too.
    const bool lineEnd = c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
    if (quoted) {
      if (c != '"') {
        if (lineEnd) ++line;  // a line break inside quotes stays in the cell
        cell += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"' && Trimmed(cell).empty()) {
      cell.clear();
      quoted = true;
      quoteLine = line;
    } else if (semicolons ? c == ';' : (c == ',' || c == '\t')) {
      endCell();
    } else if (lineEnd) {
      endRow();
    } else if (c != '\r') {
      cell += c;
    }
  }
  if (quoted) throw KorvaneError(LineMessage(quoteLine, kMsgCubeUnclosedQuote));
  if (!cell.empty() || !row.cells.empty()) {
    endCell();
    rows.push_back(std::move(row));
  }
  return rows;
}

CubeTable ReadCubeCsv(const std::filesystem::path& path) {
  std::string bytes;
  if (const std::error_code error = platform::ReadRegularFile(path, bytes, kMaxCubeFileBytes)) {
    if (error == platform::MakeError(platform::FileError::TooLarge))
      throw KorvaneError(MessageWithPath(kMsgCubeFileTooLarge, path));
    throw KorvaneError(MessageWithPath(kMsgCubeUnreadable, path, error.message()));
  }
  return ParseCubeRows(SplitCsvRows(bytes));
}

}  // namespace korvane
