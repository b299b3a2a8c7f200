// Fuzz target of the file reader. Input layout: one byte choosing the kind
// of text path (0 result ".SHA", 1 raw ".SHT", else other) and whether the
// read is the second file of a merge (bit 2), four bytes little-endian text
// length, the text bytes, then the waveform bytes. Malformed input must end
// in one of the reader's messages; a file that reads must also write (or be
// refused by the writer with its message) and read again without a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/data/file_reader.h"
#include "core/data/file_writer.h"
#include "core/wave/point_readings.h"
#include "fuzz_target.h"

namespace {

using namespace korvane;

struct Containers {
  ProjectInfo project = NewProjectInfo(CivilDate{2022, 1, 1});
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  StrengthResult result;
  int memberCount = 0;
  ReadTarget Target() { return ReadTarget{members, project, zoneLists, memberCount, sections, result}; }
};

// Both files as the writer writes them, in memory.
struct EncodedPair {
  std::string text;
  std::string wave;
};

EncodedPair Encoded(EncodedText text, const Containers& records) {
  EncodedPair pair{std::move(text.text), {}};
  WaveformPieces pieces(records.zoneLists, records.members, text.rows);
  for (std::string chunk; pieces.Next(chunk);) pair.wave += chunk;
  return pair;
}

bool Read(std::string_view text, std::string_view wave, FileKind kind, int fileIndex,
          const ZoneLists& existing, Containers& into) {
  try {
    ReadTestData(text, wave, kind, into.Target(), fileIndex, existing, [](std::string_view) {});
    return true;
  } catch (const KorvaneError&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const std::uint8_t flags = data[0];
  const std::size_t declared = static_cast<std::size_t>(data[1]) | (static_cast<std::size_t>(data[2]) << 8) |
                               (static_cast<std::size_t>(data[3]) << 16) |
                               (static_cast<std::size_t>(data[4]) << 24);
  const std::string_view rest(reinterpret_cast<const char*>(data + 5), size - 5);
  const std::size_t textLength = declared < rest.size() ? declared : rest.size();
  const std::string_view text = rest.substr(0, textLength);
  const std::string_view wave = rest.substr(textLength);
  const FileKind kind = (flags & 3) == 0   ? FileKind::Result
                        : (flags & 3) == 1 ? FileKind::Raw
                                           : FileKind::Other;

  ZoneLists existing;
  int fileIndex = 0;
  if (flags & 4) {
    // Second file of a merge after a file with 7-point zones.
    existing.emplace_back();
    existing.back().emplace_back().pointCount = 7;
    fileIndex = 1;
  }
  Containers first;
  if (!Read(text, wave, kind, fileIndex, existing, first)) return 0;
  for (auto& list : first.zoneLists) {
    for (TestZone& zone : list) RecomputePointReadings(zone);
  }

  // What was read writes and reads again, or the writer refuses it with a
  // message (values wider than their columns, too many members, several
  // members for a raw file).
  try {
    const EncodedPair result =
        Encoded(EncodeResultText(FileKind::Result, first.project, first.zoneLists, first.memberCount,
                                 first.result, first.sections, first.members),
                first);
    Containers second;
    Read(result.text, result.wave, FileKind::Result, 0, {}, second);
  } catch (const KorvaneError&) {
  }
  try {
    const EncodedPair raw = Encoded(
        EncodeRawText(first.project, first.zoneLists, first.memberCount, first.sections, first.members),
        first);
    Containers third;
    Read(raw.text, raw.wave, FileKind::Raw, 0, {}, third);
  } catch (const KorvaneError&) {
  }
  return 0;
}
