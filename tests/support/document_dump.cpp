#include "support/document_dump.h"

#include <cstdio>
#include <type_traits>

namespace korvane::testing {
namespace {

class Dump {
 public:
  Dump& operator()(const char* name, float value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return Line(name, buffer);
  }
  Dump& operator()(const char* name, int value) { return Line(name, std::to_string(value)); }
  Dump& operator()(const char* name, bool value) { return Line(name, value ? "true" : "false"); }
  template <typename E>
  requires std::is_enum_v<E> Dump& operator()(const char* name, E value) {
    return (*this)(name, static_cast<int>(value));
  }
  Dump& operator()(const char* name, const std::string& value) { return Line(name, "\"" + value + "\""); }
  template <typename T, std::size_t N>
  Dump& operator()(const char* name, const std::array<T, N>& values) {
    for (std::size_t i = 0; i < N; ++i)
      (*this)((std::string(name) + "[" + std::to_string(i) + "]").c_str(), values[i]);
    return *this;
  }
  Dump& operator()(const char* name, const SampleBuffer& samples) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (std::uint16_t s : samples) hash = (hash ^ s) * 1099511628211ull;
    return Line(name, std::to_string(samples.size()) + " samples, checksum " + std::to_string(hash));
  }
  void Section(const std::string& name) { text_ += "-- " + name + "\n"; }
  std::string Take() { return std::move(text_); }

 private:
  Dump& Line(const char* name, const std::string& value) {
    text_ += "  ";
    text_ += name;
    text_ += " = " + value + "\n";
    return *this;
  }
  std::string text_;
};

// Each record's fields are listed below; a record that gains a field fails
// to compile here until the field is listed too (the structured bindings
// name every field).
void DumpZone(Dump& d, const TestZone& z) {
  [[maybe_unused]] const auto& [f0, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16,
                                f17, f18, f19, f20, f21, f22, f23, f24, f25, f26, f27] = z;
  d("sectionIndex", z.sectionIndex)("zoneNumber", z.zoneNumber)("sampleInterval", z.sampleInterval);
  d("delay", z.delay)("testMethod", z.testMethod)("testLocation", z.testLocation)("beta", z.beta);
  d("lambda", z.lambda)("eta", z.eta)("reboundManual", z.reboundManual)("rebound", z.rebound);
  d("reboundValue", z.reboundValue)("angle", z.angle)("surface", z.surface);
  d("angleCorrection", z.angleCorrection)("surfaceCorrection", z.surfaceCorrection);
  d("recordedRebound", z.recordedRebound)("pointVelocity", z.pointVelocity)("pointTime", z.pointTime);
  d("pointAmplitude", z.pointAmplitude)("carbonationDepth", z.carbonationDepth);
  d("strengthValue", z.strengthValue)("zoneVelocity", z.zoneVelocity);
  d("correctedVelocity", z.correctedVelocity)("pointCount", z.pointCount)("pointDistance", z.pointDistance);
  d("deltaTot", z.deltaTot);
  for (std::size_t j = 0; j < z.points.size(); ++j) {
    const MeasuringPoint* p = z.point(static_cast<int>(j));
    d.Section("point " + std::to_string(j) + (p == nullptr ? " (none)" : ""));
    if (p == nullptr) continue;
    [[maybe_unused]] const auto& [g0, g1, g2, g3, g4, g5, g6, g7, g8] = *p;
    d("samples", p->samples)("unfilteredSamples", p->unfilteredSamples)("pointIndex", p->pointIndex);
    d("gain", p->gain)("amplitudeIndex", p->amplitudeIndex)("arrivalIndex", p->arrivalIndex);
    d("distance", p->distance)("delay", p->delay)("unreadSampleCount", p->unreadSampleCount);
  }
}

}  // namespace

