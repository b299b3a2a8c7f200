// Opening and saving through the document.
#include <gtest/gtest.h>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/file_messages.h"
#include "core/data/save_names.h"
#include "core/standards/standards.h"
#include "file_test_support.h"
#include "support/document_dump.h"

namespace korvane::testing {
namespace {

std::filesystem::path WriteResult(const TempDir& dir, const std::string& name, SyntheticData& d) {
  const auto path = dir / name;
  WriteResultFile(OpenFilePair(path), d.project, d.zoneLists, d.memberCount, {}, d.sections, d.members);
  return path;
}

TEST(DocumentOpen, ResetsStateAndFillsReportInfo) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Direct, "tb10426-2004", {2, 1});
  d.project.site = "某工程";
  d.members[1].aggregateType = Aggregate::Unset;
  const auto path = WriteResult(dir, "open.SHA", d);

  CKorvaneDoc doc;
  doc.highPassOn = doc.lowPassOn = true;
  doc.modified = true;
  doc.currentZone = 5;
  doc.OnOpenDocument(path);
  EXPECT_EQ(doc.memberCount, 2);
  EXPECT_EQ(doc.zoneLists.size(), 2u);
  EXPECT_FALSE(doc.highPassOn || doc.lowPassOn || doc.modified);
  EXPECT_EQ(doc.currentMember, 0);
  EXPECT_EQ(doc.currentZone, 0);
  EXPECT_EQ(doc.currentPoint, 0);
  EXPECT_EQ(doc.standard, Standard::TB10426_2004);
  EXPECT_EQ(doc.pathName, std::filesystem::absolute(path).lexically_normal().string());
  EXPECT_EQ(doc.reportInfo.projectName, "某工程");
  EXPECT_EQ(doc.reportInfo.testBasis, "TB10426-2004");
  // A member without CGL gets crushed stone and the standard's coefficients.
  float a = 0, b = 0, c = 0, e = 0;
  doc.algorithm.GetCoefficients(false, a, b, c, e);
  EXPECT_EQ(doc.members[1].aggregateType, Aggregate::CrushedStone);
  EXPECT_EQ(doc.members[1].coefA, a);
  EXPECT_EQ(doc.members[1].coefB, b);
  EXPECT_EQ(doc.members[0].aggregateType, Aggregate::CrushedStone);  // as written
}

TEST(DocumentOpen, FixedMethodStandardsSetDirectMethod) {
  TempDir dir;
  for (const char* standard : {"tb10426-2019", "db61/t1084-2017", "cecs02:2005"}) {
    SyntheticData d = SmallData(3, TestMethod::Angle, standard, {1});
    const auto path = WriteResult(dir, "fixed.SHA", d);
    CKorvaneDoc doc;
    doc.OnOpenDocument(path);
    const bool fixed = std::string(standard) != "cecs02:2005";
    EXPECT_EQ(doc.project.testMethod, fixed ? TestMethod::Direct : TestMethod::Angle) << standard;
  }
}

