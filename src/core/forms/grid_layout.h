// Description of a grid as the analysis screen's tables show it: counts,
// header (fixed) rows and columns, cell texts already formatted, which cells
// the user may edit or choose from a list, merged blocks, colours, row
// heights and column widths in pixels. The layout functions of the forms
// build one from the document; the grid widget only shows it.
//
// Coordinates are grid coordinates: row 0 and column 0 are the top-left cell,
// fixed rows and columns included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
// Background of the readings that the representative rebound value drops.
inline constexpr Rgb kDroppedReadingYellow{255, 255, 0};
// Background of read-only label cells inside a table body.
inline constexpr Rgb kLabelGrey{236, 236, 236};

enum class CellAlign { Left, Center, Right };

struct GridCell {
  std::string text;  // UTF-8; may hold '\n' for a two-line header
  bool editable = false;
  // Non-empty: the user picks one of these entries (a drop-down list);
  // `text` shows the current value, which need not be one of them ("未知").
  std::vector<std::string> choices;
  std::optional<Rgb> background;  // none: the grid's own background
  std::optional<Rgb> foreground;  // none: the grid's own text colour
  CellAlign align = CellAlign::Center;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// A block whose top-left cell covers it; the other cells of the block are
// not shown. A block lies wholly inside one of the four areas (fixed corner,
// fixed rows, fixed columns, body).
struct GridMerge {
  int row = 0;
  int column = 0;
  int rowSpan = 1;
  int columnSpan = 1;
  friend bool operator==(const GridMerge&, const GridMerge&) = default;
};

// Inclusive block of cells.
struct GridRange {
  int firstRow = 0;
  int firstColumn = 0;
  int lastRow = 0;
  int lastColumn = 0;
  friend bool operator==(const GridRange&, const GridRange&) = default;
};

struct GridLayout {
  int rows = 0;
  int columns = 0;
  int fixedRows = 0;
  int fixedColumns = 0;
  std::vector<GridCell> cells;    // rows × columns, row by row
  std::vector<int> rowHeights;    // pixels, one per row
  std::vector<int> columnWidths;  // pixels, one per column
  std::vector<GridMerge> merges;
  std::optional<Rgb> background;  // body background; none: the system's
  // A focus change selects whole rows of the body; with `rowPairs` the two
  // rows of a pair (rows 1-2, 3-4, ...) are selected together.
  bool rowSelection = false;
  bool rowPairs = false;
  // Shown selected when the grid is built, without any notification.
  std::optional<GridRange> selection;

  // An empty grid of the given size (cells default, heights and widths 0).
  static GridLayout Sized(int rows, int columns, int fixedRows, int fixedColumns);
  bool Contains(int row, int column) const;
  // The cell; the row and column must lie inside the grid.
  GridCell& At(int row, int column);
  const GridCell& At(int row, int column) const;
  // Empty text outside the grid.
  std::string TextAt(int row, int column) const;
};

// The merges a grid shows, indexed by cell: which merge covers a cell is
// one look-up, and accepting a merge costs its own cells, so a grid of
// thousands of rows takes its merges in time linear in its cells. Memory:
// one int per cell.
class GridMergeIndex {
 public:
  // An empty index for a grid of `rows` × `columns` cells (negative counts
  // as 0) whose first `fixedRows` rows and `fixedColumns` columns are fixed.
  void Reset(int rows, int columns, int fixedRows, int fixedColumns);
  // Keeps a merge of more than one cell that lies inside the grid and
  // inside one area (fixed corner, fixed rows, fixed columns, body) and
  // covers no cell of a merge kept before; true when kept. A one-cell block
  // that fits is accepted (true) and not kept; anything else is refused
  // (false).
  bool Add(const GridMerge& merge);
  // The merge covering the cell, or null (also outside the grid).
  const GridMerge* Covering(int row, int column) const;
  // The merges kept, in the order added.
  const std::vector<GridMerge>& merges() const { return merges_; }

 private:
  int rows_ = 0;
  int columns_ = 0;
  int fixedRows_ = 0;
  int fixedColumns_ = 0;
  std::vector<GridMerge> merges_;
  std::vector<int> owner_;  // per cell, row by row: index into merges_, or -1
};

}  // namespace korvane
