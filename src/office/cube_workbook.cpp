#include "office/cube_workbook.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/error.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"

namespace korvane::office {
namespace {

constexpr std::uint64_t kMaxBytes = 64u * 1024u * 1024u;
// A part's unpacked size: a sheet of ten thousand cubes is about a megabyte;
// the XML tree of a part takes tens of bytes per byte of a crowded part.
constexpr std::uint64_t kMaxPartBytes = 4u * 1024u * 1024u;
// Cells the rows may hold (texts, also the empty ones in between).
constexpr std::size_t kMaxCells = 1'000'000;

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct DocFreer {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, DocFreer>;

[[noreturn]] void NotWorkbook(const std::filesystem::path& path) {
  throw KorvaneError(MessageWithPath(kMsgNotWorkbook, path));
}
[[noreturn]] void TooLarge(const std::filesystem::path& path) {
  throw KorvaneError(MessageWithPath(kMsgWorkbookTooLarge, path));
}
[[noreturn]] void MissingPart(const std::filesystem::path& path, const std::string& part) {
  throw KorvaneError(MessageWithPath(kMsgWorkbookMissingPart, path, part));
}

// Entry `name` of the archive, or nullopt when it is missing.
std::optional<std::string> Entry(zip_t* archive, const std::string& name, const std::filesystem::path& path) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(archive, name.c_str(), 0, &stat) != 0) return std::nullopt;
  if ((stat.valid & ZIP_STAT_SIZE) == 0) NotWorkbook(path);
  if (stat.size > kMaxPartBytes) TooLarge(path);
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(archive, name.c_str(), 0), zip_fclose);
  if (!file) NotWorkbook(path);
  std::string bytes(static_cast<std::size_t>(stat.size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const zip_int64_t got = zip_fread(file.get(), bytes.data() + done, bytes.size() - done);
    if (got <= 0) NotWorkbook(path);
    done += static_cast<std::size_t>(got);
  }
  return bytes;
}

XmlDoc ParseXml(const std::string& bytes, const std::filesystem::path& path) {
  // No network, no entity substitution, no DTD loading.
  XmlDoc doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) NotWorkbook(path);
  // A workbook's parts declare no DTD; entities declared in one could
  // multiply a small part into gigabytes of text.
  if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
    throw KorvaneError(MessageWithPath(kMsgWorkbookEntities, path));
  }
  return doc;
}

bool Named(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// An attribute by its local name (any namespace); empty when absent.
std::string Attribute(const xmlNode* node, const char* name) {
  for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
    if (xmlStrcmp(a->name, reinterpret_cast<const xmlChar*>(name)) != 0) continue;
    xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
  }
  return {};
}

// The text of every <t> under `node`, leaving out phonetic runs (<rPh>).
void AppendTexts(const xmlNode* node, std::string& out) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (Named(child, "rPh")) continue;
    if (Named(child, "t")) {
      xmlChar* value = xmlNodeGetContent(child);
      if (value != nullptr) out += reinterpret_cast<const char*>(value);
      xmlFree(value);
    } else if (child->type == XML_ELEMENT_NODE) {
      AppendTexts(child, out);
    }
  }
}

// Every element named `name` under `node`, depth first.
template <typename Visit>
void ForEach(const xmlNode* node, const char* name, Visit visit) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (Named(child, name)) {
      visit(child);
    } else if (child->type == XML_ELEMENT_NODE) {
      ForEach(child, name, visit);
    }
  }
}

// The first sheet's part: from the workbook's first <sheet> and its
// relationship, else the usual name.
std::string FirstSheetPart(zip_t* archive, const std::filesystem::path& path) {
  const std::optional<std::string> workbook = Entry(archive, "xl/workbook.xml", path);
  const std::optional<std::string> rels = Entry(archive, "xl/_rels/workbook.xml.rels", path);
  if (!workbook) MissingPart(path, "xl/workbook.xml");
  std::string id;
  const XmlDoc book = ParseXml(*workbook, path);
  ForEach(xmlDocGetRootElement(book.get()), "sheet", [&](const xmlNode* sheet) {
    if (id.empty()) id = Attribute(sheet, "id");
  });
  if (!id.empty() && rels) {
    const XmlDoc relations = ParseXml(*rels, path);
    std::string target;
    ForEach(xmlDocGetRootElement(relations.get()), "Relationship", [&](const xmlNode* r) {
      if (target.empty() && Attribute(r, "Id") == id) target = Attribute(r, "Target");
    });
    if (!target.empty()) return target.front() == '/' ? target.substr(1) : "xl/" + target;
  }
  return "xl/worksheets/sheet1.xml";
}

