#include "core/data/file_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/data/file_format.h"
#include "core/data/file_messages.h"
#include "core/data/file_reader.h"
#include "core/data/number_entry.h"
#include "core/data/text_encoding.h"
#include "core/data/text_format.h"
#include "core/platform/error.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

namespace ff = file_format;
constexpr std::string_view kCrLf = "\r\n";

// Control characters (CR, LF, NUL …) would break lines or columns.
std::string Sanitized(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

void Line(std::string& out, std::string_view a, std::string_view b = {}) {
  out.append(a);
  out.append(b);
  out.append(kCrLf);
}

int MemberRows(int memberCount, const std::vector<Member>& members) {
  return std::clamp(memberCount, 0, static_cast<int>(members.size()));
}

// Where a value goes, for the message when it cannot be written: member,
// and zone and point when the row has them (0-based; -1 none).
struct Place {
  int member = -1;
  int zone = -1;
  int point = -1;
};

// "无法保存：构件2测区5测点1的T(us)值123456789.0超出文件的列宽" (the value
// as it would be written), or "…的T(us)值不是有效数字" when `text` is empty.
[[noreturn]] void Refuse(const Place& place, std::string_view field, std::string_view text) {
  std::string message(kMsgCannotSavePrefix);
  if (place.member >= 0) message += "构件" + FormatInt(place.member + 1);
  if (place.zone >= 0) message += "测区" + FormatInt(place.zone + 1);
  if (place.point >= 0) message += "测点" + FormatInt(place.point + 1);
  if (place.member >= 0) message += "的";
  message += field;
  message += "值";
  if (text.empty()) {
    message += kMsgNotANumber;
  } else {
    message += text;
    message += kMsgWiderThanColumn;
  }
  throw KorvaneError(message);
}

// Decimals tried before a float is written as its nearest 6-decimal text.
constexpr int kMaxFaithfulDecimals = kMaxHeldDecimals;

// Cells of one row, each checked before it is laid out: a value wider than
// its column would shift every later cell of the row, and a value that is
// not a number would read back as 0, so either refuses the save.
class Cells {
 public:
  Cells(std::string& out, Place place) : out_(out), place_(place) {}

  // A whole number, in its column's width.
  void Int(long long value, const ff::FileColumn& column) {
    cell_.clear();
    AppendInt(cell_, value, 0);
    Put(column);
  }
  // A number with its column's decimals.
  void Fixed(double value, const ff::FileColumn& column) {
    if (!std::isfinite(value)) Refuse(place_, column.Name(), {});
    cell_.clear();
    AppendFixed(cell_, value, 0, column.decimals);
    Put(column);
  }
  // A time of the ray table (T, Ta: one decimal in the layout) that the
  // reader turns back into `index` = (time - delay) / interval: one decimal
  // where that reads back as the same sample, otherwise the fewest decimals
  // that do (a fractional delay such as 2.54 us needs two), so that a save
  // never moves a first arrival. The layout's one decimal when no text of
  // the column's width does (the companion file then keeps the index).
  void Time(float time, int index, float delay, float interval, const ff::FileColumn& column) {
    if (!std::isfinite(time)) Refuse(place_, column.Name(), {});
    std::string first;
    for (int precision = column.decimals; precision <= kMaxFaithfulDecimals; ++precision) {
      cell_.clear();
      AppendFixed(cell_, static_cast<double>(time), 0, precision);
      if (precision == column.decimals) first = cell_;
      if (cell_.size() > static_cast<std::size_t>(column.width)) break;
      if (SampleIndexOfTime(MathOperation::ToFloat(cell_), delay, interval) == index) {
        Put(column);
        return;
      }
    }
    cell_ = first;
    Put(column);
  }
  // A float of a column whose layout has no decimals (the ray table's gain
  // and delay): whole values keep that layout; others get the fewest
  // decimals that read back as the same float, so that a delay of 2.5 us is
  // not stored as 2 and every arrival time moved by half a microsecond.
  void Faithful(float value, const ff::FileColumn& column) {
    if (!std::isfinite(value)) Refuse(place_, column.Name(), {});
    cell_ = FormatHeldValue(value, column.decimals);
    Put(column);
  }

 private:
  void Put(const ff::FileColumn& column) {
    const auto length = static_cast<int>(cell_.size());
    if (length > column.width) Refuse(place_, column.Name(), cell_);
    if (!column.leftAligned) out_.append(static_cast<std::size_t>(column.width - length), ' ');
    out_.append(cell_);
    if (column.leftAligned) out_.append(static_cast<std::size_t>(column.width - length), ' ');
  }

  std::string& out_;
  Place place_;
  std::string cell_;
};

// A value of a keyed line (any width), refused only when not a number.
std::string CheckedFixed(double value, int width, int precision, std::string_view field) {
  if (!std::isfinite(value)) Refuse(Place{}, field, {});
  return FormatFixed(value, width, precision);
}

void CheckMemberLimit(int members) {
  if (std::string problem = MemberLimitProblem(members); !problem.empty()) throw KorvaneError(problem);
}

// ---- Header and parameter block ---------------------------------------------
void AppendHeader(std::string& out, FileKind kind, const ProjectInfo& project, const ZoneLists& zoneLists,
                  const std::vector<Member>& members, bool withSectNum) {
  Line(out, ff::kMarkerHeader);
  Line(out, ff::kFormatLine);
  Line(out, ff::kKeySite, Sanitized(project.site));
  Line(out, ff::kKeyDate, Sanitized(project.testDate));
  Line(out, ff::kKeyPileId, members.empty() ? std::string() : Sanitized(members.front().name));
  Line(out, ff::kKeyUnit, Sanitized(project.unit));
  Line(out, ff::kKeyPerson, Sanitized(project.person));
  Line(out, ff::kKeyMethod, TestMethodName(HeaderTestMethod(project, zoneLists)));
  std::string instrument = std::string(ff::kKeyInstrument) + Sanitized(project.instrument);
  for (char& c : instrument) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  Line(out, instrument);
  Line(out, ff::kKeySoftware, std::string(ff::kSoftwarePrefix) + Sanitized(project.softwareVersion));
  Line(out, ff::kKeyCriterion, Sanitized(project.standardName));
  Line(out, ff::kKeyMoveLength, FormatInt(project.moveLength));
  if (kind == FileKind::Result) {
    Line(out, ff::kKeyMoldDate, Sanitized(project.castingDate));
  } else {
    Line(out, ff::kTempLine);
  }
  for (int i = 0; i < 6; ++i) Line(out, ff::kTempLine);
  out.append(kCrLf);

  Line(out, ff::kMarkerParameters);
  Line(out, ff::kKeySpot, Sanitized(project.spot));
  // The raw file's member takes its section row from SectNum.
  Line(out, ff::kKeySectNum,
       withSectNum && !members.empty() ? FormatInt(members.front().sectionIndex) : std::string());
  Line(out, ff::kKeyLambda, CheckedFixed(project.lambda, ff::kCellWidth, 2, "λ"));
  Line(out, ff::kKeyBeta, CheckedFixed(project.beta, ff::kCellWidth, 2, "β"));
  Line(out, ff::kKeyA);
  Line(out, ff::kKeyEta, CheckedFixed(project.eta, ff::kCellWidth, 2, "η"));
  Line(out, ff::kKeyR);
  Line(out, ff::kKeyDeltaTot, CheckedFixed(project.deltaTot, ff::kCellWidth, 2, "δtot"));
  out.append(kCrLf);
}

// ---- Member block ----------------------------------------------------------------
void AppendMemberBlock(std::string& out, const std::vector<Member>& members, int rows) {
  Line(out, ff::kMarkerMembers);
  for (int k = 0; k < rows; ++k) {
    std::string line(ff::kMemberNamePrefix);
    AppendInt(line, k);
    line.append(ff::kMemberNameSuffix);
    Line(out, line, Sanitized(members[static_cast<std::size_t>(k)].name));
    line.assign(ff::kMemberSectionPrefix);
    AppendInt(line, k);
    line.append(ff::kMemberSectionSuffix);
    AppendInt(line, k);
    Line(out, line);
  }
  out.append(kCrLf);
  out.append(kCrLf);
}

// ---- Section table -------------------------------------------------------------
void AppendSectionCells(Cells& cells, const SectionPara& s) {
  using C = ff::Section;
  cells.Int(s.sectionIndex, ff::Column(C::Index));
  cells.Fixed(s.crossDistance, ff::Column(C::CrossDistance));
  cells.Fixed(s.gain, ff::Column(C::Gain));
  cells.Fixed(s.zeroTime, ff::Column(C::ZeroTime));
  cells.Fixed(s.sampleInterval, ff::Column(C::SampleInterval));
  cells.Fixed(s.delay, ff::Column(C::Delay));
  cells.Int(s.sampleCount, ff::Column(C::SampleCount));
  cells.Fixed(s.filterLow, ff::Column(C::FilterLow));
  cells.Fixed(s.filterHigh, ff::Column(C::FilterHigh));
  cells.Fixed(s.senDH, ff::Column(C::SenDH));
}

// The record written for a member: its own acquisition row, with the sample
// count and interval its waveforms were read with (a member whose row number
// names no row was read with the defaults, not with some other row's).
SectionPara MemberSection(const ProjectInfo& project, const std::vector<SectionPara>& sections,
                          const std::vector<Member>& members, int i) {
  const Member& member = members[static_cast<std::size_t>(i)];
  SectionPara row;
  if (const SectionPara* own = SectionForMember(sections, members, i)) {
    row = *own;
  } else {
    // A member without a record of its own: its acquisition values.
    row.sectionIndex = i;
    row.delay = project.delay;
  }
  row.sampleInterval = member.sampleInterval;
  row.sampleCount = member.sampleCount;
  return row;
}

void AppendSectionTable(std::string& out, FileKind kind, const ProjectInfo& project,
                        const std::vector<SectionPara>& sections, const std::vector<Member>& members,
                        int rows) {
  Line(out, ff::kMarkerSections);
  if (kind == FileKind::Result) {
    Line(out, ff::SectionHeader(false));
    for (int i = 0; i < rows; ++i) {
      const Member& member = members[static_cast<std::size_t>(i)];
      Cells cells(out, Place{i});
      AppendSectionCells(cells, MemberSection(project, sections, members, i));
      cells.Fixed(member.coefA, ff::Column(ff::Section::CoefA));
      cells.Fixed(member.coefB, ff::Column(ff::Section::CoefB));
      cells.Fixed(member.coefC, ff::Column(ff::Section::CoefC));
      cells.Fixed(member.coefD, ff::Column(ff::Section::CoefD));
      cells.Int(static_cast<int>(member.aggregateType), ff::Column(ff::Section::Aggregate));
      out.append(kCrLf);
    }
  } else {
    Line(out, ff::SectionHeader(true));
    // The raw file's member reads its sample count and interval from the row
    // its SectNum names.
    const int own = members.empty() ? -1 : members.front().sectionIndex;
    for (std::size_t r = 0; r < sections.size(); ++r) {
      SectionPara row = sections[r];
      if (static_cast<int>(r) == own) {
        row.sampleInterval = members.front().sampleInterval;
        row.sampleCount = members.front().sampleCount;
      }
      Cells cells(out, Place{0});
      AppendSectionCells(cells, row);
      for (std::size_t k = ff::kSectionRawColumns; k < std::size(ff::kSectionColumns); ++k)
        out.append(ff::kSectionFiller.header);
      out.append(kCrLf);
    }
  }
  out.append(kCrLf);
}

// ---- Result table and block ------------------------------------------------------
void AppendResultTable(std::string& out, const ZoneLists& zoneLists, const std::vector<Member>& members,
                       int rows) {
  out.append(kCrLf);
  Line(out, ff::kMarkerResultTable);
  Line(out, ff::ResultHeader());
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const Member& member = members[static_cast<std::size_t>(i)];
    int z = -1;
    for (const TestZone& zone : zoneLists[static_cast<std::size_t>(i)]) {
      ++z;
      Cells cells(out, Place{i, z});
      using C = ff::Result;
      cells.Int(member.sectionIndex, ff::Column(C::Index));
      cells.Int(zone.zoneNumber, ff::Column(C::ZoneNumber));
      for (std::size_t k = 0; k < zone.rebound.size(); ++k)
        cells.Int(zone.rebound[k], ff::ReadingColumn(static_cast<int>(k)));
      cells.Fixed(zone.recordedRebound, ff::Column(C::RecordedRebound));
      cells.Fixed(zone.lambda, ff::Column(C::Lambda));
      cells.Fixed(zone.beta, ff::Column(C::Beta));
      cells.Fixed(zone.eta, ff::Column(C::Eta));
      cells.Int(zone.angle, ff::Column(C::Angle));
      cells.Fixed(zone.angleCorrection, ff::Column(C::AngleCorrection));
      cells.Int(static_cast<int>(zone.surface), ff::Column(C::Surface));
      cells.Fixed(zone.surfaceCorrection, ff::Column(C::SurfaceCorrection));
      cells.Fixed(zone.carbonationDepth, ff::Column(C::Carbonation));
      cells.Fixed(zone.strengthValue, ff::Column(C::Strength));
      cells.Int(static_cast<int>(zone.testMethod), ff::Column(C::TestMethod));
      // The position, cut to the column (TestLocationForFile), right-aligned.
      const std::string location = TestLocationForFile(zone.testLocation);
      const std::size_t units = Utf8ToUtf16(location).size();
      out.append(ff::kTestLocationWidth - std::min<std::size_t>(units, ff::kTestLocationWidth), ' ');
      out.append(location);
      cells.Fixed(zone.deltaTot, ff::Column(C::DeltaTot));
      out.append(kCrLf);
    }
  }
  out.append(kCrLf);
}

