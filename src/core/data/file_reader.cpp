#include "core/data/file_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/data/file_format.h"
#include "core/data/file_messages.h"
#include "core/data/fixed_width_text.h"
#include "core/data/number_entry.h"
#include "core/data/text_encoding.h"
#include "core/data/text_entry.h"
#include "core/platform/file_system.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

namespace ff = file_format;
constexpr std::size_t npos = std::u16string::npos;

[[noreturn]] void Fail(std::string_view message) { throw KorvaneError(std::string(message)); }

// A fault found in one file of the pair: what() is the reader's message,
// `reason` says what is wrong where; a read of files names the file at
// fault (the text or the waveform file) and gives the reason after it.
class FileFault : public KorvaneError {
 public:
  enum class In { Text, Waveforms };
  FileFault(In in, std::string_view message, std::string reason)
      : KorvaneError(std::string(message)), in_(in), reason_(std::move(reason)) {}
  In in() const { return in_; }
  const std::string& reason() const { return reason_; }

 private:
  In in_;
  std::string reason_;
};

std::string Count(std::size_t n) { return std::to_string(n); }

std::string MemberLabel(const Member& member, std::size_t index) {
  return member.name.empty() ? "第" + Count(index + 1) + "个构件" : "构件“" + member.name + "”";
}

std::string PointLabel(const Member& member, std::size_t memberIndex, std::size_t zoneIndex, int point) {
  return MemberLabel(member, memberIndex) + "第" + Count(zoneIndex + 1) + "个测区第" +
         Count(static_cast<std::size_t>(point) + 1) + "个测点";
}

// The keys that start lines: block markers, header, parameter and result
// keys. Column keys are looked up in their table's header line instead.
const std::vector<std::string_view>& LineKeys() {
  static const std::vector<std::string_view> keys = {
      ff::kMarkerHeader,      ff::kMarkerParameters, ff::kMarkerMembers, ff::kMarkerSections,
      ff::kMarkerResultTable, ff::kMarkerResult,     ff::kMarkerRays,    ff::kKeySite,
      ff::kKeyDate,           ff::kKeyPileId,        ff::kKeyUnit,       ff::kKeyPerson,
      ff::kKeyMethod,         ff::kKeyInstrument,    ff::kKeySoftware,   ff::kKeyCriterion,
      ff::kKeyMoveLength,     ff::kKeyMoldDate,      ff::kKeySpot,       ff::kKeySectNum,
      ff::kKeyLambda,         ff::kKeyBeta,          ff::kKeyEta,        ff::kKeyDeltaTot,
      ff::kKeyMeanValue,      ff::kKeyStdDev,        ff::kKeyFcue};
  return keys;
}

// A table's column found by its key in the header line at `header` (npos:
// unknown), with its width.
Column FindColumn(const FixedWidthText& text, const ff::FileColumn& column, std::size_t header,
                  std::size_t lineWidth) {
  return text.TableColumn(column.Key(), header, lineWidth, static_cast<std::size_t>(column.width));
}

// Ray-table columns, looked up once per read.
struct RayColumns {
  Column section, zone, distance, time, amplitudeTime, seek, gain, delay, rebound;
  RayColumns(const FixedWidthText& text, std::size_t header) {
    const std::size_t w = ff::kRayLineWidth;
    section = FindColumn(text, ff::Column(ff::Ray::Index), header, w);
    zone = FindColumn(text, ff::Column(ff::Ray::ZoneNumber), header, w);
    distance = FindColumn(text, ff::Column(ff::Ray::Distance), header, w);
    time = FindColumn(text, ff::Column(ff::Ray::Time), header, w);
    amplitudeTime = FindColumn(text, ff::Column(ff::Ray::AmplitudeTime), header, w);
    seek = FindColumn(text, ff::Column(ff::Ray::Seek), header, w);
    gain = FindColumn(text, ff::Column(ff::Ray::Gain), header, w);
    delay = FindColumn(text, ff::Column(ff::Ray::Delay), header, w);
    rebound = FindColumn(text, ff::Column(ff::Ray::Rebound), header, w);
  }
};

