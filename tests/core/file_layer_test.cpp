// The file layer as a careful user and a hostile file try it: what is saved
// reads back as it was, or the save refuses with a message and the old pair
// stays; every input gets a message or a result at once.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <limits>
#include <thread>

#include "core/app/korvane_doc.h"
#include "core/app/merge_output.h"
#include "core/app/settings_file.h"
#include "core/data/file_messages.h"
#include "core/platform/file_replace.h"
#include "core/standards/standards.h"
#include "file_test_support.h"
#include "support/sample_documents.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

// Everything a read gives, compared with what was written (texts as the
// reader gives them back: lower case, without blanks).
void ExpectReadsBackAs(const SyntheticData& d, const ReadBack& back, const std::string& where) {
  EXPECT_EQ(back.project.site, AsRead(d.project.site)) << where;
  EXPECT_EQ(back.project.unit, AsRead(d.project.unit)) << where;
  EXPECT_EQ(back.project.person, AsRead(d.project.person)) << where;
  EXPECT_EQ(back.project.testDate, AsRead(d.project.testDate)) << where;
  EXPECT_EQ(back.project.castingDate, AsRead(d.project.castingDate)) << where;
  EXPECT_EQ(back.project.spot, AsRead(d.project.spot)) << where;
  EXPECT_EQ(back.project.instrument, AsRead(d.project.instrument)) << where;
  EXPECT_EQ(back.project.beta, d.project.beta) << where;
  EXPECT_EQ(back.project.deltaTot, d.project.deltaTot) << where;
  ASSERT_EQ(back.memberCount, d.memberCount) << where;
  for (std::size_t m = 0; m < d.members.size(); ++m) {
    EXPECT_EQ(back.members[m].name, AsRead(d.members[m].name)) << where;
    EXPECT_EQ(back.members[m].sampleCount, d.members[m].sampleCount) << where;
    EXPECT_EQ(back.members[m].sampleInterval, d.members[m].sampleInterval) << where;
  }
  ExpectSameZoneLists(d.zoneLists, back.zoneLists);
}

// Zone values at the precision of their columns, so that they come back
// exactly.
SyntheticData ResultData(std::vector<int> zones) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", std::move(zones));
  int n = 0;
  for (auto& list : d.zoneLists) {
    for (TestZone& zone : list) {
      zone.strengthValue = 25.0f + 0.5f * static_cast<float>(n++);
      zone.deltaTot = 0.5f;
    }
  }
  return d;
}

// ---- 1. Texts that look like keys ---------------------------------------------

// Every text a user can type goes into one field; the file reads back with
// that text and every other value unchanged.
TEST(FileLayerTexts, TextsThatLookLikeKeysRoundTrip) {
  const std::string texts[] = {"L",
                               "L1",
                               "T(us)",
                               "Ta(us)",
                               "Seek",
                               "       L",
                               "   Delay       R",
                               "  DELTAT",
                               "    FCUI",
                               "SI    CrossD",
                               "   RATNO",
                               "QZVKT_CrsHlDat_RayPara:",
                               "PERSON   :x",
                               "PILEID1  :x",
                               "SI1      :5",
                               "SectNum  :9",
                               "MF       :99",
                               "  R1  R2",
                               "λ       :3"};
  struct Field {
    const char* name;
    std::function<void(SyntheticData&, const std::string&)> set;
  };
  const Field fields[] = {
      {"site", [](SyntheticData& d, const std::string& t) { d.project.site = t; }},
      {"unit", [](SyntheticData& d, const std::string& t) { d.project.unit = t; }},
      {"person", [](SyntheticData& d, const std::string& t) { d.project.person = t; }},
      {"spot", [](SyntheticData& d, const std::string& t) { d.project.spot = t; }},
      {"casting date", [](SyntheticData& d, const std::string& t) { d.project.castingDate = t; }},
      {"member name", [](SyntheticData& d, const std::string& t) { d.members[0].name = t; }},
      // (at most ten characters are stored)
      {"location", [](SyntheticData& d,
                      const std::string& t) { d.zoneLists[0][0].testLocation = TestLocationForFile(t); }},
  };
  for (const Field& field : fields) {
    for (const std::string& text : texts) {
      const std::string where = std::string(field.name) + " = \"" + text + "\"";
      SCOPED_TRACE(where);
      SyntheticData d = ResultData({2, 1});
      field.set(d, text);
      ExpectReadsBackAs(d, Read(ResultBytes(d), FileKind::Result), where);
      if (std::string(field.name) == "location") continue;  // a raw file stores no zone texts
      // The raw file of the first member.
      SyntheticData raw = ResultData({2});
      field.set(raw, text);
      const ReadBack back = Read(RawBytes(raw), FileKind::Raw);
      EXPECT_EQ(back.memberCount, 1) << where;
      EXPECT_EQ(back.project.site, AsRead(raw.project.site)) << where;
      EXPECT_EQ(back.project.person, AsRead(raw.project.person)) << where;
      EXPECT_EQ(back.members[0].name, AsRead(raw.members[0].name)) << where;
      EXPECT_EQ(back.members[0].sampleCount, 64) << where;
      ASSERT_EQ(back.zoneLists[0].size(), 2u) << where;
      EXPECT_EQ(back.zoneLists[0][1].points[2]->samples, raw.zoneLists[0][1].points[2]->samples) << where;
    }
  }
}

