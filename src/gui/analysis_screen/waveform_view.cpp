#include "gui/analysis_screen/waveform_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <algorithm>

#include "core/app/document_edits.h"
#include "core/app/edit_names.h"
#include "core/forms/zone_grid_layout.h"
#include "core/wave/point_readings.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui/widgets/point_panel.h"

namespace korvane::gui {

void PaintWaveformPanel(QPainter& p, const QSize& size, const PanelPicture& pic, float delay) {
  if (!PaintPanelFrame(p, size, pic)) return;
  const QFontMetrics fm = p.fontMetrics();
  const QString timeLabel = QStringLiteral("T (us)");
  PaintPanelAxesAndTrace(p, size, pic, delay,
                         QPoint(size.width() - static_cast<int>(1.1 * fm.horizontalAdvance(timeLabel)),
                                pic.axisY + static_cast<int>(1.1 * fm.height())));
  PaintArrivalMarks(p, size, pic);
}

QRect PaintReadingStrip(QPainter& p, const QRect& rect, const StripReadings* readings) {
  p.fillRect(rect, Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect.adjusted(0, 0, -1, -1));
  if (readings == nullptr) return {};
  QFont font(QStringLiteral("Times New Roman"));
  font.setPixelSize(ReadingStripFontHeight(rect.height()));
  p.setFont(font);
  const ReadingStripTexts t = ReadingStripTextsOf(*readings, rect.width());
  const int y = rect.y() + 1;
  TextAt(p, rect.x() + t.gainX, y, FromUtf8(t.gain));
  TextAt(p, rect.x() + t.timeX, y, FromUtf8(t.time));
  TextAt(p, rect.x() + t.amplitudeX, y, FromUtf8(t.amplitude));
  TextAt(p, rect.x() + t.velocityX, y, FromUtf8(t.velocity));
  const QString label = FromUtf8(t.pointLabel);
  const QFontMetrics fm = p.fontMetrics();
  const ViewRect r = PointLabelRect(rect.width(), fm.horizontalAdvance(label), fm.height());
  const QRect labelRect(rect.x() + r.x, rect.y() + r.y, r.width, r.height);
  p.drawText(labelRect, Qt::AlignCenter, label);
  // Blue at a quarter opacity marks the label as clickable.
  p.fillRect(labelRect, QColor(0, 0, 255, 64));
  return labelRect;
}

CAnalysisView::CAnalysisView(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent),
      model_(model),
      prompter_(prompter),
      slider_(new QSlider(Qt::Vertical, this)),
      grid_(new CGridCtrl(this)) {
  setObjectName(QStringLiteral("CAnalysisView"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 160);
  // A stop of Tab between the form and the zone grid; the slider is the
  // mouse's (+ and - zoom from the keyboard).
  setFocusPolicy(Qt::StrongFocus);
  SetUpZoomSlider(slider_);
  slider_->setFocusPolicy(Qt::NoFocus);
  zoomFactor_ = ZoomFactorForSlider(kSliderPosition);
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    zoomFactor_ = ZoomFactorForSlider(position);
    cursorShown_ = false;
    panelValid_ = false;
    update();
  });

  grid_->setObjectName(QStringLiteral("zoneGrid"));
  grid_->setNotifyKind(0);
  connect(grid_, &CGridCtrl::editEnded, this, &CAnalysisView::onDistanceEdited);
  connect(grid_, &CGridCtrl::rowSelected, this, &CAnalysisView::onRowSelected);
  connect(grid_, &CGridCtrl::columnFocused, this, &CAnalysisView::onColumnFocused);

  const auto changed = [this] { refresh(); };
  connect(model_, &DocumentModel::fileChanged, this, changed);
  connect(model_, &DocumentModel::zoneChanged, this, changed);
  connect(model_, &DocumentModel::zoneDataChanged, this, changed);
  connect(model_, &DocumentModel::waveformsChanged, this, changed);
  connect(model_, &DocumentModel::suggestionChanged, this, changed);
}

const MeasuringPoint* CAnalysisView::shownPoint(const TestZone** zone, const Member** member) const {
  const CKorvaneDoc& doc = model_->doc();
  *zone = doc.GetCurrentZone();
  *member = doc.GetCurrentMember();
  if (*zone == nullptr || *member == nullptr) return nullptr;
  const int point = doc.currentPoint;
  if (point < 0 || point >= (*zone)->usedPointSlots()) return nullptr;
  const MeasuringPoint* p = (*zone)->point(point);
  return p != nullptr && p->hasSamples() ? p : nullptr;
}

