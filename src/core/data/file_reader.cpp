#include "core/data/file_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/algorithm/standards.h"
#include "core/data/file_format.h"
#include "core/data/file_messages.h"
#include "core/data/key_index.h"
#include "core/data/number_entry.h"
#include "core/data/text_encoding.h"

namespace korvane {
namespace {

namespace ff = file_format;
constexpr std::size_t npos = std::u16string::npos;

[[noreturn]] void Fail(std::string_view message) { throw KorvaneError(std::string(message)); }

char16_t LowerUnit(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// A key as the reader matches it: UTF-16, lower case.
std::u16string KeyText(std::string_view key) {
  std::u16string text = Utf8ToUtf16(key);
  for (char16_t& c : text) c = LowerUnit(c);
  return text;
}

// Search for one key. Most keys are blank-padded column headers ("       L")
// and the tables are mostly blanks, so the search runs on the key's longest
// blank-free part (Horspool, skip table indexed by the low byte of a unit)
// and checks the whole key around each hit; hits come in text order, so
// the first match is the key's first occurrence. Linear in the text.
class KeySearcher {
 public:
  explicit KeySearcher(std::u16string_view key) : key_(key) {
    // Longest run without blanks (the whole key when it has none).
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < key_.size();) {
      if (key_[i] == u' ') {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < key_.size() && key_[j] != u' ') ++j;
      if (j - i > bestLength) {
        bestStart = i;
        bestLength = j - i;
      }
      i = j;
    }
    if (bestLength == 0) bestLength = key_.size();
    anchorOffset_ = bestStart;
    anchor_ = key_.substr(bestStart, bestLength);
    const std::size_t m = anchor_.size();
    skip_.fill(m == 0 ? 1 : m);
    for (std::size_t i = 0; i + 1 < m; ++i) skip_[anchor_[i] & 0xFF] = m - 1 - i;
  }

  // First occurrence at or after `from`, or npos.
  std::size_t Find(std::u16string_view text, std::size_t from) const {
    const std::size_t k = key_.size();
    if (from > text.size() || text.size() - from < k) return npos;
    if (k == 0) return from;
    const std::size_t m = anchor_.size();
    const char16_t last = anchor_[m - 1];
    // Anchor positions q correspond to key positions q - anchorOffset_.
    const std::size_t end = text.size() - (k - anchorOffset_);
    for (std::size_t q = from + anchorOffset_; q <= end;) {
      const char16_t c = text[q + m - 1];
      if (c == last && text.compare(q, m - 1, anchor_.substr(0, m - 1)) == 0 &&
          text.compare(q - anchorOffset_, k, key_) == 0) {
        return q - anchorOffset_;
      }
      q += skip_[c & 0xFF];
    }
    return npos;
  }

 private:
  std::u16string_view key_;
  std::u16string_view anchor_;
  std::size_t anchorOffset_ = 0;
  std::array<std::size_t, 256> skip_;
};

std::size_t FindKey(std::u16string_view text, std::u16string_view key, std::size_t from) {
  return KeySearcher(key).Find(text, from);
}

bool IsBlank(char16_t c) { return c == u' '; }

// UTF-8 form of a text span with every blank removed, into `out`.
void WithoutBlanks(std::u16string_view span, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < span.size(); ++i) {
    const char16_t c = span[i];
    if (c >= 0x80) {
      // Rare (names, locations): convert the whole span.
      std::u16string kept;
      kept.reserve(span.size());
      for (char16_t k : span) {
        if (!IsBlank(k)) kept.push_back(k);
      }
      out = Utf16ToUtf8(kept);
      return;
    }
    if (!IsBlank(c)) out.push_back(static_cast<char>(c));
  }
}

std::string WithoutBlanks(std::u16string_view span) {
  std::string out;
  WithoutBlanks(span, out);
  return out;
}

// A column of a table: the position of its key in the text (npos when the
// key is absent), the line width of the table and the cell width.
struct Column {
  std::size_t keyPos = npos;
  std::size_t lineWidth = 0;
  std::size_t width = 0;
};

// Every key the reader looks up by its first occurrence in the whole text.
std::vector<std::u16string> ReaderKeys() {
  const std::string_view keys[] = {ff::kMarkerHeader,
                                   ff::kMarkerParameters,
                                   ff::kMarkerMembers,
                                   ff::kMarkerSections,
                                   ff::kMarkerResultTable,
                                   ff::kMarkerResult,
                                   ff::kMarkerRays,
                                   ff::kKeySite,
                                   ff::kKeyDate,
                                   ff::kKeyPileId,
                                   ff::kKeyUnit,
                                   ff::kKeyPerson,
                                   ff::kKeyMethod,
                                   ff::kKeyInstrument,
                                   ff::kKeySoftware,
                                   ff::kKeyCriterion,
                                   ff::kKeyMoveLength,
                                   ff::kKeyMoldDate,
                                   ff::kKeySpot,
                                   ff::kKeySectNum,
                                   ff::kKeyLambda,
                                   ff::kKeyBeta,
                                   ff::kKeyEta,
                                   ff::kKeyDeltaTot,
                                   ff::kKeyMeanValue,
                                   ff::kKeyStdDev,
                                   ff::kKeyFcue,
                                   ff::kColSectionIndex,
                                   ff::kColCrossDistance,
                                   ff::kColGain,
                                   ff::kColZeroTime,
                                   ff::kColSampleInterval,
                                   ff::kColDelay,
                                   ff::kColSampleCount,
                                   ff::kColFilterLow,
                                   ff::kColFilterHigh,
                                   ff::kColSenDH,
                                   ff::kColCoefA,
                                   ff::kColCoefB,
                                   ff::kColCoefC,
                                   ff::kColCoefD,
                                   ff::kColAggregate,
                                   ff::kColDeltaTot,
                                   ff::kColRecordedRebound,
                                   ff::kColLambda,
                                   ff::kColBeta,
                                   ff::kColEta,
                                   ff::kColAngle,
                                   ff::kColAngleCorrection,
                                   ff::kColSurface,
                                   ff::kColSurfaceCorrection,
                                   ff::kColCarbonation,
                                   ff::kColStrength,
                                   ff::kColTestMethod,
                                   ff::kColTestLocation,
                                   ff::kColRaySection,
                                   ff::kColRayZone,
                                   ff::kColRayDistance,
                                   ff::kColRayTime,
                                   ff::kColRayAmplitudeTime,
                                   ff::kColRaySeek,
                                   ff::kColRayGain,
                                   ff::kColRayDelay,
                                   ff::kColRayRebound};
  std::vector<std::u16string> lowered;
  for (std::string_view key : keys) lowered.push_back(KeyText(key));
  for (std::string_view key : ff::kColRebound) lowered.push_back(KeyText(key));
  return lowered;
}

class TextReader {
 public:
  TextReader(std::u16string text, const WarningSink& warn) : text_(std::move(text)), warn_(warn) {
    // Built once: the keys are constants of the format.
    static const KeyAutomaton automaton(ReaderKeys());
    automaton_ = &automaton;
    first_ = automaton.FirstOccurrences(text_);
  }

