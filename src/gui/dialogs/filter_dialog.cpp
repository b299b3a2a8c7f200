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
#include "gui/widgets/number_field.h"
#include "gui/widgets/tab_order.h"

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
  setWindowTitle(FromUtf8(kFilterDialogTitle));
  highCheck_ = new QCheckBox(QStringLiteral("高通(kHz)"), this);
  highEdit_ = new QLineEdit(this);
  lowCheck_ = new QCheckBox(QStringLiteral("低通(kHz)"), this);
  lowEdit_ = new QLineEdit(this);
  ok_ = new QPushButton(QStringLiteral("确定"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  ok_->setDefault(true);
  // "取消" discards what is typed: its click does not enter it first.
  NumberFieldEntry::DiscardsTyping(cancel_);

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
  // Tab as the dialog reads: each box, then its field.
  SetReadingTabOrder(this);

  highCheck_->setChecked(logic_->highPassChecked());
  lowCheck_->setChecked(logic_->lowPassChecked());
  highEdit_->setText(FromUtf8(logic_->highPassText()));
  lowEdit_->setText(FromUtf8(logic_->lowPassText()));
  highEdit_->setEnabled(logic_->highPassChecked());
  lowEdit_->setEnabled(logic_->lowPassChecked());

  const auto checked = [this](QCheckBox* box, QLineEdit* edit, bool on, bool high) {
    const FilterDialogUpdate update = high ? logic_->SetHighPassChecked(on) : logic_->SetLowPassChecked(on);
    if (update.refused()) {
      const QSignalBlocker block(box);
      box->setChecked(!on);
    }
    edit->setEnabled(box->isChecked());
    apply(update, edit);
  };
  connect(highCheck_, &QCheckBox::toggled, this,
          [this, checked](bool on) { checked(highCheck_, highEdit_, on, true); });
  connect(lowCheck_, &QCheckBox::toggled, this,
          [this, checked](bool on) { checked(lowCheck_, lowEdit_, on, false); });
  NumberFieldEntry::Attach(
      highEdit_, [this] { return apply(logic_->EnterHighPass(highEdit_->text().toStdString()), highEdit_); });
  NumberFieldEntry::Attach(
      lowEdit_, [this] { return apply(logic_->EnterLowPass(lowEdit_->text().toStdString()), lowEdit_); });
  connect(ok_, &QPushButton::clicked, this, &CDlgFilter::accept);
  connect(cancel_, &QPushButton::clicked, this, &CDlgFilter::reject);
}

CDlgFilter::~CDlgFilter() = default;

bool CDlgFilter::apply(const FilterDialogUpdate& update, QLineEdit* edit) {
  if (update.refused()) prompter_->message(this, FromUtf8(update.message));
  if (update.editText && edit != nullptr) edit->setText(FromUtf8(*update.editText));
  if (update.redrawPanels) {
    refiltered_ = true;
    model_->notifyWaveformsChanged();
  }
  model_->refreshModified();
  return !update.refused();
}

void CDlgFilter::accept() {
  // A corner still being typed is entered first; refused, it keeps the
  // dialog open with the focus in its field.
  if (NumberFieldEntry::EnterTyped(focusWidget()) == NumberFieldEntry::Outcome::Refused) return;
  CKorvaneDoc& doc = model_->doc();
  if (refiltered_ || !SameSettings(FilterSettingsOf(doc), openingSettings_)) {
    // Redo puts back what the dialog left (the waveforms as filtered, with
    // the readings recomputed from them).
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
  // What is still typed is dropped, not entered when the fields lose the
  // focus.
  for (QLineEdit* edit : {highEdit_, lowEdit_}) edit->setModified(false);
  // The opening's state exactly (refiltering with the opening's settings
  // would recompute readings a file may hold otherwise, and mark the data
  // modified).
  opening_->Restore(model_->doc());
  model_->notifyWaveformsChanged();
  model_->syncModified();
  QDialog::reject();
}

}  // namespace korvane::gui
