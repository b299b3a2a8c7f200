// Reading back the office files in tests: zip entries (libzip), XML parts
// (libxml2), the tables of a .docx and the cells of an .xlsx. The documents
// to write them from and the scratch folders come from the support library.
#pragma once

#include <libxml/tree.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app/korvane_doc.h"
#include "support/sample_documents.h"
#include "support/temp_dir.h"

namespace korvane::testing {

// Entries of a zip file (name → content); a test failure and an empty map
// when the file is not a readable zip.
std::map<std::string, std::string> ReadZip(const std::filesystem::path& path);

// A parsed XML part; a test failure when the text is not well-formed.
class XmlPart {
 public:
  explicit XmlPart(const std::string& text, const std::string& name = "part");
  ~XmlPart();
  XmlPart(const XmlPart&) = delete;
  XmlPart& operator=(const XmlPart&) = delete;
  bool ok() const { return doc_ != nullptr; }
  xmlNode* root() const;

 private:
  xmlDoc* doc_ = nullptr;
};

// Element helpers by local name (namespace prefixes ignored).
std::vector<xmlNode*> Children(xmlNode* node, const char* localName);
std::vector<xmlNode*> Descendants(xmlNode* node, const char* localName);
xmlNode* FirstDescendant(xmlNode* node, const char* localName);
// Attribute by local name; empty when absent. Has() tells absence apart.
std::string Attr(xmlNode* node, const char* localName);
bool HasAttr(xmlNode* node, const char* localName);

// Reads every entry of a zip, parsing each .xml and .rels entry (test
// failure when one is not well-formed).
std::map<std::string, std::string> ReadPackage(const std::filesystem::path& path);

// ---- .docx -----------------------------------------------------------------

// Visible text of a WordprocessingML element: w:t texts, w:br as "\n",
// w:tab as "\t"; field instructions are left out.
std::string DocxText(xmlNode* node);

struct DocxCell {
  std::string text;
  int gridStart = 0;  // 1-based first grid column
  int gridSpan = 1;
  std::string vMerge;  // "", "restart" or "continue"
  bool verticallyCentred = false;
  xmlNode* node = nullptr;
};

struct DocxRow {
  std::vector<DocxCell> cells;
  int height = 0;
  std::string heightRule;
};

struct DocxTable {
  int gridColumns = 0;
  std::vector<DocxRow> rows;
  xmlNode* node = nullptr;

  // The cell covering grid position (row, col), both 1-based; null if none.
  const DocxCell* At(int row, int col) const;
  // Text of the merged cell covering (row, col): continuing cells of a
  // vertical merge report the text of the cell where the merge starts.
  std::string TextAt(int row, int col) const;
  // Rows covered by the vertical merge that starts at (row, col); 1 when
  // the cell is not merged vertically.
  int RowSpanAt(int row, int col) const;
};

// Tables of the document body, in order.
std::vector<DocxTable> ReadDocxTables(xmlNode* documentRoot);

// One expected cell of a table: its text and, when given (> 0), the grid
// columns it spans and the rows it spans.
struct ExpectedCell {
  int row;
  int col;
  std::string text;
  int gridSpan = 0;
  int rowSpan = 0;
};
// Checks every expected cell of `table`; a failure names the row and column.
void ExpectCells(const DocxTable& table, const std::vector<ExpectedCell>& cells);

// ---- .xlsx -----------------------------------------------------------------

struct XlsxCell {
  std::string value;  // number text as stored, or the string
  bool isText = false;
  std::string numberFormat = "General";
  bool thinBorder = false;  // thin on all four sides
};

struct XlsxSheet {
  std::string name;
  std::map<std::string, XlsxCell> cells;  // by A1 reference
  std::vector<std::string> merges;        // "A1:D1"
  std::string xml;                        // the worksheet part
  xmlNode* pane = nullptr;
  std::unique_ptr<XmlPart> part;

  const XlsxCell* Cell(const std::string& reference) const;
  std::string Text(const std::string& reference) const;  // value or ""
  double Number(const std::string& reference) const;     // NaN when absent or text
};

std::vector<XlsxSheet> ReadXlsx(const std::filesystem::path& path);

// A1 reference of a 0-based row and column.
std::string CellName(int row, int col);

}  // namespace korvane::testing
