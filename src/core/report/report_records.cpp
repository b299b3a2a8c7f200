#include "core/report/report_records.h"

#include <algorithm>

#include "core/data/records.h"

namespace korvane {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads 1 to 4 decimal digits at `pos`; -1 when there are none.
int ReadNumber(std::string_view text, std::size_t& pos) {
  int value = 0;
  int digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0) return -1;
  // More than four digits in a row is no date part.
  if (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') return -1;
  return value;
}

// Skips one separator: '-', '/', '.' or the given UTF-8 unit word.
bool SkipSeparator(std::string_view text, std::size_t& pos, std::string_view word) {
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '/' || text[pos] == '.')) {
    ++pos;
    return true;
  }
  if (text.substr(pos, word.size()) == word) {
    pos += word.size();
    return true;
  }
  return false;
}

}  // namespace

std::string& ReportProjectInfo::field(int index) {
  return const_cast<std::string&>(static_cast<const ReportProjectInfo&>(*this).field(index));
}

const std::string& ReportProjectInfo::field(int index) const {
  switch (index) {
    case 0: return projectName;
    case 1: return testingUnit;
    case 2: return constructionUnit;
    case 3: return clientUnit;
    case 4: return testAge;
    case 5: return designStrength;
    case 6: return testBasis;
    case 7: return field7;
    case 8: return testDate;
    case 9: return reportDate;
    case 10: return commissionNumber;
    case 11: return instrumentNumber;
    case 12: return constructionDate;
    case 13: return testNumber;
    case 14: return field14;
    case 15: return field15;
    case 16: return field16;
    case 17: return field17;
    case 18: return recordSheetRemark;
    case 19: return resultTableRemark;
    case 20: return instrumentModel;
    default: return conversionTableName;
  }
}

PrintSettings NewPrintSettings() { return PrintSettings{}; }
ReportProjectInfo NewReportProjectInfo() { return ReportProjectInfo{}; }

void LimitToDialogRanges(PrintSettings& s) {
  constexpr int kSpinMax = 100;  // spin buttons, and the line widths
  for (int* flag :
       {&s.printHeader, &s.printFooter, &s.printPageNumber, &s.printRecordSheet, &s.printResultTable}) {
    *flag = std::clamp(*flag, 0, 1);
  }
  for (int* value : {&s.borderLineWidth, &s.gridLineWidth, &s.topMargin, &s.leftMargin, &s.bottomMargin,
                     &s.rightMargin, &s.firstPageNumber, &s.headerHeight, &s.footerHeight}) {
    *value = std::clamp(*value, 0, kSpinMax);
  }
  for (int* position : {&s.pageNumberPosition, &s.headerAlign, &s.footerAlign})
    *position = std::clamp(*position, 0, 2);
  s.pageNumberFormat = std::clamp(s.pageNumberFormat, 0, 1);
  const int lastFont = static_cast<int>(kReportFonts.size()) - 1;
  for (int* font : {&s.headerFont, &s.footerFont}) *font = std::clamp(*font, 0, lastFont);
}

std::string TestBasisForStandard(Standard standard) {
  if (standard == Standard::CECS02_2005) return "CECS 02：2005";
  if (standard == Standard::TB10426_2004) return "TB10426-2004";
  return std::string(StandardDisplayName(standard));
}

std::optional<CivilDate> ParseDateText(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  CivilDate date;
  date.year = ReadNumber(text, pos);
  if (date.year < 1 || !SkipSeparator(text, pos, "年")) return std::nullopt;
  date.month = ReadNumber(text, pos);
  if (date.month < 1 || date.month > 12 || !SkipSeparator(text, pos, "月")) return std::nullopt;
  date.day = ReadNumber(text, pos);
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return std::nullopt;
  if (text.substr(pos, 3) == "日") pos += 3;
  // The rest may only be blanks, or a time after a blank.
  if (pos < text.size() && !IsBlank(text[pos])) return std::nullopt;
  return date;
}

std::string ReportDateText(std::string_view text) {
  if (const auto date = ParseDateText(text)) return FormatDate(*date);
  return std::string(text);
}

void FillReportInfoFromProject(ReportProjectInfo& info, const ProjectInfo& project, Standard standard) {
  info.projectName = project.site;
  info.testingUnit = project.unit;
  info.testDate = ReportDateText(project.testDate);
  info.constructionDate = ReportDateText(project.castingDate);
  info.testBasis = TestBasisForStandard(standard);
}

}  // namespace korvane
