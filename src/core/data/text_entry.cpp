#include "core/data/text_entry.h"

#include "core/data/number_entry.h"

namespace korvane {

bool IsStorableText(std::string_view utf8, int maxUtf16Units) {
  // UTF-8 forms of U+0085, U+2028 and U+2029.
  static constexpr std::string_view kBreaks[] = {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};
  if (utf8.find_first_of("\r\n") != std::string_view::npos) return false;
  for (std::string_view b : kBreaks) {
    if (utf8.find(b) != std::string_view::npos) return false;
  }
  return maxUtf16Units < 0 || MathOperation::Utf16Length(utf8) <= maxUtf16Units;
}

bool SameTextLoosely(std::string_view a, std::string_view b) {
  const auto next = [](std::string_view text, std::size_t& i) -> int {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) return -1;
    const char c = text[i++];
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : static_cast<unsigned char>(c);
  };
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    const int x = next(a, i);
    const int y = next(b, j);
    if (x != y) return false;
    if (x < 0) return true;
  }
}

std::string_view WithoutOuterBlanks(std::string_view utf8) {
  const std::size_t first = utf8.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return utf8.substr(first, utf8.find_last_not_of(' ') + 1 - first);
}

}  // namespace korvane
