#include "core/report/report_records.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ReportRecords, FreshRecordsPrintTheRecordSheetOnly) {
  const PrintSettings p = NewPrintSettings();
  EXPECT_EQ(p.printRecordSheet, 1);
  EXPECT_EQ(p.printResultTable, 0);
  EXPECT_EQ(p.printHeader + p.printFooter + p.printPageNumber, 0);
  EXPECT_EQ(p.topMargin, 20);
  EXPECT_EQ(p.leftMargin, 20);
  EXPECT_EQ(p.bottomMargin, 15);
  EXPECT_EQ(p.rightMargin, 15);
  const ReportProjectInfo info = NewReportProjectInfo();
  EXPECT_EQ(info.projectName, "5");
  for (int i = 1; i < ReportProjectInfo::kFieldCount; ++i) EXPECT_EQ(info.field(i), "") << i;
}

TEST(ReportRecords, FieldIndicesFollowTheStoredOrder) {
  ReportProjectInfo info;
  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i) info.field(i) = std::to_string(i);
  EXPECT_EQ(info.projectName, "0");
  EXPECT_EQ(info.testBasis, "6");
  EXPECT_EQ(info.testDate, "8");
  EXPECT_EQ(info.constructionDate, "12");
  EXPECT_EQ(info.recordSheetRemark, "18");
  EXPECT_EQ(info.instrumentModel, "20");
  EXPECT_EQ(info.conversionTableName, "21");
}

TEST(ReportRecords, FillFromProjectByStandard) {
  ProjectInfo project = NewProjectInfo(CivilDate{2022, 3, 5});
  project.site = "工程A";
  project.unit = "检测站";
  project.testDate = "2022/03/05";
  project.castingDate = "二月";  // not a date: copied as it is
  struct Case {
    Standard standard;
    const char* basis;
  };
  const Case cases[] = {{Standard::CECS02_2005, "CECS 02：2005"},
                        {Standard::TB10426_2004, "TB10426-2004"},
                        {Standard::CECS02_2020, "CECS 02-2020"},
                        {Standard::TB10426_2019, "TB 10426-2019"},
                        {Standard::DGJ32TJ144_2012, "DGJ32/TJ 144-2012"}};
  for (const Case& c : cases) {
    ReportProjectInfo info = NewReportProjectInfo();
    info.clientUnit = "kept";
    FillReportInfoFromProject(info, project, c.standard);
    EXPECT_EQ(info.testBasis, c.basis) << IndexOf(c.standard);
    EXPECT_EQ(info.projectName, "工程A");
    EXPECT_EQ(info.testingUnit, "检测站");
    EXPECT_EQ(info.testDate, "2022-3-5");
    EXPECT_EQ(info.constructionDate, "二月");
    EXPECT_EQ(info.clientUnit, "kept");
  }
}

TEST(ReportDates, ReadAndWrittenWithoutLeadingZeros) {
  struct Case {
    const char* text;
    const char* report;  // nullptr: not a date
  };
  const Case cases[] = {
      {"2022-3-5", "2022-3-5"},
      {"2022-03-05", "2022-3-5"},
      {" 2022/12/31 ", "2022-12-31"},
      {"2022.1.9", "2022-1-9"},
      {"2022年3月5日", "2022-3-5"},
      {"2022/3/5 14:20:00", "2022-3-5"},
      {"2024-2-29", "2024-2-29"},
      {"2023-2-29", nullptr},
      {"1900-2-29", nullptr},
      {"2000-2-29", "2000-2-29"},
      {"2022-13-1", nullptr},
      {"2022-4-31", nullptr},
      {"2022-0-1", nullptr},
      {"2022-3", nullptr},
      {"2022-3-5x", nullptr},
      {"20220-3-5", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const auto date = ParseDateText(c.text);
    EXPECT_EQ(date.has_value(), c.report != nullptr) << c.text;
    EXPECT_EQ(ReportDateText(c.text), c.report != nullptr ? c.report : c.text) << c.text;
  }
}

}  // namespace
}  // namespace korvane