// out[k] = stored little-endian word k + 2048 (modulo 2^16, as 16-bit words
// add), for k < count.
void AddZeroCode(const char* bytes, std::uint16_t* out, std::size_t count) {
  std::size_t k = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Four words at a time, modulo 2^16 in each word: the top bit of each
    // word is added separately so that no carry crosses into the next.
    constexpr std::uint64_t kLow = 0x7FFF7FFF7FFF7FFFull;
    constexpr std::uint64_t kHigh = 0x8000800080008000ull;
    constexpr std::uint64_t kAdd = 0x0800080008000800ull;
    for (; k + 4 <= count; k += 4) {
      std::uint64_t x;
      std::memcpy(&x, bytes + 2 * k, 8);
      x = ((x & kLow) + kAdd) ^ (x & kHigh);
      std::memcpy(out + k, &x, 8);
    }
  }
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  for (; k < count; ++k) out[k] = static_cast<std::uint16_t>((b[2 * k] | (b[2 * k + 1] << 8)) + kZeroCode);
}

// Where the waveforms come from: the waveform file's bytes in memory, or
// the file itself, read window by window.
class WaveSource {
 public:
  virtual ~WaveSource() = default;
  virtual std::uint64_t size() const = 0;
  // out[k] = stored word (offset + 2k) + 2048 for k < count; false when the
  // source cannot deliver them. The caller checks the range.
  virtual bool Read(std::uint64_t offset, std::size_t count, std::uint16_t* out) const = 0;
  // False for a source that only knows the file's size (the samples are
  // then left empty, the ranges still checked).
  virtual bool holdsSamples() const { return true; }
};

class SizeOnly : public WaveSource {
 public:
  explicit SizeOnly(std::uint64_t size) : size_(size) {}
  std::uint64_t size() const override { return size_; }
  bool Read(std::uint64_t, std::size_t, std::uint16_t*) const override { return false; }
  bool holdsSamples() const override { return false; }

 private:
  std::uint64_t size_;
};

class MemoryWaves : public WaveSource {
 public:
  explicit MemoryWaves(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, std::size_t count, std::uint16_t* out) const override {
    AddZeroCode(bytes_.data() + offset, out, count);
    return true;
  }

 private:
  std::string_view bytes_;
};

// The waveform file read through a window of a few hundred kilobytes that
// stays in the processor's cache: waveforms are stored back to back, so a
// file is read once, front to back, without a copy of the whole file in
// memory.
class FileWaves : public WaveSource {
 public:
  FileWaves(const platform::RegularFile& file, const ReadProgress& progress)
      : file_(file), progress_(progress), window_(new char[kWindowBytes]) {}
  std::uint64_t size() const override { return file_.size(); }
  bool Read(std::uint64_t offset, std::size_t count, std::uint16_t* out) const override {
    const std::size_t bytes = 2 * count;
    if (bytes > kWindowBytes) {
      // Longer than the window: straight into the samples, then in place.
      std::size_t got = 0;
      if (file_.ReadAt(offset, reinterpret_cast<char*>(out), bytes, got) || got != bytes) return false;
      AddZeroCode(reinterpret_cast<const char*>(out), out, count);
      if (progress_) progress_(offset + bytes, file_.size());
      return true;
    }
    if (offset < start_ || offset + bytes > start_ + held_) {
      std::size_t got = 0;
      if (file_.ReadAt(offset, window_.get(), kWindowBytes, got) || got < bytes) return false;
      start_ = offset;
      held_ = got;
      if (progress_) progress_(offset + got, file_.size());
    }
    AddZeroCode(window_.get() + (offset - start_), out, count);
    return true;
  }

 private:
  static constexpr std::size_t kWindowBytes = 256 * 1024;
  const platform::RegularFile& file_;
  const ReadProgress& progress_;
  std::unique_ptr<char[]> window_;
  mutable std::uint64_t start_ = 0;
  mutable std::size_t held_ = 0;
};

// A coefficient λ, β or η closer to 0 than this was not set: it reads as 1.
constexpr float kNoCoefficient = 0.00001f;

int SaturatingInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

class PairReader {
 public:
  // `textName` (the text file's path, or empty) starts the warnings that
  // concern the file as a whole.
  PairReader(std::string_view textBytes, const WaveSource& wave, FileKind kind, const ReadTarget& target,
             const WarningSink& warn, std::string textName = {})
      : reader_(PrepareText(textBytes), LineKeys(), warn),
        wave_(wave),
        kind_(kind),
        t_(target),
        warn_(warn),
        textName_(std::move(textName)) {}

