// "钻芯修正": the cores drilled from the file's zones (member and zone
// chosen from lists, fcor typed), each with its zone's fcu,i and its ratio
// or difference, and the correction derived from them with its formula.
// "应用" puts the value (rounded to 0.01) into every zone as the η or Δtot
// field does and keeps the cores with the file, as one undoable step.
#pragma once

#include <QDialog>
#include <memory>

#include "core/forms/core_correction_model.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class CoreCorrectionDialog : public QDialog {
  Q_OBJECT

 public:
  CoreCorrectionDialog(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);
  ~CoreCorrectionDialog() override;

  const CoreCorrectionModel& logic() const { return *logic_; }
  QTableWidget* table() const { return table_; }
  QLabel* formulaLabel() const { return formula_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* removeButton() const { return remove_; }
  QPushButton* applyButton() const { return apply_; }

  // What the table's widgets do, callable by tests: choose a member or a
  // zone of row `row`, type its fcor.
  void chooseMember(int row, int member);
  void chooseZone(int row, int zone);
  void typeStrength(int row, const QString& text);
  void onAdd();
  void onRemove();
  void onApply();

 private:
  void rebuild();
  void refreshRow(int row);
  void refreshFormula();

  DocumentModel* model_;
  Prompter* prompter_;
  std::unique_ptr<CoreCorrectionModel> logic_;
  QTableWidget* table_;
  QLabel* formula_;
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* apply_;
  bool rebuilding_ = false;
};

}  // namespace korvane::gui
