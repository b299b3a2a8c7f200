#include "core/wave/waveform_axes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/wave/point_readings.h"

namespace korvane {
namespace {

// Truncation toward zero that never overflows: NaN gives 0, values beyond
// the int range give its ends. Pixel positions of absurd scales stay drawable.
int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// Shared part of NiceAxisDown/Up: the reduced mantissa m and the step s.
struct Reduced {
  float mantissa = 1.0f;
  int step = 1;
  bool trivial = true;  // x <= 1 (or not a number)
};

Reduced Reduce(float x) {
  Reduced r;
  if (!(x > 1.0f) || !std::isfinite(x)) return r;
  // Steps stay within int: the mantissa keeps at most three digits and the
  // step is a power of 1000 not above 1e9.
  float m = std::min(x, 1e9f);
  int s = 1;
  if (m > 1.0f && m <= 100.0f) {
    while (m >= 10.0f) {
      m = m / 10.0f;
      s = s * 10;
    }
  }
  if (m > 100.0f && m <= 1000.0f) {
    while (m >= 100.0f) {
      m = m / 100.0f;
      s = s * 100;
    }
  }
  if (m > 1000.0f) {
    while (m >= 1000.0f) {
      m = m / 1000.0f;
      s = s * 1000;
    }
  }
  r.mantissa = m;
  r.step = s;
  r.trivial = false;
  return r;
}

}  // namespace

NiceAxis NiceAxisDown(float x) {
  const Reduced r = Reduce(x);
  if (r.trivial) return {};
  return {static_cast<int>(r.mantissa) * r.step, r.step};
}

NiceAxis NiceAxisUp(float x) {
  const Reduced r = Reduce(x);
  if (r.trivial) return {};
  return {(static_cast<int>(r.mantissa) + 1) * r.step, r.step};
}

float ZoomFactorForSlider(int position) {
  const int p = std::clamp(position, 0, 100);
  const float rest = static_cast<float>(100 - p);
  if (p == 100) return 0.01f;
  if (p >= 70) return rest / 20.0f;
  if (p >= 40) return rest / 15.0f;
  if (p >= 10) return rest / 12.0f;
  if (p >= 5) return rest / 10.0f;
  return rest * 0.125f;
}

float PanelTimeScale(int areaWidth, int sampleCount, float sampleInterval) {
  const float span = static_cast<float>(sampleCount) * sampleInterval;
  if (!(span > 0.0f) || !std::isfinite(span)) return 0.0f;
  return static_cast<float>(areaWidth - 37) / span;
}

bool PanelReadoutColumn(int x, int areaWidth) {
  return x >= kPanelLeftMargin && x < areaWidth - kPanelRightMargin;
}

int PanelSampleAtX(int x, float sx, float delay, float interval, int count, int unchanged) {
  if (sx == 0.0f) return unchanged;
  const float t = delay + static_cast<float>(x - kPanelLeftMargin) / sx;
  return NearestSample(t, delay, interval, count, unchanged);
}

int PanelArrivalX(float interval, int arrivalIndex, float sx) {
  return TruncToInt(interval * static_cast<float>(arrivalIndex) * sx + 0.5f) + kPanelLeftMargin;
}

int MaxCode(std::span<const std::uint16_t> samples) {
  if (samples.empty()) return 0;
  return *std::max_element(samples.begin(), samples.end());
}

namespace {

void AddTimeTicks(const PanelInput& in, PanelPicture& pic) {
  const float end = in.sampleInterval * static_cast<float>(in.sampleCount) + in.delay;
  pic.timeAxis = NiceAxisUp(end);
  const int step = pic.timeAxis.step;
  const int count = pic.timeAxis.value / step;
  const int first = TruncToInt(in.delay / static_cast<float>(step)) + 1;
  // A negative delay brings ticks at and below zero into view; `count`
  // bounds the loop.
  for (int i = std::max(first, -count); i < count; ++i) {
    const int value = step * i;
    const int x = TruncToInt((static_cast<float>(value) - in.delay) * pic.sx);
    pic.timeTicks.push_back({x + kPanelLeftMargin, value, true});
  }
}

void AddAmplitudeTicks(const PanelInput& in, PanelPicture& pic) {
  // Without a positive scale there is no sensible place for the labels.
  if (!(pic.sy > 0.0f) || !std::isfinite(pic.sy)) return;
  const int half = in.height / 2;
  const int a = pic.amplitudeAxis.value;
  const int top = TruncToInt(static_cast<float>(half) - static_cast<float>(a) / pic.sy);
  if (top <= 0) return;
  // The half-scale tick stands at the whole-number half of the axis value.
  const float halfTop =
      static_cast<float>(half) - static_cast<float>(a / 2) / pic.sy;  // NOLINT(bugprone-integer-division)
  const PanelTick ticks[] = {
      {top, a, a != 0},
      {in.height - top, -a, a != 0},
      {TruncToInt(halfTop), a / 2, a / 2 != 0},
      {TruncToInt(static_cast<float>(in.height) - halfTop), -(a / 2), a / 2 != 0},
  };
  pic.amplitudeTicks.assign(std::begin(ticks), std::end(ticks));
}

// Pixels per code of the trace: the largest code lies (H - 10) / 2 pixels
// from the axis at zoom 1.
float TraceScale(std::span<const std::uint16_t> samples, int maxCode, int height) {
  const float rows = static_cast<float>(height - 10);
  const int positive = 2 * maxCode - 2 * kZeroCode;
  if (positive > 0) return rows / static_cast<float>(positive);
  int excursion = 0;
  for (const std::uint16_t code : samples) excursion = std::max(excursion, std::abs(code - kZeroCode));
  return excursion > 0 ? rows / static_cast<float>(2 * excursion) : 0.0f;
}

// Appends one pixel column of the trace: first, lowest, highest and last
// point cover every pixel the full polyline would draw in that column.
void FlushColumn(std::vector<PanelPoint>& out, int x, int first, int low, int high, int last, int n) {
  auto add = [&](int y) {
    if (!out.empty() && out.back().x == x && out.back().y == y) return;
    out.push_back({x, y});
  };
  add(first);
  if (n > 2) {
    add(first <= last ? low : high);
    add(first <= last ? high : low);
  }
  add(last);
}

void AddTrace(const PanelInput& in, PanelPicture& pic) {
  const std::size_t n = std::min(in.samples.size(), static_cast<std::size_t>(std::max(in.sampleCount, 0)));
  const float q = TraceScale(in.samples.first(n), pic.maxCode, in.height);
  float zoom = in.zoom;
  if (std::fabs(zoom) < 0.0001f) zoom = 0.01f;
  const int centre = (in.height - 10) / 2 + 5;
  pic.trace.reserve(std::min<std::size_t>(n, static_cast<std::size_t>(std::max(in.areaWidth, 0)) * 4) + 1);
  pic.trace.push_back({kPanelLeftMargin, pic.axisY});
  int columnX = 0;
  int first = 0;
  int low = 0;
  int high = 0;
  int last = 0;
  int inColumn = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const int code = in.samples[k];
    int y = TruncToInt(q * static_cast<float>(kZeroCode - code) * zoom + static_cast<float>(centre));
    if (y < 1) y = 0;
    if (y >= in.height) y = in.height - 1;
    const int x =
        TruncToInt(in.sampleInterval * static_cast<float>(k) * pic.sx + static_cast<float>(kPanelLeftMargin));
    if (inColumn > 0 && x == columnX) {
      low = std::min(low, y);
      high = std::max(high, y);
      last = y;
      ++inColumn;
      continue;
    }
    if (inColumn > 0) FlushColumn(pic.trace, columnX, first, low, high, last, inColumn);
    columnX = x;
    first = low = high = last = y;
    inColumn = 1;
  }
  if (inColumn > 0) FlushColumn(pic.trace, columnX, first, low, high, last, inColumn);
}

}  // namespace

