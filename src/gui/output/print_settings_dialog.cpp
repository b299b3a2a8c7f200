#include "gui/output/print_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/korvane_doc.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/tab_order.h"

namespace korvane::gui {

namespace {

template <std::size_t N>
QComboBox* FixedList(const std::array<std::string_view, N>& names, QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (std::string_view name : names) list->addItem(FromUtf8(name));
  return list;
}

QDate ToQDate(const CivilDate& date) { return QDate(date.year, date.month, date.day); }

// Field indices of the second page's editors, with their labels, in the
// order they are laid out (two columns, top to bottom).
struct InfoRow {
  int field;
  const char* label;
};
constexpr InfoRow kInfoRows[] = {
    {0, "工程名称"},          {1, "检测单位"},  {2, "施工单位"},    {3, "委托单位"},
    {4, "检测龄期"},          {5, "设计强度"},  {6, "检测依据"},    {20, "仪器型号"},
    {10, "委托编号"},         {13, "检测编号"}, {8, "检测日期"},    {9, "报告日期"},
    {12, "施工日期"},         {11, "仪器编号"}, {21, "换算表名称"}, {18, "现场记录表备注："},
    {19, "结果数据表备注："},
};
// Rows of each of the two columns above the remarks.
constexpr int kInfoColumnRows = 8;
constexpr std::array<int, 3> kDateFields = {8, 9, 12};

int DateSlot(int field) {
  for (int i = 0; i < 3; ++i) {
    if (kDateFields[i] == field) return i;
  }
  return -1;
}

}  // namespace

// ---- CSpinEdit ------------------------------------------------------------------

CSpinEdit::CSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  connect(lineEdit(), &QLineEdit::textChanged, this, &CSpinEdit::textChanged);
}

void CSpinEdit::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void CSpinEdit::setText(const QString& text) { lineEdit()->setText(text); }

void CSpinEdit::stepBy(int steps) {
  const std::optional<int> value = ParseIntegerField(text().toStdString());
  const long long next = static_cast<long long>(value.value_or(minimum_)) + (value ? steps : 0);
  setText(QString::number(std::clamp<long long>(next, minimum_, maximum_)));
  selectAll();
}

