#include "render/page_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "render/report_fonts.h"

namespace korvane::render {
namespace {

QPen BlackPen(int width) {
  // Wide Windows pens have round ends; a width of 0 is one device pixel.
  return QPen(Qt::black, std::max(width, 0), Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
}

int AlignmentFlags(report::HAlign align) {
  switch (align) {
    case report::HAlign::Left: return Qt::AlignLeft;
    case report::HAlign::Right: return Qt::AlignRight;
    case report::HAlign::Center: break;
  }
  return Qt::AlignHCenter;
}

}  // namespace

void PaintPage(QPainter& painter, const report::PageDescription& page) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setBrush(Qt::NoBrush);
  for (const report::LineItem& line : page.lines) {
    painter.setPen(BlackPen(line.penWidth));
    painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
  }
  for (const report::FrameItem& frame : page.frames) {
    painter.setPen(BlackPen(frame.penWidth));
    painter.drawRect(QRectF(frame.rect.left, frame.rect.top, frame.rect.width(), frame.rect.height()));
  }
  painter.setPen(QPen(Qt::black));
  for (const report::TextItem& item : page.texts) {
    if (item.text.empty() || item.pixelHeight < 1) continue;
    if (item.cell.width() <= 0 || item.cell.height() <= 0) continue;
    const QRect cell(item.cell.left, item.cell.top, item.cell.width(), item.cell.height());
    QFont font = ReportFont(QString::fromStdString(item.face), item.pixelHeight);
    painter.setFont(font);
    int flags = AlignmentFlags(item.align) | Qt::AlignVCenter;
    QString text = QString::fromStdString(item.text);
    if (item.wordWrap) {
      flags |= Qt::TextWordWrap;
    } else {
      flags |= Qt::TextSingleLine;
      if (item.ellipsis) {
        // The stand-in faces run wider than the Windows ones for Chinese
        // text: a text that does not fit is first made up to a quarter
        // smaller, and only then cut with an ellipsis.
        const int width = painter.fontMetrics().horizontalAdvance(text);
        const int original = font.pixelSize();
        // Keep a little room from the grid lines on either side.
        const int room = std::max(1, cell.width() - std::max(2, cell.width() / 16));
        if (width > cell.width()) {
          const int minimum = std::max(1, original * 3 / 4);
          const auto fitting = static_cast<int>(static_cast<qint64>(original) * room / width);
          font.setPixelSize(std::max(minimum, fitting));
          painter.setFont(font);
        }
        // Still too long: two lines in the same cell (a smaller font where
        // the cell is one row high, not below half the size) before any cut.
        if (painter.fontMetrics().horizontalAdvance(text) > cell.width()) {
          QFont twoLines = font;
          twoLines.setPixelSize(
              std::max(std::max(1, original / 2), std::min(font.pixelSize(), cell.height() * 10 / 23)));
          painter.setFont(twoLines);
          const QRect inner(cell.left() + (cell.width() - room) / 2, cell.top(), room, cell.height());
          const QRect needed = painter.fontMetrics().boundingRect(
              inner, Qt::TextWrapAnywhere | AlignmentFlags(item.align), text);
          if (needed.height() <= cell.height() &&
              painter.fontMetrics().lineSpacing() * 2 >= needed.height()) {
            painter.drawText(inner, AlignmentFlags(item.align) | Qt::AlignVCenter | Qt::TextWrapAnywhere,
                             text);
            continue;
          }
          painter.setFont(font);
        }
        text = painter.fontMetrics().elidedText(text, Qt::ElideRight, cell.width());
      } else {
        flags |= Qt::TextDontClip;
      }
    }
    painter.drawText(cell, flags, text);
  }
  painter.restore();
}

report::MonochromeBitmap ToMonochrome(const QImage& image) {
  const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
  report::MonochromeBitmap bitmap(grey.width(), grey.height());
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* row = grey.constScanLine(y);
    for (int x = 0; x < grey.width(); ++x) {
      if (row[x] < 128) bitmap.Set(x, y, true);
    }
  }
  return bitmap;
}

}  // namespace korvane::render
