#include "office/docx_document.h"

#include <zip.h>

#include <cmath>
#include <memory>
#include <stdexcept>

#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "office/text_format.h"
#include "office/xml_writer.h"

namespace korvane::office {
namespace {

constexpr std::string_view kNsW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kNsR = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string_view AlignValue(Align align) {
  switch (align) {
    case Align::Center: return "center";
    case Align::Right: return "right";
    case Align::Left: break;
  }
  return "left";
}

// Half-points, as w:sz holds them.
std::string HalfPoints(double points) { return FormatInt(static_cast<int>(std::lround(points * 2.0))); }

void WriteRunProperties(XmlWriter& w, const RunFormat& format, bool tiny = false) {
  w.Open("w:rPr");
  w.Empty("w:rFonts", {{"w:ascii", format.latinFont},
                       {"w:hAnsi", format.latinFont},
                       {"w:eastAsia", format.eastAsiaFont},
                       {"w:cs", format.latinFont}});
  if (format.bold) {
    w.Empty("w:b");
    w.Empty("w:bCs");
  }
  const std::string size = tiny ? std::string("2") : HalfPoints(format.sizePt);
  w.Empty("w:sz", {{"w:val", size}});
  w.Empty("w:szCs", {{"w:val", size}});
  w.Close();
}

// Text with "\n" as line breaks and "\t" as tabs, in runs of one format.
void WriteTextRuns(XmlWriter& w, std::string_view text, const RunFormat& format) {
  w.Open("w:r");
  WriteRunProperties(w, format);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    const char c = end ? '\0' : text[i];
    if (!end && c != '\n' && c != '\t' && c != '\r') continue;
    if (i > start) w.TextElement("w:t", text.substr(start, i - start), {{"xml:space", "preserve"}});
    if (!end) {
      if (c == '\t') {
        w.Empty("w:tab");
      } else if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
        w.Empty("w:br");
      }
    }
    start = i + 1;
  }
  w.Close();
}

void WriteField(XmlWriter& w, const Inline& field, const RunFormat& format) {
  w.Open("w:r");
  WriteRunProperties(w, format);
  w.Empty("w:fldChar", {{"w:fldCharType", "begin"}});
  w.Close();
  w.Open("w:r");
  WriteRunProperties(w, format);
  w.TextElement("w:instrText", " " + field.fieldCode + " ", {{"xml:space", "preserve"}});
  w.Close();
  w.Open("w:r");
  WriteRunProperties(w, format);
  w.Empty("w:fldChar", {{"w:fldCharType", "separate"}});
  w.Close();
  WriteTextRuns(w, field.text, format);
  w.Open("w:r");
  WriteRunProperties(w, format);
  w.Empty("w:fldChar", {{"w:fldCharType", "end"}});
  w.Close();
}

void WriteParagraph(XmlWriter& w, const Paragraph& paragraph) {
  w.Open("w:p");
  w.Open("w:pPr");
  if (paragraph.keepWithNext) w.Empty("w:keepNext");
  if (!paragraph.tabs.empty()) {
    w.Open("w:tabs");
    for (const TabStop& tab : paragraph.tabs) {
      w.Empty("w:tab", {{"w:val", AlignValue(tab.align)}, {"w:pos", FormatInt(tab.position)}});
    }
    w.Close();
  }
  if (paragraph.compact)
    w.Empty("w:spacing", {{"w:before", "0"}, {"w:after", "0"}, {"w:line", "20"}, {"w:lineRule", "exact"}});
  w.Empty("w:jc", {{"w:val", AlignValue(paragraph.align)}});
  WriteRunProperties(w, paragraph.format, paragraph.compact);
  w.Close();
  for (const Inline& piece : paragraph.content) {
    switch (piece.kind) {
      case Inline::Kind::Text: WriteTextRuns(w, piece.text, paragraph.format); break;
      case Inline::Kind::Tab: WriteTextRuns(w, "\t", paragraph.format); break;
      case Inline::Kind::Field: WriteField(w, piece, paragraph.format); break;
    }
  }
  w.Close();
}

