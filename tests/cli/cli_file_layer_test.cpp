// The file commands on inputs and targets that used to hang, exit 0 with a
// file that reads back wrong, or destroy another file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "cli/cli_process.h"
#include "core/data/file_messages.h"
#include "core/platform/file_replace.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = KORVANE_SAMPLES_DIR;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A scratch folder of this process, removed at the end of the test.
class Scratch {
 public:
  explicit Scratch(const std::string& name)
      : path_(fs::temp_directory_path() / ("korvane-cli-layer-" + name + "-" + std::to_string(getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void CopyPair(const std::string& sample, const fs::path& text) {
  fs::copy_file(kSamples / sample, text);
  std::string wave = sample;
  wave.back() = 'D';
  std::string target = text.string();
  target.back() = 'D';
  fs::copy_file(kSamples / wave, target);
}

struct Outcome {
  bool finished = false;  // false: killed after the time limit
  int status = -1;
  std::string err;
};

// Runs korvane-cli with KORVANE_CONFIG_DIR set to `configDir`; a run that
// has not ended after `limit` is killed (a command that blocks is a failure,
// not a test that never ends).
Outcome RunWithLimit(const std::vector<std::string>& args, const fs::path& configDir,
                     std::chrono::seconds limit = std::chrono::seconds(20)) {
  char errTemplate[] = "/tmp/korvane-cli-layer-err-XXXXXX";
  const int errFd = mkstemp(errTemplate);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(errFd, 2);
    const int null = ::open("/dev/null", O_WRONLY);
    dup2(null, 1);
    setenv("KORVANE_CONFIG_DIR", configDir.c_str(), 1);
    std::vector<std::string> copies = args;
    std::string program = KORVANE_CLI_PATH;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  Outcome outcome;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      close(errFd);
      std::remove(errTemplate);
      return outcome;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  close(errFd);
  outcome.finished = true;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.err = Read(errTemplate);
  std::remove(errTemplate);
  return outcome;
}

// ---- 10. FIFOs never block a command ---------------------------------------------

TEST(CliFileLayer, FifoAsDataFileOrSettingsFileNeverBlocks) {
  Scratch dir("fifo");
  ASSERT_EQ(mkfifo((dir / "pipe.SHA").c_str(), 0600), 0);
  fs::create_directories(dir / "config");
  const Outcome info = RunWithLimit({"info", (dir / "pipe.SHA").string()}, dir / "config");
  ASSERT_TRUE(info.finished) << "info blocked on a FIFO";
  EXPECT_EQ(info.status, 1);
  EXPECT_EQ(info.err, "打开文件失败！ " + (dir / "pipe.SHA").string() + "：not a regular file\n");

  // A FIFO as the waveform file.
  fs::copy_file(kSamples / "result-3members-cecs2005.SHA", dir / "x.SHA");
  ASSERT_EQ(mkfifo((dir / "x.SHD").c_str(), 0600), 0);
  const Outcome wave = RunWithLimit({"info", (dir / "x.SHA").string()}, dir / "config");
  ASSERT_TRUE(wave.finished) << "info blocked on a FIFO waveform file";
  EXPECT_EQ(wave.err, "打开文件失败！ " + (dir / "x.SHD").string() + "：not a regular file\n");

  // A FIFO as the settings file: the defaults, at once.
  ASSERT_EQ(mkfifo((dir / "config" / "korvane.ini").c_str(), 0600), 0);
  const Outcome exported = RunWithLimit(
      {"export", (kSamples / "result-3members-cecs2005.SHA").string(), "--xlsx", (dir / "out.xlsx").string()},
      dir / "config");
  ASSERT_TRUE(exported.finished) << "export blocked on a FIFO settings file";
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_TRUE(fs::is_regular_file(dir / "out.xlsx"));
}

// ---- The process's file size limit -----------------------------------------------------

// Writing past the file size limit (ulimit -f) is a failure with a message,
// not a death by SIGXFSZ; nothing is replaced.
TEST(CliFileLayer, AFileSizeLimitIsAMessageNotADeath) {
  Scratch dir("size-limit");
  const std::string input = (kSamples / "result-3members-cecs2005.SHA").string();
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit low = old;
  low.rlim_cur = 16 * 1024;  // the waveform file is 70 KB
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
  const ProcessResult result = RunCli({"convert", input, (dir / "out.SHA").string()});
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.err.find("文件过大（超过系统允许的文件大小）"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(dir / "out.SHA"));
  EXPECT_FALSE(fs::exists(dir / "out.SHD"));

  // A workbook cut by the limit: the program's message, not the library's
  // "[ERROR]" lines.
  low.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
  const ProcessResult workbook = RunCli({"export", input, "--xlsx", (dir / "out.xlsx").string()});
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  EXPECT_EQ(workbook.status, 1) << workbook.err;
  EXPECT_EQ(workbook.err,
            "无法写入文件 " + (dir / "out.xlsx").string() + "：文件过大（超过系统允许的文件大小）\n");
  EXPECT_FALSE(fs::exists(dir / "out.xlsx"));
}

// ---- 9. Targets that are not regular files ---------------------------------------------

TEST(CliFileLayer, OutputsThatAreNotRegularFilesAreRefused) {
  Scratch dir("targets");
  const std::string input = (kSamples / "result-3members-cecs2005.SHA").string();
  // A waveform path that is a folder is neither moved aside nor replaced.
  fs::create_directories(dir / "out.SHD");
  const ProcessResult folder = RunCli({"convert", input, (dir / "out.SHA").string()});
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, "创建SHD文件失败！ " + (dir / "out.SHD").string() + "：Is a directory\n");
  EXPECT_TRUE(fs::is_directory(dir / "out.SHD"));
  EXPECT_FALSE(fs::exists(dir / "out.SHA"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir / ""))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"out.SHD"});

  // A FIFO (or device) is never replaced by a regular file. (The test's own:
  // a faulty export must not replace the system's /dev/null.)
  ASSERT_EQ(mkfifo((dir / "pipe.docx").c_str(), 0600), 0);
  const ProcessResult fifo = RunCli({"export", input, "--docx", (dir / "pipe.docx").string()});
  EXPECT_EQ(fifo.status, 1);
  EXPECT_EQ(fifo.err, "无法写入文件 " + (dir / "pipe.docx").string() + "：not a regular file\n");
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.docx"));
}

// ---- 7. Shared waveform files -----------------------------------------------------------

TEST(CliFileLayer, ResultsOfARawFileNeverReplaceItsWaveforms) {
  Scratch dir("shared");
  CopyPair("raw-1member-cecs2005.SHT", dir / "x.SHT");
  const std::string waves = Read(dir / "x.SHD");
  const std::string message = "无法保存：" + (dir / "x.SHD").string() + " 是 " + (dir / "x.SHT").string() +
                              " 的波形文件，保存 " + (dir / "x.SHA").string() + " 会覆盖它，请换一个文件名\n";
  const ProcessResult convert = RunCli({"convert", (dir / "x.SHT").string(), (dir / "x.SHA").string()});
  EXPECT_EQ(convert.status, 1);
  EXPECT_EQ(convert.err, message);
  const ProcessResult merge = RunCli({"merge", (dir / "x.SHA").string(), (dir / "x.SHT").string()});
  EXPECT_EQ(merge.status, 1);
  EXPECT_EQ(merge.err, message);
  EXPECT_FALSE(fs::exists(dir / "x.SHA"));
  EXPECT_EQ(Read(dir / "x.SHD"), waves);
  EXPECT_EQ(RunCli({"info", (dir / "x.SHT").string()}).status, 0);
}

// ---- 2 and 5. What the format cannot hold ---------------------------------------------------

TEST(CliFileLayer, SavesTheFormatCannotHoldExitWithTheirMessage) {
  Scratch dir("limits");
  const std::string raw = (kSamples / "raw-1member-cecs2005.SHT").string();
  std::vector<std::string> args{"merge", (dir / "many.SHA").string()};
  for (int k = 0; k < 101; ++k) args.push_back(raw);
  const ProcessResult merge = RunCli(args);
  EXPECT_EQ(merge.status, 1);
  EXPECT_EQ(merge.err, "无法保存：数据文件最多能保存100个构件，当前有101个构件\n");
  EXPECT_TRUE(merge.out.empty()) << merge.out;
  EXPECT_FALSE(fs::exists(dir / "many.SHA"));

  const ProcessResult convert =
      RunCli({"convert", (kSamples / "result-3members-cecs2005.SHA").string(), (dir / "three.SHT").string()});
  EXPECT_EQ(convert.status, 1);
  EXPECT_EQ(convert.err,
            "无法保存：原始文件（.SHT）只能保存一个构件，当前有3个构件，请保存为结果文件（.SHA）\n");
  EXPECT_FALSE(fs::exists(dir / "three.SHT"));
}

// A save killed between its renames is finished by the next command that
// reads the pair, which says so: every command reads through the one loader.
TEST(CliFileLayer, ACommandFinishesASaveAKillInterrupted) {
  for (const char* command : {"info", "evaluate"}) {
    SCOPED_TRACE(command);
    Scratch scratch(std::string("killed-") + command);
    const fs::path text = scratch / "x.SHA";
    const fs::path wave = scratch / "x.SHD";
    fs::copy_file(kSamples / "result-3members-cecs2005.SHA", text);
    fs::copy_file(kSamples / "result-3members-cecs2005.SHD", wave);
    const std::string newText = Read(kSamples / "result-7point-cecs2020.SHA");
    const std::string newWave = Read(kSamples / "result-7point-cecs2020.SHD");
    const FileContent group[] = {{text, newText}, {wave, newWave}};
    struct Killed {};
    EXPECT_THROW(ReplaceFiles(group,
                              [](std::size_t renamed) {
                                if (renamed == 1) throw Killed{};
                              }),
                 Killed);
    const ProcessResult result = RunCli({command, text.string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(std::string(kMsgSaveCompleted)), std::string::npos) << result.err;
    EXPECT_EQ(Read(text), newText);
    EXPECT_EQ(Read(wave), newWave);
  }
}

}  // namespace
}  // namespace korvane::testing
