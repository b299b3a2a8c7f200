// Logic of the print settings dialog ("打印设置"): a tab control with the
// pages "打印页面设置" (page frame, header, footer, page numbers, line widths,
// what to print) and "打印工程信息" (the project information of the report
// heads), buttons "确定" and "取消". The dialog edits the document's
// PrintSettings and ReportProjectInfo in place and the program's
// ReportOptions; its view (Qt) only shows what this model says and reports
// what the user does.
//
// Rules:
//  - Clicking "打印页眉", "打印页脚" or "打印页码" transfers the whole first
//    page into PrintSettings at once; "取消" later restores only those three
//    flags, so margins typed before such a click stay changed.
//  - "确定" transfers the first page; with neither report chosen it shows
//    "请选择要打印的内容" and the dialog stays open; otherwise the second page
//    and "打印构件推定值" are transferred and the dialog closes.
//  - An integer field holding no whole number in its range (0 … 100) refuses
//    a transfer with its message ("上边距须为0～100 mm之间的整数"), and so do
//    margins that leave less than 100 mm of the A4 page's width or height
//    (the message names the sum); the field keeps the focus and nothing is
//    transferred.
//  - The dates are rewritten year-month-day when the dialog opens; while a
//    file is open, a changed date picker writes its date into its field at
//    once.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/records.h"
#include "core/data/typed_number.h"
#include "core/report/report_records.h"

namespace korvane {

class CKorvaneDoc;

inline constexpr std::string_view kPrintSetDialogTitle = "打印设置";
inline constexpr std::string_view kPrintPageTabTitle = "打印页面设置";
inline constexpr std::string_view kPrintInfoTabTitle = "打印工程信息";

// Range of every integer field (the spin buttons' range; a typed value
// outside it is refused).
inline constexpr int kPrintFieldMinimum = 0;
inline constexpr int kPrintFieldMaximum = 100;
// The reports' paper (A4, mm) and the least width and height the margins
// leave them.
inline constexpr int kPaperWidthMm = 210;
inline constexpr int kPaperHeightMm = 297;
inline constexpr int kReportLeastMm = 100;

// Lists of the first page, in index order of the fields they set.
inline constexpr std::array<std::string_view, 3> kAlignmentNames = {"左侧", "居中", "右侧"};
inline constexpr std::array<std::string_view, 3> kPageNumberPositionNames = {"底部左侧", "底部居中",
                                                                             "底部右侧"};
inline constexpr std::array<std::string_view, 2> kPageNumberFormatNames = {"123", "I II III"};

// Choices of the editable lists of the second page (their fields also take
// any typed text). Design strengths "C15" … "C80" in steps of 5 (fourteen
// grades); instrument models in sorted order ("VKT-U6 " with its trailing
// blank); conversion tables sorted as a Chinese list sorts them (by pinyin).
std::vector<std::string> DesignStrengthChoices();
inline constexpr std::array<std::string_view, 4> kInstrumentModelChoices = {"VKT-U5", "VKT-U5(T)", "VKT-U6 ",
                                                                            "VKT-U7"};
inline constexpr std::array<std::string_view, 3> kConversionTableChoices = {"地区", "规程", "专用"};

// A whole number as the integer fields take it: blanks around it allowed, an
// optional sign, decimal digits, nothing else, within the int range. Empty
// otherwise ("12.5", "", "1e3", "２").
std::optional<int> ParseIntegerField(std::string_view text);

// Integer fields of the first page, in tab order (PrintFieldRange names
// them).
enum class PrintIntField {
  BorderLine,  // "边框", pixels
  GridLine,    // "网格", pixels
  TopMargin,   // mm
  LeftMargin,
  BottomMargin,
  RightMargin,
  FirstPageNumber,
  HeaderHeight,  // mm
  FooterHeight,  // mm
};
inline constexpr int kPrintIntFieldCount = 9;
// The field's range and the name its message gives it.
NumberRange PrintFieldRange(PrintIntField field);
// "左右边距之和须不超过110 mm（A4纸宽210 mm，报表至少留100 mm）", or the
// same of the top and bottom margins.
std::string MarginSumMessage(bool topAndBottom);

// The three check boxes that transfer the page when clicked.
enum class PrintSwitch { Header, Footer, PageNumber };

// The controls of the first page as the user sees them.
struct PrintPageControls {
  bool printHeader = false;
  bool printFooter = false;
  bool printPageNumber = false;
  bool printRecordSheet = true;
  bool printResultTable = false;
  bool printMemberEstimates = true;                       // "打印构件推定值"
  std::array<std::string, kPrintIntFieldCount> integers;  // texts, by PrintIntField
  int pageNumberPosition = 0;                             // list indices
  int pageNumberFormat = 0;
  int headerAlign = 0;
  int headerFont = 0;
  int footerAlign = 0;
  int footerFont = 0;
  std::string headerText;
  std::string footerText;