void WritePageBreak(XmlWriter& w) {
  w.Open("w:p");
  w.Open("w:pPr");
  w.Empty("w:spacing", {{"w:before", "0"}, {"w:after", "0"}, {"w:line", "20"}, {"w:lineRule", "exact"}});
  w.Open("w:rPr").Empty("w:sz", {{"w:val", "2"}}).Empty("w:szCs", {{"w:val", "2"}}).Close();
  w.Close();
  w.Open("w:r").Empty("w:br", {{"w:type", "page"}}).Close();
  w.Close();
}

// One cell: `anchor` is the (merged) cell it belongs to, for its borders.
void WriteCell(XmlWriter& w, const Table& table, const Table::Cell& anchor, int row, int width, int colSpan,
               std::string_view vMerge, std::string_view text) {
  w.Open("w:tc");
  w.Open("w:tcPr");
  w.Empty("w:tcW", {{"w:w", FormatInt(width)}, {"w:type", "dxa"}});
  if (colSpan > 1) w.Empty("w:gridSpan", {{"w:val", FormatInt(colSpan)}});
  if (vMerge == "restart") {
    w.Empty("w:vMerge", {{"w:val", "restart"}});
  } else if (vMerge == "continue") {
    w.Empty("w:vMerge");
  }
  if (anchor.openTop || anchor.openBottom) {
    w.Open("w:tcBorders");
    if (anchor.openTop) w.Empty("w:top", {{"w:val", "nil"}});
    if (anchor.openBottom) w.Empty("w:bottom", {{"w:val", "nil"}});
    w.Close();
  }
  if (table.centerVertically) w.Empty("w:vAlign", {{"w:val", "center"}});
  w.Close();
  Paragraph paragraph;
  paragraph.align = table.align;
  paragraph.format = table.format;
  if (anchor.sizePt > 0.0) paragraph.format.sizePt = anchor.sizePt;
  paragraph.keepWithNext = table.KeepsWithNext(row);
  if (!text.empty()) paragraph.content.push_back({Inline::Kind::Text, std::string(text), {}});
  WriteParagraph(w, paragraph);
  w.Close();
}

// Widths of the table's columns in twips: its own, or equal shares of the
// text width.
std::vector<int> ColumnWidths(const Table& table, int textWidth) {
  if (table.columnWidths.size() == static_cast<std::size_t>(table.cols())) return table.columnWidths;
  return std::vector<int>(static_cast<std::size_t>(table.cols()), textWidth / table.cols());
}

void WriteTable(XmlWriter& w, const Table& table, int textWidth) {
  const std::vector<int> widths = ColumnWidths(table, textWidth);
  // Width of the cell that starts at column `col` (1-based) and spans `span`.
  const auto spanWidth = [&](int col, int span) {
    int width = 0;
    for (int c = col; c < col + span; ++c) width += widths[static_cast<std::size_t>(c - 1)];
    return width;
  };
  int total = 0;
  for (const int width : widths) total += width;
  const std::string margin = FormatInt(table.cellMargin);
  w.Open("w:tbl");
  w.Open("w:tblPr");
  w.Empty("w:tblW", {{"w:w", FormatInt(total)}, {"w:type", "dxa"}});
  w.Empty("w:tblInd", {{"w:w", "0"}, {"w:type", "dxa"}});
  w.Open("w:tblBorders");
  for (const char* edge : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
    w.Empty(edge, {{"w:val", "single"}, {"w:sz", "4"}, {"w:space", "0"}, {"w:color", "000000"}});
  }
  w.Close();
  w.Empty("w:tblLayout", {{"w:type", "fixed"}});
  // Narrow side margins (1 mm by default rather than the usual 1.9 mm): the
  // report's columns are narrow and the texts should wrap as little as
  // possible.
  w.Open("w:tblCellMar");
  w.Empty("w:left", {{"w:w", margin}, {"w:type", "dxa"}});
  w.Empty("w:right", {{"w:w", margin}, {"w:type", "dxa"}});
  w.Close();
  w.Empty("w:tblLook", {{"w:val", "0000"},
                        {"w:firstRow", "0"},
                        {"w:lastRow", "0"},
                        {"w:firstColumn", "0"},
                        {"w:lastColumn", "0"},
                        {"w:noHBand", "1"},
                        {"w:noVBand", "1"}});
  w.Close();
  w.Open("w:tblGrid");
  for (const int width : widths) w.Empty("w:gridCol", {{"w:w", FormatInt(width)}});
  w.Close();
  for (int r = 1; r <= table.rows(); ++r) {
    w.Open("w:tr");
    const bool header = r <= table.headerRows;
    if (table.minRowHeight > 0 || table.rowsCantSplit || header) {
      w.Open("w:trPr");
      if (table.rowsCantSplit) w.Empty("w:cantSplit");
      if (table.minRowHeight > 0)
        w.Empty("w:trHeight", {{"w:val", FormatInt(table.minRowHeight)}, {"w:hRule", "atLeast"}});
      if (header) w.Empty("w:tblHeader");
      w.Close();
    }
    for (int c = 1; c <= table.cols(); ++c) {
      const Table::Cell& cell = table.At(r, c);
      if (cell.covered) {
        // Below the top row of a vertical merge, the column where the merged
        // cell starts carries a continuing cell; every other covered cell is
        // part of a grid span.
        if (cell.anchorRow < r && cell.anchorCol == c) {
          const Table::Cell& anchor = table.At(cell.anchorRow, cell.anchorCol);
          WriteCell(w, table, anchor, r, spanWidth(c, anchor.colSpan), anchor.colSpan, "continue", {});
        }
        continue;
      }
      WriteCell(w, table, cell, r, spanWidth(c, cell.colSpan), cell.colSpan,
                cell.rowSpan > 1 ? "restart" : "", cell.text);
    }
    w.Close();
  }
  w.Close();
}

