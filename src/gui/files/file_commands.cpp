#include "gui/files/file_commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "gui/commands.h"
#include "gui/dialogs/merge_dialog.h"
#include "gui/dialogs/save_questions.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/save_progress.h"
#include "gui/widgets/wait_cursor.h"
#include "office/excel_export.h"

namespace korvane::gui {

namespace {

const QString kSaveQuestion = QStringLiteral("数据已经修改，是否保存");
const QString kRecentGroup = QStringLiteral("Recent File List");

}  // namespace

FileCommands::FileCommands(DocumentModel* model, Prompter* prompter, QWidget* window, QSettings* settings,
                           bool storeSettings, QObject* parent)
    : QObject(parent),
      model_(model),
      prompter_(prompter),
      window_(window),
      settings_(settings),
      storeSettings_(storeSettings) {
  settings_->beginGroup(kRecentGroup);
  for (int i = 1; i <= cmd::kRecentFileCount; ++i) {
    const QString path = settings_->value(QStringLiteral("File%1").arg(i)).toString();
    if (!path.isEmpty()) recent_ << path;
  }
  settings_->endGroup();
  // A save to another name: the window names the new file.
  connect(model_, &DocumentModel::pathChanged, this, [this] {
    const QString path = FromUtf8(model_->doc().pathName);
    addRecentFile(path);
    emit fileNamed(path);
  });
}

// ---- Opening ---------------------------------------------------------------------

FileCommands::OpenOutcome FileCommands::openFile(const QString& path) {
  if (beforeRun_ && !beforeRun_()) return OpenOutcome::Kept;
  if (!saveModified()) return OpenOutcome::Kept;
  QString message;
  try {
    const WaitCursor wait;
    // A long open shows its progress and can be cancelled: the file open
    // before stays.
    SaveProgress progress(window_, QStringLiteral("正在打开…\n%1").arg(QDir::toNativeSeparators(path)),
                          [] { throw OpenCancelled{}; });
    message = model_->open(path, progress.callback());
  } catch (const OpenCancelled&) {
    emit stateChanged();
    return OpenOutcome::Kept;
  }
  if (!message.isEmpty()) {
    prompter_->message(window_, message);
    emit stateChanged();
    return OpenOutcome::Failed;
  }
  afterOpen(path);
  return OpenOutcome::Opened;
}

void FileCommands::afterOpen(const QString& path) {
  addRecentFile(path);
  emit fileNamed(path);
  emit stateChanged();
}

void FileCommands::onOpen() {
  const QString path = prompter_->openFileName(window_, QString::fromUtf8(kFilterOpen));
  if (!path.isEmpty()) openFile(path);
}

// ---- Saving ------------------------------------------------------------------------

bool FileCommands::saveUnderAskedName(const QString& initialPath) {
  const QString filter = DataFileSaveFilter(FromUtf8(model_->doc().pathName));
  QString proposal = initialPath;
  for (;;) {
    const QString path = AskDataFileSavePath(*prompter_, window_, proposal, filter);
    if (path.isEmpty()) return false;
    if (saveTo(path)) return true;
    // Refused (its message shown): the dialog again, with the name typed.
    proposal = path;
  }
}

bool FileCommands::saveTo(const QString& path) {
  QString message;
  {
    const WaitCursor wait;
    SaveProgress progress(window_, QStringLiteral("正在保存…\n%1").arg(QDir::toNativeSeparators(path)));
    message = model_->save(path, progress.callback());
  }
  if (!message.isEmpty()) {
    prompter_->message(window_, message);
    return false;
  }
  return true;
}

void FileCommands::onSave() {
  if (!model_->hasFile()) return;
  const QString path = FromUtf8(model_->doc().pathName);
  switch (ConfirmSharedWaveform(*prompter_, window_, path)) {
    case Prompter::Answer::Yes: saveTo(path); break;
    case Prompter::Answer::No: {
      // Another name, as in the exit prompt's dialog.
      saveUnderAskedName(path);
      break;
    }
    case Prompter::Answer::Cancel: break;
  }
}

void FileCommands::onSaveAs() {
  if (!model_->hasFile()) return;
  saveUnderAskedName(FromUtf8(model_->doc().pathName));
}

void FileCommands::onSaveResults() {
  if (!model_->hasFile()) {
    prompter_->message(window_, FromUtf8(kMsgOpenFileFirst));
    return;
  }
  QString proposal = FromUtf8(model_->doc().SaveResultsFreeName());
  for (;;) {
    const QString path = AskDataFileSavePath(*prompter_, window_, proposal, QString::fromUtf8(kFilterResult),
                                             QStringLiteral("SHA"));
    if (path.isEmpty()) break;
    QString message;
    {
      const WaitCursor wait;
      SaveProgress progress(window_, QStringLiteral("正在保存结果…\n%1").arg(QDir::toNativeSeparators(path)));
      message = model_->saveResults(path, progress.callback());
    }
    // A new name reaches the window and the recent files through
    // pathChanged.
    if (message.isEmpty()) break;
    // Refused: the dialog again, with the name typed.
    prompter_->message(window_, message);
    proposal = path;
  }
  emit stateChanged();
}

bool FileCommands::saveModified() {
  if (!model_->isModified()) return true;
  switch (prompter_->askYesNoCancel(window_, kSaveQuestion)) {
    case Prompter::Answer::Cancel: return false;
    case Prompter::Answer::No: return true;
    case Prompter::Answer::Yes: break;
  }
  return saveUnderAskedName(FromUtf8(model_->doc().pathName));
}

// ---- Merge and raw-data export ------------------------------------------------------

void FileCommands::onMerge() {
  CDlgcombine dialog(prompter_, window_);
  dialog.exec();
}

void FileCommands::onExportRawData() {
  if (!model_->hasFile()) {
    prompter_->message(window_, FromUtf8(kMsgOpenFileFirst));
    return;
  }
  const QString title = QStringLiteral("导出原始数据到Excel");
  const QString path = prompter_->saveFileName(window_, QString(), QString::fromUtf8(kFilterWorkbook),
                                               QStringLiteral("xlsx"), title);
  if (path.isEmpty()) return;
  try {
    const WaitCursor wait;
    SaveProgress progress(window_,
                          QStringLiteral("正在导出原始数据…\n%1").arg(QDir::toNativeSeparators(path)),
                          [] { throw office::ExportCancelled{}; });
    office::WriteRawDataWorkbook(model_->doc(), ToFsPath(path), progress.callback());
  } catch (const office::ExportCancelled&) {
    // Cancelled: nothing was written, nothing to say.
    return;
  } catch (const std::exception& e) {
    prompter_->message(window_, QString::fromUtf8(e.what()));
    return;
  }
  ShowWrittenFile(*prompter_, window_, path);
}

// ---- Recent files ---------------------------------------------------------------------

void FileCommands::setRecentActions(const QList<QAction*>& entries, QAction* placeholder) {
  recentActions_ = entries;
  recentPlaceholder_ = placeholder;
  for (int i = 0; i < recentActions_.size(); ++i) {
    connect(recentActions_[i], &QAction::triggered, this, [this, i] {
      if (i >= recent_.size()) return;
      const QString path = recent_[i];
      if (openFile(path) == OpenOutcome::Failed) {
        recent_.removeAll(path);
        saveRecentFiles();
        rebuildRecentMenu();
      }
    });
  }
  rebuildRecentMenu();
}

void FileCommands::addRecentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  recent_.removeAll(full);
  recent_.prepend(full);
  while (recent_.size() > cmd::kRecentFileCount) recent_.removeLast();
  saveRecentFiles();
  rebuildRecentMenu();
}

void FileCommands::saveRecentFiles() {
  // The list in the menu still follows the files opened in this run.
  if (!storeSettings_) return;
  settings_->beginGroup(kRecentGroup);
  for (int i = 1; i <= cmd::kRecentFileCount; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= recent_.size())
      settings_->setValue(key, recent_[i - 1]);
    else
      settings_->remove(key);
  }
  settings_->endGroup();
  settings_->sync();
}

void FileCommands::rebuildRecentMenu() {
  if (recentPlaceholder_ != nullptr) recentPlaceholder_->setVisible(recent_.isEmpty());
  for (int i = 0; i < recentActions_.size(); ++i) {
    QAction* entry = recentActions_[i];
    const bool used = i < recent_.size();
    entry->setVisible(used);
    if (!used) continue;
    QString shown = QDir::toNativeSeparators(recent_[i]);
    if (shown.size() > 48) shown = shown.left(3) + QStringLiteral("...") + shown.right(42);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    entry->setToolTip(recent_[i]);
  }
}

}  // namespace korvane::gui
