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
       Must(SetReboundValue(d, {0, 1}, 45.0f));
     }},
    {"typed R, two decimals",
     [](CKorvaneDoc& d) {
       Must(SetReboundValue(d, {0, 0}, 45.37f));
     }},
    {"reading",
     [](CKorvaneDoc& d) {
       Must(SetReading(d, {0, 0}, 3, 44));
     }},
    {"β",
     [](CKorvaneDoc& d) {
       Must(SetBeta(d, {0, 0}, 1.2345f));
     }},
    {"λ",
     [](CKorvaneDoc& d) {
       Must(SetLambda(d, {0, 0}, 0.987f));
     }},
    {"η", [](CKorvaneDoc& d) { Must(SetEta(d, 1.2345f)); }},
    {"Δtot", [](CKorvaneDoc& d) { Must(SetDeltaTot(d, 1.234f)); }},
    {"carbonation",
     [](CKorvaneDoc& d) {
       Must(SetCarbonationDepth(d, {0, 0}, 2.25f));
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

}  // namespace
}  // namespace korvane::testing
