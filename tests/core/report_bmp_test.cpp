#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/report/bmp_writer.h"
#include "support/temp_dir.h"

namespace korvane::report {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}
std::uint32_t U16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | (bytes[offset + 1] << 8);
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ReportBmp, HeaderOfAPageCanvas) {
  const MonochromeBitmap bitmap(1030, 1400);
  EXPECT_EQ(bitmap.stride(), 132);
  const std::vector<std::uint8_t> file = CBMPOut::Encode(bitmap);
  ASSERT_EQ(file.size(), 184862u);

  struct Field {
    std::size_t offset;
    int size;
    std::uint32_t value;
  };
  const std::vector<Field> fields = {
      {0, 2, 19778}, {2, 4, 184862}, {6, 2, 0},  {8, 2, 0},  {10, 4, 62}, {14, 4, 40},
      {18, 4, 1030}, {22, 4, 1400},  {26, 2, 1}, {28, 2, 1}, {30, 4, 0},  {34, 4, 184800},
      {38, 4, 0},    {42, 4, 0},     {46, 4, 2}, {50, 4, 0}, {54, 4, 0},  {58, 4, 0x00FFFFFF}};
  for (const Field& field : fields) {
    EXPECT_EQ(field.size == 2 ? U16(file, field.offset) : U32(file, field.offset), field.value)
        << "offset " << field.offset;
  }
  // A white row: 128 bytes of 0xFF, then 6 white pixels (0xFC), then padding.
  EXPECT_EQ(file[62], 0xFF);
  EXPECT_EQ(file[62 + 128], 0xFC);
  EXPECT_EQ(file[62 + 129], 0x00);
  EXPECT_EQ(file[62 + 131], 0x00);
}

TEST(ReportBmp, RowsAreWrittenBottomUpMostSignificantBitFirst) {
  MonochromeBitmap bitmap(16, 3);
  bitmap.Set(0, 2, true);   // bottom row, leftmost pixel
  bitmap.Set(9, 0, true);   // top row, second byte, second bit
  bitmap.Set(99, 0, true);  // outside: ignored
  EXPECT_TRUE(bitmap.IsBlack(0, 2));
  EXPECT_FALSE(bitmap.IsBlack(-1, 0));
  const std::vector<std::uint8_t> file = CBMPOut::Encode(bitmap);
  // Height 3 is sized as 4 rows of 4 bytes.
  EXPECT_EQ(U32(file, 34), 16u);
  ASSERT_EQ(file.size(), 62u + 16u);
  EXPECT_EQ(file[62], 0x7F);  // first file row = bottom image row
  EXPECT_EQ(file[63], 0xFF);
  EXPECT_EQ(file[62 + 4], 0xFF);  // middle row white
  EXPECT_EQ(file[62 + 8], 0xFF);  // top row
  EXPECT_EQ(file[62 + 9], 0xBF);
  for (int i = 12; i < 16; ++i) EXPECT_EQ(file[62 + static_cast<std::size_t>(i)], 0x00);  // padding row
}

TEST(ReportBmp, SaveReplacesOnlyWhenComplete) {
  const testing::TempDir scratch("korvane-bmp");
  const std::filesystem::path& folder = scratch.path();
  const std::filesystem::path path = folder / "page.bmp";
  {
    std::ofstream old(path, std::ios::binary);
    old << "old contents";
  }
  MonochromeBitmap bitmap(10, 2);
  bitmap.Set(3, 1, true);
  ASSERT_TRUE(CBMPOut::Save(path, bitmap));
  EXPECT_EQ(ReadFile(path), CBMPOut::Encode(bitmap));
  EXPECT_FALSE(std::filesystem::exists(folder / "page.bmp.part"));

  EXPECT_FALSE(CBMPOut::Save(folder / "missing" / "page.bmp", bitmap));
  EXPECT_FALSE(CBMPOut::Save({}, bitmap));
}

TEST(ReportBmp, EmptyBitmap) {
  const MonochromeBitmap empty(-5, 0);
  EXPECT_EQ(empty.width(), 0);
  EXPECT_EQ(CBMPOut::Encode(empty).size(), 62u);
}

}  // namespace
}  // namespace korvane::report
