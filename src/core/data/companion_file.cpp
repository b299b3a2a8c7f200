#include "core/data/companion_file.h"

#include "core/data/file_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <type_traits>

#include "core/data/text_encoding.h"
#include "core/data/typed_number.h"
#include "core/platform/error.h"
#include "core/platform/file_system.h"
#include "core/platform/path_text.h"
#include "core/standards/standards.h"

namespace korvane {
namespace {

namespace ff = file_format;

constexpr std::string_view kHead = "korvane";
constexpr std::string_view kTablePrefix = "table ";
constexpr std::string_view kCores = "cores";
constexpr int kFormat = 1;
// A companion of 10,000 zones with every value of a raw file stored is a
// few megabytes; a much larger file is not one.
constexpr std::size_t kMaxCompanionBytes = 64u << 20;

std::string FloatText(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  return buffer;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

bool ParseInt(std::string_view text, int& value) {
  text = Trim(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseFloat(std::string_view text, float& value) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// "m.z" with 1-based numbers to 0-based indices.
bool ParsePlace(std::string_view key, int& member, int& zone) {
  const std::size_t dot = key.find('.');
  if (dot == std::string_view::npos) return false;
  if (!ParseInt(key.substr(0, dot), member) || !ParseInt(key.substr(dot + 1), zone)) return false;
  if (member < 1 || zone < 1) return false;
  --member;
  --zone;
  return true;
}

std::string Place(int member, int zone) {
  return std::to_string(member + 1) + "." + std::to_string(zone + 1);
}

// ---- Values as text -------------------------------------------------------

std::string Text(float value) { return FloatText(value); }
std::string Text(int value) { return std::to_string(value); }
std::string Text(bool value) { return value ? "1" : "0"; }
std::string Text(const std::string& value) { return value; }
template <typename E>
requires std::is_enum_v<E> std::string Text(E value) { return std::to_string(static_cast<int>(value)); }
std::string Text(const std::array<int, kReadingsPerZone>& readings) {
  std::string text;
  for (int reading : readings) {
    if (!text.empty()) text += ' ';
    text += std::to_string(reading);
  }
  return text;
}

bool Parse(std::string_view text, float& value) { return ParseFloat(text, value) && std::isfinite(value); }
bool Parse(std::string_view text, int& value) { return ParseInt(text, value); }
bool Parse(std::string_view text, bool& value) {
  int flag = 0;
  if (!ParseInt(text, flag) || (flag != 0 && flag != 1)) return false;
  value = flag == 1;
  return true;
}
// A text value: UTF-8 (a companion is written so).
bool Parse(std::string_view text, std::string& value) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii && !IsUtf8Text(text)) return false;
  value = std::string(text);
  return true;
}
template <typename E>
bool ParseEnum(std::string_view text, E& value, int low, int high) {
  int code = 0;
  if (!ParseInt(text, code) || code < low || code > high) return false;
  value = static_cast<E>(code);
  return true;
}
bool Parse(std::string_view text, Surface& value) { return ParseEnum(text, value, -1, 2); }
bool Parse(std::string_view text, Aggregate& value) { return ParseEnum(text, value, -1, 2); }
bool Parse(std::string_view text, TestMethod& value) { return ParseEnum(text, value, 0, 2); }
bool Parse(std::string_view text, std::array<int, kReadingsPerZone>& readings) {
  std::size_t k = 0;
  while (!(text = Trim(text)).empty()) {
    const std::size_t blank = text.find(' ');
    if (k == readings.size() || !ParseInt(text.substr(0, blank), readings[k])) return false;
    ++k;
    text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
  }
  return k == readings.size();
}

// Why a stored text is no value of its field.
constexpr std::string_view kNotAValue = "不是该项可有的值";

// The range of a value a person types into the field the value fills: a
// stored value passes the same check (nullopt: any value its type reads).
using ValueRange = std::optional<NumberRange>;

// The first of `values` outside `range`: its message, or empty.
template <typename T>
std::string OutsideRange(const T& value, const ValueRange& range) {
  if (!range) return {};
  if constexpr (std::is_arithmetic_v<T>) {
    return InRange(static_cast<double>(value), *range) ? std::string() : RangeMessage(*range);
  } else if constexpr (std::is_same_v<T, std::array<int, kReadingsPerZone>>) {
    for (int v : value) {
      if (!InRange(v, *range)) return RangeMessage(*range);
    }
    return {};
  } else {
    return {};  // texts, flags and list entries are checked as they are read
  }
}

// One value of a record: its name in the companion, equality, text, parse
// (empty on success, else why the text was not taken).
template <typename R>
struct Field {
  std::string_view name;
  std::function<bool(const R&, const R&)> same;
  std::function<std::string(const R&)> text;
  std::function<std::string(R&, std::string_view)> parse;
};

template <typename R, typename T>
Field<R> Of(std::string_view name, T R::*member, ValueRange range = std::nullopt) {
  return {name,
          [member](const R& a, const R& b) {
            return a.*member == b.*member || Text(a.*member) == Text(b.*member);
          },
          [member](const R& r) { return Text(r.*member); },
          [member, range](R& r, std::string_view text) {
            T value{};
            if (!Parse(text, value)) return std::string(kNotAValue);
            if (std::string outside = OutsideRange(value, range); !outside.empty()) return outside;
            r.*member = value;
            return std::string();
          }};
}

NumberRange Typed(TypedField field) { return RangeOf(field); }

// d is the carbonation term's exponent (−1…1) under some standards and a
// factor (0…10) under the others; a stored d is checked against both.
NumberRange CoefficientDRange() {
  NumberRange range = RangeOf(TypedField::CoefficientD);
  range.low = RangeOf(TypedField::CarbonationD).low;
  return range;
}

// Ranges of the values no form types.
NumberRange SampleIntervalRange() { return {"采样间隔", 0, 1000, false, false, "us"}; }
NumberRange AngleRange() { return {"回弹角度", -90, 90, true, true, ""}; }
NumberRange SampleIndexRange(std::string name) { return {std::move(name), 0, 1e9, true, true, ""}; }

// The standard a file names must be one of the ten.
Field<ProjectInfo> StandardField() {
  Field<ProjectInfo> field = Of("standard", &ProjectInfo::standardName);
  field.parse = [](ProjectInfo& project, std::string_view text) {
    const std::string stored = StoredStandardName(text);
    for (Standard standard : kAllStandards) {
      if (StoredStandardName(StandardDisplayName(standard)) == stored) {
        project.standardName = std::string(text);
        return std::string();
      }
    }
    return std::string("不是本程序的检测规范");
  };
  return field;
}

// R typed by hand ("none" when the zone's R follows from its readings; an
// R that is not typed is a result, and not kept).
Field<TestZone> TypedRebound() {
  const auto text = [](const TestZone& z) {
    return z.reboundManual != 0 ? FloatText(z.reboundValue) : "none";
  };
  return {"typedR", [text](const TestZone& a, const TestZone& b) { return text(a) == text(b); }, text,
          [](TestZone& z, std::string_view value) {
            if (Trim(value) == "none") {
              z.reboundManual = 0;
              return std::string();
            }
            float r = 0.0f;
            if (!Parse(value, r)) return std::string(kNotAValue);
            if (std::string outside = OutsideRange(r, Typed(TypedField::Rebound)); !outside.empty())
              return outside;
            z.reboundManual = 1;
            z.reboundValue = r;
            return std::string();
          }};
}

// What a user enters or picks, by record. Results are not here: they are
// recomputed from these. A value the text file has a column for is named
// as that column names it (file_format.h); the others by their own names.
template <typename Which>
std::string_view FieldOf(Which column) {
  return file_format::Column(column).field;
}

const std::vector<Field<ProjectInfo>>& ProjectFields() {
  static const std::vector<Field<ProjectInfo>> fields = {
      Of("instrument", &ProjectInfo::instrument),
      Of("site", &ProjectInfo::site),
      Of("testDate", &ProjectInfo::testDate),
      Of("unit", &ProjectInfo::unit),
      Of("person", &ProjectInfo::person),
      Of("castingDate", &ProjectInfo::castingDate),
      Of("testMethod", &ProjectInfo::testMethod),
      Of("spot", &ProjectInfo::spot),
      Of("beta", &ProjectInfo::beta, Typed(TypedField::Beta)),
      Of("lambda", &ProjectInfo::lambda, Typed(TypedField::Lambda)),
      Of("eta", &ProjectInfo::eta, Typed(TypedField::Eta)),
      Of("deltaTot", &ProjectInfo::deltaTot, Typed(TypedField::DeltaTot)),
      StandardField(),
  };
  return fields;
}

const std::vector<Field<Member>>& MemberFields() {
  static const std::vector<Field<Member>> fields = {
      Of("name", &Member::name),
      Of("pumped", &Member::pumped),
      Of(FieldOf(ff::Section::Aggregate), &Member::aggregateType),
      Of(FieldOf(ff::Section::CoefA), &Member::coefA, Typed(TypedField::CoefficientA)),
      Of(FieldOf(ff::Section::CoefB), &Member::coefB, Typed(TypedField::CoefficientB)),
      Of(FieldOf(ff::Section::CoefC), &Member::coefC, Typed(TypedField::CoefficientC)),
      Of(FieldOf(ff::Section::CoefD), &Member::coefD, CoefficientDRange()),
  };
  return fields;
}

const std::vector<Field<TestZone>>& ZoneFields() {
  static const std::vector<Field<TestZone>> fields = {
      Of(FieldOf(ff::Section::SampleInterval), &TestZone::sampleInterval, SampleIntervalRange()),
      Of(FieldOf(ff::Ray::Delay), &TestZone::delay, Typed(TypedField::Delay)),
      Of(FieldOf(ff::Result::TestMethod), &TestZone::testMethod),
      Of(FieldOf(ff::Result::TestLocation), &TestZone::testLocation),
      Of(FieldOf(ff::Result::Beta), &TestZone::beta, Typed(TypedField::Beta)),
      Of(FieldOf(ff::Result::Lambda), &TestZone::lambda, Typed(TypedField::Lambda)),
      Of(FieldOf(ff::Result::Eta), &TestZone::eta, Typed(TypedField::Eta)),
      Of(ff::ReadingColumn(0).field, &TestZone::rebound, Typed(TypedField::Reading)),
      TypedRebound(),
      Of(FieldOf(ff::Result::Angle), &TestZone::angle, AngleRange()),
      Of(FieldOf(ff::Result::Surface), &TestZone::surface),
      Of(FieldOf(ff::Result::Carbonation), &TestZone::carbonationDepth, Typed(TypedField::Carbonation)),
      Of(FieldOf(ff::Result::DeltaTot), &TestZone::deltaTot, Typed(TypedField::DeltaTot)),
  };
  return fields;
}

const std::vector<Field<MeasuringPoint>>& PointFields() {
  static const std::vector<Field<MeasuringPoint>> fields = {
      Of(FieldOf(ff::Ray::Distance), &MeasuringPoint::distance, Typed(TypedField::Distance)),
      Of(FieldOf(ff::Ray::Time), &MeasuringPoint::arrivalIndex, SampleIndexRange("首波位置")),
      Of(FieldOf(ff::Ray::AmplitudeTime), &MeasuringPoint::amplitudeIndex, SampleIndexRange("波幅位置")),
      Of(FieldOf(ff::Ray::Gain), &MeasuringPoint::gain, Typed(TypedField::Gain)),
      Of(FieldOf(ff::Ray::Delay), &MeasuringPoint::delay, Typed(TypedField::Delay)),
  };
  return fields;
}

template <typename R>
void Compare(const std::vector<Field<R>>& fields, const std::string& place, const R& shown, const R& readBack,
             std::vector<StoredValue>& out) {
  for (const Field<R>& field : fields) {
    if (!field.same(shown, readBack)) out.push_back({place, std::string(field.name), field.text(shown)});
  }
}

// Empty when the value was put in `record`, else why not.
template <typename R>
std::string Apply(const std::vector<Field<R>>& fields, const StoredValue& value, R& record) {
  for (const Field<R>& field : fields) {
    if (field.name == value.field) return field.parse(record, value.value);
  }
  return "没有这一项";
}

// A place's kind and numbers (0-based); false when it is none.
struct ParsedPlace {
  enum Kind { Project, Member, Zone, Point } kind = Project;
  int member = -1;
  int zone = -1;
  int point = -1;
};

bool ParsePlaceName(std::string_view place, ParsedPlace& parsed) {
  const auto numbers = [](std::string_view text, int* out, int count) {
    for (int i = 0; i < count; ++i) {
      const std::size_t dot = i + 1 < count ? text.find('.') : text.size();
      if (dot == std::string_view::npos || !ParseInt(text.substr(0, dot), out[i]) || out[i] < 1) return false;
      --out[i];
      text.remove_prefix(std::min(text.size(), dot + 1));
    }
    return true;
  };
  int n[3] = {0, 0, 0};
  if (place == "project") {
    parsed = {ParsedPlace::Project};
    return true;
  }
  if (place.rfind("member ", 0) == 0 && numbers(place.substr(7), n, 1)) {
    parsed = {ParsedPlace::Member, n[0]};
    return true;
  }
  if (place.rfind("zone ", 0) == 0 && numbers(place.substr(5), n, 2)) {
    parsed = {ParsedPlace::Zone, n[0], n[1]};
    return true;
  }
  if (place.rfind("point ", 0) == 0 && numbers(place.substr(6), n, 3)) {
    parsed = {ParsedPlace::Point, n[0], n[1], n[2]};
    return true;
  }
  return false;
}

// "<what>（<why>）" as a message lists a value left out.
std::string Described(const std::string& what, const std::string& why) { return what + "（" + why + "）"; }

}  // namespace

std::filesystem::path CompanionPath(const std::filesystem::path& textPath) {
  const std::string extension = PathToUtf8(textPath.extension());
  char last = extension.size() > 1 ? extension.back() : 'X';
  if (!((last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z') || (last >= '0' && last <= '9')))
    last = 'X';
  const bool lower = last >= 'a' && last <= 'z';
  std::filesystem::path path = textPath;
  path.replace_extension(PathFromUtf8(std::string(lower ? ".kv" : ".KV") + last));
  return path;
}

std::uint64_t TextChecksum(std::string_view textBytes) {
  std::uint64_t hash = 1469598103934665603ull;
  for (char c : textBytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

std::string EncodeCompanion(const CompanionData& data, std::string_view textName,
                            std::string_view textBytes) {
  char checksum[24];
  std::snprintf(checksum, sizeof checksum, "%016llx",
                static_cast<unsigned long long>(TextChecksum(textBytes)));
  std::string out;
  out += "; Korvane: what the data file does not hold as the screen showed it\n";
  out += "; (typed R, pumped members, values the format has no field or decimals\n";
  out += "; for, edited correction tables, cores). Written with the data file; used\n";
  out += "; only while the data file's checksum matches.\n";
  out += "[" + std::string(kHead) + "]\n";
  out += "format=" + std::to_string(kFormat) + "\n";
  out += "text=" + std::string(textName) + "\n";
  out += "checksum=" + std::string(checksum) + "\n";
  const std::string* place = nullptr;
  for (const StoredValue& value : data.values) {
    if (place == nullptr || *place != value.place) {
      out += "\n[" + value.place + "]\n";
      place = &value.place;
    }
    out += value.field + "=" + value.value + "\n";
  }
  for (const TableCells& table : data.tables) {
    out += "\n[" + std::string(kTablePrefix) + table.name + "]\ncells=";
    for (std::size_t i = 0; i < table.cells.size(); ++i) {
      if (i > 0) out += " ";
      out += FloatText(table.cells[i]);
    }
    out += "\n";
  }
  if (!data.cores.empty()) {
    out += "\n[" + std::string(kCores) + "]\n";
    for (const CoreSample& c : data.cores)
      out += Place(c.member, c.zone) + "=" + FloatText(c.strength) + "\n";
  }
  return out;
}

CompanionText DecodeCompanion(std::string_view bytes) {
  // An editor may have saved it with a byte order mark.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  CompanionText result;
  const auto fail = [&result](std::string error) {
    result = CompanionText{};
    result.error = std::move(error);
    return result;
  };
  std::string section;
  bool sawHead = false;
  bool sawChecksum = false;
  std::size_t lineNumber = 0;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view line = Trim(bytes.substr(0, end));
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    ++lineNumber;
    const std::string where = "第" + std::to_string(lineNumber) + "行";
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return fail(where);
      section = std::string(line.substr(1, line.size() - 2));
      if (section == kHead) sawHead = true;
      if (!sawHead) return fail(where);
      ParsedPlace place;
      if (section.rfind(kTablePrefix, 0) == 0) {
        result.data.tables.push_back({section.substr(kTablePrefix.size()), {}});
      } else if (section != kHead && section != kCores && !ParsePlaceName(section, place)) {
        return fail(where);
      }
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !sawHead) return fail(where);
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (section == kHead) {
      if (key == "format") {
        int format = 0;
        if (!ParseInt(value, format) || format != kFormat) return fail(where);
      } else if (key == "text") {
        result.textName = std::string(value);
      } else if (key == "checksum") {
        const auto [p, error] =
            std::from_chars(value.data(), value.data() + value.size(), result.checksum, 16);
        if (error != std::errc() || p != value.data() + value.size()) return fail(where);
        sawChecksum = true;
      }
    } else if (section == kCores) {
      int member = 0;
      int zone = 0;
      float number = 0.0f;
      if (!ParsePlace(key, member, zone) || !ParseFloat(value, number)) return fail(where);
      result.data.cores.push_back({member, zone, number});
    } else if (section.rfind(kTablePrefix, 0) != 0) {
      result.data.values.push_back({section, std::string(key), std::string(value)});
    } else if (key == "cells") {
      std::vector<float>& cells = result.data.tables.back().cells;
      std::string_view list = value;
      while (!(list = Trim(list)).empty()) {
        const std::size_t blank = list.find(' ');
        float cell = 0.0f;
        if (!ParseFloat(list.substr(0, blank), cell)) return fail(where);
        cells.push_back(cell);
        list.remove_prefix(blank == std::string_view::npos ? list.size() : blank + 1);
      }
    } else {
      return fail(where);
    }
  }
  if (!sawHead || !sawChecksum) return fail("缺少文件头");
  result.valid = true;
  return result;
}

std::vector<StoredValue> ValuesNotReadBack(const RecordsView& shown, const RecordsView& readBack) {
  std::vector<StoredValue> values;
  Compare(ProjectFields(), "project", shown.project, readBack.project, values);
  const std::size_t members = std::min(shown.members.size(), readBack.members.size());
  for (std::size_t m = 0; m < members; ++m) {
    Compare(MemberFields(), "member " + std::to_string(m + 1), shown.members[m], readBack.members[m], values);
  }
  const std::size_t lists = std::min(shown.zoneLists.size(), readBack.zoneLists.size());
  for (std::size_t m = 0; m < lists; ++m) {
    const ZoneList& zones = shown.zoneLists[m];
    const ZoneList& back = readBack.zoneLists[m];
    for (std::size_t z = 0; z < std::min(zones.size(), back.size()); ++z) {
      const std::string place = Place(static_cast<int>(m), static_cast<int>(z));
      Compare(ZoneFields(), "zone " + place, zones[z], back[z], values);
      for (int j = 0; j < kMaxPoints; ++j) {
        const MeasuringPoint* point = zones[z].point(j);
        const MeasuringPoint* backPoint = back[z].point(j);
        if (point != nullptr && backPoint != nullptr) {
          Compare(PointFields(), "point " + place + "." + std::to_string(j + 1), *point, *backPoint, values);
        }
      }
    }
  }
  return values;
}

std::vector<std::string> ApplyStoredValues(const std::vector<StoredValue>& values, ProjectInfo* project,
                                           std::vector<Member>& members, ZoneLists& zoneLists,
                                           int firstMember) {
  std::vector<std::string> unused;
  for (const StoredValue& value : values) {
    ParsedPlace place;
    std::string why = "没有这一位置";
    if (ParsePlaceName(value.place, place)) {
      const long long m = static_cast<long long>(firstMember) + place.member;
      TestZone* zone = nullptr;
      if (place.kind >= ParsedPlace::Zone && m >= 0 && m < static_cast<long long>(zoneLists.size()) &&
          place.zone < static_cast<int>(zoneLists[static_cast<std::size_t>(m)].size())) {
        zone = &zoneLists[static_cast<std::size_t>(m)][static_cast<std::size_t>(place.zone)];
      }
      switch (place.kind) {
        case ParsedPlace::Project:
          why = project == nullptr ? std::string() : Apply(ProjectFields(), value, *project);
          break;
        case ParsedPlace::Member:
          if (m >= 0 && m < static_cast<long long>(members.size())) {
            why = Apply(MemberFields(), value, members[static_cast<std::size_t>(m)]);
          }
          break;
        case ParsedPlace::Zone:
          if (zone != nullptr) why = Apply(ZoneFields(), value, *zone);
          break;
        case ParsedPlace::Point: {
          MeasuringPoint* point = zone != nullptr ? zone->point(place.point) : nullptr;
          if (point != nullptr) why = Apply(PointFields(), value, *point);
          break;
        }
      }
    }
    if (!why.empty()) unused.push_back(Described(value.place + " " + value.field + "=" + value.value, why));
  }
  return unused;
}

std::vector<std::string> DropUnusableParts(CompanionData& data, const ZoneLists& zoneLists, int firstMember) {
  std::vector<std::string> dropped;
  const NumberRange cellRange = RangeOf(TypedField::Correction);
  std::erase_if(data.tables, [&](const TableCells& table) {
    for (float cell : table.cells) {
      if (!InRange(cell, cellRange)) {
        dropped.push_back(Described("table " + table.name + " " + FloatText(cell), RangeMessage(cellRange)));
        return true;
      }
    }
    return false;
  });
  const NumberRange strengthRange = RangeOf(TypedField::CoreStrength);
  std::erase_if(data.cores, [&](const CoreSample& core) {
    const std::string name = "core " + Place(core.member, core.zone) + "=" + FloatText(core.strength);
    const long long m = static_cast<long long>(firstMember) + core.member;
    if (m < 0 || m >= static_cast<long long>(zoneLists.size()) || core.zone < 0 ||
        core.zone >= static_cast<int>(zoneLists[static_cast<std::size_t>(m)].size())) {
      dropped.push_back(Described(name, "没有这一测区"));
      return true;
    }
    if (!InRange(core.strength, strengthRange)) {
      dropped.push_back(Described(name, RangeMessage(strengthRange)));
      return true;
    }
    return false;
  });
  return dropped;
}

std::string CompanionValuesUnusedMessage(const std::filesystem::path& path,
                                         const std::vector<std::string>& unused) {
  // The first few by name; a file of many more says how many.
  constexpr std::size_t kNamed = 5;
  std::string message = std::string(kMsgCompanionStale) + " " + PathToUtf8(path) + " 中有 " +
                        std::to_string(unused.size()) + " " + std::string(kMsgCompanionValuesUnused);
  for (std::size_t i = 0; i < unused.size() && i < kNamed; ++i) message += (i == 0 ? "：" : "；") + unused[i];
  if (unused.size() > kNamed) message += "；…";
  return message;
}

std::optional<CompanionData> ReadCompanionOf(const std::filesystem::path& textPath,
                                             std::string_view textBytes, std::string& message) {
  message.clear();
  const std::filesystem::path path = CompanionPath(textPath);
  if (platform::TypeOf(path) == platform::FileType::Missing) return std::nullopt;
  std::string bytes;
  // The size is checked before anything is read.
  const std::error_code error = platform::ReadRegularFile(path, bytes, kMaxCompanionBytes);
  const auto unreadable = [&](std::string_view reason) {
    message = std::string(kMsgCompanionStale) + " " + PathToUtf8(path) + " " +
              std::string(kMsgCompanionUnreadable) + "（" + std::string(reason) + "）" +
              std::string(kMsgCompanionUnused);
    return std::nullopt;
  };
  if (error == platform::MakeError(platform::FileError::TooLarge)) return unreadable("文件过大");
  if (error) return unreadable(error.message());
  CompanionText companion = DecodeCompanion(bytes);
  if (!companion.valid) return unreadable(companion.error);
  // The checksum says which text file the companion belongs to; the name it
  // gives is informational (a pair renamed with its companion keeps it).
  if (companion.checksum != TextChecksum(textBytes)) {
    message = std::string(kMsgCompanionStale) + " " + PathToUtf8(path) + " " +
              std::string(kMsgCompanionStaleMiddle) + " " + PathToUtf8(textPath) + " " +
              std::string(kMsgCompanionStaleEnd);
    return std::nullopt;
  }
  return std::move(companion.data);
}

}  // namespace korvane

namespace korvane {

std::string KeepUnusableCompanion(const std::filesystem::path& textPath) {
  const std::filesystem::path companion = CompanionPath(textPath);
  if (platform::TypeOf(companion) == platform::FileType::Missing) return {};
  std::string text;
  std::string ignored;
  if (!platform::ReadRegularFile(textPath, text) && ReadCompanionOf(textPath, text, ignored)) return {};
  for (int n = 1; n <= 99; ++n) {
    std::filesystem::path kept = companion;
    kept += PathFromUtf8(n == 1 ? std::string(".未使用") : ".未使用" + std::to_string(n));
    if (platform::TypeOf(kept) != platform::FileType::Missing) continue;
    std::error_code error;
    std::filesystem::rename(companion, kept, error);
    if (error) break;
    return std::string(kMsgCompanionStale) + " " + PathToUtf8(companion) + " 无法与 " +
           PathToUtf8(textPath.filename()) + " 一起使用，已改名保留为 " + PathToUtf8(kept.filename());
  }
  throw KorvaneError(std::string(kMsgCompanionStale) + " " + PathToUtf8(companion) +
                     " 无法使用，也无法改名保留，未保存（请先移走它）");
}

}  // namespace korvane
