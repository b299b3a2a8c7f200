// The lower pane of the analysis screen: the rebound table of the current
// member, two rows per zone (readings in pairs, hammer angle and tested
// surface from lists, carbonation depth, R and its corrections), the
// readings that R drops marked yellow. Each edit goes through the editing
// layer, which recomputes the zone, its member and the batch; the table is
// then shown anew from the document (built anew when the member or the
// reading count changes).
#pragma once

#include <QWidget>

namespace korvane::gui {

class CGridCtrl;
class DocumentModel;
class Prompter;

class CAnalysisDownTView : public QWidget {
  Q_OBJECT

 public:
  CAnalysisDownTView(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  CGridCtrl* grid() const { return grid_; }
  // Shows the table of the current member anew.
  void refresh();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void onEditEnded(int row, int column);
  void onChoiceMade(int row, int column, int entry);
  void onRowSelected(int row, int flag);

  DocumentModel* model_;
  Prompter* prompter_;
  CGridCtrl* grid_;
};

}  // namespace korvane::gui
