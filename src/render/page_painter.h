// Paints a report page description on any Qt paint device through a
// QPainter whose coordinates are the description's device pixels.
#pragma once

#include <QImage>

#include "core/report/bmp_writer.h"
#include "core/report/display_list.h"

class QPainter;

namespace korvane::render {

// Paints lines (solid black), frames (outline only) and texts (black, in the
// requested face with its stand-ins) in that order. A single-line text
// that is too wide for its cell is drawn up to a quarter smaller before it
// is cut with an ellipsis. Does not fill the background. Texts with a height below 1 pixel or an empty cell
// are skipped.
void PaintPage(QPainter& painter, const report::PageDescription& page);

// 1-bit copy of an image: black where the pixel is darker than mid-grey
// (luma below 128), white elsewhere.
report::MonochromeBitmap ToMonochrome(const QImage& image);

}  // namespace korvane::render
