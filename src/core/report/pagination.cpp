#include "core/report/pagination.h"

#include <array>
#include <string_view>

namespace korvane::report {

int PagesForZoneCount(int zoneCount) {
  if (zoneCount <= kZonesPerPage) return 1;
  return (zoneCount + kZonesPerPage - 1) / kZonesPerPage;
}

PageTable BuildPageTable(const std::vector<int>& zoneCounts) {
  PageTable table;
  table.pagesPerMember.reserve(zoneCounts.size());
  for (int zones : zoneCounts) {
    const int pages = PagesForZoneCount(zones);
    table.pagesPerMember.push_back(pages);
    table.totalPages += pages;
  }
  return table;
}

PageTable BuildPageTable(const ZoneLists& zoneLists) {
  std::vector<int> counts;
  counts.reserve(zoneLists.size());
  for (const ZoneList& list : zoneLists) counts.push_back(static_cast<int>(list.size()));
  return BuildPageTable(counts);
}

bool LocatePage(const PageTable& table, int position, int& member, int& pageInMember) {
  if (position < 1 || position > table.totalPages) return false;
  int cumulative = 0;
  for (std::size_t i = 0; i < table.pagesPerMember.size(); ++i) {
    const int pages = table.pagesPerMember[i];
    cumulative += pages;
    if (cumulative >= position) {
      member = static_cast<int>(i);
      pageInMember = pages + position - cumulative;
      return true;
    }
  }
  return false;
}

std::vector<JobPage> BuildJob(const PageTable& table, bool recordSheet, bool resultTable) {
  std::vector<JobPage> job;
  int jobPage = 0;
  auto addReport = [&](ReportKind kind) {
    for (int position = 1; position <= table.totalPages; ++position) {
      JobPage page;
      page.report = kind;
      page.pageInReport = position;
      page.jobPage = ++jobPage;
      LocatePage(table, position, page.member, page.pageInMember);
      job.push_back(page);
    }
  };
  if (recordSheet) addReport(ReportKind::RecordSheet);
  if (resultTable) addReport(ReportKind::ResultTable);
  return job;
}

std::string RomanNumeral(int n) {
  if (n > 1000) return {};
  struct Step {
    int value;
    std::string_view text;
  };
  static constexpr std::array<Step, 13> kSteps = {{{1000, "M"},
                                                   {900, "CM"},
                                                   {500, "D"},
                                                   {400, "CD"},
                                                   {100, "C"},
                                                   {90, "XC"},
                                                   {50, "L"},
                                                   {40, "XL"},
                                                   {10, "X"},
                                                   {9, "IX"},
                                                   {5, "V"},
                                                   {4, "IV"},
                                                   {1, "I"}}};
  std::string text;
  for (const Step& step : kSteps) {
    while (n >= step.value) {
      text += step.text;
      n -= step.value;
    }
  }
  return text;
}

std::string PageNumberText(long long n, int format) {
  if (format == 1) return n > 1000 ? std::string() : RomanNumeral(static_cast<int>(n < 0 ? 0 : n));
  return std::to_string(n) + " ";
}

}  // namespace korvane::report
