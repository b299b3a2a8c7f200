#include "gui/test_para.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/data/number_entry.h"
#include "gui/document_model.h"

namespace korvane::gui {

namespace {

// A float as a dialog field shows it: up to six significant digits.
QString Plain(float value) { return QString::number(static_cast<double>(value), 'g', 6); }

}  // namespace

int CurrentSectionRow(const CKorvaneDoc& doc) {
  if (!doc.HasFile()) return -1;
  const SectionPara* section = doc.SectionOf(doc.currentMember);
  if (section == nullptr) return -1;
  return static_cast<int>(section - doc.sections.data());
}

TestPara::TestPara(DocumentModel* model, int sectionRow, QWidget* parent)
    : QDialog(parent), model_(model), row_(sectionRow) {
  setWindowTitle(QStringLiteral("检测参数"));
  const SectionPara& s = model_->doc().sections.at(static_cast<std::size_t>(row_));
  auto field = [this](const QString& text, bool editable) {
    auto* edit = new QLineEdit(text, this);
    edit->setReadOnly(!editable);
    return edit;
  };
  gain_ = field(Plain(s.gain), true);
  delay_ = field(Plain(s.delay), true);
  lowPass_ = field(Plain(s.filterLow), false);
  highPass_ = field(Plain(s.filterHigh), false);
  interval_ = field(FormatFixed(s.sampleInterval, 1), false);
  count_ = field(QString::number(s.sampleCount), false);
  zero_ = field(Plain(s.zeroTime), false);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("增益："), gain_);
  form->addRow(QStringLiteral("延时(us)："), delay_);
  form->addRow(QStringLiteral("低通(kHz）:"), lowPass_);
  form->addRow(QStringLiteral("高通(kHz)："), highPass_);
  form->addRow(QStringLiteral("采样间隔(us)："), interval_);
  form->addRow(QStringLiteral("采样长度："), count_);
  form->addRow(QStringLiteral("校零："), zero_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &TestPara::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TestPara::reject);
}

void TestPara::accept() {
  CKorvaneDoc& doc = model_->doc();
  SectionPara& s = doc.sections.at(static_cast<std::size_t>(row_));
  const WarningSink& warn = doc.warningSink;
  s.gain = MathOperation::ToFloat(gain_->text().toStdString(), warn);
  s.delay = MathOperation::ToFloat(delay_->text().toStdString(), warn);
  s.filterLow = MathOperation::ToFloat(lowPass_->text().toStdString(), warn);
  s.filterHigh = MathOperation::ToFloat(highPass_->text().toStdString(), warn);
  s.sampleCount = MathOperation::ToInt(count_->text().toStdString(), warn);
  s.zeroTime = MathOperation::ToFloat(zero_->text().toStdString(), warn);
  model_->setModified(true);
  QDialog::accept();
}

}  // namespace korvane::gui
