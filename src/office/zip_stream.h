// A zip archive written front to back into one file, each entry deflated as
// it is produced: the disk holds only the compressed archive, and memory
// one chunk of an entry at a time, however large the entries grow. Sizes
// and offsets past 4 GiB are written in the ZIP64 form.
//
// Every failure throws std::runtime_error with the system's reason (a full
// disk, a file size limit); the caller removes the partial file (it is
// written into a temporary file that replaces the target only when whole).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::office {

class ZipStream {
 public:
  // Creates or truncates `path`.
  explicit ZipStream(const std::filesystem::path& path);
  ZipStream(const ZipStream&) = delete;
  ZipStream& operator=(const ZipStream&) = delete;

  // An entry whose content is `bytes`.
  void Add(const std::string& name, std::string_view bytes);
  // An entry made piece by piece: `next` fills `chunk` (emptied before each
  // call) and returns false when the entry is complete (a last piece in
  // `chunk` is still written).
  void Add(const std::string& name, const std::function<bool(std::string& chunk)>& next);
  // Writes the central directory and flushes the file. No entry may follow.
  void Finish();

 private:
  struct Entry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint64_t compressed = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;  // of its local header
  };
  void Write(const void* data, std::size_t size);
  void Check();

  std::filesystem::path path_;
  std::ofstream out_;
  std::uint64_t position_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace korvane::office