  void Read(int fileIndex, const ZoneLists& existingZoneLists) {
    const int existing = ExistingPointsPerZone(existingZoneLists);
    ReadHeader();
    const Standard standard = StandardOfStoredName(t_.project.standardName);
    points_ = PointsPerZone(t_.project.testMethod, standard);
    if (fileIndex >= 1 && points_ != existing) Fail(kMsgPointsPerZoneDiffer);
    ReadParameters();
    firstMember_ = t_.members.size();
    sectionRows_ = reader_.TableRows(HeaderAfter(ff::kMarkerSections));
    ReadMembers();
    if (FileMemberCount() > static_cast<std::size_t>(ff::kMaxMembers)) {
      Warn("此文件有" + Count(FileMemberCount()) + "个构件，保存时最多" + Count(ff::kMaxMembers) + "个");
    }
    ReadAcquisitionValues();
    ReadSectionRows();
    ReadRays();
    ReadResultBlock();
    if (kind_ == FileKind::Result) ReadResultTable();
    CheckWhole();
  }

 private:
  std::size_t FileMemberCount() const { return t_.members.size() - firstMember_; }

  // Start of a table's header line: the line after its marker (npos when
  // either is missing; its columns are then looked for anywhere).
  std::size_t HeaderAfter(std::string_view marker) const {
    const std::size_t at = reader_.FindAtLineStart(marker);
    return at == npos ? npos : reader_.LineAfter(at);
  }
  Member& FileMember(std::size_t i) { return t_.members[firstMember_ + i]; }

  void Warn(const std::string& message) const {
    if (warn_) warn_(textName_.empty() ? message : textName_ + "：" + message);
  }

  // What the text declares against what was read: a text cut inside its ray
  // table (the last lines of a file lost in a copy) reads as a shorter file,
  // so the rows of the ray table left unread and, in a result file, the
  // zones its result table lists but the ray table lacks are named.
  void CheckWhole() const {
    const std::size_t rayLines = reader_.TableRows(HeaderAfter(ff::kMarkerRays));
    const std::size_t rowsRead = zoneCounter_ * static_cast<std::size_t>(points_);
    if (rayLines != npos && rayLines > rowsRead) {
      Warn("文件不完整：测点表有" + Count(rayLines) + "行，只读到" + Count(rowsRead) + "行（" +
           Count(static_cast<std::size_t>(points_)) + "行一个测区），其余的测点未读入");
    }
    if (kind_ != FileKind::Result) return;
    const std::size_t marker = reader_.FindAtLineStart(ff::kMarkerResultTable);
    if (marker == npos) return;
    const std::size_t header = reader_.LineAfter(marker);
    const std::size_t listed = reader_.TableRows(header);
    std::size_t read = 0;
    for (std::size_t i = FirstZoneList(); i < t_.zoneLists.size(); ++i) read += t_.zoneLists[i].size();
    if (listed == npos || listed <= read) return;
    // The result rows' member numbers, counted per member of this file.
    const Column si = Find(ff::Column(ff::Result::Index), header, ResultLineWidth(marker, header));
    std::vector<std::size_t> perMember(FileMemberCount(), 0);
    for (std::size_t row = 0; row < listed; ++row) {
      int member = -1;
      if (reader_.CellInt(si, row, member) && member >= 0 &&
          static_cast<std::size_t>(member) < perMember.size())
        ++perMember[static_cast<std::size_t>(member)];
    }
    std::string missing;
    for (std::size_t i = 0; i < perMember.size(); ++i) {
      const std::size_t have = t_.zoneLists[FirstZoneList() + i].size();
      if (perMember[i] <= have) continue;
      if (!missing.empty()) missing += "，";
      missing += MemberLabel(t_.members[firstMember_ + i], i) + "缺" + Count(perMember[i] - have) + "个";
    }
    Warn("文件不完整：结果表列出" + Count(listed) + "个测区，测点表只有" + Count(read) + "个测区" +
         (missing.empty() ? std::string() : "（" + missing + "）") + "，保存时缺少的测区将丢失");
  }

  std::size_t ResultLineWidth(std::size_t marker, std::size_t header) const {
    const bool wide = header != npos
                          ? reader_.FindInLine(ff::Column(ff::Result::DeltaTot).Key(), header) != npos
                          : reader_.FindAnywhere(ff::Column(ff::Result::DeltaTot).Key(), marker) != npos;
    return wide ? ff::kResultLineWidthWide : ff::kResultLineWidthNarrow;
  }

