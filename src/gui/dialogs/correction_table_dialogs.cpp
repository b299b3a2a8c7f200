#include "gui/dialogs/correction_table_dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <numeric>

#include "core/app/edit_names.h"
#include "core/standards/standards.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui {

CDlgCorrection::CDlgCorrection(CorrectionDialogKind kind, DocumentModel* model, Prompter* prompter,
                               QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      model_(model),
      prompter_(prompter),
      dialog_(std::make_unique<CorrectionDialogModel>(kind, model->doc())),
      grid_(new CGridCtrl(this)),
      note_(new QLabel(this)),
      ok_(new QPushButton(QStringLiteral("确定"), this)),
      cancel_(new QPushButton(QStringLiteral("取消"), this)),
      defaults_(new QPushButton(QStringLiteral("默认值"), this)) {
  const std::string_view title = dialog_->title();
  setWindowTitle(FromUtf8(title));
  setObjectName(kind == CorrectionDialogKind::Angle     ? QStringLiteral("CDlgAngle")
                : kind == CorrectionDialogKind::Surface ? QStringLiteral("CDlgPlane")
                                                        : QStringLiteral("CDlgCarbon"));
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(note_);
  outer->addWidget(grid_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(defaults_);
  outer->addLayout(buttons);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &CDlgCorrection::accept);
  connect(cancel_, &QPushButton::clicked, this, &CDlgCorrection::reject);
  connect(defaults_, &QPushButton::clicked, this, &CDlgCorrection::restoreDefaults);
  // A typed value takes the table's format as soon as its edit ends; one
  // refused shows its message, naming the cell, and the cell its value
  // again, with the focus on it.
  connect(grid_, &CGridCtrl::editEnded, this, [this](int row, int column) {
    const CellEntry entry = dialog_->EnterCell(row, column, grid_->itemText(row, column).toStdString());
    grid_->setItemText(row, column, FromUtf8(entry.shown));
    if (!entry.message.empty()) {
      grid_->stayAfterEdit();
      prompter_->message(this, FromUtf8(entry.message));
      grid_->setFocusCell(row, column);
    }
  });
  showTable();
}

CDlgCorrection::~CDlgCorrection() = default;

bool CDlgCorrection::hasGrid() const { return dialog_->hasGrid(); }

void CDlgCorrection::showTable() {
  const GridLayout& layout = dialog_->layout();
  grid_->applyLayout(layout);
  grid_->setVisible(dialog_->hasGrid());
  note_->setVisible(!dialog_->hasGrid());
  if (!dialog_->hasGrid()) {
    const std::string_view name = StandardDisplayName(model_->doc().standard);
    note_->setText(QStringLiteral("当前规范(%1)不使用此修正表。").arg(FromUtf8(name)));
    resize(360, 120);
    return;
  }
  // Wide enough for every column; at most 600 pixels of rows.
  const int width = std::accumulate(layout.columnWidths.begin(), layout.columnWidths.end(), 0);
  const int height = std::accumulate(layout.rowHeights.begin(), layout.rowHeights.end(), 0);
  resize(std::max(width + 60, 360), std::min(height + 110, 640));
}

void CDlgCorrection::accept() {
  const std::optional<CorrectionTable> table = dialog_->table();
  if (table) {
    const CellTables cells =
        dialog_->Accept([this](int row, int column) { return grid_->itemText(row, column).toStdString(); });
    if (!cells.message.empty()) {
      // The dialog stays, with the refused cell chosen.
      prompter_->message(this, FromUtf8(cells.message));
      grid_->setFocusCell(cells.row, cells.column);
      return;
    }
    const CorrectionTable which = *table;
    const std::vector<float> values = TableValues(cells.tables, which);
    model_->edit(edit_name::Table(which, false),
                 [=](CKorvaneDoc& d) { return SetCorrectionTable(d, which, values); });
  }
  QDialog::accept();
}

void CDlgCorrection::restoreDefaults() {
  const std::optional<CorrectionTable> table = dialog_->table();
  if (!table) return;
  const CorrectionTable which = *table;
  model_->edit(edit_name::Table(which, true), [=](CKorvaneDoc& d) { return RestoreDefaultTable(d, which); });
  dialog_ = std::make_unique<CorrectionDialogModel>(kind_, model_->doc());
  showTable();
}

}  // namespace korvane::gui