void AppendResultBlock(std::string& out, const StrengthResult& result) {
  Line(out, ff::kMarkerResult);
  Line(out, ff::kKeyMeanValue, CheckedFixed(result.meanValue, ff::kCellWidth, 1, "MF"));
  Line(out, ff::kKeyStdDev, CheckedFixed(result.stdDev, ff::kCellWidth, 2, "SF"));
  Line(out, ff::kKeyFcue, CheckedFixed(result.fcue, ff::kCellWidth, 1, "FCUE"));
  out.append(kCrLf);
}

// ---- Ray table and waveforms ------------------------------------------------------
// Rebound value of a zone in a raw file's R column: the rounded mean of its
// readings (a zone read from a raw file has sixteen equal readings, so its
// value comes back unchanged).
int RawReboundValue(const TestZone& zone) {
  long long sum = 0;
  for (int reading : zone.rebound) sum += reading;
  const double mean = static_cast<double>(sum) / kReadingsPerZone;
  return static_cast<int>(std::lround(mean));
}

// Bytes of the waveform file: every slot below a zone's usedPointSlots, in
// the order of the ray rows, `sampleCount` samples each.
std::uint64_t WaveformBytes(const ZoneLists& zoneLists, const std::vector<Member>& members, int rows) {
  std::uint64_t bytes = 0;
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const int n = members[static_cast<std::size_t>(i)].sampleCount;
    for (const TestZone& zone : zoneLists[static_cast<std::size_t>(i)]) {
      if (n > 0)
        bytes += 2 * static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(zone.usedPointSlots());
    }
  }
  return bytes;
}

}  // namespace

