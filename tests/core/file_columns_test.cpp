// The three tables of the instrument's text files are described once, as
// lists of columns: the header lines the writer writes are made from them
// and are the instrument's own, and every column's key finds its own cell.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>

#include "core/data/file_format.h"
#include "core/data/text_encoding.h"
#include "file_test_support.h"

namespace korvane {
namespace {

namespace ff = file_format;
using testing::RawBytes;
using testing::ResultBytes;

// The line after the first line equal to `marker`.
std::string LineAfter(const std::string& text, std::string_view marker) {
  const std::size_t at = text.find(std::string(marker) + "\r\n");
  if (at == std::string::npos) return {};
  const std::size_t start = at + marker.size() + 2;
  return text.substr(start, text.find("\r\n", start) - start);
}

TEST(FileColumns, HeaderLinesAreTheInstrumentsAndTheWritersAndKeysFindTheirCells) {
  // The instrument's header lines, as its files have them.
  const std::string section =
      "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH       A       B       C  "
      "  "
      "   D     CGL";
  const std::string sectionRaw =
      "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH    TEMP    TEMP    TEMP  "
      "  "
      "TEMP    TEMP";
  const std::string result =
      "SI TESTNUM  R1  R2  R3  R4  R5  R6  R7  R8  R9 R10 R11 R12 R13 R14 R15 R16  RA   LAMDA    BETA     "
      "ETA  "
      " ANGLE ANGLEAM   PLANE PLANEAM  CARBON    FCUI TMETHOD   TESTLOC  DELTAT";
  const std::string ray =
      "SI   RATNO  SpotNO       L   T(us)  Ta(us)   A(dB) Tf1(us) Tf2(us)  AbsMax Del    Seek        Gain   "
      "Delay       R    Temp    Temp    Temp";
  const SyntheticData d = testing::SmallData(4, TestMethod::Surface, "cecs02:2005", {2});
  const std::string written = Utf16ToUtf8(DecodeCp936(ResultBytes(d).text));
  const std::string writtenRaw = Utf16ToUtf8(DecodeCp936(RawBytes(d).text));

  struct Table {
    const char* name;
    std::string generated;
    std::string instrument;
    std::string written;
    std::span<const ff::FileColumn> columns;
    int lineWidth;
  };
  const Table tables[] = {
      {"section", ff::SectionHeader(false), section, LineAfter(written, ff::kMarkerSections),
       ff::kSectionColumns, ff::kSectionLineWidth},
      {"raw section",
       ff::SectionHeader(true),
       sectionRaw,
       LineAfter(writtenRaw, ff::kMarkerSections),
       {},
       ff::kSectionLineWidth},
      {"result", ff::ResultHeader(), result, LineAfter(written, ff::kMarkerResultTable), ff::kResultColumns,
       ff::kResultLineWidthWide},
      {"ray", ff::RayHeader(), ray, LineAfter(written, ff::kMarkerRays), ff::kRayColumns, ff::kRayLineWidth},
  };
  for (const Table& t : tables) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.generated, t.instrument);
    EXPECT_EQ(t.written, t.instrument);
    EXPECT_EQ(static_cast<int>(t.instrument.size()) + 2, t.lineWidth);
    // Each key starts where its cell starts, and only there in the line.
    std::size_t cell = 0;
    for (const ff::FileColumn& column : t.columns) {
      EXPECT_EQ(column.header.size(), static_cast<std::size_t>(column.width)) << column.header;
      // (Fillers repeat their header and are never looked up.)
      if (t.instrument.find(column.header) >= cell) {
        EXPECT_EQ(t.instrument.find(column.Key()), cell) << column.Key();
      }
      cell += static_cast<std::size_t>(column.width);
    }
  }
}

}  // namespace
}  // namespace korvane
