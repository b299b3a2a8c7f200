// Suggested first arrival of an ultrasonic waveform.
//
// The picker looks for the sample where the received pulse leaves the noise:
// it measures the noise before the signal, finds the onset roughly with an
// Akaike-information-criterion (AIC) picker on the part of the trace before
// the first strong peak, takes the first half-cycle near it where the
// (lightly smoothed) trace leaves the noise band, and places the onset on
// the last sample before the trace leaves the baseline by a least-squares
// fit of the pulse's start (a sine of the pulse's period, at full strength
// or under a rising envelope). It only proposes: nothing here changes a
// point or a zone.
//
// Codes are 12-bit converter codes in 16-bit values, 2048 being 0 V; any
// value 0..65535 is accepted (filtered codes can exceed 4095, clipped ones
// sit at 0 or 4095). Sample k lies at delay + k * interval us.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/data/records.h"

namespace korvane {

// Fewer samples than this give no proposal (status kTooShort).
inline constexpr int kMinPickSamples = 16;
// Proposals with a confidence below this are flagged low.
inline constexpr float kLowConfidence = 0.5f;

enum class ArrivalPickStatus {
  kClear,     // an onset stands out of the noise
  kWeak,      // a proposal, but the onset hardly stands out of the noise, no
              // half-cycle leaves the noise band near it, or the trace holds
              // too few samples before it to measure the noise
  kNoSignal,  // nothing stands out of the noise (flat or all-noise trace)
  kTooShort,  // fewer than kMinPickSamples samples
};

struct ArrivalProposal {
  // Proposed first-arrival sample: the last sample before the pulse leaves
  // the baseline, at least 1 (as stored arrivals are) and below the sample
  // count whenever the trace has two samples or more.
  int sample = 1;
  float time = 0.0f;  // delay + sample * interval, us
  // 0..1 from the signal's peak over the noise RMS: 0 at 12 dB and below
  // (all-noise traces reach about 11 dB), 1 at 24 dB and above, linear in
  // between. Below kLowConfidence (peak less than 18 dB above the noise, or
  // status other than kClear) the proposal is flagged low.
  float confidence = 0.0f;
  bool lowConfidence = true;
  ArrivalPickStatus status = ArrivalPickStatus::kTooShort;
  float noiseRms = 0.0f;  // codes: noise of the samples before the onset
  float snrDb = 0.0f;     // largest |signal| after the onset over noiseRms, dB
};

// Proposes the first arrival of one waveform. Never reads outside `codes`;
// every input (empty, one sample, constant, all noise, clipped) gives a
// defined proposal: sample 1 and confidence 0 when there is nothing to
// propose. `intervalUs` and `delayUs` only place the sample in time.
ArrivalProposal ProposeArrival(std::span<const std::uint16_t> codes, float intervalUs, float delayUs);

// Proposal for one measuring point, with the arrival stored now.
struct PointArrivalProposal {
  int member = 0;      // member index
  int zone = 0;        // zone index within the member
  int slot = 0;        // point slot in the zone, 0..6
  int pointIndex = 0;  // the point's own index
  int storedArrival = 0;
  float storedTime = 0.0f;  // storedArrival * zone interval + zone delay, us
  ArrivalProposal proposal;
};

// Proposals for every point of a zone (slots below its point count that hold
// a point), in slot order. The waveform as loaded is used, so that the
// filters' delay does not shift the proposal; a point without it falls back
// to its working samples, and one without samples gets a kTooShort proposal.
// Times use the zone's sampling interval and delay. Does not change the zone.
std::vector<PointArrivalProposal> ProposeZoneArrivals(const TestZone& zone, int member, int zoneIndex);

// Proposals for every point of every zone of a member, zone by zone.
std::vector<PointArrivalProposal> ProposeMemberArrivals(const ZoneList& zones, int member);

}  // namespace korvane
