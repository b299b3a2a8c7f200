// The status bar's note of implausible first arrivals: which points are
// noted, for how long, and the text. A point an edit leaves implausible
// (CheckArrival) is noted, newest first; it stays noted until an edit makes
// it plausible again, or another file is opened (Clear). The note names the
// newest noted point.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/data/records.h"

namespace korvane {

// Point slot `point` of zone `zone` of member `member` (all 0-based).
struct NotedPoint {
  int member = 0;
  int zone = 0;
  int point = 0;
  friend bool operator==(const NotedPoint&, const NotedPoint&) = default;
};

class ArrivalNotes {
 public:
  // After an edit: the point it changed (if any) is noted first, then every
  // noted point that is plausible now (or no longer exists) is dropped.
  void Update(const ZoneLists& zones, std::optional<NotedPoint> edited);
  void Clear() { points_.clear(); }
  bool empty() const { return points_.empty(); }
  const std::vector<NotedPoint>& points() const { return points_; }
  // "构件“梁1”测区3测点2的声时不合理（T=1.50us，V=9.999km/s），请重新选取首波"
  // ("声速" when the velocity is too high) for the newest noted point;
  // empty when none is noted.
  std::string Text(const ZoneLists& zones, const std::vector<Member>& members) const;

 private:
  std::vector<NotedPoint> points_;
};

}  // namespace korvane
