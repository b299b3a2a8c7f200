#include "cli/help.h"

#include <string>

#include "cli/commands.h"

namespace korvane::cli {

namespace {

constexpr std::string_view kStandardText =
    "the standard: its name (\"CECS 02:2005\", \"TB10426-2004\", \"CECS 02-2020\" …) or its index 0–9";

// Roff text: backslashes and leading dots or apostrophes escaped.
std::string Roff(std::string_view text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (lineStart && (c == '.' || c == '\'')) {
      out += "\\&";
      out += c;
    } else {
      out += c;
    }
    lineStart = c == '\n';
  }
  return out;
}

// The paragraphs of a text, split at blank lines.
std::vector<std::string_view> Paragraphs(std::string_view text) {
  std::vector<std::string_view> paragraphs;
  while (!text.empty()) {
    const std::size_t end = text.find("\n\n");
    paragraphs.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
  }
  return paragraphs;
}

}  // namespace

const std::vector<CommandHelp>& CommandHelps() {
  static const std::vector<CommandHelp> commands = {
      {"zone",
       "--standard S --readings r1,...,r16 --distances L1,...,Ln --times T1,...,Tn [options]",
       "the strength of one test zone",
       "Computes R, the zone velocity V and Va and the strength fcu,i of one test zone from its sixteen "
       "rebound readings and its points' distances (mm) and transit times (us), and prints them as JSON.",
       {{"--standard", "S", kStandardText},
        {"--readings", "r1,...,r16", "the sixteen rebound readings"},
        {"--distances", "L1,...,Ln", "the points' distances, mm (at most 7)"},
        {"--times", "T1,...,Tn", "the points' transit times, us (as many as distances)"},
        {"--method", "M", "test method: 0 角测, 1 平测 (default), 2 对测"},
        {"--angle", "DEG", "hammer angle: 90, 60, 45, 30, 0, -30, -45, -60 or -90"},
        {"--surface", "F", "tested surface: 0 侧面, 1 顶面, 2 底面"},
        {"--carbonation", "MM", "carbonation depth, mm"},
        {"--aggregate", "A", "coarse aggregate: 0 own coefficients, 1 卵石, 2 碎石"},
        {"--coefficients", "a,b,c,d", "the member's own coefficients (with --aggregate 0)"},
        {"--beta", "B", "β"},
        {"--lambda", "L", "λ"},
        {"--eta", "E", "η"},
        {"--delta", "D", "Δtot, MPa"},
        {"--manual-r", "R", "R typed by hand (the readings are then not used for R)"},
        {"--pumped", "", "pumped concrete (泵送)"}}},
      {"estimate",
       "--standard S --member v1,v2,... [--member ...]",
       "member and batch estimates from zone strengths",
       "Computes each member's estimate and the batch result from the strengths (MPa) of its zones, one "
       "--member per member.",
       {{"--standard", "S", kStandardText},
        {"--member", "v1,v2,...", "the zone strengths of one member, MPa"}}},
      {"info",
       "FILE",
       "a short summary of a data file",
       "Prints the project, the members and their zone counts.",
       {}},
      {"evaluate",
       "FILE [--standard S] [--json]",
       "zone, member and batch results of a data file",
       "Opens the pair (with its companion file) as the desktop program does, recomputes everything and "
       "prints a table, or the whole document as JSON.",
       {{"--standard", "S", "evaluate under this standard instead of the file's"},
        {"--json", "", "the whole document as JSON"}}},
      {"convert",
       "IN OUT",
       "saves a data file as a result (.SHA) or raw (.SHT) file",
       "The type of OUT follows its extension; a result file is written with its strengths recomputed.",
       {}},
      {"merge",
       "OUT.SHA IN... [--accept-recompute]",
       "several data files into one result file",
       "Each member of the inputs becomes a member of OUT.SHA, computed under the first file's standard "
       "with one set of correction tables (the first file's edited ones). When a file has another standard "
       "or other tables, its strengths would change: the merge is refused and lists each member whose "
       "estimate changes, before and after, unless --accept-recompute is given.",
       {{"--accept-recompute", "",
         "merge even so; the members whose estimates change are listed on stderr"}}},
      {"generate",
       "DIR [--members N] [--zones N] [--points N] [--samples N] [--standard S] [--seed N] [--name NAME]",
       "writes the example files, or a file of any size",
       "Without options, writes the example data file pairs into DIR. With any of the options, writes one "
       "result file pair of that size instead (NAME, generated.SHA by default): synthetic members, zones and "
       "waveforms, recomputed as a saved result file is; the same options give the same bytes.",
       {{"--members", "N", "members, 1–100, as many as a file holds (default 10)"},
        {"--zones", "N", "zones per member, 1–1000 (default 10)"},
        {"--points", "N", "points per zone, a count the standard's test methods have (default 3)"},
        {"--samples", "N", "samples per waveform, 64–16384 (default 512)"},
        {"--standard", "S", kStandardText},
        {"--seed", "N", "seed of the generator (default 1)"},
        {"--name", "NAME", "the file's name (.SHA added when missing)"}}},
      {"waveform",
       "FILE --member M --zone Z [--highpass KHZ] [--lowpass KHZ] [--csv]",
       "the waveforms of one zone",
       "Prints the samples of every point of a zone in mV, filtered when asked.",
       {{"--member", "M", "the member, from 0"},
        {"--zone", "Z", "the zone, from 0"},
        {"--highpass", "KHZ", "high-pass filter corner, kHz"},
        {"--lowpass", "KHZ", "low-pass filter corner, kHz"},
        {"--csv", "", "one column per point"}}},
      {"pick",
       "FILE [--member M] [--zone Z] [--json]",
       "suggested first arrivals",
       "Proposes the first arrival of every point (of one member or zone when given) beside the stored one, "
       "with a confidence.",
       {{"--member", "M", "only this member, from 0"},
        {"--zone", "Z", "only this zone, from 0"},
        {"--json", "", "as JSON"}}},
      {"report",
       "FILE [--record-sheet] [--result-table] [--pdf OUT.pdf] [--png DIR] [--bmp DIR] [--printer [NAME]] "
       "[--no-member-estimates]",
       "the reports as PDF, PNG, BMP or on a printer",
       "Lays out the record sheet (现场记录表) and the result table (强度报告) as the desktop program prints "
       "them.",
       {{"--record-sheet", "", "the record sheet"},
        {"--result-table", "", "the result table"},
        {"--pdf", "OUT.pdf", "one PDF of the pages"},
        {"--png", "DIR", "a PNG preview of each page (A4 at 150 dpi)"},
        {"--bmp", "DIR", "a monochrome BMP of each page"},
        {"--printer", "[NAME]",
         "print on a printer: a CUPS queue, on Windows a printer of the system (the default printer without "
         "a name)"},
        {"--no-member-estimates", "", "the result table without the member-estimate rows"}},
       kHasRenderer},
      {"export",
       "FILE [--docx OUT.docx] [--xlsx OUT.xlsx] [--raw-xlsx OUT.xlsx] [--record-sheet] [--result-table] "
       "[--no-member-estimates]",
       "the reports as Word and Excel files",
       "Writes the Word report, the Excel result workbook and the Excel workbook of the raw data.",
       {{"--docx", "OUT.docx", "the Word report"},
        {"--xlsx", "OUT.xlsx", "the results as an Excel workbook"},
        {"--raw-xlsx", "OUT.xlsx", "the raw data as an Excel workbook"},
        {"--record-sheet", "", "the record sheet in the Word report"},
        {"--result-table", "", "the result table in the Word report"},
        {"--no-member-estimates", "", "without the member-estimate rows"}},
       kHasOffice},
      {"curve",
       "CUBES.csv|CUBES.xlsx [--json] [--pdf OUT.pdf]",
       "a laboratory's own strength curve from its cubes",
       "Fits fcu = a·v^b·R^c to the cubes (columns v, R, fcu or 声速, 回弹值, 抗压强度; CSV in UTF-8 or "
       "GBK, or the first sheet of a workbook) by least squares of ln fcu on ln v and ln R, and prints n, a, "
       "b, "
       "c, the correlation, the mean relative error δ and the relative standard deviation e_r (%), whether "
       "they meet the limits of a dedicated (12%, 14%), regional (14%, 17%) and unified (15%, 18%) curve, "
       "and the ranges of v, R and fcu. Rows that are not three positive numbers are listed on stderr and "
       "left out; fewer than ten cubes are refused.",
       {{"--json", "",
         "as JSON (n, a, b, c, correlation, meanRelativeError, relativeStdDev, verdict, range)"},
        {"--pdf", "OUT.pdf",
         "the fit's page: the figures and the plot of computed against measured strength"}}},
      {"cores",
       "FILE --core M:Z=F [--core M:Z=F ...] [--json] [--apply OUT.SHA]",
       "the core correction η or Δtot from drilled cores",
       "Derives the correction of the file's standard from the strengths of cores drilled from its zones: "
       "η = (1/n)·Σ fcor,i/fcu,i for the standards that correct by a factor, Δtot = mean(fcor) − mean(fcu,i) "
       "for the additive ones (fcu,i with η = 1, Δtot = 0). Without --core the cores kept with the file are "
       "used. Fewer than six cores give a warning.",
       {{"--core", "M:Z=F", "a core of zone Z of member M (both from 1) with strength F, MPa"},
        {"--json", "", "as JSON (method \"eta\" or \"deltaTot\", the value, n, the cores)"},
        {"--apply", "OUT.SHA", "write the file with the value (rounded to 0.01) in every zone, recomputed"}}},
  };
  return commands;
}

