#include "gui/main_screen/project_bar.h"

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

#include "core/algorithm/test_position.h"
#include "core/data/text_entry.h"
#include "core/data/typed_number.h"
#include "core/forms/main_screen_model.h"
#include "core/report/report_records.h"
#include "core/standards/standards.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/number_field.h"
#include "gui/widgets/project_fields.h"
#include "gui/widgets/text_validator.h"

namespace korvane::gui {

namespace {

QLineEdit* ReadOnlyField(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  return edit;
}

// Read-only fields stay enabled so that their text remains legible.
void SetAccess(QLineEdit* edit, FieldAccess access) {
  edit->setEnabled(access != FieldAccess::Disabled);
  edit->setReadOnly(access != FieldAccess::Editable);
}

}  // namespace

CMainForm::CMainForm(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent), model_(model), prompter_(prompter) {
  setObjectName(QStringLiteral("CMainForm"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(6);

  project_ = MakeProjectFields(this, model_);
  QFormLayout* form = AddFormSection(outer, this);
  form->addRow(QStringLiteral("工程名称"), project_.site);
  form->addRow(QStringLiteral("检测单位"), project_.unit);
  form->addRow(QStringLiteral("检测人员"), project_.person);
  form->addRow(QStringLiteral("浇注日期"), project_.castingDate);
  form->addRow(QStringLiteral("检测日期"), project_.testDate);

  form = AddFormSection(outer, this);
  zone_ = new QComboBox(this);
  form->addRow(QStringLiteral("构件名称"), project_.member);
  form->addRow(QStringLiteral("测区编号"), zone_);

  form = AddFormSection(outer, this);
  method_ = new QComboBox(this);
  for (TestMethod m : {TestMethod::Angle, TestMethod::Surface, TestMethod::Direct})
    method_->addItem(FromUtf8(TestMethodName(m)));
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

  form = AddFormSection(outer, this);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    pointVelocity_[static_cast<std::size_t>(slot)] = ReadOnlyField(this);
    form->addRow(QStringLiteral("V%1(km/s)").arg(slot + 1), pointVelocity_[static_cast<std::size_t>(slot)]);
  }

  files_ = new QListWidget(this);
  files_->setObjectName(QStringLiteral("OpenedFiles1057"));
  files_->setMinimumHeight(80);
  outer->addWidget(files_, 1);

  // Edits.
  connect(project_.member, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->selectMember(index); });
  connect(zone_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->selectZone(index); });
  connect(method_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { model_->setTestMethod(static_cast<TestMethod>(index)); });
  connect(location_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    // The zone's own text chosen again changes nothing: it has no rule of
    // its own.
    if (fileLocationShown_ && index == location_->count() - 1) return;
    model_->setTestLocation(location_->itemText(index));
  });
  NumberFieldEntry::Attach(beta_, [this] { return coefficientEntered(true); });
  NumberFieldEntry::Attach(lambda_, [this] { return coefficientEntered(false); });
  connect(files_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { emit openRequested(item->data(Qt::UserRole).toString()); });

  connect(model, &DocumentModel::fileChanged, this, &CMainForm::refreshAll);
  connect(model, &DocumentModel::pathChanged, this, &CMainForm::refreshFiles);
  connect(model, &DocumentModel::zoneChanged, this, &CMainForm::refreshZone);
  connect(model, &DocumentModel::zoneDataChanged, this, &CMainForm::refreshZoneFields);
  // Project texts and member names changed on the other screen or by an
  // undo.
  connect(model, &DocumentModel::edited, this, [this](const EditResult& r) {
    if (Touches(r.scope, EditScope::Project)) refreshProject();
    if (Touches(r.scope, EditScope::Member | EditScope::AllMembers)) refreshZone();
  });
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
  ShowProjectTexts(project_, doc);
  for (QWidget* w : std::initializer_list<QWidget*>{project_.site, project_.unit, project_.person,
                                                    project_.castingDate, project_.testDate})
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
    const QSignalBlocker block(project_.member);
    project_.member->clear();
    if (open) {
      for (const Member& m : doc.members) project_.member->addItem(FromUtf8(m.name));
      project_.member->setCurrentIndex(doc.currentMember);
    }
    project_.member->setEnabled(open);
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
  const ZoneFieldsTexts t = ZoneFieldsTextsOf(model_->doc());
  const QSignalBlocker blockMethod(method_);
  const QSignalBlocker blockLocation(location_);
  location_->clear();
  if (!t.hasZone) {
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
  method_->setCurrentIndex(t.method);
  method_->setEnabled(t.methodEnabled);
  for (const std::string& choice : t.locations) location_->addItem(FromUtf8(choice));
  location_->setCurrentIndex(t.location);
  fileLocationShown_ = t.fileLocation;
  location_->setEnabled(t.locationEnabled);
  beta_->setText(FromUtf8(t.beta));
  lambda_->setText(FromUtf8(t.lambda));
  SetAccess(beta_, t.betaAccess);
  SetAccess(lambda_, t.lambdaAccess);
  velocity_->setText(FromUtf8(t.velocity));
  corrected_->setText(FromUtf8(t.correctedVelocity));
  velocity_->setEnabled(true);
  corrected_->setEnabled(true);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    QLineEdit* e = pointVelocity_[static_cast<std::size_t>(slot)];
    e->setText(FromUtf8(t.pointVelocities[static_cast<std::size_t>(slot)]));
    e->setEnabled(slot < t.enabledPointVelocities);
  }
}

bool CMainForm::coefficientEntered(bool isBeta) {
  QLineEdit* edit = isBeta ? beta_ : lambda_;
  const TypedNumber typed =
      ReadTypedNumber(edit->text().toStdString(), isBeta ? TypedField::Beta : TypedField::Lambda);
  if (!typed.value) {
    prompter_->message(this, FromUtf8(typed.message));
    return false;
  }
  if (isBeta)
    model_->setBeta(*typed.value);
  else
    model_->setLambda(*typed.value);
  // The model refreshes the fields; a field without a zone keeps its text.
  if (const TestZone* zone = model_->doc().GetCurrentZone())
    edit->setText(FromUtf8(CoefficientText(isBeta ? zone->beta : zone->lambda)));
  return true;
}

}  // namespace korvane::gui
