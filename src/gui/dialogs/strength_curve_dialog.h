// "测强曲线": a laboratory's strength curve from its cubes. The
// user chooses a file of cubes (CSV or .xlsx), sees them with the
// curve's value for each, the fit's figures and the plot of computed
// against measured strength; "用作自定义系数" makes a, b, c the own
// coefficients of the current member (or of every member) as one undoable
// step; "导出" writes the fit's page as a PDF.
#pragma once

#include <QDialog>
#include <QWidget>

#include "core/forms/strength_curve_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

// The plot of the fit, painted from the same display list as the PDF.
class CurvePlotView : public QWidget {
 public:
  CurvePlotView(const StrengthCurveModel& model, QWidget* parent);
  QSize sizeHint() const override { return {360, 360}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const StrengthCurveModel& model_;
};

class StrengthCurveDialog : public QDialog {
  Q_OBJECT

 public:
  StrengthCurveDialog(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  // Reads the cubes of `path` and shows them (a file that cannot be
  // read shows why).
  void load(const QString& path);

  const StrengthCurveModel& logic() const { return logic_; }
  QTableWidget* cubeTable() const { return cubes_; }
  QTableWidget* figureTable() const { return figures_; }
  QLabel* noteLabel() const { return note_; }
  QCheckBox* allMembersCheck() const { return allMembers_; }
  QPushButton* chooseButton() const { return choose_; }
  QPushButton* useButton() const { return use_; }
  QPushButton* exportButton() const { return export_; }

  void onChoose();
  void onUse();
  void onExport();

 private:
  void refresh();

  DocumentModel* model_;
  Prompter* prompter_;
  StrengthCurveModel logic_;
  QString path_;
  QLabel* file_;
  QTableWidget* cubes_;
  QTableWidget* figures_;
  QLabel* note_;
  CurvePlotView* plot_;
  QCheckBox* allMembers_;
  QPushButton* choose_;
  QPushButton* use_;
  QPushButton* export_;
};

}  // namespace korvane::gui
