// Page description of a printed report page: what to paint, in device pixels
// of the target (printer, PDF writer, image). The layout code in this folder
// produces it without any drawing library; the renderer paints it.
#pragma once

#include <string>
#include <vector>

namespace korvane::report {

// Integer rectangle in device pixels; right and bottom are exclusive edges
// (width = right - left).
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Solid black straight line, `penWidth` device pixels wide, centred on the
// segment from `from` to `to`.
struct LineItem {
  Point from;
  Point to;
  int penWidth = 1;
};

// Outline of a rectangle (no fill), pen centred on the edges.
struct FrameItem {
  Rect rect;
  int penWidth = 1;
};

// What a text is: the report's title, a printed label, a printed value, or
// part of the page decoration.
enum class FontRole { Title, Label, Value, Header, Footer, PageNumber };

enum class HAlign { Left, Center, Right };

// One text drawn into a cell. Vertically always centred. Single-line texts
// that do not fit are, when `ellipsis` is set, made up to a quarter
// smaller, then broken into two lines of the same cell (a smaller font where
// it must, down to half), and only then cut at the right with an ellipsis;
// `wordWrap` texts may break into several lines, the block centred.
struct TextItem {
  Rect cell;
  std::string text;  // UTF-8
  FontRole role = FontRole::Value;
  std::string face;     // font face requested by name ("Arial", "宋体", ...)
  int pixelHeight = 0;  // character height in device pixels
  HAlign align = HAlign::Center;
  bool ellipsis = false;
  bool wordWrap = false;
};

// Everything painted on one page, on a white background, in drawing order:
// lines, then frames, then texts.
struct PageDescription {
  std::vector<LineItem> lines;
  std::vector<FrameItem> frames;
  std::vector<TextItem> texts;

  void Append(const PageDescription& other);
};

}  // namespace korvane::report
