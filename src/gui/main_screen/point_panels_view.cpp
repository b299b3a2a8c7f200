#include "gui/main_screen/point_panels_view.h"
#include "core/forms/main_screen_model.h"

#include <QScrollBar>
#include <algorithm>

#include "core/app/korvane_doc.h"
#include "core/wave/waveform_view_layout.h"
#include "gui/document/document_model.h"
#include "gui/widgets/point_panel.h"

namespace korvane::gui {

CKorvaneView::CKorvaneView(DocumentModel* model, QWidget* parent)
    : QScrollArea(parent), model_(model), strip_(new QWidget) {
  setObjectName(QStringLiteral("CKorvaneView"));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidgetResizable(false);
  setFrameShape(QFrame::NoFrame);
  // The panels take the focus, not the area around them.
  setFocusPolicy(Qt::NoFocus);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    auto* panel = new CNodeCtrl(model, slot, strip_);
    panels_[static_cast<std::size_t>(slot)] = panel;
    // Up and Down go to the previous or next point with a waveform.
    connect(panel, &CNodeCtrl::stepRequested, this, [this](int from, int step) {
      const TestZone* zone = model_->doc().GetCurrentZone();
      if (zone == nullptr) return;
      const std::optional<int> next = StepToPointWithSamples(*zone, from, step);
      if (!next || *next >= shownPanels()) return;
      CNodeCtrl* target = panels_[static_cast<std::size_t>(*next)];
      target->setFocus(Qt::OtherFocusReason);
      ensureWidgetVisible(target, 0, 0);
    });
  }
  setWidget(strip_);  // the scroll area owns the strip, the strip the panels
  // Another zone: no cursor line stays over its waveforms.
  auto relayout = [this] {
    for (CNodeCtrl* p : panels_) p->clearCursor();
    layoutPanels();
    redrawPanels();
  };
  connect(model, &DocumentModel::fileChanged, this, relayout);
  connect(model, &DocumentModel::zoneChanged, this, relayout);
  connect(model, &DocumentModel::zoneDataChanged, this, &CKorvaneView::redrawPanels);
  connect(model, &DocumentModel::waveformsChanged, this, &CKorvaneView::redrawPanels);
  connect(model, &DocumentModel::suggestionChanged, this, &CKorvaneView::redrawPanels);
  // Scrolling moves the panels under the mouse: a cursor line would stand
  // over another time, and its readout beside the wrong point.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    for (CNodeCtrl* p : panels_) p->clearCursor();
  });
  layoutPanels();
}

int CKorvaneView::shownPanels() const {
  const TestZone* zone = model_->doc().GetCurrentZone();
  return ShownPointPanels(zone);
}

int CKorvaneView::panelHeight() const { return std::max(viewport()->height() / 3, 1); }

void CKorvaneView::layoutPanels() {
  const int shown = shownPanels();
  // The viewport narrows when the scroll bar appears; the panels follow.
  setVerticalScrollBarPolicy(shown > 3 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  const int h = panelHeight();
  const int w = viewport()->width();
  strip_->resize(w, h * shown);
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    CNodeCtrl* p = panel(slot);
    p->setGeometry(0, slot * h, w, h);
    p->setVisible(slot < shown);
  }
}

void CKorvaneView::redrawPanels() {
  for (CNodeCtrl* p : panels_) {
    if (p->isVisibleTo(strip_)) p->redrawWaveform();
  }
}

void CKorvaneView::scrollToTop() { verticalScrollBar()->setValue(0); }

void CKorvaneView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  layoutPanels();
}

}  // namespace korvane::gui
