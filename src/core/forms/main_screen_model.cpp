#include "core/forms/main_screen_model.h"

#include "core/data/number_entry.h"

#include <algorithm>

#include "core/app/korvane_doc.h"
#include "core/data/text_format.h"

namespace korvane {

int ShownPointPanels(const TestZone* zone) {
  return std::clamp(zone != nullptr ? zone->pointCount : 0, 3, kMaxPoints);
}

PointRowTexts ReadoutTexts(float time, float amplitudeMv, float velocity) {
  PointRowTexts t;
  t.time = FormatFixed(time, 2);
  t.amplitudeMv = FormatFixed(amplitudeMv, 2);
  t.velocity = FormatFixed(velocity, 3);
  return t;
}

PointRowTexts StoredReadingTexts(const TestZone& zone, int slot) {
  const auto j = static_cast<std::size_t>(std::clamp(slot, 0, kMaxPoints - 1));
  return ReadoutTexts(zone.pointTime[j], zone.pointAmplitude[j] * 1000.0f, zone.pointVelocity[j]);
}

ZonePointsTexts ZonePointsTextsOf(const CKorvaneDoc& doc) {
  ZonePointsTexts t;
  const TestZone* zone = doc.GetCurrentZone();
  if (zone == nullptr) return t;
  t.hasZone = true;
  t.rows = zone->usedPointSlots();
  for (int slot = 0; slot < kMaxPoints; ++slot) {
    PointRowTexts& row = t.points[static_cast<std::size_t>(slot)];
    row = StoredReadingTexts(*zone, slot);
    const MeasuringPoint* point = zone->point(slot);
    row.distance = FormatFixed(
        point != nullptr ? point->distance : zone->pointDistance[static_cast<std::size_t>(slot)], 0);
    row.distanceEditable = point != nullptr;
  }
  return t;
}

std::string CoefficientText(float value) { return FormatHeldValue(value, 3); }

ZoneFieldsTexts ZoneFieldsTextsOf(const CKorvaneDoc& doc) {
  ZoneFieldsTexts t;
  const TestZone* zone = doc.GetCurrentZone();
  if (zone == nullptr) return t;
  t.hasZone = true;
  const int code = static_cast<int>(zone->testMethod);
  t.method = code >= 0 && code <= 2 ? code : 0;
  t.methodEnabled = TestMethodListEnabled(doc.standard, zone->testMethod);
  for (std::string_view choice : TestLocationChoices(zone->testMethod)) t.locations.emplace_back(choice);
  t.location = TestLocationIndex(zone->testMethod, zone->testLocation);
  if (t.locations.empty() || t.locations[static_cast<std::size_t>(t.location)] != zone->testLocation) {
    t.locations.push_back(zone->testLocation);
    t.location = static_cast<int>(t.locations.size()) - 1;
    t.fileLocation = true;
  }
  const BetaLambdaRule rule = BetaLambdaFor(zone->testMethod, zone->testLocation);
  t.locationEnabled = rule.location != FieldAccess::Disabled;
  t.beta = CoefficientText(zone->beta);
  t.lambda = CoefficientText(zone->lambda);
  t.betaAccess = rule.betaField;
  t.lambdaAccess = rule.lambdaField;
  t.velocity = FormatFixed(zone->zoneVelocity, 3);
  t.correctedVelocity = FormatFixed(zone->correctedVelocity, 3);
  for (int slot = 0; slot < kMaxPoints; ++slot)
    t.pointVelocities[static_cast<std::size_t>(slot)] =
        FormatFixed(zone->pointVelocity[static_cast<std::size_t>(slot)], 3);
  t.enabledPointVelocities = zone->usedPointSlots();
  return t;
}

}  // namespace korvane