// ---- 2. Members beyond the SI column's width -----------------------------------

TEST(FileLayerMembers, AHundredMembersReadBackWholeAndMoreAreRefused) {
  const SyntheticData hundred = ResultData(std::vector<int>(100, 1));
  ExpectReadsBackAs(hundred, Read(ResultBytes(hundred), FileKind::Result), "100 members");

  const SyntheticData more = ResultData(std::vector<int>(101, 1));
  const std::string message = "无法保存：数据文件最多能保存100个构件，当前有101个构件";
  EXPECT_EQ(ErrorOf([&] { ResultBytes(more); }), message);
  TempDir dir;
  const fs::path target = dir / "many.SHA";
  WriteBytes(target, "old");
  EXPECT_EQ(ErrorOf([&] {
              WriteResultFile(OpenFilePair(target), more.project, more.zoneLists, more.memberCount, {},
                              more.sections, more.members);
            }),
            message);
  EXPECT_EQ(FileBytes(target), "old");
  EXPECT_FALSE(fs::exists(dir / "many.SHD"));

  // A merge of 101 one-member files says so and writes nothing.
  std::vector<fs::path> inputs;
  const SyntheticData one = ResultData({1});
  for (int k = 0; k < 101; ++k) {
    inputs.push_back(dir / ("m" + std::to_string(k) + ".SHT"));
    WriteRawFile(OpenFilePair(inputs.back()), one.project, one.zoneLists, one.memberCount, one.sections,
                 one.members);
  }
  EXPECT_EQ(ErrorOf([&] { WriteMergedFile(ReadMergeInputs(inputs), dir / "merged.SHA"); }), message);
  EXPECT_FALSE(fs::exists(dir / "merged.SHA"));
  EXPECT_FALSE(fs::exists(dir / "merged.SHD"));
}

// ---- 3. Values wider than their columns -----------------------------------------

