// Layout of the instrument's text files (result ".SHA" and raw ".SHT"): the
// markers, keys, table headers and column positions shared by the reader and
// the writers. Keys are given as the writer spells them; the reader matches
// them without regard to case. Positions and widths count UTF-16 code units.
#pragma once

#include <iterator>
#include <string>
#include <string_view>

namespace korvane::file_format {

// ---- Block markers ---------------------------------------------------------
inline constexpr std::string_view kMarkerHeader = "QZVKT_CrsHlDat_DatFormat:";
inline constexpr std::string_view kMarkerParameters = "QZVKT_CrsHlDat_PilePipePara:";
inline constexpr std::string_view kMarkerMembers = "QZVKT_CrsHlDat_StrengthNum:";
inline constexpr std::string_view kMarkerSections = "QZVKT_CrsHlDat_SectionPara:";
inline constexpr std::string_view kMarkerResultTable = "QZVKT_CrsHlDat_ResultPara:";
inline constexpr std::string_view kMarkerResult = "QZVKT_CrsHlDat_Result:";
inline constexpr std::string_view kMarkerRays = "QZVKT_CrsHlDat_RayPara:";

// ---- Header and parameter keys (value follows up to the line end) ---------
inline constexpr std::string_view kFormatLine = "Format   :VKT_CrsHl_000";
inline constexpr std::string_view kKeySite = "SITE     :";
inline constexpr std::string_view kKeyDate = "DATE     :";
inline constexpr std::string_view kKeyPileId = "PILEID   :";
inline constexpr std::string_view kKeyUnit = "UNIT     :";
inline constexpr std::string_view kKeyPerson = "PERSON   :";
inline constexpr std::string_view kKeyMethod = "Method   :";
inline constexpr std::string_view kKeyInstrument = "INST     :";
inline constexpr std::string_view kKeySoftware = "SOFT     :";
inline constexpr std::string_view kKeyCriterion = "Criterion     :";
inline constexpr std::string_view kKeyMoveLength = "Movelength     :";
inline constexpr std::string_view kKeyMoldDate = "Molddate :";
inline constexpr std::string_view kTempLine = "TEMP     :********";
inline constexpr std::string_view kSoftwarePrefix = "VKT_CrsHl ";

inline constexpr std::string_view kKeySpot = "SPOT     :";
inline constexpr std::string_view kKeySectNum = "SectNum  :";
inline constexpr std::string_view kKeyLambda = "λ       :";
inline constexpr std::string_view kKeyBeta = "β       :";
inline constexpr std::string_view kKeyA = "a        :";
inline constexpr std::string_view kKeyEta = "η       :";
inline constexpr std::string_view kKeyR = "R        :";
inline constexpr std::string_view kKeyDeltaTot = "δtot    :";

// Member block: "PILEID%d  :" and "SI%d      :" with the member position.
inline constexpr std::string_view kMemberNamePrefix = "PILEID";
inline constexpr std::string_view kMemberNameSuffix = "  :";
inline constexpr std::string_view kMemberSectionPrefix = "SI";
inline constexpr std::string_view kMemberSectionSuffix = "      :";

inline constexpr std::string_view kKeyMeanValue = "MF       :";
inline constexpr std::string_view kKeyStdDev = "SF       :";
inline constexpr std::string_view kKeyFcue = "FCUE     :";

// ---- Columns of the three tables -----------------------------------------------
// Each table is one list of columns, in the order of a row: the header line
// is their header texts joined, a row their cells joined (each cell right-
// aligned in its width unless the column says otherwise), and the reader
// finds a column by its key in the header line (its cell starts where the
// key starts). Messages name a column by its header text without blanks.
struct FileColumn {
  std::string_view header;  // exactly `width` units
  int width;
  int decimals = -1;          // -1: a whole number, a text or a filler
  std::string_view key = {};  // empty: the header text (a longer key where that is not unique)
  bool leftAligned = false;
  // The entered value the column holds, by the name the companion file
  // gives it (companion_file.h); empty for results and fillers.
  std::string_view field = {};

