// The system's code page 936 table behind DecodeCp936 and EncodeCp936
// (text_encoding.h): the C library's iconv on Linux, the Win32 conversion
// functions on Windows (code_page_936_iconv.cpp, code_page_936_win32.cpp).
// Both give the same result for every input: where the Windows table maps
// codes into the Private Use Area (U+E000..U+F8FF: the user-defined rows
// AAA1..AFFE, F8A1..FEFE, A140..A7A0 and byte 0xFF), which iconv rejects,
// the Windows side rejects them too, in both directions. Internal to the
// core's text encoding.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace korvane::detail {

// Decodes one run of bytes as DecodeCp936 cuts them (bytes 0x80..0xFF, each
// lead byte 0x81..0xFE with the byte after it), appending UTF-16 to `out`. A
// byte that does not start a valid character becomes one '?' and decoding
// goes on with the next byte.
class Cp936Decoder {
 public:
  Cp936Decoder();
  ~Cp936Decoder();
  Cp936Decoder(const Cp936Decoder&) = delete;
  Cp936Decoder& operator=(const Cp936Decoder&) = delete;
  void AppendRun(std::string_view run, std::u16string& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Encodes one run of UTF-8 bytes 0x80..0xFF, appending code page 936 to
// `out`. A character that code page 936 cannot hold becomes one '?', and so
// does every byte that is not valid UTF-8 (NextUtf8CodePoint's steps).
class Cp936Encoder {
 public:
  Cp936Encoder();
  ~Cp936Encoder();
  Cp936Encoder(const Cp936Encoder&) = delete;
  Cp936Encoder& operator=(const Cp936Encoder&) = delete;
  void AppendRun(std::string_view utf8, std::string& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Decodes the UTF-8 character at text[i] and advances i past it; invalid
// input (overlong forms, surrogates, values above U+10FFFF, a cut sequence)
// gives U+FFFD and advances by one byte.
char32_t NextUtf8CodePoint(std::string_view text, std::size_t& i);

}  // namespace korvane::detail
