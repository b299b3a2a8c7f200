// "打印设置": the print settings dialog of the analysis screen. A tab control
// with the pages "打印页面设置" (CDlgPrintSet) and "打印工程信息"
// (CPrintSetInfo), buttons "确定" and "取消". The rules live in the core's
// PrintSetDialogModel; the widgets here show its state and report every
// change to it.
#pragma once

#include <QAbstractSpinBox>
#include <QDialog>
#include <array>
#include <memory>

#include "core/forms/print_settings_model.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace korvane::gui {

class Prompter;

// An edit box with a spin button beside it: any text may be typed (the
// dialog checks it when it transfers the page); the arrows step the whole
// number the box holds within the range, or start at the range's minimum
// when it holds none.
class CSpinEdit : public QAbstractSpinBox {
  Q_OBJECT

 public:
  explicit CSpinEdit(QWidget* parent = nullptr);
  void setRange(int minimum, int maximum);
  void setText(const QString& text);
  QLineEdit* edit() const { return lineEdit(); }
  void stepBy(int steps) override;
  // Wide enough for "100" beside the buttons, whatever the font.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override { return minimumSizeHint(); }

 signals:
  void textChanged(const QString& text);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
  StepEnabled stepEnabled() const override;

 private:
  int minimum_ = 0;
  int maximum_ = 100;
};

// Page "打印页面设置".
class CDlgPrintSet : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgPrintSet(QWidget* parent = nullptr);

  QCheckBox* headerCheck() const { return headerCheck_; }
  QCheckBox* footerCheck() const { return footerCheck_; }
  QCheckBox* pageNumberCheck() const { return pageNumberCheck_; }
  QCheckBox* recordSheetCheck() const { return recordSheetCheck_; }
  QCheckBox* resultTableCheck() const { return resultTableCheck_; }
  QCheckBox* memberEstimatesCheck() const { return memberEstimatesCheck_; }
  // The integer field `field` (a plain edit for the line widths, an edit
  // with a spin button otherwise).
  QWidget* integerField(PrintIntField field) const { return integerWidgets_[static_cast<int>(field)]; }
  QLineEdit* integerEdit(PrintIntField field) const { return integerEdits_[static_cast<int>(field)]; }
  QComboBox* pageNumberPositionList() const { return pageNumberPosition_; }
  QComboBox* pageNumberFormatList() const { return pageNumberFormat_; }
  QComboBox* headerAlignList() const { return headerAlign_; }
  QComboBox* headerFontList() const { return headerFont_; }
  QComboBox* footerAlignList() const { return footerAlign_; }
  QComboBox* footerFontList() const { return footerFont_; }
  QLineEdit* headerTextEdit() const { return headerText_; }
  QLineEdit* footerTextEdit() const { return footerText_; }

  // Shows the controls' state; applies the enabling rule.
  void showControls(const PrintPageControls& controls, const PrintPageEnabling& enabling);
  void setEnabling(const PrintPageEnabling& enabling);
  // Every change of a control is written into `controls`.
  void bind(PrintPageControls* controls);

 private:
  QCheckBox* headerCheck_;
  QCheckBox* footerCheck_;
  QCheckBox* pageNumberCheck_;
  QCheckBox* recordSheetCheck_;
  QCheckBox* resultTableCheck_;
  QCheckBox* memberEstimatesCheck_;
  std::array<QWidget*, kPrintIntFieldCount> integerWidgets_{};
  std::array<QLineEdit*, kPrintIntFieldCount> integerEdits_{};
  QComboBox* pageNumberPosition_;
  QComboBox* pageNumberFormat_;
  QComboBox* headerAlign_;
  QComboBox* headerFont_;
  QComboBox* footerAlign_;
  QComboBox* footerFont_;
  QLineEdit* headerText_;
  QLineEdit* footerText_;
  QList<QWidget*> headerGroup_;
  QList<QWidget*> footerGroup_;
  QList<QWidget*> pageNumberGroup_;
};

// Page "打印工程信息".
class CPrintSetInfo : public QWidget {
  Q_OBJECT

 public:
  explicit CPrintSetInfo(QWidget* parent = nullptr);

  // The editor of field `index` of ReportProjectInfo (a QLineEdit or an
  // editable QComboBox); null for the dates and the fields without one.
  QWidget* textField(int index) const;
  QDateEdit* dateField(ReportDateField field) const { return dates_[static_cast<int>(field)]; }

  void showInfo(const ReportProjectInfo& info, const std::array<CivilDate, 3>& dates);
  // The texts of the editors into `info` (the other fields are left alone).
  void read(ReportProjectInfo& info) const;

 signals:
  void dateChanged(korvane::ReportDateField field, const korvane::CivilDate& date);

 private:
  std::array<QWidget*, ReportProjectInfo::kFieldCount> fields_{};
  std::array<QDateEdit*, 3> dates_{};
};

class CPrintSetParent : public QDialog {
  Q_OBJECT

 public:
  // Edits doc's PrintSettings and ReportProjectInfo and `options` in place.
  CPrintSetParent(CKorvaneDoc& doc, ReportOptions& options, Prompter* prompter, QWidget* parent = nullptr);
  ~CPrintSetParent() override;

  QTabWidget* tabs() const { return tabs_; }
  CDlgPrintSet* pageSetup() const { return pageSetup_; }
  CPrintSetInfo* projectInfo() const { return info_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  void accept() override;
  void reject() override;

 private:
  void apply(const PrintDialogUpdate& update);

  Prompter* prompter_;
  std::unique_ptr<PrintSetDialogModel> logic_;
  QTabWidget* tabs_;
  CDlgPrintSet* pageSetup_;
  CPrintSetInfo* info_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace korvane::gui