WaveformPieces::WaveformPieces(const ZoneLists& zoneLists, const std::vector<Member>& members, int rows,
                               WriteProgress progress)
    : zoneLists_(zoneLists),
      members_(members),
      rows_(std::min<std::size_t>(static_cast<std::size_t>(std::max(rows, 0)), zoneLists.size())),
      total_(WaveformBytes(zoneLists, members, rows)),
      progress_(std::move(progress)) {}

bool WaveformPieces::Next(std::string& chunk) {
  chunk.clear();
  while (chunk.size() < kPieceBytes && member_ < rows_) {
    const ZoneList& zones = zoneLists_[member_];
    const int count = members_[member_].sampleCount;
    if (zone_ >= zones.size() || count <= 0) {
      ++member_;
      zone_ = 0;
      slot_ = 0;
      continue;
    }
    const TestZone& zone = zones[zone_];
    if (slot_ >= zone.usedPointSlots()) {
      ++zone_;
      slot_ = 0;
      continue;
    }
    const MeasuringPoint* point = zone.point(slot_);
    const std::span<const std::uint16_t> stored =
        point != nullptr ? std::span<const std::uint16_t>(point->samples) : std::span<const std::uint16_t>();
    const auto n = static_cast<std::size_t>(count);
    const std::size_t offset = chunk.size();
    chunk.resize(offset + 2 * n);
    for (std::size_t k = 0; k < n; ++k) {
      const std::uint16_t s = k < stored.size() ? stored[k] : static_cast<std::uint16_t>(kZeroCode);
      const auto value = static_cast<std::uint16_t>(s - kZeroCode);
      chunk[offset + 2 * k] = static_cast<char>(value & 0xFF);
      chunk[offset + 2 * k + 1] = static_cast<char>(value >> 8);
    }
    ++slot_;
  }
  done_ += chunk.size();
  if (progress_ && !chunk.empty()) progress_(done_, total_);
  return !chunk.empty();
}

