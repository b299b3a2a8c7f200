// A save never changes what the screen shows, and reopening the saved files
// shows it again: every edit a user can make, through each kind of save.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/file_pair.h"
#include "core/standards/standards.h"
#include "file_test_support.h"
#include "support/document_dump.h"
#include "support/temp_dir.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

// What a comparison leaves out: the file's name and the writing program
// (a save-as and every save change them on purpose), the results where the
// screen shows none (the main screen), the section rows where a raw file's
// two channel rows become the member's one row of a result file. (R is a
// result too unless typed, and so are the angle and surface corrections:
// the main screen shows none of them.)
struct Unshown {
  bool results = false;
  bool sectionRows = false;
};

// The values of `after` that differ from those of `before` (or that only one
// of them has), each named by its section and field.
std::string Differences(const std::string& before, const std::string& after, Unshown unshown) {
  const auto skipped = [unshown](const std::string& section, const std::string& field) {
    static const std::set<std::string> kResults = {
        "fcue",          "meanValue",    "stdDev",          "batchResultFlag",  "minStrength",
        "maxStrength",   "meanStrength", "stdDevStrength",  "resultFlag",       "estimatedStrength",
        "strengthValue", "reboundValue", "angleCorrection", "surfaceCorrection"};
    if (field == "pathName" || field == "softwareId") return true;
    if (unshown.results && kResults.contains(field)) return true;
    return unshown.sectionRows && (section.rfind("-- section", 0) == 0 ||
                                   (section.rfind("-- member", 0) == 0 && field == "sectionIndex"));
  };
  const auto fields = [&skipped](const std::string& dump) {
    std::map<std::string, std::string> named;
    std::istringstream in(dump);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
      if (line.rfind("--", 0) == 0) {
        section = line;
        continue;
      }
      const std::size_t equals = line.find(" = ");
      const std::size_t name = line.find_first_not_of(' ');
      if (skipped(section, line.substr(name, equals - name))) continue;
      std::string key = section + " /" + line.substr(0, equals);
      while (named.contains(key)) key += "'";
      named[key] = equals == std::string::npos ? "" : line.substr(equals + 3);
    }
    return named;
  };
  const auto a = fields(before);
  const auto b = fields(after);
  std::string out;
  for (const auto& [key, value] : a) {
    const auto other = b.find(key);
    if (other == b.end()) {
      out += key + ": " + value + " => (none)\n";
    } else if (other->second != value) {
      out += key + ": " + value + " => " + other->second + "\n";
    }
  }
  for (const auto& [key, value] : b) {
    if (!a.contains(key)) out += key + ": (none) => " + value + "\n";
  }
  return out;
}

struct Edit {
  const char* name;
  std::function<void(CKorvaneDoc&)> apply;
};

void Must(const EditResult& r) { ASSERT_TRUE(r.changed()) << r.message; }

const std::vector<Edit> kEdits = {
    {"typed R",
     [](CKorvaneDoc& d) {
       Must(SetZoneField(d, {0, 1}, ZoneField::ReboundValue, 45.0f));
     }},
    {"typed R, two decimals",
     [](CKorvaneDoc& d) {
       Must(SetZoneField(d, {0, 0}, ZoneField::ReboundValue, 45.37f));
     }},
    {"reading",
     [](CKorvaneDoc& d) {
       Must(SetReading(d, {0, 0}, 3, 44));
     }},
    {"β",
     [](CKorvaneDoc& d) {
       Must(SetZoneField(d, {0, 0}, ZoneField::Beta, 1.2345f));
     }},
    {"λ",
     [](CKorvaneDoc& d) {
       Must(SetZoneField(d, {0, 0}, ZoneField::Lambda, 0.987f));
     }},
    {"η", [](CKorvaneDoc& d) { Must(SetEta(d, 1.2345f)); }},
    {"Δtot", [](CKorvaneDoc& d) { Must(SetDeltaTot(d, 1.234f)); }},
    {"carbonation",
     [](CKorvaneDoc& d) {
       Must(SetZoneField(d, {0, 0}, ZoneField::CarbonationDepth, 2.25f));
     }},
    {"point distance",
     [](CKorvaneDoc& d) {
       Must(SetPointDistance(d, {0, 0}, 0, 150.5f));
     }},
    {"coefficient",
     [](CKorvaneDoc& d) {
       Must(SetAggregate(d, 0, Aggregate::Custom));
       Must(SetCoefficient(d, 0, Coefficient::A, 0.012345f));
     }},
    {"own curve, every member",
     [](CKorvaneDoc& d) { Must(SetCustomCoefficients(d, -1, 0.0177760f, 1.334476f, 1.518251f)); }},
    {"core correction",
     [](CKorvaneDoc& d) {
       Must(ApplyCoreCorrection(d, {{0, 0, 30.0f}, {0, 1, 28.25f}}));
     }},
    {"angle table",
     [](CKorvaneDoc& d) {
       std::vector<float> cells = TableValues(d.tables, CorrectionTable::Angle);
       cells[0] = -8.0f;
       Must(SetCorrectionTable(d, CorrectionTable::Angle, cells));
     }},
    {"pumped",
     [](CKorvaneDoc& d) {
       Must(SwitchStandard(d, {0, 0}, Standard::TB10426_2004));
       Must(SetPumped(d, 0, true));
     }},
    {"member name", [](CKorvaneDoc& d) { Must(RenameMember(d, 0, "KZ 1")); }},
    {"project text", [](CKorvaneDoc& d) { Must(SetProjectText(d, ProjectText::Site, "Tower B")); }},
};

