// Records that the reports print besides the test data: page and content
// settings, and the project information of the report heads. Both survive
// from one run to the next in the settings file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/records.h"

namespace korvane {

// Report font list, by index.
inline constexpr std::array<std::string_view, 5> kReportFonts = {"宋体", "黑体", "隶书", "仿宋_GB2312",
                                                                 "楷体_GB2312"};

struct PrintSettings {
  int printHeader = 0;
  int printFooter = 0;
  int printPageNumber = 0;
  int printRecordSheet = 1;
  int printResultTable = 0;
  int borderLineWidth = 4;  // device pixels
  int gridLineWidth = 2;    // device pixels
  int topMargin = 20;       // mm
  int leftMargin = 20;
  int bottomMargin = 15;
  int rightMargin = 15;
  int pageNumberPosition = 0;  // 0 left, 1 centre, 2 right
  int firstPageNumber = 1;
  int pageNumberFormat = 0;  // 0 Arabic "123", 1 Roman "I II III"
  int headerHeight = 5;      // mm (Word report)
  int headerAlign = 0;       // 0 left, 1 centre, 2 right
  int headerFont = 0;        // index into kReportFonts
  std::string headerText;
  int footerHeight = 5;
  int footerAlign = 0;
  int footerFont = 0;
  std::string footerText;
};

// Twenty-two texts; the index of each field in the settings file is given.
struct ReportProjectInfo {
  std::string projectName = "5";    // 0
  std::string testingUnit;          // 1
  std::string constructionUnit;     // 2
  std::string clientUnit;           // 3
  std::string testAge;              // 4
  std::string designStrength;       // 5
  std::string testBasis;            // 6
  std::string field7;               // 7 (carried only)
  std::string testDate;             // 8
  std::string reportDate;           // 9
  std::string commissionNumber;     // 10
  std::string instrumentNumber;     // 11
  std::string constructionDate;     // 12
  std::string testNumber;           // 13
  std::string field14;              // 14 (carried only)
  std::string field15;              // 15 (carried only)
  std::string field16;              // 16 (carried only)
  std::string field17;              // 17 (carried only)
  std::string recordSheetRemark;    // 18
  std::string resultTableRemark;    // 19
  std::string instrumentModel;      // 20
  std::string conversionTableName;  // 21

  static constexpr int kFieldCount = 22;
  // Field by settings-file index 0..21.
  std::string& field(int index);
  const std::string& field(int index) const;
};

// What the reports print beyond the fixed layout, chosen in the print
// settings dialog ("打印构件推定值") and kept with the program's window
// settings, not in the settings file (whose layout is fixed). Every report
// output takes it as a parameter; the defaults are what a fresh program
// prints.
struct ReportOptions {
  // The member-estimate row (N, Fmin, Mf, Sf, fcu,e) on the last result page
  // of every member, in the Word report and as a block in the Excel results.
  bool printMemberEstimates = true;
};

PrintSettings NewPrintSettings();

// Limits every field to the range its control in the print settings dialog
// allows: spin buttons 0…100 (margins, header and footer heights, first page
// number), check boxes 0 or 1, lists by
// their entries (page-number position and alignments 0…2, page-number
// format 0…1, fonts 0…4). The line widths have no spin button; 0…100 device
// pixels keeps every page drawable. Used on values read from the settings
// file, which may hold anything.
void LimitToDialogRanges(PrintSettings& settings);
ReportProjectInfo NewReportProjectInfo();

// Test basis printed for a standard: "CECS 02：2005" (full-width colon) for
// index 0, "TB10426-2004" for 1, the standard's display name otherwise. Set
// when a file is opened and when its standard is switched.
std::string TestBasisForStandard(Standard standard);

// Report dates are texts "year-month-day" without leading zeros
// ("2022-3-5"): FormatDate of records.h writes them.
//
// Reads a date text: year, month and day separated by '-', '/', '.' or
// written "2022年3月5日", leading zeros allowed, blanks around it and a time
// after a blank ignored. Empty when the text is no valid calendar date
// (month 1..12, day within the month, year 1..9999).
std::optional<CivilDate> ParseDateText(std::string_view text);
// The report form of a date text when it can be read, else the text as it is.
std::string ReportDateText(std::string_view text);

// After a file is opened: project name, testing unit, test date and
// construction date from the project header (dates in the report form when
// they can be read); test basis by the standard.
void FillReportInfoFromProject(ReportProjectInfo& info, const ProjectInfo& project, Standard standard);

}  // namespace korvane
