// "检测参数": the acquisition parameters of the current member's section
// record. Only gain and delay can be typed; "确定" stores them (the other
// fields keep their values), "取消" discards.
#pragma once

#include <QDialog>

class QLineEdit;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class TestPara : public QDialog {
  Q_OBJECT

 public:
  // The dialog edits the section record of member `member`, which must have
  // one (CKorvaneDoc::SectionRow >= 0).
  // A typed gain (0 … 100) or delay (0 … 1000 us) outside its range keeps
  // the dialog open with the field's message.
  TestPara(DocumentModel* model, Prompter* prompter, int member, QWidget* parent = nullptr);

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
  Prompter* prompter_;
  int member_;
  QString gainText_;  // as shown at opening
  QString delayText_;
  QLineEdit* gain_;
  QLineEdit* delay_;
  QLineEdit* lowPass_;
  QLineEdit* highPass_;
  QLineEdit* interval_;
  QLineEdit* count_;
  QLineEdit* zero_;
};

}  // namespace korvane::gui
