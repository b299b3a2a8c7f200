#include "gui/dlg_filter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/data/number_entry.h"
#include "gui/document_model.h"
#include "gui/prompter.h"

namespace korvane::gui {

namespace {
const QString kTitleValid = QStringLiteral("数字滤波");
const QString kHighRange = QStringLiteral("高通范围为0.01-20kHz");
const QString kLowRange = QStringLiteral("低通范围为2-500kHz");
const QString kLowRangeBox = QStringLiteral("低通范围为2-500");
const QString kHighAboveLow = QStringLiteral("高通值必须小于低通值");
// Texts above this value are cut to their first four characters.
constexpr float kMaxTyped = 9999.0f;
}  // namespace

CDlgFilter::CDlgFilter(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
  setWindowTitle(QStringLiteral("滤波"));
  highCheck_ = new QCheckBox(QStringLiteral("高通(kHz)"), this);
  lowCheck_ = new QCheckBox(QStringLiteral("低通(kHz)"), this);
  highEdit_ = new QLineEdit(this);
  lowEdit_ = new QLineEdit(this);
  ok_ = new QPushButton(QStringLiteral("确定"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  ok_->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(highCheck_, 0, 0);
  grid->addWidget(highEdit_, 0, 1);
  grid->addWidget(lowCheck_, 1, 0);
  grid->addWidget(lowEdit_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 2, 0, 1, 2);

  const CKorvaneDoc& doc = model_->doc();
  savedHigh_ = doc.highPassKHz;
  savedLow_ = doc.lowPassKHz;
  savedHighOn_ = doc.highPassOn;
  savedLowOn_ = doc.lowPassOn;
  {
    const QSignalBlocker b1(highCheck_), b2(lowCheck_), b3(highEdit_), b4(lowEdit_);
    highCheck_->setChecked(doc.highPassOn);
    lowCheck_->setChecked(doc.lowPassOn);
    highEdit_->setText(FormatFixed(doc.highPassKHz, 2));
    lowEdit_->setText(FormatFixed(doc.lowPassKHz, 0));
    highEdit_->setEnabled(doc.highPassOn);
    lowEdit_->setEnabled(doc.lowPassOn);
  }

  connect(highCheck_, &QCheckBox::toggled, this, &CDlgFilter::highToggled);
  connect(lowCheck_, &QCheckBox::toggled, this, &CDlgFilter::lowToggled);
  connect(highEdit_, &QLineEdit::textChanged, this, &CDlgFilter::highTextChanged);
  connect(lowEdit_, &QLineEdit::textChanged, this, &CDlgFilter::lowTextChanged);
  connect(ok_, &QPushButton::clicked, this, &CDlgFilter::accept);
  connect(cancel_, &QPushButton::clicked, this, &CDlgFilter::reject);
}

void CDlgFilter::refilter() {
  CKorvaneDoc& doc = model_->doc();
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  doc.modified = true;
  model_->notifyWaveformsChanged();
}

void CDlgFilter::highToggled(bool on) {
  highEdit_->setEnabled(on);
  model_->doc().highPassOn = on;
  if (on)
    highTextChanged(highEdit_->text());
  else
    refilter();
}

void CDlgFilter::lowToggled(bool on) {
  lowEdit_->setEnabled(on);
  model_->doc().lowPassOn = on;
  if (on)
    lowTextChanged(lowEdit_->text());
  else
    refilter();
}

void CDlgFilter::highTextChanged(const QString& text) {
  CKorvaneDoc& doc = model_->doc();
  const float value = MathOperation::ToFloat(text.toStdString(), doc.warningSink);
  doc.highPassKHz = value;
  if (value > kMaxTyped) {
    prompter_->message(this, kHighRange);
    highEdit_->setText(text.left(4));  // runs this check again on the short text
    return;
  }
  if (value > 20.0f || value < 0.0099995f) {
    setWindowTitle(kHighRange);
    return;
  }
  if (value > doc.lowPassKHz) {
    setWindowTitle(kHighAboveLow);
    return;
  }
  setWindowTitle(kTitleValid);
  if (!text.isEmpty()) refilter();
}

void CDlgFilter::lowTextChanged(const QString& text) {
  CKorvaneDoc& doc = model_->doc();
  const float value = MathOperation::ToFloat(text.toStdString(), doc.warningSink);
  doc.lowPassKHz = value;
  if (value > kMaxTyped) {
    prompter_->message(this, kLowRangeBox);
    lowEdit_->setText(text.left(4));
    return;
  }
  if (value > 500.0f || value < 2.0f) {
    setWindowTitle(kLowRange);
    return;
  }
  if (value < doc.highPassKHz) {
    setWindowTitle(kHighAboveLow);
    return;
  }
  setWindowTitle(kTitleValid);
  if (!text.isEmpty()) refilter();
}

void CDlgFilter::accept() {
  CKorvaneDoc& doc = model_->doc();
  doc.highPassKHz = MathOperation::ToFloat(highEdit_->text().toStdString(), doc.warningSink);
  doc.lowPassKHz = MathOperation::ToFloat(lowEdit_->text().toStdString(), doc.warningSink);
  QDialog::accept();
}

void CDlgFilter::reject() {
  CKorvaneDoc& doc = model_->doc();
  doc.highPassKHz = savedHigh_;
  doc.lowPassKHz = savedLow_;
  doc.highPassOn = savedHighOn_;
  doc.lowPassOn = savedLowOn_;
  refilter();
  QDialog::reject();
}

}  // namespace korvane::gui