// Whatever makes an open fail, the document ends in the one "no file" state:
// nothing of the previous file is left to show or to save over a file.
TEST(DocumentOpen, EveryFailureShowsNoFileAndKeepsPathName) {
  TempDir dir;
  // The message names the file and the reason.
  const auto failure = [&dir](std::string_view message, const char* file, std::string_view reason = {}) {
    return MessageWithPath(message, dir / file, reason);
  };
  struct Case {
    const char* name;
    const char* file;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", "missing.SHA",
       failure(kMsgOpenFileFailed, "missing.SHA", "No such file or directory")},
      {"a folder", "folder.SHA", failure(kMsgOpenFileFailed, "folder.SHA", "Is a directory")},
      {"empty file", "empty.SHA", failure(kMsgFileEmpty, "empty.SHA")},
      // The warning sink of the desktop program may throw anything.
      {"other exception", "long-number.SHA", std::string(kMsgOpenFileFailed)},
  };
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  const auto good = WriteResult(dir, "good.SHA", d);
  WriteBytes(dir / "empty.SHA", "");
  WriteBytes(dir / "empty.SHD", "");
  std::filesystem::create_directories(dir / "folder.SHA");
  std::string text = FileBytes(good);
  const std::string moveLength = "Movelength     :50";
  ASSERT_NE(text.find(moveLength), std::string::npos);
  text.replace(text.find(moveLength), moveLength.size(), "Movelength     :123456789012345678901");
  WriteBytes(dir / "long-number.SHA", text);
  std::filesystem::copy_file(dir / "good.SHD", dir / "long-number.SHD");

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CKorvaneDoc doc;
    doc.warningSink = [](std::string_view) { throw std::runtime_error("not a file error"); };
    doc.OnOpenDocument(good);
    const std::string path = doc.pathName;
    doc.project.site = "changed";
    doc.modified = true;
    doc.currentZone = 1;
    // The stated message comes first; the path and the reason follow it.
    EXPECT_EQ(ErrorOf([&] { doc.OnOpenDocument(dir / c.file); }), c.message);
    EXPECT_EQ(doc.memberCount, -1);
    EXPECT_EQ(doc.currentMember, -1);
    EXPECT_EQ(doc.currentZone, 0);
    EXPECT_EQ(doc.GetCurrentZone(), nullptr);
    EXPECT_EQ(doc.project.site, "");
    EXPECT_TRUE(doc.members.empty());
    EXPECT_TRUE(doc.zoneLists.empty());
    EXPECT_TRUE(doc.sections.empty());
    EXPECT_EQ(doc.result.fcue, 0.0f);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.pathName, path);
    EXPECT_EQ(doc.openedFiles.size(), 1u);
    // Nothing to save: a save would have replaced a file with an empty one.
    EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(dir / "after.SHA"); }), kMsgOpenFileFirst);
    EXPECT_FALSE(std::filesystem::exists(dir / "after.SHA"));
  }
}

// Opened for its numbers alone, a pair gives every value it gives when its
// samples are read, fails on the same waveform faults, and is never saved.
TEST(DocumentOpen, NumbersAloneReadNoSample) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2, 3});
  const auto good = WriteResult(dir, "good.SHA", d);
  WriteBytes(dir / "cut.SHA", FileBytes(good));
  const std::string wave = FileBytes(dir / "good.SHD");
  WriteBytes(dir / "cut.SHD", wave.substr(0, wave.size() - 2));
  const std::filesystem::path samples(KORVANE_SAMPLES_DIR);
  for (const std::filesystem::path& path :
       {good, samples / "raw-1member-cecs2005.SHT", samples / "result-3members-cecs2005.SHA",
        samples / "result-7point-cecs2020.SHA", dir / "cut.SHA"}) {
    SCOPED_TRACE(path.filename().string());
    CKorvaneDoc full;
    CKorvaneDoc numbers;
    const std::string fullError = ErrorOf([&] { full.OnOpenDocument(path); });
    EXPECT_EQ(ErrorOf([&] { numbers.OnOpenDocument(path, WaveformReading::SizeOnly); }), fullError);
    if (!fullError.empty()) continue;
    full.RecomputeAll();
    numbers.RecomputeAll();
    // Only the amplitude readings need the samples.
    bool anySamples = false;
    for (std::size_t m = 0; m < full.zoneLists.size(); ++m) {
      for (std::size_t z = 0; z < full.zoneLists[m].size(); ++z) {
        full.zoneLists[m][z].pointAmplitude = {};
        for (std::size_t p = 0; p < kMaxPoints; ++p) {
          auto& point = full.zoneLists[m][z].points[p];
          if (!point) continue;
          anySamples = anySamples || !point->samples.empty();
          point->unreadSampleCount = static_cast<int>(point->samples.size());
          point->samples = {};
        }
      }
    }
    EXPECT_TRUE(anySamples);
    EXPECT_EQ(DumpDocument(numbers), DumpDocument(full));
    EXPECT_EQ(ErrorOf([&] { numbers.OnSaveDocument(dir / "numbers.SHA"); }), kMsgSaveWithoutSamples);
    EXPECT_EQ(ErrorOf([&] { numbers.SaveResults(dir / "numbers.SHA"); }), kMsgSaveWithoutSamples);
    EXPECT_FALSE(std::filesystem::exists(dir / "numbers.SHA"));
  }
}

