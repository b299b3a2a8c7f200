#include "core/app/merge_output.h"

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"

#include <cstdio>

#include "core/algorithm/correction_tables.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"

namespace korvane {

namespace {

// The document the merged file is written from, recomputed.
void FillMergedDocument(const MergedData& data, CKorvaneDoc& doc) {
  doc.project = data.project;
  doc.members = data.members;
  doc.zoneLists = data.zoneLists;
  doc.sections = data.sections;
  doc.result = data.result;
  doc.memberCount = data.memberCount;
  doc.zoneLists.resize(doc.members.size());
  doc.currentMember = doc.members.empty() ? -1 : 0;
  const Standard standard = StandardOfStoredName(doc.project.standardName);
  doc.SetStandard(standard);
  for (Member& member : doc.members) {
    if (member.aggregateType != Aggregate::Unset) continue;
    member.aggregateType = Aggregate::CrushedStone;
    doc.algorithm.GetCoefficients(false, member.coefA, member.coefB, member.coefC, member.coefD);
  }
  for (const TableCells& stored : data.extras.tables) {
    if (const auto table = TableNamed(stored.name)) SetTableValues(doc.tables, *table, stored.cells);
  }
  doc.cores = data.extras.cores;
}

std::string FloatText(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
  return buffer;
}

}  // namespace

void WriteMergedFile(const MergedData& data, const std::filesystem::path& output) {
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  FillMergedDocument(data, doc);
  // OnSaveDocument recomputes every zone, member and the batch before it
  // writes a result file.
  doc.OnSaveDocument(output);
}

MergeCheck CheckMerge(const std::vector<std::filesystem::path>& inputs, const MergedData& data) {
  MergeCheck check;
  CKorvaneDoc merged(CKorvaneDoc::Settings::None);
  FillMergedDocument(data, merged);
  merged.RecomputeAll();
  std::size_t offset = 0;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    CKorvaneDoc own(CKorvaneDoc::Settings::None);
    own.warningSink = [](std::string_view) {};  // said when the merge read them
    try {
      own.OnOpenDocument(inputs[k]);
    } catch (const KorvaneError&) {
      continue;  // the read of the merge has said why
    }
    own.RecomputeAll();
    const std::string name = PathToUtf8(inputs[k].filename());
    const bool otherStandard = own.standard != merged.standard;
    bool otherTables = false;
    for (const CorrectionTableInfo& info : kCorrectionTables) {
      otherTables =
          otherTables || TableValues(own.tables, info.table) != TableValues(merged.tables, info.table);
    }
    if (otherStandard) check.otherStandard.push_back(name);
    if (otherTables) check.otherTables.push_back(name);
    const std::size_t count = own.members.size();
    if (otherStandard || otherTables) {
      for (std::size_t m = 0; m < count && offset + m < merged.members.size(); ++m) {
        const float before = own.members[m].estimatedStrength;
        const float after = merged.members[offset + m].estimatedStrength;
        if (before != after) check.members.push_back({name, own.members[m].name, before, after});
      }
    }
    offset += count;
  }
  return check;
}

std::string MergeChangeText(const MergeCheck& check) {
  std::string text;
  const auto list = [](const std::vector<std::string>& files) {
    std::string joined;
    for (const std::string& f : files) joined += (joined.empty() ? "" : "、") + f;
    return joined;
  };
  if (!check.otherStandard.empty()) {
    text += list(check.otherStandard) + " 的检测规范与第一个文件不同，合并后按第一个文件的规范重新计算。\n";
  }
  if (!check.otherTables.empty()) {
    text += list(check.otherTables) + " 的修正表与合并后的文件不同，合并后按合并文件的修正表重新计算。\n";
  }
  if (check.members.empty()) {
    text += "各构件的推定值不变。";
  } else {
    text += "推定值将改变的构件：";
    for (const MergeChange& c : check.members) {
      text += "\n构件 " + c.member + "（" + c.file + "）：" + FloatText(c.before) + " → " +
              FloatText(c.after) + " MPa";
    }
  }
  return text;
}

}  // namespace korvane
