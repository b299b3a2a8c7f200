#include "gui/main_form.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/algorithm/standards.h"
#include "core/algorithm/test_position.h"
#include "core/data/number_entry.h"
#include "core/data/text_entry.h"
#include "core/report/report_records.h"
#include "gui/document_model.h"
#include "gui/text_validator.h"

namespace korvane::gui {

namespace {

QGroupBox* Section(QWidget* parent, QFormLayout** form) {
  auto* box = new QGroupBox(parent);
  *form = new QFormLayout(box);
  (*form)->setContentsMargins(6, 6, 6, 6);
  (*form)->setHorizontalSpacing(6);
  (*form)->setVerticalSpacing(4);
  (*form)->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  (*form)->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return box;
}

QLineEdit* ReadOnlyField(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  return edit;
}

QDateEdit* DateField(QWidget* parent) {
  auto* edit = new QDateEdit(parent);
  edit->setCalendarPopup(true);
  edit->setDisplayFormat(QStringLiteral("yyyy-M-d"));
  return edit;
}

// Read-only fields stay enabled so that their text remains legible.
void SetAccess(QLineEdit* edit, FieldAccess access) {
  edit->setEnabled(access != FieldAccess::Disabled);
  edit->setReadOnly(access != FieldAccess::Editable);
}

}  // namespace

CMainForm::CMainForm(DocumentModel* model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("CMainForm"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(6);

  QFormLayout* form = nullptr;
  outer->addWidget(Section(this, &form));
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

  outer->addWidget(Section(this, &form));
  member_ = new QComboBox(this);
  member_->setEditable(true);
  member_->setInsertPolicy(QComboBox::NoInsert);
  member_->lineEdit()->setValidator(new StorableTextValidator(-1, member_));
  // Enter in the edit part renames the member; the combo box must not treat
  // it as a choice of the entry with the same name.
  disconnect(member_->lineEdit(), &QLineEdit::returnPressed, member_, nullptr);
  zone_ = new QComboBox(this);
  form->addRow(QStringLiteral("构件名称"), member_);
  form->addRow(QStringLiteral("测区编号"), zone_);

  outer->addWidget(Section(this, &form));
  method_ = new QComboBox(this);
  for (int m = 0; m < 3; ++m)
    method_->addItem(
        QString::fromUtf8(TestMethodName(m).data(), static_cast<qsizetype>(TestMethodName(m).size())));
  location_ = new QComboBox(this);
  beta_ = new QLineEdit(this);
  lambda_ = new QLineEdit(this);
  velocity_ = ReadOnlyField(this);
  corrected_ = ReadOnlyField(this);
  form->addRow(QStringLiteral("测试方式"), method_);
  form->addRow(QStringLiteral("测试位置"), location_);
  form->addRow(QStringLiteral("β修正值"), beta_);
  form->addRow(QStringLiteral("λ修正值"), lambda_);
  form->addRow(QStringLiteral("V:(km/s)"), velocity_);
  form->addRow(QStringLiteral("Va(km/s)"), corrected_);

  outer->addWidget(Section(this, &form));
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    pointVelocity_[static_cast<std::size_t>(slot)] = ReadOnlyField(this);
    form->addRow(QStringLiteral("V%1(km/s)").arg(slot + 1), pointVelocity_[static_cast<std::size_t>(slot)]);
  }

  files_ = new QListWidget(this);
  files_->setObjectName(QStringLiteral("OpenedFiles1057"));
  files_->setMinimumHeight(80);
  outer->addWidget(files_, 1);

  // Edits.
  auto projectText = [this](QLineEdit* edit, DocumentModel::ProjectText which) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, which](const QString& text) { model_->setProjectText(which, text); });
  };
  projectText(site_, DocumentModel::ProjectText::Site);
  projectText(unit_, DocumentModel::ProjectText::Unit);
  projectText(person_, DocumentModel::ProjectText::Person);
  connect(castingDate_, &QDateEdit::dateChanged, this,
          [this](const QDate& d) { model_->setProjectDate(true, d); });
  connect(testDate_, &QDateEdit::dateChanged, this,
          [this](const QDate& d) { model_->setProjectDate(false, d); });
  connect(member_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->selectMember(index); });
  connect(member_->lineEdit(), &QLineEdit::returnPressed, this, &CMainForm::memberRenamed);
  connect(zone_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->selectZone(index); });
  connect(method_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->setTestMethod(index); });
  connect(location_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->setTestLocation(location_->itemText(index)); });
  connect(beta_, &QLineEdit::returnPressed, this, [this] { coefficientEntered(true); });
  connect(lambda_, &QLineEdit::returnPressed, this, [this] { coefficientEntered(false); });
  connect(files_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { emit openRequested(item->data(Qt::UserRole).toString()); });

  connect(model, &DocumentModel::fileChanged, this, &CMainForm::refreshAll);
  connect(model, &DocumentModel::zoneChanged, this, &CMainForm::refreshZone);
  connect(model, &DocumentModel::zoneDataChanged, this, &CMainForm::refreshZoneFields);
  refreshAll();
}

