#include "gui/prompter.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace korvane::gui {

namespace {

const QString kCaption = QStringLiteral("Korvane");

// "*.SHT" -> "*.SHT *.sht"; "*.*" -> "*".
QString BothCases(const QString& patterns) {
  QStringList out;
  for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString pattern = p.trimmed();
    if (pattern == QLatin1String("*.*")) {
      out << QStringLiteral("*");
      continue;
    }
    out << pattern;
    if (pattern.toLower() != pattern) out << pattern.toLower();
    if (pattern.toUpper() != pattern) out << pattern.toUpper();
  }
  out.removeDuplicates();
  return out.join(QLatin1Char(' '));
}

// The file list's sizes and dates in the program's locale (Chinese), not the
// system's, which Qt's own dialog would take them in.
class LocaleFileListing : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    constexpr int kSizeColumn = 1;
    constexpr int kDateColumn = 3;
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr ||
        (index.column() != kSizeColumn && index.column() != kDateColumn)) {
      return QIdentityProxyModel::data(index, role);
    }
    const QFileInfo info = files->fileInfo(mapToSource(index));
    const QLocale locale;
    if (index.column() == kSizeColumn)
      return info.isDir() ? QString() : locale.formattedDataSize(info.size());
    return locale.toString(info.lastModified(), QLocale::ShortFormat);
  }
};

}  // namespace

void ShowFilesInProgramLocale(QFileDialog& dialog) {
  // Only Qt's own dialog takes it; a native one is in the system's language.
  dialog.setProxyModel(new LocaleFileListing(&dialog));
}

QStringList QtNameFilters(const QString& windowsFilter) {
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    if (description.isEmpty()) break;
    // The description shows the patterns in parentheses: replace them by the
    // patterns Qt filters with.
    static const QRegularExpression kShown(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    description.remove(kShown);
    filters << QStringLiteral("%1 (%2)").arg(description, BothCases(parts[i + 1]));
  }
  return filters;
}

QString DataFileSaveFilter(const QString& currentPath) {
  const bool result = currentPath.endsWith(QLatin1String(".SHA"), Qt::CaseInsensitive);
  return QString::fromUtf8(result ? kFilterSaveResult : kFilterSaveRaw);
}

QString FilterExtension(const QString& windowsFilter, int index) {
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  const qsizetype at = 2 * static_cast<qsizetype>(index) + 1;
  if (index < 0 || at >= parts.size() || parts[at - 1].isEmpty()) return {};
  const QString first = parts[at].section(QLatin1Char(';'), 0, 0).trimmed();
  if (!first.startsWith(QLatin1String("*."))) return {};
  QString extension = first.mid(2);
  if (extension.isEmpty() || extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')))
    return {};
  return extension;
}

QString WithFilterExtension(const QString& path, const QString& windowsFilter, int index) {
  const QString extension = FilterExtension(windowsFilter, index);
  if (extension.isEmpty() || path.isEmpty()) return path;
  const QString name = path.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
  if (name.isEmpty() || name.contains(QLatin1Char('.'))) return path;
  return path + QLatin1Char('.') + extension;
}

void ShowWrittenFile(Prompter& prompter, QWidget* parent, const QString& path) {
  if (prompter.showDocument(path)) return;
  prompter.message(
      parent, QStringLiteral("文件已写入：\n%1\n没有可以打开它的程序。").arg(QDir::toNativeSeparators(path)));
}

void QtPrompter::message(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, kCaption, text);
}

Prompter::Answer QtPrompter::askYesNoCancel(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kCaption, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
  box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

bool QtPrompter::acceptSuggestion(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, parent);
  QPushButton* apply = box.addButton(QStringLiteral("应用"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("不应用"), QMessageBox::RejectRole);
  box.setDefaultButton(apply);
  // Lower right of the window: the waveform panels (left and top) and their
  // suggested lines stay visible while the user decides.
  if (QWidget* window = parent != nullptr ? parent->window() : nullptr) {
    box.adjustSize();
    const QRect frame = window->geometry();
    box.move(frame.right() - box.width() - 40, frame.bottom() - box.height() - 60);
  }
  box.exec();
  return box.clickedButton() == apply;
}

QString QtPrompter::openFileName(QWidget* parent, const QString& filter) {
  QFileDialog dialog(parent, QStringLiteral("打开"));
  ShowFilesInProgramLocale(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(QtNameFilters(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QStringList QtPrompter::openFileNames(QWidget* parent, const QString& filter) {
  QFileDialog dialog(parent, QStringLiteral("打开"));
  ShowFilesInProgramLocale(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters(QtNameFilters(filter));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString QtPrompter::saveFileName(QWidget* parent, const QString& initialPath, const QString& filter,
                                 const QString& defaultSuffix, const QString& title, int* chosenFilter) {
  QFileDialog dialog(parent, title.isEmpty() ? QStringLiteral("另存为") : title);
  ShowFilesInProgramLocale(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  // The dialog adds the suffix before it asks about overwriting, so that
  // the question names the file that will be written.
  const auto chosen = [&] {
    return std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
  };
  if (defaultSuffix.isEmpty()) {
    dialog.setDefaultSuffix(FilterExtension(filter, 0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&] { dialog.setDefaultSuffix(FilterExtension(filter, chosen())); });
  } else {
    dialog.setDefaultSuffix(defaultSuffix);
  }
  if (!initialPath.isEmpty()) dialog.selectFile(initialPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (chosenFilter != nullptr) *chosenFilter = chosen();
  return dialog.selectedFiles().constFirst();
}

}  // namespace korvane::gui

namespace korvane::gui {

QString Prompter::saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                         const QString& defaultSuffix, const QString& title, const QString&,
                                         bool& optionChecked) {
  optionChecked = false;
  return saveFileName(parent, initialPath, filter, defaultSuffix, title);
}

bool Prompter::choosePrinter(QWidget*, QPrinter&, int) { return false; }

bool Prompter::acceptSuggestion(QWidget* parent, const QString& text) {
  return askYesNoCancel(parent, text) == Answer::Yes;
}

QString QtPrompter::saveFileNameWithOption(QWidget* parent, const QString& initialPath, const QString& filter,
                                           const QString& defaultSuffix, const QString& title,
                                           const QString& option, bool& optionChecked) {
  QFileDialog dialog(parent, title.isEmpty() ? QStringLiteral("另存为") : title);
  // Qt's own dialog, whose layout takes the check box below its fields.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFilesInProgramLocale(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(filter));
  dialog.setDefaultSuffix(defaultSuffix);
  if (!initialPath.isEmpty()) dialog.selectFile(initialPath);
  auto* box = new QCheckBox(option, &dialog);
  box->setChecked(optionChecked);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  }
  optionChecked = false;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  optionChecked = box->isChecked();
  return dialog.selectedFiles().constFirst();
}

bool QtPrompter::choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印"));
  dialog.setMinMax(1, pageCount);
  dialog.setFromTo(1, pageCount);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  return dialog.exec() == QDialog::Accepted;
}

bool QtPrompter::showDocument(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace korvane::gui
