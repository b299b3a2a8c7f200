// A scratch folder for one test: fresh and empty when made, removed with
// everything in it when the object goes. Its name holds the process id and
// random digits, so tests running in parallel processes never share one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::testing {

class TempDir {
 public:
  // A folder named "<prefix>-<pid>-<random digits>" under the system's
  // temporary folder.
  explicit TempDir(std::string_view prefix = "korvane-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` (UTF-8) inside the folder.
  std::filesystem::path operator/(std::string_view name) const;
  // The path of `name` inside the folder as UTF-8 text (for command lines).
  std::string File(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace korvane::testing
