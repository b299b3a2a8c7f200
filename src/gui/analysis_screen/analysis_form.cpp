#include "gui/analysis_screen/analysis_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <vector>

#include "core/app/edit_names.h"
#include "core/data/text_entry.h"
#include "core/data/typed_number.h"
#include "core/forms/analysis_form_model.h"
#include "core/report/report_records.h"
#include "core/standards/standards.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/number_field.h"
#include "gui/widgets/project_fields.h"
#include "gui/widgets/text_validator.h"

namespace korvane::gui {

namespace {

// A result value: sunken, selectable, wrapping (the batch notice has lines).
QLabel* ResultField(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(60);
  return label;
}

constexpr Coefficient kCoefficients[] = {Coefficient::A, Coefficient::B, Coefficient::C, Coefficient::D};

}  // namespace

FormviewAna::FormviewAna(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent), model_(model), prompter_(prompter) {
  setObjectName(QStringLiteral("FormviewAna"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(6);

  QFormLayout* form = AddFormSection(outer, this);
  standard_ = new QComboBox(this);
  for (Standard s : kAllStandards) standard_->addItem(FromUtf8(StandardDisplayName(s)));
  aggregate_ = new QComboBox(this);
  for (std::string_view entry : kAggregateEntries) aggregate_->addItem(FromUtf8(entry));
  form->addRow(QStringLiteral("规范选择"), standard_);
  form->addRow(QStringLiteral("粗骨料"), aggregate_);
  const char* coefLabels[] = {"系数a", "系数b", "系数c", "系数d"};
  for (int i = 0; i < 4; ++i) {
    coef_[i] = new QLineEdit(this);
    form->addRow(QString::fromUtf8(coefLabels[i]), coef_[i]);
  }
  eta_ = new QLineEdit(this);
  deltaTot_ = new QLineEdit(this);
  form->addRow(QStringLiteral("强度修正系数η"), eta_);
  form->addRow(QStringLiteral("强度修正量Δtot"), deltaTot_);

  form = AddFormSection(outer, this);
  project_ = MakeProjectFields(this, model_);
  // Tab order as laid out here: the member list above the project texts.
  QWidget* previous = project_.member;
  for (QWidget* w : std::initializer_list<QWidget*>{project_.site, project_.unit, project_.person,
                                                    project_.castingDate, project_.testDate}) {
    setTabOrder(previous, w);
    previous = w;
  }
  form->addRow(QStringLiteral("构件名称"), project_.member);
  form->addRow(QStringLiteral("工程名称"), project_.site);
  form->addRow(QStringLiteral("检测单位"), project_.unit);
  form->addRow(QStringLiteral("检测人员"), project_.person);
  form->addRow(QStringLiteral("浇注日期"), project_.castingDate);
  form->addRow(QStringLiteral("检测日期"), project_.testDate);
  lock_ = new QCheckBox(QStringLiteral("锁定工程信息"), this);
  pumped_ = new QCheckBox(QStringLiteral("泵送"), this);
  form->addRow(lock_);
  form->addRow(pumped_);

  tabs_ = new QTabBar(this);
  tabs_->addTab(QStringLiteral("单"));
  tabs_->addTab(QStringLiteral("多"));
  outer->addWidget(tabs_);
  panes_ = new QStackedWidget(this);
  outer->addWidget(panes_);
  const char* labels[] = {"N",        "Fmin(MPa)",      "Fmax(MPa)",      "Mf(MPa)",    "Sf(MPa)",
                          "Fcu(MPa)", "强度换算平均值", "强度换算标准差", "强度推定值", "N"};
  // The batch pane's N (index 9) heads it.
  const std::vector<std::vector<int>> paneFields = {{0, 1, 2, 3, 4, 5}, {9, 6, 7, 8}};
  for (const std::vector<int>& fields : paneFields) {
    auto* page = new QWidget(panes_);
    auto* paneForm = new QFormLayout(page);
    paneForm->setContentsMargins(6, 6, 6, 6);
    paneForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int i : fields) {
      results_[i] = ResultField(page);
      paneForm->addRow(QString::fromUtf8(labels[i]), results_[i]);
    }
    panes_->addWidget(page);
  }
  outer->addStretch(1);

  connect(standard_, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onStandardChosen);
  connect(aggregate_, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onAggregateChosen);
  for (int i = 0; i < 4; ++i) {
    NumberFieldEntry::Attach(coef_[i], [this, i] { return onCoefficientEntered(i); });
  }
  NumberFieldEntry::Attach(eta_, [this] { return onCorrectionEntered(true); });
  NumberFieldEntry::Attach(deltaTot_, [this] { return onCorrectionEntered(false); });
  connect(project_.member, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onMemberChosen);
  connect(lock_, &QCheckBox::toggled, this, [this] { applyEnabling(); });
  connect(pumped_, &QCheckBox::clicked, this, [this](bool on) {
    const int member = model_->doc().currentMember;
    model_->edit(edit_name::kPumped, [=](CKorvaneDoc& d) { return SetPumped(d, member, on); });
  });
  connect(tabs_, &QTabBar::currentChanged, this, &FormviewAna::onTabChosen);

  const auto changed = [this] {
    if (isVisible()) refresh();
  };
  connect(model_, &DocumentModel::fileChanged, this, changed);
  connect(model_, &DocumentModel::zoneChanged, this, changed);
  connect(model_, &DocumentModel::zoneDataChanged, this, changed);
  connect(model_, &DocumentModel::edited, this, [this](const EditResult& r) {
    // Renames and project texts change no zone data.
    if (isVisible() && Touches(r.scope, EditScope::Member | EditScope::Project)) refreshFields();
  });
  refresh();
}

QString FormviewAna::resultText(int index) const { return results_[index]->text(); }

bool FormviewAna::batchPaneShown() const { return panes_->currentIndex() == 1; }

void FormviewAna::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void FormviewAna::refresh() {
  refreshFields();
  applyEnabling();
  refreshResults();
}

void FormviewAna::showMessage(const std::string& text) {
  if (!text.empty()) prompter_->message(this, FromUtf8(text));
}

void FormviewAna::applyEnabling() {
  const CKorvaneDoc& doc = model_->doc();
  const AnalysisFormEnabling on = AnalysisFormEnablingOf(doc);
  const bool open = doc.HasFile() && doc.GetCurrentMember() != nullptr;
  coef_[0]->setEnabled(on.coefA);
  coef_[1]->setEnabled(on.coefB);
  coef_[2]->setEnabled(on.coefC);
  coef_[3]->setEnabled(on.coefD);
  eta_->setEnabled(on.eta);
  deltaTot_->setEnabled(on.deltaTot);
  pumped_->setEnabled(on.pumped);
  for (QWidget* w : std::initializer_list<QWidget*>{standard_, aggregate_, project_.member, lock_})
    w->setEnabled(open);
  const bool projectOpen = open && !lock_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{project_.site, project_.unit, project_.person,
                                                    project_.castingDate, project_.testDate})
    w->setEnabled(projectOpen);
  for (int i = 6; i < 10; ++i) results_[i]->setEnabled(on.batchPane);
}

void FormviewAna::refreshFields() {
  const CKorvaneDoc& doc = model_->doc();
  const AnalysisFormFields f = AnalysisFormFieldsOf(doc);
  {
    const QSignalBlocker block(standard_);
    standard_->setCurrentIndex(f.standard >= 0 && f.standard < kStandardCount ? f.standard : -1);
  }
  {
    const QSignalBlocker block(aggregate_);
    aggregate_->setCurrentIndex(f.member >= 0 ? f.aggregate : -1);
  }
  const std::string* coefTexts[] = {&f.coefA, &f.coefB, &f.coefC, &f.coefD};
  for (int i = 0; i < 4; ++i) coef_[i]->setText(FromUtf8(*coefTexts[i]));
  eta_->setText(doc.HasFile() ? FromUtf8(f.eta) : QString());
  deltaTot_->setText(doc.HasFile() ? FromUtf8(f.deltaTot) : QString());
  {
    const QSignalBlocker block(project_.member);
    project_.member->clear();
    for (const std::string& name : f.memberNames) project_.member->addItem(FromUtf8(name));
    project_.member->setCurrentIndex(f.member);
  }
  {
    const QSignalBlocker block(pumped_);
    pumped_->setChecked(f.pumped);
  }
  ShowProjectTexts(project_, doc);
}

void FormviewAna::refreshResults() {
  const CKorvaneDoc& doc = model_->doc();
  const MemberPaneTexts m = MemberPaneTextsOf(doc, doc.currentMember);
  const std::string* memberTexts[] = {&m.zones, &m.minimum, &m.maximum, &m.mean, &m.stdDev, &m.estimate};
  for (int i = 0; i < 6; ++i) results_[i]->setText(FromUtf8(*memberTexts[i]));
  const BatchPaneTexts b = BatchPaneTextsOf(doc);
  results_[6]->setText(FromUtf8(b.mean));
  results_[7]->setText(FromUtf8(b.stdDev));
  results_[8]->setText(FromUtf8(b.estimate));
  results_[9]->setText(FromUtf8(b.zones));
}

void FormviewAna::onStandardChosen(int index) {
  CKorvaneDoc& doc = model_->doc();
  const Standard old = doc.standard;
  const std::optional<Standard> chosen = StandardAt(index);
  if (!chosen) return;
  const ZoneRef shown = model_->current();
  const EditResult result =
      model_->edit(edit_name::kStandard, [=](CKorvaneDoc& d) { return SwitchStandard(d, shown, *chosen); });
  if (result.refused) {
    // The list goes back to the standard in force.
    const QSignalBlocker block(standard_);
    standard_->setCurrentIndex(IndexOf(old));
    showMessage(result.message);
    return;
  }
  refresh();
  if (result.changed() && ReadingCountChanges(old, doc.standard)) emit readingCountChanged();
}

void FormviewAna::onAggregateChosen(int index) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const auto aggregate = static_cast<Aggregate>(index);
  model_->edit(edit_name::kAggregate, [=](CKorvaneDoc& d) { return SetAggregate(d, member, aggregate); });
  refresh();
}

