#include "core/forms/print_settings_model.h"

#include <algorithm>
#include <charconv>

#include "core/app/korvane_doc.h"
#include "core/data/text_encoding.h"
#include "core/report/report_layout.h"

namespace korvane {
namespace {

// Characters of a stored date that are read: the date part of a text that
// may carry a time after it.
constexpr std::size_t kDateUnits = 10;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Settings-file index of each date picker's field.
constexpr std::array<int, 3> kDateFieldIndex = {8, 9, 12};

// The field of `s` an integer control edits (PrintSettings or const).
template <typename Settings>
auto& SettingsValue(Settings& s, PrintIntField field) {
  switch (field) {
    case PrintIntField::BorderLine: return s.borderLineWidth;
    case PrintIntField::GridLine: return s.gridLineWidth;
    case PrintIntField::TopMargin: return s.topMargin;
    case PrintIntField::LeftMargin: return s.leftMargin;
    case PrintIntField::BottomMargin: return s.bottomMargin;
    case PrintIntField::RightMargin: return s.rightMargin;
    case PrintIntField::FirstPageNumber: return s.firstPageNumber;
    case PrintIntField::HeaderHeight: return s.headerHeight;
    case PrintIntField::FooterHeight: return s.footerHeight;
  }
  return s.borderLineWidth;
}

// The date of a stored text, read from its first ten characters.
std::optional<CivilDate> StoredDate(const std::string& text) {
  std::u16string units = Utf8ToUtf16(text);
  if (units.size() > kDateUnits) units.resize(kDateUnits);
  return ParseDateText(Utf16ToUtf8(units));
}

}  // namespace

std::vector<std::string> DesignStrengthChoices() {
  std::vector<std::string> choices;
  for (int grade = 15; grade <= 80; grade += 5) choices.push_back("C" + std::to_string(grade));
  return choices;
}

NumberRange PrintFieldRange(PrintIntField field) {
  static constexpr std::array<std::string_view, kPrintIntFieldCount> kNames = {
      "边框线宽", "网格线宽", "上边距", "左边距", "下边距", "右边距", "起始页码", "页眉高度", "页脚高度"};
  const bool millimetres = field != PrintIntField::BorderLine && field != PrintIntField::GridLine &&
                           field != PrintIntField::FirstPageNumber;
  return NumberRange{std::string(kNames[static_cast<int>(field)]),
                     kPrintFieldMinimum,
                     kPrintFieldMaximum,
                     true,
                     true,
                     millimetres ? "mm" : ""};
}

std::string MarginSumMessage(bool topAndBottom) {
  const int paper = topAndBottom ? kPaperHeightMm : kPaperWidthMm;
  return std::string(topAndBottom ? "上下边距之和须不超过" : "左右边距之和须不超过") +
         std::to_string(paper - kReportLeastMm) + " mm（A4纸" + (topAndBottom ? "高" : "宽") +
         std::to_string(paper) + " mm，报表至少留" + std::to_string(kReportLeastMm) + " mm）";
}

std::optional<int> ParseIntegerField(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const bool plus = begin < end && text[begin] == '+';
  if (plus) ++begin;
  // A sign must be followed by a digit ("+-1" and "- 1" are refused).
  const std::size_t digit = !plus && begin < end && text[begin] == '-' ? begin + 1 : begin;
  if (digit >= end || text[digit] < '0' || text[digit] > '9') return std::nullopt;
  int value = 0;
  const auto [rest, error] = std::from_chars(text.data() + begin, text.data() + end, value);
  if (error != std::errc{} || rest != text.data() + end) return std::nullopt;
  return value;
}

PrintPageControls ControlsFromSettings(const PrintSettings& s, const ReportOptions& options) {
  PrintPageControls c;
  c.printHeader = s.printHeader != 0;
  c.printFooter = s.printFooter != 0;
  c.printPageNumber = s.printPageNumber != 0;
  c.printRecordSheet = s.printRecordSheet != 0;
  c.printResultTable = s.printResultTable != 0;
  c.printMemberEstimates = options.printMemberEstimates;
  for (int i = 0; i < kPrintIntFieldCount; ++i)
    c.integers[i] = std::to_string(SettingsValue(s, static_cast<PrintIntField>(i)));
  c.pageNumberPosition = s.pageNumberPosition;
  c.pageNumberFormat = s.pageNumberFormat;
  c.headerAlign = s.headerAlign;
  c.headerFont = s.headerFont;
  c.footerAlign = s.footerAlign;
  c.footerFont = s.footerFont;
  c.headerText = s.headerText;
  c.footerText = s.footerText;
  return c;
}

PrintSetDialogModel::PrintSetDialogModel(CKorvaneDoc& doc, ReportOptions& options, const CivilDate& today)
    : doc_(doc),
      options_(options),
      page_(ControlsFromSettings(doc.printSettings, options)),
      openingHeader_(doc.printSettings.printHeader),
      openingFooter_(doc.printSettings.printFooter),
      openingPageNumber_(doc.printSettings.printPageNumber) {
  for (int i = 0; i < 3; ++i) {
    std::string& stored = doc_.reportInfo.field(kDateFieldIndex[i]);
    const std::optional<CivilDate> date = StoredDate(stored);
    dates_[i] = date.value_or(today);
    if (date) stored = FormatDate(*date);
  }
  info_ = doc_.reportInfo;
}

PrintPageEnabling PrintSetDialogModel::enabling() const {
  return {page_.printHeader, page_.printFooter, page_.printPageNumber};
}

void PrintSetDialogModel::SetDate(ReportDateField field, const CivilDate& date) {
  const int i = static_cast<int>(field);
  dates_[i] = date;
  if (!doc_.HasFile()) return;
  const std::string text = FormatDate(date);
  doc_.reportInfo.field(kDateFieldIndex[i]) = text;
  info_.field(kDateFieldIndex[i]) = text;
}

bool PrintSetDialogModel::TransferPage(PrintDialogUpdate& update) {
  std::array<int, kPrintIntFieldCount> values{};
  const auto refuse = [&update](std::string message, PrintIntField field) {
    update.messages.push_back(std::move(message));
    update.focus = field;
    return false;
  };
  for (int i = 0; i < kPrintIntFieldCount; ++i) {
    const auto field = static_cast<PrintIntField>(i);
    const NumberRange range = PrintFieldRange(field);
    const std::optional<int> value = ParseIntegerField(page_.integers[i]);
    if (!value || !InRange(*value, range)) return refuse(RangeMessage(range), field);
    values[i] = *value;
  }
  const auto value = [&values](PrintIntField field) { return values[static_cast<int>(field)]; };
  if (value(PrintIntField::LeftMargin) + value(PrintIntField::RightMargin) > kPaperWidthMm - kReportLeastMm) {
    return refuse(MarginSumMessage(false), PrintIntField::RightMargin);
  }
  if (value(PrintIntField::TopMargin) + value(PrintIntField::BottomMargin) >
      kPaperHeightMm - kReportLeastMm) {
    return refuse(MarginSumMessage(true), PrintIntField::BottomMargin);
  }
  PrintSettings& s = doc_.printSettings;
  s.printHeader = page_.printHeader ? 1 : 0;
  s.printFooter = page_.printFooter ? 1 : 0;
  s.printPageNumber = page_.printPageNumber ? 1 : 0;
  s.printRecordSheet = page_.printRecordSheet ? 1 : 0;
  s.printResultTable = page_.printResultTable ? 1 : 0;
  std::array<std::string, kPrintIntFieldCount> texts;
  for (int i = 0; i < kPrintIntFieldCount; ++i) {
    SettingsValue(s, static_cast<PrintIntField>(i)) = values[i];
    texts[i] = std::to_string(values[i]);
  }
  if (texts != page_.integers) {
    page_.integers = texts;
    update.integers = texts;
  }
  s.pageNumberPosition = page_.pageNumberPosition;
  s.pageNumberFormat = page_.pageNumberFormat;
  s.headerAlign = page_.headerAlign;
  s.headerFont = page_.headerFont;
  s.footerAlign = page_.footerAlign;
  s.footerFont = page_.footerFont;
  s.headerText = page_.headerText;
  s.footerText = page_.footerText;
  return true;
}

PrintDialogUpdate PrintSetDialogModel::ToggleSwitch(PrintSwitch which, bool checked) {
  switch (which) {
    case PrintSwitch::Header: page_.printHeader = checked; break;
    case PrintSwitch::Footer: page_.printFooter = checked; break;
    case PrintSwitch::PageNumber: page_.printPageNumber = checked; break;
  }
  PrintDialogUpdate update;
  TransferPage(update);
  update.enabling = enabling();
  return update;
}

PrintDialogUpdate PrintSetDialogModel::Accept() {
  PrintDialogUpdate update;
  update.enabling = enabling();
  if (!TransferPage(update)) return update;
  if (!page_.printRecordSheet && !page_.printResultTable) {
    update.messages.emplace_back(report::kMsgChooseReport);
    return update;
  }
  // What the pickers show is what prints: a date never set (or a text that
  // is no date) takes the picker's date, today's on opening.
  if (doc_.HasFile()) {
    for (int i = 0; i < 3; ++i) {
      std::string& text = info_.field(kDateFieldIndex[i]);
      if (!StoredDate(text)) text = FormatDate(dates_[i]);
    }
  }
  doc_.reportInfo = info_;
  options_.printMemberEstimates = page_.printMemberEstimates;
  update.close = true;
  return update;
}

PrintDialogUpdate PrintSetDialogModel::Cancel() {
  doc_.printSettings.printHeader = openingHeader_;
  doc_.printSettings.printFooter = openingFooter_;
  doc_.printSettings.printPageNumber = openingPageNumber_;
  PrintDialogUpdate update;
  update.enabling = enabling();
  update.close = true;
  return update;
}

}  // namespace korvane
