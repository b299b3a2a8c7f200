// File names as the core's UTF-8 text and back. A std::filesystem::path made
// from a plain std::string takes the bytes in the system's narrow encoding:
// UTF-8 on Linux, but the ANSI code page on Windows, which cannot hold every
// Chinese name. These two never go through the narrow encoding: on Windows
// the path holds UTF-16 and reaches the wide file functions unchanged.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// Linux: the bytes as they are (a file name is any bytes). Windows: UTF-8 to
// UTF-16; an invalid UTF-8 byte becomes U+FFFD. Never throws a conversion
// error.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// Linux: the bytes of the name. Windows: UTF-16 to UTF-8; an unpaired
// surrogate (which Windows allows in names) becomes U+FFFD.
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace korvane
