#include "gui/main_screen/zone_points_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "core/data/typed_number.h"
#include "core/forms/main_screen_model.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/number_field.h"

namespace korvane::gui {

namespace {

// A field as narrow as its values allow (an amplitude such as "-100.00"
// shows whole, frame and margins included): the column is narrow and the
// fields share what the labels leave.
QLineEdit* Field(bool readOnly, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(readOnly);
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-100.00")) + 8);
  edit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  return edit;
}

}  // namespace

MainFormRight::MainFormRight(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent), model_(model), prompter_(prompter) {
  setObjectName(QStringLiteral("MainFormRight"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* group = new QGroupBox(QStringLiteral("当前测区数据"), this);
  outer->addWidget(group);
  auto* rowsLayout = new QVBoxLayout(group);
  rowsLayout->setContentsMargins(3, 4, 3, 4);
  rowsLayout->setSpacing(6);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    Row& row = rows_[static_cast<std::size_t>(slot)];
    row.box = new QWidget(group);
    auto* grid = new QGridLayout(row.box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    const int n = slot + 1;
    row.time = Field(true, row.box);
    row.amplitude = Field(true, row.box);
    row.distance = Field(false, row.box);
    row.velocity = Field(true, row.box);
    grid->addWidget(new QLabel(QStringLiteral("T%1(us)").arg(n), row.box), 0, 0);
    grid->addWidget(row.time, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("A%1(mv)").arg(n), row.box), 0, 2);
    grid->addWidget(row.amplitude, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("L%1(mm)").arg(n), row.box), 1, 0);
    grid->addWidget(row.distance, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("V%1(km/s)").arg(n), row.box), 1, 2);
    grid->addWidget(row.velocity, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    rowsLayout->addWidget(row.box);
    NumberFieldEntry::Attach(row.distance, [this, slot] { return distanceEntered(slot); });
  }
  rowsLayout->addStretch(1);

  connect(model, &DocumentModel::fileChanged, this, &MainFormRight::refresh);
  connect(model, &DocumentModel::zoneChanged, this, &MainFormRight::refresh);
  connect(model, &DocumentModel::zoneDataChanged, this, &MainFormRight::refresh);
  refresh();
}

int MainFormRight::columnWidth() const {
  // A dialog unit is a quarter of the font's average width of the Latin
  // letters, rounded as the dialog manager rounds it.
  const int letters =
      fontMetrics().horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int baseUnit = (letters / 26 + 1) / 2;
  return std::max(124 * baseUnit / 4, minimumSizeHint().width());
}

bool MainFormRight::rowShown(int slot) const {
  return rows_[static_cast<std::size_t>(slot)].box->isVisibleTo(this);
}

void MainFormRight::refresh() {
  const ZonePointsTexts t = ZonePointsTextsOf(model_->doc());
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    Row& row = rows_[static_cast<std::size_t>(slot)];
    row.box->setVisible(slot < t.rows);
    row.box->setEnabled(t.hasZone);
    if (!t.hasZone) {
      for (QLineEdit* e : {row.time, row.amplitude, row.distance, row.velocity}) e->clear();
      continue;
    }
    const PointRowTexts& texts = t.points[static_cast<std::size_t>(slot)];
    showTexts(slot, texts);
    row.distance->setText(FromUtf8(texts.distance));
    row.distance->setEnabled(texts.distanceEditable);
  }
}

void MainFormRight::showTexts(int slot, const PointRowTexts& texts) {
  Row& row = rows_[static_cast<std::size_t>(slot)];
  row.time->setText(FromUtf8(texts.time));
  row.amplitude->setText(FromUtf8(texts.amplitudeMv));
  row.velocity->setText(FromUtf8(texts.velocity));
}

void MainFormRight::showReadout(int slot, float time, float amplitudeMv, float velocity) {
  if (slot < 0 || slot >= kMaxPoints) return;
  showTexts(slot, ReadoutTexts(time, amplitudeMv, velocity));
}

void MainFormRight::showStoredReadings(int slot) {
  const TestZone* zone = model_->doc().GetCurrentZone();
  if (zone == nullptr || slot < 0 || slot >= kMaxPoints) return;
  showTexts(slot, StoredReadingTexts(*zone, slot));
}

bool MainFormRight::distanceEntered(int slot) {
  const TypedNumber typed = ReadTypedNumber(distanceField(slot)->text().toStdString(), TypedField::Distance);
  if (!typed.value) {
    prompter_->message(this, FromUtf8(typed.message));
    return false;
  }
  model_->setPointDistance(slot, *typed.value);
  return true;
}

}  // namespace korvane::gui
