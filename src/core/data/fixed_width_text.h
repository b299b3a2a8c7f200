// Reading a line-oriented text of keyed lines and fixed-width tables: values
// after a key up to the line end, and table cells at a fixed offset below
// their column key in the table's header line. Knows nothing of the
// data-file format itself (its keys, tables and rules are file_reader.cpp's).
//
// The text is UTF-16; positions and widths count UTF-16 code units. Keys are
// given as UTF-8 and matched without regard to the case of A-Z (in a lowered
// copy of the text); text values are read from the text as it is, with
// their letters as written. Every line ends in CR LF (the caller
// normalises).
//
// Keys are anchored where the format puts them, so that a value that happens
// to contain a key's text is never taken for the key: a line key at the
// start of a line (after blanks), a column key in its table's header line.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/platform/error.h"

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

  // `lineKeys`: the keys that start lines, looked up often; their first
  // anchored occurrences are found together in one pass over the lines.
  // `warn` must outlive the object.
  FixedWidthText(std::u16string text, const std::vector<std::string_view>& lineKeys, const WarningSink& warn);

  // The text with A-Z lowered (where keys are found).
  const std::u16string& text() const { return text_; }
  std::size_t size() const { return text_.size(); }
  const WarningSink& warn() const { return warn_; }

  // First occurrence of `key` at the start of a line (blanks before it
  // allowed), or npos.
  std::size_t FindAtLineStart(std::string_view key) const;
  // The same, or when the key starts no line, its first occurrence anywhere
  // (texts whose lines are out of shape still read as far as they can).
  std::size_t Find(std::string_view key) const;
  // First occurrence anywhere at or after `from`, or npos.
  std::size_t FindAnywhere(std::string_view key, std::size_t from = 0) const;

  // Start of the line after the one that holds `pos`, or npos.
  std::size_t LineAfter(std::size_t pos) const;
  // Rows of the table whose header line starts at `header`: the lines below
  // it up to the first empty one or the end of the text (npos when `header`
  // is npos: the table's end is unknown).
  std::size_t TableRows(std::size_t header) const;
  // Position of `key` in the line that starts at `lineStart`, or npos.
  std::size_t FindInLine(std::string_view key, std::size_t lineStart) const;

  // Key value: the text from the end of the key (Find) to the next CR LF,
  // blanks removed; empty when no CR LF follows; nullopt when the key is
  // absent.
  std::optional<std::string> KeyValue(std::string_view key) const;
  // The same from a position: up to the next CR LF, blanks removed.
  std::string ValueAt(std::size_t start) const;
  // A text value: as KeyValue and ValueAt, but with the letters as written
  // and only the blanks around it removed ("Tower B").
  std::optional<std::string> KeyString(std::string_view key) const;
  std::string StringAt(std::size_t start) const;

  // Key values into fields: an absent key leaves the field; for numbers
  // (number entry, core/data/number_entry.h) an empty value leaves it too.
  // Texts keep their letters and inner blanks (KeyString).
  void ReadString(std::string_view key, std::string& field) const;
  void ReadFloat(std::string_view key, float& field) const;
  void ReadInt(std::string_view key, int& field) const;

  // Column of a table whose header line starts at `header` (npos: unknown):
  // the key in that line, or when it is not there, the key's first
  // occurrence anywhere.
  Column TableColumn(std::string_view key, std::size_t header, std::size_t lineWidth,
                     std::size_t width) const;

  // Text of the cell in data row `row` (blanks removed) into `cell`; false
  // when the key is absent or the cell lies outside the text.
  bool CellText(const Column& column, std::size_t row, std::string& cell) const;
  // A text cell: the letters as written, only the blanks around it removed.
  bool CellString(const Column& column, std::size_t row, std::string& cell) const;
  // Column cell as a number: false (field unchanged) when absent or empty.
  bool CellFloat(const Column& column, std::size_t row, float& field) const;
  bool CellInt(const Column& column, std::size_t row, int& field) const;
  bool CellInt64(const Column& column, std::size_t row, long long& field) const;
  // An enumeration stored as its number (any number is kept).
  template <typename Enum>
  bool CellEnum(const Column& column, std::size_t row, Enum& field) const {
    int value = static_cast<int>(field);
    if (!CellInt(column, row, value)) return false;
    field = static_cast<Enum>(value);
    return true;
  }

  // First positions of the numbered keys prefix + "%d" + suffix (suffix
  // ending in ':') that start a line, found in one pass over the colons of
  // the text: number -> position just after the key.
  std::unordered_map<long long, std::size_t> NumberedKeys(std::string_view prefix,
                                                          std::string_view suffix) const;

 private:
  // Next position of an ASCII unit at or after `from`, or npos.
  std::size_t FindUnit(char16_t unit, std::size_t from) const;
  // The cell of a number without its blanks, in `buffer` (or in cell_ when
  // it holds other than ASCII); nullopt when it lies outside the text.
  using NumberBuffer = std::array<char, 32>;
  std::optional<std::string_view> NumberCell(const Column& column, std::size_t row,
                                             NumberBuffer& buffer) const;
  // Whether only blanks stand between the start of its line and `pos`.
  bool StartsLine(std::size_t pos) const;

  std::u16string text_;   // A-Z lowered
  std::u16string cased_;  // as given
  const WarningSink& warn_;
  std::vector<std::size_t> lineStarts_;  // 0 and every position after a LF
  std::vector<std::u16string> lineKeys_;
  std::vector<std::size_t> lineKeyFirst_;  // first anchored position of each line key
  mutable std::string cell_;               // buffer of the cell being read
};

}  // namespace korvane
