// Waveform panel of one measuring point on the main screen: axes, ticks, the
// trace, the red first-arrival mark, a green cursor line that follows the
// mouse (with the readout sent to the right-hand form) and the amplitude-zoom
// slider in the right-hand strip. A left click moves the point's first
// arrival and amplitude sample to the sample under the mouse.
//
// The panel takes the keyboard focus (Tab, F6, a click) and is then framed
// in the highlight colour: Left and Right move the first arrival by one
// sample (Shift: ten), one pick each as a click is; Up and Down ask for the
// previous or next point's panel (stepRequested); + and − zoom.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "core/wave/waveform_axes.h"

class QKeyEvent;
class QPalette;
class QSlider;

namespace korvane {
struct MeasuringPoint;
struct Member;
}  // namespace korvane

namespace korvane::gui {

class DocumentModel;

class CNodeCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSliderWidth = 25;
  static constexpr int kSliderPosition = 80;

  // `slot` 0..6 is the point this panel shows; -1 shows nothing.
  CNodeCtrl(DocumentModel* model, int slot, QWidget* parent = nullptr);

  int pointSlot() const { return slot_; }
  float zoomFactor() const { return zoomFactor_; }
  QSlider* zoomSlider() const { return slider_; }
  // Width of the waveform area (the client width without the slider strip).
  int areaWidth() const { return width() - kSliderWidth; }
  // Throws away the cached picture and repaints.
  void redrawWaveform();
  // Whether the green cursor line is shown, and where.
  bool cursorShown() const { return cursorShown_; }
  int cursorX() const { return cursorX_; }
  // Removes the cursor line (the mouse left, the view scrolled, the panel
  // was resized or zoomed); its readout goes with it (cursorCleared).
  void clearCursor();

 signals:
  // Up (-1) or Down (+1) pressed on the panel of `slot`.
  void stepRequested(int slot, int step);
  // Readout of the sample under the mouse: T (us), A (mV), V (km/s).
  void cursorReadout(int slot, float time, float amplitudeMv, float velocity);
  // The cursor line is gone: the point's stored readings apply again.
  void cursorCleared(int slot);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The point shown with its member, or nulls when there is nothing to show.
  const MeasuringPoint* shownPoint(const Member** member) const;
  void renderPicture();
  void moveCursorLine(int x);

  DocumentModel* model_;
  int slot_;
  QSlider* slider_;
  float zoomFactor_ = 1.0f;
  QPixmap picture_;
  bool pictureValid_ = false;
  bool cursorShown_ = false;
  int cursorX_ = 0;
};

// Pieces shared by the main screen's point panels and the analysis screen's
// waveform view (both draw one PanelPicture).
// A text placed by its top-left corner, as GDI places it.
void TextAt(QPainter& painter, int x, int y, const QString& text);
// The zoom slider beside a panel: 0…100, ticks every 10, the largest zoom
// (position 0) at the top, starting at CNodeCtrl::kSliderPosition.
void SetUpZoomSlider(QSlider* slider);
// White background and frame over `size`; false when `picture` has no trace
// (nothing more to draw), else the panel font is set.
bool PaintPanelFrame(QPainter& painter, const QSize& size, const PanelPicture& picture);
// Time axis (its label "T (us)" with its top-left at `timeLabel`, the delay
// `delay` µs at its left end, the ticks), amplitude axis with "A (mv)" and
// its ticks, and the trace.
void PaintPanelAxesAndTrace(QPainter& painter, const QSize& size, const PanelPicture& picture, float delay,
                            const QPoint& timeLabel);
// The frame that shows where the keyboard is: `area` outlined in the
// highlight colour of `palette`.
void PaintKeyboardFrame(QPainter& painter, const QRectF& area, const QPalette& palette);
// The samples Left and Right move a first arrival by (Shift: ten), to the
// left negative; 0 for any other key.
int ArrivalKeyStep(const QKeyEvent& event);
// The red stored first-arrival line and the suggestion (PaintProposalMark).
void PaintArrivalMarks(QPainter& painter, const QSize& size, const PanelPicture& picture);

// Draws one point panel into `painter` over an area of `size`: the frame,
// and, when `picture` has a trace, the axes, labels, ticks, trace and the
// first-arrival mark. `slot` numbers the point label "测点%d" (slot + 1).
void PaintPointPanel(QPainter& painter, const QSize& size, const PanelPicture& picture, int slot, float gain,
                     float delay);
// Draws the suggested first arrival of `picture` (when it has one) over an
// area of `size`: a dashed blue line labelled "建议".
void PaintProposalMark(QPainter& painter, const QSize& size, const PanelPicture& picture);

}  // namespace korvane::gui
