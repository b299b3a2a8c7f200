#include "cli/cli_document.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "cli/json_writer.h"
#include "core/platform/path_text.h"
#include "core/standards/standards.h"

namespace korvane::cli {

void SendWarningsTo(CKorvaneDoc& doc, std::ostream& err) {
  doc.warningSink = [&err](std::string_view message) { err << message << "\n"; };
}

std::unique_ptr<CKorvaneDoc> OpenDocument(const std::filesystem::path& path, std::ostream& err,
                                          WaveformReading reading) {
  auto doc = std::make_unique<CKorvaneDoc>(CKorvaneDoc::Settings::None);
  SendWarningsTo(*doc, err);
  doc->OnOpenDocument(path, reading);
  return doc;
}

std::unique_ptr<CKorvaneDoc> OpenDocument(const std::string& utf8Path, std::ostream& err,
                                          WaveformReading reading) {
  return OpenDocument(PathFromUtf8(utf8Path), err, reading);
}

namespace {

template <typename T, std::size_t N>
void Array(JsonWriter& json, std::string_view name, const std::array<T, N>& values) {
  json.Key(name).BeginArray();
  for (const T& value : values) json.Value(value);
  json.EndArray();
}

void Project(JsonWriter& json, const ProjectInfo& p) {
  json.Key("project").BeginObject();
  json.Field("instrument", p.instrument);
  json.Field("site", p.site);
  json.Field("testDate", p.testDate);
  json.Field("unit", p.unit);
  json.Field("person", p.person);
  json.Field("castingDate", p.castingDate);
  json.Field("delay", p.delay);
  json.Field("reserved", p.reserved);
  json.Field("testMethod", p.testMethod);
  json.Field("spot", p.spot);
  json.Field("beta", p.beta);
  json.Field("lambda", p.lambda);
  json.Field("eta", p.eta);
  json.Field("deltaTot", p.deltaTot);
  json.Field("softwareId", p.softwareId);
  json.Field("standardName", p.standardName);
  json.Field("moveLength", p.moveLength);
  json.Field("softwareVersion", p.softwareVersion);
  json.Field("programVersion", p.programVersion);
  json.EndObject();
}

void Point(JsonWriter& json, const MeasuringPoint& point) {
  json.BeginObject();
  json.Field("pointIndex", point.pointIndex);
  json.Field("arrivalIndex", point.arrivalIndex);
  json.Field("amplitudeIndex", point.amplitudeIndex);
  json.Field("distance", point.distance);
  json.Field("gain", point.gain);
  json.Field("delay", point.delay);
  // Also when the samples were not read (WaveformReading::SizeOnly).
  json.Field("sampleCount", std::max(static_cast<int>(point.samples.size()), point.unreadSampleCount));
  json.EndObject();
}

void Zone(JsonWriter& json, const TestZone& zone) {
  json.BeginObject();
  json.Field("sectionIndex", zone.sectionIndex);
  json.Field("zoneNumber", zone.zoneNumber);
  json.Field("sampleInterval", zone.sampleInterval);
  json.Field("delay", zone.delay);
  json.Field("testMethod", zone.testMethod);
  json.Field("testLocation", zone.testLocation);
  json.Field("beta", zone.beta);
  json.Field("lambda", zone.lambda);
  json.Field("eta", zone.eta);
  json.Field("reboundManual", zone.reboundManual);
  Array(json, "rebound", zone.rebound);
  json.Field("reboundValue", zone.reboundValue);
  json.Field("angle", zone.angle);
  json.Field("surface", zone.surface);
  json.Field("angleCorrection", zone.angleCorrection);
  json.Field("surfaceCorrection", zone.surfaceCorrection);
  json.Field("recordedRebound", zone.recordedRebound);
  Array(json, "pointVelocity", zone.pointVelocity);
  Array(json, "pointTime", zone.pointTime);
  Array(json, "pointAmplitude", zone.pointAmplitude);
  json.Field("carbonationDepth", zone.carbonationDepth);
  json.Field("strengthValue", zone.strengthValue);
  json.Field("zoneVelocity", zone.zoneVelocity);
  json.Field("correctedVelocity", zone.correctedVelocity);
  json.Field("pointCount", zone.pointCount);
  Array(json, "pointDistance", zone.pointDistance);
  json.Field("deltaTot", zone.deltaTot);
  json.Key("points").BeginArray();
  for (const auto& point : zone.points) {
    if (point) Point(json, *point);
  }
  json.EndArray();
  json.EndObject();
}

void MemberObject(JsonWriter& json, const Member& m, const ZoneList* zones) {
  json.BeginObject();
  json.Field("sectionIndex", m.sectionIndex);
  json.Field("name", m.name);
  json.Field("sampleCount", m.sampleCount);
  json.Field("sampleInterval", m.sampleInterval);
  json.Field("pumped", m.pumped);
  json.Field("aggregateType", m.aggregateType);
  json.Field("coefA", m.coefA);
  json.Field("coefB", m.coefB);
  json.Field("coefC", m.coefC);
  json.Field("coefD", m.coefD);
  json.Field("minStrength", m.minStrength);
  json.Field("maxStrength", m.maxStrength);
  json.Field("meanStrength", m.meanStrength);
  json.Field("stdDevStrength", m.stdDevStrength);
  json.Field("resultFlag", m.resultFlag);
  json.Field("estimatedStrength", m.estimatedStrength);
  json.Key("zones").BeginArray();
  if (zones != nullptr) {
    for (const TestZone& zone : *zones) Zone(json, zone);
  }
  json.EndArray();
  json.EndObject();
}

void Section(JsonWriter& json, const SectionPara& s) {
  json.BeginObject();
  json.Field("sectionIndex", s.sectionIndex);
  json.Field("crossDistance", s.crossDistance);
  json.Field("gain", s.gain);
  json.Field("zeroTime", s.zeroTime);
  json.Field("sampleInterval", s.sampleInterval);
  json.Field("delay", s.delay);
  json.Field("sampleCount", s.sampleCount);
  json.Field("filterLow", s.filterLow);
  json.Field("filterHigh", s.filterHigh);
  json.Field("senDH", s.senDH);
  json.EndObject();
}

}  // namespace

std::string DocumentJson(const CKorvaneDoc& doc) {
  JsonWriter json;
  json.BeginObject();
  Project(json, doc.project);
  json.Field("standardIndex", IndexOf(doc.standard));
  json.Field("standardName", StandardDisplayName(doc.standard));
  json.Field("memberCount", doc.memberCount);
  json.Key("members").BeginArray();
  for (std::size_t i = 0; i < doc.members.size(); ++i) {
    MemberObject(json, doc.members[i], i < doc.zoneLists.size() ? &doc.zoneLists[i] : nullptr);
  }
  json.EndArray();
  json.Key("sections").BeginArray();
  for (const SectionPara& section : doc.sections) Section(json, section);
  json.EndArray();
  json.Key("result").BeginObject();
  json.Field("fcue", doc.result.fcue);
  json.Field("meanValue", doc.result.meanValue);
  json.Field("stdDev", doc.result.stdDev);
  json.EndObject();
  json.Field("batchResultFlag", doc.batchResultFlag);
  json.EndObject();
  return json.str();
}

}  // namespace korvane::cli
