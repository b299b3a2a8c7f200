#include "core/data/records.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace korvane {

int TestZone::usedPointSlots() const { return std::clamp(pointCount, 0, kMaxPoints); }

int PointsPerZone(int testMethod, int standardIndex) {
  if (testMethod == kMethodSurface) return (standardIndex == 0 || standardIndex == 1) ? 3 : 7;
  return standardIndex == 3 ? 4 : 3;
}

int ExistingPointsPerZone(const ZoneLists& zoneLists) {
  for (const auto& list : zoneLists) {
    for (const auto& zone : list) {
      if (zone && zone->pointCount != 0) return zone->pointCount;
    }
  }
  return 3;
}

std::unique_ptr<TestZone> NewTestZone() { return std::make_unique<TestZone>(); }

std::unique_ptr<MeasuringPoint> NewMeasuringPoint(int pointIndex, int amplitudeIndex,
                                                  const std::uint16_t* samples, int sampleCount, float delay,
                                                  float distance, float gain, int arrivalIndex) {
  auto point = std::make_unique<MeasuringPoint>();
  point->pointIndex = pointIndex;
  point->amplitudeIndex = amplitudeIndex;
  point->arrivalIndex = arrivalIndex;
  point->delay = delay;
  point->distance = distance;
  point->gain = gain;
  if (samples != nullptr && sampleCount > 0) {
    point->samples.assign(samples, samples + sampleCount);
    point->unfilteredSamples = point->samples;
  }
  return point;
}

Member NewMember() { return Member{}; }

CivilDate CivilDate::Today() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FormatDate(const CivilDate& date) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d-%d-%d", date.year, date.month, date.day);
  return buffer;
}

ProjectInfo NewProjectInfo(const CivilDate& today) {
  ProjectInfo info;
  info.testDate = FormatDate(today);
  info.castingDate = info.testDate;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", today.year, today.month, today.day);
  const std::string text = stamp;
  info.softwareVersion = "V5.2." + (text.size() > 6 ? text.substr(text.size() - 6) : text);
  return info;
}

ProjectInfo NewProjectInfo() { return NewProjectInfo(CivilDate::Today()); }

namespace {

std::unique_ptr<MeasuringPoint> ClonePoint(const MeasuringPoint& point, bool withSamples) {
  if (withSamples) return std::make_unique<MeasuringPoint>(point);
  // Fails to compile when MeasuringPoint gains a field: copy it below too.
  [[maybe_unused]] const auto& [f0, f1, f2, f3, f4, f5, f6, f7] = point;
  auto copy = std::make_unique<MeasuringPoint>();
  copy->pointIndex = point.pointIndex;
  copy->gain = point.gain;
  copy->amplitudeIndex = point.amplitudeIndex;
  copy->arrivalIndex = point.arrivalIndex;
  copy->distance = point.distance;
  copy->delay = point.delay;
  return copy;
}

}  // namespace

std::unique_ptr<TestZone> CloneTestZone(const TestZone& zone, bool withSamples) {
  // Fails to compile when TestZone gains a field: copy it below too.
  [[maybe_unused]] const auto& [f0, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16,
                                f17, f18, f19, f20, f21, f22, f23, f24, f25, f26, f27] = zone;
  auto copy = std::make_unique<TestZone>();
  copy->sectionIndex = zone.sectionIndex;
  copy->zoneNumber = zone.zoneNumber;
  copy->sampleInterval = zone.sampleInterval;
  copy->delay = zone.delay;
  for (std::size_t j = 0; j < zone.points.size(); ++j) {
    if (zone.points[j]) copy->points[j] = ClonePoint(*zone.points[j], withSamples);
  }
  copy->testMethod = zone.testMethod;
  copy->testLocation = zone.testLocation;
  copy->beta = zone.beta;
  copy->lambda = zone.lambda;
  copy->eta = zone.eta;
  copy->reboundManual = zone.reboundManual;
  copy->rebound = zone.rebound;
  copy->reboundValue = zone.reboundValue;
  copy->angle = zone.angle;
  copy->surface = zone.surface;
  copy->angleCorrection = zone.angleCorrection;
  copy->surfaceCorrection = zone.surfaceCorrection;
  copy->recordedRebound = zone.recordedRebound;
  copy->pointVelocity = zone.pointVelocity;
  copy->pointTime = zone.pointTime;
  copy->pointAmplitude = zone.pointAmplitude;
  copy->carbonationDepth = zone.carbonationDepth;
  copy->strengthValue = zone.strengthValue;
  copy->zoneVelocity = zone.zoneVelocity;
  copy->correctedVelocity = zone.correctedVelocity;
  copy->pointCount = zone.pointCount;
  copy->pointDistance = zone.pointDistance;
  copy->deltaTot = zone.deltaTot;
  return copy;
}

ZoneLists CloneZoneLists(const ZoneLists& lists) {
  ZoneLists copy;
  copy.reserve(lists.size());
  for (const auto& list : lists) {
    ZoneList zones;
    zones.reserve(list.size());
    for (const auto& zone : list) zones.push_back(zone ? CloneTestZone(*zone) : nullptr);
    copy.push_back(std::move(zones));
  }
  return copy;
}

}  // namespace korvane