std::string DumpDocument(const CKorvaneDoc& doc) {
  Dump d;
  d.Section("document");
  d("memberCount", doc.memberCount)("batchResultFlag", doc.batchResultFlag)("fcue", doc.result.fcue);
  d("meanValue", doc.result.meanValue)("stdDev", doc.result.stdDev)("standard", doc.standard);
  d("algorithm", doc.algorithm.standard());
  d("currentMember", doc.currentMember)("currentZone", doc.currentZone)("currentPoint", doc.currentPoint);
  d("highPassKHz", doc.highPassKHz)("lowPassKHz", doc.lowPassKHz)("highPassOn", doc.highPassOn);
  d("lowPassOn", doc.lowPassOn)("pathName", doc.pathName);

  const ProjectInfo& p = doc.project;
  [[maybe_unused]] const auto& [p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p13, p14, p15, p16,
                                p17, p18] = p;
  d.Section("project");
  d("instrument", p.instrument)("site", p.site)("testDate", p.testDate)("unit", p.unit)("person", p.person);
  d("castingDate", p.castingDate)("delay", p.delay)("reserved", p.reserved)("testMethod", p.testMethod);
  d("spot", p.spot)("beta", p.beta)("lambda", p.lambda)("eta", p.eta)("deltaTot", p.deltaTot);
  d("softwareId", p.softwareId)("standardName", p.standardName)("moveLength", p.moveLength);
  d("softwareVersion", p.softwareVersion)("programVersion", p.programVersion);

  for (std::size_t m = 0; m < doc.members.size(); ++m) {
    const Member& r = doc.members[m];
    [[maybe_unused]] const auto& [m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15] = r;
    d.Section("member " + std::to_string(m));
    d("sectionIndex", r.sectionIndex)("name", r.name)("sampleCount", r.sampleCount);
    d("sampleInterval", r.sampleInterval)("pumped", r.pumped)("aggregateType", r.aggregateType);
    d("coefA", r.coefA)("coefB", r.coefB)("coefC", r.coefC)("coefD", r.coefD);
    d("minStrength", r.minStrength)("maxStrength", r.maxStrength)("meanStrength", r.meanStrength);
    d("stdDevStrength", r.stdDevStrength)("resultFlag", r.resultFlag);
    d("estimatedStrength", r.estimatedStrength);
  }
  for (std::size_t s = 0; s < doc.sections.size(); ++s) {
    const SectionPara& r = doc.sections[s];
    [[maybe_unused]] const auto& [s0, s1, s2, s3, s4, s5, s6, s7, s8, s9] = r;
    d.Section("section " + std::to_string(s));
    d("sectionIndex", r.sectionIndex)("crossDistance", r.crossDistance)("gain", r.gain);
    d("zeroTime", r.zeroTime)("sampleInterval", r.sampleInterval)("delay", r.delay);
    d("sampleCount", r.sampleCount)("filterLow", r.filterLow)("filterHigh", r.filterHigh)("senDH", r.senDH);
  }
  for (std::size_t m = 0; m < doc.zoneLists.size(); ++m) {
    for (std::size_t z = 0; z < doc.zoneLists[m].size(); ++z) {
      d.Section("zone " + std::to_string(m) + "/" + std::to_string(z));
      DumpZone(d, doc.zoneLists[m][z]);
    }
  }
  for (const auto* tables : {&doc.tables, &doc.defaultTables}) {
    d.Section(tables == &doc.tables ? "tables" : "default tables");
    for (std::size_t r = 0; r < tables->angle.size(); ++r) d("angle", tables->angle[r]);
    for (std::size_t r = 0; r < tables->fineAngle.size(); ++r) d("fineAngle", tables->fineAngle[r]);
    for (std::size_t r = 0; r < tables->surface.size(); ++r) d("surface", tables->surface[r]);
    for (std::size_t r = 0; r < tables->fineSurface.size(); ++r) d("fineSurface", tables->fineSurface[r]);
    for (std::size_t r = 0; r < tables->carbon.size(); ++r) d("carbon", tables->carbon[r]);
  }
  for (std::size_t k = 0; k < doc.cores.size(); ++k) {
    const CoreSample& c = doc.cores[k];
    d.Section("core " + std::to_string(k));
    d("member", c.member)("zone", c.zone)("strength", c.strength);
  }
  d.Section("report information");
  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i) {
    d(("field " + std::to_string(i)).c_str(), doc.reportInfo.field(i));
  }
  return d.Take();
}

}  // namespace korvane::testing
