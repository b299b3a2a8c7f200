// The reader's rules and failure messages on edited files.
#include <gtest/gtest.h>

#include "support/enum_printing.h"

#include "core/data/file_messages.h"
#include "core/data/text_entry.h"
#include "core/standards/standards.h"
#include "file_test_support.h"

namespace korvane::testing {
namespace {

EncodedPair ThreeMemberFile() {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2, 3, 1});
  for (auto& list : d.zoneLists) {
    for (TestZone& zone : list) zone.deltaTot = 1.5f;
  }
  return ResultBytes(d);
}

TEST(Reader, ResultTableWithoutDeltaColumnReadsTheOtherColumns) {
  EncodedPair bytes = ThreeMemberFile();
  bytes.text = EditText(bytes.text, [](std::string& t) {
    ReplaceAll(t, "TESTLOC  DELTAT\r\n", "TESTLOC\r\n");
    ReplaceAll(t, "    1.50\r\n", "\r\n");  // the DELTAT cells end every row
  });
  const ReadBack back = Read(bytes, FileKind::Result);
  const ReadBack full = Read(ThreeMemberFile(), FileKind::Result);
  ASSERT_EQ(back.zoneLists.size(), 3u);
  for (std::size_t m = 0; m < 3; ++m) {
    ASSERT_EQ(back.zoneLists[m].size(), full.zoneLists[m].size());
    for (std::size_t z = 0; z < back.zoneLists[m].size(); ++z) {
      EXPECT_EQ(back.zoneLists[m][z].deltaTot, 0.0f);
      EXPECT_EQ(back.zoneLists[m][z].rebound, full.zoneLists[m][z].rebound);
      EXPECT_EQ(back.zoneLists[m][z].testLocation, full.zoneLists[m][z].testLocation);
    }
  }
}

// Keys match whatever their case; text values keep their letters and inner
// blanks (a member "KZ 1" must not become "kz1" on the client's report).
TEST(Reader, KeysMatchWithoutCaseAndTextsKeepTheirLettersAndBlanks) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "CECS 02:2005", {1, 1});
  d.members[0].name = "Column A1";
  d.members[1].name = "KZ 1";
  d.project.site = "Main Hall 主楼";
  d.project.unit = "Tower B";
  d.project.instrument = "vkt-U -6";
  EncodedPair bytes = ResultBytes(d);
  bytes.text = EditText(bytes.text, [](std::string& t) {
    ReplaceAll(t, "SITE     :", "site     :");
    ReplaceAll(t, "QZVKT_CrsHlDat_StrengthNum:", "qzvkt_crshldat_strengthnum:");
    ReplaceAll(t, "  dT(us)", "  DT(US)");
  });
  const ReadBack back = Read(bytes, FileKind::Result);
  EXPECT_EQ(back.project.site, "Main Hall 主楼");
  EXPECT_EQ(back.project.unit, "Tower B");
  ASSERT_EQ(back.memberCount, 2);
  EXPECT_EQ(back.members[0].name, "Column A1");
  EXPECT_EQ(back.members[1].name, "KZ 1");
  EXPECT_EQ(back.members[0].sampleInterval, 0.5f);
  // Comparisons of texts still ignore case and blanks: the standard's name,
  // the two-channel instrument (its two section rows).
  EXPECT_EQ(StandardOfStoredName(back.project.standardName), Standard::CECS02_2005);
  EXPECT_TRUE(SameTextLoosely(back.project.instrument, "VKT-U-6"));
}

TEST(Reader, LowerCaseExtensionStillReadsResultData) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2});
  d.project.castingDate = "2021-1-2";
  d.zoneLists[0][1].strengthValue = 27.5f;
  const FilePair pair = OpenFilePair(dir / "lower.sha");
  EXPECT_EQ(pair.kind, FileKind::Result);
  EXPECT_EQ(pair.wavePath, dir / "lower.shd");
  WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  ASSERT_TRUE(std::filesystem::exists(dir / "lower.shd"));

  ReadBack back;
  ReadTestFile(OpenFilePair(dir / "lower.sha"), back.Target(), 0, {});
  EXPECT_EQ(back.project.castingDate, "2021-1-2");
  EXPECT_EQ(back.zoneLists[0][1].strengthValue, 27.5f);

  // A waveform file named with the other case of "D" is found as well.
  std::filesystem::rename(dir / "lower.shd", dir / "lower.shD");
  ReadBack again;
  ReadTestFile(OpenFilePair(dir / "lower.sha"), again.Target(), 0, {});
  EXPECT_EQ(again.zoneLists[0].size(), 2u);
}

