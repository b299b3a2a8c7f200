// Code page 936 through the Win32 conversion functions (MultiByteToWideChar,
// WideCharToMultiByte), with iconv's results (code_page_936.h): codes that
// Windows maps into the Private Use Area are rejected, best-fit mappings are
// off, and a rejected code is replaced one byte (decoding) or one character
// (encoding) at a time, as the iconv side does.
#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#include <windows.h>

#include "core/data/code_page_936.h"

namespace korvane::detail {
namespace {

constexpr UINT kCodePage = 936;

bool InPrivateUseArea(char32_t unit) { return unit >= 0xE000 && unit <= 0xF8FF; }

// The whole run in one call when every byte of it is valid and nothing lands
// in the Private Use Area; false (and `out` unchanged) otherwise.
bool DecodeWhole(std::string_view run, std::u16string& out) {
  const int length = static_cast<int>(run.size());
  const int units = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data(), length, nullptr, 0);
  if (units <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(units));
  MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data(), length,
                      reinterpret_cast<wchar_t*>(out.data() + at), units);
  for (std::size_t k = at; k < out.size(); ++k) {
    if (InPrivateUseArea(out[k])) {
      out.resize(at);
      return false;
    }
  }
  return true;
}

// One character of one or two bytes; 0 when it is not valid.
char16_t DecodeOne(std::string_view bytes) {
  wchar_t unit = 0;
  const int units = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(bytes.size()), &unit, 1);
  if (units != 1 || InPrivateUseArea(unit)) return 0;
  return static_cast<char16_t>(unit);
}

// Appends the code page 936 bytes of one BMP character; false when the code
// page cannot hold it.
bool EncodeOne(char32_t cp, std::string& out) {
  if (cp >= 0x10000 || (cp >= 0xD800 && cp <= 0xDFFF) || InPrivateUseArea(cp)) return false;
  const auto unit = static_cast<wchar_t>(cp);
  char bytes[4];
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes,
                                         nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  out.append(bytes, static_cast<std::size_t>(length));
  return true;
}

}  // namespace

struct Cp936Decoder::State {};

Cp936Decoder::Cp936Decoder() = default;
Cp936Decoder::~Cp936Decoder() = default;

void Cp936Decoder::AppendRun(std::string_view run, std::u16string& out) {
  if (run.empty() || DecodeWhole(run, out)) return;
  std::size_t pos = 0;
  while (pos < run.size()) {
    const auto lead = static_cast<unsigned char>(run[pos]);
    if (lead < 0x80) {  // a byte after a rejected lead byte
      out.push_back(lead);
      ++pos;
      continue;
    }
    const std::size_t length = (lead >= 0x81 && lead <= 0xFE && pos + 1 < run.size()) ? 2 : 1;
    const char16_t unit = DecodeOne(run.substr(pos, length));
    if (unit != 0) {
      out.push_back(unit);
      pos += length;
    } else {
      out.push_back(u'?');
      ++pos;
    }
  }
}

struct Cp936Encoder::State {};

Cp936Encoder::Cp936Encoder() = default;
Cp936Encoder::~Cp936Encoder() = default;

void Cp936Encoder::AppendRun(std::string_view utf8, std::string& out) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t start = i;
    const char32_t cp = NextUtf8CodePoint(utf8, i);
    const bool invalid = cp == 0xFFFD && i - start == 1;
    if (invalid || !EncodeOne(cp, out)) out.push_back('?');
  }
}

}  // namespace korvane::detail

#endif  // _WIN32
