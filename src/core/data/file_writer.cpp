#include "core/data/file_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/algorithm/standards.h"
#include "core/data/file_format.h"
#include "core/data/file_messages.h"
#include "core/data/text_encoding.h"
#include "core/data/text_format.h"

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
  Line(out, ff::kKeyLambda, FormatFixed(project.lambda, 8, 2));
  Line(out, ff::kKeyBeta, FormatFixed(project.beta, 8, 2));
  Line(out, ff::kKeyA);
  Line(out, ff::kKeyEta, FormatFixed(project.eta, 8, 2));
  Line(out, ff::kKeyR);
  Line(out, ff::kKeyDeltaTot, FormatFixed(project.deltaTot, 8, 2));
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
void AppendSectionCells(std::string& out, const SectionPara& s) {
  AppendInt(out, s.sectionIndex, 4, true);
  AppendFixed(out, s.crossDistance, 8, 2);
  AppendFixed(out, s.gain, 8, 0);
  AppendFixed(out, s.zeroTime, 8, 2);
  AppendFixed(out, s.sampleInterval, 8, 2);
  AppendFixed(out, s.delay, 8, 2);
  AppendInt(out, s.sampleCount, 8);
  AppendFixed(out, s.filterLow, 8, 2);
  AppendFixed(out, s.filterHigh, 8, 2);
  AppendFixed(out, s.senDH, 8, 2);
}

