#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "core/app/frame_layout.h"
#include "core/wave/waveform_axes.h"

namespace korvane {
namespace {

TEST(NiceAxis, RoundsToOneSignificantStep) {
  struct Case {
    float x;
    bool up;
    int value;
    int step;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {57.0f, false, 50, 10},
      {100.0f, false, 100, 100},
      {512.0f, true, 600, 100},
      {5700.0f, false, 5000, 1000},
      {57000.0f, false, 57000, 1000},
      {9.5f, false, 9, 1},
      {1000.0f, false, 1000, 100},
      {1.0f, false, 1, 1},
      {0.3f, true, 1, 1},
      {-40.0f, false, 1, 1},
      {inf, true, 1, 1},
      {std::nanf(""), false, 1, 1},
      {1e12f, false, 1000000000, 1000000000},
  };
  for (const Case& c : cases) {
    const NiceAxis axis = c.up ? NiceAxisUp(c.x) : NiceAxisDown(c.x);
    EXPECT_EQ(axis.value, c.value) << c.x << (c.up ? " up" : " down");
    EXPECT_EQ(axis.step, c.step) << c.x << (c.up ? " up" : " down");
  }
}

TEST(ZoomFactorForSlider, FollowsTheSliderTable) {
  const std::pair<int, float> cases[] = {
      {0, 12.5f},          {4, 12.0f},   {5, 9.5f},           {9, 9.1f},    {10, 7.5f},
      {39, 61.0f / 12.0f}, {40, 4.0f},   {69, 31.0f / 15.0f}, {70, 1.5f},   {80, 1.0f},
      {99, 0.05f},         {100, 0.01f}, {-3, 12.5f},         {130, 0.01f},
  };
  for (const auto& [position, zoom] : cases) EXPECT_FLOAT_EQ(ZoomFactorForSlider(position), zoom) << position;
}

// 512 samples at 1 us over a 549-pixel area: one pixel per microsecond.
PanelInput UnitScaleInput(const std::vector<std::uint16_t>& samples, int height) {
  PanelInput in;
  in.areaWidth = 549;
  in.height = height;
  in.sampleCount = static_cast<int>(samples.size());
  in.sampleInterval = 1.0f;
  in.delay = 0.0f;
  in.gain = 1.0f;
  in.arrivalIndex = 100;
  in.samples = samples;
  return in;
}

TEST(PanelPicture, AxesTicksTraceAndArrival) {
  std::vector<std::uint16_t> samples(512, 2048);
  samples[200] = 3072;
  samples[201] = 1024;
  PanelInput in = UnitScaleInput(samples, 210);
  const PanelPicture pic = ComputePanelPicture(in);

  EXPECT_FLOAT_EQ(pic.sx, 1.0f);
  EXPECT_EQ(pic.timeAxis.value, 600);
  EXPECT_EQ(pic.timeAxis.step, 100);
  std::vector<std::pair<int, int>> time;
  for (const PanelTick& t : pic.timeTicks) time.emplace_back(t.pos, t.value);
  EXPECT_EQ(time,
            (std::vector<std::pair<int, int>>{{115, 100}, {215, 200}, {315, 300}, {415, 400}, {515, 500}}));

  // Peak code 3072 at gain 1, zoom 1: 1000 mV full scale, ticks at +-1000 and +-500.
  EXPECT_FLOAT_EQ(pic.fullScale, 1000.0f);
  EXPECT_EQ(pic.amplitudeAxis.value, 1000);
  EXPECT_FLOAT_EQ(pic.sy, 10.0f);
  std::vector<std::pair<int, int>> amp;
  for (const PanelTick& t : pic.amplitudeTicks) amp.emplace_back(t.pos, t.value);
  EXPECT_EQ(amp, (std::vector<std::pair<int, int>>{{5, 1000}, {205, -1000}, {55, 500}, {155, -500}}));

  // The largest code stands (H - 10) / 2 above the axis row.
  EXPECT_EQ(pic.axisY, 105);
  auto at = [&](int x) {
    std::vector<int> ys;
    for (const PanelPoint& p : pic.trace) {
      if (p.x == x) ys.push_back(p.y);
    }
    return ys;
  };
  EXPECT_EQ(at(215), std::vector<int>{5});
  EXPECT_EQ(at(216), std::vector<int>{205});
  EXPECT_EQ(at(15), std::vector<int>({105}));
  EXPECT_TRUE(pic.hasArrival);
  EXPECT_EQ(pic.arrivalX, 115);
  EXPECT_FALSE(pic.hasProposal);
  // A suggested arrival stands where a stored one at that sample would.
  in.proposedIndex = 230;
  const PanelPicture suggested = ComputePanelPicture(in);
  EXPECT_TRUE(suggested.hasProposal);
  EXPECT_EQ(suggested.proposalX, 245);
  EXPECT_EQ(suggested.arrivalX, 115);
}

TEST(PanelPicture, GainZoomAndDegenerateWaveforms) {
  std::vector<std::uint16_t> samples(512, 2048);
  samples[10] = 3072;
  PanelInput in = UnitScaleInput(samples, 210);
  in.gain = 4.0f;
  in.zoom = ZoomFactorForSlider(100);  // 0.01
  PanelPicture pic = ComputePanelPicture(in);
  EXPECT_FLOAT_EQ(pic.fullScale, 25000.0f);
  EXPECT_EQ(pic.amplitudeAxis.value, 25000);
  // At zoom 0.01 the trace hardly leaves the axis.
  const auto peak =
      std::find_if(pic.trace.begin(), pic.trace.end(), [](const PanelPoint& p) { return p.x == 25; });
  ASSERT_NE(peak, pic.trace.end());
  EXPECT_EQ(peak->y, 104);

  in.gain = 0.0f;  // not positive: the scale ignores it
  in.zoom = 1.0f;
  EXPECT_FLOAT_EQ(ComputePanelPicture(in).fullScale, 1000.0f);

  // Flat waveform: trace on the axis, no amplitude labels, no crash.
  std::vector<std::uint16_t> flat(512, 2048);
  pic = ComputePanelPicture(UnitScaleInput(flat, 210));
  EXPECT_TRUE(pic.amplitudeTicks.empty());
  for (const PanelPoint& p : pic.trace) EXPECT_EQ(p.y, 105);

  // Only negative excursions: scaled by the largest one, not mirrored.
  std::vector<std::uint16_t> low(512, 2048);
  low[50] = 1024;
  pic = ComputePanelPicture(UnitScaleInput(low, 210));
  bool found = false;
  for (const PanelPoint& p : pic.trace) {
    if (p.x == 65) {
      EXPECT_EQ(p.y, 205);
      found = true;
    }
  }
  EXPECT_TRUE(found);

  // No samples or no room: frame only.
  EXPECT_TRUE(ComputePanelPicture(UnitScaleInput({}, 210)).trace.empty());
  EXPECT_TRUE(ComputePanelPicture(UnitScaleInput(samples, 8)).trace.empty());
}

TEST(PanelPicture, DecimatedTraceCoversTheSamePixels) {
  std::vector<std::uint16_t> samples(8192);
  for (std::size_t k = 0; k < samples.size(); ++k) {
    samples[k] = static_cast<std::uint16_t>(2048 + 1500 * std::sin(static_cast<double>(k) * 0.37) *
                                                       std::exp(-static_cast<double>(k) / 3000.0));
  }
  PanelInput in = UnitScaleInput(samples, 300);
  in.areaWidth = 237;  // 200 columns for 8192 samples
  in.sampleInterval = 0.5f;
  const PanelPicture pic = ComputePanelPicture(in);
  EXPECT_LE(pic.trace.size(), 4u * 201u + 1u);

  // Every column spans the same rows as the undecimated polyline, and the
  // trace ends where the last sample lies.
  const float q = 290.0f / static_cast<float>(2 * MaxCode(samples) - 4096);
  std::map<int, std::pair<int, int>> full;
  std::map<int, std::pair<int, int>> drawn;
  auto extend = [](std::map<int, std::pair<int, int>>& m, int x, int y) {
    auto [it, fresh] = m.try_emplace(x, y, y);
    if (!fresh) it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
  };
  int lastX = 0;
  int lastY = 0;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    int y = static_cast<int>(q * static_cast<float>(2048 - samples[k]) + 150.0f);
    if (y < 1) y = 0;
    lastX = static_cast<int>(0.5f * static_cast<float>(k) * pic.sx + 15.0f);
    lastY = y;
    extend(full, lastX, y);
  }
  for (std::size_t i = 1; i < pic.trace.size(); ++i) extend(drawn, pic.trace[i].x, pic.trace[i].y);
  EXPECT_EQ(drawn, full);
  EXPECT_EQ(pic.trace.back().x, lastX);
  EXPECT_EQ(pic.trace.back().y, lastY);
}

TEST(PanelMapping, ClickAndReadoutColumns) {
  // sx = 1 pixel per us, interval 1 us, delay 0.
  EXPECT_EQ(PanelSampleAtX(115, 1.0f, 0.0f, 1.0f, 512, -1), 100);
  EXPECT_EQ(PanelSampleAtX(5, 1.0f, 0.0f, 1.0f, 512, -1), 0);  // left of the axis: sample 0
  EXPECT_EQ(PanelSampleAtX(115, 2.0f, 0.0f, 1.0f, 512, -1), 50);
  // Halfway between two samples goes to the later one.
  EXPECT_EQ(PanelSampleAtX(116, 2.0f, 0.0f, 1.0f, 512, -1), 51);
  EXPECT_EQ(PanelSampleAtX(115, 0.0f, 0.0f, 1.0f, 512, 7), 7);
  EXPECT_FLOAT_EQ(PanelTimeScale(549, 512, 1.0f), 1.0f);
  EXPECT_FLOAT_EQ(PanelTimeScale(549, 0, 1.0f), 0.0f);
  EXPECT_EQ(PanelArrivalX(0.5f, 3, 1.0f), 17);

  const int width = 300;
  EXPECT_FALSE(PanelReadoutColumn(14, width));
  EXPECT_TRUE(PanelReadoutColumn(15, width));
  EXPECT_TRUE(PanelReadoutColumn(294, width));
  EXPECT_FALSE(PanelReadoutColumn(295, width));
}

TEST(FrameLayout, FixedSplitters) {
  EXPECT_EQ(FixedColumnSplit(1200, 230).right, 230);
  EXPECT_EQ(FixedColumnSplit(1200, 230).left, 970);
  EXPECT_EQ(FixedColumnSplit(600, 230).right, 200);  // a third of a narrow window
  EXPECT_EQ(FixedColumnSplit(290, 230).right, 0);    // below the minimum of 100
  EXPECT_EQ(FixedColumnSplit(290, 230).left, 290);
  EXPECT_EQ(FixedColumnSplit(-5, 230).left, 0);
  EXPECT_EQ(FixedRowSplit(900).top, 600);
  EXPECT_EQ(FixedRowSplit(100).top, 66);
  EXPECT_EQ(FixedRowSplit(100).bottom, 33);
}

}  // namespace
}  // namespace korvane