void PrintUsage(std::ostream& out) {
  out << "usage: korvane-cli COMMAND [ARGS]\n       korvane-cli help COMMAND\n       korvane-cli "
         "--version\n\n"
         "commands:\n";
  for (const CommandHelp& c : CommandHelps()) {
    out << "  " << c.name << " " << c.arguments << (c.inThisBuild ? "" : "  (not in this build)") << "\n";
  }
  out << "\nexit status: " << kExitStatusText << "\n";
}

bool PrintCommandHelp(std::ostream& out, std::string_view command) {
  for (const CommandHelp& c : CommandHelps()) {
    if (c.name != command) continue;
    out << "usage: korvane-cli " << c.name << " " << c.arguments << "\n\n" << c.summary << ".\n";
    for (std::string_view paragraph : Paragraphs(c.text)) out << "\n" << paragraph << "\n";
    if (!c.options.empty()) out << "\noptions:\n";
    for (const OptionHelp& o : c.options) {
      std::string head = std::string(o.name) + (o.value.empty() ? "" : " " + std::string(o.value));
      out << "  " << head
          << (head.size() < 24 ? std::string(24 - head.size(), ' ')
                               : std::string("\n") + std::string(26, ' '))
          << o.text << "\n";
    }
    if (!c.inThisBuild) out << "\n(not in this build)\n";
    return true;
  }
  return false;
}