TEST(FileLayerValues, ValuesThatDoNotFitTheirColumnRefuseTheSave) {
  struct Case {
    const char* name;
    std::function<void(SyntheticData&)> edit;
    std::string message;  // empty: the value fits and reads back
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"zone strength of 10^6 MPa", [](SyntheticData& d) { d.zoneLists[1][2].strengthValue = 1e6f; },
       "无法保存：构件2测区3的FCUI值1000000.0超出文件的列宽"},
      {"largest strength that fits", [](SyntheticData& d) { d.zoneLists[1][2].strengthValue = 999999.875f; },
       ""},
      {"beta of 10^4", [](SyntheticData& d) { d.zoneLists[0][1].beta = 1e4f; },
       "无法保存：构件1测区2的BETA值10000.000超出文件的列宽"},
      {"dT near 10^8", [](SyntheticData& d) { d.members[1].sampleInterval = 1e8f; },
       "无法保存：构件2的dT(us)值100000000.00超出文件的列宽"},
      {"section delay near 10^8", [](SyntheticData& d) { d.sections[0].delay = 99999999.0f; },
       "无法保存：构件1的Delay值100000000.00超出文件的列宽"},
      {"transit time near 10^8",
       [](SyntheticData& d) { d.zoneLists[0][0].points[1]->arrivalIndex = 400000000; },
       "无法保存：构件1测区1测点2的T(us)值200000000.0超出文件的列宽"},
      {"rebound reading of 10000", [](SyntheticData& d) { d.zoneLists[0][0].rebound[3] = 10000; },
       "无法保存：构件1测区1的R4值10000超出文件的列宽"},
      {"member numbered 100", [](SyntheticData& d) { d.members[1].sectionIndex = 100; },
       "无法保存：构件2测区1的SI值100超出文件的列宽"},
      {"strength not a number", [nan](SyntheticData& d) { d.zoneLists[0][0].strengthValue = nan; },
       "无法保存：构件1测区1的FCUI值不是有效数字"},
      {"beta of the project not a number", [nan](SyntheticData& d) { d.project.beta = nan; },
       "无法保存：β值不是有效数字"},
      // Gain and delay columns are laid out without decimals; a fraction
      // must not be rounded away (a delay of 2.5 us stored as 2 moved every
      // time of the zone).
      {"fractional delay and gain",
       [](SyntheticData& d) {
         for (TestZone& zone : d.zoneLists[1]) {
           zone.delay = 2.5f;
           for (auto& point : zone.points) {
             if (point) point->delay = 2.5f, point->gain = 1.25f;
           }
         }
       },
       ""},
  };
  TempDir dir;
  const SyntheticData good = ResultData({2, 3});
  const FilePair pair = OpenFilePair(dir / "keep.SHA");
  WriteResultFile(pair, good.project, good.zoneLists, good.memberCount, {}, good.sections, good.members);
  const std::string text = FileBytes(pair.textPath);
  const std::string wave = FileBytes(pair.wavePath);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SyntheticData d = ResultData({2, 3});
    c.edit(d);
    const std::string error = ErrorOf(
        [&] { WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members); });
    EXPECT_EQ(error, c.message);
    if (c.message.empty()) {
      ExpectReadsBackAs(d, Read(ResultBytes(d), FileKind::Result), c.name);
      WriteBytes(pair.textPath, text);
      WriteBytes(pair.wavePath, wave);
    } else {
      EXPECT_EQ(FileBytes(pair.textPath), text);
      EXPECT_EQ(FileBytes(pair.wavePath), wave);
    }
  }
}

// ---- 4. A member whose section row does not exist ---------------------------------

// A raw file whose SectNum names no row is read with 512 samples at 1.0 us;
// saved as a result file (directly or merged) it keeps them.
TEST(FileLayerSections, MemberWithoutItsSectionRowKeepsItsSampling) {
  SyntheticData d = ResultData({3});
  Member& member = d.members[0];
  member.sampleCount = 512;
  member.sampleInterval = 1.0f;
  member.sectionIndex = 5;  // names no row
  for (TestZone& zone : d.zoneLists[0]) {
    zone.sampleInterval = 1.0f;
    for (auto& point : zone.points) {
      if (point) point->samples = testing::Resized(point->samples, 512, 1900);
    }
  }
  for (int r = 0; r < 2; ++r) {
    d.sections.resize(2, d.sections[0]);
    d.sections[static_cast<std::size_t>(r)].sectionIndex = r;
    d.sections[static_cast<std::size_t>(r)].sampleInterval = 0.4f;
    d.sections[static_cast<std::size_t>(r)].sampleCount = 64;
  }
  d.project.instrument = "VKT-U-6";
  TempDir dir;
  const fs::path raw = dir / "field.SHT";
  WriteRawFile(OpenFilePair(raw), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  // (The readings, surfaces and depths of the zones are in the companion.)
  const ReadBack read = ReadPair(raw);
  ASSERT_EQ(read.members[0].sampleCount, 512);
  ASSERT_EQ(read.members[0].sampleInterval, 1.0f);

  const ReadBack back = Read(ResultBytes(SyntheticData{read.project, read.members, ZoneLists(read.zoneLists),
                                                       read.sections, read.memberCount}),
                             FileKind::Result);
  EXPECT_EQ(back.members[0].sampleCount, 512);
  EXPECT_EQ(back.members[0].sampleInterval, 1.0f);
  ExpectSameZoneLists(read.zoneLists, back.zoneLists);

  WriteMergedFile(ReadMergeInputs({raw}), dir / "merged.SHA");
  ReadBack merged = ReadPair(dir / "merged.SHA");
  EXPECT_EQ(merged.members[0].sampleCount, 512);
  // The merged file stores the strengths recomputed from its data.
  for (TestZone& zone : merged.zoneLists[0]) {
    EXPECT_GT(zone.strengthValue, 0.0f);
    zone.strengthValue = 0.0f;
  }
  ExpectSameZoneLists(read.zoneLists, merged.zoneLists);
}

// ---- 5. Several members as a raw file -----------------------------------------------

TEST(FileLayerRaw, SeveralMembersAreNotSavedAsARawFile) {
  TempDir dir;
  const SyntheticData three = ResultData({2, 1, 1});
  const fs::path result = dir / "three.SHA";
  WriteResultFile(OpenFilePair(result), three.project, three.zoneLists, three.memberCount, {}, three.sections,
                  three.members);
  const SyntheticData one = ResultData({1});
  const fs::path raw = dir / "old.SHT";
  WriteRawFile(OpenFilePair(raw), one.project, one.zoneLists, one.memberCount, one.sections, one.members);
  const std::string text = FileBytes(raw);

  CKorvaneDoc doc;
  doc.OnOpenDocument(result);
  EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(raw); }),
            "无法保存：原始文件（.SHT）只能保存一个构件，当前有3个构件，请保存为结果文件（.SHA）");
  EXPECT_EQ(FileBytes(raw), text);
}