  std::string& integer(PrintIntField field) { return integers[static_cast<int>(field)]; }
  const std::string& integer(PrintIntField field) const { return integers[static_cast<int>(field)]; }
};

// Which groups of the first page are enabled: the header controls (height,
// its spin button, alignment, font, text) with "打印页眉", the footer
// controls with "打印页脚", the page-number controls (position, first number,
// its spin button, format) with "打印页码".
struct PrintPageEnabling {
  bool header = false;
  bool footer = false;
  bool pageNumber = false;
  bool operator==(const PrintPageEnabling&) const = default;
};

// The three date pickers of the second page.
enum class ReportDateField { TestDate, ReportDate, ConstructionDate };

// What the view has to do after "确定", "取消" or a click on one of the three
// check boxes, in this order: show the messages, put the focus into
// `focus` (a field that holds no whole number), replace the integer texts
// (limited values), apply the enabling, close the dialog.
struct PrintDialogUpdate {
  std::vector<std::string> messages;
  std::optional<PrintIntField> focus;
  std::optional<std::array<std::string, kPrintIntFieldCount>> integers;
  PrintPageEnabling enabling;
  bool close = false;
};

class PrintSetDialogModel {
 public:
  // Opening: reads both records into the controls, remembers the three
  // flags for "取消", and rewrites the three stored dates year-month-day
  // (a text that is no date is left as it is; its picker shows `today`).
  PrintSetDialogModel(CKorvaneDoc& doc, ReportOptions& options, const CivilDate& today = CivilDate::Today());

  // The first page's controls; the view writes every change of a control
  // here before it calls one of the actions below.
  PrintPageControls& page() { return page_; }
  const PrintPageControls& page() const { return page_; }
  PrintPageEnabling enabling() const;

  // The second page's text controls (every field of ReportProjectInfo; the
  // view edits the ones it shows). Transferred on "确定".
  ReportProjectInfo& info() { return info_; }
  const ReportProjectInfo& info() const { return info_; }
  // The date a picker shows.
  CivilDate date(ReportDateField field) const { return dates_[static_cast<int>(field)]; }
  // A date picker changed: while a file is open the date is written
  // year-month-day into its field of the document (and of the page).
  void SetDate(ReportDateField field, const CivilDate& date);

  // A click on one of the three check boxes (its new state).
  // "确定": also stores each date as its picker shows it (a date never set
  // shows today's), so that the reports print what the dialog showed.
  PrintDialogUpdate ToggleSwitch(PrintSwitch which, bool checked);
  PrintDialogUpdate Accept();
  PrintDialogUpdate Cancel();

 private:
  // Transfers the first page into PrintSettings; false (with the message
  // and the focus in `update`) when an integer field holds no whole number.
  bool TransferPage(PrintDialogUpdate& update);

  CKorvaneDoc& doc_;
  ReportOptions& options_;
  PrintPageControls page_;
  ReportProjectInfo info_;
  std::array<CivilDate, 3> dates_;
  int openingHeader_;
  int openingFooter_;
  int openingPageNumber_;
};

// The controls of the first page for print settings and options.
PrintPageControls ControlsFromSettings(const PrintSettings& settings, const ReportOptions& options);

}  // namespace korvane
