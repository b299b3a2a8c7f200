// A data file pair: the text file (result ".SHA" or raw ".SHT") and the
// waveform file whose path is the text path with its last character
// replaced by "D". Reading is file_reader.h's; saving replaces both
// together (core/platform/file_replace.h), so a failed save leaves the
// previous pair untouched.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
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

// The waveform file a reader of the pair uses: `wavePath`, or when nothing
// exists under that exact name, the name with the other case of 'D' (the
// instrument's files come from a case-insensitive file system) if that
// exists.
std::filesystem::path WaveformFileInUse(const FilePair& pair);

// Replaces both files together, and the companion file (CompanionPath) when
// `companion` holds its text (the waveform file and the companion are
// renamed into place before the text file). Throws KorvaneError
// `textFailure`, "创建SHD文件失败！" or "创建附加数据文件失败！", followed by the
// path of the file that failed and the reason; the files at the targets are
// then as they were before the call. A target that exists but is not a
// regular file is refused; one that is a symbolic link is written through.
void SavePairBytes(const FilePair& pair, std::string_view text, std::string_view wave,
                   std::string_view textFailure, const std::optional<std::string>& companion = std::nullopt);
// The same with the waveform file made piece by piece as it is written
// (`waveChunks` fills its argument with the next piece, false at the end;
// what it throws ends the save with nothing replaced and goes on).
void SavePairPieces(const FilePair& pair, std::string_view text,
                    const std::function<bool(std::string& chunk)>& waveChunks, std::string_view textFailure,
                    const std::optional<std::string>& companion = std::nullopt);

// The existing text file, other than `textPath` itself, that reads its
// waveforms from the file a pair written at `textPath` would replace: x.SHT
// and x.SHA share x.SHD, so saving the results of x.SHT as x.SHA would
// destroy the raw file's waveforms. Empty when there is none (or no such
// waveform file exists yet). Only .SHA and .SHT files count.
std::filesystem::path OtherTextSharingWaveform(const std::filesystem::path& textPath);

// Refusal of such a save, naming the three files: "无法保存：<wave> 是
// <other> 的波形文件，保存 <text> 会覆盖它，请换一个文件名".
std::string SharedWaveformMessage(const std::filesystem::path& textPath, const std::filesystem::path& other);

// Finishes a save of the pair at `textPath` that a killed process left
// unfinished (RecoverReplacement): the message that says what was done
// ("<text>：上次保存时程序中断，已完成那次保存" or "…已恢复为保存前的文件"),
// or empty when there was nothing to do. Throws KorvaneError
// "打开文件失败！ <text>：上次保存时程序中断，无法恢复：<reason>" when the
// files cannot be put in order (they are then left for another try).
std::string RecoverInterruptedSave(const std::filesystem::path& textPath);

}  // namespace korvane