// ---- 6. A cut waveform file ---------------------------------------------------------

TEST(FileLayerWaveforms, WaveformFileCutShortFailsToRead) {
  struct Case {
    const char* name;
    std::size_t missing;  // bytes cut from the end
  };
  const Case cases[] = {{"one byte short", 1},
                        {"ends inside the last waveform", 2 * 20 + 1},
                        {"last waveform missing", 2 * 64}};
  const SyntheticData d = ResultData({2});
  for (const Case& c : cases) {
    EncodedPair bytes = ResultBytes(d);
    bytes.wave.resize(bytes.wave.size() - c.missing);
    EXPECT_EQ(ErrorOf([&] { Read(bytes, FileKind::Result); }), kMsgWaveformRead) << c.name;
  }
  // Through a file pair, the message names the waveform file.
  TempDir dir;
  const FilePair pair = OpenFilePair(dir / "cut.SHA");
  EncodedPair bytes = ResultBytes(d);
  WriteBytes(pair.textPath, bytes.text);
  WriteBytes(pair.wavePath, bytes.wave.substr(0, bytes.wave.size() - 1));
  ReadBack back;
  EXPECT_EQ(ErrorOf([&] { ReadTestFile(pair, back.Target(), 0, {}); }),
            std::string(kMsgWaveformRead) + " " + pair.wavePath.string() +
                "：构件“构件1”第2个测区第3个测点的波形（位置641，64个采样点）超出波形文件（767字节）");
}

// The waveform file is read window by window: jumps back, waveforms longer
// than the window and the last byte all come back as from memory.
TEST(FileLayerWaveforms, FileReadsAgreeWithReadsFromMemory) {
  struct Case {
    const char* name;
    int samples;
    std::function<void(EncodedPair&)> edit;
  };
  const Case cases[] = {
      {"back to back", 64, [](EncodedPair&) {}},
      {"a seek back to the start", 64,
       [](EncodedPair& b) {
         b.text = EditText(b.text, [](std::string& t) { ReplaceAll(t, "         513", "           1"); });
       }},
      {"waveforms longer than the window", 150000, [](EncodedPair&) {}},
  };
  for (const Case& c : cases) {
    SyntheticData d = ResultData({2});
    d.members[0].sampleCount = c.samples;
    for (TestZone& zone : d.zoneLists[0]) {
      for (auto& point : zone.points) {
        if (point)
          point->samples = testing::Resized(point->samples, static_cast<std::size_t>(c.samples), 2000);
      }
    }
    EncodedPair bytes = ResultBytes(d);
    c.edit(bytes);
    TempDir dir;
    const FilePair pair = OpenFilePair(dir / "w.SHA");
    WriteBytes(pair.textPath, bytes.text);
    WriteBytes(pair.wavePath, bytes.wave);
    ReadBack fromFile;
    ReadTestFile(pair, fromFile.Target(), 0, {});
    const ReadBack fromMemory = Read(bytes, FileKind::Result);
    SCOPED_TRACE(c.name);
    ExpectSameZoneLists(fromMemory.zoneLists, fromFile.zoneLists);
    EXPECT_EQ(fromFile.zoneLists[0][1].points[2]->samples.size(), static_cast<std::size_t>(c.samples));
  }
}

// ---- 7. A waveform file shared by two text files --------------------------------------

