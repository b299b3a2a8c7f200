// The seam through which the program asks the user: message boxes and file
// dialogs. The frame and the dialogs only talk to a Prompter, so tests answer
// with a scripted one and never block on a modal window.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace korvane::gui {

class Prompter {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~Prompter() = default;

  // A message with an OK button.
  virtual void message(QWidget* parent, const QString& text) = 0;
  // A question with Yes, No and Cancel.
  virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;
  // File dialogs. `filter` is in the "描述|模式|描述|模式||" form; an empty
  // result (or list) means the dialog was cancelled. `defaultSuffix` (without
  // dot) is appended to a name typed without one; empty: none. `title`
  // empty: the dialog's usual title.
  virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
  virtual QStringList openFileNames(QWidget* parent, const QString& filter) = 0;
  virtual QString saveFileName(QWidget* parent, const QString& initialPath, const QString& filter,
                               const QString& defaultSuffix, const QString& title) = 0;
  // A save dialog with a check box under the file name (text `option`,
  // initially `optionChecked`); `optionChecked` returns its state. Without
  // an override: the plain save dialog, the option unchecked.
  virtual QString saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                         const QString& defaultSuffix, const QString& title,
                                         const QString& option, bool& optionChecked);
  // The print dialog for a job of `pageCount` pages: the user chooses the
  // printer, the page range and the copies, which are set on `printer`.
  // False when cancelled (also without an override).
  virtual bool choosePrinter(QWidget* parent, QPrinter& printer, int pageCount);
  // Opens a file the program wrote in the program the desktop associates
  // with it (a workbook in the spreadsheet program). False when no program
  // could be started for it.
  virtual bool showDocument(const QString& path) = 0;
};

// Qt's message boxes (caption "Korvane") and file dialogs.
class QtPrompter : public Prompter {
 public:
  void message(QWidget* parent, const QString& text) override;
  Answer askYesNoCancel(QWidget* parent, const QString& text) override;
  QString openFileName(QWidget* parent, const QString& filter) override;
  QStringList openFileNames(QWidget* parent, const QString& filter) override;
  QString saveFileName(QWidget* parent, const QString& initialPath, const QString& filter,
                       const QString& defaultSuffix, const QString& title) override;
  QString saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                 const QString& defaultSuffix, const QString& title, const QString& option,
                                 bool& optionChecked) override;
  bool choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) override;
  bool showDocument(const QString& path) override;
};

// Converts a filter of the "描述 (*.SHT)|*.SHT|All Files (*.*)|*.*||" form
// into Qt's name filters. Extension patterns match both cases ("*.SHT *.sht")
// and "*.*" becomes "*" (every file, with or without a dot).
QStringList QtNameFilters(const QString& windowsFilter);

// File dialog filters of the commands.
inline constexpr char kFilterOpen[] =
    "声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA|All Files (*.*)|*.*||";
inline constexpr char kFilterSaveAs[] = "声波原始文件 (*.SHT)|*.SHT|All Files (*.*)|*.*||";
inline constexpr char kFilterResult[] = "声波结果文件 (*.SHA)|*.SHA||";
inline constexpr char kFilterExitSave[] =
    "声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA|All Files (*.*)|*.*||";
inline constexpr char kFilterWorkbook[] = "工作薄(*.xlsx)|*.xlsx||";
inline constexpr char kFilterMerge[] = "声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA||";

}  // namespace korvane::gui
