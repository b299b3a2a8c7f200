#include "gui/dialogs/filter_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/app/edit_names.h"
#include "core/app/edit_snapshot.h"
#include "core/forms/filter_dialog_model.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"

namespace korvane::gui {

namespace {

// What the dialog changes: the zone's waveforms and readings, and the
// document's filter settings.
constexpr EditScope kFilterScope = EditScope::Zone | EditScope::Waveforms | EditScope::Filter;

bool SameSettings(const FilterSettings& a, const FilterSettings& b) {
  return a.highPassOn == b.highPassOn && a.highPassKHz == b.highPassKHz && a.lowPassOn == b.lowPassOn &&
         a.lowPassKHz == b.lowPassKHz;
}

}  // namespace

CDlgFilter::CDlgFilter(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QDialog(parent),
      model_(model),
      prompter_(prompter),
      logic_(std::make_unique<FilterDialogModel>(model->doc())),
      at_(model->current()),
      opening_(std::make_shared<const EditSnapshot>(EditSnapshot::Capture(model->doc(), kFilterScope, at_))),
      openingSettings_(FilterSettingsOf(model->doc())) {
  setWindowTitle(FromUtf8(logic_->caption()));
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

  highCheck_->setChecked(logic_->highPassChecked());
  lowCheck_->setChecked(logic_->lowPassChecked());
  highEdit_->setText(FromUtf8(logic_->highPassText()));
  lowEdit_->setText(FromUtf8(logic_->lowPassText()));
  highEdit_->setEnabled(logic_->highPassChecked());
  lowEdit_->setEnabled(logic_->lowPassChecked());

  connect(highCheck_, &QCheckBox::toggled, this, [this](bool on) {
    highEdit_->setEnabled(on);
    apply(logic_->SetHighPassChecked(on), highEdit_);
  });
  connect(lowCheck_, &QCheckBox::toggled, this, [this](bool on) {
    lowEdit_->setEnabled(on);
    apply(logic_->SetLowPassChecked(on), lowEdit_);
  });
  connect(highEdit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { apply(logic_->HighPassTextChanged(text.toStdString()), highEdit_); });
  connect(lowEdit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { apply(logic_->LowPassTextChanged(text.toStdString()), lowEdit_); });
  connect(ok_, &QPushButton::clicked, this, &CDlgFilter::accept);
  connect(cancel_, &QPushButton::clicked, this, &CDlgFilter::reject);
}

CDlgFilter::~CDlgFilter() = default;

void CDlgFilter::apply(const FilterDialogUpdate& update, QLineEdit* edit) {
  for (const std::string& message : update.messages) prompter_->message(this, FromUtf8(message));
  if (update.editText && edit != nullptr) {
    const QSignalBlocker block(edit);
    edit->setText(FromUtf8(*update.editText));
  }
  if (update.caption) setWindowTitle(FromUtf8(*update.caption));
  if (update.redrawPanels) {
    refiltered_ = true;
    model_->notifyWaveformsChanged();
  }
  model_->refreshModified();
}

void CDlgFilter::accept() {
  for (const std::string& message : logic_->Accept()) prompter_->message(this, FromUtf8(message));
  CKorvaneDoc& doc = model_->doc();
  if (refiltered_ || !SameSettings(FilterSettingsOf(doc), openingSettings_)) {
    // Redo puts back what the dialog left: it filters as the user types, and
    // "确定" may store a corner it did not filter with (an invalid one
    // shown in the caption), so filtering again would not give it.
    auto after = std::make_shared<const EditSnapshot>(EditSnapshot::Capture(doc, kFilterScope, at_));
    EditResult made;
    made.scope = kFilterScope;
    made.at = at_;
    made.before = opening_;
    const ZoneRef at = at_;
    model_->recordApplied(edit_name::kFilter, made, [after, at](CKorvaneDoc& d) {
      after->Restore(d);
      EditResult redone;
      redone.scope = kFilterScope;
      redone.at = at;
      return redone;
    });
  } else {
    model_->syncModified();
  }
  QDialog::accept();
}

void CDlgFilter::reject() {
  // The opening's state exactly (refiltering with the opening's settings
  // would recompute readings a file may hold otherwise, and mark the data
  // modified).
  opening_->Restore(model_->doc());
  model_->notifyWaveformsChanged();
  model_->syncModified();
  QDialog::reject();
}

}  // namespace korvane::gui