enum class SaveKind { Save, SaveAs, SaveResults };
enum class Screen { Main, Analysis };

// Opens a copy of a sample, edits, saves and reopens it; the differences
// after the save and after the reopen ("" when there are none).
std::pair<std::string, std::string> SaveAndReopen(const char* sample, const Edit& edit, SaveKind kind,
                                                  Screen screen) {
  TempDir dir;
  const fs::path source = fs::path(KORVANE_SAMPLES_DIR) / sample;
  fs::path wave = source;
  wave.replace_extension(".SHD");
  fs::copy_file(source, dir / source.filename().string());
  fs::copy_file(wave, dir / wave.filename().string());
  const fs::path opened = dir / source.filename().string();
  // The analysis screen recomputes a file as it opens it, and after edits.
  const auto shown = [screen](CKorvaneDoc& doc) {
    if (screen == Screen::Analysis) doc.RecomputeAll();
  };
  CKorvaneDoc doc;
  doc.OnOpenDocument(opened);
  shown(doc);
  edit.apply(doc);
  shown(doc);
  const std::string before = DumpDocument(doc);
  fs::path saved = opened;
  if (kind == SaveKind::SaveAs) saved = dir / ("copy" + opened.extension().string());
  if (kind == SaveKind::SaveResults) {
    saved = dir / "results.SHA";
    doc.SaveResults(saved);
  } else {
    doc.OnSaveDocument(saved);
  }
  const Unshown unshown{.results = screen == Screen::Main,
                        .sectionRows = KindOfPath(opened) != KindOfPath(saved)};
  CKorvaneDoc reopened;
  reopened.OnOpenDocument(saved);
  shown(reopened);
  return {Differences(before, DumpDocument(doc), unshown),
          Differences(before, DumpDocument(reopened), unshown)};
}

TEST(SaveReopen, TheScreenBeforeTheSaveIsTheScreenAfterTheReopen) {
  for (const char* sample : {"raw-1member-cecs2005.SHT", "result-3members-cecs2005.SHA"}) {
    for (SaveKind kind : {SaveKind::Save, SaveKind::SaveAs, SaveKind::SaveResults}) {
      for (Screen screen : {Screen::Main, Screen::Analysis}) {
        for (const Edit& edit : kEdits) {
          SCOPED_TRACE(std::string(sample) + " / " + edit.name + " / save " +
                       std::to_string(static_cast<int>(kind)) + " / screen " +
                       std::to_string(static_cast<int>(screen)));
          const auto [afterSave, afterReopen] = SaveAndReopen(sample, edit, kind, screen);
          EXPECT_EQ(afterSave, "");
          EXPECT_EQ(afterReopen, "");
        }
      }
    }
  }
}

// A file's text with the companion's line naming it left out (it names the
// file saved).
std::string WithoutOwnName(std::string bytes) {
  const std::size_t at = bytes.find("\ntext=");
  if (at != std::string::npos) bytes.erase(at, bytes.find('\n', at + 1) - at);
  return bytes;
}

