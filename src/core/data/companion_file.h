// The companion file of a data file pair: what the instrument's format has
// no field for, kept beside the pair so that a save and a reopen show what
// the screen showed. It is "<base name>.KVA" beside a result file x.SHA and
// "<base name>.KVT" beside a raw file x.SHT (the two text files of a folder
// share their waveform file, not their companion), UTF-8 text in INI form, written in the same atomic group
// as the pair, and holds
//   - the text file it belongs to (its name and a checksum of its bytes),
//   - every value the text file does not read back as the screen showed it
//     (StoredValue): the R typed by hand in a zone, the members whose
//     concrete is pumped ("泵送"), a raw file's readings, β, λ and
//     carbonation depths, values with more decimals than their column …,
//   - the correction tables that differ from their defaults (cell values),
//   - the cores drilled for the core correction (member, zone, fcor).
// The instrument's files (.SHA, .SHT, .SHD) are never changed for it.
//
// A companion is applied only to the text file whose bytes have its
// checksum (the name it gives is informational: a pair renamed with its
// companion keeps it): a text file changed elsewhere keeps its own values
// (the reader says so once), and a pair without companion opens as it
// always did. A companion that cannot be used is never overwritten: a save
// keeps it under another name (KeepUnusableCompanion).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/records.h"

namespace korvane {

// "附加数据文件 <path> 与 <text> 不一致（数据文件在别处被修改过），未使用其中的数据"
inline constexpr std::string_view kMsgCompanionStale = "附加数据文件";
inline constexpr std::string_view kMsgCompanionStaleMiddle = "与";
inline constexpr std::string_view kMsgCompanionStaleEnd =
    "不一致（数据文件在别处被修改过），未使用其中的数据";
// "附加数据文件 <path> 无法读取（…），未使用其中的数据"
inline constexpr std::string_view kMsgCompanionUnreadable = "无法读取";
inline constexpr std::string_view kMsgCompanionUnused = "，未使用其中的数据";
// "附加数据文件 <path> 中有 <n> 项数据无法使用（已略过）"
inline constexpr std::string_view kMsgCompanionValuesUnused = "项数据无法使用（已略过）";
inline constexpr std::string_view kMsgCreateCompanion = "创建附加数据文件失败！";

// One value of the records that the text file does not read back as the
// document held it: a value the instrument's format has no field for (a
// typed R, the pumped flag, a raw file's sixteen readings or carbonation
// depth …) or one with more decimals than its column.
//   place: "project", "member <m>", "zone <m>.<z>" or "point <m>.<z>.<p>"
//          (numbers from 1, as the screens count them);
//   field: the value's name there ("beta", "readings", "pumped" …);
//   value: its text (floats with nine significant digits, so that they read
//          back exactly; readings separated by blanks).
struct StoredValue {
  std::string place;
  std::string field;
  std::string value;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// The cells of one correction table, row after row, by the table's name
// ("angle", "fineAngle", "surface", "fineSurface", "carbon").
struct TableCells {
  std::string name;
  std::vector<float> cells;
  friend bool operator==(const TableCells&, const TableCells&) = default;
};

// A core drilled from zone `zone` of member `member` (0-based) and its
// strength fcor (MPa).
struct CoreSample {
  int member = 0;
  int zone = 0;
  float strength = 0.0f;
  friend bool operator==(const CoreSample&, const CoreSample&) = default;
};

struct CompanionData {
  std::vector<StoredValue> values;
  std::vector<TableCells> tables;
  std::vector<CoreSample> cores;

  bool empty() const { return values.empty() && tables.empty() && cores.empty(); }
  friend bool operator==(const CompanionData&, const CompanionData&) = default;
};

// The records of a document or of one read.
struct RecordsView {
  const ProjectInfo& project;
  const std::vector<Member>& members;
  const ZoneLists& zoneLists;
};

// Every value of `shown` that `readBack` (the same records written and read
// again) holds otherwise, in the order project, members, zones, points.
// Only what a user enters or picks is compared: texts, β, λ, η, Δtot,
// readings, R, angle, surface, carbonation, coefficients, aggregate, pumped,
// distances, first arrivals, gains and delays; results are recomputed from
// them. Members and zones that `readBack` lacks are left out.
std::vector<StoredValue> ValuesNotReadBack(const RecordsView& shown, const RecordsView& readBack);

// Puts stored values back into records read from the text file; member
// numbers count from `firstMember` (a merge appends files). A value is
// checked as the field it fills checks a typed one (typed_number.h: η in
// 0.1…10, a reading a whole number 0…99, R 20…50 …; an angle −90…90°, a
// text UTF-8, the standard one of the ten). Values naming a member, zone or
// point that does not exist, an unknown field, a text that is not a value
// of the field or one outside its range are left out: one description each
// is returned ("zone 1.2 eta=1e9（强度修正系数η须为0.1～10之间的数）").
// Project values are applied only when `project` is not null.
std::vector<std::string> ApplyStoredValues(const std::vector<StoredValue>& values, ProjectInfo* project,
                                           std::vector<Member>& members, ZoneLists& zoneLists,
                                           int firstMember = 0);

// Removes from `data` the tables with a cell that is not finite or outside
// −20…20, and the cores whose fcor is outside 0 < fcor ≤ 200 MPa or whose
// member or zone `zoneLists` lacks (member numbers from `firstMember`); one
// description each is returned, as ApplyStoredValues does.
std::vector<std::string> DropUnusableParts(CompanionData& data, const ZoneLists& zoneLists,
                                           int firstMember = 0);

// The companion of the text file at `textPath`: the same folder and base
// name, the extension "KV" and the text extension's last letter (".SHA" →
// ".KVA", ".sht" → ".kvt": the case follows that letter's).
std::filesystem::path CompanionPath(const std::filesystem::path& textPath);

// FNV-1a (64 bits) of the text file's bytes: a change made elsewhere shows.
std::uint64_t TextChecksum(std::string_view textBytes);

// The companion's text for the text file named `textName` with the bytes
// `textBytes`. Floats are written so that they read back exactly.
std::string EncodeCompanion(const CompanionData& data, std::string_view textName, std::string_view textBytes);

// A companion's text read back (a byte order mark before it is skipped).
// `valid` false (with `error`) when it is not a companion; its data are
// then empty.
struct CompanionText {
  bool valid = false;
  std::string error;
  std::string textName;
  std::uint64_t checksum = 0;
  CompanionData data;
};
CompanionText DecodeCompanion(std::string_view bytes);

// The message for the values and parts of the companion at `path` that
// were left out: "附加数据文件 <path> 中有 <n> 项数据无法使用（已略过）：" and
// the first five descriptions.
std::string CompanionValuesUnusedMessage(const std::filesystem::path& path,
                                         const std::vector<std::string>& unused);

// Reads the companion of the pair whose text file is `textPath` with the
// bytes `textBytes`: nullopt when there is none or when it belongs to
// another text file of the folder; otherwise its data, or (stale or
// unreadable) nullopt with `message` set to the text to show once.
std::optional<CompanionData> ReadCompanionOf(const std::filesystem::path& textPath,
                                             std::string_view textBytes, std::string& message);

// Before a pair is written at `textPath`: a companion there that cannot be
// used with the text file there (stale, unreadable, too large, or beside no
// text file) is renamed "<companion>.未使用" (or .未使用2 …) so that the save
// does not replace it; the message to show says so. Empty when there is
// none or it is the text file's own (the save replaces it as it should).
// Throws KorvaneError when it can be neither used nor renamed (the save
// must not go on).
std::string KeepUnusableCompanion(const std::filesystem::path& textPath);

}  // namespace korvane
