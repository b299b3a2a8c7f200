// The parts of the platform file calls that are the same on every system:
// the core's own error reasons and the unique short names.
#include <atomic>
#include <chrono>

#include "core/platform/file_system.h"
#include "core/platform/file_system_detail.h"

namespace korvane::platform {
namespace {

class FileErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "korvane-file"; }
  std::string message(int code) const override {
    switch (static_cast<FileError>(code)) {
      case FileError::NotRegularFile: return "not a regular file";
      case FileError::TooLarge: return "file too large";
      case FileError::NoFreeName: return "no free temporary name";
      case FileError::LinkLoop: return "too many levels of symbolic links";
      case FileError::ReadOnly: return "the file is read-only";
    }
    return "unknown error";
  }
};

}  // namespace

std::error_code MakeError(FileError error) {
  static const FileErrorCategory category;
  return {static_cast<int>(error), category};
}

namespace detail {

std::string UniqueName(std::mt19937_64& generator) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::uint64_t value = generator();
  std::string name = ".kv";
  for (int k = 0; k < 10; ++k, value >>= 4) name.push_back(kDigits[value & 0xF]);
  name += ".tmp";
  return name;
}

std::mt19937_64 NameGenerator() {
  static std::atomic<std::uint64_t> counter{0};
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::seed_seq seed{device(),
                     device(),
                     static_cast<unsigned>(now),
                     static_cast<unsigned>(now >> 32),
                     static_cast<unsigned>(ProcessId()),
                     static_cast<unsigned>(counter++)};
  return std::mt19937_64(seed);
}

bool IsUniqueName(const std::string& name) {
  if (name.size() != 17 || name.compare(0, 3, ".kv") != 0 || name.compare(13, 4, ".tmp") != 0) return false;
  for (std::size_t k = 3; k < 13; ++k) {
    const char c = name[k];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

Path InFolder(const Path& folder, const std::string& name) {
  return folder.empty() ? Path(name) : folder / name;
}

}  // namespace detail

bool IsUniqueFileName(const Path& name) {
  const auto& native = name.native();
  if (native.size() != 17) return false;
  std::string ascii;
  for (const auto c : native) {
    if (c < 0x20 || c > 0x7E) return false;
    ascii.push_back(static_cast<char>(c));
  }
  return detail::IsUniqueName(ascii);
}

std::string ReasonText(const std::error_code& error) {
  if (error == std::errc::file_too_large) return "文件过大（超过系统允许的文件大小）";
  if (error == std::errc::no_space_on_device) return "磁盘空间不足";
  return error.message();
}

}  // namespace korvane::platform
