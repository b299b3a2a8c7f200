#include "gui/analysis_screen/zone_tables_view.h"

#include "core/app/document_edits.h"
#include "core/app/edit_names.h"
#include "core/data/number_entry.h"
#include "core/data/typed_number.h"
#include "core/forms/rebound_table_layout.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui {

CAnalysisDownTView::CAnalysisDownTView(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QWidget(parent), model_(model), prompter_(prompter), grid_(new CGridCtrl(this)) {
  setObjectName(QStringLiteral("CAnalysisDownTView"));
  grid_->setObjectName(QStringLiteral("reboundGrid"));
  grid_->setNotifyKind(1);
  connect(grid_, &CGridCtrl::editEnded, this, &CAnalysisDownTView::onEditEnded);
  connect(grid_, &CGridCtrl::choiceMade, this, &CAnalysisDownTView::onChoiceMade);
  connect(grid_, &CGridCtrl::rowSelected, this, &CAnalysisDownTView::onRowSelected);
  // Enter and Tab go through the readings as the field sheet lists them.
  grid_->setEntryOrder([this](GridCellPos from, bool backwards) {
    const CKorvaneDoc& doc = model_->doc();
    const std::optional<GridPosition> next = ReboundEntryNext(
        ReboundReadingCount(doc), doc.ZoneCount(doc.currentMember), from.row, from.column, backwards);
    return next ? GridCellPos{next->row, next->column} : GridCellPos{};
  });

  const auto changed = [this] { refresh(); };
  connect(model_, &DocumentModel::fileChanged, this, changed);
  connect(model_, &DocumentModel::zoneChanged, this, changed);
  connect(model_, &DocumentModel::zoneDataChanged, this, changed);
}

void CAnalysisDownTView::refresh() {
  // Built when shown (showEvent), not on every edit made on the other screen.
  if (!isVisible()) return;
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
  const TestZone* zone = doc.Zone(member, cell.zone);
  if (zone == nullptr) return;
  EditResult result;
  std::string refusal;
  switch (cell.kind) {
    case ReboundCell::Kind::Reading: {
      const int index = cell.reading;
      const ReadingEntry entry = ReboundReadingEntry(text, zone->rebound[static_cast<std::size_t>(index)]);
      refusal = entry.message;
      if (!entry.value) break;
      const int value = *entry.value;
      result =
          model_->edit(edit_name::kReading, [=](CKorvaneDoc& d) { return SetReading(d, at, index, value); });
      break;
    }
    case ReboundCell::Kind::Carbonation: {
      const TypedNumber typed = ReadTypedNumber(text, TypedField::Carbonation);
      refusal = typed.message;
      if (!typed.value) break;
      const float depth = *typed.value;
      result = model_->edit(edit_name::kCarbonation, [=](CKorvaneDoc& d) {
        return SetZoneField(d, at, ZoneField::CarbonationDepth, depth);
      });
      break;
    }
    case ReboundCell::Kind::Rebound: {
      const ReboundValueEntry entry = ReboundTypedValueEntry(text, zone->reboundValue);
      refusal = entry.message;
      if (!entry.value) break;
      const float value = *entry.value;
      result = model_->edit(edit_name::kReboundValue, [=](CKorvaneDoc& d) {
        return SetZoneField(d, at, ZoneField::ReboundValue, value);
      });
      break;
    }
    default: return;
  }
  // The cells show what the document holds: the old value after a refusal,
  // and the same texts after an edit that changed nothing.
  refresh();
  if (refusal.empty()) refusal = result.message;
  if (!refusal.empty()) {
    // A refused text keeps the focus on its cell.
    grid_->stayAfterEdit();
    prompter_->message(this, FromUtf8(refusal));
  }
}

void CAnalysisDownTView::onChoiceMade(int row, int column, int entry) {
  CKorvaneDoc& doc = model_->doc();
  const int member = doc.currentMember;
  const ReboundCell cell = ReboundCellAt(ReboundReadingCount(doc), doc.ZoneCount(member), row, column);
  const ZoneRef at{member, cell.zone};
  if (cell.kind == ReboundCell::Kind::Angle) {
    const int angle = AngleOfEntry(entry);
    model_->edit(edit_name::kAngle, [=](CKorvaneDoc& d) { return SetAngle(d, at, angle); });
  } else if (cell.kind == ReboundCell::Kind::Surface) {
    const Surface surface = SurfaceOfEntry(entry);
    model_->edit(edit_name::kSurface, [=](CKorvaneDoc& d) { return SetSurface(d, at, surface); });
  }
  refresh();
}

void CAnalysisDownTView::onRowSelected(int row, int /*flag*/) {
  // The zone whose rows are chosen becomes the current zone: its waveform
  // and its row in the zone grid are shown.
  CKorvaneDoc& doc = model_->doc();
  const int zone = (row - 1) / 2;
  if (row < 1 || zone >= doc.ZoneCount(doc.currentMember) || zone == doc.currentZone) return;
  model_->selectZone(zone);
}

}  // namespace korvane::gui