void AppendSectionTable(std::string& out, FileKind kind, const ProjectInfo& project,
                        const std::vector<SectionPara>& sections, const std::vector<Member>& members,
                        int rows) {
  Line(out, ff::kMarkerSections);
  if (kind == FileKind::Result) {
    Line(out, ff::kSectionHeaderResult);
    for (int i = 0; i < rows; ++i) {
      const Member& member = members[static_cast<std::size_t>(i)];
      const SectionPara* own = SectionForMember(sections, members, i);
      SectionPara fallback;
      if (own == nullptr) {
        // A member without a record of its own: its acquisition values.
        fallback.sectionIndex = i;
        fallback.sampleInterval = member.sampleInterval;
        fallback.sampleCount = member.sampleCount;
        fallback.delay = project.delay;
        own = &fallback;
      }
      AppendSectionCells(out, *own);
      AppendFixed(out, member.coefA, 8, 4);
      AppendFixed(out, member.coefB, 8, 3);
      AppendFixed(out, member.coefC, 8, 3);
      AppendFixed(out, member.coefD, 8, 4);
      AppendInt(out, member.aggregateType, 8);
      out.append(kCrLf);
    }
  } else {
    Line(out, ff::kSectionHeaderRaw);
    for (const SectionPara& section : sections) {
      AppendSectionCells(out, section);
      for (int k = 0; k < 5; ++k) out.append(ff::kSectionFiller);
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
  Line(out, ff::kResultHeader, ff::kColDeltaTot);
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const Member& member = members[static_cast<std::size_t>(i)];
    for (const auto& zone : zoneLists[static_cast<std::size_t>(i)]) {
      if (!zone) continue;
      AppendInt(out, member.sectionIndex, 2);
      AppendInt(out, zone->zoneNumber, 8);
      for (int reading : zone->rebound) AppendInt(out, reading, 4);
      AppendFixed(out, zone->recordedRebound, 4, 0);
      AppendFixed(out, zone->lambda, 8, 2);
      AppendFixed(out, zone->beta, 8, 3);
      AppendFixed(out, zone->eta, 8, 2);
      AppendInt(out, zone->angle, 8);
      AppendFixed(out, zone->angleCorrection, 8, 1);
      AppendInt(out, zone->surface, 8);
      AppendFixed(out, zone->surfaceCorrection, 8, 1);
      AppendFixed(out, zone->carbonationDepth, 8, 1);
      AppendFixed(out, zone->strengthValue, 8, 1);
      AppendInt(out, zone->testMethod, 8);
      const std::string location = TestLocationForFile(zone->testLocation);
      const std::size_t units = Utf8ToUtf16(location).size();
      out.append(ff::kTestLocationWidth - std::min<std::size_t>(units, ff::kTestLocationWidth), ' ');
      out.append(location);
      AppendFixed(out, zone->deltaTot, 8, 2);
      out.append(kCrLf);
    }
  }
  out.append(kCrLf);
}

void AppendResultBlock(std::string& out, const StrengthResult& result) {
  Line(out, ff::kMarkerResult);
  Line(out, ff::kKeyMeanValue, FormatFixed(result.meanValue, 8, 1));
  Line(out, ff::kKeyStdDev, FormatFixed(result.stdDev, 8, 2));
  Line(out, ff::kKeyFcue, FormatFixed(result.fcue, 8, 1));
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

void AppendRayTable(std::string& out, std::string& wave, bool rawReadings, const ZoneLists& zoneLists,
                    const std::vector<Member>& members, int rows) {
  out.append(kCrLf);
  Line(out, ff::kMarkerRays);
  Line(out, ff::kRayHeader);
  long long seek = 1;
  std::vector<std::uint16_t> flat;
  std::size_t waveBytes = 0;
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const int n = members[static_cast<std::size_t>(i)].sampleCount;
    for (const auto& zone : zoneLists[static_cast<std::size_t>(i)]) {
      if (zone && n > 0)
        waveBytes += 2 * static_cast<std::size_t>(n) * static_cast<std::size_t>(zone->usedPointSlots());
    }
  }
  wave.reserve(waveBytes);
  for (int i = 0; i < rows && static_cast<std::size_t>(i) < zoneLists.size(); ++i) {
    const Member& member = members[static_cast<std::size_t>(i)];
    const std::size_t n = member.sampleCount > 0 ? static_cast<std::size_t>(member.sampleCount) : 0;
    for (const auto& zone : zoneLists[static_cast<std::size_t>(i)]) {
      if (!zone) continue;
      // Gain of the zone's first point, for slots that hold no point (a flat
      // waveform then reads as 0 V rather than 0/0).
      float zoneGain = 1.0f;
      for (const auto& point : zone->points) {
        if (point) {
          zoneGain = point->gain;
          break;
        }
      }
      const int rebound = rawReadings ? RawReboundValue(*zone) : ff::kRayReboundPlaceholder;
      // Every slot below pointCount is written, so the reader's grouping of
      // rows into zones stays aligned; a slot without samples is flat.
      for (int j = 0; j < zone->usedPointSlots(); ++j) {
        const MeasuringPoint* point = zone->points[static_cast<std::size_t>(j)].get();
        const std::vector<std::uint16_t>& stored = point != nullptr ? point->samples : flat;
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
        const float time = static_cast<float>(arrival) * zone->sampleInterval + zone->delay;
        const float amplitudeTime = static_cast<float>(amplitude) * zone->sampleInterval + zone->delay;

        AppendInt(out, member.sectionIndex, 2);
        AppendInt(out, zone->zoneNumber, 8);
        AppendInt(out, j, 8);
        AppendFixed(out, point != nullptr ? point->distance : 0.0f, 8, 0);
        AppendFixed(out, time, 8, 1);
        AppendFixed(out, amplitudeTime, 8, 1);
        AppendFixed(out, 0.0, 8, 1);
        AppendFixed(out, 0.0, 8, 1);
        AppendFixed(out, 0.0, 8, 1);
        AppendInt(out, absMax, 8);
        AppendInt(out, 0, 4);
        AppendInt(out, seek, 12);
        AppendFixed(out, point != nullptr ? point->gain : zoneGain, 8, 0);
        AppendFixed(out, zone->delay, 8, 0);
        AppendInt(out, rebound, 8);
        for (int k = 0; k < 3; ++k) out.append(ff::kRayFiller);
        out.append(kCrLf);

        const std::size_t offset = wave.size();
        wave.resize(offset + 2 * n);
        for (std::size_t k = 0; k < n; ++k) {
          const std::uint16_t s = k < stored.size() ? stored[k] : static_cast<std::uint16_t>(kZeroCode);
          const auto value = static_cast<std::uint16_t>(s - kZeroCode);
          wave[offset + 2 * k] = static_cast<char>(value & 0xFF);
          wave[offset + 2 * k + 1] = static_cast<char>(value >> 8);
        }
        seek += 2 * static_cast<long long>(n);
      }
    }
  }
  out.append(kCrLf);
}

}  // namespace

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

