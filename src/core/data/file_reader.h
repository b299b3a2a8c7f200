// Reader of the instrument's file pairs (result ".SHA" and raw ".SHT" text
// file with its waveform file) into the test data model.
//
// The text is decoded from code page 936 (or UTF-8, when it has a UTF-8
// byte-order mark or is valid UTF-8 with characters beyond ASCII), NUL bytes
// become blanks, line ends of LF or CR alone are read as CR LF, and every
// position counts UTF-16 code units of that text. Keys match without regard
// to case; text values (names, site, unit, location …) keep their letters
// and inner blanks as written and lose only the blanks around them. Line keys
// (markers, header and parameter keys) are found at the start of a line,
// table cells by their column key in the table's header line and the row
// number (fixed_width_text.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/data/file_pair.h"
#include "core/data/records.h"
#include "core/platform/error.h"

namespace korvane {

// Containers one read appends to. Opening a file passes empty containers;
// the merge passes the same containers for every file.
struct ReadTarget {
  std::vector<Member>& members;
  ProjectInfo& project;
  ZoneLists& zoneLists;
  int& memberCount;  // set to the number of members of this file
  std::vector<SectionPara>& sections;
  StrengthResult& result;
};

// Reads one pair as ReadTestData does: the text file whole, the waveform
// file (WaveformFileInUse) as the waveforms are read, never a copy of it
// whole; only regular files are opened. `fileIndex` is
// 0 for an open and counts the files of a merge; from 1 on, a file whose
// points per zone differ from ExistingPointsPerZone(existingZoneLists) is
// refused. Appends this file's members, one zone list per member (possibly
// empty), and its section records. Number texts of 20 characters or more
// warn through `warn` and read as 0.
//
// A save of the pair that a killed process left unfinished is completed or
// undone first (RecoverInterruptedSave), with a warning saying which.
//
// Throws KorvaneError with the reader's message, followed by the path of
// the file at fault (and a reason): "打开文件失败！" with the text file (it
// cannot be read, a raw file without a SectNum value, a point without its
// Seek cell: a text cut short; a sample count whose waveforms together
// exceed the waveform file, named with its member and value) or with the
// waveform file (it cannot be read), "文件为空!", "读取SHD文件异常!" with the
// waveform file (a waveform it does not hold whole: it starts outside the
// file or the file ends inside it; the point, its Seek and sample count
// named), and without a path
// "当前文件的测点数与前面的文件不相同，无法进行合并！" (the merge names the
// file). Containers may hold partial data after a failure; the caller discards them.
//
// Warnings (through `warn`, starting with the text path): a text whose ray
// table ends inside a row, or whose result table lists zones its ray table
// lacks (a file cut short: the zones read are kept, the warning names the
// members that lost zones); more members than a save can write
// ("此文件有N个构件，保存时最多100个"). Seek offsets are read as 64-bit.
//
// With WaveformReading::SizeOnly the waveform file is opened and every
// waveform checked against its size, as above, but no sample is read: the
// points' samples stay empty (for commands that print strengths or a
// summary; such a document must never be saved).
//
// `progress` hears the waveform bytes read so far and the file's size, a few
// hundred kilobytes apart; it may throw to stop the read (the exception
// goes on; the containers then hold partial data).
enum class WaveformReading { Samples, SizeOnly };
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;
void ReadTestFile(const FilePair& pair, const ReadTarget& target, int fileIndex,
                  const ZoneLists& existingZoneLists, const WarningSink& warn = {},
                  WaveformReading reading = WaveformReading::Samples, const ReadProgress& progress = {});

// The same from bytes in memory; `kind` stands for the text path's type
// (result-only blocks are read for FileKind::Result, the raw-file rules
// apply to FileKind::Raw).
void ReadTestData(std::string_view textBytes, std::string_view waveBytes, FileKind kind,
                  const ReadTarget& target, int fileIndex, const ZoneLists& existingZoneLists,
                  const WarningSink& warn = {});

// ReadTestData without the samples: every waveform is checked against a
// waveform file of `waveSize` bytes and left empty. For the save, which
// reads back what it is about to write.
void ReadTestText(std::string_view textBytes, std::uint64_t waveSize, FileKind kind, const ReadTarget& target,
                  const WarningSink& warn = {});

// The reader's text: decoded (code page 936 or UTF-8, as above), NUL as
// blank, every line ending in CR LF. Exposed for the benchmarks and tests.
std::u16string PrepareText(std::string_view textBytes);

// Sample index from a time: trunc((time - delay) / interval) in 32-bit
// floats, except that a quotient within float rounding noise of a whole
// number gives that number (so T written as index * dT reads back as the
// same index). Non-finite quotients give 0; the int range is not exceeded.
int SampleIndexOfTime(float time, float delay, float interval);

}  // namespace korvane
