#include "core/platform/file_replace.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <sstream>
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
  pf::FileLock lock;   // held on `temporary` while this save runs (see RemoveDeadLeftovers)
  bool existed = false;
  bool movedAside = false;  // the replaced file was renamed to `backup` (no hard links)
  bool committed = false;
};

std::error_code Prepare(const fs::path& target, Staged& staged) {
  if (target.empty() || !target.has_filename()) return std::make_error_code(std::errc::invalid_argument);
  if (std::error_code error = pf::ResolveLinks(target, staged.resolved)) return error;
  switch (pf::TypeOf(staged.resolved)) {
    case pf::FileType::Missing: staged.existed = false; break;
    case pf::FileType::Regular:
      if (pf::IsMarkedReadOnly(staged.resolved)) return pf::MakeError(pf::FileError::ReadOnly);
      staged.existed = true;
      break;
    case pf::FileType::Directory: return std::make_error_code(std::errc::is_a_directory);
    case pf::FileType::Other: return pf::MakeError(pf::FileError::NotRegularFile);
  }
  staged.folder = staged.resolved.parent_path();
  if (std::error_code error = pf::CreateUniqueFile(staged.folder, staged.temporary)) return error;
  staged.lock.TryLock(staged.temporary);
  return {};
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

void RemoveLeftoversOfDeadSaves(const fs::path& folder, bool lock);

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

// ---- The journal -------------------------------------------------------------------
// A group of files is renamed into place one after the other; a process
// killed in between (or a machine that loses power) would leave some new
// files beside some old ones. Before the first rename a journal names every
// file of the group (target, new file, second name of the old file); it is
// removed after the last. A journal found later belongs to a save that did
// not finish, and RecoverReplacement completes it (every new file is whole
// and on the disk before the journal is written) or, when the journal says
// the save was being undone, restores the old files.
//
// Its name comes from the first target's: ".kv" and ten hexadecimal digits
// of a hash of the name, ".jnl", in the first target's folder (short, so that
// a name near the length limit still has a journal). Lines of UTF-8:
//   korvane-journal 1
//   state commit|rollback
//   then per file: "existed 0|1", "target <path>", "temporary <path>",
//   "backup <path>" (empty when none).

constexpr std::string_view kJournalMagic = "korvane-journal 1";

fs::path JournalPath(const fs::path& resolvedFirst) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : PathToUtf8(resolvedFirst.filename())) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = ".kv";
  for (int k = 0; k < 10; ++k, hash >>= 4) name.push_back(kDigits[hash & 0xF]);
  name += ".jnl";
  const fs::path folder = resolvedFirst.parent_path();
  return folder.empty() ? fs::path(name) : folder / name;
}

struct JournalEntry {
  bool existed = false;
  fs::path target, temporary, backup;
};

struct Journal {
  bool rollback = false;
  std::vector<JournalEntry> entries;
};

// A path as a journal line holds it; false when it cannot be (a line break
// in the name, or a name UTF-8 cannot carry unchanged).
bool JournalLine(std::string& out, std::string_view key, const fs::path& path) {
  const std::string text = PathToUtf8(path);
  if (text.find('\n') != std::string::npos || PathFromUtf8(text) != path) return false;
  out.append(key).append(" ").append(text).append("\n");
  return true;
}

// Writes the journal of `group` atomically (a new file renamed over it);
// an empty result when the group's names cannot be journalled.
std::error_code WriteJournal(const std::vector<Staged>& group, bool rollback, const fs::path& journal,
                             bool& written) {
  written = false;
  std::string text(kJournalMagic);
  text += rollback ? "\nstate rollback\n" : "\nstate commit\n";
  for (const Staged& staged : group) {
    text += staged.existed ? "existed 1\n" : "existed 0\n";
    if (!JournalLine(text, "target", staged.resolved) || !JournalLine(text, "temporary", staged.temporary) ||
        !JournalLine(text, "backup", staged.backup))
      return {};
  }
  fs::path fresh;
  if (std::error_code error = pf::CreateUniqueFile(journal.parent_path(), fresh)) return error;
  std::error_code error = pf::WriteAndSync(fresh, text);
  if (!error) error = pf::RenameReplacing(fresh, journal);
  if (error) {
    pf::RemoveFile(fresh);
    return error;
  }
  pf::SyncFolder(journal.parent_path());
  written = true;
  return {};
}

