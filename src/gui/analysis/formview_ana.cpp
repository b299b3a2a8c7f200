#include "gui/analysis/formview_ana.h"

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

#include "core/algorithm/standards.h"
#include "core/data/number_entry.h"
#include "core/data/text_entry.h"
#include "core/forms/analysis_form_model.h"
#include "core/report/report_records.h"
#include "gui/document_model.h"
#include "gui/prompter.h"
#include "gui/text_validator.h"

namespace korvane::gui {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFormLayout* Section(QVBoxLayout* outer, QWidget* parent) {
  auto* box = new QGroupBox(parent);
  auto* form = new QFormLayout(box);
  form->setContentsMargins(6, 6, 6, 6);
  form->setHorizontalSpacing(6);
  form->setVerticalSpacing(4);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  outer->addWidget(box);
  return form;
}

QDateEdit* DateField(QWidget* parent) {
  auto* edit = new QDateEdit(parent);
  edit->setCalendarPopup(true);
  edit->setDisplayFormat(QStringLiteral("yyyy-M-d"));
  return edit;
}

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

  QFormLayout* form = Section(outer, this);
  standard_ = new QComboBox(this);
  for (int i = 0; i < kStandardCount; ++i) standard_->addItem(Text(StandardDisplayName(i)));
  aggregate_ = new QComboBox(this);
  for (std::string_view entry : kAggregateEntries) aggregate_->addItem(Text(entry));
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

  form = Section(outer, this);
  member_ = new QComboBox(this);
  member_->setEditable(true);
  member_->setInsertPolicy(QComboBox::NoInsert);
  member_->lineEdit()->setValidator(new StorableTextValidator(-1, member_));
  // Enter in the edit part renames the member; the combo box must not treat
  // it as a choice of the entry with the same name.
  disconnect(member_->lineEdit(), &QLineEdit::returnPressed, member_, nullptr);
  form->addRow(QStringLiteral("构件名称"), member_);
  site_ = new QLineEdit(this);
  unit_ = new QLineEdit(this);
  person_ = new QLineEdit(this);
  for (QLineEdit* e : {site_, unit_, person_}) e->setValidator(new StorableTextValidator(-1, e));
  castingDate_ = DateField(this);
  testDate_ = DateField(this);
  form->addRow(QStringLiteral("工程名称"), site_);
  form->addRow(QStringLiteral("检测单位"), unit_);
  form->addRow(QStringLiteral("检测人员"), person_);
  form->addRow(QStringLiteral("浇注日期"), castingDate_);
  form->addRow(QStringLiteral("检测日期"), testDate_);
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
  const char* labels[] = {"N",        "Fmin(Mpa)",      "Fmax(Mpa)",      "Mf(Mpa)",   "Sf(Mpa)",
                          "Fcu(Mpa)", "强度换算平均值", "强度换算标准差", "强度推定值"};
  for (int pane = 0; pane < 2; ++pane) {
    auto* page = new QWidget(panes_);
    auto* paneForm = new QFormLayout(page);
    paneForm->setContentsMargins(6, 6, 6, 6);
    paneForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const int first = pane == 0 ? 0 : 6;
    const int last = pane == 0 ? 6 : 9;
    for (int i = first; i < last; ++i) {
      results_[i] = ResultField(page);
      paneForm->addRow(QString::fromUtf8(labels[i]), results_[i]);
    }
    panes_->addWidget(page);
  }
  outer->addStretch(1);

