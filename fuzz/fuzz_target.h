// The entry point every fuzz target defines (libFuzzer's; the replay driver
// calls it for each stored input).
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
