// Reading a line-oriented text of fixed-width tables: keys found by their
// first occurrence, values after a key up to the line end, and table cells
// at a fixed offset below their column key. Knows nothing of the data-file
// format itself (the keys, tables and rules are file_reader.cpp's).
//
// The text is UTF-16; positions and widths count UTF-16 code units. Keys are
// given as UTF-8 and matched with A-Z lowered, so the text is expected to be
// lowered already. Lines end in CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/data/key_index.h"
#include "core/error.h"

namespace korvane {

// A key as it is matched: UTF-16, A-Z lowered.
std::u16string KeyText(std::string_view key);

// A column of a table: the position of its key in the text (npos when the
// key is absent), the line width of the table and the cell width.
struct Column {
  static constexpr std::size_t npos = std::u16string::npos;
  std::size_t keyPos = npos;
  std::size_t lineWidth = 0;
  std::size_t width = 0;
};

class FixedWidthText {
 public:
  static constexpr std::size_t npos = std::u16string::npos;

  // `keys`: the keys looked up often, found together in one pass; others are
  // searched when asked for. Both `keys` and `warn` must outlive the object.
  FixedWidthText(std::u16string text, const KeyAutomaton& keys, const WarningSink& warn);

  const std::u16string& text() const { return text_; }
  std::size_t size() const { return text_.size(); }
  const WarningSink& warn() const { return warn_; }

  // First occurrence of `key` at or after `from`, or npos.
  std::size_t Find(std::string_view key, std::size_t from = 0) const;

  // Key value: the text from the end of the key (first occurrence) to the
  // next CR LF, blanks removed; empty when no CR LF follows; nullopt when
  // the key is absent.
  std::optional<std::string> KeyValue(std::string_view key) const;
  // The same from a position: up to the next CR LF, blanks removed.
  std::string ValueAt(std::size_t start) const;

  // Key values into fields: an absent key leaves the field; for numbers
  // (number entry, core/data/number_entry.h) an empty value leaves it too.
  void ReadString(std::string_view key, std::string& field) const;
  void ReadFloat(std::string_view key, float& field) const;
  void ReadInt(std::string_view key, int& field) const;

  Column ColumnOf(std::string_view key, std::size_t lineWidth, std::size_t width) const;

  // Text of the cell in data row `row` (blanks removed) into `cell`; false
  // when the key is absent or the cell lies outside the text.
  bool CellText(const Column& column, std::size_t row, std::string& cell) const;
  // Column cell as a number: false (field unchanged) when absent or empty.
  bool CellFloat(const Column& column, std::size_t row, float& field) const;
  bool CellInt(const Column& column, std::size_t row, int& field) const;

  // First positions of the numbered keys prefix + "%d" + suffix (suffix
  // ending in ':'), found in one pass over the colons of the text: number ->
  // position just after the key.
  std::unordered_map<long long, std::size_t> NumberedKeys(std::string_view prefix,
                                                          std::string_view suffix) const;

  // Next position of an ASCII unit at or after `from`, or npos.
  std::size_t FindUnit(char16_t unit, std::size_t from) const;

 private:
  std::u16string text_;
  const WarningSink& warn_;
  const KeyAutomaton* automaton_ = nullptr;
  std::vector<std::size_t> first_;
  mutable std::string cell_;  // buffer of the cell being read
};

}  // namespace korvane
