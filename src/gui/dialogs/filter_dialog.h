// "滤波": switches and corner frequencies of the high-pass and low-pass
// filters of the current zone's waveforms. A corner is entered when its edit
// ends (Enter, Tab, a click elsewhere, "确定"), as every number field is; a
// corner taken refilters the zone from its loaded waveforms and redraws the
// point panels, one refused shows its message and keeps the field and the
// focus. "确定" keeps what the dialog did as one step of
// the undo history ("滤波"); "取消" puts back the settings, waveforms and
// readings of the opening exactly.
#pragma once

#include <QDialog>
#include <memory>

#include "core/app/document_edits.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace korvane {
class EditSnapshot;
class FilterDialogModel;
struct FilterDialogUpdate;
}  // namespace korvane

namespace korvane::gui {

class DocumentModel;
class Prompter;

class CDlgFilter : public QDialog {
  Q_OBJECT

 public:
  CDlgFilter(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);
  ~CDlgFilter() override;

  QCheckBox* highPassCheck() const { return highCheck_; }
  QCheckBox* lowPassCheck() const { return lowCheck_; }
  QLineEdit* highPassEdit() const { return highEdit_; }
  QLineEdit* lowPassEdit() const { return lowEdit_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  void accept() override;
  void reject() override;

 private:
  // Shows what the dialog logic asks for after a user action; `edit` is the
  // box whose text the logic may replace. False when the action was refused.
  bool apply(const FilterDialogUpdate& update, QLineEdit* edit);

  DocumentModel* model_;
  Prompter* prompter_;
  std::unique_ptr<FilterDialogModel> logic_;
  // The zone filtered and its state at the opening.
  ZoneRef at_;
  std::shared_ptr<const EditSnapshot> opening_;
  FilterSettings openingSettings_;
  bool refiltered_ = false;
  QCheckBox* highCheck_;
  QCheckBox* lowCheck_;
  QLineEdit* highEdit_;
  QLineEdit* lowEdit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace korvane::gui