TEST(Reader, BareLineFeedsReadAsCrLf) {
  EncodedPair bytes = ThreeMemberFile();
  const ReadBack crlf = Read(bytes, FileKind::Result);
  bytes.text = EditText(bytes.text, [](std::string& t) { ReplaceAll(t, "\r\n", "\n"); });
  const ReadBack lf = Read(bytes, FileKind::Result);
  ASSERT_EQ(lf.memberCount, 3);
  ExpectSameZoneLists(crlf.zoneLists, lf.zoneLists);
  EXPECT_EQ(lf.project.site, crlf.project.site);
}

TEST(Reader, SplitsMembersBySiButNeverASingleMember) {
  const ReadBack three = Read(ThreeMemberFile(), FileKind::Result);
  ASSERT_EQ(three.zoneLists.size(), 3u);
  EXPECT_EQ(three.zoneLists[0].size(), 2u);
  EXPECT_EQ(three.zoneLists[1].size(), 3u);
  EXPECT_EQ(three.zoneLists[2].size(), 1u);

  // One member whose rows carry SI 1 (a second-channel raw file).
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {4});
  d.members[0].sectionIndex = 1;
  const ReadBack one = Read(ResultBytes(d), FileKind::Result);
  ASSERT_EQ(one.zoneLists.size(), 1u);
  EXPECT_EQ(one.zoneLists[0].size(), 4u);
  EXPECT_EQ(one.zoneLists[0][0].sectionIndex, 1);
}

TEST(Reader, RawFileRules) {
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  d.project.beta = 1.25f;
  for (TestZone& zone : d.zoneLists[0]) zone.rebound.fill(36);
  d.project.instrument = "VKT-U-7";  // three channel rows
  d.sections.resize(3);
  for (int r = 0; r < 3; ++r) {
    d.sections[static_cast<std::size_t>(r)] = d.sections[0];
    d.sections[static_cast<std::size_t>(r)].sectionIndex = r;
  }
  const ReadBack back = Read(RawBytes(d), FileKind::Raw);
  EXPECT_EQ(back.sections.size(), 3u);
  const TestZone& zone = back.zoneLists[0][0];
  EXPECT_EQ(zone.rebound,
            (std::array<int, 16>{36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36}));
  EXPECT_EQ(zone.beta, 1.25f);
  EXPECT_EQ(zone.testMethod, TestMethod::Surface);
  EXPECT_EQ(zone.strengthValue, 0.0f);
  EXPECT_EQ(zone.carbonationDepth, 1.0f);
  EXPECT_EQ(back.members[0].aggregateType, Aggregate::Unset);  // a raw file has no CGL

  // Surface method under CECS 02-2020: seven rows to a zone.
  SyntheticData seven = SmallData(7, TestMethod::Surface, "cecs02-2020", {3});
  const ReadBack sevenBack = Read(RawBytes(seven), FileKind::Raw);
  ASSERT_EQ(sevenBack.zoneLists[0].size(), 3u);
  EXPECT_EQ(sevenBack.zoneLists[0][0].pointCount, 7);
}

TEST(Reader, ParameterRuleAndStandardNames) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  d.project.beta = 0.0f;
  d.project.lambda = 0.000001f;
  d.project.eta = 0.9f;
  EncodedPair bytes = ResultBytes(d);
  const ReadBack back = Read(bytes, FileKind::Result);
  EXPECT_EQ(back.project.beta, 1.0f);
  EXPECT_EQ(back.project.lambda, 1.0f);
  EXPECT_EQ(back.project.eta, 0.9f);
  EXPECT_EQ(back.project.standardName, "cecs02:2005");
}

TEST(Reader, MethodLineNamesTheMethod) {
  struct Case {
    std::string line;
    TestMethod method;
  };
  const Case cases[] = {{"Method   :角测", TestMethod::Angle},  {"Method   :平测", TestMethod::Surface},
                        {"Method   :对测", TestMethod::Direct}, {"Method   :斜测", TestMethod::Angle},
                        {"Method   :", TestMethod::Angle},      {"Nothing  :平测", TestMethod::Angle}};
  for (const Case& c : cases) {
    SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
    EncodedPair bytes = ResultBytes(d);
    bytes.text = EditText(bytes.text, [&c](std::string& t) { ReplaceAll(t, "Method   :对测", c.line); });
    EXPECT_EQ(Read(bytes, FileKind::Result).project.testMethod, c.method) << c.line;
  }
}

