// The main screen's forms and panels, free of the window: how many point
// panels and point rows are shown, and the texts of the project bar's zone
// fields and of "当前测区数据" (decimals, amplitudes in mV). The widgets show
// these and send every change through the editing layer.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/algorithm/test_position.h"
#include "core/data/records.h"

namespace korvane {

class CKorvaneDoc;

// Point panels of the main screen's view: the zone's point count within
// 3..7; 3 without a zone.
int ShownPointPanels(const TestZone* zone);

// One row of "当前测区数据": T (us, "%.2f"), A (mV, "%.2f"), L (mm, "%.0f",
// editable when the slot holds a point) and V (km/s, "%.3f").
struct PointRowTexts {
  std::string time;
  std::string amplitudeMv;
  std::string distance;
  std::string velocity;
  bool distanceEditable = false;
};

// "当前测区数据" of the current zone: the rows shown (the used point slots;
// 3 without a zone, their fields then empty and disabled).
struct ZonePointsTexts {
  bool hasZone = false;
  int rows = 3;
  std::array<PointRowTexts, kMaxPoints> points;
};
ZonePointsTexts ZonePointsTextsOf(const CKorvaneDoc& doc);

// The stored T, A and V of slot `slot` of `zone` as the row shows them (a
// cursor readout goes back to these when it ends).
PointRowTexts StoredReadingTexts(const TestZone& zone, int slot);
// A cursor readout: T (us), A (mV) and V (km/s) as the row shows them.
PointRowTexts ReadoutTexts(float time, float amplitudeMv, float velocity);

// The project bar's fields of the current zone.
struct ZoneFieldsTexts {
  bool hasZone = false;
  int method = -1;  // entry of "测试方式" (0..2)
  bool methodEnabled = false;
  // The entries of "测试部位": the test method's list, and after it the
  // zone's own text when the list does not hold it (a file's "外侧面"),
  // which is then the entry shown (fileLocation) until another is chosen.
  std::vector<std::string> locations;
  int location = 0;
  bool fileLocation = false;
  bool locationEnabled = false;
  std::string beta;    // "%.3f"
  std::string lambda;  // "%.3f"
  FieldAccess betaAccess = FieldAccess::Disabled;
  FieldAccess lambdaAccess = FieldAccess::Disabled;
  std::string velocity;                                 // V, "%.3f"
  std::string correctedVelocity;                        // Va, "%.3f"
  std::array<std::string, kMaxPoints> pointVelocities;  // "%.3f"
  int enabledPointVelocities = 0;                       // the used point slots
};
ZoneFieldsTexts ZoneFieldsTextsOf(const CKorvaneDoc& doc);

// Text of β or λ ("%.3f").
std::string CoefficientText(float value);

}  // namespace korvane