TEST(FileLayerSharedWaveform, FindsTheOtherTextFileThatAPairWouldDestroy) {
  struct Case {
    const char* name;
    std::vector<std::string> existing;  // files present before the save
    std::string target;
    std::string other;  // the text file whose waveforms would be lost
  };
  const Case cases[] = {
      {"results of a raw file", {"x.SHT", "x.SHD"}, "x.SHA", "x.SHT"},
      {"raw file beside results", {"x.SHA", "x.SHD"}, "x.SHT", "x.SHA"},
      {"lower-case pair", {"x.sht", "x.shd"}, "x.sha", "x.sht"},
      {"rewriting the file itself", {"x.SHA", "x.SHD"}, "x.SHA", ""},
      {"no waveform file yet", {"x.SHT"}, "x.SHA", ""},
      {"another name", {"x.SHT", "x.SHD"}, "y.SHA", ""},
      {"a file of another kind", {"x.SHB", "x.SHD"}, "x.SHA", ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    for (const std::string& name : c.existing) WriteBytes(dir / name, "bytes");
    const fs::path other = OtherTextSharingWaveform(dir / c.target);
    EXPECT_EQ(other, c.other.empty() ? fs::path() : dir / c.other) << c.name;
  }
  TempDir dir;
  EXPECT_EQ(SharedWaveformMessage(dir / "x.SHA", dir / "x.SHT"),
            "无法保存：" + (dir / "x.SHD").string() + " 是 " + (dir / "x.SHT").string() +
                " 的波形文件，保存 " + (dir / "x.SHA").string() + " 会覆盖它，请换一个文件名");
}

TEST(FileLayerSharedWaveform, SaveResultsProposesAFreeName) {
  TempDir dir;
  const SyntheticData d = ResultData({2});
  const fs::path raw = dir / "field.SHT";
  WriteRawFile(OpenFilePair(raw), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  CKorvaneDoc doc;
  doc.OnOpenDocument(raw);
  EXPECT_EQ(doc.SaveResultsFreeName(), (dir / "field(2)").string());
  // A name taken by another raw file with its waveforms is passed over; the
  // results of this file may be replaced (the dialog asks).
  WriteRawFile(OpenFilePair(dir / "field(2).SHT"), d.project, d.zoneLists, d.memberCount, d.sections,
               d.members);
  WriteBytes(dir / "field(3).SHA", "older results");
  EXPECT_EQ(doc.SaveResultsFreeName(), (dir / "field(3)").string());

  const std::string rawWaves = FileBytes(dir / "field.SHD");
  doc.SaveResults(doc.SaveResultsFreeName() + ".SHA");
  EXPECT_EQ(doc.pathName, (dir / "field(3).SHA").string());
  EXPECT_EQ(FileBytes(dir / "field.SHD"), rawWaves);
}

// ---- 8. Concurrent saves and long names ------------------------------------------------

// Two saves of different data to one target at the same time: the pair on
// the disk is always one of them whole, never the text of one with the
// waveforms of the other.
TEST(FileLayerSaves, ConcurrentSavesToOneTargetNeverMix) {
  TempDir dir;
  SyntheticData a = SmallData(3, TestMethod::Direct, "cecs02:2005", {6, 6}, 11);
  SyntheticData b = SmallData(3, TestMethod::Direct, "cecs02:2005", {6, 6}, 12);
  a.project.site = "甲";
  b.project.site = "乙";
  const FilePair pair = OpenFilePair(dir / "shared.SHA");
  const auto save = [&pair](const SyntheticData& d) {
    try {
      WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
    } catch (const KorvaneError& error) {
      ADD_FAILURE() << error.what();
    }
  };
  for (int round = 0; round < 30; ++round) {
    std::thread first(save, std::cref(a));
    std::thread second(save, std::cref(b));
    first.join();
    second.join();
    ReadBack back;
    ReadTestFile(pair, back.Target(), 0, {});
    const SyntheticData& written = back.project.site == "甲" ? a : b;
    ASSERT_EQ(back.zoneLists.size(), 2u);
    for (std::size_t m = 0; m < 2; ++m) {
      for (std::size_t z = 0; z < 6; ++z) {
        ASSERT_EQ(back.zoneLists[m][z].points[1]->samples, written.zoneLists[m][z].points[1]->samples)
            << "round " << round << ": text of " << back.project.site << " with the other's waveforms";
      }
    }
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"shared.SHA", "shared.SHD"}));
}