  void ReadHeader() {
    ProjectInfo& p = t_.project;
    reader_.ReadString(ff::kKeySite, p.site);
    reader_.ReadString(ff::kKeyDate, p.testDate);
    reader_.ReadString(ff::kKeyUnit, p.unit);
    reader_.ReadString(ff::kKeyPerson, p.person);
    const auto method = reader_.KeyValue(ff::kKeyMethod);
    p.testMethod = method ? TestMethodOfName(*method) : TestMethod::Angle;
    reader_.ReadString(ff::kKeyInstrument, p.instrument);
    reader_.ReadString(ff::kKeySoftware, p.softwareId);
    reader_.ReadString(ff::kKeyCriterion, p.standardName);
    reader_.ReadInt(ff::kKeyMoveLength, p.moveLength);
    if (kind_ == FileKind::Result) reader_.ReadString(ff::kKeyMoldDate, p.castingDate);
  }

  void ReadParameters() {
    ProjectInfo& p = t_.project;
    reader_.ReadString(ff::kKeySpot, p.spot);
    reader_.ReadFloat(ff::kKeyLambda, p.lambda);
    reader_.ReadFloat(ff::kKeyBeta, p.beta);
    reader_.ReadFloat(ff::kKeyEta, p.eta);
    reader_.ReadFloat(ff::kKeyDeltaTot, p.deltaTot);
    for (float* value : {&p.lambda, &p.beta, &p.eta}) {
      if (std::fabs(*value) < kNoCoefficient) *value = 1.0f;
    }
  }

  void ReadMembers() {
    if (reader_.FindAtLineStart(ff::kMarkerMembers) != npos) {
      const auto names = reader_.NumberedKeys(ff::kMemberNamePrefix, ff::kMemberNameSuffix);
      const auto rows = reader_.NumberedKeys(ff::kMemberSectionPrefix, ff::kMemberSectionSuffix);
      Member member = NewMember();  // reused: an empty SI keeps the previous number
      for (long long k = 0;; ++k) {
        const auto name = names.find(k);
        if (name == names.end()) break;
        member.name = reader_.StringAt(name->second);
        const auto row = rows.find(k);
        if (row != rows.end()) {
          const std::string value = reader_.ValueAt(row->second);
          if (!value.empty()) member.sectionIndex = MathOperation::ToInt(value, reader_.warn());
        }
        t_.members.push_back(member);
      }
    } else {
      Member member = NewMember();
      reader_.ReadString(ff::kKeyPileId, member.name);
      const auto sectNum = reader_.KeyValue(ff::kKeySectNum);
      if (!sectNum || sectNum->empty()) Fail(kMsgOpenFileFailed);
      member.sectionIndex = MathOperation::ToInt(*sectNum, reader_.warn());
      t_.members.push_back(member);
    }
    t_.memberCount = static_cast<int>(FileMemberCount());
  }

  // A column of the table whose header line starts at `header` (npos:
  // unknown), found by its key.
  Column Find(const ff::FileColumn& column, std::size_t header, std::size_t lineWidth) const {
    return FindColumn(reader_, column, header, lineWidth);
  }

  Column SectionColumn(ff::Section which) const {
    return Find(ff::Column(which), HeaderAfter(ff::kMarkerSections), ff::kSectionLineWidth);
  }

