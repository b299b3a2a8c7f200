#include "core/wave/waveform_view_layout.h"

#include <algorithm>

#include "core/data/records.h"
#include "core/data/text_format.h"

namespace korvane {

WaveformViewGeometry WaveformViewLayout(int width, int height) {
  const int w = std::max(width, 0);
  const int h = std::max(height, 0);
  const int left = std::max(w - kZoomSliderWidth, 0);
  const int half = h / 2;
  WaveformViewGeometry g;
  g.strip = {0, 0, left, std::min(kReadingStripHeight, h)};
  g.panel = {0, kReadingStripHeight, left, std::max(half - kReadingStripHeight, 0)};
  g.slider = {left, kReadingStripHeight, w - left, std::max(half - kReadingStripHeight, 0)};
  g.grid = {0, half, w, h - half};
  return g;
}

int ReadingStripFontHeight(int stripHeight) { return stripHeight / 4 > 13 ? stripHeight / 4 : 14; }

ReadingStripTexts ReadingStripTextsOf(const StripReadings& r, int stripWidth) {
  const int w5 = std::max(stripWidth, 0) / 5;
  ReadingStripTexts t;
  t.gain = "Amp: " + FormatFixed(r.gain, 0);
  t.time = "T: " + FormatFixed(r.time, 2);
  t.amplitude = "A: " + FormatFixed(r.amplitudeMv, 2) + "mv";
  t.velocity = "V: " + FormatFixed(r.velocity, 3) + "km/s";
  t.pointLabel = "当前测点: " + FormatInt(r.pointNumber);
  t.timeX = w5;
  t.amplitudeX = 2 * w5;
  t.velocityX = 3 * w5;
  t.labelX = 4 * w5;
  return t;
}

ViewRect PointLabelRect(int stripWidth, int textWidth, int textHeight) {
  const int w5 = std::max(stripWidth, 0) / 5;
  return {4 * w5, 1, static_cast<int>(1.1 * textWidth), static_cast<int>(1.1 * textHeight)};
}

bool StoredStripReadings(const TestZone& zone, int point, StripReadings& out) {
  if (point < 0 || point >= zone.usedPointSlots()) return false;
  const MeasuringPoint* p = zone.point(point);
  if (p == nullptr || !p->hasSamples()) return false;
  const auto i = static_cast<std::size_t>(point);
  out.gain = p->gain;
  out.time = zone.pointTime[i];
  out.amplitudeMv = zone.pointAmplitude[i] * 1000.0f;
  out.velocity = zone.pointVelocity[i];
  out.pointNumber = point + 1;
  return true;
}

int NextPointOnLabelClick(int currentPoint, const TestZone* zone) {
  const int n = zone != nullptr ? std::max(zone->usedPointSlots(), 1) : 3;
  return ((std::max(currentPoint, 0) + 1) % n);
}

std::optional<int> StepToPointWithSamples(const TestZone& zone, int from, int step) {
  const int used = zone.usedPointSlots();
  for (int k = 1; k <= used; ++k) {
    const int slot = ((from + k * step) % used + used) % used;
    if (slot == from) break;
    const MeasuringPoint* p = zone.point(slot);
    if (p != nullptr && p->hasSamples()) return slot;
  }
  return std::nullopt;
}

}  // namespace korvane
