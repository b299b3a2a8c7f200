// Helpers shared by the system-specific files of the platform unit
// (file_system_posix.cpp, file_system_win32.cpp). Internal to it.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "core/platform/file_system.h"

namespace korvane::platform::detail {

inline constexpr int kMaxLinks = 40;
inline constexpr int kNameAttempts = 100;

// Short names that start with a dot (hidden in Unix file listings): ".kv"
// and ten hexadecimal digits and ".tmp", so that a name near the length
// limit still has room beside it. ASCII, so the same on every system.
std::string UniqueName(std::mt19937_64& generator);
bool IsUniqueName(const std::string& name);
// A generator seeded from the system's random source, the time, the process
// and a counter, so that processes and threads draw different names.
std::mt19937_64 NameGenerator();
// `name` in `folder` (the current folder when empty).
Path InFolder(const Path& folder, const std::string& name);

// The id of the running process (defined per system).
std::uint64_t ProcessId();

}  // namespace korvane::platform::detail
