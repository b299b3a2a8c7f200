// Geometry of the waveform pictures: nice axis numbers, the amplitude zoom of
// the slider, and everything a point waveform panel draws (scales, ticks,
// trace, first-arrival mark) as plain numbers, so the painting code only
// turns them into lines and texts.
//
// Coordinates are pixels of the panel's waveform area: x from 0 (left) to
// areaWidth, y from 0 (top) to height, y growing downwards. Times are in us,
// amplitudes in mV, codes are 12-bit converter codes (2048 = 0 V).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/data/records.h"

namespace korvane {

// A round axis end and its tick step.
struct NiceAxis {
  int value = 1;
  int step = 1;
};

// Largest round number not above x, and its step: x is divided by 10 while
// it is in (1, 100], by 100 in (100, 1000], by 1000 above, keeping the integer
// part. NiceAxisDown(57) = {50, 10}, NiceAxisDown(100) = {100, 100},
// NiceAxisDown(5700) = {5000, 1000}, NiceAxisDown(57000) = {57000, 1000}.
// x <= 1, NaN or infinity give {1, 1}; x above 1e9 is taken as 1e9.
NiceAxis NiceAxisDown(float x);
// As NiceAxisDown with the integer part raised by one: NiceAxisUp(512) =
// {600, 100}.
NiceAxis NiceAxisUp(float x);

// Amplitude zoom factor of slider position p (0..100, clamped): 100 gives
// 0.01, 70..99 (100-p)/20, 40..69 (100-p)/15, 10..39 (100-p)/12, 5..9
// (100-p)/10, 0..4 (100-p)*0.125. Position 80 gives 1.0, 0 gives 12.5.
float ZoomFactorForSlider(int position);

// The panel's left margin (time zero of the waveform, amplitude axis) and the
// strip at the right where no readout is taken.
inline constexpr int kPanelLeftMargin = 15;
inline constexpr int kPanelRightMargin = 5;

// Horizontal scale of a panel in pixels per us: (areaWidth - 37) /
// (sampleCount * sampleInterval). 0 when the time span is not positive.
float PanelTimeScale(int areaWidth, int sampleCount, float sampleInterval);

// Whether a mouse x gives a readout: kPanelLeftMargin <= x < areaWidth - 5.
bool PanelReadoutColumn(int x, int areaWidth);

// Sample picked by a mouse x: NearestSample of delay + (x - 15) / sx over
// `count` samples at `interval` (ties to the later sample); `unchanged` when
// sx is 0 or no sample lies within 1000 us. Not clamped to 1 here.
int PanelSampleAtX(int x, float sx, float delay, float interval, int count, int unchanged);

// x of the first-arrival mark: trunc(interval * arrivalIndex * sx + 0.5) + 15.
int PanelArrivalX(float interval, int arrivalIndex, float sx);

// Everything the panel draws for one point.
struct PanelInput {
  int areaWidth = 0;            // client width without the slider strip
  int height = 0;               // client height H
  int sampleCount = 0;          // member's samples per waveform
  float sampleInterval = 0.0f;  // member's dT, us
  float delay = 0.0f;           // point's delay, us
  float gain = 0.0f;            // point's gain as stored
  int arrivalIndex = -1;
  // A suggested first arrival shown beside the stored one; -1: none.
  int proposedIndex = -1;
  float zoom = 1.0f;                       // from the slider
  std::span<const std::uint16_t> samples;  // point's working samples
};

// The input of the panel of `point` (a point of a zone of `member`, with
// samples) for a panel of `areaWidth` × `height` pixels at amplitude zoom
// `zoom`; `proposedIndex` a suggested first arrival shown beside the stored
// one (-1: none). Both screens' panels are drawn from it.
PanelInput PanelInputOf(const Member& member, const MeasuringPoint& point, int areaWidth, int height,
                        float zoom, int proposedIndex);

struct PanelTick {
  int pos = 0;    // x of a time tick block, y of an amplitude tick block
  int value = 0;  // label value
  bool labelled = true;
};

struct PanelPoint {
  int x = 0;
  int y = 0;
};

struct PanelPicture {
  float sx = 0.0f;                        // pixels per us
  int maxCode = 0;                        // largest sample code
  float fullScale = 0.0f;                 // fs, mV at the panel's half height
  NiceAxis amplitudeAxis;                 // NiceAxisDown(fs)
  float sy = 0.0f;                        // mV per pixel
  NiceAxis timeAxis;                      // NiceAxisUp(delay + count * interval)
  int axisY = 0;                          // time axis row: height / 2
  std::vector<PanelTick> timeTicks;       // pos = x of the 1x8 block; label at pos - 14
  std::vector<PanelTick> amplitudeTicks;  // pos = y of the 8x1 block at x = 15
  std::vector<PanelPoint> trace;          // polyline from (15, axisY)
  bool hasArrival = false;
  int arrivalX = 0;
  // The suggested first arrival's mark, placed as the stored one's.
  bool hasProposal = false;
  int proposalX = 0;
};

// The picture of one point. With no samples or a non-positive size the
// picture is empty (frame only). When samples outnumber the pixel columns the
// trace keeps, per column, the first, lowest, highest and last point, which
// draws the same pixels as the full polyline at a bounded cost. A waveform
// without positive excursion is scaled by its largest excursion below zero;
// a flat one is drawn on the axis.
PanelPicture ComputePanelPicture(const PanelInput& input);

// Largest code of a span; 0 when it is empty.
int MaxCode(std::span<const std::uint16_t> samples);

}  // namespace korvane
