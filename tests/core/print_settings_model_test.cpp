// Rules of the print settings dialog: the page transfer of the three switches
// and what "取消" restores, whole-number fields, the report choice, the dates.
#include "core/forms/print_settings_model.h"

#include <gtest/gtest.h>

#include "core/app/korvane_doc.h"
#include "core/report/report_layout.h"

namespace korvane {
namespace {

constexpr CivilDate kToday{2024, 6, 30};

class PrintSetDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { doc.memberCount = 1; }  // a file is open
  CKorvaneDoc doc;
  ReportOptions options;
};

TEST(PrintSetDialog, IntegerFieldsTakeWholeNumbersOnly) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"12", 12},
      {" 7\t", 7},
      {"+5", 5},
      {"-3", -3},
      {"0", 0},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"12.5", std::nullopt},
      {"1e3", std::nullopt},
      {"12a", std::nullopt},
      {"- 1", std::nullopt},
      {"+-1", std::nullopt},
      {"--1", std::nullopt},
      {"３", std::nullopt},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIntegerField(c.text), c.value) << "'" << c.text << "'";
}

TEST(PrintSetDialog, ListsOfTheProjectPage) {
  const std::vector<std::string> grades = DesignStrengthChoices();
  ASSERT_EQ(grades.size(), 14u);
  EXPECT_EQ(grades.front(), "C15");
  EXPECT_EQ(grades[1], "C20");
  EXPECT_EQ(grades.back(), "C80");
  EXPECT_EQ(kInstrumentModelChoices[2], "VKT-U6 ");
}

TEST_F(PrintSetDialogTest, SwitchTransfersThePageAndCancelRestoresOnlyTheSwitches) {
  PrintSetDialogModel model(doc, options, kToday);
  EXPECT_EQ(model.enabling(), (PrintPageEnabling{false, false, false}));
  model.page().integer(PrintIntField::TopMargin) = "33";
  model.page().integer(PrintIntField::FirstPageNumber) = "100";
  model.page().integer(PrintIntField::LeftMargin) = "0";
  model.page().headerText = "页眉文字";

  const PrintDialogUpdate update = model.ToggleSwitch(PrintSwitch::Header, true);
  EXPECT_TRUE(update.messages.empty());
  EXPECT_FALSE(update.close);
  EXPECT_EQ(update.enabling, (PrintPageEnabling{true, false, false}));
  EXPECT_EQ(doc.printSettings.printHeader, 1);
  EXPECT_EQ(doc.printSettings.topMargin, 33);
  EXPECT_EQ(doc.printSettings.firstPageNumber, 100);
  EXPECT_EQ(doc.printSettings.leftMargin, 0);
  EXPECT_EQ(doc.printSettings.headerText, "页眉文字");

  model.ToggleSwitch(PrintSwitch::PageNumber, true);
  EXPECT_EQ(doc.printSettings.printPageNumber, 1);
  const PrintDialogUpdate cancel = model.Cancel();
  EXPECT_TRUE(cancel.close);
  EXPECT_EQ(doc.printSettings.printHeader, 0);
  EXPECT_EQ(doc.printSettings.printPageNumber, 0);
  EXPECT_EQ(doc.printSettings.topMargin, 33);  // typed before the click: kept
  EXPECT_EQ(doc.printSettings.headerText, "页眉文字");
}

