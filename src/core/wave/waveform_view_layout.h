// The waveform view of the analysis screen: where its parts lie in a client
// area of W × H pixels, what its reading strip says, and how a click on the
// point label moves the current point. Painting and mouse handling only turn
// these numbers into pixels and edits; the panel's own picture (axes, ticks,
// trace, pick) is ComputePanelPicture of waveform_axes.h.
#pragma once

#include <optional>

#include <string>

namespace korvane {

struct TestZone;

struct ViewRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
  friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// Height of the reading strip and width of the zoom slider strip (pixels).
inline constexpr int kReadingStripHeight = 20;
inline constexpr int kZoomSliderWidth = 25;

// The four parts for a client area of w × h (negative sizes taken as 0):
//   strip:  x 0 … w − 25, y 0 … 20;
//   panel:  x 0 … w − 25, y 20 … h / 2;
//   slider: the 25 pixels at the right, y 20 … h / 2;
//   grid:   x 0 … w, y h / 2 … h.
// Parts that would have a negative size get size 0.
struct WaveformViewGeometry {
  ViewRect strip;
  ViewRect panel;
  ViewRect slider;
  ViewRect grid;
};
WaveformViewGeometry WaveformViewLayout(int width, int height);

// Pixel height of the strip's font: a quarter of the strip's height when that
// exceeds 13, else 14.
int ReadingStripFontHeight(int stripHeight);

// The readings a strip shows: the stored ones of the current point, or the
// readout under the mouse.
struct StripReadings {
  float gain = 0.0f;  // the point's gain as stored
  float time = 0.0f;  // us
  float amplitudeMv = 0.0f;
  float velocity = 0.0f;  // km/s
  int pointNumber = 1;    // 1-based
};

// Texts and x positions of the strip of width `stripWidth` (w5 = width / 5):
// "Amp: %.0f" at 15, "T: %.2f" at w5, "A: %.2fmv" at 2·w5, "V: %.3fkm/s" at
// 3·w5 and the label "当前测点: %d" from 4·w5.
struct ReadingStripTexts {
  std::string gain;
  std::string time;
  std::string amplitude;
  std::string velocity;
  std::string pointLabel;
  int gainX = 15;
  int timeX = 0;
  int amplitudeX = 0;
  int velocityX = 0;
  int labelX = 0;
};
ReadingStripTexts ReadingStripTextsOf(const StripReadings& readings, int stripWidth);

// The clickable rectangle of the point label for a label text extent of
// textWidth × textHeight: (4·w5, 1) with 1.1 times the extent (truncated).
ViewRect PointLabelRect(int stripWidth, int textWidth, int textHeight);

// The stored readings of point `point` of a zone (T = pointTime, A =
// pointAmplitude × 1000 mV, V = pointVelocity, gain of the point); false
// when the point has no samples (the strip then shows nothing).
bool StoredStripReadings(const TestZone& zone, int point, StripReadings& out);

// The point after a click on the label: (current + 1) mod n, n the zone's
// point count (its used point slots; 3 without a zone; at least 1).
int NextPointOnLabelClick(int currentPoint, const TestZone* zone);

// The zone's point with samples `step` places on from `from` (+1 the next,
// -1 the previous), going round the zone's used point slots and passing
// over points without samples; nullopt when no other point has samples.
// From -1 with step +1: the zone's first point with samples.
std::optional<int> StepToPointWithSamples(const TestZone& zone, int from, int step);

}  // namespace korvane