// Opening any readable file and saving it twice gives the same bytes the
// second time as the first, and the values of the opened file: over the
// examples, the reader's fuzz corpus and a fractional delay (whose arrival
// times need two decimals to read back as the same sample).
TEST(SaveReopen, ASecondSaveWritesTheBytesOfTheFirst) {
  struct Input {
    std::string name;
    FileKind kind;
    EncodedPair bytes;
  };
  std::vector<Input> inputs;
  for (const char* sample :
       {"raw-1member-cecs2005.SHT", "result-3members-cecs2005.SHA", "result-7point-cecs2020.SHA"}) {
    const fs::path text = fs::path(KORVANE_SAMPLES_DIR) / sample;
    fs::path wave = text;
    wave.replace_extension(".SHD");
    inputs.push_back({sample, KindOfPath(text), {FileBytes(text), FileBytes(wave)}});
  }
  for (const auto& entry : fs::directory_iterator(fs::path(KORVANE_FUZZ_DIR) / "corpus/reader")) {
    const std::string bytes = FileBytes(entry.path());
    if (bytes.size() < 5 || (bytes[0] & 4) != 0 || (bytes[0] & 3) > 1) continue;  // merges, other kinds
    std::size_t length = 0;
    for (int k = 4; k >= 1; --k) length = length * 256 + static_cast<unsigned char>(bytes[k]);
    length = std::min(length, bytes.size() - 5);
    inputs.push_back({entry.path().filename().string(),
                      (bytes[0] & 3) == 0 ? FileKind::Result : FileKind::Raw,
                      {bytes.substr(5, length), bytes.substr(5 + length)}});
  }
  {
    SyntheticData d = SmallData(3, TestMethod::Direct, "cecs02:2005", {2});
    for (TestZone& zone : d.zoneLists[0]) {
      zone.delay = 2.54f;
      for (auto& point : zone.points) {
        if (!point) continue;
        point->delay = 2.54f;
        point->arrivalIndex = 50;  // T = 27.54 us: "27.5" would read as sample 49
        point->amplitudeIndex = 57;
      }
    }
    inputs.push_back({"fractional delay", FileKind::Result, ResultBytes(d)});
  }
  int resaved = 0;
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    TempDir dir;
    const std::string extension = input.kind == FileKind::Result ? ".SHA" : ".SHT";
    const FilePair in = OpenFilePair(dir / ("in" + extension));
    WriteBytes(in.textPath, input.bytes.text);
    WriteBytes(in.wavePath, input.bytes.wave);
    CKorvaneDoc opened;
    if (!ErrorOf([&] { opened.OnOpenDocument(in.textPath); }).empty()) continue;
    const FilePair first = OpenFilePair(dir / ("first" + extension));
    if (!ErrorOf([&] { opened.OnSaveDocument(first.textPath); }).empty()) continue;  // refused with a message
    CKorvaneDoc reopened;
    reopened.OnOpenDocument(first.textPath);
    EXPECT_EQ(Differences(DumpDocument(opened), DumpDocument(reopened), {.results = true}), "");
    const FilePair second = OpenFilePair(dir / ("second" + extension));
    reopened.OnSaveDocument(second.textPath);
    EXPECT_EQ(FileBytes(second.textPath), FileBytes(first.textPath));
    EXPECT_EQ(FileBytes(second.wavePath), FileBytes(first.wavePath));
    EXPECT_EQ(fs::exists(CompanionPath(second.textPath)), fs::exists(CompanionPath(first.textPath)));
    if (fs::exists(CompanionPath(first.textPath))) {
      EXPECT_EQ(WithoutOwnName(FileBytes(CompanionPath(second.textPath))),
                WithoutOwnName(FileBytes(CompanionPath(first.textPath))));
    }
    if (input.name == "fractional delay") {
      EXPECT_FALSE(fs::exists(CompanionPath(first.textPath)));  // the text holds every arrival itself
      EXPECT_EQ(reopened.zoneLists[0][0].point(0)->arrivalIndex, 50);
    }
    ++resaved;
  }
  EXPECT_GE(resaved, 15);
}

}  // namespace
}  // namespace korvane::testing