  // A section row by its number; nullopt when the table has no such row
  // (its cells are then missing, never those of a later block).
  std::optional<std::size_t> SectionRow(long long number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= sectionRows_) return std::nullopt;
    return static_cast<std::size_t>(number);
  }

  void ReadAcquisitionValues() {
    const Column delay = SectionColumn(ff::Section::Delay);
    const Column interval = SectionColumn(ff::Section::SampleInterval);
    const Column count = SectionColumn(ff::Section::SampleCount);
    if (kind_ == FileKind::Raw) {
      if (!t_.members.empty()) {
        if (const auto row = SectionRow(t_.members.front().sectionIndex))
          reader_.CellFloat(delay, *row, t_.project.delay);
      }
      for (std::size_t i = 0; i < FileMemberCount(); ++i) {
        Member& member = FileMember(i);
        if (const auto row = SectionRow(member.sectionIndex)) {
          reader_.CellFloat(interval, *row, member.sampleInterval);
          reader_.CellInt(count, *row, member.sampleCount);
        }
      }
      return;
    }
    for (std::size_t i = 0; i < FileMemberCount() && SectionRow(static_cast<long long>(i)); ++i) {
      Member& member = FileMember(i);
      reader_.CellFloat(delay, i, t_.project.delay);
      reader_.CellFloat(interval, i, member.sampleInterval);
      reader_.CellInt(count, i, member.sampleCount);
    }
  }

  void ReadSectionRows() {
    const Column index = SectionColumn(ff::Section::Index);
    const Column cross = SectionColumn(ff::Section::CrossDistance);
    const Column gain = SectionColumn(ff::Section::Gain);
    const Column zero = SectionColumn(ff::Section::ZeroTime);
    const Column interval = SectionColumn(ff::Section::SampleInterval);
    const Column delay = SectionColumn(ff::Section::Delay);
    const Column count = SectionColumn(ff::Section::SampleCount);
    const Column low = SectionColumn(ff::Section::FilterLow);
    const Column high = SectionColumn(ff::Section::FilterHigh);
    const Column senDH = SectionColumn(ff::Section::SenDH);
    const bool raw = kind_ == FileKind::Raw;
    const std::size_t rows = raw ? RawSectionRows() : FileMemberCount();
    if (rows == 0) return;
    const Column a = SectionColumn(ff::Section::CoefA);
    const Column b = SectionColumn(ff::Section::CoefB);
    const Column c = SectionColumn(ff::Section::CoefC);
    const Column d = SectionColumn(ff::Section::CoefD);
    const Column aggregate = SectionColumn(ff::Section::Aggregate);
    for (std::size_t r = 0; r < rows && SectionRow(static_cast<long long>(r)); ++r) {
      SectionPara section;
      if (!reader_.CellFloat(cross, r, section.crossDistance)) break;
      reader_.CellInt(index, r, section.sectionIndex);
      reader_.CellFloat(gain, r, section.gain);
      reader_.CellFloat(zero, r, section.zeroTime);
      reader_.CellFloat(interval, r, section.sampleInterval);
      reader_.CellFloat(delay, r, section.delay);
      reader_.CellInt(count, r, section.sampleCount);
      reader_.CellFloat(low, r, section.filterLow);
      reader_.CellFloat(high, r, section.filterHigh);
      reader_.CellFloat(senDH, r, section.senDH);
      t_.sections.push_back(section);
      if (!raw) {
        Member& member = FileMember(r);
        reader_.CellFloat(a, r, member.coefA);
        reader_.CellFloat(b, r, member.coefB);
        reader_.CellFloat(c, r, member.coefC);
        reader_.CellFloat(d, r, member.coefD);
        reader_.CellEnum(aggregate, r, member.aggregateType);
      }
    }
  }

  // Channel rows of a raw file's section table: the instrument's channels
  // (the instrument's name as read: lower case, without blanks).
  std::size_t RawSectionRows() const {
    return SameTextLoosely(t_.project.instrument, ff::kTwoChannelInstrument) ? ff::kTwoChannelRows
                                                                             : ff::kChannelRows;
  }

  // Whether the text holds at least one more ray row: it reaches at least a
  // full row past the start of the last Seek cell read (or, before the
  // first row, past the Seek key of the header).
  bool MoreRays() const {
    return reader_.size() > lastSeekPos_ && reader_.size() - lastSeekPos_ >= ff::kRayLineWidth;
  }

  void ReadRays() {
    const RayColumns columns(reader_, HeaderAfter(ff::kMarkerRays));
    // Before the first row, rows are counted from the header's Seek key, so
    // a ray table without rows gives members without zones. A text without
    // a ray table counts from 0 and fails on its missing Seek cell.
    lastSeekPos_ = columns.seek.keyPos == npos ? 0 : columns.seek.keyPos;
    const std::size_t count = FileMemberCount();
    for (std::size_t e = 0; e < count; ++e) {
      const Member member = FileMember(e);
      ZoneList list;
      while (MoreRays()) {
        const std::size_t firstRow = zoneCounter_ * static_cast<std::size_t>(points_);
        int section = 0;
        reader_.CellInt(columns.section, firstRow, section);
        // A zone numbered for a later member of this file ends this member
        // (the next one, or a later one when a member in between has no ray
        // rows at all).
        const long long si = section;
        if (count > 1 && si > static_cast<long long>(e) && si < static_cast<long long>(count)) break;
        TestZone& zone = list.emplace_back(ReadZone(columns, firstRow, member, e, list.size()));
        zone.sectionIndex = section;
        zone.testLocation = t_.project.spot;
        zone.sampleInterval = member.sampleInterval;
        ++zoneCounter_;
      }
      t_.zoneLists.push_back(std::move(list));
    }
  }

  TestZone ReadZone(const RayColumns& columns, std::size_t firstRow, const Member& member,
                    std::size_t memberIndex, std::size_t zoneIndex) {
    TestZone zone;
    zone.pointCount = points_;
    float rebound = 0.0f;
    for (int p = 0; p < points_; ++p) {
      const std::size_t row = firstRow + static_cast<std::size_t>(p);
      int zoneNumber = 0;
      float distance = 0.0f;
      float time = 0.0f;
      float amplitudeTime = 0.0f;
      long long seek = 0;
      reader_.CellInt(columns.zone, row, zoneNumber);
      reader_.CellFloat(columns.distance, row, distance);
      reader_.CellFloat(columns.time, row, time);
      reader_.CellFloat(columns.amplitudeTime, row, amplitudeTime);
      if (!reader_.CellInt64(columns.seek, row, seek)) {
        throw FileFault(FileFault::In::Text, kMsgOpenFileFailed,
                        PointLabel(member, memberIndex, zoneIndex, p) + "没有波形位置（Seek），文件不完整");
      }
      lastSeekPos_ = columns.seek.keyPos + (row + 1) * ff::kRayLineWidth;
      float delay = 0.0f;
      float gain = 0.0f;
      float pointRebound = 0.0f;
      reader_.CellFloat(columns.delay, row, delay);
      reader_.CellFloat(columns.gain, row, gain);
      if (kind_ == FileKind::Raw) reader_.CellFloat(columns.rebound, row, pointRebound);
      rebound = pointRebound;  // the last point's value stands

      MeasuringPoint& point = zone.points[static_cast<std::size_t>(p)].emplace();
      point.pointIndex = p;
      point.arrivalIndex = SampleIndexOfTime(time, delay, member.sampleInterval);
      point.amplitudeIndex = SampleIndexOfTime(amplitudeTime, delay, member.sampleInterval);
      point.delay = delay;
      point.distance = distance;
      point.gain = gain;
      point.samples = ReadWaveform(seek - 1, member, memberIndex, [&] {
        return PointLabel(member, memberIndex, zoneIndex, p) + "的波形（位置" + std::to_string(seek) + "，" +
               Count(static_cast<std::size_t>(std::max(member.sampleCount, 0))) + "个采样点）";
      });
      if (!wave_.holdsSamples()) point.unreadSampleCount = std::max(member.sampleCount, 0);
      zone.delay = delay;
      zone.zoneNumber = zoneNumber;
    }
    if (kind_ == FileKind::Raw) {
      const ProjectInfo& project = t_.project;
      zone.testMethod = project.testMethod;
      zone.beta = project.beta;
      zone.lambda = project.lambda;
      zone.eta = project.eta;
      zone.rebound.fill(SaturatingInt(std::trunc(static_cast<double>(rebound))));
    }
    return zone;
  }

  // `count` samples from byte `offset` of the waveform file: stored value +
  // 2048 (modulo 2^16, as 16-bit words add).
  template <typename Label>
  SampleBuffer ReadWaveform(long long offset, const Member& member, std::size_t memberIndex,
                            const Label& waveformLabel) {
    const int count = member.sampleCount;
    if (count <= 0) return {};
    // A waveform that starts or ends outside the waveform file: the file is
    // cut short (or the text's Seek or sample count is wrong); the message
    // names the waveform. Then, before anything is allocated, all waveforms
    // together (they do not overlap) must fit in the file: a sample count
    // that asks for more is a fault of the text, named with its value,
    // rather than gigabytes asked for.
    const std::uint64_t size = wave_.size();
    const std::uint64_t bytes = 2 * static_cast<std::uint64_t>(count);
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= size ||
        size - static_cast<std::uint64_t>(offset) < bytes) {
      throw FileFault(FileFault::In::Waveforms, kMsgWaveformRead,
                      waveformLabel() + "超出波形文件（" + std::to_string(size) + "字节）");
    }
    if (bytes > size - std::min(size, waveBytes_)) {
      throw FileFault(FileFault::In::Text, kMsgOpenFileFailed,
                      MemberLabel(member, memberIndex) + "的采样点数（DatLen）" + std::to_string(count) +
                          "与波形文件不符：各波形合计超出波形文件的" + std::to_string(size) + "字节");
    }
    waveBytes_ += bytes;
    if (!wave_.holdsSamples()) return {};
    std::vector<std::uint16_t> samples(static_cast<std::size_t>(count));
    if (!wave_.Read(static_cast<std::uint64_t>(offset), samples.size(), samples.data()))
      Fail(kMsgWaveformRead);
    return SampleBuffer(std::move(samples));
  }

  void ReadResultBlock() {
    if (reader_.FindAtLineStart(ff::kMarkerResult) == npos) return;
    reader_.ReadFloat(ff::kKeyMeanValue, t_.result.meanValue);
    reader_.ReadFloat(ff::kKeyStdDev, t_.result.stdDev);
    reader_.ReadFloat(ff::kKeyFcue, t_.result.fcue);
  }

  void ReadResultTable() {
    const std::size_t marker = reader_.FindAtLineStart(ff::kMarkerResultTable);
    if (marker == npos) return;
    const std::size_t header = reader_.LineAfter(marker);
    const std::size_t w = ResultLineWidth(marker, header);
    const bool wide = w == ff::kResultLineWidthWide;
    std::array<Column, kReadingsPerZone> readings;
    for (std::size_t k = 0; k < readings.size(); ++k)
      readings[k] = Find(ff::ReadingColumn(static_cast<int>(k)), header, w);
    const Column recorded = Find(ff::Column(ff::Result::RecordedRebound), header, w);
    const Column lambda = Find(ff::Column(ff::Result::Lambda), header, w);
    const Column beta = Find(ff::Column(ff::Result::Beta), header, w);
    const Column eta = Find(ff::Column(ff::Result::Eta), header, w);
    const Column angle = Find(ff::Column(ff::Result::Angle), header, w);
    const Column angleCorrection = Find(ff::Column(ff::Result::AngleCorrection), header, w);
    const Column surface = Find(ff::Column(ff::Result::Surface), header, w);
    const Column surfaceCorrection = Find(ff::Column(ff::Result::SurfaceCorrection), header, w);
    const Column carbonation = Find(ff::Column(ff::Result::Carbonation), header, w);
    const Column strength = Find(ff::Column(ff::Result::Strength), header, w);
    const Column method = Find(ff::Column(ff::Result::TestMethod), header, w);
    const Column location = Find(ff::Column(ff::Result::TestLocation), header, w);
    const Column deltaTot = Find(ff::Column(ff::Result::DeltaTot), header, w);
    std::size_t row = 0;
    for (std::size_t i = FirstZoneList(); i < t_.zoneLists.size(); ++i) {
      for (TestZone& zone : t_.zoneLists[i]) {
        for (std::size_t k = 0; k < readings.size(); ++k) reader_.CellInt(readings[k], row, zone.rebound[k]);
        reader_.CellFloat(recorded, row, zone.recordedRebound);
        reader_.CellFloat(lambda, row, zone.lambda);
        reader_.CellFloat(beta, row, zone.beta);
        reader_.CellFloat(eta, row, zone.eta);
        reader_.CellInt(angle, row, zone.angle);
        reader_.CellFloat(angleCorrection, row, zone.angleCorrection);
        reader_.CellEnum(surface, row, zone.surface);
        reader_.CellFloat(surfaceCorrection, row, zone.surfaceCorrection);
        reader_.CellFloat(carbonation, row, zone.carbonationDepth);
        reader_.CellFloat(strength, row, zone.strengthValue);
        reader_.CellEnum(method, row, zone.testMethod);
        if (location.keyPos != npos) {
          std::string text;
          reader_.CellString(location, row, text);
          zone.testLocation = std::move(text);
        }
        if (wide) reader_.CellFloat(deltaTot, row, zone.deltaTot);
        ++row;
      }
    }
  }

  // Index of this file's first zone list.
  std::size_t FirstZoneList() const { return t_.zoneLists.size() - FileMemberCount(); }

  FixedWidthText reader_;
  const WaveSource& wave_;
  FileKind kind_;
  const ReadTarget& t_;
  WarningSink warn_;
  std::string textName_;
  std::uint64_t waveBytes_ = 0;  // bytes of the waveforms read so far
  int points_ = 3;
  std::size_t firstMember_ = 0;
  std::size_t sectionRows_ = 0;
  std::size_t zoneCounter_ = 0;
  std::size_t lastSeekPos_ = 0;
};

}  // namespace

