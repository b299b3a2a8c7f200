// Windows implementation of the platform file calls, on the wide (UTF-16)
// Win32 file functions. The only place in the core that calls them. (File
// facts come from GetFileInformationByHandleEx: GetFileInformationByHandle
// also asks for the volume's serial number, which costs milliseconds under
// Wine.)
//
// What differs from POSIX, and how it is bridged:
// - Replacing: MoveFileExW with MOVEFILE_REPLACE_EXISTING and
//   MOVEFILE_WRITE_THROUGH renames over the target in one step and returns
//   only when the rename is on the disk (so SyncFolder has nothing to do). A
//   target that is read-only, or that another program keeps open, is not
//   replaced: the save fails and the old file stays (a file open for a
//   moment is waited for, about a second).
// - Permissions: access rights are the folder's inherited ACL, as for any
//   new file; CopyPermissions keeps the hidden and system attributes.
// - Folder lock: a named mutex per folder (Windows cannot lock a folder
//   without keeping every other program out of it).
// - Long names: paths of 248 units or more are passed in the "\\?\" form,
//   which has no 260-unit limit.
// - Reasons: the common system errors become the same std::errc conditions
//   (and texts) as on Linux; others keep Windows' own text, as UTF-8.
#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/platform/file_system.h"
#include "core/platform/file_system_detail.h"

namespace korvane::platform {

std::uint64_t detail::ProcessId() { return GetCurrentProcessId(); }

namespace {

using detail::InFolder;
using detail::kMaxLinks;
using detail::kNameAttempts;
using detail::NameGenerator;
using detail::UniqueName;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Longest path passed as it is (CreateDirectoryW's limit; MAX_PATH is 260).
constexpr std::size_t kPlainPathLimit = 248;
// How long a replacement waits for a target that another program holds open.
constexpr DWORD kBusyRetryMilliseconds = 1000;
// ReadFile and WriteFile take a DWORD count.
constexpr std::size_t kChunk = std::size_t{1} << 26;

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr,
                      nullptr);
  return out;
}

// Windows' own reasons, for the codes without a portable condition.
class Win32Category : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }
  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return "Windows error " + std::to_string(code);
    std::wstring_view view(text, length);
    while (!view.empty() && (view.back() == L'\r' || view.back() == L'\n' || view.back() == L' ' ||
                             view.back() == L'.' || view.back() == L'\x3002')) {
      view.remove_suffix(1);
    }
    std::string message = Utf8(view);
    LocalFree(text);
    return message;
  }
};

std::error_code Win32Error(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return std::make_error_code(std::errc::file_exists);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE: return std::make_error_code(std::errc::filename_too_long);
    case ERROR_NOT_SAME_DEVICE: return std::make_error_code(std::errc::cross_device_link);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return std::make_error_code(std::errc::not_enough_memory);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY: return std::make_error_code(std::errc::invalid_argument);
    case ERROR_CANT_RESOLVE_FILENAME: return MakeError(FileError::LinkLoop);
    default: {
      static const Win32Category category;
      return {static_cast<int>(code), category};
    }
  }
}

std::error_code LastError() { return Win32Error(GetLastError()); }

// The path as the wide functions take it.
std::wstring ApiPath(const Path& path) {
  const std::wstring& native = path.native();
  if (native.size() < kPlainPathLimit || native.rfind(L"\\\\?\\", 0) == 0) return native;
  const DWORD needed = GetFullPathNameW(native.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return native;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(native.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return native;
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  void Swap(Handle& other) { std::swap(handle_, other.handle_); }
  // Gives up the handle without closing it.
  HANDLE Release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  // Closes now and reports a failure (a delayed write error).
  std::error_code Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) ? std::error_code() : LastError();
  }

 private:
  HANDLE handle_;
};

HANDLE Open(const Path& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(ApiPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

// Opens for reading (folders too, to tell them apart) and checks the type.
std::error_code OpenRegular(const Path& path, Handle& out, std::uintmax_t& size) {
  Handle file(Open(path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  if (!file.valid()) return LastError();
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return MakeError(FileError::NotRegularFile);
  FILE_STANDARD_INFO info{};
  if (!GetFileInformationByHandleEx(file.get(), FileStandardInfo, &info, sizeof info)) return LastError();
  if (info.Directory) return std::make_error_code(std::errc::is_a_directory);
  size = static_cast<std::uintmax_t>(info.EndOfFile.QuadPart);
  out.Swap(file);
  return {};
}

std::error_code WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size(), kChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastError();
    bytes.remove_prefix(written);
  }
  return {};
}

// The target of a symbolic link, from its reparse data: the print name (as
// the link was made), else the substitute name without its "\??\" prefix.
std::error_code ReadLinkTarget(HANDLE link, std::wstring& target, bool& relative) {
  // REPARSE_DATA_BUFFER of a symbolic link (declared in the driver kit's
  // headers only).
  struct SymbolicLinkReparse {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
    ULONG flags;
  };
  std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD returned = 0;
  if (!DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                       static_cast<DWORD>(buffer.size()), &returned, nullptr)) {
    return LastError();
  }
  SymbolicLinkReparse header{};
  if (returned < sizeof header) return Win32Error(ERROR_INVALID_REPARSE_DATA);
  std::memcpy(&header, buffer.data(), sizeof header);
  const auto name = [&](USHORT offset, USHORT length) {
    std::wstring text(length / sizeof(wchar_t), L'\0');
    if (sizeof header + offset + length <= returned) {
      std::memcpy(text.data(), buffer.data() + sizeof header + offset, length);
    } else {
      text.clear();
    }
    return text;
  };
  target = name(header.printOffset, header.printLength);
  if (target.empty()) {
    target = name(header.substituteOffset, header.substituteLength);
    if (target.rfind(L"\\??\\", 0) == 0) target.erase(0, 4);
  }
  if (target.empty()) return Win32Error(ERROR_INVALID_REPARSE_DATA);
  relative = (header.flags & SYMLINK_FLAG_RELATIVE) != 0;
  return {};
}

}  // namespace

