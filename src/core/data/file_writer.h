// Writers of the instrument's file pairs: the result file (text ".SHA" with
// readings and results, plus waveform file) and the raw file (text ".SHT"
// plus waveform file). The layout is the one the reader reads (keys, column
// positions and widths, formats); text is written in code page 936 with
// CR LF line ends, waveforms as 16-bit little-endian values s - 2048.
//
// Whatever is written reads back as it was, or nothing is written: before a
// value is laid out it is checked against its column (a wider value would
// shift the rest of its row), and data the format cannot hold refuses with a
// KorvaneError whose message names it: "无法保存：构件2测区5的FCUI值1234567.0
// 超出文件的列宽", "…值不是有效数字", more than 100 members (their SI cells
// are two characters wide), several members in a raw file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/data/companion_file.h"
#include "core/data/file_pair.h"
#include "core/data/records.h"

namespace korvane {

// The text file of a pair as written (code page 936, CR LF) and the rows of
// members it holds (the waveform file holds theirs).
struct EncodedText {
  std::string text;
  int rows = 0;
};

// Raw file: header, section table (one row per SectionPara record; the row
// SectNum names carries the member's sample count and interval) and ray
// table; SectNum is the member's sectionIndex and the R column holds each
// zone's rounded mean reading. A raw file holds one member: more than one
// (of `memberCount`, clamped to the vectors) is refused.
EncodedText EncodeRawText(const ProjectInfo& project, const ZoneLists& zoneLists, int memberCount,
                          const std::vector<SectionPara>& sections, const std::vector<Member>& members);

// Result file: header, member block, section table (one row per member:
// SectionForMember's record, or a row made from the project's delay, with
// the member's own dT and DatLen either way), result table, result block and
// ray table. `kind` chooses the variants inside blocks: FileKind::Result
// writes "Molddate :" and the section table with coefficients; other kinds
// the raw variants.
EncodedText EncodeResultText(FileKind kind, const ProjectInfo& project, const ZoneLists& zoneLists,
                             int memberCount, const StrengthResult& result,
                             const std::vector<SectionPara>& sections, const std::vector<Member>& members);

// Called after each piece of a waveform file with the bytes given so far
// and their total, on the calling thread.
using WriteProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The waveform file of the first `rows` members (EncodedText::rows), piece
// by piece (about a mebibyte each), in the order the ray table gives their
// Seek: stored value - 2048 as a little-endian 16-bit word, a slot without
// samples (or a waveform shorter than the member's count) flat. The records
// must outlive the pieces.
class WaveformPieces {
 public:
  WaveformPieces(const ZoneLists& zoneLists, const std::vector<Member>& members, int rows,
                 WriteProgress progress = {});

  // Bytes of the whole file.
  std::uint64_t total() const { return total_; }
  // Fills `chunk` with the next piece; false when all was given.
  bool Next(std::string& chunk);

 private:
  static constexpr std::size_t kPieceBytes = 1 << 20;
  const ZoneLists& zoneLists_;
  const std::vector<Member>& members_;
  std::size_t rows_;
  std::uint64_t total_;
  WriteProgress progress_;
  std::size_t member_ = 0;
  std::size_t zone_ = 0;
  int slot_ = 0;
  std::uint64_t done_ = 0;
};

// Encode and save through SavePairPieces (the previous pair survives any
// failure). Throw KorvaneError with the refusals above, or
// "创建SHT/SHA文件失败！" (raw) or "创建SHA文件失败！" (result) when the text
// file cannot be written, "创建SHD文件失败！" when the waveform file cannot,
// each followed by the path and the reason.
// The text written is read back first (without the samples); every value
// it does not hold as the records do (ValuesNotReadBack) goes, with the
// `tables` and `cores` of `extras`, into the companion file
// (companion_file.h), written in the same group. No companion is written
// when there is nothing to keep and none exists at the target (an existing
// one is replaced, so that it never describes an older text file). A text
// that does not read back at all is refused with the text file's message
// and the reader's.
//
// The waveform file is made piece by piece as it is written, from the
// records' samples (never whole in memory: a pair of gigabytes needs little
// more than its records); `progress` (when set) is called after each piece
// with the waveform bytes written so far and their total, on the calling
// thread.
void WriteRawFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                  int memberCount, const std::vector<SectionPara>& sections,
                  const std::vector<Member>& members, const CompanionData& extras = {},
                  const WriteProgress& progress = {});
void WriteResultFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                     int memberCount, const StrengthResult& result, const std::vector<SectionPara>& sections,
                     const std::vector<Member>& members, const CompanionData& extras = {},
                     const WriteProgress& progress = {});

// Empty when a file can hold `members` members, else the save's refusal
// ("无法保存：数据文件最多能保存100个构件，当前有N个构件").
std::string MemberLimitProblem(int members);

// Section record of member `member`: the first whose sectionIndex equals the
// member's, else sections[member], else null (also for a member index out
// of range).
const SectionPara* SectionForMember(const std::vector<SectionPara>& sections,
                                    const std::vector<Member>& members, int member);

// Test method written in the header's "Method   :" line: the project's,
// unless it would make the reader group the ray rows differently from the
// zones' pointCount; then the method the zones were read under (the first
// zone's), or failing that a method that gives their pointCount.
TestMethod HeaderTestMethod(const ProjectInfo& project, const ZoneLists& zoneLists);

// Test location as written: control characters as blanks, characters code
// page 936 cannot hold as '?', at most 10 UTF-16 code units.
std::string TestLocationForFile(std::string_view location);

}  // namespace korvane
