// UTF-8 and UTF-16, the two forms of Unicode text the program handles: the
// core's strings are UTF-8, the file reader and Windows file names UTF-16.
// Invalid input never throws: it becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Length of the UTF-8 sequence that starts with `lead` (1 for an invalid
// lead byte).
std::size_t Utf8SequenceLength(unsigned char lead);
// Decodes one UTF-8 character at text[i] (i < text.size()) and advances i.
// Invalid input (a bad lead or continuation byte, a sequence cut by the end,
// overlong forms, surrogates, values above U+10FFFF) gives U+FFFD and
// advances by one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& i);
// Appends code point `cp` (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; an invalid byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace korvane
