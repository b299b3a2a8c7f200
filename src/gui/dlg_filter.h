// "滤波": switches and corner frequencies of the high-pass and low-pass
// filters of the current zone's waveforms. Every valid change refilters the
// zone from its loaded waveforms and redraws the point panels; the caption
// reports an invalid value; "取消" puts the settings of the opening back.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class CDlgFilter : public QDialog {
  Q_OBJECT

 public:
  CDlgFilter(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  QCheckBox* highPassCheck() const { return highCheck_; }
  QCheckBox* lowPassCheck() const { return lowCheck_; }
  QLineEdit* highPassEdit() const { return highEdit_; }
  QLineEdit* lowPassEdit() const { return lowEdit_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  void accept() override;
  void reject() override;

 private:
  void highToggled(bool on);
  void lowToggled(bool on);
  void highTextChanged(const QString& text);
  void lowTextChanged(const QString& text);
  void refilter();

  DocumentModel* model_;
  Prompter* prompter_;
  QCheckBox* highCheck_;
  QCheckBox* lowCheck_;
  QLineEdit* highEdit_;
  QLineEdit* lowEdit_;
  QPushButton* ok_;
  QPushButton* cancel_;
  // Settings at opening, put back by "取消".
  float savedHigh_ = 0.0f;
  float savedLow_ = 0.0f;
  bool savedHighOn_ = false;
  bool savedLowOn_ = false;
};

}  // namespace korvane::gui
