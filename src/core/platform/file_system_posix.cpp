// POSIX implementation of the platform file calls (Linux and the other
// Unix-like systems). The only place in the core that calls the operating
// system's file interface directly.
#if !defined(_WIN32)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <utility>

#include "core/platform/file_system.h"
#include "core/platform/file_system_detail.h"

namespace korvane::platform {

std::uint64_t detail::ProcessId() { return static_cast<std::uint64_t>(::getpid()); }

namespace {

using detail::InFolder;
using detail::kMaxLinks;
using detail::kNameAttempts;
using detail::NameGenerator;
using detail::UniqueName;

std::error_code LastError() { return {errno, std::generic_category()}; }

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Swap(Descriptor& other) { std::swap(fd_, other.fd_); }
  // Gives up the descriptor without closing it.
  void Release() { fd_ = -1; }
  // Closes now and reports a failure of close (a delayed write error).
  std::error_code Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? std::error_code() : LastError();
  }

 private:
  int fd_;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Opens for reading without blocking on a FIFO and checks the type.
std::error_code OpenRegular(const Path& path, Descriptor& out, struct stat& info) {
  Descriptor fd(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return LastError();
  if (::fstat(fd.get(), &info) != 0) return LastError();
  if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
  if (!S_ISREG(info.st_mode)) return MakeError(FileError::NotRegularFile);
  out.Swap(fd);
  return {};
}

std::error_code WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return {};
}

std::error_code Sync(int fd) {
  while (::fsync(fd) != 0) {
    if (errno != EINTR) return LastError();
  }
  return {};
}

}  // namespace

FileType TypeOf(const Path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FileType::Missing;
  if (S_ISREG(info.st_mode)) return FileType::Regular;
  if (S_ISDIR(info.st_mode)) return FileType::Directory;
  return FileType::Other;
}

bool IsMarkedReadOnly(const Path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

std::error_code ReadRegularFile(const Path& path, std::string& bytes, std::uintmax_t maxBytes) {
  Descriptor fd(-1);
  struct stat info {};
  if (const std::error_code error = OpenRegular(path, fd, info)) return error;
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (size > maxBytes) return MakeError(FileError::TooLarge);
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;  // shorter than it was a moment ago
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  // The file may have grown since fstat: read on to its end.
  char more[4096];
  for (;;) {
    const ssize_t n = ::read(fd.get(), more, sizeof more);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) return MakeError(FileError::TooLarge);
    bytes.append(more, static_cast<std::size_t>(n));
  }
  return {};
}

std::error_code ProbeRegularFile(const Path& path) {
  Descriptor fd(-1);
  struct stat info {};
  return OpenRegular(path, fd, info);
}

RegularFile::~RegularFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::error_code RegularFile::Open(const Path& path) {
  Descriptor fd(-1);
  struct stat info {};
  if (const std::error_code error = OpenRegular(path, fd, info)) return error;
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = fd.get();
  fd.Release();
  size_ = static_cast<std::uint64_t>(info.st_size);
  return {};
}

std::error_code RegularFile::ReadAt(std::uint64_t offset, char* out, std::size_t count,
                                    std::size_t& got) const {
  got = 0;
  if (handle_ < 0) return std::make_error_code(std::errc::bad_file_descriptor);
  while (got < count) {
    const ssize_t n =
        ::pread(static_cast<int>(handle_), out + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code ResolveLinks(const Path& path, Path& resolved) {
  Path current = path;
  for (int k = 0; k < kMaxLinks; ++k) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      resolved = current;
      return {};
    }
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 256), '\0');
    for (;;) {
      const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
      if (n < 0) return LastError();
      if (static_cast<std::size_t>(n) < target.size()) {
        target.resize(static_cast<std::size_t>(n));
        break;
      }
      target.resize(target.size() * 2);
    }
    const Path next(target);
    current = next.is_absolute() ? next : (current.parent_path() / next).lexically_normal();
  }
  return MakeError(FileError::LinkLoop);
}

std::error_code CreateUniqueFile(const Path& folder, Path& created) {
  std::mt19937_64 generator = NameGenerator();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Path candidate = InFolder(folder, UniqueName(generator));
    Descriptor fd(OpenRetrying(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, 0666));
    if (fd.valid()) {
      created = candidate;
      if (std::error_code error = fd.Close()) {
        ::unlink(candidate.c_str());
        return error;
      }
      return {};
    }
    if (errno != EEXIST) return LastError();
  }
  return MakeError(FileError::NoFreeName);
}

std::error_code LinkUnique(const Path& file, const Path& folder, Path& link) {
  std::mt19937_64 generator = NameGenerator();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Path candidate = InFolder(folder, UniqueName(generator));
    if (::link(file.c_str(), candidate.c_str()) == 0) {
      link = candidate;
      return {};
    }
    if (errno != EEXIST) return LastError();
  }
  return MakeError(FileError::NoFreeName);
}

std::error_code WriteAndSync(const Path& path, std::string_view bytes) {
  Descriptor fd(OpenRetrying(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY));
  if (!fd.valid()) return LastError();
  if (std::error_code error = WriteAll(fd.get(), bytes)) return error;
  if (std::error_code error = Sync(fd.get())) return error;
  return fd.Close();
}

std::error_code WriteAndSync(const Path& path, const ChunkSource& next) {
  Descriptor fd(OpenRetrying(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY));
  if (!fd.valid()) return LastError();
  std::string chunk;
  while (next(chunk)) {
    if (std::error_code error = WriteAll(fd.get(), chunk)) return error;
  }
  if (std::error_code error = Sync(fd.get())) return error;
  return fd.Close();
}

std::error_code SyncFile(const Path& path) {
  Descriptor fd(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return LastError();
  if (std::error_code error = Sync(fd.get())) return error;
  return fd.Close();
}

std::error_code SyncFolder(const Path& folder) {
  const Path name = folder.empty() ? Path(".") : folder;
  Descriptor fd(OpenRetrying(name.c_str(), O_RDONLY | O_DIRECTORY));
  if (!fd.valid()) return LastError();
  if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS && errno != EBADF) return LastError();
  return {};
}

std::error_code CopyPermissions(const Path& from, const Path& to) {
  struct stat info {};
  if (::stat(from.c_str(), &info) != 0) return errno == ENOENT ? std::error_code() : LastError();
  if (::chmod(to.c_str(), info.st_mode & 07777) != 0) return LastError();
  return {};
}

std::error_code RenameReplacing(const Path& from, const Path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RemoveFile(const Path& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
  return LastError();
}

bool FileLock::TryLock(const Path& path) {
  Release();
  Descriptor fd(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return false;
  int locked = 0;
  do {
    locked = ::flock(fd.get(), LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0 && errno == EWOULDBLOCK) return false;
  // Any other failure: a file system without locks.
  handle_ = fd.get();
  fd.Release();
  return true;
}

void FileLock::Release() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing releases the lock
  handle_ = -1;
}

FolderLock::FolderLock(const Path& folder) {
  const Path name = folder.empty() ? Path(".") : folder;
  const int fd = OpenRetrying(name.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  int locked = 0;
  do {
    locked = ::flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    ::close(fd);
    return;
  }
  handle_ = fd;
}

Path EnvironmentPath(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr || *value == '\0') return {};
  return Path(value);
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing releases the lock
}

void ReportFileSizeLimitAsError() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace korvane::platform

#endif  // !_WIN32