FileType TypeOf(const Path& path) {
  Handle file(Open(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  // A named pipe whose every instance is taken exists all the same.
  if (!file.valid()) return GetLastError() == ERROR_PIPE_BUSY ? FileType::Other : FileType::Missing;
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return FileType::Other;
  FILE_STANDARD_INFO info{};
  if (!GetFileInformationByHandleEx(file.get(), FileStandardInfo, &info, sizeof info)) return FileType::Other;
  return info.Directory ? FileType::Directory : FileType::Regular;
}

// A byte-range lock far past any file's end: Windows' locks are mandatory
// for the range they cover, so the range is one no read or write reaches.
bool FileLock::TryLock(const Path& path) {
  Release();
  Handle file(Open(path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return false;
  OVERLAPPED at{};
  at.OffsetHigh = 0x40000000;
  if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    if (GetLastError() == ERROR_LOCK_VIOLATION) return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file.Release());
  return true;
}

void FileLock::Release() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
  handle_ = -1;
}

bool IsMarkedReadOnly(const Path& path) {
  const DWORD attributes = GetFileAttributesW(ApiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::error_code ReadRegularFile(const Path& path, std::string& bytes, std::uintmax_t maxBytes) {
  Handle file;
  std::uintmax_t size = 0;
  if (const std::error_code error = OpenRegular(path, file, size)) return error;
  if (size > maxBytes) return MakeError(FileError::TooLarge);
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - got, kChunk));
    DWORD n = 0;
    if (!ReadFile(file.get(), bytes.data() + got, chunk, &n, nullptr)) return LastError();
    if (n == 0) break;  // shorter than it was a moment ago
    got += n;
  }
  bytes.resize(got);
  // The file may have grown since its size was taken: read on to its end.
  char more[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), more, sizeof more, &n, nullptr)) return LastError();
    if (n == 0) break;
    if (bytes.size() + n > maxBytes) return MakeError(FileError::TooLarge);
    bytes.append(more, n);
  }
  return {};
}

std::error_code ProbeRegularFile(const Path& path) {
  Handle file;
  std::uintmax_t size = 0;
  return OpenRegular(path, file, size);
}

RegularFile::~RegularFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::error_code RegularFile::Open(const Path& path) {
  Handle file;
  std::uintmax_t size = 0;
  if (const std::error_code error = OpenRegular(path, file, size)) return error;
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = reinterpret_cast<std::intptr_t>(file.Release());
  size_ = size;
  return {};
}

std::error_code RegularFile::ReadAt(std::uint64_t offset, char* out, std::size_t count,
                                    std::size_t& got) const {
  got = 0;
  if (handle_ == -1) return std::make_error_code(std::errc::bad_file_descriptor);
  const auto file = reinterpret_cast<HANDLE>(handle_);
  while (got < count) {
    // An OVERLAPPED offset on a synchronous handle: a read at that position.
    const std::uint64_t at = offset + got;
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(count - got, kChunk));
    if (!ReadFile(file, out + got, chunk, &n, &position)) {
      const DWORD code = GetLastError();
      if (code == ERROR_HANDLE_EOF) break;
      return Win32Error(code);
    }
    if (n == 0) break;
    got += n;
  }
  return {};
}