std::u16string PrepareText(std::string_view textBytes) {
  char16_t map[128];
  for (int c = 0; c < 128; ++c) map[c] = static_cast<char16_t>(c);
  map[0] = u' ';
  // Files saved by a text editor may be UTF-8 (with or without a byte-order
  // mark); the instrument's are code page 936.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  const bool marked = textBytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (marked) textBytes.remove_prefix(kUtf8Mark.size());
  std::u16string text =
      marked || IsUtf8Text(textBytes) ? DecodeUtf8(textBytes, map) : DecodeCp936(textBytes, map);

  // Lines ended by LF alone or CR alone read as if they ended in CR LF. CR
  // and LF are never part of a multi-byte character in either encoding, so
  // they are counted on the bytes.
  const char* const begin = textBytes.data();
  const char* const end = begin + textBytes.size();
  std::size_t missing = 0;
  for (const char* p = begin;
       (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p) {
    if (p == begin || p[-1] != '\r') ++missing;
  }
  for (const char* p = begin;
       (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)))); ++p) {
    if (p + 1 == end || p[1] != '\n') ++missing;
  }
  if (missing == 0) return text;
  std::u16string lines;
  lines.reserve(text.size() + missing);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\n' && (i == 0 || text[i - 1] != u'\r')) lines.push_back(u'\r');
    lines.push_back(c);
    if (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) lines.push_back(u'\n');
  }
  return lines;
}

