// An environment variable (UTF-8) set or cleared for one test and put back
// when the object goes; on Windows through the wide environment, which the
// programs read there and child processes inherit.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/platform/unicode_text.h"

namespace korvane::testing {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    old_ = Get(name);
    Set(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  ~ScopedEnv() { Set(name_, old_); }

 private:
#ifdef _WIN32
  // The wide environment, which the program reads on Windows.
  static std::wstring Wide(const std::string& text) {
    const std::u16string units = Utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
  }
  static std::optional<std::string> Get(const char* name) {
    const wchar_t* value = _wgetenv(Wide(name).c_str());
    if (value == nullptr) return std::nullopt;
    const std::wstring_view view(value);
    return Utf16ToUtf8(std::u16string(view.begin(), view.end()));
  }
  // An empty value removes the variable.
  static void Set(const char* name, const std::optional<std::string>& value) {
    _wputenv_s(Wide(name).c_str(), value ? Wide(*value).c_str() : L"");
  }
#else
  static std::optional<std::string> Get(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
#endif

  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace korvane::testing