void WriteSectionProperties(XmlWriter& w, const WordDocument& document) {
  const SectionSetup& s = document.section;
  w.Open("w:sectPr");
  if (!document.header.empty()) w.Empty("w:headerReference", {{"w:type", "default"}, {"r:id", "rIdHeader1"}});
  if (!document.footer.empty()) w.Empty("w:footerReference", {{"w:type", "default"}, {"r:id", "rIdFooter1"}});
  w.Empty("w:type", {{"w:val", "nextPage"}});
  w.Empty("w:pgSz", {{"w:w", FormatInt(s.pageWidth)}, {"w:h", FormatInt(s.pageHeight)}});
  w.Empty("w:pgMar", {{"w:top", FormatInt(s.marginTop)},
                      {"w:right", FormatInt(s.marginRight)},
                      {"w:bottom", FormatInt(s.marginBottom)},
                      {"w:left", FormatInt(s.marginLeft)},
                      {"w:header", FormatInt(s.headerDistance)},
                      {"w:footer", FormatInt(s.footerDistance)},
                      {"w:gutter", "0"}});
  w.Empty("w:pgNumType", {{"w:fmt", s.romanPageNumbers ? "upperRoman" : "decimal"},
                          {"w:start", FormatInt(s.firstPageNumber)}});
  w.Empty("w:cols", {{"w:space", "425"}});
  w.Close();
}

std::string DocumentXml(const WordDocument& document) {
  XmlWriter w;
  w.Open("w:document", {{"xmlns:w", kNsW}, {"xmlns:r", kNsR}});
  w.Open("w:body");
  const int textWidth = document.TextWidth();
  bool endsWithParagraph = false;
  for (const Block& block : document.body) {
    if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
      WriteParagraph(w, *paragraph);
      endsWithParagraph = true;
    } else if (const auto* table = std::get_if<Table>(&block)) {
      WriteTable(w, *table, textWidth);
      endsWithParagraph = false;
    } else {
      WritePageBreak(w);
      endsWithParagraph = true;
    }
  }
  if (!endsWithParagraph) {
    // The body must end with a paragraph; keep it as small as possible so
    // that a table filling its page does not push it onto a blank page.
    Paragraph spacer;
    spacer.compact = true;
    WriteParagraph(w, spacer);
  }
  WriteSectionProperties(w, document);
  return w.Finish();
}

std::string HeaderFooterXml(std::string_view root, const std::vector<Paragraph>& paragraphs) {
  XmlWriter w;
  w.Open(root, {{"xmlns:w", kNsW}, {"xmlns:r", kNsR}});
  for (const Paragraph& paragraph : paragraphs) WriteParagraph(w, paragraph);
  return w.Finish();
}

