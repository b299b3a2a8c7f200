// What a file declares against what it holds: texts cut short, waveform
// offsets past 2 GiB, sample counts the waveform file cannot hold, files with
// more members than a save can write. Each gives the whole data, a warning
// that names what is missing, or a message naming the file at fault.
#include <gtest/gtest.h>

#include <fstream>

#include "core/data/file_messages.h"
#include "core/platform/file_system.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

struct Opened {
  std::string error;
  ReadBack back;
};

Opened Open(const FilePair& pair) {
  Opened opened;
  opened.error = ErrorOf([&] {
    ReadTestFile(pair, opened.back.Target(), 0, {},
                 [&opened](std::string_view m) { opened.back.warnings.emplace_back(m); });
  });
  return opened;
}

std::string Joined(const std::vector<std::string>& warnings) {
  std::string all;
  for (const std::string& w : warnings) all += w + "\n";
  return all;
}

// A result file of two members (4 and 3 zones of 3 points) cut at a place
// of its text: what opens, and what the user is told.
TEST(FileLimits, TextCutShortIsNamed) {
  const SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {4, 3});
  const EncodedPair bytes = ResultBytes(d);
  const std::string text = Utf16ToUtf8(DecodeCp936(bytes.text));
  const std::size_t rays = text.find("SI   RATNO");
  ASSERT_NE(rays, std::string::npos);
  // Start of ray row r (0-based), counted from the header line.
  const auto row = [&](std::size_t r) {
    std::size_t at = rays;
    for (std::size_t k = 0; k <= r; ++k) at = text.find("\r\n", at) + 2;
    return at;
  };
  struct Case {
    const char* name;
    std::size_t keep;     // UTF-8 bytes of the text kept
    int zones;            // zones read (-1: refused)
    std::string warning;  // part of the warning, or of the message
  };
  const std::string second = "构件“构件2”";
  const Case cases[] = {
      {"whole", text.size(), 7, ""},
      {"at a zone's end", row(18), 6,
       "结果表列出7个测区，测点表只有6个测区（" + second + "缺1个），保存时缺少的测区将丢失"},
      {"two members' zones lost", row(12), 4, "（" + second + "缺3个）"},
      {"inside a zone's first row", row(18) + 40, 6, "测点表有19行，只读到18行"},
      {"inside a zone", row(20), -1, second + "第3个测区第3个测点没有波形位置（Seek），文件不完整"},
      {"in the result table", rays - 200, -1, "构件“构件1”第1个测区第1个测点没有波形位置（Seek）"},
  };
  TempDir dir;
  const FilePair pair = OpenFilePair(dir / "cut.SHA");
  WriteBytes(pair.wavePath, bytes.wave);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(pair.textPath, EncodeCp936(text.substr(0, c.keep)));
    const Opened opened = Open(pair);
    if (c.zones < 0) {
      // The text is at fault, and named.
      EXPECT_EQ(opened.error.rfind(std::string(kMsgOpenFileFailed) + " " + pair.textPath.string() + "：", 0),
                0U)
          << opened.error;
      EXPECT_NE(opened.error.find(c.warning), std::string::npos) << opened.error;
      continue;
    }
    ASSERT_EQ(opened.error, "");
    std::size_t zones = 0;
    for (const ZoneList& list : opened.back.zoneLists) zones += list.size();
    EXPECT_EQ(zones, static_cast<std::size_t>(c.zones));
    const std::string warnings = Joined(opened.back.warnings);
    if (c.warning.empty()) {
      EXPECT_EQ(warnings, "");
    } else {
      EXPECT_NE(warnings.find(pair.textPath.string() + "：文件不完整"), std::string::npos) << warnings;
      EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    }
  }
}