  const std::u16string& text() const { return text_; }
  std::size_t size() const { return text_.size(); }

  // First occurrence of `key` at or after `from`.
  std::size_t Find(std::string_view key, std::size_t from = 0) const {
    const std::u16string lowered = KeyText(key);
    if (from == 0) {
      const int id = automaton_->IdOf(lowered);
      if (id >= 0) return first_[static_cast<std::size_t>(id)];
    }
    return FindKey(text_, lowered, from);
  }

  // Key value: the text from the end of the key (first occurrence) to the
  // next CR LF, blanks removed; empty when no CR LF follows; nullopt when
  // the key is absent.
  std::optional<std::string> KeyValue(std::string_view key) const {
    const std::size_t pos = Find(key);
    if (pos == npos) return std::nullopt;
    return ValueAt(pos + KeyText(key).size());
  }

  std::string ValueAt(std::size_t start) const {
    std::size_t end = FindUnit(u'\r', start);
    while (end != npos && (end + 1 >= text_.size() || text_[end + 1] != u'\n'))
      end = FindUnit(u'\r', end + 1);
    if (end == npos) return {};
    return WithoutBlanks(std::u16string_view(text_).substr(start, end - start));
  }

  void ReadString(std::string_view key, std::string& field) const {
    if (auto value = KeyValue(key)) field = std::move(*value);
  }
  // Numbers: an absent key or an empty value leaves the field.
  void ReadFloat(std::string_view key, float& field) const {
    const auto value = KeyValue(key);
    if (value && !value->empty()) field = MathOperation::ToFloat(*value, warn_);
  }
  void ReadInt(std::string_view key, int& field) const {
    const auto value = KeyValue(key);
    if (value && !value->empty()) field = MathOperation::ToInt(*value, warn_);
  }