std::optional<Journal> ReadJournal(const fs::path& path) {
  std::string bytes;
  if (pf::ReadRegularFile(path, bytes, 1 << 20)) return std::nullopt;
  std::istringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || line != kJournalMagic) return std::nullopt;
  if (!std::getline(in, line) || (line != "state commit" && line != "state rollback")) return std::nullopt;
  Journal journal;
  journal.rollback = line == "state rollback";
  const auto value = [&in, &line](std::string_view key, fs::path& out) {
    if (!std::getline(in, line) || line.compare(0, key.size() + 1, std::string(key) + " ") != 0) return false;
    out = PathFromUtf8(std::string_view(line).substr(key.size() + 1));
    return true;
  };
  while (std::getline(in, line)) {
    JournalEntry entry;
    if (line != "existed 0" && line != "existed 1") return std::nullopt;
    entry.existed = line == "existed 1";
    if (!value("target", entry.target) || !value("temporary", entry.temporary) ||
        !value("backup", entry.backup))
      return std::nullopt;
    if (entry.target.empty() || entry.temporary.empty()) return std::nullopt;
    journal.entries.push_back(std::move(entry));
  }
  if (journal.entries.empty()) return std::nullopt;
  return journal;
}

bool Exists(const fs::path& path) { return !path.empty() && pf::TypeOf(path) == pf::FileType::Regular; }

// The files a journal names in `folder` (kept by the cleanup).
void AddJournalledFiles(const fs::path& folder, std::vector<fs::path>& kept) {
  std::error_code error;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end; !error && it != end;
       it.increment(error)) {
    const fs::path name = it->path().filename();
    if (name.extension() != ".jnl" || !pf::IsUniqueFileName(fs::path(name).replace_extension(".tmp")))
      continue;
    if (const auto journal = ReadJournal(it->path())) {
      for (const JournalEntry& entry : journal->entries) {
        kept.push_back(entry.temporary);
        kept.push_back(entry.backup);
      }
    }
  }
}

// Renames every staged file into place, the last first (see ReplaceFiles).
std::optional<ReplaceFailure> Commit(std::vector<Staged>& group, const ReplaceStepHook& afterStep) {
  const auto locks = LockFolders(group);
  // A library that wrote a new file may have replaced it by one of its own
  // (libzip does): the lock goes to the file now under that name.
  for (Staged& staged : group) staged.lock.TryLock(staged.temporary);
  for (const Staged& staged : group) RemoveLeftoversOfDeadSaves(staged.folder, false);
  // Second names of the files replaced, before anything is renamed, so that
  // an interrupted group can be undone. The first file, renamed last, needs
  // none: nothing can fail after it.
  for (std::size_t i = 1; i < group.size(); ++i) {
    if (!group[i].existed) continue;
    if (std::error_code error = KeepBackup(group[i])) {
      for (std::size_t k = 1; k < i; ++k) PutBack(group[k]);
      RemoveLeftovers(group);
      return ReplaceFailure{i, error};
    }
  }
  const fs::path journal = JournalPath(group.front().resolved);
  bool journalled = false;
  if (group.size() > 1) {
    if (std::error_code error = WriteJournal(group, false, journal, journalled)) {
      for (Staged& staged : group) PutBack(staged);
      RemoveLeftovers(group);
      return ReplaceFailure{0, error};
    }
  }
  if (afterStep) afterStep(0);
  for (std::size_t i = group.size(); i-- > 0;) {
    Staged& staged = group[i];
    if (std::error_code error = pf::RenameReplacing(staged.temporary, staged.resolved)) {
      // Undone in the journal first: a process killed while putting the
      // old files back is then undone, not completed, by the recovery.
      bool rewritten = false;
      if (journalled) WriteJournal(group, true, journal, rewritten);
      for (std::size_t k = 0; k < group.size(); ++k) PutBack(group[k]);
      for (Staged& s : group) s.committed = false;
      RemoveLeftovers(group);
      if (journalled) pf::RemoveFile(journal);
      return ReplaceFailure{i, error};
    }
    staged.committed = true;
    if (afterStep) afterStep(group.size() - i);
  }
  for (const Staged& staged : group) pf::SyncFolder(staged.folder);
  if (journalled) {
    pf::RemoveFile(journal);
    pf::SyncFolder(journal.parent_path());
  }
  RemoveLeftovers(group);
  return std::nullopt;
}

void RemoveLeftoversOfDeadSaves(const fs::path& folder, bool lock) {
  std::unique_ptr<pf::FolderLock> held;
  if (lock) held = std::make_unique<pf::FolderLock>(folder);
  std::vector<fs::path> kept;
  AddJournalledFiles(folder, kept);
  std::error_code error;
  std::vector<fs::path> dead;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end; !error && it != end;
       it.increment(error)) {
    if (!pf::IsUniqueFileName(it->path().filename())) continue;
    if (std::find(kept.begin(), kept.end(), it->path()) != kept.end()) continue;
    dead.push_back(it->path());
  }
  const auto now = fs::file_time_type::clock::now();
  for (const fs::path& path : dead) {
    // A save still running holds the lock of its new files; and a file
    // written in the last minute is left alone in any case (a library may
    // have just put a file of its own under the locked name).
    std::error_code timeError;
    const auto written = fs::last_write_time(path, timeError);
    if (timeError || now - written < std::chrono::minutes(1)) continue;
    pf::FileLock probe;
    if (!probe.TryLock(path) && pf::TypeOf(path) != pf::FileType::Missing) continue;
    pf::RemoveFile(path);
  }
}

}  // namespace