// Column index of a cell reference ("B3" → 1); -1 without letters.
int ColumnOf(const std::string& reference) {
  int column = 0;
  std::size_t k = 0;
  for (; k < reference.size() && std::isalpha(static_cast<unsigned char>(reference[k])) && k < 3; ++k) {
    column = column * 26 + (std::toupper(static_cast<unsigned char>(reference[k])) - 'A' + 1);
  }
  return k == 0 ? -1 : column - 1;
}

}  // namespace

std::vector<TextRow> ReadWorkbookRows(const std::filesystem::path& path) {
  std::string bytes;
  if (const std::error_code error = platform::ReadRegularFile(path, bytes, kMaxBytes)) {
    if (error == platform::MakeError(platform::FileError::TooLarge)) TooLarge(path);
    throw KorvaneError(MessageWithPath(kMsgCubeUnreadable, path, error.message()));
  }
  zip_error_t zipError;
  zip_error_init(&zipError);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
  if (source == nullptr) NotWorkbook(path);
  std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &zipError));
  zip_error_fini(&zipError);
  if (!archive) {
    zip_source_free(source);
    NotWorkbook(path);
  }

  std::vector<std::string> shared;
  if (const std::optional<std::string> strings = Entry(archive.get(), "xl/sharedStrings.xml", path)) {
    const XmlDoc doc = ParseXml(*strings, path);
    ForEach(xmlDocGetRootElement(doc.get()), "si", [&](const xmlNode* si) {
      std::string text;
      AppendTexts(si, text);
      if (shared.size() >= kMaxCells) TooLarge(path);
      shared.push_back(std::move(text));
    });
  }
  const std::string sheetPart = FirstSheetPart(archive.get(), path);
  const std::optional<std::string> sheet = Entry(archive.get(), sheetPart, path);
  if (!sheet) MissingPart(path, sheetPart);
  const XmlDoc doc = ParseXml(*sheet, path);

  std::vector<TextRow> rows;
  std::size_t cells = 0;  // texts held by the rows
  ForEach(xmlDocGetRootElement(doc.get()), "row", [&](const xmlNode* row) {
    if (++cells > kMaxCells) TooLarge(path);  // a row costs as much as a cell
    TextRow line;
    double number = 0.0;
    line.line = ParseCellNumber(Attribute(row, "r"), number) && number >= 1 && number <= 1048576
                    ? static_cast<int>(number)
                    : (rows.empty() ? 1 : rows.back().line + 1);
    for (const xmlNode* cell = row->children; cell != nullptr; cell = cell->next) {
      if (!Named(cell, "c")) continue;
      const int at = ColumnOf(Attribute(cell, "r"));
      const std::size_t column = at >= 0 ? static_cast<std::size_t>(at) : line.cells.size();
      if (column >= 16384) continue;
      const std::string type = Attribute(cell, "t");
      std::string text;
      if (type == "inlineStr") {
        AppendTexts(cell, text);
      } else {
        for (const xmlNode* v = cell->children; v != nullptr; v = v->next) {
          if (!Named(v, "v")) continue;
          xmlChar* value = xmlNodeGetContent(v);
          if (value != nullptr) text = reinterpret_cast<const char*>(value);
          xmlFree(value);
        }
        double index = 0.0;
        if (type == "s") {
          text = ParseCellNumber(text, index) && index >= 0 && index < static_cast<double>(shared.size())
                     ? shared[static_cast<std::size_t>(index)]
                     : std::string();
        }
      }
      // Sparse: an empty cell adds nothing, and a cell far to the right
      // counts every cell it makes up to it.
      if (text.empty() && column >= line.cells.size()) continue;
      if (line.cells.size() <= column) {
        cells += column + 1 - line.cells.size();
        if (cells > kMaxCells) TooLarge(path);
        line.cells.resize(column + 1);
      }
      line.cells[column] = std::move(text);
    }
    rows.push_back(std::move(line));
  });
  return rows;
}

CubeTable ReadCubeFile(const std::filesystem::path& path) {
  std::string extension = PathToUtf8(path.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".xlsx") return ParseCubeRows(ReadWorkbookRows(path));
  return ReadCubeCsv(path);
}

}  // namespace korvane::office
