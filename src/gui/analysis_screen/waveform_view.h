// The upper pane of the analysis screen: the waveform of the current point
// of the current zone with its reading strip, the amplitude-zoom slider, and
// below them the zone grid of the current member (L and T of each point, V,
// Va and fcu,i of each zone). Moving the mouse over the waveform reads it,
// a click moves the point's first arrival (not its amplitude sample), a
// click on the point label shows the next point, and the L cells edit the
// point distances. From the keyboard: Left and Right move the first arrival
// by one sample (Shift: ten), Up and Down show the previous and the next
// point, + and - zoom. Every change goes through the editing layer.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <optional>

#include "core/wave/waveform_axes.h"
#include "core/wave/waveform_view_layout.h"

class QSlider;

namespace korvane {
struct MeasuringPoint;
struct Member;
struct TestZone;
}  // namespace korvane

namespace korvane::gui {

class Prompter;

class CGridCtrl;
class DocumentModel;

class CAnalysisView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSliderPosition = 80;

  CAnalysisView(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  CGridCtrl* zoneGrid() const { return grid_; }
  QSlider* zoomSlider() const { return slider_; }
  float zoomFactor() const { return zoomFactor_; }
  WaveformViewGeometry geometryNow() const { return WaveformViewLayout(width(), height()); }
  // Where the point label was last drawn (empty before the first paint).
  QRect pointLabelRect() const { return labelRect_; }
  // The readings the strip shows now (the cursor readout while the mouse is
  // over the waveform); nullopt when it shows none.
  std::optional<StripReadings> stripReadings() const;
  bool cursorShown() const { return cursorShown_; }

  // Rebuilds the zone grid from the document and repaints.
  void refresh();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The current point with its zone and member, or null when it has no
  // samples.
  const MeasuringPoint* shownPoint(const TestZone** zone, const Member** member) const;
  void renderPanel();
  void rebuildGrid();
  void onDistanceEdited(int row, int column);
  void onRowSelected(int row, int flag);
  void onColumnFocused(int column, int flag);
  void clearCursor();

  DocumentModel* model_;
  Prompter* prompter_;
  QSlider* slider_;
  CGridCtrl* grid_;
  float zoomFactor_ = 1.0f;
  QPixmap panel_;
  bool panelValid_ = false;
  QRect labelRect_;
  bool cursorShown_ = false;
  int cursorX_ = 0;
  std::optional<StripReadings> readout_;
};

// Draws the waveform panel of one point over an area of `size` (panel-local
// coordinates): the frame, and when `picture` has a trace, the time axis with
// "T (us)", the delay label and the ticks, the amplitude axis with "A (mv)"
// and its ticks, the trace and the red first-arrival mark.
void PaintWaveformPanel(QPainter& painter, const QSize& size, const PanelPicture& picture, float delay);

// Draws the reading strip into `rect`: white with a frame, and when
// `readings` is given its texts and the point label overlaid with blue.
// Returns the label's clickable rectangle (empty without readings).
QRect PaintReadingStrip(QPainter& painter, const QRect& rect, const StripReadings* readings);

}  // namespace korvane::gui
