// The form of the analysis screen's bar "分析输出信息栏": the standard, the
// coarse aggregate and the strength-formula coefficients, η or Δtot, the
// current member (whose name can be edited), the project information, the
// pumped-concrete switch, and the results of the member ("单") and the batch
// ("多"). Every change goes through the editing layer; the rules of the
// fields live in core/forms/analysis_form_model.h.
#pragma once

#include <QWidget>

#include "gui/widgets/project_fields.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class FormviewAna : public QWidget {
  Q_OBJECT

 public:
  FormviewAna(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  // Fields by their labels, for the frame and the tests.
  QComboBox* standardList() const { return standard_; }
  QComboBox* aggregateList() const { return aggregate_; }
  QComboBox* memberList() const { return project_.member; }
  QLineEdit* coefficientField(int index) const { return coef_[index]; }  // 0 a … 3 d
  QLineEdit* etaField() const { return eta_; }
  QLineEdit* siteField() const { return project_.site; }
  QLineEdit* deltaTotField() const { return deltaTot_; }
  QCheckBox* pumpedBox() const { return pumped_; }
  QCheckBox* lockBox() const { return lock_; }
  QTabBar* tabs() const { return tabs_; }
  // Result texts: "N", "Fmin(MPa)", "Fmax(MPa)", "Mf(MPa)", "Sf(MPa)",
  // "Fcu(MPa)" (0..5), then "强度换算平均值", "强度换算标准差", "强度推定值"
  // (6..8) and the batch's "N" (9).
  QString resultText(int index) const;
  bool batchPaneShown() const;

  // Every field and pane anew from the document.
  void refresh();

 signals:
  // The rebound table must be built anew (the reading count changed with
  // the standard).
  void readingCountChanged();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void applyEnabling();
  void refreshFields();
  void refreshResults();
  void onStandardChosen(int index);
  void onAggregateChosen(int index);
  // A coefficient, η or Δtot typed: entered, or its message shown (false).
  bool onCoefficientEntered(int index);
  bool onCorrectionEntered(bool eta);
  void onMemberChosen(int index);
  void onTabChosen(int index);
  void showMessage(const std::string& text);

  DocumentModel* model_;
  Prompter* prompter_;
  QComboBox* standard_;
  QComboBox* aggregate_;
  QLineEdit* coef_[4];
  QLineEdit* eta_;
  QLineEdit* deltaTot_;
  ProjectFields project_;
  QCheckBox* lock_;
  QCheckBox* pumped_;
  QTabBar* tabs_;
  QStackedWidget* panes_;
  QLabel* results_[10];
};

}  // namespace korvane::gui