void RemoveDeadLeftovers(const fs::path& folder) { RemoveLeftoversOfDeadSaves(folder, true); }

ReplaceRecovery RecoverReplacement(const fs::path& firstTarget) {
  ReplaceRecovery result;
  fs::path resolved;
  if (pf::ResolveLinks(firstTarget, resolved)) return result;
  const fs::path journalPath = JournalPath(resolved);
  if (pf::TypeOf(journalPath) == pf::FileType::Missing) return result;
  const std::optional<Journal> read = ReadJournal(journalPath);
  if (!read || read->entries.front().target != resolved) return result;  // another pair's, or not one
  std::vector<Staged> folders(read->entries.size());
  for (std::size_t i = 0; i < folders.size(); ++i) folders[i].folder = read->entries[i].target.parent_path();
  const auto locks = LockFolders(folders);
  // Read again under the locks: a save that was still renaming has finished.
  const std::optional<Journal> journal = ReadJournal(journalPath);
  if (!journal) return result;
  const std::vector<JournalEntry>& entries = journal->entries;
  // Renamed last first, so the new files not yet in place are a leading
  // run of the group; anything else means the journal cannot be trusted to
  // complete the save, and it is undone.
  std::size_t pending = 0;
  while (pending < entries.size() && Exists(entries[pending].temporary)) ++pending;
  bool undo = journal->rollback;
  for (std::size_t i = pending; i < entries.size(); ++i) undo = undo || Exists(entries[i].temporary);
  std::error_code error;
  if (!undo) {
    for (std::size_t i = pending; i-- > 0;) {
      if (!error) error = pf::RenameReplacing(entries[i].temporary, entries[i].target);
    }
  }
  if (undo || error) {
    undo = true;
    error.clear();
    for (const JournalEntry& entry : entries) {
      std::error_code put;
      if (Exists(entry.backup)) {
        put = pf::RenameReplacing(entry.backup, entry.target);
      } else if (!entry.existed && &entry != &entries.front()) {
        put = pf::RemoveFile(entry.target);
      }
      if (put && !error) error = put;
    }
  }
  for (const JournalEntry& entry : entries) {
    pf::RemoveFile(entry.temporary);
    if (!entry.backup.empty()) pf::RemoveFile(entry.backup);
    result.targets.push_back(entry.target);
  }
  for (const Staged& f : folders) pf::SyncFolder(f.folder);
  if (error) {
    result.outcome = ReplaceRecovery::Outcome::Failed;
    result.error = error;
    return result;
  }
  pf::RemoveFile(journalPath);
  pf::SyncFolder(journalPath.parent_path());
  result.outcome = undo ? ReplaceRecovery::Outcome::RolledBack : ReplaceRecovery::Outcome::Completed;
  for (const Staged& f : folders) RemoveLeftoversOfDeadSaves(f.folder, false);
  return result;
}

std::optional<ReplaceFailure> ReplaceFiles(std::span<const FileContent> files,
                                           const ReplaceStepHook& afterStep) {
  std::vector<Staged> group(files.size());
  try {
    for (std::size_t i = 0; i < files.size(); ++i) {
      Staged& staged = group[i];
      std::error_code error = Prepare(files[i].target, staged);
      if (!error) {
        error = files[i].chunks ? pf::WriteAndSync(staged.temporary, files[i].chunks)
                                : pf::WriteAndSync(staged.temporary, files[i].bytes);
      }
      if (!error) error = Finish(staged);
      if (error) {
        RemoveLeftovers(group);
        return ReplaceFailure{i, error};
      }
    }
  } catch (...) {
    // A piece that could not be made: nothing is replaced.
    RemoveLeftovers(group);
    throw;
  }
  return Commit(group, afterStep);
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
  const auto failure = Commit(group, {});
  return failure ? failure->reason : std::error_code();
}

void ReplaceFileOrThrow(const fs::path& target, std::string_view bytes) {
  if (const std::error_code error = ReplaceFile(target, bytes))
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, pf::ReasonText(error)));
}

void ReplaceFileOrThrow(const fs::path& target, const std::function<void(const fs::path&)>& write) {
  std::error_code error;
  try {
    error = ReplaceFileWith(target, write);
  } catch (const std::exception& cause) {
    throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, cause.what()));
  }
  if (error) throw KorvaneError(MessageWithPath(kMsgCannotWriteFile, target, pf::ReasonText(error)));
}

}  // namespace korvane
