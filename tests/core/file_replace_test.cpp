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

#include "core/data/file_messages.h"
#include "core/platform/file_system.h"

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

// ---- A save killed between its renames ---------------------------------------------

struct Killed : std::runtime_error {
  Killed() : std::runtime_error("killed") {}
};

// The files of the folder other than the pair's three (what a kill left).
std::vector<std::string> Extras(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "x.SHA" && name != "x.SHD" && name != "x.KVA") names.push_back(name);
  }
  return names;
}

// A save of text, waveforms and companion stopped after each step of its
// commit (a kill: nothing of the process runs after it), over an old pair and
// where there was none: the next read of the pair, by any command, finds the
// whole new save (or the whole old one when the save was being undone) and
// says which; nothing of the save is left in the folder.
TEST(FileReplaceRecovery, ASaveKilledAtEachStepIsFinishedWhenThePairIsNextRead) {
  const SyntheticData before = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  const SyntheticData after = SmallData(3, TestMethod::Direct, "cecs02:2005", {3, 2});
  const EncodedPair oldBytes = ResultBytes(before);
  const EncodedPair newBytes = ResultBytes(after);
  struct Case {
    std::size_t killedAfter;  // renames done when killed (3: all, the journal not yet removed)
    bool hadOldPair;
    bool undoing;  // killed while a failed save put the old files back
  };
  std::vector<Case> cases;
  for (std::size_t step = 0; step <= 3; ++step) {
    for (bool old : {true, false}) cases.push_back({step, old, false});
  }
  cases.push_back({1, true, true});
  cases.push_back({2, true, true});
  for (const Case& c : cases) {
    SCOPED_TRACE("killed after " + std::to_string(c.killedAfter) + " renames, old pair " +
                 std::to_string(c.hadOldPair) + ", undoing " + std::to_string(c.undoing));
    TempDir dir;
    const FilePair pair = OpenFilePair(dir / "x.SHA");
    if (c.hadOldPair) {
      WriteBytes(pair.textPath, oldBytes.text);
      WriteBytes(pair.wavePath, oldBytes.wave);
      WriteBytes(CompanionPath(pair.textPath), "old companion");
    }
    const FileContent group[] = {{pair.textPath, newBytes.text},
                                 {pair.wavePath, newBytes.wave},
                                 {CompanionPath(pair.textPath), "new companion"}};
    EXPECT_THROW(ReplaceFiles(group,
                              [&](std::size_t renamed) {
                                if (renamed == c.killedAfter) throw Killed();
                              }),
                 Killed);
    EXPECT_FALSE(Extras(dir.path()).empty());  // the journal and what it names
    if (c.undoing) {
      // The state a failed rename writes before the old files go back.
      for (const std::string& name : Extras(dir.path())) {
        if (name.ends_with(".jnl")) {
          std::string journal = FileBytes(dir / name);
          ReplaceAll(journal, "state commit", "state rollback");
          WriteBytes(dir / name, journal);
        }
      }
    }
    ReadBack back;
    ReadTestFile(pair, back.Target(), 0, {}, [&back](std::string_view m) { back.warnings.emplace_back(m); });
    const bool restored = c.undoing;
    EXPECT_EQ(back.warnings,
              std::vector<std::string>{pair.textPath.string() + "：" +
                                       std::string(restored ? kMsgSaveRolledBack : kMsgSaveCompleted)});
    const EncodedPair& expected = restored ? oldBytes : newBytes;
    EXPECT_EQ(FileBytes(pair.textPath), expected.text);
    EXPECT_EQ(FileBytes(pair.wavePath), expected.wave);
    EXPECT_EQ(FileBytes(CompanionPath(pair.textPath)), restored ? "old companion" : "new companion");
    EXPECT_EQ(Extras(dir.path()), std::vector<std::string>{});
    // Nothing more to do the next time.
    ReadBack again;
    ReadTestFile(pair, again.Target(), 0, {},
                 [&again](std::string_view m) { again.warnings.emplace_back(m); });
    EXPECT_TRUE(again.warnings.empty());
  }
}

// Leftovers of dead saves (no lock held on them, not written in the last
// minute) go at the next save into their folder; those of a save still
// running, and files that are not a save's, stay.
TEST(FileReplaceRecovery, TheNextSaveRemovesOnlyTheLeftoversOfDeadSaves) {
  TempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  WriteBytes(dir / ".kv0123456789.tmp", "dead save");
  fs::last_write_time(dir / ".kv0123456789.tmp", old);
  WriteBytes(dir / ".kvaaaaabbbbb.tmp", "running save");
  fs::last_write_time(dir / ".kvaaaaabbbbb.tmp", old);
  platform::FileLock running;
  ASSERT_TRUE(running.TryLock(dir / ".kvaaaaabbbbb.tmp"));
  WriteBytes(dir / ".kv9999999999.tmp", "just written");
  WriteBytes(dir / ".kv0123456789.tmp.keep", "not a save's");
  fs::last_write_time(dir / ".kv0123456789.tmp.keep", old);
  ReplaceFileOrThrow(dir / "report.pdf", "pdf");  // (ReplaceFile is a macro of windows.h)
  EXPECT_FALSE(fs::exists(dir / ".kv0123456789.tmp"));
  EXPECT_TRUE(fs::exists(dir / ".kvaaaaabbbbb.tmp"));
  EXPECT_TRUE(fs::exists(dir / ".kv9999999999.tmp"));
  EXPECT_TRUE(fs::exists(dir / ".kv0123456789.tmp.keep"));
}

}  // namespace
}  // namespace korvane::testing
