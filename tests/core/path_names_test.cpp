// File and folder names outside ASCII, and outside the ANSI code page of a
// Windows system (the Windows tests run with code page 1252): laboratories
// name their folders and files in Chinese. Names must reach the file system
// unchanged and come back in messages and the document as UTF-8.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/app/korvane_doc.h"
#include "core/app/settings_file.h"
#include "core/data/file_messages.h"
#include "core/platform/path_text.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(PathToUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ChinesePathNames, TextConvertsToPathsAndBack) {
  for (const std::string text : {"检测数据/一层柱 A轴.SHA", "ｶﾀｶﾅ ÄÖ €", "😀.SHA", "plain.SHT"}) {
    EXPECT_EQ(PathToUtf8(PathFromUtf8(text)), text);
  }
#ifdef _WIN32
  EXPECT_EQ(PathFromUtf8("测区.SHA").native(), L"\u6d4b\u533a.SHA");
  EXPECT_EQ(PathFromUtf8("😀").native(), L"\xd83d\xde00");
  // What UTF-16 names can hold and UTF-8 cannot, and the reverse: never an
  // exception, a replacement character instead.
  EXPECT_EQ(PathToUtf8(fs::path(std::wstring(L"a\xd800.SHA"))), "a\uFFFD.SHA");
  EXPECT_EQ(PathFromUtf8("a\xff.SHA").native(), L"a\uFFFD.SHA");
#else
  // A Linux name is any bytes.
  EXPECT_EQ(PathToUtf8(PathFromUtf8("a\xff.SHA")), "a\xff.SHA");
#endif
}

TEST(ChinesePathNames, PairIsSavedReadAndOpenedUnderChineseNames) {
  TempDir dir;
  const fs::path folder = dir / "检测数据 2024";
  fs::create_directory(folder);
  const SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2, 3});
  const FilePair pair = OpenFilePair(folder / PathFromUtf8("一层柱 A轴.SHA"));
  EXPECT_EQ(PathToUtf8(pair.wavePath.filename()), "一层柱 A轴.SHD");
  WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"一层柱 A轴.SHA", "一层柱 A轴.SHD"}));
  ReadBack back;
  ReadTestFile(pair, back.Target(), 0, {});
  ExpectSameZoneLists(d.zoneLists, back.zoneLists);

  CKorvaneDoc doc;
  doc.OnOpenDocument(pair.textPath);
  EXPECT_EQ(doc.pathName, PathToUtf8(fs::absolute(pair.textPath).lexically_normal()));
  EXPECT_TRUE(
      doc.pathName.ends_with("检测数据 2024" + PathToUtf8(fs::path("/").make_preferred()) + "一层柱 A轴.SHA"))
      << doc.pathName;
  doc.OnSaveDocument(folder / PathFromUtf8("二层梁.SHA"));
  EXPECT_EQ(FileBytes(folder / PathFromUtf8("二层梁.SHD")), FileBytes(pair.wavePath));

  // The results of a raw file would take its waveform file: refused, with
  // every name in the message.
  const FilePair raw = OpenFilePair(folder / PathFromUtf8("三层板.SHT"));
  const SyntheticData one = SmallData(3, TestMethod::Direct, "cecs02:2005", {2});
  WriteRawFile(raw, one.project, one.zoneLists, one.memberCount, one.sections, one.members);
  const fs::path results = folder / PathFromUtf8("三层板.SHA");
  EXPECT_EQ(OtherTextSharingWaveform(results), raw.textPath);
  EXPECT_EQ(SharedWaveformMessage(results, raw.textPath),
            "无法保存：" + PathToUtf8(raw.wavePath) + " 是 " + PathToUtf8(raw.textPath) +
                " 的波形文件，保存 " + PathToUtf8(results) + " 会覆盖它，请换一个文件名");
}

TEST(ChinesePathNames, MessagesAndSettingsUnderChineseNames) {
  TempDir dir;
  const fs::path missing = dir / "没有的 文件.SHA";
  CKorvaneDoc doc;
  EXPECT_EQ(ErrorOf([&] { doc.OnOpenDocument(missing); }),
            std::string(kMsgOpenFileFailed) + " " + PathToUtf8(missing) + "：No such file or directory");

  const fs::path settings = dir / "设置" / "korvane.ini";
  fs::create_directory(settings.parent_path());
  CKorvaneDoc changed;
  changed.infoBarWidth = 321;
  ASSERT_TRUE(SaveSettings(changed, settings));
  CKorvaneDoc loaded;
  LoadSettings(loaded, settings);
  EXPECT_EQ(loaded.infoBarWidth, 321);
  EXPECT_EQ(NamesIn(settings.parent_path()), (std::vector<std::string>{"korvane.ini"}));
}

}  // namespace
}  // namespace korvane::testing