  Column ColumnOf(std::string_view key, std::size_t lineWidth, std::size_t width) const {
    return Column{Find(key), lineWidth, width};
  }

  // Text of the cell in data row `row` (blanks removed) into `cell`; false
  // when the key is absent or the cell lies outside the text.
  bool CellText(const Column& column, std::size_t row, std::string& cell) const {
    cell.clear();
    if (column.keyPos == npos) return false;
    // Rows are bounded by the text length, so this cannot overflow for any
    // row that lies inside the text; larger rows are outside anyway.
    if (row >= text_.size() / std::max<std::size_t>(column.lineWidth, 1) + 1) return false;
    const std::size_t start = column.keyPos + (row + 1) * column.lineWidth;
    if (start >= text_.size()) return false;
    WithoutBlanks(std::u16string_view(text_).substr(start, column.width), cell);
    return true;
  }

  // Column cell: false (field unchanged) when absent or empty.
  bool CellFloat(const Column& column, std::size_t row, float& field) const {
    if (!CellText(column, row, cell_) || cell_.empty()) return false;
    field = MathOperation::ToFloat(cell_, warn_);
    return true;
  }
  bool CellInt(const Column& column, std::size_t row, int& field) const {
    if (!CellText(column, row, cell_) || cell_.empty()) return false;
    field = MathOperation::ToInt(cell_, warn_);
    return true;
  }

  // First positions of the numbered keys prefix + "%d" + suffix (suffix
  // ending in ':'), found in one pass over the colons of the text: number ->
  // position just after the key.
  std::unordered_map<long long, std::size_t> NumberedKeys(std::string_view prefix,
                                                          std::string_view suffix) const {
    std::unordered_map<long long, std::size_t> found;
    const std::u16string p = KeyText(prefix);
    const std::u16string s = KeyText(suffix);
    if (s.empty() || s.back() != u':') return found;
    for (std::size_t colon = FindUnit(u':', 0); colon != npos; colon = FindUnit(u':', colon + 1)) {
      // Key ends at colon: [prefix][digits][suffix].
      if (colon + 1 < s.size()) continue;
      const std::size_t suffixStart = colon + 1 - s.size();
      if (text_.compare(suffixStart, s.size(), s) != 0) continue;
      std::size_t digitsStart = suffixStart;
      while (digitsStart > 0 && suffixStart - digitsStart < 10 && text_[digitsStart - 1] >= u'0' &&
             text_[digitsStart - 1] <= u'9') {
        --digitsStart;
      }
      const std::size_t digits = suffixStart - digitsStart;
      if (digits == 0 || digits >= 10 || (digits > 1 && text_[digitsStart] == u'0')) continue;
      if (digitsStart < p.size() || text_.compare(digitsStart - p.size(), p.size(), p) != 0) continue;
      long long number = 0;
      for (std::size_t k = digitsStart; k < suffixStart; ++k) number = number * 10 + (text_[k] - u'0');
      found.emplace(number, colon + 1);  // first occurrence: colons come in text order
    }
    return found;
  }

  // Next position of an ASCII unit at or after `from` (memchr on the low
  // bytes of the little-endian UTF-16 text; checked per hit).
  std::size_t FindUnit(char16_t unit, std::size_t from) const {
    if constexpr (std::endian::native == std::endian::little) {
      const auto* begin = reinterpret_cast<const unsigned char*>(text_.data());
      const std::size_t bytes = 2 * text_.size();
      std::size_t at = 2 * from;
      while (at < bytes) {
        const void* hit = std::memchr(begin + at, static_cast<int>(unit), bytes - at);
        if (hit == nullptr) return npos;
        const auto offset = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - begin);
        if (offset % 2 == 0 && text_[offset / 2] == unit) return offset / 2;
        at = offset + 1;
      }
      return npos;
    } else {
      const std::size_t pos = std::u16string_view(text_).find(unit, from);
      return pos;
    }
  }

  const WarningSink& warn() const { return warn_; }

 private:
  std::u16string text_;
  const WarningSink& warn_;
  const KeyAutomaton* automaton_ = nullptr;
  std::vector<std::size_t> first_;
  mutable std::string cell_;  // buffer of the cell being read
};