// Each failure ends in the reader's message.
TEST(Reader, FailureMessages) {
  struct Case {
    const char* name;
    std::function<void(EncodedPair&)> edit;
    FileKind kind;
    std::string_view message;
  };
  const Case cases[] = {
      {"empty text", [](EncodedPair& b) { b.text.clear(); }, FileKind::Result, kMsgFileEmpty},
      {"raw file without SectNum value",
       [](EncodedPair& b) {
         b.text = EditText(b.text, [](std::string& t) { ReplaceAll(t, "SectNum  :1", "SectNum  :"); });
       },
       FileKind::Raw, kMsgOpenFileFailed},
      {"raw file without SectNum line",
       [](EncodedPair& b) {
         b.text = EditText(b.text, [](std::string& t) { ReplaceAll(t, "SectNum  :1", ""); });
       },
       FileKind::Raw, kMsgOpenFileFailed},
      {"seek beyond the waveform file", [](EncodedPair& b) { b.wave.resize(100); }, FileKind::Raw,
       kMsgWaveformRead},
      {"empty seek cell",
       [](EncodedPair& b) {
         b.text = EditText(b.text, [](std::string& t) { ReplaceAll(t, "         129", "            "); });
       },
       FileKind::Raw, kMsgOpenFileFailed},  // the text is at fault, not the waveform file
      {"seek 0",
       [](EncodedPair& b) {
         b.text = EditText(
             b.text, [](std::string& t) { ReplaceAll(t, "           1      40", "           0      40"); });
       },
       FileKind::Raw, kMsgWaveformRead},
      {"row count not a multiple of the points",
       [](EncodedPair& b) {
         b.text = EditText(b.text, [](std::string& t) {
           const auto end = t.rfind("    TEMP    TEMP    TEMP\r\n");
           const auto start = t.rfind("\r\n", end - 1) + 2;
           t.erase(start, end + 26 - start);  // drop the last ray row
         });
       },
       FileKind::Raw, kMsgOpenFileFailed},
      {"huge DatLen not in the waveform file",
       [](EncodedPair& b) {
         b.text =
             EditText(b.text, [](std::string& t) { ReplaceAll(t, "      64   10.00", "99999999   10.00"); });
       },
       FileKind::Raw, kMsgWaveformRead},
  };
  for (const Case& c : cases) {
    SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
    d.members[0].sectionIndex = 1;
    d.sections.resize(2, d.sections[0]);
    d.sections[1].sectionIndex = 1;
    EncodedPair bytes = RawBytes(d);
    c.edit(bytes);
    EXPECT_EQ(ErrorOf([&] { Read(bytes, c.kind); }), c.message) << c.name;
  }
}

TEST(Reader, MissingFilesFailToOpen) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  ReadBack back;
  // The message names the file that cannot be read and the reason.
  const auto failure = [](const std::filesystem::path& path, const char* reason) {
    return std::string(kMsgOpenFileFailed) + " " + path.string() + "：" + reason;
  };
  EXPECT_EQ(ErrorOf([&] { ReadTestFile(OpenFilePair(dir / "none.SHA"), back.Target(), 0, {}); }),
            failure(dir / "none.SHA", "No such file or directory"));
  const EncodedPair bytes = ResultBytes(d);
  WriteBytes(dir / "text-only.SHA", bytes.text);
  EXPECT_EQ(ErrorOf([&] { ReadTestFile(OpenFilePair(dir / "text-only.SHA"), back.Target(), 0, {}); }),
            failure(dir / "text-only.SHD", "No such file or directory"));
  std::filesystem::create_directory(dir / "folder.SHA");
  EXPECT_EQ(ErrorOf([&] { ReadTestFile(OpenFilePair(dir / "folder.SHA"), back.Target(), 0, {}); }),
            failure(dir / "folder.SHA", "Is a directory"));
}

TEST(Reader, LongNumberTextWarnsAndReadsZero) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  EncodedPair bytes = ResultBytes(d);
  bytes.text = EditText(bytes.text, [](std::string& t) {
    ReplaceAll(t, "Movelength     :50", "Movelength     :123456789012345678901");
  });
  const ReadBack back = Read(bytes, FileKind::Result);
  EXPECT_EQ(back.project.moveLength, 0);
  ASSERT_EQ(back.warnings.size(), 1u);
  EXPECT_EQ(back.warnings[0], "数字过长，请输入小于20位的数值");
}

TEST(Reader, MergeRefusesAnotherPointCount) {
  SyntheticData seven = SmallData(7, TestMethod::Surface, "cecs02-2020", {1});
  SyntheticData three = SmallData(3, TestMethod::Surface, "cecs02:2005", {1});
  ReadBack back;
  const EncodedPair first = RawBytes(seven);
  ReadTestData(first.text, first.wave, FileKind::Raw, back.Target(), 0, back.zoneLists);
  const EncodedPair second = RawBytes(three);
  EXPECT_EQ(ErrorOf([&] {
              ReadTestData(second.text, second.wave, FileKind::Raw, back.Target(), 1, back.zoneLists);
            }),
            kMsgPointsPerZoneDiffer);
}

}  // namespace
}  // namespace korvane::testing