// An open stopped from its progress leaves the document as it was: the file
// open before, its edits, its path; the progress heard the waveform file.
TEST(DocumentOpen, ACancelledOpenKeepsTheDocument) {
  TempDir dir;
  SyntheticData first = SmallData(3, TestMethod::Direct, "cecs02:2005", {2});
  SyntheticData second = SmallData(3, TestMethod::Direct, "cecs02:2005", {4, 4});
  const auto before = WriteResult(dir, "first.SHA", first);
  const auto other = WriteResult(dir, "second.SHA", second);
  CKorvaneDoc doc;
  doc.OnOpenDocument(before);
  doc.project.site = "edited";
  doc.modified = true;
  const std::string shown = DumpDocument(doc);
  std::vector<std::uint64_t> heard;
  EXPECT_THROW(doc.OnOpenDocument(other, WaveformReading::Samples,
                                  [&heard, &dir](std::uint64_t done, std::uint64_t total) {
                                    heard.push_back(done);
                                    EXPECT_EQ(total, std::filesystem::file_size(dir / "second.SHD"));
                                    throw OpenCancelled{};
                                  }),
               OpenCancelled);
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(DumpDocument(doc), shown);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.openedFiles.size(), 1u);
}

TEST(DocumentOpen, OpenedFilesListNewestFirstWithoutDuplicates) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {1});
  const auto a = WriteResult(dir, "a.SHA", d);
  const auto b = WriteResult(dir, "b.SHA", d);
  CKorvaneDoc doc;
  doc.OnOpenDocument(a);
  doc.OnOpenDocument(b);
  doc.OnOpenDocument(a);
  ASSERT_EQ(doc.openedFiles.size(), 2u);
  EXPECT_EQ(doc.openedFiles[0], std::filesystem::absolute(a).lexically_normal().string());
}

TEST(DocumentSave, ByTypeAndMessages) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const auto path = WriteResult(dir, "save.SHA", d);
  CKorvaneDoc doc;
  EXPECT_EQ(ErrorOf([&] { doc.SaveResults(dir / "x.SHA"); }), "请先打开文件!");
  doc.OnOpenDocument(path);
  doc.modified = true;
  EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(dir / "x.txt"); }), "无法识别的文件类型");
  EXPECT_TRUE(doc.modified);
  doc.OnSaveDocument(dir / "raw.sht");  // lower-case extension is a raw file too
  EXPECT_FALSE(doc.modified);
  EXPECT_TRUE(std::filesystem::exists(dir / "raw.shd"));
  CKorvaneDoc raw;
  raw.OnOpenDocument(dir / "raw.sht");
  EXPECT_EQ(raw.ZoneCount(0), 2);
}

// After a successful save the document is the file written: Ctrl+S then
// writes there, not over the file first opened. A failed save names nothing.
TEST(DocumentSave, TheDocumentNamesTheFileItWrote) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const auto original = WriteResult(dir, "original.SHA", d);
  const std::string full = std::filesystem::absolute(original).lexically_normal().string();
  CKorvaneDoc doc;
  doc.OnOpenDocument(original);
  for (const auto& failing : {dir / "copy.txt", dir / "missing" / "copy.SHA"}) {
    doc.modified = true;
    EXPECT_NE(ErrorOf([&] { doc.OnSaveDocument(failing); }), "") << failing;
    EXPECT_EQ(doc.pathName, full);
    EXPECT_EQ(doc.openedFiles, std::vector<std::string>{full});
    EXPECT_TRUE(doc.modified);
  }
  for (const char* name : {"copy.SHT", "copy.SHA"}) {
    const std::string copy = (dir / name).string();
    doc.OnSaveDocument(dir / name);
    EXPECT_EQ(doc.pathName, copy);
    EXPECT_EQ(doc.openedFiles.front(), copy);
    EXPECT_FALSE(doc.modified);
  }
  EXPECT_EQ(doc.openedFiles,
            (std::vector<std::string>{(dir / "copy.SHA").string(), (dir / "copy.SHT").string(), full}));
}

