#include "core/wave/arrival_notes.h"

#include <algorithm>

#include "core/data/text_format.h"
#include "core/wave/point_readings.h"

namespace korvane {
namespace {

const TestZone* ZoneOf(const ZoneLists& zones, const NotedPoint& p) {
  if (p.member < 0 || static_cast<std::size_t>(p.member) >= zones.size()) return nullptr;
  const ZoneList& list = zones[static_cast<std::size_t>(p.member)];
  if (p.zone < 0 || static_cast<std::size_t>(p.zone) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(p.zone)];
}

ArrivalCheck Check(const ZoneLists& zones, const NotedPoint& p) {
  const TestZone* zone = ZoneOf(zones, p);
  return zone != nullptr ? CheckArrival(*zone, p.point) : ArrivalCheck::Plausible;
}

}  // namespace

void ArrivalNotes::Update(const ZoneLists& zones, std::optional<NotedPoint> edited) {
  if (edited) {
    std::erase(points_, *edited);
    points_.insert(points_.begin(), *edited);
  }
  std::erase_if(points_, [&](const NotedPoint& p) { return Check(zones, p) == ArrivalCheck::Plausible; });
}

std::string ArrivalNotes::Text(const ZoneLists& zones, const std::vector<Member>& members) const {
  if (points_.empty()) return {};
  const NotedPoint& p = points_.front();
  const TestZone* zone = ZoneOf(zones, p);
  if (zone == nullptr) return {};
  const auto j = static_cast<std::size_t>(p.point);
  const std::string name = static_cast<std::size_t>(p.member) < members.size()
                               ? members[static_cast<std::size_t>(p.member)].name
                               : "";
  const std::string what = Check(zones, p) == ArrivalCheck::TimeTooShort ? "声时" : "声速";
  return "构件“" + name + "”测区" + std::to_string(p.zone + 1) + "测点" + std::to_string(p.point + 1) + "的" +
         what + "不合理（T=" + FormatFixed(zone->pointTime[j], 2) +
         "us，V=" + FormatFixed(zone->pointVelocity[j], 3) + "km/s），请重新选取首波";
}

}  // namespace korvane
