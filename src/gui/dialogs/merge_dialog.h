// "合并": several raw or result files become one result file. The user adds
// files (each a ticked row), unticks the ones to leave out and merges; the
// merged file is written where the user chooses.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace korvane::gui {

class Prompter;

class CDlgcombine : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgcombine(Prompter* prompter, QWidget* parent = nullptr);

  QListWidget* fileList() const { return list_; }
  QPushButton* chooseButton() const { return choose_; }
  QPushButton* mergeButton() const { return merge_; }
  QPushButton* cancelButton() const { return cancel_; }
  // Full paths of the rows, in list order.
  const QStringList& paths() const { return paths_; }

  // Appends ticked rows for `files` (what "选择合并文件" does after the file
  // dialog), then re-applies the enabling rule of "合并".
  void addFiles(const QStringList& files);
  // "合并": drops the unticked rows, reads the rest in order and, when all
  // could be read, asks where to write the merged result file.
  void mergeFiles();

 private:
  void chooseFiles();
  void updateMergeButton();

  Prompter* prompter_;
  QListWidget* list_;
  QPushButton* choose_;
  QPushButton* merge_;
  QPushButton* cancel_;
  QStringList paths_;
};

}  // namespace korvane::gui
