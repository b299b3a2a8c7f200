// Main screen view: the waveform panels of the current zone stacked from top
// to bottom, each a third of the view's height; the first max(pointCount, 3)
// are shown and the view scrolls when that is more than three.
#pragma once

#include <QScrollArea>
#include <array>

#include "core/data/records.h"

namespace korvane::gui {

class CNodeCtrl;
class DocumentModel;

class CKorvaneView : public QScrollArea {
  Q_OBJECT

 public:
  explicit CKorvaneView(DocumentModel* model, QWidget* parent = nullptr);

  CNodeCtrl* panel(int slot) const { return panels_[static_cast<std::size_t>(slot)]; }
  // Number of panels shown for the current zone (3 with no zone).
  int shownPanels() const;
  int panelHeight() const;
  // Redraws every visible panel (after zone navigation or filtering).
  void redrawPanels();
  void scrollToTop();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutPanels();

  DocumentModel* model_;
  QWidget* strip_;
  std::array<CNodeCtrl*, kMaxPoints> panels_{};
};

}  // namespace korvane::gui
