#include "support/temp_dir.h"

#include <unistd.h>

#include <random>
#include <system_error>

namespace korvane::testing {

TempDir::TempDir(std::string_view prefix) {
  std::random_device device;
  path_ =
      std::filesystem::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(getpid()) + "-" +
                                                std::to_string(device()) + std::to_string(device()));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace korvane::testing
