#include "gui/widgets/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace korvane::gui {

namespace {

constexpr int kSize = 32;

// The block and trace of the application icon, on a canvas of side `side`.
void PaintApplicationIcon(QPainter& p, int side) {
  const qreal u = side / 32.0;
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 70, 70), 1.5 * u));
  p.setBrush(QColor(176, 176, 170));
  p.drawRoundedRect(QRectF(2 * u, 5 * u, 28 * u, 22 * u), 3 * u, 3 * u);
  // Aggregate specks.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(128, 128, 122));
  for (const QPointF c : {QPointF(7, 10), QPointF(24, 9), QPointF(9, 23), QPointF(22, 23), QPointF(16, 9)}) {
    p.drawEllipse(QPointF(c.x() * u, c.y() * u), 1.4 * u, 1.1 * u);
  }
  // Received pulse: flat, first arrival, decaying oscillation.
  QPainterPath trace;
  trace.moveTo(4 * u, 16 * u);
  trace.lineTo(10 * u, 16 * u);
  trace.cubicTo(11.5 * u, 16 * u, 12 * u, 8 * u, 13.5 * u, 8 * u);
  trace.cubicTo(15 * u, 8 * u, 15.5 * u, 24 * u, 17 * u, 24 * u);
  trace.cubicTo(18.5 * u, 24 * u, 19 * u, 11 * u, 20.5 * u, 11 * u);
  trace.cubicTo(22 * u, 11 * u, 22.5 * u, 20 * u, 24 * u, 20 * u);
  trace.cubicTo(25.5 * u, 20 * u, 26 * u, 16 * u, 28 * u, 16 * u);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 150, 60), 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(trace);
  // First-arrival mark.
  p.setPen(QPen(QColor(220, 0, 0), 1.5 * u));
  p.drawLine(QPointF(11 * u, 6 * u), QPointF(11 * u, 26 * u));
}

// A rounded badge with a short text (document formats).
QIcon Badge(const QString& text, const QColor& colour) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour.darker(140), 1));
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 4, 4);
  QFont font;
  font.setPixelSize(text.size() > 1 ? 11 : 17);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(3, 3, 26, 26), Qt::AlignCenter, text);
  return QIcon(pm);
}

// A printer; `mode` 0 print, 1 preview (magnifier), 2 setup (gear dots).
QIcon Printer(int mode) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9.5, 4.5, 13, 9));  // paper in
  p.setBrush(QColor(150, 150, 160));
  p.drawRoundedRect(QRectF(4.5, 12.5, 23, 10), 2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9.5, 19.5, 13, 8));  // paper out
  if (mode == 1) {
    p.setBrush(QColor(200, 230, 255, 200));
    p.setPen(QPen(QColor(20, 60, 140), 2));
    p.drawEllipse(QPointF(19, 19), 6, 6);
    p.drawLine(QPointF(23.5, 23.5), QPointF(29, 29));
  } else if (mode == 2) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 60, 140));
    p.drawEllipse(QPointF(24, 24), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 24), 2, 2);
  }
  return QIcon(pm);
}

// A curved arrow turning back to the left (undo), or mirrored (redo).
QIcon TurningArrow(bool redo) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (redo) {
    p.translate(kSize, 0);
    p.scale(-1, 1);
  }
  const QColor colour(30, 90, 170);
  QPainterPath bow;
  bow.moveTo(10, 13);
  bow.cubicTo(15, 8, 26, 8, 26, 17);
  bow.cubicTo(26, 23, 21, 26, 15, 26);
  p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(bow);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({QPointF(3, 16), QPointF(9, 6), QPointF(14, 16)}));
  return QIcon(pm);
}

}  // namespace

QIcon ApplicationIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128}) {
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintApplicationIcon(p, side);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

QIcon CommandIcon(CommandIconKind icon, const QStyle* style) {
  using I = CommandIconKind;
  switch (icon) {
    case I::Open: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case I::Save: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case I::SaveResults: return Badge(QStringLiteral("SHA"), QColor(40, 110, 60));
    case I::PreviousZone: return style->standardIcon(QStyle::SP_ArrowLeft);
    case I::NextZone: return style->standardIcon(QStyle::SP_ArrowRight);
    case I::Output: return ApplicationIcon();
    case I::Word: return Badge(QStringLiteral("W"), QColor(40, 80, 170));
    case I::Pdf: return Badge(QStringLiteral("PDF"), QColor(180, 40, 40));
    case I::Excel: return Badge(QStringLiteral("X"), QColor(30, 120, 60));
    case I::PrintSetup: return Printer(2);
    case I::PrintPreview: return Printer(1);
    case I::Print: return Printer(0);
    case I::BackToMain: return style->standardIcon(QStyle::SP_ArrowBack);
    case I::Undo: return TurningArrow(false);
    case I::Redo: return TurningArrow(true);
    case I::None: break;
  }
  return {};
}

}  // namespace korvane::gui