namespace {

void AppendRayTable(std::string& out, bool rawReadings, const ZoneLists& zoneLists,
                    const std::vector<Member>& members, int rows) {
  out.append(kCrLf);
  Line(out, ff::kMarkerRays);
  Line(out, ff::RayHeader());
  long long seek = 1;
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const Member& member = members[static_cast<std::size_t>(i)];
    const std::size_t n = member.sampleCount > 0 ? static_cast<std::size_t>(member.sampleCount) : 0;
    // The interval the reader divides by: the member's, as its section row
    // holds it.
    const float readInterval = MathOperation::ToFloat(FormatFixed(member.sampleInterval, 2));
    int z = -1;
    for (const TestZone& zone : zoneLists[static_cast<std::size_t>(i)]) {
      ++z;
      // Gain of the zone's first point, for slots that hold no point (a flat
      // waveform then reads as 0 V rather than 0/0).
      float zoneGain = 1.0f;
      for (const auto& point : zone.points) {
        if (point) {
          zoneGain = point->gain;
          break;
        }
      }
      const int rebound = rawReadings ? RawReboundValue(zone) : ff::kRayReboundPlaceholder;
      // Every slot below pointCount is written, so the reader's grouping of
      // rows into zones stays aligned; a slot without samples is flat.
      for (int j = 0; j < zone.usedPointSlots(); ++j) {
        const MeasuringPoint* point = zone.point(j);
        const std::span<const std::uint16_t> stored = point != nullptr
                                                          ? std::span<const std::uint16_t>(point->samples)
                                                          : std::span<const std::uint16_t>();
        int minimum = 0;
        int maximum = 0;
        for (std::size_t k = 0; k < n; ++k) {
          const int s = k < stored.size() ? stored[k] : kZeroCode;
          if (k == 0 || s < minimum) minimum = s;
          if (k == 0 || s > maximum) maximum = s;
        }
        const int absMax = n == 0 ? 0 : std::max(std::abs(minimum - 2047), std::abs(maximum - 2047));
        const int arrival = point != nullptr ? point->arrivalIndex : 0;
        const int amplitude = point != nullptr ? point->amplitudeIndex : 0;
        const float time = static_cast<float>(arrival) * zone.sampleInterval + zone.delay;
        const float amplitudeTime = static_cast<float>(amplitude) * zone.sampleInterval + zone.delay;

        Cells cells(out, Place{i, z, j});
        using C = ff::Ray;
        cells.Int(member.sectionIndex, ff::Column(C::Index));
        cells.Int(zone.zoneNumber, ff::Column(C::ZoneNumber));
        cells.Int(j, ff::Column(C::Point));
        cells.Fixed(point != nullptr ? point->distance : 0.0f, ff::Column(C::Distance));
        cells.Time(time, arrival, zone.delay, readInterval, ff::Column(C::Time));
        cells.Time(amplitudeTime, amplitude, zone.delay, readInterval, ff::Column(C::AmplitudeTime));
        cells.Fixed(0.0, ff::Column(C::Amplitude));
        cells.Fixed(0.0, ff::Column(C::Tf1));
        cells.Fixed(0.0, ff::Column(C::Tf2));
        cells.Int(absMax, ff::Column(C::AbsMax));
        cells.Int(0, ff::Column(C::Deleted));
        cells.Int(seek, ff::Column(C::Seek));
        cells.Faithful(point != nullptr ? point->gain : zoneGain, ff::Column(C::Gain));
        cells.Faithful(zone.delay, ff::Column(C::Delay));
        cells.Int(rebound, ff::Column(C::Rebound));
        for (int k = static_cast<int>(C::Temp1); k <= static_cast<int>(C::Temp3); ++k)
          out.append(ff::kRayFiller);
        out.append(kCrLf);
        seek += 2 * static_cast<long long>(n);
      }
    }
  }
  out.append(kCrLf);
}

}  // namespace