TEST(FileLayerSaves, NamesNearTheLengthLimitSave) {
  TempDir dir;
  const SyntheticData d = ResultData({2});
  // 244 bytes: legal (the limit of a name is 255), with no room for a suffix.
  const FilePair pair = OpenFilePair(dir / (std::string(240, 'n') + ".SHA"));
  WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  ReadBack back;
  ReadTestFile(pair, back.Target(), 0, {});
  ExpectReadsBackAs(d, back, "long name");
}

// ---- 9. Links, permissions and what is not a regular file ---------------------------------

#ifndef _WIN32
// POSIX only: Windows files have no permission bits, and there symbolic
// links need a privilege (MinGW's std::filesystem cannot make them at all).
TEST(FileLayerSaves, LinksAreWrittenThroughAndPermissionsKept) {
  TempDir dir;
  const SyntheticData old = ResultData({1});
  const SyntheticData d = ResultData({3, 2});
  fs::create_directory(dir / "real");
  const FilePair real = OpenFilePair(dir / "real" / "y.SHA");
  WriteResultFile(real, old.project, old.zoneLists, old.memberCount, {}, old.sections, old.members);
  ::chmod(real.textPath.c_str(), 0640);
  ::chmod(real.wavePath.c_str(), 0604);
  fs::create_symlink("real/y.SHA", dir / "x.SHA");
  fs::create_symlink(real.wavePath, dir / "x.SHD");

  WriteResultFile(OpenFilePair(dir / "x.SHA"), d.project, d.zoneLists, d.memberCount, {}, d.sections,
                  d.members);
  EXPECT_TRUE(fs::is_symlink(dir / "x.SHA"));
  EXPECT_TRUE(fs::is_symlink(dir / "x.SHD"));
  ReadBack back;
  ReadTestFile(real, back.Target(), 0, {});
  ExpectReadsBackAs(d, back, "through the links");
  struct stat info {};
  ASSERT_EQ(::stat(real.textPath.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  ASSERT_EQ(::stat(real.wavePath.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);

  // The settings file too.
  CKorvaneDoc doc;
  doc.infoBarWidth = 333;
  WriteBytes(dir / "real" / "korvane.ini", "");
  fs::create_symlink("real/korvane.ini", dir / "korvane.ini");
  ASSERT_TRUE(SaveSettings(doc, dir / "korvane.ini"));
  EXPECT_TRUE(fs::is_symlink(dir / "korvane.ini"));
  EXPECT_EQ(FileBytes(dir / "real" / "korvane.ini"), EncodeSettings(doc));
}
#endif

// A file of the pair marked read-only (no write permission for its owner;
// the read-only attribute on Windows) is not replaced, whoever saves: the
// save names it, and no file of the pair changes.
TEST(FileLayerSaves, ReadOnlyFilesAreRefused) {
  const SyntheticData old = ResultData({1});
  const SyntheticData d = ResultData({3, 2});
  struct Case {
    const char* name;
    std::function<fs::path(const FilePair&)> file;
    std::string_view message;
  };
  const Case cases[] = {
      {"text", [](const FilePair& p) { return p.textPath; }, kMsgCreateResultText},
      {"waveforms", [](const FilePair& p) { return p.wavePath; }, kMsgCreateWaveform},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const FilePair pair = OpenFilePair(dir / "x.SHA");
    WriteResultFile(pair, old.project, old.zoneLists, old.memberCount, {}, old.sections, old.members);
    const std::string text = FileBytes(pair.textPath);
    const std::string wave = FileBytes(pair.wavePath);
    const fs::path locked = c.file(pair);
    fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(ErrorOf([&] {
                WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
              }),
              MessageWithPath(c.message, locked, "the file is read-only"));
    EXPECT_EQ(FileBytes(pair.textPath), text);
    EXPECT_EQ(FileBytes(pair.wavePath), wave);
    fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
  }
  // Every output alike: a report file marked read-only stays as it is.
  TempDir dir;
  const fs::path report = dir / "report.pdf";
  WriteBytes(report, "old");
  fs::permissions(report, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(ErrorOf([&] { ReplaceFileOrThrow(report, "new"); }),
            MessageWithPath(kMsgCannotWriteFile, report, "the file is read-only"));
  EXPECT_EQ(FileBytes(report), "old");
  fs::permissions(report, fs::perms::owner_write, fs::perm_options::add);
}

// The waveform file is written piece by piece from the records: the bytes
// are those of the file built in memory, and the progress reaches the total
// in steps.
TEST(FileLayerSaves, WaveformsAreStreamedWithProgress) {
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {60, 60});
  for (Member& member : d.members) member.sampleCount = 4000;  // 2.9 MB of waveforms; short ones padded flat
  TempDir dir;
  const FilePair pair = OpenFilePair(dir / "big.SHA");
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  WriteResultFile(pair, d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members, {},
                  [&calls](std::uint64_t done, std::uint64_t total) { calls.emplace_back(done, total); });
  const std::string wave = ResultBytes(d).wave;
  EXPECT_EQ(FileBytes(pair.wavePath), wave);
  ASSERT_GE(calls.size(), 3U);
  for (std::size_t k = 1; k < calls.size(); ++k) EXPECT_GT(calls[k].first, calls[k - 1].first);
  EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{wave.size()}, std::uint64_t{wave.size()}));
}

// ---- 10. FIFOs and other files that are not regular files ---------------------------------

TEST(FileLayerOpen, WhatIsNotARegularFileFailsAtOnce) {
  TempDir dir;
  const SyntheticData d = ResultData({1});
  fs::create_directory(dir / "folder.SHA");
  struct Case {
    fs::path path;
    std::string reason;
  };
#ifdef _WIN32
  // FIFOs are POSIX only; Windows has its devices.
  const fs::path device = "NUL";
#else
  ASSERT_EQ(::mkfifo((dir / "pipe.SHA").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir / "korvane.ini").c_str(), 0600), 0);
  const fs::path device = "/dev/zero";
#endif
  std::vector<Case> cases = {{dir / "folder.SHA", "Is a directory"}, {device, "not a regular file"}};
#ifndef _WIN32
  cases.push_back({dir / "pipe.SHA", "not a regular file"});
#endif
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    EXPECT_EQ(ErrorOf([&] { doc.OnOpenDocument(c.path); }),
              std::string(kMsgOpenFileFailed) + " " + PathToUtf8(c.path) + "：" + c.reason);
  }
  CKorvaneDoc doc;
