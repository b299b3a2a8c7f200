// korvane-cli export FILE [--docx OUT.docx] [--xlsx OUT.xlsx]
//     [--raw-xlsx OUT.xlsx] [--record-sheet] [--result-table]
//     [--no-member-estimates]
// Opens a data file, recomputes everything and writes the Word report, the
// results workbook and/or the raw-data workbook. The reports in the Word
// file follow the print settings of the settings file (by default the record
// sheet only) unless --record-sheet or --result-table is given. The Word
// result table and the results workbook state each member's estimate unless
// --no-member-estimates is given.
#include <ostream>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"

#ifdef KORVANE_WITH_OFFICE
#include "core/app/korvane_doc.h"
#include "core/platform/path_text.h"
#include "office/excel_export.h"
#include "office/word_report.h"
#endif

namespace korvane::cli {

#ifdef KORVANE_WITH_OFFICE

int RunExport(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--docx", "--xlsx", "--raw-xlsx"},
                                      {"--record-sheet", "--result-table", "--no-member-estimates"});
  if (parsed.positional.size() != 1) throw UsageError("expected exactly one data file");
  if (!parsed.Has("--docx") && !parsed.Has("--xlsx") && !parsed.Has("--raw-xlsx")) {
    throw UsageError("no output chosen: give --docx, --xlsx and/or --raw-xlsx");
  }

  ReportOptions options;
  options.printMemberEstimates = !parsed.Has("--no-member-estimates");

  CKorvaneDoc doc(CKorvaneDoc::Settings::Load);
  SendWarningsTo(doc, err);
  doc.OnOpenDocument(PathFromUtf8(parsed.positional.front()));
  doc.RecomputeAll();
  if (parsed.Has("--record-sheet") || parsed.Has("--result-table")) {
    doc.printSettings.printRecordSheet = parsed.Has("--record-sheet") ? 1 : 0;
    doc.printSettings.printResultTable = parsed.Has("--result-table") ? 1 : 0;
  }

  if (parsed.Has("--docx")) {
    const std::string path = parsed.Value("--docx");
    office::WriteWordReport(doc, PathFromUtf8(path), options);
    out << "wrote " << path << "\n";
  }
  if (parsed.Has("--xlsx")) {
    const std::string path = parsed.Value("--xlsx");
    office::WriteResultsWorkbook(doc, PathFromUtf8(path), options);
    out << "wrote " << path << "\n";
  }
  if (parsed.Has("--raw-xlsx")) {
    const std::string path = parsed.Value("--raw-xlsx");
    office::WriteRawDataWorkbook(doc, PathFromUtf8(path));
    out << "wrote " << path << "\n";
  }
  return 0;
}

#else

int RunExport(const Args&, std::ostream&, std::ostream& err) {
  err << "korvane-cli export: " << kLacksOffice << "\n";
  return 1;
}

#endif

}  // namespace korvane::cli