// A result file carries the results of the data it stores: a pick and a
// distance typed on the main screen (which recompute V and Va only) reach
// the zone's strength and the batch figures (MF, SF, FCUE) written,
// whichever command writes the file. Reading the file back and recomputing
// gives what it stores.
TEST(DocumentSave, ResultFileCarriesResultsOfItsOwnData) {
  struct Case {
    const char* name;
    void (*save)(CKorvaneDoc&, const std::filesystem::path&);
  };
  const Case cases[] = {
      {"save", [](CKorvaneDoc& doc, const std::filesystem::path& p) { doc.OnSaveDocument(p); }},
      {"save results", [](CKorvaneDoc& doc, const std::filesystem::path& p) { doc.SaveResults(p); }},
  };
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {3, 2});
  const auto original = WriteResult(dir, "field.SHA", d);
  for (const Case& c : cases) {
    CKorvaneDoc doc;
    doc.OnOpenDocument(original);
    doc.RecomputeAll();  // "输出"
    const float stale = doc.zoneLists[0][1].strengthValue;
    const float staleMean = doc.result.meanValue;
    ASSERT_FALSE(SetPointDistance(doc, {0, 1}, 0, 2.0f * doc.zoneLists[0][1].points[0]->distance).refused);
    ASSERT_FALSE(PickArrival(doc, {1, 0}, 2, 8, PickPanel::PointPanel).refused);
    ASSERT_EQ(doc.zoneLists[0][1].strengthValue, stale);

    const auto saved = dir / (std::string(c.name) + ".SHA");
    c.save(doc, saved);
    CKorvaneDoc back;
    back.OnOpenDocument(saved);
    std::vector<float> stored;
    for (const ZoneList& zones : back.zoneLists) {
      for (const TestZone& zone : zones) stored.push_back(zone.strengthValue);
    }
    const StrengthResult storedBatch = back.result;
    EXPECT_GT(std::abs(back.zoneLists[0][1].strengthValue - stale), 0.5f) << c.name;
    EXPECT_GT(std::abs(back.result.meanValue - staleMean), 0.1f) << c.name;

    back.RecomputeAll();
    std::size_t i = 0;
    for (const ZoneList& zones : back.zoneLists) {
      for (const TestZone& zone : zones) EXPECT_NEAR(zone.strengthValue, stored[i++], 0.051f) << c.name;
    }
    EXPECT_NEAR(back.result.meanValue, storedBatch.meanValue, 0.051f) << c.name;
    EXPECT_NEAR(back.result.stdDev, storedBatch.stdDev, 0.0051f) << c.name;
    EXPECT_NEAR(back.result.fcue, storedBatch.fcue, 0.051f) << c.name;
  }
}

// The name a save dialog proposes never overwrites the waveform file of
// another data file: x.SHA of a raw file x.SHT would take its x.SHD.
TEST(FreeSaveName, AvoidsTheWaveformFileOfAnotherDataFile) {
  TempDir dir;
  for (const char* name : {"x.SHT", "x.SHD", "x(2).SHT", "x(2).SHD", "y.SHA", "y.SHD", "z.SHD"}) {
    WriteBytes(dir / name, "data");
  }
  struct Case {
    const char* proposed;
    const char* expected;
  };
  const Case cases[] = {
      {"x.SHA", "x(3).SHA"},                       // x.SHD and x(2).SHD belong to raw files
      {"x.SHT", "x.SHT"},                          // its own waveform file
      {"y.SHT", "y(2).SHT"},                       // the result file's y.SHD
      {"y.SHA", "y.SHA"},     {"z.SHA", "z.SHA"},  // a waveform file without its text file is nobody's
      {"new.SHA", "new.SHA"},
  };
  for (const Case& c : cases) EXPECT_EQ(FreeSaveName(dir / c.proposed), dir / c.expected) << c.proposed;
}

TEST(DocumentSave, SaveResultsDefaultNameCutsTheFileNameOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"/data/2026.12/field.SHT", "/data/2026.12/field"},
      {"/data/2026.12/field.v2.SHT", "/data/2026.12/field"},
      {"/data/field.SHT", "/data/field"},
      {"/data/2026.12/field", "/data/2026.12/field"},
      {"field.SHT", "field"},
  };
  for (const auto& [path, expected] : cases) {
    CKorvaneDoc doc;
    doc.pathName = path;
    EXPECT_EQ(doc.SaveResultsDefaultName(), expected) << path;
  }
}