std::string MemberLimitProblem(int members) {
  // The member's SI cell of result and ray rows is two characters wide.
  if (members <= ff::kMaxMembers) return {};
  return std::string(kMsgTooManyMembers) + FormatInt(members) + std::string(kMsgTooManyMembersEnd);
}

const SectionPara* SectionForMember(const std::vector<SectionPara>& sections,
                                    const std::vector<Member>& members, int member) {
  if (member < 0 || static_cast<std::size_t>(member) >= members.size()) return nullptr;
  const int own = members[static_cast<std::size_t>(member)].sectionIndex;
  for (const SectionPara& section : sections) {
    if (section.sectionIndex == own) return &section;
  }
  if (static_cast<std::size_t>(member) < sections.size()) return &sections[static_cast<std::size_t>(member)];
  return nullptr;
}

TestMethod HeaderTestMethod(const ProjectInfo& project, const ZoneLists& zoneLists) {
  const TestZone* first = nullptr;
  for (const auto& list : zoneLists) {
    for (const TestZone& zone : list) {
      if (zone.pointCount != 0) {
        first = &zone;
        break;
      }
    }
    if (first != nullptr) break;
  }
  if (first == nullptr) return project.testMethod;
  const Standard standard = StandardOfStoredName(project.standardName);
  const int points = first->pointCount;
  if (PointsPerZone(project.testMethod, standard) == points) return project.testMethod;
  if (PointsPerZone(first->testMethod, standard) == points) return first->testMethod;
  for (TestMethod method : {TestMethod::Surface, TestMethod::Angle, TestMethod::Direct}) {
    if (PointsPerZone(method, standard) == points) return method;
  }
  return project.testMethod;
}

