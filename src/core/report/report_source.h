// What the reports read of an open file: its records and results, and the
// report settings. Built by the document (ReportSourceOf in
// core/app/korvane_doc.h) for each job; it refers to the document's data and
// must not outlive it.
#pragma once

#include <vector>

#include "core/algorithm/core_correction.h"
#include "core/data/records.h"
#include "core/report/report_records.h"

namespace korvane::report {

struct ReportSource {
  const std::vector<Member>& members;
  const ZoneLists& zoneLists;
  const StrengthResult& result;
  ResultFlag batchResultFlag = ResultFlag::Valid;
  Standard standard = Standard::CECS02_2005;
  const PrintSettings& printSettings;
  const ReportProjectInfo& reportInfo;
  // Measuring points of the zone the screen shows (0: none); the record
  // sheet takes its velocity layout when it is 7 or more.
  int shownZonePoints = 0;
  // The core correction of the file's cores (none: no lines, no table).
  CoreCorrection cores;

  // Zones of member `member`; 0 for an index out of range.
  int ZoneCount(int member) const {
    if (member < 0 || static_cast<std::size_t>(member) >= zoneLists.size()) return 0;
    return static_cast<int>(zoneLists[static_cast<std::size_t>(member)].size());
  }
};

}  // namespace korvane::report
