#include "gui/analysis/analysis_down_view.h"

#include "core/app/document_edits.h"
#include "core/data/number_entry.h"
#include "core/forms/rebound_table_layout.h"
#include "gui/analysis/grid_ctrl.h"
#include "gui/document_model.h"
#include "gui/prompter.h"

namespace korvane::gui {

CAnalysisDownTView::CAnalysisDownTView(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent), model_(model), prompter_(prompter), grid_(new CGridCtrl(this)) {
  setObjectName(QStringLiteral("CAnalysisDownTView"));
  grid_->setObjectName(QStringLiteral("reboundGrid"));
  grid_->setNotifyKind(1);
  connect(grid_, &CGridCtrl::editEnded, this, &CAnalysisDownTView::onEditEnded);
  connect(grid_, &CGridCtrl::choiceMade, this, &CAnalysisDownTView::onChoiceMade);
  connect(grid_, &CGridCtrl::rowSelected, this, &CAnalysisDownTView::onRowSelected);

  const auto changed = [this] { refresh(); };
  connect(model_, &DocumentModel::fileChanged, this, changed);
  connect(model_, &DocumentModel::zoneChanged, this, changed);
  connect(model_, &DocumentModel::zoneDataChanged, this, changed);
}

void CAnalysisDownTView::refresh() {
  const CKorvaneDoc& doc = model_->doc();
  grid_->applyLayout(ReboundTableLayout(doc, doc.HasFile() ? doc.currentMember : -1, grid_->usableWidth()));
}

void CAnalysisDownTView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  grid_->setGeometry(rect());
  // Column widths (and the header's one or two lines) follow the width.
  refresh();
}

void CAnalysisDownTView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void CAnalysisDownTView::onEditEnded(int row, int column) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const ReboundCell cell = ReboundCellAt(ReboundReadingCount(doc), doc.ZoneCount(member), row, column);
  const ZoneRef at{member, cell.zone};
  const std::string text = grid_->itemText(row, column).toStdString();
  EditResult result;
  switch (cell.kind) {
    case ReboundCell::Kind::Reading:
      result = model_->apply(SetReading(doc, at, cell.reading, MathOperation::ToInt(text, doc.warningSink)));
      break;
    case ReboundCell::Kind::Carbonation:
      result = model_->apply(SetCarbonationDepth(doc, at, MathOperation::ToFloat(text, doc.warningSink)));
      break;
    case ReboundCell::Kind::Rebound:
      result = model_->apply(SetReboundValue(doc, at, MathOperation::ToFloat(text, doc.warningSink)));
      break;
    default: return;
  }
  // The cells show what the document holds: the old reading after a refusal,
  // the limited R, and the same texts after an edit that changed nothing.
  refresh();
  if (!result.message.empty()) prompter_->message(this, FromUtf8(result.message));
}

void CAnalysisDownTView::onChoiceMade(int row, int column, int entry) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const ReboundCell cell = ReboundCellAt(ReboundReadingCount(doc), doc.ZoneCount(member), row, column);
  const ZoneRef at{member, cell.zone};
  if (cell.kind == ReboundCell::Kind::Angle) {
    model_->apply(SetAngle(doc, at, AngleOfEntry(entry)));
  } else if (cell.kind == ReboundCell::Kind::Surface) {
    model_->apply(SetSurface(doc, at, SurfaceOfEntry(entry)));
  }
  refresh();
}

void CAnalysisDownTView::onRowSelected(int row, int /*flag*/) {
  // The zone whose rows are chosen becomes the current zone: its waveform
  // and its row in the zone grid are shown.
  CKorvaneDoc& doc = model_->doc();
  const int zone = (row - 1) / 2;
  if (row < 1 || zone >= doc.ZoneCount(doc.currentMember) || zone == doc.currentZone) return;
  model_->apply(SelectZone(doc, zone));
}

}  // namespace korvane::gui