void CMainForm::refreshAll() {
  refreshProject();
  refreshFiles();
  refreshZone();
}

void CMainForm::refreshProject() {
  const CKorvaneDoc& doc = model_->doc();
  const bool open = doc.HasFile();
  site_->setText(FromUtf8(doc.project.site));
  unit_->setText(FromUtf8(doc.project.unit));
  person_->setText(FromUtf8(doc.project.person));
  for (auto [edit, text] :
       {std::pair{castingDate_, &doc.project.castingDate}, std::pair{testDate_, &doc.project.testDate}}) {
    const QSignalBlocker block(edit);
    // A text that is no date shows today (and stays as it is until changed).
    const std::optional<CivilDate> date = ParseDateText(*text);
    edit->setDate(date ? QDate(date->year, date->month, date->day) : QDate::currentDate());
  }
  for (QWidget* w : std::initializer_list<QWidget*>{site_, unit_, person_, castingDate_, testDate_})
    w->setEnabled(open);
}

void CMainForm::refreshFiles() {
  const CKorvaneDoc& doc = model_->doc();
  files_->clear();
  for (const std::string& path : doc.openedFiles) {
    const QString full = FromUtf8(path);
    auto* item = new QListWidgetItem(QFileInfo(full).fileName(), files_);
    item->setData(Qt::UserRole, full);
    item->setToolTip(full);
    if (path == doc.pathName) files_->setCurrentItem(item);
  }
}

void CMainForm::refreshZone() {
  const CKorvaneDoc& doc = model_->doc();
  const bool open = doc.HasFile();
  {
    const QSignalBlocker block(member_);
    member_->clear();
    if (open) {
      for (const Member& m : doc.members) member_->addItem(FromUtf8(m.name));
      member_->setCurrentIndex(doc.currentMember);
    }
    member_->setEnabled(open);
  }
  {
    const QSignalBlocker block(zone_);
    zone_->clear();
    if (open) {
      const int zones = doc.ZoneCount(doc.currentMember);
      for (int z = 0; z < zones; ++z) zone_->addItem(QString::number(z + 1));
      zone_->setCurrentIndex(doc.currentZone);
    }
    zone_->setEnabled(open);
  }
  refreshZoneFields();
}

void CMainForm::refreshZoneFields() {
  const CKorvaneDoc& doc = model_->doc();
  const TestZone* zone = doc.GetCurrentZone();
  const QSignalBlocker blockMethod(method_);
  const QSignalBlocker blockLocation(location_);
  location_->clear();
  if (zone == nullptr) {
    method_->setCurrentIndex(-1);
    method_->setEnabled(false);
    location_->setEnabled(false);
    for (QLineEdit* e : {beta_, lambda_, velocity_, corrected_}) {
      e->clear();
      e->setEnabled(false);
    }
    for (QLineEdit* e : pointVelocity_) {
      e->clear();
      e->setEnabled(false);
    }
    return;
  }
  const int method = zone->testMethod;
  method_->setCurrentIndex(method >= 0 && method <= 2 ? method : 0);
  method_->setEnabled(TestMethodListEnabled(doc.standardIndex, zone));
  for (std::string_view choice : TestLocationChoices(method)) {
    location_->addItem(QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size())));
  }
  location_->setCurrentIndex(TestLocationIndex(method, zone->testLocation));
  const BetaLambdaRule rule = BetaLambdaFor(method, zone->testLocation);
  location_->setEnabled(rule.location != FieldAccess::Disabled);
  beta_->setText(FormatFixed(zone->beta, 3));
  lambda_->setText(FormatFixed(zone->lambda, 3));
  SetAccess(beta_, rule.betaField);
  SetAccess(lambda_, rule.lambdaField);
  velocity_->setText(FormatFixed(zone->zoneVelocity, 3));
  corrected_->setText(FormatFixed(zone->correctedVelocity, 3));
  velocity_->setEnabled(true);
  corrected_->setEnabled(true);
  const int used = zone->usedPointSlots();
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    QLineEdit* e = pointVelocity_[static_cast<std::size_t>(slot)];
    e->setText(FormatFixed(zone->pointVelocity[static_cast<std::size_t>(slot)], 3));
    e->setEnabled(slot < used);
  }
}

void CMainForm::coefficientEntered(bool isBeta) {
  QLineEdit* edit = isBeta ? beta_ : lambda_;
  const float value = MathOperation::ToFloat(edit->text().toStdString(), model_->doc().warningSink);
  if (isBeta)
    model_->setBeta(value);
  else
    model_->setLambda(value);
  // The model refreshes the fields; a field without a zone keeps its text.
  if (const TestZone* zone = model_->doc().GetCurrentZone())
    edit->setText(FormatFixed(isBeta ? zone->beta : zone->lambda, 3));
}

void CMainForm::memberRenamed() {
  const int index = model_->doc().currentMember;
  const QString name = member_->lineEdit()->text();
  if (index < 0 || !model_->renameMember(name)) return;
  // The entry keeps its place so that list positions still name members.
  const QSignalBlocker block(member_);
  member_->setItemText(index, name);
  member_->setCurrentIndex(index);
}

}  // namespace korvane::gui
