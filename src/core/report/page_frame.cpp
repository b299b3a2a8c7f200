#include "core/report/page_frame.h"

#include <algorithm>

namespace korvane::report {
namespace {

// Millimetres per inch of the margin conversion: a single-precision constant
// slightly above 25.4, so that exact multiples fall one pixel short.
constexpr double kMarginMillimetresPerInch = 25.40005111694336;

// Height of the decoration fonts: 20/96 inch.
int DecorationFontPixels(int dpiY) { return dpiY * 20 / 96; }

}  // namespace

int MarginPixels(int dpi, int millimetres) {
  return static_cast<int>(static_cast<double>(dpi) * millimetres / kMarginMillimetresPerInch);
}

PageFrame ComputePageFrame(const DeviceMetrics& device, const PrintSettings& settings) {
  const int leftPx = std::max(MarginPixels(device.dpiX, settings.leftMargin), device.offsetX);
  const int rightPx = std::max(MarginPixels(device.dpiX, settings.rightMargin), device.offsetX);
  const int topPx = std::max(MarginPixels(device.dpiY, settings.topMargin), device.offsetY);
  const int bottomPx = std::max(MarginPixels(device.dpiY, settings.bottomMargin), device.offsetY);

  const int left = leftPx - device.offsetX;
  int top = topPx - device.offsetY;
  const int width = device.horzRes + 2 * device.offsetX - leftPx - rightPx;
  int height = device.vertRes + 2 * device.offsetY - topPx - bottomPx;
  const int u = static_cast<int>(device.dpiY / 25.4);

  PageFrame frame;
  frame.millimetre = u;
  frame.decorationFontPx = DecorationFontPixels(device.dpiY);
  if (settings.printHeader != 0) {
    frame.hasHeader = true;
    frame.header = {left, top, left + width, top + 8 * u};
    top += 10 * u;
    height -= 10 * u;
  }
  if (settings.printFooter != 0 || settings.printPageNumber != 0) {
    frame.hasFooter = true;
    frame.footer = {left, top + height + 2 * u, left + width, top + height + 10 * u};
    height -= 10 * u;
  }
  frame.title = {left, top, left + width, top + 13 * u};
  frame.body = {left, top + 15 * u, left + width, top + height};
  frame.usableWidth = width;
  frame.usableHeight = height;
  return frame;
}

PageFrame CanvasPageFrame(const PrintSettings& settings) {
  constexpr int kInnerLeft = kCanvasBorder;
  constexpr int kInnerRight = kCanvasWidth - kCanvasBorder;
  constexpr int kInnerBottom = kCanvasHeight - kCanvasBorder;
  // Title band of 480/7 (about 68.6) pixels, cut to whole pixels.
  const int titleBottom = static_cast<int>(30 + 68.57142857142857);

  PageFrame frame;
  frame.title = {kInnerLeft, kCanvasBorder, kInnerRight, titleBottom};
  frame.body = {kInnerLeft, titleBottom, kInnerRight, kInnerBottom};
  frame.usableWidth = kInnerRight - kInnerLeft;
  frame.usableHeight = kInnerBottom - kCanvasBorder;
  frame.millimetre = static_cast<int>(96 / 25.4);
  frame.decorationFontPx = DecorationFontPixels(96);
  frame.hasHeader = settings.printHeader != 0;
  frame.header = {kInnerLeft, 0, kInnerRight, kCanvasBorder};
  frame.hasFooter = settings.printFooter != 0;
  frame.footer = {kInnerLeft, kInnerBottom, kInnerRight, kCanvasHeight};
  return frame;
}

}  // namespace korvane::report
