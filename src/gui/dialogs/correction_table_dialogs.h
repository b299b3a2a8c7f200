// The correction-table dialogs of the analysis screen: "角度修正值表"
// (CDlgAngle), "测试面修正表" (CDlgPlane) and "碳化深度修正表" (CDlgCarbon).
// Each shows the table that the current standard's algorithm uses (see
// core/forms/correction_dialog_model.h), or a note that the standard uses none.
// "确定" stores the grid's values, "默认值" restores the table's defaults at
// once (the dialog stays open), "取消" stores nothing more.
#pragma once

#include <QDialog>
#include <memory>

#include "core/forms/correction_dialog_model.h"

class QLabel;
class QPushButton;

namespace korvane::gui {

class CGridCtrl;
class DocumentModel;
class Prompter;

class CDlgCorrection : public QDialog {
  Q_OBJECT

 public:
  CDlgCorrection(CorrectionDialogKind kind, DocumentModel* model, Prompter* prompter,
                 QWidget* parent = nullptr);
  ~CDlgCorrection() override;

  CGridCtrl* grid() const { return grid_; }
  bool hasGrid() const;
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* defaultsButton() const { return defaults_; }

 public slots:
  void accept() override;

 private:
  void restoreDefaults();
  void showTable();

  CorrectionDialogKind kind_;
  DocumentModel* model_;
  Prompter* prompter_;
  std::unique_ptr<CorrectionDialogModel> dialog_;
  CGridCtrl* grid_;
  QLabel* note_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* defaults_;
};

class CDlgAngle : public CDlgCorrection {
  Q_OBJECT
 public:
  CDlgAngle(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr)
      : CDlgCorrection(CorrectionDialogKind::Angle, model, prompter, parent) {}
};

class CDlgPlane : public CDlgCorrection {
  Q_OBJECT
 public:
  CDlgPlane(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr)
      : CDlgCorrection(CorrectionDialogKind::Surface, model, prompter, parent) {}
};

class CDlgCarbon : public CDlgCorrection {
  Q_OBJECT
 public:
  CDlgCarbon(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr)
      : CDlgCorrection(CorrectionDialogKind::Carbon, model, prompter, parent) {}
};

}  // namespace korvane::gui