// Ray-table columns, looked up once per read.
struct RayColumns {
  Column section, zone, distance, time, amplitudeTime, seek, gain, delay, rebound;
  explicit RayColumns(const TextReader& reader) {
    const std::size_t w = ff::kRayLineWidth;
    section = reader.ColumnOf(ff::kColRaySection, w, 2);
    zone = reader.ColumnOf(ff::kColRayZone, w, 8);
    distance = reader.ColumnOf(ff::kColRayDistance, w, 8);
    time = reader.ColumnOf(ff::kColRayTime, w, 8);
    amplitudeTime = reader.ColumnOf(ff::kColRayAmplitudeTime, w, 8);
    seek = reader.ColumnOf(ff::kColRaySeek, w, 12);
    gain = reader.ColumnOf(ff::kColRayGain, w, 8);
    delay = reader.ColumnOf(ff::kColRayDelay, w, 8);
    rebound = reader.ColumnOf(ff::kColRayRebound, w, 8);
  }
};

int SaturatingInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

class PairReader {
 public:
  PairReader(std::string_view textBytes, std::string_view wave, FileKind kind, const ReadTarget& target,
             const WarningSink& warn)
      : reader_(PrepareText(textBytes), warn), wave_(wave), kind_(kind), t_(target) {}

  void Read(int fileIndex, const ZoneLists& existingZoneLists) {
    const int existing = ExistingPointsPerZone(existingZoneLists);
    ReadHeader();
    const int standard = StandardIndexOfStoredName(t_.project.standardName);
    points_ = PointsPerZone(t_.project.testMethod, standard);
    if (fileIndex >= 1 && points_ != existing) Fail(kMsgPointsPerZoneDiffer);
    ReadParameters();
    firstMember_ = t_.members.size();
    ReadMembers();
    ReadAcquisitionValues();
    ReadSectionRows();
    ReadRays();
    ReadResultBlock();
    if (kind_ == FileKind::Result) ReadResultTable();
  }

 private:
  std::size_t FileMemberCount() const { return t_.members.size() - firstMember_; }
  Member& FileMember(std::size_t i) { return t_.members[firstMember_ + i]; }

