// Layout of the instrument's text files (result ".SHA" and raw ".SHT"): the
// markers, keys, table headers and column positions shared by the reader and
// the writers. Keys are given as the writer spells them; the reader matches
// them without regard to case. Positions and widths count UTF-16 code units.
#pragma once

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

// ---- Cell widths ----------------------------------------------------------------
inline constexpr int kCellWidth = 8;          // most cells of every table
inline constexpr int kShortIndexWidth = 2;    // SI cell of result and ray rows
inline constexpr int kSectionIndexWidth = 4;  // SI cell of section rows ("%-4d")
inline constexpr int kReadingWidth = 4;       // rebound readings and RA
inline constexpr int kSeekWidth = 12;         // Seek cell of ray rows
inline constexpr int kFlagWidth = 4;          // Del cell of ray rows

// Members a file holds: their SI cells (0, 1, 2 …) are two characters wide.
inline constexpr int kMaxMembers = 100;

// ---- Section table -----------------------------------------------------------
// A raw file has one row per channel of the instrument: two for the
// two-channel model, three for the others.
inline constexpr std::string_view kTwoChannelInstrument = "VKT-U-6";
inline constexpr int kTwoChannelRows = 2;
inline constexpr int kChannelRows = 3;

inline constexpr std::string_view kSectionHeaderResult =
    "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH       A       B       C    "
    "   D     CGL";
inline constexpr std::string_view kSectionHeaderRaw =
    "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH    TEMP    TEMP    TEMP    "
    "TEMP    TEMP";
inline constexpr int kSectionLineWidth = 118;  // header 116 + CR LF

inline constexpr std::string_view kColSectionIndex = "SI    CrossD";  // width 4
inline constexpr std::string_view kColCrossDistance = "  CrossD";
inline constexpr std::string_view kColGain = "    Gain";
inline constexpr std::string_view kColZeroTime = "  T0(us)";
inline constexpr std::string_view kColSampleInterval = "  dT(us)";
inline constexpr std::string_view kColDelay = "   Delay";
inline constexpr std::string_view kColSampleCount = "  DatLen";
inline constexpr std::string_view kColFilterLow = "   FiltL";
inline constexpr std::string_view kColFilterHigh = "   FiltH";
inline constexpr std::string_view kColSenDH = "  Sen_dH";
inline constexpr std::string_view kColCoefA = "       A";
inline constexpr std::string_view kColCoefB = "       B";
inline constexpr std::string_view kColCoefC = "       C";
inline constexpr std::string_view kColCoefD = "       D";
inline constexpr std::string_view kColAggregate = "     CGL";
inline constexpr std::string_view kSectionFiller = "    TEMP";

// ---- Result table --------------------------------------------------------------
inline constexpr std::string_view kResultHeader =
    "SI TESTNUM  R1  R2  R3  R4  R5  R6  R7  R8  R9 R10 R11 R12 R13 R14 R15 R16  RA   LAMDA    BETA     ETA  "
    " ANGLE "
    "ANGLEAM   PLANE PLANEAM  CARBON    FCUI TMETHOD   TESTLOC";
inline constexpr std::string_view kColResultSection = "SI TESTNUM";  // width 2
inline constexpr std::string_view kColDeltaTot = "  DELTAT";
inline constexpr int kResultLineWidthWide = 178;    // with DELTAT
inline constexpr int kResultLineWidthNarrow = 170;  // without
inline constexpr std::string_view kColRebound[16] = {"  R1", "  R2", "  R3", "  R4", "  R5", "  R6",
                                                     "  R7", "  R8", "  R9", " R10", " R11", " R12",
                                                     " R13", " R14", " R15", " R16"};
inline constexpr std::string_view kColRecordedRebound = "  RA";
inline constexpr std::string_view kColLambda = "   LAMDA";
inline constexpr std::string_view kColBeta = "    BETA";
inline constexpr std::string_view kColEta = "     ETA";
inline constexpr std::string_view kColAngle = "   ANGLE";
inline constexpr std::string_view kColAngleCorrection = " ANGLEAM";
inline constexpr std::string_view kColSurface = "   PLANE";
inline constexpr std::string_view kColSurfaceCorrection = " PLANEAM";
inline constexpr std::string_view kColCarbonation = "  CARBON";
inline constexpr std::string_view kColStrength = "    FCUI";
inline constexpr std::string_view kColTestMethod = " TMETHOD";
inline constexpr std::string_view kColTestLocation = "   TESTLOC";
inline constexpr int kTestLocationWidth = 10;

// ---- Ray table ---------------------------------------------------------------------
inline constexpr std::string_view kRayHeader =
    "SI   RATNO  SpotNO       L   T(us)  Ta(us)   A(dB) Tf1(us) Tf2(us)  AbsMax Del    Seek        Gain   "
    "Delay       R"
    "    Temp    Temp    Temp";
inline constexpr int kRayLineWidth = 140;  // header 138 + CR LF

inline constexpr std::string_view kColRaySection = "SI   RATNO";  // width 2
inline constexpr std::string_view kColRayZone = "   RATNO";
inline constexpr std::string_view kColRayDistance = "       L";
inline constexpr std::string_view kColRayTime = "   T(us)";
inline constexpr std::string_view kColRayAmplitudeTime = "  Ta(us)";
inline constexpr std::string_view kColRaySeek = "    Seek";  // width 12
inline constexpr std::string_view kColRayGain = "    Gain   Delay";
inline constexpr std::string_view kColRayDelay = "   Delay       R";
inline constexpr std::string_view kColRayRebound = "       R";
inline constexpr std::string_view kRayFiller = "    TEMP";

// Rebound value written into the ray table's R column of result files (the
// reader takes R only from raw files).
inline constexpr int kRayReboundPlaceholder = 35;

}  // namespace korvane::file_format
