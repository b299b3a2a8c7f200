// Page frame of a printed page: margins (mm) of the print settings turned
// into the header band, footer band, title band and body rectangle, in
// device pixels relative to the top-left corner of the printable area.
#pragma once

#include "core/report/display_list.h"
#include "core/report/report_records.h"

namespace korvane::report {

// What the frame needs to know about the output device. For a printer: its
// resolution, the size of its printable area and the offset of that area
// from the paper's corner. For a PDF writer without margins: the page size
// in pixels and offsets 0.
struct DeviceMetrics {
  int dpiX = 96;    // pixels per inch, horizontal
  int dpiY = 96;    // pixels per inch, vertical
  int horzRes = 0;  // printable width, pixels
  int vertRes = 0;  // printable height, pixels
  int offsetX = 0;  // left edge of the printable area from the paper's edge, pixels
  int offsetY = 0;  // top edge likewise
};

struct PageFrame {
  bool hasHeader = false;  // header band in use (printHeader)
  bool hasFooter = false;  // footer band in use (printFooter or printPageNumber)
  Rect header;
  Rect footer;
  Rect title;
  Rect body;
  int usableWidth = 0;       // W, pixels
  int usableHeight = 0;      // H after the header and footer bands, pixels
  int millimetre = 0;        // u: one millimetre in pixels (from the vertical resolution)
  int decorationFontPx = 0;  // height of the header, footer and page-number fonts
};

// Margin in pixels: trunc(dpi * mm / 25.40005111694336).
int MarginPixels(int dpi, int millimetres);

// Frame of a printed page: margins raised to the physical offsets, the header
// band (10 mm, text in its top 8 mm) when printHeader, the footer band below
// the frame (10 mm) when printFooter or printPageNumber, then the title band
// (13 mm) and, 2 mm below it, the body down to the footer band. Degenerate
// settings (margins wider than the paper) give empty or inverted
// rectangles; callers paint nothing into those.
PageFrame ComputePageFrame(const DeviceMetrics& device, const PrintSettings& settings);

// The off-screen canvas of the BMP export: 1030 x 1400 pixels, white, an
// inner frame 30 pixels in from every edge, a title band of 68 pixels and the
// body below it without a gap. The page header and footer texts go into the
// 30-pixel borders above and below the inner frame.
inline constexpr int kCanvasWidth = 1030;
inline constexpr int kCanvasHeight = 1400;
inline constexpr int kCanvasBorder = 30;
PageFrame CanvasPageFrame(const PrintSettings& settings);

}  // namespace korvane::report
