#include "core/platform/file_replace.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/platform/error.h"
#include "core/platform/file_system.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
namespace pf = platform;

// One file of a group on its way to its target.
struct Staged {
  fs::path resolved;   // the file that is replaced (links followed)
  fs::path folder;     // its folder, where the new file is written
  fs::path temporary;  // the new content until it is renamed into place
  fs::path backup;     // the replaced file's second name while the group commits
  bool existed = false;
  bool movedAside = false;  // the replaced file was renamed to `backup` (no hard links)
  bool committed = false;
};

std::error_code Prepare(const fs::path& target, Staged& staged) {
  if (target.empty() || !target.has_filename()) return std::make_error_code(std::errc::invalid_argument);
  if (std::error_code error = pf::ResolveLinks(target, staged.resolved)) return error;
  switch (pf::TypeOf(staged.resolved)) {
    case pf::FileType::Missing: staged.existed = false; break;
    case pf::FileType::Regular: staged.existed = true; break;
    case pf::FileType::Directory: return std::make_error_code(std::errc::is_a_directory);
    case pf::FileType::Other: return pf::MakeError(pf::FileError::NotRegularFile);
  }
  staged.folder = staged.resolved.parent_path();
  return pf::CreateUniqueFile(staged.folder, staged.temporary);
}

// The replaced file keeps its permissions.
std::error_code Finish(const Staged& staged) {
  return staged.existed ? pf::CopyPermissions(staged.resolved, staged.temporary) : std::error_code();
}

// Locks of every folder of the group, taken in one order so that two groups
// never wait for each other.
std::vector<std::unique_ptr<pf::FolderLock>> LockFolders(const std::vector<Staged>& group) {
  std::vector<fs::path> folders;
  folders.reserve(group.size());
  for (const Staged& staged : group) folders.push_back(staged.folder);
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  std::vector<std::unique_ptr<pf::FolderLock>> locks;
  locks.reserve(folders.size());
  for (const fs::path& folder : folders) locks.push_back(std::make_unique<pf::FolderLock>(folder));
  return locks;
}

// Keeps a second name of the file about to be replaced, so that it can be put
// back: a hard link, or where the file system has none, the file itself moved
// aside.
std::error_code KeepBackup(Staged& staged) {
  if (!pf::LinkUnique(staged.resolved, staged.folder, staged.backup)) return {};
  if (std::error_code error = pf::CreateUniqueFile(staged.folder, staged.backup)) return error;
  if (std::error_code error = pf::RenameReplacing(staged.resolved, staged.backup)) {
    pf::RemoveFile(staged.backup);
    staged.backup.clear();
    return error;
  }
  staged.movedAside = true;
  return {};
}

void PutBack(Staged& staged) {
  if (staged.committed) {
    if (staged.existed) {
      pf::RenameReplacing(staged.backup, staged.resolved);
    } else {
      pf::RemoveFile(staged.resolved);
    }
  } else if (staged.movedAside) {
    pf::RenameReplacing(staged.backup, staged.resolved);
  }
}

void RemoveLeftovers(const std::vector<Staged>& group) {
  for (const Staged& staged : group) {
    if (!staged.committed && !staged.temporary.empty()) pf::RemoveFile(staged.temporary);
    if (!staged.backup.empty()) pf::RemoveFile(staged.backup);
  }
}

// Renames every staged file into place, the last first (see ReplaceFiles).
std::optional<ReplaceFailure> Commit(std::vector<Staged>& group) {
  const auto locks = LockFolders(group);
  for (std::size_t i = group.size(); i-- > 0;) {
    Staged& staged = group[i];
    std::error_code error;
    // The first file, renamed last, needs no way back: nothing can fail
    // after it.
    if (staged.existed && i > 0) error = KeepBackup(staged);
    if (!error) error = pf::RenameReplacing(staged.temporary, staged.resolved);
    if (error) {
      for (std::size_t k = i; k < group.size(); ++k) PutBack(group[k]);
      for (Staged& s : group) s.committed = false;
      RemoveLeftovers(group);
      return ReplaceFailure{i, error};
    }
    staged.committed = true;
  }
  RemoveLeftovers(group);
  for (const Staged& staged : group) pf::SyncFolder(staged.folder);
  return std::nullopt;
}

std::string ReasonText(const std::error_code& error) { return error.message(); }

}  // namespace

std::optional<ReplaceFailure> ReplaceFiles(std::span<const FileContent> files) {
  std::vector<Staged> group(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    Staged& staged = group[i];
    std::error_code error = Prepare(files[i].target, staged);
    if (!error) error = pf::WriteAndSync(staged.temporary, files[i].bytes);
    if (!error) error = Finish(staged);
    if (error) {
      RemoveLeftovers(group);
      return ReplaceFailure{i, error};
    }
  }
  return Commit(group);
}

std::error_code ReplaceFile(const fs::path& target, std::string_view bytes) {
  const FileContent content{target, bytes};
  const auto failure = ReplaceFiles(std::span<const FileContent>(&content, 1));
  return failure ? failure->reason : std::error_code();
}

std::error_code ReplaceFileWith(const fs::path& target, const std::function<void(const fs::path&)>& write) {
  std::vector<Staged> group(1);
  Staged& staged = group.front();
  std::error_code error = Prepare(target, staged);
  if (error) {
    RemoveLeftovers(group);
    return error;
  }
  try {
    write(staged.temporary);
  } catch (...) {
    RemoveLeftovers(group);
    throw;
  }
  error = pf::SyncFile(staged.temporary);
  if (!error) error = Finish(staged);
  if (error) {
    RemoveLeftovers(group);
    return error;
  }
  const auto failure = Commit(group);
  return failure ? failure->reason : std::error_code();
}

void ReplaceFileOrThrow(const fs::path& target, std::string_view bytes) {
  if (const std::error_code error = ReplaceFile(target, bytes))
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, ReasonText(error)));
}

void ReplaceFileOrThrow(const fs::path& target, const std::function<void(const fs::path&)>& write) {
  std::error_code error;
  try {
    error = ReplaceFileWith(target, write);
  } catch (const std::exception& cause) {
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, cause.what()));
  }
  if (error) throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, ReasonText(error)));
}

}  // namespace korvane
