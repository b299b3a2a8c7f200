#include "core/data/records.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace korvane {

SampleBuffer::SampleBuffer(std::vector<std::uint16_t> codes)
    : codes_(codes.empty() ? nullptr : std::make_shared<std::vector<std::uint16_t>>(std::move(codes))),
      size_(codes_ ? codes_->size() : 0) {}

SampleBuffer::SampleBuffer(const std::uint16_t* codes, std::size_t count)
    : SampleBuffer(codes != nullptr ? std::vector<std::uint16_t>(codes, codes + count)
                                    : std::vector<std::uint16_t>()) {}

std::uint16_t* SampleBuffer::writableData() {
  if (!codes_) return nullptr;
  if (codes_.use_count() > 1) codes_ = std::make_shared<std::vector<std::uint16_t>>(*codes_);
  return codes_->data();
}

int ExistingPointsPerZone(const ZoneLists& zoneLists) {
  for (const auto& list : zoneLists) {
    for (const TestZone& zone : list) {
      if (zone.pointCount != 0) return zone.pointCount;
    }
  }
  return 3;
}

MeasuringPoint NewMeasuringPoint(int pointIndex, int amplitudeIndex, const std::uint16_t* samples,
                                 int sampleCount, float delay, float distance, float gain, int arrivalIndex) {
  MeasuringPoint point;
  point.pointIndex = pointIndex;
  point.amplitudeIndex = amplitudeIndex;
  point.arrivalIndex = arrivalIndex;
  point.delay = delay;
  point.distance = distance;
  point.gain = gain;
  if (samples != nullptr && sampleCount > 0) {
    point.samples = SampleBuffer(samples, static_cast<std::size_t>(sampleCount));
    point.unfilteredSamples = point.samples;
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

}  // namespace korvane
