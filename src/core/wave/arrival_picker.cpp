#include "core/wave/arrival_picker.h"

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {

// The first strong peak is the first lobe reaching this share of the largest
// excursion of the trace.
constexpr float kStrongShare = 0.5f;
// Extent of a lobe, as a share of its peak, used to estimate the period: a
// half-sine is above 30% of its peak over 80.6% of its length.
constexpr float kLobeShare = 0.3f;
constexpr float kLobeCover = 0.806f;
// Half-width of the noise band of the smoothed trace, in its noise RMS.
constexpr float kBandRms = 4.0f;
// A half-cycle leaving the band is the pulse's first when it reaches this
// many band half-widths, or when the next half-cycle leaves the band on the
// other side within kNextGap half-periods and is at most kMaxRise times as
// strong (a stronger one means the pulse's real first half-cycle is still
// hidden in the noise, or this one is noise).
constexpr float kSureBands = 2.0f;
constexpr float kNextGap = 0.3f;
constexpr float kMaxRise = 8.0f;
// The next half-cycle ends where the trace comes back this far (in band
// half-widths) to the first one's side.
constexpr float kNextEndBands = 0.25f;
// A second half-cycle this much stronger than the first marks a pulse whose
// envelope still rises after the onset.
constexpr float kRisingRatio = 1.6f;
// A rising pulse is fitted with onsets up to this many half-periods before
// the half-cycle found; the half-cycles it adds before that one must show
// in the trace at this many noise RMS.
constexpr float kRisingReach = 3.0f;
constexpr double kAddedLobeRms = 2.0;
// Between this and kAddedLobeRms the added half-cycles may be noise or
// signal: the proposal is flagged low confidence.
constexpr double kUnsureLobeRms = 1.0;
// Fewer noise samples than this do not measure the noise well enough for a
// confident proposal; at least kFewestNoiseSamples are used in any case.
constexpr int kMinNoiseSamples = 16;
constexpr int kFewestNoiseSamples = 8;
// The noise is measured before the search for the onset starts when that
// leaves at least this many samples, else up to the AIC onset.
constexpr int kFullNoiseSamples = 24;
// RMS of the rounding to whole codes: the noise floor of any trace.
constexpr float kQuantizationRms = 0.28867513f;
// MAD to RMS for normally distributed noise.
constexpr float kMadToRms = 1.4826f;
// Confidence: 0 at this peak SNR (dB) and below, 1 at kFullDb and above
// (kLowConfidence, 0.5, at 18 dB).
constexpr float kNoSignalDb = 12.0f;
constexpr float kFullDb = 24.0f;
constexpr float kPi = 3.14159265f;
// Largest code of the 12-bit converter; it and 0 mark clipped samples.
constexpr std::uint16_t kTopCode = 4095;

// Median and RMS (from the median absolute deviation) of codes[0, count).
// The median is the value of rank count / 2 (0-based). Whole codes let both
// be counted rather than sorted.
struct Level {
  float median = 0.0f;
  float rms = 0.0f;
};
Level RobustLevel(std::span<const std::uint16_t> codes, int count, std::vector<int>& counts,
                  std::vector<int>& deviations) {
  Level level;
  if (count <= 0) return level;
  const auto window = codes.first(static_cast<std::size_t>(count));
  const auto [low, high] = std::minmax_element(window.begin(), window.end());
  const int lowest = *low;
  counts.assign(static_cast<std::size_t>(*high - lowest) + 1, 0);
  for (std::uint16_t code : window) ++counts[code - lowest];
  const auto rankValue = [&](const std::vector<int>& histogram) {
    int seen = 0;
    std::size_t value = 0;
    while (seen + histogram[value] <= count / 2) seen += histogram[value++];
    return static_cast<int>(value);
  };
  const int median = lowest + rankValue(counts);
  // Absolute deviations from the median, counted the same way.
  deviations.assign(counts.size(), 0);
  for (std::size_t v = 0; v < counts.size(); ++v) {
    deviations[static_cast<std::size_t>(std::abs(lowest + static_cast<int>(v) - median))] += counts[v];
  }
  level.median = static_cast<float>(median - kZeroCode);
  level.rms = kMadToRms * static_cast<float>(rankValue(deviations));
  return level;
}

int Sign(float v) { return v < 0.0f ? -1 : 1; }

// AIC onset on y[0, length): the first sample of the second of two segments
// that are each best described as stationary noise of its own variance (at
// least the rounding noise). `length` >= 4.
int AicOnset(const std::vector<float>& y, int length, std::vector<double>& sum, std::vector<double>& sumSq) {
  sum.assign(static_cast<std::size_t>(length) + 1, 0.0);
  sumSq.assign(static_cast<std::size_t>(length) + 1, 0.0);
  for (std::size_t k = 0; k < static_cast<std::size_t>(length); ++k) {
    const double v = y[k];
    sum[k + 1] = sum[k] + v;
    sumSq[k + 1] = sumSq[k] + v * v;
  }
  const double floor = static_cast<double>(kQuantizationRms) * kQuantizationRms;
  const auto logVariance = [&](int first, int last) {
    const double count = last - first;
    const double mean = (sum[static_cast<std::size_t>(last)] - sum[static_cast<std::size_t>(first)]) / count;
    const double meanSq =
        (sumSq[static_cast<std::size_t>(last)] - sumSq[static_cast<std::size_t>(first)]) / count;
    // Single precision is plenty for comparing the criterion and much faster.
    return std::log(static_cast<float>(std::max(meanSq - mean * mean, 0.0) + floor));
  };
  int best = 2;
  float bestAic = 0.0f;
  for (int k = 2; k <= length - 2; ++k) {
    const float aic =
        static_cast<float>(k) * logVariance(0, k) + static_cast<float>(length - k) * logVariance(k, length);
    if (k == 2 || aic < bestAic) {
      bestAic = aic;
      best = k;
    }
  }
  return best;
}

// Centred moving average over 2 * halfWidth + 1 samples (fewer at the ends).
void SmoothCentred(const std::vector<float>& in, int halfWidth, std::vector<float>& out) {
  const int n = static_cast<int>(in.size());
  out.resize(in.size());
  double running = 0.0;
  int first = 0;
  int last = -1;
  for (int k = 0; k < n; ++k) {
    while (last < std::min(k + halfWidth, n - 1)) running += in[static_cast<std::size_t>(++last)];
    while (first < k - halfWidth) running -= in[static_cast<std::size_t>(first++)];
    out[static_cast<std::size_t>(k)] = static_cast<float>(running / (last - first + 1));
  }
}

// Least-squares onset on yb[lo, hi] of a pulse a * d^power * sin(omega * d),
// d = k - t, starting after sample t (lo <= t < hi) and 0 up to it, with a
// of sign `sign`. `score` is how much the fitted pulse lowers the residual
// sum of squares; `onset` is -1 when no candidate fits with that sign.
struct OnsetFit {
  int onset = -1;
  double score = 0.0;
};
// The sums over k in (t, hi] come from suffix sums of y·sin(ωk), y·cos(ωk)
// (and the same times k), as sin(ω(k − t)) = sin ωk cos ωt − cos ωk sin ωt:
// every candidate onset costs the same few operations, whatever the window.
OnsetFit FitOnset(const std::vector<float>& yb, int lo, int hi, int sign, float omega, int power,
                  std::vector<double>& sums, int tFrom = -1, int tTo = -1) {
  OnsetFit best;
  if (hi <= lo) return best;
  const auto width = static_cast<std::size_t>(hi - lo) + 1;
  // Per k (index k − lo), suffix sums from k to hi: S0 C0 S1 C1, then per
  // d = 1 … width − 1 the prefix sums of g(d)².
  sums.assign(5 * (width + 1) + 2 * width, 0.0);
  double* s0 = sums.data();
  double* c0 = s0 + (width + 1);
  double* s1 = c0 + (width + 1);
  double* c1 = s1 + (width + 1);
  double* gg = c1 + (width + 1);
  const double w = omega;
  // sin and cos of ωk for k = lo … hi by rotation (a few hundred steps
  // keep them to about 1e-13).
  const double stepSin = std::sin(w);
  const double stepCos = std::cos(w);
  double* sinK = gg + (width + 1);
  double* cosK = sinK + width;
  sinK[0] = std::sin(w * lo);
  cosK[0] = std::cos(w * lo);
  for (std::size_t i = 1; i < width; ++i) {
    sinK[i] = sinK[i - 1] * stepCos + cosK[i - 1] * stepSin;
    cosK[i] = cosK[i - 1] * stepCos - sinK[i - 1] * stepSin;
  }
  for (std::size_t i = width; i-- > 0;) {
    const double k = static_cast<double>(lo) + static_cast<double>(i);
    const double y = yb[static_cast<std::size_t>(lo) + i];
    s0[i] = s0[i + 1] + y * sinK[i];
    c0[i] = c0[i + 1] + y * cosK[i];
    s1[i] = s1[i + 1] + y * k * sinK[i];
    c1[i] = c1[i + 1] + y * k * cosK[i];
  }
  // sin(ωd) = sin(ω(lo + d) − ωlo), from the same table.
  const double sinLo = sinK[0];
  const double cosLo = cosK[0];
  for (std::size_t d = 1; d < width; ++d) {
    const double dd = static_cast<double>(d);
    const double sinD = sinK[d] * cosLo - cosK[d] * sinLo;
    const double g = sinD * (power == 1 ? dd : 1.0);
    gg[d] = gg[d - 1] + g * g;
  }
  // Candidates t in [tFrom, tTo] (all of [lo, hi) by default); the score of
  // each is over the same window, so they compare.
  const int first = tFrom < 0 ? lo : std::max(tFrom, lo);
  const int last = tTo < 0 ? hi - 1 : std::min(tTo, hi - 1);
  for (int t = first; t <= last; ++t) {
    const auto i = static_cast<std::size_t>(t - lo) + 1;  // first k of the sum: t + 1
    const double tt = static_cast<double>(t);
    const double ct = cosK[i - 1];
    const double st = sinK[i - 1];
    const double sumYG =
        power == 1 ? ct * (s1[i] - tt * s0[i]) - st * (c1[i] - tt * c0[i]) : ct * s0[i] - st * c0[i];
    const double sumGG = gg[static_cast<std::size_t>(hi - t)];
    if (sign * sumYG <= 0.0 || sumGG <= 0.0) continue;
    const double score = sumYG * sumYG / sumGG;
    if (score > best.score) best = {t, score};
  }
  return best;
}

// How strongly y shows the part (t, narrow] of a rising pulse d·sin(ωd)
// fitted from t to hi: the projection of y on that part, signed as the
// fitted amplitude over (t, hi], in units of y.
double AddedLobesProjection(const std::vector<float>& y, int t, int narrow, int hi, float omega) {
  const double stepSin = std::sin(static_cast<double>(omega));
  const double stepCos = std::cos(static_cast<double>(omega));
  double sinD = 0.0;  // sin(ωd) for d = 0
  double cosD = 1.0;
  double part = 0.0;
  double partGG = 0.0;
  double whole = 0.0;
  for (int k = t + 1; k <= hi; ++k) {
    const double nextSin = sinD * stepCos + cosD * stepSin;
    cosD = cosD * stepCos - sinD * stepSin;
    sinD = nextSin;
    const double g = static_cast<double>(k - t) * sinD;
    const double yg = static_cast<double>(y[static_cast<std::size_t>(k)]) * g;
    whole += yg;
    if (k <= narrow) {
      part += yg;
      partGG += g * g;
    }
  }
  if (partGG <= 0.0) return 0.0;
  return (whole >= 0.0 ? part : -part) / std::sqrt(partGG);
}

bool Clipped(std::uint16_t code) { return code == 0 || code >= kTopCode; }

}  // namespace