std::optional<StripReadings> CAnalysisView::stripReadings() const {
  if (readout_) return readout_;
  const TestZone* zone = model_->doc().GetCurrentZone();
  StripReadings r;
  if (zone == nullptr || !StoredStripReadings(*zone, model_->doc().currentPoint, r)) return std::nullopt;
  return r;
}

void CAnalysisView::refresh() {
  // The hidden screen's view is built when it is shown (showEvent), not on
  // every edit made on the other screen.
  if (!isVisible()) return;
  // A change of the data or of the point ends any readout under the mouse.
  readout_.reset();
  cursorShown_ = false;
  panelValid_ = false;
  rebuildGrid();
  update();
}

void CAnalysisView::rebuildGrid() {
  const CKorvaneDoc& doc = model_->doc();
  grid_->applyLayout(ZoneGridLayout(doc, doc.HasFile() ? doc.currentMember : -1, grid_->usableWidth()));
}

void CAnalysisView::renderPanel() {
  const ViewRect area = geometryNow().panel;
  const QSize size(std::max(area.width, 1), std::max(area.height, 1));
  const qreal ratio = devicePixelRatioF();
  panel_ = QPixmap(size * ratio);
  panel_.setDevicePixelRatio(ratio);
  PanelPicture pic;
  float delay = 0.0f;
  const TestZone* zone = nullptr;
  const Member* member = nullptr;
  if (const MeasuringPoint* point = shownPoint(&zone, &member)) {
    pic = ComputePanelPicture(PanelInputOf(*member, *point, size.width(), size.height(), zoomFactor_,
                                           model_->proposedArrival(model_->doc().currentPoint)));
    delay = point->delay;
  }
  QPainter painter(&panel_);
  PaintWaveformPanel(painter, size, pic, delay);
  panelValid_ = true;
}

void CAnalysisView::paintEvent(QPaintEvent*) {
  const WaveformViewGeometry g = geometryNow();
  if (!panelValid_) renderPanel();
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawPixmap(g.panel.x, g.panel.y, panel_);
  const std::optional<StripReadings> readings = stripReadings();
  labelRect_ = PaintReadingStrip(painter, QRect(g.strip.x, g.strip.y, g.strip.width, g.strip.height),
                                 readings ? &*readings : nullptr);
  if (cursorShown_) {
    painter.setPen(QPen(QColor(0, 255, 0), 1));
    painter.drawLine(g.panel.x + cursorX_, g.panel.y, g.panel.x + cursorX_, g.panel.y + g.panel.height - 1);
  }
  // The keyboard is here: the panel is framed.
  if (hasFocus())
    PaintKeyboardFrame(painter, QRectF(g.panel.x, g.panel.y, g.panel.width, g.panel.height), palette());
}

void CAnalysisView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void CAnalysisView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void CAnalysisView::keyPressEvent(QKeyEvent* event) {
  CKorvaneDoc& doc = model_->doc();
  const TestZone* zone = nullptr;
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&zone, &member);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      if (point == nullptr) break;
      const int sample =
          std::clamp(point->arrivalIndex + ArrivalKeyStep(*event), 0, std::max(member->sampleCount - 1, 0));
      const ZoneRef at = model_->current();
      const int shown = doc.currentPoint;
      model_->edit(edit_name::kPick, [=](CKorvaneDoc& d) {
        return PickArrival(d, at, shown, sample, PickPanel::WaveformView);
      });
      refresh();
      return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (zone == nullptr) break;
      const std::optional<int> next =
          StepToPointWithSamples(*zone, doc.currentPoint, event->key() == Qt::Key_Down ? 1 : -1);
      if (next) {
        model_->selectPoint(*next);
        refresh();
      }
      return;
    }
    case Qt::Key_Plus:
    case Qt::Key_Equal: slider_->setValue(slider_->value() - slider_->singleStep()); return;
    case Qt::Key_Minus: slider_->setValue(slider_->value() + slider_->singleStep()); return;
    default: break;
  }
  QWidget::keyPressEvent(event);
}

void CAnalysisView::resizeEvent(QResizeEvent*) {
  const WaveformViewGeometry g = geometryNow();
  slider_->setGeometry(g.slider.x, g.slider.y, g.slider.width, g.slider.height);
  grid_->setGeometry(g.grid.x, g.grid.y, g.grid.width, g.grid.height);
  cursorShown_ = false;
  panelValid_ = false;
  // Column widths follow the view's width.
  rebuildGrid();
}