QSize CSpinEdit::minimumSizeHint() const {
  ensurePolished();
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  // Room for one digit more than the largest value, and the edit's margins.
  const QSize text(fontMetrics().horizontalAdvance(QString::number(maximum_) + QLatin1Char('0')) + 6,
                   lineEdit()->sizeHint().height());
  return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QValidator::State CSpinEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

void CSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled CSpinEdit::stepEnabled() const {
  if (isReadOnly() || !isEnabled()) return StepNone;
  return StepUpEnabled | StepDownEnabled;
}

// ---- CDlgPrintSet -----------------------------------------------------------------

CDlgPrintSet::CDlgPrintSet(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CDlgPrintSet"));
  headerCheck_ = new QCheckBox(QStringLiteral("打印页眉"), this);
  footerCheck_ = new QCheckBox(QStringLiteral("打印页脚"), this);
  pageNumberCheck_ = new QCheckBox(QStringLiteral("打印页码"), this);

  auto integer = [this](PrintIntField field, bool spin) {
    QWidget* widget = nullptr;
    QLineEdit* edit = nullptr;
    if (spin) {
      auto* box = new CSpinEdit(this);
      box->setRange(kPrintFieldMinimum, kPrintFieldMaximum);
      widget = box;
      edit = box->edit();
    } else {
      edit = new QLineEdit(this);
      widget = edit;
    }
    widget->setMaximumWidth(std::max(80, widget->minimumSizeHint().width()));
    integerWidgets_[static_cast<int>(field)] = widget;
    integerEdits_[static_cast<int>(field)] = edit;
    return widget;
  };

  // What to print.
  auto* content = new QGroupBox(QStringLiteral("打印内容"), this);
  recordSheetCheck_ = new QCheckBox(QStringLiteral("超声回弹综合法检测记录表"), content);
  resultTableCheck_ = new QCheckBox(QStringLiteral("强度报告"), content);
  memberEstimatesCheck_ = new QCheckBox(QStringLiteral("打印构件推定值"), content);
  auto* contentLayout = new QVBoxLayout(content);
  contentLayout->addWidget(recordSheetCheck_);
  contentLayout->addWidget(resultTableCheck_);
  contentLayout->addWidget(memberEstimatesCheck_);

  // Line widths.
  auto* lines = new QGroupBox(QStringLiteral("线型"), this);
  auto* linesLayout = new QGridLayout(lines);
  linesLayout->addWidget(new QLabel(QStringLiteral("边框"), lines), 0, 0);
  linesLayout->addWidget(integer(PrintIntField::BorderLine, false), 0, 1);
  linesLayout->addWidget(new QLabel(QStringLiteral("网格"), lines), 1, 0);
  linesLayout->addWidget(integer(PrintIntField::GridLine, false), 1, 1);

  // Margins.
  auto* margins = new QGroupBox(QStringLiteral("页边距(单位:mm)"), this);
  auto* marginsLayout = new QGridLayout(margins);
  marginsLayout->addWidget(new QLabel(QStringLiteral("上"), margins), 0, 0);
  marginsLayout->addWidget(integer(PrintIntField::TopMargin, true), 0, 1);
  marginsLayout->addWidget(new QLabel(QStringLiteral("左"), margins), 0, 2);
  marginsLayout->addWidget(integer(PrintIntField::LeftMargin, true), 0, 3);
  marginsLayout->addWidget(new QLabel(QStringLiteral("下"), margins), 1, 0);
  marginsLayout->addWidget(integer(PrintIntField::BottomMargin, true), 1, 1);
  marginsLayout->addWidget(new QLabel(QStringLiteral("右"), margins), 1, 2);
  marginsLayout->addWidget(integer(PrintIntField::RightMargin, true), 1, 3);

  // Page numbers.
  auto* numbers = new QGroupBox(QStringLiteral("页码"), this);
  auto* numbersLayout = new QGridLayout(numbers);
  pageNumberPosition_ = FixedList(kPageNumberPositionNames, numbers);
  pageNumberFormat_ = FixedList(kPageNumberFormatNames, numbers);
  auto* positionLabel = new QLabel(QStringLiteral("页码位置"), numbers);
  auto* firstLabel = new QLabel(QStringLiteral("起始页码"), numbers);
  auto* formatLabel = new QLabel(QStringLiteral("页码格式"), numbers);
  QWidget* first = integer(PrintIntField::FirstPageNumber, true);
  numbersLayout->addWidget(positionLabel, 0, 0);
  numbersLayout->addWidget(pageNumberPosition_, 0, 1);
  numbersLayout->addWidget(firstLabel, 1, 0);
  numbersLayout->addWidget(first, 1, 1);
  numbersLayout->addWidget(formatLabel, 2, 0);
  numbersLayout->addWidget(pageNumberFormat_, 2, 1);
  pageNumberGroup_ = {positionLabel, pageNumberPosition_, firstLabel, first, formatLabel, pageNumberFormat_};

  // Header and footer.
  auto band = [this, &integer](const QString& title, const QString& textLabel, PrintIntField height,
                               QComboBox*& align, QComboBox*& font, QLineEdit*& text,
                               QList<QWidget*>& group) {
    auto* box = new QGroupBox(title, this);
    auto* layout = new QGridLayout(box);
    align = FixedList(kAlignmentNames, box);
    font = FixedList(kReportFonts, box);
    text = new QLineEdit(box);
    auto* heightLabel = new QLabel(QStringLiteral("高度"), box);
    auto* unitLabel = new QLabel(QStringLiteral("mm"), box);
    auto* alignLabel = new QLabel(QStringLiteral("位置"), box);
    auto* fontLabel = new QLabel(QStringLiteral("字体"), box);
    auto* contentLabel = new QLabel(textLabel, box);
    QWidget* heightField = integer(height, true);
    layout->addWidget(heightLabel, 0, 0);
    layout->addWidget(heightField, 0, 1);
    layout->addWidget(unitLabel, 0, 2);
    layout->addWidget(alignLabel, 0, 3);
    layout->addWidget(align, 0, 4);
    layout->addWidget(fontLabel, 0, 5);
    layout->addWidget(font, 0, 6);
    layout->addWidget(contentLabel, 1, 0);
    layout->addWidget(text, 1, 1, 1, 6);
    group = {heightLabel, heightField, unitLabel, alignLabel, align, fontLabel, font, contentLabel, text};
    return box;
  };
  QGroupBox* header = band(QStringLiteral("页眉"), QStringLiteral("页眉内容"), PrintIntField::HeaderHeight,
                           headerAlign_, headerFont_, headerText_, headerGroup_);
  QGroupBox* footer = band(QStringLiteral("页脚"), QStringLiteral("页脚内容"), PrintIntField::FooterHeight,
                           footerAlign_, footerFont_, footerText_, footerGroup_);

  auto* switches = new QHBoxLayout;
  switches->addWidget(headerCheck_);
  switches->addWidget(footerCheck_);
  switches->addWidget(pageNumberCheck_);
  switches->addStretch(1);

  auto* grid = new QGridLayout(this);
  grid->addLayout(switches, 0, 0, 1, 2);
  grid->addWidget(content, 1, 0);
  grid->addWidget(numbers, 1, 1);
  grid->addWidget(margins, 2, 0);
  grid->addWidget(lines, 2, 1);
  grid->addWidget(header, 3, 0, 1, 2);
  grid->addWidget(footer, 4, 0, 1, 2);
  // Tab as the page reads, not as the controls were made.
  SetReadingTabOrder(this);
  grid->setRowStretch(5, 1);
}

void CDlgPrintSet::showControls(const PrintPageControls& c, const PrintPageEnabling& enabling) {
  auto check = [](QCheckBox* box, bool on) {
    const QSignalBlocker block(box);
    box->setChecked(on);
  };
  check(headerCheck_, c.printHeader);
  check(footerCheck_, c.printFooter);
  check(pageNumberCheck_, c.printPageNumber);
  check(recordSheetCheck_, c.printRecordSheet);
  check(resultTableCheck_, c.printResultTable);
  check(memberEstimatesCheck_, c.printMemberEstimates);
  for (int i = 0; i < kPrintIntFieldCount; ++i) {
    const QSignalBlocker block(integerEdits_[i]);
    integerEdits_[i]->setText(FromUtf8(c.integers[i]));
  }
  auto select = [](QComboBox* list, int index) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
  };
  select(pageNumberPosition_, c.pageNumberPosition);
  select(pageNumberFormat_, c.pageNumberFormat);
  select(headerAlign_, c.headerAlign);
  select(headerFont_, c.headerFont);
  select(footerAlign_, c.footerAlign);
  select(footerFont_, c.footerFont);
  {
    const QSignalBlocker block(headerText_);
    headerText_->setText(FromUtf8(c.headerText));
  }
  {
    const QSignalBlocker block(footerText_);
    footerText_->setText(FromUtf8(c.footerText));
  }
  setEnabling(enabling);
}

