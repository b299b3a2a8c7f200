// "检测参数": the acquisition parameters of the current member's section
// record. Only gain and delay can be typed; "确定" writes the fields back
// (the sample interval excepted), "取消" discards.
#pragma once

#include <QDialog>

class QLineEdit;

namespace korvane {
class CKorvaneDoc;
}

namespace korvane::gui {

class DocumentModel;

class TestPara : public QDialog {
  Q_OBJECT

 public:
  // The dialog edits doc.sections[sectionRow], which must exist.
  TestPara(DocumentModel* model, int sectionRow, QWidget* parent = nullptr);

  QLineEdit* gainField() const { return gain_; }
  QLineEdit* delayField() const { return delay_; }
  QLineEdit* lowPassField() const { return lowPass_; }
  QLineEdit* highPassField() const { return highPass_; }
  QLineEdit* intervalField() const { return interval_; }
  QLineEdit* countField() const { return count_; }
  QLineEdit* zeroField() const { return zero_; }

  void accept() override;

 private:
  DocumentModel* model_;
  int row_;
  QLineEdit* gain_;
  QLineEdit* delay_;
  QLineEdit* lowPass_;
  QLineEdit* highPass_;
  QLineEdit* interval_;
  QLineEdit* count_;
  QLineEdit* zero_;
};

// Row of doc.sections that belongs to the current member, or -1.
int CurrentSectionRow(const CKorvaneDoc& doc);

}  // namespace korvane::gui