std::string StylesXml() {
  XmlWriter w;
  w.Open("w:styles", {{"xmlns:w", kNsW}});
  w.Open("w:docDefaults");
  w.Open("w:rPrDefault").Open("w:rPr");
  w.Empty("w:rFonts", {{"w:ascii", "Times New Roman"},
                       {"w:hAnsi", "Times New Roman"},
                       {"w:eastAsia", "宋体"},
                       {"w:cs", "Times New Roman"}});
  w.Empty("w:kern", {{"w:val", "2"}});
  w.Empty("w:sz", {{"w:val", "21"}});
  w.Empty("w:szCs", {{"w:val", "21"}});
  w.Empty("w:lang", {{"w:val", "en-US"}, {"w:eastAsia", "zh-CN"}, {"w:bidi", "ar-SA"}});
  w.Close().Close();
  w.Open("w:pPrDefault").Open("w:pPr");
  w.Empty("w:spacing", {{"w:before", "0"}, {"w:after", "0"}, {"w:line", "240"}, {"w:lineRule", "auto"}});
  w.Close().Close();
  w.Close();
  w.Open("w:style", {{"w:type", "paragraph"}, {"w:default", "1"}, {"w:styleId", "Normal"}});
  w.Empty("w:name", {{"w:val", "Normal"}});
  w.Empty("w:qFormat");
  w.Open("w:pPr").Empty("w:widowControl", {{"w:val", "0"}}).Empty("w:jc", {{"w:val", "both"}}).Close();
  w.Close();
  w.Open("w:style", {{"w:type", "character"}, {"w:default", "1"}, {"w:styleId", "DefaultParagraphFont"}});
  w.Empty("w:name", {{"w:val", "Default Paragraph Font"}});
  w.Empty("w:uiPriority", {{"w:val", "1"}});
  w.Empty("w:semiHidden");
  w.Close();
  w.Open("w:style", {{"w:type", "table"}, {"w:default", "1"}, {"w:styleId", "TableNormal"}});
  w.Empty("w:name", {{"w:val", "Normal Table"}});
  w.Empty("w:semiHidden");
  w.Open("w:tblPr");
  w.Empty("w:tblInd", {{"w:w", "0"}, {"w:type", "dxa"}});
  w.Open("w:tblCellMar");
  w.Empty("w:top", {{"w:w", "0"}, {"w:type", "dxa"}});
  w.Empty("w:left", {{"w:w", "108"}, {"w:type", "dxa"}});
  w.Empty("w:bottom", {{"w:w", "0"}, {"w:type", "dxa"}});
  w.Empty("w:right", {{"w:w", "108"}, {"w:type", "dxa"}});
  w.Close();
  w.Close();
  w.Close();
  return w.Finish();
}

std::string SettingsXml() {
  XmlWriter w;
  w.Open("w:settings", {{"xmlns:w", kNsW}});
  w.Empty("w:defaultTabStop", {{"w:val", "420"}});
  w.Empty("w:characterSpacingControl", {{"w:val", "compressPunctuation"}});
  w.Open("w:compat");
  w.Empty("w:compatSetting", {{"w:name", "compatibilityMode"},
                              {"w:uri", "http://schemas.microsoft.com/office/word"},
                              {"w:val", "15"}});
  w.Close();
  return w.Finish();
}