ArrivalProposal ProposeArrival(std::span<const std::uint16_t> codes, float intervalUs, float delayUs) {
  ArrivalProposal result;
  const int n = static_cast<int>(std::min<std::size_t>(codes.size(), std::size_t{1} << 30));
  const auto finish = [&](int sample) {
    result.sample = std::clamp(sample, 1, std::max(n - 1, 1));
    result.time = delayUs + static_cast<float>(result.sample) * intervalUs;
    return result;
  };
  if (n < kMinPickSamples) {
    result.status = ArrivalPickStatus::kTooShort;
    return finish(1);
  }

  const std::span<const std::uint16_t> trace = codes.first(static_cast<std::size_t>(n));
  std::vector<float> y(trace.size());
  for (std::size_t k = 0; k < y.size(); ++k) y[k] = static_cast<float>(trace[k]) - kZeroCode;
  const auto at = [&y](int k) { return y[static_cast<std::size_t>(k)]; };

  // 1. The first strong peak, against the mean level of the whole trace
  // (close enough to the baseline for finding a peak).
  std::int64_t total = 0;
  for (std::uint16_t code : trace) total += code;
  const float level = static_cast<float>(static_cast<double>(total) / n) - kZeroCode;
  const auto [low, high] = std::minmax_element(trace.begin(), trace.end());
  if (*low == *high) {
    result.status = ArrivalPickStatus::kNoSignal;
    return finish(1);
  }
  const float largest = std::max(std::fabs(static_cast<float>(*high) - kZeroCode - level),
                                 std::fabs(static_cast<float>(*low) - kZeroCode - level));
  int strong = 0;
  while (std::fabs(at(strong) - level) < kStrongShare * largest) ++strong;
  const int strongSign = Sign(at(strong) - level);
  const auto strongSide = [&](int k) { return static_cast<float>(strongSign) * (at(k) - level); };
  int peak = strong;
  while (peak + 1 < n && strongSide(peak + 1) >= strongSide(peak)) ++peak;

  // Half period of the pulse from the extent of that lobe: it sets the
  // smoothing that lets a weak first half-cycle stand out of the noise, and
  // the period of the pulse fitted to the onset.
  // A clipped lobe is measured between its crossings of the level instead,
  // as its true peak is unknown.
  const bool strongClipped = Clipped(trace[static_cast<std::size_t>(peak)]);
  const float extentLevel = strongClipped ? 0.0f : kLobeShare * strongSide(peak);
  int left = peak;
  while (left > 0 && strongSide(left - 1) > extentLevel) --left;
  int right = peak;
  while (right + 1 < n && strongSide(right + 1) > extentLevel) ++right;
  const float halfPeriod = static_cast<float>(right - left + 1) / (strongClipped ? 1.0f : kLobeCover);
  const int halfWidth = std::clamp(static_cast<int>(halfPeriod / 8.0f), 0, 15);

  // 2. AIC onset on the window up to the first strong peak.
  std::vector<double> sum;
  std::vector<double> sumSq;
  const int aic = peak + 1 >= 4 ? AicOnset(y, peak + 1, sum, sumSq) : strong;

  // 3. The noise before the signal: median level and RMS of the samples
  // before the search for the onset starts, a period and a half before the
  // AIC onset (which can fall on the second half-cycle of a pulse that
  // starts weakly), or, where that leaves too few, up to the AIC onset.
  // Both are robust against a weak first half-cycle among them.
  const int searchFrom = std::max(aic - static_cast<int>(1.5f * halfPeriod), 0);
  const int noiseEnd =
      searchFrom - halfWidth >= kFullNoiseSamples ? searchFrom - halfWidth : std::max(aic - halfWidth - 1, 0);
  const bool noiseMeasured = noiseEnd >= kMinNoiseSamples;
  const int noiseSamples = std::max(noiseEnd, kFewestNoiseSamples);
  std::vector<int> counts;
  std::vector<int> deviations;
  const Level noise = RobustLevel(trace, noiseSamples, counts, deviations);
  const float noiseRms = std::max(noise.rms, kQuantizationRms);
  for (float& v : y) v -= noise.median;  // from here on: the trace about its baseline
  std::vector<float> smooth;
  SmoothCentred(y, halfWidth, smooth);
  const auto s = [&smooth](int k) { return smooth[static_cast<std::size_t>(k)]; };
  // Noise RMS of the smoothed trace: what white noise of the measured RMS
  // gives, or more where the noise is coloured, measured on the smoothed
  // noise samples that stay within the band (a weak first half-cycle among
  // them must not widen it).
  const float whiteRms = noiseRms / std::sqrt(static_cast<float>(2 * halfWidth + 1));
  float smoothRms = whiteRms;
  {
    double bandSumSq = 0.0;
    int count = 0;
    for (int k = 0; k < noiseSamples; ++k) {
      if (std::fabs(s(k)) > kBandRms * whiteRms) continue;
      bandSumSq += static_cast<double>(s(k)) * s(k);
      ++count;
    }
    if (count > 0) smoothRms = std::max(smoothRms, static_cast<float>(std::sqrt(bandSumSq / count)));
  }
  const float band = kBandRms * smoothRms;

  // 4. The first half-cycle of the pulse: the first one from the search
  // start on where the smoothed trace leaves the noise band and that is not
  // a lone noise excursion.
  int exit = -1;
  int sign = 1;
  int lobePeak = 0;
  int exitLobeEnd = 0;
  float nextPeak = 0.0f;
  bool nextClipped = false;
  for (int k = searchFrom; k <= peak && exit < 0;) {
    if (std::fabs(s(k)) <= band) {
      ++k;
      continue;
    }
    sign = Sign(s(k));
    const auto side = [&](int i) { return static_cast<float>(sign) * s(i); };
    int lobeEnd = k;
    lobePeak = k;
    for (; lobeEnd < n && side(lobeEnd) > 0.0f; ++lobeEnd) {
      if (side(lobeEnd) > side(lobePeak)) lobePeak = lobeEnd;
    }
    nextPeak = 0.0f;
    nextClipped = false;
    bool nextLeaves = false;
    const int gapEnd = std::min(n, lobeEnd + static_cast<int>(kNextGap * halfPeriod) + 1);
    const int nextEnd = std::min(n, lobeEnd + static_cast<int>(1.2f * halfPeriod));
    for (int i = lobeEnd; i < nextEnd && side(i) < kNextEndBands * band; ++i) {
      nextPeak = std::max(nextPeak, -side(i));
      nextLeaves = nextLeaves || (i < gapEnd && -side(i) > band);
      nextClipped = nextClipped || Clipped(trace[static_cast<std::size_t>(i)]);
    }
    if (side(lobePeak) >= kSureBands * band || (nextLeaves && nextPeak <= kMaxRise * side(lobePeak))) {
      exit = k;
      exitLobeEnd = lobeEnd;
    } else {
      k = lobeEnd;
    }
  }
  int onset = aic;
  bool unsure = false;
  if (exit >= 0) {
    const auto side = [&](int k) { return static_cast<float>(sign) * s(k); };
    // A much stronger second half-cycle means an envelope that rises from
    // the onset rather than starting at full strength. Where the second
    // half-cycle is clipped its strength is unknown, and the better fit of
    // the two decides.
    const int power = nextPeak > kRisingRatio * side(lobePeak) ? 1 : 0;
    // Back from the exit to where the smoothed trace last sat on the
    // baseline (at most about a half-period: the exit lies in the first
    // half-cycle), then a little further: the fit places the onset in
    // between, fitting up to the half-cycle's peak (at most about a
    // half-period after the exit). The limits keep the fit's cost bounded.
    const int reach = static_cast<int>(1.2f * halfPeriod) + 1;
    int cross = exit;
    while (cross > std::max(exit - reach, 0) && side(cross - 1) > 0.0f) --cross;
    const int lo = std::max(cross - std::max(2 * halfWidth + 1, 4), 0);
    int hi = std::min(lobePeak, exit + reach);
    // A clipped flank has lost its shape: fit only up to the first sample
    // at the converter's limits.
    for (int k = lo; k <= hi; ++k) {
      if (Clipped(trace[static_cast<std::size_t>(k)])) {
        hi = k - 1;
        break;
      }
    }
    hi = std::max(hi, lo + 1);
    std::vector<double> shape;
    const float omega = kPi / halfPeriod;
    OnsetFit fit = FitOnset(y, lo, hi, sign, omega, power, shape);
    if (nextClipped && power == 0) {
      const OnsetFit rising = FitOnset(y, lo, hi, sign, omega, 1, shape);
      if (rising.score > fit.score) fit = rising;
    }
    {
      // An envelope that rises from the onset can hide its first half-cycles
      // within the noise, so that the half-cycle found is a later one. Over
      // the found half-cycle and up to kRisingReach half-periods before it,
      // a rising pulse and one at full strength (either sign of the first
      // half-cycle) are fitted. The onset moves to the rising fit's start
      // when that fit explains the trace better than the full-strength one,
      // starts more than a quarter period before the onset found, and the
      // half-cycles it adds are in the trace (their matched projection at
      // least kAddedLobeRms noise RMS): the growth of the envelope tells
      // where it began.
      int wideHi = std::min(exitLobeEnd, n - 1);
      const int wideLo = std::max(cross - static_cast<int>(kRisingReach * halfPeriod), 0);
      for (int k = wideLo; k <= wideHi; ++k) {
        if (Clipped(trace[static_cast<std::size_t>(k)])) {
          wideHi = k - 1;
          break;
        }
      }
      const int narrow = fit.onset >= 0 ? fit.onset : cross;
      const int quarter = static_cast<int>(0.5f * halfPeriod);
      if (wideHi > wideLo + 1 && narrow - quarter > wideLo) {
        const auto better = [](const OnsetFit& a, const OnsetFit& b) { return b.score > a.score ? b : a; };
        const OnsetFit rising = better(FitOnset(y, wideLo, wideHi, sign, omega, 1, shape),
                                       FitOnset(y, wideLo, wideHi, -sign, omega, 1, shape));
        if (rising.onset >= 0 && rising.onset < narrow - quarter) {
          const OnsetFit full = better(FitOnset(y, wideLo, wideHi, sign, omega, 0, shape),
                                       FitOnset(y, wideLo, wideHi, -sign, omega, 0, shape));
          if (rising.score > full.score) {
            const double shown = AddedLobesProjection(y, rising.onset, narrow, wideHi, omega) / noiseRms;
            if (shown > kAddedLobeRms) {
              fit = rising;
            } else if (shown > kUnsureLobeRms) {
              // Half-cycles that may or may not be there: either onset could
              // be right, so the proposal is not one to trust.
              unsure = true;
            }
          }
        }
      }
    }
    onset = fit.onset >= 0 ? fit.onset : std::max(cross - 1, 0);
  }

  // 5. Confidence from the signal's peak over the noise.
  float signalPeak = 0.0f;
  for (int k = std::min(onset, n - 1); k < n; ++k) signalPeak = std::max(signalPeak, std::fabs(at(k)));
  result.noiseRms = noiseRms;
  result.snrDb = signalPeak > 0.0f ? 20.0f * std::log10(signalPeak / noiseRms) : 0.0f;
  float confidence = std::clamp((result.snrDb - kNoSignalDb) / (kFullDb - kNoSignalDb), 0.0f, 1.0f);
  if (confidence <= 0.0f) {
    result.status = ArrivalPickStatus::kNoSignal;
  } else if (!noiseMeasured || exit < 0 || unsure || confidence < kLowConfidence) {
    result.status = ArrivalPickStatus::kWeak;
    confidence = std::min(confidence, 0.99f * kLowConfidence);
  } else {
    result.status = ArrivalPickStatus::kClear;
  }
  result.confidence = confidence;
  result.lowConfidence = confidence < kLowConfidence;
  return finish(onset);
}