int SampleIndexOfTime(float time, float delay, float interval) {
  const float quotient = (time - delay) / interval;
  if (!std::isfinite(quotient)) return 0;
  const double q = quotient;
  const double nearest = std::nearbyint(q);
  // Float noise of the division is a few units in the last place of the
  // quotient; a true fraction of the file's 0.1 us grid is far larger.
  const double tolerance = std::max(1e-3, std::fabs(q) * 1e-6);
  const double index = std::fabs(q - nearest) <= tolerance ? nearest : std::trunc(q);
  return SaturatingInt(index);
}

void ReadTestData(std::string_view textBytes, std::string_view waveBytes, FileKind kind,
                  const ReadTarget& target, int fileIndex, const ZoneLists& existingZoneLists,
                  const WarningSink& warn) {
  if (textBytes.empty()) Fail(kMsgFileEmpty);
  const MemoryWaves waves(waveBytes);
  PairReader reader(textBytes, waves, kind, target, warn);
  reader.Read(fileIndex, existingZoneLists);
}

void ReadTestText(std::string_view textBytes, std::uint64_t waveSize, FileKind kind, const ReadTarget& target,
                  const WarningSink& warn) {
  if (textBytes.empty()) Fail(kMsgFileEmpty);
  const SizeOnly waves(waveSize);
  PairReader reader(textBytes, waves, kind, target, warn);
  reader.Read(0, ZoneLists{});
}

