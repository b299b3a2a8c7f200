#include "core/data/text_encoding.h"

#include <cstdint>
#include <cstring>

#include "core/data/code_page_936.h"
#include "core/platform/unicode_text.h"

namespace korvane {
namespace {

template <typename AsciiUnit>
std::u16string Decode(std::string_view bytes, AsciiUnit asciiUnit) {
  std::u16string out;
  out.reserve(bytes.size());
  detail::Cp936Decoder decoder;
  std::size_t i = 0;
  while (i < bytes.size()) {
    // ASCII runs (most of the files) are widened directly.
    std::size_t ascii = i;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      const std::size_t at = out.size();
      out.resize(at + (ascii - i));
      char16_t* dst = out.data() + at;
      for (std::size_t k = i; k < ascii; ++k) *dst++ = asciiUnit(static_cast<unsigned char>(bytes[k]));
      i = ascii;
      continue;
    }
    // A run of double-byte characters: lead bytes 0x81..0xFE take the next
    // byte with them (trail bytes may be in the ASCII range).
    std::size_t end = i;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80) {
      const auto lead = static_cast<unsigned char>(bytes[end]);
      end += (lead >= 0x81 && lead <= 0xFE && end + 1 < bytes.size()) ? 2 : 1;
    }
    if (end > bytes.size()) end = bytes.size();
    decoder.AppendRun(bytes.substr(i, end - i), out);
    i = end;
  }
  return out;
}

}  // namespace

std::u16string DecodeCp936(std::string_view bytes) {
  return Decode(bytes, [](unsigned char c) { return static_cast<char16_t>(c); });
}

std::u16string DecodeCp936(std::string_view bytes, const char16_t (&asciiMap)[128]) {
  return Decode(bytes, [&asciiMap](unsigned char c) { return asciiMap[c]; });
}

std::string EncodeCp936(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  detail::Cp936Encoder encoder;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
    encoder.AppendRun(utf8.substr(i, end - i), out);
    i = end;
  }
  return out;
}

namespace detail {
char32_t NextUtf8CodePoint(std::string_view text, std::size_t& i) { return NextCodePoint(text, i); }
}  // namespace detail

std::string Cp936Representable(std::string_view utf8) { return Utf16ToUtf8(DecodeCp936(EncodeCp936(utf8))); }

bool IsUtf8Text(std::string_view bytes) {
  bool wide = false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Runs of ASCII (most of a data file) eight bytes at a time.
    std::uint64_t word = 0;
    if (i + 8 <= bytes.size() &&
        (std::memcpy(&word, bytes.data() + i, 8), (word & 0x8080808080808080ull) == 0)) {
      i += 8;
      continue;
    }
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(lead);
    if (length == 1 || i + length > bytes.size()) return false;
    std::size_t next = i;
    const char32_t cp = NextCodePoint(bytes, next);
    // NextCodePoint gives U+FFFD for invalid input after one byte; a real
    // U+FFFD takes three.
    if (next != i + length || (cp == 0xFFFD && length != 3)) return false;
    wide = true;
    i = next;
  }
  return wide;
}

std::u16string DecodeUtf8(std::string_view bytes, const char16_t (&asciiMap)[128]) {
  std::u16string out = Utf8ToUtf16(bytes);
  for (char16_t& unit : out) {
    if (unit < 128) unit = asciiMap[unit];
  }
  return out;
}

}  // namespace korvane
