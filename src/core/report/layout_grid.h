// Helpers shared by the two report layouts: the page grid (column and row
// units in double precision, points truncated to whole pixels) and the
// locale-independent number texts printed in the cells.
#pragma once

#include <string>
#include <string_view>

#include "core/data/text_format.h"
#include "core/report/display_list.h"
#include "core/report/report_source.h"

namespace korvane::report {

inline constexpr std::string_view kFaceArial = "Arial";

// Grid over a body rectangle with `columns` columns and `rows` rows. A grid
// point (i, j) lies at (left + i*c, top + j*r), truncated to whole pixels.
class LayoutGrid {
 public:
  LayoutGrid(const Rect& body, double columns, double rows)
      : body_(body), c_(body.width() / columns), r_(body.height() / rows) {}

  double c() const { return c_; }
  double r() const { return r_; }
  int X(double i) const { return static_cast<int>(body_.left + i * c_); }
  int Y(double j) const { return static_cast<int>(body_.top + j * r_); }
  Rect Cell(double i0, double j0, double i1, double j1) const { return {X(i0), Y(j0), X(i1), Y(j1)}; }

 private:
  Rect body_;
  double c_;
  double r_;
};

// Appends lines and texts to a page with fixed pens and fonts.
class PageBuilder {
 public:
  PageBuilder(PageDescription& page, const LayoutGrid& grid) : page_(page), grid_(grid) {}

  void HLine(double row, double fromColumn, double toColumn, int pen) {
    page_.lines.push_back({{grid_.X(fromColumn), grid_.Y(row)}, {grid_.X(toColumn), grid_.Y(row)}, pen});
  }
  void VLine(double column, double fromRow, double toRow, int pen) {
    page_.lines.push_back({{grid_.X(column), grid_.Y(fromRow)}, {grid_.X(column), grid_.Y(toRow)}, pen});
  }
  // Single-line text, centred, with ellipsis, in the cell (i0, j0)-(i1, j1).
  void Text(double i0, double j0, double i1, double j1, std::string text, FontRole role, int pixelHeight,
            HAlign align = HAlign::Center, bool wordWrap = false) {
    TextItem item;
    item.cell = grid_.Cell(i0, j0, i1, j1);
    item.text = std::move(text);
    item.role = role;
    item.face = std::string(kFaceArial);
    item.pixelHeight = pixelHeight;
    item.align = align;
    item.ellipsis = !wordWrap;
    item.wordWrap = wordWrap;
    page_.texts.push_back(std::move(item));
  }

 private:
  PageDescription& page_;
  const LayoutGrid& grid_;
};

// The report title, centred in the title band in Arial at 0.6 of its height.
inline void AddTitle(PageDescription& page, const Rect& title, std::string_view text) {
  TextItem item;
  item.cell = title;
  item.text = std::string(text);
  item.role = FontRole::Title;
  item.face = std::string(kFaceArial);
  item.pixelHeight = static_cast<int>(0.6 * title.height());
  page.texts.push_back(std::move(item));
}

// The record of member `member` (a valid index into the zone lists), or
// `fallback` when the file has no record for it.
inline const Member& MemberOr(const ReportSource& doc, int member, const Member& fallback) {
  const auto index = static_cast<std::size_t>(member);
  return index < doc.members.size() ? doc.members[index] : fallback;
}

// "%d", "%.Nf" and the truncated "%d" of a float, independent of the
// process locale: the core's formatters.
using korvane::FormatFixed;
using korvane::FormatInt;
using korvane::FormatTruncated;

}  // namespace korvane::report
