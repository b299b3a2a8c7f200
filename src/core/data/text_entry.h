// Texts typed by the user that end up in the line-oriented data files: a
// line break would split a file line, and some columns have a fixed width.
#pragma once

#include <string_view>

namespace korvane {

// Longest test location a data file holds, in UTF-16 code units.
inline constexpr int kMaxTestLocationLength = 10;

// Whether `utf8` can be stored in a data file field: no line break ('\n',
// '\r', U+2028, U+2029 or the next-line control U+0085) and, when
// `maxUtf16Units` is not negative, at most that many UTF-16 code units.
bool IsStorableText(std::string_view utf8, int maxUtf16Units = -1);

// A typed text as a data file reads it back: without the blanks around it
// (the reader removes them from every keyed value). A project field keeps
// this once it is left, so that the field, the file and a reopened window
// agree.
std::string_view WithoutOuterBlanks(std::string_view utf8);

// Whether two texts are the same when A-Z and a-z count alike and blanks
// are left out ("VKT-U-6" and "vkt-u 6"): how the program compares names
// read from files, whose writers differ in case and padding.
bool SameTextLoosely(std::string_view a, std::string_view b);

}  // namespace korvane