bool FormviewAna::onCoefficientEntered(int index) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const Coefficient which = kCoefficients[index];
  const TypedNumber typed =
      ReadTypedNumber(coef_[index]->text().toStdString(), CoefficientField(which, doc.standard));
  if (!typed.value) {
    prompter_->message(this, FromUtf8(typed.message));
    return false;
  }
  const float value = *typed.value;
  const EditResult result = model_->edit(
      edit_name::Coefficient(which), [=](CKorvaneDoc& d) { return SetCoefficient(d, member, which, value); });
  refresh();
  if (result.stored)
    coef_[index]->setText(FromUtf8(CoefficientEnteredText(kCoefficients[index], *result.stored)));
  return true;
}

bool FormviewAna::onCorrectionEntered(bool eta) {
  QLineEdit* field = eta ? eta_ : deltaTot_;
  const TypedNumber typed =
      ReadTypedNumber(field->text().toStdString(), eta ? TypedField::Eta : TypedField::DeltaTot);
  if (!typed.value) {
    prompter_->message(this, FromUtf8(typed.message));
    return false;
  }
  const float value = *typed.value;
  const EditResult result = model_->edit(eta ? edit_name::kEta : edit_name::kDeltaTot, [=](CKorvaneDoc& d) {
    return eta ? SetEta(d, value) : SetDeltaTot(d, value);
  });
  refresh();
  if (result.stored) field->setText(FromUtf8(CorrectionEnteredText(*result.stored)));
  return true;
}

void FormviewAna::onMemberChosen(int index) {
  model_->selectMember(index);
  refresh();
}

void FormviewAna::onTabChosen(int index) {
  if (index == 1) {
    const BatchTabChoice choice = ChooseBatchTab(model_->doc());
    if (!choice.show) {
      const QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(0);
      panes_->setCurrentIndex(0);
      showMessage(choice.message);
      return;
    }
    // An invalid batch: its figures stay in view under the notice.
    panes_->setCurrentIndex(index);
    showMessage(choice.message);
    return;
  }
  panes_->setCurrentIndex(index);
}

}  // namespace korvane::gui
