// Conversions between the core's UTF-8 strings, the UTF-16 text the file
// reader works on (file columns are counted in UTF-16 code units), and code
// page 936, the encoding of the instrument's data files.
//
// Code page 936 goes through the system's table: the C library's iconv
// ("CP936", glibc's GBK table) on Linux, the Win32 conversion functions on
// Windows, with the same result on both (code_page_936.h): 0x80 decodes as
// the euro sign, every double-byte code round-trips, and the user-defined
// rows are not characters.
#pragma once

#include <string>
#include <string_view>

#include "core/platform/unicode_text.h"

namespace korvane {

// Code page 936 bytes to UTF-16. A byte sequence that is not valid code page
// 936 becomes one '?' per offending byte; decoding then goes on with the next
// byte, so an invalid lead byte never swallows a following CR or LF.
std::u16string DecodeCp936(std::string_view bytes);
// The same, with every ASCII byte b (0..127) decoded as asciiMap[b] instead
// (the file reader lowers A-Z and reads NUL as a blank in the same pass).
std::u16string DecodeCp936(std::string_view bytes, const char16_t (&asciiMap)[128]);

// UTF-8 to code page 936. A character that code page 936 cannot hold (and an
// invalid UTF-8 byte) is written as '?'.
std::string EncodeCp936(std::string_view utf8);

// The text as it reads back after a trip through code page 936: characters
// that the code page cannot hold replaced by '?'.
std::string Cp936Representable(std::string_view utf8);

// Whether `bytes` are UTF-8 text rather than code page 936: valid UTF-8
// throughout (no overlong forms, surrogates or values above U+10FFFF) with
// at least one character outside ASCII. Code page 936 text with Chinese
// characters is practically never valid UTF-8; ASCII-only text reads the
// same either way.
bool IsUtf8Text(std::string_view bytes);
// UTF-8 to UTF-16 with every ASCII byte b decoded as asciiMap[b] (as
// DecodeCp936 does); an invalid byte becomes U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes, const char16_t (&asciiMap)[128]);

}  // namespace korvane