std::string ContentTypesXml(const WordDocument& document) {
  XmlWriter w;
  w.Open("Types", {{"xmlns", "http://schemas.openxmlformats.org/package/2006/content-types"}});
  w.Empty("Default", {{"Extension", "rels"},
                      {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
  w.Empty("Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
  const auto override = [&](std::string_view part, std::string_view type) {
    w.Empty("Override", {{"PartName", part}, {"ContentType", type}});
  };
  override("/word/document.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
  override("/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
  override("/word/settings.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
  if (!document.header.empty()) {
    override("/word/header1.xml",
             "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml");
  }
  if (!document.footer.empty()) {
    override("/word/footer1.xml",
             "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml");
  }
  override("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
  override("/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml");
  return w.Finish();
}

std::string PackageRelsXml() {
  XmlWriter w;
  w.Open("Relationships", {{"xmlns", "http://schemas.openxmlformats.org/package/2006/relationships"}});
  w.Empty(
      "Relationship",
      {{"Id", "rId1"}, {"Type", std::string(kRelBase) + "officeDocument"}, {"Target", "word/document.xml"}});
  w.Empty("Relationship",
          {{"Id", "rId2"},
           {"Type", "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"},
           {"Target", "docProps/core.xml"}});
  w.Empty("Relationship", {{"Id", "rId3"},
                           {"Type", std::string(kRelBase) + "extended-properties"},
                           {"Target", "docProps/app.xml"}});
  return w.Finish();
}

std::string DocumentRelsXml(const WordDocument& document) {
  XmlWriter w;
  w.Open("Relationships", {{"xmlns", "http://schemas.openxmlformats.org/package/2006/relationships"}});
  w.Empty("Relationship",
          {{"Id", "rIdStyles"}, {"Type", std::string(kRelBase) + "styles"}, {"Target", "styles.xml"}});
  w.Empty("Relationship",
          {{"Id", "rIdSettings"}, {"Type", std::string(kRelBase) + "settings"}, {"Target", "settings.xml"}});
  if (!document.header.empty()) {
    w.Empty("Relationship",
            {{"Id", "rIdHeader1"}, {"Type", std::string(kRelBase) + "header"}, {"Target", "header1.xml"}});
  }
  if (!document.footer.empty()) {
    w.Empty("Relationship",
            {{"Id", "rIdFooter1"}, {"Type", std::string(kRelBase) + "footer"}, {"Target", "footer1.xml"}});
  }
  return w.Finish();
}

std::string CorePropertiesXml() {
  XmlWriter w;
  w.Open("cp:coreProperties",
         {{"xmlns:cp", "http://schemas.openxmlformats.org/package/2006/metadata/core-properties"},
          {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
          {"xmlns:dcterms", "http://purl.org/dc/terms/"},
          {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"}});
  w.TextElement("dc:creator", "Korvane");
  return w.Finish();
}

std::string AppPropertiesXml() {
  XmlWriter w;
  w.Open("Properties",
         {{"xmlns", "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"}});
  w.TextElement("Application", "Korvane");
  return w.Finish();
}

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct SourceFree {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};

}  // namespace

Paragraph Paragraph::OfText(std::string text, RunFormat format, Align align) {
  Paragraph paragraph;
  paragraph.align = align;
  paragraph.format = std::move(format);
  paragraph.content.push_back({Inline::Kind::Text, std::move(text), {}});
  return paragraph;
}

Table::Table(int rows, int cols) : rows_(rows), cols_(cols) {
  if (rows < 1 || cols < 1) throw std::logic_error("Table: a table needs at least one row and column");
  cells_.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  keepWithNext_.resize(static_cast<std::size_t>(rows));
}

void Table::KeepWithNext(int row) {
  if (row < 1 || row > rows_) throw std::logic_error("Table: row outside the table");
  keepWithNext_[static_cast<std::size_t>(row - 1)] = true;
}

bool Table::KeepsWithNext(int row) const {
  return row >= 1 && row <= rows_ && keepWithNext_[static_cast<std::size_t>(row - 1)];
}

const Table::Cell& Table::At(int row, int col) const {
  if (row < 1 || row > rows_ || col < 1 || col > cols_)
    throw std::logic_error("Table: cell outside the table");
  return cells_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(cols_) +
                static_cast<std::size_t>(col - 1)];
}

Table::Cell& Table::Mutable(int row, int col) { return const_cast<Cell&>(At(row, col)); }

void Table::Set(int row, int col, std::string text) {
  Cell& cell = Mutable(row, col);
  if (cell.covered) throw std::logic_error("Table: text into a covered cell");
  cell.text = std::move(text);
}

void Table::Merge(int r1, int c1, int r2, int c2) {
  if (r2 < r1 || c2 < c1) throw std::logic_error("Table: empty merge range");
  At(r1, c1);
  At(r2, c2);  // both corners inside, or logic_error
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      const Cell& cell = At(r, c);
      if (cell.covered || cell.rowSpan > 1 || cell.colSpan > 1)
        throw std::logic_error("Table: overlapping merges");
    }
  }
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      if (r == r1 && c == c1) continue;
      Cell& cell = Mutable(r, c);
      cell.text.clear();
      cell.covered = true;
      cell.anchorRow = r1;
      cell.anchorCol = c1;
    }
  }
  Cell& anchor = Mutable(r1, c1);
  anchor.rowSpan = r2 - r1 + 1;
  anchor.colSpan = c2 - c1 + 1;
}

void Table::MergeSet(int r1, int c1, int r2, int c2, std::string text) {
  Merge(r1, c1, r2, c2);
  Set(r1, c1, std::move(text));
}

void Table::OpenEdges(int row, int col, bool top, bool bottom) {
  Cell& cell = Mutable(row, col);
  if (cell.covered) throw std::logic_error("Table: borders of a covered cell");
  cell.openTop = top;
  cell.openBottom = bottom;
}

void Table::SetSizePt(int row, int col, double sizePt) {
  Cell& cell = Mutable(row, col);
  if (cell.covered) throw std::logic_error("Table: font size of a covered cell");
  cell.sizePt = sizePt;
}

std::vector<std::pair<std::string, std::string>> DocxParts(const WordDocument& document) {
  std::vector<std::pair<std::string, std::string>> parts;
  parts.emplace_back("[Content_Types].xml", ContentTypesXml(document));
  parts.emplace_back("_rels/.rels", PackageRelsXml());
  parts.emplace_back("docProps/core.xml", CorePropertiesXml());
  parts.emplace_back("docProps/app.xml", AppPropertiesXml());
  parts.emplace_back("word/document.xml", DocumentXml(document));
  parts.emplace_back("word/_rels/document.xml.rels", DocumentRelsXml(document));
  parts.emplace_back("word/styles.xml", StylesXml());
  parts.emplace_back("word/settings.xml", SettingsXml());
  if (!document.header.empty())
    parts.emplace_back("word/header1.xml", HeaderFooterXml("w:hdr", document.header));
  if (!document.footer.empty())
    parts.emplace_back("word/footer1.xml", HeaderFooterXml("w:ftr", document.footer));
  return parts;
}

std::string ZipArchiveBytes(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  const auto fail = [&error]() -> std::runtime_error {
    std::runtime_error failure(zip_error_strerror(&error));
    zip_error_fini(&error);
    return failure;
  };
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) throw fail();
  // The buffer outlives the archive: the archive is written into it.
  zip_source_keep(buffer);
  const std::unique_ptr<zip_source_t, SourceFree> keep(buffer);
  std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(buffer, ZIP_TRUNCATE, &error));
  if (!archive) {
    zip_source_free(buffer);  // the reference the archive did not take
    throw fail();
  }
  zip_error_fini(&error);
  for (const auto& [name, data] : parts) {
    zip_source_t* source = zip_source_buffer(archive.get(), data.data(), data.size(), 0);
    if (source == nullptr) throw std::runtime_error(zip_strerror(archive.get()));
    const zip_int64_t index = zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      throw std::runtime_error(zip_strerror(archive.get()));
    }
    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
  }
  zip_t* raw = archive.release();
  if (zip_close(raw) != 0) {
    const std::string reason = zip_strerror(raw);
    zip_discard(raw);
    throw std::runtime_error(reason);
  }
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_stat(buffer, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
      zip_source_open(buffer) != 0)
    throw std::runtime_error(zip_error_strerror(zip_source_error(buffer)));
  std::string bytes(static_cast<std::size_t>(stat.size), '\0');
  const zip_int64_t read = zip_source_read(buffer, bytes.data(), bytes.size());
  zip_source_close(buffer);
  if (read != static_cast<zip_int64_t>(bytes.size()))
    throw std::runtime_error(zip_error_strerror(zip_source_error(buffer)));
  return bytes;
}

void WriteDocx(const WordDocument& document, const std::filesystem::path& path) {
  const auto parts = DocxParts(document);
  std::string bytes;
  try {
    bytes = ZipArchiveBytes(parts);
  } catch (const std::exception& cause) {
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, path, cause.what()));
  }
  ReplaceFileOrThrow(path, bytes);
}

}  // namespace korvane::office
