// Replacing files so that a failure never leaves a half-written or missing
// file behind: every output of the program (data file pairs, the settings
// file, report pages, Word and Excel files) is written this way.
//
// The new content goes to a file with a unique short name beside the target
// and is flushed to the disk; only then is it renamed over the target, which
// either keeps its old content or gets the whole new one. The new file gets
// the permissions of the one it replaces. A target that is a symbolic link is
// written through to the file the link names (the link stays). A target that
// exists but is not a regular file (a folder, a device, a FIFO), or that is
// marked read-only (IsMarkedReadOnly), is refused before anything is written. Replacements into one folder
// are serialised by a lock, so two saves to the same target never mix.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace korvane {

// Message of a write failure: "无法写入文件 <path>：<reason>".
inline constexpr std::string_view kMsgCannotWriteFile = "无法写入文件";

struct FileContent {
  std::filesystem::path target;
  std::string_view bytes;
  // When set, the content instead: made piece by piece as it is written
  // (platform::WriteAndSync), never whole in memory.
  std::function<bool(std::string& chunk)> chunks = {};
};

// Which file of a group could not be replaced, and why.
struct ReplaceFailure {
  std::size_t file = 0;  // index into the group
  std::error_code reason;
};

// Called by a group's replacement after each step of its commit with the
// number of files renamed into place so far (0: the journal is written and
// nothing renamed yet). For tests, which stop a save at each step by
// throwing from it: the files are then left as a killed process leaves them.
using ReplaceStepHook = std::function<void(std::size_t renamed)>;

// Replaces every target of the group, or none: all are written and flushed
// first, in the group's order; then they are renamed into place in the
// reverse order (the first file, which may name the others, comes last),
// and when a rename fails the files renamed before it are put back as they
// were. A group of two or more files keeps a journal while it renames, so
// that a process killed in between leaves a save that RecoverReplacement
// completes or undoes. Leftovers of dead saves in the targets' folders are
// removed first (RemoveDeadLeftovers).
std::optional<ReplaceFailure> ReplaceFiles(std::span<const FileContent> files,
                                           const ReplaceStepHook& afterStep = {});

// What RecoverReplacement did.
struct ReplaceRecovery {
  enum class Outcome {
    None,        // no interrupted group whose first target is this one
    Completed,   // every new file of the group is now in place
    RolledBack,  // every file of the group is as before that save
    Failed,      // a rename failed (`error`); the journal is kept for another try
  };
  Outcome outcome = Outcome::None;
  std::vector<std::filesystem::path> targets;  // the group's files (links followed)
  std::error_code error;
};

// Finishes a group replacement whose first target is `firstTarget` (links
// followed) and that a killed process left unfinished: completes it when
// every new file not yet in place is still whole, undoes it when the save
// was being undone or the new files are not all there; then removes the
// leftovers of dead saves in the group's folders. Waits for a save of the
// same folders that is still running.
ReplaceRecovery RecoverReplacement(const std::filesystem::path& firstTarget);

// Removes from `folder` the temporary files (".kv…tmp") of saves that no
// longer run (a running save holds a lock on its files), except those a
// journal of an unfinished group still names.
void RemoveDeadLeftovers(const std::filesystem::path& folder);

// One file.
std::error_code ReplaceFile(const std::filesystem::path& target, std::string_view bytes);

// For libraries that open the output themselves: `write` receives the path
// of an empty file beside the target and fills it. When `write` throws, the
// file is removed, the target is left as it was and the exception goes on.
std::error_code ReplaceFileWith(const std::filesystem::path& target,
                                const std::function<void(const std::filesystem::path& temporary)>& write);

// The same two, throwing KorvaneError "无法写入文件 <target>：<reason>"
// (the reason is the system's, or the message of what `write` threw).
void ReplaceFileOrThrow(const std::filesystem::path& target, std::string_view bytes);
void ReplaceFileOrThrow(const std::filesystem::path& target,
                        const std::function<void(const std::filesystem::path& temporary)>& write);

}  // namespace korvane
