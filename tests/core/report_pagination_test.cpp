#include <gtest/gtest.h>

#include <tuple>

#include "core/report/pagination.h"

namespace korvane::report {
namespace {

TEST(ReportPagination, PagesPerMemberAreTenZonesEach) {
  const std::vector<std::pair<int, int>> cases = {{0, 1},  {1, 1},  {10, 1},  {11, 2},
                                                  {20, 2}, {21, 3}, {100, 10}};
  for (const auto& [zones, pages] : cases) EXPECT_EQ(PagesForZoneCount(zones), pages) << zones << " zones";

  const PageTable table = BuildPageTable(std::vector<int>{10, 11, 20, 21});
  EXPECT_EQ(table.pagesPerMember, (std::vector<int>{1, 2, 2, 3}));
  EXPECT_EQ(table.totalPages, 8);
}

TEST(ReportPagination, BothReportsRecordSheetFirstThenSameMemberSequence) {
  const PageTable table = BuildPageTable(std::vector<int>{3, 12, 25});
  ASSERT_EQ(table.totalPages, 6);
  const std::vector<JobPage> job = BuildJob(table, true, true);
  ASSERT_EQ(job.size(), 12u);

  // (member, page in member) of report positions 1..6: 1 | 2-3 | 4-6.
  const std::vector<std::pair<int, int>> sequence = {{0, 1}, {1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 3}};
  for (std::size_t i = 0; i < job.size(); ++i) {
    const JobPage& page = job[i];
    const std::size_t position = i % 6;
    EXPECT_EQ(page.jobPage, static_cast<int>(i) + 1);
    EXPECT_EQ(page.report, i < 6 ? ReportKind::RecordSheet : ReportKind::ResultTable) << "job page " << i + 1;
    EXPECT_EQ(page.pageInReport, static_cast<int>(position) + 1);
    EXPECT_EQ(std::make_pair(page.member, page.pageInMember), sequence[position]) << "job page " << i + 1;
  }
}

TEST(ReportPagination, SingleReportAndEmptyChoice) {
  const PageTable table = BuildPageTable(std::vector<int>{3, 12});
  const std::vector<JobPage> results = BuildJob(table, false, true);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results.front().report, ReportKind::ResultTable);
  EXPECT_EQ(results.front().jobPage, 1);
  EXPECT_TRUE(BuildJob(table, false, false).empty());

  // A member without zones still takes a page.
  EXPECT_EQ(BuildJob(BuildPageTable(std::vector<int>{0}), true, false).size(), 1u);
  EXPECT_TRUE(BuildJob(BuildPageTable(std::vector<int>{}), true, true).empty());
}

TEST(ReportPagination, LocatePageRejectsPositionsOutsideTheReport) {
  const PageTable table = BuildPageTable(std::vector<int>{3, 12});
  int member = -7;
  int page = -7;
  EXPECT_FALSE(LocatePage(table, 0, member, page));
  EXPECT_FALSE(LocatePage(table, 4, member, page));
  EXPECT_EQ(member, -7);
  ASSERT_TRUE(LocatePage(table, 3, member, page));
  EXPECT_EQ(member, 1);
  EXPECT_EQ(page, 2);
}

TEST(ReportPagination, PageNumberTexts) {
  const std::vector<std::tuple<int, std::string>> roman = {
      {1, "I"},    {4, "IV"},   {9, "IX"},  {14, "XIV"}, {40, "XL"}, {90, "XC"},      {400, "CD"},
      {900, "CM"}, {1000, "M"}, {1001, ""}, {0, ""},     {-3, ""},   {444, "CDXLIV"}, {999, "CMXCIX"}};
  for (const auto& [n, text] : roman) {
    EXPECT_EQ(RomanNumeral(n), text) << n;
    EXPECT_EQ(PageNumberText(n, 1), text) << n;
  }
  EXPECT_EQ(PageNumberText(7, 0), "7 ");
  EXPECT_EQ(PageNumberText(1001, 0), "1001 ");
  EXPECT_EQ(PageNumberText(12, 5), "12 ");  // unknown format: Arabic
  EXPECT_EQ(PageNumberText(5000000000LL, 1), "");
}

}  // namespace
}  // namespace korvane::report
