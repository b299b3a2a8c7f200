// Division of a print job into pages: ten test zones of one member per page,
// members in file order, the field record sheet before the result data table.
// Page-number texts (Arabic and Roman).
#pragma once

#include <string>
#include <vector>

#include "core/data/records.h"

namespace korvane::report {

inline constexpr int kZonesPerPage = 10;

enum class ReportKind { RecordSheet, ResultTable };

// Pages a member takes: 1 for 0..10 zones, otherwise ceil(zones / 10).
int PagesForZoneCount(int zoneCount);

// Pages per member (in member order) and their sum.
struct PageTable {
  std::vector<int> pagesPerMember;
  int totalPages = 0;
};

PageTable BuildPageTable(const std::vector<int>& zoneCounts);
PageTable BuildPageTable(const ZoneLists& zoneLists);

// Member and page within the member (1-based) of page `position` (1-based)
// of one report: the first member whose cumulative page count reaches
// `position`. Returns false (and leaves the outputs alone) when the position
// is outside 1..totalPages.
bool LocatePage(const PageTable& table, int position, int& member, int& pageInMember);

// One page of a job.
struct JobPage {
  int jobPage = 0;  // 1-based number within the job
  ReportKind report = ReportKind::RecordSheet;
  int member = 0;        // member index
  int pageInMember = 1;  // 1-based; shows zones (p-1)*10 .. p*10-1
  int pageInReport = 1;  // 1-based position within its report
};

// Pages of a job in printing order: the record sheet's totalPages pages (when
// chosen), then the result table's (when chosen). Empty when neither is
// chosen.
std::vector<JobPage> BuildJob(const PageTable& table, bool recordSheet, bool resultTable);

// Roman numeral of n built greedily from M, CM, D, CD, C, XC, L, XL, X, IX,
// V, IV, I; empty for n > 1000 and for n <= 0.
std::string RomanNumeral(int n);

// Page-number text: format 1 Roman, any other format Arabic followed by one
// blank ("7 ").
std::string PageNumberText(long long n, int format);

}  // namespace korvane::report
