// The seam through which the program asks the user: message boxes and file
// dialogs. The frame and the dialogs only talk to a Prompter, so tests answer
// with a scripted one and never block on a modal window.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
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
  // Whether suggested first arrivals are applied: the question `text` with
  // "应用" and "不应用", placed so that the waveforms under it (with the
  // suggested lines) stay in sight. True to apply. Without an override:
  // askYesNoCancel, Yes applies.
  virtual bool acceptSuggestion(QWidget* parent, const QString& text);
  // File dialogs. `filter` is in the "描述|模式|描述|模式||" form; an empty
  // result (or list) means the dialog was cancelled. `defaultSuffix` (without
  // dot) is appended to a name typed without one; empty: the extension of
  // the filter chosen is (none for "*.*"). `title` empty: the dialog's usual
  // title. `chosenFilter`, when given, receives the index of the filter
  // chosen (0 for the first).
  virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
  virtual QStringList openFileNames(QWidget* parent, const QString& filter) = 0;
  virtual QString saveFileName(QWidget* parent, const QString& initialPath, const QString& filter,
                               const QString& defaultSuffix, const QString& title,
                               int* chosenFilter = nullptr) = 0;
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
  bool acceptSuggestion(QWidget* parent, const QString& text) override;
  QString openFileName(QWidget* parent, const QString& filter) override;
  QStringList openFileNames(QWidget* parent, const QString& filter) override;
  QString saveFileName(QWidget* parent, const QString& initialPath, const QString& filter,
                       const QString& defaultSuffix, const QString& title,
                       int* chosenFilter = nullptr) override;
  QString saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                 const QString& defaultSuffix, const QString& title, const QString& option,
                                 bool& optionChecked) override;
  bool choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) override;
  bool showDocument(const QString& path) override;
};

// Qt's own file dialog lists sizes and dates in the program's locale
// (QLocale's default, Chinese) rather than the system's.
void ShowFilesInProgramLocale(QFileDialog& dialog);

// Converts a filter of the "描述 (*.SHT)|*.SHT|All Files (*.*)|*.*||" form
// into Qt's name filters. Extension patterns match both cases ("*.SHT *.sht")
// and "*.*" becomes "*" (every file, with or without a dot).
QStringList QtNameFilters(const QString& windowsFilter);

// The extension ("SHT", without dot) of filter `index` of a filter in the
// "描述|模式||" form: that of its first pattern; empty for "*.*", a pattern
// without extension or an index out of range.
QString FilterExtension(const QString& windowsFilter, int index);
// `path` with ".EXT" of filter `index` appended when its file name has no
// extension (no dot), as a save dialog adds it; else `path` as it is.
QString WithFilterExtension(const QString& path, const QString& windowsFilter, int index);

// Opens a file the program wrote through `prompter`; when the desktop has no
// program for it, a message says where it was written.
void ShowWrittenFile(Prompter& prompter, QWidget* parent, const QString& path);

// File dialog filters of the commands. Opening shows both kinds at first.
inline constexpr char kFilterOpen[] =
    "声波数据文件 (*.SHT *.SHA)|*.SHT;*.SHA|声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA|所有文件 "
    "(*.*)|*.*||";
inline constexpr char kFilterResult[] = "声波结果文件 (*.SHA)|*.SHA||";
// Saving a data file pair: both kinds and every file, the open file's kind
// first (DataFileSaveFilter).
inline constexpr char kFilterSaveRaw[] =
    "声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA|所有文件 (*.*)|*.*||";
inline constexpr char kFilterSaveResult[] =
    "声波结果文件 (*.SHA)|*.SHA|声波原始文件 (*.SHT)|*.SHT|所有文件 (*.*)|*.*||";
// kFilterSaveResult for a result file (".SHA", either case), else
// kFilterSaveRaw: a bare name then takes the open file's kind.
QString DataFileSaveFilter(const QString& currentPath);
inline constexpr char kFilterWorkbook[] = "工作薄(*.xlsx)|*.xlsx||";
// Raw and result files together first, so that one pass picks both.
inline constexpr char kFilterMerge[] =
    "声波数据文件 (*.SHT *.SHA)|*.SHT;*.SHA|声波原始文件 (*.SHT)|*.SHT|声波结果文件 (*.SHA)|*.SHA||";

}  // namespace korvane::gui