void CAnalysisView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void CAnalysisView::clearCursor() {
  if (!cursorShown_ && !readout_) return;
  cursorShown_ = false;
  readout_.reset();
  update();
}

void CAnalysisView::mouseMoveEvent(QMouseEvent* event) {
  const ViewRect panel = geometryNow().panel;
  const QPoint pos = event->position().toPoint();
  const TestZone* zone = nullptr;
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&zone, &member);
  const int x = pos.x() - panel.x;
  if (point == nullptr || !panel.contains(pos.x(), pos.y()) || !PanelReadoutColumn(x, panel.width)) {
    clearCursor();
    return;
  }
  const float sx = PanelTimeScale(panel.width, member->sampleCount, member->sampleInterval);
  const int sample =
      std::max(PanelSampleAtX(x, sx, point->delay, member->sampleInterval, member->sampleCount, 0), 1);
  const PointReading reading = PointReadout(*point, *member, sample);
  StripReadings r;
  r.gain = point->gain;
  r.time = reading.time;
  r.amplitudeMv = reading.amplitudeMv;
  r.velocity = reading.velocity;
  r.pointNumber = model_->doc().currentPoint + 1;
  readout_ = r;
  cursorX_ = x;
  cursorShown_ = true;
  update();
}

void CAnalysisView::leaveEvent(QEvent*) { clearCursor(); }

void CAnalysisView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !model_->hasFile()) return;
  const QPoint pos = event->position().toPoint();
  CKorvaneDoc& doc = model_->doc();
  if (labelRect_.width() > 1 && labelRect_.contains(pos)) {
    model_->selectPoint(NextPointOnLabelClick(doc.currentPoint, doc.GetCurrentZone()));
    refresh();
    return;
  }
  const ViewRect panel = geometryNow().panel;
  if (!panel.contains(pos.x(), pos.y())) return;
  const TestZone* zone = nullptr;
  const Member* member = nullptr;
  const MeasuringPoint* point = shownPoint(&zone, &member);
  if (point == nullptr) return;
  const float sx = PanelTimeScale(panel.width, member->sampleCount, member->sampleInterval);
  const int sample = PanelSampleAtX(pos.x() - panel.x, sx, point->delay, member->sampleInterval,
                                    member->sampleCount, point->arrivalIndex);
  const ZoneRef at = model_->current();
  const int shown = doc.currentPoint;
  model_->edit(edit_name::kPick,
               [=](CKorvaneDoc& d) { return PickArrival(d, at, shown, sample, PickPanel::WaveformView); });
  refresh();
}

void CAnalysisView::onDistanceEdited(int row, int column) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const auto cell =
      ZoneGridDistanceCell(ZoneGridPointColumns(doc, member), doc.ZoneCount(member), row, column);
  if (!cell) return;
  const MeasuringPoint* stored = doc.Zone(member, cell->zone)->point(cell->point);
  const DistanceEntry entry = ZoneGridDistanceEntry(grid_->itemText(row, column).toStdString(),
                                                    stored != nullptr ? stored->distance : 0.0f);
  const ZoneRef at{member, cell->zone};
  const int point = cell->point;
  if (entry.distance) {
    const float distance = *entry.distance;
    model_->edit(edit_name::kDistance,
                 [=](CKorvaneDoc& d) { return SetZoneGridDistance(d, at, point, distance); });
  }
  // The cell shows the stored value, also when the edit changed nothing or
  // the text was refused.
  rebuildGrid();
  if (!entry.message.empty()) prompter_->message(this, FromUtf8(entry.message));
}

void CAnalysisView::onRowSelected(int row, int /*flag*/) {
  // A zone row chosen in the grid becomes the current zone, whose waveform
  // the panel shows.
  CKorvaneDoc& doc = model_->doc();
  if (row < 1 || row > doc.ZoneCount(doc.currentMember) || row - 1 == doc.currentZone) return;
  model_->selectZone(row - 1);
}

void CAnalysisView::onColumnFocused(int column, int flag) {
  if (flag != 0) return;
  const std::optional<int> point = ZoneGridPointOfColumn(grid_->columnCount(), column);
  CKorvaneDoc& doc = model_->doc();
  const TestZone* zone = doc.GetCurrentZone();
  if (!point || zone == nullptr || *point >= zone->usedPointSlots() || *point == doc.currentPoint) return;
  model_->selectPoint(*point);
  refresh();
}

}  // namespace korvane::gui
