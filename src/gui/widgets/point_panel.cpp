#include "gui/widgets/point_panel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <algorithm>

#include "core/wave/point_readings.h"
#include "gui/document/document_model.h"

namespace korvane::gui {

void TextAt(QPainter& p, int x, int y, const QString& text) {
  p.drawText(x, y + p.fontMetrics().ascent(), text);
}

void SetUpZoomSlider(QSlider* slider) {
  slider->setRange(0, 100);
  slider->setValue(CNodeCtrl::kSliderPosition);
  slider->setTickInterval(10);
  slider->setTickPosition(QSlider::TicksRight);
  // Position 0 (largest zoom) at the top.
  slider->setInvertedAppearance(true);
  slider->setInvertedControls(true);
}

bool PaintPanelFrame(QPainter& p, const QSize& size, const PanelPicture& pic) {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, size.width() - 1, size.height() - 1);
  if (pic.trace.empty()) return false;
  QFont font(QStringLiteral("Times New Roman"));
  font.setPixelSize(13);
  p.setFont(font);
  return true;
}

void PaintPanelAxesAndTrace(QPainter& p, const QSize& size, const PanelPicture& pic, float delay,
                            const QPoint& timeLabel) {
  const int w = size.width();
  const int h = size.height();
  // Time axis with its arrow head, the delay at its left end and the ticks.
  const int y0 = pic.axisY;
  p.drawLine(15, y0, w - 5, y0);
  p.drawLine(w - 5, y0, w - 14, y0 - 4);
  p.drawLine(w - 5, y0, w - 14, y0 + 4);
  TextAt(p, timeLabel.x(), timeLabel.y(), QStringLiteral("T (us)"));
  TextAt(p, 1, y0 + 2, FormatFixed(delay, 1));
  for (const PanelTick& tick : pic.timeTicks) {
    p.fillRect(QRect(tick.pos, h / 2 - 8, 1, 8), Qt::black);
    TextAt(p, tick.pos - 14, y0 + 2, QString::number(tick.value));
  }

  // Amplitude axis, its label and ticks.
  p.drawLine(15, 5, 15, h - 5);
  p.drawLine(15, 5, 11, 14);
  p.drawLine(15, 5, 19, 14);
  TextAt(p, 49, 5, QStringLiteral("A (mv)"));
  for (const PanelTick& tick : pic.amplitudeTicks) {
    p.fillRect(QRect(15, tick.pos, 8, 1), Qt::black);
    if (tick.labelled) TextAt(p, 25, tick.pos - 8, QString::number(tick.value));
  }

  QPolygon trace;
  trace.reserve(static_cast<int>(pic.trace.size()));
  for (const PanelPoint& pt : pic.trace) trace << QPoint(pt.x, pt.y);
  p.drawPolyline(trace);
}

void PaintArrivalMarks(QPainter& p, const QSize& size, const PanelPicture& pic) {
  if (pic.hasArrival) {
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.drawLine(pic.arrivalX, 0, pic.arrivalX, size.height());
  }
  PaintProposalMark(p, size, pic);
}

void PaintPointPanel(QPainter& p, const QSize& size, const PanelPicture& pic, int slot, float gain,
                     float delay) {
  if (!PaintPanelFrame(p, size, pic)) return;
  const int w = size.width();
  const QFontMetrics fm = p.fontMetrics();

  // A gain of several digits moves left rather than under the slider.
  const QString gainText = QStringLiteral("Amp: %1").arg(FormatFixed(gain, 0));
  TextAt(p, w - std::max(45, fm.horizontalAdvance(gainText) + 4), 5, gainText);

  PaintPanelAxesAndTrace(p, size, pic, delay, QPoint(w - 45, size.height() / 2 + 15));

  PaintArrivalMarks(p, size, pic);

  // The point label beside the axis label goes over the trace and the
  // arrival marks, with its own background, so that neither a large
  // waveform nor an arrival line under it hides it.
  const int c = fm.horizontalAdvance(QStringLiteral("A (mv)"));
  const int ch = fm.height();
  const QRect labelRect(QPoint(c + 55, 0), QPoint(2 * c + 65 - 1, ch + 10 - 1));
  p.fillRect(labelRect, Qt::white);
  p.setPen(Qt::black);
  p.drawText(labelRect, Qt::AlignCenter, QStringLiteral("测点%1").arg(slot + 1));
  p.fillRect(labelRect, QColor(0, 0, 255, 64));
}

void PaintProposalMark(QPainter& p, const QSize& size, const PanelPicture& pic) {
  if (!pic.hasProposal) return;
  // Blue and dashed beside the red stored mark, with "建议" at its top.
  const QColor blue(0, 70, 230);
  p.setPen(QPen(blue, 2, Qt::DashLine));
  p.drawLine(pic.proposalX, 0, pic.proposalX, size.height());
  p.setPen(blue);
  const QString label = QStringLiteral("建议");
  const int width = p.fontMetrics().horizontalAdvance(label);
  // Right of the line, or left of it near the right edge.
  const int x = pic.proposalX + 4 + width < size.width() ? pic.proposalX + 4 : pic.proposalX - 4 - width;
  TextAt(p, x, size.height() - p.fontMetrics().height() - 4, label);
}

CNodeCtrl::CNodeCtrl(DocumentModel* model, int slot, QWidget* parent)
    : QWidget(parent), model_(model), slot_(slot), slider_(new QSlider(Qt::Vertical, this)) {
  setObjectName(QStringLiteral("MFCNodeCtrl%1").arg(slot));
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  SetUpZoomSlider(slider_);
  // The panel's + and − zoom: the slider is no stop of its own.
  slider_->setFocusPolicy(Qt::NoFocus);
  zoomFactor_ = ZoomFactorForSlider(kSliderPosition);
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    zoomFactor_ = ZoomFactorForSlider(position);
    clearCursor();
    redrawWaveform();
  });
}