void CDlgPrintSet::setEnabling(const PrintPageEnabling& enabling) {
  for (QWidget* w : headerGroup_) w->setEnabled(enabling.header);
  for (QWidget* w : footerGroup_) w->setEnabled(enabling.footer);
  for (QWidget* w : pageNumberGroup_) w->setEnabled(enabling.pageNumber);
}

void CDlgPrintSet::bind(PrintPageControls* c) {
  connect(recordSheetCheck_, &QCheckBox::toggled, this, [c](bool on) { c->printRecordSheet = on; });
  connect(resultTableCheck_, &QCheckBox::toggled, this, [c](bool on) { c->printResultTable = on; });
  connect(memberEstimatesCheck_, &QCheckBox::toggled, this, [c](bool on) { c->printMemberEstimates = on; });
  for (int i = 0; i < kPrintIntFieldCount; ++i) {
    connect(integerEdits_[i], &QLineEdit::textChanged, this,
            [c, i](const QString& text) { c->integers[i] = text.toStdString(); });
  }
  auto list = [this](QComboBox* box, int* field) {
    connect(box, &QComboBox::currentIndexChanged, this, [field](int index) {
      if (index >= 0) *field = index;
    });
  };
  list(pageNumberPosition_, &c->pageNumberPosition);
  list(pageNumberFormat_, &c->pageNumberFormat);
  list(headerAlign_, &c->headerAlign);
  list(headerFont_, &c->headerFont);
  list(footerAlign_, &c->footerAlign);
  list(footerFont_, &c->footerFont);
  connect(headerText_, &QLineEdit::textChanged, this,
          [c](const QString& text) { c->headerText = text.toStdString(); });
  connect(footerText_, &QLineEdit::textChanged, this,
          [c](const QString& text) { c->footerText = text.toStdString(); });
}