std::error_code ResolveLinks(const Path& path, Path& resolved) {
  Path current = path;
  for (int k = 0; k < kMaxLinks; ++k) {
    Handle file(Open(current, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!file.valid() || !GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        tag.ReparseTag != IO_REPARSE_TAG_SYMLINK) {
      resolved = current;
      return {};
    }
    std::wstring target;
    bool relative = false;
    if (const std::error_code error = ReadLinkTarget(file.get(), target, relative)) return error;
    const Path next(target);
    current = relative ? (current.parent_path() / next).lexically_normal() : next;
  }
  return MakeError(FileError::LinkLoop);
}

std::error_code CreateUniqueFile(const Path& folder, Path& created) {
  std::mt19937_64 generator = NameGenerator();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Path candidate = InFolder(folder, UniqueName(generator));
    Handle file(Open(candidate, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (file.valid()) {
      created = candidate;
      if (std::error_code error = file.Close()) {
        DeleteFileW(ApiPath(candidate).c_str());
        return error;
      }
      return {};
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return Win32Error(code);
  }
  return MakeError(FileError::NoFreeName);
}

std::error_code LinkUnique(const Path& file, const Path& folder, Path& link) {
  std::mt19937_64 generator = NameGenerator();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Path candidate = InFolder(folder, UniqueName(generator));
    if (CreateHardLinkW(ApiPath(candidate).c_str(), ApiPath(file).c_str(), nullptr)) {
      link = candidate;
      return {};
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return Win32Error(code);
  }
  return MakeError(FileError::NoFreeName);
}

// Shared for reading (and renaming): the replacement keeps a FileLock
// handle open on its new files.
constexpr DWORD kShareWhileWriting = FILE_SHARE_READ | FILE_SHARE_DELETE;

std::error_code WriteAndSync(const Path& path, std::string_view bytes) {
  Handle file(Open(path, GENERIC_WRITE, kShareWhileWriting, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return LastError();
  if (std::error_code error = WriteAll(file.get(), bytes)) return error;
  if (!FlushFileBuffers(file.get())) return LastError();
  return file.Close();
}

std::error_code WriteAndSync(const Path& path, const ChunkSource& next) {
  Handle file(Open(path, GENERIC_WRITE, kShareWhileWriting, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return LastError();
  std::string chunk;
  while (next(chunk)) {
    if (std::error_code error = WriteAll(file.get(), chunk)) return error;
  }
  if (!FlushFileBuffers(file.get())) return LastError();
  return file.Close();
}

std::error_code SyncFile(const Path& path) {
  Handle file(Open(path, GENERIC_WRITE, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return LastError();
  if (!FlushFileBuffers(file.get())) return LastError();
  return file.Close();
}

// MOVEFILE_WRITE_THROUGH has put the renames on the disk already.
std::error_code SyncFolder(const Path&) { return {}; }

std::error_code CopyPermissions(const Path& from, const Path& to) {
  const DWORD attributes = GetFileAttributesW(ApiPath(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? std::error_code()
                                                                        : Win32Error(code);
  }
  const DWORD kept =
      attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (kept == 0) return {};
  const std::wstring target = ApiPath(to);
  const DWORD current = GetFileAttributesW(target.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) return LastError();
  if (!SetFileAttributesW(target.c_str(), (current & ~FILE_ATTRIBUTE_NORMAL) | kept)) return LastError();
  return {};
}

std::error_code RenameReplacing(const Path& from, const Path& to) {
  const std::wstring source = ApiPath(from);
  const std::wstring target = ApiPath(to);
  // A file that is open cannot be replaced, not even when it is shared for
  // deletion; virus scanners, indexers and other programs (and our own type
  // checks) open files for a moment. Such a refusal is retried for about a
  // second; a read-only target is refused at once.
  DWORD pause = 1;
  for (DWORD waited = 0;; waited += pause, pause = std::min<DWORD>(pause * 2, 100)) {
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return {};
    const DWORD code = GetLastError();
    const bool readOnly = (GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
    const bool busy = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                      (code == ERROR_ACCESS_DENIED && !readOnly);
    if (!busy || waited >= kBusyRetryMilliseconds) return Win32Error(code);
    Sleep(pause);
  }
}

std::error_code RemoveFile(const Path& path) {
  if (DeleteFileW(ApiPath(path).c_str())) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return {};
  return Win32Error(code);
}

// The mutex is named after the folder's full path, lower-cased (Windows
// names are case-insensitive), hashed to fit a kernel object name; "Local"
// reaches every process of the user's session.
FolderLock::FolderLock(const Path& folder) {
  const Path name = folder.empty() ? Path(L".") : folder;
  std::wstring full(32768, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return;
  full.resize(length);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  CharLowerBuffW(full.data(), static_cast<DWORD>(full.size()));
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const wchar_t unit : full) {
    hash ^= static_cast<std::uint16_t>(unit);
    hash *= 1099511628211ull;
  }
  wchar_t mutexName[64];
  swprintf(mutexName, 64, L"Local\\korvane-folder-%016llx", static_cast<unsigned long long>(hash));
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName);
  if (mutex == nullptr) return;
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  // An owner that ended without releasing it leaves it abandoned, and ours.
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

Path EnvironmentPath(std::string_view name) {
  const std::wstring wide(name.begin(), name.end());
  const wchar_t* value = _wgetenv(wide.c_str());
  if (value == nullptr || *value == L'\0') return {};
  return Path(value);
}

FolderLock::~FolderLock() {
  if (handle_ == -1) return;
  const auto mutex = reinterpret_cast<HANDLE>(handle_);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

void ReportFileSizeLimitAsError() {}

}  // namespace korvane::platform

#endif  // _WIN32
