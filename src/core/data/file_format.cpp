#include "core/data/file_format.h"

#include <span>

namespace korvane::file_format {
namespace {

std::string Joined(std::span<const FileColumn> columns) {
  std::string line;
  for (const FileColumn& column : columns) line.append(column.header);
  return line;
}

}  // namespace

std::string SectionHeader(bool raw) {
  if (!raw) return Joined(kSectionColumns);
  std::string line = Joined(std::span(kSectionColumns).first(kSectionRawColumns));
  for (std::size_t k = kSectionRawColumns; k < std::size(kSectionColumns); ++k)
    line.append(kSectionFiller.header);
  return line;
}

std::string ResultHeader() { return Joined(kResultColumns); }

std::string RayHeader() { return Joined(kRayColumns); }

}  // namespace korvane::file_format