// ---- CPrintSetInfo -----------------------------------------------------------------

CPrintSetInfo::CPrintSetInfo(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CPrintSetInfo"));
  auto* grid = new QGridLayout(this);
  constexpr int kRows = kInfoColumnRows;
  int n = 0;
  for (const InfoRow& row : kInfoRows) {
    QWidget* editor = nullptr;
    const int slot = DateSlot(row.field);
    if (slot >= 0) {
      auto* date = new QDateEdit(this);
      date->setCalendarPopup(true);
      date->setDisplayFormat(QStringLiteral("yyyy-M-d"));
      dates_[slot] = date;
      editor = date;
      connect(date, &QDateEdit::dateChanged, this, [this, slot](const QDate& d) {
        emit dateChanged(static_cast<ReportDateField>(slot), CivilDate{d.year(), d.month(), d.day()});
      });
    } else if (row.field == 5 || row.field == 20 || row.field == 21) {
      auto* list = new QComboBox(this);
      list->setEditable(true);
      list->setInsertPolicy(QComboBox::NoInsert);
      if (row.field == 5) {
        for (const std::string& grade : DesignStrengthChoices()) list->addItem(FromUtf8(grade));
      } else if (row.field == 20) {
        for (std::string_view model : kInstrumentModelChoices) list->addItem(FromUtf8(model));
      } else {
        for (std::string_view table : kConversionTableChoices) list->addItem(FromUtf8(table));
      }
      editor = list;
      fields_[row.field] = list;
    } else {
      auto* edit = new QLineEdit(this);
      editor = edit;
      fields_[row.field] = edit;
    }
    editor->setMinimumWidth(180);
    const bool remark = row.field == 18 || row.field == 19;
    const int r = remark ? kRows + (row.field - 18) : n % kRows;
    const int column = remark ? 0 : 2 * (n / kRows);
    auto* label = new QLabel(QString::fromUtf8(row.label), this);
    label->setBuddy(editor);
    grid->addWidget(label, r, column);
    grid->addWidget(editor, r, column + 1, 1, remark ? 3 : 1);
    if (!remark) ++n;
  }
  grid->setRowStretch(kRows + 2, 1);
}

QWidget* CPrintSetInfo::textField(int index) const {
  return index >= 0 && index < ReportProjectInfo::kFieldCount ? fields_[index] : nullptr;
}