const MeasuringPoint* CNodeCtrl::shownPoint(const Member** member) const {
  *member = nullptr;
  if (slot_ < 0 || model_ == nullptr) return nullptr;
  const CKorvaneDoc& doc = model_->doc();
  const TestZone* zone = doc.GetCurrentZone();
  const Member* owner = doc.GetCurrentMember();
  if (zone == nullptr || owner == nullptr || slot_ >= zone->usedPointSlots()) return nullptr;
  const MeasuringPoint* point = zone->point(slot_);
  if (point == nullptr || !point->hasSamples()) return nullptr;
  *member = owner;
  return point;
}

void CNodeCtrl::redrawWaveform() {
  pictureValid_ = false;
  update();
}

void CNodeCtrl::renderPicture() {
  const QSize area(std::max(areaWidth(), 1), std::max(height(), 1));
  const qreal ratio = devicePixelRatioF();
  picture_ = QPixmap(area * ratio);
  picture_.setDevicePixelRatio(ratio);
  PanelPicture pic;
  float gain = 0.0f;
  float delay = 0.0f;
  const Member* member = nullptr;
  if (const MeasuringPoint* point = shownPoint(&member)) {
    pic = ComputePanelPicture(PanelInputOf(*member, *point, area.width(), area.height(), zoomFactor_,
                                           model_->proposedArrival(slot_)));
    gain = point->gain;
    delay = point->delay;
  }
  QPainter painter(&picture_);
  PaintPointPanel(painter, area, pic, slot_, gain, delay);
  pictureValid_ = true;
}

void CNodeCtrl::paintEvent(QPaintEvent*) {
  if (slot_ < 0) return;
  if (!pictureValid_) renderPicture();
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
  // The slider strip shows the window colour behind the slider.
  painter.fillRect(QRect(areaWidth(), 0, kSliderWidth, height()), palette().window());
  if (cursorShown_) {
    painter.setPen(QPen(QColor(0, 255, 0), 1));
    painter.drawLine(cursorX_, 0, cursorX_, height());
  }
  if (hasFocus()) PaintKeyboardFrame(painter, QRectF(0, 0, areaWidth(), height()), palette());
}

void PaintKeyboardFrame(QPainter& painter, const QRectF& area, const QPalette& palette) {
  painter.setPen(QPen(palette.color(QPalette::Highlight), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(1, 1, -1, -1));
}

int ArrivalKeyStep(const QKeyEvent& event) {
  if (event.key() != Qt::Key_Left && event.key() != Qt::Key_Right) return 0;
  const int step = event.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
  return event.key() == Qt::Key_Left ? -step : step;
}

void CNodeCtrl::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void CNodeCtrl::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void CNodeCtrl::keyPressEvent(QKeyEvent* event) {
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&member);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      if (point == nullptr) break;
      const int sample =
          std::clamp(point->arrivalIndex + ArrivalKeyStep(*event), 0, std::max(member->sampleCount - 1, 0));
      clearCursor();
      model_->pickArrival(slot_, sample);
      return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: emit stepRequested(slot_, event->key() == Qt::Key_Down ? 1 : -1); return;
    case Qt::Key_Plus:
    case Qt::Key_Equal: slider_->setValue(slider_->value() - slider_->singleStep()); return;
    case Qt::Key_Minus: slider_->setValue(slider_->value() + slider_->singleStep()); return;
    default: break;
  }
  QWidget::keyPressEvent(event);
}

void CNodeCtrl::resizeEvent(QResizeEvent*) {
  slider_->setGeometry(width() - kSliderWidth, 0, kSliderWidth, height());
  clearCursor();
  pictureValid_ = false;
}

void CNodeCtrl::clearCursor() {
  if (!cursorShown_) return;
  cursorShown_ = false;
  update(QRect(cursorX_, 0, 1, height()));
  emit cursorCleared(slot_);
}

void CNodeCtrl::moveCursorLine(int x) {
  if (cursorShown_) update(QRect(cursorX_, 0, 1, height()));
  cursorX_ = x;
  cursorShown_ = true;
  update(QRect(cursorX_, 0, 1, height()));
}

void CNodeCtrl::mouseMoveEvent(QMouseEvent* event) {
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&member);
  const int x = event->position().toPoint().x();
  if (point == nullptr || !PanelReadoutColumn(x, areaWidth())) return;
  const float sx = PanelTimeScale(areaWidth(), member->sampleCount, member->sampleInterval);
  int sample = PanelSampleAtX(x, sx, point->delay, member->sampleInterval, member->sampleCount, 0);
  if (sample <= 0) sample = 1;
  const PointReading reading = PointReadout(*point, *member, sample);
  emit cursorReadout(slot_, reading.time, reading.amplitudeMv, reading.velocity);
  moveCursorLine(x);
}

void CNodeCtrl::leaveEvent(QEvent*) { clearCursor(); }

void CNodeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&member);
  const int x = event->position().toPoint().x();
  if (point == nullptr || x >= areaWidth()) return;
  const float sx = PanelTimeScale(areaWidth(), member->sampleCount, member->sampleInterval);
  const int sample =
      PanelSampleAtX(x, sx, point->delay, member->sampleInterval, member->sampleCount, point->arrivalIndex);
  clearCursor();
  // The model recomputes the readings and asks every view to refresh.
  model_->pickArrival(slot_, sample);
}

}  // namespace korvane::gui