#ifdef _WIN32
  LoadSettings(doc, device);
#else
  LoadSettings(doc, dir / "korvane.ini");
#endif
  EXPECT_EQ(EncodeSettings(doc), EncodeSettings(CKorvaneDoc()));
}

// ---- 13. Messages: the stated message, then the path and the reason -------------------------

TEST(FileLayerMessages, FailuresNameTheFileAndTheReason) {
  TempDir dir;
  const SyntheticData d = ResultData({1});
  WriteResultFile(OpenFilePair(dir / "good.SHA"), d.project, d.zoneLists, d.memberCount, {}, d.sections,
                  d.members);
  WriteBytes(dir / "textonly.SHA", FileBytes(dir / "good.SHA"));
  WriteBytes(dir / "empty.SHA", "");
  WriteBytes(dir / "empty.SHD", "");
  const std::string none = "：No such file or directory";
  struct Case {
    const char* name;
    std::function<void(CKorvaneDoc&)> action;
    std::string message;
  };
  const Case cases[] = {
      {"missing text file", [&](CKorvaneDoc& doc) { doc.OnOpenDocument(dir / "none.SHA"); },
       "打开文件失败！ " + (dir / "none.SHA").string() + none},
      {"missing waveform file", [&](CKorvaneDoc& doc) { doc.OnOpenDocument(dir / "textonly.SHA"); },
       "打开文件失败！ " + (dir / "textonly.SHD").string() + none},
      {"empty text file", [&](CKorvaneDoc& doc) { doc.OnOpenDocument(dir / "empty.SHA"); },
       "文件为空! " + (dir / "empty.SHA").string()},
      {"result file into a missing folder",
       [&](CKorvaneDoc& doc) {
         doc.OnOpenDocument(dir / "good.SHA");
         doc.OnSaveDocument(dir / "no" / "x.SHA");
       },
       "创建SHA文件失败！ " + (dir / "no" / "x.SHA").string() + none},
      {"raw file into a missing folder",
       [&](CKorvaneDoc& doc) {
         doc.OnOpenDocument(dir / "good.SHA");
         doc.OnSaveDocument(dir / "no" / "x.SHT");
       },
       "创建SHT/SHA文件失败！ " + (dir / "no" / "x.SHT").string() + none},
  };
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    EXPECT_EQ(ErrorOf([&] { c.action(doc); }), c.message) << c.name;
  }
}

// ---- 11. UTF-8 texts -------------------------------------------------------------------

