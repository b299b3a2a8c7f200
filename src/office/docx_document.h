// A minimal word-processing document model (paragraphs, tables with merged
// cells, page breaks, one section with page header and footer) and its
// writer as an Office Open XML .docx package (WordprocessingML parts zipped
// with libzip). Lengths are in twips (1/20 pt) unless stated otherwise.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace korvane::office {

enum class Align { Left, Center, Right };

// Character format of a run.
struct RunFormat {
  std::string latinFont = "Times New Roman";
  std::string eastAsiaFont = "宋体";
  double sizePt = 10.0;  // multiples of 0.5
  bool bold = false;
};

// One piece of paragraph content. Text may hold "\n" (a line break inside
// the paragraph) and "\t" (a tab).
struct Inline {
  enum class Kind { Text, Tab, Field };
  Kind kind = Kind::Text;
  std::string text;       // Text: the text; Field: the result shown until updated
  std::string fieldCode;  // Field: the instruction, e.g. "PAGE  \* Arabic"
};

struct TabStop {
  Align align = Align::Left;
  int position = 0;  // twips from the left margin
};

struct Paragraph {
  Align align = Align::Left;
  RunFormat format;
  std::vector<TabStop> tabs;
  std::vector<Inline> content;
  bool compact = false;       // no spacing and a 1 pt mark (spacers, page breaks)
  bool keepWithNext = false;  // on the same page as the next paragraph (or table row)

  static Paragraph OfText(std::string text, RunFormat format, Align align);
};

// A table on a regular grid whose cells can be merged into rectangles, as in
// a word processor: the merged cell keeps the text of its top-left cell.
// Rows and columns are 1-based, as a word processor addresses cells.
class Table {
 public:
  struct Cell {
    std::string text;
    int rowSpan = 1;
    int colSpan = 1;
    bool covered = false;  // part of a merged cell whose anchor is elsewhere
    int anchorRow = 0;     // for covered cells: the merged cell's top-left
    int anchorCol = 0;
    // No border on the cell's top or bottom edge (the merged cell's), so
    // that cells stacked in a column read as one.
    bool openTop = false;
    bool openBottom = false;
    double sizePt = 0.0;  // the cell's own font size; 0: the table's
  };

  Table(int rows, int cols);

  int rows() const { return rows_; }
  int cols() const { return cols_; }
  const Cell& At(int row, int col) const;

  // Text of a cell (the anchor of a merged cell). "\n" breaks the line.
  // Throws std::logic_error for a cell outside the table or covered by a merge.
  void Set(int row, int col, std::string text);
  // Merges rows r1..r2, columns c1..c2 (inclusive) into one cell; the text of
  // the top-left cell stays. Throws std::logic_error for a range outside the
  // table, an empty range or one that overlaps an existing merge.
  void Merge(int r1, int c1, int r2, int c2);
  // Merge, then Set on the merged cell.
  void MergeSet(int r1, int c1, int r2, int c2, std::string text);
  // Leaves out the top and/or bottom border of the (merged) cell at (row,
  // col). Throws std::logic_error for a cell outside the table or covered by
  // a merge.
  void OpenEdges(int row, int col, bool top, bool bottom);
  // The font size of the (merged) cell at (row, col); same failures.
  void SetSizePt(int row, int col, double sizePt);

  RunFormat format;
  Align align = Align::Left;
  int minRowHeight = 0;  // twips, "at least"; 0: automatic
  bool centerVertically = true;
  // Width of each column in twips; empty (or not one per column): equal
  // shares of the text width.
  std::vector<int> columnWidths;
  int cellMargin = 57;  // left and right margin inside every cell, twips
  // Rows 1..headerRows are repeated at the top of every page the table runs
  // onto.
  int headerRows = 0;
  // No row is broken across two pages.
  bool rowsCantSplit = false;

  // Keeps row `row` on the same page as the row after it (the word
  // processor's "keep with next" on the row's paragraphs). Throws
  // std::logic_error for a row outside the table.
  void KeepWithNext(int row);
  bool KeepsWithNext(int row) const;

 private:
  Cell& Mutable(int row, int col);

  int rows_;
  int cols_;
  std::vector<Cell> cells_;
  std::vector<bool> keepWithNext_;
};

struct PageBreak {};

using Block = std::variant<Paragraph, Table, PageBreak>;

// Page setup of the document's single section.
struct SectionSetup {
  int pageWidth = 11906;   // A4, 210 mm
  int pageHeight = 16838;  // A4, 297 mm
  int marginTop = 1134;
  int marginBottom = 850;
  int marginLeft = 1134;
  int marginRight = 850;
  int headerDistance = 283;
  int footerDistance = 283;
  int firstPageNumber = 1;
  bool romanPageNumbers = false;
};

struct WordDocument {
  SectionSetup section;
  std::vector<Block> body;
  std::vector<Paragraph> header;  // empty: no page header
  std::vector<Paragraph> footer;  // empty: no page footer

  // Width between the side margins, in twips.
  int TextWidth() const { return section.pageWidth - section.marginLeft - section.marginRight; }
};

// The package parts (name inside the zip, XML text) of a document, in the
// order they are stored: "[Content_Types].xml", "_rels/.rels",
// "word/document.xml", …, and "word/header1.xml" / "word/footer1.xml" when
// the document has them.
std::vector<std::pair<std::string, std::string>> DocxParts(const WordDocument& document);

// Writes the document to `path` as a .docx file, replacing an existing file
// only when the whole file was written. Throws KorvaneError with a message
// naming the file when it cannot be written.
void WriteDocx(const WordDocument& document, const std::filesystem::path& path);

// The bytes of a zip archive (deflate) holding the named parts in the given
// order. Made in memory, so that the file is written and replaced by the
// program's own file layer: libzip's own rename of its temporary file over
// the target fails on Windows while the target is held open. Throws
// std::runtime_error with libzip's reason on failure.
std::string ZipArchiveBytes(const std::vector<std::pair<std::string, std::string>>& parts);

}  // namespace korvane::office