TEST(DocumentSave, SaveResultsReopensTheNewFile) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {3});
  const auto raw = dir / "field.SHT";
  WriteRawFile(OpenFilePair(raw), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  CKorvaneDoc doc;
  doc.OnOpenDocument(raw);
  EXPECT_EQ(doc.SaveResultsDefaultName(), (dir / "field").string());
  doc.zoneLists[0][1].rebound.fill(44);
  const auto result = dir / "field-results.SHA";
  doc.SaveResults(result);
  EXPECT_EQ(doc.pathName, result.string());
  EXPECT_EQ(doc.openedFiles.front(), result.string());
  EXPECT_EQ(doc.zoneLists[0][1].rebound[0], 44);  // came back from the new file
  EXPECT_EQ(doc.memberCount, 1);
}

// A surface-method raw file under TB 10426-2019 opens with the project's
// method "对测" and still saves and reopens with seven points per zone.
TEST(DocumentSave, SevenPointZonesUnderAFixedMethodStandard) {
  TempDir dir;
  SyntheticData d = SmallData(7, TestMethod::Surface, "tb10426-2019", {3});
  const auto raw = dir / "wall.SHT";
  WriteRawFile(OpenFilePair(raw), d.project, d.zoneLists, d.memberCount, d.sections, d.members);
  CKorvaneDoc doc;
  doc.OnOpenDocument(raw);
  ASSERT_EQ(doc.project.testMethod, TestMethod::Direct);
  ASSERT_EQ(doc.zoneLists[0][0].pointCount, 7);
  doc.RecomputeAll();
  const ZoneLists before = ZoneLists(doc.zoneLists);
  doc.SaveResults(dir / "wall.SHA");
  EXPECT_EQ(doc.project.testMethod, TestMethod::Direct);
  ASSERT_EQ(doc.ZoneCount(0), 3);
  for (std::size_t z = 0; z < 3; ++z) {
    EXPECT_EQ(doc.zoneLists[0][z].pointCount, 7);
    for (std::size_t p = 0; p < 7; ++p) {
      EXPECT_EQ(doc.zoneLists[0][z].points[p]->samples, before[0][z].points[p]->samples);
    }
    EXPECT_NEAR(doc.zoneLists[0][z].strengthValue, before[0][z].strengthValue, 0.05f);
  }
}

// Saving never destroys the previous pair.
TEST(DocumentSave, FailedSaveKeepsThePreviousPair) {
  TempDir dir;
  SyntheticData d = SmallData(3, TestMethod::Surface, "cecs02:2005", {2});
  const auto path = WriteResult(dir, "keep.SHA", d);
  const std::string text = FileBytes(path);
  const std::string wave = FileBytes(dir / "keep.SHD");
  CKorvaneDoc doc;
  doc.OnOpenDocument(path);
  doc.zoneLists[0][0].rebound.fill(20);

  const auto failure = [&dir](const char* message, const char* name, const char* reason) {
    // The path as the system writes it ('\\' between names on Windows).
    std::filesystem::path where = dir / name;
    return std::string(message) + " " + PathToUtf8(where.make_preferred()) + "：" + reason;
  };
  // The waveform target cannot be replaced (it is a folder): the text file
  // is not touched either.
  std::filesystem::create_directory(dir / "blocked.SHD");
  WriteBytes(dir / "blocked.SHA", "old");
  EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(dir / "blocked.SHA"); }),
            failure("创建SHD文件失败！", "blocked.SHD", "Is a directory"));
  EXPECT_EQ(FileBytes(dir / "blocked.SHA"), "old");
  // The text target cannot be replaced: the old waveform file stays.
  std::filesystem::create_directory(dir / "folder.SHT");
  WriteBytes(dir / "folder.SHD", "old");
  EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(dir / "folder.SHT"); }),
            failure("创建SHT/SHA文件失败！", "folder.SHT", "Is a directory"));
  EXPECT_EQ(FileBytes(dir / "folder.SHD"), "old");
  // A missing folder.
  EXPECT_EQ(ErrorOf([&] { doc.OnSaveDocument(dir / "no" / "x.SHA"); }),
            failure("创建SHA文件失败！", "no/x.SHA", "No such file or directory"));
  EXPECT_EQ(FileBytes(path), text);
  EXPECT_EQ(FileBytes(dir / "keep.SHD"), wave);
  // Nothing left behind.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_NE(name.front(), '.') << name;
  }
  doc.OnSaveDocument(path);
  EXPECT_NE(FileBytes(path), text);
}

}  // namespace
}  // namespace korvane::testing
