#include "core/platform/path_text.h"

#include "core/platform/unicode_text.h"

namespace korvane {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows paths are UTF-16");

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}
#else
std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }
#endif

}  // namespace korvane
