#include "gui/dialogs/core_correction_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/app/document_edits.h"
#include "core/app/edit_names.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"

namespace korvane::gui {
namespace {

enum Column { kMember, kZone, kStrength, kConversion, kRatio };

QStringList Texts(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << FromUtf8(text);
  return list;
}

}  // namespace

CoreCorrectionDialog::CoreCorrectionDialog(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QDialog(parent),
      model_(model),
      prompter_(prompter),
      logic_(std::make_unique<CoreCorrectionModel>(model->doc())) {
  setWindowTitle(QStringLiteral("钻芯修正"));
  table_ = new QTableWidget(0, kCoreColumns, this);
  QStringList heads;
  for (int c = 0; c < kCoreColumns; ++c) heads << FromUtf8(logic_->ColumnHead(c));
  table_->setHorizontalHeaderLabels(heads);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  formula_ = new QLabel(this);
  formula_->setWordWrap(true);
  formula_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  add_ = new QPushButton(QStringLiteral("添加芯样(&N)"), this);
  remove_ = new QPushButton(QStringLiteral("删除芯样(&D)"), this);
  apply_ = new QPushButton(QStringLiteral("应用(&A)"), this);
  auto* close = new QPushButton(QStringLiteral("关闭"), this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add_);
  buttons->addWidget(remove_);
  buttons->addStretch(1);
  buttons->addWidget(apply_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(formula_);
  layout->addLayout(buttons);
  resize(640, 420);

  connect(add_, &QPushButton::clicked, this, &CoreCorrectionDialog::onAdd);
  connect(remove_, &QPushButton::clicked, this, &CoreCorrectionDialog::onRemove);
  connect(apply_, &QPushButton::clicked, this, &CoreCorrectionDialog::onApply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!rebuilding_ && item->column() == kStrength) typeStrength(item->row(), item->text());
  });
  rebuild();
}

CoreCorrectionDialog::~CoreCorrectionDialog() = default;

void CoreCorrectionDialog::rebuild() {
  rebuilding_ = true;
  const std::vector<CoreCorrectionModel::Row>& rows = logic_->rows();
  table_->setRowCount(static_cast<int>(rows.size()));
  const QStringList members = Texts(logic_->MemberNames());
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    auto* member = new QComboBox(table_);
    member->addItems(members);
    member->setCurrentIndex(rows[static_cast<std::size_t>(row)].member);
    connect(member, &QComboBox::activated, this, [this, member](int index) {
      for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->cellWidget(r, kMember) == member) chooseMember(r, index);
      }
    });
    table_->setCellWidget(row, kMember, member);
    auto* zone = new QComboBox(table_);
    table_->setCellWidget(row, kZone, zone);
    connect(zone, &QComboBox::activated, this, [this, zone](int index) {
      for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->cellWidget(r, kZone) == zone) chooseZone(r, index);
      }
    });
    table_->setItem(row, kStrength,
                    new QTableWidgetItem(FromUtf8(rows[static_cast<std::size_t>(row)].strength)));
    for (int c : {kConversion, kRatio}) {
      auto* item = new QTableWidgetItem;
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      table_->setItem(row, c, item);
    }
    refreshRow(row);
  }
  rebuilding_ = false;
  refreshFormula();
}

void CoreCorrectionDialog::refreshRow(int row) {
  const bool was = rebuilding_;
  rebuilding_ = true;
  const CoreCorrectionModel::Row& r = logic_->rows()[static_cast<std::size_t>(row)];
  if (auto* zone = qobject_cast<QComboBox*>(table_->cellWidget(row, kZone))) {
    const QSignalBlocker block(zone);
    zone->clear();
    zone->addItems(Texts(logic_->ZoneNames(r.member)));
    zone->setCurrentIndex(r.zone);
  }
  table_->item(row, kConversion)->setText(FromUtf8(logic_->ConversionText(row)));
  table_->item(row, kRatio)->setText(FromUtf8(logic_->RatioText(row)));
  rebuilding_ = was;
}

void CoreCorrectionDialog::refreshFormula() {
  formula_->setText(FromUtf8(logic_->FormulaText()));
  apply_->setEnabled(!logic_->Cores().empty());
  remove_->setEnabled(table_->rowCount() > 0);
}

void CoreCorrectionDialog::chooseMember(int row, int member) {
  logic_->SetMember(row, member);
  refreshRow(row);
  refreshFormula();
}

void CoreCorrectionDialog::chooseZone(int row, int zone) {
  logic_->SetZone(row, zone);
  refreshRow(row);
  refreshFormula();
}

void CoreCorrectionDialog::typeStrength(int row, const QString& text) {
  const std::string message = logic_->SetStrength(row, text.toStdString());
  if (QTableWidgetItem* item = table_->item(row, kStrength); item != nullptr && item->text() != text) {
    const bool was = rebuilding_;
    rebuilding_ = true;
    item->setText(text);
    rebuilding_ = was;
  }
  refreshRow(row);
  refreshFormula();
  if (!message.empty() && !text.trimmed().isEmpty()) prompter_->message(this, FromUtf8(message));
}

void CoreCorrectionDialog::onAdd() {
  const int row = logic_->AddRow();
  rebuild();
  table_->setCurrentCell(row, kStrength);
  table_->editItem(table_->item(row, kStrength));
}

void CoreCorrectionDialog::onRemove() {
  logic_->RemoveRow(table_->currentRow() >= 0 ? table_->currentRow() : table_->rowCount() - 1);
  rebuild();
}

void CoreCorrectionDialog::onApply() {
  const std::vector<CoreSample> cores = logic_->Cores();
  const EditResult result = model_->edit(
      edit_name::kCoreCorrection, [cores](CKorvaneDoc& doc) { return ApplyCoreCorrection(doc, cores); });
  if (!result.message.empty()) prompter_->message(this, FromUtf8(result.message));
  if (!result.refused) accept();
}

}  // namespace korvane::gui
