#include "core/report/report_records.h"

#include "core/data/records.h"

namespace korvane {

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

std::string TestBasisForStandard(int standardIndex) {
  if (standardIndex == 0) return "CECS 02：2005";
  if (standardIndex == 1) return "TB10426-2004";
  return {};
}

void FillReportInfoFromProject(ReportProjectInfo& info, const ProjectInfo& project, int standardIndex) {
  info.projectName = project.site;
  info.testingUnit = project.unit;
  info.testDate = project.testDate;
  info.constructionDate = project.castingDate;
  info.testBasis = TestBasisForStandard(standardIndex);
}

}  // namespace korvane
