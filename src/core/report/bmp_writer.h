// Monochrome Windows bitmap files (1 bit per pixel, palette entry 0 black,
// entry 1 white) of report pages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace korvane::report {

inline constexpr std::string_view kMsgBmpWriteError = "error!";

// "error! 无法写入文件 <path>：<reason>": a page that could not be written.
std::string BmpWriteFailureMessage(const std::filesystem::path& path, const std::error_code& reason);
// "已写入N页BMP文件：<folder>": the end of a batch of pages written at once.
std::string BmpBatchWrittenMessage(int pages, const std::filesystem::path& folder);

// A 1-bit image, rows top to bottom, each row `stride()` bytes, the leftmost
// pixel in the most significant bit. Bit value 1 is white, 0 black. Padding
// bits at the end of a row are 0.
class MonochromeBitmap {
 public:
  MonochromeBitmap() = default;
  // All pixels white. Negative sizes are taken as 0.
  MonochromeBitmap(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  // Bytes per row: ceil(width / 8) raised to the next multiple of 4.
  int stride() const { return stride_; }
  const std::vector<std::uint8_t>& bits() const { return bits_; }

  // Out-of-range coordinates are ignored (Set) or read as white (IsBlack).
  void Set(int x, int y, bool black);
  bool IsBlack(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

// Writer of the monochrome bitmap file: 14-byte file header, 40-byte
// information header, two palette entries, then the rows bottom-up. The
// image-size field and the pixel block hold stride x (height raised to the
// next multiple of 4) bytes; the rows beyond the height are zero.
class CBMPOut {
 public:
  static constexpr int kHeaderBytes = 62;

  // Bytes of the pixel block: stride x height rounded up to a multiple of 4.
  static std::uint32_t ImageSize(const MonochromeBitmap& bitmap);
  // The whole file.
  static std::vector<std::uint8_t> Encode(const MonochromeBitmap& bitmap);
  // Writes the file; a previous file at `path` is replaced only once the new
  // one is complete (core/platform/file_replace.h). Returns the system's
  // reason when it cannot be written (the caller shows kMsgBmpWriteError or
  // its own message).
  static std::error_code Write(const std::filesystem::path& path, const MonochromeBitmap& bitmap);
  // The same; false when it cannot be written.
  static bool Save(const std::filesystem::path& path, const MonochromeBitmap& bitmap);
};

}  // namespace korvane::report
