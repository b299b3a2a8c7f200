#include "core/app/settings_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/app/korvane_doc.h"
#include "core/data/text_encoding.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using korvane::testing::ScopedEnv;

// Expected file content, put together byte by byte.
class Bytes {
 public:
  Bytes& Int(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
  Bytes& Float(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return U32(bits);
  }
  // Texts shorter than 255 code units.
  Bytes& Text(std::u16string_view text) {
    Raw({0xFF, 0xFE, 0xFF, static_cast<std::uint8_t>(text.size())});
    for (char16_t unit : text) U16(unit);
    return *this;
  }
  Bytes& Raw(std::initializer_list<std::uint8_t> raw) {
    for (std::uint8_t b : raw) out.push_back(static_cast<char>(b));
    return *this;
  }
  std::string out;

 private:
  Bytes& U16(std::uint16_t v) {
    return Raw({static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)});
  }
  Bytes& U32(std::uint32_t v) {
    return Raw({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
  }
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class SettingsFileTest : public ::testing::Test {
 protected:
  const testing::TempDir scratch_{"korvane-settings"};
  const fs::path& dir_ = scratch_.path();
};

// Every stored value changed from its default; Chinese texts, a text of 300
// code units (16-bit length) and one beyond the BMP (surrogate pair).
void SetNonDefaults(CKorvaneDoc& doc) {
  doc.project.instrument = "VKT-U6 超声回弹";
  doc.project.site = "某某大桥工程";
  doc.project.testDate = "2023-11-7";
  doc.project.unit = "检测中心𠀀";
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "测";
  doc.project.person = longText;
  doc.project.delay = 1.25f;
  doc.project.reserved = -7;
  doc.project.castingDate = "2023-1-31";
  doc.project.testMethod = TestMethod::Direct;
  doc.project.spot = "底面";
  doc.project.beta = 0.95f;
  doc.project.lambda = 1.05f;
  doc.project.eta = 0.875f;
  // Every print setting away from its default, within its dialog range.
  PrintSettings& p = doc.printSettings;
  p = PrintSettings{1, 1, 1, 0, 1, 7, 3, 21, 22, 23, 24, 2, 5, 1, 8, 1, 4, {}, 9, 2, 3, {}};
  p.headerText = "页眉 header";
  p.footerText = "页脚";
  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i)
    doc.reportInfo.field(i) = "字段" + std::to_string(i);
  doc.infoBarWidth = 301;
  doc.spareBarWidth = -1;
  doc.analysisBarWidth = 333;
}

TEST_F(SettingsFileTest, DefaultsAreWrittenByteForByte) {
  CKorvaneDoc doc;
  doc.project.testDate = "2022-3-5";  // the date defaults are today's; fix them
  doc.project.castingDate = "2022-3-5";

  Bytes expected;
  expected.Text(u"").Text(u"").Text(u"2022-3-5").Text(u"").Text(u"");
  expected.Float(0.0f).Int(0).Text(u"2022-3-5").Int(1).Text(u"侧面");
  expected.Float(0.0f).Float(0.0f).Float(1.0f);
  expected.Int(0).Int(0).Int(0).Int(1).Int(0).Int(4).Int(2).Int(20).Int(20).Int(15).Int(15);
  expected.Int(0).Int(1).Int(0).Int(5).Int(0).Int(0).Text(u"").Int(5).Int(0).Int(0).Text(u"");
  expected.Text(u"5");
  for (int i = 1; i < 22; ++i) expected.Text(u"");
  expected.Int(220).Int(220).Int(220);

  const fs::path path = dir_ / "korvane.ini";
  ASSERT_TRUE(SaveSettings(doc, path));
  EXPECT_EQ(ReadFile(path), expected.out);
  // The opening bytes spelled out: empty instrument text, then the site's.
  EXPECT_EQ(expected.out.substr(0, 8), std::string("\xFF\xFE\xFF\x00\xFF\xFE\xFF\x00", 8));
}

TEST_F(SettingsFileTest, TextLengthEscapes) {
  struct Case {
    std::size_t units;
    std::string prefix;  // bytes after 0xFF 0xFE 0xFF... as stored
  };
  const Case cases[] = {
      {254, std::string("\xFF\xFE\xFF\xFE", 4)},
      {255, std::string("\xFF\xFE\xFF\xFF\xFF\x00", 6)},
      {300, std::string("\xFF\xFE\xFF\xFF\x2C\x01", 6)},
      {0xFFFD, std::string("\xFF\xFE\xFF\xFF\xFD\xFF", 6)},
      {0xFFFE, std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFE\xFF\x00\x00", 10)},
      {70000, std::string("\xFF\xFE\xFF\xFF\xFF\xFF\x70\x11\x01\x00", 10)},
  };
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    doc.project.instrument = std::string(c.units, 'a');
    const std::string bytes = EncodeSettings(doc);
    EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << c.units;
    EXPECT_EQ(bytes.substr(c.prefix.size(), 4), std::string("a\0a\0", 4)) << c.units;

    CKorvaneDoc loaded;
    EXPECT_EQ(DecodeSettings(loaded, bytes), 60) << c.units;
    EXPECT_EQ(loaded.project.instrument, doc.project.instrument) << c.units;
  }
}

TEST_F(SettingsFileTest, NonDefaultValuesSurviveARestart) {
  const fs::path path = dir_ / "sub" / "dir" / "korvane.ini";  // folders created on save
  std::string written;
  {
    CKorvaneDoc doc(CKorvaneDoc::Settings::LoadAndSave, path);
    SetNonDefaults(doc);
    written = EncodeSettings(doc);
  }
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(ReadFile(path), written);
  // Only the file itself is left in the folder (no temporary names).
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);

  CKorvaneDoc loaded(CKorvaneDoc::Settings::Load, path);
  EXPECT_EQ(EncodeSettings(loaded), written);
  EXPECT_EQ(loaded.project.site, "某某大桥工程");
  EXPECT_EQ(loaded.project.unit, "检测中心𠀀");
  EXPECT_EQ(loaded.project.person.size(), 900u);
  EXPECT_EQ(loaded.project.reserved, -7);
  EXPECT_EQ(loaded.project.eta, 0.875f);
  EXPECT_EQ(loaded.printSettings.headerText, "页眉 header");
  EXPECT_EQ(loaded.printSettings.footerFont, 3);
  EXPECT_EQ(loaded.reportInfo.conversionTableName, "字段21");
  EXPECT_EQ(loaded.spareBarWidth, -1);
  // Not stored: keeps its default.
  EXPECT_EQ(loaded.project.standardName, "cecs02:2005");
}

TEST_F(SettingsFileTest, FileCutAfterItemTenRestoresTheFirstTen) {
  CKorvaneDoc source;
  SetNonDefaults(source);
  const std::string full = EncodeSettings(source);
  // Items 1 to 10 end where beta (item 11) starts: find that float.
  Bytes tail;
  tail.Float(0.95f).Float(1.05f).Float(0.875f);
  const std::size_t cut = full.find(tail.out);
  ASSERT_NE(cut, std::string::npos);

  CKorvaneDoc doc;
  const std::string defaults = EncodeSettings(doc);
  EXPECT_EQ(DecodeSettings(doc, full.substr(0, cut)), 10);
  EXPECT_EQ(doc.project.instrument, source.project.instrument);
  EXPECT_EQ(doc.project.person, source.project.person);
  EXPECT_EQ(doc.project.castingDate, "2023-1-31");
  EXPECT_EQ(doc.project.testMethod, TestMethod::Direct);
  EXPECT_EQ(doc.project.spot, "底面");
  EXPECT_EQ(doc.project.beta, 0.0f);
  EXPECT_EQ(doc.project.lambda, 0.0f);
  EXPECT_EQ(doc.project.eta, 1.0f);
  EXPECT_EQ(doc.printSettings.printRecordSheet, 1);
  EXPECT_EQ(doc.printSettings.topMargin, 20);
  EXPECT_EQ(doc.reportInfo.projectName, "5");
  EXPECT_EQ(doc.infoBarWidth, 220);
  EXPECT_EQ(doc.analysisBarWidth, 220);
  // Everything after item 10 is byte-identical to the defaults.
  const std::string after = EncodeSettings(doc);
  EXPECT_EQ(after.substr(cut), defaults.substr(defaults.size() - (after.size() - cut)));
}

TEST_F(SettingsFileTest, CutInsideAValueStopsBeforeIt) {
  CKorvaneDoc source;
  SetNonDefaults(source);
  const std::string full = EncodeSettings(source);
  struct Case {
    std::size_t length;
    int values;
  };
  // Item 1 is 4 + 2 * 11 = 26 bytes ("VKT-U6 超声回弹": 11 code units).
  const Case cases[] = {{0, 0},           {1, 0}, {3, 0}, {25, 0}, {26, 1}, {27, 1}, {full.size() - 1, 59},
                        {full.size(), 60}};
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    EXPECT_EQ(DecodeSettings(doc, full.substr(0, c.length)), c.values) << c.length;
    EXPECT_EQ(doc.project.instrument, c.values == 0 ? "" : source.project.instrument) << c.length;
  }
}

