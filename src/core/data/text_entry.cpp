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

}  // namespace korvane
