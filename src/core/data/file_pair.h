// A data file pair: the text file (result ".SHA" or raw ".SHT") and the
// waveform file whose path is the text path with its last character
// replaced by "D". Loading reads both files whole; saving writes both to
// temporary files beside the targets and renames them into place only when
// both are complete, so a failed save leaves the previous pair untouched.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// Kind of a text file, by the extension of its name, without regard to case:
// ".SHA" result, ".SHT" raw, anything else Other.
enum class FileKind { Result, Raw, Other };

FileKind KindOfPath(const std::filesystem::path& path);

struct FilePair {
  std::filesystem::path textPath;
  // Last character of the text path replaced by 'D' ('d' when that
  // character is a lower-case letter, so "x.sha" pairs with "x.shd").
  std::filesystem::path wavePath;
  FileKind kind = FileKind::Other;
};

// The pair of `path` (nothing is opened yet).
FilePair OpenFilePair(const std::filesystem::path& path);

// Both files of a pair as bytes.
struct PairBytes {
  std::string text;
  std::string wave;
};

// Reads both files whole (one read each). When the waveform file does not
// exist under its exact name, the name with the other case of 'D' is tried
// (the instrument's files come from a case-insensitive file system).
// Throws KorvaneError "打开文件失败！" when either file cannot be read.
PairBytes LoadPairBytes(const FilePair& pair);

// Writes both files through temporary files in the target folder, then
// renames them into place. Throws KorvaneError with `textFailure` when the
// text file cannot be created or written, "创建SHD文件失败！" when the
// waveform file cannot; in either case the files at the targets are as
// they were before the call.
void SavePairBytes(const FilePair& pair, std::string_view text, std::string_view wave,
                   std::string_view textFailure);

// Whole-file helpers (binary). ReadWholeFile returns false when the file
// cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

}  // namespace korvane