void PrintManPage(std::ostream& out, std::string_view version) {
  out << ".TH KORVANE-CLI 1 \"\" \"korvane " << version << "\" \"User Commands\"\n"
      << ".SH NAME\nkorvane\\-cli \\- concrete strength by the ultrasonic\\-rebound combined method, "
         "from the command line\n"
      << ".SH SYNOPSIS\n.B korvane\\-cli\n.I COMMAND\n[\\fIARGS\\fR]\n.br\n.B korvane\\-cli help\n"
         ".I COMMAND\n.br\n.B korvane\\-cli \\-\\-version\n"
      << ".SH DESCRIPTION\nThe same loader and rules as the desktop program \\fBkorvane\\fR(1): it reads the "
         "instrument's data file pairs (.SHA result or .SHT raw text file with its .SHD waveform file, and "
         "the companion file .KVA or .KVT beside them), evaluates them by any of ten standards, converts, "
         "merges, and writes the reports.\n"
      << ".SH COMMANDS\n";
  for (const CommandHelp& c : CommandHelps()) {
    out << ".SS " << Roff(c.name) << " " << Roff(c.arguments) << "\n" << Roff(c.summary) << ".\n";
    for (std::string_view paragraph : Paragraphs(c.text)) out << ".PP\n" << Roff(paragraph) << "\n";
    for (const OptionHelp& o : c.options) {
      out << ".TP\n.B " << Roff(o.name) << (o.value.empty() ? "" : " \\fI" + Roff(o.value) + "\\fR") << "\n"
          << Roff(o.text) << "\n";
    }
  }
  out << ".SH EXIT STATUS\n.TP\n.B 0\nsuccess\n.TP\n.B 1\na file could not be read or written; the program's "
         "message is on stderr\n.TP\n.B 2\nbad arguments; a one\\-line message is on stderr\n"
      << ".SH FILES\n.TP\n.I /usr/share/korvane/examples\nexample data file pairs\n"
      << ".SH SEE ALSO\n\\fBkorvane\\fR(1)\n";
}

void PrintBashCompletion(std::ostream& out) {
  out << "# bash completion for korvane-cli\n_korvane_cli() {\n"
         "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" command=\"${COMP_WORDS[1]}\"\n"
         "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n    COMPREPLY=($(compgen -W \"help --help --version";
  for (const CommandHelp& c : CommandHelps()) out << " " << c.name;
  out << "\" -- \"$cur\"))\n    return\n  fi\n  local options=\"\"\n  case \"$command\" in\n";
  for (const CommandHelp& c : CommandHelps()) {
    out << "    " << c.name << ") options=\"";
    for (std::size_t i = 0; i < c.options.size(); ++i) out << (i > 0 ? " " : "") << c.options[i].name;
    out << "\" ;;\n";
  }
  out << "    help) COMPREPLY=($(compgen -W \"";
  for (std::size_t i = 0; i < CommandHelps().size(); ++i) out << (i > 0 ? " " : "") << CommandHelps()[i].name;
  out << "\" -- \"$cur\")); return ;;\n  esac\n"
         "  if [[ \"$cur\" == -* ]]; then\n    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         "  else\n    COMPREPLY=($(compgen -f -- \"$cur\"))\n  fi\n}\ncomplete -o filenames -F _korvane_cli "
         "korvane-cli\n";
}

}  // namespace korvane::cli
