#include "cli/cli_process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include "core/platform/path_text.h"
#include "support/temp_dir.h"
#endif

namespace korvane::testing {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

#ifdef _WIN32

// One argument as the C runtime's command-line parser reads it back:
// quoted when it has a blank or quote, backslashes doubled before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE InheritableFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

}  // namespace

#ifdef _WIN32
// The tool is started with CreateProcessW (arguments as UTF-16, quoted for
// the C runtime); its output goes to files of a scratch folder.
ProcessResult RunCli(const std::vector<std::string>& args) {
  const TempDir scratch("korvane-cli-run");
  const std::filesystem::path program = PathFromUtf8(KORVANE_CLI_PATH);
  std::wstring command = QuoteArgument(program.wstring());
  for (const std::string& arg : args) command += L" " + QuoteArgument(PathFromUtf8(arg).wstring());
  ProcessResult result;
  const HANDLE out = InheritableFile(scratch / "out");
  const HANDLE err = InheritableFile(scratch / "err");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    result.status = static_cast<int>(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  result.out = ReadAll(scratch / "out");
  result.err = ReadAll(scratch / "err");
  return result;
}
#else
ProcessResult RunCli(const std::vector<std::string>& args) {
  char outTemplate[] = "/tmp/korvane-cli-out-XXXXXX";
  char errTemplate[] = "/tmp/korvane-cli-err-XXXXXX";
  const int outFd = mkstemp(outTemplate);
  const int errFd = mkstemp(errTemplate);
  ProcessResult result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    std::vector<char*> argv;
    std::string program = KORVANE_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(outFd);
  close(errFd);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(outTemplate);
  result.err = ReadAll(errTemplate);
  std::remove(outTemplate);
  std::remove(errTemplate);
  return result;
}
#endif

}  // namespace korvane::testing