std::vector<PointArrivalProposal> ProposeZoneArrivals(const TestZone& zone, int member, int zoneIndex) {
  std::vector<PointArrivalProposal> proposals;
  for (int j = 0; j < zone.usedPointSlots(); ++j) {
    const MeasuringPoint* point = zone.point(j);
    if (point == nullptr) continue;
    PointArrivalProposal p;
    p.member = member;
    p.zone = zoneIndex;
    p.slot = j;
    p.pointIndex = point->pointIndex;
    p.storedArrival = point->arrivalIndex;
    p.storedTime = static_cast<float>(point->arrivalIndex) * zone.sampleInterval + zone.delay;
    p.proposal = ProposeArrival(point->loadedSamples(), zone.sampleInterval, zone.delay);
    proposals.push_back(p);
  }
  return proposals;
}

std::vector<PointArrivalProposal> ProposeMemberArrivals(const ZoneList& zones, int member) {
  std::vector<PointArrivalProposal> proposals;
  for (std::size_t z = 0; z < zones.size(); ++z) {
    std::vector<PointArrivalProposal> zoneProposals =
        ProposeZoneArrivals(zones[z], member, static_cast<int>(z));
    proposals.insert(proposals.end(), zoneProposals.begin(), zoneProposals.end());
  }
  return proposals;
}

}  // namespace korvane
