#include "gui/dialogs/save_questions.h"

#include <QDir>

#include "core/data/file_pair.h"
#include "core/data/save_names.h"
#include "gui/document/document_model.h"

namespace korvane::gui {

namespace {

QString FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(text.data()), static_cast<qsizetype>(text.size()));
}

// The proposal for `path`: itself, or a free name beside it.
QString Proposed(const QString& path) {
  if (path.isEmpty()) return path;
  return FromPath(FreeSaveName(ToFsPath(path)));
}

}  // namespace

Prompter::Answer ConfirmSharedWaveform(Prompter& prompter, QWidget* parent, const QString& path) {
  const std::filesystem::path text = ToFsPath(path);
  const std::filesystem::path other = OtherTextSharingWaveform(text);
  if (other.empty()) return Prompter::Answer::Yes;
  const QString question =
      QStringLiteral(
          "%1 是 %2 的波形文件，保存 %3 会覆盖它，%2 将不能正确打开。\n是否仍然保存？（选“否”另选文件名）")
          .arg(QDir::toNativeSeparators(FromPath(OpenFilePair(text).wavePath)),
               QDir::toNativeSeparators(FromPath(other)), QDir::toNativeSeparators(path));
  return prompter.askYesNoCancel(parent, question);
}

QString AskDataFileSavePath(Prompter& prompter, QWidget* parent, const QString& initialPath,
                            const QString& filter, const QString& defaultSuffix) {
  QString proposal = Proposed(initialPath);
  for (;;) {
    int chosen = 0;
    QString path = prompter.saveFileName(parent, proposal, filter, defaultSuffix, QString(), &chosen);
    if (path.isEmpty()) return {};
    if (defaultSuffix.isEmpty()) {
      path = WithFilterExtension(path, filter, chosen);
    } else if (!path.section(QLatin1Char('/'), -1).contains(QLatin1Char('.'))) {
      path += QLatin1Char('.') + defaultSuffix;
    }
    switch (ConfirmSharedWaveform(prompter, parent, path)) {
      case Prompter::Answer::Yes: return path;
      case Prompter::Answer::No: proposal = Proposed(path); break;
      case Prompter::Answer::Cancel: return {};
    }
  }
}

}  // namespace korvane::gui