TEST_F(SettingsFileTest, EmptyMissingAndGarbageFilesKeepTheDefaults) {
  CKorvaneDoc reference;
  reference.project.testDate = "x";
  reference.project.castingDate = "x";
  const std::string defaults = EncodeSettings(reference);

  const fs::path empty = dir_ / "empty.ini";
  WriteFile(empty, "");
  const fs::path garbage = dir_ / "garbage.ini";
  WriteFile(garbage, "[Settings]\nsite=abc\n\x01\x02\x03");
  const fs::path wrongMark = dir_ / "wrong-mark.ini";
  WriteFile(wrongMark, std::string("\xFF\xFD\xFF\x01\x00\x41\x00", 7));
  const fs::path hugeLength = dir_ / "huge-length.ini";
  WriteFile(hugeLength, std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F\x41\x00", 12));

  for (const fs::path& path : {empty, garbage, wrongMark, hugeLength, dir_ / "missing.ini", dir_}) {
    CKorvaneDoc doc;
    doc.project.testDate = "x";
    doc.project.castingDate = "x";
    LoadSettings(doc, path);
    EXPECT_EQ(EncodeSettings(doc), defaults) << path;
  }
}

TEST_F(SettingsFileTest, FailedSaveReportsFalseAndLeavesWhatWasThere) {
  CKorvaneDoc doc;
  // The folder cannot be made: a file stands where it should be.
  WriteFile(dir_ / "blocker", "keep");
  EXPECT_FALSE(SaveSettings(doc, dir_ / "blocker" / "korvane.ini"));
  EXPECT_EQ(ReadFile(dir_ / "blocker"), "keep");
  // The target is a folder with content: it is not replaced.
  fs::create_directories(dir_ / "korvane.ini");
  WriteFile(dir_ / "korvane.ini" / "inside", "keep");
  EXPECT_FALSE(SaveSettings(doc, dir_ / "korvane.ini"));
  EXPECT_EQ(ReadFile(dir_ / "korvane.ini" / "inside"), "keep");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(SettingsFileTest, SavingReplacesThePreviousFile) {
  const fs::path path = dir_ / "korvane.ini";
  WriteFile(path, std::string(100000, 'x'));
  CKorvaneDoc doc;
  ASSERT_TRUE(SaveSettings(doc, path));
  EXPECT_EQ(ReadFile(path), EncodeSettings(doc));
}

#ifdef _WIN32
TEST(SettingsLocation, OverrideThenAppData) {
  {
    ScopedEnv dir("KORVANE_CONFIG_DIR", "D:\\检测\\设置");
    EXPECT_EQ(DefaultSettingsPath(), fs::path(L"D:\\\u68c0\u6d4b\\\u8bbe\u7f6e\\korvane.ini"));
  }
  ScopedEnv dir("KORVANE_CONFIG_DIR", nullptr);
  ScopedEnv appData("APPDATA", "C:\\Users\\张工\\AppData\\Roaming");
  EXPECT_EQ(DefaultSettingsPath(),
            fs::path(L"C:\\Users\\\u5f20\u5de5\\AppData\\Roaming\\Korvane\\korvane.ini"));
}
#else
TEST(SettingsLocation, OverrideThenXdgThenHome) {
  {
    ScopedEnv dir("KORVANE_CONFIG_DIR", "/tmp/kv-test");
    EXPECT_EQ(DefaultSettingsPath(), fs::path("/tmp/kv-test") / "korvane.ini");
  }
  ScopedEnv dir("KORVANE_CONFIG_DIR", nullptr);
  ScopedEnv home("HOME", "/home/tester");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(SettingsDirectory(), fs::path("/cfg/korvane"));
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/cfg");  // ignored, as XDG says
    EXPECT_EQ(SettingsDirectory(), fs::path("/home/tester/.config/korvane"));
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(SettingsDirectory(), fs::path("/home/tester/.config/korvane"));
  EXPECT_EQ(DefaultSettingsPath(), fs::path("/home/tester/.config/korvane/korvane.ini"));
}
#endif

}  // namespace
}  // namespace korvane
