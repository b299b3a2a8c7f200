#include "core/data/fixed_width_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "core/data/number_entry.h"
#include "core/data/text_encoding.h"

namespace korvane {
namespace {

constexpr std::size_t npos = std::u16string::npos;

char16_t LowerUnit(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Search for one key. Most keys are blank-padded column headers ("       L")
// and the tables are mostly blanks, so the search runs on the key's longest
// blank-free part (Horspool, skip table indexed by the low byte of a unit)
// and checks the whole key around each hit; hits come in text order, so
// the first match is the key's first occurrence. Linear in the text.
class KeySearcher {
 public:
  explicit KeySearcher(std::u16string_view key) : key_(key) {
    // Longest run without blanks (the whole key when it has none).
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < key_.size();) {
      if (key_[i] == u' ') {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < key_.size() && key_[j] != u' ') ++j;
      if (j - i > bestLength) {
        bestStart = i;
        bestLength = j - i;
      }
      i = j;
    }
    if (bestLength == 0) bestLength = key_.size();
    anchorOffset_ = bestStart;
    anchor_ = key_.substr(bestStart, bestLength);
    const std::size_t m = anchor_.size();
    skip_.fill(m == 0 ? 1 : m);
    for (std::size_t i = 0; i + 1 < m; ++i) skip_[anchor_[i] & 0xFF] = m - 1 - i;
  }

  // First occurrence at or after `from`, or npos.
  std::size_t Find(std::u16string_view text, std::size_t from) const {
    const std::size_t k = key_.size();
    if (from > text.size() || text.size() - from < k) return npos;
    if (k == 0) return from;
    const std::size_t m = anchor_.size();
    const char16_t last = anchor_[m - 1];
    // Anchor positions q correspond to key positions q - anchorOffset_.
    const std::size_t end = text.size() - (k - anchorOffset_);
    for (std::size_t q = from + anchorOffset_; q <= end;) {
      const char16_t c = text[q + m - 1];
      if (c == last && text.compare(q, m - 1, anchor_.substr(0, m - 1)) == 0 &&
          text.compare(q - anchorOffset_, k, key_) == 0) {
        return q - anchorOffset_;
      }
      q += skip_[c & 0xFF];
    }
    return npos;
  }

 private:
  std::u16string_view key_;
  std::u16string_view anchor_;
  std::size_t anchorOffset_ = 0;
  std::array<std::size_t, 256> skip_;
};

std::size_t FindKey(std::u16string_view text, std::u16string_view key, std::size_t from) {
  return KeySearcher(key).Find(text, from);
}

bool IsBlank(char16_t c) { return c == u' '; }

// UTF-8 form of a text span with every blank removed, into `out`.
void WithoutBlanks(std::u16string_view span, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < span.size(); ++i) {
    const char16_t c = span[i];
    if (c >= 0x80) {
      // Rare (names, locations): convert the whole span.
      std::u16string kept;
      kept.reserve(span.size());
      for (char16_t k : span) {
        if (!IsBlank(k)) kept.push_back(k);
      }
      out = Utf16ToUtf8(kept);
      return;
    }
    if (!IsBlank(c)) out.push_back(static_cast<char>(c));
  }
}

std::string WithoutBlanks(std::u16string_view span) {
  std::string out;
  WithoutBlanks(span, out);
  return out;
}

// UTF-8 form of a text span without the blanks around it.
std::string Trimmed(std::u16string_view span) {
  while (!span.empty() && IsBlank(span.front())) span.remove_prefix(1);
  while (!span.empty() && IsBlank(span.back())) span.remove_suffix(1);
  return Utf16ToUtf8(span);
}

}  // namespace

std::u16string KeyText(std::string_view key) {
  std::u16string text = Utf8ToUtf16(key);
  for (char16_t& c : text) c = LowerUnit(c);
  return text;
}

FixedWidthText::FixedWidthText(std::u16string text, const std::vector<std::string_view>& lineKeys,
                               const WarningSink& warn)
    : text_(text), cased_(std::move(text)), warn_(warn) {
  for (char16_t& c : text_) c = LowerUnit(c);
  lineStarts_.push_back(0);
  for (std::size_t lf = FindUnit(u'\n', 0); lf != npos; lf = FindUnit(u'\n', lf + 1))
    lineStarts_.push_back(lf + 1);

  // First anchored occurrence of every line key, in one pass over the lines
  // (table rows start with a digit or a blank and are passed over at their
  // first unit).
  for (std::string_view key : lineKeys) lineKeys_.push_back(KeyText(key));
  lineKeyFirst_.assign(lineKeys_.size(), npos);
  std::size_t remaining = lineKeys_.size();
  for (std::size_t start : lineStarts_) {
    std::size_t p = start;
    while (p < text_.size() && IsBlank(text_[p])) ++p;
    if (p >= text_.size()) continue;
    const char16_t first = text_[p];
    for (std::size_t id = 0; id < lineKeys_.size(); ++id) {
      const std::u16string& key = lineKeys_[id];
      if (lineKeyFirst_[id] != npos || key.empty() || key.front() != first) continue;
      if (text_.compare(p, key.size(), key) != 0) continue;
      lineKeyFirst_[id] = p;
      if (--remaining == 0) return;
    }
  }
}

