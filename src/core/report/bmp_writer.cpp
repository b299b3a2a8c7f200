#include "core/report/bmp_writer.h"

#include <algorithm>

#include "core/platform/error.h"
#include "core/platform/file_replace.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"

namespace korvane::report {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

int RoundUp4(int value) { return (value + 3) / 4 * 4; }

}  // namespace

MonochromeBitmap::MonochromeBitmap(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(RoundUp4((width_ + 7) / 8)) {
  // White pixels, zero padding bits.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(stride_), 0);
  std::fill(row.begin(), row.begin() + width_ / 8, std::uint8_t{0xFF});
  if (width_ % 8 != 0)
    row[static_cast<std::size_t>(width_ / 8)] = static_cast<std::uint8_t>(0xFF00u >> (width_ % 8));
  bits_.reserve(row.size() * static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) bits_.insert(bits_.end(), row.begin(), row.end());
}

void MonochromeBitmap::Set(int x, int y, bool black) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t& byte = bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_) +
                             static_cast<std::size_t>(x / 8)];
  const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
  if (black) {
    byte = static_cast<std::uint8_t>(byte & ~mask);
  } else {
    byte = static_cast<std::uint8_t>(byte | mask);
  }
}

bool MonochromeBitmap::IsBlack(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  const std::uint8_t byte = bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_) +
                                  static_cast<std::size_t>(x / 8)];
  return (byte & (0x80u >> (x % 8))) == 0;
}

std::uint32_t CBMPOut::ImageSize(const MonochromeBitmap& bitmap) {
  return static_cast<std::uint32_t>(bitmap.stride()) * static_cast<std::uint32_t>(RoundUp4(bitmap.height()));
}

std::vector<std::uint8_t> CBMPOut::Encode(const MonochromeBitmap& bitmap) {
  const std::uint32_t imageSize = ImageSize(bitmap);
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderBytes + imageSize);
  // File header.
  Put16(out, 19778);  // "BM"
  Put32(out, kHeaderBytes + imageSize);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, kHeaderBytes);
  // Information header.
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(bitmap.width()));
  Put32(out, static_cast<std::uint32_t>(bitmap.height()));
  Put16(out, 1);  // planes
  Put16(out, 1);  // bits per pixel
  Put32(out, 0);  // no compression
  Put32(out, imageSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 2);  // colours used
  Put32(out, 0);
  // Palette: 0 black, 1 white (blue, green, red, reserved).
  Put32(out, 0x00000000);
  Put32(out, 0x00FFFFFF);
  // Rows bottom-up: the file's first row is the image's bottom row.
  const auto stride = static_cast<std::size_t>(bitmap.stride());
  for (int y = bitmap.height() - 1; y >= 0; --y) {
    const auto begin =
        bitmap.bits().begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * stride);
    out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(stride));
  }
  out.resize(kHeaderBytes + imageSize, 0);
  return out;
}

std::error_code CBMPOut::Write(const std::filesystem::path& path, const MonochromeBitmap& bitmap) {
  const std::vector<std::uint8_t> bytes = Encode(bitmap);
  return ReplaceFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string BmpWriteFailureMessage(const std::filesystem::path& path, const std::error_code& reason) {
  return std::string(kMsgBmpWriteError) + " " +
         MessageWithPath(kMsgCannotWriteFile, path, platform::ReasonText(reason));
}

std::string BmpBatchWrittenMessage(int pages, const std::filesystem::path& folder) {
  return "已写入" + std::to_string(pages) + "页BMP文件：" + PathToUtf8(folder);
}

bool CBMPOut::Save(const std::filesystem::path& path, const MonochromeBitmap& bitmap) {
  return !Write(path, bitmap);
}

}  // namespace korvane::report
