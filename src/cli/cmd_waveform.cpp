// korvane-cli waveform FILE --member M --zone Z [--highpass KHZ] [--lowpass KHZ] [--csv]
//
// Opens FILE, makes member M, zone Z (0-based) current, switches on and
// applies the given filters as the filter dialog does, and prints the zone's
// waveforms: JSON with the codes of every point (filtered and as loaded), or
// with --csv one row per sample: time in us, then each point's amplitude in
// mV.
#include <algorithm>
#include <optional>
#include <ostream>
#include <span>

#include "cli/args.h"
#include "cli/cli_document.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/app/korvane_doc.h"
#include "core/forms/filter_dialog_model.h"
#include "core/wave/point_readings.h"

namespace korvane::cli {
namespace {

// Points of the zone that are shown: the slots below its point count that
// hold a point.
std::vector<const MeasuringPoint*> ShownPoints(const TestZone& zone) {
  std::vector<const MeasuringPoint*> points;
  for (int j = 0; j < zone.usedPointSlots(); ++j) {
    if (const MeasuringPoint* point = zone.point(j)) points.push_back(point);
  }
  return points;
}

void WriteCodes(JsonWriter& json, std::string_view key, std::span<const std::uint16_t> codes) {
  json.Key(key).BeginArray();
  for (std::uint16_t code : codes) json.Value(static_cast<int>(code));
  json.EndArray();
}

void WriteJson(const TestZone& zone, std::ostream& out) {
  JsonWriter json;
  json.BeginObject();
  json.Field("sampleInterval", zone.sampleInterval);
  json.Field("delay", zone.delay);
  json.Key("points").BeginArray();
  for (const MeasuringPoint* point : ShownPoints(zone)) {
    json.BeginObject();
    json.Field("pointIndex", point->pointIndex);
    json.Field("gain", point->gain);
    json.Field("arrivalIndex", point->arrivalIndex);
    json.Field("amplitudeIndex", point->amplitudeIndex);
    WriteCodes(json, "samples", point->samples);
    WriteCodes(json, "unfilteredSamples", point->loadedSamples());
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  out << json.str() << "\n";
}

void WriteCsv(const TestZone& zone, const Member& member, std::ostream& out) {
  const std::vector<const MeasuringPoint*> points = ShownPoints(zone);
  out << "time_us";
  for (const MeasuringPoint* point : points) out << ",point" << point->pointIndex << "_mV";
  out << "\n";
  std::size_t rows = 0;
  for (const MeasuringPoint* point : points) rows = std::max(rows, point->samples.size());
  for (std::size_t k = 0; k < rows; ++k) {
    const float time = zone.delay + static_cast<float>(k) * zone.sampleInterval;
    out << ShortestFloat(time);
    for (const MeasuringPoint* point : points) {
      out << ",";
      // A point with fewer samples leaves its cell empty.
      if (k < point->samples.size()) {
        out << ShortestFloat(PointReadout(*point, member, static_cast<int>(k)).amplitudeMv);
      }
    }
    out << "\n";
  }
}

}  // namespace

int RunWaveform(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--member", "--zone", "--highpass", "--lowpass"}, {"--csv"});
  if (parsed.positional.size() != 1) throw UsageError("expected exactly one FILE");
  for (const char* required : {"--member", "--zone"}) {
    if (!parsed.Has(required)) throw UsageError(std::string("missing ") + required);
  }
  const int memberIndex = ParseIntArg(parsed.Value("--member"), "--member");
  const int zoneIndex = ParseIntArg(parsed.Value("--zone"), "--zone");
  std::optional<float> highPass;
  std::optional<float> lowPass;
  if (parsed.Has("--highpass")) highPass = ParseFloatArg(parsed.Value("--highpass"), "--highpass");
  if (parsed.Has("--lowpass")) lowPass = ParseFloatArg(parsed.Value("--lowpass"), "--lowpass");

  // The dialog's caption for an invalid corner, before any file is read.
  if (const std::string refusal = CheckFilterCorners(highPass, lowPass); !refusal.empty()) {
    throw UsageError(refusal);
  }

  // The path is UTF-8 (wide on Windows); the reader's warnings go to stderr.
  const auto opened = OpenDocument(parsed.positional.front(), err);
  CKorvaneDoc& doc = *opened;

  const int members = std::min(doc.memberCount, static_cast<int>(doc.members.size()));
  if (memberIndex < 0 || memberIndex >= members) {
    throw UsageError("--member " + std::to_string(memberIndex) + ": out of range (the file has " +
                     std::to_string(members) + " members)");
  }
  const int zones = doc.ZoneCount(memberIndex);
  if (zoneIndex < 0 || zoneIndex >= zones || doc.Zone(memberIndex, zoneIndex) == nullptr) {
    throw UsageError("--zone " + std::to_string(zoneIndex) + ": out of range (member " +
                     std::to_string(memberIndex) + " has " + std::to_string(zones) + " zones)");
  }
  doc.currentMember = memberIndex;
  doc.currentZone = zoneIndex;
  doc.currentPoint = 0;

  if (highPass || lowPass) {
    const std::string refusal = ApplyFilterCorners(doc, highPass, lowPass);
    if (!refusal.empty()) throw UsageError(refusal);
  }

  const TestZone& zone = *doc.GetCurrentZone();
  if (parsed.Has("--csv")) {
    WriteCsv(zone, *doc.GetCurrentMember(), out);
  } else {
    WriteJson(zone, out);
  }
  return 0;
}

}  // namespace korvane::cli
