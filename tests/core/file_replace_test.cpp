// The one file replacement every output goes through: old content survives
// every failure, nothing is left behind, groups are all-or-nothing.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <stdexcept>
#include <vector>

#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

int EntriesIn(const fs::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
  return count;
}

TEST(FileReplace, WriterThatThrowsKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const fs::path target = dir / "out.docx";
  WriteBytes(target, "old");
  fs::path used;
  const std::string message = ErrorOf([&] {
    ReplaceFileOrThrow(target, [&](const fs::path& temporary) {
      used = temporary;
      WriteBytes(temporary, "half");
      throw std::runtime_error("disk full");
    });
  });
  EXPECT_EQ(message, "无法写入文件 " + PathToUtf8(target) + "：disk full");
  EXPECT_EQ(used.parent_path(), target.parent_path());
  EXPECT_EQ(FileBytes(target), "old");
  EXPECT_EQ(EntriesIn(dir.path()), 1);

  ReplaceFileOrThrow(target, [&](const fs::path& temporary) { WriteBytes(temporary, "new"); });
  EXPECT_EQ(FileBytes(target), "new");
  EXPECT_EQ(EntriesIn(dir.path()), 1);
}

// Targets that are not regular files are refused and stay what they are
// (a device or FIFO of the test's own: a faulty replacement must not hit
// the system's).
TEST(FileReplace, FailuresNameTheTargetAndTheReason) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  struct Case {
    fs::path target;
    std::string reason;
  };
  std::vector<Case> cases = {
      {dir / "missing" / "x.bmp", "No such file or directory"},
      {dir / "folder", "Is a directory"},
  };
#ifdef _WIN32
  // Windows' FIFO: a named pipe, which lives outside every folder (and,
  // under Wine, outside the host's files).
  const fs::path pipeName = L"\\\\.\\pipe\\korvane-test-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE pipe =
      CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  cases.push_back({pipeName, "not a regular file"});
#else
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const bool device = ::geteuid() == 0 && ::mknod((dir / "null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  cases.push_back({dir / "fifo", "not a regular file"});
  if (device) cases.push_back({dir / "null", "not a regular file"});
#endif
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ReplaceFileOrThrow(c.target, "bytes"); }),
              "无法写入文件 " + PathToUtf8(c.target) + "：" + c.reason);
  }
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
#ifdef _WIN32
  CloseHandle(pipe);
  EXPECT_EQ(EntriesIn(dir.path()), 1);
#else
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  if (device) {
    EXPECT_TRUE(fs::is_character_file(dir / "null"));
  }
  EXPECT_EQ(EntriesIn(dir.path()), device ? 3 : 2);
#endif
}

// A group is replaced whole or not at all: a later file that cannot be
// written leaves every earlier one as it was.
TEST(FileReplace, GroupIsAllOrNothing) {
  TempDir dir;
  WriteBytes(dir / "a.SHA", "old text");
  WriteBytes(dir / "a.SHD", "old wave");
  fs::create_directory(dir / "b.SHD");
  WriteBytes(dir / "b.SHA", "old text");

  const FileContent good[] = {{dir / "a.SHA", "new text"}, {dir / "a.SHD", "new wave"}};
  EXPECT_FALSE(ReplaceFiles(good).has_value());
  EXPECT_EQ(FileBytes(dir / "a.SHA"), "new text");
  EXPECT_EQ(FileBytes(dir / "a.SHD"), "new wave");

  const FileContent blocked[] = {{dir / "b.SHA", "new text"}, {dir / "b.SHD", "new wave"}};
  const auto failure = ReplaceFiles(blocked);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->file, 1u);
  EXPECT_EQ(failure->reason, std::make_error_code(std::errc::is_a_directory));
  EXPECT_EQ(FileBytes(dir / "b.SHA"), "old text");
  EXPECT_EQ(EntriesIn(dir.path()), 4);
}

}  // namespace
}  // namespace korvane::testing