// A field that holds no whole number in its range, or margins that leave
// the report less than 100 mm of the A4 page, refuse the transfer: the
// message names the field (or the sum), the field keeps the focus, nothing
// is transferred.
TEST_F(PrintSetDialogTest, ATextOutOfItsRangeRefusesTheTransferAndKeepsFocus) {
  struct Case {
    PrintIntField field;
    const char* text;
    const char* message;
    PrintIntField focus;
  };
  const std::string sumWidth = "左右边距之和须不超过110 mm（A4纸宽210 mm，报表至少留100 mm）";
  const std::string sumHeight = "上下边距之和须不超过197 mm（A4纸高297 mm，报表至少留100 mm）";
  const Case cases[] = {
      {PrintIntField::BottomMargin, "1.5", "下边距须为0～100 mm之间的整数", PrintIntField::BottomMargin},
      {PrintIntField::TopMargin, "150", "上边距须为0～100 mm之间的整数", PrintIntField::TopMargin},
      {PrintIntField::LeftMargin, "-5", "左边距须为0～100 mm之间的整数", PrintIntField::LeftMargin},
      {PrintIntField::FirstPageNumber, "abc", "起始页码须为0～100之间的整数", PrintIntField::FirstPageNumber},
      {PrintIntField::BorderLine, "", "边框线宽须为0～100之间的整数", PrintIntField::BorderLine},
      {PrintIntField::LeftMargin, "100", sumWidth.c_str(), PrintIntField::RightMargin},
      {PrintIntField::TopMargin, "100", sumHeight.c_str(), PrintIntField::BottomMargin},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    doc.printSettings.printFooter = 1;
    doc.printSettings.printHeader = 0;
    doc.printSettings.rightMargin = doc.printSettings.bottomMargin = 20;
    const PrintSettings before = doc.printSettings;
    PrintSetDialogModel model(doc, options, kToday);
    if (c.field == PrintIntField::LeftMargin && std::string(c.text) == "100") {
      model.page().integer(PrintIntField::RightMargin) = "11";
    }
    if (c.field == PrintIntField::TopMargin && std::string(c.text) == "100") {
      model.page().integer(PrintIntField::BottomMargin) = "98";
    }
    model.page().integer(c.field) = c.text;
    PrintDialogUpdate update = model.ToggleSwitch(PrintSwitch::Header, true);
    EXPECT_EQ(update.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(update.focus, c.focus);
    EXPECT_EQ(update.enabling, (PrintPageEnabling{true, true, false}));  // as the boxes show
    EXPECT_EQ(doc.printSettings.printHeader, 0);
    update = model.Accept();
    EXPECT_FALSE(update.close);
    EXPECT_EQ(update.focus, c.focus);
    EXPECT_EQ(doc.printSettings.topMargin, before.topMargin);
    EXPECT_EQ(doc.printSettings.leftMargin, before.leftMargin);
  }
  // Margins that leave exactly 100 mm are taken.
  PrintSetDialogModel model(doc, options, kToday);
  model.page().integer(PrintIntField::LeftMargin) = "100";
  model.page().integer(PrintIntField::RightMargin) = "10";
  model.page().integer(PrintIntField::TopMargin) = "99";
  model.page().integer(PrintIntField::BottomMargin) = "98";
  EXPECT_TRUE(model.Accept().close);
  EXPECT_EQ(doc.printSettings.leftMargin, 100);
  EXPECT_EQ(doc.printSettings.bottomMargin, 98);
}

TEST_F(PrintSetDialogTest, OkNeedsAReportAndThenTakesTheProjectPageAndOptions) {
  PrintSetDialogModel model(doc, options, kToday);
  model.page().printRecordSheet = false;
  model.page().printResultTable = false;
  model.page().printMemberEstimates = false;
  model.info().projectName = "新工程";
  model.info().designStrength = "C35";

  PrintDialogUpdate update = model.Accept();
  EXPECT_EQ(update.messages, std::vector<std::string>{std::string(report::kMsgChooseReport)});
  EXPECT_FALSE(update.close);
  EXPECT_EQ(doc.reportInfo.projectName, "5");  // the project page waits for a valid "确定"
  EXPECT_TRUE(options.printMemberEstimates);

  model.page().printResultTable = true;
  update = model.Accept();
  EXPECT_TRUE(update.messages.empty());
  EXPECT_TRUE(update.close);
  EXPECT_EQ(doc.printSettings.printRecordSheet, 0);
  EXPECT_EQ(doc.printSettings.printResultTable, 1);
  EXPECT_EQ(doc.reportInfo.projectName, "新工程");
  EXPECT_EQ(doc.reportInfo.designStrength, "C35");
  EXPECT_FALSE(options.printMemberEstimates);
}

TEST_F(PrintSetDialogTest, CancelKeepsProjectPageAndOptions) {
  PrintSetDialogModel model(doc, options, kToday);
  model.page().printMemberEstimates = false;
  model.info().testingUnit = "改了";
  model.Cancel();
  EXPECT_EQ(doc.reportInfo.testingUnit, "");
  EXPECT_TRUE(options.printMemberEstimates);
}

TEST_F(PrintSetDialogTest, DatesAreRewrittenAndPickersWriteWhileAFileIsOpen) {
  doc.reportInfo.testDate = "2022-03-05 10:30:00";
  doc.reportInfo.reportDate = "2021年12月1日";
  doc.reportInfo.constructionDate = "不详";
  PrintSetDialogModel model(doc, options, kToday);
  EXPECT_EQ(doc.reportInfo.testDate, "2022-3-5");
  EXPECT_EQ(doc.reportInfo.reportDate, "2021-12-1");
  EXPECT_EQ(doc.reportInfo.constructionDate, "不详");  // no date: left as it is
  EXPECT_EQ(FormatDate(model.date(ReportDateField::TestDate)), "2022-3-5");
  EXPECT_EQ(FormatDate(model.date(ReportDateField::ConstructionDate)), "2024-6-30");

  model.SetDate(ReportDateField::ConstructionDate, CivilDate{2023, 1, 9});
  EXPECT_EQ(doc.reportInfo.constructionDate, "2023-1-9");
  model.Accept();
  EXPECT_EQ(doc.reportInfo.constructionDate, "2023-1-9");

  // A date never set shows today on its picker, and "确定" stores it: the
  // reports print what the dialog showed.
  doc.reportInfo.reportDate.clear();
  doc.reportInfo.constructionDate = "不详";
  PrintSetDialogModel untouched(doc, options, kToday);
  untouched.Accept();
  EXPECT_EQ(doc.reportInfo.reportDate, "2024-6-30");
  EXPECT_EQ(doc.reportInfo.constructionDate, "2024-6-30");
  EXPECT_EQ(doc.reportInfo.testDate, "2022-3-5");

  doc.reportInfo.reportDate = "2021-12-1";
  doc.memberCount = -1;
  PrintSetDialogModel closed(doc, options, kToday);
  closed.SetDate(ReportDateField::ReportDate, CivilDate{2020, 2, 29});
  EXPECT_EQ(doc.reportInfo.reportDate, "2021-12-1");
}

}  // namespace
}  // namespace korvane
