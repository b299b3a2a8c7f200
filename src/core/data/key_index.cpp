#include "core/data/key_index.h"

#include <algorithm>
#include <deque>

namespace korvane {

KeyAutomaton::KeyAutomaton(const std::vector<std::u16string>& keys) {
  for (const auto& key : keys) {
    if (!key.empty() && IdOf(key) < 0) keys_.push_back(key);
  }
  // Alphabet: every unit that occurs in a key, plus one symbol for all others.
  asciiSymbol_.assign(128, -1);
  for (const auto& key : keys_) {
    for (char16_t c : key) {
      if (c < 128) {
        if (asciiSymbol_[c] < 0) asciiSymbol_[c] = static_cast<std::int16_t>(symbolCount_++);
      } else if (std::find(otherUnits_.begin(), otherUnits_.end(), c) == otherUnits_.end()) {
        otherUnits_.push_back(c);
        otherSymbols_.push_back(symbolCount_++);
      }
    }
  }
  ++symbolCount_;  // "other"

  // Trie.
  next_.assign(static_cast<std::size_t>(symbolCount_), -1);
  outputs_.emplace_back();
  for (std::size_t id = 0; id < keys_.size(); ++id) {
    std::int32_t node = 0;
    for (char16_t c : keys_[id]) {
      const std::size_t slot = static_cast<std::size_t>(node) * static_cast<std::size_t>(symbolCount_) +
                               static_cast<std::size_t>(Symbol(c));
      if (next_[slot] < 0) {
        next_[slot] = static_cast<std::int32_t>(outputs_.size());
        outputs_.emplace_back();
        next_.resize(next_.size() + static_cast<std::size_t>(symbolCount_), -1);
      }
      node = next_[slot];
    }
    outputs_[static_cast<std::size_t>(node)].push_back(static_cast<int>(id));
  }

  // Failure links by breadth, turning the trie into a complete automaton.
  const std::size_t nodes = outputs_.size();
  std::vector<std::int32_t> fail(nodes, 0);
  outputLink_.assign(nodes, -1);
  std::deque<std::int32_t> queue;
  for (int s = 0; s < symbolCount_; ++s) {
    std::int32_t& child = next_[static_cast<std::size_t>(s)];
    if (child < 0) {
      child = 0;
    } else {
      queue.push_back(child);
    }
  }
  while (!queue.empty()) {
    const std::int32_t node = queue.front();
    queue.pop_front();
    const std::size_t base = static_cast<std::size_t>(node) * static_cast<std::size_t>(symbolCount_);
    const std::size_t failBase = static_cast<std::size_t>(fail[static_cast<std::size_t>(node)]) *
                                 static_cast<std::size_t>(symbolCount_);
    for (int s = 0; s < symbolCount_; ++s) {
      std::int32_t& child = next_[base + static_cast<std::size_t>(s)];
      const std::int32_t viaFail = next_[failBase + static_cast<std::size_t>(s)];
      if (child < 0) {
        child = viaFail;
        continue;
      }
      fail[static_cast<std::size_t>(child)] = viaFail;
      outputLink_[static_cast<std::size_t>(child)] = !outputs_[static_cast<std::size_t>(viaFail)].empty()
                                                         ? viaFail
                                                         : outputLink_[static_cast<std::size_t>(viaFail)];
      queue.push_back(child);
    }
  }
  reports_.resize(nodes);
  for (std::size_t node = 0; node < nodes; ++node) {
    reports_[node] = !outputs_[node].empty() || outputLink_[node] >= 0;
  }
}

int KeyAutomaton::Symbol(char16_t c) const {
  if (c < 128) {
    const int s = asciiSymbol_[c];
    return s >= 0 ? s : symbolCount_ - 1;
  }
  for (std::size_t k = 0; k < otherUnits_.size(); ++k) {
    if (otherUnits_[k] == c) return otherSymbols_[k];
  }
  return symbolCount_ - 1;
}

int KeyAutomaton::IdOf(std::u16string_view key) const {
  for (std::size_t id = 0; id < keys_.size(); ++id) {
    if (keys_[id] == key) return static_cast<int>(id);
  }
  return -1;
}

std::vector<std::size_t> KeyAutomaton::FirstOccurrences(std::u16string_view text) const {
  std::vector<std::size_t> first(keys_.size(), std::u16string_view::npos);
  std::size_t remaining = keys_.size();
  if (remaining == 0) return first;
  const int otherSymbol = symbolCount_ - 1;
  const auto width = static_cast<std::size_t>(symbolCount_);
  std::int32_t node = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    int s = otherSymbol;
    if (c < 128) {
      const int a = asciiSymbol_[c];
      if (a >= 0) s = a;
    } else {
      for (std::size_t k = 0; k < otherUnits_.size(); ++k) {
        if (otherUnits_[k] == c) {
          s = otherSymbols_[k];
          break;
        }
      }
    }
    node = next_[static_cast<std::size_t>(node) * width + static_cast<std::size_t>(s)];
    if (!reports_[static_cast<std::size_t>(node)]) continue;
    for (std::int32_t hit = outputs_[static_cast<std::size_t>(node)].empty()
                                ? outputLink_[static_cast<std::size_t>(node)]
                                : node;
         hit >= 0; hit = outputLink_[static_cast<std::size_t>(hit)]) {
      for (int id : outputs_[static_cast<std::size_t>(hit)]) {
        std::size_t& position = first[static_cast<std::size_t>(id)];
        if (position != std::u16string_view::npos) continue;
        position = i + 1 - keys_[static_cast<std::size_t>(id)].size();
        if (--remaining == 0) return first;
      }
    }
  }
  return first;
}

}  // namespace korvane
