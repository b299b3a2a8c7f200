#include "office/office_test_support.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <zip.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/platform/path_text.h"

namespace korvane::testing {

std::map<std::string, std::string> ReadZip(const std::filesystem::path& path) {
  std::map<std::string, std::string> entries;
  int code = 0;
  // libzip reads file names as UTF-8 on Windows.
  zip_t* archive = zip_open(PathToUtf8(path).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive == nullptr) {
    ADD_FAILURE() << path << " is not a readable zip (libzip error " << code << ")";
    return entries;
  }
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
      ADD_FAILURE() << "cannot stat entry " << i;
      continue;
    }
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    if (file == nullptr) {
      ADD_FAILURE() << "cannot open entry " << stat.name;
      continue;
    }
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    EXPECT_EQ(read, static_cast<zip_int64_t>(stat.size)) << stat.name;
    entries[stat.name] = std::move(data);
  }
  zip_close(archive);
  return entries;
}

XmlPart::XmlPart(const std::string& text, const std::string& name) {
  doc_ = xmlReadMemory(text.data(), static_cast<int>(text.size()), name.c_str(), nullptr,
                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  if (doc_ == nullptr) ADD_FAILURE() << name << " is not well-formed XML";
}

XmlPart::~XmlPart() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

xmlNode* XmlPart::root() const { return doc_ != nullptr ? xmlDocGetRootElement(doc_) : nullptr; }

namespace {

bool IsElement(xmlNode* node, const char* localName) {
  return node != nullptr && node->type == XML_ELEMENT_NODE &&
         std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

void CollectDescendants(xmlNode* node, const char* localName, std::vector<xmlNode*>& out) {
  for (xmlNode* child = node != nullptr ? node->children : nullptr; child != nullptr; child = child->next) {
    if (IsElement(child, localName)) out.push_back(child);
    CollectDescendants(child, localName, out);
  }
}

std::string NodeText(xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

void AppendDocxText(xmlNode* node, std::string& out) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (IsElement(child, "t")) {
      out += NodeText(child);
    } else if (IsElement(child, "br")) {
      out += '\n';
    } else if (IsElement(child, "tab") && IsElement(child->parent, "r")) {
      out += '\t';
    } else if (!IsElement(child, "instrText") && !IsElement(child, "pPr") && !IsElement(child, "rPr") &&
               !IsElement(child, "tcPr")) {
      AppendDocxText(child, out);
    }
  }
}

}  // namespace

std::vector<xmlNode*> Children(xmlNode* node, const char* localName) {
  std::vector<xmlNode*> out;
  for (xmlNode* child = node != nullptr ? node->children : nullptr; child != nullptr; child = child->next) {
    if (IsElement(child, localName)) out.push_back(child);
  }
  return out;
}

std::vector<xmlNode*> Descendants(xmlNode* node, const char* localName) {
  std::vector<xmlNode*> out;
  CollectDescendants(node, localName, out);
  return out;
}

xmlNode* FirstDescendant(xmlNode* node, const char* localName) {
  const std::vector<xmlNode*> all = Descendants(node, localName);
  return all.empty() ? nullptr : all.front();
}

std::string Attr(xmlNode* node, const char* localName) {
  if (node == nullptr) return {};
  for (xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (std::strcmp(reinterpret_cast<const char*>(attr->name), localName) == 0) {
      xmlChar* value = xmlNodeListGetString(node->doc, attr->children, 1);
      std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
      xmlFree(value);
      return text;
    }
  }
  return {};
}

bool HasAttr(xmlNode* node, const char* localName) {
  if (node == nullptr) return false;
  for (xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (std::strcmp(reinterpret_cast<const char*>(attr->name), localName) == 0) return true;
  }
  return false;
}

std::map<std::string, std::string> ReadPackage(const std::filesystem::path& path) {
  std::map<std::string, std::string> entries = ReadZip(path);
  EXPECT_FALSE(entries.empty()) << path;
  for (const auto& [name, data] : entries) {
    const bool xml = name.size() > 4 && (name.ends_with(".xml") || name.ends_with(".rels"));
    if (xml) XmlPart part(data, name);
  }
  return entries;
}

std::string DocxText(xmlNode* node) {
  std::string out;
  if (node != nullptr) AppendDocxText(node, out);
  return out;
}

const DocxCell* DocxTable::At(int row, int col) const {
  if (row < 1 || static_cast<std::size_t>(row) > rows.size()) return nullptr;
  for (const DocxCell& cell : rows[static_cast<std::size_t>(row - 1)].cells) {
    if (col >= cell.gridStart && col < cell.gridStart + cell.gridSpan) return &cell;
  }
  return nullptr;
}

std::string DocxTable::TextAt(int row, int col) const {
  for (int r = row; r >= 1; --r) {
    const DocxCell* cell = At(r, col);
    if (cell == nullptr) return {};
    if (cell->vMerge != "continue") return cell->text;
  }
  return {};
}

int DocxTable::RowSpanAt(int row, int col) const {
  const DocxCell* cell = At(row, col);
  if (cell == nullptr || cell->vMerge != "restart") return 1;
  int span = 1;
  for (int r = row + 1;; ++r) {
    const DocxCell* below = At(r, col);
    if (below == nullptr || below->vMerge != "continue" || below->gridStart != cell->gridStart) break;
    ++span;
  }
  return span;
}

std::vector<DocxTable> ReadDocxTables(xmlNode* documentRoot) {
  std::vector<DocxTable> tables;
  xmlNode* body = Children(documentRoot, "body").empty() ? nullptr : Children(documentRoot, "body").front();
  for (xmlNode* tbl : Children(body, "tbl")) {
    DocxTable table;
    table.node = tbl;
    for (xmlNode* grid : Children(tbl, "tblGrid"))
      table.gridColumns += static_cast<int>(Children(grid, "gridCol").size());
    for (xmlNode* tr : Children(tbl, "tr")) {
      DocxRow row;
      if (xmlNode* height = FirstDescendant(tr, "trHeight")) {
        row.height = std::atoi(Attr(height, "val").c_str());
        row.heightRule = Attr(height, "hRule");
      }
      int column = 1;
      for (xmlNode* tc : Children(tr, "tc")) {
        DocxCell cell;
        cell.node = tc;
        cell.gridStart = column;
        xmlNode* tcPr = Children(tc, "tcPr").empty() ? nullptr : Children(tc, "tcPr").front();
        if (xmlNode* span =
                Children(tcPr, "gridSpan").empty() ? nullptr : Children(tcPr, "gridSpan").front()) {
          cell.gridSpan = std::atoi(Attr(span, "val").c_str());
        }
        if (xmlNode* merge = Children(tcPr, "vMerge").empty() ? nullptr : Children(tcPr, "vMerge").front()) {
          cell.vMerge = Attr(merge, "val") == "restart" ? "restart" : "continue";
        }
        if (xmlNode* align = Children(tcPr, "vAlign").empty() ? nullptr : Children(tcPr, "vAlign").front()) {
          cell.verticallyCentred = Attr(align, "val") == "center";
        }
        std::string text;
        for (xmlNode* p : Children(tc, "p")) {
          if (!text.empty()) text += '\n';
          text += DocxText(p);
        }
        cell.text = text;
        column += cell.gridSpan;
        row.cells.push_back(std::move(cell));
      }
      table.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

std::string CellName(int row, int col) {
  std::string letters;
  for (int c = col + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row + 1);
}

const XlsxCell* XlsxSheet::Cell(const std::string& reference) const {
  const auto it = cells.find(reference);
  return it == cells.end() ? nullptr : &it->second;
}

std::string XlsxSheet::Text(const std::string& reference) const {
  const XlsxCell* cell = Cell(reference);
  return cell != nullptr ? cell->value : std::string();
}

double XlsxSheet::Number(const std::string& reference) const {
  const XlsxCell* cell = Cell(reference);
  if (cell == nullptr || cell->isText || cell->value.empty()) return std::numeric_limits<double>::quiet_NaN();
  return std::strtod(cell->value.c_str(), nullptr);
}

std::vector<XlsxSheet> ReadXlsx(const std::filesystem::path& path) {
  std::vector<XlsxSheet> sheets;
  const std::map<std::string, std::string> entries = ReadPackage(path);
  if (entries.count("xl/workbook.xml") == 0) {
    ADD_FAILURE() << "no workbook part";
    return sheets;
  }
  // Shared strings.
  std::vector<std::string> shared;
  if (entries.count("xl/sharedStrings.xml") != 0) {
    XmlPart part(entries.at("xl/sharedStrings.xml"));
    for (xmlNode* si : Children(part.root(), "si")) {
      std::string text;
      for (xmlNode* t : Descendants(si, "t")) text += NodeText(t);
      shared.push_back(text);
    }
  }
  // Styles: number format and border of each cell format index.
  std::vector<std::pair<std::string, bool>> styles;
  {
    XmlPart part(entries.at("xl/styles.xml"));
    std::map<std::string, std::string> formats = {{"0", "General"}, {"1", "0"}, {"2", "0.00"}};
    for (xmlNode* numFmt : Descendants(part.root(), "numFmt"))
      formats[Attr(numFmt, "numFmtId")] = Attr(numFmt, "formatCode");
    std::vector<bool> thinBorders;
    for (xmlNode* borders : Children(part.root(), "borders")) {
      for (xmlNode* border : Children(borders, "border")) {
        bool thin = true;
        for (const char* side : {"left", "right", "top", "bottom"}) {
          const auto found = Children(border, side);
          thin = thin && !found.empty() && Attr(found.front(), "style") == "thin";
        }
        thinBorders.push_back(thin);
      }
    }
    for (xmlNode* cellXfs : Children(part.root(), "cellXfs")) {
      for (xmlNode* xf : Children(cellXfs, "xf")) {
        const std::size_t borderId = static_cast<std::size_t>(std::atoi(Attr(xf, "borderId").c_str()));
        styles.emplace_back(formats[Attr(xf, "numFmtId")],
                            borderId < thinBorders.size() && thinBorders[borderId]);
      }
    }
  }
  // Sheets in workbook order.
  std::map<std::string, std::string> targets;
  {
    XmlPart rels(entries.at("xl/_rels/workbook.xml.rels"));
    for (xmlNode* rel : Children(rels.root(), "Relationship")) targets[Attr(rel, "Id")] = Attr(rel, "Target");
  }
  XmlPart workbook(entries.at("xl/workbook.xml"));
  for (xmlNode* sheetNode : Descendants(workbook.root(), "sheet")) {
    XlsxSheet sheet;
    sheet.name = Attr(sheetNode, "name");
    const std::string target = "xl/" + targets[Attr(sheetNode, "id")];
    if (entries.count(target) == 0) {
      ADD_FAILURE() << "missing part " << target;
      continue;
    }
    sheet.xml = entries.at(target);
    sheet.part = std::make_unique<XmlPart>(sheet.xml, target);
    for (xmlNode* c : Descendants(sheet.part->root(), "c")) {
      XlsxCell cell;
      const std::string type = Attr(c, "t");
      const std::size_t style = static_cast<std::size_t>(std::atoi(Attr(c, "s").c_str()));
      if (style < styles.size()) {
        cell.numberFormat = styles[style].first;
        cell.thinBorder = styles[style].second;
      }
      xmlNode* v = FirstDescendant(c, "v");
      if (type == "s") {
        cell.isText = true;
        const std::size_t index = static_cast<std::size_t>(std::atoi(NodeText(v).c_str()));
        cell.value = index < shared.size() ? shared[index] : std::string();
      } else if (type == "inlineStr" || type == "str") {
        cell.isText = true;
        for (xmlNode* t : Descendants(c, "t")) cell.value += NodeText(t);
        if (type == "str" && v != nullptr) cell.value = NodeText(v);
      } else if (v != nullptr) {
        cell.value = NodeText(v);
      }
      sheet.cells[Attr(c, "r")] = cell;
    }
    for (xmlNode* merge : Descendants(sheet.part->root(), "mergeCell"))
      sheet.merges.push_back(Attr(merge, "ref"));
    sheet.pane = FirstDescendant(sheet.part->root(), "pane");
    sheets.push_back(std::move(sheet));
  }
  return sheets;
}

void ExpectCells(const DocxTable& table, const std::vector<ExpectedCell>& cells) {
  for (const ExpectedCell& c : cells) {
    EXPECT_EQ(table.TextAt(c.row, c.col), c.text) << "row " << c.row << " col " << c.col;
    const DocxCell* cell = table.At(c.row, c.col);
    if (c.gridSpan > 0) {
      ASSERT_NE(cell, nullptr) << "row " << c.row << " col " << c.col;
      EXPECT_EQ(cell->gridSpan, c.gridSpan) << "row " << c.row << " col " << c.col;
    }
    if (c.rowSpan > 0) {
      EXPECT_EQ(table.RowSpanAt(c.row, c.col), c.rowSpan) << "row " << c.row << " col " << c.col;
    }
  }
}

}  // namespace korvane::testing
