#include "core/app/merge_output.h"

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"

namespace korvane {

void WriteMergedFile(const MergedData& data, const std::filesystem::path& output) {
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
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
  // OnSaveDocument recomputes every zone, member and the batch before it
  // writes a result file.
  doc.OnSaveDocument(output);
}

}  // namespace korvane