std::string TestLocationForFile(std::string_view location) {
  const std::u16string units = Utf8ToUtf16(Cp936Representable(Sanitized(location)));
  // After the code-page trip every character is a single UTF-16 unit.
  return Utf16ToUtf8(std::u16string_view(units).substr(0, ff::kTestLocationWidth));
}

EncodedText EncodeRawText(const ProjectInfo& project, const ZoneLists& zoneLists, int memberCount,
                          const std::vector<SectionPara>& sections, const std::vector<Member>& members) {
  const int rows = MemberRows(memberCount, members);
  // The reader takes every ray row of a raw file for its one member.
  if (rows > 1) {
    throw KorvaneError(std::string(kMsgRawHoldsOneMember) + FormatInt(rows) +
                       std::string(kMsgRawHoldsOneMemberEnd));
  }
  std::string text;
  AppendHeader(text, FileKind::Raw, project, zoneLists, members, true);
  AppendSectionTable(text, FileKind::Raw, project, sections, members, rows);
  AppendRayTable(text, true, zoneLists, members, rows);
  return {EncodeCp936(text), rows};
}

EncodedText EncodeResultText(FileKind kind, const ProjectInfo& project, const ZoneLists& zoneLists,
                             int memberCount, const StrengthResult& result,
                             const std::vector<SectionPara>& sections, const std::vector<Member>& members) {
  const int rows = MemberRows(memberCount, members);
  CheckMemberLimit(rows);
  std::string text;
  AppendHeader(text, kind, project, zoneLists, members, false);
  AppendMemberBlock(text, members, rows);
  AppendSectionTable(text, kind, project, sections, members, rows);
  AppendResultTable(text, zoneLists, members, rows);
  AppendResultBlock(text, result);
  AppendRayTable(text, false, zoneLists, members, rows);
  return {EncodeCp936(text), rows};
}