void CPrintSetInfo::showInfo(const ReportProjectInfo& info, const std::array<CivilDate, 3>& dates) {
  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i) {
    QWidget* field = fields_[i];
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      edit->setText(FromUtf8(info.field(i)));
    } else if (auto* list = qobject_cast<QComboBox*>(field)) {
      list->setEditText(FromUtf8(info.field(i)));
    }
  }
  for (int i = 0; i < 3; ++i) {
    const QSignalBlocker block(dates_[i]);
    dates_[i]->setDate(ToQDate(dates[i]));
  }
}

void CPrintSetInfo::read(ReportProjectInfo& info) const {
  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i) {
    QWidget* field = fields_[i];
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      info.field(i) = edit->text().toStdString();
    } else if (auto* list = qobject_cast<QComboBox*>(field)) {
      info.field(i) = list->currentText().toStdString();
    }
  }
}

// ---- CPrintSetParent ---------------------------------------------------------------

CPrintSetParent::CPrintSetParent(CKorvaneDoc& doc, ReportOptions& options, Prompter* prompter,
                                 QWidget* parent)
    : QDialog(parent), prompter_(prompter), logic_(std::make_unique<PrintSetDialogModel>(doc, options)) {
  setObjectName(QStringLiteral("CPrintSetParent"));
  setWindowTitle(FromUtf8(kPrintSetDialogTitle));
  tabs_ = new QTabWidget(this);
  pageSetup_ = new CDlgPrintSet(tabs_);
  info_ = new CPrintSetInfo(tabs_);
  tabs_->addTab(pageSetup_, FromUtf8(kPrintPageTabTitle));
  tabs_->addTab(info_, FromUtf8(kPrintInfoTabTitle));
  ok_ = new QPushButton(QStringLiteral("确定"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  ok_->setDefault(true);
  ok_->setAutoDefault(true);
  cancel_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);

  pageSetup_->showControls(logic_->page(), logic_->enabling());
  pageSetup_->bind(&logic_->page());
  info_->showInfo(logic_->info(),
                  {logic_->date(ReportDateField::TestDate), logic_->date(ReportDateField::ReportDate),
                   logic_->date(ReportDateField::ConstructionDate)});
  connect(info_, &CPrintSetInfo::dateChanged, this,
          [this](ReportDateField field, const CivilDate& date) { logic_->SetDate(field, date); });

  auto toggle = [this](QCheckBox* box, PrintSwitch which) {
    connect(box, &QCheckBox::clicked, this,
            [this, which](bool on) { apply(logic_->ToggleSwitch(which, on)); });
  };
  toggle(pageSetup_->headerCheck(), PrintSwitch::Header);
  toggle(pageSetup_->footerCheck(), PrintSwitch::Footer);
  toggle(pageSetup_->pageNumberCheck(), PrintSwitch::PageNumber);
  connect(ok_, &QPushButton::clicked, this, &CPrintSetParent::accept);
  connect(cancel_, &QPushButton::clicked, this, &CPrintSetParent::reject);
}

CPrintSetParent::~CPrintSetParent() = default;

void CPrintSetParent::apply(const PrintDialogUpdate& update) {
  for (const std::string& message : update.messages) prompter_->message(this, FromUtf8(message));
  if (update.integers) {
    for (int i = 0; i < kPrintIntFieldCount; ++i) {
      QLineEdit* edit = pageSetup_->integerEdit(static_cast<PrintIntField>(i));
      const QString text = FromUtf8((*update.integers)[i]);
      if (edit->text() != text) edit->setText(text);
    }
  }
  pageSetup_->setEnabling(update.enabling);
  if (update.focus) {
    tabs_->setCurrentWidget(pageSetup_);
    QLineEdit* edit = pageSetup_->integerEdit(*update.focus);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  }
}

void CPrintSetParent::accept() {
  info_->read(logic_->info());
  const PrintDialogUpdate update = logic_->Accept();
  apply(update);
  if (update.close) QDialog::accept();
}

void CPrintSetParent::reject() {
  apply(logic_->Cancel());
  QDialog::reject();
}

}  // namespace korvane::gui
