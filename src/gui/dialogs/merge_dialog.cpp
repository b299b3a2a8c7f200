#include "gui/dialogs/merge_dialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>

#include "core/app/merge_output.h"
#include "gui/dialogs/save_questions.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/wait_cursor.h"

namespace korvane::gui {

CDlgcombine::CDlgcombine(Prompter* prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
  setWindowTitle(QStringLiteral("合并"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("FilesToMerge1053"));
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setMinimumWidth(220);
  choose_ = new QPushButton(QStringLiteral("选择合并文件"), this);
  merge_ = new QPushButton(QStringLiteral("合并"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("待合并文件"), this), 0, 0);
  grid->addWidget(list_, 1, 0, 4, 1);
  grid->addWidget(choose_, 1, 1);
  grid->addWidget(merge_, 2, 1);
  grid->addWidget(cancel_, 3, 1);
  grid->setRowStretch(4, 1);

  connect(choose_, &QPushButton::clicked, this, &CDlgcombine::chooseFiles);
  connect(merge_, &QPushButton::clicked, this, &CDlgcombine::mergeFiles);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  updateMergeButton();
}

// "合并" is enabled while a row is ticked; ticking rows does not re-evaluate it.
void CDlgcombine::updateMergeButton() {
  bool ticked = false;
  for (int i = 0; i < list_->count(); ++i) ticked = ticked || list_->item(i)->checkState() == Qt::Checked;
  merge_->setEnabled(ticked);
}

void CDlgcombine::chooseFiles() {
  const QStringList files = prompter_->openFileNames(this, QString::fromUtf8(kFilterMerge));
  if (files.isEmpty()) return;
  const WaitCursor wait;
  addFiles(files);
}

void CDlgcombine::addFiles(const QStringList& files) {
  for (const QString& path : files) {
    paths_ << path;
    auto* item = new QListWidgetItem(QFileInfo(path).fileName(), list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setToolTip(path);
  }
  updateMergeButton();
}

void CDlgcombine::mergeFiles() {
  for (int i = list_->count() - 1; i >= 0; --i) {
    if (list_->item(i)->checkState() != Qt::Checked) {
      delete list_->takeItem(i);
      paths_.removeAt(i);
    }
  }
  if (paths_.isEmpty()) {
    prompter_->message(this, QStringLiteral("至少选择一个文件合并"));
    updateMergeButton();
    return;
  }

  std::vector<std::filesystem::path> inputs;
  for (const QString& path : paths_) inputs.push_back(ToFsPath(path));
  const WarningSink warn = [this](std::string_view message) { prompter_->message(this, FromUtf8(message)); };
  MergedData merged;
  {
    // Reading many files takes a while: show how far it got.
    QProgressDialog progress(QStringLiteral("读取文件"), QString(), 0, static_cast<int>(inputs.size()), this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setValue(0);
    try {
      merged = ReadMergeInputs(inputs, warn, [&progress](int done, int total) {
        progress.setLabelText(QStringLiteral("读取文件 %1/%2").arg(done).arg(total));
        progress.setValue(done);
      });
    } catch (const std::exception& e) {
      progress.reset();
      // The rows stay so that the user can correct the selection.
      prompter_->message(this, QString::fromUtf8(e.what()));
      updateMergeButton();
      return;
    }
  }

  // A file of another standard, or with other correction tables, would
  // be recomputed: the user decides, knowing what changes.
  const MergeCheck check = CheckMerge(inputs, merged);
  if (!check.empty() && prompter_->askYesNoCancel(
                            this, FromUtf8(MergeChangeText(check)) + QStringLiteral("\n\n是否仍然合并？")) !=
                            Prompter::Answer::Yes) {
    updateMergeButton();
    return;
  }

  const QString output = AskDataFileSavePath(*prompter_, this, QString(), QString::fromUtf8(kFilterResult),
                                             QStringLiteral("SHA"));
  if (!output.isEmpty()) {
    QString failure;
    {
      const WaitCursor wait;
      try {
        WriteMergedFile(merged, ToFsPath(output));
      } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
      }
    }
    if (failure.isEmpty()) {
      list_->clear();
      paths_.clear();
    } else {
      prompter_->message(this, failure);
    }
  }
  updateMergeButton();
}

}  // namespace korvane::gui