namespace {

// The companion of the pair about to be written (see WriteRawFile).
std::optional<std::string> CompanionBytes(const FilePair& pair, const std::string& text,
                                          std::uint64_t waveSize, std::string_view failure,
                                          const RecordsView& shown, const CompanionData& extras) {
  ProjectInfo project = NewProjectInfo();
  std::vector<Member> members;
  ZoneLists zoneLists;
  std::vector<SectionPara> sections;
  StrengthResult result;
  int memberCount = 0;
  try {
    ReadTestText(text, waveSize, pair.kind,
                 ReadTarget{members, project, zoneLists, memberCount, sections, result});
  } catch (const KorvaneError& error) {
    throw KorvaneError(MessageWithPath(failure, pair.textPath, error.what()));
  }
  CompanionData data = extras;
  data.values = ValuesNotReadBack(shown, RecordsView{project, members, zoneLists});
  if (data.empty() && platform::TypeOf(CompanionPath(pair.textPath)) == platform::FileType::Missing) {
    return std::nullopt;
  }
  return EncodeCompanion(data, PathToUtf8(pair.textPath.filename()), text);
}

// Saves the text and the waveforms streamed from the records (never the
// whole waveform file in memory), with the companion.
void SavePair(const FilePair& pair, const EncodedText& text, const ZoneLists& zoneLists,
              const std::vector<Member>& members, std::string_view failure, const RecordsView& shown,
              const CompanionData& extras, const WriteProgress& progress) {
  WaveformPieces pieces(zoneLists, members, text.rows, progress);
  const auto companion = CompanionBytes(pair, text.text, pieces.total(), failure, shown, extras);
  SavePairPieces(
      pair, text.text, [&pieces](std::string& chunk) { return pieces.Next(chunk); }, failure, companion);
}

}  // namespace

void WriteRawFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                  int memberCount, const std::vector<SectionPara>& sections,
                  const std::vector<Member>& members, const CompanionData& extras,
                  const WriteProgress& progress) {
  const EncodedText text = EncodeRawText(project, zoneLists, memberCount, sections, members);
  SavePair(pair, text, zoneLists, members, kMsgCreateRawText, RecordsView{project, members, zoneLists},
           extras, progress);
}

void WriteResultFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                     int memberCount, const StrengthResult& result, const std::vector<SectionPara>& sections,
                     const std::vector<Member>& members, const CompanionData& extras,
                     const WriteProgress& progress) {
  const EncodedText text =
      EncodeResultText(pair.kind, project, zoneLists, memberCount, result, sections, members);
  SavePair(pair, text, zoneLists, members, kMsgCreateResultText, RecordsView{project, members, zoneLists},
           extras, progress);
}

}  // namespace korvane
