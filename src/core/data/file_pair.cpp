#include "core/data/file_pair.h"

#include <vector>

#include "core/data/companion_file.h"
#include "core/data/file_messages.h"
#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
// Names are edited in the system's own string type (UTF-16 on Windows), so
// that no conversion can fail or change them.
using NativeString = fs::path::string_type;
using NativeChar = fs::path::value_type;

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The same path with the other case of its last character, when that is
// 'D' or 'd' (empty otherwise).
fs::path OtherCaseOfD(const fs::path& path) {
  NativeString text = path.native();
  if (text.empty() || (text.back() != NativeChar('D') && text.back() != NativeChar('d'))) return {};
  text.back() = text.back() == NativeChar('D') ? NativeChar('d') : NativeChar('D');
  return text;
}

}  // namespace

FileKind KindOfPath(const fs::path& path) {
  const std::string extension = LowerAscii(PathToUtf8(path.extension()));
  if (extension == ".sha") return FileKind::Result;
  if (extension == ".sht") return FileKind::Raw;
  return FileKind::Other;
}

FilePair OpenFilePair(const fs::path& path) {
  FilePair pair;
  pair.textPath = path;
  pair.kind = KindOfPath(path);
  NativeString wave = path.native();
  if (!wave.empty()) {
    const NativeChar last = wave.back();
    wave.back() = (last >= NativeChar('a') && last <= NativeChar('z')) ? NativeChar('d') : NativeChar('D');
  }
  pair.wavePath = wave;
  return pair;
}

fs::path WaveformFileInUse(const FilePair& pair) {
  if (platform::TypeOf(pair.wavePath) != platform::FileType::Missing) return pair.wavePath;
  fs::path other = OtherCaseOfD(pair.wavePath);
  if (!other.empty() && platform::TypeOf(other) != platform::FileType::Missing) return other;
  return pair.wavePath;
}

fs::path OtherTextSharingWaveform(const fs::path& textPath) {
  const FilePair pair = OpenFilePair(textPath);
  if (platform::TypeOf(pair.wavePath) != platform::FileType::Regular) return {};
  NativeString base = textPath.native();
  if (base.empty()) return {};
  const bool lowerCase = base.back() >= NativeChar('a') && base.back() <= NativeChar('z');
  base.pop_back();
  // The case of the saved name first: where names ignore case (Windows),
  // that is the one that names an existing "x.sht" as it is spelt.
  const char upperFirst[] = {'A', 'a', 'T', 't'};
  const char lowerFirst[] = {'a', 'A', 't', 'T'};
  for (const char last : lowerCase ? lowerFirst : upperFirst) {
    fs::path candidate = base + NativeChar(last);
    std::error_code error;
    if (candidate == textPath || KindOfPath(candidate) == FileKind::Other) continue;
    if (platform::TypeOf(candidate) != platform::FileType::Regular) continue;
    if (fs::equivalent(candidate, textPath, error)) continue;  // the same file under another name
    if (fs::equivalent(WaveformFileInUse(OpenFilePair(candidate)), pair.wavePath, error)) return candidate;
  }
  return {};
}

std::string SharedWaveformMessage(const fs::path& textPath, const fs::path& other) {
  return std::string(kMsgCannotSavePrefix) + PathToUtf8(OpenFilePair(textPath).wavePath) + " 是 " +
         PathToUtf8(other) + " 的波形文件，保存 " + PathToUtf8(textPath) + " 会覆盖它，请换一个文件名";
}

std::string RecoverInterruptedSave(const fs::path& textPath) {
  const ReplaceRecovery recovery = RecoverReplacement(textPath);
  switch (recovery.outcome) {
    case ReplaceRecovery::Outcome::None: return {};
    case ReplaceRecovery::Outcome::Completed:
      return PathToUtf8(textPath) + "：" + std::string(kMsgSaveCompleted);
    case ReplaceRecovery::Outcome::RolledBack:
      return PathToUtf8(textPath) + "：" + std::string(kMsgSaveRolledBack);
    case ReplaceRecovery::Outcome::Failed: break;
  }
  throw KorvaneError(MessageWithPath(kMsgOpenFileFailed, textPath,
                                     std::string(kMsgSaveNotRecovered) + "：" + recovery.error.message()));
}

namespace {

void SaveGroup(const FilePair& pair, FileContent text, FileContent wave, std::string_view textFailure,
               const std::optional<std::string>& companion) {
  if (pair.textPath.empty() || pair.textPath == pair.wavePath) {
    throw KorvaneError(MessageWithPath(textFailure, pair.textPath));
  }
  // A save of this pair that a killed process left is finished first, so
  // that its journal and files never mix with this one.
  RecoverInterruptedSave(pair.textPath);
  // The text file comes first in the group: it is renamed into place last.
  std::vector<FileContent> files = {std::move(text), std::move(wave)};
  const fs::path companionPath = CompanionPath(pair.textPath);
  if (companion) files.push_back({companionPath, *companion});
  if (const auto failure = ReplaceFiles(files)) {
    const std::string_view message = failure->file == 0   ? textFailure
                                     : failure->file == 1 ? kMsgCreateWaveform
                                                          : kMsgCreateCompanion;
    throw KorvaneError(
        MessageWithPath(message, files[failure->file].target, platform::ReasonText(failure->reason)));
  }
}

}  // namespace

void SavePairBytes(const FilePair& pair, std::string_view text, std::string_view wave,
                   std::string_view textFailure, const std::optional<std::string>& companion) {
  SaveGroup(pair, {pair.textPath, text}, {pair.wavePath, wave}, textFailure, companion);
}

void SavePairPieces(const FilePair& pair, std::string_view text,
                    const std::function<bool(std::string& chunk)>& waveChunks, std::string_view textFailure,
                    const std::optional<std::string>& companion) {
  SaveGroup(pair, {pair.textPath, text}, {pair.wavePath, {}, waveChunks}, textFailure, companion);
}

}  // namespace korvane
