#include "gui/dialogs/test_parameters_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/data/typed_number.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"

namespace korvane::gui {

namespace {

// A float as a dialog field shows it: up to six significant digits.
QString Plain(float value) { return QString::number(static_cast<double>(value), 'g', 6); }

}  // namespace

TestPara::TestPara(DocumentModel* model, Prompter* prompter, int member, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter), member_(member) {
  setWindowTitle(QStringLiteral("检测参数"));
  const SectionPara& s = *model_->doc().SectionOf(member_);
  auto field = [this](const QString& text, bool editable) {
    auto* edit = new QLineEdit(text, this);
    edit->setReadOnly(!editable);
    return edit;
  };
  gainText_ = Plain(s.gain);
  delayText_ = Plain(s.delay);
  gain_ = field(gainText_, true);
  delay_ = field(delayText_, true);
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
  const SectionPara& s = *model_->doc().SectionOf(member_);
  // A field left as it was shown keeps the stored value (the text is rounded).
  auto value = [this](QLineEdit* edit, const QString& shown, float stored,
                      TypedField field) -> std::optional<float> {
    if (edit->text() == shown) return stored;
    const TypedNumber typed = ReadTypedNumber(edit->text().toStdString(), field);
    if (!typed.value) {
      prompter_->message(this, FromUtf8(typed.message));
      edit->setFocus(Qt::OtherFocusReason);
      edit->selectAll();
    }
    return typed.value;
  };
  const std::optional<float> gain = value(gain_, gainText_, s.gain, TypedField::Gain);
  if (!gain) return;
  const std::optional<float> delay = value(delay_, delayText_, s.delay, TypedField::Delay);
  if (!delay) return;
  model_->setSectionGainDelay(member_, *gain, *delay);
  QDialog::accept();
}

}  // namespace korvane::gui
