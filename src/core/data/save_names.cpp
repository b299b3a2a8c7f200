#include "core/data/save_names.h"

#include <string>

#include "core/data/file_pair.h"

namespace korvane {

std::filesystem::path FreeSaveName(const std::filesystem::path& textPath) {
  if (OtherTextSharingWaveform(textPath).empty()) return textPath;
  const std::filesystem::path folder = textPath.parent_path();
  const std::string stem = textPath.stem().string();
  const std::string extension = textPath.extension().string();
  for (int n = 2; n <= 999; ++n) {
    std::string name = stem;
    name += "(" + std::to_string(n) + ")";
    name += extension;
    std::filesystem::path candidate = folder / name;
    if (OtherTextSharingWaveform(candidate).empty()) return candidate;
  }
  return textPath;
}

}  // namespace korvane
