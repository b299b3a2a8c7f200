#include "office/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "core/error.h"

namespace korvane::office {
namespace {

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

[[noreturn]] void Fail(const std::filesystem::path& target, const std::string& cause) {
  throw KorvaneError("无法写入文件 " + PathText(target) + "：" + cause);
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device device;
  std::mt19937_64 generator((static_cast<unsigned long long>(device()) << 32) ^ device());
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[17];
    const unsigned long long value = generator();
    for (int k = 0; k < 16; ++k) suffix[k] = "0123456789abcdef"[(value >> (4 * k)) & 0xF];
    suffix[16] = '\0';
    std::filesystem::path candidate = folder / target.filename();
    candidate += std::string(".") + suffix + ".tmp";
    std::error_code ignored;
    if (!std::filesystem::exists(candidate, ignored)) return candidate;
  }
  Fail(target, "no free temporary name");
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path& temporary)>& write) {
  if (target.empty() || !target.has_filename()) Fail(target, "no file name");
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) Fail(target, "the path is a folder");
  const std::filesystem::path temporary = TemporaryBeside(target);
  {
    // Creating the file first reports a folder that is missing or read-only
    // before any writer starts (some libraries print their own complaints).
    errno = 0;
    std::ofstream probe(temporary, std::ios::binary);
    if (!probe) Fail(target, errno != 0 ? std::strerror(errno) : "cannot create a file in its folder");
  }
  try {
    write(temporary);
  } catch (const std::exception& cause) {
    std::filesystem::remove(temporary, error);
    Fail(target, cause.what());
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    Fail(target, error.message());
  }
}

}  // namespace korvane::office