bool FixedWidthText::StartsLine(std::size_t pos) const {
  while (pos > 0 && IsBlank(text_[pos - 1])) --pos;
  return pos == 0 || text_[pos - 1] == u'\n';
}

std::size_t FixedWidthText::FindAtLineStart(std::string_view key) const {
  const std::u16string lowered = KeyText(key);
  for (std::size_t id = 0; id < lineKeys_.size(); ++id) {
    if (lineKeys_[id] == lowered) return lineKeyFirst_[id];
  }
  if (lowered.empty()) return npos;
  for (std::size_t start : lineStarts_) {
    std::size_t p = start;
    while (p < text_.size() && IsBlank(text_[p])) ++p;
    if (text_.compare(p, lowered.size(), lowered) == 0) return p;
  }
  return npos;
}

std::size_t FixedWidthText::Find(std::string_view key) const {
  const std::size_t anchored = FindAtLineStart(key);
  return anchored != npos ? anchored : FindAnywhere(key);
}

std::size_t FixedWidthText::FindAnywhere(std::string_view key, std::size_t from) const {
  return FindKey(text_, KeyText(key), from);
}

std::size_t FixedWidthText::LineAfter(std::size_t pos) const {
  const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
  return next == lineStarts_.end() || *next >= text_.size() ? npos : *next;
}

std::size_t FixedWidthText::TableRows(std::size_t header) const {
  if (header == npos) return npos;
  auto line = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), header);
  std::size_t rows = 0;
  for (; line != lineStarts_.end() && *line < text_.size(); ++line, ++rows) {
    const std::size_t end = line + 1 != lineStarts_.end() ? *(line + 1) : text_.size();
    bool empty = true;
    for (std::size_t k = *line; k < end && empty; ++k) {
      empty = text_[k] == u' ' || text_[k] == u'\r' || text_[k] == u'\n';
    }
    if (empty) break;
  }
  return rows;
}

std::size_t FixedWidthText::FindInLine(std::string_view key, std::size_t lineStart) const {
  if (lineStart >= text_.size()) return npos;
  const std::size_t end = std::min(LineAfter(lineStart), text_.size());
  const std::size_t at = std::u16string_view(text_).substr(lineStart, end - lineStart).find(KeyText(key));
  return at == npos ? npos : lineStart + at;
}

std::optional<std::string> FixedWidthText::KeyValue(std::string_view key) const {
  const std::size_t pos = Find(key);
  if (pos == npos) return std::nullopt;
  return ValueAt(pos + KeyText(key).size());
}

std::string FixedWidthText::ValueAt(std::size_t start) const {
  // The value ends at the CR of the first CR LF at or after `start`: a line
  // start L >= start + 2 whose LF (L - 1) follows a CR (L - 2).
  for (auto next = std::lower_bound(lineStarts_.begin(), lineStarts_.end(), start + 2);
       next != lineStarts_.end(); ++next) {
    if (text_[*next - 2] == u'\r')
      return WithoutBlanks(std::u16string_view(text_).substr(start, *next - 2 - start));
  }
  return {};
}

Column FixedWidthText::TableColumn(std::string_view key, std::size_t header, std::size_t lineWidth,
                                   std::size_t width) const {
  const std::size_t pos = header != npos ? FindInLine(key, header) : FindAnywhere(key);
  return Column{pos, lineWidth, width};
}

std::optional<std::string> FixedWidthText::KeyString(std::string_view key) const {
  const std::size_t pos = Find(key);
  if (pos == npos) return std::nullopt;
  return StringAt(pos + KeyText(key).size());
}

std::string FixedWidthText::StringAt(std::size_t start) const {
  for (auto next = std::lower_bound(lineStarts_.begin(), lineStarts_.end(), start + 2);
       next != lineStarts_.end(); ++next) {
    if (text_[*next - 2] == u'\r')
      return Trimmed(std::u16string_view(cased_).substr(start, *next - 2 - start));
  }
  return {};
}

void FixedWidthText::ReadString(std::string_view key, std::string& field) const {
  if (auto value = KeyString(key)) field = std::move(*value);
}

void FixedWidthText::ReadFloat(std::string_view key, float& field) const {
  const auto value = KeyValue(key);
  if (value && !value->empty()) field = MathOperation::ToFloat(*value, warn_);
}

void FixedWidthText::ReadInt(std::string_view key, int& field) const {
  const auto value = KeyValue(key);
  if (value && !value->empty()) field = MathOperation::ToInt(*value, warn_);
}

