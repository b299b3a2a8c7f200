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

Path InFolder(const Path& folder, const std::string& name) {
  return folder.empty() ? Path(name) : folder / name;
}

}  // namespace detail
}  // namespace korvane::platform
