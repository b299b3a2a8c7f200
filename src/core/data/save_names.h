// Names a save proposes for a data file pair: x.SHT and x.SHA share x.SHD,
// so a pair written under a name can overwrite the waveform file of another
// data file.
#pragma once

#include <filesystem>

namespace korvane {

// `textPath` itself when writing a pair there overwrites the waveform file of
// no other existing data file (OtherTextSharingWaveform is empty); else the
// first of "stem(2).ext", "stem(3).ext", … (up to 999), in the same folder,
// that overwrites none; `textPath` when none of those is free either.
std::filesystem::path FreeSaveName(const std::filesystem::path& textPath);

}  // namespace korvane