  constexpr std::string_view Key() const { return key.empty() ? header : key; }
  constexpr std::string_view Name() const {
    const std::size_t first = header.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return header.substr(first, header.find_last_not_of(' ') + 1 - first);
  }
};

inline constexpr int kCellWidth = 8;  // most cells of every table

// Members a file holds: their SI cells (0, 1, 2 …) are two characters wide.
inline constexpr int kMaxMembers = 100;

// Section table: one row per member (result files: with the member's
// coefficients and aggregate) or per channel of the instrument (raw files:
// fillers instead). A raw file has a row per channel: two for the
// two-channel model, three for the others.
enum class Section {
  Index,
  CrossDistance,
  Gain,
  ZeroTime,
  SampleInterval,
  Delay,
  SampleCount,
  FilterLow,
  FilterHigh,
  SenDH,
  CoefA,
  CoefB,
  CoefC,
  CoefD,
  Aggregate,
};
inline constexpr FileColumn kSectionColumns[] = {
    {"SI  ", 4, -1, "SI    CrossD", true},
    {"  CrossD", kCellWidth, 2},
    {"    Gain", kCellWidth, 0},
    {"  T0(us)", kCellWidth, 2},
    {"  dT(us)", kCellWidth, 2, {}, false, "sampleInterval"},
    {"   Delay", kCellWidth, 2},
    {"  DatLen", kCellWidth},
    {"   FiltL", kCellWidth, 2},
    {"   FiltH", kCellWidth, 2},
    {"  Sen_dH", kCellWidth, 2},
    {"       A", kCellWidth, 4, {}, false, "a"},
    {"       B", kCellWidth, 3, {}, false, "b"},
    {"       C", kCellWidth, 3, {}, false, "c"},
    {"       D", kCellWidth, 4, {}, false, "d"},
    {"     CGL", kCellWidth, -1, {}, false, "aggregate"},
};
// The columns a raw file's rows have (up to the coefficients), then its
// fillers, as many as the coefficient columns.
inline constexpr int kSectionRawColumns = static_cast<int>(Section::CoefA);
inline constexpr FileColumn kSectionFiller = {"    TEMP", kCellWidth};
inline constexpr std::string_view kTwoChannelInstrument = "VKT-U-6";
inline constexpr int kTwoChannelRows = 2;
inline constexpr int kChannelRows = 3;

// Result table: one row per zone. DELTAT is the last column, absent from
// files written before it was added.
enum class Result {
  Index,
  ZoneNumber,
  R1,
  R2,
  R3,
  R4,
  R5,
  R6,
  R7,
  R8,
  R9,
  R10,
  R11,
  R12,
  R13,
  R14,
  R15,
  R16,
  RecordedRebound,
  Lambda,
  Beta,
  Eta,
  Angle,
  AngleCorrection,
  Surface,
  SurfaceCorrection,
  Carbonation,
  Strength,
  TestMethod,
  TestLocation,
  DeltaTot,
};
inline constexpr FileColumn kResultColumns[] = {
    {"SI", 2, -1, "SI TESTNUM"},
    {" TESTNUM", kCellWidth},
    {"  R1", 4, -1, {}, false, "readings"},
    {"  R2", 4, -1, {}, false, "readings"},
    {"  R3", 4, -1, {}, false, "readings"},
    {"  R4", 4, -1, {}, false, "readings"},
    {"  R5", 4, -1, {}, false, "readings"},
    {"  R6", 4, -1, {}, false, "readings"},
    {"  R7", 4, -1, {}, false, "readings"},
    {"  R8", 4, -1, {}, false, "readings"},
    {"  R9", 4, -1, {}, false, "readings"},
    {" R10", 4, -1, {}, false, "readings"},
    {" R11", 4, -1, {}, false, "readings"},
    {" R12", 4, -1, {}, false, "readings"},
    {" R13", 4, -1, {}, false, "readings"},
    {" R14", 4, -1, {}, false, "readings"},
    {" R15", 4, -1, {}, false, "readings"},
    {" R16", 4, -1, {}, false, "readings"},
    {"  RA", 4, 0},
    {"   LAMDA", kCellWidth, 2, {}, false, "lambda"},
    {"    BETA", kCellWidth, 3, {}, false, "beta"},
    {"     ETA", kCellWidth, 2, {}, false, "eta"},
    {"   ANGLE", kCellWidth, -1, {}, false, "angle"},
    {" ANGLEAM", kCellWidth, 1},
    {"   PLANE", kCellWidth, -1, {}, false, "surface"},
    {" PLANEAM", kCellWidth, 1},
    {"  CARBON", kCellWidth, 1, {}, false, "carbonation"},
    {"    FCUI", kCellWidth, 1},
    {" TMETHOD", kCellWidth, -1, {}, false, "testMethod"},
    {"   TESTLOC", 10, -1, {}, false, "location"},
    {"  DELTAT", kCellWidth, 2, {}, false, "deltaTot"},
};

// Ray table: one row per point slot of every zone, in the order of the
// waveform file (Seek: the 1-based byte offset of the point's samples).
enum class Ray {
  Index,
  ZoneNumber,
  Point,
  Distance,
  Time,
  AmplitudeTime,
  Amplitude,
  Tf1,
  Tf2,
  AbsMax,
  Deleted,
  Seek,
  Gain,
  Delay,
  Rebound,
  Temp1,
  Temp2,
  Temp3,
};
inline constexpr FileColumn kRayColumns[] = {
    {"SI", 2, -1, "SI   RATNO"},
    {"   RATNO", kCellWidth},
    {"  SpotNO", kCellWidth},
    {"       L", kCellWidth, 0, {}, false, "distance"},
    {"   T(us)", kCellWidth, 1, {}, false, "arrival"},
    {"  Ta(us)", kCellWidth, 1, {}, false, "amplitude"},
    {"   A(dB)", kCellWidth, 1},
    {" Tf1(us)", kCellWidth, 1},
    {" Tf2(us)", kCellWidth, 1},
    {"  AbsMax", kCellWidth},
    {" Del", 4},
    {"    Seek    ", 12, -1, "    Seek"},
    {"    Gain", kCellWidth, 0, "    Gain   Delay", false, "gain"},
    {"   Delay", kCellWidth, 0, "   Delay       R", false, "delay"},
    {"       R", kCellWidth},
    {"    Temp", kCellWidth},
    {"    Temp", kCellWidth},
    {"    Temp", kCellWidth},
};
// The cell written under each "Temp" of the ray table.
inline constexpr std::string_view kRayFiller = "    TEMP";

constexpr const FileColumn& Column(Section which) { return kSectionColumns[static_cast<int>(which)]; }
constexpr const FileColumn& Column(Result which) { return kResultColumns[static_cast<int>(which)]; }
constexpr const FileColumn& Column(Ray which) { return kRayColumns[static_cast<int>(which)]; }
// Reading k (0..15) of the result table.
constexpr const FileColumn& ReadingColumn(int k) { return kResultColumns[static_cast<int>(Result::R1) + k]; }

// Units of a row of `count` columns from the first, with CR LF.
constexpr int LineWidth(const FileColumn* first, int count) {
  int width = 2;
  for (int k = 0; k < count; ++k) width += first[k].width;
  return width;
}
inline constexpr int kSectionLineWidth =
    LineWidth(kSectionColumns, static_cast<int>(std::size(kSectionColumns)));
inline constexpr int kResultLineWidthWide =
    LineWidth(kResultColumns, static_cast<int>(std::size(kResultColumns)));
inline constexpr int kResultLineWidthNarrow = kResultLineWidthWide - Column(Result::DeltaTot).width;
inline constexpr int kRayLineWidth = LineWidth(kRayColumns, static_cast<int>(std::size(kRayColumns)));
inline constexpr int kTestLocationWidth = Column(Result::TestLocation).width;

// The header lines, made from the columns.
std::string SectionHeader(bool raw);
std::string ResultHeader();
std::string RayHeader();

// Rebound value written into the ray table's R column of result files (the
// reader takes R only from raw files).
inline constexpr int kRayReboundPlaceholder = 35;

}  // namespace korvane::file_format