void ReadTestFile(const FilePair& pair, const ReadTarget& target, int fileIndex,
                  const ZoneLists& existingZoneLists, const WarningSink& warn, WaveformReading reading,
                  const ReadProgress& progress) {
  // A save of this pair that a killed process left unfinished is completed
  // or undone first, and the user told which.
  if (const std::string recovered = RecoverInterruptedSave(pair.textPath); !recovered.empty() && warn)
    warn(recovered);
  // Only regular files are opened (a FIFO never blocks); the waveform file
  // is read as the waveforms are, not copied whole first.
  std::string text;
  if (const std::error_code error = platform::ReadRegularFile(pair.textPath, text)) {
    throw KorvaneError(MessageWithPath(kMsgOpenFileFailed, pair.textPath, error.message()));
  }
  const std::filesystem::path wavePath = WaveformFileInUse(pair);
  platform::RegularFile waveFile;
  if (const std::error_code error = waveFile.Open(wavePath)) {
    throw KorvaneError(MessageWithPath(kMsgOpenFileFailed, wavePath, error.message()));
  }
  try {
    if (text.empty()) Fail(kMsgFileEmpty);
    const FileWaves fileWaves(waveFile, progress);
    const SizeOnly sizeOnly(waveFile.size());
    const WaveSource& waves =
        reading == WaveformReading::Samples ? static_cast<const WaveSource&>(fileWaves) : sizeOnly;
    PairReader reader(text, waves, pair.kind, target, warn, PathToUtf8(pair.textPath));
    reader.Read(fileIndex, existingZoneLists);
  } catch (const FileFault& fault) {
    throw KorvaneError(MessageWithPath(
        fault.what(), fault.in() == FileFault::In::Text ? pair.textPath : wavePath, fault.reason()));
  } catch (const KorvaneError& error) {
    // The message names the file it is about; the points-per-zone refusal
    // is about two files, which the merge names itself.
    const std::string_view message = error.what();
    if (message == kMsgPointsPerZoneDiffer) throw;
    throw KorvaneError(MessageWithPath(message, message == kMsgWaveformRead ? wavePath : pair.textPath));
  }
}

}  // namespace korvane