  void ReadHeader() {
    ProjectInfo& p = t_.project;
    reader_.ReadString(ff::kKeySite, p.site);
    reader_.ReadString(ff::kKeyDate, p.testDate);
    reader_.ReadString(ff::kKeyUnit, p.unit);
    reader_.ReadString(ff::kKeyPerson, p.person);
    const auto method = reader_.KeyValue(ff::kKeyMethod);
    p.testMethod = method ? TestMethodIndex(*method) : kMethodAngle;
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
      if (std::fabs(*value) < 0.00001f) *value = 1.0f;
    }
  }

  void ReadMembers() {
    if (reader_.Find(ff::kMarkerMembers) != npos) {
      const auto names = reader_.NumberedKeys(ff::kMemberNamePrefix, ff::kMemberNameSuffix);
      const auto rows = reader_.NumberedKeys(ff::kMemberSectionPrefix, ff::kMemberSectionSuffix);
      Member member = NewMember();  // reused: an empty SI keeps the previous number
      for (long long k = 0;; ++k) {
        const auto name = names.find(k);
        if (name == names.end()) break;
        member.name = reader_.ValueAt(name->second);
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

  Column SectionColumn(std::string_view key, std::size_t width = 8) const {
    return reader_.ColumnOf(key, ff::kSectionLineWidth, width);
  }

  // Row number as a cell row; negative rows name no row.
  static std::optional<std::size_t> Row(int number) {
    if (number < 0) return std::nullopt;
    return static_cast<std::size_t>(number);
  }

  void ReadAcquisitionValues() {
    const Column delay = SectionColumn(ff::kColDelay);
    const Column interval = SectionColumn(ff::kColSampleInterval);
    const Column count = SectionColumn(ff::kColSampleCount);
    if (kind_ == FileKind::Raw) {
      if (!t_.members.empty()) {
        if (const auto row = Row(t_.members.front().sectionIndex))
          reader_.CellFloat(delay, *row, t_.project.delay);
      }
      for (std::size_t i = 0; i < FileMemberCount(); ++i) {
        Member& member = FileMember(i);
        if (const auto row = Row(member.sectionIndex)) {
          reader_.CellFloat(interval, *row, member.sampleInterval);
          reader_.CellInt(count, *row, member.sampleCount);
        }
      }
      return;
    }
    for (std::size_t i = 0; i < FileMemberCount(); ++i) {
      Member& member = FileMember(i);
      reader_.CellFloat(delay, i, t_.project.delay);
      reader_.CellFloat(interval, i, member.sampleInterval);
      reader_.CellInt(count, i, member.sampleCount);
    }
  }

  void ReadSectionRows() {
    const Column index = SectionColumn(ff::kColSectionIndex, 4);
    const Column cross = SectionColumn(ff::kColCrossDistance);
    const Column gain = SectionColumn(ff::kColGain);
    const Column zero = SectionColumn(ff::kColZeroTime);
    const Column interval = SectionColumn(ff::kColSampleInterval);
    const Column delay = SectionColumn(ff::kColDelay);
    const Column count = SectionColumn(ff::kColSampleCount);
    const Column low = SectionColumn(ff::kColFilterLow);
    const Column high = SectionColumn(ff::kColFilterHigh);
    const Column senDH = SectionColumn(ff::kColSenDH);
    const bool raw = kind_ == FileKind::Raw;
    const std::size_t rows = raw ? (t_.project.instrument == "vkt-u-6" ? 2 : 3) : FileMemberCount();
    if (rows == 0) return;
    const Column a = SectionColumn(ff::kColCoefA);
    const Column b = SectionColumn(ff::kColCoefB);
    const Column c = SectionColumn(ff::kColCoefC);
    const Column d = SectionColumn(ff::kColCoefD);
    const Column aggregate = SectionColumn(ff::kColAggregate);
    for (std::size_t r = 0; r < rows; ++r) {
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
        reader_.CellInt(aggregate, r, member.aggregateType);
      }
    }
  }

  // Whether the text holds at least one more ray row after the last Seek
  // cell read (or, before the first, after the Seek key of the header).
  bool MoreRays() const { return reader_.size() > lastSeekPos_ && reader_.size() - lastSeekPos_ > 139; }

  void ReadRays() {
    const RayColumns columns(reader_);
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
        std::unique_ptr<TestZone> zone = ReadZone(columns, firstRow, member);
        zone->sectionIndex = section;
        zone->testLocation = t_.project.spot;
        zone->sampleInterval = member.sampleInterval;
        list.push_back(std::move(zone));
        ++zoneCounter_;
      }
      t_.zoneLists.push_back(std::move(list));
    }
  }

  std::unique_ptr<TestZone> ReadZone(const RayColumns& columns, std::size_t firstRow, const Member& member) {
    auto zone = NewTestZone();
    zone->pointCount = points_;
    float rebound = 0.0f;
    for (int p = 0; p < points_; ++p) {
      const std::size_t row = firstRow + static_cast<std::size_t>(p);
      int zoneNumber = 0;
      float distance = 0.0f;
      float time = 0.0f;
      float amplitudeTime = 0.0f;
      int seek = 0;
      reader_.CellInt(columns.zone, row, zoneNumber);
      reader_.CellFloat(columns.distance, row, distance);
      reader_.CellFloat(columns.time, row, time);
      reader_.CellFloat(columns.amplitudeTime, row, amplitudeTime);
      if (!reader_.CellInt(columns.seek, row, seek)) Fail(kMsgWaveformRead);
      lastSeekPos_ = columns.seek.keyPos + (row + 1) * ff::kRayLineWidth;
      float delay = 0.0f;
      float gain = 0.0f;
      float pointRebound = 0.0f;
      reader_.CellFloat(columns.delay, row, delay);
      reader_.CellFloat(columns.gain, row, gain);
      if (kind_ == FileKind::Raw) reader_.CellFloat(columns.rebound, row, pointRebound);
      rebound = pointRebound;  // the last point's value stands

      auto point = std::make_unique<MeasuringPoint>();
      point->pointIndex = p;
      point->arrivalIndex = SampleIndexOfTime(time, delay, member.sampleInterval);
      point->amplitudeIndex = SampleIndexOfTime(amplitudeTime, delay, member.sampleInterval);
      point->delay = delay;
      point->distance = distance;
      point->gain = gain;
      ReadWaveform(static_cast<long long>(seek) - 1, member.sampleCount, point->samples);
      point->unfilteredSamples = point->samples;
      zone->points[static_cast<std::size_t>(p)] = std::move(point);
      zone->delay = delay;
      zone->zoneNumber = zoneNumber;
    }
    if (kind_ == FileKind::Raw) {
      const ProjectInfo& project = t_.project;
      zone->testMethod = project.testMethod;
      zone->beta = project.beta;
      zone->lambda = project.lambda;
      zone->eta = project.eta;
      zone->rebound.fill(SaturatingInt(std::trunc(static_cast<double>(rebound))));
    }
    return zone;
  }

  // `count` samples from byte `offset` of the waveform file: stored value +
  // 2048 (modulo 2^16, as 16-bit words add). A waveform cut short by the end
  // of the file is padded with the zero code.
  void ReadWaveform(long long offset, int count, std::vector<std::uint16_t>& samples) const {
    if (count <= 0) return;
    const auto size = static_cast<long long>(wave_.size());
    if (offset < 0 || offset >= size) Fail(kMsgWaveformRead);
    const long long available = (size - offset) / 2;
    if (count > kMaxPaddedSampleCount && available < count) Fail(kMsgWaveformRead);
    const auto stored = static_cast<std::size_t>(std::min<long long>(available, count));
    samples.resize(static_cast<std::size_t>(count));
    std::uint16_t* out = samples.data();
    const char* bytes = wave_.data() + offset;
    if constexpr (std::endian::native == std::endian::little) {
      // Add 2048 to four 16-bit words at a time, modulo 2^16 in each word:
      // the top bit of each word is added separately so no carry crosses.
      constexpr std::uint64_t kLow = 0x7FFF7FFF7FFF7FFFull;
      constexpr std::uint64_t kHigh = 0x8000800080008000ull;
      constexpr std::uint64_t kAdd = 0x0800080008000800ull;
      std::size_t k = 0;
      for (; k + 4 <= stored; k += 4) {
        std::uint64_t x;
        std::memcpy(&x, bytes + 2 * k, 8);
        x = ((x & kLow) + kAdd) ^ (x & kHigh);
        std::memcpy(out + k, &x, 8);
      }
      for (; k < stored; ++k) {
        std::uint16_t word;
        std::memcpy(&word, bytes + 2 * k, 2);
        out[k] = static_cast<std::uint16_t>(word + kZeroCode);
      }
    } else {
      const auto* b = reinterpret_cast<const unsigned char*>(bytes);
      for (std::size_t k = 0; k < stored; ++k) {
        out[k] = static_cast<std::uint16_t>((b[2 * k] | (b[2 * k + 1] << 8)) + kZeroCode);
      }
    }
    std::fill(out + stored, out + count, static_cast<std::uint16_t>(kZeroCode));
  }

  void ReadResultBlock() {
    if (reader_.Find(ff::kMarkerResult) == npos) return;
    reader_.ReadFloat(ff::kKeyMeanValue, t_.result.meanValue);
    reader_.ReadFloat(ff::kKeyStdDev, t_.result.stdDev);
    reader_.ReadFloat(ff::kKeyFcue, t_.result.fcue);
  }

  void ReadResultTable() {
    const std::size_t marker = reader_.Find(ff::kMarkerResultTable);
    if (marker == npos) return;
    const bool wide = reader_.Find(ff::kColDeltaTot, marker) != npos;
    const std::size_t w = wide ? ff::kResultLineWidthWide : ff::kResultLineWidthNarrow;
    std::array<Column, kReadingsPerZone> readings;
    for (std::size_t k = 0; k < readings.size(); ++k)
      readings[k] = reader_.ColumnOf(ff::kColRebound[k], w, 4);
    const Column recorded = reader_.ColumnOf(ff::kColRecordedRebound, w, 4);
    const Column lambda = reader_.ColumnOf(ff::kColLambda, w, 8);
    const Column beta = reader_.ColumnOf(ff::kColBeta, w, 8);
    const Column eta = reader_.ColumnOf(ff::kColEta, w, 8);
    const Column angle = reader_.ColumnOf(ff::kColAngle, w, 8);
    const Column angleCorrection = reader_.ColumnOf(ff::kColAngleCorrection, w, 8);
    const Column surface = reader_.ColumnOf(ff::kColSurface, w, 8);
    const Column surfaceCorrection = reader_.ColumnOf(ff::kColSurfaceCorrection, w, 8);
    const Column carbonation = reader_.ColumnOf(ff::kColCarbonation, w, 8);
    const Column strength = reader_.ColumnOf(ff::kColStrength, w, 8);
    const Column method = reader_.ColumnOf(ff::kColTestMethod, w, 8);
    const Column location = reader_.ColumnOf(ff::kColTestLocation, w, ff::kTestLocationWidth);
    const Column deltaTot = reader_.ColumnOf(ff::kColDeltaTot, w, 8);
    std::size_t row = 0;
    for (std::size_t i = firstZoneList_(); i < t_.zoneLists.size(); ++i) {
      for (auto& zone : t_.zoneLists[i]) {
        for (std::size_t k = 0; k < readings.size(); ++k) reader_.CellInt(readings[k], row, zone->rebound[k]);
        reader_.CellFloat(recorded, row, zone->recordedRebound);
        reader_.CellFloat(lambda, row, zone->lambda);
        reader_.CellFloat(beta, row, zone->beta);
        reader_.CellFloat(eta, row, zone->eta);
        reader_.CellInt(angle, row, zone->angle);
        reader_.CellFloat(angleCorrection, row, zone->angleCorrection);
        reader_.CellInt(surface, row, zone->surface);
        reader_.CellFloat(surfaceCorrection, row, zone->surfaceCorrection);
        reader_.CellFloat(carbonation, row, zone->carbonationDepth);
        reader_.CellFloat(strength, row, zone->strengthValue);
        reader_.CellInt(method, row, zone->testMethod);
        if (location.keyPos != npos) {
          std::string text;
          reader_.CellText(location, row, text);
          zone->testLocation = std::move(text);
        }
        if (wide) reader_.CellFloat(deltaTot, row, zone->deltaTot);
        ++row;
      }
    }
  }

  // Index of this file's first zone list.
  std::size_t firstZoneList_() const { return t_.zoneLists.size() - FileMemberCount(); }

  TextReader reader_;
  std::string_view wave_;
  FileKind kind_;
  const ReadTarget& t_;
  int points_ = 3;
  std::size_t firstMember_ = 0;
  std::size_t zoneCounter_ = 0;
  std::size_t lastSeekPos_ = 0;
};

}  // namespace

