#include "core/report/report_labels.h"

#include "core/platform/unicode_text.h"

namespace korvane::report {

std::vector<std::string> TableLabel::Rows() const {
  std::vector<std::string> rows;
  if (vertical) {
    for (char16_t unit : Utf8ToUtf16(text)) rows.push_back(Utf16ToUtf8(std::u16string(1, unit)));
    return rows;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    rows.emplace_back(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return rows;
    start = end + 1;
  }
}

}  // namespace korvane::report