int HeaderTestMethod(const ProjectInfo& project, const ZoneLists& zoneLists) {
  const TestZone* first = nullptr;
  for (const auto& list : zoneLists) {
    for (const auto& zone : list) {
      if (zone && zone->pointCount != 0) {
        first = zone.get();
        break;
      }
    }
    if (first != nullptr) break;
  }
  if (first == nullptr) return project.testMethod;
  const int standard = StandardIndexOfStoredName(project.standardName);
  const int points = first->pointCount;
  if (PointsPerZone(project.testMethod, standard) == points) return project.testMethod;
  if (PointsPerZone(first->testMethod, standard) == points) return first->testMethod;
  for (int method : {kMethodSurface, kMethodAngle, kMethodDirect}) {
    if (PointsPerZone(method, standard) == points) return method;
  }
  return project.testMethod;
}

std::string TestLocationForFile(std::string_view location) {
  const std::u16string units = Utf8ToUtf16(Cp936Representable(Sanitized(location)));
  // After the code-page trip every character is a single UTF-16 unit.
  return Utf16ToUtf8(std::u16string_view(units).substr(0, ff::kTestLocationWidth));
}

EncodedPair BuildRawFile(const ProjectInfo& project, const ZoneLists& zoneLists, int memberCount,
                         const std::vector<SectionPara>& sections, const std::vector<Member>& members) {
  const int rows = MemberRows(memberCount, members);
  std::string text;
  EncodedPair pair;
  AppendHeader(text, FileKind::Raw, project, zoneLists, members, true);
  AppendSectionTable(text, FileKind::Raw, project, sections, members, rows);
  AppendRayTable(text, pair.wave, true, zoneLists, members, rows);
  pair.text = EncodeCp936(text);
  return pair;
}

EncodedPair BuildResultFile(FileKind kind, const ProjectInfo& project, const ZoneLists& zoneLists,
                            int memberCount, const StrengthResult& result,
                            const std::vector<SectionPara>& sections, const std::vector<Member>& members) {
  const int rows = MemberRows(memberCount, members);
  std::string text;
  EncodedPair pair;
  AppendHeader(text, kind, project, zoneLists, members, false);
  AppendMemberBlock(text, members, rows);
  AppendSectionTable(text, kind, project, sections, members, rows);
  AppendResultTable(text, zoneLists, members, rows);
  AppendResultBlock(text, result);
  AppendRayTable(text, pair.wave, false, zoneLists, members, rows);
  pair.text = EncodeCp936(text);
  return pair;
}

void WriteRawFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                  int memberCount, const std::vector<SectionPara>& sections,
                  const std::vector<Member>& members) {
  const EncodedPair bytes = BuildRawFile(project, zoneLists, memberCount, sections, members);
  SavePairBytes(pair, bytes.text, bytes.wave, kMsgCreateRawText);
}

void WriteResultFile(const FilePair& pair, const ProjectInfo& project, const ZoneLists& zoneLists,
                     int memberCount, const StrengthResult& result, const std::vector<SectionPara>& sections,
                     const std::vector<Member>& members) {
  const EncodedPair bytes =
      BuildResultFile(pair.kind, project, zoneLists, memberCount, result, sections, members);
  SavePairBytes(pair, bytes.text, bytes.wave, kMsgCreateResultText);
}

}  // namespace korvane