PanelPicture ComputePanelPicture(const PanelInput& in) {
  PanelPicture pic;
  pic.axisY = in.height / 2;
  if (in.samples.empty() || in.areaWidth <= 0 || in.height <= 10) return pic;
  pic.sx = PanelTimeScale(in.areaWidth, in.sampleCount, in.sampleInterval);
  pic.maxCode = MaxCode(in.samples);

  float zoom = in.zoom;
  if (std::fabs(zoom) < 0.0001f) zoom = 0.01f;
  const int peak = ((pic.maxCode - kZeroCode) * 2000) / 2048;  // mV, truncated
  const bool usableGain = in.gain > 0.0001f;
  pic.fullScale = usableGain ? static_cast<float>(peak) / in.gain / zoom : static_cast<float>(peak) / zoom;
  pic.amplitudeAxis = NiceAxisDown(pic.fullScale);
  pic.sy = 2.0f * pic.fullScale / static_cast<float>(in.height - 10);

  AddTimeTicks(in, pic);
  AddAmplitudeTicks(in, pic);
  AddTrace(in, pic);
  if (in.arrivalIndex >= 0) {
    pic.hasArrival = true;
    pic.arrivalX = PanelArrivalX(in.sampleInterval, in.arrivalIndex, pic.sx);
  }
  if (in.proposedIndex >= 0) {
    pic.hasProposal = true;
    pic.proposalX = PanelArrivalX(in.sampleInterval, in.proposedIndex, pic.sx);
  }
  return pic;
}

PanelInput PanelInputOf(const Member& member, const MeasuringPoint& point, int areaWidth, int height,
                        float zoom, int proposedIndex) {
  PanelInput in;
  in.areaWidth = areaWidth;
  in.height = height;
  in.sampleCount = member.sampleCount;
  in.sampleInterval = member.sampleInterval;
  in.delay = point.delay;
  in.gain = point.gain;
  in.arrivalIndex = point.arrivalIndex;
  in.proposedIndex = proposedIndex;
  in.zoom = zoom;
  in.samples = point.samples;
  return in;
}

}  // namespace korvane
