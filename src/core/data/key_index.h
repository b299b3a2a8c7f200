// First occurrences of a fixed set of keys in a text, found together in one
// pass (Aho-Corasick automaton). The reader looks up every key of the file
// format by its first occurrence in the whole text; doing that key by key
// would scan long stretches of table rows many times over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class KeyAutomaton {
 public:
  // `keys` in the case in which they are matched (empty keys are ignored,
  // duplicates share one entry).
  explicit KeyAutomaton(const std::vector<std::u16string>& keys);

  // Number of distinct keys; ids are 0..keyCount()-1.
  std::size_t keyCount() const { return keys_.size(); }
  // Id of a key, or -1 when it is not one of the automaton's keys.
  int IdOf(std::u16string_view key) const;

  // First position of every key in `text` (npos when absent), by id. The
  // scan stops as soon as every key has been seen.
  std::vector<std::size_t> FirstOccurrences(std::u16string_view text) const;

 private:
  int Symbol(char16_t c) const;

  std::vector<std::u16string> keys_;
  std::vector<std::int16_t> asciiSymbol_;  // 128 entries; -1: not in any key
  std::vector<char16_t> otherUnits_;       // non-ASCII units used by keys
  std::vector<int> otherSymbols_;          // their symbols
  int symbolCount_ = 0;                    // the last symbol stands for "other"
  std::vector<std::int32_t> next_;         // node * symbolCount_ + symbol -> node
  std::vector<std::vector<int>> outputs_;  // key ids ending at a node
  std::vector<std::int32_t> outputLink_;
  std::vector<std::uint8_t> reports_;  // node or its failure chain ends a key    // next node on the failure
                                       // chain with outputs, -1 none
};

}  // namespace korvane
