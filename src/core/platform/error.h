// Failures of the core carry the system's own (Chinese, UTF-8) message text.
// The core never shows or prints them: the caller does (message box in the
// desktop program, stderr in the command-line tool).
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/platform/path_text.h"

namespace korvane {

// Raised by file reading and writing; what() is the message to show.
class KorvaneError : public std::runtime_error {
 public:
  explicit KorvaneError(const std::string& message) : std::runtime_error(message) {}
};

// A stated message followed by what it concerns: "<message> <path>", and
// "：<reason>" (the system's reason) when there is one.
inline std::string MessageWithPath(std::string_view message, const std::filesystem::path& path,
                                   std::string_view reason = {}) {
  std::string text(message);
  text += ' ';
  text += PathToUtf8(path);
  if (!reason.empty()) {
    text += "：";
    text += reason;
  }
  return text;
}

// Channel for non-fatal messages (for instance a number text that is too
// long). The operation goes on after the call. An empty sink drops them.
using WarningSink = std::function<void(std::string_view message)>;

}  // namespace korvane