  connect(standard_, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onStandardChosen);
  connect(aggregate_, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onAggregateChosen);
  for (int i = 0; i < 4; ++i) {
    connect(coef_[i], &QLineEdit::returnPressed, this, [this, i] { onCoefficientEntered(i); });
  }
  connect(eta_, &QLineEdit::returnPressed, this, [this] { onCorrectionEntered(true); });
  connect(deltaTot_, &QLineEdit::returnPressed, this, [this] { onCorrectionEntered(false); });
  connect(member_, qOverload<int>(&QComboBox::activated), this, &FormviewAna::onMemberChosen);
  connect(member_->lineEdit(), &QLineEdit::returnPressed, this, &FormviewAna::onMemberRenamed);
  auto projectText = [this](QLineEdit* edit, ProjectText which) {
    connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) {
      model_->apply(SetProjectText(model_->doc(), which, text.toStdString()));
    });
  };
  projectText(site_, ProjectText::Site);
  projectText(unit_, ProjectText::Unit);
  projectText(person_, ProjectText::Person);
  connect(castingDate_, &QDateEdit::dateChanged, this,
          [this](const QDate& d) { model_->setProjectDate(true, d); });
  connect(testDate_, &QDateEdit::dateChanged, this,
          [this](const QDate& d) { model_->setProjectDate(false, d); });
  connect(lock_, &QCheckBox::toggled, this, [this] { applyEnabling(); });
  connect(pumped_, &QCheckBox::clicked, this,
          [this](bool on) { model_->apply(SetPumped(model_->doc(), model_->doc().currentMember, on)); });
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
  for (QWidget* w : std::initializer_list<QWidget*>{standard_, aggregate_, member_, lock_})
    w->setEnabled(open);
  const bool projectOpen = open && !lock_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{site_, unit_, person_, castingDate_, testDate_})
    w->setEnabled(projectOpen);
  for (int i = 6; i < 9; ++i) results_[i]->setEnabled(on.batchPane);
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
    const QSignalBlocker block(member_);
    member_->clear();
    for (const std::string& name : f.memberNames) member_->addItem(FromUtf8(name));
    member_->setCurrentIndex(f.member);
  }
  {
    const QSignalBlocker block(pumped_);
    pumped_->setChecked(f.pumped);
  }
  const QLineEdit* focused = qobject_cast<const QLineEdit*>(focusWidget());
  auto setText = [focused](QLineEdit* edit, const std::string& text) {
    // The field being typed into keeps what the user types.
    if (edit != focused || !edit->isModified()) edit->setText(FromUtf8(text));
  };
  setText(site_, doc.project.site);
  setText(unit_, doc.project.unit);
  setText(person_, doc.project.person);
  for (auto [edit, text] :
       {std::pair{castingDate_, &doc.project.castingDate}, std::pair{testDate_, &doc.project.testDate}}) {
    const QSignalBlocker block(edit);
    // A text that is no date shows today (and stays as it is until changed).
    const std::optional<CivilDate> date = ParseDateText(*text);
    edit->setDate(date ? QDate(date->year, date->month, date->day) : QDate::currentDate());
  }
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
}

void FormviewAna::onStandardChosen(int index) {
  CKorvaneDoc& doc = model_->doc();
  const int old = doc.standardIndex;
  const EditResult result = model_->apply(SwitchStandard(doc, model_->current(), index));
  if (result.refused) {
    // The list goes back to the standard in force.
    const QSignalBlocker block(standard_);
    standard_->setCurrentIndex(old);
    showMessage(result.message);
    return;
  }
  refresh();
  if (result.changed() && ReadingCountChanges(old, doc.standardIndex)) emit readingCountChanged();
}

void FormviewAna::onAggregateChosen(int index) {
  CKorvaneDoc& doc = model_->doc();
  model_->apply(SetAggregate(doc, doc.currentMember, index));
  refresh();
}

void FormviewAna::onCoefficientEntered(int index) {
  CKorvaneDoc& doc = model_->doc();
  const float typed = MathOperation::ToFloat(coef_[index]->text().toStdString(), doc.warningSink);
  const EditResult result =
      model_->apply(SetCoefficient(doc, doc.currentMember, kCoefficients[index], typed));
  refresh();
  if (result.stored)
    coef_[index]->setText(FromUtf8(CoefficientEnteredText(kCoefficients[index], *result.stored)));
}

void FormviewAna::onCorrectionEntered(bool eta) {
  CKorvaneDoc& doc = model_->doc();
  QLineEdit* field = eta ? eta_ : deltaTot_;
  const float typed = MathOperation::ToFloat(field->text().toStdString(), doc.warningSink);
  const EditResult result = model_->apply(eta ? SetEta(doc, typed) : SetDeltaTot(doc, typed));
  refresh();
  if (result.stored) field->setText(FromUtf8(CorrectionEnteredText(*result.stored)));
}

void FormviewAna::onMemberChosen(int index) {
  model_->apply(SelectMember(model_->doc(), index));
  refresh();
}

void FormviewAna::onMemberRenamed() {
  CKorvaneDoc& doc = model_->doc();
  const int index = doc.currentMember;
  const QString name = member_->lineEdit()->text();
  if (index < 0 || model_->apply(RenameMember(doc, index, name.toStdString())).refused) return;
  // The entry keeps its place so that list positions still name members.
  const QSignalBlocker block(member_);
  member_->setItemText(index, name);
  member_->setCurrentIndex(index);
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
  }
  panes_->setCurrentIndex(index);
}

}  // namespace korvane::gui
