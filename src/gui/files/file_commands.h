// The file commands of both screens: "打开", "保存", "另存为", "保存结果",
// "合并", "导出原始数据到Excel" and the recent files of "文件", with the
// question "数据已经修改，是否保存" before the data shown go. Every dialog
// and message goes through the prompter; the document changes through the
// model.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QSettings;
class QWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class FileCommands : public QObject {
  Q_OBJECT

 public:
  // `window`: parent of the dialogs. `settings`: the window settings that
  // keep the recent-file list (written only when `storeSettings`).
  FileCommands(DocumentModel* model, Prompter* prompter, QWidget* window, QSettings* settings,
               bool storeSettings, QObject* parent = nullptr);

  enum class OpenOutcome {
    Opened,
    Kept,    // the user kept the document shown (Cancel, or no save made)
    Failed,  // the file could not be read; its message was shown
  };
  // Opens a data file: the one routine of every way of opening (command
  // line, also of a second start, open dialog, dropped file, recent file,
  // opened-files list). Modified data are offered for saving first
  // (saveModified).
  OpenOutcome openFile(const QString& path);
  // Before the data shown go (another file opened, the window closed): when
  // they are modified, asks "数据已经修改，是否保存" with Yes, No and Cancel;
  // Yes opens the save dialog and saves (a failed save opens it again).
  // True when the data may go (not modified, No, or saved); false for Cancel
  // or a cancelled dialog.
  bool saveModified();

  // The commands.
  void onOpen();
  void onSave();
  void onSaveAs();
  void onSaveResults();
  void onMerge();
  void onExportRawData();

  // The recent files, newest first (full paths; at most cmd::kRecentFileCount).
  QStringList recentFiles() const { return recent_; }
  // The menu entries that show the recent files, and the placeholder shown
  // while there are none.
  void setRecentActions(const QList<QAction*>& entries, QAction* placeholder);
  // Run before a file is opened over the document: a value being typed is
  // entered first; false (refused) keeps the document and opens nothing.
  void setBeforeRun(std::function<bool()> beforeRun) { beforeRun_ = std::move(beforeRun); }

 signals:
  // A file was opened, or saved under the name the document now has: the
  // window shows its name.
  void fileNamed(const QString& path);
  // A command changed what is open, or failed to: the window refreshes its
  // commands.
  void stateChanged();

 private:
  void afterOpen(const QString& path);
  // The data file save dialog (both kinds, the open file's first),
  // proposing `initialPath`, then the save; a save refused (its message
  // shown) opens the dialog again with the name typed. False when nothing
  // was saved (the dialog cancelled).
  bool saveUnderAskedName(const QString& initialPath);
  // Saves to `path`; shows the message of a failure.
  bool saveTo(const QString& path);
  void addRecentFile(const QString& path);
  void saveRecentFiles();
  void rebuildRecentMenu();

  DocumentModel* model_;
  Prompter* prompter_;
  QWidget* window_;
  QSettings* settings_;
  bool storeSettings_;
  std::function<bool()> beforeRun_;
  QStringList recent_;
  QList<QAction*> recentActions_;
  QAction* recentPlaceholder_ = nullptr;
};

}  // namespace korvane::gui