bool FixedWidthText::CellText(const Column& column, std::size_t row, std::string& cell) const {
  cell.clear();
  if (column.keyPos == npos) return false;
  // Rows are bounded by the text length, so this cannot overflow for any
  // row that lies inside the text; larger rows are outside anyway.
  if (row >= text_.size() / std::max<std::size_t>(column.lineWidth, 1) + 1) return false;
  const std::size_t start = column.keyPos + (row + 1) * column.lineWidth;
  if (start >= text_.size()) return false;
  WithoutBlanks(std::u16string_view(text_).substr(start, column.width), cell);
  return true;
}

bool FixedWidthText::CellString(const Column& column, std::size_t row, std::string& cell) const {
  cell.clear();
  if (column.keyPos == npos) return false;
  if (row >= text_.size() / std::max<std::size_t>(column.lineWidth, 1) + 1) return false;
  const std::size_t start = column.keyPos + (row + 1) * column.lineWidth;
  if (start >= text_.size()) return false;
  cell = Trimmed(std::u16string_view(cased_).substr(start, column.width));
  return true;
}

std::optional<std::string_view> FixedWidthText::NumberCell(const Column& column, std::size_t row,
                                                           NumberBuffer& buffer) const {
  if (column.keyPos == npos || column.width > buffer.size()) return std::nullopt;
  if (row >= text_.size() / std::max<std::size_t>(column.lineWidth, 1) + 1) return std::nullopt;
  const std::size_t start = column.keyPos + (row + 1) * column.lineWidth;
  if (start >= text_.size()) return std::nullopt;
  const std::u16string_view span = std::u16string_view(text_).substr(start, column.width);
  // Table cells are ASCII numbers padded with blanks: they are gathered
  // without a string; anything else takes the general way (CellText).
  std::size_t length = 0;
  for (const char16_t c : span) {
    if (c >= 0x80) {
      if (!CellText(column, row, cell_)) return std::nullopt;
      return std::string_view(cell_);
    }
    if (!IsBlank(c)) buffer[length++] = static_cast<char>(c);
  }
  return std::string_view(buffer.data(), length);
}

bool FixedWidthText::CellFloat(const Column& column, std::size_t row, float& field) const {
  NumberBuffer buffer;
  const auto cell = NumberCell(column, row, buffer);
  if (!cell || cell->empty()) return false;
  field = MathOperation::ToFloat(*cell, warn_);
  return true;
}

bool FixedWidthText::CellInt64(const Column& column, std::size_t row, long long& field) const {
  NumberBuffer buffer;
  const auto cell = NumberCell(column, row, buffer);
  if (!cell || cell->empty()) return false;
  field = MathOperation::ToInt64(*cell, warn_);
  return true;
}

bool FixedWidthText::CellInt(const Column& column, std::size_t row, int& field) const {
  NumberBuffer buffer;
  const auto cell = NumberCell(column, row, buffer);
  if (!cell || cell->empty()) return false;
  field = MathOperation::ToInt(*cell, warn_);
  return true;
}

std::unordered_map<long long, std::size_t> FixedWidthText::NumberedKeys(std::string_view prefix,
                                                                        std::string_view suffix) const {
  std::unordered_map<long long, std::size_t> found;
  const std::u16string p = KeyText(prefix);
  const std::u16string s = KeyText(suffix);
  if (s.empty() || s.back() != u':') return found;
  for (std::size_t colon = FindUnit(u':', 0); colon != npos; colon = FindUnit(u':', colon + 1)) {
    // Key ends at colon: [prefix][digits][suffix].
    if (colon + 1 < s.size()) continue;
    const std::size_t suffixStart = colon + 1 - s.size();
    if (text_.compare(suffixStart, s.size(), s) != 0) continue;
    std::size_t digitsStart = suffixStart;
    while (digitsStart > 0 && suffixStart - digitsStart < 10 && text_[digitsStart - 1] >= u'0' &&
           text_[digitsStart - 1] <= u'9') {
      --digitsStart;
    }
    const std::size_t digits = suffixStart - digitsStart;
    if (digits == 0 || digits >= 10 || (digits > 1 && text_[digitsStart] == u'0')) continue;
    if (digitsStart < p.size() || text_.compare(digitsStart - p.size(), p.size(), p) != 0) continue;
    if (!StartsLine(digitsStart - p.size())) continue;
    long long number = 0;
    for (std::size_t k = digitsStart; k < suffixStart; ++k) number = number * 10 + (text_[k] - u'0');
    found.emplace(number, colon + 1);  // first occurrence: colons come in text order
  }
  return found;
}

std::size_t FixedWidthText::FindUnit(char16_t unit, std::size_t from) const {
  if constexpr (std::endian::native == std::endian::little) {
    const auto* begin = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t bytes = 2 * text_.size();
    std::size_t at = 2 * from;
    while (at < bytes) {
      const void* hit = std::memchr(begin + at, static_cast<int>(unit), bytes - at);
      if (hit == nullptr) return npos;
      const auto offset = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - begin);
      if (offset % 2 == 0 && text_[offset / 2] == unit) return offset / 2;
      at = offset + 1;
    }
    return npos;
  } else {
    const std::size_t pos = std::u16string_view(text_).find(unit, from);
    return pos;
  }
}

}  // namespace korvane