std::u16string PrepareText(std::string_view textBytes) {
  char16_t map[128];
  for (int c = 0; c < 128; ++c) map[c] = LowerUnit(static_cast<char16_t>(c));
  map[0] = u' ';
  std::u16string text = DecodeCp936(textBytes, map);
  // LF is never part of a double-byte character, so bare line feeds can be
  // counted on the bytes (CR before LF survives decoding as CR).
  std::size_t bareLineFeeds = 0;
  for (const char* p = textBytes.data();
       (p = static_cast<const char*>(std::memchr(
            p, '\n', static_cast<std::size_t>(textBytes.data() + textBytes.size() - p)))) != nullptr;
       ++p) {
    if (p == textBytes.data() || p[-1] != '\r') ++bareLineFeeds;
  }
  if (bareLineFeeds == 0) return text;
  // Lines ended by LF alone read as if they ended in CR LF.
  std::u16string withCr;
  withCr.reserve(text.size() + bareLineFeeds);
  char16_t previous = 0;
  for (char16_t c : text) {
    if (c == u'\n' && previous != u'\r') withCr.push_back(u'\r');
    withCr.push_back(c);
    previous = c;
  }
  return withCr;
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
  PairReader reader(textBytes, waveBytes, kind, target, warn);
  reader.Read(fileIndex, existingZoneLists);
}

void ReadTestFile(const FilePair& pair, const ReadTarget& target, int fileIndex,
                  const ZoneLists& existingZoneLists, const WarningSink& warn) {
  const PairBytes bytes = LoadPairBytes(pair);
  try {
    ReadTestData(bytes.text, bytes.wave, pair.kind, target, fileIndex, existingZoneLists, warn);
  } catch (const KorvaneError& error) {
    // The message names the file it is about; the points-per-zone refusal
    // is about two files, which the merge names itself.
    const std::string_view message = error.what();
    if (message == kMsgPointsPerZoneDiffer) throw;
    throw KorvaneError(
        MessageWithPath(message, message == kMsgWaveformRead ? WaveformFileInUse(pair) : pair.textPath));
  }
}

}  // namespace korvane
