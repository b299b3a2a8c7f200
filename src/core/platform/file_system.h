// The core's file-system calls that differ between operating systems, in one
// place: reading only regular files, creating a file under a unique name,
// flushing to the disk, renaming over a file, permissions, symbolic links and
// the lock that keeps two saves into one folder from interleaving. Everything
// else in the core builds on these (see file_replace.h).
//
// Failures are std::error_code values whose message() is the system's reason
// (or one of FileError's), in UTF-8. Paths are std::filesystem::path
// throughout (UTF-16 on Windows, so any name reaches the system unchanged).
// Implementations: file_system_posix.cpp, file_system_win32.cpp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace korvane::platform {

using Path = std::filesystem::path;

// Reasons of the core's own that the system has no code for.
enum class FileError {
  NotRegularFile = 1,  // a FIFO, device, socket … where a file was expected
  TooLarge,            // more bytes than the caller accepts
  NoFreeName,          // no unique name could be found in the folder
  LinkLoop,            // too many symbolic links in a row
  ReadOnly,            // the file is marked read-only: it is not replaced
};
std::error_code MakeError(FileError error);

// The value of the environment variable `name` (ASCII) as a path; empty
// when it is not set or empty. Read wide on Windows, so a user folder of any
// name comes through.
Path EnvironmentPath(std::string_view name);

// What a path names, following symbolic links (a dangling link is Missing).
enum class FileType { Missing, Regular, Directory, Other };
FileType TypeOf(const Path& path);

// Whether an existing file is marked read-only: no write permission for its
// owner (POSIX), the read-only attribute (Windows). A replacement refuses
// such a file for every user, the owner and an administrator alike.
bool IsMarkedReadOnly(const Path& path);

// Reads a regular file whole into `bytes`. A folder fails with the system's
// "is a directory", anything else that is not a regular file (FIFO, device,
// socket) with NotRegularFile, at once: the file is opened without waiting
// for a writer. More than `maxBytes` bytes fail with TooLarge.
std::error_code ReadRegularFile(const Path& path, std::string& bytes, std::uintmax_t maxBytes = UINTMAX_MAX);
// Opens and closes the file as ReadRegularFile would, reading nothing.
std::error_code ProbeRegularFile(const Path& path);

// A regular file open for reading at given offsets (opened as
// ReadRegularFile opens it).
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  std::error_code Open(const Path& path);
  // Size when it was opened, in bytes.
  std::uint64_t size() const { return size_; }
  // Reads up to `count` bytes from `offset` into `out`; `got` is how many
  // were read (fewer only at the end of the file).
  std::error_code ReadAt(std::uint64_t offset, char* out, std::size_t count, std::size_t& got) const;

 private:
  std::intptr_t handle_ = -1;  // file descriptor or handle
  std::uint64_t size_ = 0;
};

// The path that a write to `path` must replace: symbolic links followed to
// the path they name, also when that path does not exist yet (relative link
// targets are taken from the link's folder). `path` itself when it is no
// link. LinkLoop after 40 links.
std::error_code ResolveLinks(const Path& path, Path& resolved);

// Creates a new, empty file in `folder` (the current folder when empty)
// under a short unique name that starts with a dot, with the permissions a
// new file gets. `created` is its path.
std::error_code CreateUniqueFile(const Path& folder, Path& created);
// A second name for `file` in `folder` (a hard link), unique as above. Fails
// on file systems without hard links.
std::error_code LinkUnique(const Path& file, const Path& folder, Path& link);

// Truncates the existing file `path`, writes `bytes` and flushes them to the
// disk.
std::error_code WriteAndSync(const Path& path, std::string_view bytes);
// The same with the bytes made piece by piece (a file larger than memory
// should hold at once): `next` fills its argument with the next piece and
// returns false when there is none (the argument is then not written).
using ChunkSource = std::function<bool(std::string& chunk)>;
std::error_code WriteAndSync(const Path& path, const ChunkSource& next);
// Flushes a file that someone else wrote to the disk.
std::error_code SyncFile(const Path& path);
// Flushes a folder's entries (renames, new names) to the disk; file systems
// that cannot do that are not an error.
std::error_code SyncFolder(const Path& folder);

// Gives `to` the permission bits of `from` (Windows: its hidden and system
// attributes; access rights there come from the folder, as for any new
// file); nothing when `from` is missing.
std::error_code CopyPermissions(const Path& from, const Path& to);
// Renames `from` to `to` in one step, replacing a file at `to` (Windows: a
// read-only `to`, or one that another program keeps open for more than
// about a second, is not replaced and the call fails).
std::error_code RenameReplacing(const Path& from, const Path& to);
// Removes a file; a missing file is not an error.
std::error_code RemoveFile(const Path& path);

// An exclusive lock on one file, held while the object lives (or until
// Release). A replacement holds one on each of its new files while it writes
// them, so that a cleanup tells them from the leftovers of a save that was
// killed: TryLock fails on a file whose lock is held, by this or any other
// process. Advisory: reading, writing and renaming the file are not
// hindered. Where the file system has no locks, TryLock always succeeds.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
  FileLock& operator=(FileLock&& other) noexcept {
    if (this != &other) {
      Release();
      handle_ = other.handle_;
      other.handle_ = -1;
    }
    return *this;
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock on `path` without waiting; false when another holder has
  // it or the file cannot be opened.
  bool TryLock(const Path& path);
  void Release();

 private:
  std::intptr_t handle_ = -1;  // file descriptor or handle
};

// The reason a failure gives in a message: a file over the system's file
// size limit and a full disk in the users' words ("文件过大（超过系统允许的文件
// 大小）", "磁盘空间不足"), anything else as the system says it.
std::string ReasonText(const std::error_code& error);

// A write past the process's file size limit (ulimit -f) fails with its
// error instead of ending the process (SIGXFSZ ignored; nothing to do on
// Windows). Called once at the start of each program.
void ReportFileSizeLimitAsError();

// Whether a file name is one CreateUniqueFile or LinkUnique gives.
bool IsUniqueFileName(const Path& name);

// Holds an exclusive lock on a folder while it lives, so that replacements
// by this and other processes in that folder happen one after the other.
// Where the file system has no locks, nothing is locked.
class FolderLock {
 public:
  explicit FolderLock(const Path& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  std::intptr_t handle_ = -1;  // file descriptor or handle of the open folder
};

}  // namespace korvane::platform