TEST(FileLayerEncoding, Utf8TextReadsAsItsCodePage936Twin) {
  SyntheticData d = ResultData({3, 2});
  d.project.site = "测试工程";
  d.members[1].name = "二号柱";
  d.zoneLists[1][1].testLocation = "底面";
  const EncodedPair cp936 = ResultBytes(d);
  const std::string utf8 = Utf16ToUtf8(DecodeCp936(cp936.text));
  ASSERT_NE(utf8, cp936.text);
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {{"UTF-8", utf8},
                        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8},
                        {"code page 936", cp936.text}};
  for (const Case& c : cases) {
    ExpectReadsBackAs(d, Read(EncodedPair{c.text, cp936.wave}, FileKind::Result), c.name);
  }
  EXPECT_TRUE(IsUtf8Text(utf8));
  EXPECT_FALSE(IsUtf8Text(cp936.text));
  EXPECT_FALSE(IsUtf8Text("ASCII only"));
  EXPECT_FALSE(IsUtf8Text("\xE6\xB5"));      // cut short
  EXPECT_FALSE(IsUtf8Text("\xC0\xAF"));      // overlong
  EXPECT_FALSE(IsUtf8Text("\xED\xA0\x80"));  // surrogate
  EXPECT_TRUE(IsUtf8Text("\xEF\xBF\xBD"));   // U+FFFD itself
}

// ---- 12. Settings out of range; lines ended by CR alone ------------------------------------

TEST(FileLayerSettings, ValuesOutOfRangeAreLimitedToTheDialogRanges) {
  CKorvaneDoc written;
  PrintSettings& s = written.printSettings;
  s.topMargin = 2147483647;
  s.leftMargin = -5;
  s.bottomMargin = 101;
  s.rightMargin = 100;
  s.headerHeight = 1000000;
  s.footerHeight = -1;
  s.firstPageNumber = 2147483647;
  s.printHeader = 7;
  s.printPageNumber = -2;
  s.pageNumberPosition = 3;
  s.pageNumberFormat = 9;
  s.headerAlign = -1;
  s.footerAlign = 5;
  s.headerFont = 5;
  s.footerFont = -3;
  s.borderLineWidth = 100000;
  s.gridLineWidth = -4;
  written.project.testMethod = static_cast<TestMethod>(9);
  const std::string bytes = EncodeSettings(written);

  CKorvaneDoc doc;
  ASSERT_EQ(DecodeSettings(doc, bytes), 60);
  const PrintSettings& r = doc.printSettings;
  EXPECT_EQ(r.topMargin, 100);
  EXPECT_EQ(r.leftMargin, 0);
  EXPECT_EQ(r.bottomMargin, 100);
  EXPECT_EQ(r.rightMargin, 100);
  EXPECT_EQ(r.headerHeight, 100);
  EXPECT_EQ(r.footerHeight, 0);
  EXPECT_EQ(r.firstPageNumber, 100);
  EXPECT_EQ(r.printHeader, 1);
  EXPECT_EQ(r.printPageNumber, 0);
  EXPECT_EQ(r.pageNumberPosition, 2);
  EXPECT_EQ(r.pageNumberFormat, 1);
  EXPECT_EQ(r.headerAlign, 0);
  EXPECT_EQ(r.footerAlign, 2);
  EXPECT_EQ(r.headerFont, 4);
  EXPECT_EQ(r.footerFont, 0);
  EXPECT_EQ(r.borderLineWidth, 100);
  EXPECT_EQ(r.gridLineWidth, 0);
  EXPECT_EQ(doc.project.testMethod, TestMethod::Direct);
  // Values in range come back as they were.
  CKorvaneDoc plain;
  plain.printSettings.topMargin = 33;
  plain.printSettings.headerFont = 3;
  CKorvaneDoc again;
  DecodeSettings(again, EncodeSettings(plain));
  EXPECT_EQ(EncodeSettings(again), EncodeSettings(plain));
}

// A text whose lines end in CR alone reads as its CR LF twin (and in time
// linear in its length: each value ends at its own line).
TEST(FileLayerText, LinesEndedByCrAloneReadAsCrLf) {
  const SyntheticData d = ResultData(std::vector<int>(40, 1));
  const EncodedPair crlf = ResultBytes(d);
  EncodedPair cr = crlf;
  ReplaceAll(cr.text, "\r\n", "\r");
  ExpectReadsBackAs(d, Read(cr, FileKind::Result), "CR line ends");
}

}  // namespace
}  // namespace korvane::testing
