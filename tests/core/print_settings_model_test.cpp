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
  model.page().integer(PrintIntField::FirstPageNumber) = "150";  // limited to the spin range
  model.page().integer(PrintIntField::LeftMargin) = "-4";
  model.page().headerText = "页眉文字";

  const PrintDialogUpdate update = model.ToggleSwitch(PrintSwitch::Header, true);
  EXPECT_TRUE(update.messages.empty());
  EXPECT_FALSE(update.close);
  EXPECT_EQ(update.enabling, (PrintPageEnabling{true, false, false}));
  ASSERT_TRUE(update.integers.has_value());
  EXPECT_EQ((*update.integers)[static_cast<int>(PrintIntField::FirstPageNumber)], "100");
  EXPECT_EQ((*update.integers)[static_cast<int>(PrintIntField::LeftMargin)], "0");
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

TEST_F(PrintSetDialogTest, NonIntegerRefusesTheTransferAndKeepsFocus) {
  doc.printSettings.printFooter = 1;
  PrintSetDialogModel model(doc, options, kToday);
  EXPECT_EQ(model.enabling(), (PrintPageEnabling{false, true, false}));
  model.page().integer(PrintIntField::TopMargin) = "25";
  model.page().integer(PrintIntField::BottomMargin) = "1.5";

  PrintDialogUpdate update = model.ToggleSwitch(PrintSwitch::Header, true);
  EXPECT_EQ(update.messages, std::vector<std::string>{std::string(kMsgEnterInteger)});
  EXPECT_EQ(update.focus, PrintIntField::BottomMargin);
  EXPECT_EQ(update.enabling, (PrintPageEnabling{true, true, false}));  // as the boxes show
  EXPECT_EQ(doc.printSettings.printHeader, 0);
  EXPECT_EQ(doc.printSettings.topMargin, 20);

  update = model.Accept();
  EXPECT_FALSE(update.close);
  EXPECT_EQ(update.focus, PrintIntField::BottomMargin);
  EXPECT_EQ(doc.printSettings.topMargin, 20);

  model.page().integer(PrintIntField::BottomMargin) = "18";
  update = model.Accept();
  EXPECT_TRUE(update.close);
  EXPECT_EQ(doc.printSettings.printHeader, 1);
  EXPECT_EQ(doc.printSettings.topMargin, 25);
  EXPECT_EQ(doc.printSettings.bottomMargin, 18);
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

  doc.memberCount = -1;
  PrintSetDialogModel closed(doc, options, kToday);
  closed.SetDate(ReportDateField::ReportDate, CivilDate{2020, 2, 29});
  EXPECT_EQ(doc.reportInfo.reportDate, "2021-12-1");
}

}  // namespace
}  // namespace korvane
