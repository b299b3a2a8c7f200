// Helpers of the report tests: the sample documents (support library) and
// looking up the texts of a page description.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/korvane_doc.h"
#include "core/report/display_list.h"
#include "support/sample_documents.h"

namespace korvane::testing {

// Texts of a page description equal to `text`.
inline std::vector<report::TextItem> TextsEqual(const report::PageDescription& page,
                                                const std::string& text) {
  std::vector<report::TextItem> found;
  for (const report::TextItem& item : page.texts) {
    if (item.text == text) found.push_back(item);
  }
  return found;
}

// The text drawn in exactly this cell with this role, or nullptr.
inline const report::TextItem* TextInCell(const report::PageDescription& page, const report::Rect& cell,
                                          report::FontRole role) {
  for (const report::TextItem& item : page.texts) {
    if (item.cell == cell && item.role == role) return &item;
  }
  return nullptr;
}

}  // namespace korvane::testing
