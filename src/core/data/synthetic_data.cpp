#include "core/data/synthetic_data.h"

#include <algorithm>

namespace korvane {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Series evaluations with only +, -, *, / (correctly rounded everywhere), for
// the small arguments used here.
double SeriesSin(double x) {
  double term = x;
  double sum = x;
  for (int k = 1; k < 12; ++k) {
    term = -term * x * x / ((2.0 * k) * (2.0 * k + 1.0));
    sum += term;
  }
  return sum;
}

double SeriesCos(double x) {
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k < 12; ++k) {
    term = -term * x * x / ((2.0 * k - 1.0) * (2.0 * k));
    sum += term;
  }
  return sum;
}

// exp(x) for x <= 0 of moderate size: exp(x / 256) by its series, squared
// eight times.
double SeriesExp(double x) {
  const double y = x / 256.0;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k < 10; ++k) {
    term = term * y / k;
    sum += term;
  }
  for (int k = 0; k < 8; ++k) sum *= sum;
  return sum;
}

long long RoundHalfAway(double value) {
  return value < 0 ? -static_cast<long long>(-value + 0.5) : static_cast<long long>(value + 0.5);
}

}  // namespace

std::uint64_t SyntheticRandom::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double SyntheticRandom::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

double SyntheticRandom::Normal() {
  double sum = 0.0;
  for (int i = 0; i < 12; ++i) sum += Uniform();
  return sum - 6.0;
}

std::vector<std::uint16_t> SyntheticWaveform(SyntheticRandom& random, int count, float interval, int arrival,
                                             double frequencyKHz, double amplitude, double noise) {
  std::vector<std::uint16_t> samples(static_cast<std::size_t>(std::max(count, 0)));
  // One sample step of the oscillation: rotation by 2*pi*f*dT (f in
  // cycles/us) and decay with a time constant of three periods.
  const double step = 2.0 * kPi * frequencyKHz / 1000.0 * interval;
  const double c = SeriesCos(step);
  const double s = SeriesSin(step);
  const double periodUs = 1000.0 / frequencyKHz;
  const double decay = SeriesExp(-static_cast<double>(interval) / (3.0 * periodUs));
  double x = 1.0;
  double y = 0.0;
  double envelope = amplitude;
  for (int k = 0; k < count; ++k) {
    double value = noise * random.Normal();
    if (k >= arrival) {
      value += envelope * y;
      const double nx = x * c - y * s;
      const double ny = x * s + y * c;
      x = nx;
      y = ny;
      envelope *= decay;
    }
    const long long code = std::clamp<long long>(kZeroCode + RoundHalfAway(value), 0, 4095);
    samples[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(code);
  }
  return samples;
}

SyntheticData MakeSyntheticData(const SyntheticFilePlan& plan) {
  SyntheticData data;
  data.project = plan.project;
  data.project.delay = plan.delay;
  SyntheticRandom random(plan.seed);
  const int points = std::clamp(plan.pointsPerZone, 1, kMaxPoints);
  const double periodSamples = 1000.0 / plan.frequencyKHz / plan.sampleInterval;

  for (std::size_t m = 0; m < plan.members.size(); ++m) {
    const SyntheticMemberPlan& ms = plan.members[m];
    Member member = NewMember();
    member.name = ms.name;
    member.sectionIndex = plan.channelRows > 0 ? plan.ownSection : static_cast<int>(m);
    member.sampleCount = plan.sampleCount;
    member.sampleInterval = plan.sampleInterval;
    member.aggregateType = 2;
    data.members.push_back(member);

    ZoneList zones;
    for (int z = 0; z < ms.zones; ++z) {
      auto zone = NewTestZone();
      zone->sectionIndex = member.sectionIndex;
      zone->zoneNumber = z + 1;
      zone->sampleInterval = plan.sampleInterval;
      zone->delay = plan.delay;
      zone->pointCount = points;
      zone->testMethod = plan.project.testMethod;
      zone->beta = plan.project.beta;
      zone->lambda = plan.project.lambda;
      zone->eta = plan.project.eta;
      zone->deltaTot = plan.project.deltaTot;
      zone->angle = ms.angle;
      zone->surface = ms.surface;
      if (!ms.locations.empty()) zone->testLocation = ms.locations[static_cast<std::size_t>(z) % ms.locations.size()];
      zone->carbonationDepth = static_cast<float>(0.5 * static_cast<double>(1 + (random.Next() % 6)));

      const double zoneRebound = ms.meanRebound + 1.5 * random.Normal();
      for (int& reading : zone->rebound) {
        reading = static_cast<int>(std::clamp<long long>(RoundHalfAway(zoneRebound + 2.0 * random.Normal()), 20, 55));
      }
      const double velocity = ms.velocityKmS + 0.08 * random.Normal();
      const std::vector<float>& distances = ms.distances.empty() ? plan.distances : ms.distances;
      for (int p = 0; p < points; ++p) {
        const float distance =
            static_cast<std::size_t>(p) < distances.size() ? distances[static_cast<std::size_t>(p)] : 200.0f;
        const double time = distance / velocity;  // us
        const int arrival = static_cast<int>(RoundHalfAway((time - plan.delay) / plan.sampleInterval));
        const int peak = arrival + static_cast<int>(RoundHalfAway(periodSamples / 4.0));
        const double amplitude = std::min(1900.0, 1200.0 * 200.0 / std::max(distance, 50.0f));
        const auto samples = SyntheticWaveform(random, plan.sampleCount, plan.sampleInterval, arrival,
                                               plan.frequencyKHz, amplitude, 6.0);
        zone->points[static_cast<std::size_t>(p)] =
            NewMeasuringPoint(p, peak, samples.data(), static_cast<int>(samples.size()), plan.delay, distance,
                              plan.gain, arrival);
      }
      zones.push_back(std::move(zone));
    }
    data.zoneLists.push_back(std::move(zones));
  }
  data.memberCount = static_cast<int>(data.members.size());

  const int rows = plan.channelRows > 0 ? plan.channelRows : static_cast<int>(plan.members.size());
  for (int r = 0; r < rows; ++r) {
    SectionPara section;
    section.sectionIndex = r;
    section.crossDistance = plan.distances.empty() ? 0.0f : plan.distances.front();
    section.gain = plan.gain;
    section.zeroTime = 0.0f;
    // Channels other than the member's own were recorded with other settings.
    const bool own = plan.channelRows == 0 || r == plan.ownSection;
    section.sampleInterval = own ? plan.sampleInterval : plan.sampleInterval * 2.0f;
    section.delay = plan.delay;
    section.sampleCount = own ? plan.sampleCount : plan.sampleCount * 2;
    section.filterLow = 10.0f;
    section.filterHigh = 100.0f;
    section.senDH = 0.0f;
    data.sections.push_back(section);
  }
  return data;
}

}  // namespace korvane
