#include "support/temp_dir.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <random>
#include <system_error>

#include "core/platform/path_text.h"

namespace korvane::testing {
namespace {

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

}  // namespace

TempDir::TempDir(std::string_view prefix) {
  std::random_device device;
  path_ =
      std::filesystem::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(ProcessId()) +
                                                "-" + std::to_string(device()) + std::to_string(device()));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

std::filesystem::path TempDir::operator/(std::string_view name) const { return path_ / PathFromUtf8(name); }

std::string TempDir::File(std::string_view name) const { return PathToUtf8(path_ / PathFromUtf8(name)); }

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace korvane::testing