// Sample counts: one waveform beyond the file names the waveform file (cut,
// or the count too large for it); waveforms that each fit but together
// exceed the file name the text's count, before anything is allocated.
TEST(FileLimits, SampleCountsAgainstTheWaveformFile) {
  const SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2});  // 6 waveforms of 64
  const EncodedPair bytes = ResultBytes(d);
  struct Case {
    const char* count;
    bool textAtFault;
    std::string reason;
  };
  const Case cases[] = {
      {"      64", false, ""},
      {"     300", true, "构件“构件1”的采样点数（DatLen）300与波形文件不符：各波形合计超出波形文件的768字节"},
      {" 9999999", false,
       "构件“构件1”第1个测区第1个测点的波形（位置1，9999999个采样点）超出波形文件（768字节）"},
  };
  TempDir dir;
  const FilePair pair = OpenFilePair(dir / "count.SHA");
  WriteBytes(pair.wavePath, bytes.wave);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    WriteBytes(pair.textPath, EditText(bytes.text, [&](std::string& t) {
                 ReplaceAll(t, "      64   10.00", std::string(c.count) + "   10.00");
               }));
    const Opened opened = Open(pair);
    if (c.reason.empty()) {
      EXPECT_EQ(opened.error, "");
      continue;
    }
    const std::string expected = c.textAtFault ? MessageWithPath(kMsgOpenFileFailed, pair.textPath, c.reason)
                                               : MessageWithPath(kMsgWaveformRead, pair.wavePath, c.reason);
    EXPECT_EQ(opened.error, expected);
  }
}

// Seek holds up to 12 digits: offsets past 2 GiB (and 4 GiB) are read as
// they are, from a sparse waveform file; offsets past its end are refused.
TEST(FileLimits, WaveformOffsetsPastTwoGibibytes) {
  const SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});  // 3 waveforms of 128 bytes
  const EncodedPair bytes = ResultBytes(d);
  TempDir dir;
  const FilePair pair = OpenFilePair(dir / "large.SHA");
  struct Case {
    std::uint64_t base;  // byte offset of the first waveform
    bool reads;
  };
  const Case cases[] = {
      {0, true}, {3'000'000'000ULL, true}, {5'000'000'000ULL, true}, {900'000'000'000ULL, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base);
    WriteBytes(pair.textPath, EditText(bytes.text, [&](std::string& t) {
                 for (int p = 2; p >= 0; --p) {
                   const std::string from = std::to_string(1 + 128 * p);
                   const std::string to = std::to_string(c.base + 1 + 128 * static_cast<std::uint64_t>(p));
                   ReplaceAll(t, std::string(12 - from.size(), ' ') + from + "      ",
                              std::string(12 - to.size(), ' ') + to + "      ");
                 }
               }));
    ASSERT_NE(Utf16ToUtf8(DecodeCp936(FileBytes(pair.textPath))).find(std::to_string(c.base + 257)),
              std::string::npos);
    {
      std::ofstream wave(pair.wavePath, std::ios::binary | std::ios::trunc);
      wave.seekp(static_cast<std::streamoff>(std::min<std::uint64_t>(c.base, 6'000'000'000ULL)));
      wave.write(bytes.wave.data(), static_cast<std::streamsize>(bytes.wave.size()));
    }
    const Opened opened = Open(pair);
    if (!c.reads) {
      EXPECT_EQ(opened.error.rfind(std::string(kMsgWaveformRead) + " " + pair.wavePath.string(), 0), 0U)
          << opened.error;
      continue;
    }
    ASSERT_EQ(opened.error, "");
    const ReadBack plain = Read(bytes, FileKind::Result);
    ExpectSameZoneLists(plain.zoneLists, opened.back.zoneLists);
  }
}

// The reader takes files of more members than a save can write, and says so.
TEST(FileLimits, MoreMembersThanASaveHolds) {
  std::string corpus;
  ASSERT_FALSE(
      platform::ReadRegularFile(fs::path(KORVANE_FUZZ_DIR) / "corpus/reader/result-101-members", corpus));
  const std::size_t length = static_cast<unsigned char>(corpus[1]) |
                             (static_cast<unsigned char>(corpus[2]) << 8) |
                             (static_cast<unsigned char>(corpus[3]) << 16);
  const EncodedPair bytes{corpus.substr(5, length), corpus.substr(5 + length)};
  const ReadBack back = Read(bytes, FileKind::Result);
  EXPECT_EQ(back.members.size(), 101U);
  EXPECT_EQ(Joined(back.warnings), "此文件有101个构件，保存时最多100个\n");
}

}  // namespace
}  // namespace korvane::testing
